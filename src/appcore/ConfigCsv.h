#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The configuration file of an adapter's bus: one header line, then one line
// per slave, as each slave writes and reads its own line. Files move between
// the window, the command-line tool, spreadsheets and other installations,
// so this is the one place that says what a file looks like:
//  - written as a whole in GB18030 (a superset of GB2312), lines ending in "\n";
//  - read as UTF-8 when the bytes are valid UTF-8 (with or without a
//    byte-order mark), as GB18030 otherwise; "\r\n" line ends and blank lines
//    are accepted;
//  - every line is checked before anything is applied, and each problem
//    names its line and field.
namespace appcore::ConfigCsv {

enum class Form {
    WithoutUid, // type names marked "*", modules matched by station
    WithUid,    // column 11 holds the module's UID
};

constexpr int kNamedColumns = 10; // header columns compared on import
constexpr int kStationColumn = 1;
constexpr int kAlignmentColumn = 2;
constexpr int kInputBeginColumn = 3;
constexpr int kInputChannelsColumn = 4;
constexpr int kOutputBeginColumn = 5;
constexpr int kOutputChannelsColumn = 6;
constexpr int kSubstituteColumn = 9;
constexpr int kDeviceIdColumn = 10;
constexpr int kUidColumn = 11;
constexpr int kMinUidLength = 6; // a shorter column 11 is no UID: the line is matched by station
constexpr int kMaxUidLength = 24; // 12 identity bytes in hexadecimal
constexpr int kMaxStation = 128;
constexpr int kMaxChannels = 127;
constexpr int kImageBits = 512;

// Header name of a column ("设备类型", ...), empty past column 11.
QString columnName(int column);
// English header key of one of the first ten columns ("DeviceType", ...), else empty.
QString columnKey(int column);
QString headerLine(Form form);
// Fields a data line of the form needs; the further values are optional.
int requiredFields(Form form);

// The whole file for the given data lines (as the slaves wrote them).
QByteArray encode(Form form, const QStringList &lines);

enum class Encoding { Utf8, Utf8WithBom, Gb18030 };
struct DecodedText {
    QString text;
    Encoding encoding = Encoding::Utf8;
};
DecodedText decode(const QByteArray &bytes);

// One reason why a file cannot be imported.
struct Problem {
    enum Kind {
        FileUnreadable, // value: the system's reason
        FileUnwritable, // value: the system's reason
        NoHeader,
        HeaderField,       // column: the first header field that is wrong
        TooFewFields,      // value: the fields the line has; limit: the fields the form needs
        NotANumber,        // column, value
        StationOutOfRange, // value; 0 to 128
        TooManyChannels,   // column, value; limit 127
        AreaPastImage,     // column: the begin column; limit: the bit where the area ends
        BadAlignment,      // value; only 1 and 8
        BadUid,            // value
    };

    Kind kind = NoHeader;
    int line = 0;    // 1-based line of the file; 0 for the file as a whole
    int column = -1; // 0-based; -1 for the line as a whole
    QString field;   // the column's header name; empty for the further values
    QString value;   // the field as written
    int limit = 0;

    // The problem in the window's words.
    QString text() const;
    // The same, language-neutral: "file.unreadable", "csv.not_a_number", ...
    QString code() const;
};

// How large a module's IO areas are, from its description.
struct ModuleSize {
    bool hasInputs = false;
    bool hasOutputs = false;
    int bitsPerChannel = 1;
    bool changeableChannels = false; // a line's channel counts apply; else channelCount does
    int channelCount = 0;
    int inputOffs = 0;
    int outputOffs = 0;
};
// The size of the module with this device id (column 10), if it is known.
using ModuleSizes = std::function<std::optional<ModuleSize>(const QString &deviceId)>;
// Sizes from the loaded description library (first file that describes the id).
ModuleSizes librarySizes();

struct DataLine {
    int lineNumber = 0; // 1-based, in the file
    QString text;       // without its line end
};

struct ParsedFile {
    Form form = Form::WithoutUid;
    Encoding encoding = Encoding::Utf8;
    QList<DataLine> lines;
    QList<Problem> problems;

    bool ok() const { return problems.isEmpty(); }
    QStringList lineTexts() const;
};

// Checks one data line of the form. Without sizes an area counts one bit per
// channel given in the line. Station 0 is a good line in either form: with a
// UID it names its module; without one it names the adapter's own module of
// the line's type, and on a bus without such a module it is skipped on
// import (Adapter::importCsvLines), not refused here.
QList<Problem> checkLine(const QString &line, int lineNumber, Form form, const ModuleSizes &sizes = {});

// Decodes and checks a whole file: its header, then every data line. A
// header that is wrong stops the check there.
ParsedFile parse(const QByteArray &bytes, const ModuleSizes &sizes = {});
ParsedFile readFile(const QString &path, const ModuleSizes &sizes = {});

// The modules a file without UIDs cannot name: those without a station of
// their own, but for the adapter's own module. Their lines are skipped on
// import.
int modulesUnnamedWithoutUid(const SlaveList &slaves);

// Writes the file in one piece: an existing file is replaced only when the
// new one has been written completely. Empty on success, else the problem.
std::optional<Problem> writeFile(const QString &path, Form form, const QStringList &lines);

} // namespace appcore::ConfigCsv
