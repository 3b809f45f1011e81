#include "Adapter.h"

#include "AdapterLog.h"
#include "LinkTiming.h"
#include "RecordLayout.h"
#include "Slave.h"
#include "UsbDevice.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAdapter, "tarnbus.adapter")

using tarnbus::linkTiming;

Adapter::Adapter(QObject *parent)
    : QObject(parent)
    , m_outputImage(kOutputImageSize, '\0')
{
    registerMetaTypes();
    connect(this, &Adapter::sigSetSerialPort, this, &Adapter::onSetUsbInfo);
    connect(this, &Adapter::sigLoadingLocalInfo, this, &Adapter::onLoadingLocalInfo);
    connect(this, &Adapter::sigSaveAdapterConfig, this, &Adapter::onSaveAdapterConfig);
    connect(this, &Adapter::sigSetAdapterCmd, this, &Adapter::onSetAdapterCmd);
    connect(this, &Adapter::sigClean, this, &Adapter::onDeleteAdapter);
    connect(this, &Adapter::sigAutoSetLocalSlaveAddr, this, &Adapter::onAutoSetLocalSlaveAddr);
}

Adapter::~Adapter()
{
    // Normally onDeleteAdapter has released everything already.
    destroyDevice();
    qDeleteAll(m_slaves);
}

void Adapter::registerMetaTypes()
{
    qRegisterMetaType<adapter_message_type>("adapter_message_type");
    qRegisterMetaType<AdapterStatus>("AdapterStatus");
    qRegisterMetaType<AdapterState>("AdapterState");
    qRegisterMetaType<COMM_STATUS_TYPE>("COMM_STATUS_TYPE");
    qRegisterMetaType<CsvImportResult>("CsvImportResult");
    qRegisterMetaType<QList<CsvImportResult>>("QList<CsvImportResult>");
    qRegisterMetaType<SettingsReadBack>("SettingsReadBack");
    qRegisterMetaType<QMap<int, QByteArray>>("QMap<int,QByteArray>");
    qRegisterMetaType<QMap<quint64, int>>("QMap<quint64,int>");
    registerSnapshotMetaTypes();
}

// ---------------------------------------------------------------------------
// Any thread

