#include "RecentFolders.h"

#include "SettingsFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kFile = QStringLiteral("folders.ini");

QString settingsPath()
{
    return SettingsFiles::folder() + QLatin1Char('/') + kFile;
}

} // namespace

namespace RecentFolders {

QString documents()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString start(const QString &kind)
{
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    const QString folder = settings.value(kind).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : documents();
}

void remember(const QString &kind, const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (folder.isEmpty())
        return;
    QDir().mkpath(SettingsFiles::folder());
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(kind, folder);
}

} // namespace RecentFolders
