#pragma once

#include <QString>
#include <QtGlobal>

// One enumerated adapter.
struct UsbDeviceInfo {
    quint16 vendor_id = 0;
    quint16 product_id = 0;
    QString manufacturer;
    QString product;
    QString serial_number;
    quint16 release = 0;
};
