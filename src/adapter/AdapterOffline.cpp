// Writing an offline configuration to a real adapter.

#include "Adapter.h"

#include "AdapterLog.h"
#include "LinkTiming.h"
#include "RecordLayout.h"
#include "Slave.h"
#include "SlaveKinds.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"

#include <TarnBaseConvert.h>

#include <memory>

using tarnbus::linkTiming;

// A module found on the bus, by its identity text.
struct Adapter::BusModule {
    QString typeKey;
    int station = 0;
};

void Adapter::requestOfflineDownload(int vid, int pid, const QString &mac)
{
    inWorker([this, vid, pid, mac] { onDownloadOfflineConfig(vid, pid, mac); });
}

// Runs in the worker thread. An Adapter that has a device of its own (a live
// adapter) writes through it, with polling held off meanwhile; an offline
// configuration opens the adapter for the duration of the download.
void Adapter::onDownloadOfflineConfig(int vid, int pid, QString mac)
{
    checkThread("onDownloadOfflineConfig");
    if (m_slaves.isEmpty()) {
        reportError(MSG_EMPTY_CONFIG, 0);
        return;
    }
    if (stopping())
        return;
    QByteArray reply;
    std::unique_ptr<UsbDevice> ownDevice;
    UsbDevice *device = m_device;
    const auto release = [&] {
        if (ownDevice) {
            {
                std::lock_guard<std::mutex> guard(m_deviceLock);
                m_downloadDevice = nullptr;
            }
            UsbGlobal::decrementOpenedDeviceCount();
            ownDevice->closeDevice();
            ownDevice.reset();
        }
    };
    if (!device) {
        ownDevice = std::make_unique<UsbDevice>();
        if (ownDevice->openDevice(quint16(vid), quint16(pid), mac) != 0) {
            ownDevice.reset();
            reportError(MSG_BATCH_CONFIG, 4);
            return;
        }
        UsbGlobal::incrementOpenedDeviceCount();
        {
            std::lock_guard<std::mutex> guard(m_deviceLock);
            m_downloadDevice = ownDevice.get();
            // A shutdown asked while the device was being opened.
            if (stopping())
                ownDevice->abort();
        }
        if (exchange(ownDevice.get(), TBProtocol::handshake(), reply, linkTiming().replyTimeoutMs) != COMM_OK) {
            release();
            if (!stopping()) {
                reportError(MSG_CONFIG_MODE_FAILED, 1);
                reportError(MSG_BATCH_CONFIG, 4);
            }
            return;
        }
        device = ownDevice.get();
    }

    beginOperation(); // ends by polling again, when there is anything to poll
    ModuleMap modules;
    // Every early end says that the download ended (16, 4), so that the
    // manager is never left waiting for a summary that will not come.
    if (!readBusModules(device, modules)) {
        release();
        if (!stopping()) {
            reportError(MSG_BATCH_CONFIG, 4);
            endOperation(COMM_OK);
        }
        return;
    }
    reportError(MSG_BATCH_CONFIG, 0);

    SlaveList remaining;
    SlaveList configured;
    QMap<quint64, int> skipped;
    writeOfflineRecords(device, modules, remaining, configured, skipped);
    if (stopping()) {
        release();
        return;
    }
    emit sigDownloadSkipped(skipped);
    emit sigErrMessage(MSG_BATCH_CONFIG, 2, 0, COMM_OK, remaining, configured);
    release();
    endOperation(COMM_OK);
}

// The modules on the bus: those answering at the stations of the map, then
// those the adapter reports through its identity queue. False, reported,
// when the download cannot go on.
bool Adapter::readBusModules(UsbDevice *device, ModuleMap &modules)
{
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(device, TBProtocol::readBusStatus(), reply, timeout);
    if (stopping())
        return false;
    if (reply.isEmpty()) {
        reportError(MSG_NO_REPLY_DATA, 0);
        return false;
    }
    if (result != COMM_OK) {
        reportError(MSG_TRANSACTION_FAILED, char(result));
        return false;
    }
    const TBReply::BusStatus bus = TBReply::decodeBusStatus(reply);
    for (int station : bus.stations(bus.localPresent)) {
        result = exchange(device, TBProtocol::readSlaveInfo(quint8(station)), reply, timeout);
        if (stopping())
            return false;
        if (reply.isEmpty()) {
            reportError(MSG_NO_REPLY_DATA, 0);
            return false;
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

    const PendingEnd end = readPendingReports(device, kMaxPendingReads, false, result, reply,
                                              [&modules](const TBReply::PendingIdentity &report) {
                                                  modules.insert(report.identity,
                                                                 BusModule{report.block.moduleKey(), report.station});
                                              });
    if (end == PendingEnd::Stopped)
        return false;
    if (end == PendingEnd::ReadFailed) {
        reportError(MSG_TRANSACTION_FAILED, char(result));
        return false;
    }
    return true;
}

// Writes each record to the module it matches: by identity, else the first
// module (in identity order) at its requested station. Only a module of the
// record's own type is written, and a record counts as configured only when
// the adapter took it.
void Adapter::writeOfflineRecords(UsbDevice *device, const ModuleMap &modules, SlaveList &remaining,
                                  SlaveList &configured, QMap<quint64, int> &skipped)
{
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    for (Slave *slave : qAsConst(m_slaves)) {
        const QByteArray block = slave->downloadBlock();
        QByteArray request;
        int reason = DownloadSkip::NotOnBus;
        const auto found = modules.constFind(QString::fromLatin1(slave->uuid));
        if (slave->typeCode == TarnBase::ModuleUndefined || slave->typeName == undefindSlave::kTypeName) {
            // Without a description its record would take the module's areas away.
            reason = DownloadSkip::Undescribed;
        } else if (found != modules.cend()) {
            reason = DownloadSkip::OtherType;
            if (found->typeKey == slave->moduleIdent)
                request = TBProtocol::writeAddressAssignment(
                    slave->identity12() + block.left(RecordLayout::kRecordBytesAfterIdentity));
        } else {
            for (auto it = modules.cbegin(); it != modules.cend(); ++it) {
                if (it->station != slave->newStationId)
                    continue;
                reason = DownloadSkip::OtherType;
                if (it->typeKey == slave->moduleIdent)
                    request = TBProtocol::downloadConfiguration(block);
                break;
            }
        }
        bool written = false;
        if (!request.isEmpty()) {
            const COMM_STATUS_TYPE result = exchange(device, request, reply, timeout);
            if (stopping())
                return;
            written = result == COMM_OK;
            reason = result;
            if (!written)
                qCDebug(lcAdapter) << "offline download: station" << slave->newStationId << "not written, result" << result;
        }
        if (!written)
            skipped.insert(slave->recordId(), reason);
        (written ? configured : remaining).append(takeSnapshot(*slave));
    }
}
