#pragma once

#include "ByteOrder.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

// The per-module records the adapter exchanges with the tool: byte
// positions, start addresses, channel counts and the parameter block. Short
// records are tolerated everywhere: a missing byte reads as 0.
namespace RecordLayout {

constexpr int kStatusOffset = 0;
constexpr int kStationOffset = 1;
constexpr int kInputPos = 2;  // input count (bits 6..0) and address bit 0 (bit 7), then address bits 8..1
constexpr int kOutputPos = 4; // the same for outputs
constexpr int kChannelMask = 0x7F;
constexpr int kMaxAddress = 511;

constexpr int kStatusParamOffset = 16; // parameter block of a status record
constexpr int kShortParamOffset = 6;   // parameter block of a configuration record
constexpr int kParamBlockSize = 12;

constexpr int kCleanRecordSize = 64;

// The 64-byte address assignment record: the module's identity bytes, then
// the configuration record. Adapter and slave take over the short record,
// bytes 12 to 36 (stations, address words and parameter block).
constexpr int kIdentitySize = 12;
constexpr int kAddressRecordSize = 64;
constexpr int kShortRecordOffset = kIdentitySize;
constexpr int kShortRecordSize = 25;
constexpr int kRecordBytesAfterIdentity = kAddressRecordSize - kIdentitySize;

// The 64-byte configuration block of an offline download: both stations, the
// two address words, then filter level (bits 6..4) and enable (bit 0) in one
// byte and the 16-bit substitute value.
constexpr int kBlockSize = 64;
constexpr int kBlockFlagsOffset = 6;
constexpr int kBlockSubstituteOffset = 8;

using tarnbus::bytes::byteAt;
using tarnbus::bytes::wordAt;
using tarnbus::bytes::putWord;

// 9-bit start address: bit 7 of byte pos, then byte pos + 1 as bits 8..1.
int startAddress(const QByteArray &record, int pos);
// Bits 6..0 of byte pos.
int channelCount(const QByteArray &record, int pos);

// Parameter keys of the parameter block.
namespace Key {
extern const QString FilterLevel;
extern const QString FieldbusErrorWithOutput;
extern const QString MotorLearning;
extern const QString HallMode;
extern const QString CwCcw;
extern const QString Brake;
extern const QString SubstituteValue;
extern const QString SpeedGear;
extern const QString Direction;
extern const QString SpeedAcc;
extern const QString Power;
extern const QString Volt;
extern const QString Rpm;
extern const QString Acc;
extern const QString Dec;
extern const QString MaxRpm;
extern const QString HallPhase;
extern const QString FaultCode;
} // namespace Key

// Decodes the 12-byte parameter block that starts at offset. Byte 4 of the
// block is decoded under both of its readings; the items of a module pick
// the keys they use.
QMap<QString, qint16> decodeParameters(const QByteArray &record, int offset);

// The 12-byte parameter block holding the given parameters: the inverse of
// decodeParameters for the keys present; absent fields stay 0. Of the two
// readings of byte 4, only the keys given are written.
QByteArray encodeParameters(const QMap<QString, qint16> &params);

} // namespace RecordLayout
