#pragma once

// Drives the main window through what a working shift asks of it, on the
// 128-module bus of the virtual adapter: polling, force mode with outputs
// changing every process-data cycle, the IO test's running light, an unplug
// and replug. Shared by the shortened soak test and bench/soak.
//
// The DI8 at station 127 counts the adapter's process-data exchanges on its
// inputs, so that every cycle the window is told of can be told from the one
// before: a cycle lost shows as a gap, a cycle told twice as a repeat. The
// window's cycles are also counted against the virtual adapter's own count
// of the exchanges it received. Every wait has a limit and reports failure
// instead of hanging.

#include "Adapter.h"
#include "AdapterManage.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SettingRegisterData.h"
#include "TabWidget.h"
#include "VirtualBus.h"
#include "Loading.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <functional>

namespace soak {

const QString kSerial = QStringLiteral("3C2E0A000128");
constexpr int kCountingStation = 127;   // its DI8 shows the exchange count, modulo 256
constexpr int kLightStation = 2;        // the running light's DO8, wired to the DI8 at station 1
constexpr int kLightInputStation = 1;
constexpr int kWaitLimitMs = 60000;     // a limit for a hung window, not a measurement
constexpr int kProcessDataCommand = 0x49;
constexpr int kProcessDataParam = 0xFE;

// The full 128-module bus with the counting DI8, its adapter's own waits
// short; empty when it loaded, else why not.
inline QString countingBusJson(const QString &repositoryRoot, QByteArray *json)
{
    QFile file(repositoryRoot + QStringLiteral("/sim/buses/full128.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read sim/buses/full128.json");
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    QJsonObject adapter = adapters.at(0).toObject();
    adapter.insert(QLatin1String("scanReads"), 0);
    adapter.insert(QLatin1String("restartMs"), 50);
    QJsonArray modules = adapter.value(QLatin1String("modules")).toArray();
    for (int i = 0; i < modules.size(); ++i) {
        QJsonObject module = modules.at(i).toObject();
        if (module.value(QLatin1String("station")).toInt() == kCountingStation) {
            module.insert(QLatin1String("inputs"), QJsonObject{{QStringLiteral("source"), QStringLiteral("count")}});
            modules[i] = module;
        }
    }
    adapter.insert(QLatin1String("modules"), modules);
    adapters[0] = adapter;
    root.insert(QLatin1String("adapters"), adapters);
    *json = QJsonDocument(root).toJson();
    return QString();
}

inline QString loadCountingBus(const QString &repositoryRoot)
{
    QByteArray json;
    if (QString error = countingBusJson(repositoryRoot, &json); !error.isEmpty())
        return error;
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().loadJson(json.toStdString()));
}

// The value a DI8's snapshot shows, channel 0 the lowest bit; -1 without inputs.
inline int inputByte(const SlaveState &slave)
{
    const ItemGroupState *inputs = slave.group(Slave::kRxPdo);
    if (!inputs || inputs->items.isEmpty())
        return -1;
    int value = 0;
    for (int i = 0; i < inputs->items.size() && i < 8; ++i)
        value |= (inputs->items.at(i).value.toInt() != 0) << i;
    return value;
}

class WindowSoak : public QObject
{
public:
    explicit WindowSoak(MainWindow &window)
        : m_window(window)
        , m_sim(tbsim::bus().adapter(kSerial.toStdString()))
    {
    }

    QString error() const { return m_error; }
    AdapterManage *manager() const { return m_manager; }

