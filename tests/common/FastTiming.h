#pragma once

#include "LinkTiming.h"

namespace testing_support {

// The protocol's waits shortened for tests against the virtual adapter.
inline tarnbus::LinkTiming fastTiming()
{
    return tarnbus::LinkTiming::forVirtualAdapter();
}

// The firmware upgrade's waits; the link's own waits stay as they are.
inline void setUpgradeWaits(const tarnbus::LinkTiming::Upgrade &waits)
{
    tarnbus::LinkTiming timing = tarnbus::linkTiming();
    timing.upgrade = waits;
    tarnbus::setLinkTiming(timing);
}

// The virtual adapter's short upgrade waits, with another reply time-out if
// given.
inline void useShortUpgradeTiming(int replyTimeoutMs = 0)
{
    tarnbus::LinkTiming::Upgrade waits = tarnbus::LinkTiming::forVirtualAdapter().upgrade;
    if (replyTimeoutMs > 0)
        waits.replyTimeoutMs = replyTimeoutMs;
    setUpgradeWaits(waits);
}

} // namespace testing_support
