#include "Slave.h"

#include "ItemBuilder.h"
#include "RecordLayout.h"
#include "SlaveIOData.h"
#include "SlaveLog.h"
#include "SlaveTreeHook.h"

#include <DataFolders.h>
#include <DescriptionModel.h>
#include <DescriptionParser.h>
#include <TarnBaseConvert.h>

#include <QMetaType>

#include <atomic>

using namespace TarnBase;

const QString Slave::kConfigData = QStringLiteral("CONFIG-DATA");
const QString Slave::kBasicInfo = QStringLiteral("BASIC INFO");
const QString Slave::kRxPdo = QStringLiteral("RXPDO");
const QString Slave::kTxPdo = QStringLiteral("TXPDO");

namespace {

constexpr int kBasicNameItem = 0;
constexpr int kBasicUuidItem = 1;
constexpr int kBasicCodeLowItem = 2;  // second byte of the hardware code
constexpr int kBasicCodeHighItem = 3; // first byte of the hardware code
constexpr int kFaultFlags = 8;
constexpr int kBitsPerByte = 8;

const QColor kTreeStationSet(0, 0, 0);
const QColor kTreeStationUnset(221, 34, 34);

int bit(quint32 value, int n)
{
    return int((value >> n) & 0x01);
}

quint64 nextRecordId()
{
    static std::atomic<quint64> next{1};
    return next++;
}

quint16 clampBits(int bits)
{
    return quint16(qBound(0, bits, Slave::kMaxAreaBits));
}

qint32 describedChannels(qint32 value)
{
    return qBound(0, value, Slave::kMaxDescribedChannels);
}

} // namespace

void registerSlaveMetaTypes()
{
    qRegisterMetaType<QList<Slave *>>("QList<Slave*>");
    qRegisterMetaType<QMap<int, Slave *>>("QMap<int,Slave*>");
}

Slave::Slave(int station, QObject *parent)
    : QObject(parent)
    , m_recordId(nextRecordId())
{
    stationId = quint8(station);
    newStationId = quint8(station);
    infoText.fill(QStringLiteral("--"));
    static const bool registered = (registerSlaveMetaTypes(), true);
    Q_UNUSED(registered)
    connect(this, &Slave::sigSetWriteIO, this, &Slave::onUpdateIOData);
}

Slave::~Slave()
{
    emit sigDelete();
    if (itemGroups)
        qDeleteAll(*itemGroups);
}

bool Slave::loadDescription(const ModuleDescription *device)
{
    if (!device)
        return false;
    typeCode = isDeviceType(device->moduleClass);
    moduleIdent = device->moduleIdent;
    typeName = device->typeName;
    imagePath = DataFolders::kPictures + QLatin1Char('/') + device->imageDir + QLatin1Char('/') + device->image;
    moduleClass = device->moduleClass;
    bitsPerChannel = qBound(0, device->bitSize, kMaxBitsPerChannel);
    supportSpeed = device->supportSpeed;
    suportERDC3 = device->suportERDC3;
    channelCount = describedChannels(device->channelCount);
    inputChannelCount = descInputChannelCount = describedChannels(device->inputChannelCount);
    outputChannelCount = descOutputChannelCount = describedChannels(device->outputChannelCount);
    inputOffs = describedChannels(device->inputOffs);
    outputOffs = describedChannels(device->outputOffs);
    inputChannelOffs = describedChannels(device->inputChannelOffs);
    outputChannelOffs = describedChannels(device->outputChannelOffs);
    suportChangeableChannel = device->suportChangeableChannel;

    if (itemGroups)
        qDeleteAll(*itemGroups);
    itemGroups = std::make_unique<ItemGroups>();
    const auto enter = [this](ItemsInfo *group) {
        group->setParent(this);
        // A later group with the same key replaces the earlier one.
        delete itemGroups->value(group->name, nullptr);
        itemGroups->insert(group->name, group);
    };
    for (const auto &object : device->dictionary.objects)
        enter(ItemBuilder::buildObjectGroup(*object, device->dictionary));

    const bool outputAnalog = typeCode == ModuleAO || typeCode == ModuleAIO || typeCode == ModuleAIAO;
    const int outputType = outputAnalog ? ParamAO : ParamDO;
    if (device->rxPdo)
        enter(ItemBuilder::buildPdoGroup(*device->rxPdo, outputType));
    if (device->txPdo) {
        int inputType = typeCode == ModuleAO ? ParamAO : ParamDO;
        if (typeCode == ModuleDI || typeCode == ModuleDIO || typeCode == ModuleDIDO)
            inputType = ParamDI;
        else if (typeCode == ModuleAI || typeCode == ModuleAIO || typeCode == ModuleAIAO)
            inputType = ParamAI;
        enter(ItemBuilder::buildPdoGroup(*device->txPdo, inputType));
    }
    return true;
}

