#include "ItemsInfo.h"

#include "RecordLayout.h"

#include <algorithm>

ItemsInfo::~ItemsInfo()
{
    qDeleteAll(items);
}

ItemInfo *ItemsInfo::itemAt(int i) const
{
    return i >= 0 && i < items.size() ? items.at(i) : nullptr;
}

void ItemsInfo::append(ItemInfo *item)
{
    item->setParent(this); // follows the group into the slave's thread
    items.append(item);
}

void ItemsInfo::assignAddresses(int start, int channelCount, int areaBits)
{
    int used = 0;
    for (ItemInfo *item : qAsConst(items)) {
        item->channels = qint16(channelCount);
        const int length = std::max(0, int(item->bitLength));
        if (used + length <= areaBits && length > 0) {
            item->startAddress = qint16(start + used);
            used += length;
        } else {
            item->startAddress = ItemFields::kNoAddress;
            used = areaBits; // an item that does not fit ends the area
        }
    }
}

void ItemsInfo::setConfiguredChannels(int inputs, int outputs)
{
    for (ItemInfo *item : qAsConst(items)) {
        if (item->isInputChannels())
            item->channels = qint16(inputs);
        else if (item->isOutputChannels())
            item->channels = qint16(outputs);
    }
}

void ItemsInfo::updateCommon(ItemInfo *item, int station, const ParameterMap &params)
{
    if (item->isStation()) {
        item->station = qint16(station);
        return;
    }
    const quint16 value = quint16(params.value(item->name, 0));
    QByteArray bytes(2, '\0');
    bytes[0] = char(value & 0xFF);
    bytes[1] = char(value >> 8);
    item->value.data = bytes;
}

void ItemsInfo::updateConfig(int station, const QByteArray &record, int alignment, const ParameterMap &params)
{
    for (ItemInfo *item : qAsConst(items)) {
        if (item->isInputChannels()) {
            item->startAddress = qint16(RecordLayout::startAddress(record, RecordLayout::kInputPos));
            item->alignment = qint16(alignment);
        } else if (item->isOutputChannels()) {
            item->startAddress = qint16(RecordLayout::startAddress(record, RecordLayout::kOutputPos));
            item->alignment = qint16(alignment);
        } else {
            updateCommon(item, station, params);
        }
    }
}

void ItemsInfo::updateConfigFull(int station, const QByteArray &record, int inPos, int outPos,
                                 int channelCount, int alignment, int inChannels, int outChannels,
                                 const ParameterMap &params)
{
    for (ItemInfo *item : qAsConst(items)) {
        item->channels = qint16(channelCount);
        item->inputChannels = qint16(inChannels);
        item->outputChannels = qint16(outChannels);
        if (item->isInputChannels()) {
            item->startAddress = qint16(RecordLayout::startAddress(record, inPos));
            item->alignment = qint16(alignment);
        } else if (item->isOutputChannels()) {
            item->startAddress = qint16(RecordLayout::startAddress(record, outPos));
            item->alignment = qint16(alignment);
        } else {
            updateCommon(item, station, params);
        }
    }
}
