#pragma once

#include "DescriptionModel.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Descriptions read through a whole DOM document, walked element by element.
// The streaming reader (parseDescriptionBytes) builds the same model without
// the tree; this one decides only for text the streaming reader rejects, since
// it has always accepted a few faults (an attribute given twice, an undeclared
// entity, bytes outside the declared encoding in places) and read such files
// as they were.
namespace DescriptionDom {

DescriptionFile readDocument(const QDomDocument &document);

// Plain XML text; text that is not well-formed XML describes no module,
// error then says why.
DescriptionFile readText(const QByteArray &xmlText, QString *error = nullptr);

} // namespace DescriptionDom
