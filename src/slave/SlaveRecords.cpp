// The records a slave hands to the adapter, and the state it takes from the
// bus. The adapter sends and reads bytes; what they mean for the slave is
// decided here.

#include "RecordLayout.h"
#include "Slave.h"
#include "SlaveIOData.h"

#include <TarnBaseConvert.h>

using namespace TarnBase;

namespace {
constexpr quint8 kRunningBit = 0x01;
constexpr int kFilterShift = 4;
constexpr quint8 kFilterMask = 0x07;
constexpr quint8 kEnableMask = 0x01;

quint16 addressWord(const ItemInfo *item)
{
    return quint16((item->startAddress << 7) | (item->channels & RecordLayout::kChannelMask));
}
} // namespace

QByteArray Slave::identity12() const
{
    QByteArray id = uuid.left(RecordLayout::kIdentitySize);
    id.append(QByteArray(RecordLayout::kIdentitySize - id.size(), '\0'));
    return id;
}

QByteArray Slave::addressRecord(int current, int requested, quint16 inputWord, quint16 outputWord) const
{
    using namespace RecordLayout;
    constexpr int kParamsOffset = kShortRecordOffset + kShortParamOffset;
    QByteArray record(kAddressRecordSize, '\0');
    record.replace(0, kIdentitySize, identity12());
    record[kShortRecordOffset] = char(current); // configuration record bytes 0 and 1
    record[kShortRecordOffset + 1] = char(requested);
    putWord(record, kShortRecordOffset + kInputPos, inputWord);
    putWord(record, kShortRecordOffset + kOutputPos, outputWord);
    record.replace(kParamsOffset, kParamBlockSize, configurationRecord().mid(kShortParamOffset, kParamBlockSize));
    return record;
}

QByteArray Slave::identityConfigRecord() const
{
    return identity12() + configurationRecord().left(RecordLayout::kRecordBytesAfterIdentity);
}

QByteArray Slave::downloadBlock() const
{
    using namespace RecordLayout;
    QByteArray block(kBlockSize, '\0');
    block[0] = char(stationId);
    block[1] = char(stationId);
    const ItemsInfo *config = group(kConfigData);
    if (!config)
        return block;
    const auto flags = [&block] { return quint8(block.at(kBlockFlagsOffset)); };
    // Item 0 is the station; when several items set one field, the last wins.
    for (int i = 1; i < config->items.size(); ++i) {
        const ItemInfo *item = config->items.at(i);
        switch (item->paramType) {
        case ParamDI:
        case ParamAI:
            putWord(block, kInputPos, addressWord(item));
            break;
        case ParamDO:
        case ParamAO:
            putWord(block, kOutputPos, addressWord(item));
            break;
        case ParamFilter:
            block[kBlockFlagsOffset] = char((flags() & ~(kFilterMask << kFilterShift))
                                            | ((item->value.toInt() & kFilterMask) << kFilterShift));
            break;
        case ParamEnable:
            block[kBlockFlagsOffset] = char((flags() & ~kEnableMask) | (item->value.toInt() & kEnableMask));
            break;
        case ParamSubstitute:
            putWord(block, kBlockSubstituteOffset, quint16(item->value.toInt()));
            break;
        default:
            break;
        }
    }
    return block;
}

void Slave::takeInfoBlock(quint8 stateByte, const QByteArray &block)
{
    takeReportedBlock(stateByte, block);
    updateFromStatusRecord(block);
}

void Slave::takeReportedBlock(quint8 stateByte, const QByteArray &block)
{
    onFaultByte(stateByte);
    rawInfo = block;
}

void Slave::takeReportedStation(int station)
{
    stationId = quint8(station);
    newStationId = quint8(station);
}

void Slave::keepCurrentStation()
{
    newStationId = stationId;
}

void Slave::takeClearedRecord(const QByteArray &shortRecord)
{
    stationId = newStationId = 0;
    statusBit4 = 1;
    applyShortRecord(shortRecord);
}

void Slave::takeModuleState()
{
    if (rawInfo.isEmpty())
        return; // an offline record has no module to go back to
    takeReportedStation(RecordLayout::byteAt(rawInfo, RecordLayout::kStationOffset));
    updateFromStatusRecord(rawInfo);
}

void Slave::markNotConfirmed()
{
    onStatusByte(quint8(lastStatusByte & ~kRunningBit));
}

void Slave::takeRepairedStation(const QByteArray &shortRecord)
{
    recordCarriesStation = false;
    statusBit4 = 0;
    applyShortRecord(shortRecord);
}

void Slave::takeImportedLine(const QString &typeText)
{
    statusBit4 = 0;
    typeName = typeText;
}

void Slave::setForced(bool forced)
{
    forcedState = forced ? 1 : 0;
    if (!forced)
        SlaveIOData::clearOutputs(*this);
}

void Slave::giveDescribedChannels()
{
    ItemsInfo *config = group(kConfigData);
    if (!config)
        return;
    for (ItemInfo *item : qAsConst(config->items)) {
        if (item->isInputChannels())
            item->channels = qint16(suportChangeableChannel ? inputChannelCount : channelCount);
        else if (item->isOutputChannels())
            item->channels = qint16(suportChangeableChannel ? outputChannelCount : channelCount);
    }
}
