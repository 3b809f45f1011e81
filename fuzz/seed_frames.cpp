// Writes the reply target's seed corpus: the replies of the virtual adapter
// to every reading request the tool sends, on a bus file (the frames the
// tests see). Requests that restart the adapter are left out.
//
//   seed_frames <output folder> <bus file>

#include <LinkTiming.h>
#include <TBProtocol.h>
#include <UsbDevice.h>
#include <UsbGlobal.h>
#include <VirtualBus.h>

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <cstdio>

namespace {

QList<QByteArray> requests()
{
    QList<QByteArray> list{TBProtocol::handshake(),    TBProtocol::readIdentity(),        TBProtocol::readPower(),
                           TBProtocol::readSettings(), TBProtocol::readBusStatus(),       TBProtocol::readPendingIdentity(),
                           TBProtocol::requestPendingIdentity(), TBProtocol::readPendingIdentity()};
    for (int station = 0; station <= 128; ++station)
        list.append(TBProtocol::readSlaveInfo(quint8(station)));
    list.append(TBProtocol::enterForceMode());
    for (int cycle = 0; cycle < 4; ++cycle)
        list.append(TBProtocol::exchangeProcessData(QByteArray(64, char(cycle ? 0xFF : 0x00))));
    list.append(TBProtocol::leaveForceMode());
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <bus file>\n", argv[0]);
        return 2;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    tarnbus::LinkTiming timing;
    timing.beforeRequestMs = timing.betweenRequestReportsMs = timing.beforeReplyMs = timing.betweenReplyReportsMs = 0;
    tarnbus::setLinkTiming(timing);
    const std::string error = tbsim::bus().loadFile(argv[2]);
    if (!error.empty() || tbsim::bus().serials().empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.empty() ? "no adapter" : error.c_str());
        return 1;
    }
    tbsim::bus().adapter(tbsim::bus().serials().front()).setScanReads(0);

    UsbDevice device;
    device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, QString::fromStdString(tbsim::bus().serials().front()));
    int written = 0;
    const QList<QByteArray> list = requests();
    for (int i = 0; i < list.size(); ++i) {
        QByteArray reply;
        device.transact(list[i], reply, 1000);
        if (reply.isEmpty())
            continue;
        QFile file(QStringLiteral("%1/reply-%2-%3.bin").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(quint8(list[i].at(3)), 2, 16, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(reply) != reply.size())
            return 1;
        ++written;
    }
    device.closeDevice();
    std::printf("%d reply frames in %s\n", written, argv[1]);
    return written > 0 ? 0 : 1;
}
