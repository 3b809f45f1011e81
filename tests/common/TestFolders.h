#pragma once

// The program's user folders in QStandardPaths' test mode (under ~/.qttest),
// emptied: a suite reads descriptions, pictures and settings only from its
// working folder, and what it imports or saves lands in folders of its own.

#include "DataFolders.h"
#include "SettingsFiles.h"

#include <QDir>
#include <QStandardPaths>

namespace testing_support {

// Empties the user's data and configuration folders of the program.
inline void clearTestFolders()
{
    QDir(DataFolders::userFolder(QString())).removeRecursively();
    QDir(SettingsFiles::folder()).removeRecursively();
}

inline void useTestFolders()
{
    QStandardPaths::setTestModeEnabled(true);
    clearTestFolders();
}

} // namespace testing_support
