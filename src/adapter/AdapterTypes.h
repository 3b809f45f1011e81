#pragma once

#include "CommStatus.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>

class Slave;

// Kind of a report from an Adapter to its manager; carried by
// sigSlaveLoadingFinished and sigErrMessage. The values are fixed: the
// manager maps each to its message.
enum adapter_message_type : int {
    MSG_LOAD_FINISHED = 0,          // slave list loaded, or local information loaded
    MSG_SCAN_PROGRESS = 1,          // bus scan progress (fourth argument)
    MSG_SLAVE_ADDED = 2,            // one slave record added
    MSG_LOAD_TIMEOUT = 3,
    MSG_RELOAD = 4,
    MSG_RELOADED = 5,               // reloaded, or repeated stations resolved
    MSG_LIST_CHANGED = 6,           // reloaded after the link came back, or changed by a poll
    MSG_BUS_EMPTIED = 7,
    MSG_REFRESH_ROWS = 8,
    MSG_CONFIG_MODE_FAILED = 9,     // offline download: no handshake
    MSG_FORCE_STATE = 10,           // adapter opened, force mode entered or left
    MSG_FORCE_START_FAILED = 11,
    MSG_STATUS = 15,                // status byte or power refreshed
    MSG_BATCH_CONFIG = 16,          // settings write and configuration download progress
    MSG_EMPTY_CONFIG = 17,          // offline configuration without slaves
    MSG_SLAVE_CONFIG_RESULT = 18,   // one slave's configuration result
    MSG_ADDRESS_CONFIG_RESULT = 19, // address operation result
    MSG_CONFIG_STORED = 20,         // configuration stored, the adapter restarts
    MSG_SLAVE_SET = 21,             // force mode left, or an address record accepted
    MSG_FORCE_ADDRESS_CONFLICT = 22,
    MSG_NO_HANDSHAKE = 24,          // no "H" answer (-1), or the link ended (-2)
    MSG_USB_STATE = 25,             // link back (-1) or lost (-2)
    MSG_NOT_LINKED = 27,            // operation requested without link (-2)
    MSG_TRANSACTION_FAILED = 28,    // err carries the COMM_STATUS_TYPE
    MSG_NO_REPLY_DATA = 29,         // a transaction delivered no reply bytes
    MSG_STATION_TOO_HIGH = 30,
    MSG_COMM_FAILED = 31,
    MSG_COMM_TIMEOUT = 32,
    MSG_DOWNLOAD_DONE = 33,         // configuration download finished (not shown)
    MSG_USB_CHECK = 34,
    MSG_DOWNLOAD_REFUSED = 35,      // configuration download refused before anything was sent
    MSG_OPERATION_FAILED = 36,      // err: the AdapterOperation; status: why (a COMM_STATUS_TYPE)
    MSG_SETTINGS_UNKNOWN = 37,      // settings write refused: the adapter's settings could not be read
};

// Why a module's record was not written by a download (sigDownloadSkipped):
// a link result (COMM_STATUS_TYPE, above 0), or one of these.
namespace DownloadSkip {
constexpr int NotOnBus = -1;    // no module of the bus has its UID or its station
constexpr int OtherType = -2;   // the module found is of another type
constexpr int Undescribed = -3; // no description: its record would take its areas away
} // namespace DownloadSkip

// The operations that report a failure in their own words
// (err of MSG_OPERATION_FAILED).
namespace AdapterOperation {
constexpr char Store = 1;
constexpr char SettingsWrite = 2;
constexpr char Lamp = 3;
constexpr char ForceOn = 4;
constexpr char ForceOff = 5; // force mode stays on: the outputs may still be forced
constexpr char StationChange = 6;
constexpr char AddressChange = 7;
constexpr char ParameterChange = 8;
constexpr char Clear = 9;
constexpr char Download = 10;
constexpr char Allocation = 11;
constexpr char RepeatedStations = 12;
constexpr char SettingsRead = 13;
} // namespace AdapterOperation

