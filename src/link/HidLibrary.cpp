#include "HidLibrary.h"

#include "LinkLog.h"

#include <hidapi.h>

#include <mutex>
#include <string>

namespace tarnbus::hid {

namespace {

struct LibraryState {
    std::mutex lock;
    bool initialised = false;
    int openDevices = 0;

    ~LibraryState()
    {
        std::lock_guard<std::mutex> guard(lock);
        // A device still open at exit keeps the library alive: shutting it
        // down would pull state out from under that handle.
        if (initialised && openDevices == 0)
            hid_exit();
    }
};

LibraryState &state()
{
    static LibraryState s;
    return s;
}

bool initialiseLocked(LibraryState &s)
{
    if (!s.initialised)
        s.initialised = hid_init() == 0;
    return s.initialised;
}

QString fromWide(const wchar_t *text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

} // namespace

bool initialise()
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return initialiseLocked(s);
}

QList<UsbDeviceInfo> enumerate(quint16 vendorId, quint16 productId)
{
    QList<UsbDeviceInfo> devices;
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!initialiseLocked(s))
        return devices;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (hid_device_info *entry = list; entry; entry = entry->next) {
        UsbDeviceInfo info;
        info.vendor_id = entry->vendor_id;
        info.product_id = entry->product_id;
        info.manufacturer = fromWide(entry->manufacturer_string);
        info.product = fromWide(entry->product_string);
        info.serial_number = fromWide(entry->serial_number);
        info.release = entry->release_number;
        devices.append(info);
    }
    hid_free_enumeration(list);
    return devices;
}

hid_device *open(quint16 vendorId, quint16 productId, const QString &serial)
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!initialiseLocked(s))
        return nullptr;
    const std::wstring wideSerial = serial.toStdWString();
    hid_device *device = hid_open(vendorId, productId, wideSerial.c_str());
    if (device)
        ++s.openDevices;
    else
        qCDebug(lcLink) << "hid_open failed:" << fromWide(hid_error(nullptr));
    return device;
}

void close(hid_device *device)
{
    if (!device)
        return;
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    hid_close(device);
    --s.openDevices;
}

QString lastError()
{
    LibraryState &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.initialised ? fromWide(hid_error(nullptr)) : QString();
}

} // namespace tarnbus::hid
