#include "SlaveTestLibrary.h"

#include <SlaveKinds.h>

#include <QtTest>

using namespace SlaveTestLibrary;

namespace {

const QByteArray kUuid = QByteArray::fromHex("0102030405060708090A0B0C");

// A configured slave: station 23, byte alignment, inputs at 16, outputs at
// 40, and parameter values that need all 16 bits.
std::unique_ptr<Slave> configured(const QString &ident)
{
    auto slave = create(ident, 23);
    slave->setAlignment(8);
    slave->setUuid(kUuid);
    const int channels = slave->suportChangeableChannel ? 3 : slave->channelCount;
    ItemsInfo *config = slave->group(Slave::kConfigData);
    for (int i = 0; i < config->items.size(); ++i) {
        ItemInfo *item = config->items.at(i);
        switch (item->paramType) {
        case 0:
            item->station = 23;
            break;
        case 1:
        case 3:
            slave->setItemAddress(i, 16, channels);
            break;
        case 2:
        case 4:
            slave->setItemAddress(i, 40, channels);
            break;
        case 5:
            item->value.setValue(5);
            break;
        case 6:
            item->value.setValue(1);
            break;
        case 7:
            item->value.setValue(0xBEEF);
            break;
        case 20:
            item->value.setValue(1500);
            break;
        default:
            item->value.setValue(2);
            break;
        }
    }
    return slave;
}

struct ItemState {
    int paramType, station, start, channels;
    quint32 value;
    bool operator==(const ItemState &o) const
    {
        return paramType == o.paramType && station == o.station && start == o.start && channels == o.channels
            && value == o.value;
    }
};

QList<ItemState> state(const Slave &slave)
{
    QList<ItemState> items;
    for (const ItemInfo *item : slave.group(Slave::kConfigData)->items)
        items.append({item->paramType, item->station, item->startAddress, item->channels, item->value.toUnsigned()});
    return items;
}

} // namespace

