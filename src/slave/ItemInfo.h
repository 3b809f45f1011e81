#pragma once

#include "ItemValue.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

// The description of one item and where it sits, as plain data.
struct ItemFields
{
    qint32 style = 0;
    QString dataTypeName;
    bool writable = false;
    qint32 dataType = 10;
    qint32 paramType = 0;
    qint16 alignment = 1;
    qint16 station = 0;
    QString name;
    qint16 subIndex = 0;
    qint16 bitLength = 0;
    qint16 inputChannels = 0;
    qint16 outputChannels = 0;
    qint16 startAddress = 0;
    qint16 channels = 0;
    QString accessText;
    QString defaultText;
    QByteArray defaultData;
    QMap<int, QString> enumTexts;
    QList<int> enumList;

    // A process-data item outside the area its module holds has no place in
    // the process image.
    static constexpr qint16 kNoAddress = -1;
    bool hasAddress() const { return startAddress >= 0; }

    bool isInputChannels() const { return paramType == 1 || paramType == 3; }
    bool isOutputChannels() const { return paramType == 2 || paramType == 4; }
    bool isStation() const { return paramType == 0; }
};

// One configuration, information or process-data item of a slave.
class ItemInfo : public QObject, public ItemFields
{
    Q_OBJECT
public:
    using QObject::QObject;

    ItemValue value{this};
};
