// The transfer of an upgrade file to a virtual adapter by UpdateManege in
// its own thread: the exact reports, block addresses, progress, every
// refusal and fault and the one report each ends in, the restart,
// cancellation, and several upgrades at once next to an open adapter; and
// reading a device's information before an upgrade.

#include "UpgradeTestSupport.h"

#include "DeviceSearch.h"

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UpgradeFaults.h"
#include "UsbDevice.h"

#include <QtTest>

using namespace upgradetest;
using tbsim::FaultKind;
using tbsim::FaultRule;
using testing_support::upgradeFault;

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

QList<QByteArray> blocksOf(const QByteArray &content)
{
    return UpgradeFile::cutBlocks(content);
}

QStringList repeated(const QString &code, int times)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list << code;
    return list;
}

// The commands of a complete block: announcement, 17 full pieces, the last one.
QStringList blockCommands()
{
    return QStringList{QStringLiteral("A2")} + repeated(QStringLiteral("A3/60"), 17) + QStringList{QStringLiteral("A3/4")};
}

} // namespace

class UpgradeTransferTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerUpgradeMetaTypes();
        tarnbus::LinkTiming link;
        link.beforeRequestMs = link.betweenRequestReportsMs = link.beforeReplyMs = link.betweenReplyReportsMs = 0;
        tarnbus::setLinkTiming(link);
    }
    void init()
    {
        useShortUpgradeTiming();
        const QString error = loadAdapters({QJsonObject{{"bootLoader", QJsonObject{{"type", "TBC-U100"}}}},
                                            QJsonObject{{"bootLoader", QJsonObject{{"startAddress", "0xFFFFF800"}}}}});
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    void oneBlockFile();
    void blockAddressesWrap();
    void progressValues();
    void failures_data();
    void failures();
    void restartWithOrWithoutAnswer_data();
    void restartWithOrWithoutAnswer();
    void versionAfterTheRestart_data();
    void versionAfterTheRestart();
    void staleRepliesAreNotTakenForAnswers();
    void cannotOpen_data();
    void cannotOpen();
    void nothingToFlash();
    void cancelMidBlock();
    void cancelForAnotherDevice();
    void adapterLeftInItsBootLoader();
    void severalUpgradesNextToAnOpenAdapter();
    void deviceInformation_data();
    void deviceInformation();
};

void UpgradeTransferTest::oneBlockFile()
{
    const QByteArray content = makeUpgradeFile(500, "TBC 3.4.5");
    UpgradeRun run(blocksOf(content));
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"phase 0", "phase 100", "version V3.4.5", "phase 101"}));

    // Once back after its restart, the device is asked for its version.
    const QStringList expected = QStringList{"B0", "A0", "A7", "A1"} + blockCommands() + QStringList{"A4", "A5", "A6", "B0"};
    QCOMPARE(commandsReceived(kSerialA), expected);
    // The block at the start address, its bytes in order.
    const std::vector<tbsim::TrafficEntry> announced = simAdapter(kSerialA).traffic(0xA2);
    QCOMPARE(toQ(announced.at(0).data).left(4), QByteArray::fromHex("08004000"));
    QByteArray sent;
    for (const tbsim::TrafficEntry &piece : simAdapter(kSerialA).traffic(0xA3))
        sent += toQ(piece.data).mid(2, piece.param2);
    QCOMPARE(sent, padded(content));

    // The adapter finished the image, restarted and runs the new application.
    QCOMPARE(toQ(bootLoader(kSerialA).flashed), padded(content));
    QTRY_VERIFY(simAdapter(kSerialA).isPlugged());
    QVERIFY(!bootLoader(kSerialA).running);
    QCOMPARE(bootLoader(kSerialA).app, (std::array<uint8_t, 3>{3, 4, 5}));
}

void UpgradeTransferTest::blockAddressesWrap()
{
    const QByteArray content = makeUpgradeFile(3 * 1024 - 100);
    UpgradeRun run(blocksOf(content), kSerialB);
    run.start(kSerialB);
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events.last(), QStringLiteral("phase 101"));
    QStringList addresses;
    for (const tbsim::TrafficEntry &entry : simAdapter(kSerialB).traffic(0xA2))
        addresses << QString::fromLatin1(toQ(entry.data).left(4).toHex().toUpper());
    QCOMPARE(addresses, QStringList({"FFFFF800", "FFFFFC00", "00000000"}));
    QCOMPARE(toQ(bootLoader(kSerialB).flashed), padded(content));
}

