#pragma once

#include "UsbDeviceInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Static access to the adapters on USB and the frame checksum.
class UsbGlobal
{
public:
    static constexpr quint16 kVendorId = 0x2E3C;
    static constexpr quint16 kProductId = 0xAF01;

    // Every attached adapter, in the library's enumeration order.
    static QList<UsbDeviceInfo> enumerateDevices();

    // True when an adapter with exactly this serial number is attached.
    static bool isDevicePresent(const QString &serial);

    // CRC-16/MODBUS over bytes[start, start + length), both in 16-bit
    // arithmetic, returned with its two bytes swapped: the low byte of the
    // result is the register's high byte.
    static quint16 crc16(const quint8 *bytes, quint16 length, quint16 start);

    // The one check of a frame's checksum, for requests and replies alike:
    // the CRC of offsets 0 to 69 must be stored at offset 70 (high byte) and
    // 71 (low byte). A frame shorter than 72 bytes cannot be verified: false.
    static bool hasValidFrameChecksum(const QByteArray &frame);
    static constexpr int kFrameSize = 72;
    static constexpr int kChecksumOffset = 70;

    // Process-wide count of opened adapter devices; the adapter chooser
    // refuses to scan while it is above 0.
    static int openedDeviceCount();
    static void setOpenedDeviceCount(int count);
    static void incrementOpenedDeviceCount();
    static void decrementOpenedDeviceCount();
};
