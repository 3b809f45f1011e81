#include "SlaveTestLibrary.h"

#include <ScrambledXml.h>
#include <SlaveKinds.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace SlaveTestLibrary;

namespace {

struct Placement {
    int start = -1;
    int channels = -1;
};

// Where the first item of a process-data group sits, -1 without the group.
Placement placement(const Slave &slave, const QString &key)
{
    const ItemInfo *item = slave.groupItem(key, 0);
    return item ? Placement{item->startAddress, item->channels} : Placement{};
}

const ItemInfo *configItem(const Slave &slave, int paramType)
{
    for (const ItemInfo *item : slave.group(Slave::kConfigData)->items) {
        if (item->paramType == paramType)
            return item;
    }
    return nullptr;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray kOverride = "<TarnBus imageDir='Other'><Module>"
                             "<Type ModuleClass='DO' ModuleIdent='#0000F101' ChannelCount='2'>FX-OVERRIDE</Type>"
                             "</Module></TarnBus>";

} // namespace

class TestSlaveKinds : public QObject
{
    Q_OBJECT

    // Columns shared by the record tables.
    static void placementColumns()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<int>("rxStart");
        QTest::addColumn<int>("rxChannels");
        QTest::addColumn<int>("txStart");
        QTest::addColumn<int>("txChannels");
        QTest::addColumn<int>("inputCount");
        QTest::addColumn<int>("outputCount");
    }

