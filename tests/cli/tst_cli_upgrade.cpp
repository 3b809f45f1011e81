// tarnbus-cli upgrade in-process against the virtual adapters of the
// upgrade bus: one adapter and several at once, the image each received, the
// version it runs after its restart, the bad files and the adapters that
// cannot be upgraded (nothing written), the questions before a downgrade or
// the same version, refusals and faults on the bus, and Ctrl-C mid-transfer.

#include "../adapter/AdapterHarness.h"
#include "../upgrade/UpgradeFiles.h"
#include "CliTestSupport.h"

#include "BootLoaderControl.h"
#include "UpgradeFaults.h"
#include "FastTiming.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <csignal>

using namespace harness;
using namespace clitest;
using upgradetest::makeUpgradeFile;
using upgradetest::padded;
using testing_support::upgradeFault;
using testing_support::useShortUpgradeTiming;

namespace {

const QString kUpgradeBus = QStringLiteral("sim/buses/upgrade.json");
const QString kA = QStringLiteral("3C2E0A000011"); // App V2.1.7
const QString kB = QStringLiteral("3C2E0A000012"); // App V3.0.0
const QString kC = QStringLiteral("3C2E0A000013"); // App V2.2.0, left in its boot loader
const QString kD = QStringLiteral("3C2E0A000014"); // App V2.0.9, refuses the first check of its first image
const QStringList kAdapters{kA, kB, kC, kD};
constexpr int kBodySize = 5000;

tbsim::BootLoaderView bootLoader(const QString &serial)
{
    return tbsim::bootLoaderView(serial.toStdString());
}

QByteArray flashed(const QString &serial)
{
    const tbsim::Bytes image = bootLoader(serial).flashed;
    return QByteArray(reinterpret_cast<const char *>(image.data()), int(image.size()));
}

// The App version an adapter runs, as its information reply gives it.
QString appVersion(const QString &serial)
{
    const std::array<uint8_t, 3> app = bootLoader(serial).app;
    return QStringLiteral("%1.%2.%3").arg(app[0]).arg(app[1]).arg(app[2]);
}

// Nothing is written to an adapter before it is told to enter upgrade mode.
bool writtenTo(const QString &serial)
{
    return simAdapter(serial).requestCount(0xA0) > 0;
}

} // namespace

class TestCliUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing_support::useTestFolders();
        QVERIFY(m_dir.isValid());
        tarnbus::setLinkTiming(fastTiming());
    }

    void init()
    {
        useShortUpgradeTiming();
        QCOMPARE(loadBus(kUpgradeBus), QString());
    }

    void cleanup()
    {
        QCOMPARE(violations(), QStringList());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        tbsim::bus().reset();
    }

    // What each upgrade says and returns, which adapters got the file (the
    // image each boot loader reassembled equals it, and it runs the file's
    // version after its restart), and which had nothing written.
    void upgrade_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("setup"); // done to adapter A first
        QTest::addColumn<QByteArray>("typed"); // null: no terminal
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QStringList>("upgraded");
        QTest::addColumn<bool>("nothingWritten");

        const QStringList onlyA{"--adapter", kA};
        const QByteArray none;
        QTest::newRow("one adapter") << "2.2.0" << onlyA << "" << none << 0
                                     << "TBC-U100 (MAC:3C2E0A000011) 程序升级完成!\n3C2E0A000011: App V2.1.7 -> V2.2.0\n"
                                     << "" << QStringList{kA} << false;
        // C is a TBC-U200; the files here are for the TBC-U100.
        QTest::newRow("left in its boot loader") << "2.3.0" << QStringList{"--adapter", kC, "--any-category"} << "" << none << 0
                                                 << "TBC-U200 Coupler (MAC:3C2E0A000013) 程序升级完成!" << ""
                                                 << QStringList{kC} << false;
        QTest::newRow("several at once") << "3.1.0" << QStringList{"--adapter", kA, "--adapter", kB, "--adapter", kC, "--any-category"}
                                         << "" << none << 0 << "3C2E0A000012: App V3.0.0 -> V3.1.0" << ""
                                         << QStringList{kA, kB, kC} << false;
        // The others go on when one fails.
        QTest::newRow("all, one refuses") << "3.1.0" << QStringList{"--all", "--any-category"} << "" << none << 1
                                          << "3C2E0A000013: App V2.2.0 -> V3.1.0"
                                          << "upgrade:   设备TBC-U100(MAC:3C2E0A000014),升级失败   (refused or not "
                                             "acknowledged; the adapter stays in its boot loader"
                                          << QStringList{kA, kB, kC} << false;
        QTest::newRow("upgrade mode refused") << "2.2.0" << onlyA << "refuse 0xA0" << none << 1 << ""
                                              << "3C2E0A000011: 进入升级模式失败!  (refused or not answered" << QStringList{}
                                              << false;
        QTest::newRow("burning refused") << "2.2.0" << onlyA << "refuse 0xA7" << none << 1 << ""
                                         << "3C2E0A000011: 开始烧写失败!  (refused)" << QStringList{} << false;
        QTest::newRow("unplugged mid-transfer") << "2.2.0" << onlyA << "unplug" << none << 1 << ""
                                                << "TBC-U100 (MAC:3C2E0A000011) 升级中断。 (link lost" << QStringList{}
                                                << false;
        QTest::newRow("open in another program") << "2.2.0" << QStringList{"--adapter", kB, "--adapter", kA} << "busy"
                                                 << none << 1 << "3C2E0A000011  ?"
                                                 << "3C2E0A000011 cannot be opened: it is busy, open in the window or "
                                                    "another program"
                                                 << QStringList{} << true;
        QTest::newRow("no answer to the information request")
            << "2.2.0" << onlyA << "silent 0xB0" << none << 1 << ""
            << "设备信息异常,无法生升级!  (3C2E0A000011 did not answer the device information request)" << QStringList{}
            << true;

        // A file for another kind of adapter is refused, --yes or not.
        QTest::newRow("another category") << "2.3.0" << QStringList{"--adapter", kA, "--adapter", kC, "--yes"} << "" << none
                                          << 2 << ""
                                          << "3C2E0A000013: 升级包的类别是TBC-U100,设备类型是TBC-U200 Coupler,两者不符。 "
                                             "(the file is for TBC-U100, the adapter is a TBC-U200 Coupler; give "
                                             "--any-category to upgrade it all the same)"
                                          << QStringList{} << true;

        // The dialog's two questions.
        QTest::newRow("downgrade, no terminal") << "2.0.0" << onlyA << "" << none << 2 << "V2.1.7  older"
                                                << "TBC-U100 (MAC:3C2E0A000011) has App V2.1.7, the file 2.0.0: "
                                                   "升级包版本过低是否选择升级!  Standard input is not a terminal"
                                                << QStringList{} << true;
        QTest::newRow("same version, no terminal") << "2.1.7" << onlyA << "" << none << 2 << "V2.1.7  same"
                                                   << "升级包版本与设备版本一致,是否选择升级! " << QStringList{} << true;
        QTest::newRow("minor version lower") << "2.1.6" << onlyA << "" << none << 2 << "older"
                                             << "升级包版本过低是否选择升级! " << QStringList{} << true;
        // An adapter shows three numbers of the file's version.
        QTest::newRow("four-part version") << "2.2.0.7" << onlyA << "" << none << 0 << "App V2.1.7 -> V2.2.0"
                                           << "warning: 3C2E0A000011 reports App V2.2.0; the parts of the file's "
                                              "2.2.0.7 after the third are not shown by an adapter and were not checked"
                                           << QStringList{kA} << false;
        QTest::newRow("10 above 9") << "10.0.0" << QStringList{"--adapter", kB} << "" << none << 0 << "newer" << ""
                                    << QStringList{kB} << false;
        QTest::newRow("downgrade, --yes") << "2.0.0" << QStringList{"--adapter", kA, "--yes"} << "" << none << 0
                                          << "3C2E0A000011: App V2.1.7 -> V2.0.0" << "" << QStringList{kA} << false;
        QTest::newRow("downgrade, answered yes") << "2.0.0" << onlyA << "" << QByteArray("y\n") << 0
                                                 << "3C2E0A000011: App V2.1.7 -> V2.0.0"
                                                 << "has App V2.1.7, the file 2.0.0: 升级包版本过低是否选择升级!  [y/N]"
                                                 << QStringList{kA} << false;
        QTest::newRow("downgrade, answered no") << "2.0.0" << onlyA << "" << QByteArray("n\n") << 2 << ""
                                                << "3C2E0A000011 is not to be upgraded; nothing was written to any adapter"
                                                << QStringList{} << true;
        QTest::newRow("one of several answered no") << "3.0.0" << QStringList{"--adapter", kA, "--adapter", kB} << ""
                                                    << QByteArray("n\n") << 2 << "" << "3C2E0A000012 is not to be upgraded"
                                                    << QStringList{} << true;
        QTest::newRow("input ends unanswered") << "2.0.0" << onlyA << "" << QByteArray("") << 2 << ""
                                               << "is not to be upgraded" << QStringList{} << true;

        // Which adapters.
        QTest::newRow("several found, none chosen") << "2.2.0" << QStringList{} << "" << none << 2 << ""
                                                    << "4 adapters found (3C2E0A000011, 3C2E0A000012, 3C2E0A000013, "
                                                       "3C2E0A000014); choose with --adapter SERIAL, or --all"
                                                    << QStringList{} << true;
        QTest::newRow("--all and --adapter") << "2.2.0" << QStringList{"--all", "--adapter", kA} << "" << none << 2 << ""
                                             << "--all and --adapter exclude each other" << QStringList{} << true;
        QTest::newRow("no such adapter") << "2.2.0" << QStringList{"--adapter", "3C2E0A0000FF"} << "" << none << 1 << ""
                                         << "no adapter 3C2E0A0000FF on USB (found: 3C2E0A000011" << QStringList{}
                                         << true;
    }
    void upgrade()
    {
        QFETCH(QString, version);
        QFETCH(QStringList, args);
        QFETCH(QString, setup);
        QFETCH(QByteArray, typed);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QStringList, upgraded);
        QFETCH(bool, nothingWritten);

        const QByteArray content = makeUpgradeFile(kBodySize, "TBC " + version.toLatin1());
        const QString path = writeFile(content);
        tbsim::VirtualAdapter a = simAdapter(kA);
        if (setup == QLatin1String("refuse 0xA0"))
            a.addFault(upgradeFault(tbsim::FaultKind::Refuse, 0xA0));
        else if (setup == QLatin1String("refuse 0xA7"))
            a.addFault(upgradeFault(tbsim::FaultKind::Refuse, 0xA7));
        else if (setup == QLatin1String("silent 0xB0"))
            a.addFault(upgradeFault(tbsim::FaultKind::NoReply, 0xB0));
        else if (setup == QLatin1String("unplug"))
            a.addFault(upgradeFault(tbsim::FaultKind::UnplugMidway, 0xA3, 60, 20));
        else if (setup == QLatin1String("busy"))
            a.setOpenElsewhere(true);

        const std::optional<QByteArray> input = typed.isNull() ? std::nullopt : std::optional<QByteArray>(typed);
        const Run run = runCli(QStringList{"upgrade", path} + args, false, {}, input);
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.status, status);
        for (const QString &serial : kAdapters) {
            if (upgraded.contains(serial)) {
                QCOMPARE(flashed(serial), padded(content));
                QCOMPARE(appVersion(serial), version.section(QLatin1Char('.'), 0, 2));
            } else {
                QCOMPARE(bootLoader(serial).upgradesCompleted, 0);
            }
            if (nothingWritten)
                QVERIFY2(!writtenTo(serial), qPrintable(serial));
        }
    }

    // An upgrade counts once the adapter is back running the file's version;
    // back with another version, or not back in time, it failed (status 1),
    // and the others are not held up by it.
    void versionAfterTheRestart_data()
    {
        QTest::addColumn<QString>("setup"); // done to adapter A
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("app"); // what A runs afterwards

        QTest::newRow("back with the file's version")
            << "" << 0 << "TBC-U100 (MAC:3C2E0A000011) 程序升级完成!\n3C2E0A000011: App V2.1.7 -> V2.2.0\n" << "" << "2.2.0";
        QTest::newRow("back with the version it had")
            << "rolls back" << 1 << "3C2E0A000011: App V2.1.7 -> V2.1.7\n"
            << "upgrade:   设备TBC-U100(MAC:3C2E0A000011)重启后的版本为V2.1.7,不是升级包的版本2.2.0,升级失败   "
               "(3C2E0A000011 came back with App V2.1.7 instead of the file's 2.2.0)\n"
            << "2.1.7";
        QTest::newRow("not back")
            << "stays away" << 1 << ""
            << "upgrade:   设备TBC-U100(MAC:3C2E0A000011)重启后1秒内未重新连接,无法读取版本,升级失败   (3C2E0A000011 was "
               "not back on USB, answering, within 1 s of its restart; the version it runs is unknown)\n"
            << "2.2.0";
    }
    void versionAfterTheRestart()
    {
        QFETCH(QString, setup);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, app);
        if (setup == QLatin1String("rolls back"))
            QCOMPARE(loadBusWithA(QJsonObject{{"bootLoader", QJsonObject{{"rollsBack", true}}}}), QString());
        else if (setup == QLatin1String("stays away"))
            simAdapter(kA).setRestartMs(600000);
        // An adapter that does not come back is given up a little sooner here.
        tarnbus::LinkTiming::Upgrade waits = tarnbus::linkTiming().upgrade;
        waits.returnWaitMs = 300;
        testing_support::setUpgradeWaits(waits);

        const QByteArray content = makeUpgradeFile(kBodySize, "TBC 2.2.0");
        const Run run = runCli({"upgrade", writeFile(content), "--adapter", kA, "--adapter", kB, "--yes"});
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(run.out.contains(QStringLiteral("TBC-U100 (MAC:3C2E0A000011) 程序升级完成!")), status == 0);
        // The image went in either way; what runs is what was read.
        QCOMPARE(flashed(kA), padded(content));
        QCOMPARE(appVersion(kA), app);
        // B went through all the same.
        QVERIFY(run.out.contains(QStringLiteral("TBC-U100 (MAC:3C2E0A000012) 程序升级完成!\n3C2E0A000012: App V3.0.0 -> V2.2.0")));
        QCOMPARE(appVersion(kB), QStringLiteral("2.2.0"));
    }

    // A bad file: status 2 with the file and the problem, and nothing sent
    // to any adapter.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::addColumn<QString>("problem");
        const QByteArray valid = makeUpgradeFile(kBodySize);
        QByteArray category = valid;
        category[UpgradeFile::kCategoryOffset] = 'X';
        QByteArray body = valid;
        body[UpgradeFile::kHeaderSize + 100] = char(body.at(UpgradeFile::kHeaderSize + 100) ^ 0x01);
        QTest::newRow("unreadable") << QByteArray() << "cannot be read";
        QTest::newRow("shorter than its header") << valid.left(50) << "50 bytes, shorter than the 96-byte header";
        QTest::newRow("header CRC") << category << "the header's CRC-32 does not match the header";
        QTest::newRow("body CRC") << body << "the body's CRC-32 does not match the body";
        QTest::newRow("body shorter than declared") << valid.chopped(10)
                                                    << "the header declares a body of 5000 bytes, the file holds 4990";
        QTest::newRow("bytes after the body") << valid + "xyz" << "3 bytes follow the 5000-byte body the header declares";
    }
    void badFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const QString path = content.isNull() ? m_dir.filePath(QStringLiteral("missing.dec")) : writeFile(content);

        const Run run = runCli({"upgrade", path, "--all", "--yes"});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("upgrade: %1: 非法的升级文件! %2").arg(path, problem)), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());

        const Run json = runCli({"upgrade", path, "--all", "--yes", "--json"});
        QCOMPARE(json.status, 2);
        const QJsonObject error = QJsonDocument::fromJson(json.err.toUtf8()).object();
        QCOMPARE(error.value(QStringLiteral("file")).toString(), path);
        QVERIFY(error.value(QStringLiteral("error")).toString().contains(QStringLiteral("非法的升级文件! ") + problem));
        QCOMPARE(error.value(QStringLiteral("status")).toInt(), 2);
        QCOMPARE(error.value(QStringLiteral("code")).toString(), QStringLiteral("bad_file"));

        for (const QString &serial : kAdapters)
            QVERIFY2(simAdapter(serial).traffic().empty(), qPrintable(serial));
    }

    // Ctrl-C while a block waits for its acknowledgement: the upgrade is
    // cancelled, the adapter stays in its boot loader and takes a new
    // upgrade.
    void interruptMidTransfer()
    {
        useShortUpgradeTiming(10000);
        tbsim::FaultRule slow = upgradeFault(tbsim::FaultKind::SlowReply, 0xA3, 4, 1);
        slow.delayMs = 20000;
        simAdapter(kA).addFault(slow);
        const QByteArray content = makeUpgradeFile(kBodySize, "TBC 2.2.0");
        const QString path = writeFile(content);

        bool raised = false;
        const Run run = runCli({"upgrade", path, "--adapter", kA}, false, [&](Cli &, const QString &) {
            if (!raised && simAdapter(kA).requestCount(0xA3, 0x00, 4) == 2) {
                raised = true;
                std::raise(SIGINT);
            }
        });
        QVERIFY(raised);
        QCOMPARE(run.status, 130);
        QVERIFY2(run.err.contains(QStringLiteral("TBC-U100 (MAC:3C2E0A000011) 升级中断。 interrupted; the adapter stays in "
                                                 "its boot loader until it is upgraded again")),
                 qPrintable(run.err));
        QVERIFY(!run.out.contains(QStringLiteral("程序升级完成")));
        // Nothing more was sent after the block that was waited for.
        QCOMPARE(simAdapter(kA).requestCount(0xA2), 2);
        QCOMPARE(simAdapter(kA).requestCount(0xA4), 0);
        QVERIFY(bootLoader(kA).running);
        QVERIFY(bootLoader(kA).applicationErased);

        simAdapter(kA).clearFaults();
        useShortUpgradeTiming();
        const Run again = runCli({"upgrade", path, "--adapter", kA});
        QCOMPARE(again.status, 0);
        QCOMPARE(flashed(kA), padded(content));
        QCOMPARE(appVersion(kA), QStringLiteral("2.2.0"));
        QVERIFY(!bootLoader(kA).running);
    }

    // Progress: a bar per adapter on a terminal, plain lines otherwise,
    // nothing with --quiet, JSON events with --json.
    void progress_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::newRow("terminal") << true << QStringList{}
                                  << QStringList{"3C2E0A000011  [##############################] 100%  done",
                                                 "3C2E0A000012  [##############################] 100%  done"}
                                  << QStringList{"3C2E0A000011: 50%"};
        QTest::newRow("pipe") << false << QStringList{}
                              << QStringList{"upgrade: TBC-U100 (MAC:3C2E0A000011) 开始升级程序!\n",
                                             "upgrade: 3C2E0A000012: 50%\n",
                                             "upgrade: TBC-U100 (MAC:3C2E0A000012) 程序写入完成!设备重启中请稍后。\n"}
                              << QStringList{"[#", "\r"};
        QTest::newRow("terminal, quiet") << true << QStringList{"--quiet"} << QStringList{} << QStringList{"%", "升级"};
        QTest::newRow("pipe, quiet") << false << QStringList{"--quiet"} << QStringList{} << QStringList{"%", "升级"};
    }
    void progress()
    {
        QFETCH(bool, terminal);
        QFETCH(QStringList, options);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        const QString path = writeFile(makeUpgradeFile(20000, "TBC 3.1.0"));
        const Run run = runCli(QStringList{"upgrade", path, "--adapter", kA, "--adapter", kB} + options, terminal);
        QCOMPARE(run.status, 0);
        for (const QString &text : shown)
            QVERIFY2(run.err.contains(text), qPrintable(text + QLatin1String(" in:\n") + run.err));
        for (const QString &text : hidden)
            QVERIFY2(!run.err.contains(text), qPrintable(text + QLatin1String(" in:\n") + run.err));
        QVERIFY(!run.out.contains(QLatin1Char('\r')));
    }

    void json()
    {
        const QString path = writeFile(makeUpgradeFile(kBodySize, "TBC 3.1.0"));
        const Run run = runCli({"upgrade", path, "--all", "--any-category", "--json"});
        QCOMPARE(run.status, 1);
        QStringList events;
        for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            QVERIFY2(!object.isEmpty(), qPrintable(line));
            const QString event = object.value(QStringLiteral("event")).toString();
            if (event != QLatin1String("progress"))
                events << event + QLatin1Char(' ') + object.value(QStringLiteral("serial")).toString();
            if (event == QLatin1String("file"))
                QCOMPARE(object.value(QStringLiteral("version")).toString(), QStringLiteral("3.1.0"));
            if (event == QLatin1String("version"))
                QCOMPARE(object.value(QStringLiteral("app")).toString(), QStringLiteral("V3.1.0"));
            if (event == QLatin1String("failed"))
                QVERIFY(object.value(QStringLiteral("message")).toString().contains(QStringLiteral("升级失败")));
            QVERIFY2(uncodedTexts(object).isEmpty(), qPrintable(line));
            if (event == QLatin1String("failed") && object.value(QStringLiteral("serial")).toString() == kD)
                QCOMPARE(object.value(QStringLiteral("code")).toString(), QStringLiteral("upgrade.refused"));
        }
        for (const QString &serial : kAdapters) {
            QVERIFY2(events.contains(QStringLiteral("adapter ") + serial), qPrintable(events.join(QLatin1Char('|'))));
            QVERIFY(events.contains(QStringLiteral("begun ") + serial));
        }
        QVERIFY(events.contains(QStringLiteral("upgraded ") + kA));
        QVERIFY(events.contains(QStringLiteral("version ") + kC));
        QVERIFY(events.contains(QStringLiteral("failed ") + kD));
        QVERIFY(!events.contains(QStringLiteral("upgraded ") + kD));
        const QJsonObject error = QJsonDocument::fromJson(run.err.split(QLatin1Char('\n')).first().toUtf8()).object();
        QCOMPARE(error.value(QStringLiteral("status")).toInt(), 1);
    }

private:
    // The upgrade bus, its adapter A with more bus-file keys.
    static QString loadBusWithA(const QJsonObject &keys)
    {
        QFile file(kUpgradeBus);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("cannot read ") + kUpgradeBus;
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QJsonArray adapters = root.value(QLatin1String("adapters")).toArray();
        for (int i = 0; i < adapters.size(); ++i) {
            QJsonObject adapter = adapters.at(i).toObject();
            adapter.insert(QLatin1String("scanReads"), 0);
            adapter.insert(QLatin1String("restartMs"), 50);
            if (adapter.value(QLatin1String("serial")).toString() == kA) {
                for (auto it = keys.begin(); it != keys.end(); ++it)
                    adapter.insert(it.key(), it.value());
            }
            adapters[i] = adapter;
        }
        root.insert(QLatin1String("adapters"), adapters);
        tbsim::bus().reset();
        return QString::fromStdString(tbsim::bus().loadJson(QJsonDocument(root).toJson().toStdString()));
    }

    QString writeFile(const QByteArray &content)
    {
        return clitest::writeFile(m_dir, QStringLiteral("firmware%1.dec").arg(++m_files), content);
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_GUILESS_MAIN(TestCliUpgrade)
#include "tst_cli_upgrade.moc"
