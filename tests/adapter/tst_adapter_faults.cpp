// Every Adapter operation against every kind of link fault: the reports it
// gives, and the busy flag, the poll timer and force mode it leaves behind.
// A lost link must come back by itself and leave the Adapter idle again.

#include "AdapterHarness.h"
#include "RecordLayout.h"
#include "TarnBaseConvert.h"

#include <functional>

using namespace harness;

namespace {

enum class Operation {
    Connect,
    Reload,
    Poll,
    ForceOn,
    ForceOff,
    ProcessData,
    SettingsWrite,
    Store,
    Lamp,
    PowerRefresh,
    SlaveConfigByStation,
    SlaveConfigStatusRead,
    SlaveConfigByIdentity,
    IdentityChange,
    RepeatedStations,
    ConfigurationDownload,
    OfflineDownload,
};

// The command each operation is hit on.
struct Target {
    int code;
    int param1;
    int param2;
};

Target targetOf(Operation op)
{
    switch (op) {
    case Operation::Connect:
        return {0x48, 0x00, 0xEC};
    case Operation::Reload:
    case Operation::Poll:
    case Operation::SlaveConfigStatusRead:
        return {0x25, 0x00, 0x80};
    case Operation::ForceOn:
        return {0x48, 0x05, 0x00};
    case Operation::ForceOff:
        return {0x23, 0x00, 0x00};
    case Operation::ProcessData:
        return {0x49, 0xFE, 0x00};
    case Operation::SettingsWrite:
        return {0x42, -1, 0x00}; // the write, not the apply (AA 55)
    case Operation::Store:
        return {0x46, 0x34, 0x12};
    case Operation::Lamp:
        return {0x27, 0x10, 0x00};
    case Operation::PowerRefresh:
        return {0x21, 0x00, 0x00};
    case Operation::SlaveConfigByStation:
        return {0x46, 0x01, 0x00};
    case Operation::SlaveConfigByIdentity:
    case Operation::IdentityChange:
    case Operation::RepeatedStations:
    case Operation::ConfigurationDownload:
        return {0x47, 0x00, 0x02};
    case Operation::OfflineDownload:
        return {0x46, 0x00, 0x02};
    }
    return {-1, -1, -1};
}

const char *kUid1 = "FLT000000001"; // DI8 at station 1
const char *kUid2 = "FLT000000002"; // DO8 at station 2
const char *kUid3 = "FLT000000003"; // DI8 at station 3

// A small bus whose every module has a description, so that every write is
// one the adapter accepts unless a fault says otherwise.
QString loadFaultBus()
{
    tbsim::AdapterConfig config;
    config.serial = kDemoSerial.toStdString();
    config.scanReads = 0;
    config.restartMs = 50;
    tbsim::Module di1 = tbsim::catalogueModule(0x1101, kUid1, 1);
    tbsim::Module do2 = tbsim::catalogueModule(0x1201, kUid2, 2);
    tbsim::Module di3 = tbsim::catalogueModule(0x1101, kUid3, 3);
    di3.inStart = 8;
    config.modules = {di1, do2, di3};
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().addAdapter(config));
}

// No poll tick of its own during a row: a row asserts whether the operation
// restarted the poll timer, and the poll row starts its poll itself.
tarnbus::LinkTiming faultTiming()
{
    tarnbus::LinkTiming t = fastTiming();
    t.pollPeriodMs = 600000;
    return t;
}

QStringList withoutUsbState(const QStringList &codes)
{
    QStringList out;
    for (const QString &code : codes) {
        if (!code.startsWith(QLatin1String("25/")))
            out << code;
    }
    return out;
}

struct RecordsState {
    bool busy = false;
    bool polling = false;
    bool linked = false;
    bool force = false;
};

RecordsState stateOf(AdapterRun &run)
{
    return run.inThread([&] {
        RecordsState s;
        s.busy = run.adapter->isBusy();
        s.polling = run.adapter->isPolling();
        s.linked = run.adapter->isLinked();
        s.force = run.adapter->isForceMode();
        return s;
    });
}

// Emits a request of the slave at a station from the Adapter's thread, as
// the slave's own views make it do.
void fromSlave(AdapterRun &run, int station, const std::function<void(Slave *)> &request)
{
    run.inThread([&] {
        Slave *slave = run.adapter->findSlaveByStation(station);
        QVERIFY(slave);
        QMetaObject::invokeMethod(slave, [slave, request] { request(slave); }, Qt::QueuedConnection);
    });
}

