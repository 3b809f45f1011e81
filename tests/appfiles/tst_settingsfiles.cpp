// The settings files in the user's configuration folder, and the taking
// over of those an earlier version left in the working folder.

#include "SettingsFiles.h"
#include "TestFiles.h"
#include "TestFolders.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using testing_support::readAll;
using testing_support::writeFile;

class TestSettingsFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_previous;

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        QVERIFY(m_work.isValid());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_work.path()));
    }

    void cleanupTestCase() { QDir::setCurrent(m_previous); }

    void init()
    {
        testing_support::clearTestFolders();
        QFile::remove(QStringLiteral("setByte.ini"));
        QFile::remove(QStringLiteral("path.ini"));
    }

    // The user's configuration folder, under the test home.
    void inTheUsersConfigurationFolder()
    {
        const QString folder = SettingsFiles::folder();
        QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tarnbus-tester"));
        QVERIFY2(folder.startsWith(QDir::homePath() + QStringLiteral("/.qttest/")), qPrintable(folder));
        QCOMPARE(SettingsFiles::path(SettingsFiles::kAlignment), folder + QStringLiteral("/setByte.ini"));
        QCOMPARE(SettingsFiles::path(SettingsFiles::kUpgrade), folder + QStringLiteral("/path.ini"));
        // Asking creates nothing.
        QVERIFY(!QFileInfo::exists(folder));
    }

    // What is taken over from the working folder, and what is kept.
    void takeOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("old");  // in the working folder; empty: none
        QTest::addColumn<QByteArray>("mine"); // in the user's folder; empty: none
        QTest::addColumn<QByteArray>("used"); // what the settings then read; empty: no file
        const QByteArray oldAlignment("[General]\nByte=true\n");
        const QByteArray myAlignment("[General]\nByte=false\n");
        QTest::newRow("nothing anywhere") << "setByte.ini" << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("only the old file: copied") << "setByte.ini" << oldAlignment << QByteArray() << oldAlignment;
        QTest::newRow("the user's own wins") << "setByte.ini" << oldAlignment << myAlignment << myAlignment;
        QTest::newRow("the user's own alone") << "setByte.ini" << QByteArray() << myAlignment << myAlignment;
        QTest::newRow("the upgrade dialog's folder") << "path.ini" << QByteArray("[General]\nLastPath=/srv/firmware/a.dec\n")
                                                     << QByteArray() << QByteArray("[General]\nLastPath=/srv/firmware/a.dec\n");
    }
    void takeOver()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, old);
        QFETCH(QByteArray, mine);
        QFETCH(QByteArray, used);
        const QString own = SettingsFiles::folder() + QLatin1Char('/') + name;
        if (!old.isEmpty())
            QVERIFY(writeFile(name, old));
        if (!mine.isEmpty())
            QVERIFY(QDir().mkpath(SettingsFiles::folder()) && writeFile(own, mine));

        const QString path = SettingsFiles::path(name);
        QCOMPARE(path, own);
        QCOMPARE(QFileInfo::exists(path), !used.isEmpty());
        QCOMPARE(readAll(path), used);
        // The old file is never lost.
        if (!old.isEmpty())
            QCOMPARE(readAll(name), old);
    }

    // Once taken over, the old file is left alone: a change of it is not
    // taken over again, and the user's changes stay.
    void takenOverOnce()
    {
        QVERIFY(writeFile(QStringLiteral("setByte.ini"), "[General]\nByte=true\n"));
        const QString path = SettingsFiles::path(SettingsFiles::kAlignment);
        QVERIFY(QSettings(path, QSettings::IniFormat).value(QStringLiteral("Byte")).toBool());
        {
            QSettings mine(path, QSettings::IniFormat);
            mine.setValue(QStringLiteral("Byte"), false);
        }
        QVERIFY(writeFile(QStringLiteral("setByte.ini"), "[General]\nByte=true\nother=1\n"));
        QCOMPARE(SettingsFiles::path(SettingsFiles::kAlignment), path);
        QVERIFY(!QSettings(path, QSettings::IniFormat).value(QStringLiteral("Byte")).toBool());
        QVERIFY(!QSettings(path, QSettings::IniFormat).contains(QStringLiteral("other")));
    }

    // When the user's folder cannot be made, the old file is used where it
    // is rather than lost.
    void unwritableFolderKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("config"));
        QVERIFY(writeFile(blocker, "a file where the folder should be"));
        const QString old = dir.filePath(QStringLiteral("setByte.ini"));
        QVERIFY(writeFile(old, "[General]\nByte=true\n"));
        QCOMPARE(SettingsFiles::takeOver(old, blocker + QStringLiteral("/tarnbus-tester/setByte.ini")), old);
        QCOMPARE(readAll(old), QByteArray("[General]\nByte=true\n"));
    }
};

QTEST_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
