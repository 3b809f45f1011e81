// The configuration file: header forms, encodings, the checks of every line
// and writing in one piece.

#include "ConfigCsv.h"

#include "DeviceXmlLodaing.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <limits>

using namespace appcore::ConfigCsv;

Q_DECLARE_METATYPE(appcore::ConfigCsv::Problem::Kind)
Q_DECLARE_METATYPE(appcore::ConfigCsv::Encoding)

namespace {

const QString kChineseType = QStringLiteral("数字输入-DI8-N");
const QString kUidLine = QStringLiteral("TB-DI8-N,3,1,24,8,0,0,3,0,0,#00001101,444130314232433344343033,0,0");
const QString kPlainLine = QStringLiteral("*TB-DI8-N,3,1,24,8,0,0,3,0,0,#00001101,0,0");

QByteArray gb18030(const QString &text)
{
    return QTextCodec::codecForName("GB18030")->fromUnicode(text);
}

QString englishHeader()
{
    QStringList keys;
    for (int column = 0; column < kNamedColumns; ++column)
        keys << columnKey(column);
    return keys.join(QLatin1Char(','));
}

// The sizes of two modules, as a description library would give them.
std::optional<ModuleSize> testSizes(const QString &deviceId)
{
    ModuleSize size;
    if (deviceId == QLatin1String("#AI4")) { // four 16-bit inputs
        size.hasInputs = true;
        size.bitsPerChannel = 16;
        size.channelCount = 4;
        return size;
    }
    if (deviceId == QLatin1String("#DIO16")) { // fixed 16 channels and one extra each way
        size.hasInputs = size.hasOutputs = true;
        size.channelCount = 16;
        size.inputOffs = size.outputOffs = 1;
        return size;
    }
    if (deviceId == QLatin1String("#HUGE")) { // a description holding absurd sizes
        size.hasInputs = true;
        size.bitsPerChannel = std::numeric_limits<int>::max();
        size.channelCount = std::numeric_limits<int>::max();
        size.inputOffs = std::numeric_limits<int>::max();
        return size;
    }
    return std::nullopt;
}

} // namespace

class TestConfigCsv : public QObject
{
    Q_OBJECT

private slots:
    void headerForms()
    {
        QCOMPARE(headerLine(Form::WithoutUid),
                 QStringLiteral("设备类型,从站站号,对齐方式,输入起始地址,输入通道长度,输出起始地址,输出通道长度,滤波等级,替代值使能,替代值,设备ID"));
        QCOMPARE(headerLine(Form::WithUid), headerLine(Form::WithoutUid) + QStringLiteral(",设备UID"));
        QCOMPARE(requiredFields(Form::WithoutUid), 11);
        QCOMPARE(requiredFields(Form::WithUid), 12);
    }

