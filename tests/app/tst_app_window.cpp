// The main window with its tabs, managers, chooser and tree, driven as a
// user drives it, against the virtual adapter.

#include "AppHarness.h"
#include "HeapInUse.h"

#include "AdapterSettingsView.h"
#include "CouplerScene.h"
#include "FirmwareBurning.h"
#include "GraphicsView.h"
#include "HeapTrimmer.h"
#include "MainProductView.h"
#include "ProjectView.h"
#include "SvgDevice.h"
#include "TestFiles.h"
#include "TopologyPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>

#include <cstdlib>
#include <thread>
#include <vector>

using namespace apph;

const QString kLeaveFirst = QStringLiteral("警告|强制模式不可操作!\n适配器的输出仍被强制。是否先退出强制模式,再继续?|退出强制模式并继续/取消");

class TestAppWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void opensTheDemonstrationAdapter()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QCOMPARE(window->windowTitle(), QStringLiteral("TarnBUSTesterTool"));
        QVERIFY(openThroughChooser(*window, kDemoName));
        TabWidget *tabs = window->tabWidget();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), kDemoName);
        // Loading is shown while the adapter loads, and gone afterwards.
        QVERIFY(window->loading()->isVisible() || !tabs->manager(0)->isLoading());
        AdapterManage *manager = tabs->manager(0);
        QVERIFY(waitLoaded(manager));
        QTRY_VERIFY(!window->loading()->isVisible());

        // The tree: the adapter and its 16 slaves; station 0 and "?" in red.
        ProjectView *tree = window->projectView();
        QCOMPARE(tree->adapterCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), kDemoName);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 16);
        const QColor red(221, 34, 34);
        int unset = 0;
        int unknown = 0;
        for (int i = 0; i < 16; ++i) {
            QTreeWidgetItem *item = tree->slaveItem(0, i);
            if (item->text(0) == QStringLiteral("未设定")) {
                ++unset;
                QCOMPARE(item->foreground(0).color(), red);
            } else if (item->text(0).contains(QLatin1Char('?'))) {
                ++unknown;
                QCOMPARE(item->foreground(0).color(), red);
            } else {
                QVERIFY(item->text(0).startsWith(QStringLiteral("站号：")));
                QVERIFY(item->foreground(0).color() != red);
            }
        }
        QCOMPARE(unset, 2);   // the local module and the module without station
        QCOMPARE(unknown, 2); // two modules without a kind of their own
        QCOMPARE(tree->slaveItem(0, 3)->text(0), QStringLiteral("站号：2 (DO16)"));

        // The table and the status panel.
        MainProductView *page = manager->page();
        SlaveMainWindow *panel = page->slaveWindow();
        QCOMPARE(panel->rowCount(), 16);
        QCOMPARE(panel->cellText(3, SlaveMainWindow::NameColumn), QStringLiteral("TB-DO16-T"));
        QCOMPARE(panel->cellText(3, SlaveMainWindow::OutputColumn), QStringLiteral("8 (16 Bit)"));
        QCOMPARE(panel->slaveCountText(), QStringLiteral("16"));
        QCOMPARE(panel->powerText(), QStringLiteral("24 W"));
        QCOMPARE(panel->temperatureText(), QStringLiteral("36 °C"));
        QCOMPARE(panel->forceIndicator(), SlaveMainWindow::Force::Off);
        // The first line says where the list is kept.
        QCOMPARE(messageLines(page->messageWidget()).mid(1),
                 (QStringList{"None|TarnBUS|开始加载从站模块", "None|TarnBUS|加载从站模块完成"}));
        QVERIFY(messageLines(page->messageWidget()).first().startsWith(QStringLiteral("None|TarnBUS|消息日志: ")));
        QVERIFY(page->adapterPageRows().contains(QStringLiteral("TBName|TBC-U100")));
        QCOMPARE(boxTexts(), QStringList());

        // Pressing a slave in the tree shows it.
        QTreeWidgetItem *do16 = tree->slaveItem(0, 3);
        emit tree->itemPressed(do16, 0);
        QCOMPARE(page->currentPage(), int(MainProductView::SlavePage));
        QVERIFY(page->slavePageRows().contains(QStringLiteral("类型|TB-DO16-T")));
        QVERIFY(page->slavePageRows().contains(QStringLiteral("Unique ID|DA01B2C3D402")));
        emit tree->itemPressed(tree->topLevelItem(0), 0);
        QCOMPARE(page->currentPage(), int(MainProductView::AdapterPage));
    }

    void chooserFindsNothing()
    {
        WorkingFolder folder;
        tbsim::bus().reset();
        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        QVERIFY(chooser);
        // The chooser scans as it opens.
        QTRY_VERIFY(boxTexts().contains(QStringLiteral("警告|未识别到USB接口，请检查USB是否链接正常。")));
        closeBoxes();
        // Adding with nothing chosen.
        chooser->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
        QCOMPARE(boxTexts(), QStringList{"警告|未选择适配器!"});
        QVERIFY(chooser->isVisible());
        chooser->reject();
    }

    // No adapter can be opened because the user may not open its device
    // node: the chooser names the node and the udev rule, instead of saying
    // that none was found or that one did not answer.
    void chooserSaysThePermissionIsMissing_data()
    {
        QTest::addColumn<bool>("listed"); // hidapi lists the adapter, whose probe fails
        QTest::newRow("not listed") << false;
        QTest::newRow("listed but silent") << true;
    }
    void chooserSaysThePermissionIsMissing()
    {
        QFETCH(bool, listed);
        WorkingFolder folder;
        if (listed) {
            tbsim::FaultRule rule;
            rule.kind = tbsim::FaultKind::NoReply;
            rule.code = 0x20;
            tbsim::bus().adapter(kDemoSerial.toStdString()).addFault(rule);
        } else {
            tbsim::bus().reset();
        }
        QTemporaryDir root;
        const HidAccess::System denied = testing_support::adapterNode(root, QStringLiteral("hidraw5"));
        HidAccess::setSystem(denied);

        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        QVERIFY(chooser);
        // The chooser scans as it opens.
        const QString said = QStringLiteral("警告|") + HidAccess::windowText({denied.devices + QStringLiteral("/hidraw5")});
        QTRY_COMPARE(boxTexts(), QStringList{said});
        QVERIFY(said.contains(QStringLiteral("/usr/lib/udev/rules.d/70-tarnbus-tester.rules")));
        QCOMPARE(chooser->list()->count(), 0);
        chooser->reject();
    }

    // On the virtual adapter (--demo) the title and the status bar say so
    // for the whole run.
    // Showing the catalogue takes its room from the pages: the tree keeps
    // its width, and a name longer than the tree scrolls instead of being cut.
    void sidePanelsKeepTheirWidth()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        ProjectView *tree = window->projectView();
        const int treeWidth = tree->width();
        QVERIFY(treeWidth >= 200);
        window->findChild<QAction *>(QStringLiteral("actionProductView"))->setChecked(true);
        auto *catalogue = window->findChild<QWidget *>(QStringLiteral("ProductView"));
        QTRY_VERIFY(catalogue->isVisible());
        QTRY_VERIFY(catalogue->width() >= 200);
        QCOMPARE(tree->width(), treeWidth);
        // The adapter's name is never elided.
        QCOMPARE(tree->textElideMode(), Qt::ElideNone);
        QVERIFY(tree->columnWidth(0) >= QFontMetrics(tree->topLevelItem(0)->font(0)).horizontalAdvance(tree->topLevelItem(0)->text(0)));
    }

    void virtualAdapterShown()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QCOMPARE(window->windowTitle(), QStringLiteral("TarnBUSTesterTool"));
        QVERIFY(!window->findChild<QLabel *>(QStringLiteral("virtualAdapterLabel")));
        window->setVirtualAdapter(m_root + QStringLiteral("/sim/buses/demo.json"));
        QCOMPARE(window->windowTitle(), QStringLiteral("TarnBUSTesterTool - 虚拟适配器 (demo.json)"));
        auto *label = window->findChild<QLabel *>(QStringLiteral("virtualAdapterLabel"));
        QVERIFY(label);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("虚拟适配器: 总线文件 demo.json, 未连接真实硬件"));
        QVERIFY(label->toolTip().contains(QDir::toNativeSeparators(m_root + QStringLiteral("/sim/buses/demo.json"))));
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        QVERIFY(label->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("TarnBUSTesterTool - 虚拟适配器 (demo.json)"));
    }

    void chooserManualOpensAnOfflineConfiguration()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        QVERIFY(chooser);
        auto *combo = chooser->findChild<QComboBox *>(QStringLiteral("comboBox"));
        auto *scan = chooser->findChild<QPushButton *>(QStringLiteral("pushButton"));
        combo->setCurrentIndex(1);
        QCOMPARE(combo->currentText(), QStringLiteral("手动"));
        QVERIFY(!scan->isEnabled());
        combo->setCurrentIndex(0);
        QVERIFY(scan->isEnabled());
        combo->setCurrentIndex(1);
        chooser->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
        TabWidget *tabs = window->tabWidget();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("TarnBUS"));
        QTRY_VERIFY(tabs->manager(0)->isLocalConfiguration());
        QCOMPARE(window->projectView()->topLevelItem(0)->text(0), QStringLiteral("TarnBUS"));
        QCOMPARE(tabs->manager(0)->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::Cleared);
    }

    void chooserProbeFailures_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("not an adapter") << 0x48 << int(tbsim::FaultKind::WrongCommand) << "警告|通信异常，请检测设备类型。";
        QTest::newRow("no identity") << 0x20 << int(tbsim::FaultKind::NoReply) << "警告|通信异常，请检查设备类型。";
        // An identity the adapter refuses, or one that arrives corrupted, names nothing.
        QTest::newRow("identity refused") << 0x20 << int(tbsim::FaultKind::Refuse) << "警告|通信异常，请检查设备类型。";
        QTest::newRow("identity corrupted") << 0x20 << int(tbsim::FaultKind::BadChecksum) << "警告|通信异常，请检查设备类型。";
    }

    void chooserProbeFailures()
    {
        QFETCH(int, code);
        QFETCH(int, fault);
        QFETCH(QString, text);
        WorkingFolder folder;
        tbsim::FaultRule rule;
        rule.kind = tbsim::FaultKind(fault);
        rule.code = code;
        tbsim::bus().adapter(kDemoSerial.toStdString()).addFault(rule);
        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        // The chooser scans as it opens.
        QTRY_COMPARE(boxTexts(), QStringList{text});
        QCOMPARE(chooser->list()->count(), 0);
        chooser->reject();
    }

    // The chooser scans as it opens and shows each adapter's serial number;
    // one open in a tab is listed by its name, marked, and cannot be chosen.
    void chooserListsAnOpenAdapterByName()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const int identities = sim.requestCount(0x20);
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        QTRY_COMPARE(chooser->list()->count(), 1);
        QListWidgetItem *item = chooser->list()->item(0);
        QCOMPARE(item->text(), kDemoName + QStringLiteral("   序列号: ") + kDemoSerial + QStringLiteral("   (已在其他标签页中打开)"));
        QVERIFY(!(item->flags() & Qt::ItemIsEnabled));
        QVERIFY(!(item->flags() & Qt::ItemIsSelectable));
        QCOMPARE(chooser->list()->currentItem(), nullptr);
        // The open adapter is not talked to by the probe.
        QCOMPARE(sim.requestCount(0x20), identities);
        // Nothing can be added.
        chooser->list()->setCurrentItem(item);
        chooser->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
        QCOMPARE(boxTexts(), QStringList{"警告|未选择适配器!"});
        QCOMPARE(window->tabWidget()->count(), 1);
        closeBoxes();
        chooser->reject();

        // Closed, it is offered again, named for its tab's title.
        QVERIFY(window->tabWidget()->closeAdapterAt(0));
        QVERIFY(openDemo(*window));
        QCOMPARE(window->tabWidget()->tabText(0), kDemoName);
    }

    void chooserRefusedWhileAnAdapterConnects()
    {
        WorkingFolder folder;
        // A slow adapter: its connection is still under way.
        tbsim::FaultRule slow;
        slow.kind = tbsim::FaultKind::SlowReply;
        slow.code = 0x21;
        slow.delayMs = 200;
        slow.count = 1;
        tbsim::bus().adapter(kDemoSerial.toStdString()).addFault(slow);
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openThroughChooser(*window, kDemoName));
        QVERIFY(window->tabWidget()->manager(0)->isLoading());
        window->on_action_5_triggered();
        SettingView *chooser = visibleTopLevels<SettingView>().value(0);
        chooser->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QCOMPARE(boxTexts(), QStringList{"警告|USB端口已被占用!"});
        chooser->reject();
        QVERIFY(waitLoaded(window->tabWidget()->manager(0)));
    }

    void refusalsWithoutAnAdapter()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_6_triggered();
        QCOMPARE(boxTexts(), QStringList{"警告|请先选择设备!"});
        closeBoxes();
        // Force, leaving it and download without any tab say so too.
        for (void (MainWindow::*action)() : {&MainWindow::on_action_7_triggered, &MainWindow::on_action_16_triggered,
                                             &MainWindow::on_action_14_triggered}) {
            (window.data()->*action)();
            QCOMPARE(boxTexts(), QStringList{"警告|请先选择设备!"});
            closeBoxes();
        }
        // On an offline configuration force mode has no adapter to act on.
        QVERIFY(openOffline(*window));
        window->on_action_7_triggered();
        QCOMPARE(boxTexts(), QStringList{"提示|离线组态没有适配器,不可强制。"});
        closeBoxes();
        QVERIFY(!window->tabWidget()->closeAdapterAt(-1));
        QVERIFY(!window->tabWidget()->closeAdapterAt(3));
    }

    // The demonstration bus as its tab's topology: every module in bus
    // order with its name and station, and a click on a module shows it.
    void topologyOfTheDemonstrationAdapter()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        TopologyPage *topology = manager->findChild<TopologyPage *>();
        QVERIFY(topology);
        QList<SlaveGroup *> groups;
        for (QGraphicsItem *item : topology->scene()->items()) {
            if (auto *group = qgraphicsitem_cast<SlaveGroup *>(item))
                groups << group;
        }
        std::sort(groups.begin(), groups.end(), [](const SlaveGroup *a, const SlaveGroup *b) { return a->index() < b->index(); });
        QStringList modules;
        qreal lastX = -1;
        for (const SlaveGroup *group : qAsConst(groups)) {
            modules << group->module->text(QStringLiteral("text"), QStringLiteral("name")) + QLatin1Char('@')
                           + group->module->text(QStringLiteral("text"), QStringLiteral("number"));
            QVERIFY(group->module->scenePos().x() > lastX); // one row, left to right
            lastX = group->module->scenePos().x();
        }
        QCOMPARE(modules, (QStringList{"TB-DIO8-C@0", "TB-DI8-N@0", "TB-DI16-P@1", "TB-DO16-T@2", "TB-DI8-N@3", "TB-DO8-T@4",
                                       "TB-DO8-T@4", "TB-DI32-P@5", "TB-DIO16-D@6", "TB-DI8DO8-P@7", "TB-AI4-I@8", "TB-AO4-V@9",
                                       "TB-AI8-V@10", "LS-?-?@11", "TB-AI2AO2-V@12", "LS-?-?@13"}));

        // A click on the DI8DO8 at station 7 shows that module.
        const SlaveGroup *station7 = groups.at(9);
        GraphicsView *view = topology->view();
        view->ensureVisible(station7->module);
        const QPoint at = view->mapFromScene(station7->module->sceneBoundingRect().center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(manager->page()->currentPage(), int(MainProductView::SlavePage));
        QCOMPARE(manager->currentRecordId(), station7->recordId());
    }

    // The firmware upgrade opens only while no live adapter is open; with
    // several tabs and none chosen in the tree, a tab's action asks which.
    void upgradeAndChoosingAnAdapter()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openOffline(*window));
        window->on_action_12_triggered();
        FirmwareBurning *upgrade = waitForTopLevel<FirmwareBurning>();
        QVERIFY(upgrade);
        QCOMPARE(boxTexts(), QStringList());
        upgrade->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(openDemo(*window));
        window->on_action_12_triggered();
        QCOMPARE(boxTexts(), QStringList{"警告|组态链接中,不可进入升级模式!"});
        closeBoxes();
        QVERIFY(!waitForTopLevel<FirmwareBurning>(200));

        window->projectView()->setCurrentItem(nullptr);
        window->on_action_14_triggered();
        QCOMPARE(boxTexts(), QStringList{"警告|请先选择设备!"});
        closeBoxes();
        QVERIFY(!window->loading()->isVisible());
    }

    // The adapter's own settings from its page: shown as reported, written
    // after the user confirms, and shown again as the adapter restarts.
    void adapterSettings()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        AdapterSettingsView *view = manager->page()->adapterSettings();
        auto *diFilter = view->findChild<QComboBox *>(QStringLiteral("comboBox"));
        auto *stationMode = view->findChild<QComboBox *>(QStringLiteral("comboBox_4"));
        auto *threshold = view->findChild<QSpinBox *>(QStringLiteral("spinBox"));
        auto *changeThreshold = view->findChild<QCheckBox *>(QStringLiteral("checkBox"));
        auto *write = view->findChild<QPushButton *>(QStringLiteral("pushButton"));
        QTRY_COMPARE(diFilter->currentText(), QStringLiteral("开启"));
        QCOMPARE(view->findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("DI滤波使能"));
        QCOMPARE(stationMode->currentText(), QStringLiteral("严格组态"));
        QCOMPARE(threshold->value(), 1000);
        QVERIFY(!threshold->isEnabled());
        QVERIFY(!write->isEnabled()); // nothing changed yet

        diFilter->setCurrentIndex(0);
        stationMode->setCurrentIndex(1);
        changeThreshold->setChecked(true);
        threshold->setValue(1500);
        QVERIFY(write->isEnabled());
        // A report of the same settings keeps what the user is editing.
        manager->reloadSlaves();
        QTRY_VERIFY(!manager->isLoading());
        QCOMPARE(diFilter->currentText(), QStringLiteral("关闭"));

        QTest::mouseClick(write, Qt::LeftButton);
        QVERIFY(answerQuestion(QStringLiteral("确定")));
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(int(sim.settings()), 0x08, 5000);
        QCOMPARE(int(sim.threshold()), 1500);
        QTRY_VERIFY_WITH_TIMEOUT(boxTexts().contains(QStringLiteral("提示|TB配置修改成功!")), 5000);
        closeBoxes();
        // The adapter reports its new settings once it is back.
        QTRY_VERIFY_WITH_TIMEOUT(!changeThreshold->isChecked(), 5000);
        QCOMPARE(stationMode->currentText(), QStringLiteral("自由组态"));
        QCOMPARE(threshold->value(), 1500);
        QVERIFY(!write->isEnabled());

        // Cancelled: nothing is written.
        diFilter->setCurrentIndex(1);
        QTest::mouseClick(write, Qt::LeftButton);
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QTest::qWait(100);
        QCOMPARE(int(sim.settings()), 0x08);
        // "还原" brings back what the adapter reported.
        QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);
        QCOMPARE(diFilter->currentText(), QStringLiteral("关闭"));
        QVERIFY(!write->isEnabled());

        // An offline configuration has no adapter settings to edit.
        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        AdapterSettingsView *none = offline->page()->adapterSettings();
        QVERIFY(!none->findChild<QComboBox *>(QStringLiteral("comboBox"))->isEnabled());
        QCOMPARE(none->findChild<QLabel *>(QStringLiteral("hintLabel"))->text(), QStringLiteral("离线组态没有适配器参数。"));
    }

    void alignmentToggle()
    {
        WorkingFolder folder;
        testing_support::clearTestFolders();
        const QString settings = SettingsFiles::path(SettingsFiles::kAlignment);
        QScopedPointer<MainWindow> window(newWindow());
        // Without setByte.ini: bit alignment.
        QVERIFY(!QFile::exists(settings));
        QVERIFY(!window->byteAlignment());
        QVERIFY(!window->tabWidget()->byteAlignment());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        window->on_action_15_triggered();
        // Kept in the user's configuration folder, never in the working folder.
        QVERIFY(QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Byte")).toBool());
        QVERIFY(!QFile::exists(QStringLiteral("setByte.ini")));
        QVERIFY(window->tabWidget()->byteAlignment());
        // The open adapter follows: its table shows bytes.
        SlaveMainWindow *panel = manager->page()->slaveWindow();
        QTRY_COMPARE(panel->cellText(3, SlaveMainWindow::OutputColumn), QStringLiteral("1 (2 Byte)"));
        window->on_action_15_triggered();
        QVERIFY(!QSettings(settings, QSettings::IniFormat).value(QStringLiteral("Byte")).toBool());
        QTRY_COMPARE(panel->cellText(3, SlaveMainWindow::OutputColumn), QStringLiteral("8 (16 Bit)"));
        // A new window starts with what was stored.
        window->on_action_15_triggered();
        window.reset();
        QScopedPointer<MainWindow> again(newWindow());
        QVERIFY(again->byteAlignment());
    }

    // A setByte.ini an earlier version left in the working folder is taken
    // over by the first window, and left where it was; a later change of
    // it is not taken over again.
    void alignmentTakenOverFromTheWorkingFolder()
    {
        WorkingFolder folder;
        testing_support::clearTestFolders();
        const QByteArray old("[General]\nByte=true\n");
        QVERIFY(testing_support::writeFile(QStringLiteral("setByte.ini"), old));
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(window->byteAlignment());
        QVERIFY(window->tabWidget()->byteAlignment());
        QCOMPARE(testing_support::readAll(SettingsFiles::path(SettingsFiles::kAlignment)), old);
        window->on_action_15_triggered();
        QCOMPARE(testing_support::readAll(QStringLiteral("setByte.ini")), old);
        window.reset();
        QScopedPointer<MainWindow> again(newWindow());
        QVERIFY(!again->byteAlignment());
    }

    void forceModeKeepsTheWindowOpen()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        window->on_action_7_triggered();
        QTRY_VERIFY(manager->isForceMode());
        QTRY_COMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::On);
        // Quitting and closing are refused; the box offers to leave force
        // mode first.
        window->on_action_8_triggered();
        QCOMPARE(questionTexts(), QStringList{kLeaveFirst});
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QVERIFY(window->isVisible());
        QVERIFY(!window->close());
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QVERIFY(manager->isForceMode());
        QVERIFY(!window->tabWidget()->closeAdapterAt(0));
        QCOMPARE(questionTexts(), QStringList{kLeaveFirst});
        QVERIFY(answerQuestion(QStringLiteral("退出强制模式并继续")));
        // The tab closes once the adapter has confirmed leaving force mode.
        QTRY_COMPARE(window->tabWidget()->count(), 0);
        QVERIFY(!tbsim::bus().adapter(kDemoSerial.toStdString()).forceMode());
        QVERIFY(window->close());
    }

    // Leaving force mode that the adapter refuses: force mode stays in
    // plain sight, the user is told the outputs may still be forced, the
    // window and the tab stay open, and leaving can be asked again.
    void refusedLeaveKeepsForceMode()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        window->on_action_7_triggered();
        QTRY_COMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::On);
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x23;
        refuse.count = 1;
        sim.addFault(refuse);

        window->on_action_16_triggered();
        const QString failure = QStringLiteral("退出强制模式失败: 适配器拒绝执行! 输出可能仍处于强制状态,请重试。");
        QTRY_COMPARE(boxTexts(), QStringList{QStringLiteral("警告|") + failure});
        QVERIFY(messageLines(manager->page()->messageWidget()).contains(QStringLiteral("Error|TarnBUS|") + failure));
        QVERIFY(sim.forceMode());
        QVERIFY(manager->isForceMode());
        QCOMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::On);
        closeBoxes();
        // Quitting offers to leave force mode first; the adapter refuses
        // again, and nothing closes.
        sim.addFault(refuse);
        QVERIFY(!window->close());
        QVERIFY(answerQuestion(QStringLiteral("退出强制模式并继续")));
        QTRY_COMPARE(boxTexts(), QStringList{QStringLiteral("警告|") + failure});
        closeBoxes();
        QVERIFY(window->isVisible());
        QVERIFY(manager->isForceMode());
        QVERIFY(!window->tabWidget()->closeAdapterAt(0));
        QVERIFY(answerQuestion(QStringLiteral("取消")));

        // Leaving later does not close what was not closed then.
        window->on_action_16_triggered();
        QTRY_VERIFY(!manager->isForceMode());
        QTRY_COMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::Off);
        QVERIFY(!sim.forceMode());
        QTest::qWait(100);
        QVERIFY(window->isVisible());
        QCOMPARE(window->tabWidget()->count(), 1);
        QVERIFY(window->close());
    }

    // Quitting is refused while any adapter forces, not only the one picked.
    void quitRefusedWhileAnotherAdapterForces()
    {
        WorkingFolder folder;
        const QString second = QStringLiteral("3C2E0A000002");
        QCOMPARE(loadTwoAdapters(m_root, second), QString());
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        QVERIFY(openThroughChooser(*window, QStringLiteral("TarnBUS USB Adapter(TBC-U200)")));
        TabWidget *tabs = window->tabWidget();
        AdapterManage *a = tabs->manager(0);
        AdapterManage *b = tabs->manager(1);
        QVERIFY(waitLoaded(b));
        ProjectView *tree = window->projectView();
        emit tree->itemPressed(tree->topLevelItem(1), 0);
        window->on_action_7_triggered();
        QTRY_VERIFY(b->isForceMode());
        // The first adapter is picked again; the second still forces.
        emit tree->itemPressed(tree->topLevelItem(0), 0);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!a->isForceMode());

        window->on_action_8_triggered();
        QCOMPARE(questionTexts(), QStringList{kLeaveFirst});
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QVERIFY(window->isVisible());
        QVERIFY(!window->close());
        QCOMPARE(questionTexts(), QStringList{kLeaveFirst});
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QVERIFY(window->isVisible());

        emit tree->itemPressed(tree->topLevelItem(1), 0);
        window->on_action_16_triggered();
        QTRY_VERIFY(!b->isForceMode());
        QVERIFY(window->close());
    }

    // A lost link cannot be told to leave force mode: closing asks first,
    // and the tab stays unless the user agrees.
    void closingAskedWhileAnUnreachableAdapterMayForce()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        window->on_action_7_triggered();
        QTRY_VERIFY(manager->isForceMode());
        sim.unplug();
        QTRY_VERIFY(!manager->isLinked());
        closeBoxes();
        QVERIFY(manager->isForceMode());
        QCOMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::On);

        QVERIFY(!window->tabWidget()->closeAdapterAt(0));
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QCOMPARE(window->tabWidget()->count(), 1);
        QVERIFY(!window->close());
        QVERIFY(answerQuestion(QStringLiteral("关闭")));
        QTRY_VERIFY(!window->isVisible());
    }

    // The adapter refuses a settings write: it is said so, nothing is taken
    // as written, and the page still offers what the user asked for.
    void refusedSettingsWrite()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        AdapterSettingsView *view = manager->page()->adapterSettings();
        auto *diFilter = view->findChild<QComboBox *>(QStringLiteral("comboBox"));
        auto *write = view->findChild<QPushButton *>(QStringLiteral("pushButton"));
        QTRY_COMPARE(diFilter->currentText(), QStringLiteral("开启"));
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x42;
        refuse.count = 1;
        sim.addFault(refuse);

        diFilter->setCurrentIndex(0);
        QTest::mouseClick(write, Qt::LeftButton);
        QVERIFY(answerQuestion(QStringLiteral("确定")));
        QTRY_COMPARE(boxTexts(), QStringList{"警告|修改适配器参数失败: 适配器拒绝执行!"});
        closeBoxes();
        QCOMPARE(int(sim.settings()), 0x01);
        QCOMPARE(int(manager->adapterState().settingsByte), 0x01);
        QVERIFY(manager->adapterState().linked);
        // Not written: the edit stands, and can be written again.
        QCOMPARE(diFilter->currentText(), QStringLiteral("关闭"));
        QVERIFY(write->isEnabled());
        QVERIFY(!messageLines(manager->page()->messageWidget()).contains(QStringLiteral("None|TarnBUS|TB配置修改成功!")));
    }

    // Settings the adapter would not give are unknown: nothing to edit, and
    // the page says why.
    void unreadSettingsCannotBeWritten()
    {
        WorkingFolder folder;
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x22;
        tbsim::bus().adapter(kDemoSerial.toStdString()).addFault(refuse);
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openThroughChooser(*window, kDemoName));
        AdapterManage *manager = window->tabWidget()->manager(0);
        QVERIFY(waitLoaded(manager));
        AdapterSettingsView *view = manager->page()->adapterSettings();
        QTRY_COMPARE(view->findChild<QLabel *>(QStringLiteral("hintLabel"))->text(),
                     QStringLiteral("适配器参数未能读取,不可修改。请重新链接适配器。"));
        QVERIFY(!view->findChild<QComboBox *>(QStringLiteral("comboBox"))->isEnabled());
        QVERIFY(!view->findChild<QPushButton *>(QStringLiteral("pushButton"))->isEnabled());
        QVERIFY(!manager->adapterState().settingsKnown);
        QVERIFY(boxTexts().contains(QStringLiteral("警告|读取适配器参数失败: 适配器拒绝执行! 参数未知,不可修改。")));
        closeBoxes();
    }

    // "保存组态": the adapter restarts with the stored configuration, and once
    // it is back its bus is compared with what was stored.
    void storeIsReadBack_data()
    {
        QTest::addColumn<bool>("moduleLost");
        QTest::newRow("the bus as stored") << false;
        QTest::newRow("a module did not come back") << true;
    }
    void storeIsReadBack()
    {
        QFETCH(bool, moduleLost);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        MessageWidget *list = manager->page()->messageWidget();
        window->on_action_6_triggered();
        QTRY_VERIFY(boxTexts().contains(QStringLiteral("警告|保存组态成功! 主站已重启,请重新链接")));
        if (moduleLost)
            QVERIFY(sim.removeModule("DA01B2C3D407"));
        closeBoxes();
        if (moduleLost) {
            const QString lost = QStringLiteral("站号7 TB-DI8DO8-P (DA01B2C3D407) 重启后不在总线上");
            const QString box = QStringLiteral("警告|保存后读回的组态与保存的不一致:\n") + lost;
            QTRY_VERIFY2_WITH_TIMEOUT(boxTexts().contains(box), qPrintable(boxTexts().join(QLatin1Char(';'))), 10000);
            QVERIFY(messageLines(list).contains(QStringLiteral("Error|TarnBUS|保存后读回的组态与保存的不一致: ") + lost));
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|组态已读回,与保存的一致。")), 10000);
            QCOMPARE(boxTexts(), QStringList());
        }
        // The restart was asked for: no error is logged for the link it drops.
        QVERIFY(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|适配器按要求重启,重启后自动重新链接。")));
        QVERIFY(!messageLines(list).contains(QStringLiteral("Error|TarnBUS|TarnBUS链接断开!")));
        closeBoxes();
    }

    // Force mode is shown wherever the adapter is: the panel's indicator, a
    // bar across the page, the tab's title and the tree's entry.
    void forceModeInPlainSight()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        TabWidget *tabs = window->tabWidget();
        const QString title = tabs->tabText(0);
        QCOMPARE(manager->page()->forceBarText(), QString());
        window->on_action_7_triggered();
        QTRY_VERIFY(manager->isForceMode());
        QTRY_COMPARE(manager->page()->forceBarText(),
                     QStringLiteral("强制模式:适配器的输出由本工具强制。点击“取消强制”后全部输出关闭。"));
        QCOMPARE(tabs->tabText(0), title + QStringLiteral(" [强制]"));
        QVERIFY(window->projectView()->isAdapterForced(0));

        // The link lost: still shown, saying why it cannot be known.
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        sim.unplug();
        QTRY_COMPARE(manager->page()->forceBarText(),
                     QStringLiteral("适配器链接断开:无法确认其已退出强制模式,输出可能仍处于强制状态。"));
        QCOMPARE(tabs->tabText(0), title + QStringLiteral(" [强制]"));
        closeBoxes();
        sim.replug();
        // Back again, force mode is left and nothing says otherwise.
        QTRY_VERIFY_WITH_TIMEOUT(manager->adapterState().linked && !manager->isForceMode(), 10000);
        QTRY_COMPARE(manager->page()->forceBarText(), QString());
        QCOMPARE(tabs->tabText(0), title);
        QVERIFY(!window->projectView()->isAdapterForced(0));
        // What the user did is kept in the message list.
        const QStringList lines = messageLines(manager->page()->messageWidget());
        QCOMPARE(lines.count(QStringLiteral("Inform|TarnBUS|强制模式已开启")), 1);
        QCOMPARE(lines.count(QStringLiteral("Inform|TarnBUS|强制模式已退出,输出全部关闭")), 1);
        closeBoxes();
    }

    // The lamps are grey while the adapter's state cannot be known, and each
    // says what it watches and why it is not green.
    void statusLampsSayWhatTheyKnow()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        SlaveMainWindow *panel = manager->page()->slaveWindow();
        const QString good = QStringLiteral("image: url(:/image/0.png);");
        const QString grey = QStringLiteral("image: url(:/image/2.png);");
        const QStringList allGood{good, good, good, good};
        const QStringList allGrey{grey, grey, grey, grey};
        QTRY_COMPARE(panel->indicatorStyles(), allGood);
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("busPower"))->toolTip(), QStringLiteral("总线电源: 正常"));
        QCOMPARE(panel->powerText(), QStringLiteral("24 W"));

        // A flag the adapter reports bad is red, and says so.
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        sim.setStatus(0x15); // input power bad
        manager->reloadSlaves();
        QTRY_COMPARE(panel->indicatorStyles().at(1), QStringLiteral("image: url(:/image/1.png);"));
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("inputPower"))->toolTip(),
                 QStringLiteral("输入电源: 异常。适配器报告输入电源故障(状态位1),请检查24V供电。"));

        sim.unplug();
        QTRY_COMPARE(panel->indicatorStyles(), allGrey);
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("commState"))->toolTip(),
                 QStringLiteral("通信状态: 未知。适配器未链接(链接断开或正在重启)。"));
        QCOMPARE(panel->powerText(), QStringLiteral("-- W"));
        closeBoxes();

        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QTRY_COMPARE(offline->page()->slaveWindow()->indicatorStyles(), allGrey);
        QCOMPARE(offline->page()->slaveWindow()->powerText(), QStringLiteral("-- W"));
        QCOMPARE(offline->page()->slaveWindow()->findChild<QLabel *>(QStringLiteral("busPower"))->toolTip(),
                 QStringLiteral("总线电源: 未知。离线组态没有适配器。"));
        sim.replug();
    }

    void downloadSaysSuccessWhenDone()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const int handshakes = sim.requestCount(0x48, 0x00, 0xEC);
        window->on_action_14_triggered();
        MessageWidget *list = manager->page()->messageWidget();
        // Nothing is claimed before the download has run.
        QVERIFY(!messageLines(list).contains(QStringLiteral("Inform|TarnBUS|下载配置数据成功!")));
        QTRY_VERIFY(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|下载配置数据成功!")));
        QVERIFY(sim.requestCount(0x47, 0x00, 0x02) >= 14);
        QVERIFY(sim.requestCount(0x48, 0x00, 0xEC) > handshakes);
        QTRY_VERIFY(!window->loading()->isVisible());
        QCOMPARE(boxTexts(), QStringList());
    }

    void downloadRefusedOverAConflict()
    {
        WorkingFolder folder;
        // Two modules claim the same input bits.
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        tbsim::Module moved = *sim.module("DA01B2C3D403");
        QVERIFY(sim.removeModule(moved.uid));
        moved.inStart = 8;
        QCOMPARE(QString::fromStdString(sim.addModule(moved)), QString());
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        const int writes = sim.requestCount(0x47, 0x00, 0x02);
        manager->downloadConfiguration();
        QTRY_COMPARE(boxTexts(), QStringList{QStringLiteral("提示|地址冲突,下载配置失败!\n站号1 (TB-DI16-P) 与 站号3 (TB-DI8-N) 的输入区重叠 8 位 (8..15)")});
        QCOMPARE(sim.requestCount(0x47, 0x00, 0x02), writes);
        QTRY_VERIFY(!window->loading()->isVisible());
    }

    void unplugAndReplug()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        MessageWidget *list = manager->page()->messageWidget();
        sim.unplug();
        QTRY_VERIFY(messageLines(list).contains(QStringLiteral("Error|TarnBUS|TarnBUS链接断开!")));
        QCOMPARE(manager->page()->slaveWindow()->forceIndicator(), SlaveMainWindow::Force::Cleared);
        sim.replug();
        QTRY_VERIFY_WITH_TIMEOUT(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|TarnBUS重新链接!")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(manager->adapterState().linked && !window->loading()->isVisible(), 10000);
        QCOMPARE(window->projectView()->topLevelItem(0)->childCount(), 16);
        QCOMPARE(manager->page()->slaveWindow()->rowCount(), 16);
        closeBoxes();
    }

    void twoAdaptersKeepTheirOwnViews()
    {
        WorkingFolder folder;
        const QString second = QStringLiteral("3C2E0A000002");
        QCOMPARE(loadTwoAdapters(m_root, second), QString());
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        QVERIFY(openThroughChooser(*window, QStringLiteral("TarnBUS USB Adapter(TBC-U200)")));
        TabWidget *tabs = window->tabWidget();
        QCOMPARE(tabs->count(), 2);
        AdapterManage *a = tabs->manager(0);
        AdapterManage *b = tabs->manager(1);
        QVERIFY(waitLoaded(b));
        QCOMPARE(b->mac(), second);
        ProjectView *tree = window->projectView();
        QCOMPARE(tree->adapterCount(), 2);

        // A slave of A is shown on A's page only.
        emit tree->itemPressed(tree->slaveItem(0, 5), 0);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(a->page()->currentPage(), int(MainProductView::SlavePage));
        QCOMPARE(b->page()->currentPage(), int(MainProductView::AdapterPage));
        QVERIFY(b->currentSlaveId().isEmpty());
        // Force mode goes to the adapter picked.
        emit tree->itemPressed(tree->topLevelItem(1), 0);
        QCOMPARE(tabs->currentIndex(), 1);
        window->on_action_7_triggered();
        QTRY_VERIFY(b->isForceMode());
        QVERIFY(!a->isForceMode());
        window->on_action_16_triggered();
        QTRY_VERIFY(!b->isForceMode());

        // Closing A leaves B whole; B's index follows.
        QVERIFY(tabs->closeAdapterAt(0));
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tree->adapterCount(), 1);
        QCOMPARE(b->treeIndex(), 0);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 16);
    }

    void closingWhileLoadingIsPrompt()
    {
        WorkingFolder folder;
        QCOMPARE(loadBus(QStringLiteral("sim/buses/full128.json"), m_root), QString());
        tarnbus::LinkTiming slow = fastTiming();
        slow.beforeRequestMs = 200;
        slow.connectTimeoutMs = 60000;
        slow.replyTimeoutMs = 60000;
        tarnbus::setLinkTiming(slow);
        QScopedPointer<MainWindow> window(newWindow());
        window->tabWidget()->onCreateAdapterSlaveView(QStringLiteral("3C2E0A000128"), 0x2E3C, 0xAF01, QStringLiteral("slow"));
        QTest::qWait(300);
        QVERIFY(window->tabWidget()->manager(0)->isLoading());
        QVERIFY(window->loading()->isVisible());
        // Loading 128 modules this slowly takes most of a minute; the close
        // must not wait for it.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(window->tabWidget()->closeAdapterAt(0));
        const qint64 elapsed = clock.elapsed();
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY2(elapsed < 15000, qPrintable(QString::number(elapsed)));
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        QVERIFY(!window->loading()->isVisible());
    }

    // Memory freed between blocks still in use stays resident in glibc's
    // arenas; the window gives it back every minute.
    void freeMemoryGivenBackEveryMinute()
    {
        QScopedPointer<MainWindow> window(newWindow());
        const HeapTrimmer *trimmer = window->findChild<HeapTrimmer *>();
        QVERIFY(trimmer && trimmer->isRunning());
        QCOMPARE(trimmer->periodMs(), 60000);
        if (heapuse::kSanitizer)
            QSKIP("the sanitizer's allocator keeps its own free memory");

        // 40 MB in small blocks made by another thread; one in a hundred
        // stays, the last of each hundred, so that the free ones lie between.
        constexpr int kBlocks = 100000;
        std::vector<void *> kept;
        std::thread([&kept] {
            std::vector<void *> all(kBlocks);
            for (void *&block : all)
                block = std::malloc(400);
            for (int i = 0; i < kBlocks; ++i) {
                if (i % 100 == 99)
                    kept.push_back(all[size_t(i)]);
                else
                    std::free(all[size_t(i)]);
            }
        }).join();
        const long before = heapuse::residentKiB();
        QVERIFY(HeapTrimmer::trimNow());
        const long after = heapuse::residentKiB();
        for (void *block : kept)
            std::free(block);
        QVERIFY2(before - after > 20 * 1024, qPrintable(QStringLiteral("%1 KiB -> %2 KiB").arg(before).arg(after)));
    }
};

QTEST_MAIN(TestAppWindow)
#include "tst_app_window.moc"
