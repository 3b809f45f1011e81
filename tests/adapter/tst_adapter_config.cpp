// The Adapter's configuration operations against the virtual adapter: one
// slave's configuration, the identity-based change, clearing a slave,
// repeated station numbers, the configuration download, clearing every
// address and the import of configuration CSV lines.

#include "AdapterHarness.h"

#include "ItemsInfo.h"
#include "TarnBaseConvert.h"

using namespace harness;

namespace {

const QByteArray kLocal = "DA01B2C3D400";  // DIO8-C, the adapter's own module
const QByteArray kDI16 = "DA01B2C3D401";   // station 1, inputs 8..23
const QByteArray kDO16 = "DA01B2C3D402";   // station 2, outputs 8..23
const QByteArray kDI8 = "DA01B2C3D403";    // station 3, inputs 24..31
const QByteArray kDO8 = "DA01B2C3D404";    // station 4, outputs 24..31
const QByteArray kAI4 = "DA01B2C3D408";    // station 8, 4 x 16 bits at 96
const QByteArray kAIO4 = "DA01B2C3D40B";   // station 11, no kind of its own
const QByteArray kUnset = "DA01B2C3D40D";  // DI8 without station, reported
const QByteArray kShared = "DA01B2C3D40E"; // DO8 sharing station 4, reported
const QByteArray kUnknown = "DA01B2C3D40F"; // station 13, no description

// Polls add frames of their own to the traffic an operation is judged by;
// with this period none comes while a test runs, and "polling" means the
// poll timer is running.
tarnbus::LinkTiming quietTiming()
{
    tarnbus::LinkTiming t = fastTiming();
    t.pollPeriodMs = 10 * 60 * 1000;
    return t;
}

QString frameName(const tbsim::TrafficEntry &e)
{
    return QStringLiteral("%1/%2/%3").arg(e.code, 2, 16, QLatin1Char('0')).arg(e.param1, 2, 16, QLatin1Char('0'))
        .arg(e.param2, 2, 16, QLatin1Char('0')).toUpper();
}

// Every request the adapter received, as "47/00/02".
QStringList frames(const tbsim::VirtualAdapter &sim)
{
    QStringList out;
    for (const tbsim::TrafficEntry &e : sim.traffic())
        out << frameName(e);
    return out;
}

QByteArray bytes(const tbsim::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// The data areas of the requests with this code and these parameters.
QList<QByteArray> dataOf(const tbsim::VirtualAdapter &sim, int code, int param1, int param2)
{
    QList<QByteArray> out;
    for (const tbsim::TrafficEntry &e : sim.traffic(code, param1, param2))
        out << bytes(e.data);
    return out;
}

QByteArray word(int start, int channels)
{
    const int value = start << 7 | channels;
    return QByteArray(1, char(value & 0xFF)) + QByteArray(1, char(value >> 8));
}

// A configuration record as the parameter editor builds it: current and
// new station, input and output words, the parameter block from byte 6.
QByteArray configRecord(int current, int next, const QByteArray &in, const QByteArray &out, quint8 filterByte = 0)
{
    QByteArray record = QByteArray(1, char(current)) + QByteArray(1, char(next)) + in + out + QByteArray(1, char(filterByte));
    return record.leftJustified(32, '\0');
}

// The 64-byte data area of a 0x47 00 02 request carrying this record.
QByteArray assignment(const QByteArray &uid, const QByteArray &record)
{
    return (uid + record).leftJustified(64, '\0').left(64);
}

QString columnReplaced(const QString &line, int column, const QString &text)
{
    QStringList fields = line.trimmed().split(QLatin1Char(','));
    fields[column] = text;
    return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
}

tbsim::FaultRule fault(tbsim::FaultKind kind, int code, int param1, int param2)
{
    tbsim::FaultRule rule;
    rule.kind = kind;
    rule.code = code;
    rule.param1 = param1;
    rule.param2 = param2;
    return rule;
}

// What a test reads of one slave record.
struct RecordState {
    bool found = false;
    int station = -1;
    int newStation = -1;
    QByteArray config; // the first 18 bytes of its configuration record
    int statusBit4 = -1;
    bool local = false;
    QString typeName;
};

RecordState stateOf(AdapterRun &run, const QByteArray &uid)
{
    return run.inThread([&] {
        RecordState s;
        if (const Slave *slave = run.adapter->findSlaveByUuid(uid)) {
            s.found = true;
            s.station = slave->stationId;
            s.newStation = slave->newStationId;
            s.config = slave->configurationRecord().left(18);
            s.statusBit4 = slave->statusBit4;
            s.local = slave->recordCarriesStation;
            s.typeName = slave->typeName;
        }
        return s;
    });
}

Slave *slaveOf(AdapterRun &run, const QByteArray &uid)
{
    return run.inThread([&] { return run.adapter->findSlaveByUuid(uid); });
}

bool idleAndPolling(AdapterRun &run)
{
    return run.inThread([&] { return !run.adapter->isBusy() && run.adapter->isPolling(); });
}

// A slave asks for a write the way the parameter editor makes it do.
void applyConfig(Slave *slave, const QByteArray &record)
{
    QMetaObject::invokeMethod(slave, [slave, record] { slave->applyConfig(record); }, Qt::QueuedConnection);
}

// The repeated-station dialog's request, queued as its signal delivers it.
void repairStations(AdapterRun &run, const QMap<int, QByteArray> &map)
{
    Adapter *adapter = run.adapter;
    QMetaObject::invokeMethod(adapter, [adapter, map] { adapter->onSetRepeatSid(map); }, Qt::QueuedConnection);
}

// One configuration item, as the CSV round trip compares it.
struct ItemView {
    int paramType;
    int start;
    int channels;
    quint32 value;
    bool operator==(const ItemView &o) const
    {
        return paramType == o.paramType && start == o.start && channels == o.channels && value == o.value;
    }
};

struct RecordView {
    int station;
    int newStation;
    QString moduleIdent;
    QString typeName;
    QList<ItemView> items;
};

// The begin of a record's input (or output) area; -1 without one.
int areaStart(const RecordView &record, bool input)
{
    for (const ItemView &item : record.items) {
        const bool in = item.paramType == TarnBase::ParamDI || item.paramType == TarnBase::ParamAI;
        const bool out = item.paramType == TarnBase::ParamDO || item.paramType == TarnBase::ParamAO;
        if (input ? in : out)
            return item.start;
    }
    return -1;
}

QMap<QByteArray, RecordView> recordsOf(AdapterRun &run)
{
    return run.inThread([&] {
        QMap<QByteArray, RecordView> out;
        for (const Slave *slave : run.adapter->slaveList()) {
            RecordView view{slave->stationId, slave->newStationId, slave->moduleIdent, slave->typeName, {}};
            if (const ItemsInfo *config = slave->group(Slave::kConfigData)) {
                for (const ItemInfo *item : config->items) {
                    // Only the channel items' addresses and counts mean anything.
                    const bool channels = item->isInputChannels() || item->isOutputChannels();
                    view.items << ItemView{item->paramType, channels ? item->startAddress : -1,
                                           channels ? item->channels : -1, item->value.toUnsigned()};
                }
            }
            out.insert(slave->uuid, view);
        }
        return out;
    });
}

} // namespace

class TestAdapterConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(quietTiming());
        loadDescriptions();
    }

    void init()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
    }

    void oneSlaveConfiguration_data();
    void oneSlaveConfiguration();
    void oneSlaveConfigurationFailures_data();
    void oneSlaveConfigurationFailures();
    void identityChangeRefused_data();
    void identityChangeRefused();
    void identityChangeAccepted();
    void identityChangeRefusedByTheAdapter();
    void clearSlaveConfiguration_data();
    void clearSlaveConfiguration();
    void repeatedStations();
    void repeatedStationsWriteFails();
    void configurationDownload();
    void configurationDownloadRefused();
    void clearAddresses();
    void upgradeFlagStopsAddressOperations_data();
    void upgradeFlagStopsAddressOperations();
    void csvImportLive_data();
    void csvImportLive();
    void csvImportOffline();
    void csvStationZeroWithoutUid_data();
    void csvStationZeroWithoutUid();
    void csvRepeatedStation_data();
    void csvRepeatedStation();
    void offlineEdit();
    void offlineModulesTakeFreeAreas();
    void csvRoundTrip();

