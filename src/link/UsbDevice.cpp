#include "UsbDevice.h"

#include "HidLibrary.h"
#include "LinkLog.h"
#include "LinkTiming.h"
#include "UsbGlobal.h"

#include <hidapi.h>

#include <QMutexLocker>
#include <QThread>
#include <QTimer>

using tarnbus::linkTiming;

namespace {
constexpr int kStateDevice = 3;
constexpr int kCodeFailed = 1;
constexpr int kCodeBack = 0;
constexpr int kRawReportSize = UsbDevice::kReportSize + 1; // report id + payload
} // namespace

UsbDevice::UsbDevice(QObject *parent)
    : QObject(parent)
    , m_refreshTimer(new QTimer(this))
    , m_settleTimer(new QTimer(this))
{
    m_refreshTimer->setInterval(linkTiming().replugCheckPeriodMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &UsbDevice::onRefreshTimerCallback);
    m_settleTimer->setSingleShot(true);
    connect(m_settleTimer, &QTimer::timeout, this, &UsbDevice::onSettled);
}

UsbDevice::~UsbDevice()
{
    m_refreshTimer->stop();
    m_refreshTimer->deleteLater();
    m_settleTimer->stop();
    // Close rather than merely forget the handle: a forgotten handle keeps
    // the adapter busy for every later open.
    tarnbus::hid::close(m_handle);
    m_handle = nullptr;
    if (m_counted)
        UsbGlobal::decrementOpenedDeviceCount();
    qCDebug(lcLink) << "delete";
}

int UsbDevice::openDevice(quint16 vendorId, quint16 productId, const QString &serial)
{
    if (!tarnbus::hid::initialise())
        return 1;
    m_vendorId = vendorId;
    m_productId = productId;
    m_serial = serial;
    openWithStoredIdentity();
    if (!m_counted) {
        m_counted = true;
        UsbGlobal::incrementOpenedDeviceCount();
    }
    return 0;
}

int UsbDevice::reopenDevice()
{
    if (!tarnbus::hid::initialise())
        return 1;
    openWithStoredIdentity();
    return 0;
}

int UsbDevice::openWithStoredIdentity()
{
    tarnbus::hid::close(m_handle);
    m_handle = tarnbus::hid::open(m_vendorId, m_productId, m_serial);
    m_opened = true;
    m_closed = false;
    return m_handle ? 0 : 1;
}

void UsbDevice::closeDevice()
{
    m_refreshTimer->stop();
    m_settleTimer->stop();
    tarnbus::hid::close(m_handle);
    m_handle = nullptr;
    m_state = StateIdle;
    m_opened = false;
    m_closed = true;
}

void UsbDevice::dropDevice()
{
    m_state = StateIdle;
    m_closed = true;
    m_opened = false;
    tarnbus::hid::close(m_handle);
    m_handle = nullptr;
}

void UsbDevice::dropAndWatch()
{
    dropDevice();
    emit sigStateChanged(kStateDevice, kCodeFailed);
    // A transaction may run on a thread other than the device's own (the
    // offline download does); the timer must be started in its own thread.
    const int period = linkTiming().replugCheckPeriodMs;
    if (QThread::currentThread() == thread())
        m_refreshTimer->start(period);
    else
        QMetaObject::invokeMethod(m_refreshTimer, [timer = m_refreshTimer, period] { timer->start(period); }, Qt::QueuedConnection);
}

int UsbDevice::writeReport(const QByteArray &payload)
{
    if (!m_handle)
        return 1;
    unsigned char report[kRawReportSize] = {};
    std::copy_n(payload.constData(), std::min<int>(payload.size(), kReportSize), report + 1);
    if (hid_write(m_handle, report, sizeof report) >= 0)
        return 0;
    dropAndWatch();
    return 1;
}

void UsbDevice::abort()
{
    {
        std::lock_guard<std::mutex> guard(m_abortMutex);
        m_aborted = true;
    }
    m_abortSignal.notify_all();
}

// Sleeps for ms unless the device is aborted; false when aborted.
bool UsbDevice::pause(int ms)
{
    std::unique_lock<std::mutex> guard(m_abortMutex);
    return !m_abortSignal.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_aborted.load(); });
}

int UsbDevice::readReport(QByteArray &out, int timeoutMs)
{
    if (!m_handle)
        return ReadNoHandle;
    // Wait in slices so that an abort ends a long time-out promptly.
    constexpr int kSliceMs = 50;
    unsigned char report[kRawReportSize] = {};
    int received = 0;
    int remaining = timeoutMs;
    do {
        const int slice = remaining < 0 ? kSliceMs : std::min(remaining, kSliceMs);
        received = hid_read_timeout(m_handle, report, sizeof report, slice);
        if (remaining > 0)
            remaining -= slice;
    } while (received == 0 && remaining != 0 && !m_aborted);
    if (received < 0) {
        dropAndWatch();
        return ReadFailed;
    }
    if (received == 0) {
        qCDebug(lcLink) << "modbus read timeout:" << timeoutMs;
        return ReadTimedOut;
    }
    out.append(reinterpret_cast<const char *>(report), received);
    return ReadOk;
}

