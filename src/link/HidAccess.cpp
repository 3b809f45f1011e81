#include "HidAccess.h"

#include "UsbGlobal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mutex>
#include <unistd.h>

namespace {

std::mutex g_systemLock;
HidAccess::System g_system;

// "HID_ID=0003:00002E3C:0000AF01" (bus, vendor, product) of a node's device.
bool isAdapter(const QString &ueventPath)
{
    QFile uevent(ueventPath);
    if (!uevent.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : uevent.readAll().split('\n')) {
        if (!line.startsWith("HID_ID="))
            continue;
        const QList<QByteArray> parts = line.mid(7).trimmed().split(':');
        bool vendorOk = false;
        bool productOk = false;
        return parts.size() == 3 && parts.at(1).toUInt(&vendorOk, 16) == UsbGlobal::kVendorId && vendorOk
               && parts.at(2).toUInt(&productOk, 16) == UsbGlobal::kProductId && productOk;
    }
    return false;
}

bool mayReadAndWrite(const QString &node)
{
    return ::access(QFile::encodeName(node).constData(), R_OK | W_OK) == 0;
}

} // namespace

QString HidAccess::udevRule()
{
    return QStringLiteral("/usr/lib/udev/rules.d/70-tarnbus-tester.rules");
}

QStringList HidAccess::deniedNodes()
{
    System system;
    {
        std::lock_guard<std::mutex> lock(g_systemLock);
        system = g_system;
    }
    return deniedNodes(system);
}

QStringList HidAccess::deniedNodes(const System &system)
{
    QStringList denied;
    const QStringList names = QDir(system.sysfsClass).entryList(QStringList{QStringLiteral("hidraw*")},
                                                                QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (!isAdapter(system.sysfsClass + QLatin1Char('/') + name + QStringLiteral("/device/uevent")))
            continue;
        const QString node = system.devices + QLatin1Char('/') + name;
        if (!QFileInfo::exists(node))
            continue;
        if (!(system.mayOpen ? system.mayOpen(node) : mayReadAndWrite(node)))
            denied << node;
    }
    return denied;
}

QString HidAccess::windowText(const QStringList &nodes)
{
    if (nodes.isEmpty())
        return QString();
    return tr("没有权限打开适配器的USB设备(%1)。\n请安装udev规则 %2 (随 tarnbus-tester 软件包安装),然后拔下适配器再重新插入。")
        .arg(nodes.join(QLatin1String(", ")), udevRule());
}

QString HidAccess::commandLineText(const QStringList &nodes)
{
    if (nodes.isEmpty())
        return QString();
    return tr("没有权限打开适配器的USB设备(%1): 随 tarnbus-tester 软件包安装的udev规则 %2 让座席上的用户可以访问它; "
              "请安装该规则,然后拔下适配器再重新插入")
        .arg(nodes.join(QLatin1String(", ")), udevRule());
}

void HidAccess::setSystem(const System &system)
{
    std::lock_guard<std::mutex> lock(g_systemLock);
    g_system = system;
}
