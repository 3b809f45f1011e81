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
    qRegisterMetaType<COMM_STATUS_TYPE>("COMM_STATUS_TYPE");
    qRegisterMetaType<QList<Slave *>>("QList<Slave*>");
    qRegisterMetaType<QMap<int, Slave *>>("QMap<int,Slave*>");
    qRegisterMetaType<QMap<int, QByteArray>>("QMap<int,QByteArray>");
}

void Adapter::setAlignmentUnit(int unit)
{
    m_alignmentUnit = unit;
    for (Slave *slave : qAsConst(m_slaves))
        slave->setAlignment(unit);
}

void Adapter::setSettings(quint8 settingsByte, quint16 threshold)
{
    m_settingsByte = settingsByte;
    m_threshold = threshold;
}

void Adapter::requestShutdown()
{
    m_stopping = true;
    std::lock_guard<std::mutex> guard(m_deviceLock);
    if (m_device)
        m_device->abort();
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

bool Adapter::isPolling() const
{
    return m_pollTimer && m_pollTimer->isActive();
}

Slave *Adapter::findSlaveByUuid(const QByteArray &uuid) const
{
    for (Slave *slave : m_slaves) {
        if (slave->uuid == uuid)
            return slave;
    }
    return nullptr;
}

Slave *Adapter::findSlaveByStation(int station) const
{
    for (Slave *slave : m_slaves) {
        if (slave->stationId == station)
            return slave;
    }
    return nullptr;
}

QByteArray Adapter::identity12(const Slave *slave)
{
    QByteArray id = slave->uuid.left(kIdentitySize);
    id.append(QByteArray(kIdentitySize - id.size(), '\0'));
    return id;
}

QByteArray Adapter::addressRecord(const Slave *slave, int current, int requested, quint16 inputWord, quint16 outputWord)
{
    constexpr int kStationsOffset = kIdentitySize;
    constexpr int kParamsOffset = kStationsOffset + RecordLayout::kShortParamOffset;
    QByteArray record(kRecordSize, '\0');
    record.replace(0, kIdentitySize, identity12(slave));
    record[kStationsOffset] = char(current);
    record[kStationsOffset + 1] = char(requested);
    record[kStationsOffset + RecordLayout::kInputPos] = char(inputWord & 0xFF);
    record[kStationsOffset + RecordLayout::kInputPos + 1] = char(inputWord >> 8);
    record[kStationsOffset + RecordLayout::kOutputPos] = char(outputWord & 0xFF);
    record[kStationsOffset + RecordLayout::kOutputPos + 1] = char(outputWord >> 8);
    record.replace(kParamsOffset, RecordLayout::kParamBlockSize,
                   slave->configurationRecord().mid(RecordLayout::kShortParamOffset, RecordLayout::kParamBlockSize));
    return record;
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

void Adapter::reportLoad(adapter_message_type type, int value)
{
    emit sigSlaveLoadingFinished(type, m_status, m_slaves, value);
}

void Adapter::reportLoadWithout(adapter_message_type type)
{
    emit sigSlaveLoadingFinished(type, m_status, QList<Slave *>(), 0);
}

void Adapter::reportError(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status)
{
    emit sigErrMessage(type, err, sid, status, QList<Slave *>(), QList<Slave *>());
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
    reportLoadWithout(MSG_LOAD_FINISHED);
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