// A reply that arrived after its request timed out must never be taken as
// the answer to the next request: empty the input queue first.
bool UsbDevice::discardPendingInput()
{
    unsigned char report[kRawReportSize];
    for (;;) {
        const int received = hid_read_timeout(m_handle, report, sizeof report, 0);
        if (received == 0)
            return true;
        if (received < 0) {
            dropAndWatch();
            return false;
        }
        qCDebug(lcLink) << "discarded stale report:"
                        << QByteArray(reinterpret_cast<const char *>(report), received).toHex(' ').toUpper();
    }
}

COMM_STATUS_TYPE UsbDevice::transact(const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    QMutexLocker locker(&m_mutex);
    if (m_closed || m_aborted)
        return COMM_NOT_CONNECTED;
    if (m_state == StateRunning)
        return COMM_BUSY;

    const tarnbus::LinkTiming &timing = linkTiming();
    qCDebug(lcLink).noquote() << request.toHex(' ').toUpper();
    m_state = StateRunning;
    if (!pause(timing.beforeRequestMs)) {
        m_state = StateCompleted;
        return COMM_NOT_CONNECTED;
    }

    if (m_handle && !discardPendingInput()) {
        m_state = StateWriteFailed;
        return COMM_NOT_CONNECTED;
    }

    QByteArray first;
    first.reserve(kReportSize);
    first.append(char(kFirstReportMarker)).append(char(kFirstPartSize)).append(request.left(kFirstPartSize));
    if (writeReport(first) != 0) {
        m_state = StateWriteFailed;
        return COMM_NOT_CONNECTED;
    }
    if (!pause(timing.betweenRequestReportsMs)) {
        m_state = StateCompleted;
        return COMM_NOT_CONNECTED;
    }
    QByteArray second;
    second.reserve(kReportSize);
    second.append(char(kSecondReportMarker)).append(char(kSecondPartSize)).append(request.mid(kFirstPartSize, kSecondPartSize));
    if (writeReport(second) != 0) {
        m_state = StateWriteFailed;
        return COMM_NOT_CONNECTED;
    }

    const auto byteAt = [&request](int i) { return quint32(quint8(request.at(i))); };
    if (request.size() > 3) {
        m_echo = (byteAt(3) << 16) | (request.size() > 4 ? byteAt(4) << 8 : 0) | (request.size() > 5 ? byteAt(5) : 0);
        m_nibble = quint8(byteAt(3) & 0x0F);
    } else {
        m_echo = 0;
        m_nibble = 0;
    }

    if (!pause(timing.beforeReplyMs)) {
        m_state = StateCompleted;
        return COMM_NOT_CONNECTED;
    }
    QByteArray firstReply;
    switch (readReport(firstReply, timeoutMs)) {
    case ReadOk:
        break;
    case ReadTimedOut:
        qCDebug(lcLink) << "read1 timeOut:";
        m_state = StateCompleted;
        return m_aborted ? COMM_NOT_CONNECTED : COMM_TIMEOUT;
    default: // the device went away: nothing was collected
        m_state = StateCompleted;
        return COMM_REPLY_ERROR;
    }
    if (quint8(firstReply.at(0)) == kErrorReportMarker) {
        qCDebug(lcLink).noquote() << "read :" << firstReply.toHex(' ').toUpper();
        m_state = StateCompleted;
        return COMM_REPLY_ERROR;
    }

    if (!pause(timing.betweenReplyReportsMs)) {
        m_state = StateCompleted;
        return COMM_NOT_CONNECTED;
    }
    QByteArray secondReply;
    switch (readReport(secondReply, timeoutMs)) {
    case ReadOk:
        break;
    case ReadTimedOut:
        qCDebug(lcLink) << "read2 timeOut:";
        m_state = StateCompleted;
        return m_aborted ? COMM_NOT_CONNECTED : COMM_TIMEOUT;
    default:
        m_state = StateCompleted;
        return COMM_REPLY_ERROR;
    }

    reply.append(firstReply.mid(2, kFirstPartSize));
    reply.append(secondReply.mid(2, kSecondPartSize));

    m_state = StateCompleted;
    if (reply.isEmpty())
        return COMM_REPLY_ERROR;
    if (reply.size() < kFrameSize)
        return COMM_CRC_ERROR;
    const auto *bytes = reinterpret_cast<const quint8 *>(reply.constData());
    const quint16 computed = UsbGlobal::crc16(bytes, kFrameSize - 2, 0);
    const quint16 stored = quint16((bytes[kFrameSize - 1] << 8) | bytes[kFrameSize - 2]);
    if (computed != stored)
        return COMM_CRC_ERROR;
    if (m_nibble != 0 && (reply.size() <= 3 || (bytes[3] & 0x0F) != m_nibble))
        return COMM_CHECK_ERROR;
    return COMM_OK;
}

void UsbDevice::onRefreshTimerCallback()
{
    if (!UsbGlobal::isDevicePresent(m_serial))
        return;
    m_refreshTimer->stop();
    reopenDevice();
    if (!m_handle) {
        // Seen on the bus but not yet openable: keep watching.
        m_closed = true;
        m_opened = false;
        m_refreshTimer->start(linkTiming().replugCheckPeriodMs);
        return;
    }

    // Give the adapter time to settle before reporting it back. The wait is a
    // timer rather than a nested event loop, so that this thread's events are
    // served meanwhile without anything re-entering the device.
    m_settleTimer->start(linkTiming().replugSettleMs);
}

void UsbDevice::onSettled()
{
    if (m_handle)
        emit sigStateChanged(kStateDevice, kCodeBack);
}
