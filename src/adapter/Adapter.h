#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"
#include "Slave.h"
#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

class QTimer;
class UsbDevice;

namespace TBReply {
struct BusStatus;
struct PendingIdentity;
struct SlaveInfoBlock;
} // namespace TBReply

// One connected (or offline) adapter.
//
// Threads. The Adapter, its device, its timers and its Slave records live in
// a worker thread of their own (the manager moves the Adapter there). Other
// threads talk to it in two ways only:
//  - they ask: by emitting the Adapter's request signals (sigSetSerialPort,
//    sigSetFource, ...), by invoking its slots through queued connections,
//    or by calling the functions under "Any thread" below. Each returns at
//    once; the work runs in the worker thread, in the order it was asked.
//  - they are told: every result leaves through a signal. Slave data leave
//    as immutable snapshots (SlaveList) carried by the notifications; the
//    adapter's own identity, settings and flags leave as AdapterState with
//    sigAdapterState, emitted whenever they changed, ahead of the
//    notification that goes with the change.
// Nothing else of the Adapter may be touched from another thread: the
// functions under "Adapter's thread only" read or change records the worker
// is using. They check their thread and stop the program when called from
// another one while the worker runs (tests reach them through the thread).
class Adapter : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxStations = 128;
    static constexpr int kMaxSlaves = 128;
    static constexpr int kImageBits = 512;     // per direction
    static constexpr int kOutputImageSize = 64;
    static constexpr int kMaxScanReports = 31; // progress reports per scan wait

    explicit Adapter(QObject *parent = nullptr);
    ~Adapter() override;

    static void registerMetaTypes();

    // === Any thread ======================================================
    // Flags the manager sets; read by the worker as they change.
    void setOffline(bool offline) { m_offline = offline; }
    void setUpgradeRunning(bool running) { m_upgradeRunning = running; }
    void setManagerOperation(bool running) { m_managerOperation = running; }
    // Alignment unit of the IO areas, 1 (bits) or 8 (bytes): every slave
    // follows it, then the rows are reported again (MSG_REFRESH_ROWS).
    void setAlignmentUnit(int unit);
    // The values the next settings write (sigSetAdapterCmd(1, change)) sends.
    void setSettings(quint8 settingsByte, quint16 threshold);
    // Both in one request: these values, then the write; the threshold is
    // taken by the adapter only with changeThreshold. The adapter restarts
    // with them (MSG_BATCH_CONFIG -16, then -14).
    void requestSettingsWrite(quint8 settingsByte, quint16 threshold, bool changeThreshold);
    // Ends running and later transactions at once so that a shutdown
    // (sigClean) is served promptly, whatever the adapter is doing.
    void requestShutdown();
    // The configuration download, unless the adapter is not linked or two
    // modules claim the same bit: then sigErrMessage(MSG_DOWNLOAD_REFUSED,
    // DownloadRefusal) and nothing is sent.
    void requestConfigurationDownload();
    // Writes the offline configuration to the adapter with this identity
    // (onDownloadOfflineConfig, in the worker thread).
    void requestOfflineDownload(int vid, int pid, const QString &mac);
    // Offline configuration: a slave of the type key ("#0000...") at the
    // station, its areas on the first free bits (sigFileCreaterSlave, then
    // MSG_LIST_CHANGED), or the removal of one record (MSG_LIST_CHANGED).
    void requestCreateOfflineSlave(int station, const QByteArray &typeKey);
    void requestRemoveSlave(quint64 recordId);
    // Configuration CSV: applies the data lines of a file (sigCsvImported
    // with one result per line, then MSG_LIST_CHANGED), or produces one line
    // per slave (sigCsvLines).
    void requestCsvImport(const QStringList &lines, bool withUid);
    // A live adapter's records go back to what their modules last reported:
    // lines imported and then not written are dropped (MSG_LIST_CHANGED).
    void requestDropUnwritten();
    void requestCsvLines(bool withUid);
    // Requests on one slave record, named by its recordId. A record that is
    // gone by the time the request is served is left alone.
    void requestSlaveConfig(quint64 recordId, const QByteArray &record);       // the editor's configuration record
    // Station, addresses and parameters by identity. A record whose station
    // is taken or whose areas leave the image or overlap another slave's is
    // refused (MSG_SLAVE_CONFIG_RESULT) before the slave takes it; an
    // offline configuration takes it without writing anything.
    void requestSlaveEditedConfig(quint64 recordId, const QByteArray &record);
    void requestSlaveClear(quint64 recordId);                                   // clear the station
    void requestSlaveLamp(quint64 recordId, bool on);
    void requestSlaveOutput(quint64 recordId, int index, int value);            // force mode: one output item
    // Force mode: output item i takes values[i], every item of the list at
    // once (items beyond the list are left alone), so that no process-data
    // cycle sends a mix of old and new values.
    void requestSlaveOutputs(quint64 recordId, const QVector<int> &values);
    void requestSlaveDefaults(quint64 recordId);                                // configuration items to defaults
    // Reports the current state and slaves again (sigAdapterState, then
    // MSG_REFRESH_ROWS), for a view that has just been attached.
    void requestReport();
    // Reads every module of the bus again now, as a poll does, then reports
    // the slaves (MSG_REFRESH_ROWS) whatever the read found. In force mode,
    // during an operation and without the link only the report is sent.
    void requestBusRead();

    // Pure functions over snapshots.
    // 1024 use counters: inputs at 0..511, outputs at 512..1023.
    static QVector<quint8> occupancyMap(const SlaveList &slaves, quint64 exceptRecordId = 0);
    static bool hasConflict(const QVector<quint8> &map);
    // Input and output bits an automatic allocation of every module would
    // occupy, with the given alignment unit.
    static QPair<quint16, quint16> allocationTotals(const SlaveList &slaves, int alignmentUnit);

    // === Adapter's thread only ===========================================
    QList<Slave *> slaveList() const;
    SlaveList snapshots() const;
    AdapterState state() const;
    AdapterStatus status() const;
    QList<AdapterInfoItem> infoItems() const;
    QString mac() const;
    bool isOffline() const { return m_offline; }
    bool isUpgradeRunning() const { return m_upgradeRunning; }
    bool isLinked() const;
    bool isBusy() const;
    bool isForceMode() const;
    bool isHVariant() const;
    bool isPolling() const;
    bool isImporting() const;
    int alignmentUnit() const;
    quint8 settingsByte() const;
    quint16 threshold() const;
    quint32 appVersion() const;
    QByteArray outputImage() const;
    Slave *findSlaveByUuid(const QByteArray &uuid) const;
    Slave *findSlaveByStation(int station) const;
    Slave *findSlaveByRecordId(quint64 recordId) const;
    QVector<quint8> occupancyMap(const Slave *except = nullptr) const;
    QPair<quint16, quint16> allocationTotals() const;
    // Offline configuration; null when the configuration is full.
    Slave *createOfflineSlave(int station, const QByteArray &typeKey);
    bool removeOfflineSlave(quint64 recordId);
    // Applies the data lines of a configuration file to the slaves (live
    // adapter) or creates them (offline adapter); withUid: the file has the
    // UID column. One result per line. A line names its slave by UID, else
    // by station: the slaves of a repeated station take its lines in list
    // order; station 0 without a UID names only the adapter's own module of
    // the line's type, and any other such line is skipped.
    QList<CsvImportResult> importCsvLines(const QStringList &lines, bool withUid);
    QStringList csvLines(bool withUid) const;

