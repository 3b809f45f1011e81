// Takes the screenshots of the README and docs/screenshots: starts the main
// window on the virtual adapter with the demonstration bus, opens the
// adapter through the chooser as a user would, and saves what it shows at
// each step. Run it through tools/screenshots.sh (Xvfb, CJK fonts).

#include "Adapter.h"
#include "AdapterManage.h"
#include "AutoConfigView.h"
#include "LocalConfigView.h"
#include "Loading.h"
#include "LoopTimeView.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ProjectView.h"
#include "SettingView.h"
#include "TabWidget.h"
#include "UnAllocation.h"
#include "VirtualBus.h"
#include "XMLConfig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    const QString busFile = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sim/buses/demo.json");
    QDir().mkpath(outDir);
    const std::string loadError = tbsim::bus().loadFile(busFile.toStdString());
    if (!loadError.empty()) {
        err() << "bus file: " << QString::fromStdString(loadError) << Qt::endl;
        return 2;
    }

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

    // Force mode with one output switched on.
    AdapterManage *manager = tabs->manager(0);
    manager->setForceMode(true);
    waitFor([&] { return manager->isForceMode(); }, 10000);
    for (const SlaveSnapshot &slave : manager->slaves()) {
        if (slave->typeName == QLatin1String("TB-DO16-T")) {
            for (int channel : {0, 5, 15})
                manager->adapter()->requestSlaveOutput(slave->recordId, channel, 1);
        }
    }
    settle(800);
    save(&window, outDir, QStringLiteral("force-mode.png"));
    manager->setForceMode(false);
    waitFor([&] { return !manager->isForceMode(); }, 10000);
    settle(300);

    saveConfigurationDialogs(window, outDir);
    return 0;
}