private:
    bool connectDemo(AdapterRun &run)
    {
        run.connectTo();
        if (!run.waitForLoad(MSG_LOAD_FINISHED))
            return false;
        run.settle();
        const bool clean = run.recorder.errors.isEmpty();
        run.recorder.clear();
        simAdapter().clearTraffic();
        return clean;
    }
};

// ---------------------------------------------------------------------------
// One slave's configuration: Slave::applyConfig -> sigSetConfig -> onSetSlaveConfig

void TestAdapterConfig::oneSlaveConfiguration_data()
{
    QTest::addColumn<QByteArray>("uid");
    QTest::addColumn<int>("requested");     // newStationId the editor left in the record, -1: none
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("writeFlag");     // bus status offset 24
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<bool>("listChanged");
    QTest::addColumn<int>("station");       // of the module and the slave afterwards
    QTest::addColumn<int>("inStart");       // of the module afterwards

    const QStringList stationPath{"25/00/80", "46/01/00", "48/00/EC"};
    const QStringList identityAfterStatus{"25/00/80", "47/00/02", "48/00/EC"};
    const QStringList identityPath{"47/00/02", "48/00/EC"};

    QTest::newRow("station 1: bus status, then the station record")
        << kDI16 << -1 << configRecord(1, 20, word(40, 16), word(0, 0), 0x30) << 0 << stationPath << QStringList()
        << true << 20 << 40;
    QTest::newRow("station 1 while the adapter flags its configuration write")
        << kDI16 << -1 << configRecord(1, 20, word(40, 16), word(0, 0), 0x30) << 1 << identityAfterStatus
        << QStringList() << true << 20 << 40;
    QTest::newRow("another station: the record with the identity in front")
        << kDI8 << -1 << configRecord(3, 21, word(400, 8), word(0, 0), 0x20) << 0 << identityPath << QStringList()
        << true << 21 << 400;
    QTest::newRow("station kept: no list report")
        << kDI8 << -1 << configRecord(3, 3, word(400, 8), word(0, 0), 0x20) << 0 << identityPath << QStringList()
        << false << 3 << 400;
    QTest::newRow("station record refused: the station is taken")
        << kDI16 << 2 << configRecord(1, 2, word(8, 16), word(0, 0)) << 0 << QStringList{"25/00/80", "46/01/00"}
        << QStringList{"36/6"} << false << 1 << 8;
    QTest::newRow("identity record refused: more channels than the module has")
        << kDI8 << 23 << configRecord(3, 23, word(24, 9), word(0, 0)) << 0 << QStringList{"47/00/02"}
        << QStringList{"36/6"} << false << 3 << 24;
}

