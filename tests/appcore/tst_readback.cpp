// What is said when the adapter, back from a restart, does not hold what a
// settings write or a store gave it.

#include "ReadBack.h"

#include "../slave/SlaveTestLibrary.h"

#include "RecordLayout.h"

#include <QtTest>

using namespace appcore;
using namespace SlaveTestLibrary;


namespace {

SettingsReadBack readBack(quint8 written, quint16 writtenThreshold, bool changed, bool known, quint8 read, quint16 readThreshold)
{
    SettingsReadBack r;
    r.writtenByte = written;
    r.writtenThreshold = writtenThreshold;
    r.thresholdChanged = changed;
    r.known = known;
    r.readByte = read;
    r.readThreshold = readThreshold;
    return r;
}

// A slave of the fixture library as read from a module: its station, its
// input area and its filter level.
SlaveSnapshot module(const QByteArray &uid, int station, int inStart, int inChannels, int filter = 0)
{
    auto slave = create(kDI, station);
    slave->setUuid(uid);
    QByteArray record(32, '\0');
    record[0] = char(station);
    record[1] = char(station);
    RecordLayout::putWord(record, RecordLayout::kInputPos, quint16((inStart << 7) | inChannels));
    record[6] = char(filter << 4);
    slave->applyShortRecord(record);
    return takeSnapshot(*slave);
}

} // namespace

class TestReadBack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!fixture().isEmpty()); }

    void settings_data()
    {
        QTest::addColumn<SettingsReadBack>("check");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("as written") << readBack(0x0B, 1500, true, true, 0x0B, 1500) << QStringList();
        // Only the four switches are the user's; the threshold only when it was to change.
        QTest::newRow("upper bits and a threshold not asked for")
            << readBack(0x0B, 1500, false, true, 0x8B, 1000) << QStringList();
        QTest::newRow("a switch and the threshold differ")
            << readBack(0x09, 1500, true, true, 0x08, 1000)
            << QStringList{"DI滤波使能: 写入 开启, 读回 关闭", "阈值(201-2999): 写入 1500, 读回 1000"};
        QTest::newRow("the station mode differs")
            << readBack(0x08, 1000, false, true, 0x00, 1000) << QStringList{"站号分配模式: 写入 自由组态, 读回 严格组态"};
        QTest::newRow("not read back") << readBack(0x08, 1000, false, false, 0, 0) << QStringList{"适配器重启后参数未能读回"};
    }
    void settings()
    {
        QFETCH(SettingsReadBack, check);
        QFETCH(QStringList, lines);
        QCOMPARE(ReadBack::settingsDifferences(check), lines);
        QCOMPARE(check.matches(), lines.isEmpty());
        const ResultMessage m = ReadBack::settingsMessage(check);
        QCOMPARE(m.isFailure(), !lines.isEmpty());
        for (const QString &line : lines)
            QVERIFY(m.boxText.contains(line));
    }

    void bus_data()
    {
        QTest::addColumn<SlaveList>("stored");
        QTest::addColumn<SlaveList>("reloaded");
        QTest::addColumn<QStringList>("lines");
        const SlaveSnapshot a = module("UIDA00000001", 1, 0, 4, 2);
        const SlaveSnapshot b = module("UIDB00000002", 2, 8, 4);
        QTest::newRow("the same bus") << SlaveList{a, b} << SlaveList{b, a} << QStringList();
        QTest::newRow("station, area and parameter")
            << SlaveList{a, b} << SlaveList{module("UIDA00000001", 3, 16, 4, 1), b}
            << QStringList{"站号1 FX-DI4-N (UIDA00000001) 站号: 写入 1, 读回 3",
                           "站号1 FX-DI4-N (UIDA00000001) 输入区: 写入 0..3, 读回 16..19",
                           "站号1 FX-DI4-N (UIDA00000001) Filter level: 写入 2, 读回 1 ms"};
        QTest::newRow("a module gone, another new")
            << SlaveList{a, b} << SlaveList{a, module("UIDC00000003", 2, 8, 4)}
            << QStringList{"站号2 FX-DI4-N (UIDB00000002) 重启后不在总线上", "站号2 FX-DI4-N (UIDC00000003) 保存时不在总线上"};
    }
    void bus()
    {
        QFETCH(SlaveList, stored);
        QFETCH(SlaveList, reloaded);
        QFETCH(QStringList, lines);
        QCOMPARE(ReadBack::busDifferences(stored, reloaded), lines);
        const ResultMessage m = ReadBack::storeMessage(lines);
        QCOMPARE(m.isFailure(), !lines.isEmpty());
        QCOMPARE(m.level, lines.isEmpty() ? MessageLevel::Inform : MessageLevel::Error);
    }
};

QTEST_GUILESS_MAIN(TestReadBack)
#include "tst_readback.moc"
