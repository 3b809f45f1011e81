// How long the window's thread is kept from serving its events while
// adapters work. The main window (offscreen) opens the 128-module virtual
// bus at the real timing and loads it, lets it poll for 15 s, runs force
// mode with process data for 15 s and downloads an offline configuration of
// the whole bus; a 1 ms heartbeat timer in the window's thread records the
// longest gap of each phase. Goals: at most 20 ms while polling, forcing and
// downloading, 50 ms while loading (which includes one rebuild of every
// view). Then four such adapters are opened in four tabs (with short waits)
// and the resident memory is measured: goal at most 120 MB (with the heap
// in use, and the resident size after giving the free heap back).
// Run from the repository root with QT_QPA_PLATFORM=offscreen; takes about
// three minutes (`--memory`: only the memory, in seconds; `--slow-events`:
// also name every event of the window's thread that takes 5 ms or more).

#include "Adapter.h"
#include "AdapterManage.h"
#include "BenchSupport.h"
#include "HeapTrimmer.h"
#include "LinkTiming.h"
#include "MainWindow.h"
#include "TabWidget.h"
#include "VirtualBus.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTextStream>
#include <QTimer>

#include <functional>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

bool runUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void runFor(int ms)
{
    runUntil([] { return false; }, ms);
}

QString loadAdapters(const QString &root, int count)
{
    QFile file(root + QStringLiteral("/sim/buses/full128.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read full128.json");
    QJsonObject bus = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject first = bus.value(QLatin1String("adapters")).toArray().at(0).toObject();
    QJsonArray adapters;
    for (int i = 0; i < count; ++i) {
        QJsonObject adapter = first;
        adapter.insert(QLatin1String("serial"), QStringLiteral("3C2E0A0001%1").arg(28 + i, 2, 10, QLatin1Char('0')));
        adapter.insert(QLatin1String("scanReads"), 0);
        adapters.append(adapter);
    }
    bus.insert(QLatin1String("adapters"), adapters);
    tbsim::bus().reset();
    return QString::fromStdString(tbsim::bus().loadJson(QJsonDocument(bus).toJson().toStdString()));
}

void report(const char *phase, double ms, double goal)
{
    out() << QStringLiteral("%1 longest gap %2 ms (goal <= %3 ms) %4")
                 .arg(QLatin1String(phase), -10)
                 .arg(ms, 7, 'f', 1)
                 .arg(goal)
                 .arg(ms <= goal ? QStringLiteral("met") : QStringLiteral("MISSED"))
          << Qt::endl;
}

// With --slow-events: names each event that keeps the window's thread
// 5 ms or more, with its receiver, to find the cause of a long gap (an
// event inside another is named before it).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool reportSlow = false;
    QElapsedTimer clock; // started with the program: when each slow event ended

    // Where a phase begins or ends, among the slow events.
    void mark(const char *what) const
    {
        if (reportSlow)
            out() << QStringLiteral("%1 at %2 s").arg(QLatin1String(what)).arg(clock.elapsed() / 1000.0, 0, 'f', 3) << Qt::endl;
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!reportSlow || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        const int type = event->type();
        QElapsedTimer timer;
        timer.start();
        const bool result = QApplication::notify(receiver, event);
        const qint64 ns = timer.nsecsElapsed();
        if (ns >= 5000000) {
            out() << QStringLiteral("  slow event at %1 s: %2 ms, type %3, receiver %4 \"%5\"")
                         .arg(clock.elapsed() / 1000.0, 0, 'f', 3)
                         .arg(ns / 1e6, 0, 'f', 1)
                         .arg(type)
                         .arg(QString::fromLatin1(receiver->metaObject()->className()), receiver->objectName())
                  << Qt::endl;
        }
        return result;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    // The checkout's descriptions, pictures and settings: what the user
    // imported or chose stays out (QStandardPaths' test mode).
    QStandardPaths::setTestModeEnabled(true);
    app.reportSlow = app.arguments().contains(QStringLiteral("--slow-events"));
    app.clock.start();
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false\nqt.svg.warning=false"));
    const QString root = QDir::currentPath();
    QTemporaryDir work;
    QFile::link(root + QStringLiteral("/Xml"), work.path() + QStringLiteral("/Xml"));
    QFile::link(root + QStringLiteral("/SVG"), work.path() + QStringLiteral("/SVG"));
    if (const QString error = loadAdapters(root, 1); !error.isEmpty()) {
        out() << error << Qt::endl;
        return 1;
    }
    QDir::setCurrent(work.path());

    // --memory: only the four tabs' memory, without the minutes at the real timing.
    const bool memoryOnly = app.arguments().contains(QStringLiteral("--memory"));
    int failures = 0;
    if (!memoryOnly) {
        MainWindow window;
        window.resize(1920, 1080);
        window.show();
        TabWidget *tabs = window.tabWidget();
        bench::Heartbeat beat;
        runFor(200);

        beat.reset();
        tabs->onCreateAdapterSlaveView(QStringLiteral("3C2E0A000128"), 0x2E3C, 0xAF01, QStringLiteral("bench"));
        AdapterManage *live = tabs->manager(0);
        QElapsedTimer clock;
        clock.start();
        if (!runUntil([&] { return !live->isLoading() && live->slaves().size() == 128; }, 120000)) {
            out() << "the bus did not load" << Qt::endl;
            return 1;
        }
        out() << "loaded 128 modules in " << clock.elapsed() << " ms" << Qt::endl;
        const double loading = beat.longestMs();

        beat.reset();
        runFor(15000);
        const double polling = beat.longestMs();

        live->setForceMode(true);
        runUntil([&] { return live->isForceMode(); }, 10000);
        app.mark("forcing");
        beat.reset();
        runFor(15000);
        const double forcing = beat.longestMs();
        live->setForceMode(false);
        runUntil([&] { return !live->isForceMode(); }, 10000);

        // The offline configuration of the whole bus, downloaded to it:
        // the live bus's lines become the offline configuration, the live
        // tab closes (one device, one owner) and the download runs.
        window.on_action_11_triggered();
        AdapterManage *offline = tabs->manager(1);
        runUntil([&] { return offline->isLocalConfiguration(); }, 5000);
        QStringList lines;
        QObject::connect(live->adapter(), &Adapter::sigCsvLines, &app,
                         [&](const QStringList &produced, bool) { lines = produced; });
        live->adapter()->requestCsvLines(true);
        runUntil([&] { return !lines.isEmpty(); }, 10000);
        bool imported = false;
        QObject::connect(offline->adapter(), &Adapter::sigCsvImported, &app, [&] { imported = true; });
        offline->adapter()->requestCsvImport(lines, true);
        runUntil([&] { return imported && offline->slaves().size() == 128; }, 10000);
        tabs->closeAdapterAt(0);
        bool finished = false;
        QObject::connect(offline->adapter(), &Adapter::sigErrMessage, &app,
                         [&](adapter_message_type type, char err) { finished |= type == MSG_BATCH_CONFIG && (err == 2 || err == 4); });
        app.mark("downloading");
        beat.reset();
        clock.restart();
        offline->onSynAdapterConfig(0x2E3C, 0xAF01, QStringLiteral("3C2E0A000128"));
        if (!runUntil([&] { return finished; }, 300000)) {
            out() << "the offline download did not finish" << Qt::endl;
            return 1;
        }
        const double downloading = beat.longestMs();
        app.mark("download finished");
        out() << "offline download of " << lines.size() << " modules in " << clock.elapsed() << " ms" << Qt::endl;

        report("loading", loading, 50);
        report("polling", polling, 20);
        report("force", forcing, 20);
        report("download", downloading, 20);
        failures += loading > 50 || polling > 20 || forcing > 20 || downloading > 20;
        tabs->closeAll();
    }

    // Four tabs of 128 modules each, with short waits: the memory they hold.
    {
        tarnbus::LinkTiming fast;
        fast.beforeRequestMs = fast.betweenRequestReportsMs = fast.beforeReplyMs = fast.betweenReplyReportsMs = 0;
        tarnbus::setLinkTiming(fast);
        QDir::setCurrent(root);
        if (const QString error = loadAdapters(root, 4); !error.isEmpty()) {
            out() << error << Qt::endl;
            return 1;
        }
        QDir::setCurrent(work.path());
        MainWindow window;
        window.resize(1920, 1080);
        window.show();
        TabWidget *tabs = window.tabWidget();
        for (int i = 0; i < 4; ++i) {
            tabs->onCreateAdapterSlaveView(QStringLiteral("3C2E0A0001%1").arg(28 + i, 2, 10, QLatin1Char('0')), 0x2E3C,
                                           0xAF01, QStringLiteral("bench %1").arg(i));
        }
        runUntil([&] {
            for (int i = 0; i < tabs->managerCount(); ++i) {
                if (tabs->manager(i)->isLoading() || tabs->manager(i)->slaves().size() != 128)
                    return false;
            }
            return true;
        }, 120000);
        runFor(3000); // polling
        const long kib = bench::residentKiB();
        const long long heap = heapuse::bytesInUse();
        out() << QStringLiteral("heap in use %1 MB, after a trim %2 MB resident")
                     .arg(heap / 1048576.0, 0, 'f', 1)
                     .arg((HeapTrimmer::trimNow(), bench::residentKiB()) / 1024.0, 0, 'f', 1)
              << Qt::endl;
        out() << QStringLiteral("4 tabs of 128 modules: %1 MB resident (goal <= 120 MB) %2")
                     .arg(kib / 1024.0, 0, 'f', 1)
                     .arg(kib / 1024.0 <= 120 ? QStringLiteral("met") : QStringLiteral("MISSED"))
              << Qt::endl;
        failures += kib / 1024.0 > 120;
        tabs->closeAll();
    }
    return failures ? 1 : 0;
}
