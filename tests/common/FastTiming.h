#pragma once

#include "LinkTiming.h"

namespace testing_support {

// The protocol's waits shortened for tests against the virtual adapter: no
// fixed delays around the reports, short time-outs and cycles.
inline tarnbus::LinkTiming fastTiming()
{
    tarnbus::LinkTiming t;
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
    return t;
}

} // namespace testing_support
