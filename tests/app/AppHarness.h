#pragma once

// Drives the main window as a user would, against the virtual adapter, in
// a working folder of its own (the program finds ./Xml and ./SVG there) and
// with the user's folders of QStandardPaths' test mode (setByte.ini, the
// imported descriptions and pictures).

#include "AdapterManage.h"
#include "FastTiming.h"
#include "HidAccessSupport.h"
#include "LinkTiming.h"
#include "Loading.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MessageWidget.h"
#include "ProjectView.h"
#include "SettingView.h"
#include "SlaveMainWindow.h"
#include "TabWidget.h"
#include "TestFolders.h"
#include "VirtualBus.h"
#include "WidgetTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QAbstractButton>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace apph {

const QString kDemoSerial = QStringLiteral("3C2E0A000001");
const QString kDemoName = QStringLiteral("TarnBUS USB Adapter(TBC-U100)");

using testing_support::fastTiming;

// Copies a folder with everything below it.
inline bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// A working folder with the description library and the pictures: links
// to the repository's, or copies of them for a test that writes there.
class WorkingFolder
{
public:
    enum Library { Linked, Copied };

    explicit WorkingFolder(Library library = Linked)
        : m_previous(QDir::currentPath())
    {
        const QString root = QDir::currentPath();
        for (const QString &name : {QStringLiteral("Xml"), QStringLiteral("SVG")}) {
            const QString from = root + QLatin1Char('/') + name;
            const QString to = m_dir.path() + QLatin1Char('/') + name;
            if (library == Copied)
                copyFolder(from, to);
            else
                QFile::link(from, to);
        }
        QDir::setCurrent(m_dir.path());
    }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

// A bus file with the adapters' own waits shortened; empty on success.
inline QString loadBus(const QString &path, const QString &repositoryRoot)
{
    QFile file(repositoryRoot + QLatin1Char('/') + path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + path;
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    for (int i = 0; i < adapters.size(); ++i) {
        QJsonObject adapter = adapters.at(i).toObject();
        adapter.insert(QLatin1String("scanReads"), 0);
        adapter.insert(QLatin1String("restartMs"), 50);
        adapters[i] = adapter;
    }
    root.insert(QLatin1String("adapters"), adapters);
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().loadJson(QJsonDocument(root).toJson().toStdString()));
}

// What the virtual adapters saw that a real one would refuse.
inline QStringList busViolations()
{
    QStringList out;
    for (const std::string &s : tbsim::bus().violations())
        out << QString::fromStdString(s);
    return out;
}

// The same bus twice, the second adapter under another serial number.
inline QString loadTwoAdapters(const QString &repositoryRoot, const QString &secondSerial)
{
    QFile file(repositoryRoot + QStringLiteral("/sim/buses/demo.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the demonstration bus");
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    QJsonObject first = adapters.at(0).toObject();
    first.insert(QLatin1String("scanReads"), 0);
    first.insert(QLatin1String("restartMs"), 50);
    QJsonObject second = first;
    second.insert(QLatin1String("serial"), secondSerial);
    second.insert(QLatin1String("name"), QStringLiteral("TBC-U200"));
    root.insert(QLatin1String("adapters"), QJsonArray{first, second});
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().loadJson(QJsonDocument(root).toJson().toStdString()));
}

using widgettest::boxTexts;
using widgettest::visibleTopLevels;

inline void closeBoxes()
{
    for (MessageBox *box : visibleTopLevels<MessageBox>())
        box->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The visible dialog of type T, waiting for it to come.
template <typename T>
T *waitForTopLevel(int timeoutMs = 5000)
{
    T *found = nullptr;
    const bool came = QTest::qWaitFor([&] { return (found = visibleTopLevels<T>().value(0)) != nullptr; }, timeoutMs);
    return came ? found : nullptr;
}

// Answers the file dialog that comes next, as a user would: picks the files
// (several from one folder) or cancels when none are given. Returns
// "caption|filters" of the dialog, empty when none came.
inline QString answerFileDialog(const QStringList &files)
{
    QFileDialog *dialog = waitForTopLevel<QFileDialog>();
    if (!dialog)
        return QString();
    const QString seen = dialog->windowTitle() + QLatin1Char('|') + dialog->nameFilters().join(QLatin1Char(';'));
    if (files.isEmpty()) {
        dialog->reject();
    } else if (files.size() == 1) {
        dialog->selectFile(files.first());
        static_cast<QDialog *>(dialog)->accept(); // validates the choice as a click on "Open" does
    } else {
        dialog->setDirectory(QFileInfo(files.first()).absolutePath());
        QStringList names;
        for (const QString &file : files)
            names << QLatin1Char('"') + QFileInfo(file).fileName() + QLatin1Char('"');
        dialog->selectFile(names.join(QLatin1Char(' ')));
        static_cast<QDialog *>(dialog)->accept();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seen;
}

// Triggers an entry of an adapter's context menu in the project tree, as a
// click would; false when the menu has no such entry or it is disabled.
inline bool triggerAdapterMenu(ProjectView *tree, int index, const QString &text)
{
    QScopedPointer<QMenu> menu(tree->buildAdapterMenu(index));
    if (!menu)
        return false;
    QList<QAction *> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actions.at(i);
        if (action->menu())
            actions << action->menu()->actions();
        if (action->text() != text)
            continue;
        if (!action->isEnabled() || (action->menu() == nullptr && !action->parentWidget()->isEnabled()))
            return false;
        action->trigger();
        return true;
    }
    return false;
}

inline QStringList messageLines(const MessageWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->lineText(i);
    return out;
}

// Opens an adapter through the chooser: scan, pick the entry, add.
inline bool openThroughChooser(MainWindow &window, const QString &entryText)
{
    window.on_action_5_triggered();
    SettingView *chooser = visibleTopLevels<SettingView>().value(0);
    if (!chooser)
        return false;
    // The chooser scans as it opens.
    const auto entry = [&]() -> QListWidgetItem * {
        for (int row = 0; row < chooser->list()->count(); ++row) {
            QListWidgetItem *item = chooser->list()->item(row);
            if (item->data(AdapterScanList::kNameRole).toString() == entryText)
                return item;
        }
        return nullptr;
    };
    if (!QTest::qWaitFor([&] { return entry() != nullptr; }, 10000))
        return false;
    chooser->list()->setCurrentItem(entry());
    chooser->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
    return true;
}

inline bool waitLoaded(AdapterManage *manager, int timeoutMs = 15000)
{
    return QTest::qWaitFor([&] { return !manager->isLoading() && !manager->slaves().isEmpty(); }, timeoutMs);
}

// The main window at the tests' size, on screen.
inline MainWindow *newWindow()
{
    auto *window = new MainWindow;
    window->resize(1600, 900);
    window->show();
    return window;
}

// Opens the demonstration adapter through the chooser and waits until it
// has loaded; its manager, or null.
inline AdapterManage *openDemo(MainWindow &window)
{
    if (!openThroughChooser(window, kDemoName))
        return nullptr;
    TabWidget *tabs = window.tabWidget();
    AdapterManage *manager = tabs->manager(tabs->managerCount() - 1);
    return manager && waitLoaded(manager) ? manager : nullptr;
}

// Opens a new offline configuration ("手动组态"); its manager once it is
// ready, else null.
inline AdapterManage *openOffline(MainWindow &window)
{
    window.on_action_11_triggered();
    TabWidget *tabs = window.tabWidget();
    AdapterManage *manager = tabs->manager(tabs->managerCount() - 1);
    return QTest::qWaitFor([&] { return manager->isLocalConfiguration(); }, 5000) ? manager : nullptr;
}

// Answers the question on screen (a QMessageBox) with the button of this
// text.
inline bool answerQuestion(const QString &buttonText)
{
    QMessageBox *box = waitForTopLevel<QMessageBox>();
    if (!box)
        return false;
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == buttonText) {
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

// The snapshot of the module with this UID, or null.
inline SlaveSnapshot findSnapshotByUid(const SlaveList &slaves, const char *uid)
{
    for (const SlaveSnapshot &slave : slaves) {
        if (slave->uuid == uid)
            return slave;
    }
    return nullptr;
}

// "title|text|buttons" of every question on screen.
inline QStringList questionTexts()
{
    QStringList out;
    for (QMessageBox *box : visibleTopLevels<QMessageBox>()) {
        QStringList buttons;
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        out << box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') + buttons.join(QLatin1Char('/'));
    }
    return out;
}

// Closes every dialog a test left open (notices, questions, summaries, ...).
inline void closeDialogs()
{
    closeBoxes();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible() && !qobject_cast<Loading *>(dialog))
            dialog->reject();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The visible texts of a window, with where they are, that are written in
// Chinese characters: after a switch to English, none is left.
inline QStringList chineseTexts(QWidget *window)
{
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    QStringList found;
    const auto check = [&](const QWidget *w, const QString &text) {
        if (text.contains(chinese) && text != QStringLiteral("语言 / Language"))
            found << QStringLiteral("%1 %2: %3").arg(QLatin1String(w->metaObject()->className()), w->objectName(), text);
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        if (auto *label = qobject_cast<QLabel *>(w))
            check(label, label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            check(button, button->text());
        else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs, tabs->tabText(i));
        } else if (auto *header = qobject_cast<QHeaderView *>(w)) {
            for (int i = 0; header->model() && i < header->count(); ++i)
                check(header, header->model()->headerData(i, header->orientation()).toString());
        } else if (auto *tree = qobject_cast<QTreeWidget *>(w)) {
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                check(tree, (*it)->text(0));
        }
    }
    return found;
}


// The frame of a window test: the adapters' waits shortened, the
// demonstration bus loaded afresh for every test, and after each test every
// dialog closed and nothing done that a real adapter would refuse.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    QString m_root; // the repository: the tests start there

private slots:
    void initTestCase()
    {
        m_root = QDir::currentPath();
        testing_support::useTestFolders();
        tarnbus::setLinkTiming(fastTiming());
    }

    void init()
    {
        testing_support::clearTestFolders();
        HidAccess::setSystem(testing_support::noDeviceNodes());
        QCOMPARE(loadBus(QStringLiteral("sim/buses/demo.json"), m_root), QString());
    }

    void cleanup()
    {
        closeDialogs();
        const QStringList violations = busViolations();
        QVERIFY2(violations.isEmpty(), qPrintable(violations.join(QLatin1Char('\n'))));
        tbsim::bus().reset();
    }
};

} // namespace apph
