// The commands of tarnbus-cli driven in-process against the virtual adapter
// with the demonstration bus: what each prints and returns, what reaches the
// bus, the failures of the bus and the bad input that writes nothing.

#include "../adapter/AdapterHarness.h"
#include "CliTestSupport.h"
#include "HidAccessSupport.h"

#include "ConfigCsv.h"
#include "DataFolders.h"
#include "ScrambledXml.h"
#include "TestFiles.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <csignal>
#include <functional>

using namespace harness;
using namespace clitest;

Q_DECLARE_METATYPE(tbsim::FaultKind)

namespace {

// Requests that change a module or the adapter.
int writes(const tbsim::VirtualAdapter &sim)
{
    return sim.requestCount(0x47, 0x00, 0x02) + sim.requestCount(0x46) + sim.requestCount(0x27, 0x10)
           + sim.requestCount(0x48, 0x05) + sim.requestCount(0x42);
}

tbsim::Module moduleOf(const char *uid)
{
    return simAdapter().module(uid).value_or(tbsim::Module{});
}

QByteArray configurationFile(const QStringList &lines)
{
    return appcore::ConfigCsv::encode(appcore::ConfigCsv::Form::WithUid, lines);
}

// A line of the configuration file for a module of the demonstration bus.
QString uidLine(const QString &type, int station, int inBegin, int inChannels, int outBegin, int outChannels,
                const QString &ident, const QByteArray &uid)
{
    return QStringLiteral("%1,%2,1,%3,%4,%5,%6,0,0,0,%7,%8")
        .arg(type)
        .arg(station)
        .arg(inBegin)
        .arg(inChannels)
        .arg(outBegin)
        .arg(outChannels)
        .arg(ident, QString::fromLatin1(uid.toHex().toUpper()));
}

// Loads a bus file of the repository after edit has changed its adapters.
QString loadEditedBus(const QString &path, const std::function<void(QJsonArray &adapters)> &edit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + path;
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
    edit(adapters);
    root.insert(QLatin1String("adapters"), adapters);
    QTemporaryDir dir;
    const QString edited = dir.filePath(QStringLiteral("bus.json"));
    QFile out(edited);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson()) <= 0)
        return QStringLiteral("cannot write ") + edited;
    out.close();
    return loadBus(edited);
}