void TestAdapterConfig::oneSlaveConfiguration()
{
    QFETCH(QByteArray, uid);
    QFETCH(int, requested);
    QFETCH(QByteArray, record);
    QFETCH(int, writeFlag);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, errors);
    QFETCH(bool, listChanged);
    QFETCH(int, station);
    QFETCH(int, inStart);

    tbsim::VirtualAdapter sim = simAdapter();
    sim.setConfigWriteFlag(quint8(writeFlag));
    AdapterRun run;
    QVERIFY(connectDemo(run));
    Slave *slave = slaveOf(run, uid);
    QVERIFY(slave);
    if (requested >= 0)
        run.inThread([&] { slave->newStationId = quint8(requested); });

    applyConfig(slave, record);
    run.settle();

    QCOMPARE(frames(sim), sent);
    QCOMPARE(run.recorder.errorCodes(), errors);
    QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).size(), listChanged ? 1 : 0);
    // A record taken without a change of the list still changes the rows.
    if (!listChanged && errors.isEmpty()) {
        const QList<Recorder::Load> rows = run.recorder.loadsOf(MSG_REFRESH_ROWS);
        QVERIFY(!rows.isEmpty());
        bool shown = false;
        for (const SlaveSnapshot &s : rows.last().slaves)
            shown = shown || (s->uuid == uid && s->ioWindow.inputStart == inStart);
        QVERIFY(shown);
    }
    // The record goes out as the slave gave it: as it is to the station
    // command, behind the module's identity to the assignment command.
    for (const QByteArray &data : dataOf(sim, 0x46, 0x01, 0x00))
        QCOMPARE(data.left(32), record);
    for (const QByteArray &data : dataOf(sim, 0x47, 0x00, 0x02))
        QCOMPARE(data, assignment(uid, record));

    const tbsim::Module module = *sim.module(uid.toStdString());
    QCOMPARE(module.station, station);
    QCOMPARE(module.inStart, inStart);
    const RecordState after = stateOf(run, uid);
    QCOMPARE(after.station, station);
    // A refused write sets the requested station back.
    QCOMPARE(after.newStation, station);
    if (errors.isEmpty()) {
        // The slave took the record over: its configuration is the record's.
        QCOMPARE(after.config.mid(1), record.mid(1, 17));
        QCOMPARE(int(module.params[0]), int(quint8(record.at(6))));
    }
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::oneSlaveConfigurationFailures_data()
{
    QTest::addColumn<QByteArray>("uid");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("faultKind");
    QTest::addColumn<QString>("faultOn"); // "47/00/02"
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("station");     // of the module afterwards
    QTest::addColumn<bool>("polling");

    const QByteArray moveDI16 = configRecord(1, 20, word(8, 16), word(0, 0));
    const QByteArray moveDI8 = configRecord(3, 21, word(24, 8), word(0, 0));
    QTest::newRow("bus status times out")
        << kDI16 << moveDI16 << int(tbsim::FaultKind::NoReply) << "25/00/80" << QStringList{"29/23"} << 1 << true;
    // A write whose answer was lost may have been carried out (the module
    // moved): the station change is reported as failed, and the poll finds
    // the module where it is.
    QTest::newRow("station record times out")
        << kDI16 << moveDI16 << int(tbsim::FaultKind::NoReply) << "46/01/00" << QStringList{"36/6"} << 20 << true;
    QTest::newRow("station record answered with a bad checksum")
        << kDI16 << moveDI16 << int(tbsim::FaultKind::BadChecksum) << "46/01/00" << QStringList{"36/6"} << 20 << true;
    QTest::newRow("identity record answered with an error report")
        << kDI8 << moveDI8 << int(tbsim::FaultKind::ErrorReport) << "47/00/02" << QStringList{"36/6"} << 3 << true;
    QTest::newRow("closing handshake fails")
        << kDI8 << moveDI8 << int(tbsim::FaultKind::WrongCommand) << "48/00/EC" << QStringList{"28/22"} << 21 << true;
    QTest::newRow("adapter vanishes during the write")
        << kDI8 << moveDI8 << int(tbsim::FaultKind::UnplugMidway) << "47/00/02" << QStringList{"25/-2", "36/6"} << 3 << false;
}

void TestAdapterConfig::oneSlaveConfigurationFailures()
{
    QFETCH(QByteArray, uid);
    QFETCH(QByteArray, record);
    QFETCH(int, faultKind);
    QFETCH(QString, faultOn);
    QFETCH(QStringList, errors);
    QFETCH(int, station);
    QFETCH(bool, polling);

    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    const QStringList parts = faultOn.split(QLatin1Char('/'));
    sim.addFault(fault(tbsim::FaultKind(faultKind), parts[0].toInt(nullptr, 16), parts[1].toInt(nullptr, 16),
                       parts[2].toInt(nullptr, 16)));
    applyConfig(slaveOf(run, uid), record);
    run.settle();

    QStringList codes = run.recorder.errorCodes();
    codes.sort();
    QCOMPARE(codes, errors);
    QCOMPARE(sim.module(uid.toStdString())->station, station);
    // One failed exchange does not stop the bus from being watched; only
    // a lost link does, until it comes back.
    QCOMPARE(run.inThread([&] { return run.adapter->isPolling(); }), polling);
    if (polling)
        QVERIFY(!run.inThread([&] { return run.adapter->isBusy(); }));
}

// ---------------------------------------------------------------------------
// Identity-based change: Slave::applyEditedConfig -> sigSetUUIDConfig -> onSetSlaveUUIDConfig

void TestAdapterConfig::identityChangeRefused_data()
{
    QTest::addColumn<QByteArray>("uid");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("request"); // through requestSlaveEditedConfig, as the editor sends it

    for (const bool request : {false, true}) {
        const auto row = [request](const char *name) -> QTestData & {
            return QTest::addRow("%s%s", name, request ? " (request)" : "");
        };
        row("station another record requests") // the DI32's
            << kDI8 << configRecord(3, 5, word(24, 8), word(0, 0)) << "18/1" << request;
        row("input range beyond 512") << kDI16 << configRecord(1, 1, word(500, 16), word(0, 0)) << "18/49" << request;
        row("input range over another slave's inputs")
            << kDI8 << configRecord(3, 3, word(20, 8), word(0, 0)) << "18/49" << request;
        row("analog input range counted in bits")
            << kAI4 << configRecord(8, 8, word(460, 4), word(0, 0)) << "18/49" << request;
        row("output range beyond 512") << kDO16 << configRecord(2, 2, word(0, 0), word(500, 16)) << "18/50" << request;
        row("output range over another slave's outputs")
            << kDO8 << configRecord(4, 4, word(0, 0), word(16, 8)) << "18/50" << request;
    }
}