// What the tool holds of the adapter and its modules against what the
// virtual adapter holds: empty when they agree, else the first difference.
QString differenceFromTheAdapter(AdapterRun &run, tbsim::VirtualAdapter &sim)
{
    return run.inThread([&]() -> QString {
        if (run.adapter->isLinked() && sim.forceMode() && !run.adapter->isForceMode())
            return QStringLiteral("the adapter forces, the tool says it does not");
        const AdapterState state = run.adapter->state();
        if (state.settingsKnown && (state.settingsByte != sim.settings() || state.threshold != sim.threshold()))
            return QStringLiteral("settings %1/%2, adapter %3/%4")
                .arg(state.settingsByte).arg(state.threshold).arg(sim.settings()).arg(sim.threshold());
        const std::vector<tbsim::Module> modules = sim.modules();
        if (run.adapter->slaveList().size() != int(modules.size()))
            return QStringLiteral("%1 records for %2 modules").arg(run.adapter->slaveList().size()).arg(modules.size());
        for (const Slave *slave : run.adapter->slaveList()) {
            const std::optional<tbsim::Module> module = sim.module(slave->uuid.toStdString());
            if (!module)
                return QStringLiteral("%1 is not on the bus").arg(QString::fromLatin1(slave->uuid));
            const QString uid = QString::fromLatin1(slave->uuid);
            const Slave::IoWindow w = slave->ioWindow();
            const auto area = [](int start, int bits) { return bits > 0 ? QStringLiteral("%1+%2").arg(start).arg(bits) : QStringLiteral("-"); };
            if (slave->stationId != module->station)
                return QStringLiteral("%1: station %2, module %3").arg(uid).arg(slave->stationId).arg(module->station);
            if (area(w.inputStart, w.inputBits) != area(module->inStart, module->inBits()))
                return QStringLiteral("%1: inputs %2, module %3").arg(uid, area(w.inputStart, w.inputBits), area(module->inStart, module->inBits()));
            if (area(w.outputStart, w.outputBits) != area(module->outStart, module->outBits()))
                return QStringLiteral("%1: outputs %2, module %3").arg(uid, area(w.outputStart, w.outputBits), area(module->outStart, module->outBits()));
            const QByteArray params(reinterpret_cast<const char *>(module->params.data()), int(module->params.size()));
            const QMap<QString, qint16> held = RecordLayout::decodeParameters(params, 0);
            for (const ItemInfo *item : slave->group(Slave::kConfigData)->items) {
                if (item->paramType < TarnBase::ParamFilter)
                    continue;
                QByteArray expected(2, '\0');
                RecordLayout::putWord(expected, 0, quint16(held.value(item->name)));
                if (item->value.data != expected)
                    return QStringLiteral("%1: %2 is %3, module %4").arg(uid, item->name, QString::fromLatin1(item->value.data.toHex()),
                                                                         QString::fromLatin1(expected.toHex()));
            }
            if (slave->lighting != module->lamp)
                return QStringLiteral("%1: lamp %2, module %3").arg(uid).arg(slave->lighting).arg(module->lamp);
        }
        return QString();
    });
}

// Reads the bus once as a poll does, unless force mode keeps polls away.
void pollOnce(AdapterRun &run)
{
    if (run.inThread([&] { return run.adapter->isForceMode() || !run.adapter->isLinked(); }))
        return;
    QMetaObject::invokeMethod(run.adapter, "onUpdateSlaveList", Qt::QueuedConnection);
    run.settle();
}

} // namespace

// The link's result for each kind of fault.
COMM_STATUS_TYPE resultOf(tbsim::FaultKind fault)
{
    switch (fault) {
    case tbsim::FaultKind::NoReply:
        return COMM_TIMEOUT;
    case tbsim::FaultKind::ErrorReport:
        return COMM_REPLY_ERROR;
    case tbsim::FaultKind::BadChecksum:
        return COMM_CRC_ERROR;
    case tbsim::FaultKind::Refuse:
        return COMM_REFUSED;
    case tbsim::FaultKind::UnplugMidway:
        return COMM_NOT_CONNECTED;
    default:
        return COMM_OK;
    }
}

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(tbsim::FaultKind)

class TestAdapterFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(faultTiming());
        loadDescriptions();
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
    }

    void faultTable_data();
    void faultTable();
    void refusedAddressRecords_data();
    void refusedAddressRecords();

