#include "HeapTrimmer.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

HeapTrimmer::HeapTrimmer(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, [] { trimNow(); });
    m_timer.start();
}

bool HeapTrimmer::trimNow()
{
#if defined(__GLIBC__)
    // Every arena, and the free pages within them, not only their tops.
    return malloc_trim(0) != 0;
#else
    return false;
#endif
}
