#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QMap>

// The 32-byte configuration record the parameter editor builds from its
// rows and hands to the slave (applyEditedConfig, or applyConfig for a
// record the slave sends by station). Both the window and the command-line
// tool start from what the slave holds and change what the user changed.
namespace appcore {

struct SlaveEdit {
    static constexpr int kRecordSize = 32;

    int currentStation = 0; // byte 0: the station the module answers at now
    int newStation = 0;     // byte 1
    // Areas: start bit address and the channel count as the record carries
    // it (the configured channels plus the module's extra channels).
    int inputStart = 0;
    int inputCount = 0;
    int outputStart = 0;
    int outputCount = 0;
    // Parameter rows by parameter type (XML_ItemParamType 5 to 21): the
    // selected index of a choice, or the number of a text row.
    QMap<int, int> parameters;

    // What the editor shows for the slave before any change.
    static SlaveEdit of(const SlaveState &slave);

    // The record, laid out as the slave decodes it (parameter block at 6).
    QByteArray record() const;
};

// What an edited record changes of the slave, in the window's words, for
// the message list: "站号 3→5", "输入区 24..31→400..407", "参数". Empty when
// it changes nothing.
QStringList editChanges(const SlaveState &slave, const QByteArray &record);

} // namespace appcore
