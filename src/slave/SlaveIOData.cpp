#include "SlaveIOData.h"

#include "Slave.h"

namespace {
constexpr int kBitsPerByte = 8;
constexpr int kMaxBits = 32;
} // namespace

quint32 SlaveIOData::readBits(const QByteArray &image, int start, int length)
{
    quint32 value = 0;
    const int bits = qBound(0, length, kMaxBits);
    for (int k = 0; k < bits; ++k) {
        const int n = start + k;
        if (n < 0 || n / kBitsPerByte >= image.size())
            continue;
        if ((quint8(image.at(n / kBitsPerByte)) >> (n % kBitsPerByte)) & 0x01)
            value |= quint32(1) << k;
    }
    return value;
}

void SlaveIOData::writeBits(QByteArray &image, int start, int length, quint32 value)
{
    const int bits = qBound(0, length, kMaxBits);
    for (int k = 0; k < bits; ++k) {
        const int n = start + k;
        if (n < 0 || n / kBitsPerByte >= image.size())
            continue;
        const quint8 mask = quint8(1u << (n % kBitsPerByte));
        quint8 byte = quint8(image.at(n / kBitsPerByte));
        byte = ((value >> k) & 0x01) ? quint8(byte | mask) : quint8(byte & ~mask);
        image[n / kBitsPerByte] = char(byte);
    }
}

void SlaveIOData::writeOutputs(const Slave &slave, QByteArray &outputImage)
{
    const ItemsInfo *outputs = slave.group(Slave::kTxPdo);
    if (!outputs)
        return;
    for (const ItemInfo *item : outputs->items) {
        // An output outside the module's area would drive another module's.
        if (item->hasAddress())
            writeBits(outputImage, item->startAddress, item->bitLength, item->value.toUnsigned());
    }
}

void SlaveIOData::clearOutputs(Slave &slave)
{
    ItemsInfo *outputs = slave.group(Slave::kTxPdo);
    if (!outputs)
        return;
    for (ItemInfo *item : qAsConst(outputs->items))
        item->value.setValue(0);
}
