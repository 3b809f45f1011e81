#pragma once

#include "SlaveSnapshot.h"

#include <QHash>
#include <QList>
#include <QString>

// Modules whose areas share bits of the process image: what the window marks
// on each module involved, logs when an operation creates it and names when
// a download is refused, and what the command line names.
namespace appcore {

struct Overlap {
    SlaveSnapshot first;  // earlier in the list
    SlaveSnapshot second;
    bool input = true;
    int start = 0; // the shared bits
    int bits = 0;
};

// Every pair of modules sharing bits, per direction, in list order.
QList<Overlap> overlaps(const SlaveList &slaves);

// A module as the window names it: "站号3 (TB-DI8-N)", the local module, or
// one without station by its UID.
QString moduleName(const SlaveState &slave);
// "站号1 (TB-DI16-P) 与 站号3 (TB-DI8-N) 的输入区重叠 8 位 (8..15)"
QString overlapText(const Overlap &overlap);
// For each module involved, what it shares and with whom, one line per
// overlap: "输入区与站号3 (TB-DI8-N) 重叠 8 位 (8..15)".
QHash<quint64, QString> conflictsByRecord(const SlaveList &slaves);

// The input and output bits the modules exchange on the bus: each described
// module's areas as it holds them (whole bytes under byte alignment),
// summed, so that bits two modules share count for each of them. The
// adapter's page, the address map and the loop-time estimate all give this
// figure.
struct BitsInUse {
    int input = 0;
    int output = 0;
};
BitsInUse bitsInUse(const SlaveList &slaves);

} // namespace appcore
