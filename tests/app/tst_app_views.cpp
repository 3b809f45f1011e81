// The module views in the window, against the virtual adapter: the tiles,
// the parameter editor end to end, the IO test window with the wired
// DO16 -> DI16 pair, and an offline configuration built from the catalogue.

#include "AppHarness.h"

#include "AboutView.h"
#include "ConfigCsv.h"
#include "CreateModel.h"
#include "CreateSlaveView.h"
#include "FaultView.h"
#include "MainProductView.h"
#include "MyLabel.h"
#include "ProductView.h"
#include "SettingRegisterData.h"
#include "SlaveInfoView.h"
#include "SlaveItemView.h"
#include "SlaveTileList.h"
#include "SwapMemoryView.h"
#include "TopologyPage.h"
#include "GraphicsView.h"
#include "TarnBaseConvert.h"
#include "TopologyPage.h"
#include "GraphicsView.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTableWidget>
#include <QTreeView>

using namespace apph;
using namespace TarnBase;
using widgettest::actionNamed;

namespace {

const QByteArray kDI16 = "DA01B2C3D401"; // station 1, inputs 8..23, wired to the DO16's outputs
const QByteArray kDO16 = "DA01B2C3D402"; // station 2, outputs 8..23
const QByteArray kDI8 = "DA01B2C3D403";  // station 3, inputs 24..31

SlaveSnapshot snapshotOf(const AdapterManage *manager, const QByteArray &uid)
{
    for (const SlaveSnapshot &slave : manager->slaves()) {
        if (slave->uuid == uid)
            return slave;
    }
    return nullptr;
}

SlaveItemView *tileOf(const AdapterManage *manager, const QByteArray &uid)
{
    const SlaveSnapshot slave = snapshotOf(manager, uid);
    return slave ? manager->page()->slaveWindow()->tiles()->tileOf(slave->recordId) : nullptr;
}

QList<int> inputsOf(const AdapterManage *manager, const QByteArray &uid)
{
    QList<int> values;
    if (const SlaveSnapshot slave = snapshotOf(manager, uid)) {
        if (const ItemGroupState *inputs = slave->group(Slave::kRxPdo)) {
            for (const ItemState &item : inputs->items)
                values << item.value.toInt();
        }
    }
    return values;
}

QByteArray simOutputs(const QByteArray &uid)
{
    const std::optional<tbsim::Module> module = tbsim::bus().adapter(kDemoSerial.toStdString()).module(uid.toStdString());
    return module ? QByteArray(reinterpret_cast<const char *>(module->outputs.data()), int(module->outputs.size())) : QByteArray();
}

bool allZero(const QByteArray &bytes)
{
    return !bytes.isEmpty() && std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c == 0; });
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QLineEdit *panelField(SettingRegisterData *panel, const char *name)
{
    return panel->findChild<QLineEdit *>(QLatin1String(name));
}

} // namespace

class TestAppViews : public WindowTest
{
    Q_OBJECT

private:

    bool enterForceMode(MainWindow &window, AdapterManage *manager)
    {
        window.on_action_7_triggered();
        return QTest::qWaitFor([&] { return manager->isForceMode(); }, 10000);
    }

