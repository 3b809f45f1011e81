// Automatic address allocation, its totals and the occupancy map, on a
// live Adapter against the virtual adapter and on an offline Adapter.

#include "AdapterHarness.h"

#include "ItemsInfo.h"

#include <limits>

using namespace harness;

namespace {

// Module types beyond the shipped descriptions: a 12-channel digital input
// and an analog input with one diagnostic channel.
const QString kFixture = QStringLiteral("tests/adapter/fixtures/AllocationModules.xml");
constexpr quint16 kDI12 = 0xE10C;
constexpr quint16 kAI2Diag = 0xE201;

constexpr quint16 kDI8 = 0x1101;
constexpr quint16 kDO8 = 0x1201;
constexpr quint16 kDIO8C = 0x1301;  // channels can be changed
constexpr quint16 kDIO16D = 0x1302; // one diagnostic channel each way
constexpr quint16 kDIDO = 0x1401;
constexpr quint16 kAI4 = 0x2101;
constexpr quint16 kAI8 = 0x2102;
constexpr quint16 kAO4 = 0x2201;
constexpr quint16 kAIO4 = 0x2301;   // no kind of its own: undefined
constexpr quint16 kAIAO = 0x2401;
constexpr quint16 kUnknown = 0x7E57;

tarnbus::LinkTiming quietTiming()
{
    tarnbus::LinkTiming t = fastTiming();
    t.pollPeriodMs = 10 * 60 * 1000; // no poll comes between the frames a test judges
    return t;
}

QString typeKey(quint16 code)
{
    return QStringLiteral("#0000%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}

QByteArray uidOf(int i)
{
    return QStringLiteral("MOD%1").arg(i, 9, 10, QLatin1Char('0')).toLatin1();
}

// A bus with one module of each type code, at stations 1, 2, ... in order.
QString busOf(const QList<quint16> &codes)
{
    tbsim::AdapterConfig config;
    config.serial = kDemoSerial.toStdString();
    config.scanReads = 0;
    config.restartMs = 50;
    for (int i = 0; i < codes.size(); ++i) {
        tbsim::Module m = tbsim::catalogueModule(codes[i], uidOf(i).toStdString(), i + 1);
        if (codes[i] == kDI12) {
            m.inChannels = m.inCapacity = 12;
        } else if (codes[i] == kAI2Diag) {
            m.bitsPerChannel = 16;
            m.inChannels = m.inCapacity = 3;
        }
        config.modules.push_back(m);
    }
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().addAdapter(config));
}

// "start/count" of an area word.
QString area(quint16 word)
{
    return QStringLiteral("%1/%2").arg(word >> 7).arg(word & 0x7F);
}

quint16 wordAt(const tbsim::Bytes &data, int offset)
{
    return quint16(data[size_t(offset)] | (data[size_t(offset) + 1] << 8));
}

quint16 wordAt(const QByteArray &data, int offset)
{
    return quint16(quint8(data.at(offset)) | (quint8(data.at(offset + 1)) << 8));
}

// What the slave itself says of its areas: "in out" words of its
// configuration record, and the window the occupancy map counts.
struct Placed {
    QString words;
    Slave::IoWindow window;
    int bitsPerChannel;
};

} // namespace

class TestAdapterAllocation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(quietTiming());
        loadDescriptions();
        QVERIFY(DeviceXmlLodaing::instance()->loadFile(kFixture));
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
    }

    void twoInputOnlyRecords();
    void allocation_data();
    void allocation();
    void upgradeFlagRefusesAllocation();
    void occupancy_data();
    void occupancy();
    void absurdSizesAreClampedBeforeTheyMultiply();
};

