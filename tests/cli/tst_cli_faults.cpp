// Every operation of tarnbus-cli against every way the adapter can fail it:
// refused, no reply, a bad checksum and a lost link. Each ends with status 1
// and says what failed in the operation's own words and why; nothing the
// adapter refused is changed on the bus; force mode is never said to be left
// unless the adapter confirmed it.

#include "../adapter/AdapterHarness.h"
#include "CliTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace harness;
using namespace clitest;

namespace {

struct Operation {
    const char *name;
    QStringList args;
    int code;
    int param1;
    int param2;
    QString failure; // the operation's words; a pattern
};

struct Fault {
    const char *name;
    tbsim::FaultKind kind;
    QString reason;  // what the tool says went wrong
    QString kindText; // the exit status's class
};

// What the adapter holds that an operation may change: its settings, and
// each module's station, areas, parameters and lamp, by UID.
QMap<QString, QString> adapterState(tbsim::VirtualAdapter &sim)
{
    QMap<QString, QString> state;
    state.insert(QStringLiteral("settings"), QStringLiteral("%1 threshold %2").arg(sim.settings()).arg(sim.threshold()));
    for (const tbsim::Module &m : sim.modules()) {
        QString params;
        for (uint8_t b : m.params)
            params += QString::asprintf("%02x", b);
        state.insert(QString::fromStdString(m.uid), QStringLiteral("station %1 in %2/%3 out %4/%5 params %6 lamp %7")
                                                        .arg(m.station)
                                                        .arg(m.inStart)
                                                        .arg(m.inChannels)
                                                        .arg(m.outStart)
                                                        .arg(m.outChannels)
                                                        .arg(params)
                                                        .arg(m.lamp));
    }
    return state;
}

// What a refused request would have changed: the module its record names,
// else the adapter itself.
QStringList refusedTargets(tbsim::VirtualAdapter &sim)
{
    QStringList targets;
    for (const tbsim::TrafficEntry &e : sim.traffic()) {
        if (e.outcome != tbsim::TrafficEntry::Faulted)
            continue;
        if (e.code == 0x47 && e.data.size() >= 12)
            targets << QString::fromLatin1(reinterpret_cast<const char *>(e.data.data()), 12);
        else
            targets << QStringLiteral("settings");
    }
    return targets;
}

} // namespace

Q_DECLARE_METATYPE(tbsim::FaultKind)

class TestCliFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(QDir(QStringLiteral("Xml")).exists());
        QVERIFY(m_dir.isValid());
        // The configuration file of the import rows: the bus as it is.
        QCOMPARE(loadBus(kDemoBus), QString());
        m_file = m_dir.filePath(QStringLiteral("bus.csv"));
        QCOMPARE(runCli({"export", m_file, "--uid"}).status, 0);
    }

    void init() { QCOMPARE(loadBus(kDemoBus), QString()); }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    void everyOperationEveryFault_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<tbsim::FaultKind>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param1");
        QTest::addColumn<int>("param2");
        QTest::addColumn<QString>("said"); // a pattern of standard error
        QTest::addColumn<bool>("leaving"); // the fault meets the leave command of force mode

        const QString station = QStringLiteral("(\\(站号\\d+\\))?");
        const QList<Operation> operations{
            {"store", {"store"}, 0x46, 0x34, 0x12, QStringLiteral("保存组态失败")},
            {"settings", {"settings", "threshold=1500"}, 0x42, -1, 0x00, QStringLiteral("修改适配器参数失败")},
            {"lamp", {"lamp", "7", "on"}, 0x27, 0x10, 0x00, QStringLiteral("点灯失败")},
            {"force on", {"force", "--set", "2:0=1"}, 0x48, 0x05, 0x00, QStringLiteral("进入强制模式失败")},
            {"force off", {"force", "--set", "2:0=1"}, 0x23, 0x00, 0x00, QStringLiteral("退出强制模式失败")},
            {"station", {"set-station", "DA01B2C3D40D", "14"}, 0x47, 0x00, 0x02, QStringLiteral("修改从站站号失败") + station},
            {"areas", {"set-io", "3", "--in", "400"}, 0x47, 0x00, 0x02, QStringLiteral("修改从站地址失败") + station},
            {"parameters", {"set-param", "3", "filter level=20ms"}, 0x47, 0x00, 0x02, QStringLiteral("修改从站参数失败") + station},
            {"clear", {"clear", "5"}, 0x47, 0x00, 0x02, QStringLiteral("清除从站站号失败") + station},
            {"download", {"download"}, 0x47, 0x00, 0x02, QStringLiteral("下载配置失败") + station},
            {"allocation", {"allocate"}, 0x47, 0x00, 0x02, QStringLiteral("自动分配地址失败") + station},
            {"repeated stations", {"repair-stations"}, 0x47, 0x00, 0x02, QStringLiteral("修复重复站号失败") + station},
            {"import", {"import", "@FILE", "--apply"}, 0x47, 0x00, 0x02, QStringLiteral("下载配置失败") + station},
        };
        const QList<Fault> faults{
            {"refused", tbsim::FaultKind::Refuse, QStringLiteral("适配器拒绝执行"), QStringLiteral("refused by the adapter")},
            {"no reply", tbsim::FaultKind::NoReply, QStringLiteral("通信超时"), QStringLiteral("time-out")},
            {"bad checksum", tbsim::FaultKind::BadChecksum, QStringLiteral("CRC校验错误"), QStringLiteral("checksum error")},
            {"link lost", tbsim::FaultKind::UnplugMidway, QStringLiteral("链接断开"), QStringLiteral("link lost")},
        };
        const auto esc = [](const QString &text) { return QRegularExpression::escape(text); };
        for (const Operation &op : operations) {
            for (const Fault &fault : faults) {
                QString said = op.failure + esc(QStringLiteral(": %1!").arg(fault.reason));
                if (QLatin1String(op.name) == QLatin1String("force off"))
                    said += esc(QStringLiteral(" 输出可能仍处于强制状态,请重试。"));
                said += esc(QStringLiteral(" (%1)").arg(fault.kindText));
                // A refused force start is the controller's refusal.
                if (QLatin1String(op.name) == QLatin1String("force on") && fault.kind == tbsim::FaultKind::Refuse)
                    said = esc(QStringLiteral("TARNBUS控制器错误,强制启动失败! (refused)"));
                // A lost link takes the whole session with it: it is said
                // so, whatever else the operation said first.
                if (fault.kind == tbsim::FaultKind::UnplugMidway)
                    said = esc(QStringLiteral("(link lost)"));
                QTest::addRow("%s/%s", op.name, fault.name)
                    << op.args << fault.kind << op.code << op.param1 << op.param2 << said
                    << (QLatin1String(op.name) == QLatin1String("force off"));
            }
        }
        // Connecting: the handshake itself fails.
        const QStringList show{"show"};
        QTest::newRow("connect/refused") << show << tbsim::FaultKind::Refuse << 0x48 << 0x00 << 0xEC
                                         << esc(QStringLiteral("TARNBUS适配器拒绝执行,操作失败! (refused by the adapter)")) << false;
        QTest::newRow("connect/no reply") << show << tbsim::FaultKind::NoReply << 0x48 << 0x00 << 0xEC
                                          << esc(QStringLiteral("TarnBUS通信失败,数据丢失！ (time-out)")) << false;
        QTest::newRow("connect/bad checksum") << show << tbsim::FaultKind::BadChecksum << 0x48 << 0x00 << 0xEC
                                              << esc(QStringLiteral("TARNBUS通信,CRC校验错误！ (checksum error)")) << false;
        QTest::newRow("connect/link lost") << show << tbsim::FaultKind::UnplugMidway << 0x48 << 0x00 << 0xEC
                                           << esc(QStringLiteral("(link lost)")) << false;
    }

    void everyOperationEveryFault()
    {
        QFETCH(QStringList, args);
        QFETCH(tbsim::FaultKind, kind);
        QFETCH(int, code);
        QFETCH(int, param1);
        QFETCH(int, param2);
        QFETCH(QString, said);
        QFETCH(bool, leaving);
        args.replaceInStrings(QStringLiteral("@FILE"), m_file);

        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::FaultRule rule;
        rule.kind = kind;
        rule.code = code;
        rule.param1 = param1;
        rule.param2 = param2;
        // Leaving force mode fails every time it is asked; the other
        // operations meet the fault once.
        rule.count = leaving ? -1 : 1;
        sim.addFault(rule);
        const QMap<QString, QString> before = adapterState(sim);

        const Run run = runCli(args);
        QCOMPARE(run.status, 1);
        QVERIFY2(QRegularExpression(said).match(run.err).hasMatch(), qPrintable(run.err));
        QVERIFY2(!run.out.contains(QStringLiteral("force mode left")) || !leaving, qPrintable(run.out));
        if (leaving)
            QVERIFY2(run.err.contains(QStringLiteral("could not leave force mode: the outputs may still be forced")),
                     qPrintable(run.err));
        // What the adapter refused, it did not do (the other modules of a
        // batch are still written); a start of force mode whose answer was
        // lost was left again.
        if (kind == tbsim::FaultKind::Refuse) {
            const QMap<QString, QString> after = adapterState(sim);
            const QStringList targets = refusedTargets(sim);
            QVERIFY(!targets.isEmpty());
            for (const QString &target : targets)
                QCOMPARE(after.value(target), before.value(target));
        }
        if (!leaving && kind != tbsim::FaultKind::UnplugMidway)
            QVERIFY(!sim.forceMode());
    }

    // A script matches the code, never the text: the same failure gives the
    // same code in both languages, while its words follow the language.
    void sameCodeInBothLanguages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("fault"); // a tbsim::FaultKind, or -1 for none
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param1");
        QTest::addColumn<int>("param2");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("translated"); // the words come from the translated messages
        const int refuse = int(tbsim::FaultKind::Refuse);
        const int noReply = int(tbsim::FaultKind::NoReply);
        const int checksum = int(tbsim::FaultKind::BadChecksum);
        QTest::newRow("store refused") << QStringList{"store"} << refuse << 0x46 << 0x34 << 0x12 << 1 << "store.refused" << true;
        QTest::newRow("lamp time-out") << QStringList{"lamp", "7", "on"} << noReply << 0x27 << 0x10 << 0x00 << 1 << "lamp.timeout"
                                       << true;
        QTest::newRow("station, bad checksum") << QStringList{"set-station", "DA01B2C3D40D", "14"} << checksum << 0x47 << 0x00 << 0x02
                                               << 1 << "station_change.checksum_error" << true;
        QTest::newRow("connect time-out") << QStringList{"show"} << noReply << 0x48 << 0x00 << 0xEC << 1 << "transaction.data_lost"
                                          << true;
        QTest::newRow("bad argument") << QStringList{"lamp", "7", "blink"} << -1 << 0 << 0 << 0 << 2 << "bad_usage" << false;
        QTest::newRow("no such module") << QStringList{"clear", "99"} << -1 << 0 << 0 << 0 << 2 << "bad_usage" << false;
    }
    void sameCodeInBothLanguages()
    {
        QFETCH(QStringList, args);
        QFETCH(int, fault);
        QFETCH(int, code);
        QFETCH(int, param1);
        QFETCH(int, param2);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QFETCH(bool, translated);
        QMap<QString, QString> textOf; // by language
        // Chinese last: the other tests read the Chinese messages.
        for (const char *language : {"en", "zh"}) {
            QCOMPARE(loadBus(kDemoBus), QString());
            if (fault >= 0) {
                tbsim::FaultRule rule;
                rule.kind = tbsim::FaultKind(fault);
                rule.code = code;
                rule.param1 = param1;
                rule.param2 = param2;
                rule.count = 1;
                simAdapter().addFault(rule);
            }
            const Run run = runCli(QStringList{"--lang", language, "--json"} + args);
            QCOMPARE(run.status, status);
            QJsonObject error;
            for (const QString &line : run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
                if (object.contains(QStringLiteral("error")) && error.isEmpty())
                    error = object;
            }
            QVERIFY2(!error.isEmpty(), qPrintable(run.err));
            QCOMPARE(error.value(QStringLiteral("code")).toString(), expected);
            QCOMPARE(error.value(QStringLiteral("status")).toInt(), status);
            textOf.insert(language, error.value(QStringLiteral("error")).toString());
        }
        if (translated)
            QVERIFY2(textOf.value(QStringLiteral("en")) != textOf.value(QStringLiteral("zh")), qPrintable(textOf.value(QStringLiteral("en"))));
    }

private:
    QTemporaryDir m_dir;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "tst_cli_faults.moc"