void TestAdapterConfig::identityChangeRefused()
{
    QFETCH(QByteArray, uid);
    QFETCH(QByteArray, record);
    QFETCH(QString, error);
    QFETCH(bool, request);

    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    const tbsim::Module before = *sim.module(uid.toStdString());
    const RecordState held = stateOf(run, uid);
    if (request)
        run.adapter->requestSlaveEditedConfig(slaveOf(run, uid)->recordId(), record);
    else
        run.inThread([&] { run.adapter->findSlaveByUuid(uid)->applyEditedConfig(record); });
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList{error});
    // A request is checked before the slave takes the record: it keeps its own.
    if (request)
        QCOMPARE(stateOf(run, uid).config.toHex(' '), held.config.toHex(' '));
    QCOMPARE(frames(sim), QStringList());
    const tbsim::Module after = *sim.module(uid.toStdString());
    QCOMPARE(after.station, before.station);
    QCOMPARE(after.inStart, before.inStart);
    QCOMPARE(after.outStart, before.outStart);
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::identityChangeAccepted()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    // Station 22 and inputs 408..415 are free; the filter level becomes 5.
    const QByteArray record = configRecord(3, 22, word(408, 8), word(0, 0), 0x50);
    run.inThread([&] { run.adapter->findSlaveByUuid(kDI8)->applyEditedConfig(record); });
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList{"18/-1"});
    QCOMPARE(frames(sim), (QStringList{"47/00/02", "48/00/EC"}));
    QCOMPARE(dataOf(sim, 0x47, 0x00, 0x02).value(0), assignment(kDI8, record));
    const tbsim::Module module = *sim.module(kDI8.toStdString());
    QCOMPARE(module.station, 22);
    QCOMPARE(module.inStart, 408);
    QCOMPARE(int(module.params[0]), 0x50);

    const RecordState after = stateOf(run, kDI8);
    QCOMPARE(after.station, 22);
    QCOMPARE(after.newStation, 22);
    QCOMPARE(after.config.mid(1), record.mid(1, 17));
    QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).size(), 1);
    // The list is kept in station order.
    const SlaveList list = run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves;
    const QList<int> stations = run.inThread([&] {
        QList<int> out;
        for (const SlaveSnapshot &s : list)
            out << s->stationId;
        return out;
    });
    QVERIFY(std::is_sorted(stations.cbegin(), stations.cend()));
    QCOMPARE(stations.last(), 22);
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::identityChangeRefusedByTheAdapter()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    // Nine channels at free bits 408..416: the tool sees no conflict, the
    // module has only eight channels.
    const QByteArray record = configRecord(3, 22, word(408, 9), word(0, 0));
    run.inThread([&] { run.adapter->findSlaveByUuid(kDI8)->applyEditedConfig(record); });
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList{"36/6"});
    QCOMPARE(run.recorder.errorsOf(MSG_OPERATION_FAILED).first().status, COMM_REFUSED);
    QCOMPARE(frames(sim), QStringList{"47/00/02"});
    QCOMPARE(sim.module(kDI8.toStdString())->station, 3);
    const RecordState after = stateOf(run, kDI8);
    QCOMPARE(after.station, 3);
    QCOMPARE(after.newStation, 3);
    QVERIFY(run.recorder.loads.isEmpty());
    QVERIFY(idleAndPolling(run));
}

// ---------------------------------------------------------------------------
// Clearing one slave's configuration: Slave::cleanSlaveID -> sigCleanConfig -> onCleanSlaveConfig

void TestAdapterConfig::clearSlaveConfiguration_data()
{
    QTest::addColumn<QString>("trouble"); // "", "write fails", "module gone"
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("station");     // of the module and the slave afterwards
    QTest::addColumn<int>("inChannels");  // of the module afterwards

    QTest::newRow("cleared") << "" << QStringList{"18/-1"} << 0 << 0;
    QTest::newRow("write fails") << "write fails" << QStringList{"36/9"} << 3 << 8;
    QTest::newRow("refused: the module has left the bus") << "module gone" << QStringList{"36/9"} << 3 << -1;
}

void TestAdapterConfig::clearSlaveConfiguration()
{
    QFETCH(QString, trouble);
    QFETCH(QStringList, errors);
    QFETCH(int, station);
    QFETCH(int, inChannels);

    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    if (trouble == QLatin1String("write fails"))
        sim.addFault(fault(tbsim::FaultKind::ErrorReport, 0x47, 0x00, 0x02));
    else if (trouble == QLatin1String("module gone"))
        QVERIFY(sim.removeModule(kDI8.toStdString()));
    Slave *slave = slaveOf(run, kDI8);
    QMetaObject::invokeMethod(slave, &Slave::cleanSlaveID, Qt::QueuedConnection);
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), errors);
    QCOMPARE(dataOf(sim, 0x47, 0x00, 0x02).value(0), assignment(kDI8, QByteArray(1, char(3))));
    if (inChannels >= 0) {
        const tbsim::Module module = *sim.module(kDI8.toStdString());
        QCOMPARE(module.station, station);
        QCOMPARE(module.inChannels, inChannels);
    }
    QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).size(), trouble.isEmpty() ? 1 : 0);
    const RecordState after = stateOf(run, kDI8);
    QCOMPARE(after.station, station);
    // A clear that did not happen leaves the slave asking for the station it has.
    QCOMPARE(after.newStation, station);
    QVERIFY(idleAndPolling(run));
}

// ---------------------------------------------------------------------------
// Repeated station numbers: onSetRepeatSid

