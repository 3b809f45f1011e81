// The upgrade dialog offscreen against virtual adapters: the search and its
// rows, choosing a file, the version questions, single and batch upgrades
// with a failure and a cancellation among them, every end bringing its row
// and the buttons back, and the dialog going away while an upgrade runs.

#include "FirmwareBurning.h"
#include "HidAccessSupport.h"
#include "ModalDriver.h"
#include "RecentFolders.h"
#include "TestFolders.h"
#include "UpgradeTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace upgradetest;

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

constexpr int kLogStampSize = 24; // "yyyy/MM/dd HH:mm:ss" and five spaces

tbsim::FaultRule rule(tbsim::FaultKind kind, int code, int skip = 0, int delayMs = 0)
{
    tbsim::FaultRule r;
    r.kind = kind;
    r.code = code;
    r.skip = skip;
    r.count = 1;
    r.delayMs = delayMs;
    return r;
}

QString idleText()
{
    return QStringLiteral("开始升级");
}

} // namespace

class UpgradeDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchListsTheAdapters();
    void searchSaysThePermissionIsMissing_data();
    void searchSaysThePermissionIsMissing();
    void chooseFile_data();
    void chooseFile();
    void noFile();
    void noRowsSelected();
    void selectAll();
    void versionQuestions_data();
    void versionQuestions();
    void categoryQuestion_data();
    void categoryQuestion();
    void singleUpgradeOfThePressedRow();
    void batchWithAFailureAndACancellation();
    void cancelTheWholeBatch();
    void declinedRowsAreNotPartOfTheBatch();
    void everyFailureEndsTheUpgrade_data();
    void everyFailureEndsTheUpgrade();
    void versionAfterTheRestart_data();
    void versionAfterTheRestart();
    void clearTheLog();
    void goingAwayWhileAnUpgradeRuns();

private:
    template <typename T>
    T *widget(const char *name) const
    {
        T *found = m_dialog->findChild<T *>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    QTableWidget *table() const { return widget<QTableWidget>("tableWidget"); }
    QPushButton *searchButton() const { return widget<QPushButton>("pushButton_2"); }
    QPushButton *browseButton() const { return widget<QPushButton>("pushButton"); }
    QPushButton *batchButton() const { return widget<QPushButton>("pushButton_3"); }
    QPushButton *rowButton(int row) const
    {
        return qobject_cast<QPushButton *>(table()->cellWidget(row, FirmwareBurning::ColumnButton));
    }
    QCheckBox *rowCheck(int row) const
    {
        return qobject_cast<QCheckBox *>(table()->cellWidget(row, FirmwareBurning::ColumnSelect));
    }
    QProgressBar *rowProgress(int row) const
    {
        return qobject_cast<QProgressBar *>(table()->cellWidget(row, FirmwareBurning::ColumnProgress));
    }
    QString cell(int row, int column) const { return table()->item(row, column)->text(); }
    QStringList log() const;
    QString writeFile(const QByteArray &content, const QString &name = QStringLiteral("app.dec"));
    void chooseFile(const QString &path);
    void search();
    bool waitUntilIdle(int timeoutMs = 20000);
    void verifyIdle(int rows);

    QTemporaryDir m_workDir;
    QString m_sourceDir;
    std::unique_ptr<ModalDriver> m_driver;
    FirmwareBurning *m_dialog = nullptr;
};

void UpgradeDialogTest::initTestCase()
{
    // path.ini lives in the user's configuration folder: the test one; the
    // working folder is one of the test's own.
    testing_support::useTestFolders();
    QVERIFY(m_workDir.isValid());
    m_sourceDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_workDir.path()));
    registerUpgradeMetaTypes();
}

void UpgradeDialogTest::init()
{
    useShortUpgradeTiming();
    HidAccess::setSystem(testing_support::noDeviceNodes());
    QFile::remove(SettingsFiles::path(SettingsFiles::kUpgrade));
    const QString error = loadAdapters({}, 2);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_driver = std::make_unique<ModalDriver>();
    m_dialog = new FirmwareBurning;
    m_dialog->show();
}

void UpgradeDialogTest::cleanup()
{
    delete m_dialog;
    m_dialog = nullptr;
    m_driver.reset();
    QTRY_COMPARE(tbsim::bus().openHandleCount(), 0);
    QCOMPARE(violations(), QStringList());
}

