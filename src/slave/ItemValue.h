#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The current value of an item as raw bytes, with the rules to read and
// write it by its data type. Reading and writing are exact inverses, so a
// value set by a view, by an input image or by a CSV line reads back as it
// was set: 16-bit values are stored least significant byte first, 32-bit
// values most significant byte first except under index 0x4000.
struct ItemValueData
{
    QByteArray data;
    qint32 type = 10;
    qint32 index = 0x1600;
    qint32 bitSize = 0;

    // Replaces data by the encoding of v; types without an encoding leave
    // data unchanged.
    void setValue(int v);
    // The value read from data; 0 for types without a number and for empty data.
    int toInt() const;
    // The value read as an unsigned number of the type's width.
    quint32 toUnsigned() const;
    QString toText() const;

    // Mask of a "Bits" value: its bitSize low bits. A size of 0 (not given)
    // or above 8 covers the whole byte.
    quint8 bitsMask() const;

private:
    bool littleEndian32() const;
    quint32 read32() const;
};

// An item's value as part of the item object tree; copies of its data
// (ItemValueData) travel to other threads in slave snapshots.
class ItemValue : public QObject, public ItemValueData
{
    Q_OBJECT
public:
    using QObject::QObject;
};
