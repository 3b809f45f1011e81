#pragma once

#include <QString>

// The process-wide alignment mode, kept in ./setByte.ini under "Byte":
// byte alignment (unit 8) when true, bit alignment (unit 1) otherwise.
namespace appcore::AlignmentSetting {

constexpr int kBitUnit = 1;
constexpr int kByteUnit = 8;

QString defaultPath(); // "./setByte.ini"

// The alignment unit the settings file chooses; bits when there is none.
int unit(const QString &path = defaultPath());
// Stores the mode; false when the file could not be written.
bool save(bool byteAlignment, const QString &path = defaultPath());

} // namespace appcore::AlignmentSetting
