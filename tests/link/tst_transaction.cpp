#include "HidLibrary.h"
#include "LinkTiming.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

const QString kSerial = QStringLiteral("3C2E0A000001");
constexpr int kTimeoutMs = 200;

tbsim::AdapterConfig adapterConfig(const std::string &serial)
{
    tbsim::AdapterConfig config;
    config.serial = serial;
    config.scanReads = 0;
    config.restartMs = 50;
    tbsim::Module module;
    module.typeCode = 0x1102;
    module.uid = "DA01B2C3D401";
    module.station = 1;
    module.inChannels = 16;
    module.inCapacity = 16;
    module.name = "TB-DI16-P";
    config.modules.push_back(module);
    return config;
}

tbsim::FaultRule fault(tbsim::FaultKind kind, int code)
{
    tbsim::FaultRule rule;
    rule.kind = kind;
    rule.code = code;
    rule.count = 1;
    return rule;
}

// A reply held back far longer than any test runs.
tbsim::FaultRule heldReply(int code)
{
    tbsim::FaultRule rule = fault(tbsim::FaultKind::SlowReply, code);
    rule.delayMs = 600000;
    return rule;
}

// Generous bound for things that happen at once unless something is stuck.
constexpr int kBoundMs = 10000;

// Waits until flag is set, at most kBoundMs; true when it was set.
bool waitFor(const std::atomic<bool> &flag)
{
    QDeadlineTimer bound(kBoundMs);
    while (!flag && !bound.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return flag;
}

// Unplugs the adapter once it has received a request with this code, so
// the tool is waiting for the reply (or about to) when the adapter goes.
std::thread unplugOnceAsked(tbsim::VirtualAdapter adapter, int code)
{
    return std::thread([adapter, code]() mutable {
        QDeadlineTimer bound(kBoundMs);
        while (adapter.requestCount(code) == 0 && !bound.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        adapter.unplug();
    });
}

} // namespace

class TestTransaction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::LinkTiming timing;
        timing.beforeRequestMs = 1;
        timing.betweenRequestReportsMs = 1;
        timing.beforeReplyMs = 1;
        timing.betweenReplyReportsMs = 1;
        timing.replugCheckPeriodMs = 20;
        timing.replugSettleMs = 60;
        tarnbus::setLinkTiming(timing);
    }

    void init()
    {
        tbsim::bus().reset();
        QCOMPARE(QString::fromStdString(tbsim::bus().addAdapter(adapterConfig(kSerial.toStdString()))), QString());
    }

    void cleanup()
    {
        const std::vector<std::string> violations = tbsim::bus().violations();
        for (const std::string &v : violations)
            qWarning("virtual adapter: %s", v.c_str());
        QVERIFY(violations.empty());
        tbsim::bus().reset();
    }

    void enumeration()
    {
        const QList<UsbDeviceInfo> devices = UsbGlobal::enumerateDevices();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices.first().serial_number, kSerial);
        QCOMPARE(devices.first().vendor_id, quint16(0x2E3C));
        QCOMPARE(devices.first().product_id, quint16(0xAF01));
        QCOMPARE(devices.first().manufacturer, QStringLiteral("Tarn Automation"));
        QVERIFY(UsbGlobal::isDevicePresent(kSerial));
        QVERIFY(!UsbGlobal::isDevicePresent(kSerial.toLower()));

        tbsim::bus().reset();
        QVERIFY(UsbGlobal::enumerateDevices().isEmpty());
        QVERIFY(!UsbGlobal::isDevicePresent(kSerial));
    }

    void results_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("faultKind"); // -1: none
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("replySize");

        using K = tbsim::FaultKind;
        QTest::newRow("ok") << TBProtocol::readIdentity() << -1 << int(COMM_OK) << 72;
        QTest::newRow("no reply") << TBProtocol::readIdentity() << int(K::NoReply) << int(COMM_TIMEOUT) << 0;
        QTest::newRow("second report missing") << TBProtocol::readPower() << int(K::TruncatedReply) << int(COMM_TIMEOUT) << 0;
        QTest::newRow("error report") << TBProtocol::readIdentity() << int(K::ErrorReport) << int(COMM_REPLY_ERROR) << 0;
        QTest::newRow("bad checksum") << TBProtocol::readIdentity() << int(K::BadChecksum) << int(COMM_CRC_ERROR) << 72;
        // A command whose low nibble is 0 accepts any command byte in the reply.
        QTest::newRow("0x20 wrong command") << TBProtocol::readIdentity() << int(K::WrongCommand) << int(COMM_OK) << 72;
        QTest::newRow("0x25 wrong command") << TBProtocol::readBusStatus() << int(K::WrongCommand) << int(COMM_CHECK_ERROR) << 72;
        QTest::newRow("not ready") << TBProtocol::handshake() << int(K::NotReady) << int(COMM_OK) << 72;
        QTest::newRow("slow but in time") << TBProtocol::readPower() << int(K::SlowReply) << int(COMM_OK) << 72;
        // The refusal mark is a failure for every command, also for those
        // whose reply command byte is not compared.
        QTest::newRow("0x20 refused") << TBProtocol::readIdentity() << int(K::Refuse) << int(COMM_REFUSED) << 72;
        QTest::newRow("0x22 refused") << TBProtocol::readSettings() << int(K::Refuse) << int(COMM_REFUSED) << 72;
        QTest::newRow("handshake refused") << TBProtocol::handshake() << int(K::Refuse) << int(COMM_REFUSED) << 72;
        QTest::newRow("store refused") << TBProtocol::storeConfiguration() << int(K::Refuse) << int(COMM_REFUSED) << 72;
    }

    void results()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, faultKind);
        QFETCH(int, expected);
        QFETCH(int, replySize);

        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        if (faultKind >= 0) {
            tbsim::FaultRule rule = fault(tbsim::FaultKind(faultKind), quint8(request.at(3)));
            rule.delayMs = kTimeoutMs / 4;
            adapter.addFault(rule);
        }
        UsbDevice device;
        QSignalSpy state(&device, &UsbDevice::sigStateChanged);
        QCOMPARE(device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial), 0);
        QByteArray reply;
        QCOMPARE(int(device.transact(request, reply, kTimeoutMs)), expected);
        QCOMPARE(reply.size(), replySize);
        QCOMPARE(device.transactionState(), int(UsbDevice::StateCompleted));
        QCOMPARE(adapter.requestCount(quint8(request.at(3)), quint8(request.at(4)), quint8(request.at(5))), 1);
        QVERIFY(state.isEmpty());
        if (expected == COMM_OK && faultKind < 0)
            QCOMPARE(reply.at(3), request.at(3));

        // The device stays usable: a late or missing reply never becomes the
        // answer to the next request.
        if (faultKind == int(tbsim::FaultKind::TruncatedReply))
            QTest::qWait(kTimeoutMs);
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readSettings(), reply, kTimeoutMs), COMM_OK);
        QCOMPARE(quint8(reply.at(3)), quint8(0x22));
    }

    void staleReplyIsDiscarded()
    {
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        tbsim::FaultRule slow = fault(tbsim::FaultKind::SlowReply, 0x21);
        slow.delayMs = 3 * kTimeoutMs;
        adapter.addFault(slow);
        UsbDevice device;
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::readPower(), reply, kTimeoutMs), COMM_TIMEOUT);
        QTest::qWait(3 * kTimeoutMs); // the power reply arrives now, unasked for
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_OK);
        QCOMPARE(quint8(reply.at(3)), quint8(0x20));
    }

    void closedDeviceSendsNothing()
    {
        UsbDevice device;
        QByteArray reply;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(device.transact(TBProtocol::handshake(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
        QVERIFY(reply.isEmpty());
        QCOMPARE(device.transactionState(), int(UsbDevice::StateIdle));
        QVERIFY(tbsim::bus().adapter(kSerial.toStdString()).traffic().empty());

        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        device.closeDevice();
        QCOMPARE(device.transact(TBProtocol::handshake(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
        QVERIFY(tbsim::bus().adapter(kSerial.toStdString()).traffic().empty());
    }

    void unplugAndReplug_data()
    {
        QTest::addColumn<bool>("duringWrite");
        QTest::addColumn<int>("expected");
        QTest::newRow("while writing") << true << int(COMM_NOT_CONNECTED);
        QTest::newRow("while reading") << false << int(COMM_REPLY_ERROR);
    }

    void unplugAndReplug()
    {
        QFETCH(bool, duringWrite);
        QFETCH(int, expected);
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        if (duringWrite) {
            tbsim::FaultRule rule = fault(tbsim::FaultKind::UnplugMidway, 0x20);
            adapter.addFault(rule);
        }
        UsbDevice device;
        QSignalSpy state(&device, &UsbDevice::sigStateChanged);
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        QByteArray reply;
        if (!duringWrite) {
            // Unplugged after the request went out, while the tool waits for
            // a reply that is held back: the read fails, however long the
            // machine takes to get there.
            adapter.addFault(heldReply(0x20));
            std::thread unplugger = unplugOnceAsked(adapter, 0x20);
            QCOMPARE(int(device.transact(TBProtocol::readIdentity(), reply, kBoundMs)), expected);
            unplugger.join();
        } else {
            QCOMPARE(int(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs)), expected);
        }
        QVERIFY(reply.isEmpty());
        QCOMPARE(state.size(), 1);
        QCOMPARE(state.first(), (QVariantList{3, 1}));
        QVERIFY(device.isClosed());

        // Lost: every further request fails at once, without another signal.
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
        QTest::qWait(3 * tarnbus::linkTiming().replugCheckPeriodMs);
        QCOMPARE(state.size(), 1);

        adapter.replug();
        QTRY_COMPARE_WITH_TIMEOUT(state.size(), 2, 5000);
        QCOMPARE(state.last(), (QVariantList{3, 0}));
        QVERIFY(!device.isClosed());
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_OK);
    }

    void handleChangesWaitForARunningTransaction_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("expected"); // result of the running transaction
        QTest::addColumn<bool>("closedAfter");
        // A close ends the transaction's wait; the others let it finish.
        QTest::newRow("close") << "close" << int(COMM_NOT_CONNECTED) << true;
        QTest::newRow("drop") << "drop" << int(COMM_OK) << true;
        QTest::newRow("drop and watch") << "dropAndWatch" << int(COMM_OK) << true;
        QTest::newRow("reopen") << "reopen" << int(COMM_OK) << false;
    }

    // The handle is changed from another thread while a transaction waits
    // for its reply: the virtual adapter records a violation (checked in
    // cleanup) if the handle is closed under the read.
    void handleChangesWaitForARunningTransaction()
    {
        QFETCH(QString, change);
        QFETCH(int, expected);
        QFETCH(bool, closedAfter);
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        tbsim::FaultRule slow = fault(tbsim::FaultKind::SlowReply, 0x20);
        slow.delayMs = 500;
        adapter.addFault(slow);
        UsbDevice device;
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        std::atomic<int> result{-1};
        std::thread transaction([&device, &result] {
            QByteArray reply;
            result = device.transact(TBProtocol::readIdentity(), reply, kBoundMs);
        });
        QTRY_COMPARE_WITH_TIMEOUT(adapter.requestCount(0x20), 1, kBoundMs);
        if (change == QLatin1String("close"))
            device.closeDevice();
        else if (change == QLatin1String("drop"))
            device.dropDevice();
        else if (change == QLatin1String("dropAndWatch"))
            device.dropAndWatch();
        else
            device.reopenDevice();
        transaction.join();
        QCOMPARE(result.load(), expected);
        QCOMPARE(device.isClosed(), closedAfter);
        QCOMPARE(device.hasHandle(), !closedAfter);
    }

    void failureIsReportedWithTheLinkFree_data()
    {
        QTest::addColumn<bool>("duringWrite");
        QTest::newRow("write fails") << true;
        QTest::newRow("read fails") << false;
    }

    // A slot connected directly runs in the transacting thread. It may
    // transact at once: the failure is reported after the mutex is released.
    // The slot's first transaction runs on a helper thread, so that a mutex
    // still held makes the test fail rather than hang.
    void failureIsReportedWithTheLinkFree()
    {
        QFETCH(bool, duringWrite);
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        adapter.addFault(duringWrite ? fault(tbsim::FaultKind::UnplugMidway, 0x20) : heldReply(0x20));
        UsbDevice device;
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);

        std::atomic<bool> helperDone{false};
        std::atomic<int> helperResult{-1};
        std::thread helper;
        bool linkFree = false;
        int directResult = -1;
        connect(&device, &UsbDevice::sigStateChanged, &device, [&](int, int code) {
            if (code != 1)
                return;
            helper = std::thread([&] {
                QByteArray reply;
                helperResult = device.transact(TBProtocol::readSettings(), reply, kTimeoutMs);
                helperDone = true;
            });
            linkFree = waitFor(helperDone);
            if (linkFree) {
                QByteArray reply;
                directResult = device.transact(TBProtocol::readSettings(), reply, kTimeoutMs);
            }
        }, Qt::DirectConnection);

        std::thread unplugger;
        if (!duringWrite)
            unplugger = unplugOnceAsked(adapter, 0x20);
        QByteArray reply;
        device.transact(TBProtocol::readIdentity(), reply, kBoundMs);
        if (unplugger.joinable())
            unplugger.join();
        QVERIFY(helper.joinable());
        helper.join();
        QVERIFY(linkFree);
        QCOMPARE(helperResult.load(), int(COMM_NOT_CONNECTED)); // the device is lost meanwhile
        QCOMPARE(directResult, int(COMM_NOT_CONNECTED));
    }

    // An adapter that keeps sending unasked reports must not hold the link
    // (and its mutex) for good: the request is then not sent at all.
    void babblingAdapterCannotHoldTheLink()
    {
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        adapter.addFault(fault(tbsim::FaultKind::Babble, 0x20));
        UsbDevice device;
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_OK);

        std::atomic<bool> done{false};
        std::atomic<int> result{-1};
        std::thread transaction([&] {
            QByteArray settings;
            result = device.transact(TBProtocol::readSettings(), settings, kTimeoutMs);
            done = true;
        });
        const bool inTime = waitFor(done);
        if (!inTime)
            adapter.clearFaults(); // lets a stuck transaction go before failing
        transaction.join();
        QVERIFY2(inTime, "a babbling adapter held the transaction");
        QCOMPARE(result.load(), int(COMM_REPLY_ERROR));
        QCOMPARE(adapter.requestCount(0x22), 0);
        QCOMPARE(device.transactionState(), int(UsbDevice::StateCompleted));
        QVERIFY(!device.isClosed());

        adapter.clearFaults();
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readSettings(), reply, kTimeoutMs), COMM_OK);
        QCOMPARE(quint8(reply.at(3)), quint8(0x22));
    }

    void replugWaitsForTheSettleTime()
    {
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        UsbDevice device;
        QSignalSpy state(&device, &UsbDevice::sigStateChanged);
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        adapter.unplugFor(50);
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(state.size(), 2, 5000);
        QVERIFY(clock.elapsed() >= tarnbus::linkTiming().replugSettleMs);
    }

    void closingCancelsTheReport()
    {
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        UsbDevice device;
        QSignalSpy state(&device, &UsbDevice::sigStateChanged);
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        adapter.unplugFor(10);
        QByteArray reply;
        device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!device.isClosed(), 5000); // reopened, settling
        device.closeDevice();
        QTest::qWait(2 * tarnbus::linkTiming().replugSettleMs);
        QCOMPARE(state.size(), 1);
    }

    void abortEndsAWaitAtOnce()
    {
        tbsim::VirtualAdapter adapter = tbsim::bus().adapter(kSerial.toStdString());
        adapter.addFault(fault(tbsim::FaultKind::NoReply, 0x20));
        UsbDevice device;
        device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        std::thread aborter([&device] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            device.abort();
        });
        QElapsedTimer clock;
        clock.start();
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, 60000), COMM_NOT_CONNECTED);
        aborter.join();
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
    }

    // An abort between the two reports of a request must not leave the
    // adapter holding half a request: the next request, from this link or
    // another, would be taken as its second half.
    void abortNeverSplitsARequest()
    {
        const tarnbus::LinkTiming saved = tarnbus::linkTiming();
        tarnbus::LinkTiming slowGap = saved;
        slowGap.betweenRequestReportsMs = 300;
        tarnbus::setLinkTiming(slowGap);
        QByteArray reply;
        {
            UsbDevice device;
            device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
            std::thread aborter([&device] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                device.abort();
            });
            device.transact(TBProtocol::readIdentity(), reply, kTimeoutMs);
            aborter.join();
            device.closeDevice();
        }
        tarnbus::setLinkTiming(saved);
        UsbDevice next;
        next.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
        reply.clear();
        QCOMPARE(next.transact(TBProtocol::readIdentity(), reply, kTimeoutMs), COMM_OK);
        next.closeDevice();
    }

    void twoAdaptersInTwoThreads()
    {
        const QString second = QStringLiteral("3C2E0A000002");
        QCOMPARE(QString::fromStdString(tbsim::bus().addAdapter(adapterConfig(second.toStdString()))), QString());
        constexpr int kExchanges = 25;
        std::atomic<int> failures{0};
        const auto run = [&failures](const QString &serial) {
            UsbDevice device;
            if (device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, serial) != 0)
                ++failures;
            for (int i = 0; i < kExchanges; ++i) {
                QByteArray reply;
                if (device.transact(TBProtocol::readSlaveInfo(1), reply, kTimeoutMs) != COMM_OK)
                    ++failures;
                else if (TBReply::decodeSlaveInfo(reply).block.identity() != QLatin1String("DA01B2C3D401"))
                    ++failures;
            }
            device.closeDevice();
        };
        const int openedBefore = UsbGlobal::openedDeviceCount();
        QThread *a = QThread::create(run, kSerial);
        QThread *b = QThread::create(run, second);
        a->start();
        b->start();
        QVERIFY(a->wait(30000));
        QVERIFY(b->wait(30000));
        delete a;
        delete b;
        QCOMPARE(failures.load(), 0);
        QCOMPARE(UsbGlobal::openedDeviceCount(), openedBefore);
        QCOMPARE(tbsim::bus().adapter(kSerial.toStdString()).requestCount(0x25), kExchanges);
        QCOMPARE(tbsim::bus().adapter(second.toStdString()).requestCount(0x25), kExchanges);
    }

    void libraryCallsAreSerialised()
    {
        // hidapi's process-wide calls from many threads at once: the virtual
        // adapter records any overlap as a violation (checked in cleanup).
        std::atomic<int> failures{0};
        const auto churn = [&failures] {
            for (int i = 0; i < 20; ++i) {
                if (UsbGlobal::enumerateDevices().size() != 1)
                    ++failures;
                hid_device *handle = tarnbus::hid::open(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
                if (!handle)
                    ++failures;
                tarnbus::hid::close(handle);
            }
        };
        std::thread t1(churn), t2(churn), t3(churn);
        t1.join();
        t2.join();
        t3.join();
        QCOMPARE(failures.load(), 0);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    void openedDeviceCount()
    {
        const int before = UsbGlobal::openedDeviceCount();
        {
            UsbDevice never;
        }
        QCOMPARE(UsbGlobal::openedDeviceCount(), before);
        {
            UsbDevice device;
            device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
            QCOMPARE(UsbGlobal::openedDeviceCount(), before + 1);
            device.reopenDevice();
            QCOMPARE(UsbGlobal::openedDeviceCount(), before + 1);
        }
        QCOMPARE(UsbGlobal::openedDeviceCount(), before);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTransaction)
#include "tst_transaction.moc"