void UpgradeTransferTest::progressValues()
{
    UpgradeRun run(blocksOf(makeUpgradeFile(2 * 1024 - 96)));
    run.start();
    QVERIFY(run.waitForEnd());
    QList<int> expected;
    for (int block = 0; block < 2; ++block) {
        for (int offset = 0; offset <= 960; offset += 60)
            expected << block * 1024 + offset;
    }
    QCOMPARE(run.recorder.progress, expected);
}

void UpgradeTransferTest::failures_data()
{
    QTest::addColumn<FaultKind>("kind");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("param2");   // -1: any
    QTest::addColumn<int>("skip");     // matching requests let through first
    QTest::addColumn<QString>("report");
    QTest::addColumn<int>("sent");     // requests the adapter received in all

    // A 3-block file takes 4 + 3 x 19 + 3 = 64 requests when nothing fails.
    QTest::newRow("upgrade mode refused") << FaultKind::Refuse << 0xA0 << -1 << 0 << "refused 3" << 2;
    QTest::newRow("upgrade mode not answered") << FaultKind::NoReply << 0xA0 << -1 << 0 << "refused 3" << 2;
    QTest::newRow("burning refused") << FaultKind::Refuse << 0xA7 << -1 << 0 << "refused 4" << 3;
    QTest::newRow("burning answered for another command") << FaultKind::WrongCommand << 0xA7 << -1 << 0 << "refused 4" << 3;
    QTest::newRow("transfer start refused") << FaultKind::Refuse << 0xA1 << -1 << 0 << "update failed" << 4;
    QTest::newRow("transfer start not answered") << FaultKind::NoReply << 0xA1 << -1 << 0 << "update failed" << 4;
    // A block the device did not take is not skipped: the upgrade ends there.
    QTest::newRow("second block refused") << FaultKind::Refuse << 0xA2 << -1 << 1 << "update failed" << 4 + 19 + 1;
    QTest::newRow("second block not answered") << FaultKind::NoReply << 0xA2 << -1 << 1 << "update failed" << 4 + 19 + 1;
    QTest::newRow("last piece refused") << FaultKind::Refuse << 0xA3 << 4 << 2 << "update failed" << 4 + 3 * 19;
    // A last piece whose reply timed out is not acknowledged.
    QTest::newRow("last piece not answered") << FaultKind::NoReply << 0xA3 << 4 << 0 << "update failed" << 4 + 19;
    QTest::newRow("last piece answered for another command") << FaultKind::WrongCommand << 0xA3 << 4 << 0
                                                             << "update failed" << 4 + 19;
    QTest::newRow("first finishing step refused") << FaultKind::Refuse << 0xA4 << -1 << 0 << "update failed" << 62;
    QTest::newRow("first finishing step not answered") << FaultKind::NoReply << 0xA4 << -1 << 0 << "update failed" << 62;
    QTest::newRow("second finishing step refused") << FaultKind::Refuse << 0xA5 << -1 << 0 << "update failed" << 63;
    QTest::newRow("second finishing step error report") << FaultKind::ErrorReport << 0xA5 << -1 << 0 << "update failed" << 63;
    QTest::newRow("restart refused") << FaultKind::Refuse << 0xA6 << -1 << 0 << "update failed" << 64;
    QTest::newRow("unplugged mid-block") << FaultKind::UnplugMidway << 0xA3 << 60 << 20 << "error" << 4 + 19 + 1 + 4;
    QTest::newRow("unplugged at an announcement") << FaultKind::UnplugMidway << 0xA2 << -1 << 2 << "error" << 4 + 2 * 19 + 1;
    QTest::newRow("unplugged at the information request") << FaultKind::UnplugMidway << 0xB0 << -1 << 0 << "error" << 1;
}

void UpgradeTransferTest::failures()
{
    QFETCH(FaultKind, kind);
    QFETCH(int, command);
    QFETCH(int, param2);
    QFETCH(int, skip);
    QFETCH(QString, report);
    QFETCH(int, sent);

    simAdapter(kSerialA).addFault(upgradeFault(kind, command, param2, skip));
    UpgradeRun run(blocksOf(makeUpgradeFile(3 * 1024 - 96)));
    run.start();
    QVERIFY(run.waitForEnd());
    // One report, and never a phase that claims what did not happen.
    const bool beforeTheTransfer = command == 0xB0 || command == 0xA0 || command == 0xA7 || command == 0xA1;
    const QStringList expectedEvents = beforeTheTransfer ? QStringList{report} : QStringList{"phase 0", report};
    QCOMPARE(run.recorder.events, expectedEvents);
    // Nothing is sent after the failure.
    QCOMPARE(int(simAdapter(kSerialA).traffic().size()), sent);
    // Only a refused restart comes after the device took the image.
    QCOMPARE(bootLoader(kSerialA).upgradesCompleted, command == 0xA6 ? 1 : 0);
}

