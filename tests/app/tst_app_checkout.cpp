// "IO检查" in the window, against the virtual adapter with the demonstration
// bus: pass, fail and skip by keyboard with the channel under test the only
// output on, the filters, every ending switching it off, the check-out
// taken up again when the dialog is opened anew, the wiring map's loops run
// by the tool, and the report.

#include "AppHarness.h"

#include "IoCheckoutDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTreeWidget>

using namespace apph;
using namespace appcore::checkout;

namespace {

const char *const kDo16 = "DA01B2C3D402";

// The DO16's outputs as the virtual adapter drives them, channel 0 first.
QList<int> do16Outputs()
{
    QList<int> bits;
    const std::optional<tbsim::Module> module = tbsim::bus().adapter(kDemoSerial.toStdString()).module(kDo16);
    for (int bit = 0; module && bit < 16; ++bit)
        bits << ((module->outputs.at(size_t(bit / 8)) >> (bit % 8)) & 1);
    return bits;
}

QList<int> onlyOn(int channel)
{
    QList<int> bits;
    for (int bit = 0; bit < 16; ++bit)
        bits << (bit == channel ? 1 : 0);
    return bits;
}

bool simForcing()
{
    return tbsim::bus().adapter(kDemoSerial.toStdString()).forceMode();
}

void key(IoCheckoutDialog *dialog, Qt::Key key)
{
    QTest::keyClick(dialog->findChild<QTreeWidget *>(QStringLiteral("treeRows")), key);
}

} // namespace

class TestAppCheckout : public WindowTest
{
    Q_OBJECT

private:
    IoCheckoutDialog *openThroughTree(MainWindow &window)
    {
        if (!triggerAdapterMenu(window.projectView(), 0, QStringLiteral("IO检查")))
            return nullptr;
        IoCheckoutDialog *dialog = waitForTopLevel<IoCheckoutDialog>();
        if (!dialog)
            return nullptr;
        // The keys are the active window's, as on the engineer's screen.
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog))
            return nullptr;
        dialog->findChild<QTreeWidget *>(QStringLiteral("treeRows"))->setFocus();
        return dialog;
    }

