#pragma once

// Runs an Adapter the way the adapter manager does: in a worker thread of
// its own, driven only by emitting its signals, every report observed
// through queued connections, against the virtual adapter with the
// protocol's waits shortened.

#include "Adapter.h"
#include "AdapterTypes.h"
#include "DeviceXmlLodaing.h"
#include "FastTiming.h"
#include "LinkTiming.h"
#include "Slave.h"
#include "UsbGlobal.h"
#include "Catalogue.h"
#include "VirtualBus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QtTest>

#include <type_traits>

namespace harness {

const QString kDemoBus = QStringLiteral("sim/buses/demo.json");
const QString kFullBus = QStringLiteral("sim/buses/full128.json");
const QString kDemoSerial = QStringLiteral("3C2E0A000001");

using testing_support::fastTiming;

// Loads the shipped device descriptions once per process.
inline void loadDescriptions()
{
    static const bool loaded = [] {
        DeviceXmlLodaing::instance()->onLoadXmlFile();
        return true;
    }();
    Q_UNUSED(loaded)
}

// Loads a bus file into the virtual bus with its adapters' own waits
// shortened; empty on success, else the error.
inline QString loadBus(const QString &path, int scanReads = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + path;
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    for (int i = 0; i < adapters.size(); ++i) {
        QJsonObject adapter = adapters.at(i).toObject();
        adapter.insert(QLatin1String("scanReads"), scanReads);
        adapter.insert(QLatin1String("restartMs"), 50);
        adapters[i] = adapter;
    }
    root.insert(QLatin1String("adapters"), adapters);
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().loadJson(QJsonDocument(root).toJson().toStdString()));
}

inline tbsim::VirtualAdapter simAdapter(const QString &serial = kDemoSerial)
{
    return tbsim::bus().adapter(serial.toStdString());
}

// Violations of the wire protocol or of hidapi's threading rules.
inline QStringList violations()
{
    QStringList list;
    for (const std::string &v : tbsim::bus().violations())
        list << QString::fromStdString(v);
    return list;
}

// Receives the Adapter's reports in the test's thread.
class Recorder : public QObject
{
    Q_OBJECT
public:
    struct Load {
        adapter_message_type type;
        AdapterStatus status;
        SlaveList slaves;
        int value;
    };
    struct Error {
        adapter_message_type type;
        int err;
        int sid;
        COMM_STATUS_TYPE status;
        SlaveList s1;
        SlaveList s2;
    };

    QList<Load> loads;
    QList<Error> errors;
    QStringList lamps;
    QList<AdapterState> states;
    QList<QList<CsvImportResult>> csvImports;
    QList<SettingsReadBack> settingsReadBacks;
    QList<QPair<SlaveList, SlaveList>> storeReadBacks; // stored, reloaded

    QList<Load> loadsOf(adapter_message_type type) const
    {
        QList<Load> out;
        for (const Load &l : loads) {
            if (l.type == type)
                out << l;
        }
        return out;
    }
    QList<Error> errorsOf(adapter_message_type type) const
    {
        QList<Error> out;
        for (const Error &e : errors) {
            if (e.type == type)
                out << e;
        }
        return out;
    }
    // "kind/err" of every error report, for readable comparisons.
    QStringList errorCodes() const
    {
        QStringList out;
        for (const Error &e : errors)
            out << QStringLiteral("%1/%2").arg(int(e.type)).arg(e.err);
        return out;
    }
    void clear()
    {
        loads.clear();
        errors.clear();
        lamps.clear();
        states.clear();
        csvImports.clear();
        settingsReadBacks.clear();
        storeReadBacks.clear();
    }

public slots:
    void onLoad(adapter_message_type type, AdapterStatus status, SlaveList slaves, int value)
    {
        loads.append(Load{type, status, slaves, value});
    }
    void onError(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status, SlaveList s1, SlaveList s2)
    {
        errors.append(Error{type, int(err), sid, status, s1, s2});
    }
    void onState(AdapterState state) { states.append(state); }
    void onCsvImported(QList<CsvImportResult> results) { csvImports.append(results); }
    void onLamp(QString text) { lamps.append(text); }
    void onSettingsReadBack(SettingsReadBack readBack) { settingsReadBacks.append(readBack); }
    void onStoreReadBack(SlaveList stored, SlaveList reloaded) { storeReadBacks.append({stored, reloaded}); }
};

