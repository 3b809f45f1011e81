// Connecting to the adapter, loading its slaves, polling the bus and
// following the USB link as it goes and comes back.

#include "Adapter.h"

#include "AdapterLog.h"
#include "LinkTiming.h"
#include "RecordLayout.h"
#include "Slave.h"
#include "SlaveFactory.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"

#include <QSet>
#include <QTimer>

#include <algorithm>

using tarnbus::linkTiming;

namespace {
constexpr int kStateDevice = 3;
constexpr int kDeviceFailed = 1;
constexpr int kDeviceBack = 0;
constexpr int kHandshakeAttempts = 3;
// Set in an info block's flags when the module was reported through the
// pending identity queue rather than read at its station.
constexpr quint8 kReportedFlag = 0x10;

QString stationListText(const QList<int> &stations)
{
    QStringList parts;
    for (int station : stations)
        parts << QString::number(station);
    return QLatin1Char('(') + parts.join(QLatin1String(", ")) + QLatin1Char(')');
}
} // namespace

void Adapter::onSetUsbInfo(int vid, int pid, QString mac)
{
    if (!m_ioTimer) {
        m_ioTimer = new QTimer(this);
        m_pollTimer = new QTimer(this);
        m_ioTimer->setSingleShot(true);
        m_pollTimer->setSingleShot(true);
        connect(m_ioTimer, &QTimer::timeout, this, &Adapter::onReadInputData);
        connect(m_pollTimer, &QTimer::timeout, this, &Adapter::onUpdateSlaveList);
        connect(this, &Adapter::sigSetFource, this, &Adapter::onSetFourceModel);
        connect(this, &Adapter::sigUpdateSlave, this, &Adapter::onUpdateSlave);
        connect(this, &Adapter::sigClearAbnormal, this, &Adapter::onClearAbnormal);
        connect(this, &Adapter::sigRecordWorkStatus, this, &Adapter::onRecordWorkStatus);
        connect(this, &Adapter::sigAutoSetSlaveAddr, this, &Adapter::onAutoSetSlaveAddr);
        connect(this, &Adapter::sigCleanSlaveAddr, this, &Adapter::onCleanSlaveAddr);
        connect(this, &Adapter::sigAutoSetSlaveConfig, this, &Adapter::onAutoSetSlaveConfig);
    }
    if (!m_device)
        createDevice();
    m_vid = vid;
    m_pid = pid;
    m_mac = mac;
    if (m_device->openDevice(quint16(vid), quint16(pid), mac) != 0) {
        emit sigOpenSerialPortFail();
        return;
    }
    runConnectSequence();
    reportLoad(MSG_FORCE_STATE);
}

bool Adapter::sendHandshake(int timeoutMs, bool reportFailure)
{
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::handshake(), reply, timeoutMs);
    // Any answer but "ready" is no handshake.
    if (result == COMM_OK && !TBReply::isHandshakeReady(reply))
        result = COMM_CHECK_ERROR;
    if (result != COMM_OK) {
        if (reportFailure)
            reportError(MSG_TRANSACTION_FAILED, char(result));
        return false;
    }
    return true;
}

