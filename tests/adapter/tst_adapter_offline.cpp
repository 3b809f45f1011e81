// Downloading an offline configuration to a real adapter: which module each
// record is matched to, what is written to it, and that every record ends
// in exactly one of the two lists of the summary whatever happens.

#include "AdapterHarness.h"

using namespace harness;

namespace {

const QString kSerial = kDemoSerial;

QString busOf(const std::vector<tbsim::Module> &modules)
{
    tbsim::AdapterConfig config;
    config.serial = kSerial.toStdString();
    config.scanReads = 0;
    config.restartMs = 50;
    config.modules = modules;
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().addAdapter(config));
}

tbsim::Module module(int typeCode, const char *uid, int station)
{
    return tbsim::catalogueModule(quint16(typeCode), uid, station);
}

QString uidHex(const char *uid)
{
    return QString::fromLatin1(QByteArray(uid).toHex().toUpper());
}

// One data line of a configuration file, as the manager hands it over;
// uid empty: the form without the UID column.
QString csvLine(const QString &type, int station, int inBegin, int inChannels, int outBegin, int outChannels, int filter,
                int enable, int substitute, const QString &deviceId, const QString &uid = QString())
{
    QStringList fields{uid.isEmpty() ? QLatin1Char('*') + type : type};
    for (int n : {station, 1, inBegin, inChannels, outBegin, outChannels, filter, enable, substitute})
        fields << QString::number(n);
    fields << deviceId;
    if (!uid.isEmpty())
        fields << uid;
    for (int i = 0; i < 12; ++i)
        fields << QStringLiteral("0");
    return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
}

Slave *importLine(AdapterRun &run, const QString &line)
{
    const bool withUid = !line.startsWith(QLatin1Char('*'));
    const CsvImportResult result = run.importCsvLine(line, withUid);
    if (!result.ok)
        return nullptr;
    return run.inThread([&] { return run.adapter->slaveList().last(); });
}

