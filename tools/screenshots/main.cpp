// Takes the screenshots of the README and docs/screenshots: starts the main
// window on the virtual adapter with the demonstration bus, opens the
// adapter through the chooser as a user would, and saves what it shows at
// each step: the window, the parameter editor, the address areas, a fault
// dialog, the IO test window in a running-light test, the comparison of a
// configuration with the bus, the frame trace and the link counters, and an
// offline configuration built from the catalogue. Run it through
// tools/screenshots.sh (Xvfb at 1920 x 1080, CJK fonts).

#include "Adapter.h"
#include "AdapterManage.h"
#include "AdapterSettingsView.h"
#include "AutoConfigView.h"
#include "CompareReport.h"
#include "CompareRowsModel.h"
#include "ConfigCompareDialog.h"
#include "ConfigCsv.h"
#include "LinkStatisticsView.h"
#include "CreateSlaveView.h"
#include "FaultView.h"
#include "IoCheckout.h"
#include "IoCheckoutDialog.h"
#include "FrameTraceDialog.h"
#include "FrameTraceModel.h"
#include "Loading.h"
#include "LocalConfigView.h"
#include "LoopTimeView.h"
#include "MainProductView.h"
#include "Language.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MyLabel.h"
#include "ProjectView.h"
#include "SettingRegisterData.h"
#include "SettingView.h"
#include "SlaveInfoView.h"
#include "SlaveItemView.h"
#include "SlaveMainWindow.h"
#include "SlaveTileList.h"
#include "TabWidget.h"
#include "TarnBaseConvert.h"
#include "UnAllocation.h"
#include "VirtualBus.h"
#include "XMLConfig.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int ms)
{
    waitFor([] { return false; }, ms);
}

bool save(QWidget *widget, const QString &dir, const QString &name)
{
    const QString path = dir + QLatin1Char('/') + name;
    const bool ok = widget->grab().save(path);
    err() << (ok ? "saved " : "could not save ") << path << Qt::endl;
    return ok;
}

// The whole screen, for dialogs over the window.
bool saveScreen(const QString &dir, const QString &name)
{
    const QString path = dir + QLatin1Char('/') + name;
    const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    err() << (ok ? "saved " : "could not save ") << path << Qt::endl;
    return ok;
}

SlaveSnapshot slaveNamed(const AdapterManage *manager, const QByteArray &uid)
{
    for (const SlaveSnapshot &slave : manager->slaves()) {
        if (slave->uuid == uid)
            return slave;
    }
    return nullptr;
}

template <typename T>
T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(w); found && found->isVisible())
            return found;
    }
    return nullptr;
}

// Saves the dialog of type T that is showing, then closes it.
template <typename T>
void saveDialog(const QString &dir, const QString &name)
{
    T *dialog = nullptr;
    if (!waitFor([&] { return (dialog = topLevel<T>()) != nullptr; }, 5000)) {
        err() << "no dialog for " << name << Qt::endl;
        return;
    }
    settle(200);
    save(dialog, dir, name);
    dialog->reject();
    settle(100);
}

// Answers the file dialog that is showing with path.
bool chooseFile(const QString &path)
{
    QFileDialog *dialog = nullptr;
    if (!waitFor([&] { return (dialog = topLevel<QFileDialog>()) != nullptr; }, 5000))
        return false;
    dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept();
    return true;
}

