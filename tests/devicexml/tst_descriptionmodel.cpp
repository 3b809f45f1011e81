#include <DescriptionParser.h>
#include <TarnBaseConvert.h>

#include <QDomDocument>
#include <QFile>
#include <QtTest>

using TarnBase::TarnBaseConvert;

class TestDescriptionModel : public QObject
{
    Q_OBJECT

private:
    static DescriptionFile parseText(const QByteArray &xml)
    {
        QDomDocument document;
        document.setContent(xml);
        return parseDescriptionFile(document);
    }

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

    void dataTypeCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("BOOL") << "BOOL" << 0;
        QTest::newRow("Bits") << "Bits" << 1;
        QTest::newRow("CHAR") << "CHAR" << 2;
        QTest::newRow("INT") << "INT" << 3;
        QTest::newRow("UINT") << "UINT" << 4;
        QTest::newRow("DINT") << "DINT" << 5;
        QTest::newRow("UDINT") << "UDINT" << 6;
        QTest::newRow("STRING") << "STRING" << 7;
        QTest::newRow("STRING_SN") << "STRING_SN" << 8;
        QTest::newRow("lower case") << "bool" << 10;
        QTest::newRow("padded") << " INT" << 10;
        QTest::newRow("empty") << "" << 10;
    }
    void dataTypeCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TarnBaseConvert::dataTypeCode(text), code);
    }

    void paramTypeCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        const char *texts[] = {"DI", "DO", "AI", "AO", "Filter", "Enable", "Substitute", "Speedgear",
                               "Direction", "Speedacc", "Brake", "CCW", "Hall", "Learn", "ACC", "DEC",
                               "RPM", "VOLT", "POWER", "MAX_RPM", "HALL", "Fault"};
        for (int i = 0; i < int(sizeof texts / sizeof *texts); ++i)
            QTest::newRow(texts[i]) << QString::fromLatin1(texts[i]) << i + 1;
        QTest::newRow("none") << "" << 0;
        QTest::newRow("lower-case filter") << "filter" << 0;
    }
    void paramTypeCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TarnBaseConvert::paramTypeCode(text), code);
    }

    void styleCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("Label") << "Label" << 0;
        QTest::newRow("LineEdit") << "LineEdit" << 1;
        QTest::newRow("CheckBox") << "CheckBox" << 2;
        QTest::newRow("ComboBox") << "ComboBox" << 3;
        QTest::newRow("ComboBox_Lalbe") << "ComboBox_Lalbe" << 4;
        QTest::newRow("CirleBtn") << "CirleBtn" << 5;
        QTest::newRow("unknown keeps fallback") << "Slider" << 42;
    }
    void styleCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TarnBaseConvert::styleCode(text, 42), code);
    }

    void indexCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("8000") << "#x8000" << 0x8000;
        QTest::newRow("F800") << "#xF800" << 0xF800;
        QTest::newRow("F900") << "#xF900" << 0xF900;
        QTest::newRow("4000") << "#x4000" << 0x4000;
        QTest::newRow("8000 with more text") << "#x8000:01" << 0x1A01;
        QTest::newRow("1600 inside text") << "0x#x1600:1" << 0x1600;
        QTest::newRow("1a00 with more text") << "#x1a00.sub" << 0x1A00;
        QTest::newRow("1A00 upper case") << "#x1A00.sub" << 0x1A01;
        QTest::newRow("empty") << "" << 0x1A01;
    }
    void indexCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TarnBaseConvert::indexCode(text), code);
    }

    void moduleTypeCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        const char *classes[] = {"DI", "DO", "DIO", "DIDO", "AI", "AO", "AIO", "AIAO"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(classes[i]) << QString::fromLatin1(classes[i]) << i;
        QTest::newRow("lower case di") << "di" << 8;
        QTest::newRow("empty") << "" << 8;
    }
    void moduleTypeCodes()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(isDeviceType(text), code);
    }

    void readsFileAttributesAndSkipsNonModules()
    {
        QCOMPARE(m_family.manufacturer, QStringLiteral("Tarn Test"));
        QCOMPARE(m_family.protcolVersion, QStringLiteral("1.0"));
        QCOMPARE(m_family.imageDir, QStringLiteral("Fixture"));
        // 13 modules, two share an identity; the <Note> child is no module.
        QCOMPARE(int(m_family.modules.size()), 12);
        QVERIFY(!m_family.find(QStringLiteral("#0000FFFF")));
    }

    void readsTypeAttributes()
    {
        const ModuleDescription *dio = m_family.find(QStringLiteral("#0000F301"));
        QVERIFY(dio);
        QCOMPARE(dio->moduleClass, QStringLiteral("DIO"));
        QCOMPARE(dio->moduleIdent, QStringLiteral("#0000F301"));
        QCOMPARE(dio->typeName, QStringLiteral("FX-DIO4-C"));
        QCOMPARE(dio->name, QStringLiteral("FX-DIO4-C test module"));
        QCOMPARE(dio->image, QStringLiteral("fx-dio4-c.svg"));
        QCOMPARE(dio->imageDir, QStringLiteral("Fixture"));
        QCOMPARE(dio->bitSize, 1);
        QCOMPARE(dio->channelCount, 4);
        QCOMPARE(dio->inputChannelCount, 4);
        QCOMPARE(dio->outputChannelCount, 4);
        QCOMPARE(dio->inputOffs, 1);
        QCOMPARE(dio->outputOffs, 1);
        QVERIFY(dio->suportChangeableChannel);
        QVERIFY(!m_family.find(QStringLiteral("#0000F401"))->suportChangeableChannel);
    }

    void readsDictionary()
    {
        const ModuleDescription *di = m_family.find(QStringLiteral("#0000F101"));
        QVERIFY(di);
        const DictionaryDescription &dictionary = di->dictionary;
        QCOMPARE(int(dictionary.dataTypes.size()), 3);

        const DataTypeDescription *filter = dictionary.dataType(QStringLiteral("DT_FilterLevel"));
        QVERIFY(filter);
        QCOMPARE(filter->baseType, 1);
        QCOMPARE(filter->bitSize, QStringLiteral("4"));
        // The entry without text is left out of the texts but kept in the values.
        QCOMPARE(filter->enumTexts, (QMap<int, QString>{{0, "off"}, {1, "1 ms"}, {3, "4 ms"}}));
        QCOMPARE(filter->enumValues, (QList<int>{0, 1, 2, 3}));

        const DataTypeDescription *config = dictionary.dataType(QStringLiteral("DT_Config"));
        QVERIFY(config);
        QCOMPARE(int(config->subItems.size()), 7);
        const TarnBaseXML::DataTypeSubItem *level = config->subItem(QStringLiteral("Filter level"));
        QVERIFY(level);
        QCOMPARE(level->SubIdx, QStringLiteral("#x04"));
        QCOMPARE(level->Type, QStringLiteral("DT_FilterLevel"));
        QCOMPARE(level->BitSize, QStringLiteral("4"));
        QCOMPARE(level->BitOffs, QStringLiteral("0"));
        QCOMPARE(level->Access, QStringLiteral("rw"));
        QCOMPARE(level->Style, 3);
        QCOMPARE(level->ParamType, 5);

        QCOMPARE(int(dictionary.objects.size()), 2);
        const ObjectDescription &object = *dictionary.objects.front();
        QCOMPARE(object.index, QStringLiteral("#x8000"));
        QCOMPARE(object.name, QStringLiteral("CONFIG-DATA"));
        QCOMPARE(object.type, QStringLiteral("DT_Config"));
        QCOMPARE(object.info.size(), 7);
        QCOMPARE(object.info.at(4), qMakePair(QStringLiteral("Substitute value"), QStringLiteral("3412")));
        QCOMPARE(dictionary.objects.back()->name, QStringLiteral("BASIC INFO"));
    }

    void readsProcessData()
    {
        const ModuleDescription *dido = m_family.find(QStringLiteral("#0000F401"));
        QVERIFY(dido && dido->txPdo && dido->rxPdo);
        QCOMPARE(dido->txPdo->name, QStringLiteral("RXPDO"));
        QCOMPARE(dido->txPdo->index, QStringLiteral("#x1a00"));
        QCOMPARE(dido->txPdo->sm, 3);
        QCOMPARE(int(dido->txPdo->entries.size()), 4);
        const PdoEntry &entry = *dido->rxPdo->entries.at(2);
        QCOMPARE(entry.index, QStringLiteral("#x6000"));
        QCOMPARE(entry.subIndex, QStringLiteral("3"));
        QCOMPARE(entry.bitLen, 1);
        QCOMPARE(entry.name, QStringLiteral("CH2"));
        QCOMPARE(entry.dataType, QStringLiteral("BOOL"));
        QCOMPARE(entry.access, QStringLiteral("rw"));

        // An Sm that is no number reads as 4.
        QCOMPARE(m_family.find(QStringLiteral("#0000F101"))->txPdo->sm, 4);
        const ModuleDescription *noPdo = m_family.find(QStringLiteral("#0000FA01"));
        QVERIFY(noPdo && !noPdo->txPdo && !noPdo->rxPdo);
    }

    void laterModuleWithSameIdentityReplacesEarlier()
    {
        QCOMPARE(m_family.find(QStringLiteral("#0000FB01"))->typeName, QStringLiteral("FX-DUP-SECOND"));
    }

    void edgeDocuments_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("modules");
        QTest::addColumn<QString>("imageDir");
        QTest::addColumn<int>("bitSize");
        QTest::newRow("no TarnBus element") << QByteArray("<Root><Module/></Root>") << 0 << QString() << 0;
        QTest::newRow("no imageDir leaves it empty")
            << QByteArray("<TarnBus><Module><Type ModuleIdent='#1' BitSize=' 8 '>X</Type></Module></TarnBus>")
            << 1 << QString() << 8;
        QTest::newRow("first TarnBus in document order, found deep")
            << QByteArray("<A><B><C><TarnBus imageDir='first'><Module><Type ModuleIdent='#1' BitSize='x'/>"
                          "</Module></TarnBus></C></B><TarnBus imageDir='second'><Module><Type ModuleIdent='#2'/>"
                          "</Module><Module><Type ModuleIdent='#3'/></Module></TarnBus></A>")
            << 1 << QStringLiteral("first") << 0;
    }
    void edgeDocuments()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, modules);
        QFETCH(QString, imageDir);
        QFETCH(int, bitSize);
        const DescriptionFile file = parseText(xml);
        QCOMPARE(int(file.modules.size()), modules);
        if (modules) {
            const ModuleDescription &module = *file.modules.begin()->second;
            QCOMPARE(module.imageDir, imageDir);
            QCOMPARE(module.bitSize, bitSize);
        }
    }
};

QTEST_GUILESS_MAIN(TestDescriptionModel)
#include "tst_descriptionmodel.moc"
