// Cost of one link transaction against the virtual adapter at the real
// timing: 100 transactions, compared with 100 x the mandated 230 ms of
// fixed delays. The virtual adapter answers at once, so everything above
// the delays is the tool's own overhead. Run twice: with the frame trace
// off (as the program starts) and on, in interleaved rounds. The link counters count in both runs;
// their own cost per exchange is measured apart, since a difference of
// nanoseconds in 230 ms is far below what the sleeps of a run vary by.

#include "FrameTrace.h"
#include "LinkCounters.h"
#include "LinkDiagnostics.h"
#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

constexpr int kTransactions = 100;
// The two runs interleaved in rounds, so that both see the same load.
constexpr int kRounds = 5;

struct Run {
    double elapsedMs = 0;
    int failures = 0;
};

void transactions(UsbDevice &device, int count, Run &run)
{
    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        reply.clear();
        if (device.transact(TBProtocol::readBusStatus(), reply, timing.replyTimeoutMs) != COMM_OK)
            ++run.failures;
    }
    run.elapsedMs += double(clock.nsecsElapsed()) / 1e6;
}

// Nanoseconds of one call of what an exchange adds, averaged over many.
template <typename Step>
double nanosecondsEach(Step step)
{
    constexpr int kCalls = 2000000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kCalls; ++i)
        step(i);
    return double(clock.nsecsElapsed()) / kCalls;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    QTextStream out(stdout);

    tbsim::AdapterConfig config;
    config.scanReads = 0;
    tbsim::bus().reset();
    const std::string error = tbsim::bus().addAdapter(config);
    if (!error.empty()) {
        out << "cannot set up the virtual adapter: " << QString::fromStdString(error) << Qt::endl;
        return 1;
    }

    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();
    UsbDevice device;
    device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, QString::fromStdString(config.serial));
    QByteArray reply;
    device.transact(TBProtocol::handshake(), reply, timing.replyTimeoutMs); // warm up
    FrameTrace &trace = device.diagnostics()->trace();

    const double mandatedMs = double(kTransactions) * timing.transactionDelayMs();
    Run off;
    Run on;
    for (int round = 0; round < kRounds; ++round) {
        transactions(device, kTransactions / kRounds, off);
        trace.setOn(true);
        transactions(device, kTransactions / kRounds, on);
        trace.setOn(false);
    }
    const int traced = trace.size();
    device.closeDevice();

    // What the counters add to an exchange: one count with a round trip.
    LinkCounters counters;
    const double countNs = nanosecondsEach([&counters](int i) { counters.countTransaction(LinkCounters::Outcome::Answered, 230000 + (i & 7)); });
    // What the trace adds while off (the check per report), and while on (a
    // report recorded and decoded), four reports an exchange.
    FrameTrace idle;
    const QByteArray report = (QByteArray("\xEC\x3E", 2) + TBProtocol::readBusStatus().left(62));
    const auto *bytes = reinterpret_cast<const quint8 *>(report.constData());
    const double offNs = nanosecondsEach([&idle, bytes](int) { idle.record(tarnbus::trace::Direction::Out, tarnbus::trace::Channel::Adapter, bytes, 64); });
    FrameTrace busy;
    busy.setOn(true);
    const double onNs = nanosecondsEach([&busy, bytes](int) { busy.record(tarnbus::trace::Direction::Out, tarnbus::trace::Channel::Adapter, bytes, 64); });

    const double perMs = off.elapsedMs / kTransactions;
    const auto ratio = [](double value) { return QString::number(value, 'f', 4); };
    const auto ratio7 = [](double value) { return QString::number(value, 'f', 7); };
    const double floorNs = timing.transactionDelayMs() * 1e6;
    out << "transactions:        " << kTransactions << " per run (" << off.failures + on.failures << " failed)" << Qt::endl
        << "mandated delays:     " << QString::number(mandatedMs, 'f', 1) << " ms (" << timing.transactionDelayMs() << " ms each)" << Qt::endl
        << "trace off:           " << QString::number(off.elapsedMs, 'f', 1) << " ms, " << QString::number(perMs, 'f', 3)
        << " ms each, ratio " << ratio(off.elapsedMs / mandatedMs) << " (goal: at most 1.02)" << Qt::endl
        << "trace on:            " << QString::number(on.elapsedMs, 'f', 1) << " ms, " << QString::number(on.elapsedMs / kTransactions, 'f', 3)
        << " ms each, ratio " << ratio(on.elapsedMs / mandatedMs) << " (goal: at most 1.005); " << traced << " reports traced" << Qt::endl
        << "trace on / off:      " << ratio(on.elapsedMs / off.elapsedMs) << " (the same load, rounds interleaved)" << Qt::endl
        << "counters:            " << QString::number(countNs, 'f', 1) << " ns an exchange, ratio with/without "
        << ratio7((floorNs + countNs) / floorNs) << " (goal: at most 1.001)" << Qt::endl
        << "trace, off:          " << QString::number(4 * offNs, 'f', 1) << " ns an exchange (4 reports), ratio "
        << ratio7((floorNs + 4 * offNs) / floorNs) << Qt::endl
        << "trace, on:           " << QString::number(4 * onNs, 'f', 1) << " ns an exchange (4 reports), ratio "
        << ratio7((floorNs + 4 * onNs) / floorNs) << Qt::endl;
    // The goals are judged here; a loaded machine stretches the sleeps of a
    // run, so the verdict is printed, and only failed or untraced exchanges
    // fail the program.
    const bool met = on.elapsedMs / mandatedMs <= 1.005 && (floorNs + countNs) / floorNs <= 1.001;
    out << "goals:               " << (met ? "met" : "not met") << Qt::endl;
    return off.failures + on.failures == 0 && traced == 4 * kTransactions ? 0 : 1;
}
