#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class LinkDiagnostics;

typedef struct hid_device_ hid_device;

// A plain HID channel to one device: open it by vendor id, product id and
// serial number, write one 65-byte report, read one reply. The upgrade runs
// on it, and the upgrade dialog reads every device's information with it.
//
// The library's process-wide calls (open, close) go through the link
// layer's guard, so several channels in several threads and the adapters'
// own devices can be open at once; the library is never shut down here.
class UsbCommunication : public QObject
{
    Q_OBJECT

public:
    // Results of write and read, and the status after an exchange.
    static constexpr int kOk = 0;
    static constexpr int kFailed = -1;

    explicit UsbCommunication(QObject *parent = nullptr);
    ~UsbCommunication() override;

    // 0 when the device is open, 1 when not. Vendor and product id 0 are
    // refused: the library would take them as "any".
    int open(quint16 vendorId, quint16 productId, const QString &serialNumber);
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    // Sends one 65-byte report; -1 when nothing was sent (no device, write
    // error or cancelled), else 0.
    int write(const QByteArray &report);
    // Reads one reply into reply (65 bytes, zeros where nothing came);
    // -1 on a read error, without a device or when cancelled, else 0.
    int read(QByteArray &reply, int timeoutMs);
    // True when the last read got nothing within its time-out.
    bool lastReadTimedOut() const { return m_timedOut; }

    // One exchange: the protocol's pause, stale replies drained, the report
    // written, the reply read. The status is 0 after it when the write and
    // the read went through, -1 otherwise.
    QByteArray onWriteData(const QByteArray &report);
    int status() const { return m_status; }
    // True when the last exchange's report was written.
    bool lastReportSent() const { return m_sent; }

    // Thread-safe: ends every wait, read and later exchange of this channel
    // at once.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    QString serialNumber() const { return m_serialNumber; }

signals:
    void sigError(int row, QString name, QString mac);

public slots:
    void onOpen(ulong vendor_id, ulong product_id, QString serial_number);

protected:
    // Sleeps for ms; false when cancelled.
    bool pause(int ms);

private:
    bool drainStaleReplies();
    // The device's frame trace gets every report of the upgrade protocol too.
    void traceReport(bool out, const unsigned char *bytes, int size);

    std::shared_ptr<LinkDiagnostics> m_diagnostics;
    quint64 m_traceFirst = 0;

    hid_device *m_handle = nullptr;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    QString m_serialNumber;
    int m_status = kFailed;
    bool m_timedOut = false;
    bool m_sent = false;

    std::atomic<bool> m_cancelled{false};
    std::mutex m_cancelMutex;
    std::condition_variable m_cancelSignal;
};
