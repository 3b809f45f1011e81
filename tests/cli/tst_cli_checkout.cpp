// tarnbus-cli checkout against the virtual adapter with the demonstration
// bus, whose station 2 (DO16) drives station 1 (DI16) and whose DO8
// DA01B2C3D404 drives the DI8DO8 at station 7: a wiring map whose loops all
// pass, one with a wrong wire, a bad map, and the link lost midway with the
// run taken up again at the next loop. The CSV is parsed and the PDF read
// with pdftotext.

#include "../adapter/AdapterHarness.h"
#include "CliTestSupport.h"

#include "IoCheckout.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace harness;
using namespace clitest;

namespace {

const char *const kDo16 = "DA01B2C3D402";
const char *const kDo8 = "DA01B2C3D404";

QByteArray loops(int first, int count)
{
    QByteArray text = "output,input\n";
    for (int k = first; k < first + count; ++k)
        text += QByteArray("2:") + QByteArray::number(k) + ",1:" + QByteArray::number(k) + "\n";
    return text;
}

bool outputsOff(const char *uid)
{
    const std::optional<tbsim::Module> module = simAdapter().module(uid);
    if (!module)
        return false;
    for (uint8_t byte : module->outputs) {
        if (byte != 0)
            return false;
    }
    return true;
}

// The process-data exchanges that switched an output of the DO16 on: the
// channel each switched on, in order, once per change.
QList<int> channelsSwitchedOn()
{
    QList<int> channels;
    int last = -1;
    for (const tbsim::TrafficEntry &entry : simAdapter().traffic(0x49, 0xFE)) {
        // The DO16's outputs are bits 8..23 of the output image.
        int on = -1;
        for (int bit = 0; bit < 16; ++bit) {
            const int image = 8 + bit;
            if (entry.data.size() > size_t(image / 8) && (entry.data.at(size_t(image / 8)) >> (image % 8)) & 1)
                on = on == -1 ? bit : -2; // -2: more than one
        }
        if (on != last && on != -1)
            channels << on;
        last = on;
    }
    return channels;
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<QStringList> csvRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        // Fields quoted where they hold a comma (no line ends on this bus).
        QStringList fields{QString()};
        bool quoted = false;
        for (int i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('"') && quoted && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                fields.last() += line.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (c == QLatin1Char(',') && !quoted)
                fields << QString();
            else
                fields.last() += c;
        }
        rows << fields;
    }
    return rows;
}

} // namespace