void UpgradeTransferTest::restartWithOrWithoutAnswer_data()
{
    QTest::addColumn<bool>("answers");
    QTest::addColumn<int>("delayMs"); // of the answer; 0: none

    QTest::newRow("gone at once") << false << 0;
    QTest::newRow("answered, then gone") << true << 0;
    QTest::newRow("silent for the whole time-out") << true << 1000;
}

void UpgradeTransferTest::restartWithOrWithoutAnswer()
{
    QFETCH(bool, answers);
    QFETCH(int, delayMs);
    QVERIFY(loadAdapters({QJsonObject{{"bootLoader", QJsonObject{{"answersRestart", answers}}}}}, 1).isEmpty());
    FaultRule fault = upgradeFault(FaultKind::SlowReply, 0xA6);
    fault.delayMs = delayMs;
    if (delayMs > 0)
        simAdapter(kSerialA).addFault(fault);
    const QByteArray content = makeUpgradeFile(1500, "TBC 4.0.1");
    UpgradeRun run(blocksOf(content));
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"phase 0", "phase 100", "version V4.0.1", "phase 101"}));
    QCOMPARE(bootLoader(kSerialA).upgradesCompleted, 1);
    QTRY_COMPARE(bootLoader(kSerialA).app, (std::array<uint8_t, 3>{4, 0, 1}));
}

// Every step acknowledged is not yet an upgrade: the device must come back
// after its restart and give the file's version.
void UpgradeTransferTest::versionAfterTheRestart_data()
{
    QTest::addColumn<QJsonObject>("adapter"); // bus-file keys of the adapter
    QTest::addColumn<bool>("silentAfterRestart"); // back on USB, but not answering its information request
    QTest::addColumn<QStringList>("ends");        // the reports after "phase 100"
    QTest::addColumn<int>("asked");               // information requests after the restart

    QTest::newRow("back with the file's version") << QJsonObject{} << false
                                                  << QStringList{"version V3.4.5", "phase 101"} << 1;
    QTest::newRow("back with the version it had")
        << QJsonObject{{"bootLoader", QJsonObject{{"rollsBack", true}}}} << false
        << QStringList{"version V2.1.7", "wrong version 3.4.5 V2.1.7"} << 1;
    QTest::newRow("not back on USB") << QJsonObject{{"restartMs", 600000}} << false << QStringList{"not back"} << 0;
    QTest::newRow("back, but not answering") << QJsonObject{} << true << QStringList{"not back"} << -1;
}

void UpgradeTransferTest::versionAfterTheRestart()
{
    QFETCH(QJsonObject, adapter);
    QFETCH(bool, silentAfterRestart);
    QFETCH(QStringList, ends);
    QFETCH(int, asked);
    QVERIFY(loadAdapters({adapter}, 1).isEmpty());
    if (silentAfterRestart) {
        FaultRule silent = upgradeFault(FaultKind::NoReply, 0xB0, -1, 1);
        silent.count = -1;
        simAdapter(kSerialA).addFault(silent);
    }
    // A device that does not come back is given up a little sooner here.
    tarnbus::LinkTiming::Upgrade waits = tarnbus::linkTiming().upgrade;
    waits.returnWaitMs = 300;
    setUpgradeWaits(waits);

    const QByteArray content = makeUpgradeFile(1500, "TBC 3.4.5");
    UpgradeRun run(blocksOf(content));
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"phase 0", "phase 100"}) + ends);
    // The image was taken in every case; what runs now is what was read.
    QCOMPARE(toQ(bootLoader(kSerialA).flashed), padded(content));
    // After the restart the information request, and nothing else.
    const QStringList commands = commandsReceived(kSerialA);
    const QStringList afterRestart = commands.mid(commands.lastIndexOf(QStringLiteral("A6")) + 1);
    QCOMPARE(afterRestart.count(QStringLiteral("B0")), afterRestart.size());
    if (asked >= 0)
        QCOMPARE(afterRestart.size(), asked);
    else
        QVERIFY(afterRestart.size() > 1); // asked again until the wait was over
}