// The dialogs of the whole-bus operations, on the demonstration adapter.
void saveConfigurationDialogs(MainWindow &window, const QString &dir)
{
    TabWidget *tabs = window.tabWidget();
    AdapterManage *manager = tabs->manager(0);

    manager->openAutoAllocation();
    saveDialog<AutoConfigView>(dir, QStringLiteral("auto-allocation.png"));

    manager->openRepeatedStations();
    if (auto *repair = topLevel<UnAllocation>())
        repair->on_pushButton_2_clicked(); // the numbers it proposes
    saveDialog<UnAllocation>(dir, QStringLiteral("repeated-stations.png"));

    tabs->showLoopTime(0);
    saveDialog<LoopTimeView>(dir, QStringLiteral("loop-time.png"));

    window.on_action_13_triggered();
    if (auto *xml = topLevel<XMLConfig>()) {
        QTreeWidgetItem *digital = xml->tree()->topLevelItem(1);
        if (digital) {
            digital->setExpanded(true);
            digital->child(0)->setExpanded(true);
        }
    }
    saveDialog<XMLConfig>(dir, QStringLiteral("xml-import.png"));

    // A file exported with UIDs and imported again, then the batch
    // configuration and its summary.
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("bus.csv"));
    manager->exportCsv(true);
    if (!chooseFile(path) || !waitFor([&] { return QFile::exists(path); }, 5000)) {
        err() << "no exported file" << Qt::endl;
        return;
    }
    manager->importCsv();
    if (!chooseFile(path))
        return;
    QMessageBox *question = nullptr;
    if (!waitFor([&] { return (question = topLevel<QMessageBox>()) != nullptr; }, 5000)) {
        err() << "no batch configuration question" << Qt::endl;
        return;
    }
    settle(200);
    save(question, dir, QStringLiteral("batch-question.png"));
    for (QAbstractButton *button : question->buttons()) {
        if (question->buttonRole(button) == QMessageBox::AcceptRole)
            button->click();
    }
    LocalConfigView *summary = nullptr;
    if (!waitFor([&] { return (summary = topLevel<LocalConfigView>()) != nullptr; }, 20000)) {
        err() << "no configuration summary" << Qt::endl;
        return;
    }
    settle(300);
    save(summary, dir, QStringLiteral("batch-summary.png"));
    save(&window, dir, QStringLiteral("batch-configuration.png"));
    summary->accept();
    settle(300);
}

// A configuration file of the demonstration bus changed the ways a site
// differs from its plan: an input area moved, a parameter and a substitute
// value changed, a module missing, one more on the bus, a module of another
// type, and the repeated station 4 named without UIDs.
bool writePlan(const QString &exported, const QString &plan)
{
    QFile in(exported);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = appcore::ConfigCsv::decode(in.readAll()).text.split(QLatin1Char('\n'));
    lines.removeAll(QString());
    const QString header = lines.takeFirst();
    const auto uidHex = [](const char *uid) { return QString::fromLatin1(QByteArray(uid).toHex().toUpper()); };
    QStringList out;
    for (const QString &line : lines) {
        QStringList f = line.split(QLatin1Char(','));
        const QString uid = f.value(11);
        if (uid == uidHex("DA01B2C3D405"))
            continue; // the DI32 is not in the plan
        if (uid == uidHex("DA01B2C3D403")) {
            f[3] = QStringLiteral("400");
            f[7] = QStringLiteral("5");
        }
        if (uid == uidHex("DA01B2C3D409"))
            f[9] = QStringLiteral("1000");
        if (uid == uidHex("DA01B2C3D40A")) {
            f[0] = QStringLiteral("TB-AI4-I");
            f[4] = QStringLiteral("4");
            f[10] = QStringLiteral("#00002101");
        }
        if (uid == uidHex("DA01B2C3D404") || uid == uidHex("DA01B2C3D40E"))
            f[11] = QString();
        out << f.join(QLatin1Char(','));
    }
    out << QStringLiteral("TB-DI8-N,14,1,440,8,0,0,0,0,0,#00001101,%1,0,0,0,0,0,0,0,0,0,0,0,0").arg(uidHex("DA01B2C3D4AA"));
    return !appcore::ConfigCsv::writeFile(plan, appcore::ConfigCsv::Form::WithUid, out);
}

