// The link counters against the virtual adapter: one exchange per fault,
// each counted where it belongs and nowhere else.

#include "LinkDiagnostics.h"
#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

const QString kSerial = QStringLiteral("3C2E0A0000C1");
constexpr int kTimeoutMs = 150;

enum Counter { Timeouts, ChecksumErrors, ErrorReports, Refusals, Incomplete, Reconnects, NoCounter };

quint64 valueOf(const LinkStatistics &s, Counter counter)
{
    switch (counter) {
    case Timeouts: return s.timeouts;
    case ChecksumErrors: return s.checksumErrors;
    case ErrorReports: return s.errorReports;
    case Refusals: return s.refusals;
    case Incomplete: return s.incompleteReplies;
    case Reconnects: return s.reconnects;
    case NoCounter: break;
    }
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(Counter)

class TestLinkCounters : public QObject
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
        timing.replugSettleMs = 40;
        tarnbus::setLinkTiming(timing);
    }

    void init()
    {
        tbsim::bus().reset();
        tbsim::AdapterConfig config;
        config.serial = kSerial.toStdString();
        config.scanReads = 0;
        QCOMPARE(QString::fromStdString(tbsim::bus().addAdapter(config)), QString());
        LinkDiagnostics::forSerial(kSerial)->counters().reset();
    }

    void cleanup()
    {
        QVERIFY(tbsim::bus().violations().empty());
        tbsim::bus().reset();
    }

    void oneFaultOneCounter_data()
    {
        QTest::addColumn<tbsim::FaultKind>("fault");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<int>("expected");
        QTest::addColumn<Counter>("counter");
        QTest::addColumn<bool>("wholeReply"); // a round trip is measured

        QTest::newRow("answered") << tbsim::FaultKind::NoReply << false << int(COMM_OK) << NoCounter << true;
        QTest::newRow("time-out") << tbsim::FaultKind::NoReply << false << int(COMM_TIMEOUT) << Timeouts << false;
        QTest::newRow("bad checksum") << tbsim::FaultKind::BadChecksum << false << int(COMM_CRC_ERROR) << ChecksumErrors << true;
        QTest::newRow("error report") << tbsim::FaultKind::ErrorReport << false << int(COMM_REPLY_ERROR) << ErrorReports << false;
        QTest::newRow("refusal") << tbsim::FaultKind::Refuse << false << int(COMM_REFUSED) << Refusals << true;
        QTest::newRow("half reply") << tbsim::FaultKind::TruncatedReply << false << int(COMM_TIMEOUT) << Incomplete << false;
        QTest::newRow("unplug") << tbsim::FaultKind::UnplugMidway << true << int(COMM_NOT_CONNECTED) << Reconnects << false;
    }

    void oneFaultOneCounter()
    {
        QFETCH(tbsim::FaultKind, fault);
        QFETCH(bool, unplug);
        QFETCH(int, expected);
        QFETCH(Counter, counter);
        QFETCH(bool, wholeReply);

        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kSerial.toStdString());
        if (expected != COMM_OK) {
            tbsim::FaultRule rule;
            rule.kind = fault;
            rule.code = 0x21;
            rule.count = 1;
            rule.replugMs = 30;
            sim.addFault(rule);
        }
        UsbDevice device;
        QSignalSpy states(&device, &UsbDevice::sigStateChanged);
        QCOMPARE(device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial), 0);
        QByteArray reply;
        QCOMPARE(int(device.transact(TBProtocol::readPower(), reply, kTimeoutMs)), expected);
        if (unplug) // lost, found again, settled
            QTRY_COMPARE_WITH_TIMEOUT(states.count(), 2, 5000);

        const LinkStatistics s = device.diagnostics()->counters().statistics();
        QCOMPARE(s.transactions, quint64(1));
        for (Counter c : {Timeouts, ChecksumErrors, ErrorReports, Refusals, Incomplete, Reconnects}) {
            if (valueOf(s, c) != (c == counter ? 1u : 0u))
                QFAIL(qPrintable(QStringLiteral("counter %1 is %2").arg(int(c)).arg(valueOf(s, c))));
        }
        QCOMPARE(s.roundTrips, wholeReply ? quint64(1) : quint64(0));
        if (wholeReply) {
            // At least the fixed pauses between the reports.
            QVERIFY2(s.lastRoundTripUs >= 2000, qPrintable(QString::number(s.lastRoundTripUs)));
            QCOMPARE(s.meanRoundTripUs, s.lastRoundTripUs);
            QCOMPARE(s.maxRoundTripUs, s.lastRoundTripUs);
        } else {
            QCOMPARE(s.lastRoundTripUs, qint64(-1));
        }
        device.closeDevice();
    }

    // Mean and maximum over several exchanges; a reset starts from nothing.
    void roundTripsAndReset()
    {
        UsbDevice device;
        QCOMPARE(device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial), 0);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kSerial.toStdString());
        tbsim::FaultRule slow;
        slow.kind = tbsim::FaultKind::SlowReply;
        slow.code = 0x21;
        slow.skip = 2;
        slow.count = 1;
        slow.delayMs = 60;
        sim.addFault(slow);
        QByteArray reply;
        for (int i = 0; i < 4; ++i) {
            reply.clear();
            QCOMPARE(device.transact(TBProtocol::readPower(), reply, 1000), COMM_OK);
        }
        LinkCounters &counters = device.diagnostics()->counters();
        const LinkStatistics s = counters.statistics();
        QCOMPARE(s.transactions, quint64(4));
        QCOMPARE(s.roundTrips, quint64(4));
        QVERIFY2(s.maxRoundTripUs >= 60000, qPrintable(QString::number(s.maxRoundTripUs)));
        QVERIFY(s.lastRoundTripUs < s.maxRoundTripUs);
        QVERIFY(s.meanRoundTripUs > s.lastRoundTripUs && s.meanRoundTripUs < s.maxRoundTripUs);

        counters.reset();
        QCOMPARE(counters.statistics(), LinkStatistics());
        reply.clear();
        QCOMPARE(device.transact(TBProtocol::readPower(), reply, 1000), COMM_OK);
        QCOMPARE(counters.statistics().transactions, quint64(1));
        device.closeDevice();
    }

    // A closed device sends nothing and counts nothing.
    void nothingSentNothingCounted()
    {
        UsbDevice device;
        QCOMPARE(device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial), 0);
        device.closeDevice();
        QByteArray reply;
        QCOMPARE(device.transact(TBProtocol::readPower(), reply, kTimeoutMs), COMM_NOT_CONNECTED);
        QCOMPARE(device.diagnostics()->counters().statistics(), LinkStatistics());
    }
};

QTEST_GUILESS_MAIN(TestLinkCounters)
#include "tst_linkcounters.moc"
