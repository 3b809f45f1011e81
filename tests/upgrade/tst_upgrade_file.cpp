// The upgrade file check and its blocks, the CRC-32, the file the tools
// script writes, and the upgrade protocol's reports, replies and version
// comparison.

#include "UpgradeFile.h"
#include "UpgradeProtocol.h"
#include "UpgradeFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace upgradetest;
using namespace upgradeprotocol;

Q_DECLARE_METATYPE(UpgradeFile::Check)
Q_DECLARE_METATYPE(upgradeprotocol::VersionOrder)

namespace {

QByteArray withHeaderByte(QByteArray content, int offset, char value)
{
    content[offset] = value;
    return content;
}

// Rewrites the header CRC after a header change, so that only the change counts.
QByteArray resealed(const QByteArray &content)
{
    char crc[4];
    qToLittleEndian(UpgradeFile::crc32(content.left(UpgradeFile::kHeaderCrcOffset)), crc);
    return QByteArray(content).replace(UpgradeFile::kHeaderCrcOffset, 4, QByteArray(crc, 4));
}

} // namespace

class UpgradeFileTest : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValue();
    void check_data();
    void check();
    void blocksAreCutFromTheCheckedBytes();
    void unreadableFile();
    void scriptWritesAValidFile();

    void reports();
    void replies_data();
    void replies();
    void deviceInformation_data();
    void deviceInformation();
    void versions_data();
    void categories_data();
    void categories();
    void versions();
    void versionAfterTheUpgrade_data();
    void versionAfterTheUpgrade();
};

void UpgradeFileTest::crcCheckValue()
{
    QCOMPARE(UpgradeFile::crc32("123456789"), 0xCBF43926u);
    QCOMPARE(UpgradeFile::crc32(QByteArray()), 0u);
}

void UpgradeFileTest::check_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<UpgradeFile::Check>("result");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("version");

    const QByteArray valid = makeUpgradeFile(3000);
    QTest::newRow("valid") << valid << UpgradeFile::Valid << 4 << "TBC-U100" << "3.4.5";
    QTest::newRow("shorter than the header") << valid.left(95) << UpgradeFile::TooShort << 0 << "" << "";
    QTest::newRow("header CRC wrong") << withHeaderByte(valid, UpgradeFile::kCategoryOffset, 'X')
                                      << UpgradeFile::HeaderCrcWrong << 0 << "XBC-U100" << "3.4.5";
    QTest::newRow("body CRC wrong") << withHeaderByte(valid, 500, char(~valid.at(500))) << UpgradeFile::BodyCrcWrong
                                    << 0 << "TBC-U100" << "3.4.5";
    QTest::newRow("body shorter than declared") << valid.left(valid.size() - 1) << UpgradeFile::BodyTooShort << 0
                                                << "TBC-U100" << "3.4.5";
    // Bytes the body CRC does not cover would be flashed unchecked.
    QTest::newRow("trailing bytes after the body") << valid + QByteArray(10, '\x55') << UpgradeFile::TrailingBytes << 0
                                                   << "TBC-U100" << "3.4.5";
    QTest::newRow("exact multiple of 1024") << makeUpgradeFile(2048 - 96) << UpgradeFile::Valid << 2 << "TBC-U100"
                                            << "3.4.5";
    QTest::newRow("1025 bytes") << makeUpgradeFile(1025 - 96) << UpgradeFile::Valid << 2 << "TBC-U100" << "3.4.5";
    QTest::newRow("header only") << makeUpgradeFile(0) << UpgradeFile::Valid << 1 << "TBC-U100" << "3.4.5";
    QTest::newRow("version of one word") << makeUpgradeFile(100, "TBC") << UpgradeFile::Valid << 1 << "TBC-U100" << "";
    QTest::newRow("two spaces in the version") << makeUpgradeFile(100, "TBC  3.4.5") << UpgradeFile::Valid << 1
                                               << "TBC-U100" << "";
    QTest::newRow("texts filling their fields") << makeUpgradeFile(100, "ABCDEFGHIJ 1.2.3.4.5.6.7", "0123456789ABCDEF")
                                                << UpgradeFile::Valid << 1 << "0123456789ABCDEF" << "1.2.3.4.5.6.7";
    QTest::newRow("body length beyond the file")
        << resealed(withHeaderByte(valid, UpgradeFile::kBodyLengthOffset + 3, '\x01')) << UpgradeFile::BodyTooShort
        << 0 << "TBC-U100" << "3.4.5";
}

void UpgradeFileTest::check()
{
    QFETCH(QByteArray, content);
    QFETCH(UpgradeFile::Check, result);
    QFETCH(int, blocks);
    QFETCH(QString, category);
    QFETCH(QString, version);

    UpgradeFile file;
    QCOMPARE(file.check(content), result);
    QCOMPARE(file.isLoaded(), result == UpgradeFile::Valid);
    QCOMPARE(file.blocks().size(), blocks);
    QCOMPARE(file.transferSize(), blocks * 1024);
    QCOMPARE(file.category(), category);
    QCOMPARE(file.version(), version);
    if (result != UpgradeFile::Valid)
        return;
    QCOMPARE(file.fileSize(), qint64(content.size()));
    // The whole file, header included, padded with 0xFF to whole blocks.
    QCOMPARE(file.blocks().join(), padded(content));
    for (const QByteArray &block : file.blocks())
        QCOMPARE(block.size(), 1024);
}