QStringList UpgradeDialogTest::log() const
{
    QStringList lines;
    const QListWidget *list = widget<QListWidget>("listWidget");
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text().mid(kLogStampSize);
    return lines;
}

QString UpgradeDialogTest::writeFile(const QByteArray &content, const QString &name)
{
    const QString path = m_workDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return path;
}

void UpgradeDialogTest::chooseFile(const QString &path)
{
    m_driver->nextFile = path;
    QTest::mouseClick(browseButton(), Qt::LeftButton);
}

void UpgradeDialogTest::search()
{
    QTest::mouseClick(searchButton(), Qt::LeftButton);
}

bool UpgradeDialogTest::waitUntilIdle(int timeoutMs)
{
    return QTest::qWaitFor([this] { return !m_dialog->isUpgrading(); }, timeoutMs);
}

// Every row idle and every button usable again.
void UpgradeDialogTest::verifyIdle(int rows)
{
    QVERIFY(!m_dialog->isUpgrading());
    QCOMPARE(table()->rowCount(), rows);
    for (int row = 0; row < rows; ++row) {
        QCOMPARE(rowCheck(row)->text(), QString());
        QVERIFY(rowCheck(row)->isEnabled());
        QVERIFY(rowButton(row)->isEnabled());
        QVERIFY(!rowButton(row)->isCheckable());
        QVERIFY(rowButton(row)->icon().isNull());
    }
    QVERIFY(searchButton()->isEnabled());
    QVERIFY(browseButton()->isEnabled());
    QVERIFY(batchButton()->isEnabled());
    QVERIFY(!batchButton()->isCheckable());
    QCOMPARE(batchButton()->text(), QStringLiteral("批量升级"));
}

