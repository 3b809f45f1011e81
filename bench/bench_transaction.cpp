// Cost of one link transaction against the virtual adapter at the real
// timing: 100 transactions, compared with 100 x the mandated 230 ms of
// fixed delays. The virtual adapter answers at once, so everything above
// the delays is the tool's own overhead.

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    QTextStream out(stdout);
    constexpr int kTransactions = 100;

    tbsim::AdapterConfig config;
    config.scanReads = 0;
    tbsim::bus().reset();
    const std::string error = tbsim::bus().addAdapter(config);
    if (!error.empty()) {
        out << "cannot set up the virtual adapter: " << QString::fromStdString(error) << Qt::endl;
        return 1;
    }

    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();
    UsbDevice device;
    device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, QString::fromStdString(config.serial));
    QByteArray reply;
    device.transact(TBProtocol::handshake(), reply, timing.replyTimeoutMs); // warm up

    QElapsedTimer clock;
    clock.start();
    int failures = 0;
    for (int i = 0; i < kTransactions; ++i) {
        reply.clear();
        if (device.transact(TBProtocol::readBusStatus(), reply, timing.replyTimeoutMs) != COMM_OK)
            ++failures;
    }
    const qint64 elapsedNs = clock.nsecsElapsed();
    device.closeDevice();

    const double mandatedMs = double(kTransactions) * timing.transactionDelayMs();
    const double elapsedMs = double(elapsedNs) / 1e6;
    out << "transactions:        " << kTransactions << " (" << failures << " failed)" << Qt::endl
        << "elapsed:             " << QString::number(elapsedMs, 'f', 1) << " ms" << Qt::endl
        << "mandated delays:     " << QString::number(mandatedMs, 'f', 1) << " ms (" << timing.transactionDelayMs()
        << " ms each)" << Qt::endl
        << "per transaction:     " << QString::number(elapsedMs / kTransactions, 'f', 3) << " ms" << Qt::endl
        << "ratio:               " << QString::number(elapsedMs / mandatedMs, 'f', 4) << " (goal: at most 1.02)" << Qt::endl;
    return failures == 0 ? 0 : 1;
}
