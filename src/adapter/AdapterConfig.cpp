// Operations that change the adapter or the configuration of its slaves.

#include "Adapter.h"

#include "AdapterLog.h"
#include "LinkTiming.h"
#include "RecordLayout.h"
#include "Slave.h"
#include "TBProtocol.h"
#include "TBReplies.h"

#include <TarnBaseConvert.h>

#include <QThread>
#include <QTimer>

using tarnbus::linkTiming;

using RecordLayout::byteAt;
using RecordLayout::kShortRecordOffset;
using RecordLayout::kShortRecordSize;
using RecordLayout::wordAt;

namespace {
QByteArray shortRecordOf(const QByteArray &addressRecord)
{
    return addressRecord.mid(kShortRecordOffset, kShortRecordSize);
}
} // namespace

// Sleeps in short slices so that a shutdown is not held up.
bool Adapter::pauseUnlessStopping(int ms)
{
    constexpr int kSliceMs = 20;
    for (int waited = 0; waited < ms && !stopping(); waited += kSliceMs)
        QThread::msleep(std::min(kSliceMs, ms - waited));
    return !stopping();
}

void Adapter::beginOperation()
{
    m_busy = true;
    stopPolling();
}

void Adapter::endOperation(COMM_STATUS_TYPE last, LinkLoss onLoss)
{
    if (last == COMM_NOT_CONNECTED && onLoss == LinkLoss::StayBusy)
        return;
    m_busy = false;
    if (last != COMM_NOT_CONNECTED)
        startPolling();
}

Slave *Adapter::requestingSlave() const
{
    return qobject_cast<Slave *>(sender());
}

// ---------------------------------------------------------------------------
// Adapter settings

void Adapter::writeSettings(int change)
{
    if (m_forceMode) {
        stopPolling();
        reportError(MSG_BATCH_CONFIG, -15);
        startPolling();
        return;
    }
    // Settings that could not be read are unknown: writing the switches the
    // user did not touch would put guesses over the adapter's own values.
    if (!m_settingsKnown) {
        reportError(MSG_SETTINGS_UNKNOWN, 0);
        return;
    }
    beginOperation();
    const int timeout = linkTiming().replyTimeoutMs;
    const SettingsReadBack asked{m_requestedSettingsByte, m_requestedThreshold, change != 0};
    qCDebug(lcAdapter) << "yuzhi---------------" << asked.writtenThreshold;
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::writeSettings(asked.writtenByte, asked.writtenThreshold, asked.thresholdChanged),
                                       reply, timeout);
    if (result == COMM_OK)
        result = exchange(TBProtocol::applySettings(), reply, timeout);
    if (stopping())
        return;
    if (result != COMM_OK) {
        reportError(MSG_OPERATION_FAILED, AdapterOperation::SettingsWrite, 0, result);
        endOperation(result, LinkLoss::Release);
        return;
    }
    qCDebug(lcAdapter) << "yuzhi---------------" << asked.writtenThreshold;
    // The settings are the adapter's once it has restarted with them and
    // they have been read back (the reconnect compares them).
    m_settingsCheck = asked;
    reportError(MSG_BATCH_CONFIG, -16);
    if (!pauseUnlessStopping(linkTiming().settingsRestartMs))
        return;
    // It is back on USB as a new device and the old link is dead:
    // reconnect as after an unplug instead of polling into it.
    endOperation(COMM_OK, LinkLoss::Release);
    dropLink();
}

void Adapter::onSaveAdapterConfig()
{
    beginOperation();
    const SlaveList stored = takeSnapshots(m_slaves);
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::storeConfiguration(), reply, linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    if (result == COMM_OK) {
        qCDebug(lcAdapter).noquote() << reply.toHex(' ').toUpper();
        // Compared with the bus once the adapter is back with it.
        m_storedConfiguration = stored;
        reportError(MSG_CONFIG_STORED, -1);
        // The adapter restarts with the stored configuration. Follow it as
        // after an unplug: polling resumes once it is back and reconnected.
        endOperation(COMM_NOT_CONNECTED, LinkLoss::Release);
        dropLink();
        return;
    }
    reportError(MSG_OPERATION_FAILED, AdapterOperation::Store, 0, result);
    // A store that failed has not restarted the adapter; without polling
    // the bus would go unwatched. Should it restart after all, the next
    // poll finds it gone and the link is followed from there.
    endOperation(result, LinkLoss::Release);
}

