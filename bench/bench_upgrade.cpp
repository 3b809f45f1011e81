// Upgrading adapters at the real protocol timing against the virtual
// adapter: a 256 KiB upgrade file to one adapter, compared with the
// protocol's floor (two exchanges of 50 ms per block, the seven other
// exchanges and the 5 s restart wait, within which the adapter is back to
// have its version read), then the same file to four adapters at once,
// compared with the one. The virtual adapter answers at once, so
// everything above the floor is the tool's own overhead.

#include "BootLoaderControl.h"
#include "UpdateManege.h"
#include "UpgradeFile.h"
#include "UpgradeFiles.h"
#include "LinkTiming.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTextStream>
#include <QThread>

namespace {

constexpr int kFileSize = 256 * 1024;
constexpr int kBatch = 4;
constexpr int kOtherExchanges = 7; // 0xB0, 0xA0, 0xA7, 0xA1, 0xA4, 0xA5, 0xA6

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString serialOf(int index)
{
    return QStringLiteral("BENCHUPG%1").arg(index, 4, 10, QLatin1Char('0'));
}

// Upgrades the adapters at once; the time until the last one ended, and
// how many of them completed with the image the adapter now holds.
qint64 upgrade(const QList<int> &adapters, const QList<QByteArray> &blocks, const QByteArray &image, int *completed)
{
    QEventLoop loop;
    QList<UpdateManege *> managers;
    QList<QThread *> threads;
    int ended = 0;
    *completed = 0;
    const auto end = [&](bool success) {
        *completed += success ? 1 : 0;
        if (++ended == adapters.size())
            loop.quit();
    };
    for (const int index : adapters) {
        auto *manager = new UpdateManege;
        manager->setBlockList(blocks);
        manager->setMac(serialOf(index));
        manager->setRow(index);
        QObject::connect(manager, &UpdateManege::sigUpdateProcess, &loop, [end](Update type, int value) {
            if (type == UPDATE_PHASE && value == upgradephase::kComplete)
                end(true);
        });
        QObject::connect(manager, &UpdateManege::sigUpdateFailed, &loop, [end] { end(false); });
        QObject::connect(manager, &UpdateManege::sigConnectFailed, &loop, [end] { end(false); });
        QObject::connect(manager, &UpdateManege::sigRunBurningFailed, &loop, [end] { end(false); });
        QObject::connect(manager, &UsbCommunication::sigError, &loop, [end] { end(false); });
        QObject::connect(manager, &UpdateManege::sigWrongVersion, &loop, [end] { end(false); });
        QObject::connect(manager, &UpdateManege::sigNotBack, &loop, [end] { end(false); });
        managers << manager;
        threads << manager->workerThread();
    }

    QElapsedTimer clock;
    clock.start();
    for (UpdateManege *manager : qAsConst(managers))
        manager->start(UsbGlobal::kVendorId, UsbGlobal::kProductId, manager->mac());
    loop.exec();
    const qint64 elapsedNs = clock.nsecsElapsed();

    for (UpdateManege *manager : qAsConst(managers)) {
        const tbsim::BootLoaderView boot = tbsim::bootLoaderView(manager->mac().toStdString());
        if (QByteArray(reinterpret_cast<const char *>(boot.flashed.data()), int(boot.flashed.size())) != image)
            *completed = -1;
        emit manager->sigClose();
        manager->deleteLater();
    }
    for (QThread *thread : qAsConst(threads)) {
        thread->wait();
        delete thread;
    }
    return elapsedNs;
}

QString ms(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    registerUpgradeMetaTypes();

    tbsim::bus().reset();
    for (int index = 0; index <= kBatch; ++index) {
        tbsim::AdapterConfig config;
        config.serial = serialOf(index).toStdString();
        config.scanReads = 0;
        const std::string error = tbsim::bus().addAdapter(config);
        if (!error.empty()) {
            out() << "cannot set up the virtual adapters: " << QString::fromStdString(error) << Qt::endl;
            return 1;
        }
    }

    const QByteArray content = upgradetest::makeUpgradeFile(kFileSize - UpgradeFile::kHeaderSize);
    UpgradeFile file;
    if (file.check(content) != UpgradeFile::Valid) {
        out() << "the generated upgrade file does not pass the check" << Qt::endl;
        return 1;
    }
    const QByteArray image = file.blocks().join();
    const tarnbus::LinkTiming::Upgrade &timing = tarnbus::linkTiming().upgrade;
    const int blocks = file.blocks().size();
    const double floorMs = double(blocks) * 2 * timing.exchangeDelayMs + kOtherExchanges * timing.exchangeDelayMs
        + timing.restartWaitMs;

    int singleDone = 0;
    const double singleMs = double(upgrade({0}, file.blocks(), image, &singleDone)) / 1e6;
    int batchDone = 0;
    QList<int> batch;
    for (int index = 1; index <= kBatch; ++index)
        batch << index;
    const double batchMs = double(upgrade(batch, file.blocks(), image, &batchDone)) / 1e6;

    out() << "upgrade file:        " << content.size() << " bytes, " << blocks << " blocks" << Qt::endl
          << "floor:               " << ms(floorMs) << " (" << blocks << " x 2 x " << timing.exchangeDelayMs << " ms + "
          << kOtherExchanges << " x " << timing.exchangeDelayMs << " ms + " << timing.restartWaitMs << " ms)" << Qt::endl
          << "one adapter:         " << ms(singleMs) << " (" << (singleDone == 1 ? "complete" : "FAILED") << ")" << Qt::endl
          << "ratio to the floor:  " << QString::number(singleMs / floorMs, 'f', 4) << " (goal: at most 1.02)" << Qt::endl
          << "without the restart: " << QString::number((singleMs - timing.restartWaitMs) / (floorMs - timing.restartWaitMs), 'f', 4)
          << Qt::endl
          << kBatch << " adapters at once:  " << ms(batchMs) << " (" << qMax(batchDone, 0) << " of " << kBatch
          << " complete)" << Qt::endl
          << "batch against one:   " << QString::number(batchMs / singleMs, 'f', 4) << " (goal: at most 1.1)" << Qt::endl;
    return singleDone == 1 && batchDone == kBatch ? 0 : 1;
}
