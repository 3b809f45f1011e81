// The description library shipped in ./Xml, checked against the product's
// module catalogue: every module loads and becomes a slave of its kind.

#include <DeviceXmlLodaing.h>
#include <ScrambledXml.h>
#include <Slave.h>
#include <TestFolders.h>
#include <SlaveFactory.h>
#include <SlaveKinds.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString kDigitalFile = QStringLiteral("./Xml/TarnBUS-Digital.xml");
const QString kAnalogFile = QStringLiteral("./Xml/TarnBUS-Analog.xml");

struct CatalogueEntry {
    quint16 code;
    const char *moduleClass;
    const char *typeName;
    int channels;
    int bits;
    int inputs;
    int outputs;
    int inputOffs;
    int outputOffs;
    bool changeable;
    const char *kind;
    bool digital;
};

const CatalogueEntry kCatalogue[] = {
    {0x1101, "DI", "TB-DI8-N", 8, 1, 8, 0, 0, 0, false, "SlaveDI", true},
    {0x1102, "DI", "TB-DI16-P", 16, 1, 16, 0, 0, 0, false, "SlaveDI", true},
    {0x1103, "DI", "TB-DI32-P", 32, 1, 32, 0, 0, 0, false, "SlaveDI", true},
    {0x1201, "DO", "TB-DO8-T", 8, 1, 0, 8, 0, 0, false, "SlaveDO", true},
    {0x1202, "DO", "TB-DO16-T", 16, 1, 0, 16, 0, 0, false, "SlaveDO", true},
    {0x1301, "DIO", "TB-DIO8-C", 8, 1, 8, 8, 0, 0, true, "SlaveDIO", true},
    {0x1302, "DIO", "TB-DIO16-D", 16, 1, 16, 16, 1, 1, false, "SlaveDIO", true},
    {0x1401, "DIDO", "TB-DI8DO8-P", 8, 1, 8, 8, 0, 0, false, "SlaveDIDO", true},
    {0x0000, "DI", "TB-XX-?", 0, 1, 0, 0, 0, 0, false, "SlaveDI", true},
    {0x2101, "AI", "TB-AI4-I", 4, 16, 4, 0, 0, 0, false, "SlaveAI", false},
    {0x2102, "AI", "TB-AI8-V", 8, 16, 8, 0, 0, 0, false, "SlaveAI", false},
    {0x2201, "AO", "TB-AO4-V", 4, 16, 0, 4, 0, 0, false, "SlaveAO", false},
    {0x2301, "AIO", "TB-AIO4-U", 4, 16, 4, 4, 0, 0, false, "undefindSlave", false},
    {0x2401, "AIAO", "TB-AI2AO2-V", 2, 16, 2, 2, 0, 0, false, "SlaveAIAO", false},
};

// The fallback description's key is written out in full; every other key
// is the adapter's "#0000%4X" of the type code.
QString keyOf(quint16 code)
{
    return code == 0 ? QStringLiteral("#00000000") : QString::asprintf("#0000%4X", code);
}

// The tests are ItemFields members: calling them on the ItemFields part, not through
// ItemInfo, keeps GCC's vptr check from taking that part for a whole ItemInfo.
bool hasConfigItem(const Slave &slave, bool (ItemFields::*test)() const)
{
    const ItemsInfo *config = slave.group(Slave::kConfigData);
    if (!config)
        return false;
    for (const ItemInfo *item : config->items) {
        const ItemFields &fields = *item;
        if ((fields.*test)())
            return true;
    }
    return false;
}

} // namespace

class TestShippedLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        if (QDir(QStringLiteral("./Xml")).entryList(QDir::Files).isEmpty())
            QSKIP("./Xml holds no description file yet");
        QSignalSpy finished(DeviceXmlLodaing::instance(), &DeviceXmlLodaing::oLoadFileFinish);
        DeviceXmlLodaing::instance()->onLoadXmlFile();
        for (const QList<QVariant> &report : finished)
            QCOMPARE(report.at(0).value<DeviceXmlLodaing::ResultType>(), DeviceXmlLodaing::Loaded);
    }

    void everyFileDescribesModules()
    {
        const auto files = DeviceXmlLodaing::instance()->files();
        QVERIFY(!files.isEmpty());
        for (const DescriptionFilePtr &file : files)
            QVERIFY2(!file->modules.empty(), qPrintable(file->imageDir));
    }

    void familyFilesAsCatalogued()
    {
        QFile digital(kDigitalFile);
        QFile analog(kAnalogFile);
        QVERIFY(digital.open(QIODevice::ReadOnly));
        QVERIFY(analog.open(QIODevice::ReadOnly));
        QVERIFY(!ScrambledXml::hasMarker(digital.read(ScrambledXml::kMarkerSize)));
        QVERIFY(ScrambledXml::hasMarker(analog.read(ScrambledXml::kMarkerSize)));
    }

    void catalogue_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(sizeof kCatalogue / sizeof *kCatalogue); ++i)
            QTest::newRow(qPrintable(keyOf(kCatalogue[i].code))) << i;
    }
    void catalogue()
    {
        QFETCH(int, row);
        const CatalogueEntry &entry = kCatalogue[row];
        const QString key = keyOf(entry.code);

        const ModuleDescription *device = nullptr;
        for (const DescriptionFilePtr &file : DeviceXmlLodaing::instance()->files()) {
            if ((device = file->find(key)))
                break;
        }
        QVERIFY2(device, qPrintable(key));
        QCOMPARE(device->moduleClass, QString::fromLatin1(entry.moduleClass));
        QCOMPARE(device->imageDir, entry.digital ? QStringLiteral("Digital") : QStringLiteral("Analog"));

        std::unique_ptr<Slave> slave(SlaveFactory().create(key, 5));
        QCOMPARE(QString::fromLatin1(slave->metaObject()->className()), QString::fromLatin1(entry.kind));
        QVERIFY(slave->group(Slave::kConfigData));
        QVERIFY(hasConfigItem(*slave, &ItemInfo::isStation));
        if (qobject_cast<undefindSlave *>(slave.get())) {
            QCOMPARE(slave->typeCode, 8);
            QCOMPARE(slave->typeName, QStringLiteral("LS-?-?"));
            return;
        }
        QCOMPARE(slave->typeName, QString::fromLatin1(entry.typeName));
        QCOMPARE(slave->channelCount, entry.channels);
        QCOMPARE(slave->bitsPerChannel, entry.bits);
        QCOMPARE(slave->inputChannelCount, entry.inputs);
        QCOMPARE(slave->outputChannelCount, entry.outputs);
        QCOMPARE(slave->inputOffs, entry.inputOffs);
        QCOMPARE(slave->outputOffs, entry.outputOffs);
        QCOMPARE(slave->suportChangeableChannel, entry.changeable);
        if (QDir(QStringLiteral("./SVG")).exists())
            QVERIFY2(QFile::exists(slave->imagePath), qPrintable(slave->imagePath));
        // What allocation, the editor and the IO test panel need.
        if (entry.inputs) {
            QVERIFY(hasConfigItem(*slave, &ItemInfo::isInputChannels));
            QVERIFY(slave->group(Slave::kRxPdo) && !slave->group(Slave::kRxPdo)->items.isEmpty());
        }
        if (entry.outputs) {
            QVERIFY(hasConfigItem(*slave, &ItemInfo::isOutputChannels));
            QVERIFY(slave->group(Slave::kTxPdo) && !slave->group(Slave::kTxPdo)->items.isEmpty());
        }
    }

    void unknownModuleTakesFallback()
    {
        std::unique_ptr<Slave> slave(SlaveFactory().create(keyOf(0x7E57), 9));
        QVERIFY(qobject_cast<undefindSlave *>(slave.get()));
        QCOMPARE(slave->typeName, QStringLiteral("LS-?-?"));
        QCOMPARE(slave->moduleIdent, QStringLiteral("#00000000"));
        QVERIFY(slave->group(Slave::kConfigData));
    }
};

QTEST_GUILESS_MAIN(TestShippedLibrary)
#include "tst_shippedlibrary.moc"
