#include "SlaveTestLibrary.h"

#include <DescriptionParser.h>
#include <RecordLayout.h>
#include <SlaveIOData.h>
#include <SlaveKinds.h>
#include <SlaveTreeHook.h>

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

using namespace SlaveTestLibrary;

namespace {

// Stands in for the project tree: records what a slave asks it to show.
struct FakeTree {
    static QTreeWidgetItem *item;
    static QString text;
    static QColor color;
    static int calls;
    static void show(QTreeWidgetItem *i, const QString &t, const QColor &c)
    {
        item = i;
        text = t;
        color = c;
        ++calls;
    }
    static void reset()
    {
        item = nullptr;
        text.clear();
        color = QColor();
        calls = 0;
    }
};
QTreeWidgetItem *FakeTree::item = nullptr;
QString FakeTree::text;
QColor FakeTree::color;
int FakeTree::calls = 0;

// Any non-null address will do: the model never dereferences the item.
QTreeWidgetItem *const kTreeItem = reinterpret_cast<QTreeWidgetItem *>(quintptr(0x1000));

ItemInfo *configItem(Slave &slave, int paramType)
{
    for (ItemInfo *item : slave.group(Slave::kConfigData)->items) {
        if (item->paramType == paramType)
            return item;
    }
    return nullptr;
}

} // namespace

class Relay : public QObject
{
    Q_OBJECT
public:
    QList<Slave *> list;
    QMap<int, Slave *> map;
signals:
    void sigList(QList<Slave *> slaves);
    void sigMap(QMap<int, Slave *> slaves);
public slots:
    void onList(QList<Slave *> slaves) { list = slaves; }
    void onMap(QMap<int, Slave *> slaves) { map = slaves; }
};

