#pragma once

#include "Adapter.h"
#include "ResultMessages.h"
#include "UsbDeviceInfo.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <optional>

class Output;

// One adapter driven exactly as the window drives it: the Adapter lives in
// a worker thread of its own; the session asks through the Adapter's request
// signals and request functions and learns everything from its
// notifications (slave snapshots, sigAdapterState). The commands run one
// after another in the main thread and wait here, in an event loop, for what
// they asked to be done.
class AdapterSession : public QObject
{
    Q_OBJECT

public:
    // One report of sigErrMessage, with what the window would say about it.
    struct Report {
        adapter_message_type type = MSG_LOAD_FINISHED;
        int err = 0;
        int sid = 0;
        COMM_STATUS_TYPE status = COMM_OK;
        appcore::ResultMessage message;
        bool linkLost = false;

        bool isFailure() const { return linkLost || message.isFailure(); }
        // The tool's message for the result.
        QString text() const;
        // Its language-neutral code (ResultCodes.h).
        QString code() const { return message.code; }
    };

    enum class Wait { Done, TimedOut, Interrupted };

    explicit AdapterSession(Output &output, QObject *parent = nullptr);
    ~AdapterSession() override;

    // Starts the Adapter, connects it to the adapter and waits until its
    // modules are loaded. False when that failed; failures() says why.
    bool open(const UsbDeviceInfo &device, int alignmentUnit);
    // Leaves force mode if the adapter is in it, then shuts the Adapter
    // down and waits for its thread. False when force mode could not be left.
    bool close();
    // Asks the adapter to leave force mode and waits until it has or the
    // exchanges have run out of time, asking once more when it did not
    // confirm. The user cannot interrupt this wait. True only when the
    // adapter confirmed being out of force mode; false while it may still
    // force its outputs (also when the link is lost).
    bool leaveForceMode();

    // The Adapter, to ask it for work. Only its request signals, request
    // functions and slots reached through queued invocations may be used.
    Adapter *adapter() const { return m_adapter; }

    // Waits until everything asked of the Adapter so far has been done and
    // its notifications have arrived here.
    Wait sync();
    // Waits until done() holds, timeoutMs have passed (never when negative)
    // or the user interrupts.
    Wait waitFor(const std::function<bool()> &done, int timeoutMs = -1);
    // Asks for a fresh report of the state and the slaves, then sync().
    Wait refresh();

    const AdapterState &state() const { return m_state; }
    const AdapterStatus &status() const { return m_status; }
    const SlaveList &slaves() const { return m_slaves; }
    bool linked() const { return m_state.linked && !m_linkLost; }

    // Every sigErrMessage since the last clearReports, in order.
    const QList<Report> &reports() const { return m_reports; }
    QList<Report> failures() const;
    bool hasReport(adapter_message_type type, int err) const;
    void clearReports()
    {
        m_reports.clear();
        m_loadCounts.clear();
    }

    // Counts the load notifications of a kind since the last clearReports.
    int loadCount(adapter_message_type type) const { return m_loadCounts.value(type); }

    // The user asked to stop: every wait returns Interrupted from now on.
    void interrupt();
    bool interrupted() const { return m_interrupted; }

    // Observers for the commands that stream what happens.
    std::function<void(adapter_message_type type, const SlaveList &slaves)> onLoad;
    std::function<void(const Report &report)> onReport;

    // What a settings write or a store left to read back, once the adapter
    // is back from its restart.
    const std::optional<SettingsReadBack> &settingsReadBack() const { return m_settingsReadBack; }
    const std::optional<QStringList> &storeDifferences() const { return m_storeDifferences; }
    // The wait for an adapter to restart and be read again: its restart,
    // its return on USB and the reconnect.
    static int restartWaitMs();

    // Configuration file lines and import results, as the Adapter sends them.
    const QStringList &csvLines() const { return m_csvLines; }
    const QList<CsvImportResult> &csvResults() const { return m_csvResults; }
    bool csvLinesArrived() const { return m_csvLinesArrived; }
    bool csvResultsArrived() const { return m_csvResultsArrived; }

signals:
    void changed();

private slots:
    void onLoadingFinished(adapter_message_type type, AdapterStatus status, SlaveList slaves, int value);
    void onErrMessage(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status, SlaveList s1, SlaveList s2);
    void onAdapterState(AdapterState state);
    void onOpenFailed();
    void onCsvLines(QStringList lines, bool withUid);
    void onCsvImported(QList<CsvImportResult> results);
    void onSettingsReadBack(SettingsReadBack readBack);
    void onStoreReadBack(SlaveList stored, SlaveList reloaded);

private:
    // Asks the worker to answer once it has served everything asked before.
    void requestSyncAnswer(quint64 token);
    void waitForWorker();
    void showLoadProgress(adapter_message_type type, int value);

    Output &m_output;
    QThread m_thread;
    Adapter *m_adapter = nullptr;
    AdapterState m_state;
    AdapterStatus m_status;
    SlaveList m_slaves;
    QList<Report> m_reports;
    QMap<int, int> m_loadCounts;
    bool m_openFailed = false;
    bool m_linkLost = false;
    bool m_interrupted = false;
    bool m_leavingGivenUp = false; // asked twice, not confirmed: not asked again
    quint64 m_syncAsked = 0;
    quint64 m_syncDone = 0;
    QStringList m_csvLines;
    bool m_csvLinesArrived = false;
    QList<CsvImportResult> m_csvResults;
    bool m_csvResultsArrived = false;
    std::optional<SettingsReadBack> m_settingsReadBack;
    std::optional<QStringList> m_storeDifferences;
};