// The demonstration adapter and a second one with another serial number.
void addSecondAdapter(QJsonArray &adapters, bool openElsewhere = false)
{
    QJsonObject second = adapters.at(0).toObject();
    second.insert(QLatin1String("serial"), QStringLiteral("3C2E0A000002"));
    if (openElsewhere)
        second.insert(QLatin1String("openElsewhere"), true);
    adapters.append(second);
}

} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        tarnbus::setLinkTiming(fastTiming());
        QVERIFY(QDir(QStringLiteral("Xml")).exists());
    }

    void init()
    {
        HidAccess::setSystem(testing_support::noDeviceNodes());
        QCOMPARE(loadBus(kDemoBus), QString());
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    // The user may not open the adapter's device: the commands say so and
    // name the udev rule, whether hidapi lists the adapter (which then
    // cannot be opened) or not.
    void permissionMissing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<int>("status");
        QTest::newRow("show, not listed") << QStringList{"show"} << false << 1;
        QTest::newRow("show, listed") << QStringList{"show"} << true << 1;
        QTest::newRow("settings, listed") << QStringList{"settings"} << true << 1;
        QTest::newRow("list, not listed") << QStringList{"list"} << false << 0;
        QTest::newRow("list, listed") << QStringList{"list"} << true << 0;
    }
    void permissionMissing()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, listed);
        QFETCH(int, status);
        if (listed)
            tbsim::bus().adapter(kDemoSerial.toStdString()).setOpenElsewhere(true);
        else
            tbsim::bus().reset();
        QTemporaryDir root;
        HidAccess::setSystem(testing_support::adapterNode(root, QStringLiteral("hidraw2")));

        const Run run = runCli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(HidAccess::commandLineText({root.filePath(QStringLiteral("dev/hidraw2"))})), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("/usr/lib/udev/rules.d/70-tarnbus-tester.rules")), qPrintable(run.err));
        // With the permission, the same bus says nothing of it.
        HidAccess::setSystem(testing_support::adapterNode(root, QStringLiteral("hidraw2"), true));
        QVERIFY(!runCli(args).err.contains(QStringLiteral("udev")));
    }

    // add-description: into the user's data folder, checked first, and
    // read from there first by the next command.
    void addDescription_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("landed"); // under the user's Xml folder; empty: nothing written
        const QByteArray family = testing_support::readAll(QStringLiteral("tests/fixtures/xml/TestFamily.xml"));
        QTest::newRow("plain") << family << "family.module.rev.xml" << 0 << "family.xml";
        QTest::newRow("scrambled") << ScrambledXml::scramble(family) << "family.xml" << 0 << "family.xml";
        QTest::newRow("not well-formed") << QByteArray("<TarnBusInfo><TarnBus>") << "broken.xml" << 2 << "";
        QTest::newRow("no module") << QByteArray("<?xml version=\"1.0\"?><TarnBusInfo/>") << "empty.xml" << 2 << "";
    }
    void addDescription()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(QString, landed);
        testing_support::clearTestFolders();
        QTemporaryDir dir;
        const QString source = clitest::writeFile(dir, name, bytes);
        const Run run = runCli({"add-description", source});
        QCOMPARE(run.status, status);
        const QString userXml = DataFolders::userFolder(DataFolders::kDescriptions);
        if (landed.isEmpty()) {
            QVERIFY2(run.err.contains(source), qPrintable(run.err));
            QCOMPARE(QDir(userXml).entryList(QDir::Files), QStringList());
            return;
        }
        QCOMPARE(run.out, QStringLiteral("%1 imported as %2/%3\n").arg(source, userXml, landed));
        QCOMPARE(testing_support::readAll(userXml + QLatin1Char('/') + landed), bytes);
        const Run listed = runCli({"descriptions"});
        QCOMPARE(listed.status, 0);
        QVERIFY2(listed.out.section(QLatin1Char('\n'), 1, 1).startsWith(userXml + QLatin1Char('/') + landed), qPrintable(listed.out));
        QVERIFY2(listed.out.contains(QStringLiteral("/Xml/TarnBUS-Digital.xml")), qPrintable(listed.out));
        testing_support::clearTestFolders();
    }

    // Each command on the demonstration bus: its exit status, what it says,
    // and whether anything was written to the adapter.
    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<bool>("written");
        QTest::newRow("list") << QStringList{"list"} << 0
                              << "3C2E0A000001  TarnBUS USB Adapter  1.00     TBC-U100  KX42B.0102  T1.0.3       V2.1.7" << ""
                              << false;
        QTest::newRow("show") << QStringList{"show"} << 0 << "12       TB-AI2AO2-V  AIAO   DA01B2C3D40C  352..383  192..223  run 0x01  -"
                              << "" << false;
        QTest::newRow("show: the local module") << QStringList{"show"} << 0 << "local    TB-DIO8-C    DIO    DA01B2C3D400  0..7"
                                                << "" << false;
        QTest::newRow("set-station") << QStringList{"set-station", "DA01B2C3D40D", "14"} << 0
                                     << "station 14 (TB-DI8-N, DA01B2C3D40D): station set to 14" << "" << true;
        QTest::newRow("set-io") << QStringList{"set-io", "3", "--in", "400"} << 0 << "inputs 400..407, outputs -" << ""
                                << true;
        QTest::newRow("set-io by UID") << QStringList{"set-io", "da01b2c3d409", "--out", "300"} << 0
                                       << "inputs -, outputs 300..363" << "" << true;
        QTest::newRow("set-param by value text") << QStringList{"set-param", "3", "filter level=20ms"} << 0
                                                 << "Filter level = 5 (20ms)" << "" << true;
        QTest::newRow("clear") << QStringList{"clear", "5"} << 0
                               << "module without station (TB-DI32-P, DA01B2C3D405): configuration cleared" << "" << true;
        QTest::newRow("lamp") << QStringList{"lamp", "7", "on"} << 0 << "station 7 (TB-DI8DO8-P, DA01B2C3D407): lamp on"
                              << "" << true;
        QTest::newRow("allocate") << QStringList{"allocate"} << 0 << "addresses allocated" << "" << true;
        QTest::newRow("download") << QStringList{"download"} << 0 << "configuration downloaded" << "" << true;
        QTest::newRow("store") << QStringList{"store"} << 0 << "read back after the restart: the bus holds what was stored" << ""
                               << true;
        QTest::newRow("settings") << QStringList{"settings"} << 0 << "站号分配模式      严格组态  (station-mode)" << "" << false;
        QTest::newRow("settings written") << QStringList{"settings", "di-filter=off", "站号分配模式=自由组态", "threshold=1500"} << 0
                                          << "settings written and read back after the restart" << "" << true;
        QTest::newRow("settings unchanged") << QStringList{"settings", "di-filter=on", "auto-reset=0"} << 0
                                            << "settings unchanged; nothing written" << "" << false;
        QTest::newRow("upgrade: no file") << QStringList{"upgrade", "no/such/firmware.dec"} << 2 << ""
                                          << "upgrade: no/such/firmware.dec: 非法的升级文件! cannot be read" << false;

        // Bad input: status 2 and nothing written.
        QTest::newRow("station 129") << QStringList{"set-station", "DA01B2C3D40D", "129"} << 2 << ""
                                     << "STATION is a number from 1 to 128, not \"129\"" << false;
        QTest::newRow("station taken") << QStringList{"set-station", "DA01B2C3D40D", "3"} << 2 << ""
                                       << "station 3 is taken by station 3 (TB-DI8-N, DA01B2C3D403)" << false;
        QTest::newRow("unknown UID") << QStringList{"set-station", "DA01B2C3D4FF", "20"} << 2 << ""
                                     << "no module with UID DA01B2C3D4FF" << false;
        QTest::newRow("bad UID") << QStringList{"set-station", "DA01-B2C3", "20"} << 2 << ""
                                 << "\"DA01-B2C3\" is neither a station number nor a UID" << false;
        QTest::newRow("unknown station") << QStringList{"clear", "99"} << 2 << "" << "no module at station 99" << false;
        QTest::newRow("shared station") << QStringList{"lamp", "4", "on"} << 2 << ""
                                        << "station 4 is shared by 2 modules (DA01B2C3D404, DA01B2C3D40E)" << false;
        QTest::newRow("area past 512") << QStringList{"set-io", "3", "--in", "508"} << 2 << ""
                                       << "--in 508: the inputs would take bits 508..515, past the 512-bit image" << false;
        QTest::newRow("16-bit channels past 512") << QStringList{"set-io", "8", "--in", "460"} << 2 << ""
                                                  << "the inputs would take bits 460..523" << false;
        QTest::newRow("area over another") << QStringList{"set-io", "3", "--in", "8"} << 2 << ""
                                           << "bits 8..15 overlap: station 1 (TB-DI16-P, DA01B2C3D401) uses 8..23" << false;
        QTest::newRow("no inputs") << QStringList{"set-io", "2", "--in", "400"} << 2 << ""
                                   << "station 2 (TB-DO16-T, DA01B2C3D402) has no inputs" << false;
        QTest::newRow("fixed channels") << QStringList{"set-io", "3", "--in", "400:4"} << 2 << ""
                                        << "has 8 channels; its channel count cannot be changed" << false;
        QTest::newRow("unknown parameter") << QStringList{"set-param", "3", "Foo=1"} << 2 << ""
                                           << "has no parameter \"Foo\"; its parameters: \"Filter level\"" << false;
        QTest::newRow("parameter value") << QStringList{"set-param", "3", "Filter level=9"} << 2 << ""
                                         << "\"9\" is no value of \"Filter level\"; it takes 0 (关闭)" << false;
        QTest::newRow("module without description") << QStringList{"set-param", "11", "Filter level=1"} << 2 << ""
                                                    << "has no description of its own" << false;
        QTest::newRow("force: no outputs") << QStringList{"force", "--set", "3:0=1"} << 2 << ""
                                           << "station 3 (TB-DI8-N, DA01B2C3D403) has no outputs" << false;
        QTest::newRow("force: channel") << QStringList{"force", "--set", "2:16=1"} << 2 << ""
                                        << "has output channels 0 to 15, not 16" << false;
        QTest::newRow("force: value") << QStringList{"force", "--set", "2:0=2"} << 2 << "" << "takes 0 to 1" << false;
        QTest::newRow("force: syntax") << QStringList{"force", "--set", "2-0=1"} << 2 << ""
                                       << "--set takes STATION:CHANNEL=VALUE, not \"2-0=1\"" << false;
        QTest::newRow("settings: name") << QStringList{"settings", "di-filter=off", "speed=3"} << 2 << ""
                                        << "\"speed=3\" names no setting" << false;
        QTest::newRow("settings: option") << QStringList{"settings", "output-on-error=keep"} << 2 << ""
                                          << "现场总线输出错误 is 清零 or 保持, not \"keep\"" << false;
        QTest::newRow("settings: threshold") << QStringList{"settings", "di-filter=off", "threshold=200"} << 2 << ""
                                             << "阈值须在201到2999之间: 200" << false;
        QTest::newRow("lamp: state") << QStringList{"lamp", "7", "blink"} << 2 << "" << "not \"blink\"" << false;
        QTest::newRow("option of another command") << QStringList{"show", "--uid"} << 2 << "" << "Unknown option 'uid'" << false;
        QTest::newRow("too many arguments") << QStringList{"clear", "3", "4"} << 2 << "" << "usage: tarnbus-cli clear STATION"
                                            << false;
        QTest::newRow("alignment") << QStringList{"--alignment", "2", "show"} << 2 << "" << "--alignment is 1 (bits) or 8" << false;
        QTest::newRow("fast timing without bus") << QStringList{"show", "--fast-timing"} << 2 << ""
                                                 << "--fast-timing is only for the virtual adapter" << false;
        QTest::newRow("no such adapter") << QStringList{"--adapter", "3C2E0A0000FF", "show"} << 1 << ""
                                         << "no adapter 3C2E0A0000FF on USB (found: 3C2E0A000001)" << false;
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(bool, written);
        const Run run = runCli(args);
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, status);
        QCOMPARE(writes(simAdapter()) > 0, written);
        QCOMPARE(simAdapter().forceMode(), false);
    }

    // Each failure class of the bus ends with status 1 and the window's
    // message for the result.
    void busFailures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<tbsim::FaultKind>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("param1");
        QTest::addColumn<QString>("err");
        const QStringList station{"set-station", "DA01B2C3D40D", "14"};
        // Each operation says what failed in its own words, and why.
        QTest::newRow("refused") << station << tbsim::FaultKind::Refuse << 0x47 << 0x00
                                 << "修改从站站号失败: 适配器拒绝执行! (refused by the adapter)";
        QTest::newRow("time-out") << station << tbsim::FaultKind::NoReply << 0x47 << 0x00 << "修改从站站号失败: 通信超时! (time-out)";
        QTest::newRow("checksum") << station << tbsim::FaultKind::BadChecksum << 0x47 << 0x00
                                  << "修改从站站号失败: CRC校验错误! (checksum error)";
        QTest::newRow("unplugged") << station << tbsim::FaultKind::UnplugMidway << 0x47 << 0x00 << "(link lost)";
        QTest::newRow("download refused") << QStringList{"download"} << tbsim::FaultKind::Refuse << 0x47 << 0x00
                                          << "下载配置失败: 适配器拒绝执行! (refused by the adapter)";
        QTest::newRow("force on lost") << QStringList{"force", "--set", "2:0=1"} << tbsim::FaultKind::NoReply << 0x48 << 0x05
                                       << "进入强制模式失败: 通信超时! (time-out)";
        QTest::newRow("lamp time-out") << QStringList{"lamp", "7", "on"} << tbsim::FaultKind::NoReply << 0x27 << 0x10
                                       << "点灯失败: 通信超时! (time-out)";
        QTest::newRow("store time-out") << QStringList{"store"} << tbsim::FaultKind::NoReply << 0x46 << 0x34
                                        << "保存组态失败: 通信超时! (time-out)";
        // A refused read gives no data: the settings are unknown and none
        // are written over the adapter's own.
        QTest::newRow("settings unread") << QStringList{"settings", "threshold=1500"} << tbsim::FaultKind::Refuse << 0x22 << -1
                                         << "读取适配器参数失败: 适配器拒绝执行! 参数未知,不可修改。 (refused by the adapter)";
        QTest::newRow("no handshake") << QStringList{"show"} << tbsim::FaultKind::NotReady << 0x48 << 0x00
                                      << "TARNBUS通信中断,请检查USB!  (link lost)";
    }
    void busFailures()
    {
        QFETCH(QStringList, args);
        QFETCH(tbsim::FaultKind, fault);
        QFETCH(int, code);
        QFETCH(int, param1);
        QFETCH(QString, err);
        tbsim::FaultRule rule;
        rule.kind = fault;
        rule.code = code;
        rule.param1 = param1;
        simAdapter().addFault(rule);
        const tbsim::AdapterConfig before = simAdapter().config();
        const Run run = runCli(args);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, 1);
        QCOMPARE(simAdapter().forceMode(), false);
        // Nothing refused was done: the adapter's settings are as they were.
        if (fault == tbsim::FaultKind::Refuse) {
            QCOMPARE(simAdapter().settings(), before.settings);
            QCOMPARE(simAdapter().threshold(), before.threshold);
        }
    }

    // What a settings write sends: the switches in bits 0 to 3, the rest of
    // the settings byte as the adapter had it, and the threshold.
    void settingsReachTheAdapter()
    {
        QCOMPARE(simAdapter().settings(), quint8(0x01));
        QCOMPARE(runCli({"settings", "output-on-error=hold", "station-mode=1"}).status, 0);
        QCOMPARE(simAdapter().settings(), quint8(0x0D));
        QCOMPARE(simAdapter().threshold(), quint16(1000));
        QCOMPARE(runCli({"settings", "threshold=2999"}).status, 0);
        QCOMPARE(simAdapter().threshold(), quint16(2999));
        QCOMPARE(simAdapter().settings(), quint8(0x0D));
    }

    // 128 modules with stations and one without: more than the adapter can
    // keep, so nothing is stored.
    void storeRefusesMoreThan128Modules()
    {
        QString serial;
        QCOMPARE(loadEditedBus(kFullBus,
                               [&serial](QJsonArray &adapters) {
                                   QJsonObject adapter = adapters.at(0).toObject();
                                   QJsonArray modules = adapter.value(QLatin1String("modules")).toArray();
                                   QJsonObject extra = modules.at(0).toObject();
                                   extra.remove(QLatin1String("inputs"));
                                   extra.insert(QLatin1String("uid"), QStringLiteral("F12800000999"));
                                   extra.insert(QLatin1String("station"), 0);
                                   modules.append(extra);
                                   adapter.insert(QLatin1String("modules"), modules);
                                   adapters[0] = adapter;
                                   serial = adapter.value(QLatin1String("serial")).toString();
                               }),
                 QString());

        const Run run = runCli({"store", "--adapter", serial});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("送站数量超出128个,不可保存! (129 modules on the bus)")), qPrintable(run.err));
        QCOMPARE(simAdapter(serial).requestCount(0x46), 0);
    }

    // Each adapter on USB is asked who it is; one that another program
    // holds is listed without an answer.
    void listAsksEachAdapter()
    {
        QCOMPARE(loadEditedBus(kDemoBus, [](QJsonArray &adapters) { addSecondAdapter(adapters, true); }), QString());

        const Run run = runCli({"list", "--json"});
        QCOMPARE(run.status, 0);
        const QJsonArray listed = QJsonDocument::fromJson(run.out.toUtf8()).object().value(QLatin1String("adapters")).toArray();
        QCOMPARE(listed.size(), 2);
        const QJsonObject first = listed.at(0).toObject();
        QCOMPARE(first.value(QLatin1String("answer")).toString(), QStringLiteral("identified"));
        QCOMPARE(first.value(QLatin1String("identity")).toObject().value(QLatin1String("APPVersion")).toString(),
                 QStringLiteral("V2.1.7"));
        const QJsonObject second = listed.at(1).toObject();
        QCOMPARE(second.value(QLatin1String("serial")).toString(), QStringLiteral("3C2E0A000002"));
        QCOMPARE(second.value(QLatin1String("answer")).toString(), QStringLiteral("no answer"));
        QVERIFY(!second.contains(QLatin1String("identity")));
        QVERIFY(runCli({"list"}).out.contains(QStringLiteral("3C2E0A000002  TarnBUS USB Adapter  1.00     (no answer)  -")));
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    // With two adapters on USB a one-adapter command needs --adapter, once.
    void choosingTheAdapter()
    {
        QCOMPARE(loadEditedBus(kDemoBus, [](QJsonArray &adapters) { addSecondAdapter(adapters); }), QString());
        Run run = runCli({"show"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("2 adapters found (3C2E0A000001, 3C2E0A000002); choose one with --adapter SERIAL")),
                 qPrintable(run.err));
        run = runCli({"show", "--adapter", "3C2E0A000001", "--adapter", "3C2E0A000002"});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("this command talks to one adapter; --adapter is given 2 times")));
        run = runCli({"--adapter", "3C2E0A000002", "lamp", "7", "on"});
        QCOMPARE(run.status, 0);
        QVERIFY(tbsim::bus().adapter("3C2E0A000002").module("DA01B2C3D407")->lamp);
        QVERIFY(!simAdapter().module("DA01B2C3D407")->lamp);
    }

    // Two modules on the same bits: the download is refused before anything
    // is written.
    void downloadRefusedOverSharedBits()
    {
        QCOMPARE(loadEditedBus(kDemoBus,
                               [](QJsonArray &adapters) {
                                   QJsonObject adapter = adapters.at(0).toObject();
                                   QJsonArray modules = adapter.value(QLatin1String("modules")).toArray();
                                   for (int i = 0; i < modules.size(); ++i) {
                                       QJsonObject module = modules.at(i).toObject();
                                       if (module.value(QLatin1String("uid")).toString() == QLatin1String("DA01B2C3D403")) {
                                           module.insert(QLatin1String("inStart"), 16); // over the DI16's 8..23
                                           modules[i] = module;
                                       }
                                   }
                                   adapter.insert(QLatin1String("modules"), modules);
                                   adapters[0] = adapter;
                               }),
                 QString());
        const Run run = runCli({"download"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("地址冲突,下载配置失败! (modules share bits; nothing was written)")),
                 qPrintable(run.err));
        QCOMPARE(writes(simAdapter()), 0);
    }

    // --seconds and --hold end the watch and the hold by themselves.
    void timedEnds()
    {
        Run run = runCli({"watch", "--seconds", "0.5"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("connected")), qPrintable(run.out));
        run = runCli({"force", "--set", "2:0=1", "--hold", "0.5"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.endsWith(QStringLiteral("force mode left\n")));
        QCOMPARE(simAdapter().forceMode(), false);
        QCOMPARE(bytesOfOutputs("DA01B2C3D402"), QByteArray(2, '\0'));
    }

    void noAdapter()
    {
        tbsim::bus().reset();
        const Run run = runCli({"show"});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(QStringLiteral("no TarnBUS adapter found on USB")));
        QCOMPARE(runCli({"list"}).status, 0);
    }

    // What the commands change is what the bus then holds.
    void changesReachTheModules()
    {
        QCOMPARE(runCli({"set-station", "DA01B2C3D40D", "14"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D40D").station, 14);
        QCOMPARE(runCli({"set-io", "3", "--in", "400"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D403").inStart, 400);
        QCOMPARE(runCli({"set-io", "DA01B2C3D400", "--in", "496:8", "--out", "504"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D400").inStart, 496); // the local module, by station
        QCOMPARE(moduleOf("DA01B2C3D400").outStart, 504);
        QCOMPARE(runCli({"set-param", "3", "Filter level=2"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D403").params[0] >> 4, 2);
        QCOMPARE(runCli({"clear", "5"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D405").station, 0);
        QCOMPARE(runCli({"lamp", "7", "on"}).status, 0);
        QVERIFY(moduleOf("DA01B2C3D407").lamp);
        QCOMPARE(runCli({"lamp", "7", "off"}).status, 0);
        QVERIFY(!moduleOf("DA01B2C3D407").lamp);
    }

    // A module's areas are those it holds, not those its description offers:
    // no channels means no area, nothing to force, and no conflict made up.
    void areasAreWhatTheModulesHold()
    {
        // The DIO16 with diagnostics (16 channels and one extra each way) is
        // given no output channels.
        tbsim::Module dio = moduleOf("DA01B2C3D406");
        QVERIFY(simAdapter().removeModule(dio.uid));
        dio.outChannels = 0;
        dio.outStart = 0;
        QCOMPARE(QString::fromStdString(simAdapter().addModule(dio)), QString());

        Run run = runCli({"show"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("6        TB-DIO16-D   DIO    DA01B2C3D406  64..80    -  ")), qPrintable(run.out));
        run = runCli({"force", "--set", "6:1=1"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("holds no output area; its outputs cannot be forced")), qPrintable(run.err));
        QCOMPARE(simAdapter().requestCount(0x48, 0x05), 0);
        // Its station moves without an area taken from anyone.
        run = runCli({"set-station", "6", "20"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("inputs 64..80, outputs -")), qPrintable(run.out));
        QCOMPARE(moduleOf("DA01B2C3D406").outChannels, 0);
        // The bits its description would have given it are free for another.
        QCOMPARE(runCli({"set-io", "2", "--out", "32"}).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D402").outStart, 32);

        // A cleared module holds nothing; a changed channel count is what it holds.
        QCOMPARE(runCli({"clear", "5"}).status, 0);
        run = runCli({"show"});
        QVERIFY2(run.out.contains(QStringLiteral("-        TB-DI32-P    DI     DA01B2C3D405  -         -")), qPrintable(run.out));
        run = runCli({"set-io", "DA01B2C3D400", "--in", "400:4"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("inputs 400..403")), qPrintable(run.out));
        QCOMPARE(moduleOf("DA01B2C3D400").inChannels, 4);
    }

    // A store is read back once the adapter is back: a module that did not
    // come back with it is a difference, and the store is not a success.
    void storeReadBackFindsAMissingModule()
    {
        bool removed = false;
        const Run run = runCli({"store"}, false, [&removed](Cli &, const QString &) {
            if (!removed && simAdapter().requestCount(0x46, 0x34, 0x12) > 0)
                removed = simAdapter().removeModule("DA01B2C3D407");
        });
        QVERIFY(removed);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("read back after the restart: 站号7 TB-DI8DO8-P (DA01B2C3D407) 重启后不在总线上")),
                 qPrintable(run.err));
        QVERIFY(!run.out.contains(QStringLiteral("the bus holds what was stored")));
    }

    void repairedStationsAreDistinct()
    {
        const Run run = runCli({"repair-stations"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(QStringLiteral("module without station (TB-DI8-N, DA01B2C3D40D) gets station 14")), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("station 4 (TB-DO8-T, DA01B2C3D40E) gets station 15")));
        QMap<int, QString> stations;
        for (const tbsim::Module &m : simAdapter().modules()) {
            if (m.local)
                continue;
            QVERIFY2(!stations.contains(m.station), qPrintable(QString::fromStdString(m.uid)));
            stations.insert(m.station, QString::fromStdString(m.uid));
        }
        // A bus without repeated stations is left alone.
        simAdapter().clearTraffic();
        const Run again = runCli({"repair-stations"});
        QCOMPARE(again.status, 0);
        QVERIFY(again.out.contains(QStringLiteral("no repeated stations")));
        QCOMPARE(writes(simAdapter()), 0);
    }

    void allocationFillsTheImage()
    {
        const Run run = runCli({"--alignment", "8", "allocate"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.contains(QStringLiteral("the modules take")));
        // Every area of a module with a kind of its own starts on a byte.
        for (const tbsim::Module &m : simAdapter().modules()) {
            if (m.typeCode == 0x7E57 || m.typeCode == 0x2301)
                continue;
            QCOMPARE(m.inChannels ? m.inStart % 8 : 0, 0);
            QCOMPARE(m.outChannels ? m.outStart % 8 : 0, 0);
        }
        QVERIFY(!runCli({"download"}).err.contains(QStringLiteral("share")));
    }

    // Outputs reach the wired inputs; force mode is left at the end.
    void forceWritesAndReadsBack()
    {
        const Run run = runCli({"force", "--set", "2:0=1", "--set", "9:0=1000"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("  station 1 (TB-DI16-P, DA01B2C3D401): 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0")),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("  station 8 (TB-AI4-I, DA01B2C3D408): 1000 0 0 0")));
        QVERIFY(run.out.endsWith(QStringLiteral("force mode left\n")));
        QCOMPARE(simAdapter().forceMode(), false);
        QCOMPARE(simAdapter().requestCount(0x23), 1);
        QCOMPARE(bytesOfOutputs("DA01B2C3D402"), QByteArray(2, '\0'));
    }

    // Ctrl-C while forcing: the hold ends, force mode is left, the link closed.
    void forceLeavesForceModeOnSigint()
    {
        tbsim::VirtualAdapter sim = simAdapter();
        bool raised = false;
        const Run run = runCli({"force", "--set", "2:0=1", "--hold", "600"}, false, [&](Cli &, const QString &out) {
            if (!raised && out.contains(QStringLiteral("station 1 (TB-DI16-P, DA01B2C3D401) inputs 1"))) {
                raised = true;
                std::raise(SIGINT);
            }
        });
        QVERIFY(raised);
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.endsWith(QStringLiteral("force mode left\n")));
        QCOMPARE(sim.forceMode(), false);
        QCOMPARE(sim.requestCount(0x23), 1);
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
    }

    void interruptWhileConnecting()
    {
        tbsim::FaultRule slow;
        slow.kind = tbsim::FaultKind::NoReply;
        slow.code = 0x48;
        simAdapter().addFault(slow);
        const Run run = runCli({"show"}, false, [](Cli &cli, const QString &) {
            if (simAdapter().requestCount(0x48) > 0)
                cli.interrupt();
        });
        QCOMPARE(run.status, 130);
        QVERIFY(run.err.contains(QStringLiteral("interrupted while connecting")));
    }

    void watchReportsChanges()
    {
        tbsim::VirtualAdapter sim = simAdapter();
        tbsim::Module added = moduleOf("DA01B2C3D403");
        added.uid = "DA01B2C3D4A0";
        added.station = 20;
        added.inStart = 400;
        bool plugged = false;
        bool faulted = false;
        const Run run = runCli({"watch", "--json"}, false, [&](Cli &cli, const QString &out) {
            if (!plugged && out.contains(QStringLiteral("\"connected\""))) {
                plugged = true;
                QCOMPARE(sim.addModule(added), std::string());
            }
            if (!faulted && out.contains(QStringLiteral("\"added\""))) {
                faulted = true;
                sim.setFault("DA01B2C3D401", 0x04);
                sim.removeModule("DA01B2C3D403");
            }
            if (out.contains(QStringLiteral("\"fault\"")) && out.contains(QStringLiteral("\"gone\"")))
                cli.interrupt();
        });
        QCOMPARE(run.status, 0);
        QStringList events;
        for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            QVERIFY2(!object.isEmpty(), qPrintable(line));
            events << object.value(QStringLiteral("event")).toString() + QLatin1Char(' ')
                          + object.value(QStringLiteral("uid")).toString();
        }
        QVERIFY2(events.contains(QStringLiteral("added DA01B2C3D4A0")), qPrintable(events.join(QLatin1Char('|'))));
        QVERIFY(events.contains(QStringLiteral("fault DA01B2C3D401")));
        QVERIFY(events.contains(QStringLiteral("gone DA01B2C3D403")));
    }

    void watchText()
    {
        const Run run = runCli({"watch", "--seconds", "600"}, false, [](Cli &cli, const QString &out) {
            if (out.contains(QStringLiteral("connected")))
                cli.interrupt();
        });
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral(" connected to 3C2E0A000001: 16 modules\n")), qPrintable(run.out));
        QCOMPARE(runCli({"watch", "--seconds", "-1"}).status, 2);
    }

    // A file exported from the bus brings the bus back to it, in either
    // form: every module's station, areas, channels and parameters as the
    // adapter holds them. Without UIDs the adapter's own module is named by
    // its type; the module without a station cannot be named, its line is
    // skipped with a warning, and it keeps what it has.
    void exportThenImportGivesTheConfigurationBack_data()
    {
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<QList<QStringList>>("edits"); // made after the export, undone by the import
        QTest::addColumn<QString>("skipped");          // a warning on standard error; empty: none
        const QList<QStringList> common{{"set-io", "DA01B2C3D400", "--in", "400"},
                                        {"set-io", "DA01B2C3D40E", "--out", "300"},
                                        {"set-io", "3", "--in", "440"},
                                        {"set-param", "3", "Filter level=1"}};
        QTest::newRow("with UIDs") << true << common + QList<QStringList>{{"clear", "2"}, {"set-io", "DA01B2C3D40D", "--in", "480"}}
                                   << QString();
        QTest::newRow("without UIDs") << false << common
                                      << "warning: %1:3: 站点0 *TB-DI8-N 没有站号也没有UID,无法对应从站(只能对应同类型的本地模块),已跳过该行";
    }
    void exportThenImportGivesTheConfigurationBack()
    {
        QFETCH(bool, withUid);
        QFETCH(QList<QStringList>, edits);
        QFETCH(QString, skipped);
        QTemporaryDir dir;
        const QString before = dir.filePath(QStringLiteral("before.csv"));
        const QString after = dir.filePath(QStringLiteral("after.csv"));
        const QStringList form = withUid ? QStringList{"--uid"} : QStringList{};
        QCOMPARE(runCli(QStringList{"export", before} + form).status, 0);
        const std::vector<tbsim::Module> original = simAdapter().modules();

        for (const QStringList &edit : edits)
            QCOMPARE(runCli(edit).status, 0);
        QCOMPARE(moduleOf("DA01B2C3D400").inStart, 400);
        QCOMPARE(moduleOf("DA01B2C3D40E").outStart, 300);

        // Without --apply nothing is written.
        simAdapter().clearTraffic();
        const Run check = runCli({"import", before});
        QCOMPARE(check.status, 0);
        QVERIFY(check.out.contains(QStringLiteral("line 2: 站点0 %1TB-DIO8-C 导入数据成功!").arg(withUid ? "" : "*")));
        QVERIFY(check.out.contains(QStringLiteral("line 5: 站点2 %1TB-DO16-T 导入数据成功!").arg(withUid ? "" : "*")));
        QCOMPARE(writes(simAdapter()), 0);

        const Run applied = runCli({"import", before, "--apply"});
        QVERIFY2(applied.status == 0, qPrintable(applied.err));
        if (skipped.isEmpty())
            QVERIFY2(!applied.err.contains(QStringLiteral("warning")), qPrintable(applied.err));
        else
            QVERIFY2(applied.err.contains(skipped.arg(before)), qPrintable(applied.err));
        QVERIFY(applied.out.contains(QStringLiteral("configuration imported and written to the adapter")));

        // What the adapter holds is what it held when the file was written.
        QCOMPARE(simAdapter().modules().size(), original.size());
        for (const tbsim::Module &m : original) {
            const tbsim::Module now = moduleOf(m.uid.c_str());
            const QByteArray uid = QByteArray::fromStdString(m.uid);
            QVERIFY2(now.station == m.station, uid.constData());
            QVERIFY2(now.inStart == m.inStart && now.outStart == m.outStart, uid.constData());
            QVERIFY2(now.inChannels == m.inChannels && now.outChannels == m.outChannels, uid.constData());
            QVERIFY2(now.params == m.params, uid.constData());
        }
        // And the tool writes the same file again.
        QCOMPARE(runCli(QStringList{"export", after} + form).status, 0);
        QFile a(before), b(after);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
    }

    void badFilesWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<QString>("err");
        const QString header = appcore::ConfigCsv::headerLine(appcore::ConfigCsv::Form::WithUid);
        const QString good = uidLine("TB-DI8-N", 3, 24, 8, 0, 0, "#00001101", "DA01B2C3D403");
        QTest::newRow("malformed line") << configurationFile({good, "TB-DI8-N,3,1,x"}) << true
                                        << "bus.csv:3: 4 fields; a line of this file needs 12";
        QTest::newRow("not a number") << configurationFile({good, uidLine("TB-DI8-N", 3, 24, 8, 0, 0, "#00001101", "X").replace(",24,", ",2x,")})
                                      << true << "bus.csv:3: 输入起始地址 (InputBeginAddress): \"2x\" is not a number";
        QTest::newRow("bad UID") << configurationFile({uidLine("TB-DI8-N", 3, 24, 8, 0, 0, "#00001101", "").append("ZZZZZZ")})
                                 << true << "bus.csv:2: 设备UID: \"ZZZZZZ\" is not a UID";
        QTest::newRow("address past the image") << configurationFile({uidLine("TB-DI8-N", 3, 508, 8, 0, 0, "#00001101", "DA01B2C3D403")})
                                                << true << "begin 508: the area would end at bit 516";
        QTest::newRow("station out of range") << configurationFile({uidLine("TB-DI8-N", 129, 24, 8, 0, 0, "#00001101", "DA01B2C3D403")})
                                              << true << "station 129 is outside 1..128";
        QTest::newRow("header") << (QStringLiteral("DeviceType,SlaveID\n") + good).toUtf8() << true
                                << "bus.csv:1: header field 3 is \"\"";
        QTest::newRow("no such module") << configurationFile({uidLine("TB-DI8-N", 3, 24, 8, 0, 0, "#00001101", "DA01B2C3D4FF")})
                                        << true << "bus.csv:2: 站点3 TB-DI8-N无匹配类型，导入数据失败!";
        QTest::newRow("type differs") << configurationFile({uidLine("TB-DI8-N", 2, 24, 8, 0, 0, "#00001101", "DA01B2C3D402")})
                                      << false << "bus.csv:2: 站点2 TB-DI8-N无匹配类型";
        QTest::newRow("areas overlap") << configurationFile({uidLine("TB-DI8-N", 3, 8, 8, 0, 0, "#00001101", "DA01B2C3D403")})
                                       << true << "station 1 (TB-DI16-P, DA01B2C3D401) and station 3 (TB-DI8-N, DA01B2C3D403) share inputs 8..15";
    }
    void badFilesWriteNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, apply);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("bus.csv"), bytes);
        QStringList args{"import", path};
        if (apply)
            args << "--apply";
        const Run run = runCli(args);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, 2);
        QCOMPARE(writes(simAdapter()), 0);
    }

    void jsonOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("lines"); // one object per line
        QTest::addColumn<QString>("key");
        const QString file = m_dir.filePath(QStringLiteral("json.csv"));
        QTest::newRow("list") << QStringList{"list", "--json"} << false << "adapters";
        QTest::newRow("show") << QStringList{"show", "--json"} << false << "modules";
        QTest::newRow("watch") << QStringList{"watch", "--json"} << true << "event";
        QTest::newRow("set-station") << QStringList{"set-station", "DA01B2C3D40D", "14", "--json"} << false << "module";
        QTest::newRow("set-io") << QStringList{"set-io", "3", "--in", "400", "--json"} << false << "module";
        QTest::newRow("set-param") << QStringList{"set-param", "3", "Filter level=1", "--json"} << false << "module";
        QTest::newRow("clear") << QStringList{"clear", "3", "--json"} << false << "module";
        QTest::newRow("lamp") << QStringList{"lamp", "3", "on", "--json"} << false << "module";
        QTest::newRow("allocate") << QStringList{"allocate", "--json"} << false << "modules";
        QTest::newRow("repair-stations") << QStringList{"repair-stations", "--json"} << false << "modules";
        QTest::newRow("download") << QStringList{"download", "--json"} << false << "modules";
        QTest::newRow("store") << QStringList{"store", "--json"} << false << "message";
        QTest::newRow("settings") << QStringList{"settings", "auto-reset=on", "--json"} << false << "settings";
        QTest::newRow("force") << QStringList{"force", "--set", "2:0=1", "--json"} << true << "event";
        QTest::newRow("export") << QStringList{"export", file, "--uid", "--json"} << false << "lines";
        QTest::newRow("import") << QStringList{"import", file, "--json"} << false << "modules";
    }
    void jsonOutput()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, lines);
        QFETCH(QString, key);
        // A watch runs until it is stopped.
        const Run run = runCli(args, false, [](Cli &cli, const QString &out) {
            if (out.contains(QStringLiteral("\"connected\"")))
                cli.interrupt();
        });
        QCOMPARE(run.status, 0);
        const QStringList documents = lines ? run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList{run.out};
        for (const QString &document : documents) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(document.toUtf8(), &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            QVERIFY2(object.contains(key), qPrintable(document));
            QVERIFY2(uncodedTexts(object).isEmpty(), qPrintable(uncodedTexts(object).join(QLatin1Char(' ')) + QLatin1Char('\n') + document));
        }
        if (args.first() == QLatin1String("export"))
            QVERIFY(QFile::exists(args.at(1)));
        if (args.first() == QLatin1String("show")) {
            const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
            QCOMPARE(object.value(QStringLiteral("modules")).toArray().size(), 16);
            QCOMPARE(object.value(QStringLiteral("adapter")).toObject().value(QStringLiteral("power")).toInt(), 24);
        }
    }

    void errorsAsJson()
    {
        const Run run = runCli({"clear", "99", "--json"});
        QCOMPARE(run.status, 2);
        const QJsonObject object = QJsonDocument::fromJson(run.err.toUtf8()).object();
        QCOMPARE(object.value(QStringLiteral("error")).toString(), QStringLiteral("no module at station 99"));
        QCOMPARE(object.value(QStringLiteral("status")).toInt(), 2);
        QCOMPARE(object.value(QStringLiteral("command")).toString(), QStringLiteral("clear"));
        QCOMPARE(object.value(QStringLiteral("code")).toString(), QStringLiteral("bad_usage"));
    }

    // Progress goes to a terminal only, and never with --quiet.
    void progress_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("shown");
        QTest::newRow("terminal") << true << false << true;
        QTest::newRow("terminal, quiet") << true << true << false;
        QTest::newRow("pipe") << false << false << false;
    }
    void progress()
    {
        QFETCH(bool, terminal);
        QFETCH(bool, quiet);
        QFETCH(bool, shown);
        QStringList args{"show"};
        if (quiet)
            args << "--quiet";
        const Run run = runCli(args, terminal);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err.contains(QStringLiteral("loading modules: 16")), shown);
        QVERIFY(!run.out.contains(QLatin1Char('\r')));
    }

    void helpForEveryCommand()
    {
        const Run all = runCli({"--help"});
        QCOMPARE(all.status, 0);
        for (const char *command : {"list", "show", "watch", "set-station", "set-io", "set-param", "clear", "allocate",
                                       "repair-stations", "download", "store", "settings", "lamp", "force", "export", "import", "upgrade"}) {
            QVERIFY2(all.out.contains(QStringLiteral("\n  %1 ").arg(command)), qPrintable(command));
            const Run help = runCli({command, "--help"});
            QCOMPARE(help.status, 0);
            QVERIFY(help.out.startsWith(QStringLiteral("Usage: tarnbus-cli [OPTIONS] %1").arg(command)));
            QVERIFY2(help.out.contains(QStringLiteral("Example:\n  tarnbus-cli ")), qPrintable(command));
            QCOMPARE(runCli({"help", command}).out, help.out);
        }
        QCOMPARE(writes(simAdapter()), 0);
    }

private:
    QTemporaryDir m_dir;

    static QByteArray bytesOfOutputs(const char *uid)
    {
        const tbsim::Bytes outputs = moduleOf(uid).outputs;
        return QByteArray(reinterpret_cast<const char *>(outputs.data()), int(outputs.size()));
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