ItemsInfo *Slave::group(const QString &key) const
{
    return itemGroups ? itemGroups->value(key, nullptr) : nullptr;
}

ItemInfo *Slave::groupItem(const QString &key, int i) const
{
    const ItemsInfo *g = group(key);
    return g ? g->itemAt(i) : nullptr;
}

void Slave::assignGroupAddresses(const QString &key, int start, int allocatedChannels, int areaBits)
{
    if (ItemsInfo *g = group(key))
        g->assignAddresses(start, allocatedChannels, areaBits);
}

// The channel items take the counts the record carries: the areas shown
// and occupied are those the module holds, not those its description offers.
void Slave::updateConfigItems(int station, const QByteArray &record, int paramOffset)
{
    if (ItemsInfo *config = group(kConfigData)) {
        config->updateConfig(station, record, alignment, RecordLayout::decodeParameters(record, paramOffset));
        config->setConfiguredChannels(configuredChannels(RecordLayout::channelCount(record, RecordLayout::kInputPos), inputOffs),
                                      configuredChannels(RecordLayout::channelCount(record, RecordLayout::kOutputPos), outputOffs));
    }
}

void Slave::updateConfigItemsFull(const QByteArray &record, int inChannels, int outChannels)
{
    if (ItemsInfo *config = group(kConfigData)) {
        config->updateConfigFull(stationId, record, RecordLayout::kInputPos, RecordLayout::kOutputPos,
                                 channelCount, alignment, inChannels, outChannels,
                                 RecordLayout::decodeParameters(record, RecordLayout::kStatusParamOffset));
        config->setConfiguredChannels(configuredChannels(inChannels, inputOffs), configuredChannels(outChannels, outputOffs));
    }
}

int Slave::configuredChannels(int count, int extraChannels)
{
    return count > extraChannels ? count - extraChannels : 0;
}

int Slave::heldAreaBits(int configured, int extraChannels) const
{
    return configured > 0 ? areaBits(configured + extraChannels, bitsPerChannel) : 0;
}

// The record goes to the adapter; the slave takes it once the adapter has
// (applyShortRecord).
void Slave::applyConfig(const QByteArray &configRecord)
{
    if (!itemGroups)
        return;
    emit sigSetConfig(configRecord);
}

void Slave::applyShortRecord(const QByteArray &configRecord)
{
    if (!itemGroups)
        return;
    stationId = newStationId;
    updateConfigItems(newStationId, configRecord, RecordLayout::kShortParamOffset);
}

void Slave::updateFromStatusRecord(const QByteArray &statusRecord)
{
    Q_UNUSED(statusRecord)
}

void Slave::applyEditedConfig(const QByteArray &record)
{
    if (!itemGroups)
        return;
    if (recordCarriesStation) {
        stationId = newStationId = RecordLayout::byteAt(record, RecordLayout::kStationOffset);
        updateConfigItems(newStationId, record, RecordLayout::kShortParamOffset);
        emit sigUpdateStaticConfig();
    } else {
        // Taken once the adapter has taken it.
        emit sigSetUUIDConfig(record);
    }
}

void Slave::restoreDefaults()
{
    if (ItemsInfo *config = group(kConfigData)) {
        for (ItemInfo *item : qAsConst(config->items))
            item->value.data = item->defaultData;
    }
}

void Slave::setAlignment(int mode)
{
    if (mode < 1) {
        // Addresses are divided by the alignment; 0 or less has no meaning.
        qCWarning(lcSlave) << "alignment" << mode << "ignored for station" << stationId;
        return;
    }
    alignment = mode;
    if (ItemsInfo *config = group(kConfigData)) {
        for (ItemInfo *item : qAsConst(config->items))
            item->alignment = qint16(mode);
    }
}

