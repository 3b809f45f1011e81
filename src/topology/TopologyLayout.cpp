#include "TopologyLayout.h"

#include <algorithm>

namespace TopologyLayout {

Placement place(State &state, int index)
{
    index = std::max(0, index);
    Placement p;
    if (index < kRowLength) {
        p.pos = QPoint(index * kColumnPitch + kFirstColumnX, 0);
    } else if (index % kRowLength != 0) {
        p.pos = QPoint(state.rightwards ? state.lastX + kColumnPitch : state.lastX - kColumnPitch, state.lastY);
    } else {
        // The turn starts level with the row it leaves: for every index that
        // starts a row up to 420, index / (kRowLength + 1) is that row.
        const int turnY = index / (kRowLength + 1) * kRowPitch;
        if (state.rightwards) {
            p.turn = Turn::Right;
            p.turnPos = QPoint(state.lastX + kColumnPitch, turnY);
        } else {
            p.turn = Turn::Left;
            p.turnPos = QPoint(state.lastX - kLeftTurnInset, turnY);
        }
        state.rightwards = !state.rightwards;
        p.pos = QPoint(state.lastX, index / kRowLength * kRowPitch);
    }
    state.lastX = p.pos.x();
    state.lastY = p.pos.y();
    return p;
}

namespace {

bool areaCollides(const QVector<quint8> &usage, int base, int start, int bits)
{
    if (bits <= 0)
        return false;
    if (start + bits > kImageBits)
        return true;
    const int end = std::min(base + start + bits, int(usage.size()));
    for (int i = base + start; i < end; ++i) {
        if (usage.at(i) > 1)
            return true;
    }
    return false;
}

quint16 saturated(quint32 sum)
{
    return quint16(std::min<quint32>(sum, 0xFFFF));
}

} // namespace

bool windowCollides(const QVector<quint8> &usage, const Slave::IoWindow &window)
{
    return areaCollides(usage, 0, window.inputStart, window.inputBits)
           || areaCollides(usage, kImageBits, window.outputStart, window.outputBits);
}

quint32 capacityOf(const SlaveList &slaves)
{
    quint32 inputs = 0;
    quint32 outputs = 0;
    for (const SlaveSnapshot &slave : slaves) {
        if (!slave || !slave->described)
            continue;
        inputs = saturated(inputs + slave->ioWindow.inputBits);
        outputs = saturated(outputs + slave->ioWindow.outputBits);
    }
    return (inputs << 16) | outputs;
}

Excess capacityExcess(quint32 capacity)
{
    const bool input = (capacity >> 16) > quint32(kImageBits);
    const bool output = (capacity & 0xFFFF) > quint32(kImageBits);
    if (input && output)
        return Excess::Both;
    if (input)
        return Excess::Input;
    return output ? Excess::Output : Excess::None;
}

} // namespace TopologyLayout
