#include "Cli.h"

#include "Commands.h"
#include "Texts.h"

#include "AlignmentSetting.h"
#include "AppIdentity.h"
#include "Language.h"
#include "LinkDiagnostics.h"
#include "LinkTiming.h"
#include "TraceExport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kProgram = QStringLiteral("tarnbus-cli");

// The options of every command.
// Built when asked for, in the language of the moment.
QList<OptionSpec> globalOptions()
{
    return {
        {{QStringLiteral("adapter")}, QStringLiteral("SERIAL"), Texts::tr("the adapter to use (default: the only one on USB)")},
        {{QStringLiteral("bus")}, QStringLiteral("FILE"), Texts::tr("the virtual adapter with this bus file instead of USB")},
        {{QStringLiteral("json")}, QString(), Texts::tr("results as JSON")},
        {{QStringLiteral("q"), QStringLiteral("quiet")}, QString(), Texts::tr("no notes and no progress on standard error")},
        {{QStringLiteral("alignment")}, QStringLiteral("1|8"),
         Texts::tr("bit or byte alignment (default: the window's, ~/.config/tarnbus-tester/setByte.ini)")},
        {{QStringLiteral("trace")}, QStringLiteral("FILE"),
         Texts::tr("every report to and from the adapter into FILE: a .pcap capture (Wireshark, tcpdump), else text")},
        {{QStringLiteral("lang")}, QStringLiteral("zh|en"),
         Texts::tr("the language of the texts (default: the window's choice, else the system's: zh* Chinese, else English)")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QString(), Texts::tr("this help, or a command's after its name")},
        {{QStringLiteral("version")}, QString(), Texts::tr("the version of the tool")},
    };
}

// Shortens the protocol's waits for tests on the virtual adapter. Only
// accepted together with --bus: against hardware the waits are never shortened.
const QString kFastTiming = QStringLiteral("fast-timing");
const QString kVersion = QStringLiteral("version");

QCommandLineOption optionOf(const OptionSpec &spec)
{
    return spec.valueName.isEmpty() ? QCommandLineOption(spec.names, spec.description)
                                    : QCommandLineOption(spec.names, spec.description, spec.valueName);
}

// A parser of the global options and the given command options.
void addOptions(QCommandLineParser &parser, const QList<OptionSpec> &commandOptions)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec &spec : globalOptions())
        parser.addOption(optionOf(spec));
    for (const OptionSpec &spec : commandOptions)
        parser.addOption(optionOf(spec));
    QCommandLineOption fast(kFastTiming);
    fast.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(fast);
}

