// The streaming description reader against the DOM reader it replaced: the
// same model, field by field, for every shipped description and fixture,
// stored plain and scrambled, for the vocabulary's corner cases and for
// damaged copies of the shipped files.

#include <DescriptionDomReader.h>
#include <DescriptionParser.h>
#include <ScrambledXml.h>

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const char *const kDescriptionFolders[] = {"Xml", "tests/fixtures/xml", "tests/adapter/fixtures"};

QString quoted(const QString &text)
{
    // Null and empty are the same to every user of the model.
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    escaped.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// Every field of a collection, one line each, in a form that shows where two
// models part.
QStringList dump(const DescriptionFile &file)
{
    QStringList lines;
    lines << QStringLiteral("file manufacturer=%1 protcolVersion=%2 imageDir=%3")
                 .arg(quoted(file.manufacturer), quoted(file.protcolVersion), quoted(file.imageDir));
    for (const auto &entry : file.modules) {
        const ModuleDescription &m = *entry.second;
        lines << QStringLiteral("module key=%1 class=%2 ident=%3 typeName=%4 name=%5 image=%6 imageDir=%7")
                     .arg(quoted(entry.first), quoted(m.moduleClass), quoted(m.moduleIdent), quoted(m.typeName),
                          quoted(m.name), quoted(m.image), quoted(m.imageDir));
        lines << QStringLiteral("  numbers %1 %2 %3 %4 %5 %6 %7 %8 %9")
                     .arg(m.bitSize)
                     .arg(m.channelCount)
                     .arg(m.supportSpeed)
                     .arg(m.suportERDC3)
                     .arg(int(m.suportChangeableChannel))
                     .arg(m.inputChannelCount)
                     .arg(m.outputChannelCount)
                     .arg(m.inputOffs)
                     .arg(m.outputOffs)
              + QStringLiteral(" %1 %2").arg(m.inputChannelOffs).arg(m.outputChannelOffs);
        for (const auto &typeEntry : m.dictionary.dataTypes) {
            const DataTypeDescription &t = *typeEntry.second;
            lines << QStringLiteral("  dataType key=%1 name=%2 bitSize=%3 baseType=%4")
                         .arg(quoted(typeEntry.first), quoted(t.name), quoted(t.bitSize))
                         .arg(t.baseType);
            for (const auto &item : t.subItems) {
                lines << QStringLiteral("    subItem %1 %2 %3 %4 %5 %6 access=%7 base=%8 style=%9")
                             .arg(quoted(item->SubIdx), quoted(item->Name), quoted(item->Type),
                                  quoted(item->BitSize), quoted(item->BitOffs), quoted(item->CountOffs),
                                  quoted(item->Access))
                             .arg(item->BaseType)
                             .arg(item->Style)
                      + QStringLiteral(" param=%1").arg(item->ParamType);
            }
            QStringList byName;
            for (auto it = t.subItemByName.cbegin(); it != t.subItemByName.cend(); ++it)
                byName << quoted(it.key()) + QLatin1Char('=') + QString::number(it.value());
            byName.sort();
            lines << QStringLiteral("    byName ") + byName.join(QLatin1Char(' '));
            QStringList enums;
            for (auto it = t.enumTexts.cbegin(); it != t.enumTexts.cend(); ++it)
                enums << QString::number(it.key()) + QLatin1Char('=') + quoted(it.value());
            QStringList values;
            for (int value : t.enumValues)
                values << QString::number(value);
            lines << QStringLiteral("    enums ") + enums.join(QLatin1Char(' ')) + QStringLiteral(" values ")
                         + values.join(QLatin1Char(' '));
        }
        for (const auto &object : m.dictionary.objects) {
            lines << QStringLiteral("  object %1 %2 %3 %4")
                         .arg(quoted(object->index), quoted(object->name), quoted(object->type),
                              quoted(object->bitSize));
            for (const auto &info : object->info)
                lines << QStringLiteral("    info %1 %2").arg(quoted(info.first), quoted(info.second));
        }
        for (const auto *pdo : {m.txPdo.get(), m.rxPdo.get()}) {
            if (!pdo) {
                lines << QStringLiteral("  no pdo");
                continue;
            }
            lines << QStringLiteral("  pdo sm=%1 %2 %3").arg(pdo->sm).arg(quoted(pdo->index), quoted(pdo->name));
            for (const auto &e : pdo->entries) {
                lines << QStringLiteral("    entry %1 %2 %3 %4 %5 %6")
                             .arg(quoted(e->index), quoted(e->subIndex))
                             .arg(e->bitLen)
                             .arg(quoted(e->name), quoted(e->dataType), quoted(e->access));
            }
        }
    }
    return lines;
}

QStringList shippedFiles()
{
    QStringList paths;
    for (const char *folder : kDescriptionFolders) {
        const QDir dir(QString::fromLatin1(folder));
        for (const QString &name : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
            paths << dir.filePath(name);
    }
    return paths;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first difference between the models of two readers, or an empty string
// when they agree.
QString difference(const DescriptionFile &streamedFile, const DescriptionFile &referenceFile)
{
    const QStringList streamed = dump(streamedFile);
    const QStringList reference = dump(referenceFile);
    for (int i = 0; i < qMax(streamed.size(), reference.size()); ++i) {
        const QString s = streamed.value(i, QStringLiteral("(nothing)"));
        const QString r = reference.value(i, QStringLiteral("(nothing)"));
        if (s != r)
            return QStringLiteral("line %1\nstreaming: %2\nDOM:       %3").arg(i).arg(s, r);
    }
    return QString();
}

// The same for a stored file: what the loader makes of it against what the
// DOM reader made of it, and what the streaming reader alone makes of it
// where it takes the text as well-formed. streamed tells which it was.
QString difference(const QByteArray &bytes, bool *streamed = nullptr)
{
    const QByteArray xml = ScrambledXml::xmlText(bytes);
    QString domError;
    const DescriptionFile reference = DescriptionDom::readText(xml, &domError);
    QString loaderError;
    QString differs = difference(parseDescriptionBytes(bytes, &loaderError), reference);
    if (!differs.isEmpty())
        return differs;
    if (loaderError.isEmpty() != domError.isEmpty())
        return QStringLiteral("the loader says \"%1\", the DOM reader \"%2\"").arg(loaderError, domError);
    QString streamError;
    const DescriptionFile alone = streamDescriptionText(xml, &streamError);
    if (streamed)
        *streamed = streamError.isEmpty();
    if (streamError.isEmpty()) {
        if (!domError.isEmpty())
            return QStringLiteral("well-formed for the streaming reader only: ") + domError;
        return difference(alone, reference);
    }
    return QString();
}

// Pieces (bytes or lines) cut out, repeated or moved, one to three times.
template<typename Piece>
std::vector<Piece> edited(std::vector<Piece> pieces, int longest, QRandomGenerator &random)
{
    const int edits = 1 + int(random.bounded(3));
    for (int e = 0; e < edits && pieces.size() > 2; ++e) {
        const int at = int(random.bounded(int(pieces.size())));
        const int length = 1 + int(random.bounded(qMin(longest, int(pieces.size()) - at)));
        const std::vector<Piece> slice(pieces.begin() + at, pieces.begin() + at + length);
        const int operation = int(random.bounded(3));
        if (operation != 1)
            pieces.erase(pieces.begin() + at, pieces.begin() + at + length);
        const int to = operation == 2 ? int(random.bounded(int(pieces.size()) + 1)) : at;
        pieces.insert(pieces.begin() + to, slice.begin(), slice.end());
    }
    return pieces;
}

} // namespace

class TestDescriptionReader : public QObject
{
    Q_OBJECT

private slots:
    void shippedDescriptions_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QStringList paths = shippedFiles();
        QVERIFY(paths.size() >= 4);
        for (const QString &path : paths) {
            const QByteArray stored = readFile(path);
            QVERIFY2(!stored.isEmpty(), qPrintable(path));
            const QByteArray plain = ScrambledXml::xmlText(stored);
            QByteArray windows = plain;
            windows.replace("\r\n", "\n").replace("\n", "\r\n");
            QString text = QString::fromUtf8(plain);
            text.replace(QLatin1String("encoding=\"UTF-8\""), QLatin1String("encoding=\"UTF-16\""));
            const QByteArray utf16 = QByteArray("\xFF\xFE", 2)
                                     + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
            const QByteArray name = path.toUtf8();
            QTest::newRow(name + " plain") << plain;
            QTest::newRow(name + " scrambled") << ScrambledXml::scramble(plain);
            QTest::newRow(name + " CR LF line ends") << windows;
            QTest::newRow(name + " UTF-16") << utf16;
        }
    }
    void shippedDescriptions()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!parseDescriptionBytes(bytes).modules.empty());
        bool streamed = false;
        QString differs = difference(bytes, &streamed);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QVERIFY(streamed);
        // A document parsed by the caller, as the tests of the model do.
        QDomDocument document;
        QVERIFY(document.setContent(ScrambledXml::xmlText(bytes)));
        differs = difference(parseDescriptionFile(document), DescriptionDom::readDocument(document));
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    // The vocabulary's rules where a file bends them: repeated and missing
    // elements, names at unexpected depths, text split by markup.
    void cornerCases_data()
    {
        QTest::addColumn<QByteArray>("xml");
        const auto row = [](const char *name, const char *body) {
            QTest::newRow(name) << QByteArray("<?xml version=\"1.0\"?>\n") + body;
        };
        const char *const module = "<Type ModuleClass=\"DI\" ModuleIdent=\"#x1\" BitSize=\" 8 \">T</Type>";
        row("no TarnBus", "<TarnBusInfo><Module/></TarnBusInfo>");
        row("TarnBus as the root", "<TarnBus manufacturer=\"M\"><Module><Type ModuleIdent=\"a\"/></Module></TarnBus>");
        row("TarnBus deep, the first one counts",
            "<a><b><TarnBus imageDir=\"one\"><Module><Type ModuleIdent=\"1\"/></Module></TarnBus></b>"
            "<TarnBus imageDir=\"two\"><Module><Type ModuleIdent=\"2\"/></Module></TarnBus></a>");
        row("TarnBus inside TarnBus",
            "<TarnBus imageDir=\"outer\"><Module><Type ModuleIdent=\"1\"/>"
            "<TarnBus imageDir=\"inner\"><Module><Type ModuleIdent=\"2\"/></Module></TarnBus></Module></TarnBus>");
        row("same ident twice, the later wins",
            "<TarnBus><Module><Type ModuleIdent=\"x\">first</Type></Module>"
            "<Module><Type ModuleIdent=\"x\">second</Type></Module></TarnBus>");
        row("module without Type", "<TarnBus><Module><Name>n</Name></Module></TarnBus>");
        row("two Types, the later wins",
            "<TarnBus><Module><Type ModuleIdent=\"a\" BitSize=\"3\">A</Type><Name>n1</Name>"
            "<Type ModuleIdent=\"b\">B</Type><Name>n2</Name></Module></TarnBus>");
        row("text split by markup, comments and CDATA",
            "<TarnBus><Module><Type ModuleIdent=\"a\"> T<!-- c -->B-<b>D</b>I <![CDATA[<8>]]>\n</Type>"
            "<Name><![CDATA[  ]]></Name></Module></TarnBus>");
        row("entities and character references",
            "<!DOCTYPE TarnBusInfo [<!ENTITY d \"DI&#52;\"><!ENTITY blank \"  \">]>"
            "<TarnBusInfo><TarnBus manufacturer=\"A&amp;B &#x4e2d;\"><Module>"
            "<Type ModuleIdent=\"&d;\">&lt;&d;&gt;</Type><Name>&blank;</Name></Module></TarnBus></TarnBusInfo>");
        row("prefixed names are other names",
            "<TarnBus xmlns:t=\"u\"><Module><t:Type ModuleIdent=\"p\"/><Type ModuleIdent=\"q\"/>"
            "<t:Name>x</t:Name></Module></TarnBus>");
        row("undeclared prefix",
            "<TarnBus><Module><Type ModuleIdent=\"a\"/><p:Name>x</p:Name></Module></TarnBus>");
        row("numbers that are none", "<TarnBus><Module><Type ModuleIdent=\"a\" BitSize=\"0x10\" ChannelCount=\"\" "
                                     "InputOffs=\"+3\" OutputOffs=\"-2\" SuportChangeableChannel=\"2\"/>"
                                     "<TxPdo Sm=\" 7 \"/><RxPdo Sm=\"x\"/></Module></TarnBus>");
        row("two Profiles and a Dictionary each",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><DataTypes><DataType><Name>A</Name></DataType></DataTypes>"
                         "<Objects><Object><Name>o1</Name></Object></Objects></Dictionary></Profile>"
                         "<Profile><x><Dictionary><DataTypes><DataType><Name>A</Name><BitSize>2</BitSize></DataType>"
                         "<DataType><Name>B</Name></DataType></DataTypes></Dictionary></x>"
                         "<Dictionary><DataTypes><DataType><Name>C</Name></DataType></DataTypes></Dictionary>"
                         "</Profile></Module></TarnBus>")
                .constData());
        row("Objects found inside DataTypes",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><DataTypes><DataType><Name>T</Name><SubItem><Name>s</Name>"
                         "<Objects><Object><Name>inner</Name><Index>#x8000</Index></Object></Objects></SubItem>"
                         "</DataType><Objects><Name>O</Name><SubItem><Name>k</Name></SubItem></Objects>"
                         "</DataTypes><Objects><Object><Name>later</Name></Object></Objects>"
                         "</Dictionary></Profile></Module></TarnBus>")
                .constData());
        row("DataTypes child that is the Objects",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><DataTypes><Objects><Name>both</Name><SubItem><Name>s</Name>"
                         "<Flags><Access>ro</Access></Flags></SubItem></Objects></DataTypes>"
                         "</Dictionary></Profile></Module></TarnBus>")
                .constData());
        row("DataTypes inside Objects",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><Objects><Object><Info><DataTypes><DataType><Name>D</Name>"
                         "</DataType></DataTypes></Info><Name>o</Name></Object></Objects></Dictionary></Profile>"
                         "</Module></TarnBus>")
                .constData());
        row("Dictionary as a Profile's grandchild only after another element",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><a/><b><c><Dictionary><Objects><Object><Name>deep</Name></Object></Objects>"
                         "</Dictionary></c></b></Profile></Module></TarnBus>")
                .constData());
        row("sub-items: repeated names, first Access, Flags without Access, styles",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><DataTypes><DataType><Name>T</Name><BaseType>UINT</BaseType>"
                         "<SubItem><Name>a</Name><Style>ComboBox</Style><Style>Slider</Style>"
                         "<Flags><Access>ro</Access><Access>rw</Access></Flags></SubItem>"
                         "<SubItem><Name>a</Name><Flags><Access>rw</Access></Flags><Flags/>"
                         "<ParamType>Filter</ParamType><BaseType>BOOL</BaseType></SubItem>"
                         "<SubItem><Name>b</Name><Name>c</Name><CountOffs>2</CountOffs></SubItem>"
                         "<EnumInfo><Text>one</Text><Text>uno</Text><Enum> 1 </Enum><Enum>9</Enum></EnumInfo>"
                         "<EnumInfo><Enum>2</Enum></EnumInfo><EnumInfo><Text>x</Text><Enum>two</Enum></EnumInfo>"
                         "<EnumInfo><Text>replaced</Text><Enum>1</Enum></EnumInfo>"
                         "</DataType><DataType><BitSize>8</BitSize></DataType><Other><Name>T</Name></Other>"
                         "</DataTypes></Dictionary></Profile></Module></TarnBus>")
                .constData());
        row("object info entries",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<Profile><Dictionary><Objects><Object><Index>#x8000</Index><Info>"
                         "<SubItem><Name>a</Name><Name>b</Name><Info><DefaultData>01</DefaultData>"
                         "<DefaultData>02</DefaultData></Info><Info><DefaultData>03</DefaultData></Info></SubItem>"
                         "<SubItem><Info/><Info><DefaultData>04</DefaultData></Info></SubItem>"
                         "<Anything/></Info><Info><SubItem><Name>second info</Name></SubItem></Info>"
                         "</Object><Stray>t</Stray></Objects></Dictionary></Profile></Module></TarnBus>")
                .constData());
        row("process data",
            QByteArray(QByteArray("<TarnBus><Module>") + module
                       + "<TxPdo Sm=\"3\"><Index>#x1a00</Index><Name>RXPDO</Name>"
                         "<Entry><Index>#x6000</Index><SubIndex>1</SubIndex><BitLen> 16</BitLen><Name>c</Name>"
                         "<DataType>INT</DataType><Flags><Access>ro</Access></Flags></Entry>"
                         "<Entry><BitLen>x</BitLen><Flags><Other/></Flags></Entry></TxPdo>"
                         "<TxPdo><Name>second</Name></TxPdo><RxPdo Sm=\"\"><Entry/></RxPdo></Module></TarnBus>")
                .constData());
        row("line ends and tabs as written",
            "<TarnBus manufacturer=\"Tarn\r\n\tWorks &amp;\tCo\" imageDir=\"a b\" protcolVersion='1&#10;2\n3'>\r\n"
            "<Module>\r\n<Type\r\n ModuleIdent=\"a\r\nb\" ModuleClass='D\tI' Image=\"&#9; x \">\r\n  TB-DI8\r\n</Type>"
            "<Name>one\rtwo &lt;\r\n&#13;&#10;three</Name>\r\n"
            "<TxPdo><Name><![CDATA[c\r\nd]]>\r\ne<!-- x -->\r\nf</Name>"
            "</TxPdo></Module>\r\n</TarnBus>\r\n");
        row("blanks of every kind",
            "<TarnBus><Module><Type ModuleIdent=\"\xe3\x80\x80\">\xe3\x80\x80</Type><Name>&#32;</Name>"
            "<TxPdo><Index> &#9; </Index><Name>&#32;<!--x-->&#32;x</Name></TxPdo>"
            "<RxPdo><Index>&#160;\xc2\x85</Index><Name> <![CDATA[ ]]> </Name><Entry><Name> &amp; </Name>"
            "<DataType>&#x3000;<?pi x?>&#32;y</DataType></Entry></RxPdo></Module></TarnBus>");
        row("attributes the DTD declares",
            "<!DOCTYPE TarnBus [<!ATTLIST Type ModuleClass CDATA \"DO\" BitSize CDATA \"8\">"
            "<!ATTLIST Type ModuleIdent NMTOKENS #IMPLIED Image NMTOKEN #IMPLIED>"
            "<!ATTLIST TarnBus imageDir NMTOKEN \"Bus\">]>"
            "<TarnBus><Module><Type ModuleIdent=\" a  b \" Image=\" i \"/></Module>"
            "<Module><Type ModuleIdent=\"c\" ModuleClass=\"AI\" BitSize=\"16\"/></Module></TarnBus>");
        row("declared encoding", "<TarnBus manufacturer=\"\xe9\"/>");
        QTest::newRow("Latin-1 declared")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><TarnBus manufacturer=\"\xe9\"/>");
        QTest::newRow("GBK declared")
            << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><TarnBus manufacturer=\"\xd6\xd0\"/>");
        QTest::newRow("invalid UTF-8") << QByteArray("<TarnBus manufacturer=\"a\xff\xfe" "b\"><Module><Type "
                                                     "ModuleIdent=\"\xc3\"/></Module></TarnBus>");
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf<TarnBus manufacturer=\"m\"/>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blanks only") << QByteArray(" \n");
        QTest::newRow("cut short") << QByteArray("<TarnBus><Module><Type ModuleIdent=\"a\"/>");
        QTest::newRow("unbalanced") << QByteArray("<TarnBus><Module></TarnBus></Module>");
        QTest::newRow("two roots") << QByteArray("<TarnBus/><TarnBus/>");
        QTest::newRow("text after the root") << QByteArray("<TarnBus/>x");
        QTest::newRow("attribute twice") << QByteArray("<TarnBus manufacturer=\"a\" manufacturer=\"b\"/>");
        QTest::newRow("declaration not first") << QByteArray(" <?xml version=\"1.0\"?><TarnBus/>");
        QTest::newRow("]]> in text") << QByteArray("<TarnBus manufacturer=\"m\">]]></TarnBus>");
    }
    void cornerCases()
    {
        QFETCH(QByteArray, xml);
        QString differs = difference(xml);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        differs = difference(ScrambledXml::scramble(xml));
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }

    // Damaged copies of the shipped files: slices cut out, repeated or moved,
    // as a file cut short or edited by hand may be. Whatever one reader
    // makes of a copy, the other makes the same.
    void damagedCopies_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : shippedFiles())
            QTest::newRow(qPrintable(path)) << path;
    }
    void damagedCopies()
    {
        QFETCH(QString, path);
        const QByteArray plain = ScrambledXml::xmlText(readFile(path));
        QRandomGenerator random(20261211);
        int wellFormed = 0;
        for (int copy = 0; copy < 240; ++copy) {
            // Every third copy is cut in bytes, the others in whole lines,
            // which keeps more of them well-formed.
            const bool bytes = copy % 3 == 0;
            QByteArray damaged;
            if (bytes) {
                const std::vector<char> cut = edited(std::vector<char>(plain.begin(), plain.end()), 200, random);
                damaged = QByteArray(cut.data(), int(cut.size()));
            } else {
                const QList<QByteArray> lines = plain.split('\n');
                const std::vector<QByteArray> cut =
                    edited(std::vector<QByteArray>(lines.begin(), lines.end()), 3, random);
                damaged = QList<QByteArray>(cut.begin(), cut.end()).join('\n');
            }
            bool streamed = false;
            const QString differs = difference(damaged, &streamed);
            QVERIFY2(differs.isEmpty(), qPrintable(QStringLiteral("copy %1: %2").arg(copy).arg(differs)));
            wellFormed += streamed ? 1 : 0;
        }
        // Some copies must stay well-formed, or the streaming reader's own
        // model of damaged files goes unchecked.
        QVERIFY2(wellFormed >= 10, qPrintable(QString::number(wellFormed)));
    }
};

QTEST_GUILESS_MAIN(TestDescriptionReader)
#include "tst_descriptionreader.moc"
