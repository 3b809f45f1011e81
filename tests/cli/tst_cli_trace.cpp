// tarnbus-cli's diagnostics: --trace FILE for any command (capture or text
// by the extension, upgrade reports included), show --stats and the link's
// counters in watch --json.

#include "../adapter/AdapterHarness.h"
#include "../upgrade/UpgradeFiles.h"
#include "CliTestSupport.h"
#include "HidAccessSupport.h"

#include "TestFiles.h"
#include "UpgradeFaults.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace harness;
using namespace clitest;

namespace {

QStringList traceLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1Char('#')))
            lines << line;
    }
    return lines;
}

// Packets in a capture, as tcpdump counts them.
int tcpdumpPackets(const QString &path)
{
    QProcess tcpdump;
    tcpdump.start(QStringLiteral("tcpdump"), {QStringLiteral("-r"), path, QStringLiteral("-n")});
    if (!tcpdump.waitForFinished(30000) || tcpdump.exitCode() != 0)
        return -1;
    return QString::fromLatin1(tcpdump.readAllStandardOutput()).count(QLatin1String("USB INTERRUPT"));
}

} // namespace

class TestCliTrace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        HidAccess::setSystem(testing_support::noDeviceNodes());
        QCOMPARE(loadBus(kDemoBus), QString());
        simAdapter().clearTraffic();
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    // The counters of show --stats are those of the command's exchanges, and
    // the trace holds each of them: two reports out, two back.
    void showStatsAndTrace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("capture") << "show.pcap";
        QTest::newRow("text") << "show.txt";
        QTest::newRow("any other name is text") << "show.trace";
    }

    void showStatsAndTrace()
    {
        QFETCH(QString, file);
        const QString path = m_dir.filePath(file);
        const Run run = runCli({"--trace", path, "show", "--stats", "--json"});
        QCOMPARE(run.status, 0);
        const QJsonObject link = QJsonDocument::fromJson(run.out.toUtf8()).object().value(QStringLiteral("link")).toObject();
        const int exchanges = int(simAdapter().traffic().size());
        QVERIFY(exchanges > 10);
        QCOMPARE(link.value(QStringLiteral("transactions")).toInt(), exchanges);
        for (const char *key : {"timeouts", "checksumErrors", "errorReports", "refusals", "incompleteReplies", "reconnects"})
            QCOMPARE(link.value(QLatin1String(key)).toInt(), 0);
        const QJsonObject roundTrip = link.value(QStringLiteral("roundTripMs")).toObject();
        QVERIFY(roundTrip.value(QStringLiteral("max")).toDouble() >= roundTrip.value(QStringLiteral("mean")).toDouble());
        QVERIFY(roundTrip.value(QStringLiteral("mean")).toDouble() > 0);
        // Each exchange two reports out and two back; the last one may have
        // been cut short by the close after its request went out.
        const QRegularExpressionMatch note =
            QRegularExpression(QStringLiteral("trace: (\\d+) reports written to ([^\"\\n]*)")).match(run.err);
        QVERIFY2(note.hasMatch() && note.captured(2) == path, qPrintable(run.err));
        const int reports = note.captured(1).toInt();
        QVERIFY2(reports == exchanges * 4 || reports == exchanges * 4 - 2, qPrintable(run.err));
        if (file.endsWith(QLatin1String(".pcap")))
            QCOMPARE(tcpdumpPackets(path), reports * 2);
        else
            QCOMPARE(traceLines(path).size(), reports);
    }

    // A failed command is traced too, its refusal marked; and a trace that
    // cannot be written is refused before anything is sent.
    void failuresAndBadFiles()
    {
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x46;
        refuse.param1 = 0x34;
        simAdapter().addFault(refuse);
        const QString path = m_dir.filePath(QStringLiteral("store.txt"));
        const Run run = runCli({"--trace", path, "store"});
        QCOMPARE(run.status, 1);
        const QStringList store = traceLines(path).filter(QStringLiteral("46 34 12 | store configuration"));
        QCOMPARE(store.size(), 4); // two reports out, two back
        for (const QString &line : store)
            QVERIFY2(line.contains(QLatin1String("| result refused")), qPrintable(line));
        QVERIFY2(store.at(3).endsWith(QLatin1String("in  | reply 2/2 | 46 34 12 | store configuration | station - | result refused | refused | crc ok")),
                 qPrintable(store.at(3)));
    }

    void unwritableTraceIsBadUsage()
    {
        const Run run = runCli({"--trace", QStringLiteral("/nonexistent-folder/x.pcap"), "show"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("--trace: cannot write")), qPrintable(run.err));
        QCOMPARE(simAdapter().traffic().size(), size_t(0));
    }

    // watch --json: the counters once a second.
    void watchEmitsStatistics()
    {
        const Run run = runCli({"watch", "--json", "--seconds", "2.6"});
        QCOMPARE(run.status, 0);
        QList<QJsonObject> statistics;
        for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            if (object.value(QStringLiteral("event")).toString() == QLatin1String("link statistics"))
                statistics << object;
        }
        QVERIFY2(statistics.size() >= 2 && statistics.size() <= 3, qPrintable(QString::number(statistics.size())));
        QCOMPARE(statistics.last().value(QStringLiteral("adapter")).toString(), kDemoSerial);
        const int first = statistics.first().value(QStringLiteral("link")).toObject().value(QStringLiteral("transactions")).toInt();
        const int last = statistics.last().value(QStringLiteral("link")).toObject().value(QStringLiteral("transactions")).toInt();
        QVERIFY(first > 0 && last >= first);
    }

    // An upgrade's reports are in the trace, decoded with their own commands.
    void upgradeIsTraced()
    {
        testing_support::useShortUpgradeTiming();
        const QString file = m_dir.filePath(QStringLiteral("app.dec"));
        QFile dec(file);
        QVERIFY(dec.open(QIODevice::WriteOnly));
        dec.write(upgradetest::makeUpgradeFile(3000, "TBC 2.2.0"));
        dec.close();
        const QString path = m_dir.filePath(QStringLiteral("upgrade.txt"));
        const Run run = runCli({"--trace", path, "upgrade", file, "--adapter", kDemoSerial, "--yes"});
        QCOMPARE(run.status, 0);
        const QStringList lines = traceLines(path);
        QVERIFY(!lines.filter(QStringLiteral("out | upgrade request | A0 | enter upgrade mode")).isEmpty());
        QVERIFY(!lines.filter(QStringLiteral("in  | upgrade reply | A0 | enter upgrade mode | station - | result ok")).isEmpty());
        QVERIFY(!lines.filter(QStringLiteral("upgrade request | A3 | block data")).isEmpty());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliTrace)
#include "tst_cli_trace.moc"
