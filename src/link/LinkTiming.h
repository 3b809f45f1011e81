#pragma once

namespace tarnbus {

// Every wait of the adapter protocol, in milliseconds. The defaults are the
// values the adapter firmware is built for; the program never changes them.
// Tests and benchmarks may install shorter ones before opening a device.
struct LinkTiming {
    // Link transaction: fixed delays around the two reports each way.
    int beforeRequestMs = 80;
    int betweenRequestReportsMs = 50;
    int beforeReplyMs = 50;
    int betweenReplyReportsMs = 50;

    // Watching for an unplugged adapter to come back.
    int replugCheckPeriodMs = 1000;
    int replugSettleMs = 10000;

    // Reply time-outs (applied to each report read).
    int replyTimeoutMs = 5010;
    int connectTimeoutMs = 10000;

    // Adapter cycles.
    int pollPeriodMs = 3000;
    int processDataPeriodMs = 100;
    int settingsRestartMs = 6000;

    // Probing the adapters found on USB (the adapter chooser): reply
    // time-out of each probe request and the pause between the two.
    int probeTimeoutMs = 1000;
    int probePauseMs = 50;

    // Firmware upgrade, talking to the adapter's boot loader.
    struct Upgrade {
        // Transfer: the pause before every exchange's write, and the reply
        // time-out.
        int exchangeDelayMs = 50;
        int replyTimeoutMs = 500;
        // After the restart command, before the device is looked for again.
        int restartWaitMs = 5000;
        // Then how long it may take to be back on USB and answer its
        // information request, which must give the file's version for the
        // upgrade to count as complete; and the pause between two looks.
        int returnWaitMs = 10000;
        int returnPollMs = 100;
        // Search: reply time-out of the information and restart requests,
        // and the pause between the two.
        int searchReplyTimeoutMs = 100;
        int searchDelayMs = 50;
    };
    Upgrade upgrade;

    // The waits shortened for the virtual adapter, which answers at once
    // (the boot loader's time-outs short enough for tests and long enough
    // for a loaded machine): for tests, and for the command line's
    // --fast-timing, which it accepts only together with --bus.
    static LinkTiming forVirtualAdapter();

    // Sum of the fixed delays of one transaction.
    int transactionDelayMs() const
    {
        return beforeRequestMs + betweenRequestReportsMs + beforeReplyMs + betweenReplyReportsMs;
    }
};

const LinkTiming &linkTiming();
void setLinkTiming(const LinkTiming &timing);

} // namespace tarnbus
