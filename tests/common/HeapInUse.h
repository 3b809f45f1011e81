#pragma once

// The bytes the program holds on the heap right now, in every thread: what
// AddressSanitizer's allocator has handed out and not taken back in a
// sanitizer build, glibc's arenas less their free chunks otherwise. Unlike
// the resident size, neither counts memory the allocator keeps after a free
// (ASan's quarantine, glibc's arenas), so growth seen here is memory held.
// And the resident size itself.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define TARNBUS_HEAP_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARNBUS_HEAP_FROM_ASAN 1
#endif
#endif

#ifdef TARNBUS_HEAP_FROM_ASAN
// The sanitizer runtime's own functions (GCC installs no header for the first).
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
int __lsan_do_recoverable_leak_check();
}
#else
#include <malloc.h>
#endif

namespace heapuse {

inline constexpr bool kSanitizer =
#ifdef TARNBUS_HEAP_FROM_ASAN
    true;
#else
    false;
#endif

#ifndef TARNBUS_HEAP_FROM_ASAN
namespace detail {
// The value of the attribute size="..." of the line of malloc_info's
// totals that begins with tag, or -1.
inline long long totalOf(const char *text, const char *tag)
{
    // The totals of all arenas come after the last arena's closing tag.
    const char *totals = std::strstr(text, "</heap>");
    for (const char *next = totals; next; next = std::strstr(next + 1, "</heap>"))
        totals = next;
    const char *line = totals ? std::strstr(totals, tag) : nullptr;
    const char *size = line ? std::strstr(line, "size=\"") : nullptr;
    return size ? std::strtoll(size + 6, nullptr, 10) : -1;
}
} // namespace detail
#endif

// -1 when it cannot be told.
inline long long bytesInUse()
{
#ifdef TARNBUS_HEAP_FROM_ASAN
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    char *text = nullptr;
    size_t length = 0;
    FILE *stream = open_memstream(&text, &length);
    if (!stream)
        return -1;
    const int written = malloc_info(0, stream);
    std::fclose(stream);
    long long inUse = -1;
    if (written == 0 && text) {
        const long long fast = detail::totalOf(text, "<total type=\"fast\"");
        const long long rest = detail::totalOf(text, "<total type=\"rest\"");
        const long long mapped = detail::totalOf(text, "<total type=\"mmap\"");
        const long long system = detail::totalOf(text, "<system type=\"current\"");
        if (fast >= 0 && rest >= 0 && mapped >= 0 && system >= 0)
            inUse = system - fast - rest + mapped;
    }
    std::free(text);
    return inUse;
#endif
}

// The resident memory of a process ("self" or a process id) in KiB; -1
// when it cannot be read.
inline long residentKiB(const QString &process = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// LeakSanitizer's verdict now, in a sanitizer build (true: leaks were
// reported); always false elsewhere.
inline bool leaksReported()
{
#ifdef TARNBUS_HEAP_FROM_ASAN
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

} // namespace heapuse
