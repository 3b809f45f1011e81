#include "TraceExport.h"

#include "LinkDiagnostics.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <pcap/pcap.h>
#include <pcap/usb.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarnbus::trace {

namespace {

// usbmon's status of a submission still in flight (-EINPROGRESS).
constexpr int kInProgress = -EINPROGRESS;
constexpr int kSnapLength = 65535;
// usbmon's data flags: data present, or why not.
constexpr char kDataPresent = 0;
constexpr char kNoDataIn = '<';  // an IN submission carries no data yet
constexpr char kNoDataOut = '>'; // an OUT completion carries none any more
constexpr char kNoSetup = '-';
constexpr int kIntervalMs = 1;

struct Event {
    qint64 wallUs;
    int device;         // 1-based index of the capture
    const Entry *entry;
};

qint64 wallTimeUs(const Capture &capture, const Entry &entry)
{
    return capture.clock.wallUs + (entry.timeNs - capture.clock.steadyNs) / 1000;
}

void writeRecord(pcap_dumper_t *dumper, quint64 urbId, char eventType, const Event &event, bool withData)
{
    const Entry &entry = *event.entry;
    const bool in = entry.direction == Direction::In;
    pcap_usb_header_mmapped header;
    std::memset(&header, 0, sizeof header);
    header.id = urbId;
    header.event_type = quint8(eventType);
    header.transfer_type = URB_INTERRUPT;
    header.endpoint_number = in ? kInEndpoint : kOutEndpoint;
    header.device_address = quint8(event.device);
    header.bus_id = kCaptureBus;
    header.setup_flag = kNoSetup;
    header.data_flag = withData ? kDataPresent : (in ? kNoDataIn : kNoDataOut);
    header.ts_sec = event.wallUs / 1000000;
    header.ts_usec = int32_t(event.wallUs % 1000000);
    header.status = eventType == URB_SUBMIT ? kInProgress : 0;
    header.urb_len = in && eventType == URB_SUBMIT ? uint32_t(kReportBytes) : entry.size;
    header.data_len = withData ? entry.size : 0;
    header.interval = kIntervalMs;

    unsigned char packet[sizeof header + kReportBytes];
    std::memcpy(packet, &header, sizeof header);
    std::memcpy(packet + sizeof header, entry.bytes.data(), header.data_len);
    pcap_pkthdr record;
    std::memset(&record, 0, sizeof record);
    record.ts.tv_sec = header.ts_sec;
    record.ts.tv_usec = header.ts_usec;
    record.caplen = record.len = bpf_u_int32(sizeof header + header.data_len);
    pcap_dump(reinterpret_cast<u_char *>(dumper), &record, packet);
}

QString partPath(const QString &path)
{
    return path + QStringLiteral(".part");
}

// rename(2) replaces the target in one step: a reader never sees half a file.
QString moveInPlace(const QString &part, const QString &path)
{
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(part);
        return QStringLiteral("cannot write %1").arg(path);
    }
    return QString();
}

} // namespace

Capture captureOf(const LinkDiagnostics &diagnostics)
{
    return {diagnostics.serial(), diagnostics.trace().entries(), diagnostics.trace().clock()};
}

FileKind fileKindOf(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("pcap"), Qt::CaseInsensitive) == 0 ? FileKind::Pcap : FileKind::Text;
}

QString writeText(const QString &path, const QList<Capture> &captures)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    QTextStream out(&file);
    out.setCodec("UTF-8");
    for (const Capture &capture : captures) {
        out << "# TarnBUS frame trace, adapter " << capture.serial << ", started "
            << QDateTime::fromMSecsSinceEpoch(capture.clock.wallUs / 1000).toString(Qt::ISODateWithMs) << ", "
            << capture.entries.size() << " reports\n"
            << "# seconds | direction | report | command | name | station | result | refused | crc\n";
        for (const Entry &entry : capture.entries)
            out << textLine(entry, capture.clock.steadyNs) << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return QString();
}

QString writePcap(const QString &path, const QList<Capture> &captures)
{
    pcap_t *dead = pcap_open_dead_with_tstamp_precision(DLT_USB_LINUX_MMAPPED, kSnapLength, PCAP_TSTAMP_PRECISION_MICRO);
    if (!dead)
        return QStringLiteral("cannot start a capture file");
    const QString part = partPath(path);
    pcap_dumper_t *dumper = pcap_dump_open(dead, QFile::encodeName(part).constData());
    if (!dumper) {
        const QString error = QString::fromLocal8Bit(pcap_geterr(dead));
        pcap_close(dead);
        return QStringLiteral("cannot write %1: %2").arg(path, error);
    }
    // One time line for every adapter of the file.
    QVector<Event> events;
    for (int i = 0; i < captures.size(); ++i) {
        for (const Entry &entry : captures.at(i).entries)
            events.append({wallTimeUs(captures.at(i), entry), i + 1, &entry});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.wallUs < b.wallUs; });
    // usbmon records each transfer twice: submitted, then completed; the
    // data travel with the submission of an OUT transfer and with the
    // completion of an IN transfer.
    quint64 urbId = 0xffff880000000000ull;
    for (const Event &event : qAsConst(events)) {
        const bool in = event.entry->direction == Direction::In;
        urbId += 0x100;
        writeRecord(dumper, urbId, URB_SUBMIT, event, !in);
        writeRecord(dumper, urbId, URB_COMPLETE, event, in);
    }
    const bool flushed = pcap_dump_flush(dumper) == 0;
    pcap_dump_close(dumper);
    pcap_close(dead);
    if (!flushed) {
        QFile::remove(part);
        return QStringLiteral("cannot write %1").arg(path);
    }
    return moveInPlace(part, path);
}

QString writeTrace(const QString &path, const QList<Capture> &captures)
{
    return fileKindOf(path) == FileKind::Pcap ? writePcap(path, captures) : writeText(path, captures);
}

} // namespace tarnbus::trace
