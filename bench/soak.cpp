// A working shift, compressed: the window (offscreen) and tarnbus-cli on the
// 128-module bus of the virtual adapter, the link's waits shortened so that
// an hour of process-data cycles at the real timing (one cycle every
// 100 ms of the IO period plus the 230 ms of a transaction's fixed delays:
// 3,600,000 / 330 = 10,909 cycles) runs in minutes.
//
// The window: a warm-up through every phase, then an hour's polls (a poll
// reads every station: 131 transactions and the 3 s period, some 109 polls
// an hour), then the hour's cycles: force mode with an output changing
// every cycle, the IO test's running light, an unplug and replug in the
// middle, force mode and the running light again. The command line, at the
// same time in two processes: `force --hold` for the hour's cycles, and
// `watch` for an hour's polls with an unplug and replug in the middle (and
// one to warm up).
//
// Reported: the resident memory after the warm-up and at the end (goal: at
// most 1 MB more over the hour, window and command line alike; the window's
// also once its free memory is given back, as it does every minute), the
// heap in use, the cycles counted against the virtual adapter's own count of
// exchanges and the DI8 at station 127 counting them on its inputs (goal:
// none lost, none told twice), and the longest stall of the window's thread
// and its longest event in each phase (goals of bench_ui_stall: 20 ms, 50 ms
// while the bus loads again).
//
// Run from the repository root with QT_QPA_PLATFORM=offscreen; about ten
// minutes. --window or --cli runs one side only; --hours N scales the run.

#include "BenchSupport.h"
#include "HeapInUse.h"
#include "HeapTrimmer.h"
#include "LinkTiming.h"
#include "WindowSoak.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <functional>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

constexpr double kGrowthGoalMb = 1.0;
constexpr double kStallGoalMs = 20;
constexpr double kReloadStallGoalMs = 50;
constexpr int kLimitMs = 30 * 60 * 1000; // a limit for a hung run, not a measurement

// The longest single event of the window's thread, to tell a stall of the
// window's own work from one of a machine that is busy elsewhere (or from
// events queued behind each other).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    void resetLongest()
    {
        m_longestNs = 0;
        m_longestWhat.clear();
    }
    double longestEventMs() const { return m_longestNs / 1e6; }
    // The longest event's type and receiver.
    QString longestEvent() const { return m_longestWhat; }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        QElapsedTimer timer;
        timer.start();
        const int type = event->type();
        const QString what = QStringLiteral("type %1 to %2").arg(type).arg(QLatin1String(receiver->metaObject()->className()));
        const bool result = QApplication::notify(receiver, event);
        if (const qint64 ns = timer.nsecsElapsed(); ns > m_longestNs) {
            m_longestNs = ns;
            m_longestWhat = what;
        }
        return result;
    }

private:
    qint64 m_longestNs = 0;
    QString m_longestWhat;
};

TimedApplication *timedApp()
{
    return static_cast<TimedApplication *>(QCoreApplication::instance());
}

QString met(bool ok)
{
    return ok ? QStringLiteral("met") : QStringLiteral("MISSED");
}

double mb(long long kib)
{
    return kib / 1024.0;
}

// What an hour at the real timing holds.
struct Hour {
    int cycles = 0; // process-data cycles
    int polls = 0;  // polls of the whole bus
};

Hour realHour(double hours, int transactionsPerPoll)
{
    const tarnbus::LinkTiming real; // the defaults are the real timing
    const int cycleMs = real.processDataPeriodMs + real.transactionDelayMs();
    const int pollMs = real.pollPeriodMs + transactionsPerPoll * real.transactionDelayMs();
    return Hour{int(hours * 3600000 / cycleMs), int(hours * 3600000 / pollMs)};
}

// A poll of the 128-module bus: the bus status, every station's information
// block, a pending report and the handshake.
constexpr int kTransactionsPerPoll = 128 + 3;

int allRequests(const tbsim::VirtualAdapter &adapter)
{
    int total = 0;
    for (const tbsim::RequestCount &c : adapter.requestCounts())
        total += c.count;
    return total;
}

