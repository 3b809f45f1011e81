// The configuration file from the window: export and import through the
// project tree's menu, the batch configuration after an import into a live
// adapter and its summary, the checks that keep a bad file off the bus, and
// the file's encoding, against the virtual adapter.

#include "AppHarness.h"
#include "TestFiles.h"

#include "ConfigCsv.h"
#include "ConfigurationMatchingDlg.h"
#include "LocalConfigView.h"
#include "XMLConfig.h"

#include <QMessageBox>
#include <QStandardPaths>
#include <QTextCodec>

using namespace apph;
using appcore::ConfigCsv::Encoding;

using testing_support::readAll;
using testing_support::writeFile;

namespace {

const QString kExportPlain = QStringLiteral("常规导出CSV");
const QString kExportUid = QStringLiteral("带UID导出CSV");
const QString kImport = QStringLiteral("导入组态配置");
const QString kQuestion = QStringLiteral("消息|导入数据完成，是否开始批量配置？");

QByteArray gb18030(const QString &text)
{
    return QTextCodec::codecForName("GB18030")->fromUnicode(text);
}

// The lines of a configuration file as the program reads it.
QStringList linesOf(const QString &path)
{
    QStringList lines = appcore::ConfigCsv::decode(readAll(path)).text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The data line of the module with this identity (its column 11 holds
// the identity's bytes in hexadecimal).
int lineOfUid(const QStringList &lines, const char *uid)
{
    const QString column = QString::fromLatin1(QByteArray(uid).toHex().toUpper());
    for (int i = 1; i < lines.size(); ++i) {
        if (lines.at(i).section(QLatin1Char(','), 11, 11) == column)
            return i;
    }
    return -1;
}

QString withField(const QString &line, int column, const QString &value)
{
    QStringList fields = line.split(QLatin1Char(','));
    fields[column] = value;
    return fields.join(QLatin1Char(','));
}

// "链接适配器" in the tree's menu of the configuration at treeIndex: the
// matching dialog scans, finds the one adapter and links it.
bool linkToTheOnlyAdapter(MainWindow &window, int treeIndex, QStringList *asked = nullptr)
{
    if (!triggerAdapterMenu(window.projectView(), treeIndex, QStringLiteral("链接适配器")))
        return false;
    ConfigurationMatchingDlg *matching = waitForTopLevel<ConfigurationMatchingDlg>();
    if (!matching)
        return false;
    // The dialog scans as it opens.
    auto *adapters = matching->findChild<QListWidget *>(QStringLiteral("listWidget"));
    if (!QTest::qWaitFor([adapters] { return adapters->count() == 1; }, 5000))
        return false;
    adapters->setCurrentRow(0);
    QTest::mouseClick(matching->findChild<QPushButton *>(QStringLiteral("btn_matching")), Qt::LeftButton);
    // Asked before anything is written.
    if (!waitForTopLevel<QMessageBox>())
        return false;
    if (asked)
        *asked = questionTexts();
    return answerQuestion(QStringLiteral("确定"));
}


int addressWrites(tbsim::VirtualAdapter &sim)
{
    return sim.requestCount(0x47, 0x00, 0x02);
}

QStringList slaveSummary(const SlaveList &slaves)
{
    QStringList out;
    for (const SlaveSnapshot &slave : slaves) {
        out << QStringLiteral("%1 %2 %3 in %4+%5 out %6+%7 %8")
                   .arg(slave->stationId)
                   .arg(slave->typeName, QString::fromLatin1(slave->uuid))
                   .arg(slave->ioWindow.inputStart)
                   .arg(slave->ioWindow.inputBits)
                   .arg(slave->ioWindow.outputStart)
                   .arg(slave->ioWindow.outputBits)
                   .arg(QString::fromLatin1(slave->configurationRecord.toHex()));
    }
    return out;
}

} // namespace

class TestAppCsv : public WindowTest
{
    Q_OBJECT

private:
    bool exportThroughTree(MainWindow &window, int index, bool withUid, const QString &path)
    {
        if (!triggerAdapterMenu(window.projectView(), index, withUid ? kExportUid : kExportPlain))
            return false;
        if (answerFileDialog({path}) != QStringLiteral("Export excel file|Files (*.csv)"))
            return false;
        return QTest::qWaitFor([&] { return QFile::exists(path); }, 5000);
    }

    // The live bus's file with UIDs, edited as in a spreadsheet: station 3's
    // inputs moved to begin; the file's path, empty when it failed.
    QString exportWithStation3At(MainWindow &window, const QString &folder, int begin)
    {
        const QString path = folder + QStringLiteral("/bus.csv");
        if (!exportThroughTree(window, 0, true, path))
            return QString();
        QStringList lines = linesOf(path);
        const int line = lineOfUid(lines, "DA01B2C3D403");
        lines[line] = withField(lines.at(line), 3, QString::number(begin));
        return writeFile(path, gb18030(lines.join(QLatin1Char('\n')))) ? path : QString();
    }

    bool importThroughTree(MainWindow &window, int index, const QString &path)
    {
        return triggerAdapterMenu(window.projectView(), index, kImport)
               && answerFileDialog({path}) == QStringLiteral("Import excel file|Files (*.csv)");
    }

private slots:
    // The file of a live bus, imported into an offline configuration, gives
    // the same configuration, and that exports to the same file.
    void exportThenImportOffline()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, true, path));
        MessageWidget *liveList = live->page()->messageWidget();
        QTRY_VERIFY(messageLines(liveList).contains(QStringLiteral("Inform|TarnBUS|导出从站配置数据成功!")));
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.first(), appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithUid));
        QCOMPARE(lines.size(), 1 + 16);

        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 1, path));
        MessageWidget *offlineList = offline->page()->messageWidget();
        QTRY_VERIFY(messageLines(offlineList).contains(QStringLiteral("Inform|TarnBUS|站点12 TB-AI2AO2-V 导入数据成功!")));
        QTRY_COMPARE(offline->slaves().size(), 16);
        // An offline configuration is complete with the import: no question.
        QTest::qWait(50);
        QCOMPARE(questionTexts(), QStringList());
        QCOMPARE(slaveSummary(offline->slaves()), slaveSummary(live->slaves()));

        const QString again = folder.path() + QStringLiteral("/offline.csv");
        QVERIFY(exportThroughTree(*window, 1, true, again));
        QCOMPARE(linesOf(again), lines);
    }

    // The file of the live bus, in either form, brings the bus back to it
    // after another configuration was written: every module's station,
    // areas, channels and parameters as the adapter holds them. Without
    // UIDs the adapter's own module is named by its type, and the line of
    // the module without a station is reported and skipped.
    void exportThenImportLive_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::newRow("with UID") << true;
        QTest::newRow("without UID") << false;
    }
    void exportThenImportLive()
    {
        QFETCH(bool, withUid);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const std::vector<tbsim::Module> original = sim.modules();
        const tbsim::Module stationThree = *sim.module("DA01B2C3D403");
        const QStringList shownBefore = slaveSummary(live->slaves());
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, withUid, path));
        const QString star = withUid ? QString() : QStringLiteral("*");

        // The same file edited: the adapter's own module's inputs to 400,
        // the second module of station 4 to outputs 300, station 3's filter.
        QStringList lines = linesOf(path);
        int stationFour = 0;
        for (int i = 1; i < lines.size(); ++i) {
            const QString type = lines.at(i).section(QLatin1Char(','), 0, 0);
            const QString station = lines.at(i).section(QLatin1Char(','), 1, 1);
            if (type == star + QStringLiteral("TB-DIO8-C"))
                lines[i] = withField(lines.at(i), 3, QStringLiteral("400"));
            else if (station == QLatin1String("4") && stationFour++ == 1)
                lines[i] = withField(lines.at(i), 5, QStringLiteral("300"));
            else if (station == QLatin1String("3"))
                lines[i] = withField(lines.at(i), 7, QStringLiteral("1"));
        }
        QCOMPARE(stationFour, 2);
        const QString edited = folder.path() + QStringLiteral("/edited.csv");
        QVERIFY(writeFile(edited, gb18030(lines.join(QLatin1Char('\n')))));

        MessageWidget *list = live->page()->messageWidget();
        for (const QString &file : {edited, path}) {
            const int shown = list->count();
            QVERIFY(importThroughTree(*window, 0, file));
            QVERIFY(answerQuestion(QStringLiteral("确定")));
            LocalConfigView *summary = waitForTopLevel<LocalConfigView>(10000);
            QVERIFY(summary);
            QCOMPARE(summary->summaryText(), QStringLiteral("成功14个,失败2个"));
            QTest::mouseClick(summary->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
            QTRY_VERIFY(!live->isImporting());
            const QStringList messages = messageLines(list).mid(shown);
            QVERIFY(messages.contains(QStringLiteral("Inform|TarnBUS|站点0 %1TB-DIO8-C 导入数据成功!").arg(star)));
            QCOMPARE(messages.contains(QStringLiteral("Waring|TarnBUS|站点0 *TB-DI8-N 没有站号也没有UID,无法对应从站"
                                                      "(只能对应同类型的本地模块),已跳过该行")),
                     !withUid);
            QCOMPARE(messages.filter(QStringLiteral("导入数据成功!")).size(), withUid ? 16 : 15);
            QCOMPARE(boxTexts(), QStringList());
            if (file == edited) {
                QCOMPARE(sim.module("DA01B2C3D400")->inStart, 400);
                QCOMPARE(sim.module("DA01B2C3D40E")->outStart, 300);
                QVERIFY(sim.module("DA01B2C3D403")->params != stationThree.params);
            }
        }

        // The adapter holds again what it held when the file was written,
        // and the window shows it.
        QCOMPARE(sim.modules().size(), original.size());
        for (const tbsim::Module &m : original) {
            const tbsim::Module now = *sim.module(m.uid);
            QVERIFY2(now.station == m.station, m.uid.c_str());
            QVERIFY2(now.inStart == m.inStart && now.outStart == m.outStart, m.uid.c_str());
            QVERIFY2(now.inChannels == m.inChannels && now.outChannels == m.outChannels, m.uid.c_str());
            QVERIFY2(now.params == m.params, m.uid.c_str());
        }
        QTRY_COMPARE(slaveSummary(live->slaves()), shownBefore);
    }

    // Allocated bit by bit, then switched to byte alignment: a begin address
    // the alignment does not divide is written exactly (alignment 1), so
    // that the file puts every module back where it was.
    void bitAddressesKeptUnderByteAlignment()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        window->on_action_15_triggered();
        QTRY_COMPARE(live->adapterState().alignmentUnit, 8);
        const QString path = folder.path() + QStringLiteral("/bytes.csv");
        QVERIFY(exportThroughTree(*window, 0, true, path));
        const QStringList lines = linesOf(path);
        // Station 7's areas start at bits 81 and 49; station 3's at 24 (byte 3).
        QVERIFY(lines.at(lineOfUid(lines, "DA01B2C3D407")).startsWith(QStringLiteral("TB-DI8DO8-P,7,1,81,8,49,8,")));
        QVERIFY(lines.at(lineOfUid(lines, "DA01B2C3D403")).startsWith(QStringLiteral("TB-DI8-N,3,8,3,8,0,0,")));

        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 1, path));
        QTRY_COMPARE(offline->slaves().size(), 16);
        QCOMPARE(slaveSummary(offline->slaves()), slaveSummary(live->slaves()));
    }

    // An offline configuration changed since its last export is not closed
    // without a question: export it first, let it go, or keep it open.
    void offlineChangesAreNotLostOnClose()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        window->show();
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const QString bus = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, true, bus));
        TabWidget *tabs = window->tabWidget();
        const QString question = QStringLiteral("提示|离线配置\"TarnBUS\"(16个模块)有修改尚未导出,关闭后将丢失。\n是否先导出?|导出/取消/放弃");

        // Nothing in it yet: closed at once.
        QVERIFY(openOffline(*window));
        emit tabs->tabCloseRequested(1);
        QTRY_COMPARE(tabs->managerCount(), 1);
        QCOMPARE(questionTexts(), QStringList());

        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 1, bus));
        QTRY_COMPARE(offline->slaves().size(), 16);
        emit tabs->tabCloseRequested(1);
        QTRY_COMPARE(questionTexts(), QStringList{question});
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QTest::qWait(50);
        QCOMPARE(tabs->managerCount(), 2);

        // Exporting, then cancelling the file dialog, keeps it open too.
        emit tabs->tabCloseRequested(1);
        QVERIFY(answerQuestion(QStringLiteral("导出")));
        QCOMPARE(answerFileDialog({}), QStringLiteral("Export excel file|Files (*.csv)"));
        QTest::qWait(50);
        QCOMPARE(tabs->managerCount(), 2);

        // Exported: then closed, and the file holds every module.
        const QString saved = folder.path() + QStringLiteral("/offline.csv");
        emit tabs->tabCloseRequested(1);
        QVERIFY(answerQuestion(QStringLiteral("导出")));
        QVERIFY(!answerFileDialog({saved}).isEmpty());
        QTRY_COMPARE(tabs->managerCount(), 1);
        QCOMPARE(linesOf(saved).size(), 1 + 16);

        // Quitting asks for each changed configuration; one exported through
        // the menu and not changed since is not asked about.
        offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 1, bus));
        QTRY_COMPARE(offline->slaves().size(), 16);
        QVERIFY(exportThroughTree(*window, 1, true, folder.path() + QStringLiteral("/again.csv")));
        QTRY_VERIFY(!offline->hasUnexportedChanges());
        AdapterManage *changed = openOffline(*window);
        QVERIFY(changed);
        QVERIFY(importThroughTree(*window, 2, bus));
        QTRY_COMPARE(changed->slaves().size(), 16);
        QVERIFY(!window->close());
        QTRY_COMPARE(questionTexts(), QStringList{question});
        QCOMPARE(tabs->currentWidget(), changed->page());
        QVERIFY(answerQuestion(QStringLiteral("放弃")));
        QTRY_VERIFY(!window->isVisible());
    }

    // File dialogs start in the documents folder, then where the user last
    // took or saved a file of the same kind; other kinds keep their own.
    void dialogsRememberTheirFolder()
    {
        WorkingFolder folder;
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(QDir().mkpath(documents));
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const auto startsIn = [](const QString &expected) {
            QFileDialog *dialog = waitForTopLevel<QFileDialog>();
            return dialog && QFileInfo(dialog->directory().absolutePath()) == QFileInfo(expected);
        };

        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kExportPlain));
        QVERIFY(startsIn(documents));
        const QString elsewhere = folder.path() + QStringLiteral("/site");
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(!answerFileDialog({elsewhere + QStringLiteral("/bus.csv")}).isEmpty());
        QTRY_VERIFY(QFile::exists(elsewhere + QStringLiteral("/bus.csv")));

        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kImport));
        QVERIFY(startsIn(elsewhere));
        answerFileDialog({});

        window->on_action_13_triggered(); // "导入XML"
        QTRY_VERIFY(window->findChild<XMLConfig *>());
        QTest::mouseClick(window->findChild<XMLConfig *>()->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        QVERIFY(startsIn(documents));
        answerFileDialog({});

        // A remembered folder that has gone is forgotten.
        QVERIFY(QDir(elsewhere).removeRecursively());
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kExportPlain));
        QVERIFY(startsIn(documents));
        answerFileDialog({});
    }

    // Success is said only when the file was written; a cancel says nothing.
    void exportCancelledOrFailing()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        MessageWidget *list = live->page()->messageWidget();
        const QStringList before = messageLines(list);
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kExportPlain));
        QCOMPARE(answerFileDialog({}), QStringLiteral("Export excel file|Files (*.csv)"));
        QTest::qWait(100);
        QCOMPARE(messageLines(list), before);

        const QString unwritable = folder.path() + QStringLiteral("/no-such-folder/bus.csv");
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, kExportPlain));
        QVERIFY(!answerFileDialog({unwritable}).isEmpty());
        QTRY_COMPARE(boxTexts().size(), 1);
        QVERIFY2(boxTexts().first().startsWith(QStringLiteral("警告|导出从站配置数据失败! 无法写入文件: ")),
                 qPrintable(boxTexts().first()));
        QVERIFY(messageLines(list).last().startsWith(QStringLiteral("Error|TarnBUS|导出从站配置数据失败! ")));
        QVERIFY(!messageLines(list).contains(QStringLiteral("Inform|TarnBUS|导出从站配置数据成功!")));
        QVERIFY(!QFile::exists(unwritable));
        closeBoxes();

        // A file without UIDs cannot name the modules without a station.
        const QString plain = folder.path() + QStringLiteral("/plain.csv");
        QVERIFY(exportThroughTree(*window, 0, false, plain));
        QTRY_VERIFY(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|导出从站配置数据成功!")));
        // The one without a station; the adapter's own module is named by its type.
        QCOMPARE(messageLines(list).last(),
                 QStringLiteral("Waring|TarnBUS|1个从站未设定站号,不带UID的文件无法导入它们,请使用带UID导出"));
        QCOMPARE(linesOf(plain).first(), appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithoutUid));
        QCOMPARE(linesOf(plain).size(), 1 + 16);
        QCOMPARE(linesOf(plain).at(4), QStringLiteral("*TB-DO16-T,2,1,0,0,8,16,0,0,0,#00001202,0,0,0,0,0,0,0,0,0,0,0,0"));
    }

    // A file edited in a spreadsheet goes into the live bus: every line is
    // applied, the user starts the batch configuration, and the summary
    // shows per station what was written.
    void liveImportAndBatchConfiguration_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<bool>("englishKeys");
        QTest::addColumn<QString>("typeText"); // column 0 of the changed line
        QTest::newRow("with UID") << true << false << "TB-DI8-N";
        QTest::newRow("without UID") << false << false << "*TB-DI8-N";
        QTest::newRow("English header keys") << true << true << "TB-DI8-N";
    }
    void liveImportAndBatchConfiguration()
    {
        QFETCH(bool, withUid);
        QFETCH(bool, englishKeys);
        QFETCH(QString, typeText);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, withUid, path));

        // The engineer moves station 3's inputs to bit 400.
        QStringList lines = linesOf(path);
        int seenFour = 0;
        for (int i = lines.size() - 1; i >= 1; --i) {
            const QString station = lines.at(i).section(QLatin1Char(','), 1, 1);
            // A file without UIDs names modules by station: the modules
            // without one, and the second one of a repeated station, are left out.
            if (!withUid && (station == QLatin1String("0") || (station == QLatin1String("4") && seenFour++ == 0)))
                lines.removeAt(i);
            else if (station == QLatin1String("3"))
                lines[i] = withField(lines.at(i), 3, QStringLiteral("400"));
        }
        if (englishKeys) {
            QStringList keys;
            for (int column = 0; column < appcore::ConfigCsv::kNamedColumns; ++column)
                keys << appcore::ConfigCsv::columnKey(column);
            lines[0] = keys.join(QLatin1Char(',')) + QStringLiteral(",设备ID,设备UID");
        }
        QVERIFY(writeFile(path, gb18030(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n"))));

        QVERIFY(importThroughTree(*window, 0, path));
        MessageWidget *list = live->page()->messageWidget();
        QTRY_COMPARE(questionTexts(), QStringList{kQuestion + QStringLiteral("|确定/取消")});
        QVERIFY(messageLines(list).contains(QStringLiteral("Inform|TarnBUS|站点3 %1 导入数据成功!").arg(typeText)));
        QVERIFY(live->isImporting());
        // Polls keep off the imported records while the user decides.
        QTest::qWait(3 * fastTiming().pollPeriodMs);
        QCOMPARE(sim.module("DA01B2C3D403")->inStart, 24);
        const int writes = addressWrites(sim);
        QVERIFY(answerQuestion(QStringLiteral("确定")));

        LocalConfigView *summary = waitForTopLevel<LocalConfigView>(10000);
        QVERIFY(summary);
        // The modules without a description of their own have no
        // configuration to write: they come first, as not configured.
        QCOMPARE(summary->rowCount(), 16);
        QCOMPARE(summary->summaryText(), QStringLiteral("成功14个,失败2个"));
        QCOMPARE(summary->rowText(0), QStringLiteral("11|LS-?-?|失败: 没有设备描述"));
        QCOMPARE(summary->rowText(1), QStringLiteral("13|LS-?-?|失败: 没有设备描述"));
        bool stationThree = false;
        for (int row = 2; row < summary->rowCount(); ++row) {
            QCOMPARE(summary->stateColor(row), QColor(0, 204, 0));
            stationThree = stationThree || summary->rowText(row) == QStringLiteral("3|TB-DI8-N|成功");
        }
        QVERIFY(stationThree);
        QCOMPARE(addressWrites(sim) - writes, 14);
        QCOMPARE(sim.module("DA01B2C3D403")->inStart, 400);
        const QStringList shown = messageLines(list);
        QVERIFY(shown.contains(QStringLiteral("None|TarnBUS|开始下载CSV文件配置到适配器")));
        QVERIFY(shown.contains(QStringLiteral("None|TarnBUS|配置站点 3 成功！")));
        QVERIFY(shown.contains(QStringLiteral("Inform|TarnBUS|下载配置数据成功!")));
        QVERIFY(!shown.contains(QStringLiteral("None|TarnBUS|TB下载配置完成！")));
        QTest::mouseClick(summary->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        QCOMPARE(messageLines(list).last(), QStringLiteral("None|TarnBUS|TB下载配置完成！"));
        QVERIFY(!live->isImporting());
        QTRY_VERIFY(!window->loading()->isVisible());
        QCOMPARE(boxTexts(), QStringList());
        // The bus keeps what was downloaded.
        QTest::qWait(3 * fastTiming().pollPeriodMs);
        QCOMPARE(sim.module("DA01B2C3D403")->inStart, 400);
        QTRY_COMPARE(findSnapshotByUid(live->slaves(), "DA01B2C3D403")->ioWindow.inputStart, quint16(400));
    }

    // "取消": nothing is written, and the records drop what they took from
    // the file: they show what the modules hold.
    void batchConfigurationDeclined()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const QString path = exportWithStation3At(*window, folder.path(), 400);
        QVERIFY(!path.isEmpty());
        const int writes = addressWrites(sim);

        QVERIFY(importThroughTree(*window, 0, path));
        QVERIFY(answerQuestion(QStringLiteral("取消")));
        QVERIFY(!live->isImporting());
        QTest::qWait(3 * fastTiming().pollPeriodMs);
        QCOMPARE(addressWrites(sim), writes);
        QCOMPARE(sim.module("DA01B2C3D403")->inStart, 24);
        // The records drop the file's values in the worker: the snapshot
        // that says so arrives with a later update.
        QTRY_COMPARE(findSnapshotByUid(live->slaves(), "DA01B2C3D403")->ioWindow.inputStart, quint16(24));
        QCOMPARE(visibleTopLevels<LocalConfigView>().size(), 0);
    }

    // Lines that name no module are reported and skipped; a file of which
    // no line names a module offers no batch configuration.
    void linesWithoutAModule()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const QString header = appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithUid);
        const QString stranger = QStringLiteral("TB-DI8-N,20,1,400,8,0,0,0,0,0,#00001101,444130314232433344343939,0,0");
        const QString station3 = QStringLiteral("TB-DI8-N,3,1,24,8,0,0,3,0,0,#00001101,444130314232433344343033,0,0");
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        MessageWidget *list = live->page()->messageWidget();

        QVERIFY(writeFile(path, gb18030(header + QLatin1Char('\n') + stranger + QLatin1Char('\n') + station3)));
        QVERIFY(importThroughTree(*window, 0, path));
        QTRY_COMPARE(questionTexts().size(), 1);
        QCOMPARE(messageLines(list).mid(messageLines(list).size() - 2),
                 (QStringList{"Waring|TarnBUS|站点20 TB-DI8-N无匹配类型，导入数据失败!",
                              "Inform|TarnBUS|站点3 TB-DI8-N 导入数据成功!"}));
        QVERIFY(answerQuestion(QStringLiteral("取消")));

        QVERIFY(writeFile(path, gb18030(header + QLatin1Char('\n') + stranger)));
        QVERIFY(importThroughTree(*window, 0, path));
        QTRY_COMPARE(messageLines(list).last(), QStringLiteral("Waring|TarnBUS|站点20 TB-DI8-N无匹配类型，导入数据失败!"));
        QTest::qWait(100);
        QCOMPARE(questionTexts(), QStringList());
        QVERIFY(!live->isImporting());
    }

    // An offline configuration written to the adapter ("链接适配器"): the
    // summary shows the modules that were not configured first.
    void offlineDownloadSummary()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, true, path));
        QVERIFY(window->tabWidget()->closeAdapterAt(0));
        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 0, path));
        QTRY_COMPARE(offline->slaves().size(), 16);

        // The adapter refuses the first record written.
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x47;
        refuse.param1 = 0x00;
        refuse.param2 = 0x02;
        refuse.count = 1;
        tbsim::bus().adapter(kDemoSerial.toStdString()).addFault(refuse);
        QStringList asked;
        QVERIFY(linkToTheOnlyAdapter(*window, 0, &asked));
        QCOMPARE(asked, QStringList{QStringLiteral("消息|将离线配置的16个模块写入适配器\"%1\"(序列号 %2)吗?\n"
                                                   "总线上UID或站号相符的同类型模块将按此配置。|确定/取消")
                                        .arg(kDemoName, kDemoSerial)});

        LocalConfigView *summary = waitForTopLevel<LocalConfigView>(10000);
        QVERIFY(summary);
        // Each module not written says why: the one refused, and those
        // without a description of their own.
        QCOMPARE(summary->rowCount(), 16);
        QCOMPARE(summary->summaryText(), QStringLiteral("成功13个,失败3个"));
        QStringList rows;
        for (int row = 0; row < 4; ++row)
            rows << summary->rowText(row);
        QCOMPARE(rows, (QStringList{"0|TB-DIO8-C|失败: 适配器拒绝执行", "11|LS-?-?|失败: 没有设备描述",
                                    "13|LS-?-?|失败: 没有设备描述", "0|TB-DI8-N|成功"}));
        QCOMPARE(summary->stateColor(1), QColor(255, 0, 0));
        QCOMPARE(summary->stateColor(3), QColor(0, 204, 0));
        MessageWidget *list = offline->page()->messageWidget();
        QVERIFY(messageLines(list).contains(QStringLiteral("None|TarnBUS|开始下载CSV文件配置到适配器")));
        QVERIFY(messageLines(list).contains(QStringLiteral("None|TarnBUS|配置站点 12 成功！")));
        QVERIFY(messageLines(list).contains(QStringLiteral("Waring|TarnBUS|站点13 LS-?-? 未配置: 没有设备描述")));
        summary->reject();
        QCOMPARE(messageLines(list).last(), QStringLiteral("None|TarnBUS|TB下载配置完成！"));
        QTRY_VERIFY(!window->loading()->isVisible());
    }

    // An adapter open in another tab is driven by that tab's Adapter only:
    // an offline configuration is not offered to it.
    void offlineDownloadToAnOpenAdapterRefused()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        const QString path = folder.path() + QStringLiteral("/bus.csv");
        QVERIFY(exportThroughTree(*window, 0, true, path));
        AdapterManage *offline = openOffline(*window);
        QVERIFY(offline);
        QVERIFY(importThroughTree(*window, 1, path));
        QTRY_COMPARE(offline->slaves().size(), 16);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const int writesBefore = sim.requestCount(0x46, 0x00, 0x02) + sim.requestCount(0x47, 0x00, 0x02);

        // The link dialog marks it and does not offer it.
        QVERIFY(triggerAdapterMenu(window->projectView(), 1, QStringLiteral("链接适配器")));
        ConfigurationMatchingDlg *matching = waitForTopLevel<ConfigurationMatchingDlg>();
        QVERIFY(matching);
        auto *adapters = matching->findChild<QListWidget *>(QStringLiteral("listWidget"));
        QTRY_COMPARE(adapters->count(), 1);
        QVERIFY(adapters->item(0)->text().endsWith(QStringLiteral("(已在其他标签页中打开)")));
        QVERIFY(!(adapters->item(0)->flags() & Qt::ItemIsEnabled));
        adapters->setCurrentRow(0);
        QTest::mouseClick(matching->findChild<QPushButton *>(QStringLiteral("btn_matching")), Qt::LeftButton);
        QCOMPARE(boxTexts(), QStringList{"警告|未选择适配器!"});
        closeBoxes();
        matching->reject();
        QTest::qWait(100);
        QCOMPARE(sim.requestCount(0x46, 0x00, 0x02) + sim.requestCount(0x47, 0x00, 0x02), writesBefore);
        QVERIFY(!visibleTopLevels<LocalConfigView>().value(0));
    }

    // Two modules on the same bits after the import: the download is refused
    // before anything is written.
    void batchConfigurationRefusedOverAConflict()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const QString path = exportWithStation3At(*window, folder.path(), 8); // onto station 1's inputs
        QVERIFY(!path.isEmpty());
        const int writes = addressWrites(sim);

        QVERIFY(importThroughTree(*window, 0, path));
        QVERIFY(answerQuestion(QStringLiteral("确定")));
        QTRY_COMPARE(boxTexts(), QStringList{QStringLiteral("提示|地址冲突,下载配置失败!\n站号1 (TB-DI16-P) 与 站号3 (TB-DI8-N) 的输入区重叠 8 位 (8..15)")});
        QCOMPARE(addressWrites(sim), writes);
        QVERIFY(!live->isImporting());
        QTRY_VERIFY(!window->loading()->isVisible());
        QCOMPARE(visibleTopLevels<LocalConfigView>().size(), 0);
    }

    // A file with a malformed line is refused as a whole, naming the line;
    // nothing reaches the adapter or the records.
    void malformedFileRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<bool>("wholeFile"); // a problem of the file, not of a line
        const QString uidHeader = appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithUid);
        const QString plainHeader = appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithoutUid);
        const QString good = QStringLiteral("TB-DI8-N,3,1,400,8,0,0,0,0,0,#00001101,DA01B2C3D403,0,0");
        const auto file = [&](const QString &line) { return uidHeader + QLatin1Char('\n') + line + QLatin1Char('\n'); };
        QTest::newRow("too few fields") << file(QStringLiteral("TB-DI8-N,3,1,24,8,0,0")) << "第2行: 字段数量不足,需要12个" << false;
        QTest::newRow("not a number") << file(QStringLiteral("TB-DI8-N,3x,1,24,8,0,0,0,0,0,#00001101,DA01B2C3D403"))
                                      << "第2行: \"从站站号\"不是数字: 3x" << false;
        QTest::newRow("a further value") << file(good + QStringLiteral(",0x10")) << "第2行: 第15列不是数字: 0x10" << false;
        QTest::newRow("station 129") << file(QStringLiteral("TB-DI8-N,129,1,24,8,0,0,0,0,0,#00001101,DA01B2C3D403"))
                                     << "第2行: 从站站号129超出范围(1-128)" << false;
        QTest::newRow("station 129 without a UID")
            << plainHeader + QStringLiteral("\n*TB-DI8-N,129,1,24,8,0,0,0,0,0,#00001101\n") << "第2行: 从站站号129超出范围(1-128)"
            << false;
        QTest::newRow("128 channels") << file(QStringLiteral("TB-DI8-N,3,1,24,128,0,0,0,0,0,#00001101,DA01B2C3D403"))
                                      << "第2行: \"输入通道长度\"超过127: 128" << false;
        QTest::newRow("area past bit 512") << file(QStringLiteral("TB-DI8-N,3,1,510,8,0,0,0,0,0,#00001101,DA01B2C3D403"))
                                           << "第2行: 输入地址超限,结束于第518位(最大512位)" << false;
        QTest::newRow("alignment 4") << file(QStringLiteral("TB-DI8-N,3,4,6,8,0,0,0,0,0,#00001101,DA01B2C3D403"))
                                     << "第2行: 对齐方式只能是1或8: 4" << false;
        QTest::newRow("a bad line after a good one and a blank")
            << uidHeader + QLatin1Char('\n') + good + QStringLiteral("\n\nTB-DO8-T,4,1,0,0,24,8,0,0,0,#00001201,DA01B2C3D404,x\n")
            << "第4行: 第13列不是数字: x" << false;
        QTest::newRow("header: a key with a blank")
            << QStringLiteral("DeviceType,SlaveID,Alignment ,InputBeginAddress\n") + good << "\"对齐方式\",字段缺失或位序错误" << true;
        QTest::newRow("header: five fields") << uidHeader.section(QLatin1Char(','), 0, 4) + QLatin1Char('\n') + good
                                             << "\"输出起始地址\",字段缺失或位序错误" << true;
        QTest::newRow("empty file") << QString() << "文件为空,缺少表头" << true;
    }
    void malformedFileRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QFETCH(bool, wholeFile);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const QString path = folder.path() + QStringLiteral("/bad.csv");
        QVERIFY(writeFile(path, text.toUtf8()));
        const QStringList before = slaveSummary(live->slaves());
        const int writes = addressWrites(sim);
        MessageWidget *list = live->page()->messageWidget();
        const int lines = list->count();

        QVERIFY(importThroughTree(*window, 0, path));
        const QString box = wholeFile ? problem : QStringLiteral("配置文件有误,未导入任何数据:\n") + problem;
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("警告|") + box});
        if (wholeFile)
            QCOMPARE(list->count(), lines);
        else
            QCOMPARE(messageLines(list).mid(lines), QStringList{QStringLiteral("Waring|TarnBUS|") + problem});
        QTest::qWait(3 * fastTiming().pollPeriodMs);
        QCOMPARE(questionTexts(), QStringList());
        QCOMPARE(addressWrites(sim), writes);
        QCOMPARE(slaveSummary(live->slaves()), before);
        QVERIFY(!live->isImporting());
    }

    // A file with its header and nothing else: said so, and nothing asked.
    void fileWithoutLines()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *live = openDemo(*window);
        QVERIFY(live);
        const QString path = folder.path() + QStringLiteral("/empty.csv");
        QVERIFY(writeFile(path, appcore::ConfigCsv::encode(appcore::ConfigCsv::Form::WithUid, {})));
        MessageWidget *list = live->page()->messageWidget();
        const int lines = list->count();
        QVERIFY(importThroughTree(*window, 0, path));
        QTRY_COMPARE(messageLines(list).mid(lines), QStringList{QStringLiteral("Waring|TarnBUS|文件中没有从站配置数据")});
        QTest::qWait(100);
        QCOMPARE(questionTexts(), QStringList());
        QCOMPARE(boxTexts(), QStringList());
        QVERIFY(!live->isImporting());
    }

    // One encoding for the whole file when writing (GB18030); either when
    // reading, also as a spreadsheet saves it.
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithUid)
                             + QStringLiteral("\n数字输入-DI8-N,3,1,24,8,0,0,0,0,0,#00001101,444130314232433344343033,0,0\n"
                                              "数字输出-DO8-T,4,1,0,0,24,8,0,0,0,#00001201,444130314232433344343034,0,0\n");
        QString spreadsheet = text;
        spreadsheet.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        spreadsheet += QStringLiteral("\r\n");
        QTest::newRow("UTF-8") << text.toUtf8();
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("GB18030") << gb18030(text);
        QTest::newRow("spreadsheet, GB18030") << gb18030(spreadsheet);
        QTest::newRow("spreadsheet, UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + spreadsheet.toUtf8();
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        const QString path = folder.path() + QStringLiteral("/names.csv");
        QVERIFY(writeFile(path, bytes));
        const QStringList expected{"Inform|TarnBUS|站点3 数字输入-DI8-N 导入数据成功!",
                                   "Inform|TarnBUS|站点4 数字输出-DO8-T 导入数据成功!"};

        AdapterManage *first = openOffline(*window);
        QVERIFY(first);
        QVERIFY(importThroughTree(*window, 0, path));
        QTRY_COMPARE(first->slaves().size(), 2);
        QCOMPARE(messageLines(first->page()->messageWidget()).mid(3), expected);
        QCOMPARE(first->slaves().first()->typeName, QStringLiteral("数字输入-DI8-N"));

        const QString written = folder.path() + QStringLiteral("/written.csv");
        QVERIFY(exportThroughTree(*window, 0, true, written));
        const QByteArray file = readAll(written);
        QCOMPARE(appcore::ConfigCsv::decode(file).encoding, Encoding::Gb18030);
        QVERIFY(file.startsWith(gb18030(QStringLiteral("设备类型,从站站号,"))));
        QVERIFY(file.contains(gb18030(QStringLiteral("\n数字输入-DI8-N,3,1,24,8,"))));
        QVERIFY(file.contains(gb18030(QStringLiteral("\n数字输出-DO8-T,4,1,0,0,24,8,"))));

        // Read back into another configuration: the same modules and names.
        AdapterManage *second = openOffline(*window);
        QVERIFY(second);
        QVERIFY(importThroughTree(*window, 1, written));
        QTRY_COMPARE(second->slaves().size(), 2);
        QCOMPARE(messageLines(second->page()->messageWidget()).mid(3), expected);
        QCOMPARE(slaveSummary(second->slaves()), slaveSummary(first->slaves()));
        QCOMPARE(first->slaves().first()->uuid, QByteArray("DA01B2C3D403"));
    }
};

QTEST_MAIN(TestAppCsv)
#include "tst_app_csv.moc"