void Adapter::runConnectSequence()
{
    const tarnbus::LinkTiming &timing = linkTiming();
    QByteArray reply;
    COMM_STATUS_TYPE result = COMM_OK;

    if (!m_linked) {
        for (int attempt = 1; attempt <= kHandshakeAttempts; ++attempt) {
            result = exchange(TBProtocol::handshake(), reply, timing.connectTimeoutMs);
            if (stopping())
                return;
            if (reply.isEmpty()) {
                reportError(MSG_NO_REPLY_DATA, char(result));
                return;
            }
            if (result != COMM_OK) {
                reportError(MSG_TRANSACTION_FAILED, char(result));
                return;
            }
            if (TBReply::isHandshakeReady(reply)) {
                m_linked = true;
                readIdentityAndSettings();
                checkSettingsReadBack();
                break;
            }
            if (attempt == kHandshakeAttempts) {
                reportError(MSG_NO_HANDSHAKE, -1);
                return;
            }
        }
    }

    // The link was lost while the adapter may have been forcing: it is
    // brought out of force mode before anything else.
    if (m_forceMode) {
        leaveForceMode();
        if (stopping())
            return;
    }

    result = exchange(TBProtocol::readPower(), reply, timing.connectTimeoutMs);
    if (stopping() || reportFailedExchange(result, reply))
        return;
    const TBReply::Power power = TBReply::decodePower(reply);
    m_status.power = power.watts;
    m_status.temperature = power.celsius;

    TBReply::BusStatus bus;
    if (reportScanFailure(waitForScan(kMaxScanReports, bus, result, reply), result))
        return;

    const QList<int> stations = bus.stations(bus.localPresent);
    storeStatusFlags(bus.status);
    reportLoad(MSG_STATUS);
    m_configWriteFlag = bus.configWriteFlag;

    if (!loadSlaves(stations))
        return;
    collectPendingReports();
    if (stopping())
        return;

    updateSlaveCount();
    if (m_listChanged) {
        m_listChanged = false;
        reportLoad(MSG_LIST_CHANGED);
    } else {
        reportLoad(MSG_LOAD_FINISHED);
    }
    checkStoreReadBack();
    if (!m_forceMode)
        startPolling();
}

void Adapter::onSetAdapterCmd(int cmd, int change)
{
    if (cmd == 0 && change == 0) {
        readIdentityAndSettings();
        return;
    }
    writeSettings(change);
}

bool Adapter::readIdentityAndSettings()
{
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    // Until they are read again the settings are not known: what was read
    // before the adapter restarted may no longer be what it holds.
    m_settingsKnown = false;
    const auto ask = [&](const QByteArray &request, char operation) {
        const COMM_STATUS_TYPE result = exchange(request, reply, timeout);
        if (result != COMM_OK) {
            if (operation)
                reportError(MSG_OPERATION_FAILED, operation, 0, result);
            else
                reportError(MSG_TRANSACTION_FAILED, char(result));
            return false;
        }
        if (reply.isEmpty()) {
            reportError(MSG_NO_REPLY_DATA, char(COMM_OK));
            return false;
        }
        return true;
    };
    if (!ask(TBProtocol::readIdentity(), 0))
        return false;
    const TBReply::Identity id = TBReply::decodeIdentity(reply);
    m_appVersion = id.appVersionNumber;
    m_hVariant = id.hVariant;
    m_infoItems.clear();
    const auto textItem = [](const QString &name, const QString &text) {
        AdapterInfoItem item;
        item.kind = AdapterInfoItem::Text;
        item.name = name;
        item.text = text;
        return item;
    };
    m_infoItems << textItem(QStringLiteral("TBName"), id.name) << textItem(QStringLiteral("UniqueID"), QStringLiteral("--"))
                << textItem(QStringLiteral("HWVersion"), id.hwVersion) << textItem(QStringLiteral("BootVersion"), id.bootVersion)
                << textItem(QStringLiteral("APPVersion"), id.appVersion);

    if (!ask(TBProtocol::readSettings(), AdapterOperation::SettingsRead))
        return false;
    const TBReply::Settings settings = TBReply::decodeSettings(reply);
    m_settingsKnown = true;
    m_settingsByte = settings.settingsByte;
    m_threshold = settings.threshold;
    m_requestedSettingsByte = m_settingsByte;
    m_requestedThreshold = m_threshold;
    const auto choice = [](int index, const QString &name, int value, const QStringList &options) {
        AdapterInfoItem item;
        item.kind = AdapterInfoItem::Choice;
        item.index = index;
        item.name = name;
        item.value = value;
        item.options = options;
        return item;
    };
    const QStringList offOn{tr("关闭"), tr("开启")};
    m_infoItems << choice(0, tr("DI滤波使能"), settings.diFilter(), offOn)
                << choice(1, tr("从站自动复位"), settings.slaveAutoReset(), offOn)
                << choice(2, tr("现场总线输出错误"), settings.holdOutputsOnError(), {tr("清零"), tr("保持")})
                << choice(3, tr("站号分配模式"), settings.freeStationAllocation(), {tr("严格组态"), tr("自由组态")});
    AdapterInfoItem threshold;
    threshold.kind = AdapterInfoItem::Number;
    threshold.index = 4;
    threshold.name = tr("阈值(201-2999)");
    threshold.value = settings.threshold;
    m_infoItems << threshold << choice(5, tr("阈值修改"), 0, {tr("Disable"), tr("Enable")});
    m_busy = false;
    return true;
}

