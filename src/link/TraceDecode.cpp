#include "TraceDecode.h"

#include "CommStatus.h"
#include "UsbGlobal.h"

#include <algorithm>

namespace tarnbus::trace {

namespace {

constexpr quint8 kFirstMarker = 0xEC;
constexpr quint8 kSecondMarker = 0xEE;
constexpr quint8 kErrorMarker = 0x1E;
constexpr quint8 kUpgradeMarker = 0x5A;
constexpr int kFirstPart = 62;  // frame bytes in the first report
constexpr int kSecondPart = 10; // frame bytes in the second report
constexpr int kFrameSize = 72;
constexpr int kPayloadOffset = 2; // marker and length come first
constexpr quint8 kRefusedMark = 0x80;
constexpr int kCommandOffset = 3;

// Commands that name a station, and where.
constexpr quint8 kBusInfo = 0x25;
constexpr quint8 kSlaveInfoParam2 = 0x02;
constexpr quint8 kConfiguration = 0x46;
constexpr quint8 kProcessData = 0x49;
constexpr int kReplyStationOffset = 4;      // 0x25 st 02 repeats the station
constexpr int kProcessStationOffset = 2;    // 0x49: the station whose inputs come back
constexpr int kRecordStationOffset = 6;     // 0x46 01 00 and 0x46 00 02: the record's first byte

// Upgrade replies: bytes 2 and 3 say success or refusal.
constexpr int kUpgradeResultOffset = 2;

void copyPart(std::array<quint8, kFrameSize> &frame, int offset, const quint8 *bytes, int size, int count)
{
    const int available = std::clamp(size - kPayloadOffset, 0, count);
    std::fill(frame.begin() + offset, frame.begin() + offset + count, quint8(0));
    std::copy_n(bytes + kPayloadOffset, available, frame.begin() + offset);
}

Crc checkFrame(const std::array<quint8, kFrameSize> &frame)
{
    const QByteArray bytes(reinterpret_cast<const char *>(frame.data()), kFrameSize);
    return UsbGlobal::hasValidFrameChecksum(bytes) ? Crc::Good : Crc::Bad;
}

QString hexByte(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

Meaning Decoder::decode(Direction direction, Channel channel, const quint8 *bytes, int size)
{
    if (size <= 0)
        return {};
    if (channel == Channel::Upgrade)
        return decodeUpgrade(direction, bytes, size);
    return direction == Direction::Out ? decodeRequest(bytes, size) : decodeReply(bytes, size);
}

void Decoder::describeRequest(Meaning &m) const
{
    if (!m_requestKnown)
        return;
    m.commandKnown = true;
    m.command = m_request[kCommandOffset];
    m.param1 = m_request[4];
    m.param2 = m_request[5];
    if (m.command == kBusInfo && m.param2 == kSlaveInfoParam2)
        m.station = m.param1;
    else if (m.command == kConfiguration && ((m.param1 == 0x01 && m.param2 == 0x00) || (m.param1 == 0x00 && m.param2 == 0x02)))
        m.station = m_request[kRecordStationOffset];
}

Meaning Decoder::decodeRequest(const quint8 *bytes, int size)
{
    Meaning m;
    if (bytes[0] == kFirstMarker) {
        copyPart(m_request, 0, bytes, size, kFirstPart);
        m_requestKnown = true;
        m_requestFirstHeld = true;
        m_replyFirstHeld = false;
        m.part = Part::RequestFirst;
        describeRequest(m);
    } else if (bytes[0] == kSecondMarker) {
        m.part = Part::RequestSecond;
        describeRequest(m);
        if (m_requestFirstHeld) {
            copyPart(m_request, kFirstPart, bytes, size, kSecondPart);
            m.crc = checkFrame(m_request);
            // The station of a record lies in the first half, already read.
        }
        m_requestFirstHeld = false;
    }
    return m;
}

Meaning Decoder::decodeReply(const quint8 *bytes, int size)
{
    Meaning m;
    describeRequest(m);
    if (!m_replyFirstHeld && bytes[0] == kErrorMarker) {
        m.part = Part::ErrorReport;
        m.result = COMM_REPLY_ERROR;
        return m;
    }
    if (!m_replyFirstHeld) {
        copyPart(m_reply, 0, bytes, size, kFirstPart);
        m_replyFirstHeld = true;
        m.part = Part::ReplyFirst;
    } else {
        copyPart(m_reply, kFirstPart, bytes, size, kSecondPart);
        m_replyFirstHeld = false;
        m.part = Part::ReplySecond;
        m.crc = checkFrame(m_reply);
    }
    const quint8 code = m_reply[kCommandOffset];
    m.refused = (code & kRefusedMark) != 0;
    if (!m.commandKnown) {
        m.commandKnown = true;
        m.command = quint8(code & ~kRefusedMark);
    }
    if (m.command == kBusInfo && m.param2 == kSlaveInfoParam2)
        m.station = m_reply[kReplyStationOffset];
    else if (m.command == kProcessData)
        m.station = m_reply[kProcessStationOffset];
    return m;
}

Meaning Decoder::decodeUpgrade(Direction direction, const quint8 *bytes, int size)
{
    Meaning m;
    m.part = direction == Direction::Out ? Part::UpgradeRequest : Part::UpgradeReply;
    if (bytes[0] != kUpgradeMarker || size < 2)
        return m;
    m.commandKnown = true;
    m.command = bytes[1];
    if (direction == Direction::In && size > kUpgradeResultOffset + 1) {
        const quint8 first = bytes[kUpgradeResultOffset];
        const quint8 second = bytes[kUpgradeResultOffset + 1];
        if (first == 0x00 && second == 0xFF) {
            m.refused = true;
            m.result = COMM_REFUSED;
        } else if (first == 0xFF && second == 0x00) {
            m.result = COMM_OK;
        }
    }
    return m;
}

QString commandName(Channel channel, quint8 command, quint8 param1, quint8 param2)
{
    if (channel == Channel::Upgrade) {
        switch (command) {
        case 0xB0: return QStringLiteral("device information");
        case 0xA0: return QStringLiteral("enter upgrade mode");
        case 0xA7: return QStringLiteral("start burning");
        case 0xA1: return QStringLiteral("begin transfer");
        case 0xA2: return QStringLiteral("announce block");
        case 0xA3: return QStringLiteral("block data");
        case 0xA4: return QStringLiteral("finish, first step");
        case 0xA5: return QStringLiteral("finish, second step");
        case 0xA6: return QStringLiteral("restart");
        default: return QStringLiteral("upgrade command 0x%1").arg(hexByte(command));
        }
    }
    switch (command) {
    case 0x20: return QStringLiteral("read identity");
    case 0x21: return QStringLiteral("read power");
    case 0x22: return QStringLiteral("read settings");
    case 0x23: return QStringLiteral("leave force mode");
    case 0x25: return param2 == 0x80 ? QStringLiteral("read bus status") : QStringLiteral("read slave info");
    case 0x27: return param1 == 0x10 ? QStringLiteral("slave lamp") : QStringLiteral("read identity report");
    case 0x42: return param1 == 0xAA && param2 == 0x55 ? QStringLiteral("apply settings") : QStringLiteral("write settings");
    case 0x46:
        if (param1 == 0x34 && param2 == 0x12)
            return QStringLiteral("store configuration");
        return param2 == 0x02 ? QStringLiteral("download configuration") : QStringLiteral("write slave configuration");
    case 0x47: return param1 == 0xAA && param2 == 0x55 ? QStringLiteral("request identity report") : QStringLiteral("write stations");
    case 0x48: return param1 == 0x05 ? QStringLiteral("enter force mode") : QStringLiteral("handshake");
    case 0x49: return QStringLiteral("process data");
    default: return QStringLiteral("command 0x%1").arg(hexByte(command));
    }
}

QString resultName(int result)
{
    switch (result) {
    case kNoResult: return QStringLiteral("-");
    case COMM_OK: return QStringLiteral("ok");
    case COMM_REFUSED: return QStringLiteral("refused");
    case COMM_TIMEOUT: return QStringLiteral("time-out");
    case COMM_CRC_ERROR: return QStringLiteral("checksum error");
    case COMM_REPLY_ERROR: return QStringLiteral("error report");
    case COMM_CHECK_ERROR: return QStringLiteral("wrong reply");
    case COMM_NOT_CONNECTED: return QStringLiteral("not connected");
    case COMM_BUSY: return QStringLiteral("busy");
    case COMM_NO_DATA: return QStringLiteral("no data");
    default: return QStringLiteral("result %1").arg(result);
    }
}

QString partName(Part part)
{
    switch (part) {
    case Part::RequestFirst: return QStringLiteral("request 1/2");
    case Part::RequestSecond: return QStringLiteral("request 2/2");
    case Part::ReplyFirst: return QStringLiteral("reply 1/2");
    case Part::ReplySecond: return QStringLiteral("reply 2/2");
    case Part::ErrorReport: return QStringLiteral("error report");
    case Part::UpgradeRequest: return QStringLiteral("upgrade request");
    case Part::UpgradeReply: return QStringLiteral("upgrade reply");
    case Part::Unknown: break;
    }
    return QStringLiteral("report");
}

QVector<FieldRange> fieldsOf(const Entry &entry)
{
    const int size = entry.size;
    QVector<FieldRange> fields;
    const auto add = [&](Field field, int begin, int end) {
        end = std::min(end, size);
        if (begin < end)
            fields.append({field, begin, end});
    };
    switch (entry.meaning.part) {
    case Part::RequestFirst:
    case Part::ReplyFirst:
        add(Field::Marker, 0, 1);
        add(Field::Length, 1, 2);
        add(Field::Header, 2, 2 + kCommandOffset);
        add(Field::Command, 2 + kCommandOffset, 2 + kCommandOffset + 1);
        add(Field::Parameters, 2 + 4, 2 + 6);
        add(Field::Data, 2 + 6, 2 + kFirstPart);
        break;
    case Part::RequestSecond:
    case Part::ReplySecond:
        add(Field::Marker, 0, 1);
        add(Field::Length, 1, 2);
        add(Field::Data, 2, 2 + 8);
        add(Field::Checksum, 2 + 8, 2 + kSecondPart);
        add(Field::Padding, 2 + kSecondPart, size);
        break;
    case Part::ErrorReport:
        add(Field::Marker, 0, 1);
        add(Field::Data, 1, size);
        break;
    case Part::UpgradeRequest:
        add(Field::Marker, 0, 1);
        add(Field::Command, 1, 2);
        add(Field::Arguments, 2, size);
        break;
    case Part::UpgradeReply:
        add(Field::Marker, 0, 1);
        add(Field::Command, 1, 2);
        add(Field::Result, 2, 4);
        add(Field::Data, 4, size);
        break;
    case Part::Unknown:
        add(Field::Data, 0, size);
        break;
    }
    return fields;
}

QString fieldName(Field field)
{
    switch (field) {
    case Field::Marker: return QStringLiteral("marker");
    case Field::Length: return QStringLiteral("length");
    case Field::Header: return QStringLiteral("header");
    case Field::Command: return QStringLiteral("command");
    case Field::Parameters: return QStringLiteral("parameters");
    case Field::Data: return QStringLiteral("data");
    case Field::Checksum: return QStringLiteral("CRC");
    case Field::Padding: return QStringLiteral("padding");
    case Field::Arguments: return QStringLiteral("arguments");
    case Field::Result: return QStringLiteral("result");
    }
    return QString();
}

QString textLine(const Entry &entry, qint64 startNs)
{
    const Meaning &m = entry.meaning;
    QStringList fields;
    fields << QString::number(double(entry.timeNs - startNs) / 1e9, 'f', 6)
           << (entry.direction == Direction::Out ? QStringLiteral("out") : QStringLiteral("in "))
           << partName(m.part);
    if (m.commandKnown) {
        fields << (entry.channel == Channel::Upgrade ? hexByte(m.command)
                                                     : QStringLiteral("%1 %2 %3").arg(hexByte(m.command), hexByte(m.param1), hexByte(m.param2)))
               << commandName(entry.channel, m.command, m.param1, m.param2);
    } else {
        fields << QStringLiteral("-") << QStringLiteral("-");
    }
    fields << (m.station >= 0 ? QStringLiteral("station %1").arg(m.station) : QStringLiteral("station -"))
           << QStringLiteral("result %1").arg(resultName(m.result));
    if (m.refused)
        fields << QStringLiteral("refused");
    if (m.crc == Crc::Good)
        fields << QStringLiteral("crc ok");
    else if (m.crc == Crc::Bad)
        fields << QStringLiteral("crc bad");
    return fields.join(QLatin1String(" | "));
}

} // namespace tarnbus::trace