signals:
    void sigClean();
    void sigShareChannel(QByteArray, int);
    void sigReadChannel(int sid, int share, int channel);
    void sigUpdateAdapterCmd();
    void sigSetAdapterCmd(int, int);
    void sigStatusChange();
    void sigOFFLamp(QString);
    void sigLoadingLocalInfo();
    void sigSaveSlaveList();
    void sigGetSlaveTimeout();
    void sigOpenSerialPortFail();
    void sigClearAbnormal();
    void sigSerialPortOff();
    void sigUpdateSlave(int i);
    void sigSetFource(bool);
    void sigAutoSetSlaveAddr();
    void sigAutoSetLocalSlaveAddr();
    void sigCleanSlaveAddr();
    void sigRecordWorkStatus();
    void sigSaveAdapterConfig();
    void sigSetSlaveConfig(int, QByteArray);
    void sigSetSerialPort(int, int, QString mac);
    void sigSlaveLoadingFinished(adapter_message_type type, AdapterStatus fource, SlaveList slaves = SlaveList(),
                                 int status = 0);
    void sigSlaveStaticLoadingFinished(adapter_message_type type, AdapterStatus fource, SlaveList slaves = SlaveList(),
                                       int status = 0);
    void sigErrMessage(adapter_message_type type, char err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK,
                       SlaveList s1 = SlaveList(), SlaveList s2 = SlaveList());
    void sigStopLighting();
    void sigUpdateSlaveItem(SlaveSnapshot);
    void sigFileCreaterSlave(int);
    void sigAutoSetSlaveConfig();
    void sigAdaperAbnormalStatus(char);
    // The adapter's identity, settings and flags, whenever they changed.
    void sigAdapterState(AdapterState state);
    void sigCsvImported(QList<CsvImportResult> results);
    void sigCsvLines(QStringList lines, bool withUid);
    // After a settings write the adapter restarts; once it is back its
    // settings are read and compared with those written.
    void sigSettingsReadBack(SettingsReadBack readBack);
    // After a store the adapter restarts; once it is back its bus is read
    // again: what was stored, and what the bus holds now.
    void sigStoreReadBack(SlaveList stored, SlaveList reloaded);
    // Before the summary of a download: why each record not written was not
    // (record id -> DownloadSkip or link result).
    void sigDownloadSkipped(QMap<quint64, int> reasons);

