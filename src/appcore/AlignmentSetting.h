#pragma once

#include <QString>

// The process-wide alignment mode, kept in setByte.ini under "Byte" (in the
// user's configuration folder, SettingsFiles): byte alignment (unit 8) when
// true, bit alignment (unit 1) otherwise. The window and the command line
// read the same file.
namespace appcore::AlignmentSetting {

constexpr int kBitUnit = 1;
constexpr int kByteUnit = 8;

QString defaultPath(); // setByte.ini in the user's configuration folder

// The alignment unit the settings file chooses; bits when there is none.
int unit(const QString &path = defaultPath());
// Stores the mode; false when the file could not be written.
bool save(bool byteAlignment, const QString &path = defaultPath());

} // namespace appcore::AlignmentSetting
