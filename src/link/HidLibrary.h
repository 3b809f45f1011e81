#pragma once

#include "UsbDeviceInfo.h"

#include <QList>
#include <QString>

typedef struct hid_device_ hid_device;

namespace tarnbus::hid {

// hidapi keeps process-wide state behind hid_init, hid_enumerate, hid_open,
// hid_close and hid_error(NULL); none of them may run at the same time as
// another, and hid_exit must not run while any device is open. Every such
// call of the program goes through these functions, which serialise them
// under one lock, initialise the library once and shut it down once, at
// process exit, when no device is open any more. Reads and writes on open
// devices do not take the lock and stay concurrent.

// Initialises the library on first use; false when it cannot be initialised.
bool initialise();

QList<UsbDeviceInfo> enumerate(quint16 vendorId, quint16 productId);

// Null when the device cannot be opened.
hid_device *open(quint16 vendorId, quint16 productId, const QString &serial);

void close(hid_device *device);

// Text of the library's last global error, or empty.
QString lastError();

} // namespace tarnbus::hid
