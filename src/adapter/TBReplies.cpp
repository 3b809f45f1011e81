#include "TBReplies.h"

namespace TBReply {

namespace {
constexpr int kStatusOffset = 1;
constexpr int kCommandOffset = 3;
constexpr int kParam1Offset = 4;
constexpr int kDataOffset = 6;
constexpr quint8 kHandshakeReady = 0x48;
constexpr quint8 kScanningBit = 0x20;

constexpr int kStationMapOffset = 7;
constexpr int kStationMapSize = 16;
constexpr int kLocalOffset = 23;
constexpr int kConfigWriteFlagOffset = 24;

constexpr int kReportIdentityOffset = 38;
} // namespace

QString textAt(const QByteArray &bytes, int offset, int length)
{
    const QByteArray field = bytes.mid(offset, length);
    const int end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

namespace {
quint8 commandCode(const QByteArray &reply)
{
    return byteAt(reply, kCommandOffset);
}
} // namespace

bool isHandshakeReady(const QByteArray &reply)
{
    return reply.size() > kCommandOffset && commandCode(reply) == kHandshakeReady;
}

Identity decodeIdentity(const QByteArray &reply)
{
    Identity id;
    id.name = textAt(reply, kDataOffset, 32);
    id.hwVersion = QStringLiteral("KX42B.") + QString::asprintf("%02X%02X", byteAt(reply, 54), byteAt(reply, 55));
    id.bootVersion = QStringLiteral("T%1.%2.%3").arg(byteAt(reply, 57)).arg(byteAt(reply, 58)).arg(byteAt(reply, 59));
    id.appVersion = QStringLiteral("V%1.%2.%3").arg(byteAt(reply, 61)).arg(byteAt(reply, 62)).arg(byteAt(reply, 63));
    id.appVersionNumber = (quint32(byteAt(reply, 61)) << 16) | (quint32(byteAt(reply, 62)) << 8) | byteAt(reply, 63);
    id.hVariant = id.name.contains(QLatin1String("-H"));
    return id;
}

Power decodePower(const QByteArray &reply)
{
    return Power{byteAt(reply, 4), byteAt(reply, 5)};
}

Settings decodeSettings(const QByteArray &reply)
{
    Settings settings;
    settings.settingsByte = byteAt(reply, 4);
    settings.threshold = wordAt(reply, 6);
    return settings;
}

QList<int> BusStatus::stations(bool withLocal) const
{
    QList<int> list;
    if (withLocal)
        list.append(0);
    for (int i = 0; i < kStations; ++i) {
        if (stationMap.test(size_t(i)))
            list.append(i + 1);
    }
    return list;
}

BusStatus decodeBusStatus(const QByteArray &reply)
{
    BusStatus bus;
    bus.replySize = reply.size();
    bus.status = byteAt(reply, kStatusOffset);
    bus.scanning = bus.status & kScanningBit;
    bus.progress = byteAt(reply, 4) | ((byteAt(reply, 5) & 0x0F) << 8);
    bus.slaveCount = byteAt(reply, 6);
    for (int i = 0; i < kStationMapSize; ++i) {
        const quint8 bits = byteAt(reply, kStationMapOffset + i);
        for (int j = 0; j < 8; ++j) {
            if (bits & (1u << j))
                bus.stationMap.set(size_t(8 * i + j));
        }
    }
    bus.localByte = byteAt(reply, kLocalOffset);
    bus.localPresent = reply.size() > kLocalOffset && bus.localByte != 0;
    bus.configWriteFlag = byteAt(reply, kConfigWriteFlagOffset);
    return bus;
}

QString moduleKey(quint16 typeCode)
{
    return QString::asprintf("#0000%4X", typeCode);
}

QString SlaveInfoBlock::moduleKey() const
{
    return TBReply::moduleKey(typeCode());
}

bool SlaveInfoBlock::isEmpty() const
{
    return raw.count('\0') == raw.size();
}

namespace {
// Offsets 6 to 69 of a slave info reply or a pending identity report.
SlaveInfoBlock slaveInfoBlock(const QByteArray &reply)
{
    SlaveInfoBlock block;
    block.raw = reply.mid(kDataOffset, SlaveInfoBlock::kSize);
    block.raw.append(QByteArray(SlaveInfoBlock::kSize - block.raw.size(), '\0'));
    return block;
}
} // namespace

SlaveInfo decodeSlaveInfo(const QByteArray &reply)
{
    return SlaveInfo{byteAt(reply, kParam1Offset), slaveInfoBlock(reply)};
}

PendingIdentity decodePendingIdentity(const QByteArray &reply)
{
    PendingIdentity report;
    report.identityBytes = reply.mid(kReportIdentityOffset, SlaveInfoBlock::kIdentitySize);
    report.identity = textAt(reply, kReportIdentityOffset, SlaveInfoBlock::kIdentitySize);
    report.station = byteAt(reply, kParam1Offset);
    report.block = slaveInfoBlock(reply);
    return report;
}

ProcessData decodeProcessData(const QByteArray &reply)
{
    ProcessData data;
    data.status = byteAt(reply, kStatusOffset);
    data.station = byteAt(reply, 2);
    data.stationStatus = QByteArray(1, char(byteAt(reply, 4))) + QByteArray(1, char(byteAt(reply, 5)));
    data.inputImage = reply.mid(kDataOffset);
    return data;
}

} // namespace TBReply