void Adapter::inWorker(std::function<void()> fn)
{
    if (QThread::currentThread() == thread())
        fn();
    else
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void Adapter::setAlignmentUnit(int unit)
{
    inWorker([this, unit] {
        if (unit < 1)
            return;
        m_alignmentUnit = unit;
        for (Slave *slave : qAsConst(m_slaves))
            slave->setAlignment(unit);
        reportLoad(MSG_REFRESH_ROWS);
    });
}

void Adapter::setSettings(quint8 settingsByte, quint16 threshold)
{
    inWorker([this, settingsByte, threshold] {
        m_requestedSettingsByte = settingsByte;
        m_requestedThreshold = threshold;
    });
}

void Adapter::requestSettingsWrite(quint8 settingsByte, quint16 threshold, bool changeThreshold)
{
    inWorker([this, settingsByte, threshold, changeThreshold] {
        m_requestedSettingsByte = settingsByte;
        m_requestedThreshold = threshold;
        writeSettings(changeThreshold ? 1 : 0);
    });
}

void Adapter::requestShutdown()
{
    m_stopping = true;
    std::lock_guard<std::mutex> guard(m_deviceLock);
    if (m_device)
        m_device->abort();
    if (m_downloadDevice)
        m_downloadDevice->abort();
}

void Adapter::requestReport()
{
    inWorker([this] { reportLoad(MSG_REFRESH_ROWS); });
}

void Adapter::requestSlaveConfig(quint64 recordId, const QByteArray &record)
{
    inSlave(recordId, [record](Slave *slave) { slave->applyConfig(record); });
}

void Adapter::requestSlaveEditedConfig(quint64 recordId, const QByteArray &record)
{
    // The local module's record goes the same way: it keeps station 0, and
    // what the adapter does not take is not taken by the record either.
    inSlave(recordId, [this, record](Slave *slave) { writeEditedRecord(slave, record); });
}

void Adapter::requestSlaveClear(quint64 recordId)
{
    inSlave(recordId, [](Slave *slave) { slave->cleanSlaveID(); });
}

void Adapter::requestSlaveLamp(quint64 recordId, bool on)
{
    // The slave's lamp state follows the adapter's answer (onSetSlaveLighting).
    inSlave(recordId, [on](Slave *slave) { emit slave->sigLigthing(on ? slave->uuid : QByteArray()); });
}

void Adapter::requestSlaveOutput(quint64 recordId, int index, int value)
{
    inSlave(recordId, [this, index, value](Slave *slave) {
        slave->setOutputValue(index, value);
        writeOutputsOf(slave);
    });
}

void Adapter::requestSlaveOutputs(quint64 recordId, const QVector<int> &values)
{
    inSlave(recordId, [this, values](Slave *slave) {
        for (int i = 0; i < values.size(); ++i)
            slave->setOutputValue(i, values.at(i));
        writeOutputsOf(slave);
    });
}

void Adapter::requestSlaveDefaults(quint64 recordId)
{
    inSlave(recordId, [this](Slave *slave) {
        slave->restoreDefaults();
        reportLoad(MSG_REFRESH_ROWS);
    });
}

void Adapter::inSlave(quint64 recordId, const std::function<void(Slave *)> &fn)
{
    inWorker([this, recordId, fn] {
        if (Slave *slave = findSlaveByRecordId(recordId))
            fn(slave);
        else
            qCDebug(lcAdapter) << "request for record" << recordId << "that is gone";
    });
}

// ---------------------------------------------------------------------------
// Adapter's thread only

void Adapter::checkThread(const char *what) const
{
    QThread *worker = thread();
    if (QThread::currentThread() != worker && worker->isRunning())
        qFatal("Adapter::%s called outside the adapter's thread", what);
}

QList<Slave *> Adapter::slaveList() const
{
    checkThread("slaveList");
    return m_slaves;
}

SlaveList Adapter::snapshots() const
{
    checkThread("snapshots");
    return takeSnapshots(m_slaves);
}

AdapterState Adapter::state() const
{
    checkThread("state");
    AdapterState s;
    s.mac = m_mac;
    s.offline = m_offline;
    s.linked = m_linked;
    s.forceMode = m_forceMode;
    s.hVariant = m_hVariant;
    s.alignmentUnit = m_alignmentUnit;
    s.settingsKnown = m_settingsKnown;
    s.settingsByte = m_settingsByte;
    s.threshold = m_threshold;
    s.appVersion = m_appVersion;
    s.infoItems = m_infoItems;
    return s;
}

AdapterStatus Adapter::status() const
{
    checkThread("status");
    return m_status;
}

QList<AdapterInfoItem> Adapter::infoItems() const
{
    checkThread("infoItems");
    return m_infoItems;
}

QString Adapter::mac() const
{
    checkThread("mac");
    return m_mac;
}

bool Adapter::isLinked() const
{
    checkThread("isLinked");
    return m_linked;
}

bool Adapter::isBusy() const
{
    checkThread("isBusy");
    return m_busy;
}

bool Adapter::isForceMode() const
{
    checkThread("isForceMode");
    return m_forceMode;
}

bool Adapter::isHVariant() const
{
    checkThread("isHVariant");
    return m_hVariant;
}

bool Adapter::isPolling() const
{
    checkThread("isPolling");
    return m_pollTimer && m_pollTimer->isActive();
}

bool Adapter::isImporting() const
{
    checkThread("isImporting");
    return m_importing;
}

int Adapter::alignmentUnit() const
{
    checkThread("alignmentUnit");
    return m_alignmentUnit;
}

quint8 Adapter::settingsByte() const
{
    checkThread("settingsByte");
    return m_settingsByte;
}

quint16 Adapter::threshold() const
{
    checkThread("threshold");
    return m_threshold;
}

quint32 Adapter::appVersion() const
{
    checkThread("appVersion");
    return m_appVersion;
}

QByteArray Adapter::outputImage() const
{
    checkThread("outputImage");
    return m_outputImage;
}

Slave *Adapter::findSlaveByUuid(const QByteArray &uuid) const
{
    checkThread("findSlaveByUuid");
    for (Slave *slave : m_slaves) {
        if (slave->uuid == uuid)
            return slave;
    }
    return nullptr;
}

Slave *Adapter::findSlaveByStation(int station) const
{
    checkThread("findSlaveByStation");
    for (Slave *slave : m_slaves) {
        if (slave->stationId == station)
            return slave;
    }
    return nullptr;
}

Slave *Adapter::findSlaveByRecordId(quint64 recordId) const
{
    checkThread("findSlaveByRecordId");
    for (Slave *slave : m_slaves) {
        if (slave->recordId() == recordId)
            return slave;
    }
    return nullptr;
}

void Adapter::createDevice()
{
    auto *device = new UsbDevice;
    connect(device, &UsbDevice::sigStateChanged, this, &Adapter::onUsbDeviceStateChanged);
    std::lock_guard<std::mutex> guard(m_deviceLock);
    m_device = device;
    if (stopping())
        m_device->abort();
}

void Adapter::destroyDevice()
{
    UsbDevice *device = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_deviceLock);
        std::swap(device, m_device);
    }
    if (device) {
        device->closeDevice();
        delete device;
    }
}

