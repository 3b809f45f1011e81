#pragma once

#include "CommStatus.h"
#include "TraceDecode.h"
#include "UsbGlobal.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class LinkDiagnostics;
class QTimer;
typedef struct hid_device_ hid_device;

// One opened adapter: single 64-byte reports in and out, the blocking
// request/reply transaction, and reopening after the adapter was unplugged.
//
// Threads: the device lives in its owner's thread, where its timers run. Any
// thread may call transact, abort and the public operations below; the mutex
// makes them exclusive, and every change of the HID handle happens under it,
// so a handle is never closed under a read or write of another thread.
// sigStateChanged is emitted after the mutex is released: a slot connected
// directly may transact at once.
class UsbDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int kReportSize = 64;     // payload bytes per report
    static constexpr int kFrameSize = UsbGlobal::kFrameSize; // one command frame
    static constexpr int kFirstPartSize = 62;  // frame bytes in the first report
    static constexpr int kSecondPartSize = 10; // frame bytes in the second report
    static constexpr quint8 kFirstReportMarker = 0xEC;
    static constexpr quint8 kSecondReportMarker = 0xEE;
    static constexpr quint8 kErrorReportMarker = 0x1E;
    // A reply repeats the request's command code at this offset; with this
    // bit set the adapter refuses the request and has not carried it out.
    static constexpr int kCommandOffset = 3;
    static constexpr quint8 kRefusedMark = 0x80;
    // hidraw keeps at most this many unread reports for a reader: a device
    // that has more waiting is still sending.
    static constexpr int kMaxStaleReports = 64;

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
    // A transaction running on another thread ends at its next wait
    // (COMM_NOT_CONNECTED); the close waits for it to let go of the handle.
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
    QString serialNumber() const;

    // Thread-safe. Ends every wait of a running or later transaction at once
    // (the result is COMM_NOT_CONNECTED): used when the owner shuts down and
    // must not sit out a reply time-out first.
    void abort();
    bool isAborted() const { return m_aborted.load(); }

    // The counters and the trace this device's exchanges go to: those of
    // its serial number, from the first open on (null before).
    std::shared_ptr<LinkDiagnostics> diagnostics() const;

signals:
    // (3, 1): the device failed and is being watched; (3, 0): it is back.
    void sigStateChanged(int state, int code);

public slots:
    void onRefreshTimerCallback();

private:
    enum class Discard { Emptied, Failed, Interrupted, StillSending };

    // Runs step with the mutex held, then reports a failure the step left
    // behind, with the mutex released.
    template <typename Step>
    auto underLock(Step step) -> decltype(step());

    // Everything below expects the mutex to be held.
    void openLocked();
    void closeHandleLocked();
    void dropLocked();
    void dropAndWatchLocked();
    int writeReportLocked(const QByteArray &payload);
    int readReportLocked(QByteArray &out, int timeoutMs);
    Discard discardPendingInput();

    // The transaction's steps; COMM_OK means go on.
    COMM_STATUS_TYPE transactLocked(const QByteArray &request, QByteArray &reply, int timeoutMs);
    COMM_STATUS_TYPE sendRequest(const QByteArray &request);
    COMM_STATUS_TYPE receiveReply(QByteArray &reply, int timeoutMs);
    COMM_STATUS_TYPE readReplyReport(QByteArray &out, int timeoutMs, const char *timeoutNote);
    COMM_STATUS_TYPE checkReply(const QByteArray &reply);
    COMM_STATUS_TYPE finish(TransactionState state, COMM_STATUS_TYPE result);
    void rememberEcho(const QByteArray &request);
    // Counts the exchange and closes it in the trace.
    void account(COMM_STATUS_TYPE result);
    void traceReport(tarnbus::trace::Direction direction, const QByteArray &report);

    bool pause(int ms);
    bool interrupted() const { return m_aborted || m_closing; }
    void setInterrupt(std::atomic<bool> &flag, bool on);
    void inOwnThread(const std::function<void()> &call);
    void onSettled();

    // A standard mutex rather than QMutex, so that ThreadSanitizer sees it.
    mutable std::mutex m_mutex;
    std::atomic<int> m_state{StateIdle};
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    QString m_serial;
    std::atomic<quint32> m_echo{0};
    std::atomic<quint8> m_nibble{0};
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_closed{true};
    bool m_counted = false;        // this object raised the opened-device count
    bool m_watching = false;       // lost, and looking for the adapter to come back
    bool m_failurePending = false; // a failure to report once the mutex is released
    std::atomic<hid_device *> m_handle{nullptr};
    QTimer *m_refreshTimer = nullptr;
    QTimer *m_settleTimer = nullptr;

    // Diagnostics; set under the mutex at open, used by the transaction.
    std::shared_ptr<LinkDiagnostics> m_diagnostics;
    qint64 m_sentAtNs = 0;    // the exchange's first request report written (0: nothing sent yet)
    qint64 m_repliedAtNs = 0; // its whole reply read
    int m_replyReports = 0;   // reply reports read in this exchange
    bool m_errorReport = false;
    quint64 m_traceFirst = 0; // the exchange's first trace entry

    std::atomic<bool> m_aborted{false};
    std::atomic<bool> m_closing{false};
    std::mutex m_abortMutex;
    std::condition_variable m_abortSignal;
};