void Adapter::onSetSlaveLighting(QByteArray data)
{
    if (!m_linked) {
        if (m_ioTimer)
            m_ioTimer->stop();
        stopPolling();
        emit sigStopLighting();
        reportError(MSG_NOT_LINKED, -2);
        return;
    }
    if (m_forceMode) {
        reportError(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::LampInForceMode);
        return;
    }
    // A blinking lamp asks again with every lit phase. The request runs
    // between polls (both run in this thread), so the poll timer keeps its
    // period instead of being put off by every phase.
    m_busy = true;
    emit sigOFFLamp(QString::fromLatin1(data.toHex().toUpper()));
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::setSlaveLamp(data.left(TBProtocol::kDataSize)), reply,
                                             linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    // A lamp switched on whose answer was lost may be lit: it is switched
    // off again, so that no lamp burns that the tool shows dark.
    if (result != COMM_OK && result != COMM_REFUSED && result != COMM_NOT_CONNECTED && !data.isEmpty()) {
        QByteArray ignored;
        exchange(TBProtocol::setSlaveLamp(QByteArray()), ignored, linkTiming().replyTimeoutMs);
        if (stopping())
            return;
    }
    m_busy = false;
    // The lamp is lit (or dark) once the adapter has taken the request.
    if (Slave *slave = requestingSlave()) {
        const bool lit = result == COMM_OK && !data.isEmpty();
        if (slave->lighting != lit || result != COMM_OK) {
            slave->lighting = result == COMM_OK ? lit : false;
            reportLoad(MSG_REFRESH_ROWS);
        }
    }
    if (result != COMM_OK) {
        emit sigStopLighting();
        reportError(MSG_OPERATION_FAILED, AdapterOperation::Lamp, 0, result);
    }
    if (result != COMM_NOT_CONNECTED && !isPolling())
        startPolling();
}

void Adapter::onUpdatePower()
{
    if (m_forceMode || !usbStatusCheck())
        return;
    beginOperation();
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::readPower(), reply, linkTiming().connectTimeoutMs);
    if (stopping())
        return;
    if (result == COMM_OK) {
        const TBReply::Power power = TBReply::decodePower(reply);
        m_status.power = power.watts;
        m_status.temperature = power.celsius;
        reportLoad(MSG_STATUS);
    } else if (reply.isEmpty()) {
        reportError(MSG_NO_REPLY_DATA, char(result));
    } else {
        reportError(MSG_TRANSACTION_FAILED, char(result));
    }
    endOperation(result, LinkLoss::Release); // a power read leaves nothing half done
}

// ---------------------------------------------------------------------------
// Address assignment records

Adapter::WriteResult Adapter::writeAddressRecord(const QByteArray &record, char operation, COMM_STATUS_TYPE &result)
{
    result = COMM_OK;
    if (m_upgradeRunning)
        return WriteResult::Ok;
    QByteArray reply;
    result = exchange(TBProtocol::writeAddressAssignment(record.left(RecordLayout::kAddressRecordSize)), reply,
                      linkTiming().replyTimeoutMs);
    if (stopping())
        return WriteResult::Failed;
    if (result != COMM_OK) {
        // A record the adapter refuses has not been applied: said in the
        // operation's words, with the module's station.
        reportError(MSG_OPERATION_FAILED, operation,
                    byteAt(record, RecordLayout::kShortRecordOffset + RecordLayout::kStationOffset), result);
        return result == COMM_REFUSED ? WriteResult::Refused : WriteResult::Failed;
    }
    reportLoad(MSG_SLAVE_SET);
    return WriteResult::Ok;
}

