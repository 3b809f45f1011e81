#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

// Whether this user may open the adapters' USB devices. hidapi lists an
// adapter whose hidraw node the user may not read and write, and then only
// fails to open it; the node's permissions tell a missing udev rule apart
// from an adapter that does not answer. The window and the command line ask
// here when an adapter could not be found or opened, and both name the rule
// that gives access.
class HidAccess
{
    Q_DECLARE_TR_FUNCTIONS(HidAccess)

public:
    // The rule the package installs: the adapters' hidraw nodes are given to
    // the user at the seat (TAG+="uaccess").
    static QString udevRule();

    // Where the nodes are found and how access is checked. The default is
    // the running system; tests give their own.
    struct System {
        QString sysfsClass = QStringLiteral("/sys/class/hidraw"); // hidrawN/device/uevent holds HID_ID
        QString devices = QStringLiteral("/dev");                 // hidrawN, the node itself
        std::function<bool(const QString &node)> mayOpen;         // null: access(2) for reading and writing
    };

    // The hidraw nodes of TarnBUS adapters (HID_ID of the vendor and
    // product of UsbGlobal) that exist but that this process may not open
    // for reading and writing, in name order.
    static QStringList deniedNodes();
    static QStringList deniedNodes(const System &system);

    // What the window and the command line say about such nodes.
    static QString windowText(const QStringList &nodes);
    static QString commandLineText(const QStringList &nodes);

    // The system deniedNodes() looks at; a default System is the real one.
    static void setSystem(const System &system);
};
