#include "DescriptionModel.h"

const TarnBaseXML::DataTypeSubItem *DataTypeDescription::subItem(const QString &subItemName) const
{
    const int at = subItemByName.value(subItemName, -1);
    return at < 0 ? nullptr : subItems[size_t(at)].get();
}

const DataTypeDescription *DictionaryDescription::dataType(const QString &name) const
{
    const auto it = dataTypes.find(name);
    return it == dataTypes.end() ? nullptr : it->second.get();
}

const ModuleDescription *DescriptionFile::find(const QString &ident) const
{
    const auto it = modules.find(ident);
    return it == modules.end() ? nullptr : it->second.get();
}
