#pragma once

#include <QString>

// The small settings files of the program (setByte.ini, the alignment mode;
// path.ini, the upgrade dialog's last folder), kept in the user's
// configuration folder (~/.config/tarnbus-tester), the same for the window
// and the command line.
//
// Earlier versions kept them in the working folder. Such a file is taken
// over the first time its settings are asked for while the user has none
// of that name yet: copied, not moved, so that it is never lost, and after
// that left alone.
namespace SettingsFiles {

const QString kAlignment = QStringLiteral("setByte.ini");
const QString kUpgrade = QStringLiteral("path.ini");

// The user's configuration folder of the program. Not created here.
QString folder();

// The settings file of this name, after taking over one of the working
// folder. When the user's folder cannot be written, the working folder's
// file is used where it is rather than lost.
QString path(const QString &name);

// Copies an old settings file to its new place, unless the new one exists
// or the old one does not. Returns the file to use: the new one, or the old
// one when it could not be copied.
QString takeOver(const QString &oldFile, const QString &newFile);

} // namespace SettingsFiles
