#pragma once

#include "DescriptionModel.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <future>
#include <mutex>

using DescriptionFilePtr = QSharedPointer<const DescriptionFile>;

// The process-wide library of device descriptions. Loading runs in the
// thread that asks for it; the factory reads the library from adapter worker
// threads, so files() hands out a snapshot that stays valid while a reload
// replaces the library.
//
// A reload (at start-up, and in the window after a description was imported)
// never races an Adapter that is creating slaves in its thread: the new
// library is read completely into a list of its own and swapped in under the
// lock in one step, and every slave is built from one snapshot taken under
// that lock. A slave is therefore built wholly from the old or wholly from
// the new library, and the old descriptions stay alive until the last
// snapshot that holds them is dropped. Slaves copy what they need, so those
// created before a reload keep working with what they were built from.
class DeviceXmlLodaing : public QObject
{
    Q_OBJECT
public:
    enum ResultType {
        PathEmpty = 0,  // the path was empty
        OpenFailed = 1, // the file could not be opened
        Loaded = 2,     // read and parsed; its collection was appended
    };
    Q_ENUM(ResultType)

    static constexpr int kProcess = 1;

    static DeviceXmlLodaing *instance();

    // The description folders onLoadXmlFile reads, in the order of the data
    // folders (DataFolders): the user's, the system's, the working folder's.
    static QStringList folders();

    // Loaded collections in load order. While a load started by
    // loadInBackground runs, waits for it: nothing is built from a library
    // that is still arriving.
    QList<DescriptionFilePtr> files() const;

    // Reloads every file of the description folders in a thread of its own
    // and returns at once (the window's start, so that its first picture
    // does not wait for the library). Every other load waits for it first,
    // so the loads replace the library in the order they were asked for.
    void loadInBackground();
    // Waits for a load started by loadInBackground; at once when none runs.
    void waitForLoading() const;

    // Reads one description file, plain or scrambled, and appends its
    // collection. True only when the file was read.
    bool loadFile(const QString &path);

    // Replaces the library by the files of folder, in name order. The old
    // library stays visible until the new one is complete. Files are parsed
    // side by side; they are appended and announced (oLoadFileFinish) in
    // name order all the same.
    void loadFolder(const QString &folder);
    // The same for several folders, in their order: a file hides those of
    // the same name in the folders after it, so that a description the user
    // imported replaces the shipped one of that name.
    void loadFolders(const QStringList &folders);

signals:
    void oLoadFileFinish(DeviceXmlLodaing::ResultType result, QString fileName, int process);
    void oLoadXmlFile();
    // The library was replaced by the folders' files (emitted in the thread
    // that loaded them).
    void oLoadFinished();

public slots:
    // Reloads every file of the description folders.
    void onLoadXmlFile();

private:
    explicit DeviceXmlLodaing(QObject *parent = nullptr);

    struct ReadResult {
        ResultType result = PathEmpty;
        DescriptionFilePtr file; // null unless Loaded
        QString error;           // why the file is not well-formed, or why it did not open
    };
    // Reads and parses path; touches nothing shared, so that files can be
    // read side by side.
    static ReadResult readFile(const QString &path);
    // Logs and announces a file's result in the loader's thread.
    DescriptionFilePtr report(const QString &path, const ReadResult &read);
    // loadFolders without waiting for a background load (the background load
    // itself); sideBySide: the files parsed in parallel.
    void replaceWithFolders(const QStringList &folders, bool sideBySide);

    mutable std::mutex m_mutex;
    QList<DescriptionFilePtr> m_files;
    std::shared_future<void> m_pending; // the background load, under m_mutex
};

