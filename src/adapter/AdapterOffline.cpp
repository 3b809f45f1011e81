// Writing an offline configuration to a real adapter.

#include "Adapter.h"

#include "AdapterLog.h"
#include "ItemsInfo.h"
#include "LinkTiming.h"
#include "Slave.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"

#include <QMap>

#include <memory>

using tarnbus::linkTiming;

namespace {

struct BusModule {
    QString typeKey;
    int station = 0;
};

// The 64-byte configuration block of one record, from its CONFIG-DATA items.
QByteArray configurationBlock(const Slave *slave)
{
    QByteArray block(Adapter::kRecordSize, '\0');
    block[0] = char(slave->stationId);
    block[1] = char(slave->stationId);
    const ItemsInfo *config = slave->group(Slave::kConfigData);
    if (!config)
        return block;
    const auto setWord = [&block](int offset, int value) {
        block[offset] = char(value & 0xFF);
        block[offset + 1] = char((value >> 8) & 0xFF);
    };
    for (int i = 1; i < config->items.size(); ++i) { // item 0 is the station
        const ItemInfo *item = config->items.at(i);
        switch (item->paramType) {
        case 1:
        case 3:
            setWord(2, (item->startAddress << 7) | (item->channels & 0x7F));
            break;
        case 2:
        case 4:
            setWord(4, (item->startAddress << 7) | (item->channels & 0x7F));
            break;
        case 5:
            block[6] = char((quint8(block.at(6)) & ~0x70) | ((item->value.toInt() & 0x07) << 4));
            break;
        case 6:
            block[6] = char((quint8(block.at(6)) & ~0x01) | (item->value.toInt() & 0x01));
            break;
        case 7:
            setWord(8, item->value.toInt());
            break;
        default:
            break;
        }
    }
    return block;
}

} // namespace

void Adapter::onDownloadOfflineConfig(int vid, int pid, QString mac)
{
    if (m_slaves.isEmpty()) {
        reportError(MSG_EMPTY_CONFIG, 0);
        return;
    }
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;

    // Borrow the adapter's own device when it has one; otherwise open one
    // for the duration of the download. Only a device opened here is closed.
    std::unique_ptr<UsbDevice> ownDevice;
    UsbDevice *device = m_device;
    if (!device) {
        ownDevice = std::make_unique<UsbDevice>();
        if (ownDevice->openDevice(quint16(vid), quint16(pid), mac) != 0) {
            reportError(MSG_BATCH_CONFIG, 4);
            return;
        }
        UsbGlobal::incrementOpenedDeviceCount();
        if (exchange(ownDevice.get(), TBProtocol::handshake(), reply, timeout) != COMM_OK) {
            reportError(MSG_CONFIG_MODE_FAILED, 1);
            UsbGlobal::decrementOpenedDeviceCount();
            ownDevice->closeDevice();
            reportError(MSG_BATCH_CONFIG, 4);
            return;
        }
        device = ownDevice.get();
    }
    const auto release = [&] {
        if (ownDevice) {
            UsbGlobal::decrementOpenedDeviceCount();
            ownDevice->closeDevice();
            ownDevice.reset();
        }
        m_busy = false;
    };

    m_busy = true;
    COMM_STATUS_TYPE result = exchange(device, TBProtocol::readBusStatus(), reply, timeout);
    if (reply.isEmpty() || result != COMM_OK) {
        if (reply.isEmpty())
            reportError(MSG_NO_REPLY_DATA, 0);
        else
            reportError(MSG_TRANSACTION_FAILED, char(result));
        release();
        reportError(MSG_BATCH_CONFIG, 4);
        return;
    }
    const TBReply::BusStatus bus = TBReply::decodeBusStatus(reply);

    // Identity text -> module; ordered by identity.
    // Every early end below says that the download ended (16, 4), so that
    // the manager is never left waiting for a summary that will not come.
    QMap<QString, BusModule> modules;
    for (int station : bus.stations(bus.localPresent)) {
        result = exchange(device, TBProtocol::readSlaveInfo(quint8(station)), reply, timeout);
        if (reply.isEmpty()) {
            reportError(MSG_NO_REPLY_DATA, 0);
            release();
            reportError(MSG_BATCH_CONFIG, 4);
            return;
        }
        if (result != COMM_OK) {
            reportError(MSG_TRANSACTION_FAILED, char(result));
            continue;
        }
        if (reply.size() < TBReply::SlaveInfoBlock::kSize)
            continue;
        const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(reply);
        modules.insert(info.block.identity(), BusModule{info.block.moduleKey(), info.station});
    }

    exchange(device, TBProtocol::requestPendingIdentity(), reply, timeout);
    for (int count = 0;; ++count) {
        result = exchange(device, TBProtocol::readPendingIdentity(), reply, timeout);
        if (result != COMM_OK) {
            reportError(MSG_TRANSACTION_FAILED, char(result));
            release();
            reportError(MSG_BATCH_CONFIG, 4);
            return;
        }
        const TBReply::PendingIdentity report = TBReply::decodePendingIdentity(reply);
        if (report.identity.isEmpty() || count > 2 * kMaxStations)
            break;
        modules.insert(report.identity, BusModule{report.block.moduleKey(), report.station});
    }

    reportError(MSG_BATCH_CONFIG, 0);

    QList<Slave *> remaining = m_slaves;
    QList<Slave *> configured;
    for (Slave *slave : qAsConst(m_slaves)) {
        const QByteArray block = configurationBlock(slave);
        QByteArray request;
        const auto found = modules.constFind(QString::fromLatin1(slave->uuid));
        if (found != modules.cend()) {
            if (found->typeKey == slave->moduleIdent)
                request = TBProtocol::writeAddressAssignment(identity12(slave) + block.left(52));
        } else {
            for (auto it = modules.cbegin(); it != modules.cend(); ++it) {
                if (it->station != slave->newStationId)
                    continue;
                if (it->typeKey == slave->moduleIdent)
                    request = TBProtocol::downloadConfiguration(block);
                break;
            }
        }
        if (request.isEmpty())
            continue;
        result = exchange(device, request, reply, timeout);
        // A record counts as configured only when the adapter took it.
        if (result == COMM_OK && !TBReply::isRejected(reply)) {
            remaining.removeOne(slave);
            configured.append(slave);
        } else {
            qCDebug(lcAdapter) << "offline download: station" << slave->newStationId << "not written, result" << result;
        }
    }

    emit sigErrMessage(MSG_BATCH_CONFIG, 2, 0, COMM_OK, remaining, configured);
    release();
}
