#pragma once

// Drives the main window as a user would, against the virtual adapter, in
// a working folder of its own (the program reads ./Xml and ./SVG and writes
// ./setByte.ini there).

#include "AdapterManage.h"
#include "FastTiming.h"
#include "LinkTiming.h"
#include "Loading.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MessageWidget.h"
#include "ProjectView.h"
#include "SettingView.h"
#include "SlaveMainWindow.h"
#include "TabWidget.h"
#include "VirtualBus.h"
#include "WidgetTestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace apph {

const QString kDemoSerial = QStringLiteral("3C2E0A000001");
const QString kDemoName = QStringLiteral("TarnBUS USB Adapter(TBC-U100)");

using testing_support::fastTiming;

// A working folder with the description library and the pictures.
class WorkingFolder
{
public:
    WorkingFolder()
        : m_previous(QDir::currentPath())
    {
        const QString root = QDir::currentPath();
        QFile::link(root + QStringLiteral("/Xml"), m_dir.path() + QStringLiteral("/Xml"));
        QFile::link(root + QStringLiteral("/SVG"), m_dir.path() + QStringLiteral("/SVG"));
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
    chooser->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    const auto entry = [&]() -> QListWidgetItem * {
        const QList<QListWidgetItem *> found = chooser->list()->findItems(entryText, Qt::MatchExactly);
        return found.value(0);
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

// Opens the demonstration adapter through the chooser; its manager once
// it has loaded, else null.
inline AdapterManage *openDemo(MainWindow &window)
{
    if (!openThroughChooser(window, kDemoName))
        return nullptr;
    TabWidget *tabs = window.tabWidget();
    AdapterManage *manager = tabs->manager(tabs->managerCount() - 1);
    return manager && waitLoaded(manager) ? manager : nullptr;
}

// What the virtual bus saw against the protocol or hidapi's rules.
inline QStringList busViolations()
{
    QStringList out;
    for (const std::string &s : tbsim::bus().violations())
        out << QString::fromStdString(s);
    return out;
}

} // namespace apph
