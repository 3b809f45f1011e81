// Every command of the adapter, answered as the tool expects: reply
// layouts, refusals, the bus scan, the pending identity queue, restarts,
// lamps, force mode with wired modules, inputs that follow the exchanges,
// and the traffic log and its counts.

#include "SimTestSupport.h"

using namespace simtest;

class SimCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init() { loadTestBus(); }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void replyLayout_data();
    void replyLayout();
    void errorReport_data();
    void errorReport();
    void scanProgressRisesThenTheMapIsReported();
    void pendingIdentityQueue();
    void settingsTakeEffectOnlyAfterApplyAndRestart();
    void settingsWriteWithoutMarkerKeepsThreshold();
    void storingTheConfigurationRestartsTheAdapter();
    void lamp();
    void forceModeDrivesWiredModules();
    void inputsFollowingTheExchanges_data();
    void inputsFollowingTheExchanges();
    void trafficLogKeepsTheLatestCountsKeepAll();
};

void SimCommandsTest::replyLayout_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray zeros64(64, '\0');
    QTest::newRow("identity name") << TBProtocol::readIdentity() << 6 << QByteArray("TBC-U100\0\0", 10);
    QTest::newRow("identity hardware") << TBProtocol::readIdentity() << 54 << hex("0102");
    QTest::newRow("identity boot") << TBProtocol::readIdentity() << 57 << hex("010003");
    QTest::newRow("identity app") << TBProtocol::readIdentity() << 61 << hex("020107");
    QTest::newRow("power") << TBProtocol::readPower() << 4 << hex("1824");
    QTest::newRow("settings byte") << TBProtocol::readSettings() << 3 << hex("2201");
    QTest::newRow("settings threshold") << TBProtocol::readSettings() << 6 << hex("e803");
    QTest::newRow("handshake") << TBProtocol::handshake() << 3 << hex("48");
    QTest::newRow("enter force mode") << TBProtocol::enterForceMode() << 3 << hex("480500");
    QTest::newRow("leave force mode") << TBProtocol::leaveForceMode() << 3 << hex("23");
    // Stations 1, 2, 3, 4, 6, 8; the local module; flag byte 0.
    QTest::newRow("bus status") << TBProtocol::readBusStatus() << 1 << hex("01fe25000006af0000000000000000000000000000000100");
    QTest::newRow("slave info header") << TBProtocol::readSlaveInfo(1) << 3 << hex("250102");
    // State with valid bit, station, 8 inputs at bit 8, no outputs, fault, type, hardware.
    QTest::newRow("slave info areas") << TBProtocol::readSlaveInfo(1) << 6 << hex("0101080400000000" "01110a01");
    QTest::newRow("slave info params") << TBProtocol::readSlaveInfo(1) << 22 << hex("300a000000000000000000cd");
    QTest::newRow("slave info uid and name") << TBProtocol::readSlaveInfo(1) << 38 << QByteArray("DI8000000001TB-DI8-N\0", 21);
    QTest::newRow("slave info outputs") << TBProtocol::readSlaveInfo(2) << 8 << hex("00000804");
    QTest::newRow("odd start addresses") << TBProtocol::readSlaveInfo(8) << 8 << hex("81648164");
    QTest::newRow("analog outputs") << TBProtocol::readSlaveInfo(3) << 8 << hex("0000040800000122");
    QTest::newRow("local module at station 0") << TBProtocol::readSlaveInfo(0) << 4 << hex("00020100080008000000011300");
    QTest::newRow("shared station: first module") << TBProtocol::readSlaveInfo(6) << 38 << QByteArray("SHARED000006");
    QTest::newRow("unknown type") << TBProtocol::readSlaveInfo(8) << 14 << hex("577e");
    QTest::newRow("empty station") << TBProtocol::readSlaveInfo(50) << 4 << hex("3202") + zeros64;
    QTest::newRow("no pending report") << TBProtocol::readPendingIdentity() << 4 << hex("0000") + zeros64;
    QTest::newRow("request reports") << TBProtocol::requestPendingIdentity() << 3 << hex("47aa55");
    QTest::newRow("process data") << TBProtocol::exchangeProcessData(QByteArray(64, '\0')) << 3 << hex("49");
}