void TestAdapterConfig::repeatedStations()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    QVERIFY(stateOf(run, kLocal).local);
    QCOMPARE(stateOf(run, kShared).statusBit4, 1);
    QMap<int, QByteArray> map;
    map.insert(31, kUnset);
    map.insert(30, kShared);
    map.insert(32, "DA01B2C3D4FF"); // on no record: skipped
    map.insert(29, kLocal);
    repairStations(run, map);
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList());
    QCOMPARE(frames(sim), (QStringList{"47/00/02", "47/00/02", "47/00/02"}));
    // In station order; addresses 0, sizes as configured (DIO8-C 8/8, DO8 0/8, DI8 8/0).
    const auto sizes = [](int station, int in, int out) {
        return QByteArray(1, char(station)) + QByteArray(1, char(station)) + QByteArray(1, char(in)) + QByteArray(1, '\0')
            + QByteArray(1, char(out)) + QByteArray(1, '\0');
    };
    QCOMPARE(dataOf(sim, 0x47, 0x00, 0x02),
             (QList<QByteArray>{assignment(kLocal, sizes(29, 8, 8)), assignment(kShared, sizes(30, 0, 8)),
                                assignment(kUnset, sizes(31, 8, 0))}));
    QList<int> kinds;
    for (const Recorder::Load &l : run.recorder.loads)
        kinds << l.type;
    QCOMPARE(kinds, (QList<int>{MSG_SLAVE_SET, MSG_SLAVE_SET, MSG_SLAVE_SET, MSG_RELOADED}));

    QCOMPARE(sim.module(kShared.toStdString())->station, 30);
    QCOMPARE(sim.module(kShared.toStdString())->outStart, 0);
    QCOMPARE(sim.module(kUnset.toStdString())->station, 31);
    for (const QByteArray &uid : {kLocal, kShared, kUnset}) {
        const RecordState s = stateOf(run, uid);
        QCOMPARE(s.statusBit4, 0);
        QVERIFY(!s.local);
    }
    QCOMPARE(stateOf(run, kShared).station, 30);
    QCOMPARE(stateOf(run, kUnset).station, 31);
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::repeatedStationsWriteFails()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    tbsim::FaultRule first = fault(tbsim::FaultKind::ErrorReport, 0x47, 0x00, 0x02);
    first.count = 1;
    sim.addFault(first);
    QMap<int, QByteArray> map{{30, kShared}, {31, kUnset}};
    repairStations(run, map);
    run.settle();

    // The failed record is reported and left; the next one is still written.
    QCOMPARE(run.recorder.errorCodes(), QStringList{"36/12"});
    QCOMPARE(sim.module(kShared.toStdString())->station, 4);
    QCOMPARE(stateOf(run, kShared).station, 4);
    QCOMPARE(stateOf(run, kShared).statusBit4, 1);
    QCOMPARE(sim.module(kUnset.toStdString())->station, 31);
    QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), 1);
    QCOMPARE(run.recorder.loadsOf(MSG_RELOADED).size(), 1);
    QVERIFY(idleAndPolling(run));
}

// ---------------------------------------------------------------------------
// Configuration download: requestConfigurationDownload -> sigAutoSetSlaveConfig

void TestAdapterConfig::configurationDownload()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    // The user moved the DI8's inputs and changed its filter level.
    const QList<QByteArray> order = run.inThread([&] {
        Slave *di8 = run.adapter->findSlaveByUuid(kDI8);
        di8->setItemAddress(1, 408, 8);
        di8->group(Slave::kConfigData)->itemAt(2)->value.setValue(6);
        QList<QByteArray> uids;
        for (const Slave *s : run.adapter->slaveList())
            uids << s->uuid;
        return uids;
    });
    const QMap<QByteArray, QByteArray> expected = run.inThread([&] {
        QMap<QByteArray, QByteArray> records;
        for (const Slave *s : run.adapter->slaveList())
            records.insert(s->uuid, assignment(s->uuid, s->configurationRecord().left(52)));
        return records;
    });

    run.adapter->requestConfigurationDownload();
    QVERIFY(run.waitForError(MSG_DOWNLOAD_DONE));
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList{"33/1"});
    // Every slave with a description of its own, in list order, then one handshake.
    QList<QByteArray> sentUids;
    const QList<QByteArray> records = dataOf(sim, 0x47, 0x00, 0x02);
    for (const QByteArray &data : records) {
        sentUids << data.left(12);
        QCOMPARE(data, expected.value(data.left(12)));
    }
    QList<QByteArray> described = order;
    described.removeAll(kAIO4);
    described.removeAll(kUnknown);
    QCOMPARE(sentUids, described);
    // The report says what was written, for the summary of a batch configuration.
    const auto done = run.recorder.errorsOf(MSG_DOWNLOAD_DONE).first();
    QList<QByteArray> reported;
    for (const SlaveSnapshot &slave : done.s2)
        reported << slave->uuid;
    QCOMPARE(reported, described);
    reported.clear();
    for (const SlaveSnapshot &slave : done.s1)
        reported << slave->uuid;
    QCOMPARE(reported, (QList<QByteArray>{kAIO4, kUnknown}));
    QCOMPARE(frames(sim).last(), QStringLiteral("48/00/EC"));
    QCOMPARE(frames(sim).size(), records.size() + 1);
    QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), records.size());

    const tbsim::Module di8 = *sim.module(kDI8.toStdString());
    QCOMPARE(di8.inStart, 408);
    QCOMPARE(di8.inChannels, 8);
    QCOMPARE(di8.params[0] >> 4, 6);
    // Modules the tool knows no configuration of keep theirs.
    QCOMPARE(sim.module(kAIO4.toStdString())->inChannels, 4);
    QCOMPARE(sim.module(kUnknown.toStdString())->inStart, 392);
    QCOMPARE(sim.module(kUnknown.toStdString())->inChannels, 2);
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::configurationDownloadRefused()
{
    tbsim::VirtualAdapter sim = simAdapter();
    {
        // No link.
        AdapterRun run;
        run.adapter->requestConfigurationDownload();
        QVERIFY(run.waitForError(MSG_DOWNLOAD_REFUSED));
        QCOMPARE(run.recorder.errorCodes(), QStringList{"35/0"});
        QVERIFY(sim.traffic().empty());
    }
    AdapterRun run;
    QVERIFY(connectDemo(run));
    // The DI8 is moved onto the DI16's inputs: two modules claim bits 8..15.
    run.inThread([&] { run.adapter->findSlaveByUuid(kDI8)->setItemAddress(1, 8, 8); });
    QVERIFY(run.inThread([&] { return Adapter::hasConflict(run.adapter->occupancyMap()); }));
    run.adapter->requestConfigurationDownload();
    QVERIFY(run.waitForError(MSG_DOWNLOAD_REFUSED));
    QCOMPARE(frames(sim), QStringList());
    QCOMPARE(run.recorder.errorCodes(), QStringList{"35/1"});
    QVERIFY(idleAndPolling(run));
}

// ---------------------------------------------------------------------------
// Clearing every address: sigCleanSlaveAddr