void Slave::setItemAddress(int index, int startAddress, int channels)
{
    if (ItemInfo *item = groupItem(kConfigData, index)) {
        item->startAddress = qint16(startAddress);
        item->channels = qint16(channels);
    }
}

void Slave::setOutputValue(int index, int value)
{
    if (ItemInfo *item = groupItem(kTxPdo, index))
        item->value.setValue(value);
}

QString Slave::inputValueText(int index) const
{
    const ItemInfo *item = groupItem(kRxPdo, index);
    return item ? item->value.toText() : QString();
}

int Slave::inputBitAddress(int index) const
{
    const ItemInfo *item = groupItem(kRxPdo, index);
    return item ? item->startAddress : -1;
}

int Slave::inputBitLength(int index) const
{
    const ItemInfo *item = groupItem(kRxPdo, index);
    return item ? item->bitLength : -1;
}

Slave::IoLengths Slave::ioLengths() const
{
    IoLengths lengths;
    const ItemsInfo *config = group(kConfigData);
    if (!config)
        return lengths;
    const auto rounded = [this](int bits) {
        if (alignment != 1 && bits % kBitsPerByte != 0)
            bits += kBitsPerByte - bits % kBitsPerByte;
        return clampBits(bits);
    };
    for (const ItemInfo *item : config->items) {
        if (item->isInputChannels())
            lengths.inputBits = rounded(heldAreaBits(item->channels, inputOffs));
        else if (item->isOutputChannels())
            lengths.outputBits = rounded(heldAreaBits(item->channels, outputOffs));
    }
    return lengths;
}

int Slave::areaBits(int channels, int bitsPerChannel)
{
    const int count = qBound(0, channels, kMaxAreaBits);
    const int width = qBound(0, bitsPerChannel, kMaxBitsPerChannel);
    return qMin(count * width, kMaxAreaBits);
}

Slave::IoWindow Slave::ioWindow() const
{
    IoWindow window;
    const ItemsInfo *config = group(kConfigData);
    if (!config)
        return window;
    for (const ItemInfo *item : config->items) {
        if (item->isInputChannels()) {
            window.inputStart = clampBits(item->startAddress);
            window.inputBits = quint16(heldAreaBits(item->channels, inputOffs));
        } else if (item->isOutputChannels()) {
            window.outputStart = clampBits(item->startAddress);
            window.outputBits = quint16(heldAreaBits(item->channels, outputOffs));
        }
    }
    return window;
}

void Slave::onStopLighting()
{
    emit sigCloseLamp();
    lighting = false;
}

void Slave::onReadChannel(int sid, int share, int channel)
{
    if (sid != stationId)
        return;
    readShare = share;
    readChannel = channel;
}

void Slave::onUpdateIOData()
{
    emit sigUpdateIOData(stationId);
}

// The record asks for no station and no areas; the slave takes it once the
// adapter has (takeClearedRecord).
void Slave::cleanSlaveID()
{
    QByteArray record(RecordLayout::kCleanRecordSize, '\0');
    record[0] = char(stationId);
    record.prepend(uuid);
    record.truncate(RecordLayout::kCleanRecordSize);
    emit sigCleanConfig(record);
}

void Slave::onStatusByte(quint8 status)
{
    statusRun = bit(status, 0);
    statusBit1 = bit(status, 1);
    statusBit2 = bit(status, 2);
    statusBit4 = bit(status, 4);
    if (status == lastStatusByte)
        return;
    lastStatusByte = status;
    statusBit5 = bit(status, 5);
    emit sigFaultChange();
    showInTree();
}

void Slave::showInTree()
{
    if (!treeItem)
        return;
    const SlaveTreeHook hook = slaveTreeHook();
    if (!hook)
        return;
    if (stationId != 0) {
        const QString part = typeName.split(QLatin1Char('-')).value(1);
        hook(treeItem, QStringLiteral("站号：%1 (%2)").arg(newStationId).arg(part), kTreeStationSet);
    } else {
        hook(treeItem, QStringLiteral("未设定"), kTreeStationUnset);
    }
}

