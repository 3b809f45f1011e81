#include "AdapterHarness.h"

#include <TarnBaseConvert.h>

#include "SlaveKinds.h"
#include "TBReplies.h"

using namespace harness;

namespace {

struct SlaveView {
    QString uid;
    int station;
    QString kind;
    int typeCode;
    bool local;
    int statusBit4;
};

QString kindOf(const Slave *slave)
{
    return QString::fromLatin1(slave->metaObject()->className());
}

// A bus of one adapter with a local module and modules at the given stations.
QString busWith(const QList<int> &stations, bool local)
{
    tbsim::AdapterConfig config;
    config.serial = kDemoSerial.toStdString();
    config.scanReads = 0;
    config.restartMs = 50;
    int n = 0;
    if (local) {
        tbsim::Module m = tbsim::catalogueModule(0x1401, "LOCAL0000000", 0);
        m.local = true;
        config.modules.push_back(m);
    }
    for (int station : stations) {
        tbsim::Module m = tbsim::catalogueModule(0x1101, QStringLiteral("MOD%1").arg(++n, 9, 10, QLatin1Char('0')).toStdString(), station);
        m.inStart = 8 * n;
        config.modules.push_back(m);
    }
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().addAdapter(config));
}

QList<int> slaveInfoStations(const tbsim::VirtualAdapter &sim)
{
    QList<int> stations;
    for (const tbsim::TrafficEntry &e : sim.traffic(0x25, -1, 0x02))
        stations << e.param1;
    return stations;
}

} // namespace