void SimCommandsTest::replyLayout()
{
    QFETCH(QByteArray, request);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);

    Link link;
    QByteArray reply;
    QCOMPARE(link.send(request, &reply), COMM_OK);
    QCOMPARE(reply.size(), 72);
    QCOMPARE(reply.left(2), hex("0101"));
    QCOMPARE(reply.mid(offset, expected.size()).toHex(), expected.toHex());
    QVERIFY(TBProtocol::hasValidChecksum(reply));
}

void SimCommandsTest::errorReport_data()
{
    QTest::addColumn<QByteArray>("request");

    QTest::newRow("unknown command") << frame(0x30, 0, 0);
    QTest::newRow("identity with a parameter") << frame(0x20, 1, 0);
    QTest::newRow("status with unknown selector") << frame(0x25, 0, 0x33);
    QTest::newRow("report with unknown selector") << frame(0x27, 0x07, 0);
    QTest::newRow("threshold below range") << TBProtocol::writeSettings(1, 200, true);
    QTest::newRow("threshold above range") << TBProtocol::writeSettings(1, 3000, true);
}

void SimCommandsTest::errorReport()
{
    QFETCH(QByteArray, request);

    Link link;
    QByteArray reply;
    QCOMPARE(link.send(request, &reply), COMM_REPLY_ERROR);
    QVERIFY(reply.isEmpty());
    const auto log = adapter().traffic();
    QCOMPARE(log.size(), size_t(1));
    QCOMPARE(log.front().outcome, tbsim::TrafficEntry::ErrorReport);
    QVERIFY(!log.front().note.empty());
    QCOMPARE(adapter().threshold(), quint16(1000));
}

void SimCommandsTest::scanProgressRisesThenTheMapIsReported()
{
    adapter().setScanReads(3);
    adapter().restart(); // powers up with a new scan
    QTRY_VERIFY(UsbGlobal::isDevicePresent(kSerial));

    Link link;
    int lastProgress = -1;
    for (int read = 0; read < 3; ++read) {
        QByteArray reply;
        QCOMPARE(link.send(TBProtocol::readBusStatus(), &reply), COMM_OK);
        const int progress = quint8(reply[4]) | ((quint8(reply[5]) & 0x0F) << 8);
        QVERIFY2(quint8(reply[1]) & 0x20, "a scan is running");
        QVERIFY(progress > lastProgress);
        QCOMPARE(reply.mid(6, 17), QByteArray(17, '\0'));
        lastProgress = progress;
    }
    QByteArray reply;
    QCOMPARE(link.send(TBProtocol::readBusStatus(), &reply), COMM_OK);
    QCOMPARE(quint8(reply[1]), quint8(0x01));
    QCOMPARE(int(reply[6]), 6);
}

void SimCommandsTest::pendingIdentityQueue()
{
    Link link;
    const auto pop = [&link](QByteArray *reply) { QCOMPARE(link.send(TBProtocol::readPendingIdentity(), reply), COMM_OK); };
    QByteArray reply;

    QCOMPARE(link.send(TBProtocol::requestPendingIdentity()), COMM_OK);
    pop(&reply);
    QCOMPARE(reply.mid(38, 12), QByteArray("NOSTATION005"));
    QCOMPARE(int(reply[4]), 0);
    QCOMPARE(quint8(reply[6]) & 0x11, 0x11); // valid and reported
    pop(&reply);
    QCOMPARE(reply.mid(38, 12), QByteArray("SHARED000007"));
    QCOMPARE(int(reply[4]), 6);
    QCOMPARE(int(reply[7]), 6);
    pop(&reply);
    QCOMPARE(reply.mid(38, 12), QByteArray(12, '\0'));

    // A module that joins is reported with the next request, once.
    QCOMPARE(adapter().addModule(tbsim::catalogueModule(0x1101, "JOINED000009", 9)), std::string());
    QCOMPARE(link.send(TBProtocol::requestPendingIdentity()), COMM_OK);
    QStringList reported;
    for (pop(&reply); reply.mid(38, 12) != QByteArray(12, '\0'); pop(&reply))
        reported << QString::fromLatin1(reply.mid(38, 12));
    QCOMPARE(reported, QStringList({"NOSTATION005", "SHARED000007", "JOINED000009"}));
    QCOMPARE(link.send(TBProtocol::requestPendingIdentity()), COMM_OK);
    pop(&reply);
    pop(&reply);
    pop(&reply);
    QCOMPARE(reply.mid(38, 12), QByteArray(12, '\0'));
}