// --- The window ---------------------------------------------------------------------

struct PhaseResult {
    QString name;
    double stallMs = 0;
    double longestEventMs = 0;
    QString longestEvent;
    double seconds = 0;
    double goalMs = kStallGoalMs;
    long residentKiB = 0; // after the phase
    long long heapBytes = 0;
};

int runWindow(const QString &root, double hours)
{
    QTemporaryDir work;
    QFile::link(root + QStringLiteral("/Xml"), work.path() + QStringLiteral("/Xml"));
    QFile::link(root + QStringLiteral("/SVG"), work.path() + QStringLiteral("/SVG"));
    if (const QString error = soak::loadCountingBus(root); !error.isEmpty()) {
        out() << error << Qt::endl;
        return 1;
    }
    tbsim::bus().setTrafficLogLimit(1000); // the counts keep counting
    tarnbus::LinkTiming timing = tarnbus::LinkTiming::forVirtualAdapter();
    timing.pollPeriodMs = 20;
    // A cycle every 15 ms or so: time enough for the window to draw each one
    // as it does at the real timing, where it waits for the next.
    timing.processDataPeriodMs = 15;
    tarnbus::setLinkTiming(timing);
    QDir::setCurrent(work.path());

    MainWindow window;
    window.resize(1920, 1080);
    window.show();
    bench::Heartbeat beat;
    soak::WindowSoak run(window);
    QList<PhaseResult> phases;
    const auto phase = [&](const QString &name, const std::function<bool()> &step, double goalMs = kStallGoalMs) {
        QElapsedTimer clock;
        clock.start();
        beat.reset();
        timedApp()->resetLongest();
        const bool done = step();
        const double stallMs = beat.longestMs();
        const double eventMs = timedApp()->longestEventMs();
        const QString event = timedApp()->longestEvent();
        const double seconds = clock.elapsed() / 1000.0;
        phases << PhaseResult{name, stallMs, eventMs, event, seconds, goalMs, bench::residentKiB(), heapuse::bytesInUse()};
        if (!done)
            out() << "window: " << name << ": " << run.error() << Qt::endl;
        return done;
    };
    if (!run.open()) {
        out() << "window: " << run.error() << Qt::endl;
        return 1;
    }

    // Warm-up: every phase once, briefly.
    out() << "window: warming up" << Qt::endl;
    const bool warmedUp = run.poll(5) && run.enterForceMode() && run.force(300) && run.runningLight(100)
                          && run.unplugAndReplug() && run.force(100) && run.leaveForceMode() && run.settle();
    if (!warmedUp) {
        out() << "window: " << run.error() << Qt::endl;
        return 1;
    }
    phases.clear();
    // Resident memory as found, and once the free memory is given back, as
    // the window does every minute (HeapTrimmer): the level it returns to.
    const long warmFoundKiB = bench::residentKiB();
    HeapTrimmer::trimNow();
    const long warmKiB = bench::residentKiB();
    const long long warmHeap = heapuse::bytesInUse();
    const int warmCycles = run.cycles();

    tbsim::VirtualAdapter sim = tbsim::bus().adapter(soak::kSerial.toStdString());
    const Hour hour = realHour(hours, kTransactionsPerPoll);
    out() << QStringLiteral("window: %1 polls, then %2 process-data cycles (%3 h at the real timing)")
                 .arg(hour.polls)
                 .arg(hour.cycles)
                 .arg(hours)
          << Qt::endl;
    const int requestsBefore = allRequests(sim);
    const int pollsBefore = sim.requestCount(0x25, 0x00, 0x80);
    bool ok = phase(QStringLiteral("polling"), [&] { return run.poll(hour.polls); });
    const int polled = sim.requestCount(0x25, 0x00, 0x80) - pollsBefore;
    const double perPoll = polled > 0 ? double(allRequests(sim) - requestsBefore) / polled : 0;
    // 35 % forcing, 15 % the running light, the unplug, 35 % and 15 % again.
    const int forcing = hour.cycles * 35 / 100;
    const int light = hour.cycles * 15 / 100;
    ok = ok && run.enterForceMode() && phase(QStringLiteral("force"), [&] { return run.force(forcing); });
    ok = ok && phase(QStringLiteral("running light"), [&] { return run.runningLight(light); });
    ok = ok && phase(QStringLiteral("unplug, replug, loading"), [&] { return run.unplugAndReplug(); }, kReloadStallGoalMs);
    ok = ok && phase(QStringLiteral("force again"), [&] { return run.force(forcing); });
    ok = ok && phase(QStringLiteral("running light again"), [&] { return run.runningLight(hour.cycles - 2 * forcing - light); });
    ok = ok && run.leaveForceMode() && run.settle();
    const long endFoundKiB = bench::residentKiB();
    HeapTrimmer::trimNow();
    const long endKiB = bench::residentKiB();
    const long long endHeap = heapuse::bytesInUse();
    const int cycles = run.cycles() - warmCycles;
    window.tabWidget()->closeAll();
    if (!ok)
        return 1;

    out() << Qt::endl << "window, phase by phase:" << Qt::endl;
    bool stallsMet = true;
    for (const PhaseResult &p : qAsConst(phases)) {
        out() << QStringLiteral("  %1 %2 s, resident %3 MB, heap %4 MB, longest stall %5 ms (goal <= %6 ms) %7, "
                                "longest event %8 ms (%9)")
                     .arg(p.name, -24)
                     .arg(p.seconds, 6, 'f', 1)
                     .arg(mb(p.residentKiB), 0, 'f', 1)
                     .arg(p.heapBytes / 1048576.0, 0, 'f', 1)
                     .arg(p.stallMs, 6, 'f', 1)
                     .arg(p.goalMs)
                     .arg(met(p.stallMs <= p.goalMs))
                     .arg(p.longestEventMs, 0, 'f', 1)
                     .arg(p.longestEvent)
              << Qt::endl;
        stallsMet &= p.stallMs <= p.goalMs;
    }
    out() << QStringLiteral("  %1 transactions a poll (%2 polls)").arg(perPoll, 0, 'f', 1).arg(polled) << Qt::endl;
    const double growth = mb(endKiB - warmKiB) / hours;
    out() << QStringLiteral("window: resident as found %1 MB after warming up, %2 MB at the end")
                 .arg(mb(warmFoundKiB), 0, 'f', 1)
                 .arg(mb(endFoundKiB), 0, 'f', 1)
          << Qt::endl;
    out() << QStringLiteral("window: resident with free memory given back %1 MB after warming up, %2 MB at the end: "
                            "%3 MB an hour (goal <= %4 MB) %5")
                 .arg(mb(warmKiB), 0, 'f', 1)
                 .arg(mb(endKiB), 0, 'f', 1)
                 .arg(growth, 0, 'f', 2)
                 .arg(kGrowthGoalMb)
                 .arg(met(growth <= kGrowthGoalMb))
          << Qt::endl;
    out() << QStringLiteral("window: heap in use %1 MB after warming up, %2 MB at the end")
                 .arg(warmHeap / 1048576.0, 0, 'f', 1)
                 .arg(endHeap / 1048576.0, 0, 'f', 1)
          << Qt::endl;
    const bool counted = run.cyclesAccountedFor();
    out() << QStringLiteral("window: %1 cycles in the hour, %2 in all; the adapter received %3 exchanges: %4 cycles told, "
                            "%5 failed, %6 leaving force mode, %7 cut off by the unplug; %8 lost, %9 told twice (goal none) %10")
                 .arg(cycles)
                 .arg(run.cycles())
                 .arg(run.exchanges())
                 .arg(run.cycles())
                 .arg(run.failed())
                 .arg(run.leaves())
                 .arg(run.cutOff())
                 .arg(run.lost())
                 .arg(run.repeated())
                 .arg(met(counted))
          << Qt::endl;
    return growth <= kGrowthGoalMb && counted && stallsMet ? 0 : 1;
}

