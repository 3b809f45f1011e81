#pragma once

// The rules of the topology picture as plain functions: where the module
// groups go, when a station number turns red and when the capacity box
// shows. No items, no scene: SVGManagement applies them.

#include <Slave.h>
#include <SlaveSnapshot.h>

#include <QPoint>
#include <QVector>

namespace TopologyLayout {

constexpr int kRowLength = 20;         // modules per row before the chain turns
constexpr int kColumnPitch = 80;       // width of one module group
constexpr int kRowPitch = 230;         // height of one row of module groups
constexpr int kFirstColumnX = 160;     // the first module, right of the adapter
constexpr int kLeftTurnInset = 78;     // the left-hand turn sits this far left of its row's first module
constexpr int kImageBits = 512;        // bits of the process image, per direction
constexpr int kUsageTableSize = 2 * kImageBits;

// Where the next module group goes: the position of the last group added and
// the direction the current row runs in.
struct State {
    int lastX = kFirstColumnX;
    int lastY = 0;
    bool rightwards = true;
};

enum class Turn {
    None,
    Right, // "line3": right end of a row, down to the next
    Left,  // "line4": left end of a row, down to the next
};

struct Placement {
    QPoint pos;
    Turn turn = Turn::None;
    QPoint turnPos; // where the turn's picture goes when there is one
};

// The place of the module at this bus index (from 0), and the turn drawn
// before it when it starts a row; advances the state.
Placement place(State &state, int index);

// True when the module's station number is drawn in red: a bit of its input
// or output window is used more than once in the usage table (inputs at
// 0..511, outputs at 512..1023), or a window runs past the process image.
// Reads only inside the image and the table.
bool windowCollides(const QVector<quint8> &usage, const Slave::IoWindow &window);

// The adapter's IO data for the capacity box: input bits in the high half,
// output bits in the low half, each summed over the described modules' IO
// windows. A sum that does not fit stays at 0xFFFF rather than wrapping
// round to a small one.
quint32 capacityOf(const SlaveList &slaves);

enum class Excess { None, Input, Output, Both };
Excess capacityExcess(quint32 capacity);

} // namespace TopologyLayout
