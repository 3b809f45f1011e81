#pragma once

#include "ItemsInfo.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

struct ModuleDescription;
class QTreeWidgetItem;

using ItemGroups = QMap<QString, ItemsInfo *>;

// The plain data of a slave record. A Slave carries it; a snapshot
// (SlaveState) copies it for views in other threads.
struct SlaveFields
{
    static constexpr int kInfoTexts = 8;

    bool recordCarriesStation = false;
    quint8 stationId = 0;
    quint8 newStationId = 0;
    qint32 alignment = 1;
    qint32 bitsPerChannel = 1;
    qint32 channelCount = 0;
    qint32 inputChannelCount = 0;
    qint32 outputChannelCount = 0;
    qint32 descInputChannelCount = 0;
    qint32 descOutputChannelCount = 0;
    qint32 inputOffs = 0;
    qint32 outputOffs = 0;
    qint32 inputChannelOffs = 0;
    qint32 outputChannelOffs = 0;
    qint32 readChannel = -1;
    qint32 readShare = -1;
    QByteArray rawInfo;
    QByteArray uuid;
    QString moduleIdent;
    QString typeName;
    // The module's picture by its name in the data folders
    // ("SVG/<image folder>/<file>"), looked up where it is drawn.
    QString imagePath;
    QString moduleClass;
    qint32 statusRun = 0;
    qint32 statusBit1 = 0;
    qint32 statusBit2 = 0;
    qint32 statusBit4 = 0;
    qint32 statusBit5 = 0;
    qint32 forcedState = 0;
    qint32 faultBit0 = 0;
    qint32 faultBit1 = 0;
    qint32 faultBit2 = 0;
    qint32 faultBit3 = 0;
    qint32 faultBit4 = 0;
    qint32 faultBit5 = 0;
    quint8 lastStatusByte = 0;
    quint8 lastFaultByte = 0;
    bool lighting = false;
    std::array<QString, kInfoTexts> infoText;
    qint32 typeCode = 8;
    qint32 supportSpeed = 0;
    qint32 suportERDC3 = 0;
    bool suportChangeableChannel = false;
};

// The in-memory record of one IO module on an adapter's bus. It interprets
// the per-module records the adapter reads and produces the requests the
// adapter sends; it knows nothing of the wire. The concrete kinds differ only
// in applyShortRecord and updateFromStatusRecord.
class Slave : public QObject, public SlaveFields
{
    Q_OBJECT
public:
    static const QString kConfigData; // "CONFIG-DATA"
    static const QString kBasicInfo;  // "BASIC INFO"
    static const QString kRxPdo;      // "RXPDO": the module's inputs
    static const QString kTxPdo;      // "TXPDO": the module's outputs
    static constexpr int kBasicInfoFlagsStart = 4; // "BASIC INFO" items 4.. show fault flags

    // Sizes a description supplies are clamped to these when it is loaded,
    // so that channel counts and offsets add up without overflow. Wider
    // channels or more of them than this exist on no module.
    static constexpr int kMaxBitsPerChannel = 64;
    static constexpr int kMaxDescribedChannels = 0x7FFF;
    static constexpr int kMaxAreaBits = 0xFFFF;

    // Bits of an IO area of channels channels: both factors are clamped
    // before they are multiplied (fields may hold any number), the product
    // to kMaxAreaBits. Negative counts or widths give 0.
    static int areaBits(int channels, int bitsPerChannel);
    // The channels a record's channel count configures: the count less the
    // module's extra (diagnostic) channels; none when it holds no more.
    static int configuredChannels(int count, int extraChannels);
    // Bits of the area a module holds with this many configured channels:
    // none without channels, else the channels and the extra channels.
    int heldAreaBits(int configured, int extraChannels) const;

    struct IoLengths {
        quint16 inputBits = 0;
        quint16 outputBits = 0;
    };
    struct IoWindow {
        quint16 inputStart = 0;
        quint16 inputBits = 0;
        quint16 outputStart = 0;
        quint16 outputBits = 0;
    };

    explicit Slave(int station, QObject *parent = nullptr);
    ~Slave() override;

    QTreeWidgetItem *treeItem = nullptr; // not owned
    std::unique_ptr<ItemGroups> itemGroups; // null until a description is loaded

    // Fills the record from a device description; false (and nothing
    // changed) without one.
    bool loadDescription(const ModuleDescription *device);

    // The group under key, or null.
    ItemsInfo *group(const QString &key) const;
    // Item i of the group under key, or null.
    ItemInfo *groupItem(const QString &key, int i) const;

    // Applies a record edited in the parameter editor (parameter block at 6).
    void applyEditedConfig(const QByteArray &record);
    void setAlignment(int mode);
    void setItemAddress(int index, int startAddress, int channels);

    void setBasicInfo(const QString &name, const QByteArray &code);
    void setUuid(const QByteArray &uuid);

