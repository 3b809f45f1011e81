// The upgrade dialog on its own: searches the devices on USB and upgrades
// them. tools/try_upgrade.sh runs it on the virtual adapter.

#include "AppIdentity.h"
#include "FirmwareBurning.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppIdentity::apply();
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    FirmwareBurning dialog;
    dialog.exec();
    return 0;
}
