// The parameter editor: what it shows of a slave, the checks it makes
// before anything is sent, and the 32-byte record it hands over.

#include "ViewsTestSupport.h"

#include "../slave/SlaveTestLibrary.h"

#include "SlaveInfoView.h"
#include "SwapMemoryView.h"
#include "TarnBaseConvert.h"
#include "TarnBusResources.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QLabel>
#include <QtTest>

using namespace viewtest;
using namespace SlaveTestLibrary;
using namespace TarnBase;

namespace {

// A fixture slave as a bus would report it: its channels given, at a station,
// inputs and outputs where asked.
SlaveSnapshot fixtureSlave(const QString &ident, int station, int alignment = 1, int inStart = 0, int outStart = 0)
{
    auto slave = create(ident, station);
    slave->giveDescribedChannels();
    slave->setAlignment(alignment);
    slave->statusRun = 1;
    slave->setUuid("FX0000000001");
    for (ItemInfo *item : slave->group(Slave::kConfigData)->items) {
        if (item->isInputChannels())
            item->startAddress = qint16(inStart);
        else if (item->isOutputChannels())
            item->startAddress = qint16(outStart);
    }
    return takeSnapshot(*slave);
}

// Another module of the bus, with inputs and outputs at 8..15, at station 9.
SlaveSnapshot neighbour()
{
    auto state = slaveState(900, 9, "NB0000000009");
    state->ioWindow = {8, 8, 8, 8};
    return state;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestSlaveInfoView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTarnBusResources(); }
    void cleanup() { closeBoxes(); }