// Why a configuration download was refused (err of MSG_DOWNLOAD_REFUSED).
namespace DownloadRefusal {
constexpr char NotLinked = 0;
constexpr char AddressConflict = 1;
constexpr char OtherOperation = 2; // the adapter is busy with an operation or a firmware upgrade
} // namespace DownloadRefusal

// Result codes carried with MSG_SLAVE_CONFIG_RESULT.
namespace SlaveConfigResult {
constexpr char Success = -1;        // 255
constexpr char StationTaken = 1;
constexpr char Rejected = 2;
constexpr char LampInForceMode = 4;
constexpr char InputConflict = 49;
constexpr char OutputConflict = 50;
constexpr char WriteFailed = 64;
} // namespace SlaveConfigResult

// The adapter's status as the status panel shows it.
struct AdapterStatus {
    bool operator==(const AdapterStatus &o) const
    {
        return status0 == o.status0 && status1 == o.status1 && status2 == o.status2 && fource == o.fource
               && status4 == o.status4 && localInfo == o.localInfo && slaveCount == o.slaveCount && power == o.power
               && temperature == o.temperature;
    }

    int status0 = 1;     // bit 0 of the reply status byte
    int status1 = 1;     // bit 1
    int status2 = 1;     // bit 2
    int fource = 0;      // force mode on
    int status4 = 1;     // bit 4
    int localInfo = 0;   // local (offline) information loaded
    int slaveCount = 0;
    int power = 1;       // W
    int temperature = 0; // °C
};

// One entry of an adapter's information list.
struct AdapterInfoItem {
    enum Kind { Text = 0, Choice = 1, Number = 2 };
    int kind = Text;
    int value = 0;
    int index = 0;
    QString name;
    QString text;
    QStringList options;

    bool operator==(const AdapterInfoItem &o) const
    {
        return kind == o.kind && value == o.value && index == o.index && name == o.name && text == o.text
               && options == o.options;
    }
};

// The adapter's identity, settings and flags as the worker last knew them;
// handed to other threads by value.
struct AdapterState {
    QString mac;
    bool offline = false;
    bool linked = false;
    bool forceMode = false;
    bool hVariant = false;
    int alignmentUnit = 1;
    // The adapter's settings as last read; unknown until a read succeeded.
    bool settingsKnown = false;
    quint8 settingsByte = 1;
    quint16 threshold = 0;
    quint32 appVersion = 0;
    QList<AdapterInfoItem> infoItems;

    bool operator==(const AdapterState &o) const
    {
        return mac == o.mac && offline == o.offline && linked == o.linked && forceMode == o.forceMode
               && hVariant == o.hVariant && alignmentUnit == o.alignmentUnit && settingsKnown == o.settingsKnown
               && settingsByte == o.settingsByte && threshold == o.threshold && appVersion == o.appVersion
               && infoItems == o.infoItems;
    }
    bool operator!=(const AdapterState &o) const { return !(*this == o); }
};

// A settings write and what the adapter holds after restarting with it.
struct SettingsReadBack {
    static constexpr quint8 kSwitchBits = 0x0F; // the four switches of the settings byte

    quint8 writtenByte = 0;
    quint16 writtenThreshold = 0;
    bool thresholdChanged = false; // the adapter takes the threshold only then
    bool known = false;            // the settings could be read back
    quint8 readByte = 0;
    quint16 readThreshold = 0;

    bool matches() const
    {
        return known && (readByte & kSwitchBits) == (writtenByte & kSwitchBits)
               && (!thresholdChanged || readThreshold == writtenThreshold);
    }
};

// The outcome of one data line of a configuration file.
struct CsvImportResult {
    bool ok = false;
    // Not applied, and no failure: station 0 without a UID, and no module
    // of the adapter's own that the line could name.
    bool skipped = false;
    int station = 0;  // column 1
    QString typeText; // column 0 as written
};

Q_DECLARE_METATYPE(adapter_message_type)
Q_DECLARE_METATYPE(AdapterStatus)
Q_DECLARE_METATYPE(AdapterState)
Q_DECLARE_METATYPE(CsvImportResult)
Q_DECLARE_METATYPE(SettingsReadBack)
