#include "BusLauncher.h"

#include "Output.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

constexpr char kBusVariable[] = "TARNBUS_SIM_BUS";       // read by the preloaded library
constexpr char kStartedVariable[] = "TARNBUS_CLI_ON_SIM"; // the library this start preloads
constexpr char kLibraryName[] = "libtarnbus_sim_preload.so";

// The value of --bus, if the command line has one.
const char *busArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        if ((arg == "--bus" || arg == "-bus") && i + 1 < argc)
            return argv[i + 1];
        if (arg.startsWith("--bus="))
            return argv[i] + 6;
        if (arg.startsWith("-bus="))
            return argv[i] + 5;
    }
    return nullptr;
}

bool wantsJson(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--json" || QByteArray(argv[i]) == "-json")
            return true;
    }
    return false;
}

int fail(int argc, char **argv, const QString &message)
{
    const QByteArray text = message.toUtf8();
    if (wantsJson(argc, argv))
        std::fprintf(stderr, "{\"error\":\"%s\",\"status\":%d}\n", QString::fromUtf8(text).replace(QLatin1Char('"'), QLatin1Char('\'')).toUtf8().constData(),
                     ExitStatus::BadInput);
    else
        std::fprintf(stderr, "tarnbus-cli: --bus: %s\n", text.constData());
    return ExitStatus::BadInput;
}

QString programPath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

// The virtual adapter's library: installed beside the program, or where
// the build put it.
QString libraryPath()
{
    const QString beside = QFileInfo(programPath()).absolutePath() + QLatin1Char('/') + QLatin1String(kLibraryName);
    if (QFileInfo::exists(beside))
        return beside;
#ifdef TARNBUS_SIM_PRELOAD
    if (QFileInfo::exists(QStringLiteral(TARNBUS_SIM_PRELOAD)))
        return QStringLiteral(TARNBUS_SIM_PRELOAD);
#endif
    return QString();
}

} // namespace

namespace BusLauncher {

int prepare(int argc, char **argv)
{
    const char *bus = busArgument(argc, argv);
    if (!bus)
        return -1;

    if (const char *preloaded = std::getenv(kStartedVariable)) {
        // The second start: go on only when the library really is loaded,
        // or --bus would talk to the adapters on USB.
        if (::dlopen(preloaded, RTLD_LAZY | RTLD_NOLOAD))
            return -1;
        return fail(argc, argv, QStringLiteral("the virtual adapter (%1) could not be preloaded").arg(QString::fromLocal8Bit(preloaded)));
    }

    const QFileInfo busFile(QString::fromLocal8Bit(bus));
    if (!busFile.isFile() || !busFile.isReadable())
        return fail(argc, argv, QStringLiteral("%1: cannot read the bus file").arg(QString::fromLocal8Bit(bus)));
    const QString library = libraryPath();
    if (library.isEmpty())
        return fail(argc, argv, QStringLiteral("the virtual adapter (%1) is not installed beside the program").arg(QLatin1String(kLibraryName)));

    QByteArray preload = QFile::encodeName(library);
    if (const char *existing = std::getenv("LD_PRELOAD"); existing && *existing)
        preload += ':' + QByteArray(existing);
    ::setenv(kBusVariable, QFile::encodeName(busFile.absoluteFilePath()).constData(), 1);
    ::setenv("LD_PRELOAD", preload.constData(), 1);
    ::setenv(kStartedVariable, QFile::encodeName(library).constData(), 1);
    ::execv(QFile::encodeName(programPath()).constData(), argv);
    return fail(argc, argv, QStringLiteral("cannot start %1 again on the virtual adapter").arg(programPath()));
}

} // namespace BusLauncher
