#pragma once

#include "FrameTrace.h"
#include "LinkCounters.h"

#include <QList>
#include <QString>

#include <memory>

// The link counters and the frame trace of one adapter, found by its serial
// number. Every device opened on that serial (the adapter's link, the
// offline download's, the upgrade channel's) counts and traces into the same
// object, and the window and the command line read it there. Objects live
// until the program ends, so that nobody holds a pointer to a dead one.
class LinkDiagnostics
{
public:
    explicit LinkDiagnostics(const QString &serial)
        : m_serial(serial)
    {
    }

    static std::shared_ptr<LinkDiagnostics> forSerial(const QString &serial);
    // Every adapter's, in the order they were first asked for.
    static QList<std::shared_ptr<LinkDiagnostics>> all();
    // The trace of every adapter asked for from now on starts on or off (on:
    // the command line's --trace); those that exist are switched so too.
    static void setTraceByDefault(bool on);

    const QString &serial() const { return m_serial; }
    LinkCounters &counters() { return m_counters; }
    const LinkCounters &counters() const { return m_counters; }
    FrameTrace &trace() { return m_trace; }
    const FrameTrace &trace() const { return m_trace; }

private:
    QString m_serial;
    LinkCounters m_counters;
    FrameTrace m_trace;
};
