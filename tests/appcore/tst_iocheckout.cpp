// The IO check-out's model without an adapter: its rows from the modules'
// areas, the wiring map read and matched to the rows, a loop judged from
// the inputs of the cycles it is told, a saved state taken up again (a
// module exchanged since starts over), and the CSV beside the report.

#include "IoCheckout.h"
#include "LoopRunner.h"
#include "TarnBaseConvert.h"
#include "TestFolders.h"
#include "WiringMap.h"

#include <QSignalSpy>
#include <QTest>

using namespace appcore;
using namespace appcore::checkout;

namespace {

quint64 g_nextRecord = 1;

ItemState item(int address, int bits, int dataType, int value = 0)
{
    ItemState state;
    state.startAddress = qint16(address);
    state.bitLength = qint16(bits);
    state.dataType = dataType;
    state.value.bitSize = bits;
    state.value.type = dataType;
    state.value.data = QByteArray(bits > 8 ? 2 : 1, '\0');
    state.value.setValue(value);
    return state;
}

// A module with digital (or analog, 16-bit) channels at these bit addresses.
SlaveSnapshot module(int station, const QByteArray &uid, int inputs, int inStart, int outputs, int outStart,
                     bool analog = false, const QList<int> &inputValues = {}, quint64 recordId = 0)
{
    auto slave = std::make_shared<SlaveState>();
    slave->recordId = recordId ? recordId : g_nextRecord++;
    slave->stationId = quint8(station);
    slave->uuid = uid;
    slave->typeName = analog ? QStringLiteral("TB-AIO") : QStringLiteral("TB-DIO");
    slave->statusRun = 1;
    const int bits = analog ? 16 : 1;
    const int type = analog ? TarnBase::DataInt : TarnBase::DataBool;
    slave->ioWindow.inputStart = quint16(inStart);
    slave->ioWindow.inputBits = quint16(inputs * bits);
    slave->ioWindow.outputStart = quint16(outStart);
    slave->ioWindow.outputBits = quint16(outputs * bits);
    ItemGroupState in;
    in.key = Slave::kRxPdo;
    for (int i = 0; i < inputs; ++i)
        in.items << item(inStart + i * bits, bits, type, inputValues.value(i));
    ItemGroupState out;
    out.key = Slave::kTxPdo;
    for (int i = 0; i < outputs; ++i)
        out.items << item(outStart + i * bits, bits, type);
    slave->groups << in << out;
    return slave;
}

// The demonstration bus in small: station 1 a DI4, station 2 a DO4, station
// 4 twice (a repeated station), station 5 an analog module.
SlaveList bus(const QList<int> &di = {}, const QList<int> &ai = {})
{
    return {module(1, "UID000000001", 4, 8, 0, 0, false, di, 101), module(2, "UID000000002", 0, 0, 4, 8, false, {}, 102),
            module(4, "UID000000004", 2, 12, 0, 0, false, {}, 104), module(4, "UID00000004E", 2, 14, 0, 0, false, {}, 105),
            module(5, "UID000000005", 1, 32, 1, 32, true, ai, 106)};
}

} // namespace

