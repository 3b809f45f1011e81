// The parameter editor's configuration record: its layout, and that a slave
// reads back from it what was edited.

#include "SlaveEditRecord.h"

#include "../slave/SlaveTestLibrary.h"

#include "TarnBaseConvert.h"

#include <QtTest>

using namespace appcore;
using namespace SlaveTestLibrary;
using namespace TarnBase;

Q_DECLARE_METATYPE(appcore::SlaveEdit)

class TestSlaveEditRecord : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<SlaveEdit>("edit");
        QTest::addColumn<QByteArray>("expected"); // the 16 bytes that carry data; 16 to 31 are 0
        const auto edit = [](int param, int value) {
            SlaveEdit e;
            e.currentStation = 3;
            e.newStation = 4;
            e.parameters.insert(param, value);
            return e;
        };
        SlaveEdit areas;
        areas.currentStation = 128;
        areas.newStation = 128;
        areas.inputStart = 504; // 63 bytes in byte alignment
        areas.inputCount = 8;
        areas.outputStart = 17;
        areas.outputCount = 127;
        QTest::newRow("stations and areas") << areas << QByteArray::fromHex("808008fcff08000000000000000000 00");
        QTest::newRow("filter") << edit(ParamFilter, 13) << QByteArray::fromHex("030400000000500000000000000000 00");
        QTest::newRow("enable") << edit(ParamEnable, 3) << QByteArray::fromHex("030400000000010000000000000000 00");
        QTest::newRow("brake") << edit(ParamBrake, 3) << QByteArray::fromHex("030400000000001800000000000000 00");
        QTest::newRow("CCW") << edit(ParamCcw, 1) << QByteArray::fromHex("030400000000000400000000000000 00");
        QTest::newRow("Hall") << edit(ParamHall, 1) << QByteArray::fromHex("030400000000000200000000000000 00");
        QTest::newRow("learn") << edit(ParamLearn, 1) << QByteArray::fromHex("030400000000000100000000000000 00");
        QTest::newRow("substitute") << edit(ParamSubstitute, 16) << QByteArray::fromHex("030400000000000010000000000000 00");
        QTest::newRow("speed gear") << edit(ParamSpeedGear, 7) << QByteArray::fromHex("030400000000000000000300000000 00");
        QTest::newRow("direction") << edit(ParamDirection, 1) << QByteArray::fromHex("030400000000000000000400000000 00");
        QTest::newRow("speed acc") << edit(ParamSpeedAcc, 7) << QByteArray::fromHex("030400000000000000003800000000 00");
        QTest::newRow("RPM") << edit(ParamRpm, 0x0F) << QByteArray::fromHex("03040000000000000000c003000000 00");
        QTest::newRow("volt") << edit(ParamVolt, 1) << QByteArray::fromHex("030400000000000000002000000000 00");
        QTest::newRow("power") << edit(ParamPower, 5) << QByteArray::fromHex("030400000000000000000700000000 00");
        QTest::newRow("ACC") << edit(ParamAcc, 7) << QByteArray::fromHex("03040000000000000000001c000000 00");
        QTest::newRow("DEC") << edit(ParamDec, 7) << QByteArray::fromHex("0304000000000000000000e000000000");
        QTest::newRow("MAX_RPM signed") << edit(ParamMaxRpm, -2) << QByteArray::fromHex("030400000000000000000000feff0000");
        QTest::newRow("HALL phase") << edit(ParamHallPhase, 40000) << QByteArray::fromHex("0304000000000000000000000000409c");
        QTest::newRow("fault adds nothing") << edit(ParamFault, 0x7F) << QByteArray::fromHex("030400000000000000000000000000 00");
    }
    void layout()
    {
        QFETCH(SlaveEdit, edit);
        QFETCH(QByteArray, expected);
        const QByteArray record = edit.record();
        QCOMPARE(record.size(), SlaveEdit::kRecordSize);
        QCOMPARE(record.left(16).toHex(' '), expected.toHex(' '));
        QCOMPARE(record.mid(16), QByteArray(16, '\0'));
    }

    // What the editor shows is what the slave itself would send.
    void startsFromTheSlave_data()
    {
        QTest::addColumn<QString>("ident");
        for (const QString &ident : {kDI, kDO, kDIO, kDIDO, kAI, kAO, kAIAO})
            QTest::newRow(qPrintable(ident)) << ident;
    }
    void startsFromTheSlave()
    {
        QFETCH(QString, ident);
        auto slave = create(ident, 6);
        const SlaveEdit edit = SlaveEdit::of(*takeSnapshot(*slave));
        QCOMPARE(edit.currentStation, 6);
        QCOMPARE(edit.record().toHex(' '), slave->configurationRecord().left(SlaveEdit::kRecordSize).toHex(' '));
    }

    // A slave given the record holds the edited values.
    void slaveTakesTheEdit()
    {
        auto slave = create(kDIO, 6);
        SlaveEdit edit = SlaveEdit::of(*takeSnapshot(*slave));
        edit.newStation = 9;
        edit.inputStart = 40;
        edit.outputStart = 3;
        edit.parameters[ParamFilter] = 3;
        edit.parameters[ParamSubstitute] = 777;
        slave->applyShortRecord(edit.record());

        const SlaveEdit after = SlaveEdit::of(*takeSnapshot(*slave));
        QCOMPARE(after.currentStation, 9);
        QCOMPARE(after.newStation, 9);
        QCOMPARE(after.inputStart, 40);
        QCOMPARE(after.outputStart, 3);
        QCOMPARE(after.parameters, edit.parameters);
    }
};

QTEST_GUILESS_MAIN(TestSlaveEditRecord)
#include "tst_slaveeditrecord.moc"
