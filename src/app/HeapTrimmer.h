#pragma once

#include <QObject>
#include <QTimer>

// Gives the memory that the C library's allocator holds free back to the
// system, once a minute while the window is open.
//
// glibc keeps what a thread frees in the arena it came from and returns to
// the system only what lies free at the top of an arena. Every Adapter takes
// a snapshot of its slaves with every cycle in its worker thread and the
// window's thread frees it; a reload of the bus, or a burst of notifications
// the window catches up with, leaves free pages scattered in both threads'
// arenas, resident from then on. Resident memory levels off at some ten to
// twenty megabytes above what is in use after a few thousand cycles;
// trimming keeps it near what is in use.
class HeapTrimmer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 60000;

    explicit HeapTrimmer(QObject *parent = nullptr);

    bool isRunning() const { return m_timer.isActive(); }
    int periodMs() const { return m_timer.interval(); }

    // Gives the free memory back now (some milliseconds); true when the
    // allocator had any to give.
    static bool trimNow();

private:
    QTimer m_timer;
};
