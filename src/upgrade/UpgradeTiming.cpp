#include "UpgradeTiming.h"

namespace tarnbus {

namespace {
UpgradeTiming g_timing;
}

UpgradeTiming UpgradeTiming::forVirtualAdapter()
{
    UpgradeTiming timing;
    timing.exchangeDelayMs = 0;
    timing.replyTimeoutMs = 150;
    timing.restartWaitMs = 10;
    timing.searchReplyTimeoutMs = 150;
    timing.searchDelayMs = 0;
    return timing;
}

const UpgradeTiming &upgradeTiming()
{
    return g_timing;
}

void setUpgradeTiming(const UpgradeTiming &timing)
{
    g_timing = timing;
}

} // namespace tarnbus