void Adapter::requestConfigurationDownload()
{
    // Checked where the slaves live, so that no poll rebuilds the list
    // between the check and the download.
    inWorker([this] {
        if (!m_linked) {
            reportError(MSG_DOWNLOAD_REFUSED, DownloadRefusal::NotLinked);
            return;
        }
        if (hasConflict(occupancyMap())) {
            reportError(MSG_DOWNLOAD_REFUSED, DownloadRefusal::AddressConflict);
            return;
        }
        onAutoSetSlaveConfig();
    });
}

void Adapter::onAutoSetSlaveConfig()
{
    // Address operations wait for a firmware upgrade to end: the record
    // write would only pretend to succeed meanwhile.
    if (m_upgradeRunning || !usbStatusCheck())
        return;
    beginOperation();
    // A download that has begun ends with one MSG_DOWNLOAD_DONE, also when
    // the link is lost on the way, so that whoever asked knows when it is
    // over: err 1 when the adapter confirmed it, 0 when not. It carries the
    // records not written (s1) and those written (s2), for the summary of a
    // batch configuration.
    SlaveList remaining;
    SlaveList configured;
    QMap<quint64, int> skipped;
    COMM_STATUS_TYPE result = COMM_OK;
    const QList<Slave *> slaves = m_slaves;
    for (Slave *slave : slaves) {
        // A module without a description of its own has no configuration
        // here: its all-zero record would take its IO areas away. It counts
        // as not written, as in the download of an offline configuration.
        // Without the link every further write would fail the same way.
        bool written = false;
        int reason = slave->typeCode == TarnBase::ModuleUndefined ? DownloadSkip::Undescribed : int(result);
        if (slave->typeCode != TarnBase::ModuleUndefined && result != COMM_NOT_CONNECTED) {
            const QByteArray record = slave->identityConfigRecord();
            const WriteResult write = writeAddressRecord(record, AdapterOperation::Download, result);
            written = write == WriteResult::Ok;
            reason = write == WriteResult::Refused ? int(COMM_REFUSED) : int(result);
            if (stopping())
                return;
            if (written)
                slave->applyShortRecord(shortRecordOf(record));
            else
                slave->takeModuleState(); // what the record was given and not written is not the module's
        }
        if (!written)
            skipped.insert(slave->recordId(), reason);
        (written ? configured : remaining).append(takeSnapshot(*slave));
    }
    if (result != COMM_NOT_CONNECTED) {
        result = confirmHandshake();
        if (stopping())
            return;
    }
    publishState();
    emit sigDownloadSkipped(skipped);
    emit sigErrMessage(MSG_DOWNLOAD_DONE, result == COMM_OK ? 1 : 0, 0, COMM_OK, remaining, configured);
    endOperation(result);
}

// ---------------------------------------------------------------------------
// One slave's configuration

void Adapter::onSetSlaveConfig(QByteArray data)
{
    if (Slave *slave = requestingSlave())
        configureSlave(slave, data);
}

void Adapter::configureSlave(Slave *slave, const QByteArray &data)
{
    beginOperation();
    const int timeout = linkTiming().replyTimeoutMs;
    const char operation = editOperation(slave, data);
    QByteArray reply;
    COMM_STATUS_TYPE result = COMM_OK;
    bool written = false;

    if (byteAt(data, 0) == 1) {
        result = exchange(TBProtocol::readBusStatus(), reply, timeout);
        if (stopping())
            return;
        // A reply that never came must not stop the bus from being
        // watched: only a lost link does that.
        if (reportFailedExchange(result, reply)) {
            endOperation(result);
            return;
        }
        if (reply.size() <= 24 || TBReply::decodeBusStatus(reply).configWriteFlag == 0) {
            result = exchange(TBProtocol::writeSlaveConfig(data.left(TBProtocol::kDataSize)), reply, timeout);
            if (stopping())
                return;
            if (result != COMM_OK) {
                refuseSlaveConfig(slave, operation, result);
                return;
            }
            written = true;
        }
    }
    if (!written) {
        result = exchange(TBProtocol::writeAddressAssignment((slave->identity12() + data).left(RecordLayout::kAddressRecordSize)),
                          reply, timeout);
        if (stopping())
            return;
        if (result != COMM_OK) {
            refuseSlaveConfig(slave, operation, result);
            return;
        }
    }
    slave->applyShortRecord(data);
    m_lastConfiguredUuid = slave->uuid;
    finishSlaveOperation(byteAt(data, 0) != byteAt(data, 1));
}

