#include "SlaveEditChecks.h"

#include "TarnBaseConvert.h"

#include <algorithm>

using namespace TarnBase;

namespace appcore {

std::optional<qint64> parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (!digits.isEmpty() && !digits.startsWith(QLatin1Char('+')) && !digits.startsWith(QLatin1Char('-')))
            value = digits.toLongLong(&ok, 16);
    } else if (!t.isEmpty() && !t.startsWith(QLatin1Char('+'))) {
        value = t.toLongLong(&ok, 10);
    }
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::pair<int, int> parameterRange(int paramType)
{
    switch (paramType) {
    case ParamFilter:
    case ParamSpeedAcc:
    case ParamAcc:
    case ParamDec:
        return {0, 7};
    case ParamBrake:
    case ParamSpeedGear:
        return {0, 3};
    case ParamRpm:
        return {0, 15};
    case ParamPower:
        return {-2, 29};
    case ParamSubstitute:
    case ParamHallPhase:
        return {0, 0xFFFF};
    case ParamMaxRpm:
        return {-0x8000, 0x7FFF};
    default:
        return {0, 1};
    }
}

bool parameterAccepts(const ItemFields &item, qint64 value)
{
    const auto [least, most] = parameterRange(item.paramType);
    if (value < least || value > most)
        return false;
    // An item narrower than a word holds no more than its bits; a row whose
    // values start below 0 keeps them with a bias.
    if (item.bitLength > 0 && item.bitLength < 16) {
        const qint64 field = value - std::min(0, least);
        if (field >= (qint64(1) << item.bitLength))
            return false;
    }
    return item.enumTexts.isEmpty() || item.enumList.contains(int(value)) || item.enumTexts.contains(int(value));
}

SlaveSnapshot overlappingSlave(const SlaveList &slaves, quint64 exceptRecordId, bool input, int start, int bits)
{
    for (const SlaveSnapshot &other : slaves) {
        if (other->recordId == exceptRecordId)
            continue;
        const int otherStart = input ? other->ioWindow.inputStart : other->ioWindow.outputStart;
        const int otherBits = input ? other->ioWindow.inputBits : other->ioWindow.outputBits;
        if (otherBits > 0 && bits > 0 && start < otherStart + otherBits && otherStart < start + bits)
            return other;
    }
    return nullptr;
}

SlaveSnapshot stationHolder(const SlaveList &slaves, quint64 exceptRecordId, int station)
{
    for (const SlaveSnapshot &other : slaves) {
        if (other->recordId != exceptRecordId && other->newStationId == station)
            return other;
    }
    return nullptr;
}

} // namespace appcore
