#pragma once

#include "DescriptionModel.h"

#include <functional>
#include <QDomDocument>
#include <QString>

// The bytes of a description file as stored, plain or scrambled, read as a
// stream without building a document tree. Elements and attributes outside
// the vocabulary are ignored; missing ones leave fields empty or 0. Text that
// is not well-formed XML describes no module; error then says why. A document
// without a TarnBus element yields a collection without modules.
DescriptionFile parseDescriptionBytes(const QByteArray &fileBytes, QString *error = nullptr);

// The streaming reader alone, on plain XML text: no module for text it
// rejects as not well-formed.
DescriptionFile streamDescriptionText(const QByteArray &xmlText, QString *error = nullptr);

// The same for a document already parsed by the caller (tests build them),
// read from its text as QDomDocument writes it (which puts a line end after
// a processing instruction).
DescriptionFile parseDescriptionFile(const QDomDocument &document);

// Module type code of a ModuleClass text (0 "DI" … 7 "AIAO", 8 other).
int isDeviceType(const QString &moduleClass);

namespace DescriptionText {
// Decimal number of text (surrounding blanks ignored); 0 when it is none.
int readDecimal(const QString &text);

// The attributes of a module's Type element, as both readers take them;
// attribute(name) gives an attribute's text, empty when it is missing.
void readTypeAttributes(ModuleDescription &module, const std::function<QString(const char *)> &attribute);
} // namespace DescriptionText