void UpgradeDialogTest::searchListsTheAdapters()
{
    QVERIFY(loadAdapters({QJsonObject{},
                          QJsonObject{{"hardware", "0A0B"}, {"boot", QJsonArray{1, 2, 3}}, {"app", QJsonArray{3, 0, 1}},
                                      {"bootLoader", QJsonObject{{"type", "TBC-U200"}, {"bootLetter", "T"},
                                                                 {"appLetter", "T"}}}}},
                         2)
                .isEmpty());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("升级程序"));
    QCOMPARE(widget<QComboBox>("comboBox_2")->currentText(), QStringLiteral("USB"));
    search();
    QCOMPARE(table()->rowCount(), 2);
    QCOMPARE(table()->columnCount(), 9);
    const QStringList headers{"选择", "设备类型", "硬件版本", "Boot版本", "App版本", "IP地址", "MAC地址", "升级程序", "升级进度"};
    for (int column = 0; column < 9; ++column)
        QCOMPARE(table()->horizontalHeaderItem(column)->text(), headers.at(column));
    const QStringList first{"TBC-U100", "258", "V1.0.3", "V2.1.7", "--", kSerialA};
    const QStringList second{"TBC-U200", "2571", "T1.2.3", "T3.0.1", "--", kSerialB};
    for (int column = 1; column <= 6; ++column) {
        QCOMPARE(cell(0, column), first.at(column - 1));
        QCOMPARE(cell(1, column), second.at(column - 1));
        QVERIFY(!(table()->item(0, column)->flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(rowButton(1)->text(), idleText());
    QCOMPARE(rowProgress(1)->value(), 0);
    QCOMPARE(log(), QStringList({"新设备：TBC-U100 MAC:" + kSerialA, "新设备：TBC-U200 MAC:" + kSerialB}));

    // Each device was asked for its information and told to run its application.
    for (const QString &serial : {kSerialA, kSerialB}) {
        QCOMPARE(simAdapter(serial).requestCount(0xB0), 1);
        QCOMPARE(bootLoader(serial).runApplicationRequests, 1);
    }
    QCOMPARE(tbsim::bus().openHandleCount(), 0);

    // A new search replaces the rows.
    search();
    QCOMPARE(table()->rowCount(), 2);
}

// An adapter the user may not open: the search's log names its node and the
// udev rule, whether the adapter is listed (and cannot be opened) or not.
void UpgradeDialogTest::searchSaysThePermissionIsMissing_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("not listed") << false;
    QTest::newRow("listed, not opened") << true;
}

void UpgradeDialogTest::searchSaysThePermissionIsMissing()
{
    QFETCH(bool, listed);
    QVERIFY(loadAdapters({QJsonObject{{"openElsewhere", true}}}, listed ? 1 : 0).isEmpty());
    QTemporaryDir root;
    const HidAccess::System denied = testing_support::adapterNode(root, QStringLiteral("hidraw7"));
    HidAccess::setSystem(denied);
    search();
    HidAccess::setSystem(testing_support::noDeviceNodes());
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(log(), QStringList{HidAccess::windowText({denied.devices + QStringLiteral("/hidraw7")}).replace(QLatin1Char('\n'), QLatin1Char(' '))});
    QVERIFY(log().first().contains(QStringLiteral("/usr/lib/udev/rules.d/70-tarnbus-tester.rules")));
}

void UpgradeDialogTest::chooseFile_data()
{
    QTest::addColumn<QString>("choice"); // "valid", "invalid" or "cancel"

    QTest::newRow("valid file") << "valid";
    QTest::newRow("invalid file") << "invalid";
    QTest::newRow("cancelled") << "cancel";
}

void UpgradeDialogTest::chooseFile()
{
    QFETCH(QString, choice);
    const QByteArray content = makeUpgradeFile(5000, "TBC 3.4.5", "TBC-U100");
    const QString first = writeFile(makeUpgradeFile(100, "TBC 1.0.0", "OLD"), QStringLiteral("first.dec"));
    QByteArray broken = content;
    broken[20] = 'X';
    const QString path = writeFile(choice == QLatin1String("invalid") ? broken : content);

    // A file is loaded first: whatever comes next replaces it.
    chooseFile(first);
    QVERIFY(m_dialog->upgradeFile().isLoaded());
    chooseFile(choice == QLatin1String("cancel") ? QString() : path);

    QCOMPARE(m_driver->fileDialogs.size(), 2);
    // The first starts in the documents folder.
    QCOMPARE(m_driver->fileDialogs.at(0), "FirmwareBurning|" + RecentFolders::documents() + "|*.dec");
    // The second dialog starts where the first file was taken.
    QCOMPARE(m_driver->fileDialogs.at(1), "FirmwareBurning|" + m_workDir.path() + "|*.dec");
    const QStringList lines = log().mid(2);
    const QString lastPath = QSettings(SettingsFiles::path(SettingsFiles::kUpgrade), QSettings::IniFormat).value("LastPath").toString();
    if (choice == QLatin1String("valid")) {
        QCOMPARE(lines, QStringList({"添加升级文件：" + path, "读取升级程序成功!"}));
        QCOMPARE(widget<QLineEdit>("lineEdit")->text(), path);
        QCOMPARE(widget<QLabel>("label_12")->text(), QStringLiteral("TBC-U100"));
        QCOMPARE(widget<QLabel>("label_14")->text(), QStringLiteral("3.4.5"));
        QCOMPARE(widget<QLabel>("label_2")->text(), QStringLiteral("5096 Byte"));
        QCOMPARE(m_dialog->upgradeFile().blocks().size(), 5);
        QCOMPARE(lastPath, path);
        QTRY_COMPARE(m_driver->boxes, QStringList());
        return;
    }
    if (choice == QLatin1String("invalid")) {
        QTRY_COMPARE(m_driver->boxes, QStringList({"提示|非法的升级文件! "}));
        QCOMPARE(lines, QStringList({"非法文件：" + path}));
    } else {
        QTRY_COMPARE(m_driver->boxes, QStringList());
        QCOMPARE(lines, QStringList({"添加升级程序失败!"}));
    }
    QVERIFY(!m_dialog->upgradeFile().isLoaded());
    QCOMPARE(widget<QLineEdit>("lineEdit")->text(), QString());
    QCOMPARE(widget<QLabel>("label_12")->text(), QString());
    QCOMPARE(widget<QLabel>("label_2")->text(), QString());
    QCOMPARE(lastPath, first);
}

void UpgradeDialogTest::noFile()
{
    search();
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    rowCheck(1)->setChecked(true);
    QTest::mouseClick(batchButton(), Qt::LeftButton);
    QTRY_COMPARE(m_driver->boxes, QStringList({"警告|请先选择升级程序! ", "警告|请先选择升级程序! "}));
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), 0);
    QCOMPARE(simAdapter(kSerialB).requestCount(0xA0), 0);
    verifyIdle(2);
    QCOMPARE(rowButton(0)->text(), idleText());
}