// The record ids of snapshots, to compare them with records.
inline QList<quint64> recordIds(const SlaveList &slaves)
{
    QList<quint64> ids;
    for (const SlaveSnapshot &slave : slaves)
        ids << slave->recordId;
    return ids;
}

inline QList<quint64> recordIds(const QList<Slave *> &slaves)
{
    QList<quint64> ids;
    for (const Slave *slave : slaves)
        ids << slave->recordId();
    return ids;
}

class AdapterRun
{
public:
    explicit AdapterRun(bool offline = false)
    {
        Adapter::registerMetaTypes();
        adapter = new Adapter;
        adapter->setOffline(offline);
        QObject::connect(adapter, &Adapter::sigSlaveLoadingFinished, &recorder, &Recorder::onLoad, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigErrMessage, &recorder, &Recorder::onError, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigOFFLamp, &recorder, &Recorder::onLamp, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigAdapterState, &recorder, &Recorder::onState, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigCsvImported, &recorder, &Recorder::onCsvImported, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigSettingsReadBack, &recorder, &Recorder::onSettingsReadBack, Qt::QueuedConnection);
        QObject::connect(adapter, &Adapter::sigStoreReadBack, &recorder, &Recorder::onStoreReadBack, Qt::QueuedConnection);
        adapter->moveToThread(&thread);
        thread.start();
    }
    ~AdapterRun() { stop(); }
    AdapterRun(const AdapterRun &) = delete;
    AdapterRun &operator=(const AdapterRun &) = delete;

    // Shuts the Adapter down as the manager does; false when its thread
    // did not end within the time.
    bool stop(int timeoutMs = 10000)
    {
        if (!adapter)
            return true;
        adapter->requestShutdown();
        emit adapter->sigClean();
        const bool ended = thread.wait(timeoutMs);
        adapter = nullptr; // deleted with the thread's last deferred deletions
        return ended;
    }

    void connectTo(const QString &serial = kDemoSerial)
    {
        emit adapter->sigSetSerialPort(UsbGlobal::kVendorId, UsbGlobal::kProductId, serial);
    }

    // Runs fn in the Adapter's thread and returns its result.
    template <typename Fn>
    auto inThread(Fn fn)
    {
        using Result = std::invoke_result_t<Fn>;
        if constexpr (std::is_void_v<Result>) {
            QMetaObject::invokeMethod(adapter, fn, Qt::BlockingQueuedConnection);
        } else {
            Result result{};
            QMetaObject::invokeMethod(adapter, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

    // Waits for the n-th load report of a kind (counting from the last clear).
    bool waitForLoad(adapter_message_type type, int n = 1, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return recorder.loadsOf(type).size() >= n; }, timeoutMs);
    }
    bool waitForError(adapter_message_type type, int n = 1, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return recorder.errorsOf(type).size() >= n; }, timeoutMs);
    }
    // A slave of an offline configuration, made in the Adapter's thread.
    Slave *createOffline(int station, const QByteArray &typeKey)
    {
        return inThread([&] { return adapter->createOfflineSlave(station, typeKey); });
    }

    // Imports configuration lines as the manager does and waits for the results.
    QList<CsvImportResult> importCsv(const QStringList &lines, bool withUid)
    {
        const int before = recorder.csvImports.size();
        adapter->requestCsvImport(lines, withUid);
        if (!QTest::qWaitFor([&] { return recorder.csvImports.size() > before; }, 10000))
            return {};
        return recorder.csvImports.last();
    }
    CsvImportResult importCsvLine(const QString &line, bool withUid)
    {
        return importCsv({line}, withUid).value(0);
    }

    // Waits until the Adapter is idle: every queued request has been served.
    void settle()
    {
        inThread([] {});
        QCoreApplication::processEvents();
    }

    QThread thread;
    Adapter *adapter = nullptr;
    Recorder recorder;
};

} // namespace harness
