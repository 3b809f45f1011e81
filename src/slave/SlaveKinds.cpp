#include "SlaveKinds.h"

#include "RecordLayout.h"

using namespace RecordLayout;

SlaveWithData::SlaveWithData(int station, Traits traits, QObject *parent)
    : Slave(station, parent)
    , m_traits(traits)
{
}

int SlaveWithData::allocatedInputs(const QByteArray &record) const
{
    const int reported = RecordLayout::channelCount(record, kInputPos);
    // A count below the diagnostic channels means nothing is allocated yet.
    return m_traits.subtractInputOffs ? qMax(0, reported - inputOffs) : reported;
}

int SlaveWithData::allocatedOutputs(const QByteArray &record) const
{
    const int reported = RecordLayout::channelCount(record, kOutputPos);
    return m_traits.subtractOutputOffs ? qMax(0, reported - outputOffs) : reported;
}

void SlaveWithData::applyShortRecord(const QByteArray &configRecord)
{
    if (!itemGroups)
        return;
    if (configRecord.size() >= 2)
        stationId = newStationId = byteAt(configRecord, kStationOffset);
    if (m_traits.inputs) {
        const int channels = allocatedInputs(configRecord);
        assignGroupAddresses(kRxPdo, startAddress(configRecord, kInputPos), channels, inputAreaBits(configRecord));
        if (m_traits.storeCountsFromConfig)
            inputChannelCount = channels;
    }
    if (m_traits.outputs) {
        const int channels = allocatedOutputs(configRecord);
        assignGroupAddresses(kTxPdo, startAddress(configRecord, kOutputPos), channels, outputAreaBits(configRecord));
        if (m_traits.storeCountsFromConfig)
            outputChannelCount = channels;
    }
    updateConfigItems(stationId, configRecord, kShortParamOffset);
}

int SlaveWithData::inputAreaBits(const QByteArray &record) const
{
    return heldAreaBits(configuredChannels(RecordLayout::channelCount(record, kInputPos), inputOffs), inputOffs);
}

int SlaveWithData::outputAreaBits(const QByteArray &record) const
{
    if (record.size() <= kOutputPos)
        return 0;
    return heldAreaBits(configuredChannels(RecordLayout::channelCount(record, kOutputPos), outputOffs), outputOffs);
}

void SlaveWithData::updateFromStatusRecord(const QByteArray &statusRecord)
{
    onStatusByte(byteAt(statusRecord, kStatusOffset));
    if (!itemGroups)
        return;
    const int reportedIn = RecordLayout::channelCount(statusRecord, kInputPos);
    const int reportedOut = statusRecord.size() > kOutputPos ? RecordLayout::channelCount(statusRecord, kOutputPos) : 0;
    const int inputs = allocatedInputs(statusRecord);
    const int outputs = statusRecord.size() > kOutputPos ? allocatedOutputs(statusRecord) : 0;
    if (m_traits.storeCountsFromStatus) {
        inputChannelCount = inputs;
        outputChannelCount = outputs;
    }
    if (m_traits.inputs)
        assignGroupAddresses(kRxPdo, startAddress(statusRecord, kInputPos), inputs, inputAreaBits(statusRecord));
    if (m_traits.outputs)
        assignGroupAddresses(kTxPdo, startAddress(statusRecord, kOutputPos), outputs, outputAreaBits(statusRecord));
    updateConfigItemsFull(statusRecord, reportedIn, reportedOut);
}

namespace {

// Which directions a kind maps and how it treats the channel counts the
// adapter reports: DO and DIO report their diagnostic channels
// (InputOffs/OutputOffs) within the counts, DIO keeps the counts of a
// configuration record, the digital kinds keep those of a status record.
using Traits = SlaveWithData::Traits;
constexpr Traits kDI{true, false, false, false, false, true};
constexpr Traits kDO{false, true, false, true, false, true};
constexpr Traits kDIO{true, true, true, true, true, true};
constexpr Traits kDIDO{true, true, false, false, false, true};
constexpr Traits kAI{true, false, false, false, false, false};
constexpr Traits kAO{false, true, false, false, false, false};
constexpr Traits kAIAO{true, true, false, false, false, false};

} // namespace

SlaveDI::SlaveDI(int station, QObject *parent) : SlaveWithData(station, kDI, parent) {}
SlaveDO::SlaveDO(int station, QObject *parent) : SlaveWithData(station, kDO, parent) {}
SlaveDIO::SlaveDIO(int station, QObject *parent) : SlaveWithData(station, kDIO, parent) {}
SlaveDIDO::SlaveDIDO(int station, QObject *parent) : SlaveWithData(station, kDIDO, parent) {}
SlaveAI::SlaveAI(int station, QObject *parent) : SlaveWithData(station, kAI, parent) {}
SlaveAO::SlaveAO(int station, QObject *parent) : SlaveWithData(station, kAO, parent) {}
SlaveAIAO::SlaveAIAO(int station, QObject *parent) : SlaveWithData(station, kAIAO, parent) {}

const QString undefindSlave::kTypeName = QStringLiteral("LS-?-?");

undefindSlave::undefindSlave(int station, QObject *parent)
    : Slave(station, parent)
{
}

void undefindSlave::applyShortRecord(const QByteArray &configRecord)
{
    if (!itemGroups)
        return;
    updateConfigItems(newStationId, configRecord, kShortParamOffset);
}

void undefindSlave::updateFromStatusRecord(const QByteArray &statusRecord)
{
    onStatusByte(byteAt(statusRecord, kStatusOffset));
    typeName = kTypeName;
    if (!itemGroups)
        return;
    updateConfigItems(stationId, statusRecord, kStatusParamOffset);
}