void UpgradeDialogTest::noRowsSelected()
{
    chooseFile(writeFile(makeUpgradeFile(1000)));
    search();
    QTest::mouseClick(batchButton(), Qt::LeftButton);
    QTRY_COMPARE(m_driver->boxes, QStringList({"警告|请先选择设备! "}));
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), 0);
    verifyIdle(2);
}

void UpgradeDialogTest::selectAll()
{
    QCheckBox *all = widget<QCheckBox>("checkBox");
    QTest::mouseClick(all, Qt::LeftButton);
    QVERIFY(!all->isChecked()); // nothing to select
    search();
    QTest::mouseClick(all, Qt::LeftButton);
    QVERIFY(all->isChecked());
    QVERIFY(rowCheck(0)->isChecked() && rowCheck(1)->isChecked());
    QTest::mouseClick(all, Qt::LeftButton);
    QVERIFY(!rowCheck(0)->isChecked() && !rowCheck(1)->isChecked());
}

void UpgradeDialogTest::versionQuestions_data()
{
    QTest::addColumn<QJsonArray>("app");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("box");     // empty: none
    QTest::addColumn<bool>("yes");        // the answer to the question
    QTest::addColumn<bool>("started");

    // Each question names the device it asks about.
    const QString device = QStringLiteral("提示|设备TBC-U100(MAC:%1)\n").arg(kSerialA);
    const QString same = device + QStringLiteral("升级包版本与设备版本一致,是否选择升级! ");
    const QString lower = device + QStringLiteral("升级包版本过低是否选择升级! ");
    QTest::newRow("equal, declined") << QJsonArray{1, 0, 3} << "V" << QByteArray("TBC 1.0.3") << same << false << false;
    QTest::newRow("equal, accepted") << QJsonArray{1, 0, 3} << "V" << QByteArray("TBC 1.0.3") << same << true << true;
    QTest::newRow("lower, declined") << QJsonArray{2, 0, 0} << "V" << QByteArray("TBC 1.0.3") << lower << false << false;
    QTest::newRow("higher") << QJsonArray{0, 9, 9} << "V" << QByteArray("TBC 1.0.3") << QString() << true << true;
    QTest::newRow("patch higher") << QJsonArray{1, 0, 2} << "V" << QByteArray("TBC 1.0.3") << QString() << true << true;
    // Numbers, not texts, and every part counts.
    QTest::newRow("9 against 10") << QJsonArray{10, 0, 0} << "V" << QByteArray("TBC 9.0.0") << lower << false << false;
    QTest::newRow("10 against 9") << QJsonArray{9, 0, 0} << "T" << QByteArray("TBC 10.0.0") << QString() << true << true;
    QTest::newRow("patch lower") << QJsonArray{1, 0, 3} << "V" << QByteArray("TBC 1.0.2") << lower << false << false;
    QTest::newRow("unreadable version") << QJsonArray{1, 0, 3} << "X" << QByteArray("TBC 2.0.0")
                                        << device + QStringLiteral("设备信息异常,无法生升级! ") << true << false;
}

void UpgradeDialogTest::versionQuestions()
{
    QFETCH(QJsonArray, app);
    QFETCH(QString, letter);
    QFETCH(QByteArray, package);
    QFETCH(QString, box);
    QFETCH(bool, yes);
    QFETCH(bool, started);
    QVERIFY(loadAdapters({QJsonObject{{"app", app}, {"bootLoader", QJsonObject{{"appLetter", letter}}}}}, 1).isEmpty());
    chooseFile(writeFile(makeUpgradeFile(1000, package)));
    search();
    m_driver->answers = {yes ? QMessageBox::Yes : QMessageBox::No};
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QVERIFY(waitUntilIdle());
    QTRY_COMPARE(m_driver->boxes, box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), started ? 1 : 0);
    QVERIFY2(log().last().endsWith(QStringLiteral("程序升级完成!")) == started, qPrintable(log().join("\n")));
    verifyIdle(1);
}

