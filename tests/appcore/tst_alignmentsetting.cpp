// The alignment mode kept in setByte.ini.

#include "AlignmentSetting.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace appcore;

class TestAlignmentSetting : public QObject
{
    Q_OBJECT

private slots:
    void bitsWithoutAFile()
    {
        QTemporaryDir dir;
        QCOMPARE(AlignmentSetting::unit(dir.filePath(QStringLiteral("setByte.ini"))), 1);
    }

    void savedModeIsRead_data()
    {
        QTest::addColumn<bool>("byteAlignment");
        QTest::addColumn<int>("unit");
        QTest::newRow("bytes") << true << 8;
        QTest::newRow("bits") << false << 1;
    }
    void savedModeIsRead()
    {
        QFETCH(bool, byteAlignment);
        QFETCH(int, unit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setByte.ini"));
        QVERIFY(AlignmentSetting::save(byteAlignment, path));
        QCOMPARE(AlignmentSetting::unit(path), unit);
    }

    // A file written by the window of another installation.
    void fileOfTheWindow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setByte.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nByte=true\n");
        file.close();
        QCOMPARE(AlignmentSetting::unit(path), 8);
    }
};

QTEST_GUILESS_MAIN(TestAlignmentSetting)
#include "tst_alignmentsetting.moc"