private:
    void runLiveRow(Operation op, tbsim::FaultKind fault, const QStringList &codes, bool busy, bool polling, bool force);
    void runOfflineRow(tbsim::FaultKind fault, const QStringList &codes);
};

void TestAdapterFaults::faultTable_data()
{
    QTest::addColumn<Operation>("op");
    QTest::addColumn<tbsim::FaultKind>("fault");
    QTest::addColumn<QStringList>("codes"); // kind/err of every report but the USB state
    QTest::addColumn<bool>("busy");         // afterwards; with an unplug: before the replug
    QTest::addColumn<bool>("polling");
    QTest::addColumn<bool>("force");

    using F = tbsim::FaultKind;
    using O = Operation;
    const auto row = [](const char *name, O op, F fault, const QStringList &codes, bool busy, bool polling, bool force = false) {
        QTest::newRow(name) << op << fault << codes << busy << polling << force;
    };

    // The handshake that opens the connection: the sequence stops.
    row("connect/time-out", O::Connect, F::NoReply, {"29/23"}, false, false);
    row("connect/error report", O::Connect, F::ErrorReport, {"29/25"}, false, false);
    row("connect/bad checksum", O::Connect, F::BadChecksum, {"28/20"}, false, false);
    row("connect/refused", O::Connect, F::Refuse, {"28/30"}, false, false);
    row("connect/unplug", O::Connect, F::UnplugMidway, {"29/28"}, false, false);

    // The scan wait of a reload: the list is kept, the reload ends normally.
    row("reload/time-out", O::Reload, F::NoReply, {"29/27"}, false, true);
    row("reload/error report", O::Reload, F::ErrorReport, {"29/27"}, false, true);
    row("reload/bad checksum", O::Reload, F::BadChecksum, {"28/20"}, false, true);
    row("reload/refused", O::Reload, F::Refuse, {"28/30"}, false, true);
    row("reload/unplug", O::Reload, F::UnplugMidway, {"29/27", "28/28"}, false, false);

    // A poll keeps polling unless the link is gone.
    row("poll/time-out", O::Poll, F::NoReply, {"29/23"}, false, true);
    row("poll/error report", O::Poll, F::ErrorReport, {"29/25"}, false, true);
    row("poll/bad checksum", O::Poll, F::BadChecksum, {"28/0"}, false, true);
    row("poll/refused", O::Poll, F::Refuse, {"28/30"}, false, true);
    row("poll/unplug", O::Poll, F::UnplugMidway, {"29/28"}, false, false);

    // Force mode is entered only when the adapter says so. An answer that
    // was lost may hide a force mode that began: the tool leaves it at
    // once, and after a lost link shows it until the adapter is back.
    row("force on/time-out", O::ForceOn, F::NoReply, {"36/4"}, false, true, false);
    row("force on/error report", O::ForceOn, F::ErrorReport, {"36/4"}, false, true, false);
    row("force on/bad checksum", O::ForceOn, F::BadChecksum, {"36/4"}, false, true, false);
    row("force on/refused", O::ForceOn, F::Refuse, {"11/1"}, false, true, false);
    row("force on/unplug", O::ForceOn, F::UnplugMidway, {"36/4"}, false, false, true);

    // Leaving force mode: unless the adapter took every step, force mode
    // stays, and the cycle keeps every output at zero.
    row("force off/time-out", O::ForceOff, F::NoReply, {"36/5"}, false, false, true);
    row("force off/error report", O::ForceOff, F::ErrorReport, {"36/5"}, false, false, true);
    row("force off/bad checksum", O::ForceOff, F::BadChecksum, {"36/5"}, false, false, true);
    row("force off/refused", O::ForceOff, F::Refuse, {"36/5"}, false, false, true);
    row("force off/unplug", O::ForceOff, F::UnplugMidway, {"36/5"}, false, false, true);

    // Process data: an empty reply stops the cycle, a bad one does not;
    // force mode stays until the adapter confirms leaving it.
    row("process data/time-out", O::ProcessData, F::NoReply, {"29/23"}, false, false, true);
    row("process data/error report", O::ProcessData, F::ErrorReport, {"29/25"}, false, false, true);
    row("process data/bad checksum", O::ProcessData, F::BadChecksum, {"28/20"}, false, false, true);
    row("process data/refused", O::ProcessData, F::Refuse, {"28/30"}, false, false, true);
    row("process data/unplug", O::ProcessData, F::UnplugMidway, {"29/28"}, false, false, true);

    row("settings write/time-out", O::SettingsWrite, F::NoReply, {"36/2"}, false, true);
    row("settings write/error report", O::SettingsWrite, F::ErrorReport, {"36/2"}, false, true);
    row("settings write/bad checksum", O::SettingsWrite, F::BadChecksum, {"36/2"}, false, true);
    row("settings write/refused", O::SettingsWrite, F::Refuse, {"36/2"}, false, true);
    row("settings write/unplug", O::SettingsWrite, F::UnplugMidway, {"36/2"}, false, false);

    // A store that failed did not restart the adapter: polling goes on.
    row("store/time-out", O::Store, F::NoReply, {"36/1"}, false, true);
    row("store/error report", O::Store, F::ErrorReport, {"36/1"}, false, true);
    row("store/bad checksum", O::Store, F::BadChecksum, {"36/1"}, false, true);
    row("store/refused", O::Store, F::Refuse, {"36/1"}, false, true);
    row("store/unplug", O::Store, F::UnplugMidway, {"36/1"}, false, false);

    row("lamp/time-out", O::Lamp, F::NoReply, {"36/3"}, false, true);
    row("lamp/error report", O::Lamp, F::ErrorReport, {"36/3"}, false, true);
    row("lamp/bad checksum", O::Lamp, F::BadChecksum, {"36/3"}, false, true);
    row("lamp/refused", O::Lamp, F::Refuse, {"36/3"}, false, true);
    row("lamp/unplug", O::Lamp, F::UnplugMidway, {"36/3"}, false, false);

    row("power/time-out", O::PowerRefresh, F::NoReply, {"29/23"}, false, true);
    row("power/error report", O::PowerRefresh, F::ErrorReport, {"29/25"}, false, true);
    row("power/bad checksum", O::PowerRefresh, F::BadChecksum, {"28/20"}, false, true);
    row("power/refused", O::PowerRefresh, F::Refuse, {"28/30"}, false, true);
    row("power/unplug", O::PowerRefresh, F::UnplugMidway, {"29/28"}, false, false);

    // One slave by station (0x46 01 00), its record unchanged: a parameter
    // change in the adapter's eyes. Busy stays only while the link is gone.
    row("slave config by station/time-out", O::SlaveConfigByStation, F::NoReply, {"36/8"}, false, true);
    row("slave config by station/error report", O::SlaveConfigByStation, F::ErrorReport, {"36/8"}, false, true);
    row("slave config by station/bad checksum", O::SlaveConfigByStation, F::BadChecksum, {"36/8"}, false, true);
    row("slave config by station/refused", O::SlaveConfigByStation, F::Refuse, {"36/8"}, false, true);
    row("slave config by station/unplug", O::SlaveConfigByStation, F::UnplugMidway, {"36/8"}, true, false);

    // The bus status read before it.
    row("slave config status read/time-out", O::SlaveConfigStatusRead, F::NoReply, {"29/23"}, false, true);
    row("slave config status read/bad checksum", O::SlaveConfigStatusRead, F::BadChecksum, {"28/20"}, false, true);
    row("slave config status read/refused", O::SlaveConfigStatusRead, F::Refuse, {"28/30"}, false, true);
    row("slave config status read/unplug", O::SlaveConfigStatusRead, F::UnplugMidway, {"29/28"}, true, false);

    row("slave config by identity/time-out", O::SlaveConfigByIdentity, F::NoReply, {"36/8"}, false, true);
    row("slave config by identity/error report", O::SlaveConfigByIdentity, F::ErrorReport, {"36/8"}, false, true);
    row("slave config by identity/bad checksum", O::SlaveConfigByIdentity, F::BadChecksum, {"36/8"}, false, true);
    row("slave config by identity/refused", O::SlaveConfigByIdentity, F::Refuse, {"36/8"}, false, true);
    row("slave config by identity/unplug", O::SlaveConfigByIdentity, F::UnplugMidway, {"36/8"}, true, false);

    row("identity change/time-out", O::IdentityChange, F::NoReply, {"36/8"}, false, true);
    row("identity change/error report", O::IdentityChange, F::ErrorReport, {"36/8"}, false, true);
    row("identity change/bad checksum", O::IdentityChange, F::BadChecksum, {"36/8"}, false, true);
    row("identity change/refused", O::IdentityChange, F::Refuse, {"36/8"}, false, true);
    row("identity change/unplug", O::IdentityChange, F::UnplugMidway, {"36/8"}, true, false);

    // The first entry fails, the second is still written, unless the link is gone.
    row("repeated stations/time-out", O::RepeatedStations, F::NoReply, {"36/12"}, false, true);
    row("repeated stations/error report", O::RepeatedStations, F::ErrorReport, {"36/12"}, false, true);
    row("repeated stations/bad checksum", O::RepeatedStations, F::BadChecksum, {"36/12"}, false, true);
    row("repeated stations/refused", O::RepeatedStations, F::Refuse, {"36/12"}, false, true);
    row("repeated stations/unplug", O::RepeatedStations, F::UnplugMidway, {"36/12"}, true, false);

    // The first record fails, the others are written, then the closing
    // handshake; a download ends with its report also when the link is gone.
    row("configuration download/time-out", O::ConfigurationDownload, F::NoReply, {"36/10", "33/1"}, false, true);
    row("configuration download/error report", O::ConfigurationDownload, F::ErrorReport, {"36/10", "33/1"}, false, true);
    row("configuration download/bad checksum", O::ConfigurationDownload, F::BadChecksum, {"36/10", "33/1"}, false, true);
    row("configuration download/refused", O::ConfigurationDownload, F::Refuse, {"36/10", "33/1"}, false, true);
    row("configuration download/unplug", O::ConfigurationDownload, F::UnplugMidway, {"36/10", "33/0"}, true, false);

    // The offline download ends with its summary whatever failed.
    row("offline download/time-out", O::OfflineDownload, F::NoReply, {"16/0", "16/2"}, false, false);
    row("offline download/error report", O::OfflineDownload, F::ErrorReport, {"16/0", "16/2"}, false, false);
    row("offline download/bad checksum", O::OfflineDownload, F::BadChecksum, {"16/0", "16/2"}, false, false);
    row("offline download/refused", O::OfflineDownload, F::Refuse, {"16/0", "16/2"}, false, false);
    row("offline download/unplug", O::OfflineDownload, F::UnplugMidway, {"16/0", "16/2"}, false, false);
}