void UpgradeTransferTest::staleRepliesAreNotTakenForAnswers()
{
    // The information reply comes after its exchange gave up and waits in
    // the queue when the next exchange begins.
    tarnbus::LinkTiming::Upgrade waits = tarnbus::linkTiming().upgrade;
    waits.replyTimeoutMs = 100;
    waits.exchangeDelayMs = 100;
    setUpgradeWaits(waits);
    FaultRule late = upgradeFault(FaultKind::SlowReply, 0xB0);
    late.delayMs = 150;
    simAdapter(kSerialA).addFault(late);

    UpgradeRun run(blocksOf(makeUpgradeFile(100)));
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"phase 0", "phase 100", "version V3.4.5", "phase 101"}));
}

void UpgradeTransferTest::cannotOpen_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");

    QTest::newRow("unknown serial") << "NOSUCHDEVICE" << int(UsbGlobal::kVendorId) << int(UsbGlobal::kProductId);
    // Id 0 would let the library take any device with this serial number.
    QTest::newRow("vendor id 0") << kSerialA << 0 << int(UsbGlobal::kProductId);
    QTest::newRow("product id 0") << kSerialA << int(UsbGlobal::kVendorId) << 0;
}

void UpgradeTransferTest::cannotOpen()
{
    QFETCH(QString, serial);
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    UpgradeRun run(blocksOf(makeUpgradeFile(100)));
    run.start(serial, quint16(vendorId), quint16(productId));
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"connect failed"}));
    QVERIFY(simAdapter(kSerialA).traffic().empty());
}

void UpgradeTransferTest::nothingToFlash()
{
    UpgradeRun run({});
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"update failed"}));
    QVERIFY(simAdapter(kSerialA).traffic().empty());
}

void UpgradeTransferTest::cancelMidBlock()
{
    // The second block's last piece is answered only after 20 s, far beyond
    // the time-out: the upgrade waits inside that exchange when cancelled.
    useShortUpgradeTiming(10000);
    FaultRule slow = upgradeFault(FaultKind::SlowReply, 0xA3, 4, 1);
    slow.delayMs = 20000;
    simAdapter(kSerialA).addFault(slow);
    const QByteArray content = makeUpgradeFile(4000);
    {
        UpgradeRun run(blocksOf(content));
        run.start();
        QTRY_COMPARE(simAdapter(kSerialA).requestCount(0xA3, 0x00, 4), 2);
        QVERIFY(!run.recorder.ended());
        run.manager->onStopUpdate(kSerialA); // as the dialog calls it, from this thread
        QVERIFY(run.waitForEnd(2000));
        QCOMPARE(run.recorder.events, QStringList({"phase 0", "error"}));
        QCOMPARE(commandsReceived(kSerialA).last(), QStringLiteral("A3/4"));
        QCOMPARE(int(simAdapter(kSerialA).traffic().size()), 4 + 2 * 19);
    }
    // The device stays in its boot loader, and a new upgrade of it works.
    QVERIFY(bootLoader(kSerialA).running);
    QVERIFY(bootLoader(kSerialA).applicationErased);
    useShortUpgradeTiming();
    UpgradeRun again(blocksOf(content));
    again.start();
    QVERIFY(again.waitForEnd());
    QCOMPARE(again.recorder.events.last(), QStringLiteral("phase 101"));
    QCOMPARE(toQ(bootLoader(kSerialA).flashed), padded(content));
}

void UpgradeTransferTest::cancelForAnotherDevice()
{
    UpgradeRun run(blocksOf(makeUpgradeFile(3000)));
    run.manager->onStopUpdate(kSerialB);
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events.last(), QStringLiteral("phase 101"));
}

void UpgradeTransferTest::adapterLeftInItsBootLoader()
{
    QVERIFY(loadAdapters({QJsonObject{{"bootLoader", QJsonObject{{"startsInBootLoader", true}}}}}, 1).isEmpty());
    const QByteArray content = makeUpgradeFile(2500, "TBC 2.3.0");
    UpgradeRun run(blocksOf(content));
    run.start();
    QVERIFY(run.waitForEnd());
    QCOMPARE(run.recorder.events, QStringList({"phase 0", "phase 100", "version V2.3.0", "phase 101"}));
    QCOMPARE(toQ(bootLoader(kSerialA).flashed), padded(content));
    QTRY_VERIFY(simAdapter(kSerialA).isPlugged());
    QVERIFY(!bootLoader(kSerialA).running);
}