// A file for another kind of device is written only after the user agreed,
// in a question naming both.
void UpgradeDialogTest::categoryQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("declined") << false;
    QTest::newRow("accepted") << true;
}

void UpgradeDialogTest::categoryQuestion()
{
    QFETCH(bool, yes);
    QVERIFY(loadAdapters({QJsonObject{{"bootLoader", QJsonObject{{"type", "TBC-U200 Coupler"}}}}}, 1).isEmpty());
    chooseFile(writeFile(makeUpgradeFile(1000, "TBC 9.0.0", "TBC-U100")));
    search();
    QCOMPARE(cell(0, FirmwareBurning::ColumnType), QStringLiteral("TBC-U200 Coupler"));
    // The serial number is shown whole.
    QVERIFY(table()->columnWidth(FirmwareBurning::ColumnMac)
            > table()->fontMetrics().horizontalAdvance(cell(0, FirmwareBurning::ColumnMac)));
    m_driver->answers = {yes ? QMessageBox::Yes : QMessageBox::No};
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QVERIFY(waitUntilIdle());
    QTRY_COMPARE(m_driver->boxes, QStringList{QStringLiteral("提示|设备TBC-U200 Coupler(MAC:%1)\n升级包的类别是TBC-U100,"
                                                             "设备类型是TBC-U200 Coupler,两者不符。是否仍要升级? ")
                                                  .arg(kSerialA)});
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), yes ? 1 : 0);
    if (!yes)
        QCOMPARE(log().last(), QStringLiteral("设备TBC-U200 Coupler(MAC:%1): 升级包类别不符,未升级。").arg(kSerialA));
    verifyIdle(1);
}

void UpgradeDialogTest::singleUpgradeOfThePressedRow()
{
    const QByteArray content = makeUpgradeFile(6000, "TBC 4.0.0");
    chooseFile(writeFile(content));
    search();
    // The current row is another one: the pressed button's row counts.
    table()->setCurrentCell(0, 1);
    QSignalSpy closing(m_dialog, &FirmwareBurning::sigCloseUpgrade);
    QTest::mouseClick(rowButton(1), Qt::LeftButton);

    QVERIFY(m_dialog->isUpgrading());
    QCOMPARE(rowCheck(1)->text(), QStringLiteral("升级中..."));
    QCOMPARE(rowButton(1)->text(), QStringLiteral("取消升级"));
    QVERIFY(rowButton(1)->isCheckable());
    QVERIFY(!rowButton(1)->icon().isNull());
    QVERIFY(!searchButton()->isEnabled());
    QVERIFY(!browseButton()->isEnabled());
    QVERIFY(!batchButton()->isEnabled());
    QCOMPARE(rowButton(0)->text(), idleText());
    // It cannot be closed meanwhile.
    m_dialog->reject();
    QVERIFY(!m_dialog->close());
    QVERIFY(m_dialog->isVisible());

    QVERIFY(waitUntilIdle());
    const QString who = QStringLiteral("TBC-U100 (MAC:%1) ").arg(kSerialB);
    QCOMPARE(log().mid(4), QStringList({who + "开始升级程序!", who + "程序写入完成!设备重启中请稍后。",
                                        who + "重启完成,App版本:V4.0.0", who + "程序升级完成!"}));
    QCOMPARE(rowProgress(1)->value(), 100);
    QCOMPARE(cell(1, FirmwareBurning::ColumnApp), QStringLiteral("V4.0.0"));
    QCOMPARE(rowButton(1)->text(), QStringLiteral("升级程序"));
    verifyIdle(2);
    QTRY_COMPARE(m_driver->boxes, QStringList());
    QCOMPARE(toQ(bootLoader(kSerialB).flashed), padded(content));
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), 0);
    QCOMPARE(closing.count(), 0);

    // Closing is allowed again.
    QVERIFY(m_dialog->close());
}

