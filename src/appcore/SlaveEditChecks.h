#pragma once

#include "SlaveSnapshot.h"

#include <QString>

#include <optional>
#include <utility>

// What the parameter editor and the command line check before they hand a
// slave an edited record: numbers as the user types them, the ranges the
// record and the module can hold, and the other slaves of the bus.
namespace appcore {

constexpr int kMaxStation = 128;
constexpr int kImageBits = 512;   // per direction
constexpr int kMaxChannels = 127; // the record's seven bits

// A whole decimal number, or hexadecimal after "0x"; nothing else (no sign
// before a decimal, no blanks inside, no fraction). Blanks around are ignored.
std::optional<qint64> parseNumber(const QString &text);

// The least and the largest value the record carries for a parameter row
// (XML_ItemParamType 5 to 21).
std::pair<int, int> parameterRange(int paramType);

// The value is one the parameter item can hold: inside its row's range, no
// wider than the item (an item of fewer than 16 bits) and, for an
// enumerated item, one of its entries.
bool parameterAccepts(const ItemFields &item, qint64 value);

// Another slave of the list using any of the bits [start, start + bits) of
// one direction; null when none does.
SlaveSnapshot overlappingSlave(const SlaveList &slaves, quint64 exceptRecordId, bool input, int start, int bits);

// Another slave of the list configured to the station; null when none is.
SlaveSnapshot stationHolder(const SlaveList &slaves, quint64 exceptRecordId, int station);

// The slave takes its edited record by identity; the adapter's own (local)
// module takes it by station, as a record that carries its station.
inline bool editsByIdentity(const SlaveState &slave)
{
    return !slave.recordCarriesStation;
}

} // namespace appcore
