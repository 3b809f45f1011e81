#pragma once

#include "FrameTrace.h"

#include <QList>
#include <QString>

class LinkDiagnostics;

// Writing frame traces to files: a text file of one decoded line per report,
// or a capture that Wireshark and tcpdump open.
namespace tarnbus::trace {

// The trace of one adapter as it stood when taken.
struct Capture {
    QString serial;
    QVector<Entry> entries;
    FrameTrace::Clock clock;
};
Capture captureOf(const LinkDiagnostics &diagnostics);

// The capture's USB coordinates: usbmon sees the adapter's HID reports as
// interrupt transfers on these endpoints; the n-th adapter of a file is
// device n on bus 1.
constexpr quint8 kOutEndpoint = 0x01;
constexpr quint8 kInEndpoint = 0x81;
constexpr quint16 kCaptureBus = 1;

enum class FileKind { Text, Pcap };
// .pcap is a capture, everything else text.
FileKind fileKindOf(const QString &path);

// Empty on success, else why the file could not be written. The file is
// written beside and then moved over the target, never truncated in place.
QString writeText(const QString &path, const QList<Capture> &captures);
QString writePcap(const QString &path, const QList<Capture> &captures);
QString writeTrace(const QString &path, const QList<Capture> &captures);

} // namespace tarnbus::trace
