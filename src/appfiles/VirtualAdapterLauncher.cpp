#include "VirtualAdapterLauncher.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

constexpr char kBusVariable[] = "TARNBUS_SIM_BUS";                 // read by the library
constexpr char kStartedVariable[] = "TARNBUS_ON_VIRTUAL_ADAPTER"; // the library this start preloads

QString programPath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

QString VirtualAdapterLauncher::libraryPath()
{
    const QString programFolder = QFileInfo(programPath()).absolutePath();
    const QString name = QStringLiteral(TARNBUS_SIM_LIBRARY);
    const QStringList candidates{
        programFolder + QStringLiteral("/" TARNBUS_SIM_INSTALLED "/") + name,
        programFolder + QLatin1Char('/') + name,
        programFolder + QStringLiteral("/" TARNBUS_SIM_BUILT "/") + name,
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return QString();
}

bool VirtualAdapterLauncher::isRunning()
{
    const char *preloaded = std::getenv(kStartedVariable);
    return preloaded && *preloaded && ::dlopen(preloaded, RTLD_LAZY | RTLD_NOLOAD);
}

QString VirtualAdapterLauncher::busFile()
{
    return std::getenv(kStartedVariable) ? QFile::decodeName(qgetenv(kBusVariable)) : QString();
}

QString VirtualAdapterLauncher::restart(char **argv, const QString &busFile)
{
    if (const char *preloaded = std::getenv(kStartedVariable)) {
        // The second start, yet the library is not loaded: going on would
        // talk to the adapters on USB.
        if (!isRunning())
            return tr("the virtual adapter (%1) could not be preloaded").arg(QFile::decodeName(preloaded));
        return QString();
    }
    const QFileInfo bus(busFile);
    if (!bus.isFile() || !bus.isReadable())
        return tr("%1: cannot read the bus file").arg(busFile);
    const QString library = libraryPath();
    if (library.isEmpty())
        return tr("the virtual adapter (%1) is not installed").arg(QStringLiteral(TARNBUS_SIM_LIBRARY));

    QByteArray preload = QFile::encodeName(library);
    if (const char *existing = std::getenv("LD_PRELOAD"); existing && *existing)
        preload += ':' + QByteArray(existing);
    ::setenv(kBusVariable, QFile::encodeName(bus.absoluteFilePath()).constData(), 1);
    ::setenv("LD_PRELOAD", preload.constData(), 1);
    ::setenv(kStartedVariable, QFile::encodeName(library).constData(), 1);
    ::execv(QFile::encodeName(programPath()).constData(), argv);
    return tr("cannot start %1 again on the virtual adapter").arg(programPath());
}
