#pragma once

#include "AdapterTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The adapter's own settings as a user edits them: the four switches of the
// settings byte and the threshold, read from the information items the
// Adapter reports and turned into what its settings write sends
// (Adapter::setSettings, then sigSetAdapterCmd(1, change)). The write makes
// the adapter restart.
namespace appcore::AdapterSettings {

constexpr int kSwitchCount = 4; // settings bits 0 to 3
constexpr int kMinThreshold = 201;
constexpr int kMaxThreshold = 2999;

struct Edit {
    QList<int> switches;      // per bit, the chosen option (0 or 1)
    int threshold = kMinThreshold;
    bool changeThreshold = false; // the threshold is sent with the marker that makes the adapter take it
};

// One switch, or the threshold, with the texts the adapter's items give.
struct Field {
    QString name;        // the item's name, "DI滤波使能" ...
    QStringList options; // empty for the threshold
    int value = 0;
};

// The switches (in bit order) and then the threshold, as the adapter last
// reported them; empty when the adapter has reported no settings.
QList<Field> fields(const AdapterState &state);
Edit current(const AdapterState &state);

// The settings byte to send: bits 0 to 3 from the edit, the other bits as the
// adapter reported them.
quint8 settingsByte(const Edit &edit, quint8 reported);

// Why the threshold cannot be sent, or nothing.
std::optional<QString> thresholdProblem(int threshold);

} // namespace appcore::AdapterSettings
