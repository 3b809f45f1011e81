// The Adapter as a window drives it from another thread: every request
// returns at once whatever the worker is doing, results arrive as values,
// and the offline download shares the device with the poll without ever
// running beside it.

#include "AdapterHarness.h"

using namespace harness;

namespace {

// Frames as "47/00/02", in the order the adapter received them.
QStringList frames(const std::vector<tbsim::TrafficEntry> &traffic)
{
    QStringList out;
    for (const tbsim::TrafficEntry &e : traffic)
        out << QStringLiteral("%1/%2/%3")
                   .arg(e.code, 2, 16, QLatin1Char('0'))
                   .arg(e.param1, 2, 16, QLatin1Char('0'))
                   .arg(e.param2, 2, 16, QLatin1Char('0'))
                   .toUpper();
    return out;
}

bool isConfigurationWrite(const QString &frame)
{
    return frame == QLatin1String("47/00/02") || frame == QLatin1String("46/00/02");
}

} // namespace

class TestAdapterThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadDescriptions(); }

    void init() { tarnbus::setLinkTiming(fastTiming()); }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
        tarnbus::setLinkTiming(fastTiming());
    }

    void requestsReturnWhileTheWorkerWaits()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        // The adapter takes three seconds to answer the first handshake.
        tbsim::FaultRule slow;
        slow.kind = tbsim::FaultKind::SlowReply;
        slow.code = 0x48;
        slow.param1 = 0x00;
        slow.param2 = 0xEC;
        slow.count = 1;
        slow.delayMs = 3000;
        sim.addFault(slow);
        tarnbus::LinkTiming timing = fastTiming();
        timing.connectTimeoutMs = 10000;
        tarnbus::setLinkTiming(timing);

        AdapterRun run;
        run.connectTo();
        QTRY_COMPARE_WITH_TIMEOUT(sim.requestCount(0x48, 0x00, 0xEC), 1, 5000);

        // Everything a window asks, asked while the worker waits.
        const QString line = QStringLiteral("*TB-DI8-N,3,1,0,8,0,0,2,0,0,#00001101,0,0,0,0,0,0,0,0,0,0,0,0\n");
        run.adapter->setAlignmentUnit(8);
        run.adapter->setSettings(0x03, 1500);
        run.adapter->setManagerOperation(false);
        run.adapter->setUpgradeRunning(false);
        run.adapter->requestReport();
        run.adapter->requestCsvLines(true);
        run.adapter->requestCsvImport({line}, false);
        run.adapter->requestSlaveConfig(1, QByteArray(32, '\0'));
        run.adapter->requestSlaveEditedConfig(1, QByteArray(32, '\0'));
        run.adapter->requestSlaveLamp(1, true);
        run.adapter->requestSlaveOutput(1, 0, 1);
        run.adapter->requestSlaveDefaults(1);
        run.adapter->requestSlaveClear(1);
        run.adapter->requestRemoveSlave(1);
        run.adapter->requestConfigurationDownload();
        emit run.adapter->sigUpdateSlave(1);

        // None of them waited for the worker: it is still in the handshake,
        // the only request the adapter has seen.
        QCOMPARE(frames(sim.traffic()), QStringList{"48/00/EC"});

        // Then they are served in the order asked, after the connection.
        QVERIFY(run.waitForLoad(MSG_RELOADED, 1, 15000));
        run.settle();
        QCoreApplication::processEvents();
        QCOMPARE(run.recorder.csvImports.size(), 1);
        QVERIFY(!run.recorder.errorsOf(MSG_DOWNLOAD_DONE).isEmpty());
        // The alignment asked for first was there for all that followed.
        const Recorder::Load rows = run.recorder.loadsOf(MSG_REFRESH_ROWS).first();
        QVERIFY(!rows.slaves.isEmpty());
        for (const SlaveSnapshot &slave : rows.slaves)
            QCOMPARE(slave->alignment, 8);
        QVERIFY(run.stop());
    }

    void offlineDownloadThroughAPollingAdapter()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        const int polls = sim.requestCount(0x25, 0x00, 0x80);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25, 0x00, 0x80) > polls + 1, 5000);
        const int slaves = run.inThread([&] { return run.adapter->slaveList().size(); });
        sim.clearTraffic();
        run.recorder.clear();

        run.adapter->requestOfflineDownload(UsbGlobal::kVendorId, UsbGlobal::kProductId, kDemoSerial);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        const QStringList traffic = frames(sim.traffic());

        // From its bus status read to its last write the download ran alone:
        // no poll's handshake or identity request came in between.
        int last = traffic.size() - 1;
        while (last >= 0 && !isConfigurationWrite(traffic.at(last)))
            --last;
        QVERIFY(last > 0);
        const int first = traffic.lastIndexOf(QStringLiteral("25/00/80"), last);
        QVERIFY(first >= 0);
        const QStringList download = traffic.mid(first, last - first + 1);
        QCOMPARE(download.count(QStringLiteral("48/00/EC")), 0);
        QCOMPARE(download.count(QStringLiteral("47/AA/55")), 1);
        QCOMPARE(download.count(QStringLiteral("25/00/80")), 1);

        const Recorder::Error summary = run.recorder.errorsOf(MSG_BATCH_CONFIG).last();
        QCOMPARE(summary.s1.size() + summary.s2.size(), slaves);
        QVERIFY(!summary.s2.isEmpty());

        // The adapter keeps its device and goes on polling through it.
        const int after = sim.requestCount(0x25, 0x00, 0x80);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25, 0x00, 0x80) > after + 1, 5000);
        QVERIFY(run.inThread([&] { return run.adapter->isLinked() && !run.adapter->isBusy(); }));
        QCOMPARE(tbsim::bus().openHandleCount(), 1);
        QCOMPARE(run.recorder.errorsOf(MSG_TRANSACTION_FAILED).size(), 0);
    }

    void stateFollowsTheAdapter()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        QVERIFY(!run.recorder.states.isEmpty());
        const AdapterState linked = run.recorder.states.last();
        QVERIFY(linked.linked);
        QVERIFY(!linked.forceMode);
        QCOMPARE(linked.mac, kDemoSerial);
        QCOMPARE(linked.infoItems.size(), 11);
        QCOMPARE(linked.infoItems.first().name, QStringLiteral("TBName"));
        QCOMPARE(linked.infoItems.at(9).name, QStringLiteral("阈值(201-2999)"));

        // Each change is told once, before the report that goes with it.
        run.recorder.clear();
        emit run.adapter->sigSetFource(true);
        QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
        QCOMPARE(run.recorder.states.size(), 1);
        QVERIFY(run.recorder.states.last().forceMode);
        emit run.adapter->sigSetFource(false);
        QTRY_VERIFY_WITH_TIMEOUT(!run.recorder.states.last().forceMode, 5000);
    }

    void removeTheRecordAskedFor()
    {
        // Two slaves of an offline configuration, neither with a UID, at one station.
        AdapterRun run(true);
        Slave *first = run.createOffline(1, "#00001101");
        Slave *second = run.createOffline(1, "#00001101");
        QVERIFY(first && second);
        const quint64 kept = first->recordId();
        run.adapter->requestRemoveSlave(second->recordId());
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        QCOMPARE(recordIds(run.recorder.loadsOf(MSG_LIST_CHANGED).first().slaves), QList<quint64>{kept});
        QCOMPARE(run.inThread([&] { return recordIds(run.adapter->slaveList()); }), QList<quint64>{kept});
    }

    void blinkingLampLetsThePollRun()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        const quint64 lamp = recordIds(run.recorder.loadsOf(MSG_LOAD_FINISHED).first().slaves).at(1);
        const int polls = sim.requestCount(0x25, 0x00, 0x80);
        // A lit lamp asks again with every phase, far more often than the poll period.
        const int period = tarnbus::linkTiming().pollPeriodMs;
        for (int elapsed = 0; elapsed < 6 * period; elapsed += period / 3) {
            run.adapter->requestSlaveLamp(lamp, true);
            QTest::qWait(period / 3);
        }
        run.settle();
        QVERIFY(sim.requestCount(0x27, 0x10, 0x00) > 10);
        QVERIFY2(sim.requestCount(0x25, 0x00, 0x80) >= polls + 2, "the poll was put off by every lamp request");
        QVERIFY(run.inThread([&] { return run.adapter->isPolling() && !run.adapter->isBusy(); }));
    }

    void snapshotsStayAsTheyWere()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        AdapterRun run;
        run.connectTo();
        QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
        const SlaveList loaded = run.recorder.loadsOf(MSG_LOAD_FINISHED).first().slaves;
        QCOMPARE(loaded.size(), 16);
        const SlaveSnapshot di8 = *std::find_if(loaded.cbegin(), loaded.cend(),
                                                [](const SlaveSnapshot &s) { return s->uuid == "DA01B2C3D403"; });
        // What the window sees is what the record held.
        run.inThread([&] {
            const Slave *record = run.adapter->findSlaveByUuid("DA01B2C3D403");
            QCOMPARE(di8->recordId, record->recordId());
            QCOMPARE(int(di8->stationId), int(record->stationId));
            QCOMPARE(di8->typeName, record->typeName);
            QCOMPARE(di8->configurationRecord, record->configurationRecord());
            QCOMPARE(di8->ioWindow.inputStart, record->ioWindow().inputStart);
            QCOMPARE(di8->ioWindow.inputBits, record->ioWindow().inputBits);
            QCOMPARE(di8->groups.size(), record->itemGroups->size());
            const ItemsInfo *config = record->group(Slave::kConfigData);
            const ItemGroupState *copied = di8->group(Slave::kConfigData);
            QCOMPARE(copied->items.size(), config->items.size());
            for (int i = 0; i < config->items.size(); ++i) {
                QCOMPARE(copied->items[i].name, config->items[i]->name);
                QCOMPARE(copied->items[i].value.data, config->items[i]->value.data);
                QCOMPARE(copied->items[i].startAddress, config->items[i]->startAddress);
            }
        });
        // The record changes; the snapshot handed out before does not.
        const QByteArray before = di8->configurationRecord;
        const qint16 start = di8->groupItem(Slave::kConfigData, 1)->startAddress;
        QVERIFY(start != 300);
        run.inThread([&] {
            Slave *record = run.adapter->findSlaveByUuid("DA01B2C3D403");
            record->setItemAddress(1, 300, 8);
            record->group(Slave::kConfigData)->itemAt(2)->value.setValue(7);
        });
        QCOMPARE(di8->configurationRecord, before);
        QCOMPARE(di8->groupItem(Slave::kConfigData, 1)->startAddress, start);
        QVERIFY(di8->groupItem(Slave::kConfigData, 2)->value.toInt() != 7);
    }
};

QTEST_GUILESS_MAIN(TestAdapterThreads)
#include "tst_adapter_threads.moc"
