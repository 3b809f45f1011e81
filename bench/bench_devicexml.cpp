// Loading the description library: the full load through DeviceXmlLodaing
// (reading, unscrambling, parsing into the model) against parsing the same
// XML with QDomDocument alone, and the time to create a bus of 128 slaves.
//
// Usage: bench_devicexml [runs]

#include <DeviceXmlLodaing.h>
#include <ScrambledXml.h>
#include <Slave.h>
#include <SlaveFactory.h>

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kFiles = 200;
constexpr int kModulesPerFile = 12;
constexpr int kScrambledEvery = 3; // every third file is stored scrambled
constexpr int kBusSlaves = 128;
constexpr int kDefaultRuns = 7;
constexpr double kGoalRatio = 1.0;

const char *const kClasses[] = {"DI", "DO", "DIO", "DIDO", "AI", "AO", "AIAO"};

void subItem(QTextStream &out, int subIdx, const QString &name, const QString &type, int bits,
             const QString &style, const QString &param)
{
    out << "          <SubItem><SubIdx>#x" << QString::number(subIdx, 16) << "</SubIdx><Name>" << name
        << "</Name><Type>" << type << "</Type><BitSize>" << bits << "</BitSize><BitOffs>0</BitOffs>"
        << "<Style>" << style << "</Style>";
    if (!param.isEmpty())
        out << "<ParamType>" << param << "</ParamType>";
    out << "<Flags><Access>rw</Access></Flags></SubItem>\n";
}

void pdo(QTextStream &out, const char *tag, const char *name, const char *index, int channels, int bits,
         const char *type, const char *access)
{
    out << "      <" << tag << " Sm=\"3\"><Index>" << index << "</Index><Name>" << name << "</Name>\n";
    for (int c = 0; c < channels; ++c) {
        out << "        <Entry><Index>#x6000</Index><SubIndex>" << c + 1 << "</SubIndex><BitLen>" << bits
            << "</BitLen><Name>Channel " << c << "</Name><DataType>" << type << "</DataType><Flags><Access>"
            << access << "</Access></Flags></Entry>\n";
    }
    out << "      </" << tag << ">\n";
}