// The adapter did not take the record: the slave stays as it was, and the
// user learns what was not changed and why.
void Adapter::refuseSlaveConfig(Slave *slave, char operation, COMM_STATUS_TYPE result)
{
    reportError(MSG_OPERATION_FAILED, operation, slave->stationId, result);
    slave->keepCurrentStation();
    endOperation(result);
}

char Adapter::editOperation(const Slave *slave, const QByteArray &data) const
{
    const QByteArray current = slave->configurationRecord();
    if (byteAt(data, 1) != slave->stationId)
        return AdapterOperation::StationChange;
    if (wordAt(data, RecordLayout::kInputPos) != wordAt(current, RecordLayout::kInputPos)
        || wordAt(data, RecordLayout::kOutputPos) != wordAt(current, RecordLayout::kOutputPos))
        return AdapterOperation::AddressChange;
    return AdapterOperation::ParameterChange;
}

// The handshake that ends an operation: the adapter must answer it, and
// answer that it is ready.
COMM_STATUS_TYPE Adapter::confirmHandshake()
{
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::handshake(), reply, linkTiming().replyTimeoutMs);
    if (stopping())
        return result;
    if (result == COMM_OK && !TBReply::isHandshakeReady(reply))
        result = COMM_CHECK_ERROR;
    if (result != COMM_OK)
        reportError(MSG_TRANSACTION_FAILED, char(result));
    return result;
}

void Adapter::finishSlaveOperation(bool listChanged)
{
    refreshList();
    // The slave's areas and parameters changed even when the list did not:
    // the rows are reported again for the views that show them.
    reportLoad(listChanged ? MSG_LIST_CHANGED : MSG_REFRESH_ROWS);
    const COMM_STATUS_TYPE result = confirmHandshake();
    if (stopping())
        return;
    endOperation(result);
}

std::optional<char> Adapter::editRefusal(const Slave *slave, const QByteArray &data) const
{
    const int current = byteAt(data, 0);
    const int requested = byteAt(data, 1);
    if (requested != current) {
        for (const Slave *other : qAsConst(m_slaves)) {
            if (other != slave && other->newStationId == requested)
                return SlaveConfigResult::StationTaken;
        }
    }
    const QVector<quint8> others = occupancyMap(slave);
    // The low 7 bits of a word count channels; the range they take is in bits.
    const auto fits = [&](quint16 word, int base, int extraChannels) {
        const int start = word >> 7;
        const int bits = slave->heldAreaBits(Slave::configuredChannels(word & RecordLayout::kChannelMask, extraChannels),
                                             extraChannels);
        if (start + bits > kImageBits)
            return false;
        for (int bit = start; bit < start + bits; ++bit) {
            if (others[base + bit] != 0)
                return false;
        }
        return true;
    };
    if (!fits(wordAt(data, RecordLayout::kInputPos), 0, slave->inputOffs))
        return SlaveConfigResult::InputConflict;
    if (!fits(wordAt(data, RecordLayout::kOutputPos), kImageBits, slave->outputOffs))
        return SlaveConfigResult::OutputConflict;
    return std::nullopt;
}

void Adapter::onSetSlaveUUIDConfig(QByteArray data)
{
    if (Slave *slave = requestingSlave())
        writeEditedRecord(slave, data);
}

