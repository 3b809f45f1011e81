#include "BusLauncher.h"

#include "Output.h"

#include "VirtualAdapterLauncher.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace {

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

} // namespace

namespace BusLauncher {

int prepare(int argc, char **argv)
{
    const char *bus = busArgument(argc, argv);
    if (!bus || VirtualAdapterLauncher::isRunning())
        return -1;
    return fail(argc, argv, VirtualAdapterLauncher::restart(argv, QString::fromLocal8Bit(bus)));
}

} // namespace BusLauncher
