#include "DescriptionDomReader.h"

#include "DescriptionParser.h"
#include "TarnBaseConvert.h"

#include <QDomElement>

using TarnBase::TarnBaseConvert;

namespace {

using DescriptionText::readDecimal;

// First element named tag below root, depth first in document order. Each
// search covers a separate part of the tree, so a whole file is read in
// linear time.
QDomElement findFirst(const QDomNode &root, const QString &tag)
{
    QDomNode node = root.firstChild();
    while (!node.isNull()) {
        if (node.isElement() && node.toElement().tagName() == tag)
            return node.toElement();
        if (node.hasChildNodes()) {
            node = node.firstChild();
            continue;
        }
        while (!node.isNull() && node != root && node.nextSibling().isNull())
            node = node.parentNode();
        if (node.isNull() || node == root)
            break;
        node = node.nextSibling();
    }
    return QDomElement();
}

template<typename Visit>
void forEachChildElement(const QDomElement &parent, Visit visit)
{
    for (QDomElement child = parent.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        visit(child);
}

std::unique_ptr<TarnBaseXML::DataTypeSubItem> parseSubItem(const QDomElement &element)
{
    auto item = std::make_unique<TarnBaseXML::DataTypeSubItem>();
    forEachChildElement(element, [&item](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("SubIdx"))
            item->SubIdx = child.text();
        else if (tag == QLatin1String("Name"))
            item->Name = child.text();
        else if (tag == QLatin1String("Type"))
            item->Type = child.text();
        else if (tag == QLatin1String("BitSize"))
            item->BitSize = child.text();
        else if (tag == QLatin1String("BitOffs"))
            item->BitOffs = child.text();
        else if (tag == QLatin1String("CountOffs"))
            item->CountOffs = child.text();
        else if (tag == QLatin1String("BaseType"))
            item->BaseType = TarnBaseConvert::dataTypeCode(child.text());
        else if (tag == QLatin1String("Style"))
            item->Style = TarnBaseConvert::styleCode(child.text(), item->Style);
        else if (tag == QLatin1String("ParamType"))
            item->ParamType = TarnBaseConvert::paramTypeCode(child.text());
        else if (tag == QLatin1String("Flags"))
            item->Access = child.firstChildElement(QStringLiteral("Access")).text();
    });
    return item;
}

std::unique_ptr<DataTypeDescription> parseDataType(const QDomElement &element)
{
    auto type = std::make_unique<DataTypeDescription>();
    forEachChildElement(element, [&type](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("Name")) {
            type->name = child.text();
        } else if (tag == QLatin1String("BitSize")) {
            type->bitSize = child.text();
        } else if (tag == QLatin1String("BaseType")) {
            type->baseType = TarnBaseConvert::dataTypeCode(child.text());
        } else if (tag == QLatin1String("SubItem")) {
            auto item = parseSubItem(child);
            if (!type->subItemByName.contains(item->Name))
                type->subItemByName.insert(item->Name, int(type->subItems.size()));
            type->subItems.push_back(std::move(item));
        } else if (tag == QLatin1String("EnumInfo")) {
            const QString text = child.firstChildElement(QStringLiteral("Text")).text();
            const int value = readDecimal(child.firstChildElement(QStringLiteral("Enum")).text());
            if (!text.isEmpty())
                type->enumTexts.insert(value, text);
            type->enumValues.append(value);
        }
    });
    return type;
}

std::unique_ptr<ObjectDescription> parseObject(const QDomElement &element)
{
    auto object = std::make_unique<ObjectDescription>();
    forEachChildElement(element, [&object](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("Index")) {
            object->index = child.text();
        } else if (tag == QLatin1String("Name")) {
            object->name = child.text();
        } else if (tag == QLatin1String("Type")) {
            object->type = child.text();
        } else if (tag == QLatin1String("BitSize")) {
            object->bitSize = child.text();
        } else if (tag == QLatin1String("Info")) {
            forEachChildElement(child, [&object](const QDomElement &entry) {
                const QString name = entry.firstChildElement(QStringLiteral("Name")).text();
                const QString defaultData = entry.firstChildElement(QStringLiteral("Info"))
                                                .firstChildElement(QStringLiteral("DefaultData"))
                                                .text();
                object->info.append(qMakePair(name, defaultData));
            });
        }
    });
    return object;
}