private slots:
    // Closing the window while a field is being edited: the dialog goes
    // away whole, and what was typed is there when it opens again.
    void closedWhileEditing()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        QVERIFY(openDemo(*window));
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        auto *site = dialog->findChild<QLineEdit *>(QStringLiteral("lineSite"));
        site->setFocus();
        QTRY_VERIFY(site->hasFocus());
        QTest::keyClicks(site, QStringLiteral("Line 3"));
        delete dialog;
        dialog = openThroughTree(*window);
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("lineSite"))->text(), QStringLiteral("Line 3"));
    }

    void passFailSkipByKeyboardThenResume()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        const Checkout &check = dialog->checkout();
        QCOMPARE(check.counts().open, check.rows.size());
        QCOMPARE(check.header.serial, kDemoSerial);
        auto *engineer = dialog->findChild<QLineEdit *>(QStringLiteral("lineEngineer"));
        engineer->setText(QStringLiteral("李伟"));
        emit engineer->editingFinished();

        const int first = check.findRow(2, QLatin1String(kDo16), Direction::Output, 0);
        QVERIFY(first >= 0);
        dialog->selectRow(first);
        // Enter: force mode is asked for, then output 0 alone goes on.
        key(dialog, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(manager->isForceMode(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(0), 5000);
        // What was forced is in the message list, as the IO test window's outputs are.
        QVERIFY(messageLines(manager->page()->messageWidget()).filter(QStringLiteral("IO检查: 强制输出 站号2 (TB-DO16-T) 输出0 = 1")).size() == 1);
        // P passes it; the next channel goes on alone at once.
        // (a button's shortcut clicks it visibly: a moment later)
        key(dialog, Qt::Key_P);
        QTRY_COMPARE(check.rows.at(first).result, Result::Pass);
        QCOMPARE(check.rows.at(first).checkedBy, QStringLiteral("李伟"));
        QCOMPARE(dialog->currentRow(), first + 1);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(1), 5000);
        key(dialog, Qt::Key_F);
        QTRY_COMPARE(check.rows.at(first + 1).result, Result::Fail);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(2), 5000);
        key(dialog, Qt::Key_S);
        QTRY_COMPARE(check.rows.at(first + 2).result, Result::Skipped);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(3), 5000);
        // Esc stops: every output off, still in force mode.
        key(dialog, Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(-1), 5000);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->drivenOutput());
        QCOMPARE(check.rows.at(first + 3).result, Result::Open);

        // The filters.
        auto *failed = dialog->findChild<QCheckBox *>(QStringLiteral("checkFailed"));
        failed->setChecked(true);
        QCOMPARE(dialog->visibleRows(), QStringList{QStringLiteral("DA01B2C3D402|1|输出|失败")});
        failed->setChecked(false);
        auto *open = dialog->findChild<QCheckBox *>(QStringLiteral("checkOpen"));
        open->setChecked(true);
        QCOMPARE(dialog->visibleRows().size(), check.rows.size() - 3);
        open->setChecked(false);

        // Closing leaves the force mode the dialog asked for.
        dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(!manager->isForceMode(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!simForcing(), 5000);

        // Opened again: the results, the engineer, on at the first open row.
        IoCheckoutDialog *again = openThroughTree(*window);
        QVERIFY(again);
        const Checkout &resumed = again->checkout();
        QCOMPARE(resumed.rows.at(first).result, Result::Pass);
        QCOMPARE(resumed.rows.at(first + 1).result, Result::Fail);
        QCOMPARE(resumed.rows.at(first + 2).result, Result::Skipped);
        QCOMPARE(resumed.counts().done(), 3);
        QCOMPARE(again->findChild<QLineEdit *>(QStringLiteral("lineEngineer"))->text(), QStringLiteral("李伟"));
        QCOMPARE(again->currentRow(), resumed.nextOpen(0));
        QVERIFY(again->statusText().contains(QStringLiteral("已完成 3 项")));
    }

    // A digital input passes when it changes while watched; one that does
    // not change within the time set stays open for the engineer to decide.
    void inputChangePassesSilenceStaysOpen()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const Checkout &check = dialog->checkout();
        // The DI8 at station 3 reads the constant A5: its input 0 is 1 (the
        // inputs are read only in force mode: before it, nothing was read).
        const int row = check.findRow(3, QStringLiteral("DA01B2C3D403"), Direction::Input, 0);
        dialog->findChild<QSpinBox *>(QStringLiteral("spinWait"))->setValue(1);
        dialog->selectRow(row);
        key(dialog, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(manager->isForceMode() && dialog->isChecking(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isChecking(), 5000);
        QCOMPARE(check.rows.at(row).result, Result::Open);
        QVERIFY(dialog->statusText().contains(QStringLiteral("无变化")));
        QCOMPARE(dialog->currentRow(), row);

        // The field device operated: the input goes to 0 and the row passes.
        dialog->findChild<QSpinBox *>(QStringLiteral("spinWait"))->setValue(30);
        key(dialog, Qt::Key_Return);
        QTRY_VERIFY(dialog->isChecking());
        QTest::qWait(100);
        QVERIFY(sim.setConstantInputs("DA01B2C3D403", {0xA4}));
        QTRY_COMPARE_WITH_TIMEOUT(check.rows.at(row).result, Result::Pass, 5000);
        QCOMPARE(check.rows.at(row).value, QStringLiteral("1 → 0"));
        QCOMPARE(dialog->currentRow(), row + 1);
    }

    // Analog channels are judged by the tolerance: an output's meter reading
    // against its set value, an input's live value against the one expected.
    void analogByTolerance()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        const Checkout &check = dialog->checkout();
        auto *setpoint = dialog->findChild<QComboBox *>(QStringLiteral("comboSetpoint"));
        auto *reading = dialog->findChild<QLineEdit *>(QStringLiteral("lineReading"));
        // The AO4 at station 9, channel 0 at 50 %: the AI4 at station 8 is wired to it.
        const int ao = check.findRow(9, QStringLiteral("DA01B2C3D409"), Direction::Output, 0);
        dialog->selectRow(ao);
        setpoint->setCurrentText(QStringLiteral("50"));
        key(dialog, Qt::Key_Return);
        const auto aoChannel0 = [&] {
            const std::optional<tbsim::Module> m = sim.module("DA01B2C3D409");
            return m && m->outputs.size() >= 2 ? int(m->outputs.at(0)) | int(m->outputs.at(1)) << 8 : -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(aoChannel0(), 32768, 5000);
        reading->setText(QStringLiteral("49.5"));
        dialog->pass();
        QCOMPARE(check.rows.at(ao).result, Result::Pass);
        QCOMPARE(check.rows.at(ao).value, QStringLiteral("设定 50% 读数 49.5%"));
        // The next channel goes on at 50 % too; a reading outside ±2 % fails.
        QCOMPARE(dialog->currentRow(), ao + 1);
        reading->setText(QStringLiteral("44"));
        dialog->pass();
        QCOMPARE(check.rows.at(ao + 1).result, Result::Fail);
        QVERIFY(check.rows.at(ao + 1).note.contains(QStringLiteral("超出容差")));
        dialog->stopCheck();
        QTRY_COMPARE_WITH_TIMEOUT(aoChannel0(), 0, 5000);

        // The AI4's channel 0 reads the AO4's channel 0, now 0: 0 % passes, 50 % fails.
        const int ai = check.findRow(8, QStringLiteral("DA01B2C3D408"), Direction::Input, 0);
        dialog->selectRow(ai);
        setpoint->setCurrentText(QStringLiteral("0"));
        key(dialog, Qt::Key_Return);
        QTRY_VERIFY(dialog->isChecking());
        QTest::qWait(200);
        dialog->pass();
        QCOMPARE(check.rows.at(ai).result, Result::Pass);
        setpoint->setCurrentText(QStringLiteral("50"));
        dialog->pass();
        QCOMPARE(check.rows.at(ai + 1).result, Result::Fail);
    }

    // The link goes while an output is on: the check stops with the output
    // asked off, what was done is saved; the adapter comes back without it.
    void linkLostStopsAndSaves()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        const int row = dialog->checkout().findRow(2, QLatin1String(kDo16), Direction::Output, 5);
        dialog->selectRow(row);
        key(dialog, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(5), 5000);
        key(dialog, Qt::Key_P);
        QTRY_COMPARE_WITH_TIMEOUT(do16Outputs(), onlyOn(6), 5000);

        tbsim::bus().adapter(kDemoSerial.toStdString()).unplugFor(300);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isChecking(), 5000);
        QVERIFY(!dialog->drivenOutput());
        QVERIFY2(dialog->statusText().contains(QStringLiteral("链接断开")), qPrintable(dialog->statusText()));
        QCOMPARE(loadState(kDemoSerial).value(QStringLiteral("rows")).toArray().size(), dialog->checkout().rows.size());
        // Back: the adapter left force mode with every output off, and the
        // check goes on at the row that was under way.
        QTRY_VERIFY_WITH_TIMEOUT(manager->isLinked() && !manager->isForceMode(), 10000);
        QCOMPARE(do16Outputs(), onlyOn(-1));
        QCOMPARE(dialog->currentRow(), row + 1);
        QCOMPARE(dialog->checkout().rows.at(row + 1).result, Result::Open);
    }

    // The loops of a wiring map, run by the tool; then the report.
    void loopsAndReport()
    {
        WorkingFolder folder;
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        IoCheckoutDialog *dialog = openThroughTree(*window);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>(QStringLiteral("lineSite"))->setText(QStringLiteral("测试现场"));
        const QString wiring = folder.path() + QStringLiteral("/rig.csv");
        QFile file(wiring);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("output,input\n2:0,1:0\n2:1,1:1\n2:2,1:3\n");
        file.close();
        QVERIFY(dialog->loadWiring(wiring));
        dialog->runLoops();
        QTRY_VERIFY_WITH_TIMEOUT(manager->isForceMode(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->loopsRunning(), 15000);
        const Checkout &check = dialog->checkout();
        const auto resultOf = [&](int channel) {
            return check.rows.at(check.findRow(2, QLatin1String(kDo16), Direction::Output, channel)).result;
        };
        QCOMPARE(resultOf(0), Result::Pass);
        QCOMPARE(resultOf(1), Result::Pass);
        QCOMPARE(resultOf(2), Result::Fail); // wired to input 2, not 3
        QCOMPARE(check.counts().pass, 4);
        QCOMPARE(check.counts().fail, 2);
        QCOMPARE(do16Outputs(), onlyOn(-1));

        const QString pdf = folder.path() + QStringLiteral("/checkout.pdf");
        QCOMPARE(dialog->writeReport(pdf), QString());
        QVERIFY(QFile::exists(folder.path() + QStringLiteral("/checkout.csv")));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(report.contains(kDemoSerial), qPrintable(report.left(300)));
        QVERIFY(report.contains(QStringLiteral("测试现场")));
        QVERIFY(report.contains(QLatin1String(kDo16)));
        QVERIFY(report.contains(QStringLiteral("通过 4, 失败 2")));
    }
};

QTEST_MAIN(TestAppCheckout)
#include "tst_app_checkout.moc"
