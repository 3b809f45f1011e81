// One commissioning session on the demonstration bus, as an engineer works
// through it: connect, change modules, repair the shared station, allocate
// the addresses, download the configuration, test the wired IO in force
// mode, and read the bus back.

#include "AdapterHarness.h"

#include "ItemInfo.h"
#include "ItemsInfo.h"
#include "RecordLayout.h"

using namespace harness;

namespace {

// Modules of the demonstration bus.
const QByteArray kLocal = "DA01B2C3D400";
const QByteArray kDI16 = "DA01B2C3D401"; // wired to the DO16's outputs
const QByteArray kDO16 = "DA01B2C3D402";
const QByteArray kDI8 = "DA01B2C3D403";
const QByteArray kDO8 = "DA01B2C3D404";
const QByteArray kDI32 = "DA01B2C3D405";
const QByteArray kDIO16 = "DA01B2C3D406";
const QByteArray kDIDO = "DA01B2C3D407";
const QByteArray kAI4 = "DA01B2C3D408";  // wired to the AO4's outputs
const QByteArray kAO4 = "DA01B2C3D409";
const QByteArray kAI8 = "DA01B2C3D40A";
const QByteArray kAIO4 = "DA01B2C3D40B"; // no kind of its own
const QByteArray kAIAO = "DA01B2C3D40C";
const QByteArray kUnset = "DA01B2C3D40D";  // no station
const QByteArray kShared = "DA01B2C3D40E"; // shares station 4 with the DO8
const QByteArray kUnknown = "DA01B2C3D40F"; // no description

// Where a module stands: station, areas and parameter block.
struct Placing {
    int station = 0;
    int inStart = 0;
    int inChannels = 0;
    int outStart = 0;
    int outChannels = 0;
    QByteArray params;

    bool operator==(const Placing &o) const
    {
        return station == o.station && inStart == o.inStart && inChannels == o.inChannels && outStart == o.outStart
            && outChannels == o.outChannels && params == o.params;
    }
};

QString describe(const Placing &p)
{
    return QStringLiteral("station %1, in %2/%3, out %4/%5, params %6")
        .arg(p.station)
        .arg(p.inStart)
        .arg(p.inChannels)
        .arg(p.outStart)
        .arg(p.outChannels)
        .arg(QString::fromLatin1(p.params.toHex()));
}

Placing placingOf(const tbsim::Module &m)
{
    return Placing{m.station, m.inStart, m.inChannels, m.outStart, m.outChannels,
                   QByteArray(reinterpret_cast<const char *>(m.params.data()), int(m.params.size()))};
}

QMap<QByteArray, Placing> busPlacings()
{
    QMap<QByteArray, Placing> out;
    for (const tbsim::Module &m : simAdapter().modules())
        out.insert(QByteArray::fromStdString(m.uid), placingOf(m));
    return out;
}

// What the slave record holds: its configuration record as a download would
// send it (station, address words with the channels, parameter block).
Placing placingOf(const Slave *s)
{
    const QByteArray r = s->configurationRecord();
    return Placing{RecordLayout::byteAt(r, 1),
                   RecordLayout::startAddress(r, RecordLayout::kInputPos),
                   RecordLayout::channelCount(r, RecordLayout::kInputPos),
                   RecordLayout::startAddress(r, RecordLayout::kOutputPos),
                   RecordLayout::channelCount(r, RecordLayout::kOutputPos),
                   r.mid(RecordLayout::kShortParamOffset, RecordLayout::kParamBlockSize)};
}

QByteArray word(int start, int channels)
{
    const quint16 w = quint16((start << 7) | channels);
    return QByteArray(1, char(w & 0xFF)) + QByteArray(1, char(w >> 8));
}

QByteArray params(const char *hex)
{
    return QByteArray::fromHex(hex).leftJustified(RecordLayout::kParamBlockSize, '\0');
}

QByteArray bytesOf(const tbsim::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// The demonstration bus, with parameters on the two modules that the
// station repair moves: the repair and the allocation must keep them.
QString loadSessionBus(const QString &dir)
{
    QFile file(kDemoBus);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + kDemoBus;
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    QJsonObject adapter = adapters.at(0).toObject();
    QJsonArray modules = adapter.value(QLatin1String("modules")).toArray();
    const QMap<QString, QString> params{{QString::fromLatin1(kUnset), QStringLiteral("200000000000000000000000")},
                                        {QString::fromLatin1(kShared), QStringLiteral("0100ff000000000000000000")}};
    for (int i = 0; i < modules.size(); ++i) {
        QJsonObject m = modules.at(i).toObject();
        const QString uid = m.value(QLatin1String("uid")).toString();
        if (params.contains(uid))
            m.insert(QLatin1String("params"), params.value(uid));
        modules[i] = m;
    }
    adapter.insert(QLatin1String("modules"), modules);
    adapters[0] = adapter;
    root.insert(QLatin1String("adapters"), adapters);
    const QString path = dir + QStringLiteral("/session.json");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson()) < 0)
        return QStringLiteral("cannot write ") + path;
    out.close();
    return loadBus(path, 2);
}

