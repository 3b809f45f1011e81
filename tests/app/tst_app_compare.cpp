// "对比组态" from the window, against the virtual adapter: a configuration
// file of the demonstration bus changed as on a site, compared with the bus
// in the dialog; the filter, the rows checked and written (a refusal among
// them), the comparison read again, the saved CSV and the printed report,
// and an offline configuration as the source.

#include "AppHarness.h"
#include "TestFiles.h"

#include "CompareReport.h"
#include "CompareRowsModel.h"
#include "ConfigCompareDialog.h"
#include "ConfigCsv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTableWidget>

using namespace apph;

using testing_support::readAll;
using testing_support::writeFile;

namespace {

const QString kCompare = QStringLiteral("对比组态");

QString uidColumn(const char *uid)
{
    return QString::fromLatin1(QByteArray(uid).toHex().toUpper());
}

// A file of the bus exported with UIDs, changed line by line: in the line of
// the module with this UID, a column takes a value (a column of -1 drops
// the line).
struct Change {
    const char *uid;
    int column;
    QString value;
};

QString plan(const QString &exported, const QString &path, const QList<Change> &changes)
{
    QStringList lines = appcore::ConfigCsv::decode(readAll(exported)).text.split(QLatin1Char('\n'));
    lines.removeAll(QString());
    lines.removeFirst();
    QStringList out;
    for (const QString &line : lines) {
        QStringList fields = line.split(QLatin1Char(','));
        bool dropped = false;
        for (const Change &change : changes) {
            if (fields.value(11) != uidColumn(change.uid))
                continue;
            if (change.column < 0)
                dropped = true;
            else
                fields[change.column] = change.value;
        }
        if (!dropped)
            out << fields.join(QLatin1Char(','));
    }
    return appcore::ConfigCsv::writeFile(path, appcore::ConfigCsv::Form::WithUid, out) ? QString() : path;
}

QString countText(ConfigCompareDialog *dialog, const char *label)
{
    return dialog->findChild<QLabel *>(QLatin1String(label))->text();
}

QStringList visibleLines(ConfigCompareDialog *dialog)
{
    QStringList out;
    for (int line = 0; line < dialog->rows()->rowCount(); ++line)
        out << dialog->lineText(line);
    return out;
}

int lineOfUid(ConfigCompareDialog *dialog, const char *uid)
{
    for (int line = 0; line < dialog->rows()->rowCount(); ++line) {
        if (dialog->lineText(line).contains(QLatin1String(uid)))
            return line;
    }
    return -1;
}

// A click on the check box of a line, as the user checks a row.
void clickCheckBox(QTableView *view, int line)
{
    const QModelIndex index = view->model()->index(line, CompareRowsModel::KindColumn);
    view->scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect check = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, check.center());
}

