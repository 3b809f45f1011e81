#include "ItemValue.h"

#include "TarnBaseConvert.h"

using namespace TarnBase;

namespace {
constexpr int kBitsPerByte = 8;
} // namespace

quint8 ItemValueData::bitsMask() const
{
    if (bitSize <= 0 || bitSize >= kBitsPerByte)
        return 0xFF;
    return quint8(0xFFu >> (kBitsPerByte - bitSize));
}

bool ItemValueData::littleEndian32() const
{
    return index == IndexLittleEndian;
}

void ItemValueData::setValue(int v)
{
    const quint32 u = quint32(v);
    switch (type) {
    case DataBool:
        data = QByteArray(1, char(u & 0x01));
        break;
    case DataBits:
        data = QByteArray(1, char(u & bitsMask()));
        break;
    case DataChar:
        data = QByteArray(1, char(u & 0xFF));
        break;
    case DataInt:
    case DataUInt:
        data = QByteArray(2, '\0');
        data[0] = char(u & 0xFF);
        data[1] = char((u >> 8) & 0xFF);
        break;
    case DataDInt:
    case DataUDInt:
        data = QByteArray(4, '\0');
        for (int i = 0; i < 4; ++i) {
            const int shift = littleEndian32() ? 8 * i : 8 * (3 - i);
            data[i] = char((u >> shift) & 0xFF);
        }
        break;
    default:
        break;
    }
}

quint32 ItemValueData::read32() const
{
    // Up to four bytes; missing bytes end the value.
    quint32 value = 0;
    const int count = qMin(data.size(), 4);
    for (int i = 0; i < count; ++i) {
        const quint32 byte = quint8(data.at(i));
        value |= littleEndian32() ? byte << (8 * i) : byte << (8 * (3 - i));
    }
    return value;
}

quint32 ItemValueData::toUnsigned() const
{
    if (data.isEmpty())
        return 0;
    const quint8 b0 = quint8(data.at(0));
    switch (type) {
    case DataBool:
        return b0 & 0x01;
    case DataBits:
        return b0 & bitsMask();
    case DataChar:
        return b0;
    case DataInt:
    case DataUInt:
        if (data.size() < 2)
            return b0;
        return quint32(b0) | (quint32(quint8(data.at(1))) << 8);
    case DataDInt:
    case DataUDInt:
        return read32();
    default:
        return 0;
    }
}

int ItemValueData::toInt() const
{
    const quint32 u = toUnsigned();
    switch (type) {
    case DataInt:
        return data.size() < 2 ? int(u) : int(qint16(quint16(u)));
    case DataDInt:
    case DataUDInt:
        return int(u);
    default:
        return int(u);
    }
}

QString ItemValueData::toText() const
{
    switch (type) {
    case DataBool:
        return toInt() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case DataBits:
    case DataChar:
    case DataInt:
    case DataUInt:
    case DataDInt:
        return QString::number(toInt());
    case DataUDInt:
        return QString::number(toUnsigned());
    case DataString: {
        const int end = data.indexOf('\0');
        return QString::fromUtf8(end < 0 ? data : data.left(end));
    }
    case DataStringSn:
        return QString::fromLatin1(data.toHex().toUpper());
    default:
        return QString();
    }
}