void Slave::onFaultByte(quint8 fault)
{
    faultBit0 = bit(fault, 0);
    faultBit1 = bit(fault, 1);
    faultBit2 = bit(fault, 2);
    faultBit3 = bit(fault, 3);
    faultBit4 = bit(fault, 4);
    faultBit5 = bit(fault, 5);
    if (!itemGroups || fault == lastFaultByte)
        return;
    lastFaultByte = fault;
    const ItemsInfo *basic = group(kBasicInfo);
    if (!basic)
        return;
    const std::array<int, kFaultFlags> flags = {statusBit1, statusBit2, faultBit0, faultBit1,
                                                faultBit2,  faultBit3,  faultBit4, faultBit5};
    // Only eight flags exist, however many items the description lists.
    const int shown = qMin(int(basic->items.size()) - kBasicInfoFlagsStart, kFaultFlags);
    for (int i = 0; i < shown; ++i) {
        const QString text = flags[size_t(i)] ? QStringLiteral("abnormal") : QStringLiteral("normal");
        basic->items.at(i + kBasicInfoFlagsStart)->value.data = text.toUtf8();
    }
}

void Slave::onInputImage(int station, int value, const QByteArray &statusBytes, const QByteArray &inputImage)
{
    if (station == stationId) {
        forcedState = value;
        onStatusByte(RecordLayout::byteAt(statusBytes, 0));
        onFaultByte(RecordLayout::byteAt(statusBytes, 1));
    }
    QByteArray values;
    if (ItemsInfo *inputs = group(kRxPdo)) {
        for (ItemInfo *item : qAsConst(inputs->items)) {
            // An input outside the module's area reads nothing of it.
            const quint32 bits = item->hasAddress() ? SlaveIOData::readBits(inputImage, item->startAddress, item->bitLength) : 0;
            // Whether the channel reads anything: an analog reading of
            // 0x100 is no 0 either.
            values.append(char(bits != 0 ? 1 : 0));
            item->value.setValue(int(bits));
        }
    }
    if (readShare != 0)
        emit sigShareChannel(values, newStationId);
}

void Slave::setBasicInfo(const QString &name, const QByteArray &code)
{
    if (!name.isEmpty())
        typeName = name;
    if (typeName.isEmpty())
        return;
    if (ItemInfo *item = groupItem(kBasicInfo, kBasicNameItem))
        item->value.data = typeName.toUtf8();
    if (ItemInfo *item = groupItem(kBasicInfo, kBasicCodeHighItem))
        item->value.data = QByteArray(1, char(RecordLayout::byteAt(code, 0)));
    if (ItemInfo *item = groupItem(kBasicInfo, kBasicCodeLowItem))
        item->value.data = QByteArray(1, char(RecordLayout::byteAt(code, 1)));
}

void Slave::setUuid(const QByteArray &id)
{
    uuid = id;
    if (ItemInfo *item = groupItem(kBasicInfo, kBasicUuidItem)) {
        // A STRING_SN item shows its raw bytes as hexadecimal already;
        // storing hexadecimal text there would show the hex of the hex.
        item->value.data = item->dataType == TarnBase::DataStringSn ? id : id.toHex().toUpper();
    }
}

QByteArray Slave::configurationRecord() const
{
    QByteArray record(RecordLayout::kCleanRecordSize, '\0');
    record[0] = char(stationId);
    record[1] = char(newStationId);
    const ItemsInfo *config = group(kConfigData);
    if (!config)
        return record;
    const auto setWord = [&record](int pos, int start, int count) {
        const quint16 word = quint16((start << 7) | (count & RecordLayout::kChannelMask));
        record[pos] = char(word & 0xFF);
        record[pos + 1] = char(word >> 8);
    };
    // A module without channels holds no area, not its extra channels alone.
    const auto count = [](int channels, int extra) { return channels > 0 ? channels + extra : 0; };
    QMap<QString, qint16> params;
    for (const ItemInfo *item : config->items) {
        if (item->isInputChannels())
            setWord(RecordLayout::kInputPos, item->startAddress, count(item->channels, inputOffs));
        else if (item->isOutputChannels())
            setWord(RecordLayout::kOutputPos, item->startAddress, count(item->channels, outputOffs));
        else if (!item->isStation())
            params.insert(item->name, qint16(item->value.toInt()));
    }
    record.replace(RecordLayout::kShortParamOffset, RecordLayout::kParamBlockSize, RecordLayout::encodeParameters(params));
    return record;
}
