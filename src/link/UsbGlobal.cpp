#include "UsbGlobal.h"

#include <atomic>

namespace {
std::atomic<int> g_openedDevices{0};
}

quint16 UsbGlobal::crc16(const quint8 *bytes, quint16 length, quint16 start)
{
    quint16 crc = 0xFFFF;
    const quint16 end = quint16(start + length);
    for (quint16 i = start; i != end; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return quint16((crc << 8) | (crc >> 8));
}

bool UsbGlobal::hasValidFrameChecksum(const QByteArray &frame)
{
    if (frame.size() < kFrameSize)
        return false;
    const auto *bytes = reinterpret_cast<const quint8 *>(frame.constData());
    // crc16 returns the register byte-swapped, so the stored bytes compare
    // with offset 71 as the high half.
    const quint16 stored = quint16((bytes[kChecksumOffset + 1] << 8) | bytes[kChecksumOffset]);
    return crc16(bytes, kChecksumOffset, 0) == stored;
}

int UsbGlobal::openedDeviceCount()
{
    return g_openedDevices.load();
}

void UsbGlobal::setOpenedDeviceCount(int count)
{
    g_openedDevices.store(count);
}

void UsbGlobal::incrementOpenedDeviceCount()
{
    ++g_openedDevices;
}

void UsbGlobal::decrementOpenedDeviceCount()
{
    // Never below zero: the count is also set outright when a link is lost.
    int current = g_openedDevices.load();
    while (current > 0 && !g_openedDevices.compare_exchange_weak(current, current - 1)) {
    }
}
