#pragma once

#include "TraceDecode.h"

#include <QVector>

#include <atomic>
#include <mutex>
#include <vector>

// The frame trace of one adapter: the last kCapacity reports written to it
// and read from it, each with a monotonic time stamp, its direction and its
// decoded meaning. Adapter and upgrade reports alike.
//
// Off by default; while off, recording is one relaxed atomic load and
// nothing else. While on, a report is copied into a preallocated ring under
// the trace's own mutex (never the device's), so that the window, the command
// line and the upgrade channel may read and write it from their threads.
class FrameTrace
{
public:
    static constexpr int kCapacity = 10000;

    bool isOn() const { return m_on.load(std::memory_order_relaxed); }
    void setOn(bool on);
    void clear();

    // Records one report; returns its sequence number (0 when off).
    quint64 record(tarnbus::trace::Direction direction, tarnbus::trace::Channel channel, const quint8 *bytes, int size);
    // The exchange that began with sequence number `first` ended with
    // `result`: every entry of it without a result of its own gets this one.
    void finish(quint64 first, int result);
    // The sequence number the next report will get.
    quint64 nextSequence() const;

    // The entries, oldest first, and where the clock started (the time
    // stamps of a text export count from there).
    QVector<tarnbus::trace::Entry> entries() const;
    struct Clock {
        qint64 steadyNs = 0; // monotonic time ...
        qint64 wallUs = 0;   // ... and the wall-clock time it stood for (µs since 1970), for captures
    };
    Clock clock() const;
    int size() const;

    static qint64 nowNs();

private:
    std::atomic<bool> m_on{false};
    mutable std::mutex m_mutex;
    std::vector<tarnbus::trace::Entry> m_ring; // allocated when first switched on
    size_t m_head = 0;                         // where the next entry goes
    size_t m_count = 0;
    quint64 m_nextSequence = 1;
    tarnbus::trace::Decoder m_decoder;
    Clock m_clock;
};
