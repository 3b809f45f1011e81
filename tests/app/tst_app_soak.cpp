// The window holding steady through a shift, shortened: the 128-module bus
// through polling, force mode with outputs changing every cycle, the IO
// test's running light, and an unplug and replug in the middle, twice over.
// The first, short round warms up; the second must end with the heap where
// the first left it, give or take a generous bound, and with every cycle
// the adapter received accounted for. Built with the sanitizers, LeakSanitizer
// must find nothing. Time and resident memory are a benchmark's business.

#include "AppHarness.h"
#include "HeapInUse.h"
#include "WindowSoak.h"

using namespace apph;

namespace {

// The process-data cycles of each phase of a round, and the polls before.
struct Round {
    int polls;
    int force;
    int light;
    int afterReplug;
};
// The warm-up round is short: the pixmap cache of Qt takes ten megabytes
// before it evicts anything, and growth that stops there must show in the
// second round, not fill up in the first.
constexpr Round kWarmUp{5, 100, 40, 60};
constexpr Round kShift{5, 400, 200, 300};
// What a round may leave behind: the message list's lines, the allocator's
// bookkeeping. A picture left with every cycle leaves megabytes.
constexpr long long kBoundBytes = 1536 * 1024;

} // namespace

class TestAppSoak : public QObject
{
    Q_OBJECT

private slots:
    void heldSteadyThroughAShift()
    {
        const QString root = QDir::currentPath();
        tarnbus::LinkTiming timing = fastTiming();
        timing.pollPeriodMs = 20;
        // A cycle every 15 ms or so: a thousand in seconds, and time enough
        // for the window to draw each one as it does at the real timing (a
        // window behind its adapter draws once for several cycles).
        timing.processDataPeriodMs = 15;
        tarnbus::setLinkTiming(timing);
        QCOMPARE(soak::loadCountingBus(root), QString());
        tbsim::bus().setTrafficLogLimit(1000); // the counts keep counting
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        soak::WindowSoak run(*window);
        QVERIFY2(run.open(), qPrintable(run.error()));

        // The heap after each phase, to tell where a round grew.
        QStringList phases;
        const auto after = [&](const char *phase) {
            run.settle();
            phases << QStringLiteral("%1 %2 KiB").arg(QLatin1String(phase)).arg(heapuse::bytesInUse() / 1024);
            return true;
        };
        const auto round = [&](const Round &r) {
            return run.poll(r.polls) && after("polling") && run.enterForceMode() && run.force(r.force) && after("force")
                   && run.runningLight(r.light) && after("running light") && run.unplugAndReplug()
                   && after("unplug and replug") && run.force(r.afterReplug) && run.leaveForceMode()
                   && after("force again");
        };
        QVERIFY2(round(kWarmUp), qPrintable(run.error()));
        const long long warm = heapuse::bytesInUse();
        const int warmUpCycles = run.cycles();
        QVERIFY(warm > 0);
        phases.clear();
        QVERIFY2(round(kShift), qPrintable(run.error()));
        const long long end = heapuse::bytesInUse();
        const int cycles = run.cycles() - warmUpCycles;
        qInfo("heap in use: %lld KiB after warming up, %lld KiB after %d more cycles", warm / 1024, end / 1024, cycles);
        QVERIFY2(end - warm < kBoundBytes, qPrintable(QStringLiteral("the heap grew by %1 KiB in %2 cycles (after %3)")
                                                          .arg((end - warm) / 1024)
                                                          .arg(cycles)
                                                          .arg(phases.join(QStringLiteral(", ")))));
        QVERIFY2(run.cyclesAccountedFor(),
                 qPrintable(QStringLiteral("%1 exchanges; %2 cycles told, %3 failed, %4 skipped, %5 told again, "
                                           "%6 leaving force mode, %7 cut off by the unplug")
                                .arg(run.exchanges())
                                .arg(run.cycles())
                                .arg(run.failed())
                                .arg(run.lost())
                                .arg(run.repeated())
                                .arg(run.leaves())
                                .arg(run.cutOff())));

        window->tabWidget()->closeAll();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        QCOMPARE(busViolations(), QStringList());
        QVERIFY(!heapuse::leaksReported());
        tarnbus::setLinkTiming(fastTiming());
    }
};

QTEST_MAIN(TestAppSoak)
#include "tst_app_soak.moc"
