#pragma once

#include "AdapterTypes.h"
#include "CommStatus.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <mutex>

class QTimer;
class Slave;
class UsbDevice;

namespace TBReply {
struct BusStatus;
struct SlaveInfoBlock;
} // namespace TBReply

// One connected (or offline) adapter. It lives in a worker thread of its
// own: work enters through its own signals, which are connected to its
// slots, and every result leaves through queued signals.
class Adapter : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxStations = 128;
    static constexpr int kImageBits = 512;     // per direction
    static constexpr int kOutputImageSize = 64;
    static constexpr int kRecordSize = 64;     // address assignment record
    static constexpr int kIdentitySize = 12;
    static constexpr int kMaxScanReports = 31; // progress reports per scan wait

    explicit Adapter(QObject *parent = nullptr);
    ~Adapter() override;

    static void registerMetaTypes();

    // --- Set by the manager before work is requested ---------------------
    void setOffline(bool offline) { m_offline = offline; }
    bool isOffline() const { return m_offline; }
    void setUpgradeRunning(bool running) { m_upgradeRunning = running; }
    bool isUpgradeRunning() const { return m_upgradeRunning; }
    void setManagerOperation(bool running) { m_managerOperation = running; }
    // Alignment unit of the IO areas: 1 (bits) or 8 (bytes); every slave follows it.
    void setAlignmentUnit(int unit);
    int alignmentUnit() const { return m_alignmentUnit; }
    // The values the next settings write (sigSetAdapterCmd(1, change)) sends.
    void setSettings(quint8 settingsByte, quint16 threshold);

    // Thread-safe: ends running and later transactions at once so that a
    // shutdown (sigClean) is served promptly, whatever the adapter is doing.
    void requestShutdown();

    // --- Read by the manager between notifications -----------------------
    QList<Slave *> slaveList() const { return m_slaves; }
    AdapterStatus status() const { return m_status; }
    QList<AdapterInfoItem> infoItems() const { return m_infoItems; }
    QString mac() const { return m_mac; }
    bool isLinked() const { return m_linked; }
    bool isBusy() const { return m_busy; }
    bool isForceMode() const { return m_forceMode; }
    bool isHVariant() const { return m_hVariant; }
    quint8 settingsByte() const { return m_settingsByte; }
    quint16 threshold() const { return m_threshold; }
    quint32 appVersion() const { return m_appVersion; }
    QByteArray outputImage() const { return m_outputImage; }
    bool isPolling() const;
    bool isImporting() const { return m_importing; }
    void setImporting(bool importing) { m_importing = importing; }

    Slave *findSlaveByUuid(const QByteArray &uuid) const;
    Slave *findSlaveByStation(int station) const;

    // --- Addresses ------------------------------------------------------
    // 1024 use counters: inputs at 0..511, outputs at 512..1023.
    QVector<quint8> occupancyMap(const Slave *except = nullptr) const;
    static bool hasConflict(const QVector<quint8> &map);
    // Input and output bits that an automatic allocation of every module
    // would occupy.
    QPair<quint16, quint16> allocationTotals() const;
    // Thread-safe. Refuses (false) without link or when two modules claim
    // the same bit; otherwise asks for the configuration download.
    bool requestConfigurationDownload();

    // --- Offline configuration ------------------------------------------
    // Creates a slave of the given type key ("#0000...") for an offline
    // configuration and reports it with sigFileCreaterSlave.
    Slave *createOfflineSlave(int station, const QByteArray &typeKey);
    bool removeOfflineSlave(const QByteArray &uuid);

    // --- Configuration CSV ---------------------------------------------
    struct CsvImportResult {
        bool ok = false;
        int station = 0;
        QString typeText;
    };
    // Applies one data line to the matching slave; withUid: the file has
    // the UID column. Safe to call from any thread.
    CsvImportResult importCsvLine(const QString &line, bool withUid);        // live adapter
    CsvImportResult importCsvLineOffline(const QString &line, bool withUid); // offline adapter

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
    void sigSlaveLoadingFinished(adapter_message_type type, AdapterStatus fource,
                                 QList<Slave *> slaves = QList<Slave *>(), int status = 0);
    void sigSlaveStaticLoadingFinished(adapter_message_type type, AdapterStatus fource,
                                       QList<Slave *> slaves = QList<Slave *>(), int status = 0);
    void sigErrMessage(adapter_message_type type, char err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK,
                       QList<Slave *> s1 = QList<Slave *>(), QList<Slave *> s2 = QList<Slave *>());
    void sigStopLighting();
    void sigUpdateSlaveItem(Slave *);
    void sigFileCreaterSlave(int);
    void sigAutoSetSlaveConfig();
    void sigAdaperAbnormalStatus(char);

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

    // Writes the offline configuration to the adapter with this identity.
    // Runs to the end before returning; the manager may call it directly.
    void onDownloadOfflineConfig(int vid, int pid, QString mac);