class TestIoCheckout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing_support::useTestFolders(); }

    void rowsFromAreas()
    {
        SlaveList slaves = bus();
        slaves << module(7, "UIDNOAREA007", 0, 0, 0, 0); // no area: no rows
        const Checkout check = Checkout::fromSlaves(slaves);
        QCOMPARE(check.modules.size(), 5);
        QCOMPARE(check.rows.size(), 4 + 4 + 2 + 2 + 2);
        const Row &first = check.rows.first();
        QCOMPARE(first.station, 1);
        QCOMPARE(first.direction, Direction::Input);
        QCOMPARE(first.bitAddress, 8);
        QCOMPARE(first.result, Result::Open);
        const Row &analogOut = check.rows.last();
        QCOMPARE(analogOut.kind, Kind::Analog);
        QCOMPARE(analogOut.direction, Direction::Output);
        QCOMPARE(analogOut.fullScale, 0x7FFF);
        QCOMPARE(check.counts().open, check.rows.size());
    }

    void wiringParse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("loops");
        QTest::addColumn<int>("problemLine"); // -1: no problem
        QTest::newRow("stations") << QByteArray("output,input\n2:0,1:0\n2:1,1:1\n") << 2 << -1;
        QTest::newRow("uids, bom, crlf, comment")
            << QByteArray("\xEF\xBB\xBFoutput,input\r\n# rig A\r\nUID000000002:3,UID000000001:3\r\n\r\n") << 1 << -1;
        QTest::newRow("spaces") << QByteArray(" output , input \n 2 : 0 , 1:0 \n") << 1 << -1;
        QTest::newRow("no header") << QByteArray("2:0,1:0\n") << 0 << 1;
        QTest::newRow("empty") << QByteArray("") << 0 << 0;
        QTest::newRow("header only") << QByteArray("output,input\n") << 0 << 0;
        QTest::newRow("three fields") << QByteArray("output,input\n2:0,1:0,1:1\n") << 0 << 2;
        QTest::newRow("no channel") << QByteArray("output,input\n2,1:0\n") << 0 << 2;
        QTest::newRow("negative channel") << QByteArray("output,input\n2:-1,1:0\n") << 0 << 2;
        QTest::newRow("station 0") << QByteArray("output,input\n0:1,1:0\n") << 0 << 2;
        QTest::newRow("station 129") << QByteArray("output,input\n129:1,1:0\n") << 0 << 2;
        QTest::newRow("odd selector") << QByteArray("output,input\nDA-01:1,1:0\n") << 0 << 2;
        QTest::newRow("not utf-8") << QByteArray("output,input\n\xFF\xFE:1,1:0\n") << 0 << 0;
    }

    void wiringParse()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, loops);
        QFETCH(int, problemLine);
        const wiring::Parsed parsed = wiring::parse(text);
        QCOMPARE(parsed.loops.size(), problemLine < 0 ? loops : parsed.loops.size());
        if (problemLine < 0) {
            QVERIFY2(parsed.problems.isEmpty(), qPrintable(wiring::problemText(parsed.problems.value(0))));
        } else {
            QVERIFY(!parsed.problems.isEmpty());
            QCOMPARE(parsed.problems.first().line, problemLine);
        }
    }

    void wiringApply_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem"); // empty: the loops are marked
        QTest::newRow("good") << QByteArray("output,input\n2:0,1:0\nUID000000002:1,uid000000001:1\n5:0,5:0\n") << QString();
        QTest::newRow("no module") << QByteArray("output,input\n9:0,1:0\n") << "no module with an IO area at station 9";
        QTest::newRow("repeated station") << QByteArray("output,input\n2:0,4:0\n") << "station 4 is shared by 2 modules";
        QTest::newRow("repeated station by uid") << QByteArray("output,input\n2:0,UID00000004E:1\n") << QString();
        QTest::newRow("channel") << QByteArray("output,input\n2:4,1:0\n") << "holds output channels 0 to 3";
        QTest::newRow("input as output") << QByteArray("output,input\n1:0,2:0\n") << "holds no output channel";
        QTest::newRow("kinds") << QByteArray("output,input\n2:0,5:0\n") << "a loop joins channels of one kind";
        QTest::newRow("twice") << QByteArray("output,input\n2:0,1:0\n2:0,1:1\n") << "already in the loop of line 2";
    }

    void wiringApply()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        Checkout check = Checkout::fromSlaves(bus());
        const wiring::Parsed parsed = wiring::parse(text);
        QVERIFY(parsed.problems.isEmpty());
        const QList<wiring::Problem> problems = wiring::apply(parsed.loops, check);
        if (problem.isEmpty()) {
            QVERIFY2(problems.isEmpty(), qPrintable(wiring::problemText(problems.value(0))));
            QCOMPARE(check.loops().size(), parsed.loops.size());
            for (const auto &[out, in] : check.loops()) {
                QCOMPARE(check.rows.at(out).direction, Direction::Output);
                QCOMPARE(check.rows.at(in).partner, out);
            }
        } else {
            QVERIFY(!problems.isEmpty());
            QVERIFY2(problems.first().message.contains(problem), qPrintable(problems.first().message));
            QVERIFY(check.loops().isEmpty()); // nothing marked from a file with a problem
        }
    }

    // A loop judged from the cycles: the output asked on, the input follows,
    // the output asked off, the input follows back; a wrong wire times out
    // and fails; an input already on fails; the output is always asked off.
    void loopRunner_data()
    {
        QTest::addColumn<QList<int>>("onReads");  // the input while the output is on, cycle by cycle
        QTest::addColumn<QList<int>>("offReads"); // after it is asked off
        QTest::addColumn<int>("rest");            // before it goes on
        QTest::addColumn<QString>("result");
        QTest::newRow("follows") << QList<int>{0, 1} << QList<int>{1, 0} << 0 << "pass";
        QTest::newRow("wrong wire") << QList<int>{0, 0, 0, 0, 0} << QList<int>{} << 0 << "fail";
        QTest::newRow("stuck on") << QList<int>{1} << QList<int>{1, 1, 1, 1, 1} << 0 << "fail";
        QTest::newRow("on before") << QList<int>{} << QList<int>{} << 1 << "fail";
    }

    void loopRunner()
    {
        QFETCH(QList<int>, onReads);
        QFETCH(QList<int>, offReads);
        QFETCH(int, rest);
        QFETCH(QString, result);
        Checkout check = Checkout::fromSlaves(bus());
        QVERIFY(wiring::apply(wiring::parse("output,input\n2:1,1:2\n").loops, check).isEmpty());
        LoopRunner runner(check);
        runner.setTiming(LoopTiming{0, 3});
        runner.setCheckedBy(QStringLiteral("李伟"));
        QSignalSpy writes(&runner, &LoopRunner::outputWrite);
        QSignalSpy finished(&runner, &LoopRunner::finished);
        runner.start({check.loops().first().first});
        const auto cycle = [&](int value) { runner.onCycle(bus({0, 0, value, 0}), true, true); };
        // At rest the output goes on with the first cycle; an input already on
        // is given the settling time before the loop fails.
        for (int i = 0; i < (rest ? 4 : 1) && runner.isRunning(); ++i)
            cycle(rest);
        for (int value : onReads)
            if (runner.isRunning())
                cycle(value);
        for (int value : offReads)
            if (runner.isRunning())
                cycle(value);
        QVERIFY(!runner.isRunning());
        QCOMPARE(finished.size(), 1);
        const Row &out = check.rows.at(check.loops().first().first);
        const Row &in = check.rows.at(out.partner);
        QCOMPARE(resultCode(out.result), result);
        QCOMPARE(in.result, out.result);
        QCOMPARE(out.checkedBy, QStringLiteral("李伟"));
        // Only the output under test, on at most once, and off at the end.
        QVERIFY(!writes.isEmpty());
        for (const QList<QVariant> &w : writes) {
            QCOMPARE(w.at(0).toULongLong(), quint64(102));
            QCOMPARE(w.at(1).toInt(), 1);
        }
        QCOMPARE(writes.last().at(2).toInt(), 0);
    }

    // Every ending of the IO test window's rule ends the run, the output asked
    // off and the loop left open.
    void loopRunnerEnds_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<int>("why");
        QTest::newRow("force left") << 0 << int(OutputTestEnd::ForceLeft);
        QTest::newRow("link lost") << 1 << int(OutputTestEnd::LinkLost);
        QTest::newRow("output module gone") << 2 << int(OutputTestEnd::SlaveGone);
        QTest::newRow("input module stopped") << 3 << int(OutputTestEnd::ModuleStopped);
    }

    void loopRunnerEnds()
    {
        QFETCH(int, what);
        QFETCH(int, why);
        Checkout check = Checkout::fromSlaves(bus());
        QVERIFY(wiring::apply(wiring::parse("output,input\n2:0,1:0\n2:1,1:1\n").loops, check).isEmpty());
        LoopRunner runner(check);
        runner.setTiming(LoopTiming{0, 3});
        QSignalSpy writes(&runner, &LoopRunner::outputWrite);
        QSignalSpy finished(&runner, &LoopRunner::finished);
        runner.start({check.loops().at(0).first, check.loops().at(1).first});
        runner.onCycle(bus(), true, true); // at rest: the first output goes on
        QCOMPARE(writes.last().at(2).toInt(), 1);
        SlaveList slaves = bus({1});
        bool force = true, linked = true;
        if (what == 0)
            force = false;
        else if (what == 1)
            linked = false;
        else if (what == 2)
            slaves.removeAt(1);
        else {
            auto stopped = std::make_shared<SlaveState>(*slaves.at(0));
            stopped->statusRun = 0;
            slaves[0] = stopped;
        }
        runner.onCycle(slaves, force, linked);
        QVERIFY(!runner.isRunning());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<OutputTestEnd>(), OutputTestEnd(why));
        QCOMPARE(writes.last().at(2).toInt(), 0);
        QCOMPARE(check.counts().open, check.rows.size());
    }

    void resumeKeepsResultsAndResetsExchangedModule()
    {
        Checkout before = Checkout::fromSlaves(bus());
        before.header.serial = QStringLiteral("3C2E0A000001");
        before.header.site = QStringLiteral("一号线");
        before.header.engineer = QStringLiteral("李伟");
        for (int i = 0; i < before.rows.size(); ++i)
            before.record(i, i % 2 ? Result::Fail : Result::Pass, QStringLiteral("v%1").arg(i), QStringLiteral("n"), QStringLiteral("李伟"));
        QCOMPARE(saveState(before), QString());
        QVERIFY(QFile::exists(statePath(before.header.serial)));

        // Station 1's module exchanged, one of the two at station 4 too.
        SlaveList now = bus();
        now[0] = module(1, "UIDNEW000001", 4, 8, 0, 0);
        now[3] = module(4, "UIDNEW00004E", 2, 14, 0, 0);
        Checkout after = Checkout::fromSlaves(now);
        after.header.serial = before.header.serial;
        const QStringList reset = after.resume(loadState(after.header.serial));
        QCOMPARE(reset.size(), 2);
        QVERIFY(reset.first().contains(QStringLiteral("UID000000001")));
        QCOMPARE(after.header.site, QStringLiteral("一号线"));
        for (int i = 0; i < after.rows.size(); ++i) {
            const Row &row = after.rows.at(i);
            if (row.uid.startsWith(QStringLiteral("UIDNEW"))) {
                QCOMPARE(row.result, Result::Open);
            } else {
                QCOMPARE(row.result, before.rows.at(i).result);
                QCOMPARE(row.value, before.rows.at(i).value);
                QCOMPARE(row.checkedBy, QStringLiteral("李伟"));
            }
        }
        // Another adapter's state is not taken.
        Checkout other = Checkout::fromSlaves(bus());
        other.header.serial = QStringLiteral("3C2E0A000099");
        other.resume(loadState(before.header.serial));
        QCOMPARE(other.counts().open, other.rows.size());
    }

    void csvReadsBack()
    {
        Checkout check = Checkout::fromSlaves(bus());
        check.record(0, Result::Fail, QStringLiteral("0"), QStringLiteral("线号 \"X1\", 端子 3"), QStringLiteral("李伟"));
        check.record(1, Result::Skipped, QString(), QStringLiteral("无现场设备"), QStringLiteral("李伟"));
        const QByteArray bytes = check.csv();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        // A small CSV reader: quoted fields, doubled quotes.
        QList<QStringList> lines;
        QStringList fields;
        QString field;
        bool quoted = false;
        const QString text = QString::fromUtf8(bytes.mid(3));
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (quoted) {
                if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else if (c == QLatin1Char('"')) {
                    quoted = false;
                } else {
                    field += c;
                }
            } else if (c == QLatin1Char('"')) {
                quoted = true;
            } else if (c == QLatin1Char(',')) {
                fields << field;
                field.clear();
            } else if (c == QLatin1Char('\n')) {
                fields << field;
                field.clear();
                lines << fields;
                fields.clear();
            } else if (c != QLatin1Char('\r')) {
                field += c;
            }
        }
        QCOMPARE(lines.size(), check.rows.size() + 1);
        QCOMPARE(lines.first().size(), 12);
        QCOMPARE(lines.at(1).at(2), QStringLiteral("UID000000001"));
        QCOMPARE(lines.at(1).at(7), QStringLiteral("失败"));
        QCOMPARE(lines.at(1).at(9), QStringLiteral("线号 \"X1\", 端子 3"));
        QCOMPARE(lines.at(2).at(7), QStringLiteral("跳过"));
        QCOMPARE(lines.at(3).at(7), QStringLiteral("未检查"));
        for (const QStringList &line : lines)
            QCOMPARE(line.size(), 12);
    }

    void writeAtomicallyKeepsOldFileOnFailure()
    {
        const QString dir = DataFolders::userFolder(QStringLiteral("atomic"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/report.csv");
        QCOMPARE(writeAtomically(path, "old"), QString());
        // A folder in the way of the file: nothing written, the reason said.
        QVERIFY(!writeAtomically(dir, "new").isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestIoCheckout)
#include "tst_iocheckout.moc"
