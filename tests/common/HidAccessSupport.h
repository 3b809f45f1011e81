#pragma once

// Device nodes for the permission check (HidAccess) in tests: none at all,
// so that whatever is plugged into the test machine stays out of the tests,
// or one adapter's node the user may not open.

#include "HidAccess.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

namespace testing_support {

inline HidAccess::System noDeviceNodes()
{
    HidAccess::System none;
    none.sysfsClass = QStringLiteral("/nonexistent/sys/class/hidraw");
    return none;
}

// A system under root whose one adapter node, name, the user may not (or,
// with mayOpen, may) open. The node's path is system.devices + "/" + name.
inline HidAccess::System adapterNode(const QTemporaryDir &root, const QString &name, bool mayOpen = false)
{
    HidAccess::System system;
    system.sysfsClass = root.filePath(QStringLiteral("sys"));
    system.devices = root.filePath(QStringLiteral("dev"));
    const QString device = system.sysfsClass + QLatin1Char('/') + name + QStringLiteral("/device");
    QDir().mkpath(device);
    QDir().mkpath(system.devices);
    writeFile(device + QStringLiteral("/uevent"), "HID_ID=0003:00002E3C:0000AF01\n");
    writeFile(system.devices + QLatin1Char('/') + name, QByteArray());
    system.mayOpen = [mayOpen](const QString &) { return mayOpen; };
    return system;
}

} // namespace testing_support