void TestAdapterAllocation::twoInputOnlyRecords()
{
    QCOMPARE(busOf({kDI8, kDI8}), QString());
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    run.connectTo();
    QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
    sim.clearTraffic();
    emit run.adapter->sigAutoSetSlaveAddr();
    QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));

    const std::vector<tbsim::TrafficEntry> records = sim.traffic(0x47, 0x00, 0x02);
    QCOMPARE(int(records.size()), 2);
    QCOMPARE(wordAt(records[0].data, 14), quint16(0x0008));
    QCOMPARE(wordAt(records[1].data, 14), quint16(0x0408));
    QCOMPARE(wordAt(records[0].data, 16), quint16(0));
    QCOMPARE(sim.module(uidOf(0).toStdString())->inStart, 0);
    QCOMPARE(sim.module(uidOf(1).toStdString())->inStart, 8);
}

void TestAdapterAllocation::allocation_data()
{
    QTest::addColumn<bool>("live");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QList<quint16>>("codes");
    QTest::addColumn<QStringList>("placed"); // "in out" as start/count per module; "-": left out
    QTest::addColumn<int>("inputTotal");
    QTest::addColumn<int>("outputTotal");
    QTest::addColumn<bool>("conflict"); // modules left out keep areas the others now use

    struct Row {
        const char *name;
        int unit;
        QList<quint16> codes;
        QStringList placed;
        int inputTotal;
        int outputTotal;
        bool conflict = false;
    };
    const QList<Row> rows{
        {"analog modules first", 1, {kDI8, kAI4, kDO8, kAO4, kDIDO, kAIAO, kDIO8C},
         {"96/8 0/0", "0/4 0/0", "0/0 96/8", "0/0 0/4", "104/8 104/8", "64/2 64/2", "112/8 112/8"}, 120, 120},
        {"bit alignment packs", 1, {kDI12, kDIO16D, kDI8, kDO8},
         {"0/12 0/0", "12/17 0/17", "29/8 0/0", "0/0 17/8"}, 37, 25},
        {"byte alignment rounds every area up", 8, {kDI12, kDIO16D, kDI8, kDO8},
         {"0/12 0/0", "16/17 0/17", "40/8 0/0", "0/0 24/8"}, 48, 32},
        {"diagnostic channels of an analog module", 1, {kAI2Diag, kAI4},
         {"0/3 0/0", "48/4 0/0"}, 112, 0},
        {"modules that do not fit are left out", 1, {kAI8, kAI8, kAI8, kAI8, kAI8, kDI8, kDO8, kDIDO},
         {"0/8 0/0", "128/8 0/0", "256/8 0/0", "384/8 0/0", "-", "-", "0/0 0/8", "-"}, 656, 16, true},
        {"undefined slaves are not allocated", 1, {kAIO4, kUnknown, kDI8},
         {"-", "-", "0/8 0/0"}, 8, 0},
    };
    for (const Row &row : rows) {
        for (bool live : {true, false}) {
            QTest::addRow("%s, %s", row.name, live ? "live" : "offline")
                << live << row.unit << row.codes << row.placed << row.inputTotal << row.outputTotal << row.conflict;
        }
    }
}

