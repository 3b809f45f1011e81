// The LD_PRELOAD way in: this program links the system hidapi, as the tool
// does, and runs with the simulator preloaded and the demonstration bus
// named in TARNBUS_SIM_BUS.

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"

#include <QtTest>

class SimPreloadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::LinkTiming timing;
        timing.beforeRequestMs = timing.betweenRequestReportsMs = 0;
        timing.beforeReplyMs = timing.betweenReplyReportsMs = 0;
        timing.replyTimeoutMs = 1000;
        tarnbus::setLinkTiming(timing);
    }

    void theBusFileIsPluggedIn()
    {
        const QList<UsbDeviceInfo> devices = UsbGlobal::enumerateDevices();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices.front().serial_number, QString("3C2E0A000001"));
        QCOMPARE(devices.front().manufacturer, QString("Tarn Automation"));
    }

    void theToolTalksToIt()
    {
        UsbDevice device;
        QCOMPARE(device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, "3C2E0A000001"), 0);
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::handshake(), reply, 1000), COMM_OK);
        QVERIFY(TBReply::isHandshakeReady(reply));
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, 1000), COMM_OK);
        QCOMPARE(TBReply::decodeIdentity(reply).name, QString("TBC-U100"));
    }
};

QTEST_GUILESS_MAIN(SimPreloadTest)
#include "tst_sim_preload.moc"
