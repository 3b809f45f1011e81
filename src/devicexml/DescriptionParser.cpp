#include "DescriptionParser.h"

#include "DescriptionDomReader.h"
#include "DeviceXmlLog.h"
#include "ScrambledXml.h"
#include "TarnBaseConvert.h"

#include <QXmlInputSource>
#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

using TarnBase::TarnBaseConvert;

namespace DescriptionText {

void readTypeAttributes(ModuleDescription &module, const std::function<QString(const char *)> &attribute)
{
    const auto text = [&attribute](const char *name) { return attribute(name); };
    const auto number = [&attribute](const char *name) { return readDecimal(attribute(name)); };
    module.moduleClass = text("ModuleClass");
    module.moduleIdent = text("ModuleIdent");
    module.bitSize = number("BitSize");
    module.channelCount = number("ChannelCount");
    module.suportChangeableChannel = number("SuportChangeableChannel") != 0;
    module.image = text("Image");
    module.supportSpeed = number("supportSpeed");
    module.suportERDC3 = number("SuportERDC3");
    module.inputChannelCount = number("InputChannelCount");
    module.outputChannelCount = number("OutputChannelCount");
    module.inputOffs = number("InputOffs");
    module.outputOffs = number("OutputOffs");
    module.inputChannelOffs = number("InputChannelOffs");
    module.outputChannelOffs = number("OutputChannelOffs");
}

int readDecimal(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace DescriptionText

namespace {

using DescriptionText::readDecimal;

// The reader walks the file once and keeps only the elements that are open.
// What an element means follows from what its parent means: the children of
// a Module are its Type, Name, Profile and process data; a DataTypes
// element's children are data types, whatever their names. An element can
// mean several things at once (a DataTypes child may also hold the Objects
// of the dictionary), so each open element carries a list of parts.
//
// The vocabulary's rules:
// - the collection is the first TarnBus element of the document, its
//   modules are its Module children;
// - a Profile's dictionary is its first Dictionary element at any depth, the
//   data types and objects of a dictionary the children of its first
//   DataTypes and first Objects element at any depth;
// - where a field is read from the first child of a name (Flags/Access,
//   EnumInfo/Text, Info/DefaultData …), later children of that name are
//   ignored; everywhere else a later element replaces an earlier one;
// - the text of an element is all character data inside it, child elements
//   included; text that is only blanks between tags does not count, nor do
//   comments and processing instructions.
enum class Kind : quint8 {
    Collection, // the TarnBus element
    Module,
    Type,
    Profile,
    Dictionary,
    DataTypes,
    Objects,
    DataType,
    SubItem,
    EnumInfo,
    Object,
    ObjectInfo,
    InfoEntry,
    InfoEntryInfo,
    Pdo,
    Entry,
    Flags,
    // The element's text, stored in target
    Text,         // as it is (QString)
    Decimal,      // as a decimal number (qint32)
    DataTypeCode, // as a data type code (qint32)
    StyleCode,    // as a style code, an unknown one keeping the value (qint32)
    ParamTypeCode // as a parameter type code (qint32)
};

struct Part {
    Kind kind;
    void *target = nullptr; // where the element's value goes
    // Fields read from the first child of a name, and whether that child
    // was seen.
    QString first;
    QString second;
    bool firstSeen = false;
    bool secondSeen = false;
    // The record the element builds, until it is complete.
    std::unique_ptr<ModuleDescription> module;
    std::unique_ptr<DataTypeDescription> dataType;
    std::unique_ptr<TarnBaseXML::DataTypeSubItem> subItem;
    std::unique_ptr<ObjectDescription> object;
    std::unique_ptr<PdoDescription> pdo;
    std::unique_ptr<PdoEntry> entry;

    explicit Part(Kind k, void *t = nullptr)
        : kind(k)
        , target(t)
    {
    }
};

struct OpenElement {
    std::vector<Part> parts;
    QString text;
    bool wantsText = false;
};

// A search for the first element of a name below the element at depth.
struct Search {
    QLatin1String tag;
    int depth;
    Kind kind;
    DictionaryDescription *dictionary;
};

bool isText(Kind kind)
{
    return kind >= Kind::Text;
}

// Text of markup as written, with its character references and the
// predefined entities resolved; false when it holds another reference.
bool resolveReferences(const QStringRef &raw, QString *resolved)
{
    resolved->clear();
    resolved->reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        if (raw.at(i) != QLatin1Char('&')) {
            resolved->append(raw.at(i));
            continue;
        }
        const int end = raw.indexOf(QLatin1Char(';'), i);
        if (end < 0)
            return false;
        const QStringRef name = raw.mid(i + 1, end - i - 1);
        i = end;
        if (name == QLatin1String("amp")) {
            resolved->append(QLatin1Char('&'));
        } else if (name == QLatin1String("lt")) {
            resolved->append(QLatin1Char('<'));
        } else if (name == QLatin1String("gt")) {
            resolved->append(QLatin1Char('>'));
        } else if (name == QLatin1String("quot")) {
            resolved->append(QLatin1Char('"'));
        } else if (name == QLatin1String("apos")) {
            resolved->append(QLatin1Char('\''));
        } else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16)
                                                                   : name.mid(1).toUInt(&ok, 10);
            if (!ok || code > 0x10FFFF)
                return false;
            const char32_t character = code;
            resolved->append(QString::fromUcs4(&character, 1));
        } else {
            return false;
        }
    }
    return true;
}

