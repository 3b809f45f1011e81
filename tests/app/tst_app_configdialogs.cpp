// The dialogs of whole-bus operations on their own: the allocation's
// confirmation, the repair of repeated stations, the loop time estimate and
// the configuration summary, driven through their buttons and entries.

#include "Adapter.h"
#include "AutoConfigView.h"
#include "LocalConfigView.h"
#include "LoopTimeView.h"
#include "MessageBox.h"
#include "TarnBaseConvert.h"
#include "UnAllocation.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

Q_DECLARE_METATYPE(QList<int>)

namespace {

// A module as the adapter reports it.
SlaveSnapshot module(int station, const QByteArray &uid, bool repeated = false, const QString &type = QStringLiteral("TB-DI8-N"))
{
    auto slave = std::make_shared<SlaveState>();
    slave->stationId = quint8(station);
    slave->newStationId = quint8(station);
    slave->uuid = uid;
    slave->typeName = type;
    slave->statusBit4 = repeated ? 1 : 0;
    return slave;
}

// The identity text a module reports.
QByteArray uidOf(int n)
{
    return QByteArray::number(0xDA01B2C3D400LL + n, 16).toUpper();
}

QStringList boxTexts()
{
    QStringList out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<MessageBox *>(w); box && box->isVisible())
            out << box->windowTitle() + QLatin1Char('|') + box->text();
    }
    return out;
}

void closeBoxes()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<MessageBox *>(w); box && box->isVisible())
            box->reject();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList rowTexts(const UnAllocation &dialog)
{
    QStringList texts;
    for (int row = 0; row < dialog.rowCount(); ++row)
        texts << dialog.stationEdit(row)->text();
    return texts;
}