void TestAdapterFaults::faultTable()
{
    QFETCH(Operation, op);
    QFETCH(tbsim::FaultKind, fault);
    QFETCH(QStringList, codes);
    QFETCH(bool, busy);
    QFETCH(bool, polling);
    QFETCH(bool, force);
    QCOMPARE(loadFaultBus(), QString());
    if (op == Operation::OfflineDownload)
        runOfflineRow(fault, codes);
    else
        runLiveRow(op, fault, codes, busy, polling, force);
}

void TestAdapterFaults::runLiveRow(Operation op, tbsim::FaultKind fault, const QStringList &codes, bool busy, bool polling,
                                   bool force)
{
    tbsim::VirtualAdapter sim = simAdapter();
    const Target target = targetOf(op);
    tbsim::FaultRule rule;
    rule.kind = fault;
    rule.code = target.code;
    rule.param1 = target.param1;
    rule.param2 = target.param2;
    rule.count = 1;

    AdapterRun run;
    if (op == Operation::Connect)
        sim.addFault(rule);
    run.connectTo();
    QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
    run.settle();

    if (op != Operation::Connect) {
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        QVERIFY(stateOf(run).polling);
        if (op == Operation::ForceOff || op == Operation::ProcessData) {
            emit run.adapter->sigSetFource(true);
            run.settle();
            QVERIFY(stateOf(run).force);
        }
        QCoreApplication::processEvents();
        run.recorder.clear();
        sim.clearTraffic();
        sim.addFault(rule);
    }

    switch (op) {
    case Operation::Connect:
        break;
    case Operation::Reload:
        emit run.adapter->sigUpdateSlave(1);
        break;
    case Operation::Poll:
        QMetaObject::invokeMethod(run.adapter, "onUpdateSlaveList", Qt::QueuedConnection);
        break;
    case Operation::ForceOn:
        emit run.adapter->sigSetFource(true);
        break;
    case Operation::ForceOff:
        emit run.adapter->sigSetFource(false);
        break;
    case Operation::ProcessData:
        // The IO timer runs on its own: wait for the cycle that meets the fault.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const tbsim::TrafficEntry &e : sim.traffic(0x49))
                    if (e.outcome == tbsim::TrafficEntry::Faulted)
                        return true;
                return false;
            }(),
            5000);
        break;
    case Operation::SettingsWrite:
        run.adapter->setSettings(0x03, 1500);
        emit run.adapter->sigSetAdapterCmd(1, 1);
        break;
    case Operation::Store:
        emit run.adapter->sigSaveAdapterConfig();
        break;
    case Operation::Lamp:
        fromSlave(run, 2, [](Slave *s) { emit s->sigLigthing(s->uuid); });
        break;
    case Operation::PowerRefresh:
        QMetaObject::invokeMethod(run.adapter, "onUpdatePower", Qt::QueuedConnection);
        break;
    case Operation::SlaveConfigByStation:
    case Operation::SlaveConfigStatusRead:
        fromSlave(run, 1, [](Slave *s) { emit s->sigSetConfig(s->configurationRecord()); });
        break;
    case Operation::SlaveConfigByIdentity:
        fromSlave(run, 3, [](Slave *s) { emit s->sigSetConfig(s->configurationRecord().left(52)); });
        break;
    case Operation::IdentityChange:
        fromSlave(run, 3, [](Slave *s) { emit s->sigSetUUIDConfig(s->configurationRecord().left(52)); });
        break;
    case Operation::RepeatedStations: {
        const QMap<int, QByteArray> map{{20, kUid2}, {21, kUid3}};
        Adapter *adapter = run.adapter;
        QMetaObject::invokeMethod(adapter, [adapter, map] { adapter->onSetRepeatSid(map); }, Qt::QueuedConnection);
        break;
    }
    case Operation::ConfigurationDownload:
        emit run.adapter->sigAutoSetSlaveConfig();
        break;
    case Operation::OfflineDownload:
        QFAIL("not a live operation");
    }
    run.settle();

    // The fault met the operation's own command, exactly once.
    const std::vector<tbsim::TrafficEntry> traffic = sim.traffic();
    const int faulted = int(std::count_if(traffic.begin(), traffic.end(), [](const tbsim::TrafficEntry &e) {
        return e.outcome == tbsim::TrafficEntry::Faulted;
    }));
    QCOMPARE(faulted, 1);

    const bool unplugged = fault == tbsim::FaultKind::UnplugMidway;
    QCoreApplication::processEvents();
    const QStringList all = run.recorder.errorCodes();
    QCOMPARE(withoutUsbState(all), codes);
    QCOMPARE(all.count(QStringLiteral("25/-2")), unplugged ? 1 : 0);
    // The status argument: COMM_OK but where a failure names another. An
    // operation's own failure carries the link's result.
    const COMM_STATUS_TYPE result = resultOf(fault);
    for (const Recorder::Error &e : qAsConst(run.recorder.errors)) {
        COMM_STATUS_TYPE status = COMM_OK;
        if (e.type == MSG_OPERATION_FAILED)
            status = result;
        else if (e.type == MSG_TRANSACTION_FAILED && op == Operation::Poll && fault != tbsim::FaultKind::Refuse)
            status = COMM_NOT_CONNECTED;
        QCOMPARE(e.status, status);
    }

    const RecordsState after = stateOf(run);
    QCOMPARE(after.busy, busy);
    QCOMPARE(after.polling, polling);
    QCOMPARE(after.force, force);
    QCOMPARE(after.linked, !unplugged && !(op == Operation::Connect));
    // The tool shows force mode exactly while the adapter may be forcing;
    // after a lost link that is whatever the adapter last said.
    if (sim.forceMode())
        QVERIFY(force);
    if (force) {
        QVERIFY(!run.recorder.loadsOf(MSG_FORCE_STATE).isEmpty() || op == Operation::ProcessData);
        QVERIFY(run.inThread([&] {
            for (const Slave *s : run.adapter->slaveList()) {
                if (s->forcedState == 0)
                    return false;
            }
            return true;
        }));
    }

    switch (op) {
    case Operation::ProcessData:
    case Operation::ForceOff:
        if (!unplugged) {
            // An empty reply ends the cycle until force mode is switched
            // again; after a failed leave the cycle goes on with zeros.
            const bool cycling = op == Operation::ForceOff || fault == tbsim::FaultKind::BadChecksum
                                 || fault == tbsim::FaultKind::Refuse;
            sim.clearTraffic();
            if (cycling) {
                QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x49) > 0, 5000);
            } else {
                QTest::qWait(5 * tarnbus::linkTiming().processDataPeriodMs);
                QCOMPARE(sim.requestCount(0x49), 0);
            }
            if (op == Operation::ForceOff) {
                for (const tbsim::TrafficEntry &e : sim.traffic(0x49))
                    QCOMPARE(e.data, tbsim::Bytes(64, 0));
                // Leaving can be asked again, and succeeds now.
                emit run.adapter->sigSetFource(false);
                run.settle();
                QVERIFY(!stateOf(run).force);
                QVERIFY(stateOf(run).polling);
                QVERIFY(!sim.forceMode());
            }
        }
        break;
    case Operation::ForceOn:
        if (!unplugged) {
            sim.clearTraffic();
            QTest::qWait(5 * tarnbus::linkTiming().processDataPeriodMs);
            QCOMPARE(sim.requestCount(0x49), 0);
        }
        break;
    case Operation::RepeatedStations:
        // The entry after the failed one is still written, unless the link is gone.
        QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), unplugged ? 0 : 1);
        QCOMPARE(run.recorder.loadsOf(MSG_RELOADED).size(), unplugged ? 0 : 1);
        break;
    case Operation::ConfigurationDownload:
        QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), unplugged ? 0 : 2);
        break;
    default:
        break;
    }

    // The tool holds what the adapter holds: what the adapter did not take
    // is not taken, and what it took with its answer lost is found by the
    // next read of the bus.
    if (!unplugged && op != Operation::Connect) {
        pollOnce(run);
        QCOMPARE(differenceFromTheAdapter(run, sim), QString());
    }

    if (unplugged) {
        // The link comes back by itself and the Adapter is idle again.
        run.recorder.clear();
        sim.replug();
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        run.settle();
        QCoreApplication::processEvents();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"25/-1"});
        QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves.size(), 3);
        QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).first().status.fource, 0);
        const RecordsState back = stateOf(run);
        QVERIFY(back.linked);
        QVERIFY(back.polling);
        QVERIFY(!back.busy);
        QVERIFY(!back.force);
        QCOMPARE(differenceFromTheAdapter(run, sim), QString());
    }

    QVERIFY(run.stop());
    QCOMPARE(tbsim::bus().openHandleCount(), 0);
}

