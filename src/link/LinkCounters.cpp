#include "LinkCounters.h"

bool LinkStatistics::operator==(const LinkStatistics &other) const
{
    return transactions == other.transactions && timeouts == other.timeouts && checksumErrors == other.checksumErrors
        && errorReports == other.errorReports && refusals == other.refusals && incompleteReplies == other.incompleteReplies
        && reconnects == other.reconnects && lastRoundTripUs == other.lastRoundTripUs
        && meanRoundTripUs == other.meanRoundTripUs && maxRoundTripUs == other.maxRoundTripUs && roundTrips == other.roundTrips;
}

void LinkCounters::countTransaction(Outcome outcome, qint64 roundTripUs)
{
    add(m_transactions);
    switch (outcome) {
    case Outcome::Answered:
    case Outcome::Other:
        break;
    case Outcome::Refused:
        add(m_refusals);
        break;
    case Outcome::TimedOut:
        add(m_timeouts);
        break;
    case Outcome::ChecksumError:
        add(m_checksumErrors);
        break;
    case Outcome::ErrorReport:
        add(m_errorReports);
        break;
    case Outcome::Incomplete:
        add(m_incompleteReplies);
        break;
    }
    if (roundTripUs < 0)
        return;
    m_lastRoundTripUs.store(roundTripUs, std::memory_order_relaxed);
    // One writer at a time (the device's mutex); a reset meanwhile only
    // makes the next maximum start from this exchange.
    if (roundTripUs > m_maxRoundTripUs.load(std::memory_order_relaxed))
        m_maxRoundTripUs.store(roundTripUs, std::memory_order_relaxed);
    m_roundTripSumUs.fetch_add(quint64(roundTripUs), std::memory_order_relaxed);
    add(m_roundTrips);
}

void LinkCounters::countReconnect()
{
    add(m_reconnects);
}

void LinkCounters::reset()
{
    for (std::atomic<quint64> *counter : {&m_transactions, &m_timeouts, &m_checksumErrors, &m_errorReports, &m_refusals,
                                          &m_incompleteReplies, &m_reconnects, &m_roundTripSumUs, &m_roundTrips})
        counter->store(0, std::memory_order_relaxed);
    m_lastRoundTripUs.store(-1, std::memory_order_relaxed);
    m_maxRoundTripUs.store(-1, std::memory_order_relaxed);
}

LinkStatistics LinkCounters::statistics() const
{
    LinkStatistics s;
    s.transactions = m_transactions.load(std::memory_order_relaxed);
    s.timeouts = m_timeouts.load(std::memory_order_relaxed);
    s.checksumErrors = m_checksumErrors.load(std::memory_order_relaxed);
    s.errorReports = m_errorReports.load(std::memory_order_relaxed);
    s.refusals = m_refusals.load(std::memory_order_relaxed);
    s.incompleteReplies = m_incompleteReplies.load(std::memory_order_relaxed);
    s.reconnects = m_reconnects.load(std::memory_order_relaxed);
    s.lastRoundTripUs = m_lastRoundTripUs.load(std::memory_order_relaxed);
    s.maxRoundTripUs = m_maxRoundTripUs.load(std::memory_order_relaxed);
    s.roundTrips = m_roundTrips.load(std::memory_order_relaxed);
    const quint64 sum = m_roundTripSumUs.load(std::memory_order_relaxed);
    s.meanRoundTripUs = s.roundTrips > 0 ? qint64(sum / s.roundTrips) : -1;
    return s;
}