    // What the window was told of, and what the adapter received.
    int cycles() const { return m_cycles; }         // cycles the window was told of
    int lost() const { return m_lost; }             // counts skipped between two of them
    int repeated() const { return m_repeated; }     // counts told again
    int failed() const { return m_failed; }         // cycles reported failed
    int leaves() const { return m_leaves; }         // force mode left: one exchange of zero outputs each
    int cutOff() const { return m_cutOff; }         // exchanges whose reply the unplug cut off
    int exchanges() const { return m_sim.requestCount(kProcessDataCommand, kProcessDataParam); }
    // Every exchange the adapter received was a cycle the window was told
    // of once, a cycle reported failed, the one that left force mode, or one
    // whose reply an unplug cut off (at most one per unplug). Meaningful
    // outside force mode, once the window has caught up.
    bool cyclesAccountedFor() const
    {
        return m_lost == 0 && m_repeated == 0 && exchanges() == m_cycles + m_failed + m_leaves + m_cutOff;
    }

    // Opens the adapter's tab and waits for its 128 modules.
    bool open()
    {
        TabWidget *tabs = m_window.tabWidget();
        tabs->onCreateAdapterSlaveView(kSerial, 0x2E3C, 0xAF01, QStringLiteral("soak"));
        m_manager = tabs->manager(tabs->managerCount() - 1);
        if (!m_manager || !waitFor([&] { return loaded(); }, "the bus did not load"))
            return false;
        // A failed cycle is reported as a failed exchange, then as a cycle.
        connect(m_manager->adapter(), &Adapter::sigErrMessage, this,
                [this](adapter_message_type type, char, int, COMM_STATUS_TYPE, SlaveList, SlaveList) {
                    m_failing |= type == MSG_TRANSACTION_FAILED && m_manager->isForceMode();
                });
        connect(m_manager->adapter(), &Adapter::sigSlaveLoadingFinished, this,
                [this](adapter_message_type type, AdapterStatus status, SlaveList slaves, int) {
                    if (type == MSG_STATUS && status.fource)
                        onCycle(slaves);
                });
        return true;
    }

    // Lets the adapter poll its bus this many times.
    bool poll(int polls)
    {
        const int first = m_sim.requestCount(0x25, 0x00, 0x80);
        return waitFor([&] { return m_sim.requestCount(0x25, 0x00, 0x80) >= first + polls; }, "the adapter stopped polling");
    }

    bool enterForceMode()
    {
        m_previous = -1;
        m_manager->setForceMode(true);
        return waitFor([&] { return m_manager->isForceMode(); }, "force mode did not begin");
    }

    // Leaves force mode and waits until the window has every cycle.
    bool leaveForceMode()
    {
        m_manager->setForceMode(false);
        if (!waitFor([&] { return !m_manager->isForceMode(); }, "force mode did not end"))
            return false;
        ++m_leaves;
        return settle();
    }

    // Force mode: this many cycles, an output of another DO8 changed with each.
    bool force(int cycles)
    {
        m_changeOutputs = true;
        const bool done = waitCycles(cycles, "the process-data cycles stopped");
        m_changeOutputs = false;
        return done;
    }

    // The running light of the IO test window, one step every second cycle
    // (the 500 ms of its shortest step to the 330 ms of a cycle), watching
    // the DI8 its DO8 is wired to; the window closes at the end.
    bool runningLight(int cycles)
    {
        const SlaveSnapshot light = byStation(kLightStation);
        QPointer<SettingRegisterData> panel = light ? m_manager->openIoTest(light->recordId) : nullptr;
        if (!panel)
            return fail("the IO test window did not open");
        panel->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("500"));
        panel->findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(QStringLiteral("1000000"));
        panel->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"))->setText(QString::number(kLightInputStation));
        QPushButton *button = panel->findChild<QPushButton *>(QStringLiteral("pushButton"));
        button->click();
        if (!panel->isRunning())
            return fail("the running light did not start");
        m_light = panel;
        const bool done = waitCycles(cycles, "the process-data cycles stopped during the running light");
        m_light = nullptr;
        if (panel && panel->isRunning())
            button->click();
        if (panel)
            panel->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return done && (panel.isNull() || fail("the IO test window stayed"));
    }

