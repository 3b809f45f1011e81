#include "AdapterSettings.h"

#include <QCoreApplication>

namespace appcore::AdapterSettings {

namespace {

// Items 5 to 8 are the switches, 9 the threshold (Adapter::readIdentityAndSettings).
constexpr int kFirstSwitchItem = 5;
constexpr int kThresholdItem = kFirstSwitchItem + kSwitchCount;

} // namespace

QList<Field> fields(const AdapterState &state)
{
    QList<Field> out;
    if (!state.settingsKnown || state.infoItems.size() <= kThresholdItem)
        return out;
    for (int i = kFirstSwitchItem; i <= kThresholdItem; ++i) {
        const AdapterInfoItem &item = state.infoItems.at(i);
        out << Field{item.name, item.kind == AdapterInfoItem::Choice ? item.options : QStringList(), item.value};
    }
    return out;
}

Edit current(const AdapterState &state)
{
    Edit edit;
    for (int bit = 0; bit < kSwitchCount; ++bit)
        edit.switches << ((state.settingsByte >> bit) & 0x01);
    edit.threshold = state.threshold;
    return edit;
}

quint8 settingsByte(const Edit &edit, quint8 reported)
{
    quint8 byte = reported & quint8(~((1 << kSwitchCount) - 1));
    for (int bit = 0; bit < kSwitchCount && bit < edit.switches.size(); ++bit) {
        if (edit.switches.at(bit))
            byte |= quint8(1 << bit);
    }
    return byte;
}

std::optional<QString> thresholdProblem(int threshold)
{
    if (threshold >= kMinThreshold && threshold <= kMaxThreshold)
        return std::nullopt;
    return QCoreApplication::translate("AdapterSettings", "阈值须在%1到%2之间: %3")
        .arg(kMinThreshold)
        .arg(kMaxThreshold)
        .arg(threshold);
}

} // namespace appcore::AdapterSettings