void TestAdapterConfig::clearAddresses()
{
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    const std::vector<tbsim::Module> before = sim.modules();
    emit run.adapter->sigCleanSlaveAddr();
    QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
    run.settle();

    QCOMPARE(run.recorder.errorCodes(), QStringList{"19/-1"});
    // Every module but the two without a kind of their own (the AIO4 and
    // the unknown type), which keep their areas.
    QCOMPARE(int(sim.traffic(0x47, 0x00, 0x02).size()), 14);
    for (const tbsim::Module &m : sim.modules()) {
        const QString what = QString::fromStdString(m.uid);
        const auto old = std::find_if(before.cbegin(), before.cend(), [&](const tbsim::Module &b) { return b.uid == m.uid; });
        // Parameters stay: each record carries the module's own.
        QVERIFY2(old->params == m.params, qPrintable(what));
        if (m.uid == "DA01B2C3D40B" || m.uid == "DA01B2C3D40F") {
            QCOMPARE(m.inStart, old->inStart);
            QCOMPARE(m.outChannels, old->outChannels);
            continue;
        }
        QCOMPARE(QString::number(m.inStart) + what, QStringLiteral("0") + what);
        QCOMPARE(QString::number(m.inChannels) + what, QStringLiteral("0") + what);
        QCOMPARE(QString::number(m.outStart) + what, QStringLiteral("0") + what);
        QCOMPARE(QString::number(m.outChannels) + what, QStringLiteral("0") + what);
    }
    // Stations stay.
    QCOMPARE(sim.module(kDI8.toStdString())->station, 3);
    QCOMPARE(stateOf(run, kDI8).station, 3);
    QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).size(), 1);
    QCOMPARE(frames(sim).last(), QStringLiteral("48/00/EC"));
    QVERIFY(idleAndPolling(run));
}

void TestAdapterConfig::upgradeFlagStopsAddressOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("repeated stations") << "repeated stations";
    QTest::newRow("configuration download") << "download";
    QTest::newRow("clearing addresses") << "clear addresses";
}

void TestAdapterConfig::upgradeFlagStopsAddressOperations()
{
    QFETCH(QString, operation);
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    QVERIFY(connectDemo(run));
    const QMap<QByteArray, RecordView> before = recordsOf(run);
    run.adapter->setUpgradeRunning(true);
    if (operation == QLatin1String("repeated stations"))
        repairStations(run, {{30, kShared}, {31, kUnset}});
    else if (operation == QLatin1String("download"))
        emit run.adapter->sigAutoSetSlaveConfig();
    else
        emit run.adapter->sigCleanSlaveAddr();
    run.settle();

    // Nothing is sent to an adapter whose firmware is being replaced, and
    // nothing is reported done.
    QCOMPARE(frames(sim), QStringList());
    QVERIFY(run.recorder.loads.isEmpty());
    QVERIFY(run.recorder.errors.isEmpty());
    const QMap<QByteArray, RecordView> after = recordsOf(run);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QCOMPARE(after.value(it.key()).station, it->station);
        QCOMPARE(after.value(it.key()).newStation, it->newStation);
    }
    QVERIFY(!run.inThread([&] { return run.adapter->isBusy(); }));
}

// ---------------------------------------------------------------------------
// CSV lines: importCsvLine (live) and importCsvLineOffline

void TestAdapterConfig::csvImportLive_data()
{
    QTest::addColumn<QByteArray>("source");   // the slave whose line is edited
    QTest::addColumn<bool>("withUid");
    QTest::addColumn<QList<int>>("columns");  // edited columns ...
    QTest::addColumn<QStringList>("texts");   // ... and their texts
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("target");   // the slave the line lands on; empty: none
    QTest::addColumn<int>("station");
    QTest::addColumn<QString>("typeText");

    QTest::newRow("by UID, with a new station")
        << kUnset << true << QList<int>{1, 7} << QStringList{"26", "2"} << true << kUnset << 26 << "TB-DI8-N";
    QTest::newRow("by UID in lower case, a blank before it")
        << kDI8 << true << QList<int>{1, 7, 11} << QStringList{"27", "2", " " + QString::fromLatin1(kDI8.toHex())} << true
        << kDI8 << 27 << "TB-DI8-N";
    QTest::newRow("by station")
        << kDI8 << false << QList<int>{0, 7} << QStringList{"*TB-DI8-X", "2"} << true << kDI8 << 3 << "*TB-DI8-X";
    QTest::newRow("a UID column shorter than six characters is no UID")
        << kDI8 << true << QList<int>{7, 11} << QStringList{"2", "0"} << true << kDI8 << 3 << "TB-DI8-N";
    QTest::newRow("the device id differs")
        << kDI8 << false << QList<int>{7, 10} << QStringList{"2", "#00001102"} << false << QByteArray() << 3 << "*TB-DI8-N";
    QTest::newRow("no slave at the station")
        << kDI8 << false << QList<int>{1, 7} << QStringList{"99", "2"} << false << QByteArray() << 99 << "*TB-DI8-N";
    QTest::newRow("no slave with the UID")
        << kDI8 << true << QList<int>{7, 11} << QStringList{"2", "444130314232433344344646"} << false << QByteArray()
        << 3 << "TB-DI8-N";
}

void TestAdapterConfig::csvImportLive()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, withUid);
    QFETCH(QList<int>, columns);
    QFETCH(QStringList, texts);
    QFETCH(bool, ok);
    QFETCH(QByteArray, target);
    QFETCH(int, station);
    QFETCH(QString, typeText);

    AdapterRun run;
    QVERIFY(connectDemo(run));
    QString line = run.inThread([&] {
        const Slave *slave = run.adapter->findSlaveByUuid(source);
        return withUid ? slave->toCsvLineWithUid() : slave->toCsvLine();
    });
    for (int i = 0; i < columns.size(); ++i)
        line = columnReplaced(line, columns[i], texts[i]);
    const QMap<QByteArray, RecordView> before = recordsOf(run);

    // Asked from this thread, as the manager does.
    const CsvImportResult result = run.importCsvLine(line, withUid);

    QCOMPARE(result.ok, ok);
    QCOMPARE(result.station, station);
    QCOMPARE(result.typeText, typeText);
    // Whatever the line held, the bus is watched again.
    QVERIFY(idleAndPolling(run));
    const QMap<QByteArray, RecordView> after = recordsOf(run);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() == target)
            continue;
        QCOMPARE(after.value(it.key()).station, it->station);
        QCOMPARE(after.value(it.key()).items, it->items);
    }
    if (!ok)
        return;
    const RecordState s = stateOf(run, target);
    QCOMPARE(s.station, station);
    QCOMPARE(s.newStation, station);
    QCOMPARE(s.statusBit4, 0);
    QString name = line.section(QLatin1Char(','), 0, 0);
    if (name.startsWith(QLatin1Char('*')))
        name.remove(0, 1);
    QCOMPARE(s.typeName, name);
    // Filter level 2, the third configuration item.
    QCOMPARE(after.value(target).items.value(2).value, 2u);
}

