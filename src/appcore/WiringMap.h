#pragma once

#include "IoCheckout.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The wiring map of a test rig: which output channel is wired back to which
// input channel. A CSV file with the header line "output,input" and one loop
// per line, each side written STATION:CHANNEL or UID:CHANNEL, channels from
// 0:
//
//     output,input
//     2:0,1:0
//     DA01B2C3D402:1,DA01B2C3D401:1
//
// Empty lines and lines starting with '#' are left out.
namespace appcore::wiring {

struct Side {
    QString selector; // as written: a station number or a UID
    int channel = 0;
};

struct Loop {
    int line = 0; // 1-based line of the file
    Side output;
    Side input;
};

struct Problem {
    int line = 0; // 0: the whole file
    QString message;
};

struct Parsed {
    QList<Loop> loops;
    QList<Problem> problems;
};

// Reads the file's text (UTF-8, with or without byte-order mark).
Parsed parse(const QByteArray &bytes);

// Names each loop's two rows in the check-out and marks them as partners.
// A side that names no module, a station shared by two modules, a channel
// the module does not hold, an output that is an input (or the other way
// round), sides of different kinds or a channel in two loops are problems,
// and then no loop is marked.
QList<Problem> apply(const QList<Loop> &loops, checkout::Checkout &checkout);

// "line 3: ..." or the message alone.
QString problemText(const Problem &problem);

} // namespace appcore::wiring
