#pragma once

#include "AdapterTypes.h"
#include "ResultMessages.h"
#include "SlaveSnapshot.h"

#include <QString>
#include <QStringList>

// What a write that restarts the adapter left behind, read back once the
// adapter is there again: the settings after a settings write, the bus after
// a store. The window and the command line say the same about it.
namespace appcore::ReadBack {

// One line per setting the adapter does not hold as written ("name: written
// X, read back Y"); one line saying so when the settings could not be read.
// Empty when the adapter holds what was written.
QStringList settingsDifferences(const SettingsReadBack &readBack);

// One line per difference between the modules as stored and as read from
// the bus afterwards: a module missing or new, and for each module by UID
// its station, its areas and its parameters. Empty when they agree.
QStringList busDifferences(const SlaveList &stored, const SlaveList &reloaded);

// The notification for a settings read-back that did not match (none when it
// did: the settings write reports its success itself).
ResultMessage settingsMessage(const SettingsReadBack &readBack);
// The notification for a store read-back: a line when the bus is what was
// stored, a warning with the differences when not.
ResultMessage storeMessage(const QStringList &differences);

} // namespace appcore::ReadBack
