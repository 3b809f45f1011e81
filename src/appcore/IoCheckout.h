#pragma once

#include "AdapterTypes.h"
#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// The IO check-out of a commissioning: one row per channel of every module
// that holds an area, each tried against its field device and signed off.
// The same model for the window's "IO检查" and tarnbus-cli checkout; the
// state is kept per adapter in the user's data folder so that a check-out
// of several days goes on where it stopped.
namespace appcore::checkout {

enum class Result { Open, Pass, Fail, Skipped };
enum class Direction { Input, Output };
enum class Kind { Digital, Analog };

// Stable codes for files and scripts ("open", "pass", "fail", "skipped")
// and the words the window and the report use ("未检查", "通过", ...).
QString resultCode(Result result);
std::optional<Result> resultFromCode(const QString &code);
QString resultText(Result result);
QString directionText(Direction direction); // "输入" / "输出"
QString kindText(Kind kind);                // "数字量" / "模拟量"

struct Row {
    // The channel.
    quint64 recordId = 0; // the module's record on the adapter as last seen (not saved)
    QString module;       // type name
    int station = 0;
    bool local = false;   // the adapter's own module
    QString uid;          // as shown; empty for a module without one
    int channel = 0;      // the item's index in its group, from 0
    Direction direction = Direction::Input;
    Kind kind = Kind::Digital;
    int bitAddress = -1;  // first bit in the process image
    int bits = 1;
    int fullScale = 1;    // the most the channel carries: 1 for a digital one
    // The loop this row belongs to, when the wiring map names it: the row
    // index of the other side.
    int partner = -1;
    // The check.
    Result result = Result::Open;
    QString value;
    QString note;
    // The note's language-neutral code, where the tool wrote the note (a
    // loop's verdict: "loop.passed", "loop.input_not_following", ...);
    // empty for a note by hand.
    QString noteCode;
    QDateTime time;
    QString checkedBy;

    bool isOutput() const { return direction == Direction::Output; }
    bool isLoop() const { return partner >= 0; }
    bool isDone() const { return result != Result::Open; }
    // "UID:CHANNEL" (or "STATION:CHANNEL" without UID) with the direction:
    // what a saved result is found again by.
    QString key() const;
    // "2:0", as the wiring map writes a channel.
    QString channelName() const;
    // "12", "2.3": the bit address as the IO test shows it; "-" without one.
    QString addressText() const;
};

struct Counts {
    int total = 0;
    int pass = 0;
    int fail = 0;
    int skipped = 0;
    int open = 0;
    int done() const { return total - open; }
};

// What the report says about the check-out and the adapter.
struct Header {
    QString serial;
    QString adapterName; // TBName
    QString hardware;
    QString boot;
    QString app;
    QString site;
    QString engineer;
    QDateTime started;
};

// The adapter's part of the header: its serial and the "TBName",
// "HWVersion", "BootVersion" and "APPVersion" of its information list.
void setAdapter(Header &header, const QString &serial, const QList<AdapterInfoItem> &infoItems);

// One module as the check-out found it, for the report's module list.
struct ModuleEntry {
    QString module;
    int station = 0;
    bool local = false;
    QString uid;
};

class Checkout
{
public:
    // A row for every channel of every module that holds an area: inputs
    // then outputs of each module, in the order of the adapter's list.
    static Checkout fromSlaves(const SlaveList &slaves);

    Header header;
    QList<Row> rows;
    QList<ModuleEntry> modules;

    Counts counts() const;
    // The rows of a module (by its position in modules).
    QList<int> rowsOf(int module) const;
    int moduleOf(int row) const;
    // The first open row at or after from (wrapping round); -1 when none.
    int nextOpen(int from = 0) const;
    // The loops of the wiring map, each as its output row and input row.
    QList<QPair<int, int>> loops() const;
    int findRow(int station, const QString &uid, Direction direction, int channel) const;

    void record(int row, Result result, const QString &value, const QString &note, const QString &by,
                const QDateTime &time = QDateTime::currentDateTime());
    // Every loop row back to open (a wiring map read anew).
    void clearLoops();

    // The state to save: the header and every row's result.
    QJsonObject toJson() const;
    // Takes the saved results of rows that are still there (same UID, or
    // same station for a module without UID, same direction and channel).
    // The rows of a module exchanged since (another UID at the station) start
    // open again. Returns the modules so reset, by name.
    QStringList resume(const QJsonObject &saved);

    // The rows of a module as one line per row, UTF-8 with a byte-order mark:
    // module, station, UID, channel, direction, kind, address, result, value,
    // note, time, checked by.
    QByteArray csv() const;
    // The report as rich text: cover, one table per module, summary,
    // signature line.
    QString reportHtml() const;
};

// "站号2 (TB-DO16-T)", the local module, or one without station by its UID.
QString moduleTitle(const ModuleEntry &module);

// Where a check-out is kept: one file per adapter serial in the user's data
// folder ("checkout/<serial>.json").
QString statePath(const QString &serial);
// Reads the saved state; empty when there is none or it cannot be read.
QJsonObject loadState(const QString &serial);
// Writes it in one piece (write, then replace); empty on success, else why not.
QString saveState(const Checkout &checkout);
// Writes bytes to path in one piece; empty on success, else why not.
QString writeAtomically(const QString &path, const QByteArray &bytes);

} // namespace appcore::checkout