// --- The command line ---------------------------------------------------------------

// One run of tarnbus-cli on the virtual adapter, its JSON lines read as they come.
class CliRun
{
public:
    CliRun(const QString &name, const QStringList &args, const QString &countsFile)
        : m_name(name)
        , m_countsFile(countsFile)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARNBUS_SIM_TRAFFIC_LOG"), QStringLiteral("1000")); // the counts keep counting
        env.insert(QStringLiteral("TARNBUS_SIM_COUNTS"), countsFile);
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_pending += m_process.readAllStandardOutput();
            int end;
            while ((end = m_pending.indexOf('\n')) >= 0) {
                const QJsonObject line = QJsonDocument::fromJson(m_pending.left(end)).object();
                m_pending.remove(0, end + 1);
                if (onLine && !line.isEmpty())
                    onLine(line);
            }
        });
        m_process.start(QStringLiteral(TARNBUS_CLI_PROGRAM), args);
    }

    std::function<void(const QJsonObject &)> onLine;

    QString name() const { return m_name; }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    long residentKiB() const { return bench::residentKiB(QString::number(m_process.processId())); }
    void interrupt() { ::kill(pid_t(m_process.processId()), SIGINT); }
    int exitStatus() const { return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1; }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()).trimmed(); }

    // What the virtual adapter received, by command and parameters, once
    // the program has ended.
    int requests(int code, int param1, int param2) const
    {
        QFile file(m_countsFile);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QJsonArray adapters = QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("adapters")).toArray();
        int total = 0;
        for (const QJsonValue &adapter : adapters) {
            for (const QJsonValue &r : adapter.toObject().value(QLatin1String("requests")).toArray()) {
                const QJsonObject c = r.toObject();
                if (c.value(QLatin1String("command")).toInt() == code && c.value(QLatin1String("param1")).toInt() == param1
                    && c.value(QLatin1String("param2")).toInt() == param2)
                    total += c.value(QLatin1String("count")).toInt();
            }
        }
        return total;
    }

