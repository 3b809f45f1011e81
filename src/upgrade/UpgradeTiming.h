#pragma once

namespace tarnbus {

// Every wait of the firmware upgrade protocol, in milliseconds. The defaults
// are the values the boot loader is built for; the program never changes
// them. Tests and benchmarks may install others before an upgrade starts.
struct UpgradeTiming {
    // Transfer: the pause before every exchange's write, and the reply time-out.
    int exchangeDelayMs = 50;
    int replyTimeoutMs = 500;
    // After the restart command, before the upgrade counts as complete.
    int restartWaitMs = 5000;

    // Search: reply time-out of the information and restart requests, and
    // the pause between the two.
    int searchReplyTimeoutMs = 100;
    int searchDelayMs = 50;

    // The waits shortened for the virtual adapter's boot loader, which
    // answers at once: no pauses, time-outs short enough for tests and long
    // enough for a loaded machine. For tests, and for the command line's
    // --fast-timing, which it accepts only together with --bus.
    static UpgradeTiming forVirtualAdapter();
};

const UpgradeTiming &upgradeTiming();
void setUpgradeTiming(const UpgradeTiming &timing);

} // namespace tarnbus