QString optionText(const OptionSpec &spec)
{
    QStringList names; // the long name first
    for (const QString &name : spec.names)
        names.prepend((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    if (!spec.valueName.isEmpty())
        names.first() += QLatin1Char(' ') + spec.valueName;
    return names.join(QLatin1String(", "));
}

void printOptions(QTextStream &out, const QList<OptionSpec> &options)
{
    int width = 0;
    for (const OptionSpec &spec : options)
        width = std::max(width, int(optionText(spec).size()));
    for (const OptionSpec &spec : options)
        out << "  " << optionText(spec).leftJustified(width + 2) << spec.description << '\n';
}

} // namespace

Cli::Cli(QTextStream &out, QTextStream &err, bool errIsTerminal, QObject *parent)
    : QObject(parent)
    , m_out(out)
    , m_output(out, err, errIsTerminal)
{
}

QString Cli::version()
{
    return AppIdentity::version();
}

void Cli::setInput(int fd, bool isTerminal)
{
    m_inputFd = fd;
    m_inputIsTerminal = fd >= 0 && isTerminal;
}

void Cli::interrupt()
{
    m_interrupted = true;
    if (m_session)
        m_session->interrupt();
    if (m_interruptHandler)
        m_interruptHandler();
}

int Cli::usageError(const QString &message, const QString &command)
{
    m_output.setCommand(command);
    m_output.fail(CliError::usage(message));
    m_output.note(command.isEmpty() ? tr("run '%1 --help' for the commands").arg(kProgram)
                                    : tr("run '%1 %2 --help' for its arguments").arg(kProgram, command));
    return ExitStatus::BadInput;
}

int Cli::run(const QStringList &arguments)
{
    // First pass: every option of every command, to find the command.
    // Commands may share an option's name (--apply, --all): it is added once.
    QList<OptionSpec> all;
    QSet<QString> names;
    for (const CommandSpec &spec : commandTable()) {
        for (const OptionSpec &option : spec.options) {
            if (!names.contains(option.names.first()))
                all += option;
            for (const QString &name : option.names)
                names.insert(name);
        }
    }
    QCommandLineParser first;
    addOptions(first, all);
    if (!first.parse(QStringList{kProgram} + arguments))
        return usageError(first.errorText());
    m_output.setJson(first.isSet(QStringLiteral("json")));
    m_output.setQuiet(first.isSet(QStringLiteral("quiet")));
    if (first.isSet(QStringLiteral("lang"))) {
        const QString language = first.value(QStringLiteral("lang"));
        const std::optional<Language::Choice> choice = Language::parse(language);
        if (!choice)
            return usageError(tr("--lang is zh or en, not \"%1\"").arg(language));
        if (*choice != Language::current())
            Language::apply(*choice);
    }
    if (first.isSet(kVersion)) {
        m_output.line(QStringLiteral("%1 %2").arg(kProgram, version()));
        return ExitStatus::Success;
    }
    const QStringList positional = first.positionalArguments();
    if (positional.isEmpty()) {
        if (first.isSet(QStringLiteral("help"))) {
            printHelp();
            return ExitStatus::Success;
        }
        return usageError(tr("no command given"));
    }
    if (positional.first() == QLatin1String("help")) {
        const CommandSpec *spec = positional.size() > 1 ? findCommand(positional.at(1)) : nullptr;
        if (positional.size() > 1 && !spec)
            return usageError(tr("no command \"%1\"").arg(positional.at(1)));
        spec ? printCommandHelp(*spec) : printHelp();
        return ExitStatus::Success;
    }
    const CommandSpec *spec = findCommand(positional.first());
    if (!spec)
        return usageError(tr("no command \"%1\"").arg(positional.first()));
    return runCommand(*spec, arguments);
}

int Cli::runCommand(const CommandSpec &spec, const QStringList &arguments)
{
    // Second pass: only the command's own options.
    QCommandLineParser parser;
    addOptions(parser, spec.options);
    if (!parser.parse(QStringList{kProgram} + arguments))
        return usageError(parser.errorText(), spec.name);
    m_output.setCommand(spec.name);
    if (parser.isSet(QStringLiteral("help"))) {
        printCommandHelp(spec);
        return ExitStatus::Success;
    }
    const QStringList args = parser.positionalArguments().mid(1);
    if (args.size() < spec.minArguments || (spec.maxArguments >= 0 && args.size() > spec.maxArguments))
        return usageError(tr("usage: %1 %2 %3").arg(kProgram, spec.name, spec.synopsis).trimmed(), spec.name);

    Context ctx{m_output, parser, args, parser.values(QStringLiteral("adapter")), appcore::AlignmentSetting::unit(),
                parser.isSet(QStringLiteral("bus")), {}, {}, {}, m_inputFd, m_inputIsTerminal};
    if (parser.isSet(QStringLiteral("alignment"))) {
        const QString unit = parser.value(QStringLiteral("alignment"));
        if (unit != QLatin1String("1") && unit != QLatin1String("8"))
            return usageError(tr("--alignment is 1 (bits) or 8 (bytes), not \"%1\"").arg(unit), spec.name);
        ctx.alignmentUnit = unit.toInt();
    }
    if (parser.isSet(kFastTiming)) {
        if (!ctx.simulated)
            return usageError(tr("--%1 is only for the virtual adapter (--bus)").arg(kFastTiming), spec.name);
        tarnbus::setLinkTiming(tarnbus::LinkTiming::forVirtualAdapter());
    }
    const QString tracePath = parser.value(QStringLiteral("trace"));
    if (parser.isSet(QStringLiteral("trace"))) {
        const QFileInfo folder(QFileInfo(tracePath).absolutePath());
        if (tracePath.isEmpty() || QFileInfo(tracePath).isDir() || !folder.isDir() || !folder.isWritable())
            return usageError(tr("--trace: cannot write \"%1\"").arg(tracePath), spec.name);
    }
    // Counters and trace cover this command.
    for (const std::shared_ptr<LinkDiagnostics> &diagnostics : LinkDiagnostics::all()) {
        diagnostics->counters().reset();
        diagnostics->trace().clear();
    }
    LinkDiagnostics::setTraceByDefault(!tracePath.isEmpty());
    ctx.setSession = [this](AdapterSession *session) {
        m_session = session;
        if (m_session && m_interrupted)
            m_session->interrupt();
    };
    ctx.interrupted = [this] { return m_interrupted; };
    ctx.setInterruptHandler = [this](std::function<void()> handler) { m_interruptHandler = std::move(handler); };
    int status = spec.run(ctx);
    m_interruptHandler = nullptr;
    if (!tracePath.isEmpty())
        status = writeTrace(tracePath, status);
    m_output.setCommand(QString());
    return status;
}

// The trace is written whatever the command's outcome: a failed command is
// what it is most often wanted for. A trace that cannot be written fails a
// command that succeeded.
int Cli::writeTrace(const QString &path, int status)
{
    QList<tarnbus::trace::Capture> captures;
    int reports = 0;
    for (const std::shared_ptr<LinkDiagnostics> &diagnostics : LinkDiagnostics::all()) {
        const tarnbus::trace::Capture capture = tarnbus::trace::captureOf(*diagnostics);
        if (capture.entries.isEmpty())
            continue;
        captures.append(capture);
        reports += capture.entries.size();
    }
    const QString error = tarnbus::trace::writeTrace(path, captures);
    if (!error.isEmpty()) {
        m_output.warn(tr("trace: %1").arg(error));
        return status == ExitStatus::Success ? ExitStatus::BusFailure : status;
    }
    m_output.note(tr("trace: %1 reports written to %2").arg(reports).arg(path));
    return status;
}

void Cli::printHelp()
{
    m_output.endProgress();
    QTextStream &out = m_out;
    out << tr("Usage: %1 [OPTIONS] COMMAND [ARGUMENTS]\n").arg(kProgram) << '\n'
        << tr("Drives a TarnBUS adapter from the command line, through the same Adapter as the window.\n") << '\n'
        << tr("Commands:\n");
    int width = 0;
    for (const CommandSpec &spec : commandTable())
        width = std::max(width, int(spec.name.size()));
    for (const CommandSpec &spec : commandTable())
        out << "  " << spec.name.leftJustified(width + 2) << spec.summary << '\n';
    out << '\n' << tr("Options of every command:\n");
    printOptions(out, globalOptions());
    out << '\n'
        << tr("Exit status: 0 success; 1 the operation failed on the bus (refused, time-out, checksum,\n"
              "link lost); 2 bad usage, a bad input file or an upgrade not confirmed, nothing written to an\n"
              "adapter; 3 diff: the bus differs from the file; 130 interrupted.\n")
        << tr("\nExample, on the demonstration bus of the virtual adapter (sim/buses/demo.json in a checkout):\n  ")
        << kProgram << " --bus /usr/share/tarnbus-tester/buses/demo.json show\n"
        << tr("\nRun '%1 COMMAND --help' for a command's arguments; the manual page (man %1) and\n"
              "docs/cli.md have the details.\n")
               .arg(kProgram);
    out.flush();
}

void Cli::printCommandHelp(const CommandSpec &spec)
{
    m_output.endProgress();
    QTextStream &out = m_out;
    out << tr("Usage: %1 [OPTIONS] %2\n")
               .arg(kProgram, spec.synopsis.isEmpty() ? spec.name : spec.name + QLatin1Char(' ') + spec.synopsis)
        << '\n'
        << spec.description << '\n';
    if (!spec.arguments.isEmpty()) {
        out << '\n' << tr("Arguments:\n");
        for (const QString &argument : spec.arguments)
            out << "  " << argument << '\n';
    }
    if (!spec.options.isEmpty()) {
        out << '\n' << tr("Options:\n");
        printOptions(out, spec.options);
    }
    out << '\n'
        << tr("Options of every command: --adapter SERIAL, --bus FILE, --json, --quiet, --alignment 1|8, --trace FILE,\n"
              "--lang zh|en\n")
        << '\n'
        << tr("Example:\n");
    for (const QString &example : spec.examples)
        out << "  " << example << '\n';
    out.flush();
}
