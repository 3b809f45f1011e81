// The data folders: the order they are searched in (the user's, the
// system's, the working folder, share/ beside the program), which copy of a
// file wins, and where the user's own files go.

#include "AppIdentity.h"
#include "DataFolders.h"
#include "TestFiles.h"
#include "TestFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using testing_support::writeFile;

namespace {

const QString kApp = QStringLiteral("tarnbus-tester");

} // namespace

class TestDataFolders : public QObject
{
    Q_OBJECT

    QTemporaryDir m_system; // two system data folders: a/ and b/
    QTemporaryDir m_work;   // the working folder
    QString m_previous;

    // The folder of each place, by its name in the tables.
    QString folderOf(const QString &place) const
    {
        if (place == QLatin1String("user"))
            return DataFolders::userFolder(QString());
        if (place == QLatin1String("system"))
            return m_system.filePath(QStringLiteral("a/") + kApp) + QLatin1Char('/');
        if (place == QLatin1String("second system"))
            return m_system.filePath(QStringLiteral("b/") + kApp) + QLatin1Char('/');
        if (place == QLatin1String("working"))
            return QStringLiteral("./");
        return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + kApp + QLatin1Char('/');
    }

    bool put(const QString &place, const QString &name, const QByteArray &bytes)
    {
        const QString path = folderOf(place) + name;
        return QDir().mkpath(QFileInfo(path).absolutePath()) && writeFile(path, bytes);
    }

