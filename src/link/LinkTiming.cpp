#include "LinkTiming.h"

namespace tarnbus {

namespace {
LinkTiming g_timing;
}

LinkTiming LinkTiming::forVirtualAdapter()
{
    LinkTiming t;
    t.beforeRequestMs = 0;
    t.betweenRequestReportsMs = 0;
    t.beforeReplyMs = 0;
    t.betweenReplyReportsMs = 0;
    t.replugCheckPeriodMs = 20;
    t.replugSettleMs = 50;
    t.replyTimeoutMs = 250;
    t.connectTimeoutMs = 250;
    t.pollPeriodMs = 150;
    t.processDataPeriodMs = 20;
    t.settingsRestartMs = 50;
    t.probeTimeoutMs = 250;
    t.probePauseMs = 0;
    t.upgrade.exchangeDelayMs = 0;
    t.upgrade.replyTimeoutMs = 150;
    t.upgrade.restartWaitMs = 10;
    // Long enough for a virtual adapter's restart of 1.5 s on a loaded machine.
    t.upgrade.returnWaitMs = 6000;
    t.upgrade.returnPollMs = 10;
    t.upgrade.searchReplyTimeoutMs = 150;
    t.upgrade.searchDelayMs = 0;
    return t;
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
