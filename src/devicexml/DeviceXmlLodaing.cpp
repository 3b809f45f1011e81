#include "DeviceXmlLodaing.h"

#include "DataFolders.h"
#include "DescriptionParser.h"
#include "DeviceXmlLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

DeviceXmlLodaing::DeviceXmlLodaing(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<DeviceXmlLodaing::ResultType>("DeviceXmlLodaing::ResultType");
    connect(this, &DeviceXmlLodaing::oLoadXmlFile, this, &DeviceXmlLodaing::onLoadXmlFile);
}

DeviceXmlLodaing *DeviceXmlLodaing::instance()
{
    // Created on first use, lives until the process ends. It belongs to the
    // application's thread even when a worker thread touches it first, so
    // that oLoadXmlFile reloads where the application asked for it.
    static DeviceXmlLodaing *const loader = [] {
        auto *created = new DeviceXmlLodaing;
        if (QCoreApplication::instance())
            created->moveToThread(QCoreApplication::instance()->thread());
        return created;
    }();
    return loader;
}

QStringList DeviceXmlLodaing::folders()
{
    return DataFolders::existing(DataFolders::kDescriptions);
}

QList<DescriptionFilePtr> DeviceXmlLodaing::files() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files;
}

DescriptionFilePtr DeviceXmlLodaing::readFile(const QString &path)
{
    if (path.isEmpty()) {
        emit oLoadFileFinish(PathEmpty, path, kProcess);
        return {};
    }
    // Read access is all the loader needs; descriptions on read-only media or
    // in a write-protected install must load as well.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDeviceXml) << "cannot open description" << path << file.errorString();
        emit oLoadFileFinish(OpenFailed, path, kProcess);
        return {};
    }
    const QByteArray bytes = file.readAll();
    file.close();

    QString error;
    auto parsed = QSharedPointer<DescriptionFile>::create(parseDescriptionBytes(bytes, &error));
    parsed->fileName = QFileInfo(path).fileName();
    if (!error.isEmpty()) {
        qCWarning(lcDeviceXml).nospace() << "description " << path << " is not well-formed XML (" << error
                                         << "); it describes no module";
    }
    emit oLoadFileFinish(Loaded, path, kProcess);
    return parsed;
}

bool DeviceXmlLodaing::loadFile(const QString &path)
{
    const DescriptionFilePtr parsed = readFile(path);
    if (!parsed)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.append(parsed);
    return true;
}

void DeviceXmlLodaing::loadFolder(const QString &folder)
{
    loadFolders({folder});
}

void DeviceXmlLodaing::loadFolders(const QStringList &folders)
{
    // Name order makes "the first file loaded wins" the same on every system.
    QList<DescriptionFilePtr> loaded;
    for (const QString &path : DataFolders::mergedFiles(folders)) {
        const DescriptionFilePtr parsed = readFile(path);
        if (parsed)
            loaded.append(parsed);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files = loaded;
}

void DeviceXmlLodaing::onLoadXmlFile()
{
    loadFolders(folders());
}
