#include "DeviceXmlLodaing.h"

#include "DataFolders.h"
#include "DescriptionParser.h"
#include "DeviceXmlLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtConcurrent>

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
    waitForLoading();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files;
}

void DeviceXmlLodaing::loadInBackground()
{
    waitForLoading();
    // Where they are now: the working folder may change meanwhile.
    QStringList where;
    for (const QString &folder : folders())
        where << QDir(folder).absolutePath();
    std::lock_guard<std::mutex> lock(m_mutex);
    // One file after the other: the thread that builds the window keeps a
    // processor of its own meanwhile.
    m_pending = std::async(std::launch::async, [this, where] { replaceWithFolders(where, false); }).share();
}

void DeviceXmlLodaing::waitForLoading() const
{
    std::shared_future<void> pending;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pending = m_pending;
    }
    if (pending.valid())
        pending.wait();
}

DeviceXmlLodaing::ReadResult DeviceXmlLodaing::readFile(const QString &path)
{
    ReadResult read;
    if (path.isEmpty())
        return read;
    // Read access is all the loader needs; descriptions on read-only media or
    // in a write-protected install must load as well.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.result = OpenFailed;
        read.error = file.errorString();
        return read;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    auto parsed = QSharedPointer<DescriptionFile>::create(parseDescriptionBytes(bytes, &read.error));
    parsed->fileName = QFileInfo(path).fileName();
    read.result = Loaded;
    read.file = parsed;
    return read;
}

DescriptionFilePtr DeviceXmlLodaing::report(const QString &path, const ReadResult &read)
{
    if (read.result == OpenFailed)
        qCWarning(lcDeviceXml) << "cannot open description" << path << read.error;
    if (read.result == Loaded && !read.error.isEmpty()) {
        qCWarning(lcDeviceXml).nospace() << "description " << path << " is not well-formed XML (" << read.error
                                         << "); it describes no module";
    }
    emit oLoadFileFinish(read.result, path, kProcess);
    return read.file;
}

bool DeviceXmlLodaing::loadFile(const QString &path)
{
    waitForLoading();
    const DescriptionFilePtr parsed = report(path, readFile(path));
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
    waitForLoading();
    replaceWithFolders(folders, true);
}

void DeviceXmlLodaing::replaceWithFolders(const QStringList &folders, bool sideBySide)
{
    // Name order makes "the first file loaded wins" the same on every system;
    // the results are taken in that order whichever file is parsed first.
    const QStringList paths = DataFolders::mergedFiles(folders);
    QList<DescriptionFilePtr> loaded;
    if (paths.size() < 2 || !sideBySide) {
        for (const QString &path : paths) {
            if (const DescriptionFilePtr parsed = report(path, readFile(path)))
                loaded.append(parsed);
        }
    } else {
        const QFuture<ReadResult> reading = QtConcurrent::mapped(paths, &DeviceXmlLodaing::readFile);
        for (int i = 0; i < paths.size(); ++i) {
            if (const DescriptionFilePtr parsed = report(paths.at(i), reading.resultAt(i)))
                loaded.append(parsed);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_files = loaded;
    }
    emit oLoadFinished();
}

void DeviceXmlLodaing::onLoadXmlFile()
{
    loadFolders(folders());
}
