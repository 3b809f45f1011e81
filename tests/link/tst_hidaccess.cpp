// Telling an adapter the user may not open from one that is not there: the
// adapters' hidraw nodes found through sysfs, and what is said about them.

#include "HidAccess.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using testing_support::writeFile;

class TestHidAccess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString sysfs() const { return m_root.filePath(QStringLiteral("sys")); }
    QString dev() const { return m_root.filePath(QStringLiteral("dev")); }

    // A hidraw node: its device's uevent in sysfs and, when asked, the node.
    bool addNode(const QString &name, const QByteArray &uevent, bool withNode = true)
    {
        const QString device = sysfs() + QLatin1Char('/') + name + QStringLiteral("/device");
        return QDir().mkpath(device) && writeFile(device + QStringLiteral("/uevent"), uevent)
               && (!withNode || writeFile(dev() + QLatin1Char('/') + name, QByteArray()));
    }

    HidAccess::System system(const QStringList &mayOpen) const
    {
        HidAccess::System s;
        s.sysfsClass = sysfs();
        s.devices = dev();
        const QString devices = dev();
        s.mayOpen = [mayOpen, devices](const QString &node) {
            return mayOpen.contains(node.mid(devices.size() + 1));
        };
        return s;
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        QDir(sysfs()).removeRecursively();
        QDir(dev()).removeRecursively();
        QVERIFY(QDir().mkpath(sysfs()) && QDir().mkpath(dev()));
    }

    void cleanup() { HidAccess::setSystem(HidAccess::System()); }

    // Which device's uevent makes its node an adapter's.
    void adapterIdentity_data()
    {
        QTest::addColumn<QByteArray>("uevent");
        QTest::addColumn<bool>("adapter");
        QTest::newRow("the adapter") << QByteArray("DRIVER=hid-generic\nHID_ID=0003:00002E3C:0000AF01\nHID_NAME=TarnBUS USB Adapter\n")
                                     << true;
        QTest::newRow("lower-case digits") << QByteArray("HID_ID=0003:00002e3c:0000af01\n") << true;
        QTest::newRow("another product") << QByteArray("HID_ID=0003:00002E3C:0000AF02\n") << false;
        QTest::newRow("another vendor") << QByteArray("HID_ID=0003:0000046D:0000AF01\n") << false;
        QTest::newRow("no identity") << QByteArray("DRIVER=hid-generic\n") << false;
        QTest::newRow("a broken identity") << QByteArray("HID_ID=0003:2E3C\n") << false;
    }
    void adapterIdentity()
    {
        QFETCH(QByteArray, uevent);
        QFETCH(bool, adapter);
        QVERIFY(addNode(QStringLiteral("hidraw0"), uevent));
        QCOMPARE(HidAccess::deniedNodes(system({})), adapter ? QStringList{dev() + QStringLiteral("/hidraw0")} : QStringList());
    }

    // Of several devices, the adapters' nodes the user may not open, in
    // name order; a node that does not exist is no permission problem.
    void deniedAmongSeveral()
    {
        const QByteArray adapter("HID_ID=0003:00002E3C:0000AF01\n");
        QVERIFY(addNode(QStringLiteral("hidraw3"), adapter));
        QVERIFY(addNode(QStringLiteral("hidraw1"), adapter));
        QVERIFY(addNode(QStringLiteral("hidraw0"), "HID_ID=0003:0000046D:0000C52B\n")); // a mouse
        QVERIFY(addNode(QStringLiteral("hidraw2"), adapter));                           // open to the user
        QVERIFY(addNode(QStringLiteral("hidraw4"), adapter, false));                    // no node (yet)
        const HidAccess::System fake = system({QStringLiteral("hidraw2")});
        QCOMPARE(HidAccess::deniedNodes(fake), (QStringList{dev() + "/hidraw1", dev() + "/hidraw3"}));
        // The process-wide check looks where it is told to.
        HidAccess::setSystem(fake);
        QCOMPARE(HidAccess::deniedNodes(), (QStringList{dev() + "/hidraw1", dev() + "/hidraw3"}));
    }

    // Without a predicate the process's own access to the node decides.
    void accessOfTheProcess()
    {
        QVERIFY(addNode(QStringLiteral("hidraw0"), "HID_ID=0003:00002E3C:0000AF01\n"));
        HidAccess::System real = system({});
        real.mayOpen = nullptr;
        QCOMPARE(HidAccess::deniedNodes(real), QStringList()); // the test's own file
        real.sysfsClass = m_root.filePath(QStringLiteral("no-sysfs"));
        QCOMPARE(HidAccess::deniedNodes(real), QStringList());
    }

    // Both programs name the node and the udev rule; nothing for no node.
    void texts()
    {
        const QStringList nodes{QStringLiteral("/dev/hidraw3")};
        QCOMPARE(HidAccess::udevRule(), QStringLiteral("/usr/lib/udev/rules.d/70-tarnbus-tester.rules"));
        for (const QString &text : {HidAccess::windowText(nodes), HidAccess::commandLineText(nodes)}) {
            QVERIFY2(text.contains(QStringLiteral("/dev/hidraw3")), qPrintable(text));
            QVERIFY2(text.contains(HidAccess::udevRule()), qPrintable(text));
        }
        QVERIFY(HidAccess::windowText(nodes).startsWith(QStringLiteral("没有权限打开适配器的USB设备")));
        // The command line's text is one line, whatever the language.
        QVERIFY(HidAccess::commandLineText(nodes).startsWith(QStringLiteral("没有权限打开适配器的USB设备")));
        QVERIFY(!HidAccess::commandLineText(nodes).contains(QLatin1Char('\n')));
        QCOMPARE(HidAccess::windowText({}), QString());
        QCOMPARE(HidAccess::commandLineText({}), QString());
    }
};

QTEST_MAIN(TestHidAccess)
#include "tst_hidaccess.moc"
