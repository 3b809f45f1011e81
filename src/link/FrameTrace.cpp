#include "FrameTrace.h"

#include <QDateTime>

#include <algorithm>
#include <chrono>

using namespace tarnbus::trace;

qint64 FrameTrace::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void FrameTrace::setOn(bool on)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (on && m_ring.empty()) {
        m_ring.resize(kCapacity);
        m_clock = {nowNs(), QDateTime::currentMSecsSinceEpoch() * 1000};
    }
    m_on.store(on, std::memory_order_relaxed);
}

void FrameTrace::clear()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_head = 0;
    m_count = 0;
    m_decoder = Decoder();
    m_clock = {nowNs(), QDateTime::currentMSecsSinceEpoch() * 1000};
}

quint64 FrameTrace::record(Direction direction, Channel channel, const quint8 *bytes, int size)
{
    if (!isOn())
        return 0;
    const qint64 time = nowNs();
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_ring.empty())
        return 0;
    Entry &entry = m_ring[m_head];
    entry.sequence = m_nextSequence++;
    entry.timeNs = time;
    entry.direction = direction;
    entry.channel = channel;
    entry.size = quint8(std::clamp(size, 0, kReportBytes));
    std::copy_n(bytes, entry.size, entry.bytes.begin());
    std::fill(entry.bytes.begin() + entry.size, entry.bytes.end(), quint8(0));
    entry.meaning = m_decoder.decode(direction, channel, bytes, entry.size);
    m_head = (m_head + 1) % m_ring.size();
    m_count = std::min(m_count + 1, m_ring.size());
    return entry.sequence;
}

void FrameTrace::finish(quint64 first, int result)
{
    if (first == 0)
        return;
    std::lock_guard<std::mutex> guard(m_mutex);
    // Walk back from the newest entry to the exchange's first one.
    for (size_t i = 0; i < m_count; ++i) {
        Entry &entry = m_ring[(m_head + m_ring.size() - 1 - i) % m_ring.size()];
        if (entry.sequence < first)
            break;
        if (entry.meaning.result == kNoResult)
            entry.meaning.result = result;
    }
}

quint64 FrameTrace::nextSequence() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_nextSequence;
}

QVector<Entry> FrameTrace::entries() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    QVector<Entry> out;
    out.reserve(int(m_count));
    const size_t oldest = (m_head + m_ring.size() - m_count) % std::max<size_t>(m_ring.size(), 1);
    for (size_t i = 0; i < m_count; ++i)
        out.append(m_ring[(oldest + i) % m_ring.size()]);
    return out;
}

FrameTrace::Clock FrameTrace::clock() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_clock;
}

int FrameTrace::size() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return int(m_count);
}
