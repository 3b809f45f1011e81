#include "SettingsFiles.h"

#include "AppIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>

#include <mutex>

namespace {

Q_LOGGING_CATEGORY(lcSettings, "tarnbus.settings")

// Window and adapter threads may ask at the same time; one takes over.
std::mutex g_takeOverLock;

} // namespace

namespace SettingsFiles {

QString folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
           + AppIdentity::applicationName();
}

QString takeOver(const QString &oldFile, const QString &newFile)
{
    std::lock_guard<std::mutex> lock(g_takeOverLock);
    if (QFileInfo::exists(newFile) || !QFileInfo(oldFile).isFile())
        return newFile;
    QFile old(oldFile);
    QSaveFile copy(newFile);
    const bool copied = old.open(QIODevice::ReadOnly) && QDir().mkpath(QFileInfo(newFile).absolutePath())
                        && copy.open(QIODevice::WriteOnly) && copy.write(old.readAll()) >= 0 && copy.commit();
    if (!copied) {
        qCWarning(lcSettings).noquote() << "cannot take over" << oldFile << "into" << newFile << "- it is used where it is:"
                                        << (copy.errorString().isEmpty() ? old.errorString() : copy.errorString());
        return oldFile;
    }
    qCInfo(lcSettings).noquote() << "settings taken over from" << oldFile << "into" << newFile;
    return newFile;
}

QString path(const QString &name)
{
    return takeOver(QStringLiteral("./") + name, folder() + QLatin1Char('/') + name);
}

} // namespace SettingsFiles