void TestAdapterFaults::runOfflineRow(tbsim::FaultKind fault, const QStringList &codes)
{
    tbsim::VirtualAdapter sim = simAdapter();
    const int openedBefore = UsbGlobal::openedDeviceCount();
    AdapterRun run(true);
    QVERIFY(run.createOffline(1, "#00001101"));
    QVERIFY(run.createOffline(2, "#00001201"));
    QVERIFY(run.createOffline(3, "#00001101"));
    const QList<Slave *> records = run.inThread([&] { return run.adapter->slaveList(); });

    const Target target = targetOf(Operation::OfflineDownload);
    tbsim::FaultRule rule;
    rule.kind = fault;
    rule.code = target.code;
    rule.param1 = target.param1;
    rule.param2 = target.param2;
    rule.count = 1;
    sim.addFault(rule);

    run.adapter->requestOfflineDownload(UsbGlobal::kVendorId, UsbGlobal::kProductId, kDemoSerial);
    QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
    run.settle();
    QCoreApplication::processEvents();
    QCOMPARE(run.recorder.errorCodes(), codes);

    // Every record in exactly one list; the faulted one is not configured.
    const Recorder::Error summary = run.recorder.errorsOf(MSG_BATCH_CONFIG).last();
    QCOMPARE(summary.err, 2);
    QCOMPARE(summary.s1.size() + summary.s2.size(), records.size());
    const QList<quint64> remaining = recordIds(summary.s1);
    const QList<quint64> done = recordIds(summary.s2);
    for (Slave *record : records)
        QVERIFY(remaining.contains(record->recordId()) != done.contains(record->recordId()));
    QVERIFY(remaining.contains(records.first()->recordId()));
    const bool unplugged = fault == tbsim::FaultKind::UnplugMidway;
    const QList<Slave *> configured = unplugged ? QList<Slave *>() : QList<Slave *>{records.at(1), records.at(2)};
    QCOMPARE(done, recordIds(configured));
    if (unplugged) {
        // Nothing more is sent to an adapter that has gone.
        const std::vector<tbsim::TrafficEntry> writes = sim.traffic(0x46, 0x00, 0x02);
        QCOMPARE(int(writes.size()), 1);
    }

    QVERIFY(!run.inThread([&] { return run.adapter->isBusy() || run.adapter->isPolling(); }));
    QCOMPARE(tbsim::bus().openHandleCount(), 0);
    QCOMPARE(UsbGlobal::openedDeviceCount(), openedBefore);
    sim.replug();
    QVERIFY(run.stop());
}

