#pragma once

#include "SlaveSnapshot.h"

#include <QColor>
#include <QString>

// How the module views write an item of a slave: its place in the process
// image, its kind of IO, and the colour of a value.
namespace itemtexts {

// A bit item as "bit (byte.bit)", a wider one as "first..last"; "-" for an
// item outside the area its module holds.
QString address(const ItemFields &item);
// The item's value; "-" for an item outside the area its module holds, which
// has none, and for a value that is not live (inputs are read only in force
// mode: outside it a number shown would be an old one).
QString valueText(const ItemState &item, bool live = true);
// "DI", "DO", "AI" or "AO" by the item's parameter type; empty for others.
QString ioType(const ItemFields &item);
// "TRUE" in green, anything else in dark grey.
QColor valueColor(const QString &text);

} // namespace itemtexts
