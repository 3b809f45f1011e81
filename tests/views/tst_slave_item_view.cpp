// The slave tile, its clickable labels, its fault dialog and the list of
// tiles: what they show for a slave's state and what they ask for.

#include "ViewsTestSupport.h"

#include "FaultView.h"
#include "MyLabel.h"
#include "SlaveItemView.h"
#include "SlaveTileList.h"
#include "TarnBusResources.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

using namespace viewtest;
using widgettest::actionNamed;
using widgettest::menuEntries;

namespace {

QString textOf(const QWidget *parent, const char *name)
{
    return parent->findChild<QLabel *>(QLatin1String(name))->text();
}

// A tile's label keeps its look apart; the fault dialog's labels carry style sheets.
QString styleOf(const QWidget *parent, const char *name)
{
    const QLabel *label = parent->findChild<QLabel *>(QLatin1String(name));
    return qobject_cast<const SlaveItemView *>(parent) ? SlaveItemView::lookOf(label) : label->styleSheet();
}

bool boldOf(const QWidget *parent, const char *name)
{
    return parent->findChild<QLabel *>(QLatin1String(name))->font().bold();
}

void clickLabel(QLabel *label, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(label, button, Qt::NoModifier, label->rect().center());
}

} // namespace

class TestSlaveItemView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTarnBusResources(); }
    void cleanup() { closeBoxes(); }

    void initialForm()
    {
        SlaveItemView tile;
        QCOMPARE(textOf(&tile, "sid"), QStringLiteral("未设定"));
        QCOMPARE(textOf(&tile, "sn"), QStringLiteral("空"));
        QCOMPARE(textOf(&tile, "MAC"), QStringLiteral("12"));
        QCOMPARE(styleOf(&tile, "icon"), QStringLiteral("image: url(:/image/unslave.png);"));
        QCOMPARE(textOf(&tile, "label_3"), QStringLiteral("站号："));
        QCOMPARE(textOf(&tile, "label"), QStringLiteral("Unique ID："));
        QCOMPARE(tile.tileNumber(), -1);
        QVERIFY(!tile.isLampRunning());
    }

    // What the tile shows for the status and fault bits of its slave.
    void state_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("status"); // bits 0 run, 1 communication, 2 parameters, 4 station conflict, 5 fault
        QTest::addColumn<bool>("configuration");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("sid");      // text|style|bold
        QTest::addColumn<QString>("comm");     // text|bold
        QTest::addColumn<QString>("argument"); // text|bold
        QTest::addColumn<QString>("fault");    // text|image
        const QString black = QStringLiteral("color: rgb(0, 0, 0);");
        const QString red = QStringLiteral("color: rgb(221, 34, 34);");
        const QString orange = QStringLiteral("color: rgb(255, 128, 0);");
        const QString faultImage = QStringLiteral("image: url(:/image/abnormal.png);");
        QTest::newRow("online, all well") << 3 << 0 << 0x01 << false << "在线" << "image: url(:/image/slave.png);"
                                          << "3|" + black + "|0" << "正常|0" << "正常|0" << "无|";
        QTest::newRow("offline") << 3 << 0 << 0x00 << false << "离线" << "image: url(:/image/slave_off.png);"
                                 << "3|" + black + "|0" << "正常|0" << "正常|0" << "无|";
        QTest::newRow("online without station") << 0 << 0 << 0x01 << false << "在线" << "image: url(:/image/slave_undef.png);"
                                                << "未设定|" + red + "|0" << "正常|0" << "正常|0" << "无|";
        QTest::newRow("online, no kind of its own") << 11 << 8 << 0x01 << false << "在线"
                                                    << "image: url(:/image/slave_unxx.png);" << "11|" + black + "|0"
                                                    << "正常|0" << "正常|0" << "无|";
        QTest::newRow("communication fault") << 3 << 0 << 0x03 << false << "在线" << "image: url(:/image/slave.png);"
                                             << "3|" + black + "|0" << "异常|1" << "正常|0" << "无|";
        QTest::newRow("parameter fault") << 3 << 0 << 0x05 << false << "在线" << "image: url(:/image/slave.png);"
                                         << "3|" + black + "|0" << "正常|0" << "异常|1" << "无|";
        QTest::newRow("station conflict") << 4 << 0 << 0x11 << false << "在线" << "image: url(:/image/slave.png);"
                                          << "4|" + orange + "|1" << "正常|0" << "正常|0" << "无|";
        QTest::newRow("station conflict without station") << 0 << 0 << 0x11 << false << "在线"
                                                          << "image: url(:/image/slave_undef.png);"
                                                          << "未设定|" + orange + "|1" << "正常|0" << "正常|0" << "无|";
        QTest::newRow("fault present") << 3 << 0 << 0x21 << false << "在线" << "image: url(:/image/slave.png);"
                                       << "3|" + black + "|0" << "正常|0" << "正常|0" << "异常|" + faultImage;
        QTest::newRow("configuration slave") << 5 << 0 << 0x00 << true << "配置" << "image: url(:/image/csvSet.png);"
                                             << "5|" + black + "|0" << "正常|0" << "正常|0" << "无|";
    }
    void state()
    {
        QFETCH(int, station);
        QFETCH(int, typeCode);
        QFETCH(int, status);
        QFETCH(bool, configuration);
        QFETCH(QString, action);
        QFETCH(QString, icon);
        QFETCH(QString, sid);
        QFETCH(QString, comm);
        QFETCH(QString, argument);
        QFETCH(QString, fault);
        auto slave = slaveState(7, station, "DA01B2C3D403");
        slave->typeCode = typeCode;
        slave->statusRun = status & 0x01;
        slave->statusBit1 = (status >> 1) & 0x01;
        slave->statusBit2 = (status >> 2) & 0x01;
        slave->statusBit4 = (status >> 4) & 0x01;
        slave->statusBit5 = (status >> 5) & 0x01;
        SlaveItemView tile;
        tile.setSlave(slave, configuration);
        QCOMPARE(textOf(&tile, "action"), action);
        QCOMPARE(styleOf(&tile, "icon"), icon);
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(textOf(&tile, "sid"), styleOf(&tile, "sid")).arg(boldOf(&tile, "sid")), sid);
        QCOMPARE(QStringLiteral("%1|%2").arg(textOf(&tile, "commValue")).arg(boldOf(&tile, "commValue")), comm);
        QCOMPARE(QStringLiteral("%1|%2").arg(textOf(&tile, "argumentValue")).arg(boldOf(&tile, "argumentValue")), argument);
        QCOMPARE(textOf(&tile, "errCodeValue") + QLatin1Char('|') + styleOf(&tile, "errCodeImage"), fault);
        QCOMPARE(styleOf(&tile, "commValue"), comm.startsWith(QStringLiteral("异常")) ? SlaveItemView::kAbnormalStyle
                                                                                     : SlaveItemView::kNormalStyle);
        QCOMPARE(textOf(&tile, "sn"), slave->typeName);
        QCOMPARE(styleOf(&tile, "sn"), typeCode == 8 ? red() : QString());
        // A newer snapshot with the faults gone shows them gone.
        auto well = std::make_shared<SlaveState>(*slave);
        well->statusBit1 = well->statusBit2 = well->statusBit4 = well->statusBit5 = 0;
        tile.updateSlave(well);
        QCOMPARE(textOf(&tile, "commValue"), QStringLiteral("正常"));
        QCOMPARE(textOf(&tile, "errCodeValue"), QStringLiteral("无"));
        QVERIFY(!boldOf(&tile, "sid"));
    }

    void uniqueIdInLowerCase()
    {
        SlaveItemView tile;
        tile.setSlave(slaveState(1, 3, "DA01B2C3D40A"));
        QCOMPARE(tile.macText(), QStringLiteral("da01b2c3d40a"));
        tile.setSlave(slaveState(1, 3)); // an offline slave has none
        QCOMPARE(tile.macText(), QStringLiteral("--"));
    }

    void clickableLabel()
    {
        MyLabel label;
        label.resize(24, 24);
        QStringList events;
        connect(&label, &MyLabel::sigDoubleClick, this, [&](int n) { events << QStringLiteral("double %1").arg(n); });
        connect(&label, &MyLabel::sigClick, this, [&](bool on) { events << QStringLiteral("click %1").arg(on); });
        clickLabel(&label);
        clickLabel(&label);
        QCOMPARE(events, (QStringList{"double 1", "click 1", "double 1", "click 0"}));
        clickLabel(&label, Qt::RightButton); // the right button is the context menu's
        QCOMPARE(events.size(), 4);
        QTest::mouseDClick(&label, Qt::LeftButton);
        QVERIFY(!label.state() || events.size() > 4);
    }

    // The lamp blinks and asks for the module's lamp in each lit phase.
    void lamp()
    {
        SlaveItemView tile;
        tile.setSlave(slaveState(9, 3, "DA01B2C3D403"));
        tile.show();
        QSignalSpy requests(&tile, &SlaveItemView::sigLampRequest);
        auto *lamp = tile.findChild<MyLabel *>(QStringLiteral("lamp"));
        clickLabel(lamp);
        QVERIFY(tile.isLampRunning());
        QCOMPARE(SlaveItemView::lookOf(lamp), QStringLiteral("image: url(:/image/LON.png);"));
        QCOMPARE(requests.takeFirst(), (QVariantList{quint64(9), true}));
        tile.onUpLamp(); // dark phase
        QCOMPARE(SlaveItemView::lookOf(lamp), QStringLiteral("image: url(:/image/LOFF.png);"));
        QCOMPARE(requests.count(), 0);
        tile.onUpLamp(); // lit again: asks again
        QCOMPARE(SlaveItemView::lookOf(lamp), QStringLiteral("image: url(:/image/LON.png);"));
        QCOMPARE(requests.takeFirst(), (QVariantList{quint64(9), true}));
        clickLabel(lamp);
        QVERIFY(!tile.isLampRunning());
        QCOMPARE(SlaveItemView::lookOf(lamp), QStringLiteral("image: url(:/image/LOFF.png);"));
        QCOMPARE(requests.takeFirst(), (QVariantList{quint64(9), false}));
        QCOMPARE(boxTexts(), QStringList());
    }

    void lampRefusedWhileForced()
    {
        auto slave = slaveState(9, 3, "DA01B2C3D403");
        slave->forcedState = 1;
        SlaveItemView tile;
        tile.setSlave(slave);
        tile.show();
        QSignalSpy requests(&tile, &SlaveItemView::sigLampRequest);
        auto *lamp = tile.findChild<MyLabel *>(QStringLiteral("lamp"));
        clickLabel(lamp);
        QCOMPARE(boxTexts(), QStringList{"提示|      强制状态不可操作！    "});
        QVERIFY(!tile.isLampRunning());
        QVERIFY(!lamp->state());
        QCOMPARE(SlaveItemView::lookOf(lamp), QStringLiteral("image: url(:/image/LOFF.png);"));
        QCOMPARE(requests.count(), 0);
    }

    // Force mode that begins while the lamp blinks puts it out.
    void forcedStateStopsABlinkingLamp()
    {
        auto slave = slaveState(9, 3, "DA01B2C3D403");
        SlaveItemView tile;
        tile.setSlave(slave);
        tile.onLighting(true);
        auto forced = std::make_shared<SlaveState>(*slave);
        forced->forcedState = 1;
        tile.updateSlave(forced);
        tile.onUpLamp();
        QVERIFY(!tile.isLampRunning());
    }

    // The lamp report names one module: only its tile keeps its lamp,
    // whatever the case of the unique id.
    void lampReportKeepsOneTile()
    {
        SlaveTileList list;
        list.setSlaves({slaveState(1, 1, "DA01B2C3D401"), slaveState(2, 2, "DA01B2C3D402"), slaveState(3, 3, "DA01B2C3D403")},
                       false);
        for (int i = 0; i < 3; ++i)
            list.tile(i)->onLighting(true);
        list.closeLampsExcept("DA01B2C3D402");
        QVERIFY(!list.tile(0)->isLampRunning());
        QVERIFY(list.tile(1)->isLampRunning());
        QVERIFY(!list.tile(2)->isLampRunning());
        list.tile(1)->onOFFLamp(QStringLiteral("da01b2c3d402"));
        QVERIFY(list.tile(1)->isLampRunning());
        list.closeAllLamps();
        QVERIFY(!list.tile(1)->isLampRunning());
    }

    void doubleClick_data()
    {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<int>("run");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("requests");
        QTest::newRow("no slave") << false << 1 << QStringList{"警告|站点数据异常!"} << 0;
        QTest::newRow("not running") << true << 0 << QStringList{"提示|站点不存在，不可操作!"} << 0;
        QTest::newRow("running") << true << 1 << QStringList() << 1;
    }
    void doubleClick()
    {
        QFETCH(bool, bound);
        QFETCH(int, run);
        QFETCH(QStringList, boxes);
        QFETCH(int, requests);
        SlaveItemView tile;
        if (bound) {
            auto slave = slaveState(4, 2, "DA01B2C3D402");
            slave->statusRun = run;
            tile.setSlave(slave);
        }
        tile.show();
        QSignalSpy test(&tile, &SlaveItemView::sigSlaveDataTest);
        QTest::mouseDClick(&tile, Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        QCOMPARE(boxTexts(), boxes);
        QCOMPARE(test.count(), requests);
        if (requests)
            QCOMPARE(test.first().first().toULongLong(), quint64(4));
    }

    void pressReportsTheTile()
    {
        SlaveItemView tile;
        tile.setTileNumber(5);
        tile.setSlave(slaveState(4, 2, "DA01B2C3D402"));
        QSignalSpy click(&tile, &SlaveItemView::sigSlaveClick);
        QTest::mousePress(&tile, Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        QCOMPARE(click.count(), 1);
        QCOMPARE(click.first(), (QVariantList{5, 2, QByteArray("DA01B2C3D402")}));
    }

    void contextMenu()
    {
        auto slave = slaveState(4, 2, "DA01B2C3D402");
        SlaveItemView tile;
        tile.setSlave(slave);
        QScopedPointer<QMenu> menu(tile.buildContextMenu());
        QCOMPARE(menuEntries(menu.data()), (QStringList{"从站复位", "查看故障码", "|", "修改站号"}));
        QSignalSpy reset(&tile, &SlaveItemView::sigResetRequest);
        QSignalSpy station(&tile, &SlaveItemView::sigSlaveCreateView);
        actionNamed(menu.data(), QStringLiteral("从站复位"))->trigger();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(reset.first().first().toULongLong(), quint64(4));
        actionNamed(menu.data(), QStringLiteral("修改站号"))->trigger();
        QCOMPARE(station.first(), (QVariantList{3, quint64(4), 0}));

        // A module not on the bus cannot be reset; forced ones refuse.
        auto offline = std::make_shared<SlaveState>(*slave);
        offline->statusRun = 0;
        tile.updateSlave(offline);
        menu.reset(tile.buildContextMenu());
        QCOMPARE(menuEntries(menu.data()).first(), QStringLiteral("-从站复位"));
        tile.updateSlave(slave);
        tile.onLighting(true);
        auto forced = std::make_shared<SlaveState>(*slave);
        forced->forcedState = 1;
        tile.updateSlave(forced);
        tile.onResetSlave();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(boxTexts(), QStringList{"提示|      强制状态不可操作！    "});
        QVERIFY(!tile.isLampRunning());
    }

    void faultDialog_data()
    {
        QTest::addColumn<int>("faults");
        QTest::addColumn<QStringList>("rows");
        const QString ok = QStringLiteral("正常|image: url(:/image/online.png);");
        const QString bad = QStringLiteral("异常|image: url(:/image/abnormal.png);");
        QTest::newRow("none") << 0x00 << QStringList{ok, ok, ok, ok, ok, ok};
        QTest::newRow("main power low") << 0x01 << QStringList{bad, ok, ok, ok, ok, ok};
        QTest::newRow("isolated supply and fault 2") << 0x0A << QStringList{ok, bad, ok, bad, ok, ok};
        QTest::newRow("extended codes") << 0x34 << QStringList{ok, ok, bad, ok, bad, bad};
    }
    void faultDialog()
    {
        QFETCH(int, faults);
        QFETCH(QStringList, rows);
        auto slave = slaveState(4, 2, "DA01B2C3D402");
        slave->statusBit5 = 1;
        slave->faultBit0 = faults & 1;
        slave->faultBit1 = (faults >> 1) & 1;
        slave->faultBit2 = (faults >> 2) & 1;
        slave->faultBit3 = (faults >> 3) & 1;
        slave->faultBit4 = (faults >> 4) & 1;
        slave->faultBit5 = (faults >> 5) & 1;
        SlaveItemView tile;
        tile.setSlave(slave);
        tile.show();
        clickLabel(tile.findChild<MyLabel *>(QStringLiteral("errCodeImage")));
        FaultView *view = visibleTopLevels<FaultView>().value(0);
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QStringLiteral("从站故障"));
        QCOMPARE(view->toolTip(), QStringLiteral("从站故障：TB-DI8-N"));
        QVERIFY(view->isModal());
        const QStringList labels{"主电低：", "隔离电异常：", "故障1：", "故障2：", "拓展故障码1：", "拓展故障码2："};
        const char *names[] = {"mPower", "isolate", "show", "open", "config", "maintenance"};
        QStringList shown;
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(textOf(view, qPrintable(QStringLiteral("label_%1").arg(i + 1))), labels.at(i));
            shown << textOf(view, names[i]) + QLatin1Char('|') + styleOf(view, qPrintable(QLatin1String(names[i]) + "Image"));
        }
        QCOMPARE(shown, rows);
    }

    // Tiles live as long as their records: a redraw keeps them, lamps and all.
    void listKeepsTilesOfTheSameRecords()
    {
        SlaveTileList list;
        list.resize(800, 400);
        list.setSlaves({slaveState(1, 1, "A1"), slaveState(2, 2, "A2"), slaveState(3, 3, "A3")}, false);
        SlaveItemView *second = list.tile(1);
        second->onLighting(true);
        QSignalSpy activated(&list, &SlaveTileList::sigSlaveActivated);
        QTest::mousePress(second, Qt::LeftButton, Qt::NoModifier, QPoint(120, 40));
        QCOMPARE(activated.first().first().toULongLong(), quint64(2));
        QVERIFY(second->isSelected());

        list.setSlaves({slaveState(2, 2, "A2"), slaveState(4, 4, "A4")}, false);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.tile(0), second);
        QVERIFY(second->isLampRunning());
        QVERIFY(second->isSelected());
        QCOMPARE(list.tile(0)->tileNumber(), 0);
        QCOMPARE(list.tile(1)->recordId(), quint64(4));
    }

    void listFlowsIntoColumns()
    {
        SlaveTileList list;
        SlaveList slaves;
        for (int i = 1; i <= 10; ++i)
            slaves << slaveState(quint64(i), i, "A");
        list.setSlaves(slaves, false);
        list.resize(3 * (SlaveItemView::kTileWidth + 8) + 20, 900);
        list.show();
        QTRY_COMPARE(list.columns(), 3);
        QTRY_VERIFY(list.tile(3)->y() > list.tile(2)->y());
        QCOMPARE(list.tile(3)->x(), list.tile(0)->x());
        list.resize(5 * (SlaveItemView::kTileWidth + 8) + 20, 900);
        QTRY_COMPARE(list.columns(), 5);
    }

    // A list in a hidden tab of a shown window holds only the snapshots: its
    // tiles are made when it is shown, with the newest snapshots, and given up
    // a while after it is hidden again, unless a lamp of one of them blinks.
    void hiddenListHoldsNoTiles()
    {
        QTabWidget tabs;
        auto *front = new SlaveTileList;
        auto *back = new SlaveTileList;
        tabs.addTab(front, QStringLiteral("front"));
        tabs.addTab(back, QStringLiteral("back"));
        tabs.resize(1200, 600);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));

        back->setSlaves({slaveState(1, 1, "B1"), slaveState(2, 2, "B2")}, false);
        QCOMPARE(back->count(), 0);
        auto newer = std::make_shared<SlaveState>(*slaveState(2, 2, "B2"));
        newer->stationId = 7;
        back->updateSlaves({newer});
        tabs.setCurrentWidget(back);
        QCOMPARE(back->count(), 2);
        QCOMPARE(textOf(back->tile(1), "sid"), QStringLiteral("7"));

        back->tile(0)->onLighting(true);
        tabs.setCurrentWidget(front);
        QTest::qWait(2500);
        QCOMPARE(back->count(), 2); // the blinking lamp keeps them
        tabs.setCurrentWidget(back);
        back->tile(0)->onLighting(false);
        tabs.setCurrentWidget(front);
        QTRY_COMPARE_WITH_TIMEOUT(back->count(), 0, 5000);
        tabs.setCurrentWidget(back);
        QCOMPARE(back->count(), 2);
    }

private:
    static QString red() { return QStringLiteral("color: rgb(221, 34, 34);"); }
};

QTEST_MAIN(TestSlaveItemView)
#include "tst_slave_item_view.moc"
