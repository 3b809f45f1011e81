#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Repeated station numbers: new numbers for the modules that share one, and
// the check of the numbers before they are sent (the Adapter's
// onSetRepeatSid takes them as a map of station number to module UID).
namespace appcore::StationRepair {

constexpr int kMaxStation = 128;

// New texts for the rows, in row order ("自动生成站号"). otherStations holds
// the station every module that is not a row is configured to (0 = not
// set). The numbers no other module uses are given out in ascending order,
// one per row; a number the rows share among themselves is given out once.
// Rows left when the numbers run out keep their text.
QStringList generate(const QStringList &rowTexts, const QList<int> &otherStations);

struct RowProblem {
    enum Kind {
        NotANumber,
        OutOfRange, // outside 1..128
        Repeated,   // the number of an earlier row
    };
    Kind kind = NotANumber;
    int row = 0; // 0-based
    QString text;

    // The problem in the dialog's words.
    QString message() const;
};

// The first row whose text is not a number from 1 to 128 distinct from the
// rows before it; none when every row can be sent.
std::optional<RowProblem> checkRows(const QStringList &rowTexts);

// Station number → module UID for rows that passed checkRows.
QMap<int, QByteArray> stationMap(const QStringList &rowTexts, const QList<QByteArray> &uids);

} // namespace appcore::StationRepair