private:
    // adapter.cpp: plumbing
    COMM_STATUS_TYPE exchange(UsbDevice *device, const QByteArray &request, QByteArray &reply, int timeoutMs);
    COMM_STATUS_TYPE exchange(const QByteArray &request, QByteArray &reply, int timeoutMs);
    void reportLoad(adapter_message_type type, int value = 0);
    void reportLoadWithout(adapter_message_type type);
    void reportError(adapter_message_type type, char err, int sid = 0, COMM_STATUS_TYPE status = COMM_OK);
    // Reports a failed exchange, 29 when no reply bytes came and 28
    // otherwise; false when the exchange succeeded.
    bool reportFailedExchange(COMM_STATUS_TYPE result, const QByteArray &reply);
    void startPolling();
    void stopPolling();
    void setBusy(bool busy) { m_busy = busy; }
    void storeStatusFlags(quint8 status);
    void updateSlaveCount();
    bool stopping() const { return m_stopping.load(); }
    void releaseSlaves();
    void wireSlave(Slave *slave);
    void createDevice();
    void destroyDevice();
    static QByteArray identity12(const Slave *slave);
    // A 64-byte address assignment record for the slave: its identity, the
    // two stations, the two address words and the slave's own parameter
    // block (the adapter and the slave take the parameters over with it).
    static QByteArray addressRecord(const Slave *slave, int current, int requested, quint16 inputWord, quint16 outputWord);

    // AdapterConnection.cpp: connecting, loading and polling
    void runConnectSequence();
    void onSetAdapterCmd(int cmd, int change);
    bool readIdentityAndSettings();
    enum class ScanResult { Ok, EmptyReply, Failed, Stopped };
    ScanResult waitForScan(int maxReports, TBReply::BusStatus &bus, COMM_STATUS_TYPE &result, QByteArray &reply);
    bool loadSlaves(const QList<int> &stations);
    Slave *createSlaveFromBlock(const TBReply::SlaveInfoBlock &block, int station);
    bool collectPendingReports();
    void applyReportedModule(const TBReply::SlaveInfoBlock &block);
    void refreshList();
    bool sendHandshake(int timeoutMs, bool reportFailure);
    void dropLink();

    // AdapterForce.cpp: force mode and process data
    void leaveForceMode();
    void endForceMode();
    void fillOutputImage(char value);

    // AdapterConfig.cpp: configuration operations
    enum class WriteResult { Ok, Failed, Refused };
    WriteResult writeAddressRecord(const QByteArray &record, COMM_STATUS_TYPE &result);
    QByteArray configurationRecord(const Slave *slave) const;
    void finishSlaveOperation(int currentStation, int requestedStation);
    void writeSettings(int change);
    bool pauseUnlessStopping(int ms);
    // An operation holds the busy flag with polling stopped; it ends by
    // resuming polling unless the link is gone.
    void beginOperation();
    void endOperation(COMM_STATUS_TYPE last);
    Slave *requestingSlave() const;
    void configureSlave(Slave *slave, const QByteArray &data);
    void refuseSlaveConfig(Slave *slave);

    // AdapterImport.cpp
    CsvImportResult importLine(const QString &line, bool withUid, bool offline);

    // AdapterAllocation.cpp
    struct Placement;
    QList<Placement> planAllocation(bool respectLimit, int *inputTotal, int *outputTotal) const;
    void allocateAddresses(bool live);

    // Identity and state
    int m_vid = 0;
    int m_pid = 0;
    QString m_mac;
    UsbDevice *m_device = nullptr;
    std::mutex m_deviceLock; // guards m_device against requestShutdown from other threads
    QTimer *m_ioTimer = nullptr;
    QTimer *m_pollTimer = nullptr;

    bool m_offline = false;
    bool m_linked = false;
    bool m_busy = false;
    std::atomic<bool> m_managerOperation{false};
    std::atomic<bool> m_upgradeRunning{false};
    std::atomic<bool> m_stopping{false};
    bool m_listChanged = false;
    bool m_forceMode = false;
    bool m_hVariant = false;
    bool m_allOutputs = false;
    bool m_importing = false;

    int m_scanProgressCount = 0;
    quint8 m_settingsByte = 1;
    quint16 m_threshold = 0;
    quint32 m_appVersion = 0;
    quint8 m_configWriteFlag = 0;
    int m_alignmentUnit = 1;
    AdapterStatus m_status;
    QList<AdapterInfoItem> m_infoItems;
    QList<Slave *> m_slaves;
    QByteArray m_outputImage;
    int m_outputStation = -1;
    QByteArray m_lastConfiguredUuid;
};