// The value of attribute name in the raw text of a start tag, as written.
QStringRef rawAttribute(const QStringRef &tag, QLatin1String name)
{
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    };
    int i = 0;
    while (i < tag.size() && blank(tag.at(i)))
        ++i;
    while (i < tag.size() && !blank(tag.at(i)))
        ++i; // the tag's name
    while (i < tag.size()) {
        while (i < tag.size() && blank(tag.at(i)))
            ++i;
        const int nameStart = i;
        while (i < tag.size() && !blank(tag.at(i)) && tag.at(i) != QLatin1Char('='))
            ++i;
        const QStringRef attribute = tag.mid(nameStart, i - nameStart);
        while (i < tag.size() && blank(tag.at(i)))
            ++i;
        if (i >= tag.size() || tag.at(i) != QLatin1Char('='))
            return QStringRef();
        ++i;
        while (i < tag.size() && blank(tag.at(i)))
            ++i;
        if (i >= tag.size() || (tag.at(i) != QLatin1Char('"') && tag.at(i) != QLatin1Char('\'')))
            return QStringRef();
        const QChar quote = tag.at(i);
        const int valueStart = ++i;
        while (i < tag.size() && tag.at(i) != quote)
            ++i;
        if (attribute == name)
            return tag.mid(valueStart, i - valueStart);
        ++i;
    }
    return QStringRef();
}

class StreamReader
{
public:
    explicit StreamReader(const QString &text)
        : m_source(text)
        , m_reader(text)
        , m_rawLineEnds(text.contains(QLatin1Char('\r')))
    {
        // Prefixes are part of the tag name; an undeclared one is no error.
        m_reader.setNamespaceProcessing(false);
    }

    // The collection, or an empty one with error set when the text is not
    // well-formed XML.
    DescriptionFile read(QString *error);

private:
    void startElement();
    void endElement();
    void childParts(Part &parent, const QStringRef &tag, std::vector<Part> &parts);
    void complete(Part &part, const QString &text);
    QString attribute(const QXmlStreamAttributes &attributes, const char *name) const;
    bool isLayout() const;
    QStringRef rawToken() const;
    // A text token as written, where the reader normalised its line ends;
    // null where it reads differently.
    QString writtenText(const QStringRef &text) const;
    void appendText();

    const QString m_source;
    QXmlStreamReader m_reader;
    // Descriptions keep the blanks of their text and attributes as written:
    // a line end stays CR LF, a tab or line end in an attribute stays what it
    // is. The stream reader normalises both; where it did, they are taken
    // from the text as written.
    const bool m_rawLineEnds;
    qint64 m_tokenStart = 0;
    bool m_declaresTypes = false; // a DTD may declare attribute types
    DescriptionFile m_file;
    std::vector<OpenElement> m_open; // reused between elements of a depth
    int m_depth = -1;                // index of the innermost open element
    int m_textElements = 0;          // open elements collecting text
    std::vector<Search> m_searches;
};

