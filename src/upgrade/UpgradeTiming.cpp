#include "UpgradeTiming.h"

namespace tarnbus {

namespace {
UpgradeTiming g_timing;
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
