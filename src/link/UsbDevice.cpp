#include "UsbDevice.h"

#include "FrameTrace.h"
#include "HidLibrary.h"
#include "LinkDiagnostics.h"
#include "LinkLog.h"
#include "LinkTiming.h"
#include "UsbGlobal.h"

#include <hidapi.h>

#include <QThread>
#include <QTimer>

#include <optional>
#include <type_traits>
#include <utility>

using tarnbus::linkTiming;
using tarnbus::trace::Direction;

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
    {
        // Close rather than merely forget the handle: a forgotten handle
        // keeps the adapter busy for every later open.
        std::lock_guard<std::mutex> locker(m_mutex);
        closeHandleLocked();
    }
    if (m_counted)
        UsbGlobal::decrementOpenedDeviceCount();
    qCDebug(lcLink) << "delete";
}

template <typename Step>
auto UsbDevice::underLock(Step step) -> decltype(step())
{
    bool failed = false;
    const auto report = [this, &failed] {
        if (failed)
            emit sigStateChanged(kStateDevice, kCodeFailed);
    };
    if constexpr (std::is_void_v<decltype(step())>) {
        {
            std::lock_guard<std::mutex> locker(m_mutex);
            step();
            failed = std::exchange(m_failurePending, false);
        }
        report();
    } else {
        auto result = [&] {
            std::lock_guard<std::mutex> locker(m_mutex);
            auto stepResult = step();
            failed = std::exchange(m_failurePending, false);
            return stepResult;
        }();
        report();
        return result;
    }
}

int UsbDevice::openDevice(quint16 vendorId, quint16 productId, const QString &serial)
{
    if (!tarnbus::hid::initialise())
        return 1;
    underLock([&] {
        m_vendorId = vendorId;
        m_productId = productId;
        m_serial = serial;
        m_diagnostics = LinkDiagnostics::forSerial(serial);
        openLocked();
        if (!m_counted) {
            m_counted = true;
            UsbGlobal::incrementOpenedDeviceCount();
        }
    });
    return 0;
}

int UsbDevice::reopenDevice()
{
    if (!tarnbus::hid::initialise())
        return 1;
    underLock([this] { openLocked(); });
    return 0;
}

QString UsbDevice::serialNumber() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_serial;
}

std::shared_ptr<LinkDiagnostics> UsbDevice::diagnostics() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_diagnostics;
}

void UsbDevice::openLocked()
{
    closeHandleLocked();
    m_handle = tarnbus::hid::open(m_vendorId, m_productId, m_serial);
    m_opened = true;
    m_closed = false;
}

void UsbDevice::closeHandleLocked()
{
    tarnbus::hid::close(m_handle);
    m_handle = nullptr;
}

void UsbDevice::closeDevice()
{
    setInterrupt(m_closing, true);
    underLock([this] {
        m_watching = false;
        inOwnThread([this] {
            m_refreshTimer->stop();
            m_settleTimer->stop();
        });
        closeHandleLocked();
        m_state = StateIdle;
        m_opened = false;
        m_closed = true;
    });
    setInterrupt(m_closing, false);
}

void UsbDevice::dropDevice()
{
    underLock([this] { dropLocked(); });
}

void UsbDevice::dropLocked()
{
    m_state = StateIdle;
    m_closed = true;
    m_opened = false;
    closeHandleLocked();
}

void UsbDevice::dropAndWatch()
{
    underLock([this] { dropAndWatchLocked(); });
}

void UsbDevice::dropAndWatchLocked()
{
    dropLocked();
    m_failurePending = true;
    m_watching = true;
    // A transaction may run on a thread other than the device's own; the
    // timer is started in its own thread.
    const int period = linkTiming().replugCheckPeriodMs;
    inOwnThread([timer = m_refreshTimer, period] { timer->start(period); });
}

void UsbDevice::inOwnThread(const std::function<void()> &call)
{
    if (QThread::currentThread() == thread())
        call();
    else
        QMetaObject::invokeMethod(this, call, Qt::QueuedConnection);
}

int UsbDevice::writeReport(const QByteArray &payload)
{
    return underLock([&] { return writeReportLocked(payload); });
}

