// A connect to the demonstration bus traced to a capture, read back by
// tcpdump: one submission and one completion for every report the virtual
// adapter received and sent, and the bytes of a request and its reply.

#include "AdapterHarness.h"
#include "LinkDiagnostics.h"
#include "TraceExport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace harness;

namespace {

// One usbmon record as tcpdump prints it with -xx: the 64-byte header, then
// the transfer's data.
struct Record {
    char event = 0;     // 'S' or 'C'
    quint8 endpoint = 0;
    QByteArray data;
};

QList<Record> readWithTcpdump(const QString &path, QString *error)
{
    QProcess tcpdump;
    tcpdump.start(QStringLiteral("tcpdump"), {QStringLiteral("-r"), path, QStringLiteral("-n"), QStringLiteral("-xx")});
    if (!tcpdump.waitForFinished(30000) || tcpdump.exitCode() != 0) {
        *error = QString::fromLocal8Bit(tcpdump.readAllStandardError());
        return {};
    }
    QList<QByteArray> packets;
    static const QRegularExpression hexLine(QStringLiteral("^\\s+0x[0-9a-f]+:\\s+((?:[0-9a-f]{2,4}\\s?)+)"));
    for (const QString &line : QString::fromLatin1(tcpdump.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = hexLine.match(line);
        if (!m.hasMatch()) {
            if (!line.trimmed().isEmpty())
                packets.append(QByteArray());
            continue;
        }
        if (packets.isEmpty())
            packets.append(QByteArray());
        packets.last() += QByteArray::fromHex(m.captured(1).remove(QLatin1Char(' ')).toLatin1());
    }
    QList<Record> records;
    for (const QByteArray &p : qAsConst(packets)) {
        if (p.size() < 64)
            continue;
        Record r;
        r.event = p.at(8);
        r.endpoint = quint8(p.at(10));
        r.data = p.mid(64);
        records.append(r);
    }
    return records;
}

} // namespace

class TestAdapterTrace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(fastTiming());
        loadDescriptions();
        if (QStandardPaths::findExecutable(QStringLiteral("tcpdump")).isEmpty())
            QFAIL("tcpdump is not installed (tools/packages.txt)");
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        tbsim::bus().reset();
    }

    void tracedConnectReadByTcpdump()
    {
        QCOMPARE(loadBus(kDemoBus, 2), QString());
        const std::shared_ptr<LinkDiagnostics> diagnostics = LinkDiagnostics::forSerial(kDemoSerial);
        diagnostics->trace().clear();
        diagnostics->trace().setOn(true);
        tbsim::VirtualAdapter sim = simAdapter();
        sim.clearTraffic();
        // The trace and the adapter's log taken together in the Adapter's
        // thread, between two exchanges: the polls go on meanwhile.
        std::vector<tbsim::TrafficEntry> traffic;
        tarnbus::trace::Capture capture;
        {
            AdapterRun run;
            run.connectTo();
            QVERIFY(run.waitForLoad(MSG_LOAD_FINISHED));
            QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
            run.inThread([&] {
                traffic = sim.traffic();
                capture = tarnbus::trace::captureOf(*diagnostics);
            });
            QVERIFY(run.stop());
        }
        diagnostics->trace().setOn(false);
        QVERIFY(traffic.size() > 20);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("connect.pcap"));
        QCOMPARE(tarnbus::trace::writeTrace(path, {capture}), QString());
        QString error;
        const QList<Record> records = readWithTcpdump(path, &error);
        QVERIFY2(!records.isEmpty(), qPrintable(error));

        // Every exchange of the connect was answered: two reports out, two
        // back, each a submission and a completion.
        QCOMPARE(records.size(), int(traffic.size()) * 4 * 2);
        QList<QByteArray> requests;
        QList<QByteArray> replies;
        for (int i = 0; i + 1 < records.size(); i += 2) {
            const Record &submit = records.at(i);
            const Record &complete = records.at(i + 1);
            QCOMPARE(submit.event, 'S');
            QCOMPARE(complete.event, 'C');
            QCOMPARE(submit.endpoint, complete.endpoint);
            const bool out = submit.endpoint == tarnbus::trace::kOutEndpoint;
            QVERIFY(out || submit.endpoint == tarnbus::trace::kInEndpoint);
            const QByteArray data = out ? submit.data : complete.data;
            QCOMPARE(out ? complete.data.size() : submit.data.size(), 0);
            QCOMPARE(data.size(), 64);
            (out ? requests : replies).append(data);
        }
        QCOMPARE(requests.size(), int(traffic.size()) * 2);
        QCOMPARE(replies.size(), int(traffic.size()) * 2);

        // One for one: each request's command and parameters, and the whole
        // frames of every exchange, as the virtual adapter logged them.
        for (int i = 0; i < int(traffic.size()); ++i) {
            const tbsim::TrafficEntry &entry = traffic.at(size_t(i));
            const QByteArray request = requests.at(2 * i).mid(2, 62) + requests.at(2 * i + 1).mid(2, 10);
            QCOMPARE(quint8(request.at(3)), entry.code);
            QCOMPARE(quint8(request.at(4)), entry.param1);
            QCOMPARE(quint8(request.at(5)), entry.param2);
            QCOMPARE(request.mid(6, 64), QByteArray(reinterpret_cast<const char *>(entry.data.data()), int(entry.data.size())));
            const QByteArray reply = replies.at(2 * i).mid(2, 62) + replies.at(2 * i + 1).mid(2, 10);
            QCOMPARE(reply, QByteArray(reinterpret_cast<const char *>(entry.reply.data()), int(entry.reply.size())));
        }
        // The first exchange byte for byte: the handshake and its answer.
        QCOMPARE(requests.at(0).left(6).toHex(' '), QByteArray("ec 3e 01 00 fe 48"));
        QCOMPARE(quint8(replies.at(0).at(2 + 3)), quint8(0x48));
    }

    // The text export of the same connect: one line per report.
    void textExportHasALinePerReport()
    {
        QCOMPARE(loadBus(kDemoBus), QString());
        const std::shared_ptr<LinkDiagnostics> diagnostics = LinkDiagnostics::forSerial(kDemoSerial);
        diagnostics->trace().clear();
        diagnostics->trace().setOn(true);
        {
            AdapterRun run;
            run.connectTo();
            QVERIFY(run.waitForLoad(MSG_FORCE_STATE));
            QVERIFY(run.stop());
        }
        diagnostics->trace().setOn(false);
        const int reports = diagnostics->trace().size();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("connect.txt"));
        QCOMPARE(tarnbus::trace::writeTrace(path, {tarnbus::trace::captureOf(*diagnostics)}), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.first().startsWith(QLatin1String("# TarnBUS frame trace, adapter 3C2E0A000001")));
        lines.erase(std::remove_if(lines.begin(), lines.end(), [](const QString &l) { return l.startsWith(QLatin1Char('#')); }),
                    lines.end());
        QCOMPARE(lines.size(), reports);
        QVERIFY2(lines.first().endsWith(QLatin1String("out | request 1/2 | 48 00 EC | handshake | station - | result ok")),
                 qPrintable(lines.first()));
        QVERIFY2(lines.at(3).contains(QLatin1String("in  | reply 2/2 | 48 00 EC | handshake")), qPrintable(lines.at(3)));
    }
};

QTEST_GUILESS_MAIN(TestAdapterTrace)
#include "tst_adapter_trace.moc"
