#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <atomic>

// The health of one adapter's link, as a value: what the status panel, the
// command line and the JSON watch show.
struct LinkStatistics {
    quint64 transactions = 0;      // exchanges that went on the wire
    quint64 timeouts = 0;          // no reply report at all within the time-out
    quint64 checksumErrors = 0;    // a whole reply whose CRC does not check
    quint64 errorReports = 0;      // the adapter answered with an error report (0x1E)
    quint64 refusals = 0;          // a reply with the refusal mark
    quint64 incompleteReplies = 0; // the first reply report came, the second did not
    quint64 reconnects = 0;        // the adapter came back after the link was lost
    // Round trip of the exchanges that got a whole reply: from the request's
    // first report written to the reply's second report read, the
    // protocol's fixed pauses included. -1 while there was none.
    qint64 lastRoundTripUs = -1;
    qint64 meanRoundTripUs = -1;
    qint64 maxRoundTripUs = -1;
    quint64 roundTrips = 0;

    bool operator==(const LinkStatistics &other) const;
    bool operator!=(const LinkStatistics &other) const { return !(*this == other); }
};
Q_DECLARE_METATYPE(LinkStatistics)

// The counters behind LinkStatistics. The link transaction counts into them
// under the device's own mutex; readers (any thread) and reset take no lock:
// each counter is an atomic of its own, so a reader may see one exchange
// counted in one counter and not yet in another, never a torn value.
class LinkCounters
{
public:
    // How one exchange ended, as far as the counters tell outcomes apart.
    enum class Outcome {
        Answered,      // a whole reply, accepted
        Refused,       // a whole reply with the refusal mark
        TimedOut,      // no reply report
        ChecksumError, // a whole reply whose checksum does not check
        ErrorReport,   // an error report instead of a reply
        Incomplete,    // one reply report of two
        Other,         // the request could not be sent, the link was lost, a reply to another command
    };

    // roundTripUs: the exchange's round trip when a whole reply came, else -1.
    void countTransaction(Outcome outcome, qint64 roundTripUs);
    void countReconnect();
    void reset();
    LinkStatistics statistics() const;

private:
    static void add(std::atomic<quint64> &counter) { counter.fetch_add(1, std::memory_order_relaxed); }

    std::atomic<quint64> m_transactions{0};
    std::atomic<quint64> m_timeouts{0};
    std::atomic<quint64> m_checksumErrors{0};
    std::atomic<quint64> m_errorReports{0};
    std::atomic<quint64> m_refusals{0};
    std::atomic<quint64> m_incompleteReplies{0};
    std::atomic<quint64> m_reconnects{0};
    std::atomic<qint64> m_lastRoundTripUs{-1};
    std::atomic<qint64> m_maxRoundTripUs{-1};
    std::atomic<quint64> m_roundTripSumUs{0};
    std::atomic<quint64> m_roundTrips{0};
};