    // The 64-byte configuration record of the slave as configured: byte 0
    // stationId, byte 1 newStationId, bytes 2-3 and 4-5 the input and output
    // words ((start << 7) | (channels + offs)), the parameter block at 6.
    QByteArray configurationRecord() const;

    // Identifies this record for its whole life, unlike the station (edited,
    // may repeat) and the UID (empty in offline configurations). Unique in
    // the process; a module replaced on the bus gets a new record.
    quint64 recordId() const { return m_recordId; }

    // --- Records exchanged with the adapter (SlaveRecords.cpp) ------------
    // The first 12 bytes of the UID, zero-padded.
    QByteArray identity12() const;
    // A 64-byte address assignment record: identity, the two stations, the
    // two address words and the slave's own parameter block (the adapter and
    // the slave take the parameters over with it).
    QByteArray addressRecord(int current, int requested, quint16 inputWord, quint16 outputWord) const;
    // The identity followed by the configuration record as configured.
    QByteArray identityConfigRecord() const;
    // The configuration block an offline download writes for this record,
    // from its CONFIG-DATA items.
    QByteArray downloadBlock() const;

    // --- State taken from the bus ----------------------------------------
    // An info block read from the adapter: its state byte, and the block
    // for the kind's own decoding.
    void takeInfoBlock(quint8 stateByte, const QByteArray &block);
    // The same without the kind's decoding (a report from the identity queue
    // while polling).
    void takeReportedBlock(quint8 stateByte, const QByteArray &block);
    // The module took a cleared record: no station, no areas.
    void takeClearedRecord(const QByteArray &shortRecord);
    // Back to what the module last reported (its last info block): the
    // record was changed for a write the adapter did not take.
    void takeModuleState();
    // The module is the adapter's own (local) module, whose records carry its station.
    void setLocalModule(bool local) { recordCarriesStation = local; }
    // The module now answers at this station.
    void takeReportedStation(int station);
    // The adapter kept the module's station: ask for it again.
    void keepCurrentStation();
    // The module was not seen by the last poll.
    void markNotConfirmed();
    // A repeated station was given up for the record's new one.
    void takeRepairedStation(const QByteArray &shortRecord);
    // A line of a configuration file was applied under this type text.
    void takeImportedLine(const QString &typeText);
    // Force mode begins or ends for the module; leaving it clears the outputs.
    void setForced(bool forced);
    // A module added to an offline configuration takes the channels its
    // description gives it, as a module read from the bus or from a file does.
    void giveDescribedChannels();

signals:
    void sigShareChannel(QByteArray values, int station);
    void sigShareChannel2(QByteArray values, int station);
    void sigReadChannel(int sid, int share, int channel);
    void sigFaultChange();
    void sigCloseLamp();
    void sigCleanConfig(QByteArray record);
    void sigLigthing(QByteArray data);
    void sigSetConfig(QByteArray record);
    void sigSetUUIDConfig(QByteArray record);
    void sigUpdateStaticConfig();
    void sigSetWriteIO();
    void sigUpdateIOData(int station);
    void sigDelete();

public slots:
    virtual void applyConfig(const QByteArray &configRecord);
    virtual void applyShortRecord(const QByteArray &configRecord);
    virtual void updateFromStatusRecord(const QByteArray &statusRecord);
    virtual void restoreDefaults();
    virtual void setOutputValue(int index, int value);
    virtual QString inputValueText(int index) const;
    virtual int inputBitAddress(int index) const;
    virtual int inputBitLength(int index) const;
    // One line of the configuration CSV file, ending in "\n"; empty for a
    // slave without configuration items.
    virtual QString toCsvLine() const;
    virtual QString toCsvLineWithUid() const;
    // Applies one data line of a file without / with the UID column. False,
    // with nothing changed, when the line is not a data line of that form.
    virtual bool applyCsvLine(const QString &line);
    virtual bool applyCsvLineWithUid(const QString &line);
    virtual Slave::IoLengths ioLengths() const;
    virtual Slave::IoWindow ioWindow() const;

    void onStopLighting();
    void onReadChannel(int sid, int share, int channel);
    void onUpdateIOData();
    void cleanSlaveID();

    // The module's status byte and fault byte, and the input image.
    void onStatusByte(quint8 status);
    void onFaultByte(quint8 fault);
    void onInputImage(int station, int value, const QByteArray &statusBytes, const QByteArray &inputImage);

protected:
    // Channel addresses of a process-data group from a start address, for
    // the items that fit in the area.
    void assignGroupAddresses(const QString &key, int start, int allocatedChannels, int areaBits);
    // The configuration-item update of "CONFIG-DATA" from a configuration
    // record, parameter block at paramOffset.
    void updateConfigItems(int station, const QByteArray &record, int paramOffset);
    // The full update of "CONFIG-DATA" from a status record.
    void updateConfigItemsFull(const QByteArray &record, int inChannels, int outChannels);

private:
    const quint64 m_recordId;
    QString csvLine(bool withUid) const;
    bool applyCsv(const QString &line, bool withUid);
    void showInTree();
};

void registerSlaveMetaTypes();