class TestAdapterConnect : public QObject
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

    void connectsToTheDemonstrationBus()
    {
        QCOMPARE(loadBus(kDemoBus, 2), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
        QCOMPARE(run.recorder.errorCodes(), QStringList());

        // Two scan reports with rising progress, then the status, every
        // slave added, the finished list and the opened adapter, in order.
        QList<int> kinds;
        for (const Recorder::Load &l : run.recorder.loads)
            kinds << l.type;
        QCOMPARE(kinds.mid(0, 3), (QList<int>{MSG_SCAN_PROGRESS, MSG_SCAN_PROGRESS, MSG_STATUS}));
        QVERIFY(run.recorder.loadsOf(MSG_SCAN_PROGRESS).at(0).value < run.recorder.loadsOf(MSG_SCAN_PROGRESS).at(1).value);
        QCOMPARE(kinds.mid(kinds.size() - 2), (QList<int>{MSG_LOAD_FINISHED, MSG_FORCE_STATE}));
        QCOMPARE(run.recorder.loadsOf(MSG_SLAVE_ADDED).size(), 16);

        const Recorder::Load finished = run.recorder.loadsOf(MSG_LOAD_FINISHED).first();
        QCOMPARE(finished.status.slaveCount, 16);
        QCOMPARE(finished.status.power, 24);
        QCOMPARE(finished.status.temperature, 36);
        QCOMPARE(finished.slaves.size(), 16);

        const QList<SlaveView> slaves = run.inThread([&] {
            QList<SlaveView> out;
            for (const Slave *s : run.adapter->slaveList())
                out << SlaveView{QString::fromLatin1(s->uuid), s->stationId, kindOf(s), s->typeCode, s->recordCarriesStation, s->statusBit4};
            return out;
        });
        const QList<SlaveView> expected{
            {"DA01B2C3D400", 0, "SlaveDIO", 2, true, 0},      // the local module
            {"DA01B2C3D40D", 0, "SlaveDI", 0, false, 1},      // station not set: reported
            {"DA01B2C3D401", 1, "SlaveDI", 0, false, 0},
            {"DA01B2C3D402", 2, "SlaveDO", 1, false, 0},
            {"DA01B2C3D403", 3, "SlaveDI", 0, false, 0},
            {"DA01B2C3D404", 4, "SlaveDO", 1, false, 0},
            {"DA01B2C3D40E", 4, "SlaveDO", 1, false, 1},      // shares station 4: reported
            {"DA01B2C3D405", 5, "SlaveDI", 0, false, 0},
            {"DA01B2C3D406", 6, "SlaveDIO", 2, false, 0},
            {"DA01B2C3D407", 7, "SlaveDIDO", 3, false, 0},
            {"DA01B2C3D408", 8, "SlaveAI", 4, false, 0},
            {"DA01B2C3D409", 9, "SlaveAO", 5, false, 0},
            {"DA01B2C3D40A", 10, "SlaveAI", 4, false, 0},
            {"DA01B2C3D40B", 11, "undefindSlave", 8, false, 0}, // AIO has no kind
            {"DA01B2C3D40C", 12, "SlaveAIAO", 7, false, 0},
            {"DA01B2C3D40F", 13, "undefindSlave", 8, false, 0}, // no description
        };
        QCOMPARE(slaves.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QString row = QStringLiteral("row %1").arg(i);
            QCOMPARE(slaves[i].uid + row, expected[i].uid + row);
            QCOMPARE(slaves[i].station, expected[i].station);
            QCOMPARE(slaves[i].kind, expected[i].kind);
            QCOMPARE(slaves[i].typeCode, expected[i].typeCode);
            QCOMPARE(slaves[i].local, expected[i].local);
            QCOMPARE(slaves[i].statusBit4, expected[i].statusBit4);
        }

        // Identity and settings as the adapter reported them.
        const QList<AdapterInfoItem> info = run.inThread([&] { return run.adapter->infoItems(); });
        QStringList names;
        for (const AdapterInfoItem &item : info)
            names << item.name;
        QCOMPARE(names, (QStringList{"TBName", "UniqueID", "HWVersion", "BootVersion", "APPVersion", "DI滤波使能",
                                     "从站自动复位", "现场总线输出错误", "站号分配模式", "阈值(201-2999)", "阈值修改"}));
        QCOMPARE(info.at(0).text, QStringLiteral("TBC-U100"));
        QCOMPARE(info.at(1).text, QStringLiteral("--"));
        QCOMPARE(info.at(2).text, QStringLiteral("KX42B.0102"));
        QCOMPARE(info.at(3).text, QStringLiteral("T1.0.3"));
        QCOMPARE(info.at(4).text, QStringLiteral("V2.1.7"));
        QCOMPARE(info.at(5).value, 1); // settings byte 1: DI filter on
        QCOMPARE(info.at(5).options, (QStringList{"关闭", "开启"}));
        QCOMPARE(info.at(9).kind, int(AdapterInfoItem::Number));
        QCOMPARE(info.at(9).value, 1000);
        QCOMPARE(info.at(10).options, (QStringList{"Disable", "Enable"}));

        // Polling has begun.
        tbsim::VirtualAdapter sim = simAdapter();
        const int statusReads = sim.requestCount(0x25, 0x00, 0x80);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25, 0x00, 0x80) > statusReads, 5000);
        QVERIFY(run.stop());
    }

    void adapterThatNeverAnswersReady()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule notReady;
        notReady.kind = tbsim::FaultKind::NotReady;
        notReady.code = 0x48;
        sim.addFault(notReady);
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForError(MSG_NO_HANDSHAKE));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"24/-1"});
        QCOMPARE(sim.requestCount(0x48), 3);
        QCOMPARE(int(sim.traffic().size()), 3);
        QVERIFY(run.recorder.loadsOf(MSG_LOAD_FINISHED).isEmpty());
        QVERIFY(!run.inThread([&] { return run.adapter->isPolling(); }));
    }

    void stationListOrder_data()
    {
        QTest::addColumn<QList<int>>("stations");
        QTest::addColumn<bool>("local");
        QTest::addColumn<QList<int>>("read");
        QTest::newRow("local, 1, 2, 9") << QList<int>{9, 2, 1} << true << QList<int>{0, 1, 2, 9};
        QTest::newRow("no local module") << QList<int>{128, 3} << false << QList<int>{3, 128};
    }

    void stationListOrder()
    {
        QFETCH(QList<int>, stations);
        QFETCH(bool, local);
        QFETCH(QList<int>, read);
        QCOMPARE(busWith(stations, local), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        QCOMPARE(slaveInfoStations(simAdapter()).mid(0, read.size()), read);
        const QList<int> loaded = run.inThread([&] {
            QList<int> out;
            for (const Slave *s : run.adapter->slaveList())
                out << s->stationId;
            return out;
        });
        QCOMPARE(loaded, read);
    }

    void unplugAndReplug()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        tbsim::VirtualAdapter sim = simAdapter();
        sim.unplug();
        QVERIFY(run.waitForError(MSG_USB_STATE));
        QCOMPARE(run.recorder.errorsOf(MSG_USB_STATE).first().err, -2);
        QVERIFY(!run.inThread([&] { return run.adapter->isPolling() || run.adapter->isLinked(); }));
        QCOMPARE(UsbGlobal::openedDeviceCount(), 0);

        // The poll that ran into it reports its empty reply; while the
        // adapter is away nothing else is reported.
        QTest::qWait(3 * tarnbus::linkTiming().pollPeriodMs);
        const QStringList codes = run.recorder.errorCodes();
        QCOMPARE(codes.first(), QStringLiteral("25/-2"));
        QCOMPARE(codes.count(QStringLiteral("25/-2")), 1);
        QCOMPARE(codes.size(), 2);
        QVERIFY2(codes.at(1).startsWith(QLatin1String("29/")), qPrintable(codes.join(' ')));

        run.recorder.clear();
        sim.replug();
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        QCOMPARE(run.recorder.errorCodes(), QStringList{"25/-1"});
        QVERIFY(run.recorder.loadsOf(MSG_LOAD_FINISHED).isEmpty());
        QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves.size(), 16);
        QVERIFY(run.inThread([&] { return run.adapter->isPolling() && run.adapter->isLinked(); }));
        QCOMPARE(UsbGlobal::openedDeviceCount(), 1);
    }

    void upgradeFlagSuspendsPolling()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        run.adapter->setUpgradeRunning(true);
        QTest::qWait(tarnbus::linkTiming().pollPeriodMs * 2);
        tbsim::VirtualAdapter sim = simAdapter();
        sim.clearTraffic();
        QTest::qWait(tarnbus::linkTiming().pollPeriodMs * 3);
        QVERIFY(sim.traffic().empty());
        // A tick during the upgrade does not restart the timer.
        QVERIFY(!run.inThread([&] { return run.adapter->isPolling(); }));
    }

    // A read asked for reads the bus at once, whatever the poll period, and
    // reports the slaves it found; in force mode it only reports.
    void busReadOnRequest()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tarnbus::LinkTiming timing = fastTiming();
        timing.pollPeriodMs = 600000;
        tarnbus::setLinkTiming(timing);
        struct Restore {
            ~Restore() { tarnbus::setLinkTiming(fastTiming()); }
        } restore;
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        run.settle();
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::Module joined = tbsim::catalogueModule(0x1201, "DA01B2C3D4AA", 20);
        joined.outStart = 300;
        QCOMPARE(QString::fromStdString(sim.addModule(joined)), QString());
        sim.clearTraffic();
        run.recorder.clear();

        run.adapter->requestBusRead();
        QVERIFY(run.waitForLoad(MSG_REFRESH_ROWS));
        const SlaveList read = run.recorder.loadsOf(MSG_REFRESH_ROWS).first().slaves;
        QCOMPARE(read.size(), 17);
        QVERIFY(std::any_of(read.cbegin(), read.cend(), [](const SlaveSnapshot &s) { return s->uuid == "DA01B2C3D4AA"; }));
        QVERIFY(sim.requestCount(0x25) >= 16);
        QCOMPARE(run.recorder.errorCodes(), QStringList());

        emit run.adapter->sigSetFource(true);
        QTRY_VERIFY(run.inThread([&] { return run.adapter->isForceMode(); }));
        run.settle();
        sim.clearTraffic();
        run.recorder.clear();
        run.adapter->requestBusRead();
        QVERIFY(run.waitForLoad(MSG_REFRESH_ROWS));
        QCOMPARE(run.recorder.loadsOf(MSG_REFRESH_ROWS).first().slaves.size(), 17);
        QCOMPARE(sim.requestCount(0x25), 0);
        emit run.adapter->sigSetFource(false);
        QTRY_VERIFY(!run.inThread([&] { return run.adapter->isForceMode(); }));
    }

    void pollFollowsTheBus()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        tbsim::VirtualAdapter sim = simAdapter();

        // A module joins at station 20: the next poll adds it.
        tbsim::Module joined = tbsim::catalogueModule(0x1201, "DA01B2C3D4AA", 20);
        joined.outStart = 300;
        QCOMPARE(QString::fromStdString(sim.addModule(joined)), QString());
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        const SlaveList changed = run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves;
        QCOMPARE(changed.size(), 17);
        QVERIFY(run.inThread([&] { return run.adapter->findSlaveByUuid("DA01B2C3D4AA") != nullptr; }));

        // A module leaves: its record stays, marked as not running.
        QVERIFY(sim.removeModule("DA01B2C3D403"));
        QTRY_VERIFY_WITH_TIMEOUT(run.inThread([&] { return run.adapter->findSlaveByUuid("DA01B2C3D403")->statusRun == 0; }), 5000);
        QCOMPARE(run.inThread([&] { return run.adapter->slaveList().size(); }), 17);
        QVERIFY(run.inThread([&] { return run.adapter->findSlaveByUuid("DA01B2C3D401")->statusRun == 1; }));
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    void swappedModuleGetsARecordOfItsOwn()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        const quint64 oldRecord = run.inThread([&] { return run.adapter->findSlaveByUuid("DA01B2C3D403")->recordId(); });
        tbsim::VirtualAdapter sim = simAdapter();
        run.recorder.clear();

        // The DI8 at station 3 is replaced by a DO8 during commissioning.
        QVERIFY(sim.removeModule("DA01B2C3D403"));
        tbsim::Module replacement = tbsim::catalogueModule(0x1201, "DA01B2C3D4BB", 3);
        replacement.outStart = 300;
        QCOMPARE(QString::fromStdString(sim.addModule(replacement)), QString());

        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        const SlaveList changed = run.recorder.loadsOf(MSG_LIST_CHANGED).last().slaves;
        QCOMPARE(changed.size(), 16);
        const auto at3 = std::find_if(changed.cbegin(), changed.cend(), [](const SlaveSnapshot &s) { return s->stationId == 3; });
        QVERIFY(at3 != changed.cend());
        QCOMPARE((*at3)->uuid, QByteArray("DA01B2C3D4BB"));
        QCOMPARE((*at3)->typeCode, int(TarnBase::ModuleDO));
        QVERIFY((*at3)->recordId != oldRecord);
        QCOMPARE(std::count_if(changed.cbegin(), changed.cend(), [](const SlaveSnapshot &s) { return s->stationId == 3; }), 1);
        QVERIFY(run.inThread([&] { return run.adapter->findSlaveByUuid("DA01B2C3D403") == nullptr; }));
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    // An adapter that keeps reporting modules without a station cannot hold
    // the worker while it loads: the pass reads at most twice the stations
    // and one more, and the load goes on to its end.
    void endlessReportsAreCapped()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        for (int i = 0; i < 300; ++i) {
            const std::string uid = QStringLiteral("EE%1").arg(i, 10, 10, QLatin1Char('0')).toStdString();
            QCOMPARE(QString::fromStdString(sim.addModule(tbsim::catalogueModule(0x1101, uid, 0))), QString());
        }
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED, 1, 30000));
        // After each request for the reports (0x47 AA 55) the reads (0x27 06)
        // stopped at the cap.
        const int cap = 2 * 128 + 1;
        int reads = 0;
        int longest = 0;
        for (const tbsim::TrafficEntry &e : sim.traffic()) {
            if (e.code == 0x27 && e.param1 == 0x06)
                longest = std::max(longest, ++reads);
            else if (e.code == 0x47 && e.param1 == 0xAA)
                reads = 0;
        }
        QCOMPARE(longest, cap);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    void reloadReportsKindFive()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        emit run.adapter->sigUpdateSlave(1);
        QVERIFY(run.waitForLoad(MSG_RELOADED));
        QCOMPARE(run.recorder.loadsOf(MSG_RELOADED).first().slaves.size(), 16);
        QCOMPARE(run.recorder.loadsOf(MSG_RELOADED).first().status.slaveCount, 16);
        QVERIFY(run.inThread([&] { return run.adapter->isPolling() && !run.adapter->isBusy(); }));
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    void localInformation()
    {
        AdapterRun run(true);
        emit run.adapter->sigLoadingLocalInfo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        const Recorder::Load load = run.recorder.loads.first();
        QCOMPARE(load.status.localInfo, 1);
        QVERIFY(load.slaves.isEmpty());
    }

    void shutdownIsPrompt_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<bool>("noReply");
        QTest::newRow("while loading") << 300 << false;
        QTest::newRow("while waiting for a reply") << 100 << true;
    }

    void shutdownIsPrompt()
    {
        QFETCH(int, afterMs);
        QFETCH(bool, noReply);
        QCOMPARE(loadBus(kFullBus), QString());
        // Slow transactions and long time-outs: loading 128 modules would
        // take more than 40 seconds, a silent adapter three minutes. A
        // shutdown that waited for either could not end within the bound
        // below, however loaded the machine is.
        tarnbus::LinkTiming slow = fastTiming();
        slow.beforeRequestMs = 200;
        slow.betweenRequestReportsMs = 50;
        slow.beforeReplyMs = 50;
        slow.betweenReplyReportsMs = 50;
        slow.connectTimeoutMs = 60000;
        tarnbus::setLinkTiming(slow);
        if (noReply) {
            tbsim::FaultRule silent;
            silent.kind = tbsim::FaultKind::NoReply;
            simAdapter().addFault(silent);
        }
        AdapterRun run;
        run.connectTo();
        QTest::qWait(afterMs);
        const bool ended = run.stop(15000);
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(ended);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    void shutdownWhilePolling()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        QTest::qWait(tarnbus::linkTiming().pollPeriodMs + 20);
        QVERIFY(run.stop(5000));
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAdapterConnect)
#include "tst_adapter_connect.moc"