public slots:
    void onDeleteAdapter();
    void onUsbDeviceStateChanged(int state, int code);
    void onLoadingLocalInfo();
    void onGetSlaveTimeout();
    void onClearAbnormal();
    void onSetFourceModel(bool on);
    void onSetUsbInfo(int vid, int pid, QString mac);
    void onUpdateSlave(int);
    void onCloseSerialPortStatus();
    void onRecordWorkStatus();
    void onSaveWorkStatus();
    void onAutoSetSlaveAddr();
    void onAutoSetLocalSlaveAddr();
    void onCleanSlaveAddr();
    void onAutoSetSlaveConfig();
    void onSaveAdapterConfig();
    void onSetSlaveConfig(QByteArray data);
    void onSetSlaveUUIDConfig(QByteArray data);
    void onCleanSlaveConfig(QByteArray data);
    void onSetSlaveLighting(QByteArray data);
    void onSetRepeatSid(QMap<int, QByteArray> map);
    void onUpdatePower();
    void onOpenAllOut(bool on);
    void onWriteOutputData(int station);
    void onReadInputData();
    void onUpdateSlaveList();
    int usbStatusCheck();
    void clearSlave();
    void readFaultCode(COMM_STATUS_TYPE status);

    // Writes the offline configuration to the adapter with this identity;
    // runs in the worker thread (requestOfflineDownload).
    void onDownloadOfflineConfig(int vid, int pid, QString mac);