    void clearAll()
    {
        testing_support::clearTestFolders();
        QDir(m_system.path()).removeRecursively();
        QDir().mkpath(m_system.path());
        for (const QString &name : QDir(m_work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (!QDir(m_work.filePath(name)).removeRecursively())
                QFile::remove(m_work.filePath(name));
        }
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../share")).removeRecursively();
    }

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        QVERIFY(m_system.isValid() && m_work.isValid());
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_system.filePath(QStringLiteral("a")) + QLatin1Char(':')
                                                   + m_system.filePath(QStringLiteral("b"))));
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work.path()));
    }

    void cleanupTestCase()
    {
        clearAll();
        QDir::setCurrent(m_previous);
    }

    void init() { clearAll(); }

    // The folders in the order they are searched, each once.
    void rootsInOrder()
    {
        const QStringList roots = DataFolders::roots();
        QCOMPARE(roots, (QStringList{
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + kApp,
                            m_system.filePath(QStringLiteral("a/") + kApp),
                            m_system.filePath(QStringLiteral("b/") + kApp),
                            QStringLiteral("."),
                            QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + kApp,
                        }));
        // The user's folder is the test one, under the home.
        QVERIFY2(roots.first().startsWith(QDir::homePath() + QStringLiteral("/.qttest/")), qPrintable(roots.first()));
        QCOMPARE(DataFolders::userFolder(QStringLiteral("Xml")), roots.first() + QStringLiteral("/Xml"));
    }

    // A folder met twice is searched once, where it comes first: the
    // working folder that is the system's data folder.
    void aFolderMetTwiceCountsOnce()
    {
        QVERIFY(QDir().mkpath(m_system.filePath(QStringLiteral("a/") + kApp)));
        QVERIFY(QDir::setCurrent(m_system.filePath(QStringLiteral("a/") + kApp)));
        const QStringList roots = DataFolders::roots();
        QVERIFY(QDir::setCurrent(m_work.path()));
        QCOMPARE(roots.size(), 4);
        QVERIFY(!roots.contains(QStringLiteral(".")));
    }

    // Which copy of a file is used when several folders have one.
    void firstFolderWins_data()
    {
        QTest::addColumn<QStringList>("holders");
        QTest::addColumn<QString>("winner");
        QTest::newRow("everywhere: the user's") << QStringList{"beside", "working", "second system", "system", "user"} << "user";
        QTest::newRow("system before working") << QStringList{"working", "system"} << "system";
        QTest::newRow("first system before second") << QStringList{"second system", "system"} << "system";
        QTest::newRow("working before beside the program") << QStringList{"beside", "working"} << "working";
        QTest::newRow("beside the program alone") << QStringList{"beside"} << "beside";
        QTest::newRow("nowhere") << QStringList{} << "";
    }
    void firstFolderWins()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, winner);
        const QString name = QStringLiteral("SVG/Digital/TB-DI8-N.svg");
        for (const QString &place : holders)
            QVERIFY(put(place, name, place.toUtf8()));
        const QString found = DataFolders::locate(name);
        if (winner.isEmpty()) {
            QCOMPARE(found, QString());
            return;
        }
        QCOMPARE(found, folderOf(winner) + name);
        QCOMPARE(testing_support::readAll(found), winner.toUtf8());
        // The folders that hold a picture folder, in the same order.
        QCOMPARE(DataFolders::existing(DataFolders::kPictures).first(), folderOf(winner) + DataFolders::kPictures);
    }

    // A name given as an absolute path is taken as it is.
    void absoluteNames()
    {
        const QString file = m_work.filePath(QStringLiteral("elsewhere.svg"));
        QVERIFY(writeFile(file, "x"));
        QCOMPARE(DataFolders::locate(file), file);
        QCOMPARE(DataFolders::locate(m_work.filePath(QStringLiteral("none.svg"))), QString());
        QCOMPARE(DataFolders::locate(QString()), QString());
    }

    // The descriptions of every folder, each name once: the user's copy
    // hides the shipped one, whose other files stay.
    void mergedDescriptions()
    {
        QVERIFY(put(QStringLiteral("user"), QStringLiteral("Xml/b.xml"), "mine"));
        QVERIFY(put(QStringLiteral("system"), QStringLiteral("Xml/a.xml"), "shipped"));
        QVERIFY(put(QStringLiteral("system"), QStringLiteral("Xml/b.xml"), "shipped"));
        QVERIFY(put(QStringLiteral("working"), QStringLiteral("Xml/a.xml"), "checkout"));
        QVERIFY(put(QStringLiteral("working"), QStringLiteral("Xml/c.xml"), "checkout"));
        const QStringList folders = DataFolders::existing(DataFolders::kDescriptions);
        QCOMPARE(folders, (QStringList{folderOf("user") + "Xml", folderOf("system") + "Xml", folderOf("working") + "Xml"}));
        QCOMPARE(DataFolders::mergedFiles(folders),
                 (QStringList{folderOf("user") + "Xml/b.xml", folderOf("system") + "Xml/a.xml", folderOf("working") + "Xml/c.xml"}));
    }

    // The demonstration bus of --demo: installed with the data, else the
    // checkout's.
    void demonstrationBus_data()
    {
        QTest::addColumn<QStringList>("holders"); // "system", "checkout"
        QTest::addColumn<QString>("found");
        QTest::newRow("installed") << QStringList{"system", "checkout"} << "system";
        QTest::newRow("checkout") << QStringList{"checkout"} << "checkout";
        QTest::newRow("none") << QStringList{} << "";
    }
    void demonstrationBus()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, found);
        if (holders.contains(QStringLiteral("system")))
            QVERIFY(put(QStringLiteral("system"), QStringLiteral("buses/demo.json"), "{}"));
        if (holders.contains(QStringLiteral("checkout")))
            QVERIFY(put(QStringLiteral("working"), QStringLiteral("sim/buses/demo.json"), "{}"));
        const QString expected = found == QLatin1String("system") ? folderOf(found) + QStringLiteral("buses/demo.json")
                                 : found.isEmpty()                 ? QString()
                                                                   : QStringLiteral("./sim/buses/demo.json");
        QCOMPARE(DataFolders::demoBus(), expected);
    }

    // Both programs carry one name and one version.
    void identity()
    {
        AppIdentity::apply();
        QCOMPARE(QCoreApplication::applicationName(), kApp);
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("TarnBUS"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(TARNBUS_VERSION));
        QCOMPARE(AppIdentity::desktopId(), QStringLiteral("org.tarnbus.tester"));
        // The folders do not follow the organisation: they are the package's.
        QVERIFY(DataFolders::roots().at(1).endsWith(QLatin1Char('/') + kApp));
    }
};

QTEST_MAIN(TestDataFolders)
#include "tst_datafolders.moc"
