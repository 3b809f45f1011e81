// The project tree: its entries and the context menus of adapters and slaves.

#include "ProjectView.h"
#include "WidgetTestSupport.h"

#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using widgettest::actionNamed;
using widgettest::menuEntries;

class TestProjectView : public QObject
{
    Q_OBJECT

private slots:
    void emptyAreaMenu()
    {
        ProjectView tree;
        QScopedPointer<QMenu> menu(tree.buildEmptyMenu());
        QCOMPARE(menuEntries(menu.data()), QStringList{"扫描适配器"});
        QSignalSpy create(&tree, &ProjectView::sigCreaterAdapter);
        menu->actions().first()->trigger();
        QCOMPARE(create.count(), 1);
    }

    void adapterMenu_data()
    {
        QTest::addColumn<bool>("local");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("live") << false << false
                              << QStringList{"重新加载从站", "配置重复站号", "|", "自动分配地址", "[导出组态配置]", "导入组态配置",
                                             "对比组态", "IO检查", "下载组态配置", "循环时间计算", "帧跟踪", "|", "强制", "-取消强制", "删除"};
        QTest::newRow("live, forced") << false << true
                                      << QStringList{"-重新加载从站", "-配置重复站号", "|", "-自动分配地址", "-[导出组态配置]",
                                                     "-导入组态配置", "-对比组态", "IO检查", "-下载组态配置", "-循环时间计算", "帧跟踪", "|", "-强制", "取消强制",
                                                     "-删除"};
        QTest::newRow("offline") << true << false
                                 << QStringList{"添加从站模块", "链接适配器", "自动分配地址", "[导出组态配置]", "导入组态配置", "|", "删除"};
        QTest::newRow("offline, forced") << true << true
                                         << QStringList{"-添加从站模块", "链接适配器", "-自动分配地址", "-[导出组态配置]",
                                                        "-导入组态配置", "|", "-删除"};
    }