class TestSlaveCsv : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::addColumn<bool>("withUid");
        const QList<QPair<const char *, QString>> kinds{
            {"DI", kDI},     {"DO", kDO},     {"DIO", kDIO},     {"DIDO", kDIDO},
            {"AI", kAI},     {"AO", kAO},     {"AIAO", kAIAO},   {"undefined", QStringLiteral("#00007E57")}};
        for (const auto &kind : kinds) {
            QTest::addRow("%s without UID", kind.first) << kind.second << false;
            QTest::addRow("%s with UID", kind.first) << kind.second << true;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, ident);
        QFETCH(bool, withUid);
        const auto source = configured(ident);
        const QString line = withUid ? source->toCsvLineWithUid() : source->toCsvLine();
        QVERIFY(line.endsWith(QLatin1Char('\n')));

        auto target = create(ident, 0);
        target->setAlignment(8);
        QVERIFY(withUid ? target->applyCsvLineWithUid(line) : target->applyCsvLine(line));
        QCOMPARE(target->stationId, quint8(23));
        QCOMPARE(target->newStationId, quint8(23));
        QVERIFY(state(*target) == state(*source));
        QCOMPARE(target->ioWindow().inputStart, source->ioWindow().inputStart);
        QCOMPARE(target->ioWindow().outputBits, source->ioWindow().outputBits);
        QCOMPARE(target->uuid, withUid ? kUuid : QByteArray());
        QCOMPARE(withUid ? target->toCsvLineWithUid() : target->toCsvLine(), line);
    }

    void lineFormat_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<QString>("line");
        QTest::newRow("without UID") << false
                                     << "*FX-DI4-N,23,8,2,4,0,0,5,1,48879,#0000F101,1500,2,0,0,0,0,0,0,0,0,0,0\n";
        QTest::newRow("with UID")
            << true << "FX-DI4-N,23,8,2,4,0,0,5,1,48879,#0000F101,0102030405060708090A0B0C,1500,2,0,0,0,0,0,0,0,0,0,0\n";
    }
    void lineFormat()
    {
        QFETCH(bool, withUid);
        QFETCH(QString, line);
        const auto slave = configured(kDI);
        QCOMPARE(withUid ? slave->toCsvLineWithUid() : slave->toCsvLine(), line);
    }

    // Begin addresses the alignment does not divide are written exactly.
    void bitAddressesInByteAlignment_data()
    {
        QTest::addColumn<int>("inputStart");
        QTest::addColumn<QString>("columns"); // alignment, input begin, input channels
        QTest::newRow("multiple of 8") << 16 << "8,2,4";
        QTest::newRow("bit address") << 13 << "1,13,4";
        QTest::newRow("bit address 0 + 1") << 1 << "1,1,4";
    }
    void bitAddressesInByteAlignment()
    {
        QFETCH(int, inputStart);
        QFETCH(QString, columns);
        auto source = configured(kDI);
        source->setItemAddress(1, inputStart, 4);
        const QString line = source->toCsvLineWithUid();
        QVERIFY2(line.startsWith(QStringLiteral("FX-DI4-N,23,") + columns + QLatin1Char(',')), qPrintable(line));

        auto target = create(kDI, 0);
        target->setAlignment(8);
        QVERIFY(target->applyCsvLineWithUid(line));
        QCOMPARE(int(target->group(Slave::kConfigData)->items.at(1)->startAddress), inputStart);
        QCOMPARE(target->alignment, 8);
    }

    // A module that holds no area writes 0 channels and reads back without
    // one, though its description fixes its channel count.
    void aModuleWithoutAreaKeepsNone_data()
    {
        QTest::addColumn<QString>("ident");
        QTest::newRow("DI") << kDI;
        QTest::newRow("DIO") << kDIO;
    }
    void aModuleWithoutAreaKeepsNone()
    {
        QFETCH(QString, ident);
        auto source = configured(ident);
        const ItemsInfo *config = source->group(Slave::kConfigData);
        for (int i = 0; i < config->items.size(); ++i) {
            if (config->items.at(i)->isInputChannels())
                source->setItemAddress(i, 16, 0);
        }
        QCOMPARE(int(source->ioWindow().inputBits), 0);
        const QString line = source->toCsvLineWithUid();
        auto target = create(ident, 0);
        target->setAlignment(8);
        QVERIFY(target->applyCsvLineWithUid(line));
        QCOMPARE(int(target->ioWindow().inputBits), 0);
        QCOMPARE(target->ioWindow().outputBits, source->ioWindow().outputBits);
        QCOMPARE(target->toCsvLineWithUid(), line);
    }

    void textFieldsCannotSplitTheLine()
    {
        auto slave = configured(kDI);
        slave->typeName = QStringLiteral("TB,DI8\nN");
        const QString line = slave->toCsvLine();
        QCOMPARE(line.count(QLatin1Char(',')), 22);
        QCOMPARE(line.count(QLatin1Char('\n')), 1);
        QVERIFY(line.startsWith(QStringLiteral("*TB DI8 N,")));
    }

    void singleItemSectionWritesZeros()
    {
        Slave slave(5);
        slave.moduleIdent = QStringLiteral("#00001101");
        slave.typeName = QStringLiteral("TB-DI8-N");
        slave.setAlignment(8);
        slave.itemGroups = std::make_unique<ItemGroups>();
        auto *config = new ItemsInfo(&slave);
        config->append(new ItemInfo);
        slave.itemGroups->insert(Slave::kConfigData, config);
        QCOMPARE(slave.toCsvLine(), QStringLiteral("*TB-DI8-N,5,0,0,0,0,0,0,0,0,#00001101,0,0,0,0,0,0,0,0,0,0,0,0\n"));
    }

    void spreadsheetLineEndings()
    {
        const auto source = configured(kDIO);
        QString line = source->toCsvLine();
        line.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        auto target = create(kDIO, 0);
        QVERIFY(target->applyCsvLine(line));
        QVERIFY(state(*target) == state(*source));
    }

    void missingFurtherValuesKeepItems()
    {
        auto target = create(kDI, 0);
        QVERIFY(target->applyCsvLine(QStringLiteral("*X,9,1,3,4,0,0,1,0,7,#0000F101,44")));
        QCOMPARE(target->stationId, quint8(9));
        const ItemsInfo *config = target->group(Slave::kConfigData);
        QCOMPARE(config->items.at(1)->startAddress, qint16(3));
        QCOMPARE(config->items.at(5)->value.toInt(), 44); // MAX_RPM
        QCOMPARE(config->items.at(6)->value.data, QByteArray(1, '\0')); // Brake: default kept
    }

    // A bad line is refused as a whole and changes nothing.
    void badLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("withUid");
        QTest::newRow("too few columns") << "*X,9,1,3,4,0,0,1,0,7" << false;
        QTest::newRow("UID form too short") << "X,9,1,3,4,0,0,1,0,7,#0000F101" << true;
        QTest::newRow("not a number") << "*X,9,1,three,4,0,0,1,0,7,#0000F101" << false;
        QTest::newRow("signed number") << "*X,-9,1,3,4,0,0,1,0,7,#0000F101" << false;
        QTest::newRow("station above 128") << "*X,129,1,3,4,0,0,1,0,7,#0000F101" << false;
        QTest::newRow("address beyond the image") << "*X,9,8,64,4,0,0,1,0,7,#0000F101" << false;
        QTest::newRow("channel count beyond 7 bits") << "*X,9,1,3,128,0,0,1,0,7,#0000F101" << false;
        QTest::newRow("UID line read as plain")
            << "X,9,1,3,4,0,0,1,0,7,#0000F101,0102030405060708090A0B0C,1" << false;
        QTest::newRow("further value not a number") << "*X,9,1,3,4,0,0,1,0,7,#0000F101,1,x" << false;
    }
    void badLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, withUid);
        auto target = configured(kDI);
        const QString before = target->toCsvLineWithUid();
        QVERIFY(!(withUid ? target->applyCsvLineWithUid(line) : target->applyCsvLine(line)));
        QCOMPARE(target->toCsvLineWithUid(), before);
    }

    void withoutItemsNothingApplies()
    {
        std::unique_ptr<Slave> slave(SlaveFactory::createFrom({}, kDI, 3));
        QVERIFY(!slave->applyCsvLine(QStringLiteral("*X,9,1,3,4,0,0,1,0,7,#0000F101")));
        QCOMPARE(slave->stationId, quint8(3));
    }
};

QTEST_GUILESS_MAIN(TestSlaveCsv)
#include "tst_slavecsv.moc"