void Adapter::checkSettingsReadBack()
{
    if (!m_settingsCheck)
        return;
    SettingsReadBack check = *m_settingsCheck;
    m_settingsCheck.reset();
    check.known = m_settingsKnown;
    check.readByte = m_settingsByte;
    check.readThreshold = m_threshold;
    publishState();
    emit sigSettingsReadBack(check);
    if (check.matches())
        reportError(MSG_BATCH_CONFIG, -14);
}

void Adapter::checkStoreReadBack()
{
    if (!m_storedConfiguration)
        return;
    const SlaveList stored = *m_storedConfiguration;
    m_storedConfiguration.reset();
    publishState();
    emit sigStoreReadBack(stored, takeSnapshots(m_slaves));
}

Adapter::ScanResult Adapter::waitForScan(int maxReports, TBReply::BusStatus &bus, COMM_STATUS_TYPE &result,
                                         QByteArray &reply)
{
    const int timeout = linkTiming().replyTimeoutMs;
    ScanResult scan = ScanResult::Ok;
    for (;;) {
        result = exchange(TBProtocol::readBusStatus(), reply, timeout);
        if (stopping()) {
            scan = ScanResult::Stopped;
            break;
        }
        if (reply.isEmpty() || result != COMM_OK) {
            scan = reply.isEmpty() ? ScanResult::EmptyReply : ScanResult::Failed;
            break;
        }
        bus = TBReply::decodeBusStatus(reply);
        if (!bus.scanning || m_scanProgressCount >= maxReports)
            break;
        ++m_scanProgressCount;
        reportLoad(MSG_SCAN_PROGRESS, bus.progress);
    }
    m_scanProgressCount = 0;
    return scan;
}

bool Adapter::reportScanFailure(ScanResult scan, COMM_STATUS_TYPE result)
{
    if (scan == ScanResult::EmptyReply)
        reportError(MSG_NO_REPLY_DATA, char(COMM_OK));
    else if (scan == ScanResult::Failed)
        reportError(MSG_TRANSACTION_FAILED, char(result));
    return scan != ScanResult::Ok;
}

bool Adapter::loadSlaves(const QList<int> &stations)
{
    releaseSlaves();
    qCDebug(lcAdapter).noquote() << stationListText(stations);
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    // The modules read so far stay as they were read while the rest are:
    // each is snapshotted once, not again with every module after it.
    SlaveList loaded;
    loaded.reserve(stations.size());
    for (int station : stations) {
        const COMM_STATUS_TYPE result = exchange(TBProtocol::readSlaveInfo(quint8(station)), reply, timeout);
        if (stopping())
            return false;
        if (result != COMM_OK) {
            reportError(MSG_TRANSACTION_FAILED, char(result));
            // With the link gone every further read fails the same way.
            if (result == COMM_NOT_CONNECTED)
                return false;
            continue;
        }
        if (reply.isEmpty()) {
            reportError(MSG_NO_REPLY_DATA, char(COMM_OK));
            return false;
        }
        const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(reply);
        if (info.station != station)
            continue;
        if (Slave *slave = newSlaveFromBlock(info.block, station)) {
            m_slaves.append(slave);
            loaded.append(takeSnapshot(*slave));
            reportLoad(MSG_SLAVE_ADDED, loaded);
        }
    }
    return true;
}

Slave *Adapter::newSlaveFromBlock(const TBReply::SlaveInfoBlock &block, int station)
{
    if (!block.isValid() || block.identity().isEmpty())
        return nullptr;
    Slave *slave = SlaveFactory().create(block.moduleKey(), station);
    qCDebug(lcAdapter) << "-----添加slave" << slave << station;
    slave->setBasicInfo(block.name(), block.moduleBytes());
    slave->setAlignment(m_alignmentUnit);
    slave->takeInfoBlock(block.stateByte(), block.raw);
    slave->setUuid(block.identity().toLatin1());
    slave->setLocalModule(station == 0);
    wireSlave(slave);
    return slave;
}