QPushButton *button(const QWidget &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TestAppConfigDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Adapter::registerMetaTypes(); }
    void cleanup() { closeBoxes(); }

    // --- AutoConfigView --------------------------------------------------

    void allocationWarning_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("warning");
        QTest::newRow("inputs over") << 513 << 0 << "警告:输入超限";
        QTest::newRow("inputs over, outputs full") << 513 << 512 << "警告:输入超限";
        QTest::newRow("outputs over, inputs full") << 512 << 513 << "警告:输出超限";
        QTest::newRow("both over") << 513 << 513 << "警告:输入(出)超限";
        QTest::newRow("both full") << 512 << 512 << "";
        QTest::newRow("nothing") << 0 << 0 << "";
    }
    void allocationWarning()
    {
        QFETCH(int, input);
        QFETCH(int, output);
        QFETCH(QString, warning);
        AutoConfigView dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("自动分配地址"));
        dialog.setTotals(quint16(input), quint16(output));
        dialog.show();
        QCOMPARE(dialog.inputText(), QString::number(input));
        QCOMPARE(dialog.outputText(), QString::number(output));
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("label_5"));
        QCOMPARE(label->text(), warning);
        QCOMPARE(label->isVisible(), true);
        QCOMPARE(label->styleSheet(), QStringLiteral("color: rgb(200, 0, 0);\nfont: 75 10pt \"Arial\";"));
    }

    void allocationConfirmedOrCancelled()
    {
        AutoConfigView dialog;
        QSignalSpy confirmed(&dialog, &AutoConfigView::sigAutoConfigAdd);
        QCOMPARE(button(dialog, "pushButton")->text(), QStringLiteral("确认"));
        QCOMPARE(button(dialog, "pushButton_2")->text(), QStringLiteral("取消"));
        dialog.show();
        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(confirmed.count(), 0);
        QVERIFY(!dialog.isVisible());
        dialog.show();
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(confirmed.count(), 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // Each area is rounded up to the alignment unit: a 12-bit module takes
    // 12 bits with bit alignment and 16 with byte alignment.
    void allocationSizes_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::newRow("bits") << 1 << 12 + 12 + 64 << 12 + 3;
        QTest::newRow("bytes") << 8 << 16 + 16 + 64 << 16 + 8;
    }
    void allocationSizes()
    {
        QFETCH(int, unit);
        QFETCH(int, input);
        QFETCH(int, output);
        const auto kind = [](int station, int code, int channels, int bits) {
            auto slave = std::const_pointer_cast<SlaveState>(module(station, uidOf(station)));
            slave->typeCode = code;
            slave->channelCount = channels;
            slave->bitsPerChannel = bits;
            return SlaveSnapshot(slave);
        };
        const SlaveList slaves{kind(1, TarnBase::ModuleDI, 12, 1), kind(2, TarnBase::ModuleDIO, 12, 1),
                               kind(3, TarnBase::ModuleAI, 4, 16), kind(4, TarnBase::ModuleDO, 3, 1),
                               kind(5, TarnBase::ModuleUndefined, 8, 8)};
        const QPair<quint16, quint16> totals = Adapter::allocationTotals(slaves, unit);
        AutoConfigView dialog;
        dialog.setTotals(totals.first, totals.second);
        QCOMPARE(dialog.inputText(), QString::number(input));
        QCOMPARE(dialog.outputText(), QString::number(output));
    }

    // --- UnAllocation ----------------------------------------------------

    void repeatedRows()
    {
        UnAllocation dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("批量配置重复站号"));
        dialog.fill({module(3, uidOf(3)), module(4, uidOf(4)), module(4, uidOf(14), true, QStringLiteral("TB-DO8-T")),
                     module(0, uidOf(13), true)});
        QCOMPARE(dialog.rowCount(), 2);
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QCOMPARE(table->horizontalHeaderItem(UnAllocation::kUidColumn)->text(), QStringLiteral("UUID"));
        QCOMPARE(table->horizontalHeaderItem(UnAllocation::kStationColumn)->text(), QStringLiteral("站号"));
        QCOMPARE(table->item(0, UnAllocation::kTypeColumn)->text(), QStringLiteral("TB-DO8-T"));
        QCOMPARE(table->item(0, UnAllocation::kUidColumn)->text(), QStringLiteral("DA01B2C3D40E"));
        QVERIFY(!(table->item(0, UnAllocation::kUidColumn)->flags() & Qt::ItemIsEditable));
        QCOMPARE(rowTexts(dialog), (QStringList{"4", "0"}));
        QCOMPARE(dialog.stationEdit(1)->property(UnAllocation::kMacProperty).toByteArray(), uidOf(13));
        dialog.setSlaveID(uidOf(13), 77);
        QCOMPARE(rowTexts(dialog), (QStringList{"4", "77"}));
    }

    void generation_data()
    {
        QTest::addColumn<QList<int>>("rows");   // stations of the modules flagged as repeated
        QTest::addColumn<QList<int>>("others"); // stations of the other modules
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("a number two rows share is eligible again")
            << QList<int>{5, 5} << QList<int>{1, 2, 3, 4} << QStringList{"5", "6"};
        QTest::newRow("a number another module keeps is not")
            << QList<int>{0, 4} << QList<int>{0, 1, 2, 3, 4} << QStringList{"5", "6"};
        QList<int> others;
        for (int station = 4; station <= 128; ++station)
            others << station;
        QTest::newRow("128 numbers each used once leave the rows")
            << QList<int>{1, 2, 3} << others << QStringList{"1", "2", "3"};
        QTest::newRow("rows left when the numbers run out keep theirs")
            << QList<int>{9, 9, 9, 9} << others << QStringList{"1", "2", "3", "9"};
    }
    void generation()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, others);
        QFETCH(QStringList, expected);
        SlaveList slaves;
        int n = 0;
        for (int station : others)
            slaves << module(station, uidOf(++n));
        for (int station : rows)
            slaves << module(station, uidOf(++n), true);
        UnAllocation dialog;
        dialog.fill(slaves);
        dialog.show();
        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(rowTexts(dialog), expected);
    }

    // Rows that would be sent wrong are refused, naming the row; nothing is sent.
    void sendRefused_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("box");
        QTest::newRow("not a number") << QStringList{"14", "abc"} << "警告|第2行站号不是数字: abc";
        QTest::newRow("empty") << QStringList{"", "15"} << "警告|第1行站号不是数字: ";
        QTest::newRow("above a byte") << QStringList{"14", "270"} << "警告|第2行站号超出范围(1-128): 270";
        QTest::newRow("above 128") << QStringList{"129", "15"} << "警告|第1行站号超出范围(1-128): 129";
        QTest::newRow("not set") << QStringList{"0", "15"} << "警告|第1行站号超出范围(1-128): 0";
        QTest::newRow("twice") << QStringList{"14", "14"} << "警告|第2行站号重复: 14";
    }
    void sendRefused()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, box);
        UnAllocation dialog;
        dialog.fill({module(4, uidOf(4)), module(4, uidOf(14), true), module(0, uidOf(13), true)});
        QSignalSpy sent(&dialog, &UnAllocation::sigSetRepeatSid);
        dialog.show();
        for (int row = 0; row < texts.size(); ++row) {
            dialog.stationEdit(row)->clear();
            QTest::keyClicks(dialog.stationEdit(row), texts.at(row));
        }
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(boxTexts(), QStringList{box});
        QCOMPARE(sent.count(), 0);
        QVERIFY(dialog.isVisible());
    }

    void sendGeneratedNumbers()
    {
        UnAllocation dialog;
        dialog.fill({module(1, uidOf(1)), module(4, uidOf(4)), module(4, uidOf(14), true), module(0, uidOf(13), true)});
        QSignalSpy sent(&dialog, &UnAllocation::sigSetRepeatSid);
        dialog.show();
        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(rowTexts(dialog), (QStringList{"2", "3"}));
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(sent.count(), 1);
        const auto map = sent.first().first().value<QMap<int, QByteArray>>();
        QCOMPARE(map, (QMap<int, QByteArray>{{2, uidOf(14)}, {3, uidOf(13)}}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(boxTexts(), QStringList());
    }

    // --- LoopTimeView ----------------------------------------------------

    void loopTime_data()
    {
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("time");
        QTest::newRow("0") << "0" << "5.6";
        QTest::newRow("1") << "1" << "5.6";
        QTest::newRow("31") << "31" << "5.6";
        QTest::newRow("32") << "32" << "5.6";
        QTest::newRow("39") << "39" << "5.6";
        QTest::newRow("40") << "40" << "6.2";
        QTest::newRow("41") << "41" << "6.2";
        QTest::newRow("48") << "48" << "6.8";
        QTest::newRow("100") << "100" << "10.4";
        QTest::newRow("512") << "512" << "41.6";
        QTest::newRow("1024") << "1024" << "80";
        QTest::newRow("empty") << "" << "5.6";
        QTest::newRow("not a number") << "abc" << "5.6";
        QTest::newRow("negative") << "-64" << "5.6";
    }
    void loopTime()
    {
        QFETCH(QString, bits);
        QFETCH(QString, time);
        LoopTimeView dialog;
        dialog.show();
        // Both groups compute the same way, each with its own button.
        for (const char *entry : {"lineEdit", "lineEdit_2"}) {
            auto *edit = dialog.findChild<QLineEdit *>(QLatin1String(entry));
            edit->clear();
            QTest::keyClicks(edit, bits);
        }
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QCOMPARE(dialog.inputResult(), time);
        QCOMPARE(dialog.outputResult(), QString());
        QTest::mouseClick(button(dialog, "pushButton_2"), Qt::LeftButton);
        QCOMPARE(dialog.outputResult(), time);
        QCOMPARE(LoopTimeView::cycleTime(bits), time);
    }

    void loopTimeFilled()
    {
        LoopTimeView dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("循环时间计算"));
        dialog.fill(quint32(48) << 16 | 512);
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->text(), QStringLiteral("48"));
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->text(), QStringLiteral("512"));
        QCOMPARE(dialog.inputResult(), QStringLiteral("6.8"));
        QCOMPARE(dialog.outputResult(), QStringLiteral("41.6"));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed size
    }

    // --- LocalConfigView -------------------------------------------------

    void summary_data()
    {
        QTest::addColumn<int>("configured");
        QTest::addColumn<int>("failed");
        QTest::newRow("both") << 3 << 2;
        QTest::newRow("no failures: only green rows") << 4 << 0;
        QTest::newRow("nothing configured: only red rows") << 0 << 3;
    }
    void summary()
    {
        QFETCH(int, configured);
        QFETCH(int, failed);
        SlaveList done;
        SlaveList notDone;
        for (int i = 0; i < configured; ++i)
            done << module(10 + i, uidOf(10 + i), false, QStringLiteral("TB-DO8-T"));
        for (int i = 0; i < failed; ++i)
            notDone << module(20 + i, uidOf(20 + i), false, QStringLiteral("TB-AI4-I"));
        LocalConfigView dialog;
        dialog.fill(done, notDone);
        dialog.show();
        QCOMPARE(dialog.rowCount(), configured + failed);
        // The failures come first.
        for (int row = 0; row < dialog.rowCount(); ++row) {
            const bool isFailure = row < failed;
            const QString expected = isFailure ? QStringLiteral("%1|TB-AI4-I|失败").arg(20 + row)
                                               : QStringLiteral("%1|TB-DO8-T|成功").arg(10 + row - failed);
            QCOMPARE(dialog.rowText(row), expected);
            QCOMPARE(dialog.stateColor(row), isFailure ? QColor(255, 0, 0) : QColor(0, 204, 0));
        }
        QCOMPARE(dialog.summaryText(), QStringLiteral("成功%1个,失败%2个").arg(configured).arg(failed));

        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("站号"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("类型"));
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("配置状态"));
        QCOMPARE(table->columnWidth(0), 60);
        QCOMPARE(table->columnWidth(2), 60);
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(1), QHeaderView::Stretch);
        QVERIFY(!table->verticalHeader()->isVisible());
        QTest::mouseClick(button(dialog, "pushButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestAppConfigDialogs)
#include "tst_app_configdialogs.moc"
