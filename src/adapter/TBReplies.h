#pragma once

#include "ByteOrder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <bitset>

// Pure decoders of the adapter's reply frames. Nothing else in the program
// reads reply bytes. A short reply is tolerated: missing bytes read as 0.
namespace TBReply {

using tarnbus::bytes::byteAt;
using tarnbus::bytes::wordAt;
// ASCII text of at most length bytes, ending at the first zero byte.
QString textAt(const QByteArray &bytes, int offset, int length);

// 0x48 00 EC: the adapter is ready when offset 3 is 0x48 ("H").
bool isHandshakeReady(const QByteArray &reply);

// 0x20: identity and versions.
struct Identity {
    QString name;         // "TBName"
    QString hwVersion;    // "HWVersion": "KX42B." and four hex digits
    QString bootVersion;  // "BootVersion": "T%1.%2.%3"
    QString appVersion;   // "APPVersion": "V%1.%2.%3"
    quint32 appVersionNumber = 0;
    bool hVariant = false; // the name contains "-H"
};
Identity decodeIdentity(const QByteArray &reply);

// 0x21: power and temperature.
struct Power {
    int watts = 0;
    int celsius = 0;
};
Power decodePower(const QByteArray &reply);

// 0x22: adapter settings.
struct Settings {
    quint8 settingsByte = 0;
    quint16 threshold = 0;
    int diFilter() const { return settingsByte & 0x01; }
    int slaveAutoReset() const { return (settingsByte >> 1) & 0x01; }
    int holdOutputsOnError() const { return (settingsByte >> 2) & 0x01; }
    int freeStationAllocation() const { return (settingsByte >> 3) & 0x01; }
};
Settings decodeSettings(const QByteArray &reply);
constexpr quint16 kThresholdMin = 201;
constexpr quint16 kThresholdMax = 2999;

// 0x25 00 80: bus status.
struct BusStatus {
    static constexpr int kStations = 128;
    quint8 status = 0;
    bool scanning = false;       // bit 5 of the status byte
    int progress = 0;            // 12 bits
    int slaveCount = 0;          // offset 6
    std::bitset<kStations> stationMap; // bit n-1 set: station n present
    bool localPresent = false;   // offset 23 non-zero (reply longer than 23 bytes)
    quint8 localByte = 0;        // offset 23 as sent
    quint8 configWriteFlag = 0;  // offset 24
    int replySize = 0;

    // Stations of the map in ascending order; with withLocal station 0 first.
    QList<int> stations(bool withLocal) const;
};
BusStatus decodeBusStatus(const QByteArray &reply);

// The 64-byte slave info block (offsets 6 to 69 of the slave info reply and
// of the pending identity report).
struct SlaveInfoBlock {
    static constexpr int kSize = 64;
    static constexpr int kIdentityOffset = 32;
    static constexpr int kIdentitySize = 12;
    static constexpr int kNameOffset = 44;
    static constexpr int kNameSize = 20;

    QByteArray raw; // always 64 bytes

    quint8 flags() const { return byteAt(raw, 0); }
    bool isValid() const { return flags() & 0x01; }
    quint8 station() const { return byteAt(raw, 1); }
    quint8 stateByte() const { return byteAt(raw, 7); }
    quint16 typeCode() const { return wordAt(raw, 8); }
    QByteArray moduleBytes() const { return raw.mid(10, 2); }
    QByteArray identityBytes() const { return raw.mid(kIdentityOffset, kIdentitySize); }
    QString identity() const { return textAt(raw, kIdentityOffset, kIdentitySize); }
    QString name() const { return textAt(raw, kNameOffset, kNameSize); }
    // "#0000%4X" of the type code: the key of the module's description.
    QString moduleKey() const;
    bool isEmpty() const;
};
QString moduleKey(quint16 typeCode);

// 0x25 st 02: one slave's info block.
struct SlaveInfo {
    quint8 station = 0; // offset 4 repeats the requested station
    SlaveInfoBlock block;
};
SlaveInfo decodeSlaveInfo(const QByteArray &reply);

// 0x27 06 00: the pending slave identity report.
struct PendingIdentity {
    QByteArray identityBytes; // offsets 38 to 49
    QString identity;
    quint8 station = 0; // offset 4
    SlaveInfoBlock block;
};
PendingIdentity decodePendingIdentity(const QByteArray &reply);

// 0x49: process data.
struct ProcessData {
    quint8 status = 0;
    quint8 station = 0;      // the station whose inputs this reply carries
    QByteArray stationStatus; // offsets 4 and 5
    QByteArray inputImage;    // offsets 6 to 71
};
ProcessData decodeProcessData(const QByteArray &reply);

} // namespace TBReply
