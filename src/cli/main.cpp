// tarnbus-cli: every adapter operation from the command line.

#include "AppIdentity.h"
#include "BusLauncher.h"
#include "Cli.h"
#include "InterruptWatcher.h"
#include "Language.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <memory>

#include <unistd.h>

int main(int argc, char *argv[])
{
    const int launched = BusLauncher::prepare(argc, argv);
    if (launched >= 0)
        return launched;

    // The check-out prints its report with Qt's own printing, which needs the
    // fonts of a QGuiApplication; without a display it draws off screen.
    bool printing = false;
    QString language; // --lang, read before any text is made
    for (int i = 1; i < argc; ++i) {
        printing = printing || qstrcmp(argv[i], "checkout") == 0;
        QString given;
        if (qstrcmp(argv[i], "--lang") == 0 && i + 1 < argc)
            given = QString::fromLocal8Bit(argv[i + 1]);
        else if (qstrncmp(argv[i], "--lang=", 7) == 0)
            given = QString::fromLocal8Bit(argv[i] + 7);
        // A --lang that is neither zh nor en is refused by the command line
        // itself, in the language of a valid one if there is one.
        if (Language::parse(given))
            language = given;
    }
    if (printing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = printing ? std::make_unique<QGuiApplication>(argc, argv)
                                                     : std::make_unique<QCoreApplication>(argc, argv);
    AppIdentity::apply();
    Language::apply(Language::startup(language));
    // The libraries' diagnostics are for developers (QT_LOGGING_RULES turns them on).
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false\ntarnbus.*.warning=false"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    Cli cli(out, err, ::isatty(STDERR_FILENO) != 0);
    cli.setInput(STDIN_FILENO, ::isatty(STDIN_FILENO) != 0);
    InterruptWatcher watcher;
    QObject::connect(&watcher, &InterruptWatcher::interrupted, &cli, &Cli::interrupt);
    return cli.run(QCoreApplication::arguments().mid(1));
}
