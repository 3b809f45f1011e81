// Every named fault as the tool's link sees it, the rules that pick the
// exchanges to fault, and the direct controls: unplug, replug, restart,
// modules joining and leaving the bus.

#include "SimTestSupport.h"

#include <hidapi.h>

#include <thread>

using namespace simtest;
using tbsim::FaultKind;
using tbsim::FaultRule;

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {
FaultRule rule(FaultKind kind, int code = -1, int param1 = -1, int param2 = -1)
{
    FaultRule r;
    r.kind = kind;
    r.code = code;
    r.param1 = param1;
    r.param2 = param2;
    return r;
}

hid_device *openRaw()
{
    const std::wstring serial = QString::fromLatin1(kSerial).toStdWString();
    return hid_open(tbsim::kVendorId, tbsim::kProductId, serial.c_str());
}

// A handshake as two raw output reports.
int writeHandshake(hid_device *dev)
{
    const QByteArray frame = TBProtocol::handshake();
    QByteArray first = hex("00ec3e") + frame.left(62);
    QByteArray second = (hex("00ee0a") + frame.mid(62)).leftJustified(65, '\0');
    const int written = hid_write(dev, reinterpret_cast<const unsigned char *>(first.constData()), 65);
    return written < 0 ? written : hid_write(dev, reinterpret_cast<const unsigned char *>(second.constData()), 65);
}
} // namespace

class SimFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init() { loadTestBus(); }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void faultKind_data();
    void faultKind();
    void skipThenCount();
    void filterByParameters();
    void faultsFromTheBusFile();
    void unplugMidwayComesBackAndTheLinkRecovers();
    void unpluggedHandlesStayDead();
    void blockedReadEndsWhenUnplugged();
    void babbleGoesOnUntilCleared();
    void modulesJoinAndLeaveTheBus();
};

void SimFaultsTest::faultKind_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<FaultKind>("kind");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("replyCode");   // offset 3 of the accepted reply; -1 when none
    QTest::addColumn<bool>("carriedOut"); // force mode entered

    const QByteArray force = TBProtocol::enterForceMode();
    QTest::newRow("not ready") << TBProtocol::handshake() << FaultKind::NotReady << 0 << int(COMM_OK) << 0x08 << false;
    QTest::newRow("no reply") << force << FaultKind::NoReply << 0 << int(COMM_TIMEOUT) << -1 << true;
    QTest::newRow("error report") << force << FaultKind::ErrorReport << 0 << int(COMM_REPLY_ERROR) << -1 << false;
    QTest::newRow("bad checksum") << force << FaultKind::BadChecksum << 0 << int(COMM_CRC_ERROR) << -1 << true;
    QTest::newRow("wrong command") << force << FaultKind::WrongCommand << 0 << int(COMM_CHECK_ERROR) << -1 << true;
    QTest::newRow("slow reply in time") << force << FaultKind::SlowReply << 30 << int(COMM_OK) << 0x48 << true;
    QTest::newRow("slow reply too late") << force << FaultKind::SlowReply << 1000 << int(COMM_TIMEOUT) << -1 << true;
    QTest::newRow("truncated reply") << force << FaultKind::TruncatedReply << 0 << int(COMM_TIMEOUT) << -1 << true;
    QTest::newRow("unplug midway") << force << FaultKind::UnplugMidway << 0 << int(COMM_NOT_CONNECTED) << -1 << false;
    // 0x48 with its refusal bit: the link says so, the adapter did nothing.
    QTest::newRow("refuse") << force << FaultKind::Refuse << 0 << int(COMM_REFUSED) << 0xC8 << false;
    QTest::newRow("babble") << force << FaultKind::Babble << 0 << int(COMM_OK) << 0x48 << true;
}

void SimFaultsTest::faultKind()
{
    QFETCH(QByteArray, request);
    QFETCH(FaultKind, kind);
    QFETCH(int, delayMs);
    QFETCH(int, status);
    QFETCH(int, replyCode);
    QFETCH(bool, carriedOut);

    FaultRule fault = rule(kind);
    fault.delayMs = delayMs;
    adapter().addFault(fault);
    Link link;
    QByteArray reply;
    QCOMPARE(int(link.send(request, &reply)), status);
    if (replyCode >= 0)
        QCOMPARE(int(quint8(reply[3])), replyCode);
    QCOMPARE(adapter().forceMode(), carriedOut);
    QCOMPARE(adapter().isPlugged(), kind != FaultKind::UnplugMidway);

    const tbsim::TrafficEntry logged = adapter().traffic().back();
    QCOMPARE(logged.outcome, tbsim::TrafficEntry::Faulted);
    QCOMPARE(logged.fault, kind);
}

void SimFaultsTest::skipThenCount()
{
    FaultRule fault = rule(FaultKind::NoReply, 0x48, 0x00, 0xEC);
    fault.skip = 2;
    fault.count = 1;
    adapter().addFault(fault);
    Link link;
    QList<int> results;
    for (int i = 0; i < 4; ++i)
        results << link.send(TBProtocol::handshake());
    QCOMPARE(results, QList<int>({COMM_OK, COMM_OK, COMM_TIMEOUT, COMM_OK}));
    QCOMPARE(adapter().requestCount(0x48, 0x00, 0xEC), 4);
    QCOMPARE(adapter().requestCount(0x48, 0x05), 0);
}

void SimFaultsTest::filterByParameters()
{
    adapter().addFault(rule(FaultKind::ErrorReport, 0x25, -1, 0x02));
    Link link;
    QCOMPARE(link.send(TBProtocol::readBusStatus()), COMM_OK);
    QCOMPARE(link.send(TBProtocol::readSlaveInfo(1)), COMM_REPLY_ERROR);
    QCOMPARE(link.send(TBProtocol::readSlaveInfo(2)), COMM_REPLY_ERROR);
    adapter().clearFaults();
    QCOMPARE(link.send(TBProtocol::readSlaveInfo(2)), COMM_OK);
}