void SimCommandsTest::settingsTakeEffectOnlyAfterApplyAndRestart()
{
    {
        Link link;
        QCOMPARE(link.send(TBProtocol::writeSettings(0x0B, 1500, true)), COMM_OK);
        QByteArray reply;
        QCOMPARE(link.send(TBProtocol::readSettings(), &reply), COMM_OK);
        QCOMPARE(reply.mid(4, 4), hex("0100e803"));

        QCOMPARE(link.send(TBProtocol::applySettings()), COMM_OK);
        QVERIFY(!UsbGlobal::isDevicePresent(kSerial));
        QCOMPARE(link.send(TBProtocol::handshake()), COMM_NOT_CONNECTED); // the old handle died with the restart
    }
    QTRY_VERIFY(UsbGlobal::isDevicePresent(kSerial));
    Link link;
    QByteArray reply;
    QCOMPARE(link.send(TBProtocol::readSettings(), &reply), COMM_OK);
    QCOMPARE(reply.mid(4, 4), hex("0b00dc05"));
}

void SimCommandsTest::settingsWriteWithoutMarkerKeepsThreshold()
{
    Link link;
    QCOMPARE(link.send(TBProtocol::writeSettings(0x03, 2500, false)), COMM_OK);
    QCOMPARE(link.send(TBProtocol::applySettings()), COMM_OK);
    QTRY_VERIFY(adapter().isPlugged());
    QCOMPARE(adapter().settings(), quint8(0x03));
    QCOMPARE(adapter().threshold(), quint16(1000));
}

void SimCommandsTest::storingTheConfigurationRestartsTheAdapter()
{
    Link link;
    QCOMPARE(link.send(TBProtocol::enterForceMode()), COMM_OK);
    QCOMPARE(link.send(TBProtocol::storeConfiguration()), COMM_OK);
    QVERIFY(!adapter().isPlugged());
    QVERIFY(UsbGlobal::enumerateDevices().isEmpty());

    QTRY_VERIFY(UsbGlobal::isDevicePresent(kSerial));
    QVERIFY(!adapter().forceMode());
    Link again;
    QCOMPARE(again.send(TBProtocol::handshake()), COMM_OK);
}

void SimCommandsTest::lamp()
{
    Link link;
    QCOMPARE(link.send(TBProtocol::setSlaveLamp(QByteArray("DO8000000002") + hex("01"))), COMM_OK);
    QVERIFY(adapter().module("DO8000000002")->lamp);
    QVERIFY(!adapter().module("DI8000000001")->lamp);
    QCOMPARE(toQ(adapter().lampData()).left(13), QByteArray("DO8000000002") + hex("01"));

    QCOMPARE(link.send(TBProtocol::setSlaveLamp(QByteArray(64, '\0'))), COMM_OK);
    QVERIFY(!adapter().module("DO8000000002")->lamp);
}