class TestCliCheckout : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(fastTiming());
        testing_support::useTestFolders();
        QVERIFY(QDir(QStringLiteral("Xml")).exists());
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext (poppler-utils) is missing");
    }

    void init()
    {
        testing_support::clearTestFolders();
        QCOMPARE(loadBus(kDemoBus), QString());
    }

    void cleanup() { QCOMPARE(violations(), QStringList()); }

    void everyLoopPasses()
    {
        QByteArray map = loops(0, 16);
        for (int k = 0; k < 8; ++k)
            map += QByteArray(kDo8) + ":" + QByteArray::number(k) + ",7:" + QByteArray::number(k) + "\n";
        // The AO4 at station 9 drives the AI4 at station 8: analog loops.
        for (int k = 0; k < 4; ++k)
            map += "9:" + QByteArray::number(k) + ",8:" + QByteArray::number(k) + "\n";
        const QString wiring = writeFile(m_dir, QStringLiteral("rig.csv"), map);
        const QString pdf = m_dir.filePath(QStringLiteral("good.pdf"));
        const QString csv = m_dir.filePath(QStringLiteral("good.csv"));
        const Run run = runCli({"checkout", "--wiring", wiring, "--report", pdf, "--csv", csv, "--site", "三号线",
                                "--engineer", "李伟", "--settle", "300"});
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
        QVERIFY(run.out.contains(QStringLiteral("loops: 28 pass, 0 fail, 0 open of 28")));
        // Each output was switched on alone, once, in the order of the map.
        QList<int> expected;
        for (int k = 0; k < 16; ++k)
            expected << k;
        QCOMPARE(channelsSwitchedOn(), expected);
        QVERIFY(outputsOff(kDo16));
        QVERIFY(outputsOff(kDo8));
        QVERIFY(!simAdapter().forceMode());

        // The CSV: a header and one line per channel, the loops passed.
        const QList<QStringList> rows = csvRows(csv);
        QVERIFY(rows.size() > 48);
        QCOMPARE(rows.first().size(), 12);
        int passed = 0;
        for (const QStringList &row : rows) {
            QCOMPARE(row.size(), 12);
            if (row.at(7) == QStringLiteral("通过")) {
                ++passed;
                QCOMPARE(row.at(11), QStringLiteral("李伟"));
                QVERIFY(row.at(2) == QLatin1String("DA01B2C3D401") || row.at(2) == QLatin1String(kDo16)
                        || row.at(2) == QLatin1String(kDo8) || row.at(2) == QLatin1String("DA01B2C3D407")
                        || row.at(2) == QLatin1String("DA01B2C3D408") || row.at(2) == QLatin1String("DA01B2C3D409"));
            }
        }
        QCOMPARE(passed, 56);
        // An analog loop at half the output's range.
        QVERIFY(std::any_of(rows.cbegin(), rows.cend(), [](const QStringList &row) {
            return row.at(2) == QLatin1String("DA01B2C3D408") && row.at(8).startsWith(QStringLiteral("接通 32767 读 32767"));
        }));

        // The PDF: the serial, the versions, the UIDs, the counts, the site.
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("3C2E0A000001")), qPrintable(text.left(400)));
        QVERIFY(text.contains(QStringLiteral("V2.1.7")));
        for (const char *uid : {"DA01B2C3D400", "DA01B2C3D401", kDo16, kDo8, "DA01B2C3D40E", "DA01B2C3D40C"})
            QVERIFY2(text.contains(QLatin1String(uid)), uid);
        QVERIFY(text.contains(QStringLiteral("三号线")));
        QVERIFY(text.contains(QStringLiteral("通过 56, 失败 0")));
        QVERIFY(text.contains(QStringLiteral("签字")));
    }

    void wrongWireFails()
    {
        // Station 2's output 0 drives input 0, not input 1.
        const QString wiring = writeFile(m_dir, QStringLiteral("wrong.csv"), "output,input\n2:0,1:1\n2:2,1:2\n");
        const QString pdf = m_dir.filePath(QStringLiteral("wrong.pdf"));
        const Run run = runCli({"checkout", "--wiring", wiring, "--report", pdf, "--settle", "200", "--json"});
        QCOMPARE(run.status, 3);
        // A compact event per loop, then the result as one document.
        const QJsonObject result = QJsonDocument::fromJson(run.out.mid(run.out.indexOf(QStringLiteral("{\n"))).toUtf8()).object();
        QCOMPARE(run.out.count(QStringLiteral("\"event\":\"loop\"")), 2);
        // Every loop's verdict has its code, in the event and in the rows.
        QVERIFY2(uncodedTexts(result).isEmpty(), qPrintable(uncodedTexts(result).join(QLatin1Char(' '))));
        QStringList verdicts;
        for (const QString &line : run.out.split(QLatin1Char('\n'))) {
            if (line.contains(QLatin1String("\"event\":\"loop\"")))
                verdicts << QJsonDocument::fromJson(line.toUtf8()).object().value(QStringLiteral("code")).toString();
        }
        QCOMPARE(verdicts, (QStringList{"loop.input_not_following", "loop.passed"}));
        QCOMPARE(result.value(QStringLiteral("loops")).toObject().value(QStringLiteral("fail")).toInt(), 1);
        QCOMPARE(result.value(QStringLiteral("loops")).toObject().value(QStringLiteral("pass")).toInt(), 1);
        int failed = 0;
        for (const QJsonValue &row : result.value(QStringLiteral("rows")).toArray()) {
            if (row.toObject().value(QStringLiteral("result")).toString() == QLatin1String("fail")) {
                ++failed;
                QVERIFY(row.toObject().value(QStringLiteral("note")).toString().contains(QStringLiteral("未跟随")));
                QCOMPARE(row.toObject().value(QStringLiteral("code")).toString(), QStringLiteral("loop.input_not_following"));
            }
        }
        QCOMPARE(failed, 2); // the output and its input
        QVERIFY(outputsOff(kDo16));
        QVERIFY(!simAdapter().forceMode());
        QVERIFY(pdfText(pdf).contains(QStringLiteral("失败 2")));
    }

    void badMapSwitchesNothing_data()
    {
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<QString>("said");
        QTest::newRow("header") << QByteArray("out,in\n2:0,1:0\n") << "the first line must be the header";
        QTest::newRow("repeated station") << QByteArray("output,input\n4:0,7:0\n") << "station 4 is shared by 2 modules";
        QTest::newRow("channel") << QByteArray("output,input\n2:16,1:0\n") << "holds output channels 0 to 15";
        QTest::newRow("direction") << QByteArray("output,input\n1:0,2:0\n") << "holds no output channel";
    }

    void badMapSwitchesNothing()
    {
        QFETCH(QByteArray, map);
        QFETCH(QString, said);
        const QString wiring = writeFile(m_dir, QStringLiteral("bad.csv"), map);
        const QString pdf = m_dir.filePath(QStringLiteral("bad.pdf"));
        QFile::remove(pdf);
        const Run run = runCli({"checkout", "--wiring", wiring, "--report", pdf});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QCOMPARE(simAdapter().requestCount(0x48, 0x05), 0); // force mode never asked for
        QVERIFY(!QFile::exists(pdf));
    }

    // Ctrl-C after the first loop: the output under test off, force mode
    // left, the loop done kept; a report that cannot be written is said.
    void interruptedKeepsWhatWasDone()
    {
        const QString wiring = writeFile(m_dir, QStringLiteral("rig.csv"), loops(0, 16));
        const QString pdf = m_dir.filePath(QStringLiteral("interrupted.pdf"));
        const Run run = runCli({"checkout", "--wiring", wiring, "--report", pdf, "--settle", "300"}, false,
                               [](Cli &cli, const QString &out) {
                                   if (out.contains(QStringLiteral("2:0 -> 1:0  pass")))
                                       cli.interrupt();
                               });
        QCOMPARE(run.status, 130);
        QVERIFY(outputsOff(kDo16));
        QVERIFY(!simAdapter().forceMode());
        QVERIFY(QFile::exists(pdf));
        const QJsonArray rows = appcore::checkout::loadState(kDemoSerial).value(QStringLiteral("rows")).toArray();
        int passed = 0;
        for (const QJsonValue &row : rows)
            passed += row.toObject().value(QStringLiteral("result")).toString() == QLatin1String("pass");
        QVERIFY2(passed >= 2 && passed < 32, qPrintable(run.out));

        // The report's place is a folder: nothing written, status 1.
        const Run blocked = runCli({"checkout", "--wiring", wiring, "--report", m_dir.path(), "--settle", "300"});
        QCOMPARE(blocked.status, 1);
        QVERIFY2(blocked.err.contains(QStringLiteral("cannot write")), qPrintable(blocked.err));
        QVERIFY(QFileInfo(m_dir.path()).isDir());
    }

    // The link goes midway: the run ends with the output under test asked
    // off, the loops done so far saved; the next run goes on at the next
    // open loop and the report holds both.
    void linkLostMidwayResumes()
    {
        const QString wiring = writeFile(m_dir, QStringLiteral("rig.csv"), loops(0, 16));
        const QString pdf = m_dir.filePath(QStringLiteral("lost.pdf"));
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule unplug;
        unplug.kind = tbsim::FaultKind::UnplugMidway;
        unplug.code = 0x49;
        unplug.param1 = 0xFE;
        unplug.skip = 16;
        unplug.count = 1;
        unplug.replugMs = 200;
        sim.addFault(unplug);
        const Run first = runCli({"checkout", "--wiring", wiring, "--report", pdf, "--settle", "300"});
        QCOMPARE(first.status, 1);
        QVERIFY2(first.err.contains(QStringLiteral("link")), qPrintable(first.err));
        const int done = first.out.count(QRegularExpression(QStringLiteral("^2:\\d+ -> 1:\\d+  pass$"), QRegularExpression::MultilineOption));
        QVERIFY2(done > 0 && done < 16, qPrintable(first.out));

        // Saved after every loop, atomically, under the adapter's serial.
        QFile state(appcore::checkout::statePath(kDemoSerial));
        QVERIFY(state.open(QIODevice::ReadOnly));
        const QJsonObject saved = QJsonDocument::fromJson(state.readAll()).object();
        int savedPasses = 0;
        for (const QJsonValue &row : saved.value(QStringLiteral("rows")).toArray())
            savedPasses += row.toObject().value(QStringLiteral("result")).toString() == QLatin1String("pass");
        QCOMPARE(savedPasses, 2 * done);

        // Back on USB (the adapter powers up with its outputs off); the next
        // run starts with the first loop left open.
        QTRY_VERIFY_WITH_TIMEOUT(sim.isPlugged(), 5000);
        QVERIFY(outputsOff(kDo16));
        sim.clearFaults();
        sim.clearTraffic();
        const Run second = runCli({"checkout", "--wiring", wiring, "--report", pdf, "--settle", "300"});
        QVERIFY2(second.status == 0, qPrintable(second.out + second.err));
        QVERIFY(second.err.contains(QStringLiteral("resuming: %1 of 16 loops were checked before").arg(done)));
        QVERIFY(second.out.startsWith(QStringLiteral("2:%1 -> 1:%1  pass").arg(done)));
        QCOMPARE(channelsSwitchedOn().first(), done);
        QCOMPARE(channelsSwitchedOn().size(), 16 - done);
        QVERIFY(second.out.contains(QStringLiteral("loops: 16 pass, 0 fail, 0 open of 16")));
        QVERIFY(pdfText(pdf).contains(QStringLiteral("通过 32")));
        QVERIFY(outputsOff(kDo16));

        // --fresh starts over.
        const Run fresh = runCli({"checkout", "--wiring", writeFile(m_dir, QStringLiteral("two.csv"), loops(0, 2)), "--report", pdf,
                                  "--fresh", "--settle", "300"});
        QCOMPARE(fresh.status, 0);
        QVERIFY(fresh.out.contains(QStringLiteral("check-out: 4 pass")));
    }
};

QTEST_MAIN(TestCliCheckout)
#include "tst_cli_checkout.moc"
