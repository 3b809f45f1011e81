// Upgrade reports arriving at an adapter: the fault rules, the boot loader,
// its reply into the input queues, the traffic log.

#include "BootLoader.h"
#include "BootLoaderControl.h"
#include "SimState.h"

namespace tbsim::detail {

namespace {

constexpr uint8_t kErrorMarker = wire::kErrorMarker;

std::optional<Clock::time_point> replugTime(const FaultRule &fault)
{
    if (fault.replugMs <= 0)
        return std::nullopt;
    return Clock::now() + std::chrono::milliseconds(fault.replugMs);
}

// The reply as a fault changes it; empty when the fault swallows it.
std::optional<wire::Report> faulted(wire::Report report, uint8_t command, const std::optional<FaultRule> &fault)
{
    if (!fault)
        return report;
    switch (fault->kind) {
    case FaultKind::NoReply:
        return std::nullopt;
    case FaultKind::WrongCommand:
        report[1] = uint8_t(command + 1);
        return report;
    default:
        return report;
    }
}

} // namespace

void receiveUpgradeReport(SimState &s, RuntimeAdapter &adapter, const uint8_t *data, size_t length)
{
    if (length != size_t(wire::kOutputReportSize)) {
        recordViolation(s, adapter.serial() + ": upgrade report of " + std::to_string(length) + " bytes, expected 65");
        return;
    }
    const uint8_t *payload = data + 1;
    TrafficEntry entry;
    entry.timeMs = elapsedMs(s);
    entry.code = payload[1];
    entry.param1 = payload[2];
    entry.param2 = payload[3];
    entry.data.assign(payload + 2, payload + wire::kReportSize);

    if (const std::optional<FaultRule> unplugged = adapter.faults.take(FaultInjector::Phase::FirstReport, entry.code,
                                                                       entry.param1, entry.param2)) {
        entry.outcome = TrafficEntry::Faulted;
        entry.fault = unplugged->kind;
        logTraffic(s, adapter, std::move(entry));
        unplug(s, adapter, replugTime(*unplugged));
        return;
    }
    const std::optional<FaultRule> fault = adapter.faults.take(FaultInjector::Phase::Request, entry.code, entry.param1,
                                                               entry.param2);
    if (fault) {
        entry.outcome = TrafficEntry::Faulted;
        entry.fault = fault->kind;
    }
    const Clock::time_point now = Clock::now();

    // Refused or answered with an error report: not carried out.
    if (fault && (fault->kind == FaultKind::Refuse || fault->kind == FaultKind::ErrorReport)) {
        wire::Report report = refusalReport(entry.code);
        if (fault->kind == FaultKind::ErrorReport)
            report = wire::Report{{kErrorMarker}};
        entry.reply.assign(report.begin(), report.end());
        queueInputReports(s, adapter, {report}, now, false);
        logTraffic(s, adapter, std::move(entry));
        return;
    }

    const BootAnswer answer = handleUpgradeRequest(adapter.state.boot, adapter.state.config, payload);
    if (!answer.violation.empty())
        recordViolation(s, adapter.serial() + ": " + answer.violation);
    entry.note = answer.note;
    if (!fault && answer.kind == BootAnswer::Refused)
        entry.outcome = TrafficEntry::Refused;

    const std::optional<wire::Report> reply = answer.kind == BootAnswer::Silent
        ? std::nullopt
        : faulted(answer.report, entry.code, fault);
    if (!reply) {
        // Nothing to hold it back: a restart happens at once.
        if (answer.restart)
            restart(s, adapter);
        logTraffic(s, adapter, std::move(entry));
        return;
    }
    const int delayMs = fault && fault->kind == FaultKind::SlowReply ? fault->delayMs : 0;
    const Clock::time_point readyAt = now + std::chrono::milliseconds(delayMs);
    entry.reply.assign(reply->begin(), reply->end());
    queueInputReports(s, adapter, {*reply}, readyAt, answer.restart);
    if (answer.restart)
        adapter.restartAt = readyAt + std::chrono::milliseconds(kRestartGraceMs);
    logTraffic(s, adapter, std::move(entry));
}

} // namespace tbsim::detail

namespace tbsim {

BootLoaderView bootLoaderView(const std::string &serial)
{
    using namespace detail;
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    advance(s, Clock::now());
    BootLoaderView view;
    const RuntimeAdapter *adapter = findAdapter(s, serial);
    if (!adapter)
        return view;
    const BootLoaderState &boot = adapter->state.boot;
    view.exists = true;
    view.running = boot.running;
    view.applicationErased = boot.applicationErased;
    view.upgradeMode = boot.upgradeMode;
    view.receiving = boot.receiving;
    view.nextAddress = boot.nextAddress;
    view.received = boot.received;
    view.flashed = boot.flashed;
    view.app = adapter->state.config.app;
    view.upgradesCompleted = boot.upgradesCompleted;
    view.runApplicationRequests = boot.runApplicationRequests;
    return view;
}

} // namespace tbsim