// The record id of the module's slave in the latest notification: a window
// names the slaves it asks about this way.
quint64 recordIdOf(const Recorder &rec, const QByteArray &uid)
{
    for (auto load = rec.loads.crbegin(); load != rec.loads.crend(); ++load) {
        for (const SlaveSnapshot &slave : load->slaves) {
            if (slave->uuid == uid)
                return slave->recordId;
        }
    }
    return 0;
}

// Lets the Adapter poll the bus once, as it does between the engineer's steps.
bool letPollRun(AdapterRun &run)
{
    const tbsim::VirtualAdapter sim = simAdapter();
    const int before = sim.requestCount(0x25, 0x00, 0x80);
    if (!QTest::qWaitFor([&] { return sim.requestCount(0x25, 0x00, 0x80) > before; }, 5000))
        return false;
    run.settle();
    return true;
}

// The module's input values as the latest notification shows them.
QList<int> inputValues(const Recorder &rec, const QByteArray &uid)
{
    QList<int> values;
    if (rec.loads.isEmpty())
        return values;
    for (const SlaveSnapshot &slave : rec.loads.last().slaves) {
        if (slave->uuid != uid)
            continue;
        for (const ItemState &item : slave->group(Slave::kRxPdo)->items)
            values << item.value.toInt();
    }
    return values;
}

} // namespace

class TestAdapterEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(fastTiming());
        loadDescriptions();
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
    }

    void commissioningSession()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(loadSessionBus(dir.path()), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        const QMap<QByteArray, Placing> original = busPlacings();
        AdapterRun run;
        Recorder &rec = run.recorder;

        // --- Connect: every module with the right kind.
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
        const QMap<QByteArray, QString> kinds = run.inThread([&] {
            QMap<QByteArray, QString> out;
            for (const Slave *s : run.adapter->slaveList())
                out.insert(s->uuid, QString::fromLatin1(s->metaObject()->className()));
            return out;
        });
        const QMap<QByteArray, QString> expectedKinds{
            {kLocal, "SlaveDIO"}, {kDI16, "SlaveDI"},   {kDO16, "SlaveDO"},         {kDI8, "SlaveDI"},
            {kDO8, "SlaveDO"},    {kDI32, "SlaveDI"},   {kDIO16, "SlaveDIO"},       {kDIDO, "SlaveDIDO"},
            {kAI4, "SlaveAI"},    {kAO4, "SlaveAO"},    {kAI8, "SlaveAI"},          {kAIO4, "undefindSlave"},
            {kAIAO, "SlaveAIAO"}, {kUnset, "SlaveDI"},  {kShared, "SlaveDO"},       {kUnknown, "undefindSlave"},
        };
        QCOMPARE(kinds, expectedKinds);
        // What the Adapter loaded agrees with the bus.
        const QMap<QByteArray, Placing> loaded = run.inThread([&] {
            QMap<QByteArray, Placing> out;
            for (const Slave *s : run.adapter->slaveList())
                out.insert(s->uuid, placingOf(s));
            return out;
        });
        for (auto it = expectedKinds.cbegin(); it != expectedKinds.cend(); ++it) {
            if (it.value() == QLatin1String("undefindSlave"))
                continue;
            QVERIFY2(loaded.value(it.key()) == original.value(it.key()),
                     qPrintable(it.key() + ": " + describe(loaded.value(it.key())) + " vs " + describe(original.value(it.key()))));
        }

        // --- The DI8 moves to station 20 and input bit 408, filter level 5,
        // through the editor's record.
        QByteArray edit(32, '\0');
        edit[0] = 3;
        edit[1] = 20;
        edit.replace(2, 2, word(408, 8));
        edit[6] = char(5 << 4);
        run.adapter->requestSlaveEditedConfig(recordIdOf(rec, kDI8), edit);
        QVERIFY(run.waitForError(MSG_SLAVE_CONFIG_RESULT));
        QCOMPARE(rec.errorsOf(MSG_SLAVE_CONFIG_RESULT).first().err, -1);
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        QCOMPARE(placingOf(*sim.module(kDI8.toStdString())), (Placing{20, 408, 8, 0, 0, params("50")}));
        QVERIFY(letPollRun(run));

        // --- The shared station and the module without one, as the repair
        // dialog sends them.
        const QMap<int, QByteArray> repair{{14, kUnset}, {15, kShared}};
        Adapter *adapter = run.adapter;
        QMetaObject::invokeMethod(adapter, [adapter, repair] { adapter->onSetRepeatSid(repair); }, Qt::QueuedConnection);
        QVERIFY(run.waitForLoad(MSG_RELOADED));
        QCOMPARE(sim.module(kUnset.toStdString())->station, 14);
        QCOMPARE(sim.module(kShared.toStdString())->station, 15);
        QCOMPARE(sim.module(kDO8.toStdString())->station, 4);
        QCOMPARE(placingOf(*sim.module(kUnset.toStdString())).params, params("20"));
        QCOMPARE(placingOf(*sim.module(kShared.toStdString())).params, params("0100ff"));
        QVERIFY(letPollRun(run));

        // --- Automatic allocation: analog modules first, then digital ones,
        // in list (station) order, every area packed at the next free bit.
        const int changedBefore = rec.loadsOf(MSG_LIST_CHANGED).size();
        emit run.adapter->sigAutoSetSlaveAddr();
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED, changedBefore + 1));
        run.settle();
        QMap<QByteArray, Placing> expected = original;
        const auto place = [&](const QByteArray &uid, int station, int inStart, int inCh, int outStart, int outCh) {
            expected[uid] = Placing{station, inStart, inCh, outStart, outCh, original.value(uid).params};
        };
        place(kAI4, 8, 0, 4, 0, 0);
        place(kAO4, 9, 0, 0, 0, 4);
        place(kAI8, 10, 64, 8, 0, 0);
        place(kAIAO, 12, 192, 2, 64, 2);
        place(kLocal, 0, 224, 8, 96, 8);
        place(kDI16, 1, 232, 16, 0, 0);
        place(kDO16, 2, 0, 0, 104, 16);
        place(kDO8, 4, 0, 0, 120, 8);
        place(kDI32, 5, 248, 32, 0, 0);
        place(kDIO16, 6, 280, 17, 128, 17);
        place(kDIDO, 7, 297, 8, 145, 8);
        place(kUnset, 14, 305, 8, 0, 0);
        place(kShared, 15, 0, 0, 153, 8);
        place(kDI8, 20, 313, 8, 0, 0);
        expected[kDI8].params = params("50");
        QMap<QByteArray, Placing> now = busPlacings();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(now.value(it.key()) == it.value(),
                     qPrintable(it.key() + ": " + describe(now.value(it.key())) + ", expected " + describe(it.value())));

        QVERIFY(letPollRun(run));

        // --- The AO4 moves to station 21 and output bit 448, with a
        // substitute value held on bus errors, through a station-based
        // configuration record.
        QByteArray config(32, '\0');
        config[0] = 9;
        config[1] = 21;
        config.replace(4, 2, word(448, 4));
        config[6] = 0x01;                // "Fieldbus error with output": substitute
        config.replace(8, 2, QByteArray::fromHex("3412")); // "Substitute value" 0x1234
        const int changedBeforeAO = rec.loadsOf(MSG_LIST_CHANGED).size();
        run.adapter->requestSlaveConfig(recordIdOf(rec, kAO4), config);
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED, changedBeforeAO + 1));
        run.settle();
        expected[kAO4] = Placing{21, 0, 0, 448, 4, params("01003412")};
        QCOMPARE(placingOf(*sim.module(kAO4.toStdString())), expected[kAO4]);
        QVERIFY(letPollRun(run));

        // --- Download the configuration: every slave's record, then the
        // handshake; the bus stays as configured.
        sim.clearTraffic();
        run.adapter->requestConfigurationDownload();
        QVERIFY(run.waitForError(MSG_DOWNLOAD_DONE));
        QVERIFY(rec.errorsOf(MSG_DOWNLOAD_REFUSED).isEmpty());
        run.settle();
        QCOMPARE(rec.errorsOf(MSG_DOWNLOAD_DONE).first().err, 1);
        // The modules without a kind of their own are left alone.
        QCOMPARE(sim.requestCount(0x47, 0x00, 0x02), 14);
        now = busPlacings();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(now.value(it.key()) == it.value(),
                     qPrintable(it.key() + ": " + describe(now.value(it.key())) + ", expected " + describe(it.value())));

        QVERIFY(letPollRun(run));

        // --- Force mode: the DO16 drives the DI16, the AO4 the AI4.
        const auto forceReported = [&](int fource) {
            return QTest::qWaitFor([&] {
                const QList<Recorder::Load> reports = rec.loadsOf(MSG_FORCE_STATE);
                return !reports.isEmpty() && reports.last().status.fource == fource;
            }, 5000);
        };
        emit run.adapter->sigSetFource(true);
        QVERIFY(forceReported(1));
        const QList<int> doChannels{0, 5, 15};
        const QList<int> aoValues{1234, 32767, 0, 7}; // the AI4 reads signed values
        for (int channel : doChannels)
            run.adapter->requestSlaveOutput(recordIdOf(rec, kDO16), channel, 1);
        for (int i = 0; i < aoValues.size(); ++i)
            run.adapter->requestSlaveOutput(recordIdOf(rec, kAO4), i, aoValues[i]);
        QList<int> diExpected;
        for (int ch = 0; ch < 16; ++ch)
            diExpected << (doChannels.contains(ch) ? 1 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(inputValues(rec, kDI16), diExpected, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(inputValues(rec, kAI4), aoValues, 5000);
        QCOMPARE(bytesOf(sim.module(kDO16.toStdString())->outputs), QByteArray::fromHex("2180"));

        // Leaving force mode switches them off again.
        emit run.adapter->sigSetFource(false);
        QVERIFY(forceReported(0));
        QVERIFY(!sim.forceMode());
        QCOMPARE(bytesOf(sim.module(kDO16.toStdString())->outputs), QByteArray(2, '\0'));
        QCOMPARE(bytesOf(sim.module(kAO4.toStdString())->outputs), QByteArray(8, '\0'));

        // --- Reload and read the bus back.
        const int reloads = rec.loadsOf(MSG_RELOADED).size();
        emit run.adapter->sigUpdateSlave(1);
        QVERIFY(run.waitForLoad(MSG_RELOADED, reloads + 1));
        run.settle();
        now = busPlacings();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(now.value(it.key()) == it.value(),
                     qPrintable(it.key() + ": " + describe(now.value(it.key())) + ", expected " + describe(it.value())));
        const QMap<QByteArray, Placing> readBack = run.inThread([&] {
            QMap<QByteArray, Placing> out;
            for (const Slave *s : run.adapter->slaveList())
                out.insert(s->uuid, placingOf(s));
            return out;
        });
        QCOMPARE(readBack.size(), 16);
        // Every slave answers where its module does, with or without a kind.
        const QMap<QByteArray, int> stations = run.inThread([&] {
            QMap<QByteArray, int> out;
            for (const Slave *s : run.adapter->slaveList())
                out.insert(s->uuid, s->stationId);
            return out;
        });
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(stations.value(it.key(), -1) == it.value().station, it.key().constData());
        for (auto it = expectedKinds.cbegin(); it != expectedKinds.cend(); ++it) {
            if (it.value() == QLatin1String("undefindSlave"))
                continue;
            QVERIFY2(readBack.value(it.key()) == expected.value(it.key()),
                     qPrintable(it.key() + ": " + describe(readBack.value(it.key())) + ", expected "
                                + describe(expected.value(it.key()))));
        }

        // Nothing went wrong on the way.
        QCOMPARE(rec.errorCodes(), (QStringList{"18/-1", "33/1"}));
        QVERIFY(run.inThread([&] { return run.adapter->isPolling() && !run.adapter->isBusy(); }));
    }
};

QTEST_GUILESS_MAIN(TestAdapterEndToEnd)
#include "tst_adapter_endtoend.moc"