private:
    // Adapter.cpp: plumbing
    void checkThread(const char *what) const;
    // Runs fn in the worker thread: at once when called there, else queued.
    void inWorker(std::function<void()> fn);
    COMM_STATUS_TYPE exchange(UsbDevice *device, const QByteArray &request, QByteArray &reply, int timeoutMs);
    COMM_STATUS_TYPE exchange(const QByteArray &request, QByteArray &reply, int timeoutMs);
    void publishState();
    // Every notification carries the slaves as they are: a receiver can
    // always take its list as the current one.
    void reportLoad(adapter_message_type type, int value = 0);
    // The same with the slaves' snapshots already taken.
    void reportLoad(adapter_message_type type, const SlaveList &snapshots, int value = 0);
    void reportError(adapter_message_type type, char err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK);
    // Reports a failed exchange, 29 when no reply bytes came and 28
    // otherwise; false when the exchange succeeded.
    bool reportFailedExchange(COMM_STATUS_TYPE result, const QByteArray &reply);
    void startPolling();
    void stopPolling();
    void storeStatusFlags(quint8 status);
    void updateSlaveCount();
    bool stopping() const { return m_stopping.load(); }
    void releaseSlaves();
    void releaseSlave(Slave *slave);
    void wireSlave(Slave *slave);
    void createDevice();
    void destroyDevice();

    // AdapterConnection.cpp: connecting, loading and polling
    void runConnectSequence();
    // Compares what a settings write or a store left to check with what the
    // adapter holds now that it is back (sigSettingsReadBack, sigStoreReadBack).
    void checkSettingsReadBack();
    void checkStoreReadBack();
    void onSetAdapterCmd(int cmd, int change);
    bool readIdentityAndSettings();
    enum class ScanResult { Ok, EmptyReply, Failed, Stopped };
    // Reads the bus status until the adapter has finished scanning, with a
    // progress report for each read that still sees the scan (at most
    // maxReports). Reports nothing else: the callers' rules differ.
    ScanResult waitForScan(int maxReports, TBReply::BusStatus &bus, COMM_STATUS_TYPE &result, QByteArray &reply);
    // The connect sequence's report of a scan wait that failed; true when
    // the wait did not end well.
    bool reportScanFailure(ScanResult scan, COMM_STATUS_TYPE result);
    bool loadSlaves(const QList<int> &stations);
    // A new, wired record from an info block read at a station; null when
    // the block carries no module. The caller puts it into the list.
    Slave *newSlaveFromBlock(const TBReply::SlaveInfoBlock &block, int station);
    // The pending identity reports: asks for them (0x47 AA 55) and reads up
    // to maxReads (0x27 06), handing each non-empty report to onReport.
    // A queue never holds more modules than a bus can.
    static constexpr int kMaxPendingReads = 2 * kMaxStations + 1;
    enum class PendingEnd { Ended, Limit, RequestFailed, ReadFailed, Stopped };
    PendingEnd readPendingReports(UsbDevice *device, int maxReads, bool requestMustSucceed, COMM_STATUS_TYPE &result,
                                  QByteArray &reply, const std::function<void(const TBReply::PendingIdentity &)> &onReport);
    bool collectPendingReports();
    void applyReportedModule(const TBReply::SlaveInfoBlock &block);
    Slave *recordAnsweringAt(int station) const;
    void refreshList();
    bool sendHandshake(int timeoutMs, bool reportFailure);
    void dropLink();
    // The steps of one poll.
    bool pollBusStatus(TBReply::BusStatus &bus);
    void pollStations(const TBReply::BusStatus &bus, QSet<int> &confirmed);
    void pollOnePendingReport(QSet<int> &confirmed);

    // AdapterForce.cpp: force mode and process data
    void startForceMode();
    // The adapter may be forcing without having said so (its answer to the
    // request was lost): force mode is shown until it is left.
    void markForceUncertain();
    bool runLeaveSequence(COMM_STATUS_TYPE &result);
    void leaveForceMode();
    void endForceMode();
    // The slave's outputs into the output image. Requests naming a record
    // write that record's outputs, whatever station it shares.
    void writeOutputsOf(Slave *slave);
    void fillOutputImage(char value);

    // AdapterConfig.cpp: configuration operations
    enum class WriteResult { Ok, Failed, Refused };
    // Failures are reported in the words of the operation (AdapterOperation).
    WriteResult writeAddressRecord(const QByteArray &record, char operation, COMM_STATUS_TYPE &result);
    // The operation an edited record is: a station, an address or a
    // parameter change (AdapterOperation).
    char editOperation(const Slave *slave, const QByteArray &data) const;
    // Sends the handshake that ends an operation; anything but the ready
    // answer is a failure, reported.
    COMM_STATUS_TYPE confirmHandshake();
    // Ends a one-slave operation: list refresh, MSG_LIST_CHANGED when the
    // list changed (else MSG_REFRESH_ROWS), handshake, polling again.
    void finishSlaveOperation(bool listChanged);
    void writeSettings(int change);
    bool pauseUnlessStopping(int ms);
    // An operation holds the busy flag with polling stopped; it ends by
    // resuming polling unless the link is gone. After a lost link most
    // operations stay busy until the link is back (the connect sequence
    // clears it); those that leave nothing half done release it.
    enum class LinkLoss { StayBusy, Release };
    void beginOperation();
    void endOperation(COMM_STATUS_TYPE last, LinkLoss onLoss = LinkLoss::StayBusy);
    Slave *requestingSlave() const;
    void configureSlave(Slave *slave, const QByteArray &data);
    void refuseSlaveConfig(Slave *slave, char operation, COMM_STATUS_TYPE result);
    // Why an edited record (station and address words) would be refused: the
    // station is another slave's, or an area leaves the image or overlaps
    // another slave's; a result code of MSG_SLAVE_CONFIG_RESULT.
    std::optional<char> editRefusal(const Slave *slave, const QByteArray &data) const;
    // An edited record (station, address words, parameters) by identity:
    // checked, written, and taken by the slave once the adapter took it.
    // An offline configuration takes it at once.
    void writeEditedRecord(Slave *slave, const QByteArray &data);
    void inSlave(quint64 recordId, const std::function<void(Slave *)> &fn);

    // AdapterImport.cpp
    // taken: the slaves earlier lines of the same file were applied to.
    CsvImportResult importLine(const QString &line, bool withUid, QSet<const Slave *> &taken);
    Slave *slaveForLine(int station, const QString &uid, const QString &deviceId,
                        const QSet<const Slave *> &taken) const;

    // AdapterOffline.cpp
    struct BusModule;
    using ModuleMap = QMap<QString, BusModule>;
    bool readBusModules(UsbDevice *device, ModuleMap &modules);
    void writeOfflineRecords(UsbDevice *device, const ModuleMap &modules, SlaveList &remaining, SlaveList &configured,
                             QMap<quint64, int> &skipped);

    // AdapterAllocation.cpp
    void allocateAddresses(bool live);
    // Moves the slave's areas to the first free bits of each direction (on
    // the alignment unit); an area that fits nowhere stays where it is.
    void placeInFreeAreas(Slave *slave);

    // Identity and state
    int m_vid = 0;
    int m_pid = 0;
    QString m_mac;
    UsbDevice *m_device = nullptr;
    // The device an offline download opens for its duration, so that a
    // shutdown can end its waits as it ends m_device's.
    UsbDevice *m_downloadDevice = nullptr;
    std::mutex m_deviceLock; // guards m_device and m_downloadDevice against requestShutdown from other threads
    QTimer *m_ioTimer = nullptr;
    QTimer *m_pollTimer = nullptr;

    std::atomic<bool> m_offline{false};
    std::atomic<bool> m_managerOperation{false};
    std::atomic<bool> m_upgradeRunning{false};
    std::atomic<bool> m_stopping{false};
    bool m_linked = false;
    bool m_busy = false;
    bool m_listChanged = false;
    bool m_forceMode = false;
    bool m_hVariant = false;
    bool m_allOutputs = false;
    bool m_importing = false;

    int m_scanProgressCount = 0;
    bool m_settingsKnown = false;
    quint8 m_settingsByte = 1;
    quint16 m_threshold = 0;
    // What the next settings write sends.
    quint8 m_requestedSettingsByte = 1;
    quint16 m_requestedThreshold = 0;
    // Left to compare once the adapter is back from its restart.
    std::optional<SettingsReadBack> m_settingsCheck;
    std::optional<SlaveList> m_storedConfiguration;
    quint32 m_appVersion = 0;
    quint8 m_configWriteFlag = 0;
    int m_alignmentUnit = 1;
    AdapterStatus m_status;
    QList<AdapterInfoItem> m_infoItems;
    QList<Slave *> m_slaves;
    QByteArray m_outputImage;
    int m_outputStation = -1;
    QByteArray m_lastConfiguredUuid;
    AdapterState m_publishedState;
    bool m_statePublished = false;
};
