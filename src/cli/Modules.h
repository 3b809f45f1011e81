#pragma once

#include "Output.h"
#include "SlaveSnapshot.h"

#include <QJsonObject>
#include <QStringList>

#include <variant>

// How the tool names and shows the modules of a bus.
namespace modules {

// The module's UID as the adapter reports it (12 characters), or in
// hexadecimal when it is not printable.
QString uid(const SlaveState &slave);
// "local" for the adapter's own module, "-" for a module without station.
QString station(const SlaveState &slave);
// "station 3 (TB-DI8-N, DA01B2C3D403)"
QString describe(const SlaveState &slave);
// "DI", "AIAO", ...; "?" for a module without a kind of its own.
QString className(const SlaveState &slave);
// "24..31", or "-" for no area.
QString area(int start, int bits);
int faultByte(const SlaveState &slave);
// Names of the fault flags that read "abnormal", from the module's description.
QStringList faults(const SlaveState &slave);

QStringList tableHeader();
QStringList tableRow(const SlaveState &slave);
QJsonObject json(const SlaveState &slave);

// The module a selector names: a station number (1 to 128) or a UID, either
// as shown or in the hexadecimal of the configuration file.
std::variant<SlaveSnapshot, CliError> find(const SlaveList &slaves, const QString &selector);

} // namespace modules
