#include "DataFolders.h"

#include "AppIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace DataFolders {

QStringList roots()
{
    const QString name = AppIdentity::applicationName();
    QStringList candidates;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!user.isEmpty())
        candidates << user + QLatin1Char('/') + name;
    // standardLocations() begins with the user's folder again.
    for (const QString &system : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (system != user)
            candidates << system + QLatin1Char('/') + name;
    }
    candidates << QStringLiteral(".");
    // Before the application object exists (the window's --demo), the
    // program's folder comes from the kernel.
    const QString programFolder = QCoreApplication::instance()
                                      ? QCoreApplication::applicationDirPath()
                                      : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
    if (!programFolder.isEmpty())
        candidates << programFolder + QStringLiteral("/../share/") + name;

    QStringList out;
    QSet<QString> seen;
    for (const QString &candidate : candidates) {
        const QString key = QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
        if (seen.contains(key))
            continue;
        seen.insert(key);
        out << candidate;
    }
    return out;
}

QStringList existing(const QString &subfolder, const QStringList &searched)
{
    QStringList out;
    for (const QString &root : searched) {
        const QString folder = root + QLatin1Char('/') + subfolder;
        if (QFileInfo(folder).isDir())
            out << folder;
    }
    return out;
}

QString locate(const QString &relativeName, const QStringList &searched)
{
    if (relativeName.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(relativeName))
        return QFileInfo(relativeName).isFile() ? relativeName : QString();
    for (const QString &root : searched) {
        const QString path = root + QLatin1Char('/') + relativeName;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString userFolder(const QString &subfolder)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/')
           + AppIdentity::applicationName() + QLatin1Char('/') + subfolder;
}

QStringList mergedFiles(const QStringList &folders)
{
    QStringList out;
    QSet<QString> names;
    for (const QString &folder : folders) {
        const QStringList found = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : found) {
            if (names.contains(name))
                continue;
            names.insert(name);
            out << folder + QLatin1Char('/') + name;
        }
    }
    return out;
}

QString demoBus()
{
    const QString installed = locate(kBuses + QStringLiteral("/demo.json"));
    if (!installed.isEmpty())
        return installed;
    const QString checkout = QStringLiteral("./sim/buses/demo.json");
    return QFileInfo(checkout).isFile() ? checkout : QString();
}

} // namespace DataFolders