DescriptionFile StreamReader::read(QString *error)
{
    m_searches.push_back({QLatin1String("TarnBus"), -1, Kind::Collection, nullptr});
    while (!m_reader.atEnd()) {
        m_tokenStart = m_reader.characterOffset();
        switch (m_reader.readNext()) {
        case QXmlStreamReader::StartElement:
            startElement();
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::DTD:
            m_declaresTypes = true;
            break;
        case QXmlStreamReader::Characters:
            if (m_textElements > 0 && !isLayout())
                appendText();
            break;
        default:
            break;
        }
    }
    if (m_reader.hasError()) {
        if (error) {
            *error = QStringLiteral("%1 at %2:%3")
                         .arg(m_reader.errorString())
                         .arg(m_reader.lineNumber())
                         .arg(m_reader.columnNumber());
        }
        return DescriptionFile();
    }
    return std::move(m_file);
}

// Text between tags that is only blanks is layout, not content: blanks of
// any kind (an ideographic space as well), written or as references. A
// CDATA section is always content.
bool StreamReader::isLayout() const
{
    if (m_reader.isWhitespace())
        return true;
    if (m_reader.isCDATA())
        return false;
    const QStringRef text = m_reader.text();
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

QStringRef StreamReader::rawToken() const
{
    return m_source.midRef(int(m_tokenStart), int(m_reader.characterOffset() - m_tokenStart));
}

QString normalisedLineEnds(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString StreamReader::writtenText(const QStringRef &text) const
{
    // The token as written ends with the '<' that ended it, unless it is a
    // CDATA section.
    QStringRef raw = rawToken();
    QString written;
    QString normalised;
    if (m_reader.isCDATA()) {
        if (!raw.startsWith(QLatin1String("<![CDATA[")) || !raw.endsWith(QLatin1String("]]>")))
            return QString();
        written = raw.mid(9, raw.size() - 12).toString();
        normalised = normalisedLineEnds(written);
    } else {
        if (raw.endsWith(QLatin1Char('<')))
            raw.chop(1);
        const QString lineEnds = normalisedLineEnds(raw.toString());
        if (!resolveReferences(raw, &written) || !resolveReferences(QStringRef(&lineEnds), &normalised))
            return QString();
    }
    return normalised == text ? written : QString();
}

void StreamReader::appendText()
{
    const QStringRef text = m_reader.text();
    const QString written = m_rawLineEnds && text.contains(QLatin1Char('\n')) ? writtenText(text) : QString();
    for (int d = 0; d <= m_depth; ++d) {
        OpenElement &element = m_open[size_t(d)];
        if (!element.wantsText)
            continue;
        if (written.isNull())
            element.text.append(text);
        else
            element.text.append(written);
    }
}

QString StreamReader::attribute(const QXmlStreamAttributes &attributes, const char *name) const
{
    // Only attributes written in the file count, not defaults a DTD gives.
    const QLatin1String key(name);
    const auto found = std::find_if(attributes.begin(), attributes.end(), [key](const QXmlStreamAttribute &a) {
        return !a.isDefault() && a.qualifiedName() == key;
    });
    if (found == attributes.end())
        return QString();
    const QStringRef value = found->value();
    if (!m_declaresTypes && !value.contains(QLatin1Char(' ')))
        return value.toString();
    // A blank may have been a tab or a line end as written, or one of a run
    // of blanks that a type declared in the DTD collapsed.
    const QStringRef raw = rawAttribute(rawToken(), key);
    QString lineEnds = raw.toString();
    lineEnds.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : lineEnds) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    QString normalised;
    QString written;
    if (!resolveReferences(QStringRef(&lineEnds), &normalised) || !resolveReferences(raw, &written))
        return value.toString();
    const QString collapsed = normalised.split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    return normalised == value || (m_declaresTypes && collapsed == value) ? written : value.toString();
}

void StreamReader::startElement()
{
    ++m_depth;
    if (size_t(m_depth) == m_open.size())
        m_open.emplace_back();
    const QStringRef tag = m_reader.qualifiedName();
    {
        OpenElement &element = m_open[size_t(m_depth)];
        element.parts.clear();
        element.text.clear();
        element.wantsText = false;
    }
    if (m_depth > 0) {
        OpenElement &parent = m_open[size_t(m_depth - 1)];
        std::vector<Part> &parts = m_open[size_t(m_depth)].parts;
        for (Part &part : parent.parts)
            childParts(part, tag, parts);
    }
    OpenElement &element = m_open[size_t(m_depth)];
    for (auto search = m_searches.begin(); search != m_searches.end();) {
        if (tag == search->tag) {
            element.parts.emplace_back(search->kind, search->dictionary);
            search = m_searches.erase(search);
        } else {
            ++search;
        }
    }
    for (Part &part : element.parts) {
        switch (part.kind) {
        case Kind::Collection: {
            const QXmlStreamAttributes attributes = m_reader.attributes();
            m_file.manufacturer = attribute(attributes, "manufacturer");
            m_file.protcolVersion = attribute(attributes, "protcolVersion");
            m_file.imageDir = attribute(attributes, "imageDir");
            break;
        }
        case Kind::Type: {
            auto &module = *static_cast<ModuleDescription *>(part.target);
            const QXmlStreamAttributes attributes = m_reader.attributes();
            DescriptionText::readTypeAttributes(module, [this, &attributes](const char *name) { return attribute(attributes, name); });
            element.wantsText = true;
            break;
        }
        case Kind::Pdo: {
            bool ok = false;
            const int sm = attribute(m_reader.attributes(), "Sm").trimmed().toInt(&ok, 10);
            part.pdo->sm = ok ? sm : PdoDescription::kDefaultSm;
            break;
        }
        case Kind::Profile:
            m_searches.push_back({QLatin1String("Dictionary"), m_depth, Kind::Dictionary,
                                  static_cast<DictionaryDescription *>(part.target)});
            break;
        case Kind::Dictionary: {
            auto *dictionary = static_cast<DictionaryDescription *>(part.target);
            m_searches.push_back({QLatin1String("DataTypes"), m_depth, Kind::DataTypes, dictionary});
            m_searches.push_back({QLatin1String("Objects"), m_depth, Kind::Objects, dictionary});
            break;
        }
        case Kind::Flags:
            // Access is empty unless the Flags element names one.
            *static_cast<QString *>(part.target) = QString();
            break;
        default:
            if (isText(part.kind))
                element.wantsText = true;
            break;
        }
    }
    if (element.wantsText)
        ++m_textElements;
}

void StreamReader::childParts(Part &parent, const QStringRef &tag, std::vector<Part> &parts)
{
    const auto text = [&parts](QString &target) { parts.emplace_back(Kind::Text, &target); };
    switch (parent.kind) {
    case Kind::Collection:
        if (tag == QLatin1String("Module")) {
            parts.emplace_back(Kind::Module);
            parts.back().module = std::make_unique<ModuleDescription>();
        }
        break;
    case Kind::Module: {
        ModuleDescription &module = *parent.module;
        if (tag == QLatin1String("Type")) {
            parts.emplace_back(Kind::Type, &module);
        } else if (tag == QLatin1String("Name")) {
            text(module.name);
        } else if (tag == QLatin1String("Profile")) {
            parts.emplace_back(Kind::Profile, &module.dictionary);
        } else if (tag == QLatin1String("TxPdo") || tag == QLatin1String("RxPdo")) {
            parts.emplace_back(Kind::Pdo, tag == QLatin1String("TxPdo") ? &module.txPdo : &module.rxPdo);
            parts.back().pdo = std::make_unique<PdoDescription>();
        }
        break;
    }
    case Kind::DataTypes:
        parts.emplace_back(Kind::DataType, parent.target);
        parts.back().dataType = std::make_unique<DataTypeDescription>();
        break;
    case Kind::Objects:
        parts.emplace_back(Kind::Object, parent.target);
        parts.back().object = std::make_unique<ObjectDescription>();
        break;
    case Kind::DataType: {
        DataTypeDescription &type = *parent.dataType;
        if (tag == QLatin1String("Name")) {
            text(type.name);
        } else if (tag == QLatin1String("BitSize")) {
            text(type.bitSize);
        } else if (tag == QLatin1String("BaseType")) {
            parts.emplace_back(Kind::DataTypeCode, &type.baseType);
        } else if (tag == QLatin1String("SubItem")) {
            parts.emplace_back(Kind::SubItem, &type);
            parts.back().subItem = std::make_unique<TarnBaseXML::DataTypeSubItem>();
        } else if (tag == QLatin1String("EnumInfo")) {
            parts.emplace_back(Kind::EnumInfo, &type);
        }
        break;
    }
    case Kind::SubItem: {
        TarnBaseXML::DataTypeSubItem &item = *parent.subItem;
        if (tag == QLatin1String("SubIdx"))
            text(item.SubIdx);
        else if (tag == QLatin1String("Name"))
            text(item.Name);
        else if (tag == QLatin1String("Type"))
            text(item.Type);
        else if (tag == QLatin1String("BitSize"))
            text(item.BitSize);
        else if (tag == QLatin1String("BitOffs"))
            text(item.BitOffs);
        else if (tag == QLatin1String("CountOffs"))
            text(item.CountOffs);
        else if (tag == QLatin1String("BaseType"))
            parts.emplace_back(Kind::DataTypeCode, &item.BaseType);
        else if (tag == QLatin1String("Style"))
            parts.emplace_back(Kind::StyleCode, &item.Style);
        else if (tag == QLatin1String("ParamType"))
            parts.emplace_back(Kind::ParamTypeCode, &item.ParamType);
        else if (tag == QLatin1String("Flags"))
            parts.emplace_back(Kind::Flags, &item.Access);
        break;
    }
    case Kind::EnumInfo:
        if (tag == QLatin1String("Text") && !parent.firstSeen) {
            parent.firstSeen = true;
            text(parent.first);
        } else if (tag == QLatin1String("Enum") && !parent.secondSeen) {
            parent.secondSeen = true;
            text(parent.second);
        }
        break;
    case Kind::Object: {
        ObjectDescription &object = *parent.object;
        if (tag == QLatin1String("Index"))
            text(object.index);
        else if (tag == QLatin1String("Name"))
            text(object.name);
        else if (tag == QLatin1String("Type"))
            text(object.type);
        else if (tag == QLatin1String("BitSize"))
            text(object.bitSize);
        else if (tag == QLatin1String("Info"))
            parts.emplace_back(Kind::ObjectInfo, &object);
        break;
    }
    case Kind::ObjectInfo:
        parts.emplace_back(Kind::InfoEntry, parent.target);
        break;
    case Kind::InfoEntry:
        if (tag == QLatin1String("Name") && !parent.firstSeen) {
            parent.firstSeen = true;
            text(parent.first);
        } else if (tag == QLatin1String("Info") && !parent.secondSeen) {
            parent.secondSeen = true;
            parts.emplace_back(Kind::InfoEntryInfo, &parent.second);
        }
        break;
    case Kind::InfoEntryInfo:
        if (tag == QLatin1String("DefaultData") && !parent.firstSeen) {
            parent.firstSeen = true;
            text(*static_cast<QString *>(parent.target));
        }
        break;
    case Kind::Pdo: {
        PdoDescription &pdo = *parent.pdo;
        if (tag == QLatin1String("Index")) {
            text(pdo.index);
        } else if (tag == QLatin1String("Name")) {
            text(pdo.name);
        } else if (tag == QLatin1String("Entry")) {
            parts.emplace_back(Kind::Entry, &pdo);
            parts.back().entry = std::make_unique<PdoEntry>();
        }
        break;
    }
    case Kind::Entry: {
        PdoEntry &entry = *parent.entry;
        if (tag == QLatin1String("Index"))
            text(entry.index);
        else if (tag == QLatin1String("SubIndex"))
            text(entry.subIndex);
        else if (tag == QLatin1String("BitLen"))
            parts.emplace_back(Kind::Decimal, &entry.bitLen);
        else if (tag == QLatin1String("Name"))
            text(entry.name);
        else if (tag == QLatin1String("DataType"))
            text(entry.dataType);
        else if (tag == QLatin1String("Flags"))
            parts.emplace_back(Kind::Flags, &entry.access);
        break;
    }
    case Kind::Flags:
        if (tag == QLatin1String("Access") && !parent.firstSeen) {
            parent.firstSeen = true;
            text(*static_cast<QString *>(parent.target));
        }
        break;
    default:
        break;
    }
}

void StreamReader::endElement()
{
    OpenElement &element = m_open[size_t(m_depth)];
    for (Part &part : element.parts)
        complete(part, element.text);
    if (element.wantsText)
        --m_textElements;
    for (auto search = m_searches.begin(); search != m_searches.end();) {
        if (search->depth == m_depth)
            search = m_searches.erase(search);
        else
            ++search;
    }
    element.parts.clear();
    --m_depth;
}

void StreamReader::complete(Part &part, const QString &text)
{
    switch (part.kind) {
    case Kind::Module: {
        part.module->imageDir = m_file.imageDir;
        const QString ident = part.module->moduleIdent;
        m_file.modules[ident] = std::move(part.module); // a later module replaces an earlier one
        break;
    }
    case Kind::Type:
        static_cast<ModuleDescription *>(part.target)->typeName = text;
        break;
    case Kind::DataType: {
        auto *dictionary = static_cast<DictionaryDescription *>(part.target);
        const QString key = part.dataType->name;
        dictionary->dataTypes[key] = std::move(part.dataType);
        break;
    }
    case Kind::Object:
        static_cast<DictionaryDescription *>(part.target)->objects.push_back(std::move(part.object));
        break;
    case Kind::SubItem: {
        auto *type = static_cast<DataTypeDescription *>(part.target);
        if (!type->subItemByName.contains(part.subItem->Name))
            type->subItemByName.insert(part.subItem->Name, int(type->subItems.size()));
        type->subItems.push_back(std::move(part.subItem));
        break;
    }
    case Kind::EnumInfo: {
        auto *type = static_cast<DataTypeDescription *>(part.target);
        const int value = readDecimal(part.second);
        if (!part.first.isEmpty())
            type->enumTexts.insert(value, part.first);
        type->enumValues.append(value);
        break;
    }
    case Kind::InfoEntry:
        static_cast<ObjectDescription *>(part.target)->info.append(qMakePair(part.first, part.second));
        break;
    case Kind::Pdo:
        *static_cast<std::unique_ptr<PdoDescription> *>(part.target) = std::move(part.pdo);
        break;
    case Kind::Entry:
        static_cast<PdoDescription *>(part.target)->entries.push_back(std::move(part.entry));
        break;
    case Kind::Text:
        *static_cast<QString *>(part.target) = text;
        break;
    case Kind::Decimal:
        *static_cast<qint32 *>(part.target) = readDecimal(text);
        break;
    case Kind::DataTypeCode:
        *static_cast<qint32 *>(part.target) = TarnBaseConvert::dataTypeCode(text);
        break;
    case Kind::StyleCode: {
        auto *style = static_cast<qint32 *>(part.target);
        *style = TarnBaseConvert::styleCode(text, *style);
        break;
    }
    case Kind::ParamTypeCode:
        *static_cast<qint32 *>(part.target) = TarnBaseConvert::paramTypeCode(text);
        break;
    default:
        break;
    }
}

// The characters of an XML file's bytes: the encoding its declaration names
// (UTF-8 without one), bytes that are invalid in it read as U+FFFD, the way
// descriptions have always been read.
QString decodedText(const QByteArray &xml)
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QXmlInputSource source;
    source.setData(xml);
    return source.data();
    QT_WARNING_POP
}

} // namespace

DescriptionFile parseDescriptionFile(const QDomDocument &document)
{
    QString error;
    DescriptionFile file = StreamReader(document.toString(-1)).read(&error);
    // A document can hold what its text then does not (an undeclared entity).
    return error.isEmpty() ? std::move(file) : DescriptionDom::readDocument(document);
}

DescriptionFile streamDescriptionText(const QByteArray &xmlText, QString *error)
{
    return StreamReader(decodedText(xmlText)).read(error);
}

DescriptionFile parseDescriptionBytes(const QByteArray &fileBytes, QString *error)
{
    const QByteArray xmlText = ScrambledXml::xmlText(fileBytes);
    QString streamError;
    DescriptionFile file = streamDescriptionText(xmlText, &streamError);
    if (streamError.isEmpty())
        return file;
    // Files that are not well-formed have always been read by a more lenient
    // parser; it still decides for them, so that no such file loses the
    // modules it described.
    return DescriptionDom::readText(xmlText, error);
}

int isDeviceType(const QString &moduleClass)
{
    qCDebug(lcDeviceXml) << "isDeviceType" << "value:" << moduleClass;
    return TarnBaseConvert::moduleTypeCode(moduleClass);
}
