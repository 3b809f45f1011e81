#pragma once

#include "DescriptionModel.h"

#include <QDomDocument>
#include <QString>

// Reads the description vocabulary from a parsed XML document. Elements and
// attributes outside the vocabulary are ignored; missing ones leave fields
// empty or 0. Never fails: a document without a TarnBus element yields a
// collection without modules.
DescriptionFile parseDescriptionFile(const QDomDocument &document);

// The bytes of a description file as stored, plain or scrambled. Text that is
// not well-formed XML describes no module; error then says why.
DescriptionFile parseDescriptionBytes(const QByteArray &fileBytes, QString *error = nullptr);

// Module type code of a ModuleClass text (0 "DI" … 7 "AIAO", 8 other).
int isDeviceType(const QString &moduleClass);

namespace DescriptionText {
// Decimal number of text (surrounding blanks ignored); 0 when it is none.
int readDecimal(const QString &text);
} // namespace DescriptionText