private:
    QString m_name;
    QString m_countsFile;
    QProcess m_process;
    QByteArray m_pending;
};

QString writeBus(const QString &root, const QString &path, const QJsonArray &faults)
{
    QByteArray json;
    if (QString error = soak::countingBusJson(root, &json); !error.isEmpty())
        return error;
    QJsonObject bus = QJsonDocument::fromJson(json).object();
    QJsonArray adapters = bus.value(QLatin1String("adapters")).toArray();
    QJsonObject adapter = adapters.at(0).toObject();
    if (!faults.isEmpty())
        adapter.insert(QLatin1String("faults"), faults);
    adapters[0] = adapter;
    bus.insert(QLatin1String("adapters"), adapters);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(bus).toJson()) < 0)
        return QStringLiteral("cannot write ") + path;
    return QString();
}

int inputByte(const QJsonObject &line)
{
    int value = 0;
    const QJsonArray values = line.value(QLatin1String("values")).toArray();
    for (int i = 0; i < values.size() && i < 8; ++i)
        value |= (values.at(i).toInt() != 0) << i;
    return value;
}

int runCli(const QString &root, double hours)
{
    QTemporaryDir work;
    const QString forceBus = work.filePath(QStringLiteral("force.json"));
    const QString watchBus = work.filePath(QStringLiteral("watch.json"));
    const Hour hour = realHour(hours, kTransactionsPerPoll);
    // watch: an unplug to warm up (the first reload of the bus leaves the
    // allocator's high-water mark), and one in the middle of the hour; each
    // at a poll's bus status, back half a second later.
    constexpr int kWarmUpPolls = 10;
    QJsonArray unplug;
    for (const int after : {kWarmUpPolls, kWarmUpPolls + hour.polls / 2}) {
        unplug.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("unplugMidway")},
                                  {QStringLiteral("command"), QStringLiteral("0x25")},
                                  {QStringLiteral("param1"), 0},
                                  {QStringLiteral("param2"), 128},
                                  {QStringLiteral("after"), after},
                                  {QStringLiteral("count"), 1},
                                  {QStringLiteral("replugMs"), 500}});
    }
    for (const QString &error : {writeBus(root, forceBus, {}), writeBus(root, watchBus, unplug)}) {
        if (!error.isEmpty()) {
            out() << error << Qt::endl;
            return 1;
        }
    }
    out() << QStringLiteral("tarnbus-cli: force --hold for %1 process-data cycles, watch for %2 polls with an unplug "
                            "and replug in the middle (%3 h at the real timing)")
                 .arg(hour.cycles)
                 .arg(hour.polls)
                 .arg(hours)
          << Qt::endl;

    // force --hold: the counting DI8's line comes with every cycle.
    constexpr int kWarmUpCycles = 500;
    CliRun force(QStringLiteral("force"),
                 {QStringLiteral("--bus"), forceBus, QStringLiteral("--fast-timing"), QStringLiteral("--json"),
                  QStringLiteral("force"), QStringLiteral("--set"), QStringLiteral("2:0=1"), QStringLiteral("--set"),
                  QStringLiteral("64:3=1"), QStringLiteral("--set"), QStringLiteral("128:7=1"), QStringLiteral("--hold"),
                  QStringLiteral("86400")},
                 work.filePath(QStringLiteral("force-counts.json")));
    int lines = 0, first = -1, previous = -1, lost = 0, twice = 0, finalValue = -1;
    long forceWarmKiB = -1, forceEndKiB = -1;
    force.onLine = [&](const QJsonObject &line) {
        if (line.value(QLatin1String("event")).toString() != QLatin1String("inputs")
            || line.value(QLatin1String("station")).toInt() != soak::kCountingStation)
            return;
        const int value = inputByte(line);
        if (line.value(QLatin1String("final")).toBool()) {
            finalValue = value;
            return;
        }
        if (first < 0)
            first = value;
        if (previous >= 0) {
            const int step = (value - previous + 256) % 256;
            twice += step == 0;
            lost += step > 1 ? step - 1 : 0;
        }
        previous = value;
        ++lines;
        if (lines == kWarmUpCycles)
            forceWarmKiB = force.residentKiB();
        if (lines == kWarmUpCycles + hour.cycles) {
            forceEndKiB = force.residentKiB();
            force.interrupt();
        }
    };

    // watch: the polls are counted by the adapter; the link's loss and
    // return come as lines.
    CliRun watch(QStringLiteral("watch"),
                 {QStringLiteral("--bus"), watchBus, QStringLiteral("--fast-timing"), QStringLiteral("--json"),
                  QStringLiteral("watch")},
                 work.filePath(QStringLiteral("watch-counts.json")));
    QElapsedTimer clock;
    clock.start();
    QList<qint64> backAt; // when the link came back
    QStringList watchEvents;
    watch.onLine = [&](const QJsonObject &line) {
        const QString event = line.value(QLatin1String("event")).toString();
        if (event.startsWith(QLatin1String("link"))) {
            watchEvents << event;
            if (event == QLatin1String("link back"))
                backAt << clock.elapsed();
        }
    };
    long watchWarmKiB = -1, watchEndKiB = -1;
    qint64 warmAt = -1;
    constexpr int kSettleMs = 3000; // the bus loaded again after the link came back
    while (force.running() || watch.running()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // Warmed up once the first reload has settled; the end as long
        // after the middle's return as that was after the warm-up.
        if (watchWarmKiB < 0 && !backAt.isEmpty() && clock.elapsed() >= backAt.first() + kSettleMs) {
            watchWarmKiB = watch.residentKiB();
            warmAt = clock.elapsed();
        }
        if (watchEndKiB < 0 && backAt.size() >= 2 && warmAt >= 0 && clock.elapsed() >= 2 * backAt.at(1) - warmAt) {
            watchEndKiB = watch.residentKiB();
            watch.interrupt();
        }
        if (clock.elapsed() > kLimitMs) {
            out() << "tarnbus-cli: still running, stopped" << Qt::endl;
            force.interrupt();
            watch.interrupt();
            break;
        }
    }
    QCoreApplication::processEvents();

    bool ok = true;
    for (CliRun *r : {&force, &watch}) {
        if (r->exitStatus() != 0) {
            out() << "tarnbus-cli " << r->name() << ": exit status " << r->exitStatus() << ": " << r->errors() << Qt::endl;
            ok = false;
        }
    }
    const auto growthLine = [&](const QString &what, long warm, long end) {
        const double growth = mb(end - warm) / hours;
        out() << QStringLiteral("tarnbus-cli %1: resident %2 MB after warming up, %3 MB at the end: %4 MB an hour (goal <= %5 MB) %6")
                     .arg(what)
                     .arg(mb(warm), 0, 'f', 1)
                     .arg(mb(end), 0, 'f', 1)
                     .arg(growth, 0, 'f', 2)
                     .arg(kGrowthGoalMb)
                     .arg(met(warm > 0 && end > 0 && growth <= kGrowthGoalMb))
              << Qt::endl;
        return warm > 0 && end > 0 && growth <= kGrowthGoalMb;
    };
    out() << Qt::endl;
    ok &= growthLine(QStringLiteral("force --hold"), forceWarmKiB, forceEndKiB);
    // The exchanges the adapter received: those before the first line (its
    // count, less one), one a line, those after the last line up to the
    // final report of the inputs, and the one that left force mode.
    const int exchanges = force.requests(soak::kProcessDataCommand, soak::kProcessDataParam, 0);
    const int before = first >= 1 ? first - 1 : 0;
    const int untilFinal = finalValue >= 0 ? (finalValue - previous + 256) % 256 : 0;
    const int unseen = exchanges - before - lines - untilFinal - 1;
    const bool counted = lost == 0 && twice == 0 && unseen >= 0 && unseen <= 2;
    out() << QStringLiteral("tarnbus-cli force --hold: %1 cycles printed in order; the adapter received %2 exchanges: "
                            "%3 before the first line, %4 after the last up to the final report, 1 leaving force mode, "
                            "%5 after the final report; %6 lost, %7 told twice (goal none) %8")
                 .arg(lines)
                 .arg(exchanges)
                 .arg(before)
                 .arg(untilFinal)
                 .arg(unseen)
                 .arg(lost)
                 .arg(twice)
                 .arg(met(counted))
          << Qt::endl;
    ok &= counted;
    ok &= growthLine(QStringLiteral("watch"), watchWarmKiB, watchEndKiB);
    const int polls = watch.requests(0x25, 0x00, 0x80);
    const QStringList lostAndBack{QStringLiteral("link lost"), QStringLiteral("link back")};
    const bool replugged = watchEvents == lostAndBack + lostAndBack;
    out() << QStringLiteral("tarnbus-cli watch: %1 bus status reads; %2 %3")
                 .arg(polls)
                 .arg(watchEvents.join(QStringLiteral(", ")))
                 .arg(met(replugged))
          << Qt::endl;
    ok &= replugged;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false\nqt.svg.warning=false"));
    const QStringList args = app.arguments();
    const bool windowOnly = args.contains(QStringLiteral("--window"));
    const bool cliOnly = args.contains(QStringLiteral("--cli"));
    double hours = 1;
    if (const int at = args.indexOf(QStringLiteral("--hours")); at > 0)
        hours = args.value(at + 1).toDouble();
    if (hours <= 0) {
        out() << "--hours takes a positive number" << Qt::endl;
        return 2;
    }
    const QString root = QDir::currentPath();
    int failures = 0;
    if (!cliOnly)
        failures += runWindow(root, hours);
    QDir::setCurrent(root);
    if (!windowOnly)
        failures += runCli(root, hours);
    return failures ? 1 : 0;
}