void parseDictionary(const QDomElement &profile, DictionaryDescription &dictionary)
{
    const QDomElement dictionaryElement = findFirst(profile, QStringLiteral("Dictionary"));
    if (dictionaryElement.isNull())
        return;
    const QDomElement dataTypes = findFirst(dictionaryElement, QStringLiteral("DataTypes"));
    forEachChildElement(dataTypes, [&dictionary](const QDomElement &child) {
        auto type = parseDataType(child);
        const QString key = type->name;
        dictionary.dataTypes[key] = std::move(type);
    });
    const QDomElement objects = findFirst(dictionaryElement, QStringLiteral("Objects"));
    forEachChildElement(objects, [&dictionary](const QDomElement &child) {
        dictionary.objects.push_back(parseObject(child));
    });
}

std::unique_ptr<PdoEntry> parseEntry(const QDomElement &element)
{
    auto entry = std::make_unique<PdoEntry>();
    forEachChildElement(element, [&entry](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("Index"))
            entry->index = child.text();
        else if (tag == QLatin1String("SubIndex"))
            entry->subIndex = child.text();
        else if (tag == QLatin1String("BitLen"))
            entry->bitLen = readDecimal(child.text());
        else if (tag == QLatin1String("Name"))
            entry->name = child.text();
        else if (tag == QLatin1String("DataType"))
            entry->dataType = child.text();
        else if (tag == QLatin1String("Flags"))
            entry->access = child.firstChildElement(QStringLiteral("Access")).text();
    });
    return entry;
}

std::unique_ptr<PdoDescription> parsePdo(const QDomElement &element)
{
    auto pdo = std::make_unique<PdoDescription>();
    bool ok = false;
    const int sm = element.attribute(QStringLiteral("Sm")).trimmed().toInt(&ok, 10);
    pdo->sm = ok ? sm : PdoDescription::kDefaultSm;
    forEachChildElement(element, [&pdo](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("Index"))
            pdo->index = child.text();
        else if (tag == QLatin1String("Name"))
            pdo->name = child.text();
        else if (tag == QLatin1String("Entry"))
            pdo->entries.push_back(parseEntry(child));
    });
    return pdo;
}

void parseType(const QDomElement &element, ModuleDescription &module)
{
    module.typeName = element.text();
    DescriptionText::readTypeAttributes(module, [&element](const char *name) { return element.attribute(QLatin1String(name)); });
}

std::unique_ptr<ModuleDescription> parseModule(const QDomElement &element, const QString &imageDir)
{
    auto module = std::make_unique<ModuleDescription>();
    forEachChildElement(element, [&module](const QDomElement &child) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("Type"))
            parseType(child, *module);
        else if (tag == QLatin1String("Name"))
            module->name = child.text();
        else if (tag == QLatin1String("Profile"))
            parseDictionary(child, module->dictionary);
        else if (tag == QLatin1String("TxPdo"))
            module->txPdo = parsePdo(child);
        else if (tag == QLatin1String("RxPdo"))
            module->rxPdo = parsePdo(child);
    });
    module->imageDir = imageDir;
    return module;
}

} // namespace

namespace DescriptionDom {

DescriptionFile readDocument(const QDomDocument &document)
{
    DescriptionFile file;
    const QDomElement root = findFirst(document, QStringLiteral("TarnBus"));
    if (root.isNull())
        return file;
    file.manufacturer = root.attribute(QStringLiteral("manufacturer"));
    file.protcolVersion = root.attribute(QStringLiteral("protcolVersion"));
    file.imageDir = root.attribute(QStringLiteral("imageDir"));
    forEachChildElement(root, [&file](const QDomElement &child) {
        if (child.tagName() != QLatin1String("Module"))
            return;
        auto module = parseModule(child, file.imageDir);
        const QString ident = module->moduleIdent;
        file.modules[ident] = std::move(module); // a later module replaces an earlier one
    });
    return file;
}

DescriptionFile readText(const QByteArray &xmlText, QString *error)
{
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(xmlText, &message, &line, &column)) {
        if (error)
            *error = QStringLiteral("%1 at %2:%3").arg(message).arg(line).arg(column);
        document.clear();
    }
    return readDocument(document);
}

} // namespace DescriptionDom
