// Taking description files and pictures into the program's folders: where
// they go, and that nothing is lost or lands elsewhere on the way.

#include <DescriptionImport.h>
#include <ScrambledXml.h>

#include <QDir>
#include <QFile>
#include <TestFiles.h>
#include <QTemporaryDir>
#include <QtTest>

using testing_support::readAll;
using testing_support::writeFile;

namespace {

const QString kFamily = QStringLiteral("tests/fixtures/xml/TestFamily.xml");

} // namespace

class TestDescriptionImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void destination_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::newRow("plain") << "/tmp/io.xml" << "./Xml/io.xml";
        QTest::newRow("up to the first dot") << "/any/where/io.module.rev.xml" << "./Xml/io.xml";
        QTest::newRow("no base name") << "/tmp/.xml" << "";
    }
    void destination()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QCOMPARE(DescriptionImport::destinationFor(source, QStringLiteral("./Xml")), destination);
    }

    void pictureFolder_data()
    {
        QTest::addColumn<QString>("imageDir");
        QTest::addColumn<QString>("folder"); // empty: refused
        QTest::newRow("a name") << "Digital" << "./SVG/Digital";
        QTest::newRow("a subfolder") << "Tarn/Extra" << "./SVG/Tarn/Extra";
        QTest::newRow("empty: the templates' folder") << "" << "";
        QTest::newRow("blank") << "  " << "";
        QTest::newRow("the templates' folder itself") << "." << "";
        QTest::newRow("dots and slashes") << "./" << "";
        QTest::newRow("climbs out") << ".." << "";
        QTest::newRow("climbs out further down") << "Digital/../../etc" << "";
        QTest::newRow("climbs out, other separator") << "Digital\\..\\.." << "";
        QTest::newRow("absolute") << "/etc" << "";
        QTest::newRow("absolute, other system") << "C:/Windows" << "";
        QTest::newRow("root, other separator") << "\\share" << "";
    }
    void pictureFolder()
    {
        QFETCH(QString, imageDir);
        QFETCH(QString, folder);
        QCOMPARE(DescriptionImport::pictureFolder(imageDir, QStringLiteral("./SVG")), folder);
    }

    // A description replaces one of the same name only when it is one; the
    // bytes are taken unchanged.
    void descriptionReplacedOnlyByADescription_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        const QByteArray family = readAll(kFamily);
        QTest::newRow("plain") << family << true;
        QTest::newRow("scrambled") << ScrambledXml::scramble(family) << true;
        QTest::newRow("cut short") << family.left(family.size() / 2) << false;
        QTest::newRow("scrambled, cut short") << ScrambledXml::scramble(family).left(300) << false;
        QTest::newRow("XML without modules") << QByteArray("<?xml version=\"1.0\"?><TarnBusInfo/>") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void descriptionReplacedOnlyByADescription()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QVERIFY(!readAll(kFamily).isEmpty());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Xml")));
        const QByteArray old("<TarnBusInfo><TarnBus imageDir=\"Old\"/></TarnBusInfo>");
        QVERIFY(writeFile(path("Xml/Family.xml"), old));
        QVERIFY(writeFile(path("Family.new.xml"), bytes));

        const DescriptionImport::Outcome outcome =
            DescriptionImport::importDescription(path("Family.new.xml"), path("Xml"));
        QCOMPARE(outcome.ok, accepted);
        QCOMPARE(readAll(path("Xml/Family.xml")), accepted ? bytes : old);
        QCOMPARE(outcome.error.isEmpty(), accepted);
        // Nothing else is left in the folder (no half-written copy).
        QCOMPARE(QDir(path("Xml")).entryList(QDir::Files), QStringList{"Family.xml"});
    }

    void descriptionFolderCreatedAndReasonsGiven()
    {
        QVERIFY(writeFile(path("Family.xml"), readAll(kFamily)));
        const DescriptionImport::Outcome created = DescriptionImport::importDescription(path("Family.xml"), path("New/Xml"));
        QVERIFY(created.ok);
        QCOMPARE(created.destination, path("New/Xml") + QStringLiteral("/Family.xml"));
        QVERIFY(QFile::exists(created.destination));

        const DescriptionImport::Outcome missing = DescriptionImport::importDescription(path("none.xml"), path("Xml"));
        QVERIFY(!missing.ok);
        QVERIFY2(missing.error.startsWith(QStringLiteral("无法读取文件")), qPrintable(missing.error));
        QVERIFY(!QFile::exists(path("Xml/none.xml")));
    }

    void pictures()
    {
        const QString folder = path("SVG/Family");
        QVERIFY(writeFile(path("new.svg"), QByteArray("<svg/>")));
        DescriptionImport::Outcome outcome = DescriptionImport::importPicture(path("new.svg"), folder);
        QVERIFY(outcome.ok);
        QCOMPARE(readAll(folder + QStringLiteral("/new.svg")), QByteArray("<svg/>"));

        // A picture replaced by a newer one of the same name.
        QVERIFY(writeFile(path("new.svg"), QByteArray("<svg id='2'/>")));
        QVERIFY(DescriptionImport::importPicture(path("new.svg"), folder).ok);
        QCOMPARE(readAll(folder + QStringLiteral("/new.svg")), QByteArray("<svg id='2'/>"));

        // A picture chosen from its own folder stays as it is.
        outcome = DescriptionImport::importPicture(folder + QStringLiteral("/new.svg"), folder);
        QVERIFY(outcome.ok);
        QCOMPARE(readAll(folder + QStringLiteral("/new.svg")), QByteArray("<svg id='2'/>"));

        outcome = DescriptionImport::importPicture(path("none.svg"), folder);
        QVERIFY(!outcome.ok);
        QVERIFY(!outcome.error.isEmpty());
        QVERIFY(!QFile::exists(folder + QStringLiteral("/none.svg")));
    }
};

QTEST_GUILESS_MAIN(TestDescriptionImport)
#include "tst_descriptionimport.moc"