class TestSlaveRecord : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FakeTree::reset();
        installSlaveTreeHook(&FakeTree::show);
    }
    void cleanup() { installSlaveTreeHook(nullptr); }

    void constructionDefaults()
    {
        Slave slave(7);
        QCOMPARE(slave.stationId, quint8(7));
        QCOMPARE(slave.newStationId, quint8(7));
        QCOMPARE(slave.alignment, 1);
        QCOMPARE(slave.typeCode, 8);
        QCOMPARE(slave.readShare, -1);
        QVERIFY(!slave.itemGroups);
        QCOMPARE(slave.infoText[7], QStringLiteral("--"));
        QVERIFY(!slave.loadDescription(nullptr));
        QVERIFY(!slave.itemGroups);
        // Without items the record operations and accessors do nothing.
        QSignalSpy setConfig(&slave, &Slave::sigSetConfig);
        slave.applyConfig(QByteArray(32, '\x01'));
        QCOMPARE(setConfig.count(), 0);
        QCOMPARE(slave.inputBitAddress(0), -1);
        QCOMPARE(slave.inputBitLength(0), -1);
        QCOMPARE(slave.inputValueText(0), QString());
        QCOMPARE(slave.toCsvLine(), QString());
    }

    void loadsDescription()
    {
        auto slave = create(kDIO);
        QCOMPARE(slave->typeCode, 2);
        QCOMPARE(slave->moduleIdent, kDIO);
        QCOMPARE(slave->moduleClass, QStringLiteral("DIO"));
        QCOMPARE(slave->typeName, QStringLiteral("FX-DIO4-C"));
        QCOMPARE(slave->imagePath, QStringLiteral("SVG/Fixture/fx-dio4-c.svg"));
        QCOMPARE(slave->bitsPerChannel, 1);
        QCOMPARE(slave->channelCount, 4);
        QCOMPARE(slave->descInputChannelCount, 4);
        QCOMPARE(slave->outputChannelCount, 4);
        QCOMPARE(slave->inputOffs, 1);
        QVERIFY(slave->suportChangeableChannel);
        QCOMPARE(slave->itemGroups->keys(),
                 (QStringList{"BASIC INFO", "CONFIG-DATA", "RXPDO", "TXPDO"}));
        // Process-data parameter types follow the kind: digital in 1, out 2.
        QCOMPARE(slave->groupItem(Slave::kRxPdo, 0)->paramType, 1);
        QCOMPARE(slave->groupItem(Slave::kTxPdo, 0)->paramType, 2);
        auto analog = create(kAIAO);
        QCOMPARE(analog->groupItem(Slave::kRxPdo, 0)->paramType, 3);
        QCOMPARE(analog->groupItem(Slave::kTxPdo, 0)->paramType, 4);
        auto noPdo = create(kNoPdo);
        QVERIFY(!noPdo->group(Slave::kRxPdo) && !noPdo->group(Slave::kTxPdo));
    }

    // Status byte: low bits always, the rest and the signal only on change.
    void statusByte()
    {
        auto slave = create(kDI, 3);
        slave->treeItem = kTreeItem;
        QSignalSpy changed(slave.get(), &Slave::sigFaultChange);

        slave->onStatusByte(0x37);
        QCOMPARE(slave->statusRun, 1);
        QCOMPARE(slave->statusBit1, 1);
        QCOMPARE(slave->statusBit2, 1);
        QCOMPARE(slave->statusBit4, 1);
        QCOMPARE(slave->statusBit5, 1);
        QCOMPARE(slave->lastStatusByte, quint8(0x37));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(FakeTree::calls, 1);
        QCOMPARE(FakeTree::item, kTreeItem);
        QCOMPARE(FakeTree::text, QStringLiteral("站号：3 (DI4)"));
        QCOMPARE(FakeTree::color, QColor(0, 0, 0));

        // The same byte again: low bits follow, nothing is announced.
        slave->statusRun = slave->statusBit1 = slave->statusBit5 = 0;
        slave->onStatusByte(0x37);
        QCOMPARE(slave->statusRun, 1);
        QCOMPARE(slave->statusBit1, 1);
        QCOMPARE(slave->statusBit5, 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(FakeTree::calls, 1);
    }

    void treeTextForStation_data()
    {
        QTest::addColumn<int>("station");
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("color");
        QTest::newRow("station set") << 12 << "TB-DI8-N" << "站号：12 (DI8)" << QColor(0, 0, 0);
        QTest::newRow("name without parts") << 12 << "PLAIN" << "站号：12 ()" << QColor(0, 0, 0);
        QTest::newRow("station 0") << 0 << "TB-DI8-N" << "未设定" << QColor(221, 34, 34);
    }
    void treeTextForStation()
    {
        QFETCH(int, station);
        QFETCH(QString, typeName);
        QFETCH(QString, text);
        QFETCH(QColor, color);
        Slave slave(station);
        slave.typeName = typeName;
        slave.treeItem = kTreeItem;
        slave.onStatusByte(0x01);
        QCOMPARE(FakeTree::text, text);
        QCOMPARE(FakeTree::color, color);
    }

    void noTreeItemNoHookCall()
    {
        Slave slave(1);
        slave.onStatusByte(0x01);
        QCOMPARE(FakeTree::calls, 0);
    }

    // Fault byte: the six fault bits, and the flags shown in "BASIC INFO"
    // items 4 on (status bits 1 and 2, then fault bits 0..5).
    void faultByte()
    {
        auto slave = create(kDI);
        slave->onStatusByte(0x02); // status bit 1
        slave->onFaultByte(0x21);
        QCOMPARE(slave->faultBit0, 1);
        QCOMPARE(slave->faultBit5, 1);
        QCOMPARE(slave->faultBit1, 0);
        QCOMPARE(slave->lastFaultByte, quint8(0x21));
        const QStringList expected{"abnormal", "normal", "abnormal", "normal"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(QString::fromUtf8(slave->groupItem(Slave::kBasicInfo, 4 + i)->value.data), expected.at(i));

        // Unchanged byte: fields follow, texts stay.
        slave->groupItem(Slave::kBasicInfo, 4)->value.data = "kept";
        slave->onFaultByte(0x21);
        QCOMPARE(slave->groupItem(Slave::kBasicInfo, 4)->value.data, QByteArray("kept"));
    }

    void faultByteWithMoreItemsThanFlags()
    {
        auto slave = create(kDI);
        ItemsInfo *basic = slave->group(Slave::kBasicInfo);
        for (int i = 0; i < 10; ++i)
            basic->append(new ItemInfo);
        slave->onFaultByte(0x3F);
        QCOMPARE(basic->items.at(4 + 7)->value.data, QByteArray("abnormal")); // fault bit 5
        QCOMPARE(basic->items.at(4 + 8)->value.data, QByteArray());           // no flag of its own
    }

    void ioLengthsAndWindow_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("inChannels");
        QTest::addColumn<int>("outChannels");
        QTest::addColumn<int>("inBits");
        QTest::addColumn<int>("outBits");
        QTest::addColumn<int>("windowIn");
        QTest::addColumn<int>("windowOut");
        QTest::newRow("bit alignment") << kDI << 1 << 10 << 0 << 10 << 0 << 10 << 0;
        QTest::newRow("alignment 2 rounds to bytes") << kDI << 2 << 10 << 0 << 16 << 0 << 10 << 0;
        QTest::newRow("byte alignment, whole byte") << kDI << 8 << 8 << 0 << 8 << 0 << 8 << 0;
        QTest::newRow("offsets counted") << kDIO << 1 << 4 << 4 << 5 << 5 << 5 << 5;
        QTest::newRow("offsets, byte alignment") << kDIO << 8 << 4 << 4 << 8 << 8 << 5 << 5;
        QTest::newRow("16-bit channels") << kAIAO << 8 << 2 << 2 << 32 << 32 << 32 << 32;
        QTest::newRow("output only") << kAO << 8 << 0 << 3 << 0 << 48 << 0 << 48;
    }
    void ioLengthsAndWindow()
    {
        QFETCH(QString, ident);
        QFETCH(int, alignment);
        QFETCH(int, inChannels);
        QFETCH(int, outChannels);
        QFETCH(int, inBits);
        QFETCH(int, outBits);
        QFETCH(int, windowIn);
        QFETCH(int, windowOut);
        auto slave = create(ident);
        slave->setAlignment(alignment);
        const auto *config = slave->group(Slave::kConfigData);
        for (int i = 0; i < config->items.size(); ++i) {
            const ItemInfo *item = config->items.at(i);
            if (item->isInputChannels())
                slave->setItemAddress(i, 24, inChannels);
            else if (item->isOutputChannels())
                slave->setItemAddress(i, 100, outChannels);
        }
        const Slave::IoLengths lengths = slave->ioLengths();
        QCOMPARE(int(lengths.inputBits), inBits);
        QCOMPARE(int(lengths.outputBits), outBits);
        const Slave::IoWindow window = slave->ioWindow();
        QCOMPARE(int(window.inputBits), windowIn);
        QCOMPARE(int(window.outputBits), windowOut);
        QCOMPARE(int(window.inputStart), windowIn ? 24 : 0);
        QCOMPARE(int(window.outputStart), windowOut ? 100 : 0);
    }

    // Sizes from a description file are clamped when it is loaded, and the
    // areas computed from them never overflow, whatever the file says.
    void describedSizesAreClamped_data()
    {
        QTest::addColumn<QString>("bitSize");
        QTest::addColumn<QString>("channels"); // ChannelCount, InputChannelCount, OutputChannelCount
        QTest::addColumn<QString>("offsets");  // InputOffs, OutputOffs
        QTest::addColumn<int>("bitsPerChannel");
        QTest::addColumn<int>("channelCount");
        QTest::addColumn<int>("offs");
        QTest::addColumn<int>("areaBits"); // of 4 channels plus the offsets, both directions

        const QString huge = QString::number(std::numeric_limits<int>::max());
        const QString lowest = QString::number(std::numeric_limits<int>::min());
        const int maxChannels = Slave::kMaxDescribedChannels;
        QTest::newRow("as described") << "1" << "4" << "1" << 1 << 4 << 1 << 5;
        QTest::newRow("huge BitSize") << huge << "4" << "1" << int(Slave::kMaxBitsPerChannel) << 4 << 1
                                      << 5 * Slave::kMaxBitsPerChannel;
        QTest::newRow("huge channel counts") << "1" << huge << "1" << 1 << maxChannels << 1 << 5;
        QTest::newRow("huge offsets") << "1" << "4" << huge << 1 << 4 << maxChannels << 4 + maxChannels;
        QTest::newRow("everything huge") << huge << huge << huge << int(Slave::kMaxBitsPerChannel) << maxChannels
                                         << maxChannels << int(Slave::kMaxAreaBits);
        QTest::newRow("lowest numbers") << lowest << lowest << lowest << 0 << 0 << 0 << 0;
    }
    void describedSizesAreClamped()
    {
        QFETCH(QString, bitSize);
        QFETCH(QString, channels);
        QFETCH(QString, offsets);
        QFETCH(int, bitsPerChannel);
        QFETCH(int, channelCount);
        QFETCH(int, offs);
        QFETCH(int, areaBits);

        QFile file(fixtureFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString xml = QString::fromUtf8(file.readAll());
        const QString described = QStringLiteral(
            R"(BitSize="1" ChannelCount="4" InputChannelCount="4" OutputChannelCount="4" Image="fx-dio4-c.svg" )"
            R"(supportSpeed="0" SuportERDC3="0" SuportChangeableChannel="1" InputOffs="1" OutputOffs="1")");
        QVERIFY(xml.contains(described));
        xml.replace(described, QStringLiteral(R"(BitSize="%1" ChannelCount="%2" InputChannelCount="%2" )"
                                              R"(OutputChannelCount="%2" Image="fx-dio4-c.svg" supportSpeed="0" )"
                                              R"(SuportERDC3="0" SuportChangeableChannel="1" InputOffs="%3" OutputOffs="%3")")
                                   .arg(bitSize, channels, offsets));
        QDomDocument document;
        QVERIFY(document.setContent(xml));
        const DescriptionFile description = parseDescriptionFile(document);

        auto slave = create(kDIO);
        QVERIFY(slave->loadDescription(description.find(kDIO)));
        QCOMPARE(slave->bitsPerChannel, bitsPerChannel);
        QCOMPARE(slave->channelCount, channelCount);
        QCOMPARE(slave->inputChannelCount, channelCount);
        QCOMPARE(slave->descOutputChannelCount, channelCount);
        QCOMPARE(slave->inputOffs, offs);
        QCOMPARE(slave->outputOffs, offs);

        const auto *config = slave->group(Slave::kConfigData);
        for (int i = 0; i < config->items.size(); ++i) {
            if (config->items.at(i)->isInputChannels() || config->items.at(i)->isOutputChannels())
                slave->setItemAddress(i, 0, 4);
        }
        QCOMPARE(int(slave->ioLengths().inputBits), areaBits);
        QCOMPARE(int(slave->ioLengths().outputBits), areaBits);
        QCOMPARE(int(slave->ioWindow().inputBits), areaBits);
        QCOMPARE(int(slave->ioWindow().outputBits), areaBits);
    }

    void alignmentBelowOneIgnored()
    {
        auto slave = create(kDI);
        slave->setAlignment(8);
        slave->setAlignment(0);
        QCOMPARE(slave->alignment, 8);
        QCOMPARE(configItem(*slave, 1)->alignment, qint16(8));
    }

    void configurationRecordFollowsTheItems()
    {
        // FX-DIO4-C: 4 channels, one extra channel each way, parameters
        // filter, enable, substitute, MAX_RPM and brake.
        auto slave = create(kDIO, 7);
        QByteArray status(28, '\0');
        status[0] = 0x01;
        status[1] = 7;
        status[2] = char(0x05);        // 5 input channels at address 16
        status[3] = char(16 >> 1);
        status[4] = char(0x80 | 0x05); // 5 output channels at address 41
        status[5] = char(41 >> 1);
        status.replace(16, 12, QByteArray::fromHex("31003412" "0000" "E803" "0000" "0000"));
        slave->updateFromStatusRecord(status);
        slave->newStationId = 9;

        const QByteArray record = slave->configurationRecord();
        QCOMPARE(record.size(), 64);
        QCOMPARE(quint8(record.at(0)), quint8(7));
        QCOMPARE(quint8(record.at(1)), quint8(9));
        const auto word = [&record](int i) { return quint8(record.at(i)) | (quint8(record.at(i + 1)) << 8); };
        QCOMPARE(word(2), (16 << 7) | (4 + 1));
        QCOMPARE(word(4), (41 << 7) | (4 + 1));
        // filter 3, enable 1, substitute 0x1234, MAX_RPM 1000; brake 0
        QCOMPARE(record.mid(6, 12), QByteArray::fromHex("31003412" "0000" "E803" "0000" "0000"));
        QCOMPARE(record.mid(18), QByteArray(46, '\0'));

        // What the record says is what a fresh slave of the type takes over.
        auto copy = create(kDIO, 1);
        QByteArray other(28, '\0');
        other[0] = 0x01;
        other[1] = 1;
        copy->updateFromStatusRecord(other);
        copy->applyShortRecord(record);
        QCOMPARE(int(copy->stationId), 9);
        QCOMPARE(copy->configurationRecord().mid(2, 16), record.mid(2, 16));
    }

    void cleanSlaveID()
    {
        auto slave = create(kDI, 42);
        const QByteArray uuid = QByteArray::fromHex("0102030405060708090A0B0C");
        slave->setUuid(uuid);
        QSignalSpy clean(slave.get(), &Slave::sigCleanConfig);
        slave->cleanSlaveID();
        QCOMPARE(clean.count(), 1);
        const QByteArray record = clean.at(0).at(0).toByteArray();
        QCOMPARE(record.size(), 64);
        QCOMPARE(record.left(12), uuid);
        QCOMPARE(quint8(record.at(12)), quint8(42));
        QCOMPARE(record.mid(13), QByteArray(51, '\0'));
        // Nothing changes before the adapter has taken the record.
        QCOMPARE(slave->newStationId, quint8(42));
        QCOMPARE(slave->stationId, quint8(42));
        QCOMPARE(slave->statusBit4, 0);
        slave->takeClearedRecord(record.mid(12, 25));
        QCOMPARE(slave->newStationId, quint8(0));
        QCOMPARE(slave->stationId, quint8(0));
        QCOMPARE(slave->statusBit4, 1);
        QCOMPARE(slave->ioWindow().inputBits, quint16(0));
    }

    // Input values are cut from the adapter's whole input image at each
    // item's start address, bit 0 first.
    void inputImage_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<int>("start");
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("bits inside a byte") << kDI << 3 << QByteArray::fromHex("38") << QByteArray::fromHex("01010100")
                                            << QStringList{"TRUE", "TRUE", "TRUE", "FALSE"};
        QTest::newRow("bits across bytes") << kDI << 6 << QByteArray::fromHex("C002") << QByteArray::fromHex("01010001")
                                           << QStringList{"TRUE", "TRUE", "FALSE", "TRUE"};
        QTest::newRow("beyond the image") << kDI << 7 << QByteArray::fromHex("80") << QByteArray::fromHex("01000000")
                                          << QStringList{"TRUE", "FALSE", "FALSE", "FALSE"};
        // Shared with the running light: whether each channel reads
        // anything, so that 0x1200 counts as much as 0x0001.
        QTest::newRow("16-bit values") << kAI << 4 << QByteArray::fromHex("4023110F")
                                       << QByteArray::fromHex("0101") << QStringList{"4660", "241"};
        QTest::newRow("low byte 0") << kAI << 0 << QByteArray::fromHex("0012")
                                    << QByteArray::fromHex("0100") << QStringList{"4608", "0"};
        QTest::newRow("negative 16-bit value") << kAI << 0 << QByteArray::fromHex("FEFF")
                                               << QByteArray::fromHex("0100") << QStringList{"-2", "0"};
    }
    void inputImage()
    {
        QFETCH(QString, ident);
        QFETCH(int, start);
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, values);
        QFETCH(QStringList, texts);
        auto slave = create(ident, 4);
        slave->group(Slave::kRxPdo)->assignAddresses(start, 0, 512);
        QSignalSpy share(slave.get(), &Slave::sigShareChannel);
        slave->onInputImage(4, 1, QByteArray::fromHex("0100"), image);
        QCOMPARE(share.count(), 1);
        QCOMPARE(share.at(0).at(0).toByteArray(), values);
        QCOMPARE(share.at(0).at(1).toInt(), 4);
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(slave->inputValueText(i), texts.at(i));
        QCOMPARE(slave->inputBitAddress(1), start + slave->inputBitLength(0));
        QCOMPARE(slave->inputValueText(texts.size()), QString());
        QCOMPARE(slave->inputBitAddress(-1), -1);
    }

    void inputImageStatusForOwnStationOnly()
    {
        auto slave = create(kDI, 4);
        slave->onInputImage(9, 1, QByteArray::fromHex("0103"), QByteArray());
        QCOMPARE(slave->forcedState, 0);
        QCOMPARE(slave->statusRun, 0);
        slave->onInputImage(4, 1, QByteArray::fromHex("01"), QByteArray()); // fault byte missing: 0
        QCOMPARE(slave->forcedState, 1);
        QCOMPARE(slave->statusRun, 1);
        QCOMPARE(slave->faultBit0, 0);
        slave->onInputImage(4, 0, QByteArray(), QByteArray());
        QCOMPARE(slave->forcedState, 0);
        QCOMPARE(slave->statusRun, 0);

        slave->onReadChannel(4, 0, 2);
        QCOMPARE(slave->readShare, 0);
        QCOMPARE(slave->readChannel, 2);
        QSignalSpy share(slave.get(), &Slave::sigShareChannel);
        slave->onInputImage(4, 0, QByteArray(), QByteArray());
        QCOMPARE(share.count(), 0);
        slave->onReadChannel(5, 1, 3); // another station's request
        QCOMPARE(slave->readShare, 0);
    }

    void outputImage()
    {
        auto slave = create(kAO);
        slave->group(Slave::kTxPdo)->assignAddresses(4, 0, 512);
        slave->setOutputValue(0, 0x1234);
        slave->setOutputValue(1, 0xFFFF);
        slave->setOutputValue(2, 7); // no such output
        QByteArray image(6, '\x0F');
        SlaveIOData::writeOutputs(*slave, image);
        QCOMPARE(image, QByteArray::fromHex("4F23F1FF0F0F"));
        SlaveIOData::clearOutputs(*slave);
        SlaveIOData::writeOutputs(*slave, image);
        QCOMPARE(image, QByteArray::fromHex("0F000000000F"));
    }

    void applyConfig()
    {
        auto slave = create(kDI, 2);
        slave->newStationId = 6;
        QSignalSpy setConfig(slave.get(), &Slave::sigSetConfig);
        QByteArray record = QByteArray::fromHex("0206 8003 0000 A100 3412") + QByteArray(22, '\0');

        // Online or not, the record goes to the adapter and the slave takes
        // it only once the adapter has (applyShortRecord).
        const QByteArray held = slave->configurationRecord();
        for (const int running : {1, 0}) {
            slave->statusRun = running;
            slave->applyConfig(record);
            QCOMPARE(setConfig.takeFirst().at(0).toByteArray(), record);
            QCOMPARE(slave->configurationRecord(), held);
        }
        slave->applyShortRecord(record);
        QCOMPARE(configItem(*slave, 0)->station, qint16(6));
        QCOMPARE(configItem(*slave, 1)->startAddress, qint16(7));
        QCOMPARE(configItem(*slave, 5)->value.toInt(), 10);     // filter level
        QCOMPARE(configItem(*slave, 6)->value.toInt(), 1);      // fieldbus error with output
        QCOMPARE(configItem(*slave, 7)->value.toInt(), 0x1234); // substitute value
    }

    void applyEditedConfig_data()
    {
        QTest::addColumn<bool>("carriesStation");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("station");
        QTest::newRow("identity based") << false << QByteArray::fromHex("0209") << 2;
        QTest::newRow("local module") << true << QByteArray::fromHex("0209") << 9;
        QTest::newRow("local module, record of 1 byte") << true << QByteArray::fromHex("02") << 0;
    }
    void applyEditedConfig()
    {
        QFETCH(bool, carriesStation);
        QFETCH(QByteArray, record);
        QFETCH(int, station);
        auto slave = create(kDI, 2);
        slave->recordCarriesStation = carriesStation;
        QSignalSpy uuidConfig(slave.get(), &Slave::sigSetUUIDConfig);
        QSignalSpy staticConfig(slave.get(), &Slave::sigUpdateStaticConfig);
        const int itemStation = configItem(*slave, 0)->station;
        slave->applyEditedConfig(record);
        QCOMPARE(int(slave->stationId), station);
        QCOMPARE(int(slave->newStationId), station);
        // A record by identity goes to the adapter first: the items wait.
        QCOMPARE(int(configItem(*slave, 0)->station), carriesStation ? station : itemStation);
        QCOMPARE(uuidConfig.count(), carriesStation ? 0 : 1);
        QCOMPARE(staticConfig.count(), carriesStation ? 1 : 0);
    }

    void restoreDefaults()
    {
        auto slave = create(kDI);
        ItemInfo *substitute = configItem(*slave, 7);
        substitute->value.setValue(99);
        slave->restoreDefaults();
        QCOMPARE(substitute->value.toInt(), 0x1234);
    }

    void basicInfo()
    {
        auto slave = create(kDI);
        slave->setBasicInfo(QString(), QByteArray::fromHex("A1B2"));
        QCOMPARE(slave->typeName, QStringLiteral("FX-DI4-N"));
        QCOMPARE(slave->groupItem(Slave::kBasicInfo, 0)->value.data, QByteArray("FX-DI4-N"));
        QCOMPARE(slave->groupItem(Slave::kBasicInfo, 3)->value.data, QByteArray("\xA1"));
        QCOMPARE(slave->groupItem(Slave::kBasicInfo, 2)->value.data, QByteArray("\xB2"));
        slave->setBasicInfo(QStringLiteral("TB-DI8-N"), QByteArray());
        QCOMPARE(slave->typeName, QStringLiteral("TB-DI8-N"));
        QCOMPARE(slave->groupItem(Slave::kBasicInfo, 2)->value.data, QByteArray(1, '\0'));
        slave->setUuid(QByteArray::fromHex("00ab10"));
        ItemInfo *uuidItem = slave->groupItem(Slave::kBasicInfo, 1);
        QCOMPARE(uuidItem->value.data, QByteArray("00AB10"));
        QCOMPARE(uuidItem->value.toText(), QStringLiteral("00AB10"));
        // A STRING_SN item shows its bytes as hexadecimal itself: the UUID
        // must read the same, not as the hexadecimal of its hexadecimal text.
        uuidItem->dataType = 8;
        uuidItem->value.type = 8;
        slave->setUuid(QByteArray::fromHex("00ab10"));
        QCOMPARE(uuidItem->value.toText(), QStringLiteral("00AB10"));
    }

    void signalsOfTheRecord()
    {
        auto *slave = new Slave(11);
        QSignalSpy io(slave, &Slave::sigUpdateIOData);
        emit slave->sigSetWriteIO();
        QCOMPARE(io.count(), 1);
        QCOMPARE(io.at(0).at(0).toInt(), 11);

        slave->lighting = true;
        QSignalSpy lamp(slave, &Slave::sigCloseLamp);
        slave->onStopLighting();
        QCOMPARE(lamp.count(), 1);
        QVERIFY(!slave->lighting);

        QSignalSpy deleted(slave, &Slave::sigDelete);
        delete slave;
        QCOMPARE(deleted.count(), 1);
    }

    void slaveListsCrossThreads()
    {
        // The adapter layer relays slave lists through queued, name-based
        // connections; they need the types registered under these names.
        registerSlaveMetaTypes();
        QVERIFY(QMetaType::type("QList<Slave*>") != QMetaType::UnknownType);
        QVERIFY(QMetaType::type("QMap<int,Slave*>") != QMetaType::UnknownType);
        Relay relay;
        QVERIFY(connect(&relay, SIGNAL(sigList(QList<Slave*>)), &relay, SLOT(onList(QList<Slave*>)),
                        Qt::QueuedConnection));
        QVERIFY(connect(&relay, SIGNAL(sigMap(QMap<int,Slave*>)), &relay, SLOT(onMap(QMap<int,Slave*>)),
                        Qt::QueuedConnection));
        Slave a(1);
        emit relay.sigList({&a});
        emit relay.sigMap({{1, &a}});
        QCoreApplication::processEvents();
        QCOMPARE(relay.list, QList<Slave *>{&a});
        QCOMPARE(relay.map.value(1), &a);
    }
};

QTEST_GUILESS_MAIN(TestSlaveRecord)
#include "tst_slaverecord.moc"