void UpgradeTransferTest::severalUpgradesNextToAnOpenAdapter()
{
    QVERIFY(loadAdapters({}, 3).isEmpty());
    // The adapter C is open as the main window holds it; A and B are
    // upgraded at the same time, each in its own thread.
    UsbDevice open;
    QCOMPARE(open.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerialC), 0);
    QVERIFY(open.hasHandle());
    const QByteArray contentA = makeUpgradeFile(5000, "TBC 5.0.0");
    const QByteArray contentB = makeUpgradeFile(7000, "TBC 6.0.0");
    {
        UpgradeRun a(blocksOf(contentA), kSerialA);
        UpgradeRun b(blocksOf(contentB), kSerialB);
        a.start(kSerialA);
        b.start(kSerialB);
        QVERIFY(a.waitForEnd());
        QVERIFY(b.waitForEnd());
        QCOMPARE(a.recorder.events.last(), QStringLiteral("phase 101"));
        QCOMPARE(b.recorder.events.last(), QStringLiteral("phase 101"));
    }
    QCOMPARE(toQ(bootLoader(kSerialA).flashed), padded(contentA));
    QCOMPARE(toQ(bootLoader(kSerialB).flashed), padded(contentB));
    // The library was not shut down under the open adapter.
    QByteArray reply;
    QCOMPARE(open.transact(TBProtocol::handshake(), reply, 150), COMM_OK);
    open.closeDevice();
}

void UpgradeTransferTest::deviceInformation_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("fault"); // a FaultKind on the information request; -1: none
    QTest::addColumn<bool>("openElsewhere");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("app");

    QTest::newRow("answered") << kSerialB << -1 << false << int(upgradesearch::Reading::Answered) << "T3.0.1";
    QTest::newRow("not answered") << kSerialB << int(FaultKind::NoReply) << false << int(upgradesearch::Reading::NoAnswer)
                                  << "0.0.0";
    QTest::newRow("error report") << kSerialB << int(FaultKind::ErrorReport) << false
                                  << int(upgradesearch::Reading::NoAnswer) << "0.0.0";
    QTest::newRow("open in another program") << kSerialB << -1 << true << int(upgradesearch::Reading::NotOpened) << "";
    QTest::newRow("not on USB") << "NOSUCHDEVICE" << -1 << false << int(upgradesearch::Reading::NotOpened) << "";
}

void UpgradeTransferTest::deviceInformation()
{
    QFETCH(QString, serial);
    QFETCH(int, fault);
    QFETCH(bool, openElsewhere);
    QFETCH(int, result);
    QFETCH(QString, app);
    QVERIFY(loadAdapters({QJsonObject{},
                          QJsonObject{{"hardware", "0A0B"}, {"boot", QJsonArray{1, 2, 3}}, {"app", QJsonArray{3, 0, 1}},
                                      {"bootLoader", QJsonObject{{"type", "TBC-U200"}, {"bootLetter", "T"},
                                                                 {"appLetter", "T"}}}}},
                         2)
                .isEmpty());
    if (fault >= 0)
        simAdapter(kSerialB).addFault(upgradeFault(FaultKind(fault), 0xB0));
    simAdapter(kSerialB).setOpenElsewhere(openElsewhere);

    UsbDeviceInfo device;
    device.vendor_id = UsbGlobal::kVendorId;
    device.product_id = UsbGlobal::kProductId;
    device.serial_number = serial;
    const upgradesearch::Reading reading = upgradesearch::read(device, tarnbus::linkTiming().upgrade.searchReplyTimeoutMs);
    QCOMPARE(int(reading.result), result);
    if (reading.result == upgradesearch::Reading::Answered) {
        QCOMPARE(reading.info.hardware, 0x0A0B);
        QCOMPARE(reading.info.bootVersion, QStringLiteral("T1.2.3"));
        QCOMPARE(reading.info.type, QStringLiteral("TBC-U200"));
    }
    QCOMPARE(reading.info.appVersion, app);
    // The information request and nothing else, to that device only.
    QCOMPARE(commandsReceived(kSerialB), reading.result == upgradesearch::Reading::NotOpened ? QStringList()
                                                                                            : QStringList{"B0"});
    QVERIFY(simAdapter(kSerialA).traffic().empty());
}

QTEST_GUILESS_MAIN(UpgradeTransferTest)
#include "tst_upgrade_transfer.moc"
