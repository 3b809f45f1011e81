#pragma once

#include <QString>

// Where file dialogs start: the folder the user last took a file of the same
// kind from or saved one to, else the user's documents folder. Remembered in
// folders.ini of the user's configuration folder, one key per kind, so that
// configurations, reports and descriptions each keep their own folder.
namespace RecentFolders {

const QString kConfiguration = QStringLiteral("configuration"); // configuration files (CSV)
const QString kReport = QStringLiteral("report");               // comparison and check-out reports
const QString kDescription = QStringLiteral("description");     // device descriptions (XML)
const QString kPicture = QStringLiteral("picture");             // module pictures
const QString kFirmware = QStringLiteral("firmware");           // upgrade files
const QString kWiring = QStringLiteral("wiring");               // wiring maps of the IO check-out
const QString kDiagnostics = QStringLiteral("diagnostics");     // frame traces and message lists

// The user's documents folder; the home folder where there is none.
QString documents();

// The folder a dialog for this kind of file starts in. A remembered folder
// that has gone since is forgotten.
QString start(const QString &kind);

// Remembers the folder of a file just chosen for this kind.
void remember(const QString &kind, const QString &file);

} // namespace RecentFolders
