#include "ItemBuilder.h"

#include "SlaveLog.h"

#include <DescriptionParser.h>
#include <TarnBaseConvert.h>

#include <limits>

using TarnBase::TarnBaseConvert;

namespace ItemBuilder {

namespace {

constexpr int kNoSubIndex = -1;
constexpr int kInvalidHexSubIndex = 0xFFFF;
const QString kHexPrefix = QStringLiteral("#x");
const QString kEnumTypeMark = QStringLiteral("DT");
const QString kReadWrite = QStringLiteral("rw");

int hexDigit(QChar c)
{
    bool ok = false;
    const int value = QString(c).toInt(&ok, 16);
    return ok ? value : 0;
}

} // namespace

namespace {

int subIndexOrNone(bool ok, int value)
{
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return kNoSubIndex;
    return value;
}

} // namespace

int parseSubIndex(const QString &text)
{
    if (!text.contains(kHexPrefix))
        return parseEntrySubIndex(text);
    QString digits = text;
    digits.remove(kHexPrefix);
    bool ok = false;
    const int value = digits.trimmed().toInt(&ok, 16);
    return subIndexOrNone(ok && value != kInvalidHexSubIndex, value);
}

int parseEntrySubIndex(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return subIndexOrNone(ok, value);
}

QByteArray parseDefaultData(const QString &hexText)
{
    const QString text = hexText.trimmed();
    QByteArray bytes;
    bytes.reserve((text.size() + 1) / 2);
    for (int i = 0; i < text.size(); i += 2) {
        if (i + 1 < text.size())
            bytes.append(char(hexDigit(text.at(i)) << 4 | hexDigit(text.at(i + 1))));
        else
            bytes.append(char(hexDigit(text.at(i))));
    }
    return bytes;
}

ItemsInfo *buildObjectGroup(const ObjectDescription &object, const DictionaryDescription &dictionary)
{
    auto *group = new ItemsInfo;
    group->name = object.name;
    group->index = TarnBaseConvert::indexCode(object.index);
    const DataTypeDescription *objectType = dictionary.dataType(object.type);

    for (const auto &entry : object.info) {
        auto *item = new ItemInfo;
        const TarnBaseXML::DataTypeSubItem *sub = objectType ? objectType->subItem(entry.first) : nullptr;
        if (!sub) {
            // Keep the position: views address information items by index.
            qCWarning(lcSlave) << "object" << object.name << "names unknown sub-item" << entry.first;
            item->name = entry.first;
        } else {
            item->subIndex = qint16(parseSubIndex(sub->SubIdx));
            item->name = sub->Name;
            item->writable = sub->Access == kReadWrite;
            item->dataTypeName = sub->Type;
            item->bitLength = qint16(DescriptionText::readDecimal(sub->BitSize));
            item->dataType = TarnBaseConvert::dataTypeCode(sub->Type);
            item->accessText = sub->Access;
            item->style = sub->Style;
            item->paramType = sub->ParamType;
        }
        item->value.index = group->index;
        item->defaultText = entry.second;
        item->defaultData = parseDefaultData(entry.second);
        item->value.data = item->defaultData;
        item->value.type = item->dataType;
        item->value.bitSize = item->bitLength;

        if (sub && sub->Type.contains(kEnumTypeMark)) {
            if (const DataTypeDescription *enumType = dictionary.dataType(sub->Type)) {
                item->dataType = enumType->baseType;
                item->enumTexts = enumType->enumTexts;
                item->enumList = enumType->enumValues;
                item->style = TarnBase::StyleComboBox;
                item->value.type = item->dataType;
            }
        }
        group->append(item);
    }
    return group;
}

ItemsInfo *buildPdoGroup(const PdoDescription &pdo, int paramType)
{
    auto *group = new ItemsInfo;
    group->name = pdo.name;
    group->index = TarnBaseConvert::indexCode(pdo.index);
    for (const auto &entry : pdo.entries) {
        auto *item = new ItemInfo;
        item->subIndex = qint16(parseEntrySubIndex(entry->subIndex));
        item->name = entry->name;
        item->dataTypeName = entry->dataType;
        item->dataType = TarnBaseConvert::dataTypeCode(entry->dataType);
        item->value.type = item->dataType;
        item->bitLength = qint16(entry->bitLen);
        item->value.bitSize = entry->bitLen;
        item->writable = entry->access == kReadWrite;
        item->accessText = entry->access;
        item->paramType = paramType;
        group->append(item);
    }
    return group;
}

} // namespace ItemBuilder