void TestAdapterAllocation::allocation()
{
    QFETCH(bool, live);
    QFETCH(int, unit);
    QFETCH(QList<quint16>, codes);
    QFETCH(QStringList, placed);
    QFETCH(int, inputTotal);
    QFETCH(int, outputTotal);
    QFETCH(bool, conflict);

    AdapterRun run(!live);
    run.inThread([&] { run.adapter->setAlignmentUnit(unit); });
    QList<Slave *> slaves;
    if (live) {
        QCOMPARE(busOf(codes), QString());
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        for (int i = 0; i < codes.size(); ++i)
            slaves << run.inThread([&] { return run.adapter->findSlaveByUuid(uidOf(i)); });
        simAdapter().clearTraffic();
    } else {
        for (int i = 0; i < codes.size(); ++i)
            slaves << run.createOffline(i + 1, typeKey(codes[i]).toLatin1());
    }
    QVERIFY(!slaves.contains(nullptr));
    run.settle();
    run.recorder.clear();

    // What the totals promise is what the allocation places; a window
    // computes them from the snapshots it was handed.
    const QPair<quint16, quint16> totals = run.inThread([&] { return run.adapter->allocationTotals(); });
    QCOMPARE(int(totals.first), inputTotal);
    QCOMPARE(int(totals.second), outputTotal);
    QCOMPARE(Adapter::allocationTotals(run.inThread([&] { return run.adapter->snapshots(); }),
                                       run.inThread([&] { return run.adapter->alignmentUnit(); })),
             totals);

    if (live)
        emit run.adapter->sigAutoSetSlaveAddr();
    else
        emit run.adapter->sigAutoSetLocalSlaveAddr();
    run.settle();

    const QList<Placed> after = run.inThread([&] {
        QList<Placed> out;
        for (const Slave *s : qAsConst(slaves)) {
            const QByteArray record = s->configurationRecord();
            out << Placed{area(wordAt(record, 2)) + QLatin1Char(' ') + area(wordAt(record, 4)), s->ioWindow(), s->bitsPerChannel};
        }
        return out;
    });
    QMap<QByteArray, QString> sent;
    if (live) {
        for (const tbsim::TrafficEntry &e : simAdapter().traffic(0x47, 0x00, 0x02)) {
            const QByteArray uid(reinterpret_cast<const char *>(e.data.data()), 12);
            sent.insert(uid, area(wordAt(e.data, 14)) + QLatin1Char(' ') + area(wordAt(e.data, 16)));
        }
    }
    for (int i = 0; i < codes.size(); ++i) {
        const QString what = QStringLiteral(" (module %1)").arg(i);
        if (placed[i] == QLatin1String("-")) {
            QVERIFY2(!sent.contains(uidOf(i)), qPrintable(what));
            continue;
        }
        if (live)
            QCOMPARE(sent.value(uidOf(i)) + what, placed[i] + what);
        // The slave took its place over, and the map counts it there.
        QCOMPARE(after[i].words + what, placed[i] + what);
        const QStringList parts = placed[i].split(QRegularExpression(QStringLiteral("[ /]")));
        const Slave::IoWindow w = after[i].window;
        if (parts[1].toInt()) {
            QCOMPARE(int(w.inputStart), parts[0].toInt());
            QCOMPARE(int(w.inputBits), parts[1].toInt() * after[i].bitsPerChannel);
        }
        if (parts[3].toInt()) {
            QCOMPARE(int(w.outputStart), parts[2].toInt());
            QCOMPARE(int(w.outputBits), parts[3].toInt() * after[i].bitsPerChannel);
        }
    }
    QCOMPARE(run.inThread([&] { return Adapter::hasConflict(run.adapter->occupancyMap()); }), conflict);

    if (live) {
        QCOMPARE(sent.size(), placed.size() - placed.count(QStringLiteral("-")));
        QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_SET).size(), sent.size());
        QCOMPARE(run.recorder.loads.last().type, MSG_LIST_CHANGED);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        QVERIFY(run.inThread([&] { return !run.adapter->isBusy() && run.adapter->isPolling(); }));
    } else {
        // Nothing on the wire; the rows are reported again with the new
        // addresses, for the views in other threads.
        QCOMPARE(run.recorder.loads.size(), 1);
        QCOMPARE(run.recorder.loads.first().type, MSG_REFRESH_ROWS);
        const SlaveList reported = run.recorder.loads.first().slaves;
        QCOMPARE(reported.size(), slaves.size());
        for (int i = 0; i < slaves.size(); ++i)
            QCOMPARE(reported[i]->configurationRecord, run.inThread([&] { return slaves[i]->configurationRecord(); }));
        QVERIFY(run.recorder.errors.isEmpty());
    }
}