void TestAdapterConfig::csvImportOffline()
{
    QString withUid;
    QString plain;
    {
        AdapterRun live;
        QVERIFY(connectDemo(live));
        withUid = live.inThread([&] { return live.adapter->findSlaveByUuid(kDI8)->toCsvLineWithUid(); });
        plain = live.inThread([&] { return live.adapter->findSlaveByUuid(kDO8)->toCsvLine(); });
    }
    AdapterRun run(true);
    const auto count = [&] { return run.inThread([&] { return run.adapter->slaveList().size(); }); };

    // Without a match the line creates its slave, with the file's UID.
    CsvImportResult r = run.importCsvLine(withUid, true);
    QVERIFY(r.ok);
    QCOMPARE(r.station, 3);
    QCOMPARE(count(), 1);
    RecordState s = stateOf(run, kDI8);
    QVERIFY(s.found);
    QCOMPARE(s.station, 3);
    QCOMPARE(s.typeName, QStringLiteral("TB-DI8-N"));
    QCOMPARE(s.config.left(4), QByteArray("\x03\x03\x08\x0C", 4));

    // The same UID again: that slave takes the line.
    r = run.importCsvLine(columnReplaced(withUid, 1, QStringLiteral("7")), true);
    QVERIFY(r.ok);
    QCOMPARE(count(), 1);
    QCOMPARE(stateOf(run, kDI8).station, 7);
    // Also when a spreadsheet wrote its hex digits in lower case.
    const QString lowerUid = withUid.section(QLatin1Char(','), 11, 11).toLower();
    r = run.importCsvLine(columnReplaced(columnReplaced(withUid, 1, QStringLiteral("8")), 11, lowerUid), true);
    QVERIFY(r.ok);
    QCOMPARE(count(), 1);
    QCOMPARE(stateOf(run, kDI8).station, 8);

    // A file without UIDs: a slave without one.
    r = run.importCsvLine(plain, false);
    QVERIFY(r.ok);
    QCOMPARE(r.typeText, QStringLiteral("*TB-DO8-T"));
    QCOMPARE(count(), 2);
    QCOMPARE(run.inThread([&] { return run.adapter->findSlaveByStation(4)->uuid; }), QByteArray());
    QCOMPARE(run.inThread([&] { return run.adapter->findSlaveByStation(4)->typeName; }), QStringLiteral("TB-DO8-T"));

    // A device id no description has creates nothing.
    r = run.importCsvLine(columnReplaced(columnReplaced(plain, 1, "9"), 10, "#0000ABCD"), false);
    QVERIFY(!r.ok);
    QCOMPARE(r.station, 9);
    QCOMPARE(count(), 2);

    // Nor does a line the slave cannot take.
    r = run.importCsvLine(columnReplaced(columnReplaced(plain, 1, "9"), 3, "x"), false);
    QVERIFY(!r.ok);
    QCOMPARE(count(), 2);
    r = run.importCsvLine(columnReplaced(plain, 1, "129"), false);
    QVERIFY(!r.ok);
    QCOMPARE(count(), 2);
}

// Station 0 is written for the adapter's own module and for the modules
// without a station. Without a UID it names the adapter's own module of the
// line's type; any other such line is skipped and changes nothing.
void TestAdapterConfig::csvStationZeroWithoutUid_data()
{
    QTest::addColumn<QByteArray>("source"); // the slave whose line is imported, its inputs moved to 400
    QTest::addColumn<bool>("withUid");
    QTest::addColumn<QString>("deviceId"); // empty: as written
    QTest::addColumn<QString>("uidColumn"); // empty: as written
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("skipped");

    QTest::newRow("the adapter's own module") << kLocal << false << QString() << QString() << true << false;
    QTest::newRow("the adapter's own module, a UID column too short for a UID")
        << kLocal << true << QString() << QStringLiteral("0") << true << false;
    QTest::newRow("another type than the adapter's own module")
        << kLocal << false << QStringLiteral("#00001101") << QString() << false << true;
    QTest::newRow("a module without station") << kUnset << false << QString() << QString() << false << true;
    QTest::newRow("a module without station, named by its UID") << kUnset << true << QString() << QString() << true << false;
}

void TestAdapterConfig::csvStationZeroWithoutUid()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, withUid);
    QFETCH(QString, deviceId);
    QFETCH(QString, uidColumn);
    QFETCH(bool, ok);
    QFETCH(bool, skipped);

    AdapterRun run;
    QVERIFY(connectDemo(run));
    QString line = run.inThread([&] {
        const Slave *slave = run.adapter->findSlaveByUuid(source);
        return withUid ? slave->toCsvLineWithUid() : slave->toCsvLine();
    });
    QCOMPARE(line.section(QLatin1Char(','), 1, 1), QStringLiteral("0"));
    line = columnReplaced(line, 3, QStringLiteral("400"));
    if (!deviceId.isEmpty())
        line = columnReplaced(line, 10, deviceId);
    if (!uidColumn.isEmpty())
        line = columnReplaced(line, 11, uidColumn);
    const QMap<QByteArray, RecordView> before = recordsOf(run);

    const CsvImportResult result = run.importCsvLine(line, withUid);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(result.station, 0);
    QVERIFY(idleAndPolling(run));
    const QMap<QByteArray, RecordView> after = recordsOf(run);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const bool target = ok && it.key() == source;
        QCOMPARE(areaStart(after.value(it.key()), true), target ? 400 : areaStart(*it, true));
        QCOMPARE(after.value(it.key()).station, it->station);
    }
    QCOMPARE(stateOf(run, kLocal).local, true);
}

