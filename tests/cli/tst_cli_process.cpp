// tarnbus-cli as the real program: linked with the system hidapi, started
// with --bus on the virtual adapter. Its exit statuses, its output, and
// Ctrl-C (SIGINT) and termination requests while it works; firmware
// upgrades on the upgrade bus.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {

const QString kProgram = QStringLiteral(TARNBUS_CLI_PROGRAM);
const QString kDemoBus = QStringLiteral("sim/buses/demo.json");
const QString kUpgradeBus = QStringLiteral("sim/buses/upgrade.json");
constexpr int kFinishMs = 60000; // a limit for a hung program, not a measurement

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// A bus file (the demonstration bus unless given) with its adapters' own
// waits shortened and the given faults for its first adapter.
QString writeBus(const QTemporaryDir &dir, const QJsonArray &faults = {}, const QString &source = kDemoBus)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QStringLiteral("adapters")).toArray();
    for (int i = 0; i < adapters.size(); ++i) {
        QJsonObject adapter = adapters.at(i).toObject();
        adapter.insert(QStringLiteral("scanReads"), 0);
        adapter.insert(QStringLiteral("restartMs"), 50);
        if (i == 0 && !faults.isEmpty())
            adapter.insert(QStringLiteral("faults"), faults);
        adapters[i] = adapter;
    }
    root.insert(QStringLiteral("adapters"), adapters);
    const QString path = dir.filePath(QStringLiteral("%1-%2.json").arg(QFileInfo(source).baseName()).arg(faults.size()));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    out.write(QJsonDocument(root).toJson());
    return path;
}

QJsonArray fault(const QString &kind, const QString &command, int param1 = -1, int after = 0, int count = -1)
{
    QJsonObject rule{{QStringLiteral("kind"), kind}, {QStringLiteral("command"), command}};
    if (param1 >= 0)
        rule.insert(QStringLiteral("param1"), param1);
    if (after > 0)
        rule.insert(QStringLiteral("after"), after);
    if (count >= 0)
        rule.insert(QStringLiteral("count"), count);
    return QJsonArray{rule};
}

// Runs the program, with these environment variables besides the
// system's; onOutput sees standard output as it grows and may signal the
// process. The tests run in a Chinese locale: the program speaks English
// unless args choose the language themselves.
Run runProgram(const QStringList &args, const std::function<void(QProcess &, const QString &)> &onOutput = {},
               const QMap<QString, QString> &variables = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        env.insert(it.key(), it.value());
    // A sanitizer build wants its runtime first; the preloaded virtual
    // adapter comes before it.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("verify_asan_link_order=0"));
    process.setProcessEnvironment(env);
    Run run;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
        run.out += QString::fromUtf8(process.readAllStandardOutput());
        if (onOutput)
            onOutput(process, run.out);
    });
    process.start(kProgram, args.contains(QStringLiteral("--lang")) ? args : QStringList{"--lang", "en"} + args);
    if (!process.waitForFinished(kFinishMs)) {
        process.kill();
        process.waitForFinished();
    }
    run.out += QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

// Sends the signal once the output holds the text.
std::function<void(QProcess &, const QString &)> signalOn(const QString &text, int signal, bool *sent)
{
    return [text, signal, sent](QProcess &process, const QString &out) {
        if (!*sent && out.contains(text) && process.state() == QProcess::Running) {
            *sent = true;
            ::kill(pid_t(process.processId()), signal);
        }
    };
}

} // namespace

class TestCliProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_bus = writeBus(m_dir);
        QVERIFY(!m_bus.isEmpty());
        QFile bad(m_dir.filePath(QStringLiteral("bad.csv")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("设备类型,从站站号,对齐方式,输入起始地址,输入通道长度,输出起始地址,输出通道长度,滤波等级,替代值使能,替代值,设备ID\n"
                  "*TB-DI8-N,3,1,24,8,0,0,3,0,0,#00001101\r\n"
                  "*TB-DI8-N,3,2,24,8,0,0,3,0,0,#00001101\r\n");
        QFile shortFile(m_dir.filePath(QStringLiteral("short.dec")));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write("TBC");
    }

    // add-description as an ordinary user: the description lands in that
    // user's own data folder and is read from there first; the working
    // folder's library stays as it was.
    void addDescriptionIntoTheUsersFolder()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        const auto cli = [&env](const QStringList &args) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(kProgram, QStringList{"--lang", "en"} + args);
            process.waitForFinished(kFinishMs);
            return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
        };
        const QString source = QStringLiteral("tests/fixtures/xml/TestFamily.xml");
        const QString landed = home.path() + QStringLiteral("/.local/share/tarnbus-tester/Xml/TestFamily.xml");
        const Run added = cli({QStringLiteral("add-description"), source});
        QCOMPARE(added.status, 0);
        QCOMPARE(added.out, QStringLiteral("%1 imported as %2\n").arg(source, landed));
        QFile copy(landed);
        QFile original(source);
        QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
        QVERIFY(!QFile::exists(QStringLiteral("Xml/TestFamily.xml")));

        const Run listed = cli({QStringLiteral("descriptions"), QStringLiteral("--json")});
        QCOMPARE(listed.status, 0);
        const QJsonArray files = QJsonDocument::fromJson(listed.out.toUtf8()).object().value(QStringLiteral("descriptions")).toArray();
        QVERIFY(files.size() >= 3);
        QCOMPARE(files.at(0).toObject().value(QStringLiteral("file")).toString(), landed);
        QCOMPARE(files.at(1).toObject().value(QStringLiteral("file")).toString(),
                 QDir::currentPath() + QStringLiteral("/Xml/TarnBUS-Analog.xml"));
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QJsonArray>("faults");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList station{"set-station", "DA01B2C3D40D", "14"};
        QTest::newRow("list") << QStringList{"list"} << QJsonArray() << 0 << "3C2E0A000001" << "";
        QTest::newRow("show") << QStringList{"show"} << QJsonArray() << 0
                              << "4        TB-DO8-T     DO     DA01B2C3D40E  -         224..231" << "";
        QTest::newRow("set-station") << station << QJsonArray() << 0
                                     << "station 14 (TB-DI8-N, DA01B2C3D40D): station set to 14" << "";
        // The adapter's messages in the language chosen, their class in the same.
        const QStringList zh{"--lang", "zh"};
        QTest::newRow("refused") << station << fault("refuse", "0x47", 0) << 1 << ""
                                 << "set-station: Changing the station number failed: the adapter refused! (refused by the adapter)";
        QTest::newRow("refused, Chinese") << zh + station << fault("refuse", "0x47", 0) << 1 << ""
                                          << "set-station: 修改从站站号失败: 适配器拒绝执行! (被适配器拒绝)";
        QTest::newRow("time-out, Chinese") << zh + station << fault("noReply", "0x47", 0) << 1 << ""
                                           << "set-station: 修改从站站号失败: 通信超时! (通信超时)";
        QTest::newRow("unplugged") << station << fault("unplugMidway", "0x47", 0) << 1 << "" << "(link lost)";
        QTest::newRow("unknown station") << QStringList{"clear", "99"} << QJsonArray() << 2 << ""
                                         << "tarnbus-cli: clear: no module at station 99";
        QTest::newRow("bad UID") << QStringList{"set-station", "DA01B2C3D4FF", "14"} << QJsonArray() << 2 << ""
                                 << "no module with UID DA01B2C3D4FF";
        QTest::newRow("out-of-range address") << QStringList{"set-io", "3", "--in", "508"} << QJsonArray() << 2 << ""
                                              << "past the 512-bit image";
        QTest::newRow("malformed line") << QStringList{"import", m_dir.filePath(QStringLiteral("bad.csv"))} << QJsonArray() << 2
                                        << "" << "bad.csv:3: 对齐方式 (Alignment): alignment 2: only 1 (bits) or 8 (bytes)";
        QTest::newRow("upgrade: no file") << QStringList{"upgrade", "no/such/firmware.dec"} << QJsonArray() << 2 << ""
                                          << "upgrade: no/such/firmware.dec: Invalid upgrade file! cannot be read";
        QTest::newRow("upgrade: no file, Chinese") << zh + QStringList{"upgrade", "no/such/firmware.dec"} << QJsonArray() << 2 << ""
                                                   << "upgrade: no/such/firmware.dec: 非法的升级文件! 无法读取";
        QTest::newRow("no command") << QStringList{} << QJsonArray() << 2 << "" << "no command given";
    }
    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(QJsonArray, faults);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString bus = faults.isEmpty() ? m_bus : writeBus(m_dir, faults);
        const Run run = runProgram(QStringList{"--bus", bus, "--fast-timing"} + args);
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, status);
    }

    // --lang en: nothing the tool says itself is Chinese. Module data (the
    // type names of the device descriptions) is shown as it is; it is taken
    // from the same command's JSON and left out of the check.
    void englishOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QJsonArray>("faults");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // in standard output or error
        const QStringList station{"set-station", "DA01B2C3D40D", "14"};
        QTest::newRow("help") << QStringList{"--help"} << QJsonArray() << 0 << "Usage: tarnbus-cli";
        QTest::newRow("command help") << QStringList{"show", "--help"} << QJsonArray() << 0 << "show";
        QTest::newRow("show") << QStringList{"show"} << QJsonArray() << 0 << "TB-DO8-T";
        QTest::newRow("refused") << station << fault("refuse", "0x47", 0) << 1
                                 << "set-station: Changing the station number failed: the adapter refused! (refused by the adapter)";
        QTest::newRow("time-out") << station << fault("noReply", "0x47", 0) << 1
                                  << "set-station: Changing the station number failed: timed out! (time-out)";
        QTest::newRow("no command") << QStringList{} << QJsonArray() << 2 << "no command given";
        QTest::newRow("bad --lang") << QStringList{"--lang", "fr", "show"} << QJsonArray() << 2 << "--lang is zh or en";
        // The upgrade dialog's messages are the window's, in its English.
        QTest::newRow("bad upgrade file") << QStringList{"upgrade", m_dir.filePath(QStringLiteral("short.dec"))} << QJsonArray() << 2
                                          << "short.dec: Invalid upgrade file! 3 bytes, shorter than the 96-byte header";
    }
    void englishOutput()
    {
        QFETCH(QStringList, args);
        QFETCH(QJsonArray, faults);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const QString bus = faults.isEmpty() ? m_bus : writeBus(m_dir, faults);
        const QStringList common{"--bus", bus, "--fast-timing", "--lang", "en"};
        const Run run = runProgram(common + args);
        QCOMPARE(run.status, status);
        QString said = run.out + run.err;
        QVERIFY2(said.contains(expected), qPrintable(said));
        const Run json = runProgram({"--bus", m_bus, "--fast-timing", "show", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonArray modules = QJsonDocument::fromJson(json.out.toUtf8()).object().value(QStringLiteral("modules")).toArray();
        QVERIFY(!modules.isEmpty());
        for (const QJsonValue &module : modules) {
            const QJsonObject object = module.toObject();
            for (auto it = object.begin(); it != object.end(); ++it) {
                if (it.value().isString() && !it.value().toString().isEmpty())
                    said.remove(it.value().toString());
            }
        }
        const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]+"));
        const QRegularExpressionMatch found = chinese.match(said);
        QVERIFY2(!found.hasMatch(), qPrintable(QStringLiteral("\"%1\" in:\n%2").arg(found.captured(), said)));
    }

    // --lang zh: the tool's own notes, help, tables and messages are
    // Chinese. Left out of the check: module data, and what a user types
    // (the program's and the commands' names, options, paths, values).
    void chineseOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QJsonArray>("faults");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // in standard output or error
        const QStringList station{"set-station", "DA01B2C3D40D", "14"};
        QTest::newRow("help") << QStringList{"--help"} << QJsonArray() << 0 << "用法: tarnbus-cli [选项] 命令 [参数]";
        QTest::newRow("command help") << QStringList{"diff", "--help"} << QJsonArray() << 0 << "用法: tarnbus-cli [选项] diff FILE";
        QTest::newRow("show") << QStringList{"show", "--stats"} << QJsonArray() << 0 << "站号";
        QTest::newRow("refused") << station << fault("refuse", "0x47", 0) << 1
                                 << "set-station: 修改从站站号失败: 适配器拒绝执行! (被适配器拒绝)";
        QTest::newRow("bad argument") << QStringList{"set-io", "3", "--in", "508"} << QJsonArray() << 2 << "超出 512 位的过程映像";
        QTest::newRow("no command") << QStringList{} << QJsonArray() << 2 << "未给出命令";
        QTest::newRow("bad upgrade file") << QStringList{"upgrade", m_dir.filePath(QStringLiteral("short.dec"))} << QJsonArray() << 2
                                          << "short.dec: 非法的升级文件! 3 字节,短于 96 字节的文件头";
    }
    void chineseOutput()
    {
        QFETCH(QStringList, args);
        QFETCH(QJsonArray, faults);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const QString bus = faults.isEmpty() ? m_bus : writeBus(m_dir, faults);
        const Run run = runProgram(QStringList{"--bus", bus, "--fast-timing", "--lang", "zh"} + args);
        QCOMPARE(run.status, status);
        const QString said = run.out + run.err;
        QVERIFY2(said.contains(expected), qPrintable(said));
        QSet<QString> data;
        const Run json = runProgram({"--bus", m_bus, "--fast-timing", "show", "--json"});
        const QJsonArray modules = QJsonDocument::fromJson(json.out.toUtf8()).object().value(QStringLiteral("modules")).toArray();
        QVERIFY(!modules.isEmpty());
        for (const QJsonValue &module : modules) {
            const QJsonObject object = module.toObject();
            for (auto it = object.begin(); it != object.end(); ++it) {
                data.insert(it.value().toString());
                for (const QJsonValue &item : it.value().toArray())
                    data.insert(item.toString());
            }
        }
        // Two English words in a row are a text left untranslated.
        const QRegularExpression word(QStringLiteral("^[A-Za-z][a-z]+[,.;:]?$"));
        for (const QString &line : said.split(QLatin1Char('\n'))) {
            QString previous;
            for (const QString &token : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const bool english = !data.contains(token) && word.match(token).hasMatch();
                QVERIFY2(!(english && !previous.isEmpty()),
                         qPrintable(QStringLiteral("\"%1 %2\" in: %3").arg(previous, token, line)));
                previous = english ? token : QString();
            }
        }
    }

    void jsonFromTheProgram()
    {
        const Run run = runProgram({"--bus", m_bus, "--fast-timing", "show", "--json"});
        QCOMPARE(run.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(object.value(QStringLiteral("modules")).toArray().size(), 16);
        QCOMPARE(object.value(QStringLiteral("adapter")).toObject().value(QStringLiteral("serial")).toString(),
                 QStringLiteral("3C2E0A000001"));
    }

    void busOptionProblems_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::newRow("no bus file") << QStringList{"--bus", "no/such/bus.json", "show"} << "--bus: no/such/bus.json: cannot read the bus file";
        // Refused before the adapters on USB are even looked at.
        QTest::newRow("short waits without bus") << QStringList{"show", "--fast-timing"} << "--fast-timing is only for the virtual adapter";
    }
    void busOptionProblems()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const Run run = runProgram(args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
    }

    // Ctrl-C or a termination request while forcing: force mode is left and
    // the program ends well; while watching, the watch ends well.
    void interrupted_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QJsonArray>("faults");
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList force{"force", "--set", "2:0=1", "--hold", "600"};
        QTest::newRow("force, SIGINT") << force << QJsonArray() << "DA01B2C3D401) inputs 1" << SIGINT << 0
                                       << "force mode left\n" << "";
        QTest::newRow("force, SIGTERM") << force << QJsonArray() << "DA01B2C3D401) inputs 1" << SIGTERM << 0
                                        << "force mode left\n" << "";
        QTest::newRow("force, JSON") << force + QStringList{"--json"} << QJsonArray() << "\"inputs\"" << SIGINT << 0
                                     << "{\"event\":\"force\",\"state\":\"left\"}\n" << "";
        QTest::newRow("watch") << QStringList{"watch"} << QJsonArray() << "connected to 3C2E0A000001" << SIGINT << 0
                               << "16 modules\n" << "";
        // A process-data cycle that fails ends the hold; force mode is left all the same.
        QTest::newRow("force, a cycle fails") << force << fault("badChecksum", "0x49", -1, 3, 1) << "not before it ends" << SIGINT
                                              << 1 << "force mode left\n" << "TarnBUS communication: CRC error! (checksum error)";
    }
    void interrupted()
    {
        QFETCH(QStringList, args);
        QFETCH(QJsonArray, faults);
        QFETCH(QString, when);
        QFETCH(int, signal);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString bus = faults.isEmpty() ? m_bus : writeBus(m_dir, faults);
        bool sent = false;
        const Run run = runProgram(QStringList{"--bus", bus, "--fast-timing"} + args, signalOn(when, signal, &sent));
        QVERIFY2(run.out.endsWith(out), qPrintable(run.out.right(300)));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, status);
    }

    // The virtual adapter as a long run uses it: a module whose inputs count
    // the process-data exchanges (from the bus file), a traffic log of ten
    // exchanges, and the counts of every request written when the program
    // ends. force prints each cycle of the counting module once, in order,
    // and the adapter counted every exchange, the short log notwithstanding.
    void exchangesCountedByTheVirtualAdapter()
    {
        QFile demo(kDemoBus);
        QVERIFY(demo.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(demo.readAll()).object();
        QJsonArray adapters = root.value(QStringLiteral("adapters")).toArray();
        QJsonObject adapter = adapters.at(0).toObject();
        QJsonArray modules = adapter.value(QStringLiteral("modules")).toArray();
        for (int i = 0; i < modules.size(); ++i) {
            QJsonObject module = modules.at(i).toObject();
            if (module.value(QStringLiteral("uid")).toString() == QLatin1String("DA01B2C3D401")) { // the DI16 at station 1
                module.insert(QStringLiteral("inputs"), QJsonObject{{QStringLiteral("source"), QStringLiteral("count")}});
                modules[i] = module;
            }
        }
        adapter.insert(QStringLiteral("modules"), modules);
        adapter.insert(QStringLiteral("scanReads"), 0);
        adapters[0] = adapter;
        root.insert(QStringLiteral("adapters"), adapters);
        const QString bus = m_dir.filePath(QStringLiteral("counting.json"));
        QFile file(bus);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(root).toJson());
        file.close();
        const QString counts = m_dir.filePath(QStringLiteral("counts.json"));

        const Run run = runProgram({"--bus", bus, "--fast-timing", "--json", "force", "--set", "2:0=1"}, {},
                                   {{"TARNBUS_SIM_TRAFFIC_LOG", "10"}, {"TARNBUS_SIM_COUNTS", counts}});
        QCOMPARE(run.status, 0);
        QList<int> cycles;
        int last = -1;
        for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object();
            if (event.value(QStringLiteral("event")).toString() != QLatin1String("inputs")
                || event.value(QStringLiteral("station")).toInt() != 1)
                continue;
            int value = 0;
            const QJsonArray bits = event.value(QStringLiteral("values")).toArray();
            for (int i = 0; i < bits.size(); ++i)
                value |= bits.at(i).toInt() << i;
            if (event.value(QStringLiteral("final")).toBool())
                last = value;
            else
                cycles << value;
        }
        QVERIFY2(cycles.size() >= 16, qPrintable(run.out)); // a round of every module's inputs
        for (int i = 1; i < cycles.size(); ++i)
            QCOMPARE(cycles.at(i), cycles.at(i - 1) + 1);
        QVERIFY(last >= cycles.last());

        QFile written(counts);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QJsonArray reported = QJsonDocument::fromJson(written.readAll()).object().value(QStringLiteral("adapters")).toArray();
        QCOMPARE(reported.size(), 1);
        QCOMPARE(reported.at(0).toObject().value(QStringLiteral("serial")).toString(), QStringLiteral("3C2E0A000001"));
        int exchanges = 0;
        int handshakes = 0;
        for (const QJsonValue &value : reported.at(0).toObject().value(QStringLiteral("requests")).toArray()) {
            const QJsonObject c = value.toObject();
            const int command = c.value(QStringLiteral("command")).toInt();
            const int param1 = c.value(QStringLiteral("param1")).toInt();
            if (command == 0x49 && param1 == 0xFE)
                exchanges += c.value(QStringLiteral("count")).toInt();
            if (command == 0x48 && param1 == 0x00)
                handshakes += c.value(QStringLiteral("count")).toInt();
        }
        QVERIFY(handshakes > 0);
        // Up to the last cycle told, and the one with all outputs off that
        // left force mode; one more may have come before the request to leave.
        QVERIFY2(exchanges == last + 1 || exchanges == last + 2,
                 qPrintable(QStringLiteral("%1 exchanges, the last cycle told %2").arg(exchanges).arg(last)));
    }

    // upgrade as the program runs it on the upgrade bus, with an upgrade file
    // the tools' script writes: its statuses and messages, the refusal to ask
    // on a standard input that is no terminal, and Ctrl-C mid-transfer.
    void upgrade_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QJsonArray>("faults"); // of adapter 3C2E0A000011
        QTest::addColumn<QString>("when");      // SIGINT once standard output holds this; empty: never
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList a{"--adapter", "3C2E0A000011"};
        QTest::newRow("one adapter") << "2.2.0" << 5000 << a << QJsonArray() << "" << 0
                                     << "TBC-U100 (MAC: 3C2E0A000011) upgrade done!\n3C2E0A000011: App V2.1.7 -> V2.2.0\n"
                                     << "";
        QTest::newRow("one adapter, Chinese") << "2.2.0" << 5000 << QStringList{"--lang", "zh"} + a << QJsonArray() << "" << 0
                                              << "TBC-U100 (MAC:3C2E0A000011) 程序升级完成!\n3C2E0A000011: App V2.1.7 -> V2.2.0\n"
                                              << "upgrade: TBC-U100 (MAC:3C2E0A000011) 程序写入完成!设备重启中请稍后。";
        QTest::newRow("refused") << "3.1.0" << 5000 << QStringList{"--adapter", "3C2E0A000014"} << QJsonArray() << "" << 1
                                 << "" << "upgrade:   Device TBC-U100 (MAC: 3C2E0A000014): upgrade failed   (refused or not acknowledged";
        QTest::newRow("refused, Chinese") << "3.1.0" << 5000 << QStringList{"--lang", "zh", "--adapter", "3C2E0A000014"}
                                          << QJsonArray() << "" << 1 << ""
                                          << "upgrade:   设备TBC-U100(MAC:3C2E0A000014),升级失败  (被拒绝或未确认; 适配器停留在引导程序中,直到再次升级)";
        // Standard input is a pipe here: the question is not asked, nothing hangs.
        QTest::newRow("downgrade without --yes") << "2.0.0" << 5000 << a << QJsonArray() << "" << 2 << "V2.1.7  older"
                                                 << "give --yes to upgrade all the same";
        QTest::newRow("downgrade with --yes") << "2.0.0" << 5000 << a + QStringList{"--yes"} << QJsonArray() << "" << 0
                                              << "3C2E0A000011: App V2.1.7 -> V2.0.0" << "";
        // Every block announcement answered a little late: the transfer
        // lasts long enough to be interrupted in the middle.
        const QJsonArray slow{QJsonObject{{"kind", "slowReply"}, {"command", "0xA2"}, {"delayMs", 20}}};
        QTest::newRow("SIGINT mid-transfer") << "2.2.0" << 200000 << a + QStringList{"--json"} << slow
                                             << "\"percent\":1," << 130 << "{\"code\":\"upgrade.cancelled\",\"event\":\"cancelled\""
                                             << "the adapter stays in its boot loader until it is upgraded again";
    }
    void upgrade()
    {
        QFETCH(QString, version);
        QFETCH(int, bodySize);
        QFETCH(QStringList, args);
        QFETCH(QJsonArray, faults);
        QFETCH(QString, when);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        const QString file = m_dir.filePath(QStringLiteral("firmware.dec"));
        QCOMPARE(QProcess::execute(python, {QStringLiteral("tools/make_upgrade_file.py"), QStringLiteral("--body-size"),
                                            QString::number(bodySize), QStringLiteral("--version"),
                                            QStringLiteral("TBC ") + version, file}),
                 0);
        const QString bus = writeBus(m_dir, faults, kUpgradeBus);
        bool sent = false;
        const Run run = runProgram(QStringList{"--bus", bus, "--fast-timing", "upgrade", file} + args,
                                   when.isEmpty() ? std::function<void(QProcess &, const QString &)>()
                                                  : signalOn(when, SIGINT, &sent));
        QVERIFY2(run.out.contains(out), qPrintable(run.out.right(500)));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, status);
        QCOMPARE(sent, !when.isEmpty());
    }

private:
    QTemporaryDir m_dir;
    QString m_bus;
};

QTEST_GUILESS_MAIN(TestCliProcess)
#include "tst_cli_process.moc"