    SettingRegisterData *openIoTestByTile(AdapterManage *manager, const QByteArray &uid)
    {
        SlaveItemView *tile = tileOf(manager, uid);
        if (!tile)
            return nullptr;
        QTest::mouseDClick(tile, Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        return manager->ioTest(tile->recordId());
    }

private slots:
    // The slave list shows a tile per slave; pressing one shows the slave's
    // editor; "修改站号" opens it at the station.
    void tilesAndEditor()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        SlaveTileList *tiles = manager->page()->slaveWindow()->tiles();
        QCOMPARE(tiles->count(), 16);
        SlaveItemView *di8 = tileOf(manager, kDI8);
        QVERIFY(di8);
        QCOMPARE(di8->macText(), QStringLiteral("da01b2c3d403"));
        QCOMPARE(di8->findChild<QLabel *>(QStringLiteral("sn"))->text(), QStringLiteral("TB-DI8-N"));
        QCOMPARE(di8->findChild<QLabel *>(QStringLiteral("action"))->text(), QStringLiteral("在线"));

        QTest::mousePress(di8, Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        MainProductView *page = manager->page();
        QCOMPARE(page->currentPage(), int(MainProductView::SlavePage));
        QVERIFY(di8->isSelected());
        QVERIFY(page->slavePageRows().contains(QStringLiteral("类型|TB-DI8-N")));
        QCOMPARE(page->editor()->lineEditOf(ParamDI)->text(), QStringLiteral("24"));

        SlaveItemView *do16 = tileOf(manager, kDO16);
        QScopedPointer<QMenu> menu(do16->buildContextMenu());
        actionNamed(menu.data(), QStringLiteral("修改站号"))->trigger();
        QCOMPARE(page->editor()->slave()->uuid, kDO16);
        QCOMPARE(page->editor()->currentIndex(), int(SlaveInfoView::ConfigTab));
        QVERIFY(do16->isSelected() && !di8->isSelected());

        // The adapter page: the information table and the address areas.
        emit window->projectView()->itemPressed(window->projectView()->topLevelItem(0), 0);
        QVERIFY(page->adapterPageRows().contains(QStringLiteral("APPVersion|V2.1.7")));
        QVERIFY(!do16->isSelected()); // no tile stays selected while the adapter is shown
        QCOMPARE(page->memoryView()->cell(true, 24), SwapMemoryView::Cell::Used);
        QCOMPARE(page->memoryView()->cell(true, 385), SwapMemoryView::Cell::Used); // the DI8 without station
        QVERIFY2(page->memoryView()->cell(true, 480) == SwapMemoryView::Cell::Free, qPrintable(page->memoryView()->cellToolTip(true, 480)));
    }

    // A module picked anywhere (topology, tree, tile) is picked in the other
    // two as well; the adapter picked, none.
    void selectionFollowsTheUser()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        auto *topology = manager->findChild<TopologyPage *>();
        QVERIFY(topology);
        ProjectView *tree = window->projectView();
        const auto picked = [&](const QByteArray &uid) {
            const SlaveItemView *tile = tileOf(manager, uid);
            const QTreeWidgetItem *item = tree->currentItem();
            return tile && tile->isSelected() && topology->view()->markedRecord() == tile->recordId()
                   && !topology->view()->markedRect().isEmpty() && item
                   && item == tree->slaveItemOf(0, tile->recordId());
        };

        emit topology->sigClickEvent(kDI8); // on the topology
        QVERIFY(picked(kDI8));
        QTreeWidgetItem *do16 = tree->slaveItemOf(0, tileOf(manager, kDO16)->recordId());
        QVERIFY(do16);
        emit tree->itemPressed(do16, 0); // in the tree
        QVERIFY(picked(kDO16));
        QTest::mousePress(tileOf(manager, kDI8), Qt::LeftButton, Qt::NoModifier, QPoint(120, 40)); // a tile
        QVERIFY(picked(kDI8));

        emit tree->itemPressed(tree->topLevelItem(0), 0);
        QCOMPARE(topology->view()->markedRecord(), quint64(0));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QVERIFY(!tileOf(manager, kDI8)->isSelected());
    }