// Every operation that writes address assignment records meets an adapter
// that refuses one of them: the refusal is reported with the station asked
// for, the refused slave keeps its configuration, and the other records are
// still written.
void TestAdapterFaults::refusedAddressRecords_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("refused"); // the module whose record is refused: the first written
    QTest::addColumn<int>("station");        // the station its record asks for
    QTest::addColumn<int>("records");        // records written in all
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("automatic allocation") << "allocate" << QByteArray(kUid1) << 1 << 3 << QStringList{"36/11"};
    QTest::newRow("configuration download") << "download" << QByteArray(kUid1) << 1 << 3 << QStringList{"36/10", "33/1"};
    QTest::newRow("repeated stations") << "repeated" << QByteArray(kUid2) << 20 << 2 << QStringList{"36/12"};
    // Not every record was taken: no success is reported.
    QTest::newRow("clearing addresses") << "clear" << QByteArray(kUid1) << 1 << 3 << QStringList{"36/9"};
}

void TestAdapterFaults::refusedAddressRecords()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, refused);
    QFETCH(int, station);
    QFETCH(int, records);
    QFETCH(QStringList, codes);
    QCOMPARE(loadFaultBus(), QString());
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    run.connectTo();
    QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
    run.settle();
    // The slave is moved first, so that every operation would change it.
    run.inThread([&] { run.adapter->findSlaveByUuid(refused)->setItemAddress(1, 200, 8); });
    const QByteArray before = run.inThread([&] { return run.adapter->findSlaveByUuid(refused)->configurationRecord(); });
    QCoreApplication::processEvents();
    run.recorder.clear();
    sim.clearTraffic();
    tbsim::FaultRule rule;
    rule.kind = tbsim::FaultKind::Refuse;
    rule.code = 0x47;
    rule.param1 = 0x00;
    rule.param2 = 0x02;
    rule.count = 1;
    sim.addFault(rule);

    if (operation == QLatin1String("allocate")) {
        emit run.adapter->sigAutoSetSlaveAddr();
    } else if (operation == QLatin1String("download")) {
        run.adapter->requestConfigurationDownload();
    } else if (operation == QLatin1String("repeated")) {
        const QMap<int, QByteArray> map{{20, kUid2}, {21, kUid3}};
        Adapter *adapter = run.adapter;
        QMetaObject::invokeMethod(adapter, [adapter, map] { adapter->onSetRepeatSid(map); }, Qt::QueuedConnection);
    } else {
        emit run.adapter->sigCleanSlaveAddr();
    }
    run.settle();
    QCoreApplication::processEvents();

    const std::vector<tbsim::TrafficEntry> writes = sim.traffic(0x47, 0x00, 0x02);
    QCOMPARE(int(writes.size()), records);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(writes.front().data.data()), 12), refused);
    QCOMPARE(writes.front().outcome, tbsim::TrafficEntry::Faulted);
    QCOMPARE(run.recorder.errorCodes(), codes);
    QCOMPARE(run.recorder.errorsOf(MSG_OPERATION_FAILED).first().sid, station);
    QCOMPARE(run.recorder.errorsOf(MSG_OPERATION_FAILED).first().status, COMM_REFUSED);
    QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), records - 1);
    if (operation == QLatin1String("download")) {
        // The download's report names the module that was not configured.
        const auto done = run.recorder.errorsOf(MSG_DOWNLOAD_DONE).first();
        QCOMPARE(done.s1.first()->uuid, refused);
        QCOMPARE(done.s2.size(), records - 1);
    }
    // The module did not take the record, and neither did its slave. A
    // download writes what the records hold; one refused goes back to what
    // its module reported.
    const QByteArray record = run.inThread([&] { return run.adapter->findSlaveByUuid(refused)->configurationRecord(); });
    if (operation == QLatin1String("download")) {
        const tbsim::Module module = *sim.module(refused.toStdString());
        QCOMPARE(int(RecordLayout::startAddress(record, RecordLayout::kInputPos)), module.inStart);
        QCOMPARE(RecordLayout::channelCount(record, RecordLayout::kInputPos), module.inChannels);
    } else {
        QCOMPARE(record, before);
    }
    const RecordsState after = stateOf(run);
    QVERIFY(!after.busy);
    QVERIFY(after.polling);
}

QTEST_GUILESS_MAIN(TestAdapterFaults)
#include "tst_adapter_faults.moc"
