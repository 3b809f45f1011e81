#include "LinkTiming.h"

namespace tarnbus {

namespace {
LinkTiming g_timing;
}

const LinkTiming &linkTiming()
{
    return g_timing;
}

void setLinkTiming(const LinkTiming &timing)
{
    g_timing = timing;
}

} // namespace tarnbus