void UpgradeDialogTest::batchWithAFailureAndACancellation()
{
    // A refuses its first finishing step; B's second block is announced and
    // answered only after 20 s; C goes through.
    useShortUpgradeTiming(10000);
    QVERIFY(loadAdapters({}, 3).isEmpty());
    simAdapter(kSerialA).addFault(rule(tbsim::FaultKind::Refuse, 0xA4));
    simAdapter(kSerialB).addFault(rule(tbsim::FaultKind::SlowReply, 0xA2, 1, 20000));
    const QByteArray content = makeUpgradeFile(3000, "TBC 4.0.0");
    chooseFile(writeFile(content));
    search();
    QTest::mouseClick(widget<QCheckBox>("checkBox"), Qt::LeftButton);
    QTest::mouseClick(batchButton(), Qt::LeftButton);

    QCOMPARE(batchButton()->text(), QStringLiteral("取消升级"));
    QVERIFY(batchButton()->isCheckable());
    QVERIFY(batchButton()->isEnabled());
    QVERIFY(!searchButton()->isEnabled());
    QVERIFY(!browseButton()->isEnabled());

    // B waits inside its exchange; its own button cancels it alone.
    QTRY_COMPARE(simAdapter(kSerialB).requestCount(0xA2), 2);
    QVERIFY(m_dialog->isUpgrading());
    QCOMPARE(rowCheck(1)->text(), QStringLiteral("升级中..."));
    QVERIFY(!rowCheck(1)->isEnabled());
    QCOMPARE(rowButton(1)->text(), QStringLiteral("取消升级"));
    QTest::mouseClick(rowButton(1), Qt::LeftButton);
    QCOMPARE(rowButton(1)->text(), idleText());
    QCOMPARE(rowCheck(1)->text(), QString());
    // Not pressable again until its worker has reported the end.
    QVERIFY(!rowButton(1)->isEnabled());
    QTRY_VERIFY(log().contains(QStringLiteral("TBC-U100 (MAC:%1) 升级中断。").arg(kSerialB)));
    QVERIFY(rowButton(1)->isEnabled());

    QVERIFY(waitUntilIdle());
    QTRY_COMPARE(m_driver->boxes, QStringList({QStringLiteral("提示|  设备TBC-U100(MAC:%1),升级失败  ").arg(kSerialA)}));
    const QStringList lines = log();
    const auto who = [](const QString &serial) { return QStringLiteral("TBC-U100 (MAC:%1) ").arg(serial); };
    QVERIFY(lines.contains(who(kSerialB) + "已取消升级程序! "));
    QVERIFY(lines.contains(who(kSerialB) + "升级中断。"));
    QVERIFY(lines.contains(who(kSerialC) + "程序升级完成!"));
    QVERIFY(!lines.contains(who(kSerialA) + "程序升级完成!"));
    QVERIFY(!lines.contains(who(kSerialB) + "程序升级完成!"));
    QCOMPARE(rowButton(2)->text(), QStringLiteral("升级程序"));
    QCOMPARE(rowButton(0)->text(), idleText());
    verifyIdle(3);
    for (const QString &serial : {kSerialA, kSerialB, kSerialC})
        QCOMPARE(simAdapter(serial).requestCount(0xA0), 1);
    QCOMPARE(toQ(bootLoader(kSerialC).flashed), padded(content));

    // B stays in its boot loader, and a new upgrade of it goes through.
    QVERIFY(bootLoader(kSerialB).running);
    useShortUpgradeTiming();
    QTest::mouseClick(rowButton(1), Qt::LeftButton);
    QVERIFY(waitUntilIdle());
    QCOMPARE(log().last(), who(kSerialB) + "程序升级完成!");
    QCOMPARE(toQ(bootLoader(kSerialB).flashed), padded(content));
}

void UpgradeDialogTest::cancelTheWholeBatch()
{
    useShortUpgradeTiming(10000);
    for (const QString &serial : {kSerialA, kSerialB})
        simAdapter(serial).addFault(rule(tbsim::FaultKind::SlowReply, 0xA2, 1, 20000));
    chooseFile(writeFile(makeUpgradeFile(3000)));
    search();
    rowCheck(0)->setChecked(true);
    rowCheck(1)->setChecked(true);
    QTest::mouseClick(batchButton(), Qt::LeftButton);
    QTRY_COMPARE(simAdapter(kSerialA).requestCount(0xA2), 2);
    QTRY_COMPARE(simAdapter(kSerialB).requestCount(0xA2), 2);

    QTest::mouseClick(batchButton(), Qt::LeftButton);
    QVERIFY(waitUntilIdle(5000));
    const QStringList lines = log();
    for (const QString &serial : {kSerialA, kSerialB}) {
        QVERIFY(lines.contains(QStringLiteral("TBC-U100 (MAC:%1) 已取消批量升级程序! ").arg(serial)));
        QVERIFY(lines.contains(QStringLiteral("TBC-U100 (MAC:%1) 升级中断。").arg(serial)));
    }
    QTRY_COMPARE(m_driver->boxes, QStringList());
    verifyIdle(2);
}

