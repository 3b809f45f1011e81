#include "SimState.h"

#include <algorithm>

namespace tbsim::detail {

namespace {
uint32_t countKey(uint8_t code, uint8_t param1, uint8_t param2)
{
    return uint32_t(code) << 16 | uint32_t(param1) << 8 | param2;
}

void log(const SimState &s, RuntimeAdapter &adapter, TrafficEntry entry)
{
    ++adapter.counts[countKey(entry.code, entry.param1, entry.param2)];
    adapter.traffic.push_back(std::move(entry));
    while (adapter.traffic.size() > s.trafficLogLimit)
        adapter.traffic.pop_front();
}

TrafficEntry entryFor(const SimState &s, const uint8_t *frame)
{
    TrafficEntry entry;
    entry.timeMs = elapsedMs(s);
    entry.code = frame[wire::kCodeOffset];
    entry.param1 = frame[wire::kParam1Offset];
    entry.param2 = frame[wire::kParam2Offset];
    return entry;
}

// hidraw hands every input report to every reader of the device.
void queueReports(SimState &s, RuntimeAdapter &adapter, const std::vector<wire::Report> &reports,
                  Clock::time_point readyAt, bool restartAfter)
{
    for (hid_device *handle : s.handles) {
        if (handle->adapter.get() != &adapter || !handle->alive())
            continue;
        for (size_t i = 0; i < reports.size(); ++i) {
            if (handle->input.size() >= kInputQueueLimit)
                break;
            const bool last = i + 1 == reports.size();
            handle->input.push_back(QueuedReport{reports[i], readyAt, restartAfter && last});
        }
    }
    s.changed.notify_all();
}

void receiveFirst(SimState &s, RuntimeAdapter &adapter, const uint8_t *payload)
{
    if (adapter.firstPartHeld)
        recordViolation(s, adapter.serial() + ": a first report came while the previous request still waited for its second report");
    std::copy_n(payload + wire::kPartOffset, wire::kFirstPartSize, adapter.firstPart.begin());
    adapter.firstPartHeld = true;

    const uint8_t *frame = adapter.firstPart.data();
    const std::optional<FaultRule> fault = adapter.faults.take(FaultInjector::Phase::FirstReport, frame[wire::kCodeOffset],
                                                               frame[wire::kParam1Offset], frame[wire::kParam2Offset]);
    if (!fault)
        return;
    TrafficEntry entry = entryFor(s, frame);
    entry.data.assign(frame + wire::kDataOffset, frame + wire::kFirstPartSize);
    entry.outcome = TrafficEntry::Faulted;
    entry.fault = fault->kind;
    log(s, adapter, std::move(entry));
    const auto backAt = fault->replugMs > 0
        ? std::optional<Clock::time_point>(Clock::now() + std::chrono::milliseconds(fault->replugMs))
        : std::nullopt;
    unplug(s, adapter, backAt);
}

void receiveSecond(SimState &s, RuntimeAdapter &adapter, const uint8_t *payload)
{
    if (!adapter.firstPartHeld) {
        recordViolation(s, adapter.serial() + ": a second report came without a first report");
        return;
    }
    adapter.firstPartHeld = false;
    wire::Frame request{};
    std::copy(adapter.firstPart.begin(), adapter.firstPart.end(), request.begin());
    std::copy_n(payload + wire::kPartOffset, wire::kSecondPartSize, request.begin() + wire::kFirstPartSize);
    if (const std::string why = wire::checkRequestFrame(request); !why.empty()) {
        recordViolation(s, adapter.serial() + ": " + why);
        return;
    }

    TrafficEntry entry = entryFor(s, request.data());
    entry.data.assign(request.begin() + wire::kDataOffset, request.begin() + wire::kDataOffset + wire::kDataSize);
    const std::optional<FaultRule> fault = adapter.faults.take(FaultInjector::Phase::Request, entry.code, entry.param1, entry.param2);
    if (fault) {
        entry.outcome = TrafficEntry::Faulted;
        entry.fault = fault->kind;
    }
    const Clock::time_point now = Clock::now();

    // A refused request is not carried out.
    if (fault && fault->kind == FaultKind::ErrorReport) {
        queueReports(s, adapter, {wire::errorReport(request)}, now, false);
        log(s, adapter, std::move(entry));
        return;
    }
    const Answer answer = fault && fault->kind == FaultKind::Refuse ? refusal(adapter.state, request, "refused by a fault rule")
                                                                    : handleRequest(adapter.state, request);
    entry.note = answer.note;
    if (answer.kind == Answer::ErrorReport) {
        entry.outcome = fault ? TrafficEntry::Faulted : TrafficEntry::ErrorReport;
        queueReports(s, adapter, {wire::errorReport(request)}, now, false);
        log(s, adapter, std::move(entry));
        return;
    }
    if (!fault && answer.kind == Answer::Refused)
        entry.outcome = TrafficEntry::Refused;

    const Delivery delivery = deliverReply(answer.reply, fault);
    const Clock::time_point readyAt = now + std::chrono::milliseconds(delivery.delayMs);
    if (!delivery.reports.empty())
        entry.reply.assign(delivery.sent.begin(), delivery.sent.end());
    queueReports(s, adapter, delivery.reports, readyAt, answer.restart);
    if (fault && fault->kind == FaultKind::Babble && !delivery.reports.empty())
        adapter.babble = delivery.reports.front();
    if (answer.restart)
        adapter.restartAt = readyAt + std::chrono::milliseconds(kRestartGraceMs);
    log(s, adapter, std::move(entry));
}
} // namespace

void logTraffic(const SimState &s, RuntimeAdapter &adapter, TrafficEntry entry)
{
    log(s, adapter, std::move(entry));
}

void queueInputReports(SimState &s, RuntimeAdapter &adapter, const std::vector<wire::Report> &reports,
                       Clock::time_point readyAt, bool restartAfter)
{
    queueReports(s, adapter, reports, readyAt, restartAfter);
}

void receiveReport(SimState &s, RuntimeAdapter &adapter, const uint8_t *data, size_t length)
{
    if (isUpgradeReport(data, length)) {
        receiveUpgradeReport(s, adapter, data, length);
        return;
    }
    // The boot loader does not speak the adapter protocol.
    if (adapter.state.boot.running)
        return;
    const wire::OutputReport report = wire::checkOutputReport(data, length);
    if (!report.error.empty()) {
        // Whatever half a request was waiting for is lost with it.
        adapter.firstPartHeld = false;
        recordViolation(s, adapter.serial() + ": " + report.error);
        return;
    }
    const uint8_t *payload = data + 1;
    if (report.part == wire::OutputReport::First)
        receiveFirst(s, adapter, payload);
    else
        receiveSecond(s, adapter, payload);
}

} // namespace tbsim::detail