void SimFaultsTest::faultsFromTheBusFile()
{
    const std::string error = tbsim::bus().loadJson(R"({ "adapters": [ { "serial": "SIMTEST00001", "scanReads": 0,
        "faults": [ { "kind": "badChecksum", "command": "0x21", "after": 1 } ] } ] })");
    QVERIFY2(error.empty(), error.c_str());
    Link link;
    QCOMPARE(link.send(TBProtocol::readPower()), COMM_OK);
    QCOMPARE(link.send(TBProtocol::readPower()), COMM_CRC_ERROR);
    QCOMPARE(link.send(TBProtocol::readPower()), COMM_CRC_ERROR);
    QCOMPARE(link.send(TBProtocol::readIdentity()), COMM_OK);
}

void SimFaultsTest::unplugMidwayComesBackAndTheLinkRecovers()
{
    FaultRule fault = rule(FaultKind::UnplugMidway, 0x21);
    fault.replugMs = 30;
    fault.count = 1;
    adapter().addFault(fault);
    Link link;
    QSignalSpy states(&link.device(), &UsbDevice::sigStateChanged);
    QCOMPARE(link.send(TBProtocol::readPower()), COMM_NOT_CONNECTED);
    QVERIFY(!UsbGlobal::isDevicePresent(kSerial));

    // The device watches for the adapter and reopens it by itself.
    QTRY_COMPARE(states.count(), 2);
    QCOMPARE(states.at(0), QVariantList({3, 1}));
    QCOMPARE(states.at(1), QVariantList({3, 0}));
    QCOMPARE(link.send(TBProtocol::readPower()), COMM_OK);
}

void SimFaultsTest::unpluggedHandlesStayDead()
{
    hid_device *old = openRaw();
    QVERIFY(old);
    unsigned char buffer[64];

    adapter().unplug();
    QCOMPARE(writeHandshake(old), -1);
    QCOMPARE(hid_read_timeout(old, buffer, sizeof buffer, 0), -1);
    QVERIFY(!openRaw());
    QVERIFY(UsbGlobal::enumerateDevices().isEmpty());

    adapter().replug();
    QCOMPARE(writeHandshake(old), -1); // a replugged adapter is a new device
    hid_device *fresh = openRaw();
    QVERIFY(fresh);
    QCOMPARE(writeHandshake(fresh), 65);
    QCOMPARE(hid_read_timeout(fresh, buffer, sizeof buffer, 100), 64);

    adapter().unplugFor(20);
    QCOMPARE(hid_read_timeout(fresh, buffer, sizeof buffer, 0), -1);
    QTRY_VERIFY(UsbGlobal::isDevicePresent(kSerial));
    hid_close(old);
    hid_close(fresh);
}

void SimFaultsTest::blockedReadEndsWhenUnplugged()
{
    hid_device *dev = openRaw();
    QVERIFY(dev);
    int result = 0;
    std::thread reader([dev, &result] {
        unsigned char buffer[64];
        result = hid_read_timeout(dev, buffer, sizeof buffer, -1);
    });
    adapter().unplug();
    reader.join();
    QCOMPARE(result, -1);
    hid_close(dev);
}

void SimFaultsTest::babbleGoesOnUntilCleared()
{
    adapter().addFault(rule(FaultKind::Babble, 0x48, 0x00, 0xEC));
    hid_device *dev = openRaw();
    QVERIFY(dev);
    QCOMPARE(writeHandshake(dev), 65);
    unsigned char reply[64];
    QCOMPARE(hid_read_timeout(dev, reply, sizeof reply, 100), 64);
    QCOMPARE(int(reply[0]), 0xEC);
    QCOMPARE(hid_read_timeout(dev, reply, sizeof reply, 100), 64);
    QCOMPARE(int(reply[0]), 0xEE);

    // Far more reports than hidraw could have queued: the adapter is still sending.
    for (int i = 0; i < 1000; ++i) {
        unsigned char report[64] = {};
        QCOMPARE(hid_read_timeout(dev, report, sizeof report, 0), 64);
        QCOMPARE(int(report[0]), 0xEC);
    }
    adapter().clearFaults();
    QCOMPARE(hid_read_timeout(dev, reply, sizeof reply, 0), 0);
    hid_close(dev);
}

void SimFaultsTest::modulesJoinAndLeaveTheBus()
{
    Link link;
    QByteArray reply;
    QCOMPARE(adapter().addModule(tbsim::catalogueModule(0x1101, "JOINED000009", 9)), std::string());
    QCOMPARE(link.send(TBProtocol::readBusStatus(), &reply), COMM_OK);
    QCOMPARE(int(reply[6]), 7);
    QCOMPARE(int(reply[8]), 0x01); // station 9

    QVERIFY(adapter().removeModule("DO8000000002"));
    QCOMPARE(link.send(TBProtocol::readBusStatus(), &reply), COMM_OK);
    QCOMPARE(int(reply[6]), 6);
    QCOMPARE(quint8(reply[7]), quint8(0xAD)); // station 2 gone
    QCOMPARE(link.send(TBProtocol::readSlaveInfo(2), &reply), COMM_OK);
    QCOMPARE(reply.mid(6, 64), QByteArray(64, '\0'));

    // A module that clashes with the bus is not plugged in.
    QVERIFY(!adapter().addModule(tbsim::catalogueModule(0x1101, "JOINED000009", 10)).empty());
}

QTEST_GUILESS_MAIN(SimFaultsTest)
#include "tst_sim_faults.moc"