// One family file: a dozen modules with dictionaries and process data, about
// the size of a shipped description.
QByteArray familyFile(int fileIndex)
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TarnBusInfo>\n"
        << "  <TarnBus manufacturer=\"Tarn\" protcolVersion=\"1.0\" imageDir=\"Bench\">\n";
    for (int m = 0; m < kModulesPerFile; ++m) {
        const QString cls = QString::fromLatin1(kClasses[m % 7]);
        const bool analog = cls.startsWith(QLatin1Char('A'));
        const int channels = analog ? 4 << (m % 2) : 8 << (m % 3);
        const int bits = analog ? 16 : 1;
        const bool inputs = cls.contains(QLatin1String("I"));
        const bool outputs = cls.contains(QLatin1String("O"));
        const QString ident = QString::asprintf("#0000%04X", 0x1000 + fileIndex * kModulesPerFile + m);
        out << "    <Module>\n      <Type ModuleClass=\"" << cls << "\" ModuleIdent=\"" << ident << "\" BitSize=\""
            << bits << "\" ChannelCount=\"" << channels << "\" InputChannelCount=\"" << (inputs ? channels : 0)
            << "\" OutputChannelCount=\"" << (outputs ? channels : 0) << "\" Image=\"m" << m
            << ".svg\" supportSpeed=\"0\" SuportERDC3=\"0\">TB-" << cls << channels << "-B" << m << "</Type>\n"
            << "      <Name>Bench module " << m << "</Name>\n      <Profile><Dictionary>\n      <DataTypes>\n"
            << "        <DataType><Name>DT_Filter</Name><BitSize>4</BitSize><BaseType>Bits</BaseType>";
        for (int e = 0; e < 8; ++e)
            out << "<EnumInfo><Text>" << (1 << e) << " ms</Text><Enum>" << e << "</Enum></EnumInfo>";
        out << "</DataType>\n        <DataType><Name>DT_Config</Name><BitSize>128</BitSize>\n";
        int sub = 1;
        subItem(out, sub++, QStringLiteral("Station"), QStringLiteral("CHAR"), 8, QStringLiteral("LineEdit"), {});
        if (inputs)
            subItem(out, sub++, QStringLiteral("Inputs"), QStringLiteral("UINT"), 16, QStringLiteral("LineEdit"),
                    analog ? QStringLiteral("AI") : QStringLiteral("DI"));
        if (outputs)
            subItem(out, sub++, QStringLiteral("Outputs"), QStringLiteral("UINT"), 16, QStringLiteral("LineEdit"),
                    analog ? QStringLiteral("AO") : QStringLiteral("DO"));
        subItem(out, sub++, QStringLiteral("Filter level"), QStringLiteral("DT_Filter"), 4,
                QStringLiteral("ComboBox"), QStringLiteral("Filter"));
        subItem(out, sub++, QStringLiteral("Fieldbus error with output"), QStringLiteral("BOOL"), 1,
                QStringLiteral("CheckBox"), QStringLiteral("Enable"));
        subItem(out, sub++, QStringLiteral("Substitute value"), QStringLiteral("UINT"), 16,
                QStringLiteral("LineEdit"), QStringLiteral("Substitute"));
        out << "        </DataType>\n        <DataType><Name>DT_Info</Name><BitSize>0</BitSize>\n";
        for (int i = 0; i < 12; ++i)
            subItem(out, i + 1, QStringLiteral("Info %1").arg(i), QStringLiteral("STRING"), 8,
                    QStringLiteral("Label"), {});
        out << "        </DataType>\n      </DataTypes>\n      <Objects>\n"
            << "        <Object><Index>#x8000</Index><Name>CONFIG-DATA</Name><Type>DT_Config</Type><Info>\n";
        const QStringList configNames{"Station", "Inputs", "Outputs", "Filter level", "Fieldbus error with output",
                                      "Substitute value"};
        for (const QString &name : configNames) {
            if ((name == QLatin1String("Inputs") && !inputs) || (name == QLatin1String("Outputs") && !outputs))
                continue;
            out << "          <SubItem><Name>" << name << "</Name><Info><DefaultData>0000</DefaultData></Info></SubItem>\n";
        }
        out << "        </Info></Object>\n"
            << "        <Object><Index>#xF800</Index><Name>BASIC INFO</Name><Type>DT_Info</Type><Info>\n";
        for (int i = 0; i < 12; ++i)
            out << "          <SubItem><Name>Info " << i << "</Name><Info><DefaultData></DefaultData></Info></SubItem>\n";
        out << "        </Info></Object>\n      </Objects>\n      </Dictionary></Profile>\n";
        if (inputs)
            pdo(out, "TxPdo", "RXPDO", "#x1a00", channels, bits, analog ? "INT" : "BOOL", "ro");
        if (outputs)
            pdo(out, "RxPdo", "TXPDO", "#x1600", channels, bits, analog ? "UINT" : "BOOL", "rw");
        out << "    </Module>\n";
    }
    out << "  </TarnBus>\n</TarnBusInfo>\n";
    out.flush();
    return text.toUtf8();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The factory's debug lines would be measured along with it.
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    const int runs = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : kDefaultRuns;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    std::vector<QByteArray> xmlTexts;
    qint64 totalBytes = 0;
    for (int f = 0; f < kFiles; ++f) {
        const QByteArray xml = familyFile(f);
        const QByteArray stored = f % kScrambledEvery == 0 ? ScrambledXml::scramble(xml) : xml;
        QFile file(dir.filePath(QStringLiteral("family%1.xml").arg(f, 3, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(stored) != stored.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        xmlTexts.push_back(xml);
        totalBytes += stored.size();
    }
    std::printf("%d files, %d modules each, %.1f MB, every %drd scrambled, median of %d runs\n", kFiles,
                kModulesPerFile, double(totalBytes) / (1024 * 1024), kScrambledEvery, runs);

    DeviceXmlLodaing *loader = DeviceXmlLodaing::instance();
    std::vector<double> loadMs;
    std::vector<double> domMs;
    QElapsedTimer timer;
    for (int r = 0; r < runs; ++r) {
        timer.start();
        loader->loadFolder(dir.path());
        loadMs.push_back(timer.nsecsElapsed() / 1e6);

        timer.start();
        for (const QByteArray &xml : xmlTexts) {
            QDomDocument document;
            document.setContent(xml);
        }
        domMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    int modules = 0;
    for (const DescriptionFilePtr &file : loader->files())
        modules += int(file->modules.size());

    const double load = median(loadMs);
    const double dom = median(domMs);
    const double ratio = load / dom;
    std::printf("full load (DeviceXmlLodaing): %8.1f ms  (%d modules)\n", load, modules);
    std::printf("QDomDocument parse only:      %8.1f ms\n", dom);
    std::printf("ratio: %.2f (goal: at most %.1f) %s\n", ratio, kGoalRatio,
                ratio <= kGoalRatio ? "met" : "MISSED");

    SlaveFactory factory;
    std::vector<double> createMs;
    for (int r = 0; r < runs; ++r) {
        std::vector<std::unique_ptr<Slave>> bus;
        bus.reserve(kBusSlaves);
        timer.start();
        for (int s = 0; s < kBusSlaves; ++s) {
            const QString ident = QString::asprintf("#0000%04X", 0x1000 + (s * 37) % (kFiles * kModulesPerFile));
            bus.emplace_back(factory.create(ident, s + 1));
        }
        createMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("create %d slaves (SlaveFactory): %.2f ms\n", kBusSlaves, median(createMs));
    return 0;
}
