#include "WindowCommandLine.h"

#include "AppIdentity.h"
#include "Language.h"

WindowCommandLine WindowCommandLine::parse(const QStringList &arguments)
{
    WindowCommandLine line;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help") || arg == QLatin1String("-help")) {
            line.action = Action::ShowHelp;
            return line;
        }
        if (arg == QLatin1String("--version") || arg == QLatin1String("-version")) {
            line.action = Action::ShowVersion;
            return line;
        }
        if (arg == QLatin1String("--demo") || arg == QLatin1String("-demo")) {
            line.demo = true;
            // An argument that is no option is the bus file.
            if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-')))
                line.demoBus = arguments.at(++i);
            continue;
        }
        if (arg == QLatin1String("--lang") || arg.startsWith(QLatin1String("--lang="))) {
            const bool joined = arg.startsWith(QLatin1String("--lang="));
            if (!joined && i + 1 >= arguments.size()) {
                line.action = Action::Fail;
                line.error = tr("--lang needs zh or en");
                return line;
            }
            line.language = joined ? arg.mid(7) : arguments.at(++i);
            if (!Language::parse(line.language)) {
                line.action = Action::Fail;
                line.error = tr("--lang is zh or en, not \"%1\"").arg(line.language);
                return line;
            }
            continue;
        }
        if (arg.startsWith(QLatin1String("--demo="))) {
            line.demo = true;
            line.demoBus = arg.mid(7);
            if (line.demoBus.isEmpty()) {
                line.action = Action::Fail;
                line.error = tr("--demo= needs a bus file");
                return line;
            }
        }
    }
    return line;
}

QString WindowCommandLine::helpText()
{
    return tr("Usage: tarnbus-tester [--demo [BUS]] [--lang zh|en]\n"
              "\n"
              "Commissioning and test tool for TarnBUS fieldbus adapters: finds the adapters on USB, reads\n"
              "their buses, sets station numbers, IO addresses and parameters, forces outputs and watches\n"
              "inputs, imports and exports configurations, keeps offline configurations, imports device\n"
              "descriptions and upgrades adapter firmware.\n"
              "\n"
              "Options:\n"
              "  --demo [BUS]  run on the virtual adapter instead of USB, with the adapters and modules of\n"
              "                the bus file BUS (default: the demonstration bus, buses/demo.json of the\n"
              "                data folders); no hardware is needed, and the window says so\n"
              "  --lang zh|en  the language of the window: Chinese or English (default: the one chosen in\n"
              "                its menu \"语言 / Language\", else the system's: zh* Chinese, else English)\n"
              "  -h, --help    show this help and exit\n"
              "  --version     show the version and exit\n"
              "\n"
              "Qt's own options (-platform, -style, ...) are accepted as well.\n"
              "\n"
              "Exit status: 0 when the window was closed; 2 for --demo without a readable bus file or\n"
              "without the virtual adapter.\n");
}

QString WindowCommandLine::versionText()
{
    return QStringLiteral("tarnbus-tester %1\n").arg(AppIdentity::version());
}