void download(AdapterRun &run)
{
    run.adapter->requestOfflineDownload(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
}

// Configuration writes the adapter received: 0x46 00 02 and 0x47 00 02.
std::vector<tbsim::TrafficEntry> writes(const tbsim::VirtualAdapter &sim)
{
    std::vector<tbsim::TrafficEntry> out;
    for (const tbsim::TrafficEntry &e : sim.traffic()) {
        if ((e.code == 0x46 || e.code == 0x47) && e.param1 == 0x00 && e.param2 == 0x02)
            out.push_back(e);
    }
    return out;
}

QByteArray bytesOf(const tbsim::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// The 64-byte configuration block: stations, address words, filter and
// enable bits, substitute value.
QByteArray block(int station, int inWord, int outWord, int byte6, int substitute)
{
    QByteArray b(64, '\0');
    b[0] = char(station);
    b[1] = char(station);
    b[2] = char(inWord & 0xFF);
    b[3] = char(inWord >> 8);
    b[4] = char(outWord & 0xFF);
    b[5] = char(outWord >> 8);
    b[6] = char(byte6);
    b[8] = char(substitute & 0xFF);
    b[9] = char(substitute >> 8);
    return b;
}

} // namespace

Q_DECLARE_METATYPE(tbsim::FaultKind)

class TestAdapterOffline : public QObject
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
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    void emptyConfigurationOpensNothing()
    {
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1)}), QString());
        const int opened = UsbGlobal::openedDeviceCount();
        AdapterRun run(true);
        download(run);
        QVERIFY(run.waitForError(MSG_EMPTY_CONFIG));
        run.settle();
        QCoreApplication::processEvents();
        QCOMPARE(run.recorder.errorCodes(), QStringList{"17/0"});
        QVERIFY(simAdapter().traffic().empty());
        QCOMPARE(UsbGlobal::openedDeviceCount(), opened);
    }

    // Every early end releases the device and tells the manager that the
    // download ended.
    void earlyEnd_data()
    {
        QTest::addColumn<tbsim::FaultKind>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param1");
        QTest::addColumn<int>("param2");
        QTest::addColumn<QStringList>("codes");
        using F = tbsim::FaultKind;
        QTest::newRow("handshake time-out") << F::NoReply << 0x48 << 0x00 << 0xEC << QStringList{"9/1", "16/4"};
        QTest::newRow("handshake error report") << F::ErrorReport << 0x48 << 0x00 << 0xEC << QStringList{"9/1", "16/4"};
        QTest::newRow("handshake unplug") << F::UnplugMidway << 0x48 << 0x00 << 0xEC << QStringList{"9/1", "16/4"};
        QTest::newRow("bus status time-out") << F::NoReply << 0x25 << 0x00 << 0x80 << QStringList{"29/0", "16/4"};
        QTest::newRow("bus status bad checksum") << F::BadChecksum << 0x25 << 0x00 << 0x80 << QStringList{"28/20", "16/4"};
        QTest::newRow("slave info time-out") << F::NoReply << 0x25 << -1 << 0x02 << QStringList{"29/0", "16/4"};
        QTest::newRow("slave info unplug") << F::UnplugMidway << 0x25 << -1 << 0x02 << QStringList{"29/0", "16/4"};
        QTest::newRow("pending report time-out") << F::NoReply << 0x27 << 0x06 << 0x00 << QStringList{"28/23", "16/4"};
        QTest::newRow("pending report bad checksum") << F::BadChecksum << 0x27 << 0x06 << 0x00 << QStringList{"28/20", "16/4"};
    }

    void earlyEnd()
    {
        QFETCH(tbsim::FaultKind, fault);
        QFETCH(int, code);
        QFETCH(int, param1);
        QFETCH(int, param2);
        QFETCH(QStringList, codes);
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1), module(0x1101, "OFF000000002", 2)}), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule rule;
        rule.kind = fault;
        rule.code = code;
        rule.param1 = param1;
        rule.param2 = param2;
        sim.addFault(rule);

        const int opened = UsbGlobal::openedDeviceCount();
        AdapterRun run(true);
        QVERIFY(run.createOffline(1, "#00001101"));
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG));
        run.settle();
        QCoreApplication::processEvents();
        QCOMPARE(run.recorder.errorCodes(), codes);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        QCOMPARE(UsbGlobal::openedDeviceCount(), opened);
        QVERIFY(writes(sim).empty());
        QVERIFY(!run.inThread([&] { return run.adapter->isBusy(); }));
        if (fault == tbsim::FaultKind::NoReply && code == 0x48)
            QCOMPARE(sim.requestCount(0x48), 1);
        sim.replug();
    }

    // Closing the configuration while the download waits for a silent
    // adapter: the wait ends at once, not when its time-out runs out, and
    // the device the download opened is released.
    void shutdownDuringTheDownload_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param1");
        QTest::addColumn<int>("param2");
        QTest::newRow("handshake") << 0x48 << 0x00 << 0xEC;
        QTest::newRow("slave info") << 0x25 << -1 << 0x02;
        QTest::newRow("configuration write") << 0x46 << 0x00 << 0x02;
    }
    void shutdownDuringTheDownload()
    {
        QFETCH(int, code);
        QFETCH(int, param1);
        QFETCH(int, param2);
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1)}), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule silent;
        silent.kind = tbsim::FaultKind::NoReply;
        silent.code = code;
        silent.param1 = param1;
        silent.param2 = param2;
        sim.addFault(silent);
        tarnbus::LinkTiming patient = fastTiming();
        patient.replyTimeoutMs = 60000;
        tarnbus::setLinkTiming(patient);

        const int opened = UsbGlobal::openedDeviceCount();
        AdapterRun run(true);
        QVERIFY(run.createOffline(1, "#00001101"));
        download(run);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(code, param1, param2) == 1, 10000);
        const bool ended = run.stop(15000);
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(ended);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        QCOMPARE(UsbGlobal::openedDeviceCount(), opened);
    }

    // The adapter chosen in the dialog has gone meanwhile.
    void absentAdapter()
    {
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1)}), QString());
        const int opened = UsbGlobal::openedDeviceCount();
        AdapterRun run(true);
        QVERIFY(run.createOffline(1, "#00001101"));
        run.adapter->requestOfflineDownload(UsbGlobal::kVendorId, UsbGlobal::kProductId, QStringLiteral("3C2E0A0000FF"));
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG));
        run.settle();
        QCoreApplication::processEvents();
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"9/1", "16/4"}));
        QCOMPARE(UsbGlobal::openedDeviceCount(), opened);
        QVERIFY(simAdapter().traffic().empty());
    }

    // A slave-info read that fails costs only its own station.
    void failedSlaveInfoSkipsTheStation()
    {
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1), module(0x1101, "OFF000000002", 2)}), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule rule;
        rule.kind = tbsim::FaultKind::BadChecksum;
        rule.code = 0x25;
        rule.param1 = 1;
        rule.param2 = 0x02;
        sim.addFault(rule);
        AdapterRun run(true);
        Slave *first = run.createOffline(1, "#00001101");
        Slave *second = run.createOffline(2, "#00001101");
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"28/20", "16/0", "16/2"}));
        const Recorder::Error summary = run.recorder.errors.last();
        QCOMPARE(recordIds(summary.s1), recordIds(QList<Slave *>{first}));
        QCOMPARE(recordIds(summary.s2), recordIds(QList<Slave *>{second}));
    }

    void stationsAreReadInMapOrder()
    {
        tbsim::Module local = module(0x1301, "OFFLOCAL0000", 0);
        local.local = true;
        QCOMPARE(busOf({module(0x1101, "OFF000000003", 3), local, module(0x1101, "OFF000000001", 1)}), QString());
        AdapterRun run(true);
        QVERIFY(run.createOffline(1, "#00001101"));
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QList<int> read;
        for (const tbsim::TrafficEntry &e : simAdapter().traffic(0x25, -1, 0x02))
            read << e.param1;
        QCOMPARE(read, (QList<int>{0, 1, 3}));
    }

    void matching_data()
    {
        QTest::addColumn<int>("moduleType");
        QTest::addColumn<QString>("moduleUid");
        QTest::addColumn<int>("moduleStation");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("configured");
        QTest::addColumn<int>("writeCode"); // 0: nothing written
        QTest::addColumn<QByteArray>("data"); // the write's data area; empty: not checked

        const QString dio8 = QStringLiteral("#00001301");
        QTest::newRow("uid on the bus, other type")
            << 0x1101 << "OFF000000001" << 1
            << csvLine("TB-DO8-T", 1, 0, 8, 0, 8, 0, 1, 0, "#00001201", uidHex("OFF000000001")) << false << 0 << QByteArray();
        QTest::newRow("uid not on the bus, same type at its station")
            << 0x1301 << "OFF000000002" << 2 << csvLine("TB-DIO8-C", 2, 3, 8, 5, 8, 5, 1, 0x1234, dio8) << true << 0x46
            << block(2, (3 << 7) | 8, (5 << 7) | 8, 0x51, 0x1234);
        QTest::newRow("uid on the bus, same type")
            << 0x1301 << "OFF000000004" << 7 << csvLine("TB-DIO8-C", 4, 2, 8, 6, 8, 3, 0, 7, dio8, uidHex("OFF000000004"))
            << true << 0x47 << QByteArray("OFF000000004") + block(4, (2 << 7) | 8, (6 << 7) | 8, 0x30, 7).left(52);
        QTest::newRow("uid not on the bus, other type at its station")
            << 0x1101 << "OFF000000002" << 2 << csvLine("TB-DIO8-C", 2, 0, 8, 0, 8, 0, 0, 0, dio8) << false << 0
            << QByteArray();
        QTest::newRow("uid not on the bus, nothing at its station")
            << 0x1301 << "OFF000000003" << 3 << csvLine("TB-DIO8-C", 2, 0, 8, 0, 8, 0, 0, 0, dio8) << false << 0
            << QByteArray();
        // More input channels than the module has: the adapter refuses.
        QTest::newRow("refused by the adapter")
            << 0x1301 << "OFF000000002" << 2 << csvLine("TB-DIO8-C", 2, 0, 100, 0, 8, 0, 0, 0, dio8) << false << 0x46
            << QByteArray();
    }

    void matching()
    {
        QFETCH(int, moduleType);
        QFETCH(QString, moduleUid);
        QFETCH(int, moduleStation);
        QFETCH(QString, line);
        QFETCH(bool, configured);
        QFETCH(int, writeCode);
        QFETCH(QByteArray, data);
        const QByteArray uid = moduleUid.toLatin1();
        QCOMPARE(busOf({module(moduleType, uid.constData(), moduleStation)}), QString());
        tbsim::VirtualAdapter sim = simAdapter();

        AdapterRun run(true);
        Slave *record = importLine(run, line);
        QVERIFY(record);
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"16/0", "16/2"}));
        const Recorder::Error summary = run.recorder.errors.last();
        const QList<quint64> only{record->recordId()};
        QCOMPARE(recordIds(summary.s2), configured ? only : QList<quint64>());
        QCOMPARE(recordIds(summary.s1), configured ? QList<quint64>() : only);

        const std::vector<tbsim::TrafficEntry> sent = writes(sim);
        QCOMPARE(int(sent.size()), writeCode ? 1 : 0);
        if (writeCode) {
            QCOMPARE(int(sent.front().code), writeCode);
            if (!data.isEmpty())
                QCOMPARE(bytesOf(sent.front().data).toHex(' '), data.toHex(' '));
        }
        if (configured) {
            // The module now answers at the record's station.
            const std::optional<tbsim::Module> m = sim.module(uid.toStdString());
            QVERIFY(m);
            QCOMPARE(m->station, int(quint8(data.at(writeCode == 0x47 ? 12 : 0))));
        }
    }

    void reportedModulesAreFound()
    {
        // Station 0 and not the local module: known only from the pending identity queue.
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1), module(0x1101, "OFF000000005", 0)}), QString());
        tbsim::VirtualAdapter sim = simAdapter();
        AdapterRun run(true);
        Slave *record = importLine(run, csvLine("TB-DI8-N", 5, 16, 8, 0, 0, 2, 0, 0, "#00001101", uidHex("OFF000000005")));
        QVERIFY(record);
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QCOMPARE(recordIds(run.recorder.errors.last().s2), recordIds(QList<Slave *>{record}));
        QCOMPARE(sim.requestCount(0x47, 0xAA, 0x55), 1);
        QVERIFY(sim.requestCount(0x27, 0x06, 0x00) >= 2);
        const std::vector<tbsim::TrafficEntry> sent = writes(sim);
        QCOMPARE(int(sent.size()), 1);
        QCOMPARE(int(sent.front().code), 0x47);
        QCOMPARE(bytesOf(sent.front().data).left(12), QByteArray("OFF000000005"));
        QCOMPARE(sim.module("OFF000000005")->station, 5);
        QCOMPARE(sim.module("OFF000000005")->inStart, 16);
    }

    // Several records: the summary keeps the configuration's order in both
    // lists, and the start is reported before anything is written.
    void summary()
    {
        QCOMPARE(busOf({module(0x1301, "OFF000000001", 1), module(0x1101, "OFF000000002", 2),
                        module(0x1201, "OFF000000003", 3)}),
                 QString());
        tbsim::VirtualAdapter sim = simAdapter();
        AdapterRun run(true);
        Slave *byStation = run.createOffline(1, "#00001301");
        Slave *otherType = importLine(run, csvLine("TB-DO8-T", 2, 0, 8, 8, 8, 0, 0, 0, "#00001201", uidHex("OFF000000002")));
        Slave *nowhere = run.createOffline(9, "#00001201");
        Slave *byUid = importLine(run, csvLine("TB-DO8-T", 3, 0, 0, 16, 8, 0, 1, 3, "#00001201", uidHex("OFF000000003")));
        QVERIFY(byStation && otherType && nowhere && byUid);

        int writesAtStart = -1;
        QObject::connect(
            run.adapter, &Adapter::sigErrMessage, &run.recorder,
            [&](adapter_message_type type, char err) {
                if (type == MSG_BATCH_CONFIG && err == 0)
                    writesAtStart = int(writes(sim).size());
            },
            Qt::DirectConnection);
        download(run);
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QCOMPARE(writesAtStart, 0);
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"16/0", "16/2"}));
        const Recorder::Error summary = run.recorder.errors.last();
        QCOMPARE(summary.sid, 0);
        QCOMPARE(summary.status, COMM_OK);
        QCOMPARE(recordIds(summary.s1), recordIds((QList<Slave *>{otherType, nowhere})));
        QCOMPARE(recordIds(summary.s2), recordIds((QList<Slave *>{byStation, byUid})));
        QCOMPARE(int(writes(sim).size()), 2);

        // The download writes the adapter, not the records.
        const QList<int> stations = run.inThread([&] {
            QList<int> out;
            for (const Slave *s : run.adapter->slaveList())
                out << s->stationId << s->newStationId;
            return out;
        });
        QCOMPARE(stations, (QList<int>{1, 1, 2, 2, 9, 9, 3, 3}));
    }

    void queuedCallWorks()
    {
        QCOMPARE(busOf({module(0x1101, "OFF000000001", 1)}), QString());
        AdapterRun run(true);
        Slave *record = run.createOffline(1, "#00001101");
        QVERIFY(record);
        QVERIFY(QMetaObject::invokeMethod(run.adapter, "onDownloadOfflineConfig", Qt::QueuedConnection,
                                          Q_ARG(int, UsbGlobal::kVendorId), Q_ARG(int, UsbGlobal::kProductId),
                                          Q_ARG(QString, kSerial)));
        QVERIFY(run.waitForError(MSG_BATCH_CONFIG, 2));
        QCOMPARE(run.recorder.errorCodes(), (QStringList{"16/0", "16/2"}));
        QCOMPARE(recordIds(run.recorder.errors.last().s2), recordIds(QList<Slave *>{record}));
        run.settle();
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAdapterOffline)
#include "tst_adapter_offline.moc"
