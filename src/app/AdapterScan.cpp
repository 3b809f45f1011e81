#include "AdapterScan.h"

#include "AdapterProbe.h"
#include "HidAccess.h"
#include "StartupTrace.h"
#include "UsbGlobal.h"

#include <QCoreApplication>
#include <QSet>
#include <QThread>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int> g_running{0};
std::mutex g_threadsLock;
QSet<QThread *> g_threads;

// tr() of the context "SettingView", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(SettingView)
};

class ScanWorker : public QObject
{
    Q_OBJECT
public:
    explicit ScanWorker(QMap<QString, QString> open)
        : m_open(std::move(open))
    {
    }

public slots:
    void run()
    {
        const AdapterScanResult result = AdapterScan::scan(m_open);
        --g_running; // the devices are closed again: another scan may start
        emit sigFinished(result);
    }

signals:
    void sigFinished(AdapterScanResult result);

private:
    QMap<QString, QString> m_open;
};

} // namespace

AdapterScanResult AdapterScan::scan(const QMap<QString, QString> &open)
{
    AdapterScanResult result;
    const QList<UsbDeviceInfo> devices = UsbGlobal::enumerateDevices();
    result.noDevice = devices.isEmpty();
    QSet<QString> listed;
    QStringList silent; // the texts of devices that could not be asked
    for (const UsbDeviceInfo &info : devices) {
        const auto entry = [&](const QString &text, bool held = false) {
            result.entries.append({text, info.vendor_id, info.product_id, info.serial_number, held});
            listed.insert(info.serial_number);
        };
        if (open.contains(info.serial_number)) {
            entry(open.value(info.serial_number), true);
            continue;
        }
        const AdapterProbe probe = probeAdapter(info);
        if (probe.outcome == AdapterProbe::NotAnAdapter) {
            result.errors << Texts::tr("通信异常，请检测设备类型。");
            continue;
        }
        if (listed.contains(info.serial_number))
            continue;
        if (probe.outcome == AdapterProbe::Silent) {
            silent << Texts::tr("通信异常，请检查设备类型。");
            result.errors << silent.last();
            continue;
        }
        entry(info.product + QLatin1Char('(') + probe.identity().name + QLatin1Char(')'));
    }
    if (result.noDevice || !silent.isEmpty())
        result.deniedNodes = HidAccess::deniedNodes();
    if (!result.deniedNodes.isEmpty()) {
        for (const QString &text : silent)
            result.errors.removeOne(text);
    }
    return result;
}

void AdapterScan::start(const QMap<QString, QString> &open, QObject *receiver,
                        std::function<void(const AdapterScanResult &)> done)
{
    qRegisterMetaType<AdapterScanResult>("AdapterScanResult");
    auto *thread = new QThread;
    auto *worker = new ScanWorker(open);
    worker->moveToThread(thread);
    ++g_running;
    {
        std::lock_guard<std::mutex> lock(g_threadsLock);
        g_threads.insert(thread);
    }
    QObject::connect(thread, &QThread::started, worker, &ScanWorker::run);
    QObject::connect(worker, &ScanWorker::sigFinished, receiver, [done](const AdapterScanResult &r) {
        done(r);
        StartupTrace::mark("scan done");
    });
    QObject::connect(worker, &ScanWorker::sigFinished, thread, &QThread::quit);
    QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    QObject::connect(thread, &QThread::finished, thread, [thread] {
        {
            std::lock_guard<std::mutex> lock(g_threadsLock);
            g_threads.remove(thread);
        }
        thread->deleteLater();
    });
    thread->start();
}

bool AdapterScan::isRunning()
{
    return g_running.load() > 0;
}

void AdapterScan::waitForAll()
{
    QList<QThread *> threads;
    {
        std::lock_guard<std::mutex> lock(g_threadsLock);
        threads = g_threads.values();
    }
    for (QThread *thread : threads)
        thread->wait();
}

#include "AdapterScan.moc"