// A file without UIDs names modules by station: the modules of a repeated
// station take its lines in list order, as an export wrote them. An
// offline configuration gets a module of its own for each line.
void TestAdapterConfig::csvRepeatedStation_data()
{
    QTest::addColumn<bool>("offline");
    QTest::newRow("live") << false;
    QTest::newRow("offline") << true;
}

void TestAdapterConfig::csvRepeatedStation()
{
    QFETCH(bool, offline);
    QStringList lines;
    {
        AdapterRun live;
        QVERIFY(connectDemo(live));
        lines = live.inThread([&] {
            return QStringList{live.adapter->findSlaveByUuid(kDO8)->toCsvLine(),
                               live.adapter->findSlaveByUuid(kShared)->toCsvLine()};
        });
    }
    QCOMPARE(lines.at(0).section(QLatin1Char(','), 1, 1), QStringLiteral("4"));
    QCOMPARE(lines.at(1).section(QLatin1Char(','), 1, 1), QStringLiteral("4"));
    lines[0] = columnReplaced(lines.at(0), 5, QStringLiteral("300"));
    lines[1] = columnReplaced(lines.at(1), 5, QStringLiteral("310"));

    AdapterRun run(offline);
    if (!offline)
        QVERIFY(connectDemo(run));
    const QList<CsvImportResult> results = run.importCsv(lines, false);
    QCOMPARE(results.size(), 2);
    QVERIFY(results.at(0).ok && results.at(1).ok);

    const QList<int> outputs = run.inThread([&] {
        QList<int> starts;
        for (const Slave *slave : run.adapter->slaveList()) {
            if (slave->newStationId == 4)
                starts << int(slave->ioWindow().outputStart);
        }
        return starts;
    });
    QCOMPARE(outputs, (QList<int>{300, 310}));
}

void TestAdapterConfig::csvRoundTrip()
{
    QStringList lines;
    QMap<QByteArray, RecordView> exported;
    {
        AdapterRun live;
        QVERIFY(connectDemo(live));
        lines = live.inThread([&] {
            QStringList out;
            for (const Slave *slave : live.adapter->slaveList())
                out << slave->toCsvLineWithUid();
            return out;
        });
        exported = recordsOf(live);
    }
    QCOMPARE(lines.size(), 16);

    AdapterRun run(true);
    const QList<CsvImportResult> results = run.importCsv(lines, true);
    QCOMPARE(results.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(results[i].ok, qPrintable(lines[i]));
    const QMap<QByteArray, RecordView> imported = recordsOf(run);

    QCOMPARE(imported.keys(), exported.keys());
    for (auto it = exported.cbegin(); it != exported.cend(); ++it) {
        const RecordView &back = imported.value(it.key());
        const QString what = QString::fromLatin1(it.key());
        QCOMPARE(back.station, it->station);
        QCOMPARE(back.newStation, it->newStation);
        QCOMPARE(back.moduleIdent + what, it->moduleIdent + what);
        QCOMPARE(back.typeName + what, it->typeName + what);
        QCOMPARE(back.items.size(), it->items.size());
        for (int i = 0; i < it->items.size(); ++i) {
            const QString item = QStringLiteral("%1 item %2").arg(what).arg(i);
            QCOMPARE(back.items[i].start, it->items[i].start);
            QCOMPARE(back.items[i].channels, it->items[i].channels);
            QVERIFY2(back.items[i] == it->items[i], qPrintable(item));
        }
    }
}

QTEST_GUILESS_MAIN(TestAdapterConfig)
#include "tst_adapter_config.moc"

// An offline configuration takes an edited record as it is: nothing is sent,
// the station and the areas change, refusals are the same as on a bus.
void TestAdapterConfig::offlineEdit()
{
    AdapterRun run(true);
    const quint64 di8 = run.createOffline(3, "#00001101")->recordId();
    const quint64 do8 = run.createOffline(4, "#00001201")->recordId();
    Q_UNUSED(do8)
    run.adapter->requestSlaveEditedConfig(di8, configRecord(3, 9, word(40, 8), word(0, 0), 0x30));
    run.settle();
    QCOMPARE(run.recorder.errorCodes(), QStringList{"18/-1"});
    QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
    const auto record = [&](quint64 id) {
        return run.inThread([&] { return run.adapter->findSlaveByRecordId(id)->configurationRecord().left(7); });
    };
    QCOMPARE(record(di8).toHex(' '), QByteArray("09 09 08 14 00 00 30"));
    QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves.first()->stationId, 4); // kept in station order

    run.recorder.clear();
    run.adapter->requestSlaveEditedConfig(di8, configRecord(9, 4, word(40, 8), word(0, 0)));
    run.settle();
    QCOMPARE(run.recorder.errorCodes(), QStringList{"18/1"});
    QCOMPARE(record(di8).toHex(' '), QByteArray("09 09 08 14 00 00 30"));
    QCOMPARE(tbsim::bus().openHandleCount(), 0);
}

// A module added to an offline configuration takes the first free bits of
// each direction, on the alignment unit.
void TestAdapterConfig::offlineModulesTakeFreeAreas()
{
    for (const int unit : {1, 8}) {
        AdapterRun run(true);
        run.adapter->setAlignmentUnit(unit);
        for (const auto &[station, key] : {std::pair{1, "#00001302"}, {2, "#00001101"}, {3, "#00001201"}})
            run.adapter->requestCreateOfflineSlave(station, key);
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED, 3));
        const SlaveList slaves = run.recorder.loadsOf(MSG_LIST_CHANGED).last().slaves;
        QCOMPARE(slaves.size(), 3);
        QStringList areas;
        for (const SlaveSnapshot &slave : slaves) {
            const Slave::IoWindow &w = slave->ioWindow;
            areas << QStringLiteral("%1+%2 %3+%4").arg(w.inputStart).arg(w.inputBits).arg(w.outputStart).arg(w.outputBits);
        }
        // DIO16 (17 channels each way), DI8, DO8.
        const QStringList expected = unit == 1 ? QStringList{"0+17 0+17", "17+8 0+0", "0+0 17+8"}
                                               : QStringList{"0+17 0+17", "24+8 0+0", "0+0 24+8"};
        QCOMPARE(areas, expected);
        QVERIFY(!Adapter::hasConflict(Adapter::occupancyMap(slaves)));
    }
}
