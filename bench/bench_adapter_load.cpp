// Loading a full bus: an Adapter in its own thread connects to the virtual
// adapter of sim/buses/full128.json (128 modules) at the real timing.
// Prints the load time from the connect request to the finished list, the
// number of transactions it took, the ratio of the load time to the fixed
// delays those transactions must spend (goal: at most 1.02), and the heap
// the 128 slave records occupy. Run from the repository root; takes about
// half a minute.

#include "Adapter.h"
#include "AdapterTypes.h"
#include "DeviceXmlLodaing.h"
#include "LinkTiming.h"
#include "Slave.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <malloc.h>

#include <atomic>

namespace {

const char *kBusFile = "sim/buses/full128.json";
const QString kSerial = QStringLiteral("3C2E0A000128");
constexpr int kLoadLimitMs = 120000; // a load that takes longer has hung

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    QTextStream out(stdout);

    tbsim::bus().reset();
    const std::string error = tbsim::bus().loadFile(kBusFile);
    if (!error.empty()) {
        out << "cannot load " << kBusFile << ": " << QString::fromStdString(error) << Qt::endl;
        return 1;
    }
    DeviceXmlLodaing::instance()->onLoadXmlFile();
    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();

    // As the manager runs it: in a thread of its own, driven by its signals.
    Adapter::registerMetaTypes();
    QThread worker;
    auto *adapter = new Adapter;
    adapter->moveToThread(&worker);
    worker.start();
    // Keep the first poll out of the measurement of the records' heap.
    adapter->setManagerOperation(true);

    QElapsedTimer clock;
    std::atomic<qint64> loadedNs{-1};
    std::atomic<int> slaveCount{0};
    QEventLoop loop;
    QObject::connect(
        adapter, &Adapter::sigSlaveLoadingFinished, adapter,
        [&](adapter_message_type type, AdapterStatus status) {
            if (type != MSG_LOAD_FINISHED)
                return;
            loadedNs = clock.nsecsElapsed();
            slaveCount = status.slaveCount;
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    QTimer::singleShot(kLoadLimitMs, &loop, &QEventLoop::quit);

    tbsim::VirtualAdapter sim = tbsim::bus().adapter(kSerial.toStdString());
    sim.clearTraffic();
    const size_t heapBefore = heapInUse();
    clock.start();
    emit adapter->sigSetSerialPort(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
    loop.exec();
    // Let the worker finish the connect request before the heap is read.
    QMetaObject::invokeMethod(adapter, [] {}, Qt::BlockingQueuedConnection);
    const size_t heapLoaded = heapInUse();

    if (loadedNs < 0) {
        out << "the load did not finish within " << kLoadLimitMs << " ms" << Qt::endl;
        adapter->requestShutdown();
        emit adapter->sigClean();
        worker.wait();
        return 1;
    }

    // The records' own share: what releasing them gives back.
    QMetaObject::invokeMethod(adapter, [adapter] { adapter->clearSlave(); }, Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(adapter, [] {}, Qt::BlockingQueuedConnection); // their deferred deletions
    const size_t heapReleased = heapInUse();

    const int transactions = int(sim.traffic().size());
    const double loadMs = double(loadedNs) / 1e6;
    const double delaysMs = double(transactions) * timing.transactionDelayMs();
    const int slaves = slaveCount;
    const double growthKiB = (double(heapLoaded) - double(heapBefore)) / 1024.0;
    const double recordsBytes = double(heapLoaded) - double(heapReleased);

    out << "slaves loaded:       " << slaves << Qt::endl
        << "load time:           " << QString::number(loadMs, 'f', 1) << " ms" << Qt::endl
        << "transactions:        " << transactions << Qt::endl
        << "fixed delays:        " << QString::number(delaysMs, 'f', 1) << " ms (" << timing.transactionDelayMs()
        << " ms each)" << Qt::endl
        << "ratio:               " << QString::number(loadMs / delaysMs, 'f', 4) << " (goal: at most 1.02)" << Qt::endl
        << "heap growth of load: " << QString::number(growthKiB, 'f', 1) << " KiB" << Qt::endl
        << "slave records:       " << QString::number(recordsBytes / 1024.0, 'f', 1) << " KiB, "
        << QString::number(slaves > 0 ? recordsBytes / slaves : 0.0, 'f', 0) << " bytes per slave" << Qt::endl;

    adapter->requestShutdown();
    emit adapter->sigClean();
    worker.wait();
    return slaves == 128 ? 0 : 1;
}