void Adapter::wireSlave(Slave *slave)
{
    slave->setParent(this);
    connect(slave, &Slave::sigUpdateIOData, this, &Adapter::onWriteOutputData);
    connect(slave, &Slave::sigSetConfig, this, &Adapter::onSetSlaveConfig);
    connect(slave, &Slave::sigSetUUIDConfig, this, &Adapter::onSetSlaveUUIDConfig);
    connect(slave, &Slave::sigCleanConfig, this, &Adapter::onCleanSlaveConfig);
    connect(slave, &Slave::sigLigthing, this, &Adapter::onSetSlaveLighting);
    connect(this, &Adapter::sigStopLighting, slave, &Slave::onStopLighting);
    connect(this, &Adapter::sigReadChannel, slave, &Slave::onReadChannel);
    connect(slave, &Slave::sigShareChannel, this, &Adapter::sigShareChannel);
}

Adapter::PendingEnd Adapter::readPendingReports(UsbDevice *device, int maxReads, bool requestMustSucceed,
                                                COMM_STATUS_TYPE &result, QByteArray &reply,
                                                const std::function<void(const TBReply::PendingIdentity &)> &onReport)
{
    const int timeout = linkTiming().replyTimeoutMs;
    result = exchange(device, TBProtocol::requestPendingIdentity(), reply, timeout);
    if (stopping())
        return PendingEnd::Stopped;
    if (requestMustSucceed && (result != COMM_OK || reply.isEmpty()))
        return PendingEnd::RequestFailed;
    for (int count = 0; count < maxReads; ++count) {
        result = exchange(device, TBProtocol::readPendingIdentity(), reply, timeout);
        if (stopping())
            return PendingEnd::Stopped;
        if (result != COMM_OK || reply.isEmpty())
            return PendingEnd::ReadFailed;
        const TBReply::PendingIdentity report = TBReply::decodePendingIdentity(reply);
        qCDebug(lcAdapter) << "----mac" << report.identity;
        if (report.identity.isEmpty())
            return PendingEnd::Ended;
        onReport(report);
    }
    return PendingEnd::Limit;
}

bool Adapter::collectPendingReports()
{
    COMM_STATUS_TYPE result = COMM_OK;
    QByteArray reply;
    const PendingEnd end = readPendingReports(m_device, kMaxPendingReads, true, result, reply,
                                              [this](const TBReply::PendingIdentity &report) {
                                                  applyReportedModule(report.block);
                                              });
    switch (end) {
    case PendingEnd::Stopped:
        return false;
    case PendingEnd::RequestFailed:
    case PendingEnd::ReadFailed:
        reportError(MSG_TRANSACTION_FAILED, char(result));
        return false;
    case PendingEnd::Limit:
        // An adapter that keeps answering must not trap the worker.
        qCWarning(lcAdapter) << "the adapter kept reporting modules; stopped after" << kMaxPendingReads;
        break;
    case PendingEnd::Ended:
        sendHandshake(linkTiming().replyTimeoutMs, false);
        break;
    }
    refreshList();
    return true;
}

void Adapter::applyReportedModule(const TBReply::SlaveInfoBlock &reported)
{
    if (reported.isEmpty() || !reported.isValid() || reported.typeCode() == 0)
        return;
    TBReply::SlaveInfoBlock block = reported;
    block.raw[0] = char(block.flags() | kReportedFlag);
    Slave *slave = findSlaveByUuid(block.identity().toLatin1());
    if (!slave) {
        slave = SlaveFactory().create(block.moduleKey(), block.station());
        if (!slave)
            return;
        wireSlave(slave);
        slave->setUuid(block.identity().toLatin1());
        m_slaves.append(slave);
    }
    slave->setBasicInfo(block.name(), block.moduleBytes());
    slave->setAlignment(m_alignmentUnit);
    slave->takeInfoBlock(block.stateByte(), block.raw);
    reportLoad(MSG_SLAVE_ADDED);
}