    void headerOnImport_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("badColumn"); // -1: accepted
        QTest::addColumn<bool>("withUid");
        QTest::newRow("without UID") << headerLine(Form::WithoutUid) << -1 << false;
        QTest::newRow("with UID") << headerLine(Form::WithUid) << -1 << true;
        QTest::newRow("English keys") << englishHeader() << -1 << false;
        QTest::newRow("English keys with UID") << englishHeader() + QStringLiteral(",DeviceID,DeviceUID") << -1 << true;
        QTest::newRow("mixed names and keys") << QStringLiteral("设备类型,SlaveID,对齐方式,InputBeginAddress,输入通道长度,"
                                                                "OutputBeginAddress,输出通道长度,FilterLevel,替代值使能,SubstituteValue")
                                              << -1 << false;
        QTest::newRow("key with a blank") << QStringLiteral("DeviceType,SlaveID,Alignment ,InputBeginAddress") << 2 << false;
        QTest::newRow("five fields") << QStringLiteral("设备类型,从站站号,对齐方式,输入起始地址,输入通道长度") << 5 << false;
        QTest::newRow("keys in lower case") << englishHeader().toLower() << 0 << false;
        QTest::newRow("columns swapped") << QStringLiteral("从站站号,设备类型") << 0 << false;
    }
    void headerOnImport()
    {
        QFETCH(QString, header);
        QFETCH(int, badColumn);
        QFETCH(bool, withUid);
        const ParsedFile file = parse((header + QStringLiteral("\n")).toUtf8());
        if (badColumn < 0) {
            QVERIFY(file.ok());
            QCOMPARE(file.form, withUid ? Form::WithUid : Form::WithoutUid);
            return;
        }
        QCOMPARE(file.problems.size(), 1);
        const Problem p = file.problems.first();
        QCOMPARE(p.kind, Problem::HeaderField);
        QCOMPARE(p.column, badColumn);
        QCOMPARE(p.text(), QLatin1Char('"') + columnName(badColumn) + QStringLiteral("\",字段缺失或位序错误"));
    }

    void emptyFile()
    {
        const ParsedFile file = parse(QByteArray("\r\n"));
        QCOMPARE(file.problems.size(), 1);
        QCOMPARE(file.problems.first().kind, Problem::NoHeader);
    }

    // The whole file, header included, is written in GB18030.
    void writtenInGb18030()
    {
        const QString line = kChineseType + QStringLiteral(",3,1,24,8,0,0,3,0,0,#00001101,0,0\n");
        const QByteArray bytes = encode(Form::WithoutUid, {line});
        QCOMPARE(bytes, gb18030(headerLine(Form::WithoutUid) + QStringLiteral("\n") + line));
        const ParsedFile back = parse(bytes);
        QCOMPARE(back.encoding, Encoding::Gb18030);
        QVERIFY(back.ok());
        QCOMPARE(back.lineTexts(), QStringList{line.trimmed()});
    }

    void readInEitherEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Encoding>("encoding");
        const QString text = headerLine(Form::WithUid) + QStringLiteral("\n") + kChineseType
                             + QStringLiteral(",3,1,24,8,0,0,3,0,0,#00001101,444130314232433344343033\n");
        QTest::newRow("UTF-8") << text.toUtf8() << Encoding::Utf8;
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << Encoding::Utf8WithBom;
        QTest::newRow("GB18030") << gb18030(text) << Encoding::Gb18030;
        // Saved by a spreadsheet: CRLF line ends and an empty last line.
        QString spreadsheet = text;
        spreadsheet.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        QTest::newRow("GB18030 from a spreadsheet") << gb18030(spreadsheet + QStringLiteral(",,,,\r\n\r\n")) << Encoding::Gb18030;
        QTest::newRow("UTF-8 from a spreadsheet") << QByteArray("\xEF\xBB\xBF") + (spreadsheet + QStringLiteral("\r\n")).toUtf8()
                                                  << Encoding::Utf8WithBom;
    }
    void readInEitherEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, encoding);
        const ParsedFile file = parse(bytes);
        QCOMPARE(file.encoding, encoding);
        QVERIFY2(file.ok(), file.ok() ? "" : qPrintable(file.problems.first().text()));
        QCOMPARE(file.form, Form::WithUid);
        QCOMPARE(file.lines.size(), 1);
        QCOMPARE(file.lines.first().lineNumber, 2);
        QVERIFY(file.lines.first().text.startsWith(kChineseType + QLatin1Char(',')));
        QVERIFY(!file.lines.first().text.endsWith(QLatin1Char('\r')));
    }

    void blankLinesAreSkipped()
    {
        const QByteArray bytes = (headerLine(Form::WithoutUid) + QStringLiteral("\n\n") + kPlainLine + QStringLiteral("\n  \n")
                                  + kPlainLine + QStringLiteral("\n"))
                                     .toUtf8();
        const ParsedFile file = parse(bytes);
        QVERIFY(file.ok());
        QCOMPARE(file.lines.size(), 2);
        QCOMPARE(file.lines.at(0).lineNumber, 3);
        QCOMPARE(file.lines.at(1).lineNumber, 5);
    }

    void badLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("withUid");
        QTest::addColumn<Problem::Kind>("kind");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("too few fields") << "*TB-DI8-N,3,1,24,8,0,0,3,0,0" << false << Problem::TooFewFields << -1
                                        << "第7行: 字段数量不足,需要11个";
        QTest::newRow("too few for the UID form") << kPlainLine.left(kPlainLine.indexOf(QLatin1String(",0,0"))) << true
                                                  << Problem::TooFewFields << -1 << "第7行: 字段数量不足,需要12个";
        QTest::newRow("station not a number") << "*X,three,1,24,8,0,0,3,0,0,#00001101" << false << Problem::NotANumber << 1
                                              << "第7行: \"从站站号\"不是数字: three";
        QTest::newRow("signed number") << "*X,3,1,-24,8,0,0,3,0,0,#00001101" << false << Problem::NotANumber << 3
                                       << "第7行: \"输入起始地址\"不是数字: -24";
        QTest::newRow("empty number") << "*X,3,1,24,8,0,0,,0,0,#00001101" << false << Problem::NotANumber << 7
                                      << "第7行: \"滤波等级\"不是数字: ";
        QTest::newRow("further value") << "*X,3,1,24,8,0,0,3,0,0,#00001101,0,x" << false << Problem::NotANumber << 12
                                       << "第7行: 第13列不是数字: x";
        QTest::newRow("station 129") << "*X,129,1,24,8,0,0,3,0,0,#00001101" << false << Problem::StationOutOfRange << 1
                                     << "第7行: 从站站号129超出范围(1-128)";
        QTest::newRow("128 input channels") << "*X,3,1,24,128,0,0,3,0,0,#00001101" << false << Problem::TooManyChannels
                                            << 4 << "第7行: \"输入通道长度\"超过127: 128";
        QTest::newRow("128 output channels") << "*X,3,1,0,0,24,128,3,0,0,#00001101" << false << Problem::TooManyChannels
                                             << 6 << "第7行: \"输出通道长度\"超过127: 128";
        QTest::newRow("alignment 2") << "*X,3,2,24,8,0,0,3,0,0,#00001101" << false << Problem::BadAlignment << 2
                                     << "第7行: 对齐方式只能是1或8: 2";
        QTest::newRow("alignment 0") << "*X,3,0,0,0,0,0,3,0,0,#00001101" << false << Problem::BadAlignment << 2
                                     << "第7行: 对齐方式只能是1或8: 0";
        QTest::newRow("input area past 512") << "*X,3,8,63,9,0,0,3,0,0,#00001101" << false << Problem::AreaPastImage << 3
                                             << "第7行: 输入地址超限,结束于第513位(最大512位)";
        QTest::newRow("output begins past 511") << "*X,3,1,0,0,512,0,3,0,0,#00001101" << false << Problem::AreaPastImage
                                                << 5 << "第7行: 输出地址超限,结束于第512位(最大512位)";
        QTest::newRow("16-bit inputs past 512") << "*X,3,1,449,4,0,0,3,0,0,#AI4" << false << Problem::AreaPastImage << 3
                                                << "第7行: 输入地址超限,结束于第513位(最大512位)";
        QTest::newRow("extra channel past 512") << "*X,3,1,0,16,496,16,3,0,0,#DIO16" << false << Problem::AreaPastImage
                                                << 5 << "第7行: 输出地址超限,结束于第513位(最大512位)";
        QTest::newRow("absurd description sizes") << "*X,3,1,0,8,0,0,3,0,0,#HUGE" << false << Problem::AreaPastImage << 3
                                                  << "第7行: 输入地址超限,结束于第65535位(最大512位)";
        QTest::newRow("UID not hexadecimal") << "X,3,1,24,8,0,0,3,0,0,#00001101,DA01B2C3D4XY" << true << Problem::BadUid << 11
                                             << "第7行: 设备UID无效: DA01B2C3D4XY";
        QTest::newRow("UID of odd length") << "X,3,1,24,8,0,0,3,0,0,#00001101,4441303142324" << true << Problem::BadUid
                                           << 11 << "第7行: 设备UID无效: 4441303142324";
        QTest::newRow("UID too long") << "X,3,1,24,8,0,0,3,0,0,#00001101,44413031423243334430333334" << true
                                      << Problem::BadUid << 11 << "第7行: 设备UID无效: 44413031423243334430333334";
    }
    void badLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, withUid);
        QFETCH(Problem::Kind, kind);
        QFETCH(int, column);
        QFETCH(QString, text);
        const QList<Problem> problems = checkLine(line, 7, withUid ? Form::WithUid : Form::WithoutUid, testSizes);
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().kind, kind);
        QCOMPARE(problems.first().line, 7);
        QCOMPARE(problems.first().column, column);
        QCOMPARE(problems.first().text(), text);
    }

    void goodLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("withUid");
        QTest::newRow("plain") << kPlainLine << false;
        QTest::newRow("with UID") << kUidLine << true;
        QTest::newRow("station 0 named by UID") << QString(kUidLine).replace(QStringLiteral(",3,1,"), QStringLiteral(",0,1,"))
                                                << true;
        QTest::newRow("short UID column matches by station") << "X,3,1,24,8,0,0,3,0,0,#00001101,0" << true;
        // Station 0 is what the tool writes for the adapter's own module and
        // for modules without a station; which module it names is the
        // import's to find out.
        QTest::newRow("station 0 without UID") << "*X,0,1,24,8,0,0,3,0,0,#00001101" << false;
        QTest::newRow("station 0, short UID column") << "X,0,1,24,8,0,0,3,0,0,#00001101,0" << true;
        QTest::newRow("no further values") << "*X,128,1,24,8,0,0,3,0,0,#00001101" << false;
        QTest::newRow("area ends at 512") << "*X,3,8,63,8,0,0,3,0,0,#00001101" << false;
        QTest::newRow("16-bit inputs end at 512") << "*X,3,1,448,4,0,0,3,0,0,#AI4" << false;
        QTest::newRow("fixed channels: the line's count does not count") << "*X,3,1,495,127,0,0,3,0,0,#DIO16" << false;
        QTest::newRow("no channels: no area, whatever the begin") << "*X,3,1,0,16,508,0,3,0,0,#DIO16" << false;
        QTest::newRow("blanks around numbers") << "*X, 3 ,1,24,8,0,0,3,0,0,#00001101" << false;
        QTest::newRow("module without configuration items") << "*LS-?-?,11,0,0,0,0,0,0,0,0,#00000000" << false;
        QTest::newRow("largest 32-bit value") << "*X,3,1,24,8,0,0,3,0,0,#00001101,4294967295" << false;
    }
    void goodLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, withUid);
        const QList<Problem> problems = checkLine(line, 2, withUid ? Form::WithUid : Form::WithoutUid, testSizes);
        QVERIFY2(problems.isEmpty(), problems.isEmpty() ? "" : qPrintable(problems.first().text()));
    }

    // Every bad line is reported, each with its own number.
    void everyLineIsChecked()
    {
        const QString text = headerLine(Form::WithoutUid) + QStringLiteral("\n") + kPlainLine + QStringLiteral("\n*X,0,1")
                             + QStringLiteral("\n") + kPlainLine + QStringLiteral("\n*X,3,9,0,0,0,0,0,0,0,#1\n");
        const ParsedFile file = parse(text.toUtf8());
        QCOMPARE(file.lines.size(), 4);
        QCOMPARE(file.problems.size(), 2);
        QCOMPARE(file.problems.at(0).line, 3);
        QCOMPARE(file.problems.at(0).kind, Problem::TooFewFields);
        QCOMPARE(file.problems.at(1).line, 5);
        QCOMPARE(file.problems.at(1).kind, Problem::BadAlignment);
    }

    void sizesFromTheLibrary()
    {
        DeviceXmlLodaing::instance()->loadFolder(QStringLiteral("Xml"));
        const ModuleSizes sizes = librarySizes();
        const std::optional<ModuleSize> dio = sizes(QStringLiteral("#00001302")); // TB-DIO16-D
        QVERIFY(dio);
        QVERIFY(dio->hasInputs && dio->hasOutputs);
        QCOMPARE(dio->channelCount, 16);
        QCOMPARE(dio->inputOffs, 1);
        QVERIFY(!sizes(QStringLiteral("#00007E57")));
        QCOMPARE(checkLine(QStringLiteral("*X,6,1,495,16,0,16,0,0,0,#00001302"), 2, Form::WithoutUid, sizes).size(), 0);
        QCOMPARE(checkLine(QStringLiteral("*X,6,1,496,16,0,16,0,0,0,#00001302"), 2, Form::WithoutUid, sizes).size(), 1);
    }

    void writeAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bus.csv"));
        const QStringList lines{kChineseType + QStringLiteral(",3,1,24,8,0,0,3,0,0,#00001101,444130314232433344343033\n"), kUidLine};
        QVERIFY(!writeFile(path, Form::WithUid, lines));
        const ParsedFile file = readFile(path);
        QVERIFY(file.ok());
        QCOMPARE(file.encoding, Encoding::Gb18030);
        QCOMPARE(file.lineTexts(), (QStringList{lines.first().trimmed(), kUidLine}));

        // A file that cannot be written leaves the old one as it was.
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const std::optional<Problem> refused = writeFile(path, Form::WithoutUid, {kPlainLine});
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (refused) { // root may write anyway
            QCOMPARE(refused->kind, Problem::FileUnwritable);
            QVERIFY(refused->text().startsWith(QStringLiteral("无法写入文件: ")));
            QCOMPARE(readFile(path).form, Form::WithUid);
        }
        const std::optional<Problem> nowhere = writeFile(dir.filePath(QStringLiteral("missing/bus.csv")), Form::WithUid, lines);
        QVERIFY(nowhere);
        QCOMPARE(nowhere->kind, Problem::FileUnwritable);
    }

    // A file without UIDs names the adapter's own module by its type;
    // other modules without a station it cannot name.
    void modulesAFileWithoutUidCannotName()
    {
        const auto slave = [](int station, bool described, bool local) {
            auto state = std::make_shared<SlaveState>();
            state->stationId = quint8(station);
            state->described = described;
            state->recordCarriesStation = local;
            return SlaveSnapshot(state);
        };
        QCOMPARE(modulesUnnamedWithoutUid({}), 0);
        QCOMPARE(modulesUnnamedWithoutUid({slave(0, true, true), slave(3, true, false), slave(0, false, false)}), 0);
        QCOMPARE(modulesUnnamedWithoutUid({slave(0, true, true), slave(0, true, false), slave(0, true, false)}), 2);
    }

    void unreadableFile()
    {
        const ParsedFile file = readFile(QStringLiteral("no/such/file.csv"));
        QCOMPARE(file.problems.size(), 1);
        QCOMPARE(file.problems.first().kind, Problem::FileUnreadable);
        QCOMPARE(file.problems.first().line, 0);
    }
};

QTEST_GUILESS_MAIN(TestConfigCsv)
#include "tst_configcsv.moc"