    // The adapter unplugged in force mode and plugged in again: the link is
    // lost and force mode stays shown (the adapter may still force); once it
    // is back, force mode is left first (one exchange of zero outputs), the
    // bus is loaded again and force mode entered anew.
    bool unplugAndReplug()
    {
        m_sim.unplug();
        if (!waitFor([&] { return !m_manager->adapterState().linked && m_manager->isForceMode(); }, "the lost link was not noticed"))
            return false;
        settle();
        const int cut = exchanges() - (m_cycles + m_failed + m_leaves + m_cutOff);
        if (cut < 0 || cut > 1)
            return fail("the exchanges before the unplug do not add up");
        m_cutOff += cut;
        m_sim.replug();
        if (!waitFor([&] { return loaded() && !m_window.loading()->isVisible() && !m_manager->isForceMode(); },
                     "the bus did not come back"))
            return false;
        ++m_leaves;
        closeNotices();
        return settle() && enterForceMode();
    }

    // Until the window has handled everything it was sent.
    bool settle()
    {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeNotices();
        return true;
    }

    bool waitFor(const std::function<bool()> &done, const char *why, int limitMs = kWaitLimitMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > limitMs)
                return fail(why);
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

private:
    bool fail(const char *why)
    {
        if (m_error.isEmpty())
            m_error = QString::fromLatin1(why);
        return false;
    }

    bool loaded() const
    {
        return !m_manager->isLoading() && m_manager->adapterState().linked && m_manager->slaves().size() == 128;
    }

    SlaveSnapshot byStation(int station) const
    {
        for (const SlaveSnapshot &slave : m_manager->slaves()) {
            if (slave->stationId == station)
                return slave;
        }
        return nullptr;
    }

    // However long the cycles take, as long as they keep coming.
    bool waitCycles(int cycles, const char *why)
    {
        const int target = m_cycles + cycles;
        QElapsedTimer sinceLast;
        sinceLast.start();
        int seen = m_cycles;
        while (m_cycles < target) {
            if (m_cycles != seen) {
                seen = m_cycles;
                sinceLast.restart();
            } else if (sinceLast.elapsed() > kWaitLimitMs) {
                return fail(why);
            }
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    static void closeNotices()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<MessageBox *>(w); box && box->isVisible())
                box->reject();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void onCycle(const SlaveList &slaves)
    {
        if (m_failing) {
            m_failing = false;
            ++m_failed;
            return;
        }
        ++m_cycles;
        for (const SlaveSnapshot &slave : slaves) {
            if (slave->stationId != kCountingStation)
                continue;
            const int count = inputByte(*slave);
            if (m_previous >= 0) {
                const int step = (count - m_previous + 256) % 256;
                if (step == 0)
                    ++m_repeated;
                else
                    m_lost += step - 1;
            }
            m_previous = count;
        }
        if (m_changeOutputs)
            changeAnOutput();
        if (m_light && m_cycles % 2 == 0)
            m_light->onLoopSendData();
    }

    // One output of the DO8s at stations 4 to 128 changes with every cycle:
    // the next module each time, its channels switched on one by one and
    // then off again.
    void changeAnOutput()
    {
        constexpr int kModules = 63;
        const int n = m_outputChanges++;
        const SlaveSnapshot slave = byStation(4 + 2 * (n % kModules));
        if (slave)
            m_manager->adapter()->requestSlaveOutput(slave->recordId, (n / kModules) % 8, (n / (kModules * 8)) % 2 ? 0 : 1);
    }

    MainWindow &m_window;
    tbsim::VirtualAdapter m_sim;
    AdapterManage *m_manager = nullptr;
    QPointer<SettingRegisterData> m_light;
    QString m_error;
    bool m_changeOutputs = false;
    int m_outputChanges = 0;
    int m_cycles = 0;
    int m_lost = 0;
    int m_repeated = 0;
    int m_failed = 0;
    int m_leaves = 0;
    int m_cutOff = 0;
    bool m_failing = false;
    int m_previous = -1;
};

} // namespace soak