void Adapter::refreshList()
{
    std::stable_sort(m_slaves.begin(), m_slaves.end(),
                     [](const Slave *a, const Slave *b) { return a->stationId < b->stationId; });
}

void Adapter::onUpdateSlave(int)
{
    const tarnbus::LinkTiming &timing = linkTiming();
    beginOperation();
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::handshake(), reply, timing.connectTimeoutMs);
    if (stopping())
        return;
    if (!reportFailedExchange(result, reply) && TBReply::isHandshakeReady(reply))
        m_linked = true;

    TBReply::BusStatus bus;
    const ScanResult scan = waitForScan(kMaxScanReports, bus, result, reply);
    if (scan == ScanResult::Stopped)
        return;
    reportScanFailure(scan, result);
    if (scan == ScanResult::Failed && result == COMM_NOT_CONNECTED)
        m_linked = false;

    if (scan == ScanResult::Ok && bus.stationMap.any()) {
        QList<int> stations = bus.stations(false);
        stations.prepend(0); // the local module is probed whatever the map says
        loadSlaves(stations);
    }
    if (scan == ScanResult::Ok) {
        collectPendingReports();
        if (stopping())
            return;
    }
    updateSlaveCount();
    reportLoad(MSG_RELOADED);
    sendHandshake(timing.replyTimeoutMs, true);
    endOperation(COMM_OK); // polls again only while linked
}

void Adapter::onUpdateSlaveList()
{
    if (m_upgradeRunning || m_managerOperation || !usbStatusCheck())
        return;
    stopPolling();

    TBReply::BusStatus bus;
    if (!pollBusStatus(bus))
        return;
    QSet<int> confirmed;
    pollStations(bus, confirmed);
    if (stopping())
        return;
    storeStatusFlags(bus.status);
    reportLoad(MSG_STATUS);

    pollOnePendingReport(confirmed);
    if (stopping())
        return;
    sendHandshake(linkTiming().connectTimeoutMs, true);
    if (stopping())
        return;
    for (Slave *slave : qAsConst(m_slaves)) {
        if (!confirmed.contains(slave->stationId))
            slave->markNotConfirmed();
    }

    if (m_listChanged) {
        m_listChanged = false;
        refreshList();
        reportLoad(MSG_LIST_CHANGED);
    }
    updateSlaveCount();
    startPolling();
}

void Adapter::requestBusRead()
{
    inWorker([this] {
        if (!m_offline && m_linked && !m_forceMode && !m_busy)
            onUpdateSlaveList();
        if (stopping())
            return;
        reportLoad(MSG_REFRESH_ROWS);
    });
}

// The poll's scan wait: a poll reports at most one more progress step than
// a connect. False when the poll ends here.
bool Adapter::pollBusStatus(TBReply::BusStatus &bus)
{
    QByteArray reply;
    COMM_STATUS_TYPE result = COMM_OK;
    const ScanResult scan = waitForScan(kMaxScanReports + 1, bus, result, reply);
    if (scan == ScanResult::Stopped)
        return false;
    if (scan == ScanResult::Ok) {
        qCDebug(lcAdapter).noquote() << reply.toHex(' ').toUpper();
        return true;
    }
    if (scan == ScanResult::EmptyReply)
        reportError(MSG_NO_REPLY_DATA, char(result));
    else if (result == COMM_REFUSED)
        reportError(MSG_TRANSACTION_FAILED, char(result));
    else
        reportError(MSG_TRANSACTION_FAILED, 0, 0, COMM_NOT_CONNECTED);
    if (result == COMM_NOT_CONNECTED || result == COMM_CHECK_ERROR)
        dropLink();
    else
        startPolling();
    return false;
}

