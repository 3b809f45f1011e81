#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include <map>
#include <memory>
#include <vector>

// In-memory form of a device description file. Plain records, each owning
// what lies below it; the reader fills them and nothing changes them later,
// so a loaded collection can be shared read-only between threads.

namespace TarnBaseXML {

// One sub-item of a data type: a field of a configuration or information
// object.
class DataTypeSubItem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    QString SubIdx;
    QString Name;
    QString Type;
    QString BitSize;
    QString BitOffs;
    QString CountOffs;
    qint32 BaseType = 10; // data type code
    QString Access;       // "ro" or "rw"
    qint32 Style = 0;     // style code
    qint32 ParamType = 0; // XML_ItemParamType code
};

} // namespace TarnBaseXML

struct DataTypeDescription {
    QString name;
    QString bitSize;
    qint32 baseType = 10;
    std::vector<std::unique_ptr<TarnBaseXML::DataTypeSubItem>> subItems;
    QHash<QString, int> subItemByName; // first sub-item of each name
    QMap<int, QString> enumTexts; // Enum → Text, entries without text omitted
    QList<int> enumValues;        // Enum numbers in document order

    // First sub-item of that name, or null.
    const TarnBaseXML::DataTypeSubItem *subItem(const QString &subItemName) const;
};

struct ObjectDescription {
    QString index;
    QString name;
    QString type;
    QString bitSize;
    QList<QPair<QString, QString>> info; // (sub-item name, default data as hex text)
};

struct DictionaryDescription {
    std::map<QString, std::unique_ptr<DataTypeDescription>> dataTypes;
    std::vector<std::unique_ptr<ObjectDescription>> objects;

    const DataTypeDescription *dataType(const QString &name) const;
};

struct PdoEntry {
    QString index;
    QString subIndex;
    qint32 bitLen = 0;
    QString name;
    QString dataType;
    QString access;
};

struct PdoDescription {
    static constexpr qint32 kDefaultSm = 4;

    qint32 sm = 0;
    QString index;
    QString name; // "RXPDO" or "TXPDO"
    std::vector<std::unique_ptr<PdoEntry>> entries;
};

struct ModuleDescription {
    QString moduleClass;
    QString moduleIdent;
    QString typeName;
    QString name;
    QString image;
    QString imageDir = QStringLiteral("defind");
    qint32 bitSize = 0;
    qint32 channelCount = 0;
    qint32 supportSpeed = 0;
    qint32 suportERDC3 = 0;
    bool suportChangeableChannel = false;
    qint32 inputChannelCount = 0;
    qint32 outputChannelCount = 0;
    qint32 inputOffs = 0;
    qint32 outputOffs = 0;
    qint32 inputChannelOffs = 0;
    qint32 outputChannelOffs = 0;
    DictionaryDescription dictionary;
    std::unique_ptr<PdoDescription> txPdo;
    std::unique_ptr<PdoDescription> rxPdo;
};

struct DescriptionFile {
    QString fileName; // the file it was read from, without its folder
    QString manufacturer;
    QString protcolVersion;
    QString imageDir;
    std::map<QString, std::unique_ptr<ModuleDescription>> modules; // by ModuleIdent

    // The module described under ident, or null.
    const ModuleDescription *find(const QString &ident) const;
};