    void adapterMenu()
    {
        QFETCH(bool, local);
        QFETCH(bool, force);
        QFETCH(QStringList, expected);
        ProjectView tree;
        tree.addAdapter(QStringLiteral("A"), 0);
        tree.setFlagsProvider([&](int) { return ProjectView::AdapterFlags{true, force, local}; });
        QScopedPointer<QMenu> menu(tree.buildAdapterMenu(0));
        QCOMPARE(menuEntries(menu.data()), expected);
        QMenu *exports = actionNamed(menu.data(), QStringLiteral("导出组态配置"))->menu();
        QCOMPARE(menuEntries(exports), (QStringList{"常规导出CSV", "带UID导出CSV"}));

        // An entry names its command and its adapter.
        qRegisterMetaType<ProjectView::Command>("ProjectView::Command");
        QSignalSpy commands(&tree, &ProjectView::sigAdapterCommand);
        QAction *remove = actionNamed(menu.data(), QStringLiteral("删除"));
        QCOMPARE(remove->isEnabled(), !force);
        remove->trigger();
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.first().at(0).toInt(), 0);
        QCOMPARE(commands.first().at(1).value<ProjectView::Command>(), ProjectView::Command::Remove);
    }

    void menuOffersOnlyWhatIsBuilt()
    {
        ProjectView tree;
        tree.addAdapter(QStringLiteral("A"), 0);
        tree.setFlagsProvider([](int index) { return ProjectView::AdapterFlags{index == 0, false, false}; });
        tree.setCommandFilter([](ProjectView::Command c) {
            return c == ProjectView::Command::Reload || c == ProjectView::Command::Remove;
        });
        QScopedPointer<QMenu> menu(tree.buildAdapterMenu(0));
        QCOMPARE(menuEntries(menu.data()), (QStringList{"重新加载从站", "|", "|", "删除"}));
        QVERIFY(!tree.buildAdapterMenu(1)); // no such adapter
    }

    void slaveMenu()
    {
        ProjectView tree;
        tree.addAdapter(QStringLiteral("live"), 0);
        tree.addAdapter(QStringLiteral("offline"), 1);
        tree.setFlagsProvider([](int index) { return ProjectView::AdapterFlags{true, false, index == 1}; });
        QTreeWidgetItem *live = tree.addSlave(0, QStringLiteral("站号：1 (DI8)"), 1, "UID1", 11);
        tree.addSlave(1, QStringLiteral("站号：1 (DI8)"), 1, QByteArray(), 21);
        QTreeWidgetItem *second = tree.addSlave(1, QStringLiteral("站号：1 (DI8)"), 1, QByteArray(), 22);
        QVERIFY(!tree.buildSlaveMenu(live));
        QScopedPointer<QMenu> menu(tree.buildSlaveMenu(second));
        QCOMPARE(menuEntries(menu.data()), QStringList{"删除从站模块"});
        // Two slaves without a UID: the one clicked is the one removed.
        QSignalSpy removed(&tree, &ProjectView::sigRemoveSlave);
        menu->actions().first()->trigger();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.first().at(0).toInt(), 1);
        QCOMPARE(removed.first().at(2).toULongLong(), quint64(22));
    }

    void entries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("red");
        QTest::newRow("station set") << "站号：3 (DI8)" << 3 << "站号：3 (DI8)" << false;
        QTest::newRow("station 0") << "站号：0 (DI8)" << 0 << "未设定" << true;
        QTest::newRow("unknown kind") << "站号：11 (?)" << 11 << "站号：11 (?)" << true;
    }

    void entries()
    {
        QFETCH(QString, text);
        QFETCH(int, station);
        QFETCH(QString, shown);
        QFETCH(bool, red);
        ProjectView tree;
        tree.addAdapter(QStringLiteral("A"), 0);
        QTreeWidgetItem *item = tree.addSlave(0, text, station, "UID", 5);
        QCOMPARE(item->text(0), shown);
        QCOMPARE(item->foreground(0).color() == QColor(221, 34, 34), red);
        QCOMPARE(item->data(ProjectView::kSlaveColumn, ProjectView::kDataRole).toInt(), station);
        QCOMPARE(item->data(ProjectView::kSlaveColumn, ProjectView::kUidRole).toByteArray(), QByteArray("UID"));
    }

    void pressShowsAdapterOrSlave()
    {
        ProjectView tree;
        tree.addAdapter(QStringLiteral("A"), 0);
        tree.addAdapter(QStringLiteral("B"), 1);
        QTreeWidgetItem *slave = tree.addSlave(1, QStringLiteral("站号：4 (DO8)"), 4, "UID4", 44);
        QSignalSpy adapters(&tree, &ProjectView::sigShowAdapter);
        QSignalSpy slaves(&tree, &ProjectView::sigShowSlave);
        emit tree.itemPressed(tree.topLevelItem(1), 0);
        QCOMPARE(adapters.count(), 1);
        QCOMPARE(adapters.first().at(0).toInt(), 1);
        emit tree.itemPressed(slave, 0);
        QCOMPARE(slaves.count(), 1);
        QCOMPARE(slaves.first().at(0).toInt(), 1);
        QCOMPARE(slaves.first().at(1).toInt(), 4);
        QCOMPARE(slaves.first().at(2).toByteArray(), QByteArray("UID4"));
        QCOMPARE(slaves.first().at(3).toULongLong(), quint64(44));
    }

    void insertAndRemove()
    {
        ProjectView tree;
        tree.addAdapter(QStringLiteral("A"), 0);
        for (int s : {1, 2, 3})
            tree.addSlave(0, QStringLiteral("站号：%1 (DI8)").arg(s), s, QByteArray(), 0);
        tree.insertSlave(0, QStringLiteral("站号：1 (DO8)"), 1, QByteArray(), 0);
        QCOMPARE(tree.slaveItem(0, 1)->text(0), QStringLiteral("站号：1 (DO8)"));
        tree.insertSlave(0, QStringLiteral("站号：99 (DO8)"), 99, QByteArray(), 0);
        QCOMPARE(tree.slaveItem(0, 4)->text(0), QStringLiteral("站号：99 (DO8)"));
        QVERIFY(!tree.slaveItem(0, 5));
        QVERIFY(!tree.slaveItem(1, 0));
        tree.onRemoveSlaveItem(0, 5); // the number of children: nothing
        QCOMPARE(tree.topLevelItem(0)->childCount(), 5);
        tree.onRemoveSlaveItem(0, 0);
        QCOMPARE(tree.topLevelItem(0)->childCount(), 4);
        tree.addForceMarker(QStringLiteral("A"));
        QCOMPARE(tree.topLevelItem(0)->child(4)->text(0), QStringLiteral("info"));
        tree.removeSlaves(0);
        QCOMPARE(tree.topLevelItem(0)->childCount(), 0);
        tree.onRemoveCouplerItem(3);
        QCOMPARE(tree.adapterCount(), 1);
        tree.onRemoveCouplerItem(0);
        QCOMPARE(tree.adapterCount(), 0);
    }
};

QTEST_MAIN(TestProjectView)
#include "tst_project_view.moc"