// ---------------------------------------------------------------------------
// Plumbing

COMM_STATUS_TYPE Adapter::exchange(UsbDevice *device, const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    reply.clear();
    if (!device || stopping())
        return COMM_NOT_CONNECTED;
    return device->transact(request, reply, timeoutMs);
}

COMM_STATUS_TYPE Adapter::exchange(const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    return exchange(m_device, request, reply, timeoutMs);
}

// Tells the other threads what changed of the adapter's own state, ahead of
// the notification that goes with the change.
void Adapter::publishState()
{
    const AdapterState current = state();
    if (m_statePublished && current == m_publishedState)
        return;
    m_publishedState = current;
    m_statePublished = true;
    emit sigAdapterState(current);
}

void Adapter::reportLoad(adapter_message_type type, int value)
{
    reportLoad(type, takeSnapshots(m_slaves), value);
}

void Adapter::reportLoad(adapter_message_type type, const SlaveList &snapshots, int value)
{
    publishState();
    emit sigSlaveLoadingFinished(type, m_status, snapshots, value);
}

void Adapter::reportError(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status)
{
    publishState();
    emit sigErrMessage(type, err, sid, status, SlaveList(), SlaveList());
}

bool Adapter::reportFailedExchange(COMM_STATUS_TYPE result, const QByteArray &reply)
{
    if (reply.isEmpty()) {
        reportError(MSG_NO_REPLY_DATA, char(result));
        return true;
    }
    if (result != COMM_OK) {
        reportError(MSG_TRANSACTION_FAILED, char(result));
        return true;
    }
    return false;
}

void Adapter::startPolling()
{
    // Without the link there is nothing to poll; the link's return restarts it.
    // In force mode the link belongs to the process-data cycle; leaving force
    // mode restarts polling.
    if (m_pollTimer && m_linked && !m_forceMode && !stopping())
        m_pollTimer->start(linkTiming().pollPeriodMs);
}

void Adapter::stopPolling()
{
    if (m_pollTimer)
        m_pollTimer->stop();
}

void Adapter::storeStatusFlags(quint8 status)
{
    m_status.status0 = status & 0x01;
    m_status.status1 = (status >> 1) & 0x01;
    m_status.status2 = (status >> 2) & 0x01;
    m_status.status4 = (status >> 4) & 0x01;
}

void Adapter::updateSlaveCount()
{
    m_status.slaveCount = m_slaves.size();
}

void Adapter::releaseSlaves()
{
    for (Slave *slave : qAsConst(m_slaves))
        slave->deleteLater();
    m_slaves.clear();
}

void Adapter::releaseSlave(Slave *slave)
{
    m_slaves.removeOne(slave);
    slave->deleteLater();
}

// ---------------------------------------------------------------------------
// Small slots

int Adapter::usbStatusCheck()
{
    if (!m_linked) {
        if (m_ioTimer)
            m_ioTimer->stop();
        stopPolling();
        reportError(MSG_NOT_LINKED, -2);
    }
    return m_linked;
}

void Adapter::onClearAbnormal()
{
    usbStatusCheck();
}

void Adapter::onGetSlaveTimeout()
{
    emit sigGetSlaveTimeout();
}

void Adapter::onCloseSerialPortStatus()
{
    if (m_ioTimer)
        m_ioTimer->stop();
    emit sigSerialPortOff();
}

void Adapter::onRecordWorkStatus()
{
}

void Adapter::onSaveWorkStatus()
{
}

void Adapter::readFaultCode(COMM_STATUS_TYPE status)
{
    reportError(MSG_TRANSACTION_FAILED, char(status));
}

void Adapter::clearSlave()
{
    releaseSlaves();
}

void Adapter::onLoadingLocalInfo()
{
    m_status.localInfo = 1;
    reportLoad(MSG_LOAD_FINISHED);
}

void Adapter::onDeleteAdapter()
{
    m_stopping = true;
    if (m_ioTimer)
        m_ioTimer->stop();
    stopPolling();
    destroyDevice();
    releaseSlaves();
    if (QThread *worker = thread(); worker && worker != QCoreApplication::instance()->thread()) {
        worker->exit(0);
        worker->quit();
    }
    deleteLater();
}