QPushButton *button(ConfigCompareDialog *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TestAppCompare : public WindowTest
{
    Q_OBJECT

private:
    QString exportWithUids(MainWindow &window, const QString &path)
    {
        if (!triggerAdapterMenu(window.projectView(), 0, QStringLiteral("带UID导出CSV")) || answerFileDialog({path}).isEmpty())
            return QString();
        return QTest::qWaitFor([&] { return QFile::exists(path); }, 5000) ? path : QString();
    }

    // Opens the dialog from the tree's menu and compares the file chosen in
    // it, as the user does.
    ConfigCompareDialog *compareThroughTree(MainWindow &window, const QString &file)
    {
        if (!triggerAdapterMenu(window.projectView(), 0, kCompare))
            return nullptr;
        ConfigCompareDialog *dialog = waitForTopLevel<ConfigCompareDialog>();
        if (!dialog)
            return nullptr;
        QSignalSpy compared(dialog, &ConfigCompareDialog::compared);
        QTest::mouseClick(button(dialog, "btnOpenFile"), Qt::LeftButton);
        if (answerFileDialog({file}) != QStringLiteral("打开配置文件|Files (*.csv)"))
            return nullptr;
        return compared.count() == 1 || compared.wait(5000) ? dialog : nullptr;
    }

    // Checks the rows of these modules, writes them and answers the question.
    bool writeRows(ConfigCompareDialog *dialog, const QList<const char *> &uids)
    {
        auto *table = dialog->findChild<QTableView *>(QStringLiteral("tableRows"));
        for (const char *uid : uids)
            clickCheckBox(table, lineOfUid(dialog, uid));
        if (dialog->rows()->checkedRows().size() != uids.size())
            return false;
        QTest::mouseClick(button(dialog, "btnWrite"), Qt::LeftButton);
        if (!answerQuestion(QStringLiteral("确定")))
            return false;
        return QTest::qWaitFor([&] { return !dialog->isBusy() && !dialog->outcomes().isEmpty(); }, 15000);
    }

private slots:
    // The rows of a changed file: their kinds counted in the header, the
    // differing fields shown as "configured / bus" and highlighted, the
    // filter; nothing is written by comparing.
    void rowsAndFilter()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        const QString exported = exportWithUids(*window, folder.path() + QStringLiteral("/bus.csv"));
        QVERIFY(!exported.isEmpty());
        const QString file = plan(exported, folder.path() + QStringLiteral("/plan.csv"),
                                  {{"DA01B2C3D403", 3, "400"}, {"DA01B2C3D403", 7, "5"}, {"DA01B2C3D405", -1, {}}});
        QVERIFY(!file.isEmpty());
        tbsim::bus().adapter(kDemoSerial.toStdString()).clearTraffic();

        ConfigCompareDialog *dialog = compareThroughTree(*window, file);
        QVERIFY(dialog);
        QCOMPARE(countText(dialog, "labelCountSame"), QStringLiteral("相同 14"));
        QCOMPARE(countText(dialog, "labelCountDiffers"), QStringLiteral("不同 1"));
        QCOMPARE(countText(dialog, "labelCountExtra"), QStringLiteral("总线上多出 1"));
        QCOMPARE(countText(dialog, "labelCountMissing"), QStringLiteral("总线上缺少 0"));
        QCOMPARE(dialog->rows()->rowCount(), 16);
        const int differing = lineOfUid(dialog, "DA01B2C3D403");
        QCOMPARE(dialog->lineText(differing),
                 QStringLiteral("不同|6|3|TB-DI8-N|DA01B2C3D403|400 / 24|8|-|-|Filter level: 20ms / 3ms|"));
        const QModelIndex start = dialog->rows()->index(differing, CompareRowsModel::InputStartColumn);
        QCOMPARE(start.data(Qt::BackgroundRole).value<QColor>(), CompareRowsModel::differingColor());
        QCOMPARE(dialog->rows()->index(differing, CompareRowsModel::TypeColumn).data(Qt::BackgroundRole).value<QColor>(),
                 CompareRowsModel::kindColor(appcore::Compare::Kind::Differs));
        QCOMPARE(dialog->rows()->index(0, CompareRowsModel::TypeColumn).data(Qt::BackgroundRole).value<QColor>(),
                 CompareRowsModel::kindColor(appcore::Compare::Kind::Same));
        // The first difference is selected: its fields below, the differing ones marked.
        auto *fields = dialog->findChild<QTableWidget *>(QStringLiteral("tableFields"));
        QStringList details;
        for (int i = 0; i < fields->rowCount(); ++i)
            details << fields->item(i, 0)->text() + QLatin1Char('=') + fields->item(i, 1)->text() + QLatin1Char('/')
                           + (fields->item(i, 2) ? fields->item(i, 2)->text() : QString());
        QVERIFY2(details.contains(QStringLiteral("输入起始地址=400/24")), qPrintable(details.join(QLatin1Char('\n'))));
        QVERIFY(details.contains(QStringLiteral("Filter level=20ms/3ms")));

        QTest::mouseClick(dialog->findChild<QCheckBox *>(QStringLiteral("checkOnlyDifferences")), Qt::LeftButton);
        QCOMPARE(visibleLines(dialog),
                 (QStringList{"不同|6|3|TB-DI8-N|DA01B2C3D403|400 / 24|8|-|-|Filter level: 20ms / 3ms|",
                              "总线上多出|-|5|TB-DI32-P|DA01B2C3D405|32|32|-|-||组态中没有此模块"}));
        QTest::mouseClick(dialog->findChild<QCheckBox *>(QStringLiteral("checkOnlyDifferences")), Qt::LeftButton);
        QCOMPARE(dialog->rows()->rowCount(), 16);
        QCOMPARE(tbsim::bus().adapter(kDemoSerial.toStdString()).requestCount(0x47, 0x00, 0x02), 0);
    }

    // The rows checked are written one by one; a refusal is said for its
    // row, without a notice box per module, and the bus read again still
    // shows that difference; written again, the bus is the file.
    void writeSelectedRows()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        const QString exported = exportWithUids(*window, folder.path() + QStringLiteral("/bus.csv"));
        const QString file = plan(exported, folder.path() + QStringLiteral("/plan.csv"),
                                  {{"DA01B2C3D403", 3, "400"}, {"DA01B2C3D409", 9, "1000"}, {"DA01B2C3D40D", 1, "14"}});
        ConfigCompareDialog *dialog = compareThroughTree(*window, file);
        QVERIFY(dialog);
        QCOMPARE(countText(dialog, "labelCountDiffers"), QStringLiteral("不同 3"));
        QVERIFY(!button(dialog, "btnWrite")->isEnabled());

        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x47;
        refuse.param1 = 0x00;
        refuse.count = 1;
        sim.addFault(refuse);
        // Modules are written in the file's order: the DI8 without a station
        // (line 3) first, and refused.
        QVERIFY(writeRows(dialog, {"DA01B2C3D40D", "DA01B2C3D409"}));
        QCOMPARE(boxTexts(), QStringList());
        QCOMPARE(countText(dialog, "labelCountDiffers"), QStringLiteral("不同 2"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("labelProgress"))->text(), QStringLiteral("写入完成: 成功1个, 失败1个"));
        const int refused = lineOfUid(dialog, "DA01B2C3D40D");
        QVERIFY2(dialog->lineText(refused).endsWith(QStringLiteral("写入失败: 修改从站站号失败: 适配器拒绝执行!")),
                 qPrintable(dialog->lineText(refused)));
        QVERIFY(dialog->lineText(lineOfUid(dialog, "DA01B2C3D409")).startsWith(QStringLiteral("相同|")));
        QVERIFY(dialog->lineText(lineOfUid(dialog, "DA01B2C3D409")).endsWith(QStringLiteral("|已写入")));
        QCOMPARE(sim.module("DA01B2C3D40D")->station, 0);
        QCOMPARE(int(sim.module("DA01B2C3D409")->params.at(2) | sim.module("DA01B2C3D409")->params.at(3) << 8), 1000);
        // The results are in the adapter's message list all the same.
        QVERIFY(messageLines(manager->page()->messageWidget()).join(QLatin1Char('\n')).contains(QStringLiteral("适配器拒绝执行")));

        // "全选差异" and once more: the bus is what the file says.
        QTest::mouseClick(button(dialog, "btnCheckAll"), Qt::LeftButton);
        QCOMPARE(dialog->rows()->checkedRows().size(), 2);
        QTest::mouseClick(button(dialog, "btnWrite"), Qt::LeftButton);
        QVERIFY(answerQuestion(QStringLiteral("确定")));
        QTRY_COMPARE_WITH_TIMEOUT(countText(dialog, "labelCountSame"), QStringLiteral("相同 16"), 15000);
        QCOMPARE(sim.module("DA01B2C3D40D")->station, 14);
        QCOMPARE(sim.module("DA01B2C3D403")->inStart, 400);
        QVERIFY(dialog->result().same());
        QCOMPARE(boxTexts(), QStringList());
    }

    // Writing is refused in force mode.
    void noWritesInForceMode()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        const QString exported = exportWithUids(*window, folder.path() + QStringLiteral("/bus.csv"));
        const QString file = plan(exported, folder.path() + QStringLiteral("/plan.csv"), {{"DA01B2C3D403", 3, "400"}});
        ConfigCompareDialog *dialog = compareThroughTree(*window, file);
        QVERIFY(dialog);
        manager->setForceMode(true);
        QTRY_VERIFY(manager->isForceMode());
        QTest::mouseClick(button(dialog, "btnCheckAll"), Qt::LeftButton);
        tbsim::bus().adapter(kDemoSerial.toStdString()).clearTraffic();
        QTest::mouseClick(button(dialog, "btnWrite"), Qt::LeftButton);
        QTRY_COMPARE(boxTexts(), QStringList{QStringLiteral("警告|强制模式不可操作!")});
        QCOMPARE(tbsim::bus().adapter(kDemoSerial.toStdString()).requestCount(0x47, 0x00, 0x02), 0);
        closeBoxes();
        manager->setForceMode(false);
        QTRY_VERIFY(!manager->isForceMode());
    }

    // The rows shown, saved as CSV; the report printed to PDF with the date,
    // the adapter's serial and versions.
    void saveAndPrint()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        const QString exported = exportWithUids(*window, folder.path() + QStringLiteral("/bus.csv"));
        const QString file = plan(exported, folder.path() + QStringLiteral("/plan.csv"),
                                  {{"DA01B2C3D403", 3, "400"}, {"DA01B2C3D403", 7, "5"}, {"DA01B2C3D405", -1, {}}});
        ConfigCompareDialog *dialog = compareThroughTree(*window, file);
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QCheckBox *>(QStringLiteral("checkOnlyDifferences")), Qt::LeftButton);

        const QString csv = folder.path() + QStringLiteral("/result.csv");
        QTest::mouseClick(button(dialog, "btnSaveCsv"), Qt::LeftButton);
        QCOMPARE(answerFileDialog({csv}), QStringLiteral("保存对比结果|Files (*.csv)"));
        QTRY_VERIFY(QFile::exists(csv));
        const QByteArray bytes = readAll(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(bytes.mid(3)).split(QLatin1Char('\n')),
                 (QStringList{"结果,行,从站站号,设备类型,设备UID,输入起始地址,输入通道长度,输出起始地址,输出通道长度,参数,说明",
                              "不同,6,3,TB-DI8-N,DA01B2C3D403,400 / 24,8,-,-,Filter level: 20ms / 3ms,",
                              "总线上多出,-,5,TB-DI32-P,DA01B2C3D405,32,32,-,-,,组态中没有此模块", ""}));

        const CompareReport::Heading heading = dialog->heading();
        const QString page = CompareReport::html(*dialog->rows(), heading);
        QVERIFY(page.contains(QStringLiteral("3C2E0A000001")));
        QVERIFY(page.contains(QStringLiteral("APPVersion")) && page.contains(QStringLiteral("V2.1.7")));
        QVERIFY(page.contains(heading.time.toString(QStringLiteral("yyyy-MM-dd"))));
        QVERIFY(page.contains(QStringLiteral("400 / 24")));
        const QString pdf = folder.path() + QStringLiteral("/result.pdf");
        QTest::mouseClick(button(dialog, "btnPrintPdf"), Qt::LeftButton);
        QCOMPARE(answerFileDialog({pdf}), QStringLiteral("打印对比结果|PDF (*.pdf)"));
        QTRY_VERIFY(QFile::exists(pdf));
        QVERIFY(readAll(pdf).startsWith("%PDF"));
    }

    // An offline configuration built from the bus's own file is the bus;
    // the toolbar opens the same dialog.
    void offlineConfigurationAsSource()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const QString exported = exportWithUids(*window, folder.path() + QStringLiteral("/bus.csv"));
        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(triggerAdapterMenu(window->projectView(), 1, QStringLiteral("导入组态配置")));
        QVERIFY(!answerFileDialog({exported}).isEmpty());
        QTRY_COMPARE(offline->slaves().size(), 16);
        // An offline configuration has no bus to compare.
        QVERIFY(!triggerAdapterMenu(window->projectView(), 1, kCompare));

        window->projectView()->setCurrentItem(window->projectView()->topLevelItem(0));
        window->findChild<QAction *>(QStringLiteral("actionCompare"))->trigger();
        ConfigCompareDialog *dialog = waitForTopLevel<ConfigCompareDialog>();
        QVERIFY(dialog);
        auto *sources = dialog->findChild<QComboBox *>(QStringLiteral("comboSource"));
        QCOMPARE(sources->count(), 2);
        QCOMPARE(sources->itemText(1), QStringLiteral("离线组态: TarnBUS"));
        QSignalSpy compared(dialog, &ConfigCompareDialog::compared);
        sources->setCurrentIndex(1);
        emit sources->activated(1);
        QVERIFY(compared.count() == 1 || compared.wait(5000));
        QCOMPARE(countText(dialog, "labelCountSame"), QStringLiteral("相同 16"));
        QVERIFY(dialog->result().same());
    }
};

QTEST_MAIN(TestAppCompare)
#include "tst_app_compare.moc"