void UpgradeFileTest::blocksAreCutFromTheCheckedBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.dec"));
    const QByteArray content = makeUpgradeFile(1025 - 96);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();

    UpgradeFile file;
    QCOMPARE(file.load(path), UpgradeFile::Valid);
    QFile::remove(path); // nothing is read again afterwards
    QCOMPARE(file.blocks().size(), 2);
    QCOMPARE(file.blocks().at(0), content.left(1024));
    QCOMPARE(file.blocks().at(1), content.mid(1024) + QByteArray(1023, '\xFF'));
}

void UpgradeFileTest::unreadableFile()
{
    QTemporaryDir dir;
    UpgradeFile file;
    QCOMPARE(file.load(dir.filePath(QStringLiteral("missing.dec"))), UpgradeFile::Unreadable);
    QCOMPARE(file.load(dir.path()), UpgradeFile::Unreadable);
    QVERIFY(!file.isLoaded());
}

void UpgradeFileTest::scriptWritesAValidFile()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    QTemporaryDir dir;
    const QString bodyPath = dir.filePath(QStringLiteral("body.bin"));
    const QString outPath = dir.filePath(QStringLiteral("out.dec"));
    const QByteArray body = makeUpgradeFile(5000).mid(96);
    QFile bodyFile(bodyPath);
    QVERIFY(bodyFile.open(QIODevice::WriteOnly));
    bodyFile.write(body);
    bodyFile.close();

    const int exitCode = QProcess::execute(python, {QStringLiteral("tools/make_upgrade_file.py"), bodyPath, outPath,
                                                    QStringLiteral("--category"), QStringLiteral("TBC-U200"),
                                                    QStringLiteral("--version"), QStringLiteral("TBC 10.2.33")});
    QCOMPARE(exitCode, 0);
    UpgradeFile file;
    QCOMPARE(file.load(outPath), UpgradeFile::Valid);
    QCOMPARE(file.category(), QStringLiteral("TBC-U200"));
    QCOMPARE(file.version(), QStringLiteral("10.2.33"));
    QCOMPARE(file.blocks().join().mid(96, body.size()), body);
}

void UpgradeFileTest::reports()
{
    QCOMPARE(report(CmdDeviceInfo), QByteArray::fromHex("005AB0") + QByteArray(62, '\0'));
    QCOMPARE(announceBlock(0x08004C00), QByteArray::fromHex("005AA208004C00") + QByteArray(58, '\0'));
    const QByteArray data(60, '\x77');
    QCOMPARE(blockData(data.constData(), 60), QByteArray::fromHex("005AA3003C") + data);
    QCOMPARE(blockData(data.constData(), 4), QByteArray::fromHex("005AA30004") + data.left(4) + QByteArray(56, '\0'));
    QCOMPARE(searchRestart(), QByteArray::fromHex("005AA6080040") + QByteArray(59, '\0'));
    for (const QByteArray &r : {report(CmdRestart), announceBlock(0), blockData(data.constData(), 60), searchRestart()})
        QCOMPARE(r.size(), 65);
}

void UpgradeFileTest::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<bool>("refused");

    QTest::newRow("success") << QByteArray::fromHex("5AA7FF00") << true << true << false;
    QTest::newRow("refusal") << QByteArray::fromHex("5AA700FF") << true << false << true;
    QTest::newRow("other result") << QByteArray::fromHex("5AA70000") << true << false << false;
    QTest::newRow("another command") << QByteArray::fromHex("5AA4FF00") << false << false << false;
    QTest::newRow("no marker") << QByteArray::fromHex("00A7FF00") << false << false << false;
    QTest::newRow("time-out") << QByteArray(65, '\0') << false << false << false;
    QTest::newRow("cut short") << QByteArray::fromHex("5AA7FF") << true << false << false;
}

void UpgradeFileTest::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, matches);
    QFETCH(bool, succeeded);
    QFETCH(bool, refused);
    QCOMPARE(upgradeprotocol::matches(reply, CmdStartBurning), matches);
    QCOMPARE(upgradeprotocol::succeeded(reply, CmdStartBurning), succeeded);
    QCOMPARE(upgradeprotocol::refused(reply, CmdStartBurning), refused);
    QCOMPARE(startAddress(QByteArray::fromHex("5AA7FF0008004000")), 0x08004000u);
}

void UpgradeFileTest::deviceInformation_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("hardware");
    QTest::addColumn<QString>("boot");
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("type");

    QTest::newRow("adapter") << QByteArray::fromHex("5AB0FF00" "0102" "56010003" "56020107") + "TBC-U100" + '\0' + "junk"
                             << 258 << "V1.0.3" << "V2.1.7" << "TBC-U100";
    QTest::newRow("signed numbers") << QByteArray::fromHex("5AB0FF00" "FFFF" "54FF8001" "547F0000") + "X"
                                    << 65535 << "T-1.-128.1" << "T127.0.0" << "X";
    QTest::newRow("time-out") << QByteArray(65, '\0') << 0 << "0.0.0" << "0.0.0" << "";
}

