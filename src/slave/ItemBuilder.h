#pragma once

#include "ItemsInfo.h"

#include <DescriptionModel.h>

#include <QByteArray>
#include <QString>

// Builds a slave's item groups from its device description. Malformed texts
// never fail: unknown types give code 10, unparsable numbers 0 (or -1 for a
// sub-index).
namespace ItemBuilder {

// A sub-item's SubIdx: "#x" followed by hexadecimal, or decimal; -1 when not
// a number, when it is 0xFFFF or when it does not fit a sub-index.
int parseSubIndex(const QString &text);

// A process-data entry's SubIndex: decimal only ("#x10" is not a number);
// -1 when not a number or when it does not fit a sub-index.
int parseEntrySubIndex(const QString &text);

// Hexadecimal text, two characters per byte; a last single character is one
// digit. Characters that are no digit read as 0.
QByteArray parseDefaultData(const QString &hexText);

// One group per dictionary object: its items follow the object's Info
// entries, typed by the object's data type.
ItemsInfo *buildObjectGroup(const ObjectDescription &object, const DictionaryDescription &dictionary);

// One group per process-data description; every item gets paramType.
ItemsInfo *buildPdoGroup(const PdoDescription &pdo, int paramType);

} // namespace ItemBuilder