void SimCommandsTest::forceModeDrivesWiredModules()
{
    QByteArray image(64, '\0');
    image[1] = char(0xA5);          // DO8 at output bit 8
    image.replace(2, 2, hex("3412")); // AO4 channel 0 at output bit 16
    Link link;
    QByteArray reply;

    // Outside force mode the image reaches no output.
    QCOMPARE(link.send(TBProtocol::exchangeProcessData(image), &reply), COMM_OK);
    QCOMPARE(toQ(adapter().module("DO8000000002")->outputs), hex("00"));

    QCOMPARE(link.send(TBProtocol::enterForceMode()), COMM_OK);
    QList<int> stations;
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(link.send(TBProtocol::exchangeProcessData(image), &reply), COMM_OK);
        stations << int(reply[2]);
    }
    QCOMPARE(stations, QList<int>({1, 2, 3, 4, 6, 8, 0, 1})); // one module per exchange, in turn
    QCOMPARE(toQ(adapter().module("DO8000000002")->outputs), hex("a5"));
    QCOMPARE(reply.mid(6 + 1, 1).toHex(), QByteArray("a5"));   // the DI8 at input bit 8
    QCOMPARE(reply.mid(6 + 2, 2).toHex(), QByteArray("3412")); // the AI4 at input bit 16
    QCOMPARE(reply.mid(4, 2), hex("0100"));                    // state and fault of station 1

    QCOMPARE(link.send(TBProtocol::leaveForceMode()), COMM_OK);
    QVERIFY(!adapter().forceMode());
    QCOMPARE(toQ(adapter().module("DO8000000002")->outputs), hex("00"));
    QCOMPARE(link.send(TBProtocol::exchangeProcessData(image), &reply), COMM_OK);
    QCOMPARE(reply.mid(6 + 1, 1).toHex(), QByteArray("00"));
}

void SimCommandsTest::inputsFollowingTheExchanges_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("inputs"); // the DI8's input byte after each exchange, in hex

    // The count starts again with each power-up: the fourth exchange comes
    // after an unplug and replug.
    QTest::newRow("toggle") << "toggle" << QByteArray("ff00ffff");
    QTest::newRow("count") << "count" << QByteArray("01020301");
}

void SimCommandsTest::inputsFollowingTheExchanges()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, inputs);

    tbsim::InputSource counter;
    counter.kind = source == QLatin1String("toggle") ? tbsim::InputSource::Toggle : tbsim::InputSource::Count;
    QVERIFY(adapter().setInputs("DI8000000001", counter));
    QByteArray seen;
    QByteArray reply;
    {
        Link link;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(link.send(TBProtocol::exchangeProcessData(QByteArray(64, '\0')), &reply), COMM_OK);
            seen += reply.mid(6 + 1, 1); // the DI8 at input bit 8
        }
    }
    adapter().unplug();
    adapter().replug();
    Link link;
    QCOMPARE(link.send(TBProtocol::exchangeProcessData(QByteArray(64, '\0')), &reply), COMM_OK);
    seen += reply.mid(6 + 1, 1);
    QCOMPARE(seen.toHex(), inputs);
}

void SimCommandsTest::trafficLogKeepsTheLatestCountsKeepAll()
{
    Link link;
    tbsim::bus().setTrafficLogLimit(3);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(link.send(TBProtocol::exchangeProcessData(QByteArray(64, char(i)))), COMM_OK);
    QCOMPARE(link.send(TBProtocol::handshake()), COMM_OK);
    const std::vector<tbsim::TrafficEntry> log = adapter().traffic();
    QCOMPARE(log.size(), size_t(3));
    QCOMPARE(int(log.at(0).data.at(0)), 3);
    QCOMPARE(int(log.at(1).data.at(0)), 4);
    QCOMPARE(int(log.at(2).code), 0x48);
    QCOMPARE(adapter().requestCount(0x49, 0xFE), 5);
    QList<QList<int>> counts;
    for (const tbsim::RequestCount &c : adapter().requestCounts())
        counts << QList<int>{c.code, c.param1, c.param2, c.count};
    QCOMPARE(counts, (QList<QList<int>>{{0x48, 0x00, 0xEC, 1}, {0x49, 0xFE, 0x00, 5}}));

    // A shorter log drops what it no longer keeps at once; a reset of the
    // bus brings back the full length.
    tbsim::bus().setTrafficLogLimit(1);
    QCOMPARE(adapter().traffic().size(), size_t(1));
    tbsim::bus().reset();
    QCOMPARE(tbsim::bus().trafficLogLimit(), size_t(100000));
}

QTEST_GUILESS_MAIN(SimCommandsTest)
#include "tst_sim_commands.moc"
