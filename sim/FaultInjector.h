#pragma once

#include "SimTypes.h"
#include "WireCodec.h"

#include <optional>
#include <vector>

namespace tbsim {

const char *faultKindName(FaultKind kind);
std::optional<FaultKind> faultKindFromName(const std::string &name);

// The fault rules of one adapter and how far each has got.
class FaultInjector
{
public:
    enum class Phase {
        FirstReport, // the request's first report has arrived (header known)
        Request,     // the whole request has arrived
    };

    void add(const FaultRule &rule);
    void clear();

    // Counts this exchange against every rule of the phase that matches it
    // and returns the first rule that fires, if any.
    std::optional<FaultRule> take(Phase phase, uint8_t code, uint8_t param1, uint8_t param2);

private:
    struct Active {
        FaultRule rule;
        int seen = 0;
        int applied = 0;
    };
    std::vector<Active> m_rules;
};

// The input reports that carry a reply, with a reply-path fault applied.
struct Delivery {
    std::vector<wire::Report> reports;
    wire::Frame sent{};   // the reply frame as it goes out (after the fault)
    int delayMs = 0;
};
Delivery deliverReply(const wire::Frame &reply, const std::optional<FaultRule> &fault);

} // namespace tbsim
