#pragma once

#include <QString>

// Who the program is. The window and the command line carry the same
// application name, so that both find the same data and settings folders,
// and the same version, which is also the package's.
namespace AppIdentity {

// The application name, also the name of the data and settings folders
// (~/.local/share/tarnbus-tester, /usr/share/tarnbus-tester,
// ~/.config/tarnbus-tester).
QString applicationName();
// The desktop's id of the window: its .desktop file, icon and AppStream
// component are named after it.
QString desktopId();
QString version();

// Names the running application (name, organisation, version); called
// first thing in main(). The folders do not depend on it: DataFolders and
// SettingsFiles name them after applicationName() themselves.
void apply();

} // namespace AppIdentity
