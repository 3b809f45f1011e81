#pragma once

#include "ItemInfo.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

// Parameter values decoded from a parameter block, by parameter key.
using ParameterMap = QMap<QString, qint16>;

// A named, ordered group of items; owns its items.
class ItemsInfo : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ItemsInfo() override;

    QString name;
    qint32 index = 0x1A01;
    QList<ItemInfo *> items;

    // The item at position i, or null when there is none.
    ItemInfo *itemAt(int i) const;
    // Takes ownership of item and appends it.
    void append(ItemInfo *item);

    // Lays the items out one after another from start, each taking its bit
    // length, as far as they fit in areaBits; the items beyond have no
    // address. Every item gets channelCount as its channel count.
    void assignAddresses(int start, int channelCount, int areaBits);

    // The channel counts of the input-channel and output-channel items.
    void setConfiguredChannels(int inputs, int outputs);

    // Applies a configuration record (station, start addresses from bytes
    // 2-3 and 4-5, parameter values from params). Missing bytes read as 0.
    void updateConfig(int station, const QByteArray &record, int alignment, const ParameterMap &params);

    // Applies a status record, with the input and output fields at inPos and
    // outPos.
    void updateConfigFull(int station, const QByteArray &record, int inPos, int outPos, int channelCount,
                          int alignment, int inChannels, int outChannels, const ParameterMap &params);

private:
    void updateCommon(ItemInfo *item, int station, const ParameterMap &params);
};