    // An edit goes to the module, and the next poll reads it back.
    void editAppliedEndToEnd()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        QTest::mousePress(tileOf(manager, kDI8), Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        SlaveInfoView *editor = manager->page()->editor();
        typeInto(editor->lineEditOf(ParamDI), QStringLiteral("416"));
        QComboBox *filter = editor->comboOf(ParamFilter);
        filter->setCurrentIndex(filter->findData(4)); // 10 ms
        emit filter->activated(filter->currentIndex());
        editor->applyButton()->click();
        QTRY_VERIFY(boxTexts().contains(QStringLiteral("提示|修改从站配置成功!")));
        // What was asked for is kept in the message list.
        QVERIFY(messageLines(manager->page()->messageWidget())
                    .contains(QStringLiteral("Inform|TarnBUS|写入 站号3 (TB-DI8-N): 输入区 24..31→416..423, 参数")));
        const tbsim::Module module = *sim.module(kDI8.toStdString());
        QCOMPARE(module.inStart, 416);
        QCOMPARE(int(module.params[0]) & 0x70, 0x40);

        const int polls = sim.requestCount(0x25);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x25) > polls + 1, 15000);
        SlaveMainWindow *panel = manager->page()->slaveWindow();
        int row = 0;
        while (row < panel->rowCount() && panel->cellText(row, SlaveMainWindow::UidColumn) != QLatin1String(kDI8))
            ++row;
        QCOMPARE(panel->cellText(row, SlaveMainWindow::InputColumn), QStringLiteral("416 (8 Bit)"));
        QCOMPARE(editor->lineEditOf(ParamDI)->text(), QStringLiteral("416"));
        QCOMPARE(editor->comboOf(ParamFilter)->currentData().toInt(), 4);
        QVERIFY(!editor->isEdited());
    }

    void editRefusedSendsNothing()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const int writes = sim.requestCount(0x47, 0x00, 0x02);
        manager->showSlavePage(snapshotOf(manager, kDI8)->recordId, kDI8);
        SlaveInfoView *editor = manager->page()->editor();
        typeInto(editor->lineEditOf(ParamDI), QStringLiteral("12"));
        editor->applyButton()->click();
        QCOMPARE(boxTexts(), QStringList{"警告|输入量地址冲突! 与站号1 (TB-DI16-P) 的输入区重叠。"});
        closeBoxes();
        typeInto(editor->lineEditOf(ParamStation), QStringLiteral("2"));
        typeInto(editor->lineEditOf(ParamDI), QStringLiteral("24"));
        editor->applyButton()->click();
        QCOMPARE(boxTexts(), QStringList{"警告|从站站号冲突,设置失败! 站号2已是TB-DO16-T的站号。"});
        QTest::qWait(50);
        QCOMPARE(sim.requestCount(0x47, 0x00, 0x02), writes);
    }

    // The point test and the running light on the wired DO16 -> DI16 pair.
    void pointTestAndRunningLight()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        QVERIFY(enterForceMode(*window, manager));
        SettingRegisterData *panel = openIoTestByTile(manager, kDO16);
        QVERIFY(panel);
        QCOMPARE(panel->windowTitle(), QStringLiteral("站号:2  类型:TB-DO16-T"));
        // A second double-click brings the same window.
        QCOMPARE(openIoTestByTile(manager, kDO16), panel);
        QCOMPARE(visibleTopLevels<SettingRegisterData>().size(), 1);

        auto *output3 = qobject_cast<QPushButton *>(panel->outputTable()->cellWidget(3, 3));
        QTRY_VERIFY(output3->isEnabled());
        output3->click();
        QTRY_COMPARE(inputsOf(manager, kDI16).value(3), 1);
        QCOMPARE(inputsOf(manager, kDI16).mid(0, 3), (QList<int>{0, 0, 0}));
        output3->click();
        QTRY_COMPARE(inputsOf(manager, kDI16).value(3), 0);

        panelField(panel, "lineEdit_3")->setText(QStringLiteral("1"));
        panelField(panel, "lineEdit_2")->setText(QStringLiteral("1"));
        panel->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QVERIFY(panel->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isRunning(), 30000);
        // Every input followed its output: none is listed, each counted.
        QCOMPARE(panelField(panel, "lineEdit_4")->text(), QString());
        for (int hits : panel->runningLight().hitCounts())
            QVERIFY(hits >= 2);
        QCOMPARE(panel->runningLight().hitCounts().size(), 16);
        QTRY_VERIFY(allZero(simOutputs(kDO16)));
        QCOMPARE(boxTexts(), QStringList());
    }

    // Closing the window, or leaving force mode, in the middle of a test
    // switches the outputs off; losing the link ends the test, and nothing
    // switches them on again when the adapter is back.
    void endingMidTest_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("window closed") << "close";
        QTest::newRow("force mode left") << "force";
        QTest::newRow("link lost") << "unplug";
    }
    void endingMidTest()
    {
        QFETCH(QString, how);
        const bool closeWindow = how == QLatin1String("close");
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        QVERIFY(enterForceMode(*window, manager));
        QPointer<SettingRegisterData> panel = openIoTestByTile(manager, kDO16);
        QVERIFY(panel);
        panelField(panel, "lineEdit_2")->setText(QStringLiteral("5"));
        panel->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QTRY_VERIFY(!allZero(simOutputs(kDO16)));
        if (how == QLatin1String("unplug")) {
            tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
            sim.unplug();
            QTRY_VERIFY(!panel->isRunning());
            QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("progress"))->text(), QStringLiteral("链接断开,跑马灯测试已结束。"));
            QVERIFY(!panel->stepping());
            sim.replug();
            QTRY_VERIFY_WITH_TIMEOUT(manager->adapterState().linked && !window->loading()->isVisible(), 10000);
            closeBoxes();
            QVERIFY(!manager->isForceMode()); // the lost link ended force mode
            const int cyclesAfter = sim.requestCount(0x49);
            QTest::qWait(300);
            QCOMPARE(sim.requestCount(0x49), cyclesAfter);
            return;
        }
        if (closeWindow) {
            panel->close();
            QTRY_VERIFY(!panel);
            QVERIFY(!manager->ioTest(snapshotOf(manager, kDO16)->recordId));
        } else {
            window->on_action_16_triggered();
            QTRY_VERIFY(!manager->isForceMode());
            QTRY_VERIFY(!panel->isRunning());
        }
        QTRY_VERIFY(allZero(simOutputs(kDO16)));
        // Nothing is left to switch them on again.
        QVERIFY(!panel || !panel->stepping());
        window->on_action_16_triggered();
        QTRY_VERIFY(!manager->isForceMode());
    }

    // The IO window of one adapter's slave drives that adapter only.
    void ioTestReachesItsOwnAdapter()
    {
        WorkingFolder folder;
        const QString second = QStringLiteral("3C2E0A000002");
        QCOMPARE(loadTwoAdapters(m_root, second), QString());
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *a = openDemo(*window);
        QVERIFY(a);
        QVERIFY(openThroughChooser(*window, QStringLiteral("TarnBUS USB Adapter(TBC-U200)")));
        AdapterManage *b = window->tabWidget()->manager(1);
        QVERIFY(waitLoaded(b));
        a->setForceMode(true);
        b->setForceMode(true);
        QTRY_VERIFY(a->isForceMode() && b->isForceMode());
        SettingRegisterData *panel = b->openIoTest(snapshotOf(b, kDO16)->recordId);
        QVERIFY(panel);
        QTRY_VERIFY(panel->outputTable()->cellWidget(0, 3)->isEnabled());
        qobject_cast<QPushButton *>(panel->outputTable()->cellWidget(0, 3))->click();
        QTRY_COMPARE(inputsOf(b, kDI16).value(0), 1);
        const std::optional<tbsim::Module> inB = tbsim::bus().adapter(second.toStdString()).module(kDO16.toStdString());
        QCOMPARE(int(inB->outputs.at(0)) & 1, 1);
        QVERIFY(allZero(simOutputs(kDO16)));
        QCOMPARE(inputsOf(a, kDI16).value(0), 0);
        a->setForceMode(false);
        b->setForceMode(false);
        QTRY_VERIFY(!a->isForceMode() && !b->isForceMode());
    }

    void tileLampResetAndFaults()
    {
        WorkingFolder folder;
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        QVERIFY(sim.setState(kDI8.toStdString(), 0x21));
        QVERIFY(sim.setFault(kDI8.toStdString(), 0x05));
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);

        // The fault shows on the tile and in its dialog.
        SlaveItemView *di8 = tileOf(manager, kDI8);
        QTRY_COMPARE(di8->findChild<QLabel *>(QStringLiteral("errCodeValue"))->text(), QStringLiteral("异常"));
        QTest::mouseClick(di8->findChild<MyLabel *>(QStringLiteral("errCodeImage")), Qt::LeftButton);
        FaultView *faults = visibleTopLevels<FaultView>().value(0);
        QVERIFY(faults);
        QCOMPARE(faults->findChild<QLabel *>(QStringLiteral("mPower"))->text(), QStringLiteral("异常"));
        QCOMPARE(faults->findChild<QLabel *>(QStringLiteral("isolate"))->text(), QStringLiteral("正常"));
        QCOMPARE(faults->findChild<QLabel *>(QStringLiteral("show"))->text(), QStringLiteral("异常"));
        faults->reject();

        // Lamps: one at a time; each reaches the module.
        const int lamps = sim.requestCount(0x27, 0x10);
        SlaveItemView *do16 = tileOf(manager, kDO16);
        QTest::mouseClick(do16->findChild<MyLabel *>(QStringLiteral("lamp")), Qt::LeftButton);
        QTRY_VERIFY(sim.requestCount(0x27, 0x10) > lamps);
        QVERIFY(do16->isLampRunning());
        QTest::mouseClick(di8->findChild<MyLabel *>(QStringLiteral("lamp")), Qt::LeftButton);
        QVERIFY(di8->isLampRunning());
        QVERIFY(!do16->isLampRunning());
        QTest::mouseClick(di8->findChild<MyLabel *>(QStringLiteral("lamp")), Qt::LeftButton);
        QVERIFY(!di8->isLampRunning());

        // "从站复位" clears the module's station.
        QScopedPointer<QMenu> menu(di8->buildContextMenu());
        actionNamed(menu.data(), QStringLiteral("从站复位"))->trigger();
        QTRY_COMPARE(sim.module(kDI8.toStdString())->station, 0);
        QTRY_COMPARE(snapshotOf(manager, kDI8)->stationId, 0);
        QTRY_COMPARE(tileOf(manager, kDI8)->findChild<QLabel *>(QStringLiteral("sid"))->text(), QStringLiteral("未设定"));
    }

    void ioTestFromTheTopology()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        TopologyPage *topology = manager->findChild<TopologyPage *>();
        QVERIFY(topology);
        const quint64 do16 = snapshotOf(manager, kDO16)->recordId;
        emit topology->sigOpenIoTest(do16, QStringLiteral("站号:2  类型:TB-DO16-T"));
        emit topology->sigOpenIoTest(do16, QStringLiteral("站号:2  类型:TB-DO16-T"));
        QCOMPARE(visibleTopLevels<SettingRegisterData>().size(), 1);
        QVERIFY(manager->ioTest(do16));
        // Closing the tab closes its IO windows.
        QVERIFY(window->tabWidget()->closeAdapterAt(0));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(visibleTopLevels<SettingRegisterData>().size(), 0);
    }

    // Three modules from the catalogue (a double-click, a second one in the
    // dialog, one dropped onto the topology), then the configuration file.
    void offlineConfigurationFromTheCatalogue()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        ProductView *catalogue = window->productView();
        QVERIFY(!catalogue->isVisible());
        window->findChild<QAction *>(QStringLiteral("actionProductView"))->trigger();
        QVERIFY(catalogue->isVisible());

        // Without an offline configuration the catalogue only tells why not.
        emit catalogue->sigCreateModule(QStringLiteral("#00001101"));
        QCOMPARE(boxTexts(), QStringList{"提示|模块只能添加到离线组态:请先选择一个手动组态。"});
        closeBoxes();

        AdapterManage *manager = openOffline(*window);
        QVERIFY(manager);
        QTreeView *tree = catalogue->tree();
        const QModelIndex di = tree->model()->index(0, 0);
        emit tree->doubleClicked(tree->model()->index(0, 0, di)); // TB-DI8-N
        CreateSlaveView *dialog = visibleTopLevels<CreateSlaveView>().value(0);
        QVERIFY(dialog);
        QCOMPARE(dialog->selectedType(), QStringLiteral("#00001101"));
        QCOMPARE(dialog->station(), 1);
        dialog->findChild<QPushButton *>(QStringLiteral("addButton"))->click();
        dialog->selectType(QStringLiteral("#00001201"));
        dialog->findChild<QPushButton *>(QStringLiteral("addButton"))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
        QTRY_COMPARE(manager->slaves().size(), 2);

        // A drop on the topology opens the dialog with the dropped type.
        QWidget *viewport = manager->findChild<TopologyPage *>()->view()->viewport();
        QMimeData drag;
        drag.setData(CreateModel::kMimeType, "#00001302");
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        dialog = visibleTopLevels<CreateSlaveView>().value(0);
        QVERIFY(dialog);
        QCOMPARE(dialog->selectedType(), QStringLiteral("#00001302"));
        QCOMPARE(dialog->station(), 3);
        dialog->findChild<QPushButton *>(QStringLiteral("addButton"))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
        QTRY_COMPARE(manager->slaves().size(), 3);

        QStringList types;
        for (const SlaveSnapshot &slave : manager->slaves())
            types << QStringLiteral("%1 %2").arg(slave->stationId).arg(slave->typeName);
        QCOMPARE(types, (QStringList{"1 TB-DI8-N", "2 TB-DO8-T", "3 TB-DIO16-D"}));
        QVERIFY(!Adapter::hasConflict(Adapter::occupancyMap(manager->slaves())));
        QCOMPARE(window->projectView()->topLevelItem(0)->childCount(), 3);
        QCOMPARE(manager->page()->slaveWindow()->tiles()->count(), 3);
        QCOMPARE(manager->page()->slaveWindow()->tiles()->tile(0)->findChild<QLabel *>(QStringLiteral("action"))->text(),
                 QStringLiteral("配置"));

        // Its configuration file, written as the export writes it.
        QSignalSpy lines(manager->adapter(), &Adapter::sigCsvLines);
        manager->adapter()->requestCsvLines(false);
        QTRY_COMPARE(lines.count(), 1);
        const QString path = folder.path() + QStringLiteral("/offline.csv");
        QVERIFY(!appcore::ConfigCsv::writeFile(path, appcore::ConfigCsv::Form::WithoutUid, lines.first().first().toStringList()));
        const appcore::ConfigCsv::ParsedFile file = appcore::ConfigCsv::readFile(path, appcore::ConfigCsv::librarySizes());
        QVERIFY(file.ok());
        QCOMPARE(file.lines.size(), 3);
        QVERIFY(file.lines.at(0).text.startsWith(QStringLiteral("*TB-DI8-N,1,")));
    }

    // Offline modules share the empty unique id: the tree deletes the one
    // that was clicked.
    void offlineSlaveDeletedByRecord()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openOffline(*window);
        QVERIFY(manager);
        manager->onStaticCreaterSlave(1, "#00001101");
        manager->onStaticCreaterSlave(2, "#00001101");
        QTRY_COMPARE(manager->slaves().size(), 2);
        ProjectView *tree = window->projectView();
        QScopedPointer<QMenu> menu(tree->buildSlaveMenu(tree->slaveItem(0, 1)));
        QVERIFY(menu);
        menu->actions().first()->trigger();
        QTRY_COMPARE(manager->slaves().size(), 1);
        QCOMPARE(manager->slaves().first()->stationId, 1);

        // Part of the offline refusals: the station limit.
        manager->onStaticCreaterSlave(129, "#00001101");
        QCOMPARE(boxTexts(), QStringList{"提示|从站站号最大支持128,添加129站号失败!"});
        closeBoxes();
        // And the module limit: 64 DI8 and 64 DO8 fill both images.
        for (int station = 2; station <= 128; ++station)
            manager->onStaticCreaterSlave(station, station <= 64 ? "#00001101" : "#00001201");
        QTRY_COMPARE_WITH_TIMEOUT(manager->slaves().size(), 128, 15000);
        manager->onStaticCreaterSlave(5, "#00001101");
        QCOMPARE(boxTexts(), QStringList{"提示|从站数量已达最大值,添加失败!"});
        closeBoxes();
        QTest::qWait(50);
        QCOMPARE(manager->slaves().size(), 128);
        // The tree's "添加从站模块" opens the dialog.
        QScopedPointer<QMenu> adapterMenu(tree->buildAdapterMenu(0));
        actionNamed(adapterMenu.data(), QStringLiteral("添加从站模块"))->trigger();
        QVERIFY(visibleTopLevels<CreateSlaveView>().value(0));
        visibleTopLevels<CreateSlaveView>().value(0)->reject();
    }

    void aboutBox()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        window->on_action_4_triggered();
        AboutView *about = visibleTopLevels<AboutView>().value(0);
        QVERIFY(about);
        QCOMPARE(about->versionText(), QStringLiteral("版本 ") + QStringLiteral(TARNBUS_VERSION));
        QVERIFY(about->licenceText().contains(QStringLiteral("hidapi")));
        about->reject();
    }
};

QTEST_MAIN(TestAppViews)
#include "tst_app_views.moc"