void UpgradeDialogTest::declinedRowsAreNotPartOfTheBatch()
{
    // A holds the package's version already and is declined; B, C go on.
    QVERIFY(loadAdapters({QJsonObject{{"app", QJsonArray{3, 4, 5}}}}, 3).isEmpty());
    chooseFile(writeFile(makeUpgradeFile(3000, "TBC 3.4.5")));
    search();
    QTest::mouseClick(widget<QCheckBox>("checkBox"), Qt::LeftButton);
    m_driver->answers = {QMessageBox::No};
    QTest::mouseClick(batchButton(), Qt::LeftButton);
    QTRY_COMPARE(m_driver->boxes,
                 QStringList({QStringLiteral("提示|设备TBC-U100(MAC:%1)\n升级包版本与设备版本一致,是否选择升级! ").arg(kSerialA)}));
    QCOMPARE(rowCheck(0)->text(), QString());
    QVERIFY(rowCheck(0)->isEnabled());

    // The batch ends with the last row that started.
    QVERIFY(waitUntilIdle());
    verifyIdle(3);
    QCOMPARE(simAdapter(kSerialA).requestCount(0xA0), 0);
    QCOMPARE(bootLoader(kSerialB).upgradesCompleted, 1);
    QCOMPARE(bootLoader(kSerialC).upgradesCompleted, 1);
}

void UpgradeDialogTest::everyFailureEndsTheUpgrade_data()
{
    QTest::addColumn<int>("command"); // 0: the device is gone before the start
    QTest::addColumn<tbsim::FaultKind>("kind");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("interrupted");

    QTest::newRow("upgrade mode refused") << 0xA0 << tbsim::FaultKind::Refuse << "警告|进入升级模式失败! " << false;
    QTest::newRow("burning refused") << 0xA7 << tbsim::FaultKind::Refuse << "警告|开始烧写失败! " << false;
    QTest::newRow("block refused") << 0xA2 << tbsim::FaultKind::Refuse
                                   << QStringLiteral("提示|  设备TBC-U100(MAC:%1),升级失败  ").arg(kSerialA) << false;
    QTest::newRow("unplugged mid-transfer") << 0xA3 << tbsim::FaultKind::UnplugMidway << QString() << true;
    QTest::newRow("gone before the start") << 0 << tbsim::FaultKind::NoReply
                                           << "警告|链接设备失败,请检查USB是否链接! " << false;
}

void UpgradeDialogTest::everyFailureEndsTheUpgrade()
{
    QFETCH(int, command);
    QFETCH(tbsim::FaultKind, kind);
    QFETCH(QString, box);
    QFETCH(bool, interrupted);
    chooseFile(writeFile(makeUpgradeFile(3000)));
    search();
    if (command == 0)
        simAdapter(kSerialA).unplug();
    else
        simAdapter(kSerialA).addFault(rule(kind, command, command == 0xA3 ? 5 : 0));
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QVERIFY(waitUntilIdle());

    QTRY_COMPARE(m_driver->boxes, box.isEmpty() ? QStringList() : QStringList{box});
    QCOMPARE(log().last().endsWith(QStringLiteral("升级中断。")), interrupted);
    QVERIFY(!log().last().endsWith(QStringLiteral("程序升级完成!")));
    // The list keeps the failure the box said.
    if (!box.isEmpty())
        QCOMPARE(log().last(), box.mid(box.indexOf(QLatin1Char('|')) + 1).trimmed());
    QCOMPARE(rowProgress(0)->format(), QStringLiteral("失败"));
    QCOMPARE(rowButton(0)->text(), idleText());
    verifyIdle(2);
}