void TestAdapterAllocation::upgradeFlagRefusesAllocation()
{
    QCOMPARE(busOf({kDI8, kDI8}), QString());
    tbsim::VirtualAdapter sim = simAdapter();
    AdapterRun run;
    run.connectTo();
    QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
    run.settle();
    run.recorder.clear();
    sim.clearTraffic();
    run.adapter->setUpgradeRunning(true);
    emit run.adapter->sigAutoSetSlaveAddr();
    run.settle();
    QVERIFY(sim.traffic().empty());
    QVERIFY(run.recorder.loads.isEmpty());
    QVERIFY(run.recorder.errors.isEmpty());
    QVERIFY(!run.inThread([&] { return run.adapter->isBusy(); }));
    QCOMPARE(sim.module(uidOf(1).toStdString())->inStart, 0);
}

void TestAdapterAllocation::occupancy_data()
{
    QTest::addColumn<QList<quint16>>("codes");
    QTest::addColumn<QList<int>>("starts"); // of each module's area
    QTest::addColumn<bool>("conflict");
    QTest::addColumn<int>("inputBits");     // input bits counted once or more
    QTest::addColumn<int>("outputBits");

    QTest::newRow("adjacent areas") << QList<quint16>{kDI8, kDI8} << QList<int>{0, 8} << false << 16 << 0;
    QTest::newRow("one bit claimed twice") << QList<quint16>{kDI8, kDI8} << QList<int>{0, 7} << true << 15 << 0;
    QTest::newRow("analog areas count every bit") << QList<quint16>{kAI4, kDI8} << QList<int>{0, 63} << true << 71 << 0;
    QTest::newRow("inputs and outputs are apart") << QList<quint16>{kDI8, kDO8} << QList<int>{0, 0} << false << 8 << 8;
    QTest::newRow("bits at or above 512 are not counted")
        << QList<quint16>{kDI8, kDO8, kDO8} << QList<int>{508, 0, 508} << false << 4 << 12;
}

void TestAdapterAllocation::occupancy()
{
    QFETCH(QList<quint16>, codes);
    QFETCH(QList<int>, starts);
    QFETCH(bool, conflict);
    QFETCH(int, inputBits);
    QFETCH(int, outputBits);

    AdapterRun run(true);
    for (int i = 0; i < codes.size(); ++i) {
        Slave *slave = run.createOffline(i + 1, typeKey(codes[i]).toLatin1());
        run.inThread([&] {
            const QList<ItemInfo *> items = slave->group(Slave::kConfigData)->items;
            for (int index = 0; index < items.size(); ++index) {
                if (items[index]->isInputChannels() || items[index]->isOutputChannels())
                    slave->setItemAddress(index, starts[i], slave->channelCount);
            }
        });
    }
    const QVector<quint8> map = run.inThread([&] { return run.adapter->occupancyMap(); });
    QCOMPARE(map.size(), 1024);
    QCOMPARE(Adapter::hasConflict(map), conflict);
    QCOMPARE(int(std::count_if(map.cbegin(), map.cbegin() + 512, [](quint8 c) { return c > 0; })), inputBits);
    QCOMPARE(int(std::count_if(map.cbegin() + 512, map.cend(), [](quint8 c) { return c > 0; })), outputBits);
}

// Slave fields hold whatever they were given; the allocation clamps a
// module's width and channel count before it multiplies them.
void TestAdapterAllocation::absurdSizesAreClampedBeforeTheyMultiply()
{
    AdapterRun run(true);
    int expected = 0;
    for (int station : {1, 2}) {
        Slave *slave = run.createOffline(station, typeKey(kAI4).toLatin1());
        QVERIFY(slave);
        run.inThread([&] {
            slave->bitsPerChannel = std::numeric_limits<int>::max();
            expected += std::min((slave->channelCount + slave->inputOffs) * Slave::kMaxBitsPerChannel, Slave::kMaxAreaBits);
        });
    }
    QVERIFY(expected > 0);
    const QPair<quint16, quint16> totals = run.inThread([&] { return run.adapter->allocationTotals(); });
    QCOMPARE(int(totals.first), expected);
    QCOMPARE(int(totals.second), 0);
}

QTEST_GUILESS_MAIN(TestAdapterAllocation)
#include "tst_adapter_allocation.moc"