// "对比组态": the plan against the bus, all rows and the differences only,
// then the differing modules written and the bus compared again.
void saveCompareDialog(MainWindow &window, const QString &dir)
{
    AdapterManage *manager = window.tabWidget()->manager(0);
    QTemporaryDir files;
    const QString exported = files.filePath(QStringLiteral("bus.csv"));
    const QString plan = files.filePath(QStringLiteral("plan.csv"));
    manager->exportCsv(true);
    if (!chooseFile(exported) || !waitFor([&] { return QFile::exists(exported); }, 5000) || !writePlan(exported, plan)) {
        err() << "no plan to compare" << Qt::endl;
        return;
    }
    window.findChild<QAction *>(QStringLiteral("actionCompare"))->trigger();
    ConfigCompareDialog *compare = manager->compareView();
    if (!compare) {
        err() << "no comparison dialog" << Qt::endl;
        return;
    }
    compare->resize(1280, 760);
    compare->compareFile(plan);
    settle(300);
    save(compare, dir, QStringLiteral("compare-dialog.png"));

    compare->findChild<QCheckBox *>(QStringLiteral("checkOnlyDifferences"))->setChecked(true);
    compare->findChild<QPushButton *>(QStringLiteral("btnCheckAll"))->click();
    settle(300);
    save(compare, dir, QStringLiteral("compare-differences.png"));

    // The DI8 at station 3 refuses its record once: its row says so.
    tbsim::FaultRule refuse;
    refuse.kind = tbsim::FaultKind::Refuse;
    refuse.code = 0x47;
    refuse.param1 = 0x00;
    refuse.count = 1;
    tbsim::bus().adapter("3C2E0A000001").addFault(refuse);
    compare->writeChecked();
    QMessageBox *question = nullptr;
    if (waitFor([&] { return (question = topLevel<QMessageBox>()) != nullptr; }, 5000)) {
        for (QAbstractButton *button : question->buttons()) {
            if (question->buttonRole(button) == QMessageBox::AcceptRole)
                button->click();
        }
    }
    waitFor([&] { return !compare->isBusy() && !compare->outcomes().isEmpty(); }, 20000);
    settle(400);
    save(compare, dir, QStringLiteral("compare-written.png"));

    // The report "打印PDF" prints, its first page as the printer lays it
    // out (A4 landscape, drawn at 96 dpi).
    QTextDocument report;
    report.setHtml(CompareReport::html(*compare->rows(), compare->heading()));
    const QSizeF page(1123, 794);
    report.setPageSize(page);
    QImage image(page.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    report.drawContents(&painter, QRectF(QPointF(0, 0), page));
    painter.end();
    const QString reportPath = dir + QStringLiteral("/compare-report.png");
    err() << (image.save(reportPath) ? "saved " : "could not save ") << reportPath << Qt::endl;
    compare->close();
    settle(200);
}

// "IO检查": the wiring map's loops run, a few channels checked by hand, the
// next output switched on; then the first page of its report (pdftoppm).
void saveCheckoutDialog(MainWindow &window, const QString &dir)
{
    AdapterManage *manager = window.tabWidget()->manager(0);
    QFile::remove(appcore::checkout::statePath(manager->mac()));
    IoCheckoutDialog *checkout = manager->openCheckout();
    if (!checkout) {
        err() << "no check-out dialog" << Qt::endl;
        return;
    }
    checkout->resize(1280, 780);
    checkout->findChild<QLineEdit *>(QStringLiteral("lineSite"))->setText(QStringLiteral("三号包装线 试运行"));
    checkout->findChild<QLineEdit *>(QStringLiteral("lineEngineer"))->setText(QStringLiteral("李伟"));
    QTemporaryDir files;
    const QString wiring = files.filePath(QStringLiteral("rig.csv"));
    QFile map(wiring);
    if (map.open(QIODevice::WriteOnly)) {
        map.write("output,input\n");
        for (int k = 0; k < 16; ++k)
            map.write(QStringLiteral("2:%1,1:%1\n").arg(k).toUtf8());
        map.close();
    }
    checkout->loadWiring(wiring);
    checkout->runLoops();
    waitFor([&] { return manager->isForceMode(); }, 10000);
    waitFor([&] { return !checkout->loopsRunning(); }, 30000);
    // The DO8 at station 4 by hand: two pass, one fails, one is skipped; the
    // next goes on.
    const appcore::checkout::Checkout &check = checkout->checkout();
    const int first = check.findRow(4, QStringLiteral("DA01B2C3D404"), appcore::checkout::Direction::Output, 0);
    if (first >= 0) {
        checkout->selectRow(first);
        checkout->startCheck();
        settle(300);
        checkout->pass();
        settle(200);
        checkout->pass();
        settle(200);
        checkout->findChild<QLineEdit *>(QStringLiteral("lineNote"))->setText(QStringLiteral("阀门 Y3 不动作,端子 X2:5 松动"));
        checkout->fail();
        settle(200);
        checkout->findChild<QLineEdit *>(QStringLiteral("lineNote"))->setText(QStringLiteral("备用通道"));
        checkout->skip();
        settle(600);
    }
    save(checkout, dir, QStringLiteral("checkout-dialog.png"));

    const QString pdf = files.filePath(QStringLiteral("checkout.pdf"));
    const QString why = checkout->writeReport(pdf);
    if (!why.isEmpty()) {
        err() << "no report: " << why << Qt::endl;
    } else {
        const QString target = dir + QStringLiteral("/checkout-report");
        const int status = QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                                                          QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                                          QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, target});
        err() << (status == 0 ? "saved " : "could not save ") << target << ".png" << Qt::endl;
    }
    checkout->close();
    waitFor([&] { return !manager->isForceMode(); }, 10000);
    settle(200);
}

