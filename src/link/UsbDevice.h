#pragma once

#include "CommStatus.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

class QTimer;
typedef struct hid_device_ hid_device;

// One opened adapter: single 64-byte reports in and out, the blocking
// request/reply transaction, and reopening after the adapter was unplugged.
class UsbDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int kReportSize = 64;     // payload bytes per report
    static constexpr int kFrameSize = 72;      // one command frame
    static constexpr int kFirstPartSize = 62;  // frame bytes in the first report
    static constexpr int kSecondPartSize = 10; // frame bytes in the second report
    static constexpr quint8 kFirstReportMarker = 0xEC;
    static constexpr quint8 kSecondReportMarker = 0xEE;
    static constexpr quint8 kErrorReportMarker = 0x1E;

    // Transaction states; the values are those of COMM_STATUS_TYPE.
    enum TransactionState {
        StateIdle = 0,
        StateWriteFailed = COMM_CHECK_ERROR,
        StateRunning = COMM_BUSY,
        StateCompleted = COMM_OK,
    };

    // readReport results.
    enum ReadResult { ReadOk = 0, ReadNoHandle = 1, ReadFailed = 5, ReadTimedOut = 6 };

    explicit UsbDevice(QObject *parent = nullptr);
    ~UsbDevice() override;

    // 0 on success, 1 when the HID library cannot be initialised.
    int openDevice(quint16 vendorId, quint16 productId, const QString &serial);
    int reopenDevice();
    void closeDevice();
    void dropDevice();
    // Drops the device as after a failed report and watches for it to come
    // back: sigStateChanged(3, 1) now, (3, 0) once it is reopened.
    void dropAndWatch();

    // 0 when written; 1 without a handle or when the write failed.
    int writeReport(const QByteArray &payload);
    // Appends one input report to out; see ReadResult.
    int readReport(QByteArray &out, int timeoutMs);

    COMM_STATUS_TYPE transact(const QByteArray &request, QByteArray &reply, int timeoutMs);

    bool isOpened() const { return m_opened; }
    bool isClosed() const { return m_closed; }
    bool hasHandle() const { return m_handle != nullptr; }
    int transactionState() const { return m_state; }
    quint32 echoValue() const { return m_echo; }
    quint8 commandNibble() const { return m_nibble; }
    QString serialNumber() const { return m_serial; }

    // Thread-safe. Ends every wait of a running or later transaction at once
    // (the result is COMM_NOT_CONNECTED): used when the owner shuts down and
    // must not sit out a reply time-out first.
    void abort();
    bool isAborted() const { return m_aborted.load(); }

signals:
    // (3, 1): the device failed and is being watched; (3, 0): it is back.
    void sigStateChanged(int state, int code);

public slots:
    void onRefreshTimerCallback();

private:
    int openWithStoredIdentity();
    bool discardPendingInput();
    bool pause(int ms);
    void onSettled();

    QMutex m_mutex;
    int m_state = StateIdle;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    QString m_serial;
    quint32 m_echo = 0;
    quint8 m_nibble = 0;
    bool m_opened = false;
    bool m_closed = true;
    bool m_counted = false; // this object raised the opened-device count
    hid_device *m_handle = nullptr;
    QTimer *m_refreshTimer = nullptr;
    QTimer *m_settleTimer = nullptr;

    std::atomic<bool> m_aborted{false};
    std::mutex m_abortMutex;
    std::condition_variable m_abortSignal;
};
