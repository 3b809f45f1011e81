// New numbers for repeated stations, and the check before they are sent.

#include "StationRepair.h"

#include <QtTest>

using namespace appcore::StationRepair;

Q_DECLARE_METATYPE(appcore::StationRepair::RowProblem::Kind)

class TestStationRepair : public QObject
{
    Q_OBJECT

private slots:
    void generate_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<int>>("others");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("a number two rows share is given out again")
            << QStringList{"4", "4"} << QList<int>{1, 2, 3, 5} << QStringList{"4", "6"};
        // Giving 4 to a row would leave it shared with the module that keeps it.
        QTest::newRow("a number another module keeps is not")
            << QStringList{"0", "4"} << QList<int>{1, 2, 3, 4, 5} << QStringList{"6", "7"};
        QTest::newRow("free numbers first come first")
            << QStringList{"0", "0", "7"} << QList<int>{2, 0, 0, 7} << QStringList{"1", "3", "4"};
        QTest::newRow("not set is no station") << QStringList{"0"} << QList<int>{0, 0, 1} << QStringList{"2"};
        QList<int> others;
        for (int station = 4; station <= kMaxStation; ++station)
            others << station;
        QTest::newRow("128 numbers used once leave the rows") << QStringList{"1", "2", "3"} << others << QStringList{"1", "2", "3"};
        QTest::newRow("numbers run out") << QStringList{"9", "x", "y", "z"} << others << QStringList{"1", "2", "3", "z"};
    }
    void generate()
    {
        QFETCH(QStringList, rows);
        QFETCH(QList<int>, others);
        QFETCH(QStringList, expected);
        QCOMPARE(appcore::StationRepair::generate(rows, others), expected);
    }

    void checkRows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("badRow"); // -1: every row can be sent
        QTest::addColumn<RowProblem::Kind>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("good") << QStringList{"1", "128", " 7 "} << -1 << RowProblem::NotANumber << "";
        QTest::newRow("text") << QStringList{"1", "five"} << 1 << RowProblem::NotANumber << "第2行站号不是数字: five";
        QTest::newRow("empty") << QStringList{""} << 0 << RowProblem::NotANumber << "第1行站号不是数字: ";
        QTest::newRow("sign") << QStringList{"+5"} << 0 << RowProblem::NotANumber << "第1行站号不是数字: +5";
        QTest::newRow("above a byte") << QStringList{"3", "260"} << 1 << RowProblem::OutOfRange
                                      << "第2行站号超出范围(1-128): 260";
        QTest::newRow("zero") << QStringList{"0"} << 0 << RowProblem::OutOfRange << "第1行站号超出范围(1-128): 0";
        QTest::newRow("129") << QStringList{"129"} << 0 << RowProblem::OutOfRange << "第1行站号超出范围(1-128): 129";
        QTest::newRow("repeated") << QStringList{"5", "6", "5"} << 2 << RowProblem::Repeated << "第3行站号重复: 5";
    }
    void checkRows()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, badRow);
        QFETCH(RowProblem::Kind, kind);
        QFETCH(QString, message);
        const std::optional<RowProblem> problem = appcore::StationRepair::checkRows(rows);
        if (badRow < 0) {
            QVERIFY(!problem);
            return;
        }
        QVERIFY(problem);
        QCOMPARE(problem->row, badRow);
        QCOMPARE(problem->kind, kind);
        QCOMPARE(problem->message(), message);
    }

    void mapOfCheckedRows()
    {
        const QMap<int, QByteArray> map = stationMap({"14", " 3"}, {"DA01B2C3D40D", "DA01B2C3D40E"});
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value(14), QByteArray("DA01B2C3D40D"));
        QCOMPARE(map.value(3), QByteArray("DA01B2C3D40E"));
    }
};

QTEST_GUILESS_MAIN(TestStationRepair)
#include "tst_stationrepair.moc"