    // One table for the editor's checks: station, address, parameters.
    void checks_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("paramType"); // the row typed into
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");  // empty: accepted
        QTest::addColumn<QByteArray>("record"); // bytes 0..15 when accepted
        const QByteArray unchanged = QByteArray::fromHex("06060400000021003412000000000000");
        const auto with = [&](int at, const char *hex) {
            QByteArray r = unchanged;
            const QByteArray b = QByteArray::fromHex(hex);
            r.replace(at, b.size(), b);
            return r;
        };
        QTest::newRow("nothing changed") << kDI << 1 << int(ParamSubstitute) << "4660" << "" << unchanged;
        QTest::newRow("station 128") << kDI << 1 << int(ParamStation) << "128" << "" << with(1, "80");
        QTest::newRow("station 129") << kDI << 1 << int(ParamStation) << "129" << "站号不可大于128!" << QByteArray();
        QTest::newRow("station 0") << kDI << 1 << int(ParamStation) << "0" << "站号必须是1到128之间的数字!" << QByteArray();
        QTest::newRow("station not a number") << kDI << 1 << int(ParamStation) << "abc" << "站号必须是1到128之间的数字!" << QByteArray();
        QTest::newRow("station empty") << kDI << 1 << int(ParamStation) << "" << "站号必须是1到128之间的数字!" << QByteArray();
        QTest::newRow("station of another module") << kDI << 1 << int(ParamStation) << "9"
                                                   << "从站站号冲突,设置失败! 站号9已是TB-DI8-N的站号。" << QByteArray();
        QTest::newRow("inputs up to bit 511") << kDI << 1 << int(ParamDI) << "508" << "" << with(2, "04fe");
        QTest::newRow("inputs past bit 511") << kDI << 1 << int(ParamDI) << "509" << "输入地址超限,设置失败!" << QByteArray();
        QTest::newRow("inputs at byte 63") << kDI << 8 << int(ParamDI) << "63" << "" << with(2, "04fc");
        QTest::newRow("inputs at byte 64") << kDI << 8 << int(ParamDI) << "64" << "输入地址超限,设置失败!" << QByteArray();
        QTest::newRow("inputs far past the image") << kDI << 1 << int(ParamDI) << "99999" << "输入地址超限,设置失败!" << QByteArray();
        QTest::newRow("negative inputs") << kDI << 1 << int(ParamDI) << "-8"
                                         << "输入起始地址“-8”不是有效的地址,设置失败!" << QByteArray();
        QTest::newRow("garbage inputs") << kDI << 1 << int(ParamDI) << "2x"
                                        << "输入起始地址“2x”不是有效的地址,设置失败!" << QByteArray();
        QTest::newRow("inputs over another module") << kDI << 1 << int(ParamDI) << "12"
                                                    << "输入量地址冲突! 与站号9 (TB-DI8-N) 的输入区重叠。" << QByteArray();
        QTest::newRow("inputs next to another module") << kDI << 1 << int(ParamDI) << "16" << "" << with(2, "0408");
        QTest::newRow("outputs over another module") << kDO << 1 << int(ParamDO) << "5"
                                                     << "输出量地址冲突! 与站号9 (TB-DI8-N) 的输出区重叠。" << QByteArray();
        // A digital output module counts its diagnostic channel: 4 + 1 bits.
        QTest::newRow("outputs with the extra channel") << kDO << 1 << int(ParamDO) << "507" << "" << QByteArray::fromHex("0606000085fd21003412000000000000");
        QTest::newRow("outputs past with the extra channel") << kDO << 1 << int(ParamDO) << "508" << "输出地址超限,设置失败!" << QByteArray();
        QTest::newRow("analog inputs counted in bits") << kAI << 1 << int(ParamAI) << "480" << "" << with(2, "02f0");
        QTest::newRow("analog inputs past the image in bits") << kAI << 1 << int(ParamAI) << "481" << "输入地址超限,设置失败!" << QByteArray();
        QTest::newRow("substitute in hexadecimal") << kDI << 1 << int(ParamSubstitute) << "0x10" << "" << with(8, "1000");
        QTest::newRow("substitute in decimal") << kDI << 1 << int(ParamSubstitute) << "10" << "" << with(8, "0a00");
        QTest::newRow("substitute wider than its item") << kDI << 1 << int(ParamSubstitute) << "65536"
                                                        << "参数“替代值”的值“65536”超出范围,设置失败!" << QByteArray();
        QTest::newRow("substitute garbage") << kDI << 1 << int(ParamSubstitute) << "12z"
                                            << "参数“替代值”的值“12z”超出范围,设置失败!" << QByteArray();
        QTest::newRow("brake 3") << kDI << 1 << int(ParamBrake) << "3" << "" << with(7, "18");
        QTest::newRow("brake wider than its two bits") << kDI << 1 << int(ParamBrake) << "4"
                                                       << "参数“刹车”的值“4”超出范围,设置失败!" << QByteArray();
    }
    void checks()
    {
        QFETCH(QString, ident);
        QFETCH(int, alignment);
        QFETCH(int, paramType);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, record);
        const SlaveSnapshot slave = fixtureSlave(ident, 6, alignment);
        SlaveInfoView editor;
        editor.setSlave(slave, {slave, neighbour()});
        editor.show();
        QLineEdit *edit = editor.lineEditOf(paramType);
        QVERIFY(edit);
        typeInto(edit, text);
        QVERIFY(editor.isEdited() || text == edit->text());
        QSignalSpy applied(&editor, &SlaveInfoView::sigApplyConfig);
        editor.applyButton()->click();
        if (refusal.isEmpty()) {
            QCOMPARE(boxTexts(), QStringList());
            QCOMPARE(applied.count(), 1);
            const QByteArray sent = applied.first().at(1).toByteArray();
            QCOMPARE(applied.first().at(0).toULongLong(), slave->recordId);
            QCOMPARE(sent.size(), 32);
            QCOMPARE(sent.left(16).toHex(' '), record.toHex(' '));
            QCOMPARE(sent.mid(16), QByteArray(16, '\0'));
        } else {
            QCOMPARE(boxTexts(), QStringList{"警告|" + refusal});
            QCOMPARE(applied.count(), 0);
        }
    }

    // Choices come from the description; a module whose channel count can
    // change offers the counts it has.
    void choices()
    {
        const SlaveSnapshot slave = fixtureSlave(kDIO, 6);
        SlaveInfoView editor;
        editor.setSlave(slave, {slave});
        QComboBox *filter = editor.comboOf(ParamFilter);
        QCOMPARE(filter->count(), 4);
        QCOMPARE(filter->currentData().toInt(), 2);
        QCOMPARE(filter->itemText(0), QStringLiteral("off"));
        filter->setCurrentIndex(filter->findData(1));
        emit filter->activated(filter->currentIndex());
        QComboBox *enable = editor.comboOf(ParamEnable);
        QCOMPARE(enable->currentText(), QStringLiteral("开启"));
        enable->setCurrentIndex(0);
        QComboBox *inputs = editor.channelComboOf(true);
        QVERIFY(inputs);
        QCOMPARE(inputs->count(), 4);
        inputs->setCurrentIndex(1); // two channels
        emit inputs->activated(1);
        QVERIFY(editor.isEdited());
        const SlaveInfoView::Result result = editor.buildRecord();
        QCOMPARE(result.refusal, QString());
        // Inputs: 2 channels + the diagnostic one; outputs as they were;
        // filter 1 in bits 6..4, enable off.
        QCOMPARE(result.record.left(10).toHex(' '), QByteArray("06 06 03 00 05 00 10 00 34 12"));
        // The MAX_RPM row is the item's text, not for typing.
        QVERIFY(editor.lineEditOf(ParamMaxRpm)->isReadOnly());
    }

    void refusedWhileForced()
    {
        auto forced = std::make_shared<SlaveState>(*fixtureSlave(kDI, 6));
        forced->forcedState = 1;
        SlaveInfoView editor;
        editor.setSlave(forced, {forced});
        QCOMPARE(editor.hint(), QStringLiteral("模块处于强制状态,不可修改参数!"));
        QSignalSpy applied(&editor, &SlaveInfoView::sigApplyConfig);
        typeInto(editor.lineEditOf(ParamStation), QStringLiteral("7"));
        editor.applyButton()->click();
        QCOMPARE(boxTexts(), QStringList{"警告|模块处于强制状态,不可修改参数!"});
        QCOMPARE(applied.count(), 0);
    }

    void moduleWithoutDescription()
    {
        const SlaveSnapshot unknown = fixtureSlave(kAIO, 13);
        SlaveInfoView editor;
        editor.setSlave(unknown, {unknown});
        QVERIFY(!editor.applyButton()->isEnabled());
        QCOMPARE(editor.hint(), QStringLiteral("该模块没有自己的设备描述,配置不可修改。"));
        QVERIFY(editor.lineEditOf(ParamStation)->isReadOnly());
    }

    // The bus keeps reporting while the user types: the typed rows stay
    // until they are applied; then the slave's own values come back.
    void editsSurviveNotifications()
    {
        auto slave = fixtureSlave(kDI, 6);
        SlaveInfoView editor;
        editor.setSlave(slave, {slave});
        typeInto(editor.lineEditOf(ParamSubstitute), QStringLiteral("77"));
        QLineEdit *substitute = editor.lineEditOf(ParamSubstitute);

        auto moved = std::make_shared<SlaveState>(*slave);
        moved->configurationRecord[2] = char(0x84); // the bus moved its inputs meanwhile
        moved->statusBit1 = 1;
        editor.setSlave(moved, {moved});
        QCOMPARE(editor.lineEditOf(ParamSubstitute), substitute);
        QCOMPARE(substitute->text(), QStringLiteral("77"));

        QSignalSpy applied(&editor, &SlaveInfoView::sigApplyConfig);
        editor.applyButton()->click();
        QCOMPARE(applied.count(), 1);
        QVERIFY(!editor.isEdited());
        editor.setSlave(moved, {moved});
        QCOMPARE(editor.lineEditOf(ParamSubstitute)->text(), QStringLiteral("4660"));
    }

    void defaults()
    {
        auto slave = create(kDI, 6);
        slave->giveDescribedChannels();
        slave->groupItem(Slave::kConfigData, 4)->value.setValue(99); // substitute
        const SlaveSnapshot shown = takeSnapshot(*slave);
        SlaveInfoView editor;
        editor.setSlave(shown, {shown});
        QCOMPARE(editor.lineEditOf(ParamSubstitute)->text(), QStringLiteral("99"));
        QSignalSpy rest(&editor, &SlaveInfoView::sigRestConfig);
        QTest::mouseClick(editor.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
        QCOMPARE(rest.count(), 1);
        QCOMPARE(editor.lineEditOf(ParamSubstitute)->text(), QStringLiteral("4660"));
        QVERIFY(editor.isEdited());
    }

    void basicInformationAndInputs()
    {
        auto made = create(kDI, 6);
        made->giveDescribedChannels();
        made->setUuid("DA01B2C3D403");
        made->setBasicInfo(QStringLiteral("FX-DI4-N"), QByteArray::fromHex("0A01"));
        made->applyShortRecord(made->configurationRecord()); // the inputs' bits: 0 to 3
        made->onStatusByte(0x01);
        made->onFaultByte(0x01);
        made->onInputImage(6, 1, QByteArray::fromHex("0101"), QByteArray::fromHex("05")); // a forced cycle
        const SlaveSnapshot slave = takeSnapshot(*made);
        SlaveInfoView editor;
        editor.setSlave(slave, {slave});
        const QStringList rows = editor.basicRows();
        for (const char *row : {"站号|6", "类型|FX-DI4-N", "Unique ID|DA01B2C3D403", "类别|DI", "硬件编码|0A01",
                                "输入区|0 (4 位)", "输出区|-", "状态|在线", "强制|是", "通信故障|正常", "主电低|异常"})
            QVERIFY2(rows.contains(QString::fromUtf8(row)), row);
        const QStringList inputs = editor.inputRows();
        QCOMPARE(inputs.size(), 4);
        QVERIFY(inputs.at(0).endsWith(QStringLiteral("|TRUE")));
        QVERIFY2(inputs.at(1).endsWith(QStringLiteral("|FALSE")), qPrintable(inputs.join(QLatin1Char(';'))));
        QVERIFY(editor.findChild<QLabel *>(QStringLiteral("inputNote"))->isHidden());

        // Out of force mode the inputs are not read: no value is shown, and
        // the note says why.
        made->setForced(false);
        const SlaveSnapshot idle = takeSnapshot(*made);
        editor.setSlave(idle, {idle});
        for (const QString &row : editor.inputRows())
            QVERIFY2(row.endsWith(QStringLiteral("|-")), qPrintable(row));
        QVERIFY(!editor.findChild<QLabel *>(QStringLiteral("inputNote"))->isHidden());
    }

    // The address view of the editor shows the slave's bits, and where an
    // edited start would put them.
    void addressPreview()
    {
        const SlaveSnapshot slave = fixtureSlave(kDI, 6, 1, 40);
        SlaveInfoView editor;
        editor.setSlave(slave, {slave, neighbour()});
        SwapMemoryView *map = editor.memoryView();
        QCOMPARE(map->cell(true, 40), SwapMemoryView::Cell::Selected);
        QCOMPARE(map->cell(true, 8), SwapMemoryView::Cell::Used);
        QSignalSpy preview(&editor, &SlaveInfoView::sigShowCurrSwapMemoryView);
        typeInto(editor.lineEditOf(ParamDI), QStringLiteral("14"));
        QVERIFY(preview.count() > 0);
        QCOMPARE(preview.last().at(0).toInt(), 14);
        QCOMPARE(preview.last().at(1).toInt(), 4);
        QCOMPARE(map->cell(true, 40), SwapMemoryView::Cell::Free);
        QCOMPARE(map->cell(true, 14), SwapMemoryView::Cell::SelectedCollision);
        QCOMPARE(map->cell(true, 16), SwapMemoryView::Cell::Selected);
        QCOMPARE(map->collidingBits(true), 2);
    }
};

QTEST_MAIN(TestSlaveInfoView)
#include "tst_slave_info_view.moc"