    static void comparePlacement(const Slave &slave)
    {
        QFETCH(int, rxStart);
        QFETCH(int, rxChannels);
        QFETCH(int, txStart);
        QFETCH(int, txChannels);
        QFETCH(int, inputCount);
        QFETCH(int, outputCount);
        QCOMPARE(placement(slave, Slave::kRxPdo).start, rxStart);
        QCOMPARE(placement(slave, Slave::kRxPdo).channels, rxChannels);
        QCOMPARE(placement(slave, Slave::kTxPdo).start, txStart);
        QCOMPARE(placement(slave, Slave::kTxPdo).channels, txChannels);
        QCOMPARE(slave.inputChannelCount, inputCount);
        QCOMPARE(slave.outputChannelCount, outputCount);
    }

private slots:
    void factory_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("typeName");
        QTest::newRow("DI") << kDI << "SlaveDI" << 0 << "FX-DI4-N";
        QTest::newRow("DO") << kDO << "SlaveDO" << 1 << "FX-DO4-T";
        QTest::newRow("DIO") << kDIO << "SlaveDIO" << 2 << "FX-DIO4-C";
        QTest::newRow("DIDO") << kDIDO << "SlaveDIDO" << 3 << "FX-DI4DO4-P";
        QTest::newRow("AI") << kAI << "SlaveAI" << 4 << "FX-AI2-I";
        QTest::newRow("AO") << kAO << "SlaveAO" << 5 << "FX-AO2-V";
        QTest::newRow("AIAO") << kAIAO << "SlaveAIAO" << 7 << "FX-AI2AO2-V";
        QTest::newRow("AIO has no kind") << kAIO << "undefindSlave" << 8 << "LS-?-?";
        QTest::newRow("lower-case class") << kLowerCaseDI << "undefindSlave" << 8 << "LS-?-?";
        QTest::newRow("no description") << "#00007E57" << "undefindSlave" << 8 << "LS-?-?";
    }
    void factory()
    {
        QFETCH(QString, ident);
        QFETCH(QString, kind);
        QFETCH(int, typeCode);
        QFETCH(QString, typeName);
        auto slave = create(ident, 17);
        QVERIFY(slave);
        QCOMPARE(QString::fromLatin1(slave->metaObject()->className()), kind);
        QCOMPARE(slave->typeCode, typeCode);
        QCOMPARE(slave->typeName, typeName);
        QCOMPARE(slave->stationId, quint8(17));
        // Undefined modules take the fallback description's items.
        QVERIFY(slave->group(Slave::kConfigData));
        if (typeCode == 8)
            QCOMPARE(slave->moduleIdent, SlaveFactory::kFallbackIdent);
    }

    void emptyLibraryGivesBareUndefinedSlave()
    {
        std::unique_ptr<Slave> slave(SlaveFactory::createFrom({}, kDI, 3));
        QVERIFY(qobject_cast<undefindSlave *>(slave.get()));
        QCOMPARE(slave->typeCode, 8);
        QCOMPARE(slave->typeName, QStringLiteral("LS-?-?"));
        QVERIFY(!slave->itemGroups);
        slave->applyShortRecord(QByteArray::fromHex("0309"));
        slave->updateFromStatusRecord(QByteArray::fromHex("0109"));
        QCOMPARE(slave->stationId, quint8(3));
        QCOMPARE(slave->statusRun, 1);
    }

    void firstLoadedFileWins_data()
    {
        QTest::addColumn<QString>("familyName");
        QTest::addColumn<QString>("overrideName");
        QTest::addColumn<QString>("kind");
        QTest::newRow("family first") << "a.xml" << "b.xml" << "SlaveDI";
        QTest::newRow("override first") << "b.xml" << "a.xml" << "SlaveDO";
    }
    void firstLoadedFileWins()
    {
        QFETCH(QString, familyName);
        QFETCH(QString, overrideName);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(familyName), ScrambledXml::scramble(readAll(fixtureFile()))));
        QVERIFY(writeFile(dir.filePath(overrideName), kOverride));
        DeviceXmlLodaing::instance()->loadFolder(dir.path());
        std::unique_ptr<Slave> slave(SlaveFactory(nullptr).create(kDI, 1));
        QCOMPARE(QString::fromLatin1(slave->metaObject()->className()), kind);
        DeviceXmlLodaing::instance()->loadFolder(dir.filePath(QStringLiteral("none")));
        std::unique_ptr<Slave> unknown(SlaveFactory(nullptr).create(kDI, 1));
        QVERIFY(qobject_cast<undefindSlave *>(unknown.get()));
    }

    // Configuration record: station 2 -> 7, inputs 4 channels at 7, outputs
    // 6 channels at 11.
    void configurationRecord_data()
    {
        placementColumns();
        QTest::newRow("DI") << kDI << 7 << 4 << -1 << -1 << 4 << 0;
        QTest::newRow("DO, reported count less OutputOffs") << kDO << -1 << -1 << 11 << 5 << 0 << 4;
        QTest::newRow("DIO keeps the counts") << kDIO << 7 << 3 << 11 << 5 << 3 << 5;
        QTest::newRow("DIDO") << kDIDO << 7 << 4 << 11 << 6 << 4 << 4;
        QTest::newRow("AI") << kAI << 7 << 4 << -1 << -1 << 2 << 0;
        QTest::newRow("AO") << kAO << -1 << -1 << 11 << 6 << 0 << 2;
        QTest::newRow("AIAO") << kAIAO << 7 << 4 << 11 << 6 << 2 << 2;
    }
    void configurationRecord()
    {
        QFETCH(QString, ident);
        auto slave = create(ident, 2);
        slave->applyShortRecord(QByteArray::fromHex("0207 8403 8605 A100 3412") + QByteArray(14, '\0'));
        QCOMPARE(slave->stationId, quint8(7));
        QCOMPARE(slave->newStationId, quint8(7));
        comparePlacement(*slave);
        QCOMPARE(configItem(*slave, 0)->station, qint16(7));
        QCOMPARE(configItem(*slave, 5)->value.toInt(), 10);
        QCOMPARE(configItem(*slave, 7)->value.toInt(), 0x1234);
    }

    // A record too short for the channel fields: no negative counts.
    void shortConfigurationRecord_data()
    {
        placementColumns();
        // No channels: no area, and no output item has an address (-1).
        QTest::newRow("DO") << kDO << -1 << -1 << -1 << 0 << 0 << 4;
        QTest::newRow("AO") << kAO << -1 << -1 << -1 << 0 << 0 << 2;
        QTest::newRow("DIO") << kDIO << -1 << 0 << -1 << 0 << 0 << 0;
    }
    void shortConfigurationRecord()
    {
        QFETCH(QString, ident);
        auto slave = create(ident, 2);
        slave->applyShortRecord(QByteArray::fromHex("0203 0000"));
        QCOMPARE(slave->stationId, quint8(3));
        comparePlacement(*slave);
    }

    // Status record: inputs 4 channels at 7, outputs 6 at 11, parameter
    // block at 16.
    void statusRecord_data()
    {
        placementColumns();
        QTest::newRow("DI stores both counts") << kDI << 7 << 4 << -1 << -1 << 4 << 6;
        QTest::newRow("DO less OutputOffs") << kDO << -1 << -1 << 11 << 5 << 4 << 5;
        QTest::newRow("DIO less both offsets") << kDIO << 7 << 3 << 11 << 5 << 3 << 5;
        QTest::newRow("DIDO") << kDIDO << 7 << 4 << 11 << 6 << 4 << 6;
        QTest::newRow("AI keeps its counts") << kAI << 7 << 4 << -1 << -1 << 2 << 0;
        QTest::newRow("AO keeps its counts") << kAO << -1 << -1 << 11 << 6 << 0 << 2;
        QTest::newRow("AIAO keeps its counts") << kAIAO << 7 << 4 << 11 << 6 << 2 << 2;
    }
    void statusRecord()
    {
        QFETCH(QString, ident);
        auto slave = create(ident, 9);
        QByteArray record = QByteArray::fromHex("1109 8403 8605") + QByteArray(10, '\0');
        record += QByteArray::fromHex("A1003412") + QByteArray(44, '\0');
        QSignalSpy fault(slave.get(), &Slave::sigFaultChange);
        slave->updateFromStatusRecord(record);
        QCOMPARE(fault.count(), 1);
        QCOMPARE(slave->statusRun, 1);
        QCOMPARE(slave->statusBit4, 1);
        comparePlacement(*slave);
        const ItemInfo *station = configItem(*slave, 0);
        QCOMPARE(station->station, qint16(9));
        QCOMPARE(int(station->channels), slave->channelCount);
        QCOMPARE(station->inputChannels, qint16(4));
        QCOMPARE(station->outputChannels, qint16(6));
        QCOMPARE(configItem(*slave, 5)->value.toInt(), 10);
        QCOMPARE(configItem(*slave, 7)->value.toInt(), 0x1234);
    }

    void threeByteStatusRecord()
    {
        auto slave = create(kDIDO, 9);
        slave->updateFromStatusRecord(QByteArray::fromHex("010985"));
        QCOMPARE(placement(*slave, Slave::kRxPdo).start, 1);
        QCOMPARE(placement(*slave, Slave::kRxPdo).channels, 5);
        QCOMPARE(placement(*slave, Slave::kTxPdo).start, -1); // no output area
        QCOMPARE(placement(*slave, Slave::kTxPdo).channels, 0);
        QCOMPARE(slave->outputChannelCount, 0);
        QCOMPARE(configItem(*slave, 1)->startAddress, qint16(1));
        QCOMPARE(configItem(*slave, 2)->startAddress, qint16(0));
    }

    void undefinedSlaveRecords()
    {
        auto slave = create(QStringLiteral("#00007E57"), 4);
        slave->setBasicInfo(QStringLiteral("TB-ZZ9-Q"), QByteArray());
        QCOMPARE(slave->typeName, QStringLiteral("TB-ZZ9-Q"));
        slave->updateFromStatusRecord(QByteArray::fromHex("0104") + QByteArray(14, '\0') + QByteArray::fromHex("00003412"));
        QCOMPARE(slave->typeName, QStringLiteral("LS-?-?"));
        QCOMPARE(slave->statusRun, 1);
        QCOMPARE(configItem(*slave, 7)->value.toInt(), 0x1234);

        slave->newStationId = 6;
        slave->applyShortRecord(QByteArray::fromHex("0409 0000 0000 0000 2143"));
        QCOMPARE(slave->stationId, quint8(4)); // station comes with the list refresh, not the record
        QCOMPARE(configItem(*slave, 0)->station, qint16(6));
        QCOMPARE(configItem(*slave, 7)->value.toInt(), 0x4321);
    }
};

QTEST_GUILESS_MAIN(TestSlaveKinds)
#include "tst_slavekinds.moc"