int UsbDevice::writeReportLocked(const QByteArray &payload)
{
    if (!m_handle)
        return 1;
    unsigned char report[kRawReportSize] = {};
    std::copy_n(payload.constData(), std::min<int>(payload.size(), kReportSize), report + 1);
    if (hid_write(m_handle, report, sizeof report) >= 0)
        return 0;
    dropAndWatchLocked();
    return 1;
}

void UsbDevice::abort()
{
    setInterrupt(m_aborted, true);
}

void UsbDevice::setInterrupt(std::atomic<bool> &flag, bool on)
{
    {
        std::lock_guard<std::mutex> guard(m_abortMutex);
        flag = on;
    }
    m_abortSignal.notify_all();
}

// Sleeps for ms unless the device is aborted or being closed; false then.
bool UsbDevice::pause(int ms)
{
    std::unique_lock<std::mutex> guard(m_abortMutex);
    return !m_abortSignal.wait_for(guard, std::chrono::milliseconds(ms), [this] { return interrupted(); });
}

int UsbDevice::readReport(QByteArray &out, int timeoutMs)
{
    return underLock([&] { return readReportLocked(out, timeoutMs); });
}

int UsbDevice::readReportLocked(QByteArray &out, int timeoutMs)
{
    if (!m_handle)
        return ReadNoHandle;
    // Wait in slices so that an abort or a close ends a long time-out promptly.
    constexpr int kSliceMs = 50;
    unsigned char report[kRawReportSize] = {};
    int received = 0;
    int remaining = timeoutMs;
    do {
        const int slice = remaining < 0 ? kSliceMs : std::min(remaining, kSliceMs);
        received = hid_read_timeout(m_handle, report, sizeof report, slice);
        if (remaining > 0)
            remaining -= slice;
    } while (received == 0 && remaining != 0 && !interrupted());
    if (received < 0) {
        dropAndWatchLocked();
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
// the answer to the next request: empty the input queue first. A device that
// keeps sending would hold the link for good; it is given up on once it has
// sent more than a quiet device can have queued.
UsbDevice::Discard UsbDevice::discardPendingInput()
{
    if (!m_handle)
        return Discard::Emptied;
    unsigned char report[kRawReportSize];
    for (int discarded = 0; discarded <= kMaxStaleReports; ++discarded) {
        if (interrupted())
            return Discard::Interrupted;
        const int received = hid_read_timeout(m_handle, report, sizeof report, 0);
        if (received == 0)
            return Discard::Emptied;
        if (received < 0) {
            dropAndWatchLocked();
            return Discard::Failed;
        }
        const QByteArray stale(reinterpret_cast<const char *>(report), received);
        traceReport(Direction::In, stale);
        qCDebug(lcLink) << "discarded stale report:" << stale.toHex(' ').toUpper();
    }
    qCWarning(lcLink) << "the adapter keeps sending unasked reports; the request is not sent";
    return Discard::StillSending;
}

COMM_STATUS_TYPE UsbDevice::transact(const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    return underLock([&] { return transactLocked(request, reply, timeoutMs); });
}

COMM_STATUS_TYPE UsbDevice::transactLocked(const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    if (m_closed || interrupted())
        return COMM_NOT_CONNECTED;
    if (m_state == StateRunning)
        return COMM_BUSY;
    qCDebug(lcLink).noquote() << request.toHex(' ').toUpper();
    m_state = StateRunning;
    m_sentAtNs = 0;
    m_repliedAtNs = 0;
    m_replyReports = 0;
    m_errorReport = false;
    m_traceFirst = 0;
    COMM_STATUS_TYPE result = sendRequest(request);
    if (result == COMM_OK)
        result = receiveReply(reply, timeoutMs);
    if (result == COMM_OK)
        result = checkReply(reply);
    account(result);
    return result;
}

// The counters are relaxed atomics of the adapter's LinkDiagnostics, written
// here under the device's mutex that the exchange holds anyway; the trace is
// one atomic load while it is off.
void UsbDevice::account(COMM_STATUS_TYPE result)
{
    if (!m_diagnostics || m_sentAtNs == 0)
        return;
    using Outcome = LinkCounters::Outcome;
    Outcome outcome = Outcome::Other;
    switch (result) {
    case COMM_OK: outcome = Outcome::Answered; break;
    case COMM_REFUSED: outcome = Outcome::Refused; break;
    case COMM_CRC_ERROR: outcome = Outcome::ChecksumError; break;
    case COMM_TIMEOUT: outcome = m_replyReports == 0 ? Outcome::TimedOut : Outcome::Incomplete; break;
    case COMM_REPLY_ERROR:
        if (m_errorReport)
            outcome = Outcome::ErrorReport;
        else if (m_replyReports == 1) // half a reply, then the link was lost
            outcome = Outcome::Incomplete;
        break;
    default: break;
    }
    const qint64 roundTripUs = m_repliedAtNs != 0 ? (m_repliedAtNs - m_sentAtNs) / 1000 : -1;
    m_diagnostics->counters().countTransaction(outcome, roundTripUs);
    if (m_traceFirst != 0)
        m_diagnostics->trace().finish(m_traceFirst, result);
}

void UsbDevice::traceReport(Direction direction, const QByteArray &report)
{
    if (!m_diagnostics)
        return;
    FrameTrace &trace = m_diagnostics->trace();
    if (!trace.isOn())
        return;
    const quint64 sequence = trace.record(direction, tarnbus::trace::Channel::Adapter,
                                          reinterpret_cast<const quint8 *>(report.constData()), report.size());
    if (m_traceFirst == 0)
        m_traceFirst = sequence;
}

COMM_STATUS_TYPE UsbDevice::finish(TransactionState state, COMM_STATUS_TYPE result)
{
    m_state = state;
    return result;
}

COMM_STATUS_TYPE UsbDevice::sendRequest(const QByteArray &request)
{
    const tarnbus::LinkTiming &timing = linkTiming();
    if (!pause(timing.beforeRequestMs))
        return finish(StateCompleted, COMM_NOT_CONNECTED);
    switch (discardPendingInput()) {
    case Discard::Emptied:
        break;
    case Discard::Failed:
        return finish(StateWriteFailed, COMM_NOT_CONNECTED);
    case Discard::Interrupted:
        return finish(StateCompleted, COMM_NOT_CONNECTED);
    case Discard::StillSending:
        return finish(StateCompleted, COMM_REPLY_ERROR);
    }

    QByteArray first;
    first.reserve(kReportSize);
    first.append(char(kFirstReportMarker)).append(char(kFirstPartSize)).append(request.left(kFirstPartSize));
    first.append(kReportSize - first.size(), '\0'); // the report as written, padding included
    m_sentAtNs = FrameTrace::nowNs();
    if (writeReportLocked(first) != 0)
        return finish(StateWriteFailed, COMM_NOT_CONNECTED);
    traceReport(Direction::Out, first);
    // Once the first half is out the second follows, abort or not: an adapter
    // left holding half a request would take the next request's first report
    // as its second half.
    QThread::msleep(ulong(timing.betweenRequestReportsMs));
    QByteArray second;
    second.reserve(kReportSize);
    second.append(char(kSecondReportMarker)).append(char(kSecondPartSize)).append(request.mid(kFirstPartSize, kSecondPartSize));
    second.append(kReportSize - second.size(), '\0');
    if (writeReportLocked(second) != 0)
        return finish(StateWriteFailed, COMM_NOT_CONNECTED);
    traceReport(Direction::Out, second);
    rememberEcho(request);
    return COMM_OK;
}

void UsbDevice::rememberEcho(const QByteArray &request)
{
    const auto byteAt = [&request](int i) { return i < request.size() ? quint32(quint8(request.at(i))) : 0u; };
    if (request.size() > 3) {
        m_echo = (byteAt(3) << 16) | (byteAt(4) << 8) | byteAt(5);
        m_nibble = quint8(byteAt(3) & 0x0F);
    } else {
        m_echo = 0;
        m_nibble = 0;
    }
}

COMM_STATUS_TYPE UsbDevice::receiveReply(QByteArray &reply, int timeoutMs)
{
    const tarnbus::LinkTiming &timing = linkTiming();
    if (!pause(timing.beforeReplyMs))
        return finish(StateCompleted, COMM_NOT_CONNECTED);
    QByteArray first;
    if (const COMM_STATUS_TYPE result = readReplyReport(first, timeoutMs, "read1 timeOut:"); result != COMM_OK)
        return result;
    ++m_replyReports;
    traceReport(Direction::In, first);
    if (quint8(first.at(0)) == kErrorReportMarker) {
        m_errorReport = true;
        qCDebug(lcLink).noquote() << "read :" << first.toHex(' ').toUpper();
        return finish(StateCompleted, COMM_REPLY_ERROR);
    }
    if (!pause(timing.betweenReplyReportsMs))
        return finish(StateCompleted, COMM_NOT_CONNECTED);
    QByteArray second;
    if (const COMM_STATUS_TYPE result = readReplyReport(second, timeoutMs, "read2 timeOut:"); result != COMM_OK)
        return result;
    ++m_replyReports;
    m_repliedAtNs = FrameTrace::nowNs();
    traceReport(Direction::In, second);
    reply.append(first.mid(2, kFirstPartSize));
    reply.append(second.mid(2, kSecondPartSize));
    return COMM_OK;
}

COMM_STATUS_TYPE UsbDevice::readReplyReport(QByteArray &out, int timeoutMs, const char *timeoutNote)
{
    switch (readReportLocked(out, timeoutMs)) {
    case ReadOk:
        return COMM_OK;
    case ReadTimedOut:
        qCDebug(lcLink) << timeoutNote;
        return finish(StateCompleted, interrupted() ? COMM_NOT_CONNECTED : COMM_TIMEOUT);
    default: // the device went away: nothing was collected
        return finish(StateCompleted, COMM_REPLY_ERROR);
    }
}

COMM_STATUS_TYPE UsbDevice::checkReply(const QByteArray &reply)
{
    m_state = StateCompleted;
    if (reply.isEmpty())
        return COMM_REPLY_ERROR;
    if (!UsbGlobal::hasValidFrameChecksum(reply))
        return COMM_CRC_ERROR;
    if (m_nibble != 0 && (reply.size() <= kCommandOffset || (quint8(reply.at(kCommandOffset)) & 0x0F) != m_nibble))
        return COMM_CHECK_ERROR;
    // The one place where a refusal is told from an answer: whatever the
    // command, a refused request is a failure, and no caller can take the
    // refusal's bytes for data.
    if (reply.size() > kCommandOffset && (quint8(reply.at(kCommandOffset)) & kRefusedMark))
        return COMM_REFUSED;
    return COMM_OK;
}

void UsbDevice::onRefreshTimerCallback()
{
    const std::optional<QString> serial = underLock([this]() -> std::optional<QString> {
        if (m_watching)
            return m_serial;
        return std::nullopt;
    });
    if (!serial) {
        m_refreshTimer->stop(); // closed meanwhile
        return;
    }
    // The enumeration runs without the mutex: transactions of other threads
    // fail at once meanwhile, the device being closed.
    if (!UsbGlobal::isDevicePresent(*serial) || !tarnbus::hid::initialise())
        return;
    underLock([this] {
        if (!m_watching)
            return;
        m_refreshTimer->stop();
        openLocked();
        if (!m_handle) {
            // Seen on the bus but not yet openable: keep watching.
            m_closed = true;
            m_opened = false;
            m_refreshTimer->start(linkTiming().replugCheckPeriodMs);
            return;
        }
        m_watching = false;
        // Give the adapter time to settle before reporting it back. The wait
        // is a timer rather than a nested event loop, so that this thread's
        // events are served meanwhile without anything re-entering the device.
        m_settleTimer->start(linkTiming().replugSettleMs);
    });
}

void UsbDevice::onSettled()
{
    const bool back = underLock([this] { return m_handle != nullptr && !m_closed; });
    if (back) {
        if (const std::shared_ptr<LinkDiagnostics> d = diagnostics())
            d->counters().countReconnect();
        emit sigStateChanged(kStateDevice, kCodeBack);
    }
}
