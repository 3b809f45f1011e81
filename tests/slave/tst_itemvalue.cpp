#include <DescriptionParser.h>
#include <ItemBuilder.h>
#include <ItemValue.h>
#include <ItemsInfo.h>
#include <RecordLayout.h>

#include <QDomDocument>
#include <QFile>
#include <QtTest>

#include <memory>

class TestItemValue : public QObject
{
    Q_OBJECT

    DescriptionFile m_family;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral("tests/fixtures/xml/TestFamily.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDomDocument document;
        QVERIFY(document.setContent(file.readAll()));
        m_family = parseDescriptionFile(document);
    }

    // Writing and reading back: every type's encoding and byte order.
    void encoding_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("bitSize");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("readBack");
        QTest::addColumn<QString>("text");
        QTest::newRow("BOOL odd") << 0 << 0x1600 << 0 << 3 << QByteArray("\x01", 1) << 1 << "TRUE";
        QTest::newRow("BOOL even") << 0 << 0x1600 << 0 << 2 << QByteArray("\x00", 1) << 0 << "FALSE";
        QTest::newRow("Bits 3") << 1 << 0x1600 << 3 << 0xFF << QByteArray("\x07", 1) << 7 << "7";
        QTest::newRow("Bits size 0: whole byte") << 1 << 0x1600 << 0 << 0x1A5 << QByteArray("\xA5", 1) << 0xA5 << "165";
        QTest::newRow("Bits size 12: whole byte") << 1 << 0x1600 << 12 << 0xABC << QByteArray("\xBC", 1) << 0xBC << "188";
        QTest::newRow("Bits negative size") << 1 << 0x1600 << -3 << 0x0F << QByteArray("\x0F", 1) << 0x0F << "15";
        QTest::newRow("CHAR") << 2 << 0x1600 << 0 << 0x1FF << QByteArray("\xFF", 1) << 255 << "255";
        QTest::newRow("INT negative") << 3 << 0x1600 << 0 << -2 << QByteArray("\xFE\xFF", 2) << -2 << "-2";
        QTest::newRow("INT 0x1234") << 3 << 0x8000 << 0 << 0x1234 << QByteArray("\x34\x12", 2) << 0x1234 << "4660";
        QTest::newRow("UINT") << 4 << 0x1600 << 0 << 0xFFFE << QByteArray("\xFE\xFF", 2) << 0xFFFE << "65534";
        QTest::newRow("DINT") << 5 << 0x1600 << 0 << 0x01020304 << QByteArray("\x01\x02\x03\x04", 4)
                              << 0x01020304 << "16909060";
        QTest::newRow("DINT index 0x4000") << 5 << 0x4000 << 0 << 0x01020304 << QByteArray("\x04\x03\x02\x01", 4)
                                           << 0x01020304 << "16909060";
        QTest::newRow("DINT -1") << 5 << 0x1600 << 0 << -1 << QByteArray("\xFF\xFF\xFF\xFF", 4) << -1 << "-1";
        QTest::newRow("UDINT max") << 6 << 0x4000 << 0 << -1 << QByteArray("\xFF\xFF\xFF\xFF", 4) << -1
                                   << "4294967295";
    }
    void encoding()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(int, bitSize);
        QFETCH(int, value);
        QFETCH(QByteArray, bytes);
        QFETCH(int, readBack);
        QFETCH(QString, text);
        ItemValue item;
        item.type = type;
        item.index = index;
        item.bitSize = bitSize;
        item.setValue(value);
        QCOMPARE(item.data, bytes);
        QCOMPARE(item.toInt(), readBack);
        QCOMPARE(item.toText(), text);
    }

    // Reading stored bytes (descriptions' default data, decoded records).
    void reading_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("INT is little-endian") << 3 << 0x1600 << QByteArray("\x12\x34", 2) << 0x3412 << "13330";
        QTest::newRow("INT one byte as is") << 3 << 0x1600 << QByteArray("\x80", 1) << 0x80 << "128";
        QTest::newRow("UINT high bit") << 4 << 0x1600 << QByteArray("\x00\x80", 2) << 0x8000 << "32768";
        QTest::newRow("DINT two bytes") << 5 << 0x1600 << QByteArray("\x01\x02", 2) << 0x01020000 << "16908288";
        QTest::newRow("DINT 0x4000 two bytes") << 5 << 0x4000 << QByteArray("\x01\x02", 2) << 0x0201 << "513";
        QTest::newRow("STRING to first zero") << 7 << 0x1600 << QByteArray("AB\0C", 4) << 0 << "AB";
        QTest::newRow("STRING_SN hex") << 8 << 0x1600 << QByteArray("\x0A\x1b", 2) << 0 << "0A1B";
        QTest::newRow("no type") << 10 << 0x1600 << QByteArray("\x01", 1) << 0 << "";
        QTest::newRow("empty data") << 4 << 0x1600 << QByteArray() << 0 << "0";
    }
    void reading()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        QFETCH(int, value);
        QFETCH(QString, text);
        ItemValue item;
        item.type = type;
        item.index = index;
        item.data = bytes;
        QCOMPARE(item.toInt(), value);
        QCOMPARE(item.toText(), text);
    }

    void setValueLeavesTypesWithoutNumbers()
    {
        for (int type : {7, 8, 10}) {
            ItemValue item;
            item.type = type;
            item.data = "keep";
            item.setValue(5);
            QCOMPARE(item.data, QByteArray("keep"));
        }
    }

    // A sub-item's SubIdx may be hexadecimal; a process-data entry's
    // SubIndex is decimal only.
    void subIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("subItem");
        QTest::addColumn<int>("entry");
        QTest::newRow("hex 10") << "#x10" << 16 << -1;
        QTest::newRow("hex FFFF") << "#xFFFF" << -1 << -1;
        QTest::newRow("hex not a number") << "#xZZ" << -1 << -1;
        QTest::newRow("decimal") << "7" << 7 << 7;
        QTest::newRow("decimal 10") << "10" << 10 << 10;
        QTest::newRow("decimal padded") << " 7 " << 7 << 7;
        QTest::newRow("not a number") << "seven" << -1 << -1;
        QTest::newRow("empty") << "" << -1 << -1;
        QTest::newRow("beyond 16 bits") << "#x12345" << -1 << -1;
        QTest::newRow("decimal beyond 16 bits") << "70000" << -1 << -1;
    }
    void subIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, subItem);
        QFETCH(int, entry);
        QCOMPARE(ItemBuilder::parseSubIndex(text), subItem);
        QCOMPARE(ItemBuilder::parseEntrySubIndex(text), entry);

        PdoDescription pdo;
        pdo.entries.push_back(std::make_unique<PdoEntry>());
        pdo.entries.back()->subIndex = text;
        std::unique_ptr<ItemsInfo> group(ItemBuilder::buildPdoGroup(pdo, 1));
        QCOMPARE(int(group->items.at(0)->subIndex), entry);
    }

    void defaultData_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two bytes") << "3412" << QByteArray("\x34\x12", 2);
        QTest::newRow("odd length") << "ABC" << QByteArray("\xAB\x0C", 2);
        QTest::newRow("not hex") << "zz1" << QByteArray("\x00\x01", 2);
        QTest::newRow("empty") << "" << QByteArray();
    }
    void defaultData()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ItemBuilder::parseDefaultData(text), bytes);
    }

    void parameterBlock_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        // Block bytes: A1 1F 34 12 AD E7 E8 03 01 80 02 00
        const struct {
            const char *key;
            int value;
            int valueShort; // record ending after block byte 3
        } rows[] = {
            {"Filter level", 10, 10}, {"Fieldbus error with output", 1, 1}, {"Motor Learning", 1, 1},
            {"Hall mode", 1, 1}, {"CW/CCW", 1, 1}, {"Brake", 3, 3}, {"Substitute value", 0x1234, 0x1234},
            {"Speed gear", 1, 0}, {"Direction", 1, 0}, {"Speed acc", 5, 0}, {"POWER", 11, -2},
            {"VOLT", 1, 0}, {"RPM", 14, 0}, {"ACC", 1, 0}, {"DEC", 7, 0}, {"MAX_RPM", 1000, 0},
            {"HALL phase", -32767, 0}, {"Fault code", 2, 0},
        };
        for (int offset : {16, 6}) {
            for (const auto &row : rows) {
                QTest::addRow("%s at %d", row.key, offset) << offset << offset + 12 << row.key << row.value;
                QTest::addRow("%s at %d, record of %d bytes", row.key, offset, offset + 4)
                    << offset << offset + 4 << row.key << row.valueShort;
            }
        }
    }
    void parameterBlock()
    {
        QFETCH(int, offset);
        QFETCH(int, recordSize);
        QFETCH(QString, key);
        QFETCH(int, value);
        QByteArray record(offset, '\x55');
        record += QByteArray::fromHex("A11F3412ADE7E8030180020099");
        record.truncate(recordSize);
        const auto params = RecordLayout::decodeParameters(record, offset);
        QVERIFY(params.contains(key));
        QCOMPARE(int(params.value(key)), value);
    }

    void parameterBlockEncodesBack_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>("keys");
        const QStringList common{"Filter level", "Fieldbus error with output", "Motor Learning", "Hall mode",
                                 "CW/CCW", "Brake", "Substitute value", "ACC", "DEC", "MAX_RPM", "HALL phase",
                                 "Fault code"};
        // Byte 4 read as speed gear, direction and speed acceleration ...
        QTest::newRow("speed reading") << QByteArray::fromHex("A11F34122DE4E80301800200")
                                       << (common + QStringList{"Speed gear", "Direction", "Speed acc"});
        // ... or as power, voltage and speed.
        QTest::newRow("power reading") << QByteArray::fromHex("A11F3412EDE6E80301800200")
                                       << (common + QStringList{"POWER", "VOLT", "RPM"});
        QTest::newRow("filter only") << QByteArray::fromHex("500000000000000000000000") << QStringList{"Filter level"};
    }
    void parameterBlockEncodesBack()
    {
        QFETCH(QByteArray, block);
        QFETCH(QStringList, keys);
        const auto decoded = RecordLayout::decodeParameters(block, 0);
        QMap<QString, qint16> params;
        for (const QString &key : keys)
            params.insert(key, decoded.value(key));
        QCOMPARE(RecordLayout::encodeParameters(params), block);
    }

    void buildsConfigurationGroup()
    {
        const ModuleDescription *dio = m_family.find(QStringLiteral("#0000F301"));
        QVERIFY(dio);
        std::unique_ptr<ItemsInfo> group(
            ItemBuilder::buildObjectGroup(*dio->dictionary.objects.front(), dio->dictionary));
        QCOMPARE(group->name, QStringLiteral("CONFIG-DATA"));
        QCOMPARE(group->index, 0x8000);
        QCOMPARE(group->items.size(), 8);
        QStringList names;
        QList<int> params;
        for (const ItemInfo *item : group->items) {
            names << item->name;
            params << item->paramType;
        }
        QCOMPARE(params, (QList<int>{0, 1, 2, 5, 6, 7, 20, 11}));

        // An enumerated data type: base type, texts and combo box style.
        const ItemInfo *filter = group->items.at(3);
        QCOMPARE(filter->name, QStringLiteral("Filter level"));
        QCOMPARE(filter->dataTypeName, QStringLiteral("DT_FilterLevel"));
        QCOMPARE(filter->dataType, 1);
        QCOMPARE(filter->value.type, 1);
        QCOMPARE(filter->value.bitSize, 4);
        QCOMPARE(filter->style, 3);
        QCOMPARE(filter->subIndex, qint16(4));
        QCOMPARE(filter->enumTexts.value(3), QStringLiteral("4 ms"));
        QCOMPARE(filter->enumList.size(), 4);
        QVERIFY(filter->writable);
        QCOMPARE(filter->defaultText, QStringLiteral("02"));
        QCOMPARE(filter->value.toInt(), 2);

        const ItemInfo *substitute = group->items.at(5);
        QCOMPARE(substitute->dataType, 4);
        QCOMPARE(substitute->style, 1);
        QCOMPARE(substitute->bitLength, qint16(16));
        QCOMPARE(substitute->value.index, 0x8000);
        QCOMPARE(substitute->defaultData, QByteArray("\x34\x12", 2));
        QCOMPARE(substitute->value.toInt(), 0x1234);
    }

    void buildsProcessDataGroup()
    {
        const ModuleDescription *ai = m_family.find(QStringLiteral("#0000F501"));
        QVERIFY(ai && ai->txPdo);
        std::unique_ptr<ItemsInfo> group(ItemBuilder::buildPdoGroup(*ai->txPdo, 3));
        QCOMPARE(group->name, QStringLiteral("RXPDO"));
        QCOMPARE(group->index, 0x1A00);
        QCOMPARE(group->items.size(), 2);
        const ItemInfo *item = group->items.at(1);
        QCOMPARE(item->subIndex, qint16(2));
        QCOMPARE(item->dataType, 3);
        QCOMPARE(item->bitLength, qint16(16));
        QCOMPARE(item->paramType, 3);
        QVERIFY(!item->writable);
    }

    // Items are placed one after another as far as the module's area
    // reaches; the others have no address (-1).
    void assignAddresses_data()
    {
        QTest::addColumn<int>("areaBits");
        QTest::addColumn<QList<int>>("addresses");
        QTest::newRow("every item fits") << 20 << QList<int>{40, 41, 57};
        QTest::newRow("the last one does not") << 17 << QList<int>{40, 41, -1};
        QTest::newRow("a short area ends at the first misfit") << 10 << QList<int>{40, -1, -1};
        QTest::newRow("no area") << 0 << QList<int>{-1, -1, -1};
    }
    void assignAddresses()
    {
        QFETCH(int, areaBits);
        QFETCH(QList<int>, addresses);
        ItemsInfo group;
        for (int bits : {1, 16, 3}) {
            auto *item = new ItemInfo;
            item->bitLength = qint16(bits);
            group.append(item);
        }
        group.assignAddresses(40, 6, areaBits);
        for (int i = 0; i < addresses.size(); ++i) {
            QCOMPARE(int(group.items.at(i)->startAddress), addresses.at(i));
            QCOMPARE(group.items.at(i)->hasAddress(), addresses.at(i) >= 0);
        }
        QCOMPARE(group.items.at(2)->channels, qint16(6));
    }

    // Start addresses of a configuration record of any length.
    void updateConfigAddresses_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("inputStart");
        QTest::addColumn<int>("outputStart");
        QTest::newRow("full") << QByteArray::fromHex("0102 8A01 85FF") << 3 << 511;
        QTest::newRow("2 bytes") << QByteArray::fromHex("0102") << 0 << 0;
        QTest::newRow("3 bytes: bit 7 of byte 2 only") << QByteArray::fromHex("0102 8A") << 1 << 0;
        QTest::newRow("5 bytes: bit 7 of byte 4 only") << QByteArray::fromHex("0102 8A01 85") << 3 << 1;
    }
    void updateConfigAddresses()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, inputStart);
        QFETCH(int, outputStart);
        ItemsInfo group;
        for (int param : {0, 1, 2, 7}) {
            auto *item = new ItemInfo;
            item->paramType = param;
            item->name = QStringLiteral("Substitute value");
            group.append(item);
        }
        group.updateConfig(9, record, 8, {{QStringLiteral("Substitute value"), qint16(-2)}});
        QCOMPARE(group.items.at(0)->station, qint16(9));
        QCOMPARE(int(group.items.at(1)->startAddress), inputStart);
        QCOMPARE(group.items.at(1)->alignment, qint16(8));
        QCOMPARE(int(group.items.at(2)->startAddress), outputStart);
        QCOMPARE(group.items.at(3)->value.data, QByteArray("\xFE\xFF", 2));
        QCOMPARE(group.items.at(0)->value.data, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestItemValue)
#include "tst_itemvalue.moc"
