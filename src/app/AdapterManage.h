#pragma once

#include "Adapter.h"
#include "AdapterTypes.h"
#include "CreateSlaveView.h"
#include "SettingRegisterData.h"
#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QPointer>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class ConfigCompareDialog;
class IoCheckoutDialog;
class FrameTraceDialog;
class LinkDiagnostics;
class Loading;
class QTimer;
#include "MainProductView.h"
class QThread;
class TopologyPage;
namespace appcore {
struct ResultMessage;
namespace ConfigCsv {
struct Problem;
}
} // namespace appcore

// Binds one Adapter, in a worker thread of its own, to the tab page that
// shows it. It keeps what the Adapter last reported (snapshots of its
// slaves, its state and status: the window never reads the Adapter
// itself), turns every result into its notice, redraws the table, the
// topology and the project tree, and offers the tab container the
// per-adapter operations.
class AdapterManage : public QObject
{
    Q_OBJECT

public:
    static const QString kOfflineName; // "TarnBUS"

    explicit AdapterManage(MainProductView *page, QObject *parent = nullptr);
    ~AdapterManage() override;

    // What the manager knows, as last reported.
    bool hasAdapter() const { return m_adapter != nullptr; }
    QString name() const { return m_name; }
    QString mac() const { return m_mac; }
    bool isStatic() const { return m_static; }
    // True while the adapter may be forcing its outputs: from force mode
    // on until the adapter confirmed leaving it, a lost link included.
    bool isForceMode() const;
    bool isLinked() const;
    bool isLocalConfiguration() const;
    bool isLoading() const { return m_loading; }
    const SlaveList &slaves() const { return m_slaves; }
    const AdapterState &adapterState() const { return m_state; }
    const AdapterStatus &adapterStatus() const { return m_status; }
    MainProductView *page() const { return m_page; }
    // The Adapter, for the views' requests: only its "any thread"
    // functions and its request signals may be used from here.
    Adapter *adapter() const { return m_adapter; }
    QByteArray currentSlaveId() const { return m_currentSlaveId; }
    quint64 currentRecordId() const { return m_currentRecordId; }
    // The position of this manager's adapter in the tree and the tabs,
    // worked out when asked (an earlier tab may have closed); -1 when none.
    int treeIndex() const;

    // --- Operations of the main window and the tree -----------------------
    void clearAbnormal();
    void reloadSlaves();
    void saveConfiguration();
    // The adapter's own settings (the adapter restarts with them), after the
    // user has confirmed; refused in force mode.
    void writeAdapterSettings(quint8 settingsByte, quint16 threshold, bool changeThreshold);
    void downloadConfiguration();
    void setForceMode(bool on);
    void setUpgradeFlag(bool running);
    void setAlignmentUnit(int unit);
    void showAdapterPage();
    void showSlavePage(quint64 recordId, const QByteArray &uid);
    void removeOfflineSlave(quint64 recordId);
    // The IO test window of a slave: one per slave, opened only for a slave
    // on the bus (AdapterManageViews.cpp).
    SettingRegisterData *openIoTest(quint64 recordId);
    SettingRegisterData *ioTest(quint64 recordId) const { return m_ioTests.value(recordId); }
    // "添加从站模块" of an offline configuration, with a type chosen or not;
    // null for a live adapter.
    CreateSlaveView *openCreateSlave(const QString &typeKey = QString());
    // The used address areas of this adapter in a window of their own, the
    // slave shown on the page highlighted; one window per adapter.
    QDialog *openMemoryView();
    // "对比组态": a configuration against this adapter's bus, one window per
    // adapter; null for an offline configuration.
    ConfigCompareDialog *openCompare();
    ConfigCompareDialog *compareView() const;
    // "IO检查": the check-out of every channel, one window per adapter; null
    // for an offline configuration (AdapterManageViews.cpp).
    IoCheckoutDialog *openCheckout();
    IoCheckoutDialog *checkoutView() const;
    // "帧跟踪": the frame trace of this adapter, one window per adapter;
    // null for an offline configuration (AdapterManageDiagnostics.cpp).
    FrameTraceDialog *openTrace();
    // The daily log file the message list goes to.
    QString messageLogFile() const;
    // While set, results are logged without their notice boxes: a view that
    // says them itself, row by row, is under way.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // Stops the Adapter and its thread; the tab is going away. Returns
    // within a second whatever the Adapter is doing.
    void closeAdapter();
    void removeFromTree();

