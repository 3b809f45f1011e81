// The Adapter's live operations against the virtual adapter: force mode and
// the process-data cycle, the settings write, storing the configuration,
// the locating lamp and the power refresh.

#include "AdapterHarness.h"

#include "ItemInfo.h"
#include "ItemsInfo.h"

using namespace harness;

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

// Modules of the demonstration bus used here.
const QByteArray kDI16 = "DA01B2C3D401"; // station 1, inputs wired to the DO16's outputs
const QByteArray kDO16 = "DA01B2C3D402"; // station 2, outputs at bit 8
const QByteArray kDI8 = "DA01B2C3D403";  // station 3, constant inputs A5 at bit 24
const QByteArray kDI32 = "DA01B2C3D405"; // station 5

const int kImageBytes = Adapter::kOutputImageSize;

QByteArray bytesOf(const tbsim::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

QByteArray padded(const QByteArray &bytes)
{
    return bytes + QByteArray(kImageBytes - bytes.size(), '\0');
}

// Kinds of the load reports, leaving out the status reports that every
// process-data exchange sends.
QList<int> operationKinds(const Recorder &recorder)
{
    QList<int> kinds;
    for (const Recorder::Load &l : recorder.loads) {
        if (l.type != MSG_STATUS)
            kinds << l.type;
    }
    return kinds;
}

int processDataCount(const tbsim::VirtualAdapter &sim)
{
    return sim.requestCount(0x49, 0xFE, 0x00);
}

// Connects to the demonstration bus and waits until the Adapter is idle and
// polling, with the reports and the traffic of the connect forgotten.
bool connectDemo(AdapterRun &run)
{
    if (!loadBus(kDemoBus).isEmpty())
        return false;
    run.connectTo();
    if (!run.waitForLoad(MSG_LOAD_FINISHED) || !run.waitForLoad(MSG_FORCE_STATE))
        return false;
    run.settle();
    const bool clean = run.recorder.errors.isEmpty();
    run.recorder.clear();
    simAdapter().clearTraffic();
    return clean;
}

// Enters force mode and waits for the process-data cycle to run.
bool enterForceMode(AdapterRun &run)
{
    const int before = run.recorder.loadsOf(MSG_FORCE_STATE).size();
    emit run.adapter->sigSetFource(true);
    if (!run.waitForLoad(MSG_FORCE_STATE, before + 1))
        return false;
    tbsim::VirtualAdapter sim = simAdapter();
    const int cycles = processDataCount(sim);
    return QTest::qWaitFor([&] { return processDataCount(sim) > cycles + 2; }, 5000);
}

// Switches outputs of a module on as the IO test panel does: the values
// into its output items, then its write request.
void setOutputs(AdapterRun &run, const QByteArray &uid, const QList<int> &channels)
{
    run.inThread([&] {
        Slave *slave = run.adapter->findSlaveByUuid(uid);
        QVERIFY(slave);
        for (int channel : channels)
            slave->setOutputValue(channel, 1);
        emit slave->sigSetWriteIO();
    });
}

// Runs fn on a slave in the Adapter's thread, queued, as a view's request
// reaches it.
template <typename Fn>
void queueOnSlave(AdapterRun &run, const QByteArray &uid, Fn fn)
{
    Adapter *adapter = run.adapter;
    QMetaObject::invokeMethod(
        adapter,
        [adapter, uid, fn] {
            if (Slave *slave = adapter->findSlaveByUuid(uid))
                fn(slave);
        },
        Qt::QueuedConnection);
}

struct ForceView {
    bool forceMode = false;
    bool linked = false;
    bool polling = false;
    bool busy = false;
    int forcedSlaves = 0;
    int slaves = 0;
    QByteArray outputImage;
};

ForceView forceView(AdapterRun &run)
{
    return run.inThread([&] {
        ForceView v;
        v.linked = run.adapter->isLinked();
        v.forceMode = run.adapter->isForceMode();
        v.polling = run.adapter->isPolling();
        v.busy = run.adapter->isBusy();
        v.outputImage = run.adapter->outputImage();
        for (const Slave *s : run.adapter->slaveList()) {
            ++v.slaves;
            if (s->forcedState)
                ++v.forcedSlaves;
        }
        return v;
    });
}

// Values of a slave's output items.
QList<int> outputValues(AdapterRun &run, const QByteArray &uid)
{
    return run.inThread([&] {
        QList<int> values;
        if (const ItemsInfo *outputs = run.adapter->findSlaveByUuid(uid)->group(Slave::kTxPdo)) {
            for (const ItemInfo *item : outputs->items)
                values << item->value.toInt();
        }
        return values;
    });
}

bool allZero(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

} // namespace

class TestAdapterForce : public QObject
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

    // --- Force mode on ---------------------------------------------------

    void forceModeOn()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));

        QCOMPARE(sim.requestCount(0x48, 0x05, 0x00), 1);
        QVERIFY(sim.forceMode());
        const Recorder::Load entered = run.recorder.loadsOf(MSG_FORCE_STATE).first();
        QCOMPARE(entered.status.fource, 1);

        const ForceView view = forceView(run);
        QVERIFY(view.forceMode);
        QVERIFY(!view.polling);
        QVERIFY(!view.busy);
        QCOMPARE(view.forcedSlaves, view.slaves);

        // From the enter command on the link carries process data only.
        QTest::qWait(3 * tarnbus::linkTiming().pollPeriodMs);
        const std::vector<tbsim::TrafficEntry> traffic = sim.traffic();
        const auto entered48 = std::find_if(traffic.begin(), traffic.end(),
                                            [](const tbsim::TrafficEntry &e) { return e.code == 0x48 && e.param1 == 0x05; });
        QVERIFY(entered48 != traffic.end());
        QStringList after;
        for (auto it = entered48 + 1; it != traffic.end(); ++it) {
            if (it->code != 0x49 || it->param1 != 0xFE || it->param2 != 0x00)
                after << QString::number(it->code, 16);
        }
        QCOMPARE(after, QStringList());
        QVERIFY(traffic.end() - entered48 > 5);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    void forceModeRefused_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("without link") << true << QStringList{"27/-2"};
        QTest::newRow("while upgrading") << false << QStringList();
    }

    void forceModeRefused()
    {
        QFETCH(bool, unplugged);
        QFETCH(QStringList, errors);
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        if (unplugged) {
            sim.unplug();
            QVERIFY(run.waitForError(MSG_USB_STATE));
        } else {
            run.adapter->setUpgradeRunning(true);
        }
        run.settle();
        run.recorder.clear();
        sim.clearTraffic();

        emit run.adapter->sigSetFource(true);
        run.settle();
        QTest::qWait(3 * tarnbus::linkTiming().processDataPeriodMs);
        QCOMPARE(sim.requestCount(0x48, 0x05, 0x00), 0);
        QCOMPARE(processDataCount(sim), 0);
        QVERIFY(run.recorder.loadsOf(MSG_FORCE_STATE).isEmpty());
        QCOMPARE(run.recorder.errorCodes(), errors);
        const ForceView view = forceView(run);
        QVERIFY(!view.forceMode);
        QCOMPARE(view.forcedSlaves, 0);
        QVERIFY(!view.busy);
    }

    // --- The process-data cycle -------------------------------------------

    void outputImageIsWhatTheSlavesWrote()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));

        // DO16 outputs start at bit 8: channels 0, 3 and 15 are bits 8, 11, 23.
        setOutputs(run, kDO16, {0, 3, 15});
        QByteArray expected(kImageBytes, '\0');
        expected[1] = char(0x09);
        expected[2] = char(0x80);
        QCOMPARE(forceView(run).outputImage, expected);

        sim.clearTraffic();
        QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) >= 2, 5000);
        for (const tbsim::TrafficEntry &e : sim.traffic(0x49))
            QCOMPARE(bytesOf(e.data), expected);
        const std::optional<tbsim::Module> driven = sim.module(kDO16.toStdString());
        QVERIFY(driven);
        QCOMPARE(bytesOf(driven->outputs), QByteArray::fromHex("0980"));
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    // A module's outputs set in one request reach the wire together, and
    // every cycle brings every module's inputs, not only those of the
    // station the adapter reports that time.
    void outputsAtOnceAndEveryModulesInputs()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        QVERIFY(enterForceMode(run));
        const quint64 do16 = run.inThread([&] { return run.adapter->findSlaveByUuid(kDO16)->recordId(); });
        const QVector<int> pattern{1, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
        run.adapter->requestSlaveOutputs(do16, pattern);
        QTRY_COMPARE_WITH_TIMEOUT(outputValues(run, kDO16), pattern.toList(), 5000);
        QCOMPARE(forceView(run).outputImage.mid(1, 2), QByteArray::fromHex("8d80"));

        // The wired DI16 shows the pattern in each of the next cycles.
        const auto inputsOf = [](const SlaveList &slaves) {
            QList<int> values;
            for (const SlaveSnapshot &slave : slaves) {
                if (slave->uuid == kDI16) {
                    for (const ItemState &item : slave->group(Slave::kRxPdo)->items)
                        values << item.value.toInt();
                }
            }
            return values;
        };
        run.recorder.clear();
        QVERIFY(run.waitForLoad(MSG_STATUS, 2));
        const int first = run.recorder.loadsOf(MSG_STATUS).size();
        QVERIFY(run.waitForLoad(MSG_STATUS, first + 3));
        const QList<Recorder::Load> cycles = run.recorder.loadsOf(MSG_STATUS);
        for (int i = first; i < first + 3; ++i)
            QCOMPARE(inputsOf(cycles.at(i).slaves), pattern.toList());
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    // Two modules share station 4: a request for one record writes that
    // record's outputs, not the first module found at the station.
    void outputRequestsNameTheirRecord()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        QVERIFY(enterForceMode(run));
        const QByteArray second = "DA01B2C3D40E"; // DO8 at station 4, outputs at bit 224
        const quint64 record = run.inThread([&] { return run.adapter->findSlaveByUuid(second)->recordId(); });
        run.adapter->requestSlaveOutputs(record, {1, 0, 0, 0, 0, 0, 0, 1});
        run.adapter->requestSlaveOutput(record, 1, 1);
        run.settle();
        QByteArray expected(kImageBytes, '\0');
        expected[28] = char(0x83);
        QCOMPARE(forceView(run).outputImage.toHex(' '), expected.toHex(' '));
    }

    void allOutputs_data()
    {
        QTest::addColumn<QList<bool>>("switches");
        QTest::addColumn<char>("fill");
        QTest::newRow("on") << QList<bool>{true} << char(0xFF);
        QTest::newRow("on, then off") << QList<bool>{true, false} << char(0x00);
    }

    void allOutputs()
    {
        QFETCH(QList<bool>, switches);
        QFETCH(char, fill);
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        setOutputs(run, kDO16, {1});

        for (bool on : switches)
            QMetaObject::invokeMethod(run.adapter, "onOpenAllOut", Qt::QueuedConnection, Q_ARG(bool, on));
        run.settle();
        sim.clearTraffic();
        QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) >= 1, 5000);
        QCOMPARE(bytesOf(sim.traffic(0x49).front().data), QByteArray(kImageBytes, fill));
    }

    void inputImageReachesItsStation()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        // The adapter's status byte and the DI8's own state and fault bytes.
        sim.setStatus(0x16);
        QVERIFY(sim.setState(kDI8.toStdString(), 0x07));
        QVERIFY(sim.setFault(kDI8.toStdString(), 0x05));
        QVERIFY(enterForceMode(run));

        struct View {
            int forced, run, bit1, bit2, fault0, fault1, fault2;
            QList<int> inputs;
        };
        const auto view = [&] {
            return run.inThread([&] {
                const Slave *s = run.adapter->findSlaveByUuid(kDI8);
                View v{s->forcedState, s->statusRun, s->statusBit1, s->statusBit2, s->faultBit0, s->faultBit1, s->faultBit2, {}};
                for (const ItemInfo *item : s->group(Slave::kRxPdo)->items)
                    v.inputs << item->value.toInt();
                return v;
            });
        };
        // Every station comes round in turn; wait for the DI8's.
        QTRY_VERIFY_WITH_TIMEOUT(view().fault0 == 1, 5000);
        const View v = view();
        QCOMPARE(v.forced, 1);
        QCOMPARE(v.run, 1);
        QCOMPARE(v.bit1, 1);
        QCOMPARE(v.bit2, 1);
        QCOMPARE(v.fault1, 0);
        QCOMPARE(v.fault2, 1);
        QCOMPARE(v.inputs, (QList<int>{1, 0, 1, 0, 0, 1, 0, 1})); // A5, channel 0 first

        // The adapter's status flags travel with every cycle.
        const Recorder::Load last = run.recorder.loadsOf(MSG_STATUS).last();
        QCOMPARE(last.status.status0, 0);
        QCOMPARE(last.status.status1, 1);
        QCOMPARE(last.status.status2, 1);
        QCOMPARE(last.status.status4, 1);
        QCOMPARE(last.status.fource, 1);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    void failedCycle_data()
    {
        QTest::addColumn<tbsim::FaultKind>("fault");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<bool>("continues");
        // An exchange that delivers no reply bytes ends the cycle; one that
        // delivered a bad reply is reported and the cycle goes on.
        QTest::newRow("time-out") << tbsim::FaultKind::NoReply << QStringList{"29/23"} << false;
        QTest::newRow("error report") << tbsim::FaultKind::ErrorReport << QStringList{"29/25"} << false;
        QTest::newRow("bad checksum") << tbsim::FaultKind::BadChecksum << QStringList{"28/20"} << true;
        QTest::newRow("wrong command") << tbsim::FaultKind::WrongCommand << QStringList{"28/22"} << true;
        QTest::newRow("unplugged") << tbsim::FaultKind::UnplugMidway << QStringList{"25/-2", "29/28"} << false;
    }

    void failedCycle()
    {
        QFETCH(tbsim::FaultKind, fault);
        QFETCH(QStringList, errors);
        QFETCH(bool, continues);
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        run.recorder.clear();

        tbsim::FaultRule rule;
        rule.kind = fault;
        rule.code = 0x49;
        rule.count = 1;
        sim.addFault(rule);
        QVERIFY(run.waitForError(errors.last().startsWith("29") ? MSG_NO_REPLY_DATA : MSG_TRANSACTION_FAILED));
        run.settle();
        const int cycles = processDataCount(sim);
        if (continues) {
            QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) > cycles + 2, 5000);
            run.settle();
            // The failed cycle reported the adapter's four status flags
            // cleared (the adapter reports flag 0 set); the next good one
            // brought them back.
            const QList<Recorder::Load> statuses = run.recorder.loadsOf(MSG_STATUS);
            int cleared = -1;
            for (int i = 0; i < statuses.size() && cleared < 0; ++i) {
                const AdapterStatus &st = statuses[i].status;
                if (st.status0 == 0 && st.status1 == 0 && st.status2 == 0 && st.status4 == 0)
                    cleared = i;
            }
            QVERIFY(cleared >= 0);
            QVERIFY(cleared + 1 < statuses.size());
            QCOMPARE(statuses.last().status.status0, 1);
            QVERIFY(forceView(run).forceMode);
        } else {
            QTest::qWait(5 * tarnbus::linkTiming().processDataPeriodMs);
            QCOMPARE(processDataCount(sim), cycles);
            // The cycle waits for force mode to be switched again; nothing
            // but the adapter's confirmation ends force mode, not even a
            // lost link.
            QVERIFY(forceView(run).forceMode);
        }
        QCOMPARE(run.recorder.errorCodes(), errors);
        QVERIFY(!forceView(run).polling);
    }

    // --- Force mode off ---------------------------------------------------

    void forceModeOff()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        setOutputs(run, kDO16, {0, 1, 2});
        QMetaObject::invokeMethod(run.adapter, "onWriteOutputData", Qt::QueuedConnection, Q_ARG(int, 2));
        QTRY_COMPARE_WITH_TIMEOUT(bytesOf(sim.module(kDO16.toStdString())->outputs), QByteArray::fromHex("0700"), 5000);
        run.recorder.clear();
        sim.clearTraffic();

        emit run.adapter->sigSetFource(false);
        QVERIFY(run.waitForLoad(MSG_FORCE_STATE));

        // The outputs off, the handshake, the leave command; nothing of
        // force mode afterwards.
        const std::vector<tbsim::TrafficEntry> traffic = sim.traffic();
        const auto leave = std::find_if(traffic.begin(), traffic.end(), [](const tbsim::TrafficEntry &e) { return e.code == 0x23; });
        QVERIFY(leave != traffic.end());
        QVERIFY(leave - traffic.begin() >= 2);
        const tbsim::TrafficEntry &zeros = *(leave - 2);
        const tbsim::TrafficEntry &handshake = *(leave - 1);
        QCOMPARE(int(zeros.code), 0x49);
        QCOMPARE(bytesOf(zeros.data), QByteArray(kImageBytes, '\0'));
        QCOMPARE(int(handshake.code), 0x48);
        QCOMPARE(int(handshake.param2), 0xEC);
        for (auto it = leave + 1; it != traffic.end(); ++it)
            QVERIFY(it->code != 0x49);

        QCOMPARE(operationKinds(run.recorder), (QList<int>{MSG_SLAVE_SET, MSG_FORCE_STATE}));
        QCOMPARE(run.recorder.loadsOf(MSG_FORCE_STATE).first().status.fource, 0);
        QVERIFY(!sim.forceMode());
        for (const tbsim::Module &m : sim.modules())
            QVERIFY2(allZero(bytesOf(m.outputs)), m.uid.c_str());

        const ForceView view = forceView(run);
        QVERIFY(!view.forceMode);
        QCOMPARE(view.forcedSlaves, 0);
        QVERIFY(allZero(view.outputImage));
        QCOMPARE(outputValues(run, kDO16), QVector<int>(16, 0).toList());

        // Polling resumes.
        QVERIFY(view.polling);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25, 0x00, 0x80) > 0, 5000);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
    }

    // A leave sequence that fails half-way keeps force mode: the adapter has
    // not confirmed leaving it. Every output is asked off, the cycle goes on
    // with zeros, and leaving can be asked again.
    void failedLeaveKeepsForceModeWithTheOutputsOff()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        setOutputs(run, kDO16, {4, 5});
        QMetaObject::invokeMethod(run.adapter, "onWriteOutputData", Qt::QueuedConnection, Q_ARG(int, 2));
        QTRY_COMPARE_WITH_TIMEOUT(bytesOf(sim.module(kDO16.toStdString())->outputs), QByteArray::fromHex("3000"), 5000);
        tbsim::FaultRule rule;
        rule.kind = tbsim::FaultKind::ErrorReport;
        rule.code = 0x48;
        rule.param2 = 0xEC;
        rule.count = 1;
        sim.addFault(rule);
        run.recorder.clear();

        emit run.adapter->sigSetFource(false);
        QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"36/5"});
        QCOMPARE(run.recorder.errorsOf(MSG_OPERATION_FAILED).first().status, COMM_REPLY_ERROR);
        QCOMPARE(run.recorder.loadsOf(MSG_FORCE_STATE).last().status.fource, 1);
        ForceView view = forceView(run);
        QVERIFY(view.forceMode);
        QVERIFY(allZero(view.outputImage));
        QCOMPARE(outputValues(run, kDO16), QVector<int>(16, 0).toList());
        QVERIFY(sim.forceMode());
        // The cycle keeps every output off.
        sim.clearTraffic();
        QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) > 2, 5000);
        QVERIFY(allZero(bytesOf(sim.modules().at(2).outputs)));
        for (const tbsim::TrafficEntry &e : sim.traffic(0x49))
            QVERIFY(allZero(bytesOf(e.data)));

        emit run.adapter->sigSetFource(false);
        QTRY_VERIFY_WITH_TIMEOUT(!forceView(run).forceMode, 5000);
        QVERIFY(!sim.forceMode());
        QCOMPARE(run.recorder.errorCodes(), QStringList{"36/5"});
        QVERIFY(forceView(run).polling);
    }

    // A lost link does not say that the adapter stopped forcing: force mode
    // stays shown until the adapter, back again, has confirmed leaving it.
    void linkLossKeepsForceModeUntilLeft()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        setOutputs(run, kDO16, {7});
        run.recorder.clear();

        sim.unplug();
        QVERIFY(run.waitForError(MSG_NO_REPLY_DATA));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"25/-2", "29/28"}));
        ForceView view = forceView(run);
        QVERIFY(view.forceMode);
        QCOMPARE(view.forcedSlaves, 16);
        QVERIFY(!view.polling);

        // Back again, the adapter is brought out of force mode before
        // anything else; then the Adapter polls again.
        sim.clearTraffic();
        sim.replug();
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"25/-2", "29/28", "25/-1"}));
        QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).last().status.fource, 0);
        QCOMPARE(sim.requestCount(0x23), 1);
        for (const tbsim::TrafficEntry &e : sim.traffic(0x49))
            QVERIFY(allZero(bytesOf(e.data)));
        view = forceView(run);
        QVERIFY(!view.forceMode);
        QCOMPARE(view.forcedSlaves, 0);
        QVERIFY(allZero(view.outputImage));
        QVERIFY(view.polling);
        sim.clearTraffic();
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25, 0x00, 0x80) > 0, 5000);
        QCOMPARE(processDataCount(sim), 0);
    }

    // --- Settings ---------------------------------------------------------

    void settingsRefusedInForceMode()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        run.recorder.clear();
        sim.clearTraffic();

        run.inThread([&] { run.adapter->setSettings(0x0F, 1500); });
        emit run.adapter->sigSetAdapterCmd(1, 1);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"16/-15"});
        QCOMPARE(sim.requestCount(0x42), 0);
        QCOMPARE(sim.settings(), quint8(0x01));

        // Force mode goes on undisturbed: no polling, the cycle running.
        const int cycles = processDataCount(sim);
        QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) > cycles + 2, 5000);
        QTest::qWait(2 * tarnbus::linkTiming().pollPeriodMs);
        QCOMPARE(sim.requestCount(0x25), 0);
        const ForceView view = forceView(run);
        QVERIFY(view.forceMode);
        QVERIFY(!view.polling);
        QVERIFY(!view.busy);
    }

    // Closing while the adapter restarts with its new settings: the wait
    // ends at once, not when the restart time has run out.
    void shutdownDuringTheRestartWait()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tarnbus::LinkTiming patient = fastTiming();
        patient.settingsRestartMs = 60000;
        tarnbus::setLinkTiming(patient);
        run.recorder.clear();
        run.adapter->setSettings(0x03, 1500);
        emit run.adapter->sigSetAdapterCmd(1, 1);
        const bool restarting = run.waitForError(MSG_BATCH_CONFIG); // 16/-16: written, the adapter restarts
        const QStringList codes = run.recorder.errorCodes();
        const bool ended = run.stop(15000);
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(restarting);
        QCOMPARE(codes, QStringList{"16/-16"});
        QVERIFY(ended);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    void settingsWrite_data()
    {
        QTest::addColumn<int>("settingsByte");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("change");
        QTest::addColumn<QByteArray>("data");      // data bytes 0..3 of the write
        QTest::addColumn<int>("activeThreshold"); // the adapter's threshold afterwards
        QTest::newRow("threshold changed") << 0x0A << 1500 << 1 << QByteArray::fromHex("DC05A55A") << 1500;
        QTest::newRow("threshold kept") << 0x0C << 1500 << 0 << QByteArray::fromHex("DC050000") << 1000;
    }

    void settingsWrite()
    {
        QFETCH(int, settingsByte);
        QFETCH(int, threshold);
        QFETCH(int, change);
        QFETCH(QByteArray, data);
        QFETCH(int, activeThreshold);
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        // Long enough off USB that the state between the restart and the
        // reconnect can be looked at.
        sim.setRestartMs(300);

        const QList<AdapterInfoItem> before = run.inThread([&] { return run.adapter->infoItems(); });
        run.inThread([&] { run.adapter->setSettings(quint8(settingsByte), quint16(threshold)); });
        emit run.adapter->sigSetAdapterCmd(1, change);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG));

        const std::vector<tbsim::TrafficEntry> writes = sim.traffic(0x42);
        QCOMPARE(int(writes.size()), 2);
        QCOMPARE(int(writes[0].param1), settingsByte);
        QCOMPARE(int(writes[0].param2), 0);
        QCOMPARE(bytesOf(writes[0].data), padded(data));
        QCOMPARE(int(writes[1].param1), 0xAA);
        QCOMPARE(int(writes[1].param2), 0x55);
        QCOMPARE(run.recorder.errorCodes().first(), QStringLiteral("16/-16"));

        // Until the adapter is back and read, the items show what it held:
        // nothing written is the adapter's before it says so.
        QTRY_VERIFY_WITH_TIMEOUT(!forceView(run).linked, 5000);
        QCOMPARE(run.inThread([&] { return run.adapter->infoItems(); }), before);
        // The adapter restarts: no polling into it meanwhile.
        const ForceView restarting = forceView(run);
        QVERIFY(!restarting.polling);
        QVERIFY(!restarting.busy);

        // It comes back by itself, with the new settings read back and
        // compared; only then is the write a success (-14).
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"16/-16", "25/-2", "25/-1", "16/-14"}));
        QCOMPARE(run.recorder.settingsReadBacks.size(), 1);
        const SettingsReadBack check = run.recorder.settingsReadBacks.first();
        QVERIFY(check.matches());
        QCOMPARE(int(check.writtenByte), settingsByte);
        QCOMPARE(int(check.readByte), settingsByte);
        QCOMPARE(check.thresholdChanged, change != 0);
        QCOMPARE(int(sim.settings()), settingsByte);
        QCOMPARE(int(sim.threshold()), activeThreshold);
        const QList<AdapterInfoItem> readBack = run.inThread([&] { return run.adapter->infoItems(); });
        QCOMPARE(readBack.size(), 11);
        for (int bit = 0; bit < 4; ++bit)
            QCOMPARE(readBack.at(5 + bit).value, (settingsByte >> bit) & 1);
        QCOMPARE(readBack.at(9).value, activeThreshold);
        QCOMPARE(run.inThread([&] { return int(run.adapter->threshold()); }), activeThreshold);
        QCOMPARE(run.recorder.loadsOf(MSG_LIST_CHANGED).last().slaves.size(), 16);
        const ForceView view = forceView(run);
        QVERIFY(view.polling);
        QVERIFY(!view.busy);
    }

    void settingsReadAgain()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        // Values stored for a write that is never sent are replaced by the
        // adapter's own.
        run.inThread([&] { run.adapter->setSettings(0x0F, 2500); });
        emit run.adapter->sigSetAdapterCmd(0, 0);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x22) == 1, 5000);
        run.settle();
        QCOMPARE(sim.requestCount(0x20), 1);
        QCOMPARE(sim.requestCount(0x42), 0);
        QCOMPARE(run.inThread([&] { return int(run.adapter->settingsByte()); }), 0x01);
        QCOMPARE(run.inThread([&] { return int(run.adapter->threshold()); }), 1000);
        const QList<AdapterInfoItem> info = run.inThread([&] { return run.adapter->infoItems(); });
        QCOMPARE(info.size(), 11);
        QCOMPARE(info.at(0).text, QStringLiteral("TBC-U100"));
        QCOMPARE(info.at(9).value, 1000);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        QVERIFY(forceView(run).polling);
    }

    // --- Storing the configuration ------------------------------------------

    void storeConfiguration()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        sim.setRestartMs(300);

        emit run.adapter->sigSaveAdapterConfig();
        QVERIFY(run.waitForError(MSG_CONFIG_STORED));
        QCOMPARE(sim.requestCount(0x46, 0x34, 0x12), 1);
        QCOMPARE(run.recorder.errorCodes().first(), QStringLiteral("20/-1"));
        ForceView view = forceView(run);
        QVERIFY(!view.polling);
        QVERIFY(!view.busy);

        // Nothing polls the restarting adapter; the link comes back by
        // itself and only then does polling resume.
        QVERIFY(run.waitForLoad(MSG_LIST_CHANGED));
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"20/-1", "25/-2", "25/-1"}));
        // The bus is read again and handed over with what was stored.
        QCOMPARE(run.recorder.storeReadBacks.size(), 1);
        QCOMPARE(run.recorder.storeReadBacks.first().first.size(), 16);
        QCOMPARE(run.recorder.storeReadBacks.first().second.size(), 16);
        const std::vector<tbsim::TrafficEntry> traffic = sim.traffic();
        const auto stored = std::find_if(traffic.begin(), traffic.end(), [](const tbsim::TrafficEntry &e) { return e.code == 0x46; });
        QVERIFY(stored != traffic.end());
        QVERIFY(stored + 1 != traffic.end());
        QCOMPARE(int((stored + 1)->code), 0x48); // the reconnect's handshake
        view = forceView(run);
        QVERIFY(view.polling);
        QVERIFY(run.inThread([&] { return run.adapter->isLinked(); }));
    }

    void storeFailure()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule rule;
        rule.kind = tbsim::FaultKind::ErrorReport;
        rule.code = 0x46;
        rule.count = 1;
        sim.addFault(rule);

        emit run.adapter->sigSaveAdapterConfig();
        QVERIFY(run.waitForError(MSG_OPERATION_FAILED));
        const Recorder::Error failed = run.recorder.errors.first();
        // Said in the store's own words, with what went wrong.
        QCOMPARE(failed.err, int(AdapterOperation::Store));
        QCOMPARE(failed.status, COMM_REPLY_ERROR);
        QVERIFY(run.recorder.errorsOf(MSG_CONFIG_STORED).isEmpty());
        QVERIFY(!forceView(run).busy);

        // The adapter refused and did not restart: polling goes on at once
        // rather than leaving the bus unwatched.
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"36/1"}));
        QVERIFY(run.recorder.storeReadBacks.isEmpty());
        const ForceView view = forceView(run);
        QVERIFY(view.polling);
        QVERIFY(!view.busy);
        QVERIFY(run.inThread([&] { return run.adapter->isLinked(); }));
    }

    // --- Lamp ---------------------------------------------------------------

    void lampWithoutLink()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        sim.unplug();
        QVERIFY(run.waitForError(MSG_USB_STATE));
        run.settle();
        run.recorder.clear();
        QObject context;
        int stops = 0;
        QObject::connect(run.adapter, &Adapter::sigStopLighting, &context, [&] { ++stops; }, Qt::QueuedConnection);

        queueOnSlave(run, kDI32, [](Slave *slave) { emit slave->sigLigthing(slave->uuid); });
        run.settle();
        QCOMPARE(stops, 1);
        QCOMPARE(run.recorder.errorCodes(), QStringList{"27/-2"});
        QCOMPARE(run.recorder.lamps, QStringList());
    }

    void lampRefusedInForceMode()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        run.recorder.clear();
        sim.clearTraffic();

        queueOnSlave(run, kDI32, [](Slave *slave) { emit slave->sigLigthing(slave->uuid); });
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"18/4"});
        QCOMPARE(sim.requestCount(0x27), 0);
        QCOMPARE(run.recorder.lamps, QStringList());
        QVERIFY(!sim.module(kDI32.toStdString())->lamp);
        const int cycles = processDataCount(sim);
        QTRY_VERIFY_WITH_TIMEOUT(processDataCount(sim) > cycles, 5000);
        QVERIFY(!forceView(run).polling);
    }

    void lamp_data()
    {
        QTest::addColumn<bool>("switchOff"); // all lamps off afterwards
        QTest::newRow("light one module") << false;
        QTest::newRow("switch every lamp off") << true;
    }

    void lamp()
    {
        QFETCH(bool, switchOff);
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();

        queueOnSlave(run, kDI32, [](Slave *slave) { emit slave->sigLigthing(slave->uuid); });
        QTRY_VERIFY_WITH_TIMEOUT(sim.module(kDI32.toStdString())->lamp, 5000);
        QByteArray data = kDI32;
        if (switchOff) {
            data = QByteArray(kImageBytes, '\0');
            queueOnSlave(run, kDI32, [data](Slave *slave) { emit slave->sigLigthing(data); });
            QTRY_VERIFY_WITH_TIMEOUT(!sim.module(kDI32.toStdString())->lamp, 5000);
        }
        run.settle();

        const std::vector<tbsim::TrafficEntry> lamps = sim.traffic(0x27, 0x10, 0x00);
        QVERIFY(!lamps.empty());
        QCOMPARE(bytesOf(lamps.back().data), padded(data));
        QCOMPARE(run.recorder.lamps.last(), QString::fromLatin1(data.toHex().toUpper()));
        for (const tbsim::Module &m : sim.modules())
            QCOMPARE(m.lamp, !switchOff && m.uid == kDI32.toStdString());
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        const ForceView view = forceView(run);
        QVERIFY(view.polling);
        QVERIFY(!view.busy);
    }

    // --- Power ----------------------------------------------------------------

    void powerRefresh()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        sim.setPower(31, 52);

        QMetaObject::invokeMethod(run.adapter, "onUpdatePower", Qt::QueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(!run.recorder.loadsOf(MSG_STATUS).isEmpty()
                                     && run.recorder.loadsOf(MSG_STATUS).last().status.power == 31,
                                 5000);
        QCOMPARE(run.recorder.loadsOf(MSG_STATUS).last().status.temperature, 52);
        QCOMPARE(sim.requestCount(0x21), 1);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        run.settle();
        const ForceView view = forceView(run);
        QVERIFY(view.polling);
        QVERIFY(!view.busy);
    }

    void powerIgnoredInForceMode()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        tbsim::VirtualAdapter sim = simAdapter();
        QVERIFY(enterForceMode(run));
        sim.setPower(31, 52);
        QMetaObject::invokeMethod(run.adapter, "onUpdatePower", Qt::QueuedConnection);
        run.settle();
        QTest::qWait(3 * tarnbus::linkTiming().processDataPeriodMs);
        QCOMPARE(sim.requestCount(0x21), 0);
        for (const Recorder::Load &l : run.recorder.loads)
            QCOMPARE(l.status.power, 24);
        QCOMPARE(run.recorder.errorCodes(), QStringList());
        QVERIFY(!forceView(run).polling);
    }

    void powerWithoutLink()
    {
        AdapterRun run;
        QVERIFY(connectDemo(run));
        simAdapter().unplug();
        QVERIFY(run.waitForError(MSG_USB_STATE));
        run.settle();
        run.recorder.clear();
        QMetaObject::invokeMethod(run.adapter, "onUpdatePower", Qt::QueuedConnection);
        run.settle();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"27/-2"});
        QVERIFY(run.recorder.loadsOf(MSG_STATUS).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAdapterForce)
#include "tst_adapter_force.moc"