// The upgrade counts once the device is back with the file's version; one
// back with another, or not back at all, is a failed upgrade: its row says
// so, and the message says what came back.
void UpgradeDialogTest::versionAfterTheRestart_data()
{
    QTest::addColumn<QJsonObject>("adapter"); // bus-file keys of adapter A
    QTest::addColumn<QString>("box");         // empty: none, the upgrade is complete
    QTest::addColumn<QString>("app");         // the row's App version afterwards

    QTest::newRow("back with the file's version") << QJsonObject{} << QString() << "V4.0.0";
    QTest::newRow("back with the version it had")
        << QJsonObject{{"bootLoader", QJsonObject{{"rollsBack", true}}}}
        << QStringLiteral("  设备TBC-U100(MAC:%1)重启后的版本为V2.1.7,不是升级包的版本4.0.0,升级失败  ").arg(kSerialA)
        << "V2.1.7";
    QTest::newRow("not back") << QJsonObject{{"restartMs", 600000}}
                              << QStringLiteral("  设备TBC-U100(MAC:%1)重启后1秒内未重新连接,无法读取版本,升级失败  ").arg(kSerialA)
                              << "V2.1.7";
}

void UpgradeDialogTest::versionAfterTheRestart()
{
    QFETCH(QJsonObject, adapter);
    QFETCH(QString, box);
    QFETCH(QString, app);
    QVERIFY(loadAdapters({adapter}, 1).isEmpty());
    // A device that does not come back is given up a little sooner here.
    tarnbus::LinkTiming::Upgrade waits = tarnbus::linkTiming().upgrade;
    waits.returnWaitMs = 300;
    setUpgradeWaits(waits);
    chooseFile(writeFile(makeUpgradeFile(3000, "TBC 4.0.0")));
    search();
    QCOMPARE(cell(0, FirmwareBurning::ColumnApp), QStringLiteral("V2.1.7"));
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QVERIFY(waitUntilIdle());

    const bool complete = box.isEmpty();
    QTRY_COMPARE(m_driver->boxes, complete ? QStringList() : QStringList{QStringLiteral("提示|") + box});
    QCOMPARE(log().last(), complete ? QStringLiteral("TBC-U100 (MAC:%1) 程序升级完成!").arg(kSerialA) : box.trimmed());
    QCOMPARE(cell(0, FirmwareBurning::ColumnApp), app);
    QCOMPARE(rowButton(0)->text(), complete ? QStringLiteral("升级程序") : idleText());
    // A failure fills the bar in red and says so.
    QCOMPARE(rowProgress(0)->format(), complete ? QStringLiteral("%p%") : QStringLiteral("失败"));
    QCOMPARE(rowProgress(0)->value(), 100);
    QCOMPARE(rowProgress(0)->styleSheet().contains(QStringLiteral("rgb(230, 60, 60)")), !complete);
    QCOMPARE(bootLoader(kSerialA).upgradesCompleted, 1);
    verifyIdle(1);

    // A new upgrade of the row starts without the mark.
    if (complete)
        return;
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QCOMPARE(rowProgress(0)->format(), QStringLiteral("%p%"));
    QVERIFY(waitUntilIdle());
}

void UpgradeDialogTest::clearTheLog()
{
    search();
    QVERIFY(!log().isEmpty());
    m_driver->menuChoice = QStringLiteral("清除");
    QListWidget *list = widget<QListWidget>("listWidget");
    emit list->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(m_driver->menus, QStringList({"清除"}));
    QCOMPARE(list->count(), 0);
}

void UpgradeDialogTest::goingAwayWhileAnUpgradeRuns()
{
    useShortUpgradeTiming(10000);
    simAdapter(kSerialA).addFault(rule(tbsim::FaultKind::SlowReply, 0xA2, 0, 20000));
    chooseFile(writeFile(makeUpgradeFile(3000)));
    search();
    QTest::mouseClick(rowButton(0), Qt::LeftButton);
    QTRY_COMPARE(simAdapter(kSerialA).requestCount(0xA2), 1);
    QSignalSpy closing(m_dialog, &FirmwareBurning::sigCloseUpgrade);
    delete m_dialog;
    m_dialog = nullptr;
    QCOMPARE(closing.count(), 1);
    QCOMPARE(closing.at(0).at(0).toBool(), false);
    // The worker let go of the device at once.
    QCOMPARE(tbsim::bus().openHandleCount(), 0);
}

QTEST_MAIN(UpgradeDialogTest)
#include "tst_upgrade_dialog.moc"
