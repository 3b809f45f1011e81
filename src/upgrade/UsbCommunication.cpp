#include "UsbCommunication.h"

#include "CommStatus.h"
#include "HidLibrary.h"
#include "LinkDiagnostics.h"
#include "UpgradeLog.h"
#include "UpgradeProtocol.h"
#include "LinkTiming.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>

namespace {
// Reads wait in slices so that a cancellation ends them promptly.
constexpr int kReadSliceMs = 10;

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

UsbCommunication::UsbCommunication(QObject *parent)
    : QObject(parent)
{
}

UsbCommunication::~UsbCommunication()
{
    close();
}

int UsbCommunication::open(quint16 vendorId, quint16 productId, const QString &serialNumber)
{
    close();
    m_vendorId = vendorId;
    m_productId = productId;
    m_serialNumber = serialNumber;
    if (vendorId == 0 || productId == 0 || !tarnbus::hid::initialise()) {
        m_status = kFailed;
        return 1;
    }
    m_handle = tarnbus::hid::open(vendorId, productId, serialNumber);
    m_diagnostics = LinkDiagnostics::forSerial(serialNumber);
    m_status = m_handle ? kOk : kFailed;
    return m_handle ? 0 : 1;
}

void UsbCommunication::onOpen(ulong vendor_id, ulong product_id, QString serial_number)
{
    open(quint16(vendor_id), quint16(product_id), serial_number);
}

void UsbCommunication::close()
{
    if (!m_handle)
        return;
    tarnbus::hid::close(m_handle);
    m_handle = nullptr;
    m_status = kFailed;
}

int UsbCommunication::write(const QByteArray &report)
{
    if (!m_handle || m_cancelled)
        return kFailed;
    const QByteArray bytes = report.leftJustified(upgradeprotocol::kReportSize, '\0', true);
    const int written = hid_write(m_handle, reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size()));
    if (written < 0) {
        qCWarning(lcUpgrade) << "Ex Error:" << QString::fromWCharArray(hid_error(m_handle));
        m_status = kFailed;
        return kFailed;
    }
    traceReport(true, reinterpret_cast<const unsigned char *>(bytes.constData()) + 1, bytes.size() - 1); // without the report id
    qCDebug(lcUpgrade) << "scend size:" << written;
    return kOk;
}

int UsbCommunication::read(QByteArray &reply, int timeoutMs)
{
    reply = QByteArray(upgradeprotocol::kReplySize, '\0');
    m_timedOut = false;
    if (!m_handle || m_cancelled)
        return kFailed;
    auto *buffer = reinterpret_cast<unsigned char *>(reply.data());
    int received = 0;
    int remaining = std::max(timeoutMs, 0);
    do {
        const int slice = std::min(remaining, kReadSliceMs);
        received = hid_read_timeout(m_handle, buffer, size_t(reply.size()), slice);
        remaining -= slice;
    } while (received == 0 && remaining > 0 && !m_cancelled);
    if (received < 0) {
        qCDebug(lcUpgrade) << "modbus read err1" << QString::fromWCharArray(hid_error(m_handle));
        reply.fill('\0');
        return kFailed;
    }
    if (m_cancelled)
        return kFailed;
    if (received == 0) {
        m_timedOut = true;
        qCDebug(lcUpgrade) << "modbus read:" << QString::fromWCharArray(hid_error(m_handle)) << timeoutMs;
        return kOk;
    }
    traceReport(false, buffer, received);
    qCDebug(lcUpgrade).noquote() << "read:" << hexText(reply);
    return kOk;
}

// A reply that came after its exchange gave up must never be taken for the
// answer to the next one.
bool UsbCommunication::drainStaleReplies()
{
    unsigned char buffer[upgradeprotocol::kReplySize];
    for (;;) {
        const int received = hid_read_timeout(m_handle, buffer, sizeof buffer, 0);
        if (received == 0)
            return true;
        if (received < 0)
            return false;
        traceReport(false, buffer, received);
        qCDebug(lcUpgrade).noquote() << "discarded stale reply:"
                                     << hexText(QByteArray(reinterpret_cast<const char *>(buffer), received));
    }
}

QByteArray UsbCommunication::onWriteData(const QByteArray &report)
{
    QByteArray reply(upgradeprotocol::kReplySize, '\0');
    m_timedOut = false;
    m_sent = false;
    m_traceFirst = 0;
    const tarnbus::LinkTiming::Upgrade &timing = tarnbus::linkTiming().upgrade;
    // A failed write is the exchange's result: the read after it must not
    // overwrite the status.
    if (!pause(timing.exchangeDelayMs) || !m_handle || !drainStaleReplies() || write(report) != kOk) {
        m_status = kFailed;
        return reply;
    }
    m_sent = true;
    m_status = read(reply, timing.replyTimeoutMs);
    if (m_traceFirst != 0 && m_diagnostics) {
        int result = COMM_OK;
        if (m_status != kOk)
            result = COMM_NOT_CONNECTED;
        else if (m_timedOut)
            result = COMM_TIMEOUT;
        else if (quint8(reply.at(2)) == 0x00 && quint8(reply.at(3)) == 0xFF) // the device's refusal
            result = COMM_REFUSED;
        m_diagnostics->trace().finish(m_traceFirst, result);
    }
    return reply;
}

void UsbCommunication::traceReport(bool out, const unsigned char *bytes, int size)
{
    if (!m_diagnostics || !m_diagnostics->trace().isOn())
        return;
    using namespace tarnbus::trace;
    const quint64 sequence = m_diagnostics->trace().record(out ? Direction::Out : Direction::In, Channel::Upgrade, bytes, size);
    if (m_traceFirst == 0)
        m_traceFirst = sequence;
}

void UsbCommunication::cancel()
{
    {
        std::lock_guard<std::mutex> guard(m_cancelMutex);
        m_cancelled = true;
    }
    m_cancelSignal.notify_all();
}

bool UsbCommunication::pause(int ms)
{
    std::unique_lock<std::mutex> guard(m_cancelMutex);
    return !m_cancelSignal.wait_for(guard, std::chrono::milliseconds(std::max(ms, 0)), [this] { return m_cancelled.load(); });
}
