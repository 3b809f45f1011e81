#include <DeviceXmlLodaing.h>
#include <ScrambledXml.h>
#include <XmlDecoding.h>

#include <QFile>
#include <TestFiles.h>
#include <TestFolders.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <future>

using testing_support::readAll;
using testing_support::writeFile;

namespace {

const QString kFamily = QStringLiteral("tests/fixtures/xml/TestFamily.xml");

// A comparable summary of a loaded collection.
QStringList summary(const DescriptionFile &file)
{
    QStringList lines{file.manufacturer, file.imageDir};
    for (const auto &entry : file.modules) {
        const ModuleDescription &m = *entry.second;
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(entry.first, m.moduleClass, m.typeName)
                     .arg(m.channelCount)
                     .arg(int(m.dictionary.objects.size()))
                     .arg(m.txPdo ? int(m.txPdo->entries.size()) : -1);
    }
    return lines;
}

} // namespace

class TestDescriptionLoading : public QObject
{
    Q_OBJECT

    DeviceXmlLodaing *loader() { return DeviceXmlLodaing::instance(); }
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { testing_support::useTestFolders(); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        loader()->loadFolder(m_dir.filePath(QStringLiteral("no-such-folder")));
        QVERIFY(loader()->files().isEmpty());
    }

    void loadFileResults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("modules");
        const QByteArray family = readAll(kFamily);
        QTest::newRow("empty path") << QString() << QByteArray() << 0 << -1;
        QTest::newRow("missing file") << "missing.xml" << QByteArray() << 1 << -1;
        QTest::newRow("plain") << "plain.xml" << family << 2 << 12;
        QTest::newRow("scrambled") << "scrambled.xml" << ScrambledXml::scramble(family) << 2 << 12;
        QTest::newRow("three bytes") << "short.xml" << QByteArray("\xFE\xFC\xFD", 3) << 2 << 0;
        QTest::newRow("marker only") << "marker.xml" << QByteArray("\xFE\xFC\xFD\xFE", 4) << 2 << 0;
        QTest::newRow("malformed XML") << "broken.xml" << family.left(family.size() / 2) << 2 << 0;
    }
    void loadFileResults()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QFETCH(int, modules);
        const QString filePath = name.isEmpty() ? QString() : path(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(filePath, content));

        QSignalSpy finished(loader(), &DeviceXmlLodaing::oLoadFileFinish);
        QCOMPARE(loader()->loadFile(filePath), result == DeviceXmlLodaing::Loaded);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<DeviceXmlLodaing::ResultType>(), DeviceXmlLodaing::ResultType(result));
        QCOMPARE(finished.at(0).at(1).toString(), filePath);
        QCOMPARE(finished.at(0).at(2).toInt(), 1);
        QCOMPARE(loader()->files().size(), modules < 0 ? 0 : 1);
        if (modules >= 0)
            QCOMPARE(int(loader()->files().first()->modules.size()), modules);
    }

    void scrambledLoadsLikePlain()
    {
        const QByteArray family = readAll(kFamily);
        QVERIFY(writeFile(path("plain.xml"), family));
        QVERIFY(writeFile(path("scrambled.xml"), ScrambledXml::scramble(family)));
        QVERIFY(loader()->loadFile(path("plain.xml")));
        QVERIFY(loader()->loadFile(path("scrambled.xml")));
        const auto files = loader()->files();
        QCOMPARE(files.size(), 2);
        QCOMPARE(summary(*files.at(1)), summary(*files.at(0)));
    }

    void readOnlyFilesLoad_data()
    {
        QTest::addColumn<bool>("resource");
        QTest::newRow("resource (never writable)") << true;
        QTest::newRow("write-protected file") << false;
    }
    void readOnlyFilesLoad()
    {
        QFETCH(bool, resource);
        QString filePath = QStringLiteral(":/readonly/TestFamily.xml");
        if (!resource) {
            filePath = path("protected.xml");
            QVERIFY(writeFile(filePath, readAll(kFamily)));
            QVERIFY(QFile::setPermissions(filePath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        QVERIFY(loader()->loadFile(filePath));
        QCOMPARE(int(loader()->files().first()->modules.size()), 12);
    }

    void encryptionRoundTrip()
    {
        const QByteArray family = readAll(kFamily);
        const QString filePath = path("family.xml");
        QVERIFY(writeFile(filePath, family));
        QVERIFY(loader()->loadFile(filePath));

        // A reader that opened the file before keeps seeing the whole plain
        // text: the scrambled form replaces the file, it is not written into it.
        QFile earlier(filePath);
        QVERIFY(earlier.open(QIODevice::ReadOnly));

        XmlDecoding decoding;
        QVERIFY(decoding.encryptionXml(filePath));
        const QByteArray stored = readAll(filePath);
        QCOMPARE(stored, ScrambledXml::scramble(family));
        QCOMPARE(stored.left(4), QByteArray("\xFE\xFC\xFD\xFE", 4));
        QCOMPARE(quint8(stored.at(4)), quint8(0xFF - quint8(family.at(0))));
        QCOMPARE(earlier.readAll(), family);

        QVERIFY(loader()->loadFile(filePath));
        QCOMPARE(summary(*loader()->files().at(1)), summary(*loader()->files().at(0)));

        // Already scrambled: unchanged.
        QVERIFY(decoding.encryptionXml(filePath));
        QCOMPARE(readAll(filePath), stored);
    }

    void encryptionOfMissingFileFails()
    {
        XmlDecoding decoding;
        QVERIFY(!decoding.encryptionXml(path("missing.xml")));
        QVERIFY(!QFile::exists(path("missing.xml")));
    }

    void byteArrayDecode_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("null") << QByteArray() << -1 << QByteArray();
        QTest::newRow("empty") << QByteArray("") << 0 << QByteArray("");
        QTest::newRow("three bytes") << QByteArray("\x00\x0F\xFF", 3) << 0 << QByteArray("\xFF\xF0\x00", 3);
    }
    void byteArrayDecode()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, result);
        QFETCH(QByteArray, decoded);
        XmlDecoding decoding;
        QSignalSpy progress(&decoding, &XmlDecoding::sigDecodingProgress);
        QCOMPARE(decoding.openByteArrayDecode(data), result);
        QCOMPARE(data, decoded);
        QCOMPARE(progress.count(), result < 0 ? 0 : data.size());
        for (int i = 0; i < progress.count(); ++i) {
            QCOMPARE(progress.at(i).at(0).toInt(), data.size() - 1);
            QCOMPARE(progress.at(i).at(1).toInt(), i);
        }
    }

    // Several folders: each in its order, a file hiding those of its name
    // in the folders after it (the user's description hides the shipped one).
    void foldersInOrderEachNameOnce()
    {
        const QByteArray family = readAll(kFamily);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("user")) && QDir(m_dir.path()).mkpath(QStringLiteral("system")));
        QVERIFY(writeFile(path("user/b.xml"), QByteArray("<TarnBus imageDir='mine'/>")));
        QVERIFY(writeFile(path("system/a.xml"), family));
        QVERIFY(writeFile(path("system/b.xml"), QByteArray("<TarnBus imageDir='shipped'/>")));
        QSignalSpy finished(loader(), &DeviceXmlLodaing::oLoadFileFinish);
        loader()->loadFolders({path("user"), path("system")});
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(0).at(1).toString(), path("user/b.xml"));
        QCOMPARE(finished.at(1).at(1).toString(), path("system/a.xml"));
        const auto files = loader()->files();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0)->imageDir, QStringLiteral("mine"));
        QCOMPARE(files.at(1)->imageDir, QStringLiteral("Fixture"));
    }

    // The program's reload reads the user's folder before the working
    // folder's.
    void reloadReadsTheUsersFolderFirst()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Xml")));
        QVERIFY(writeFile(path("Xml/a.xml"), readAll(kFamily)));
        const QString user = DataFolders::userFolder(DataFolders::kDescriptions);
        QVERIFY(QDir().mkpath(user));
        QVERIFY(writeFile(user + QStringLiteral("/a.xml"), QByteArray("<TarnBus imageDir='mine'/>")));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        loader()->onLoadXmlFile();
        QVERIFY(QDir::setCurrent(previous));
        testing_support::clearTestFolders();
        const auto files = loader()->files();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files.at(0)->imageDir, QStringLiteral("mine"));
    }

    void reloadReadsDefaultFolderInNameOrder()
    {
        const QByteArray family = readAll(kFamily);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Xml")));
        QVERIFY(writeFile(path("Xml/b.xml"), QByteArray("<TarnBus imageDir='b'/>")));
        QVERIFY(writeFile(path("Xml/a.xml"), ScrambledXml::scramble(family)));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QSignalSpy finished(loader(), &DeviceXmlLodaing::oLoadFileFinish);
        emit loader()->oLoadXmlFile();
        QVERIFY(QDir::setCurrent(previous));

        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("./Xml/a.xml"));
        const auto files = loader()->files();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0)->imageDir, QStringLiteral("Fixture"));
        QCOMPARE(files.at(1)->imageDir, QStringLiteral("b"));
        // Each collection knows the file it came from (the import dialog lists them).
        QCOMPARE(files.at(0)->fileName, QStringLiteral("a.xml"));
        QCOMPARE(files.at(1)->fileName, QStringLiteral("b.xml"));
    }

    // The window's start loads in a thread of its own: whoever asks for the
    // library meanwhile, in any thread, gets it whole, and a load asked for
    // afterwards replaces it, never the other way round.
    void backgroundLoadIsWaitedFor_data()
    {
        QTest::addColumn<bool>("reloadAfter");
        QTest::newRow("read in another thread") << false;
        QTest::newRow("replaced by a later load") << true;
    }
    void backgroundLoadIsWaitedFor()
    {
        QFETCH(bool, reloadAfter);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Xml")));
        QVERIFY(writeFile(path("Xml/b.xml"), QByteArray("<TarnBus imageDir='b'/>")));
        QVERIFY(writeFile(path("Xml/a.xml"), ScrambledXml::scramble(readAll(kFamily))));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QSignalSpy finished(loader(), &DeviceXmlLodaing::oLoadFinished);
        loader()->loadInBackground();
        QVERIFY(QDir::setCurrent(previous));
        if (reloadAfter) {
            loader()->loadFolder(path("no-such-folder"));
            QVERIFY(loader()->files().isEmpty());
            QCOMPARE(finished.count(), 2);
            return;
        }
        const QList<DescriptionFilePtr> files = std::async(std::launch::async, [this] { return loader()->files(); }).get();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files.at(0)->imageDir, QStringLiteral("Fixture"));
        QCOMPARE(files.at(1)->imageDir, QStringLiteral("b"));
        QCOMPARE(files.at(0)->find(QStringLiteral("#0000F101"))->typeName, QStringLiteral("FX-DI4-N"));
        loader()->waitForLoading();
        QCOMPARE(finished.count(), 1);
    }

    void snapshotOutlivesReload()
    {
        QVERIFY(writeFile(path("family.xml"), readAll(kFamily)));
        QVERIFY(loader()->loadFile(path("family.xml")));
        const QList<DescriptionFilePtr> snapshot = loader()->files();
        loader()->loadFolder(path("no-such-folder"));
        QVERIFY(loader()->files().isEmpty());
        QCOMPARE(snapshot.first()->find(QStringLiteral("#0000F101"))->typeName, QStringLiteral("FX-DI4-N"));
    }

    void resultTypeCrossesThreads()
    {
        QVERIFY(QMetaType::type("DeviceXmlLodaing::ResultType") != QMetaType::UnknownType);
    }
};

QTEST_GUILESS_MAIN(TestDescriptionLoading)
#include "tst_descriptionloading.moc"