void UpgradeFileTest::deviceInformation()
{
    QFETCH(QByteArray, reply);
    const DeviceInfo info = decodeDeviceInfo(reply);
    QTEST(info.hardware, "hardware");
    QTEST(info.bootVersion, "boot");
    QTEST(info.appVersion, "app");
    QTEST(info.type, "type");
}

void UpgradeFileTest::versions_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("device");
    QTest::addColumn<VersionOrder>("order");

    QTest::newRow("equal") << "1.0.3" << "V1.0.3" << VersionOrder::Equal;
    QTest::newRow("major lower") << "1.0.3" << "V2.0.0" << VersionOrder::PackageLower;
    QTest::newRow("major higher") << "1.0.3" << "V0.9.9" << VersionOrder::PackageHigher;
    QTest::newRow("patch higher") << "1.0.3" << "V1.0.2" << VersionOrder::PackageHigher;
    // Compared as numbers, part by part.
    QTest::newRow("9 against 10") << "9.0.0" << "V10.0.0" << VersionOrder::PackageLower;
    QTest::newRow("10 against 9") << "10.0.0" << "V9.0.0" << VersionOrder::PackageHigher;
    QTest::newRow("patch lower") << "1.0.2" << "V1.0.3" << VersionOrder::PackageLower;
    QTest::newRow("minor 10 against 9") << "1.10.0" << "V1.9.0" << VersionOrder::PackageHigher;
    QTest::newRow("missing part is 0") << "1.0" << "V1.0.0" << VersionOrder::Equal;
    QTest::newRow("letter T") << "2.0.0" << "T1.0.0" << VersionOrder::PackageHigher;
    QTest::newRow("negative device part") << "1.0.0" << "V1.-1.0" << VersionOrder::PackageHigher;
    QTest::newRow("package without version") << "" << "V1.0.0" << VersionOrder::PackageLower;
    QTest::newRow("neither V nor T") << "1.0.0" << "X1.0.0" << VersionOrder::Unreadable;
    QTest::newRow("no letter") << "1.0.0" << "0.0.0" << VersionOrder::Unreadable;
}

void UpgradeFileTest::versions()
{
    QFETCH(QString, package);
    QFETCH(QString, device);
    QFETCH(VersionOrder, order);
    QCOMPARE(compareVersions(package, device), order);
}

void UpgradeFileTest::categories_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("fits");
    QTest::newRow("the same") << "TBC-U100" << "TBC-U100" << true;
    QTest::newRow("a word of the type") << "TBC-U100" << "TBC-U100 Coupler" << true;
    QTest::newRow("in parentheses") << "TBC-U100" << "Coupler(TBC-U100)" << true;
    QTest::newRow("letter case") << "tbc-u100" << "TBC-U100 Coupler" << true;
    QTest::newRow("another model") << "TBC-U100" << "TBC-U200 Coupler" << false;
    QTest::newRow("a prefix is not the model") << "TBC-U10" << "TBC-U100" << false;
    QTest::newRow("no category in the file") << "" << "TBC-U200 Coupler" << true;
    QTest::newRow("no type from the device") << "TBC-U100" << "" << false;
}

void UpgradeFileTest::categories()
{
    QFETCH(QString, category);
    QFETCH(QString, type);
    QFETCH(bool, fits);
    QCOMPARE(upgradeprotocol::categoryFits(category, type), fits);
}

// After the restart the device must give the file's version, as far as
// its three numbers of one byte each can tell it.
void UpgradeFileTest::versionAfterTheUpgrade_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("package");
    QTest::addColumn<bool>("same");

    QTest::newRow("the same") << "V2.2.0" << "2.2.0" << true;
    QTest::newRow("letter T") << "T2.2.0" << "2.2.0" << true;
    QTest::newRow("another patch") << "V2.1.7" << "2.2.0" << false;
    QTest::newRow("lower, not higher, also counts") << "V2.2.1" << "2.2.0" << false;
    QTest::newRow("missing parts are 0") << "V2.0.0" << "2" << true;
    QTest::newRow("a fourth part is not shown") << "V2.2.0" << "2.2.0.7" << true;
    QTest::newRow("a part above 127 as its byte") << "V2.-56.0" << "2.200.0" << true;
    QTest::newRow("package without version") << "V0.0.0" << "" << true;
    QTest::newRow("package part not a number") << "V2.0.0" << "2.x.0" << false;
    QTest::newRow("neither V nor T") << "X2.2.0" << "2.2.0" << false;
    QTest::newRow("nothing read") << "" << "2.2.0" << false;
}

void UpgradeFileTest::versionAfterTheUpgrade()
{
    QFETCH(QString, device);
    QFETCH(QString, package);
    QFETCH(bool, same);
    QCOMPARE(isPackageVersion(device, package), same);
}

QTEST_GUILESS_MAIN(UpgradeFileTest)
#include "tst_upgrade_file.moc"
