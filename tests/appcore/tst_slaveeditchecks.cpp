// The checks made before an edited record is handed to a slave: numbers as
// typed, the ranges of parameter rows, and the other slaves of the bus.

#include "SlaveEditChecks.h"

#include "../slave/SlaveTestLibrary.h"

#include "TarnBaseConvert.h"

#include <QtTest>

using namespace appcore;
using namespace SlaveTestLibrary;
using namespace TarnBase;

namespace {

// A snapshot with one input and one output window, at a station.
SlaveSnapshot windowed(quint64 id, int station, int inStart, int inBits, int outStart, int outBits)
{
    auto state = std::make_shared<SlaveState>();
    state->recordId = id;
    state->stationId = state->newStationId = quint8(station);
    state->ioWindow.inputStart = quint16(inStart);
    state->ioWindow.inputBits = quint16(inBits);
    state->ioWindow.outputStart = quint16(outStart);
    state->ioWindow.outputBits = quint16(outBits);
    return state;
}

} // namespace

class TestSlaveEditChecks : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("decimal") << "128" << true << qint64(128);
        QTest::newRow("blanks around") << " 7 " << true << qint64(7);
        QTest::newRow("negative") << "-3" << true << qint64(-3);
        QTest::newRow("hexadecimal") << "0x10" << true << qint64(16);
        QTest::newRow("upper-case prefix") << "0XfF" << true << qint64(255);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("letters") << "abc" << false << qint64(0);
        QTest::newRow("trailing letters") << "12a" << false << qint64(0);
        QTest::newRow("plus sign") << "+5" << false << qint64(0);
        QTest::newRow("fraction") << "1.5" << false << qint64(0);
        QTest::newRow("prefix only") << "0x" << false << qint64(0);
        QTest::newRow("signed hexadecimal") << "0x-5" << false << qint64(0);
        QTest::newRow("blank inside") << "1 2" << false << qint64(0);
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, value);
        const std::optional<qint64> parsed = parseNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void parameterValues_data()
    {
        QTest::addColumn<int>("paramType");
        QTest::addColumn<int>("bits"); // the item's bit length, 0 when not given
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("substitute 0xFFFF") << int(ParamSubstitute) << 16 << qint64(0xFFFF) << true;
        QTest::newRow("substitute wider than 16 bits") << int(ParamSubstitute) << 16 << qint64(0x10000) << false;
        QTest::newRow("substitute negative") << int(ParamSubstitute) << 16 << qint64(-1) << false;
        QTest::newRow("MAX_RPM signed") << int(ParamMaxRpm) << 16 << qint64(-32768) << true;
        QTest::newRow("MAX_RPM too large") << int(ParamMaxRpm) << 16 << qint64(32768) << false;
        QTest::newRow("brake 3") << int(ParamBrake) << 0 << qint64(3) << true;
        QTest::newRow("brake 4") << int(ParamBrake) << 0 << qint64(4) << false;
        QTest::newRow("learn 2") << int(ParamLearn) << 0 << qint64(2) << false;
        QTest::newRow("power -2") << int(ParamPower) << 0 << qint64(-2) << true;
        QTest::newRow("power 30") << int(ParamPower) << 0 << qint64(30) << false;
        QTest::newRow("filter 7 in a 3-bit item") << int(ParamFilter) << 3 << qint64(7) << true;
        QTest::newRow("filter 4 in a 2-bit item") << int(ParamFilter) << 2 << qint64(4) << false;
        QTest::newRow("power 29 in a 5-bit item") << int(ParamPower) << 5 << qint64(29) << true;
        QTest::newRow("power -2 in a 5-bit item") << int(ParamPower) << 5 << qint64(-2) << true;
        QTest::newRow("power 29 in a 4-bit item") << int(ParamPower) << 4 << qint64(29) << false;
    }
    void parameterValues()
    {
        QFETCH(int, paramType);
        QFETCH(int, bits);
        QFETCH(qint64, value);
        QFETCH(bool, accepted);
        ItemFields item;
        item.paramType = paramType;
        item.bitLength = qint16(bits);
        QCOMPARE(parameterAccepts(item, value), accepted);
    }

    // An enumerated item takes its entries only, and only those the record can carry.
    void enumeratedParameter()
    {
        ItemFields filter;
        filter.paramType = ParamFilter;
        filter.enumTexts = {{0, QStringLiteral("关闭")}, {2, QStringLiteral("1ms")}, {9, QStringLiteral("40ms")}};
        filter.enumList = {0, 2, 9};
        QVERIFY(parameterAccepts(filter, 2));
        QVERIFY(!parameterAccepts(filter, 1)); // no entry
        QVERIFY(!parameterAccepts(filter, 9)); // an entry wider than the record's three bits
    }

    void otherSlaves()
    {
        const SlaveList slaves{windowed(1, 1, 8, 16, 0, 0), windowed(2, 2, 0, 0, 8, 16), windowed(3, 3, 24, 8, 0, 0)};
        QCOMPARE(overlappingSlave(slaves, 3, true, 20, 8)->recordId, quint64(1));
        QCOMPARE(overlappingSlave(slaves, 3, true, 24, 8), SlaveSnapshot()); // its own bits
        QCOMPARE(overlappingSlave(slaves, 3, true, 32, 8), SlaveSnapshot());
        QCOMPARE(overlappingSlave(slaves, 3, false, 23, 1)->recordId, quint64(2));
        QCOMPARE(overlappingSlave(slaves, 3, false, 24, 8), SlaveSnapshot());
        QCOMPARE(overlappingSlave(slaves, 3, true, 20, 0), SlaveSnapshot()); // no area, no overlap
        QCOMPARE(stationHolder(slaves, 3, 2)->recordId, quint64(2));
        QCOMPARE(stationHolder(slaves, 3, 3), SlaveSnapshot());
        QCOMPARE(stationHolder(slaves, 3, 9), SlaveSnapshot());
    }

    // The shipped kinds' parameters start inside their ranges.
    void describedParametersAreAccepted()
    {
        for (const QString &ident : {kDI, kDO, kDIO, kDIDO, kAI, kAO, kAIO, kAIAO}) {
            auto slave = create(ident, 6);
            const SlaveSnapshot snapshot = takeSnapshot(*slave);
            for (const ItemState &item : snapshot->group(Slave::kConfigData)->items) {
                if (item.paramType >= ParamFilter && item.paramType < ParamFault)
                    QVERIFY2(parameterAccepts(item, item.value.toInt()), qPrintable(ident + QLatin1Char(' ') + item.name));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSlaveEditChecks)
#include "tst_slaveeditchecks.moc"
