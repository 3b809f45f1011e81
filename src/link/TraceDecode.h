#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>

// What crossed the wire to an adapter, one HID report at a time, and what
// each report means. The decoding is a pure codec over the report bytes: the
// frame trace runs it as it records, the tests feed it reports directly.
namespace tarnbus::trace {

constexpr int kReportBytes = 64; // payload of one report (no report id)

enum class Direction : quint8 { Out, In };
// The adapter protocol (two reports per frame) or the firmware upgrade
// protocol (one report each way, 0x5A and a command code) on the same device.
enum class Channel : quint8 { Adapter, Upgrade };

enum class Part : quint8 {
    RequestFirst,   // 0xEC: frame offsets 0 to 61
    RequestSecond,  // 0xEE: frame offsets 62 to 71
    ReplyFirst,
    ReplySecond,
    ErrorReport,    // 0x1E instead of a reply
    UpgradeRequest,
    UpgradeReply,
    Unknown,
};

enum class Crc : quint8 { NotApplicable, Good, Bad };

// The result of an exchange with no COMM_STATUS_TYPE yet (still running, or
// an upgrade piece that is not answered).
constexpr int kNoResult = -1;

struct Meaning {
    Part part = Part::Unknown;
    // The request this report belongs to: its command code (the refusal mark
    // cleared) and parameters.
    quint8 command = 0;
    quint8 param1 = 0;
    quint8 param2 = 0;
    bool commandKnown = false;
    int station = -1;       // the slave station the report is about, -1 when none
    int result = kNoResult; // COMM_STATUS_TYPE of the exchange
    bool refused = false;   // the adapter's refusal mark, or an upgrade refusal (00 FF)
    Crc crc = Crc::NotApplicable; // the frame's checksum, on the report that closes it
};

struct Entry {
    quint64 sequence = 0;
    qint64 timeNs = 0; // monotonic clock
    Direction direction = Direction::Out;
    Channel channel = Channel::Adapter;
    quint8 size = 0;
    std::array<quint8, kReportBytes> bytes{};
    Meaning meaning;

    QByteArray report() const { return QByteArray(reinterpret_cast<const char *>(bytes.data()), size); }
};

// Keeps what is needed to decode the next report: the request under way and
// the first half of a frame.
class Decoder
{
public:
    Meaning decode(Direction direction, Channel channel, const quint8 *bytes, int size);

private:
    Meaning decodeRequest(const quint8 *bytes, int size);
    Meaning decodeReply(const quint8 *bytes, int size);
    Meaning decodeUpgrade(Direction direction, const quint8 *bytes, int size);
    void describeRequest(Meaning &m) const;

    std::array<quint8, 72> m_request{};
    std::array<quint8, 72> m_reply{};
    bool m_requestKnown = false;
    bool m_requestFirstHeld = false;
    bool m_replyFirstHeld = false;
};

// The command's name in the trace ("handshake", "read bus status", ...);
// "command 0xNN" for a code the tool does not send.
QString commandName(Channel channel, quint8 command, quint8 param1, quint8 param2);
// The result's word in the trace: "ok", "refused", "time-out", ...; "-" for kNoResult.
QString resultName(int result);
QString partName(Part part);

// The fields of a report, for marking its bytes: [begin, end) in report bytes.
enum class Field : quint8 { Marker, Length, Header, Command, Parameters, Data, Checksum, Padding, Arguments, Result };
struct FieldRange {
    Field field;
    int begin;
    int end;
};
QVector<FieldRange> fieldsOf(const Entry &entry);
QString fieldName(Field field);

// One line of the text export: time since start in seconds, direction,
// channel and part, the command and its parameters, station, result,
// refusal and checksum.
QString textLine(const Entry &entry, qint64 startNs);

} // namespace tarnbus::trace
