// The product catalogue and module creation over the shipped description
// library, the about box, the adapter information table and the view of
// used address areas.

#include "TestFolders.h"
#include "ViewsTestSupport.h"

#include "AboutView.h"
#include "AdapterInfoView.h"
#include "CreateModel.h"
#include "CreateSlaveView.h"
#include "DeviceXmlLodaing.h"
#include "ProductView.h"
#include "SwapMemoryView.h"
#include "TarnBusResources.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeView>
#include <QtTest>

using namespace viewtest;

namespace {

SlaveSnapshot module(quint64 id, int station, int inStart, int inBits, int outStart, int outBits)
{
    auto state = slaveState(id, station, "M" + QByteArray::number(id));
    state->ioWindow = {quint16(inStart), quint16(inBits), quint16(outStart), quint16(outBits)};
    state->ioLengths = {quint16(inBits), quint16(outBits)};
    state->described = true;
    return state;
}

} // namespace

class TestCatalogueViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        initTarnBusResources();
        DeviceXmlLodaing::instance()->loadFolder(QStringLiteral("Xml"));
    }
    void cleanup() { closeBoxes(); }

    void typesByClass()
    {
        CreateModel model;
        model.reload();
        QCOMPARE(model.groups(), (QStringList{"DI", "DO", "DIO", "DIDO", "AI", "AO", "AIO", "AIAO"}));
        const QStringList keys = model.typeKeys();
        for (const char *key : {"#00001101", "#00001102", "#00001103", "#00001201", "#00001202", "#00001301", "#00001302",
                                "#00001401", "#00002101", "#00002102", "#00002201", "#00002401"})
            QVERIFY2(keys.contains(QLatin1String(key)), key);
        // Neither the description of unknown modules nor a class without a
        // kind of its own can be made.
        QVERIFY(!keys.contains(QStringLiteral("#00000000")));
        QVERIFY(!keys.contains(QStringLiteral("#00002301")));
        const QModelIndex aio = model.index(0, 0, model.index(6, 0));
        QCOMPARE(aio.data().toString(), QStringLiteral("TB-AIO4-U (不支持)"));
        QCOMPARE(model.flags(aio) & Qt::ItemIsDragEnabled, Qt::ItemFlags());

        const QModelIndex di8 = model.indexOfType(QStringLiteral("#00001101"));
        QCOMPARE(di8.data().toString(), QStringLiteral("TB-DI8-N"));
        QCOMPARE(di8.data(CreateModel::DescriptionRole).toString(), QStringLiteral("8通道数字量输入模块(NPN)"));
        QCOMPARE(di8.data(CreateModel::DetailsRole).toString(), QStringLiteral("8 路输入"));
        QVERIFY(!di8.data(Qt::DecorationRole).value<QIcon>().isNull());
        QScopedPointer<QMimeData> drag(model.mimeData({di8}));
        QCOMPARE(CreateModel::typeKeyOf(drag.data()), QStringLiteral("#00001101"));
        QCOMPARE(model.mimeData({model.index(0, 0)}), nullptr); // a class is not a type
    }

    void picture()
    {
        const QImage shown = CreateModel::picture(QStringLiteral("./SVG/Digital/TB-DO16-T.svg"), QSize(38, 70)).toImage();
        const QImage missing = CreateModel::picture(QStringLiteral("./SVG/none.svg"), QSize(38, 70)).toImage();
        QCOMPARE(shown.size(), QSize(38, 70));
        QVERIFY(shown != missing);
        QVERIFY(!missing.isNull());
    }

    void catalogue()
    {
        ProductView catalogue;
        QCOMPARE(catalogue.shownTypes().size(), 12);
        catalogue.search()->setText(QStringLiteral("do16"));
        QCOMPARE(catalogue.shownTypes(), QStringList{"#00001202"});
        catalogue.search()->setText(QStringLiteral("模拟量输入模块"));
        QCOMPARE(catalogue.shownTypes(), (QStringList{"#00002101", "#00002102"}));
        catalogue.search()->clear();
        QSignalSpy chosen(&catalogue, &ProductView::sigCreateModule);
        const QModelIndex group = catalogue.tree()->model()->index(1, 0);
        emit catalogue.tree()->doubleClicked(group); // a class: nothing
        emit catalogue.tree()->doubleClicked(catalogue.tree()->model()->index(0, 0, group));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().first().toString(), QStringLiteral("#00001201"));
        QVERIFY(catalogue.tree()->dragEnabled());
    }

    void creation()
    {
        CreateSlaveView dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("添加从站模块"));
        dialog.setSlaves({slaveState(1, 1), slaveState(2, 2), slaveState(3, 5)});
        QCOMPARE(dialog.station(), 3);
        dialog.show();
        QSignalSpy created(&dialog, &CreateSlaveView::sigCreateSlave);
        auto *add = dialog.findChild<QPushButton *>(QStringLiteral("addButton"));
        add->click();
        QCOMPARE(boxTexts(), QStringList{"警告|请选择模块类型!"});
        closeBoxes();
        dialog.selectType(QStringLiteral("#00001202"));
        QCOMPARE(dialog.selectedType(), QStringLiteral("#00001202"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("typeName"))->text(), QStringLiteral("TB-DO16-T"));
        add->click();
        add->click(); // the next free station: 4
        QCOMPARE(created.count(), 2);
        QCOMPARE(created.at(0), (QVariantList{3, QByteArray("#00001202")}));
        QCOMPARE(created.at(1), (QVariantList{4, QByteArray("#00001202")}));
        QCOMPARE(dialog.station(), 6);
        dialog.setStation(5);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("stationHint"))->text(), QStringLiteral("站号5已被占用"));
        add->click();
        QCOMPARE(boxTexts(), QStringList{"警告|从站站号冲突,添加5站号失败!"});
        QCOMPARE(created.count(), 2);
        QCOMPARE(dialog.findChild<QSpinBox *>(QStringLiteral("stationBox"))->maximum(), 128);
    }

    void about()
    {
        AboutView about(QStringLiteral("1.2.3"), QStringLiteral("0.13.1"));
        QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(about.versionText(), QStringLiteral("版本 1.2.3"));
        const QString licences = about.licenceText();
        QVERIFY(licences.contains(QStringLiteral("Qt ") + QStringLiteral(QT_VERSION_STR)));
        QVERIFY(licences.contains(QStringLiteral("LGPL v3")));
        QVERIFY(licences.contains(QStringLiteral("hidapi 0.13.1")));
        QVERIFY(licences.contains(QStringLiteral("BSD")));
    }

    void adapterTable()
    {
        AdapterState state;
        state.mac = QStringLiteral("3C2E0A000001");
        state.linked = true;
        AdapterInfoItem name;
        name.name = QStringLiteral("TBName");
        name.text = QStringLiteral("TBC-U100");
        AdapterInfoItem app;
        app.name = QStringLiteral("APPVersion");
        app.text = QStringLiteral("V2.1.7");
        AdapterInfoItem filter;
        filter.kind = AdapterInfoItem::Choice;
        filter.name = QStringLiteral("DI滤波使能");
        filter.value = 1;
        filter.options = QStringList{QStringLiteral("关闭"), QStringLiteral("开启")};
        state.infoItems = {name, app, filter};
        AdapterStatus status;
        status.power = 24;
        status.temperature = 36;
        status.status2 = 0;
        status.slaveCount = 16;
        AdapterInfoView table;
        table.showAdapter(state, status, 408, 240, false);
        QCOMPARE(table.sections(), (QStringList{"标识", "版本", "设置", "电源与状态", "过程映像"}));
        for (const char *row : {"模式|在线", "MAC|3C2E0A000001", "TBName|TBC-U100", "APPVersion|V2.1.7", "DI滤波使能|开启",
                                "功率：|24 W", "温度：|36 °C", "从站状态：|异常", "总线电源：|正常", "输入占用|408 Bit",
                                "输出占用|240 Bit", "从站数量：|16", "对齐方式|位对齐"})
            QVERIFY2(table.rows().contains(QString::fromUtf8(row)), row);
        state.alignmentUnit = 8;
        table.showAdapter(state, status, 408, 240, true);
        QCOMPARE(table.sections(), (QStringList{"标识", "版本", "设置", "过程映像"}));
        QVERIFY(table.rows().contains(QStringLiteral("模式|离线组态")));
        QVERIFY(table.rows().contains(QStringLiteral("输入占用|51 Byte")));
    }

    // Two grids of 512 bits: used bits, bits claimed twice in red, the
    // selected slave's bits highlighted, and what a bit is used by.
    void addressAreas()
    {
        SwapMemoryView map;
        map.setSlaves({module(1, 1, 8, 16, 0, 0), module(2, 2, 0, 0, 8, 16), module(3, 3, 20, 8, 500, 20)});
        QCOMPARE(map.cell(true, 7), SwapMemoryView::Cell::Free);
        QCOMPARE(map.cell(true, 8), SwapMemoryView::Cell::Used);
        QCOMPARE(map.cell(true, 20), SwapMemoryView::Cell::Collision);
        QCOMPARE(map.cell(true, 27), SwapMemoryView::Cell::Used);
        // Used as the loop-time estimate counts: bits two modules share
        // count for each.
        QCOMPARE(map.usedBits(true), 16 + 8);
        QCOMPARE(map.collidingBits(true), 4);
        QCOMPARE(map.cell(false, 511), SwapMemoryView::Cell::Used);
        QCOMPARE(map.usedBits(false), 16 + 20);
        map.setHighlight(3);
        QCOMPARE(map.cell(true, 20), SwapMemoryView::Cell::SelectedCollision);
        QCOMPARE(map.cell(true, 24), SwapMemoryView::Cell::Selected);
        QCOMPARE(map.cell(true, 8), SwapMemoryView::Cell::Used);
        const QString tip = map.cellToolTip(true, 21);
        QVERIFY(tip.startsWith(QStringLiteral("输入 位 21 (字节 2.5)")));
        QVERIFY(tip.contains(QStringLiteral("站号 1  TB-DI8-N  (8..23)")));
        QVERIFY(tip.contains(QStringLiteral("站号 3  TB-DI8-N  (20..27)")));
        QVERIFY(tip.contains(QStringLiteral("地址冲突!")));
        QCOMPARE(map.cellToolTip(false, 300), QStringLiteral("输出 位 300 (字节 37.4)\n空闲"));
        map.resize(map.sizeHint());
        QVERIFY(!map.grab().isNull());
    }
};

QTEST_MAIN(TestCatalogueViews)
#include "tst_catalogue_views.moc"