void Adapter::writeEditedRecord(Slave *slave, const QByteArray &data)
{
    const int current = byteAt(data, 0);
    const int requested = byteAt(data, 1);
    if (const std::optional<char> refusal = editRefusal(slave, data)) {
        reportError(MSG_SLAVE_CONFIG_RESULT, *refusal, requested);
        return;
    }
    if (m_offline) {
        // An offline configuration has no module to write to: the record
        // is the configuration.
        slave->applyShortRecord(data.left(kShortRecordSize));
        reportError(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success, requested);
        refreshList();
        reportLoad(current != requested ? MSG_LIST_CHANGED : MSG_REFRESH_ROWS);
        return;
    }

    const char operation = editOperation(slave, data);
    beginOperation();
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(
        TBProtocol::writeAddressAssignment((slave->identity12() + data).left(RecordLayout::kAddressRecordSize)), reply,
        linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    if (result != COMM_OK) {
        refuseSlaveConfig(slave, operation, result);
        return;
    }
    reportError(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success, requested);
    slave->applyShortRecord(data.left(kShortRecordSize));
    m_lastConfiguredUuid = slave->uuid;
    finishSlaveOperation(current != requested);
}

void Adapter::onCleanSlaveConfig(QByteArray data)
{
    Slave *slave = requestingSlave();
    if (!slave)
        slave = findSlaveByUuid(data.left(RecordLayout::kIdentitySize));
    beginOperation();
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::writeAddressAssignment(data.left(RecordLayout::kAddressRecordSize)),
                                       reply, linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    if (result != COMM_OK) {
        // The module keeps its station and its areas, and so does the slave.
        reportError(MSG_OPERATION_FAILED, AdapterOperation::Clear, slave ? slave->stationId : 0, result);
        endOperation(result);
        return;
    }
    reportError(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success);
    if (slave) {
        slave->takeClearedRecord(shortRecordOf(data));
        m_lastConfiguredUuid = slave->uuid;
    }
    refreshList();
    reportLoad(MSG_LIST_CHANGED);
    result = confirmHandshake();
    if (stopping())
        return;
    endOperation(result);
}

// ---------------------------------------------------------------------------
// Repeated station numbers, clearing addresses

void Adapter::onSetRepeatSid(QMap<int, QByteArray> map)
{
    if (m_upgradeRunning)
        return;
    beginOperation();
    qCDebug(lcAdapter) << "config:" << map;
    COMM_STATUS_TYPE result = COMM_OK;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        Slave *slave = findSlaveByUuid(it.value());
        if (!slave)
            continue;
        // Sizes only: both addresses 0.
        const QByteArray config = slave->configurationRecord();
        const QByteArray record = slave->addressRecord(it.key(), it.key(), byteAt(config, RecordLayout::kInputPos) & RecordLayout::kChannelMask,
                                                       byteAt(config, RecordLayout::kOutputPos) & RecordLayout::kChannelMask);
        qCDebug(lcAdapter).noquote() << "config:" << record.toHex(' ').toUpper();
        if (writeAddressRecord(record, AdapterOperation::RepeatedStations, result) == WriteResult::Ok)
            slave->takeRepairedStation(shortRecordOf(record));
        else if (stopping() || result == COMM_NOT_CONNECTED)
            return;
    }
    refreshList();
    reportLoad(MSG_RELOADED);
    endOperation(COMM_OK);
}

void Adapter::onCleanSlaveAddr()
{
    if (m_upgradeRunning || !usbStatusCheck())
        return;
    beginOperation();
    COMM_STATUS_TYPE result = COMM_OK;
    bool allWritten = true;
    const QList<Slave *> slaves = m_slaves;
    for (Slave *slave : slaves) {
        // Modules without a kind of their own cannot be allocated again by
        // the tool: their areas and parameters are left as they are.
        if (slave->uuid.isEmpty() || slave->typeCode == TarnBase::ModuleUndefined)
            continue;
        const QByteArray record = slave->addressRecord(slave->stationId, slave->newStationId, 0, 0);
        if (writeAddressRecord(record, AdapterOperation::Clear, result) == WriteResult::Ok)
            slave->applyShortRecord(shortRecordOf(record));
        else
            allWritten = false;
        if (stopping() || result == COMM_NOT_CONNECTED)
            return;
    }
    if (allWritten)
        reportError(MSG_ADDRESS_CONFIG_RESULT, SlaveConfigResult::Success);
    finishSlaveOperation(true);
}
