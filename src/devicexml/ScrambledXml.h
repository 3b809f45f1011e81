#pragma once

#include <QByteArray>

// The stored form of a scrambled description file: a 4-byte marker followed
// by the XML text with every byte inverted. No key is involved; the form only
// keeps casual editors away from the files.
namespace ScrambledXml {

constexpr int kMarkerSize = 4;
extern const char kMarker[kMarkerSize];

bool hasMarker(const QByteArray &fileBytes);

// Every byte b replaced by 0xFF - b, in place.
void invertBytes(QByteArray &bytes);

// The XML text of a description file's bytes: unscrambled when the file
// starts with the marker, the bytes unchanged otherwise.
QByteArray xmlText(const QByteArray &fileBytes);

// The scrambled form of plain XML text.
QByteArray scramble(const QByteArray &xmlText);

} // namespace ScrambledXml
