// Whole-bus operations on addresses and stations from the project tree's
// menu, against the virtual adapter: the automatic allocation, the repair
// of repeated stations and the loop time estimate.

#include "AppHarness.h"
#include "MainProductView.h"
#include "SwapMemoryView.h"

#include "AutoConfigView.h"
#include "SlaveItemView.h"
#include "SlaveMainWindow.h"
#include "SlaveTileList.h"
#include "LoopTimeView.h"
#include "UnAllocation.h"

#include <QLineEdit>
#include <QTableWidget>

using namespace apph;

namespace {

const QString kAllocate = QStringLiteral("自动分配地址");
const QString kRepeated = QStringLiteral("配置重复站号");
const QString kLoopTime = QStringLiteral("循环时间计算");
const QString kAllocated = QStringLiteral("None|TarnBUS|自动配置地址完成!");

int addressWrites(tbsim::VirtualAdapter &sim)
{
    return sim.requestCount(0x47, 0x00, 0x02);
}

QPushButton *button(const QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

// No two modules of the bus share a bit, and each area starts on a multiple of unit.
QString busProblem(tbsim::VirtualAdapter &sim, int unit)
{
    std::vector<int> inputs(512, 0);
    std::vector<int> outputs(512, 0);
    for (const tbsim::Module &m : sim.modules()) {
        // Modules without a description of their own keep their areas.
        if (m.typeCode == 0x7E57 || m.typeCode == 0x2301)
            continue;
        if ((m.inChannels && m.inStart % unit) || (m.outChannels && m.outStart % unit))
            return QStringLiteral("%1 is not aligned").arg(QString::fromStdString(m.uid));
        const int bits = m.typeCode >= 0x2000 ? 16 : 1;
        for (int bit = m.inStart; bit < m.inStart + m.inChannels * bits && bit < 512; ++bit) {
            if (inputs[size_t(bit)]++)
                return QStringLiteral("input bit %1 twice").arg(bit);
        }
        for (int bit = m.outStart; bit < m.outStart + m.outChannels * bits && bit < 512; ++bit) {
            if (outputs[size_t(bit)]++)
                return QStringLiteral("output bit %1 twice").arg(bit);
        }
    }
    return QString();
}

} // namespace

class TestAppAllocation : public WindowTest
{
    Q_OBJECT

private slots:
    // The confirmation shows what every module takes; "确认" packs them,
    // analog modules first, with the alignment of the moment.
    void automaticAllocation_data()
    {
        QTest::addColumn<bool>("byteAlignment");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QString>("outputs");
        // 17-bit areas (16 channels and one extra) take 24 bits with byte alignment.
        QTest::newRow("bit alignment") << false << "321" << "161";
        QTest::newRow("byte alignment") << true << "328" << "168";
    }
    void automaticAllocation()
    {
        QFETCH(bool, byteAlignment);
        QFETCH(QString, inputs);
        QFETCH(QString, outputs);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        if (byteAlignment) {
            window->on_action_15_triggered();
            QTRY_COMPARE(manager->adapterState().alignmentUnit, 8);
        }
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        MessageWidget *list = manager->page()->messageWidget();
        const int writes = addressWrites(sim);

        // "取消" leaves the bus alone.
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kAllocate));
        AutoConfigView *view = waitForTopLevel<AutoConfigView>();
        QVERIFY(view);
        QCOMPARE(view->inputText(), inputs);
        QCOMPARE(view->outputText(), outputs);
        QCOMPARE(view->warningText(), QString());
        QTest::mouseClick(button(view, "pushButton_2"), Qt::LeftButton);
        QTest::qWait(3 * fastTiming().pollPeriodMs);
        QCOMPARE(addressWrites(sim), writes);

        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kAllocate));
        view = waitForTopLevel<AutoConfigView>();
        QVERIFY(view);
        QTest::mouseClick(button(view, "pushButton"), Qt::LeftButton);
        QTRY_VERIFY(messageLines(list).contains(kAllocated));
        QCOMPARE(addressWrites(sim) - writes, 14);
        QCOMPARE(busProblem(sim, byteAlignment ? 8 : 1), QString());
        // The analog modules come first, from bit 0 on.
        QCOMPARE(sim.module("DA01B2C3D408")->inStart, 0);  // TB-AI4-I
        QCOMPARE(sim.module("DA01B2C3D409")->outStart, 0); // TB-AO4-V
        QCOMPARE(sim.module("DA01B2C3D40A")->inStart, 64); // TB-AI8-V
        QTRY_VERIFY(!window->loading()->isVisible());
        QVERIFY(!Adapter::hasConflict(Adapter::occupancyMap(manager->slaves())));
        QCOMPARE(boxTexts(), QStringList());
    }

    // An offline configuration is allocated in the records alone.
    void offlineAllocation()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openOffline(*window);
        QVERIFY(manager);
        // A DI8, an AI4 and a DO8; each new module takes the first free bits,
        // so the DI8 holds the inputs from bit 0 and the analog inputs follow.
        manager->onStaticCreaterSlave(1, "#00001101");
        manager->onStaticCreaterSlave(2, "#00002101");
        manager->onStaticCreaterSlave(3, "#00001201");
        QTRY_COMPARE(manager->slaves().size(), 3);
        QCOMPARE(manager->slaves().at(1)->ioWindow.inputStart, quint16(8));

        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kAllocate));
        AutoConfigView *view = waitForTopLevel<AutoConfigView>();
        QVERIFY(view);
        QCOMPARE(view->inputText(), QStringLiteral("72"));
        QCOMPARE(view->outputText(), QStringLiteral("8"));
        QTest::mouseClick(button(view, "pushButton"), Qt::LeftButton);
        QTRY_VERIFY(messageLines(manager->page()->messageWidget()).contains(kAllocated));
        const SlaveList slaves = manager->slaves();
        QVERIFY(!Adapter::hasConflict(Adapter::occupancyMap(slaves)));
        // The analog module comes first.
        QCOMPARE(slaves.at(1)->ioWindow.inputStart, quint16(0));
        QCOMPARE(slaves.at(0)->ioWindow.inputStart, quint16(64));
        QCOMPARE(slaves.at(2)->ioWindow.outputStart, quint16(0));
        QVERIFY(!window->loading()->isVisible());
    }

    // The demonstration bus has a module without a station and two modules
    // at station 4: the repair gives both numbers of their own.
    void repeatedStationsRepaired()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const int writes = addressWrites(sim);

        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kRepeated));
        UnAllocation *dialog = waitForTopLevel<UnAllocation>();
        QVERIFY(dialog);
        QCOMPARE(dialog->rowCount(), 2);
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QCOMPARE(table->item(0, UnAllocation::kUidColumn)->text(), QStringLiteral("DA01B2C3D40D"));
        QCOMPARE(table->item(1, UnAllocation::kUidColumn)->text(), QStringLiteral("DA01B2C3D40E"));
        QCOMPARE(dialog->stationEdit(0)->text(), QStringLiteral("0"));
        QCOMPARE(dialog->stationEdit(1)->text(), QStringLiteral("4"));

        // As the adapter would take them, nothing is sent.
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(boxTexts(), QStringList{"警告|第1行站号超出范围(1-128): 0"});
        closeBoxes();
        QVERIFY(dialog->isVisible());
        QCOMPARE(addressWrites(sim), writes);

        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(dialog->stationEdit(0)->text(), QStringLiteral("14"));
        QCOMPARE(dialog->stationEdit(1)->text(), QStringLiteral("15"));
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QTRY_COMPARE(sim.module("DA01B2C3D40E")->station, 15);
        QCOMPARE(sim.module("DA01B2C3D40D")->station, 14);
        QCOMPARE(addressWrites(sim) - writes, 2);
        QSet<int> stations;
        for (const tbsim::Module &m : sim.modules()) {
            QVERIFY(m.local || !stations.contains(m.station));
            stations.insert(m.station);
        }
        // The window follows.
        ProjectView *tree = window->projectView();
        const auto treeTexts = [tree] {
            QStringList texts;
            for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i)
                texts << tree->slaveItem(0, i)->text(0);
            return texts;
        };
        // The repaired modules start their areas at 0, over the local
        // module's: the conflict is marked wherever they are shown, naming
        // the other module, and said once in the message list.
        QTRY_VERIFY(treeTexts().contains(QStringLiteral("站号：15 (DO8) 地址冲突")));
        QVERIFY(treeTexts().contains(QStringLiteral("站号：14 (DI8) 地址冲突")));
        QTRY_VERIFY(!window->loading()->isVisible());
        QCOMPARE(boxTexts(), QStringList());
        const SlaveSnapshot do8 = findSnapshotByUid(manager->slaves(), "DA01B2C3D40E");
        QVERIFY(do8);
        SlaveMainWindow *panel = manager->page()->slaveWindow();
        SlaveItemView *tile = panel->tiles()->tileOf(do8->recordId);
        QVERIFY(tile);
        QCOMPARE(tile->parameterText(), QStringLiteral("地址冲突"));
        QCOMPARE(tile->addressConflict(), QStringLiteral("输出区与本地模块 (TB-DIO8-C)重叠 8 位 (0..7)"));
        const QString line = QStringLiteral("Waring|TarnBUS|地址冲突: 本地模块 (TB-DIO8-C) 与 站号15 (TB-DO8-T) 的输出区重叠 8 位 (0..7)");
        QCOMPARE(messageLines(manager->page()->messageWidget()).count(line), 1);
        bool listed = false;
        for (int row = 0; row < panel->rowCount(); ++row)
            listed = listed || (panel->cellText(row, SlaveMainWindow::UidColumn) == QStringLiteral("DA01B2C3D40E")
                                && panel->cellText(row, SlaveMainWindow::StateColumn) == QStringLiteral("在线,地址冲突"));
        QVERIFY(listed);
    }

    void repeatedStationsRefusedInForceMode()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        manager->setForceMode(true);
        QTRY_VERIFY(manager->isForceMode());
        // The entry is disabled; asked all the same, the tab container refuses.
        QVERIFY(!triggerAdapterMenu(window->projectView(), 0, kRepeated));
        QVERIFY(!triggerAdapterMenu(window->projectView(), 0, kAllocate));
        window->tabWidget()->onCreateView(0);
        QCOMPARE(boxTexts(), QStringList{"提示|    强制模式下不可设置！  "});
        QCOMPARE(visibleTopLevels<UnAllocation>().size(), 0);
        closeBoxes();
        manager->setForceMode(false);
        QTRY_VERIFY(!manager->isForceMode());
    }

    // The estimate starts from the bits the modules use, while the adapter is linked.
    void loopTimeFromTheTree()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kLoopTime));
        LoopTimeView *view = waitForTopLevel<LoopTimeView>();
        QVERIFY(view);
        QCOMPARE(view->parentWidget(), window->tabWidget());
        QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text(), QStringLiteral("321"));
        QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->text(), QStringLiteral("161"));
        QCOMPARE(view->inputResult(), QStringLiteral("27.2"));
        QCOMPARE(view->outputResult(), QStringLiteral("15.2"));
        view->reject();
        // The address map counts the bits in use as the estimate does.
        QCOMPARE(manager->page()->memoryView()->usedBits(true), 321);
        QCOMPARE(manager->page()->memoryView()->usedBits(false), 161);

        tbsim::bus().adapter(kDemoSerial.toStdString()).unplug();
        QTRY_VERIFY(!manager->adapterState().linked);
        closeBoxes();
        window->tabWidget()->showLoopTime(0);
        view = waitForTopLevel<LoopTimeView>();
        QVERIFY(view);
        QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text(), QStringLiteral("0"));
        QCOMPARE(view->inputResult(), QStringLiteral("5.6"));
        view->reject();
        tbsim::bus().adapter(kDemoSerial.toStdString()).replug();
        QTRY_VERIFY_WITH_TIMEOUT(manager->adapterState().linked && !window->loading()->isVisible(), 10000);
        closeBoxes();
    }
};

QTEST_MAIN(TestAppAllocation)
#include "tst_app_allocation.moc"