    // --- Whole-bus operations of the adapter menu (AdapterManageConfig.cpp) --
    // "自动分配地址": the bits an allocation of every module takes, then, when
    // the user confirms, the allocation in the Adapter's thread.
    void openAutoAllocation();
    // "配置重复站号": new numbers for the modules reported as repeated.
    void openRepeatedStations();
    // The configuration file, written in one piece where the user chooses.
    void exportCsv(bool withUid);
    // An offline configuration whose modules changed since they were last
    // exported (they were none when the tab opened): closing it loses them.
    bool hasUnexportedChanges() const;
    // Exports the offline configuration in the form that keeps every module
    // (with UIDs when a module has no station); written() runs once the file
    // is written, nothing when the user cancels or the file cannot be written.
    void exportThen(std::function<void()> written);
    // Reads a configuration file the user chooses. Nothing reaches the
    // Adapter unless every line of it is good; a live adapter then offers
    // the batch configuration (the download of every module's record).
    void importCsv();
    // The input and output bits the modules use, while the adapter is
    // linked; none otherwise (the loop time estimate).
    QPair<quint16, quint16> bitsInUse() const;
    // An import is being applied, or waits for the batch configuration
    // question or the download that follows it.
    bool isImporting() const { return m_csvImportPending || m_batchPending; }

signals:
    void sigSynAdapterConfig(int index, int type, QString name);
    void sigReadfault();
    void sig_AdapterReadAllerror(int);
    // Force mode shown or no longer shown for this adapter.
    void sigForceShown(bool forced);
    // The adapter did not confirm leaving force mode.
    void sigForceLeaveFailed();

public slots:
    void onOpenSerialPortFail();
    void onGetSlaveTimeout();
    void onSaveSlaveSuccess();
    void onShowSlave(QByteArray id = QByteArray());
    void onSlaveCloseLame(QByteArray id = QByteArray());
    void onHoverEnterEvent(bool hovering);
    void onCreaterAdapter(int vid, int pid, QString mac, QString name, bool byteAlignment);
    void onStaticCreaterAdapter(bool byteAlignment);
    void onStaticCreaterSlave(int sid, QByteArray type);
    void onFileCreaterSlave(int sid);
    void onSynAdapterConfig(int index, int type, QString name);
    // The offline configuration to the adapter chosen in the link dialog,
    // once the user agrees to what is written where.
    void askOfflineDownload(int vid, int pid, const QString &serial, const QString &adapterName);
    void onCloseAdapter();
    void onAdapterUpdateData(adapter_message_type type, AdapterStatus status, SlaveList slaves, int n);
    void onErrMessage(adapter_message_type type, char err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK,
                      SlaveList s1 = SlaveList(), SlaveList s2 = SlaveList());
    void onAdapterState(AdapterState state);
    void onResSVG(int csv = 0);
    // Texts this manager puts in shared views (the project tree) again, in
    // the language just chosen.
    void retranslate();
    // "修改站号" of a tile (type 3): the slave's editor, at its station.
    void onSlaveCreateView(int type, quint64 recordId, int sid);

private:
    void showSlavesInTree(const QHash<quint64, QString> &conflicts);
    // AdapterManageViews.cpp: the module views of the page.
    void connectViews();
    void onLampRequest(quint64 recordId, bool on);
    void applySlaveConfig(quint64 recordId, const QByteArray &record);
    void updateIoTests();
    void updateMemoryView();
    void closeIoTests();
    // AdapterManageConfig.cpp
    QWidget *fileDialogParent() const;
    void startExport(const QString &path, bool withUid);
    void onCsvLines(QStringList lines, bool withUid);
    void importFile(const QString &path);
    void reportFileProblems(const QList<appcore::ConfigCsv::Problem> &problems);
    void onCsvImported(QList<CsvImportResult> results);
    void askForBatchConfiguration();
    // A question titled "消息" with "确定" and "取消", not blocking the window;
    // answered(true) after "确定".
    void ask(int icon, const QString &text, std::function<void(bool)> answered);
    void startBatchConfiguration();
    // The batch configuration is over: polls may read the adapter again.
    enum class BatchEnd { Written, NothingWritten };
    void endBatchConfiguration(BatchEnd end = BatchEnd::Written);

    // AdapterManageDiagnostics.cpp: the message log, "通信统计" and the trace.
    void startDiagnostics(const QString &serial);
    void showLinkStatistics();
    void closeDiagnostics();
    std::shared_ptr<LinkDiagnostics> m_diagnostics;
    QTimer *m_statisticsTimer = nullptr;
    QPointer<FrameTraceDialog> m_traceView;

    void createAdapter(bool offline, bool byteAlignment);
    void stopAdapter();
    void applyMessage(const appcore::ResultMessage &message);
    // A line of the message list with its language-neutral code (ResultCodes.h).
    void appendMessage(int level, const QString &text, const QString &code);
    void resetStatusPanel();
    void showForceIndicator();
    void showStatusKnowledge();
    bool m_forceShown = false;
    bool m_restartExpected = false; // a store or a settings write has made the adapter restart
    void logNewConflicts();
    QSet<QString> m_conflicts; // the overlaps last seen, as said
    void refreshCurrentView();
    void showSummary(const SlaveList &remaining, const SlaveList &configured);
    SlaveSnapshot findByUid(const QByteArray &uid) const;
    QPair<quint16, quint16> usedBits() const;
    Loading *loading() const;
    QWidget *dialogParent() const;

    QPointer<MainProductView> m_page;
    TopologyPage *m_topology = nullptr;
    Adapter *m_adapter = nullptr; // deletes itself in its thread
    QThread *m_thread = nullptr;
    QString m_name;
    QString m_mac;
    bool m_static = false;
    bool m_quiet = false;
    bool m_loading = false;       // the connect sequence or a reload is running
    bool m_downloading = false;   // a configuration download was asked for
    bool m_downloadFailed = false;
    bool m_allocating = false;      // an automatic allocation was asked for
    QString m_exportPath;           // the file the next CSV lines go to
    QByteArray m_exportedRecords;   // the offline modules as last exported
    std::function<void()> m_afterExport; // waits for the export's file to be written
    bool m_csvImportPending = false; // the import's results are awaited
    bool m_batchPending = false;    // between an import and the end of its batch configuration
    bool m_batch = false;           // the running download is a batch configuration
    QByteArray m_currentSlaveId;
    quint64 m_currentRecordId = 0;
    SlaveList m_slaves;
    QMap<quint64, int> m_skipped; // why the last download's records were not written
    QMap<quint64, QPointer<SettingRegisterData>> m_ioTests;
    QPointer<CreateSlaveView> m_createView;
    QPointer<QDialog> m_memoryWindow;
    QPointer<ConfigCompareDialog> m_compareView;
    QPointer<IoCheckoutDialog> m_checkoutView;
    AdapterState m_state;
    AdapterStatus m_status;
};
