#include "UsbGlobal.h"

#include "HidLibrary.h"

// Kept apart from the checksum so that code which only builds frames does
// not pull in the HID library.

QList<UsbDeviceInfo> UsbGlobal::enumerateDevices()
{
    return tarnbus::hid::enumerate(kVendorId, kProductId);
}

bool UsbGlobal::isDevicePresent(const QString &serial)
{
    const QList<UsbDeviceInfo> devices = enumerateDevices();
    for (const UsbDeviceInfo &info : devices) {
        if (info.serial_number == serial)
            return true;
    }
    return false;
}