// Reads every station of the map. A module the list does not know is new on
// the bus or has taken the place of the module that answered at its station
// (a module swapped during commissioning): it gets a record of its own kind.
void Adapter::pollStations(const TBReply::BusStatus &bus, QSet<int> &confirmed)
{
    const int timeout = linkTiming().replyTimeoutMs;
    const int expected = bus.slaveCount + (bus.localPresent ? 1 : 0);
    if (m_slaves.size() < expected) {
        m_listChanged = true;
        releaseSlaves();
    }
    QByteArray reply;
    for (int station : bus.stations(bus.localPresent)) {
        const COMM_STATUS_TYPE result = exchange(TBProtocol::readSlaveInfo(quint8(station)), reply, timeout);
        if (stopping())
            return;
        if (reply.isEmpty()) {
            reportError(MSG_NO_REPLY_DATA, char(COMM_OK));
            return;
        }
        if (result != COMM_OK) {
            reportError(MSG_TRANSACTION_FAILED, char(result));
            continue;
        }
        const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(reply);
        if (info.station != station || !info.block.isValid() || info.block.identity().isEmpty())
            continue;
        confirmed.insert(station);
        if (Slave *known = findSlaveByUuid(info.block.identity().toLatin1())) {
            // The module is what it reports: its areas and parameters, and
            // the station it answers at (a write whose answer was lost may
            // have moved it).
            known->takeInfoBlock(info.block.stateByte(), info.block.raw);
            if (known->stationId != station || known->newStationId != station) {
                known->takeReportedStation(station);
                m_listChanged = true;
            }
            continue;
        }
        Slave *slave = newSlaveFromBlock(info.block, station);
        if (Slave *previous = recordAnsweringAt(station)) {
            qCDebug(lcAdapter) << "station" << station << "now holds" << info.block.identity() << "instead of" << previous->uuid;
            m_slaves.replace(m_slaves.indexOf(previous), slave);
            previous->deleteLater();
        } else {
            m_slaves.append(slave);
        }
        m_listChanged = true;
        reportLoad(MSG_SLAVE_ADDED);
    }
}

// The record of the module that answers the station reads at this station;
// modules sharing it are reported through the identity queue instead.
Slave *Adapter::recordAnsweringAt(int station) const
{
    for (Slave *slave : m_slaves) {
        if (slave->stationId == station && !(RecordLayout::byteAt(slave->rawInfo, 0) & kReportedFlag))
            return slave;
    }
    return nullptr;
}

// One pending identity report per poll, unless an operation is running.
void Adapter::pollOnePendingReport(QSet<int> &confirmed)
{
    COMM_STATUS_TYPE result = COMM_OK;
    QByteArray reply;
    const int reads = m_busy || m_managerOperation ? 0 : 1;
    const PendingEnd end = readPendingReports(m_device, reads, true, result, reply, [&](const TBReply::PendingIdentity &report) {
        TBReply::SlaveInfoBlock block = report.block;
        if (!block.isValid() || block.typeCode() == 0)
            return;
        Slave *slave = findSlaveByUuid(report.identity.toLatin1());
        if (!slave)
            return;
        block.raw[0] = char(block.flags() | kReportedFlag);
        slave->takeReportedStation(block.station());
        slave->takeReportedBlock(block.stateByte(), block.raw);
        slave->setBasicInfo(block.name(), block.moduleBytes());
        confirmed.insert(block.station());
    });
    if (end == PendingEnd::RequestFailed || end == PendingEnd::ReadFailed)
        reportFailedExchange(result, reply);
}

// Declares the link lost and watches for the adapter exactly as after an
// unplug, so that it is reconnected when it answers again.
void Adapter::dropLink()
{
    m_linked = false;
    if (m_device && !m_device->isClosed()) // a device that failed has reported already
        m_device->dropAndWatch();
}

void Adapter::onUsbDeviceStateChanged(int state, int code)
{
    if (state != kStateDevice)
        return;
    if (code == kDeviceFailed) {
        m_linked = false;
        if (m_ioTimer)
            m_ioTimer->stop();
        stopPolling();
        // The process-data cycle has ended with the link, but nothing says
        // the adapter has stopped forcing: force mode stays shown until the
        // adapter, back again, has confirmed leaving it.
        UsbGlobal::setOpenedDeviceCount(0);
        reportError(MSG_USB_STATE, -2);
    } else if (code == kDeviceBack) {
        reportError(MSG_USB_STATE, -1);
        m_listChanged = true;
        UsbGlobal::setOpenedDeviceCount(1);
        runConnectSequence();
    }
}
