#include "FaultInjector.h"

#include <cstring>

namespace tbsim {

namespace {
struct KindName {
    FaultKind kind;
    const char *name;
};
const KindName kKindNames[] = {
    {FaultKind::NotReady, "notReady"},
    {FaultKind::NoReply, "noReply"},
    {FaultKind::ErrorReport, "errorReport"},
    {FaultKind::BadChecksum, "badChecksum"},
    {FaultKind::WrongCommand, "wrongCommand"},
    {FaultKind::SlowReply, "slowReply"},
    {FaultKind::UnplugMidway, "unplugMidway"},
    {FaultKind::TruncatedReply, "truncatedReply"},
    {FaultKind::Refuse, "refuse"},
    {FaultKind::Babble, "babble"},
};

bool matches(const FaultRule &rule, uint8_t code, uint8_t param1, uint8_t param2)
{
    return (rule.code < 0 || rule.code == code) && (rule.param1 < 0 || rule.param1 == param1)
        && (rule.param2 < 0 || rule.param2 == param2);
}

FaultInjector::Phase phaseOf(FaultKind kind)
{
    return kind == FaultKind::UnplugMidway ? FaultInjector::Phase::FirstReport : FaultInjector::Phase::Request;
}
} // namespace

const char *faultKindName(FaultKind kind)
{
    for (const KindName &entry : kKindNames) {
        if (entry.kind == kind)
            return entry.name;
    }
    return "?";
}

std::optional<FaultKind> faultKindFromName(const std::string &name)
{
    for (const KindName &entry : kKindNames) {
        if (name == entry.name)
            return entry.kind;
    }
    return std::nullopt;
}

void FaultInjector::add(const FaultRule &rule)
{
    m_rules.push_back(Active{rule, 0, 0});
}

void FaultInjector::clear()
{
    m_rules.clear();
}

std::optional<FaultRule> FaultInjector::take(Phase phase, uint8_t code, uint8_t param1, uint8_t param2)
{
    std::optional<FaultRule> fired;
    for (Active &active : m_rules) {
        if (phaseOf(active.rule.kind) != phase || !matches(active.rule, code, param1, param2))
            continue;
        ++active.seen;
        const bool due = active.seen > active.rule.skip
            && (active.rule.count < 0 || active.applied < active.rule.count);
        if (due && !fired) {
            ++active.applied;
            fired = active.rule;
        }
    }
    return fired;
}

Delivery deliverReply(const wire::Frame &reply, const std::optional<FaultRule> &fault)
{
    Delivery delivery;
    delivery.sent = reply;
    wire::Frame &frame = delivery.sent;
    bool truncated = false;
    if (fault) {
        switch (fault->kind) {
        case FaultKind::NotReady:
            frame[wire::kCodeOffset] &= 0x0F;
            wire::seal(frame);
            break;
        case FaultKind::BadChecksum:
            frame[wire::kChecksumOffset] ^= 0xFF;
            break;
        case FaultKind::WrongCommand:
            frame[wire::kCodeOffset] = uint8_t((frame[wire::kCodeOffset] & 0xF0) | ((frame[wire::kCodeOffset] + 1) & 0x0F));
            wire::seal(frame);
            break;
        case FaultKind::SlowReply:
            delivery.delayMs = fault->delayMs;
            break;
        case FaultKind::NoReply:
            return delivery;
        case FaultKind::TruncatedReply:
            truncated = true;
            break;
        case FaultKind::Babble:
            break; // the reply goes out as it is; the reports after it are the fault
        case FaultKind::ErrorReport:
        case FaultKind::UnplugMidway:
        case FaultKind::Refuse:
            break; // these never get as far as a reply, or built their own
        }
    }
    delivery.reports.push_back(wire::firstReplyReport(frame));
    if (!truncated)
        delivery.reports.push_back(wire::secondReplyReport(frame));
    return delivery;
}

} // namespace tbsim