// The diagnostics of the demonstration adapter: the frame trace window
// after a reload in which the adapter refused a lamp and one reply came
// with a bad checksum, a refused report picked; and "通信统计" counting them.
void saveDiagnostics(MainWindow &window, const QString &dir)
{
    AdapterManage *manager = window.tabWidget()->manager(0);
    FrameTraceDialog *trace = manager->openTrace();
    if (!trace) {
        err() << "no trace window" << Qt::endl;
        return;
    }
    trace->resize(1280, 800);
    trace->setRecording(true);
    tbsim::VirtualAdapter demo = tbsim::bus().adapter("3C2E0A000001");
    tbsim::FaultRule badChecksum;
    badChecksum.kind = tbsim::FaultKind::BadChecksum;
    badChecksum.code = 0x25;
    badChecksum.param1 = 4;
    badChecksum.count = 1;
    demo.addFault(badChecksum);
    tbsim::FaultRule refuseLamp;
    refuseLamp.kind = tbsim::FaultKind::Refuse;
    refuseLamp.code = 0x27;
    refuseLamp.param1 = 0x10;
    refuseLamp.count = 1;
    demo.addFault(refuseLamp);
    manager->reloadSlaves();
    waitFor([&] { return manager->isLoading(); }, 3000);
    waitFor([&] { return !manager->isLoading(); }, 60000);
    if (const SlaveSnapshot di16 = slaveNamed(manager, "DA01B2C3D401"))
        manager->adapter()->requestSlaveLamp(di16->recordId, true);
    const auto refusedShown = [trace] {
        trace->refresh();
        for (int row = 0; row < trace->model()->rowCount(); ++row) {
            if (trace->model()->entryAt(row).meaning.refused)
                return true;
        }
        settle(250);
        return false;
    };
    if (!waitFor(refusedShown, 60000))
        err() << "the refused lamp is not in the trace" << Qt::endl;
    settle(300);
    trace->refresh();
    FrameTraceModel *model = trace->model();
    auto *table = trace->findChild<QTableView *>(QStringLiteral("traceTable"));
    // The refusal's first report: the refusal mark on its command byte.
    for (int row = model->rowCount() - 1; row >= 0; --row) {
        if (model->entryAt(row).meaning.refused && model->entryAt(row).meaning.part == tarnbus::trace::Part::ReplyFirst) {
            table->setCurrentIndex(model->index(row, 0));
            table->scrollTo(model->index(row, 0), QAbstractItemView::PositionAtCenter);
            break;
        }
    }
    settle(300);
    save(trace, dir, QStringLiteral("frame-trace.png"));
    // Only the read of slave info, station 4: the bad checksum among them.
    auto *command = trace->findChild<QComboBox *>(QStringLiteral("commandFilter"));
    command->setCurrentIndex(command->findText(QStringLiteral("read slave info")));
    auto *station = trace->findChild<QComboBox *>(QStringLiteral("stationFilter"));
    station->setCurrentIndex(station->findText(QStringLiteral("4")));
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->entryAt(row).meaning.crc == tarnbus::trace::Crc::Bad) {
            table->setCurrentIndex(model->index(row, 0));
            break;
        }
    }
    settle(300);
    save(trace, dir, QStringLiteral("frame-trace-filtered.png"));
    trace->setRecording(false);
    trace->close();
    settle(1200);
    save(manager->page()->slaveWindow(), dir, QStringLiteral("link-statistics.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The checkout's descriptions, pictures and settings: what the user
    // imported or chose stays out (QStandardPaths' test mode).
    QStandardPaths::setTestModeEnabled(true);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    const QString busFile = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sim/buses/demo.json");
    // The window's language: zh (the default) or en.
    Language::apply(Language::parse(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString()).value_or(Language::Choice::Chinese));
    QDir().mkpath(outDir);
    const std::string loadError = tbsim::bus().loadFile(busFile.toStdString());
    if (!loadError.empty()) {
        err() << "bus file: " << QString::fromStdString(loadError) << Qt::endl;
        return 2;
    }

    // A module with a fault to show: main power low and fault 1.
    tbsim::VirtualAdapter demo = tbsim::bus().adapter("3C2E0A000001");
    demo.setState("DA01B2C3D405", 0x21);
    demo.setFault("DA01B2C3D405", 0x05);

    MainWindow window;
    window.resize(1920, 1080);
    window.show();
    settle(300);
    save(&window, outDir, QStringLiteral("empty-window.png"));

    // The chooser, as a newcomer opens it.
    window.on_action_5_triggered();
    settle(200);
    auto *chooser = topLevel<SettingView>();
    if (!chooser) {
        err() << "no chooser" << Qt::endl;
        return 1;
    }
    chooser->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    if (!waitFor([&] { return chooser->list()->count() > 0; }, 15000)) {
        err() << "no adapter found" << Qt::endl;
        return 1;
    }
    settle(100);
    save(chooser, outDir, QStringLiteral("adapter-chooser.png"));
    chooser->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();

    TabWidget *tabs = window.tabWidget();
    if (!waitFor([&] { return tabs->managerCount() == 1 && !tabs->manager(0)->isLoading(); }, 60000)) {
        err() << "the adapter did not load" << Qt::endl;
        return 1;
    }
    settle(500);
    save(&window, outDir, QStringLiteral("main-window.png"));

    // A slave, picked in the tree.
    ProjectView *tree = window.projectView();
    if (QTreeWidgetItem *item = tree->slaveItem(0, 3)) {
        tree->setCurrentItem(item);
        emit tree->itemPressed(item, 0);
        settle(300);
        save(&window, outDir, QStringLiteral("slave-selected.png"));
    }

    AdapterManage *manager = tabs->manager(0);
    MainProductView *page = manager->page();

    // The parameter editor of the DIO16 at station 6.
    const SlaveSnapshot dio16 = slaveNamed(manager, "DA01B2C3D406");
    if (dio16) {
        // A press on its tile, as the user picks it.
        if (SlaveItemView *tile = page->slaveWindow()->tiles()->tileOf(dio16->recordId)) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(120, 40), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tile, &press);
        }
        SlaveInfoView *editor = page->editor();
        editor->setCurrentIndex(SlaveInfoView::ConfigTab);
        settle(300);
        save(&window, outDir, QStringLiteral("parameter-editor.png"));

        // The address areas ("内存分配"), with the editor's inputs moved
        // over the DI16's and the DI8's: the bits they would share in red.
        window.findChild<QAction *>(QStringLiteral("action_19"))->trigger();
        if (QLineEdit *start = editor->lineEditOf(TarnBase::ParamDI)) {
            start->setText(QStringLiteral("20"));
            emit start->textEdited(start->text());
        }
        settle(400);
        saveScreen(outDir, QStringLiteral("address-areas.png"));
        if (QDialog *areas = manager->openMemoryView())
            areas->close();
        editor->setCurrentIndex(SlaveInfoView::BasicTab);
        manager->showAdapterPage();
    }

    // The adapter's own settings, one of them changed and not yet written:
    // the adapter picked in the tree, as a user picks it.
    if (QTreeWidgetItem *adapterItem = window.projectView()->topLevelItem(0)) {
        window.projectView()->setCurrentItem(adapterItem);
        emit window.projectView()->itemPressed(adapterItem, 0);
    }
    if (auto *tabsOfPage = page->findChild<QTabWidget *>(QStringLiteral("adapterTabs"))) {
        tabsOfPage->setCurrentWidget(page->findChild<QWidget *>(QStringLiteral("adapterSettingsTab")));
        if (auto *mode = page->adapterSettings()->findChild<QComboBox *>(QStringLiteral("comboBox_4")))
            mode->setCurrentIndex(1);
        settle(300);
        save(&window, outDir, QStringLiteral("adapter-settings.png"));
        // "写入适配器" asks first, since the adapter restarts; answered "取消".
        page->adapterSettings()->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QMessageBox *question = nullptr;
        if (waitFor([&] { return (question = topLevel<QMessageBox>()) != nullptr; }, 5000)) {
            settle(200);
            save(question, outDir, QStringLiteral("adapter-settings-question.png"));
            question->reject();
        }
        page->adapterSettings()->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
        tabsOfPage->setCurrentIndex(0);
    }

    // The fault dialog of the DI32.
    if (const SlaveSnapshot di32 = slaveNamed(manager, "DA01B2C3D405")) {
        if (SlaveItemView *tile = page->slaveWindow()->tiles()->tileOf(di32->recordId)) {
            page->slaveWindow()->tiles()->ensureWidgetVisible(tile);
            tile->onShowFaultCode();
            settle(400);
            saveScreen(outDir, QStringLiteral("fault-dialog.png"));
            if (FaultView *faults = topLevel<FaultView>())
                faults->reject();
        }
    }

    // Force mode with outputs switched on.
    manager->setForceMode(true);
    waitFor([&] { return manager->isForceMode(); }, 10000);
    const SlaveSnapshot do16 = slaveNamed(manager, "DA01B2C3D402");
    if (do16) {
        for (int channel : {0, 5, 15})
            manager->adapter()->requestSlaveOutput(do16->recordId, channel, 1);
    }
    settle(800);
    save(&window, outDir, QStringLiteral("force-mode.png"));

    // The IO test window of the DO16 in a running-light test, its inputs
    // watched on the DI16 at station 1.
    if (do16) {
        manager->adapter()->requestSlaveOutputs(do16->recordId, QVector<int>(16, 0));
        if (SettingRegisterData *test = manager->openIoTest(do16->recordId)) {
            test->resize(620, 760);
            test->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(QStringLiteral("2"));
            test->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))->setText(QStringLiteral("1"));
            test->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
            settle(3300);
            saveScreen(outDir, QStringLiteral("io-test.png"));
            test->close();
        }
    }
    // The adapter refuses to leave force mode: force mode stays in sight,
    // and the user is told the outputs may still be forced.
    tbsim::FaultRule refuseLeaving;
    refuseLeaving.kind = tbsim::FaultKind::Refuse;
    refuseLeaving.code = 0x23;
    refuseLeaving.count = 1;
    demo.addFault(refuseLeaving);
    manager->setForceMode(false);
    settle(1200);
    saveScreen(outDir, QStringLiteral("force-leave-refused.png"));
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<MessageBox *>(widget); box && box->isVisible())
            box->reject();
    }
    manager->setForceMode(false);
    waitFor([&] { return !manager->isForceMode(); }, 10000);
    settle(300);

    saveConfigurationDialogs(window, outDir);
    saveCompareDialog(window, outDir);
    saveCheckoutDialog(window, outDir);
    saveDiagnostics(window, outDir);

    // An offline configuration from the catalogue.
    window.findChild<QAction *>(QStringLiteral("actionProductView"))->trigger();
    window.on_action_11_triggered();
    AdapterManage *offline = tabs->manager(tabs->managerCount() - 1);
    waitFor([&] { return offline->isLocalConfiguration(); }, 5000);
    int station = 1;
    for (const char *type : {"#00001102", "#00001202", "#00001401", "#00002101", "#00002201"})
        offline->onStaticCreaterSlave(station++, type);
    waitFor([&] { return offline->slaves().size() == 5; }, 5000);
    settle(300);
    if (CreateSlaveView *create = offline->openCreateSlave(QStringLiteral("#00001302"))) {
        settle(400);
        saveScreen(outDir, QStringLiteral("catalogue.png"));
        create->reject();
    }
    settle(200);
    return 0;
}
