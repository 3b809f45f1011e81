#include "SlaveEditRecord.h"

#include "RecordLayout.h"
#include "TarnBaseConvert.h"

#include <QCoreApplication>

namespace appcore {

namespace {

// tr() of the context "SlaveEdit", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(SlaveEdit)
};

using namespace TarnBase;

// Record bytes of the parameter rows.
constexpr int kFlagsByte = 6;
constexpr int kMotorByte = 7;
constexpr int kSubstituteWord = 8;
constexpr int kSpeedByte = 10;
constexpr int kDriveByte = 11;
constexpr int kMaxRpmWord = 12;
constexpr int kHallPhaseWord = 14;

// Where a parameter row's value goes: byte, lowest bit, mask of the value.
struct Field {
    int paramType;
    int byte;
    int shift;
    int mask;
    int bias;
};

constexpr Field kFields[] = {
    {ParamFilter, kFlagsByte, 4, 0x07, 0},
    {ParamEnable, kFlagsByte, 0, 0x01, 0},
    {ParamBrake, kMotorByte, 3, 0x03, 0},
    {ParamCcw, kMotorByte, 2, 0x01, 0},
    {ParamHall, kMotorByte, 1, 0x01, 0},
    {ParamLearn, kMotorByte, 0, 0x01, 0},
    {ParamSpeedGear, kSpeedByte, 0, 0x03, 0},
    {ParamDirection, kSpeedByte, 2, 0x01, 0},
    {ParamSpeedAcc, kSpeedByte, 3, 0x07, 0},
    {ParamVolt, kSpeedByte, 5, 0x01, 0},
    {ParamPower, kSpeedByte, 0, 0x1F, 2},
    {ParamAcc, kDriveByte, 2, 0x07, 0},
    {ParamDec, kDriveByte, 5, 0x07, 0},
};

void setBits(QByteArray &record, int byte, int shift, int mask, int value)
{
    record[byte] = char((quint8(record.at(byte)) & ~(mask << shift)) | ((value & mask) << shift));
}

quint16 addressWord(int start, int count)
{
    return quint16((start << 7) | (count & RecordLayout::kChannelMask));
}

} // namespace

SlaveEdit SlaveEdit::of(const SlaveState &slave)
{
    SlaveEdit edit;
    edit.currentStation = slave.stationId;
    edit.newStation = slave.newStationId;
    const ItemGroupState *config = slave.group(Slave::kConfigData);
    if (!config)
        return edit;
    for (const ItemState &item : config->items) {
        // A module without an area keeps none: its count stays 0 rather
        // than taking its extra channels alone.
        if (item.isInputChannels()) {
            edit.inputStart = item.startAddress;
            edit.inputCount = item.channels > 0 ? item.channels + slave.inputOffs : 0;
        } else if (item.isOutputChannels()) {
            edit.outputStart = item.startAddress;
            edit.outputCount = item.channels > 0 ? item.channels + slave.outputOffs : 0;
        } else if (item.paramType >= ParamFilter && item.paramType < ParamFault) {
            edit.parameters.insert(item.paramType, item.value.toInt());
        }
    }
    return edit;
}

QByteArray SlaveEdit::record() const
{
    QByteArray r(kRecordSize, '\0');
    r[0] = char(currentStation);
    r[1] = char(newStation);
    RecordLayout::putWord(r, RecordLayout::kInputPos, addressWord(inputStart, inputCount));
    RecordLayout::putWord(r, RecordLayout::kOutputPos, addressWord(outputStart, outputCount));
    for (const Field &field : kFields) {
        const auto it = parameters.constFind(field.paramType);
        if (it != parameters.cend())
            setBits(r, field.byte, field.shift, field.mask, *it + field.bias);
    }
    if (const auto it = parameters.constFind(ParamRpm); it != parameters.cend()) {
        setBits(r, kSpeedByte, 6, 0x03, *it);
        setBits(r, kDriveByte, 0, 0x03, *it >> 2);
    }
    if (const auto it = parameters.constFind(ParamSubstitute); it != parameters.cend())
        RecordLayout::putWord(r, kSubstituteWord, quint16(*it));
    if (const auto it = parameters.constFind(ParamMaxRpm); it != parameters.cend())
        RecordLayout::putWord(r, kMaxRpmWord, quint16(qint16(*it)));
    if (const auto it = parameters.constFind(ParamHallPhase); it != parameters.cend())
        RecordLayout::putWord(r, kHallPhaseWord, quint16(*it));
    return r;
}

QStringList editChanges(const SlaveState &slave, const QByteArray &record)
{
    const auto areaText = [](int start, int bits) {
        return bits > 0 ? QStringLiteral("%1..%2").arg(start).arg(start + bits - 1) : QStringLiteral("-");
    };
    // The area a record's word asks for, as the module will hold it.
    const auto asked = [&](int pos, int extra) {
        const quint16 word = RecordLayout::wordAt(record, pos);
        const int channels = Slave::configuredChannels(word & RecordLayout::kChannelMask, extra);
        const int bits = channels > 0 ? Slave::areaBits(channels + extra, slave.bitsPerChannel) : 0;
        return areaText(word >> 7, bits);
    };
    QStringList out;
    const int station = RecordLayout::byteAt(record, 1);
    if (!slave.recordCarriesStation && station != slave.stationId)
        out << Texts::tr("站号 %1→%2").arg(slave.stationId).arg(station);
    const Slave::IoWindow &w = slave.ioWindow;
    const QString inputBefore = areaText(w.inputStart, w.inputBits);
    const QString inputAfter = asked(RecordLayout::kInputPos, slave.inputOffs);
    if (inputAfter != inputBefore)
        out << Texts::tr("输入区 %1→%2").arg(inputBefore, inputAfter);
    const QString outputBefore = areaText(w.outputStart, w.outputBits);
    const QString outputAfter = asked(RecordLayout::kOutputPos, slave.outputOffs);
    if (outputAfter != outputBefore)
        out << Texts::tr("输出区 %1→%2").arg(outputBefore, outputAfter);
    const QByteArray params = record.mid(RecordLayout::kShortParamOffset, RecordLayout::kParamBlockSize);
    if (params != slave.configurationRecord.mid(RecordLayout::kShortParamOffset, RecordLayout::kParamBlockSize))
        out << Texts::tr("参数");
    return out;
}

} // namespace appcore
