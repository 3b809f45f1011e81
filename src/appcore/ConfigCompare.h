#pragma once

#include "AdapterTypes.h"
#include "ConfigCsv.h"
#include "DeviceXmlLodaing.h"
#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>

// A configuration (a configuration file, an offline configuration, another
// adapter's bus) held against an adapter's bus, module by module and field by
// field. The window's comparison dialog, tarnbus-cli diff and the read-back
// after a store all ask this one model; each says the result in its own words.
//
// Matching, in this order, each module matched at most once:
//  1. by UID where both sides have one (a UID given twice in the
//     configuration matches nothing: reported as ambiguous);
//  2. a station-0 entry without UID names the adapter's own module of its type;
//  3. an entry without UID names the module at its station, when the station
//     is held once on each side; a station held twice on either side, and an
//     entry without station and without UID, are reported, never guessed.
namespace appcore::Compare {

// One direction of a module's process data.
struct Area {
    bool present = false; // the module's description has this direction
    bool held = false;    // channels are allocated: the module holds an area
    int start = 0;        // first bit
    int channels = 0;     // configured channels
    int bits = 0;
};

// One configuration parameter, by its description's name.
struct Parameter {
    QString name;
    int paramType = 0;
    int value = 0;
    QString text; // the value's text in the description, else the number
};

// One module of a side as the comparison sees it.
struct Module {
    SlaveSnapshot slave; // the record it was read from; for a file line, the record the line configures
    int line = 0;        // the file line (1-based); 0 when not from a file
    QString typeName;
    QString moduleIdent;
    QByteArray uid;      // empty: none
    int station = 0;
    bool local = false;     // the adapter's own module (its record carries its station)
    bool described = false; // a description of its own: areas and parameters are known
    Area inputs;
    Area outputs;
    QVector<Parameter> parameters;
};

Module moduleOf(const SlaveState &slave);

// What one side holds: its modules in list order and, when known, the
// adapter's own settings.
struct Side {
    QList<Module> modules;
    std::optional<AdapterState> adapter; // settings are compared when both sides know theirs
};

Side sideOf(const SlaveList &slaves, const std::optional<AdapterState> &adapter = std::nullopt);
// A configuration file, one module per data line, as an import would
// configure it: the line applied to a record of its device's description
// (from library). A line whose device has no description keeps its type,
// station and UID only.
Side sideOf(const ConfigCsv::ParsedFile &file, const QList<DescriptionFilePtr> &library);
// The same with the process-wide description library.
Side sideOf(const ConfigCsv::ParsedFile &file);

enum class Kind {
    Same,
    Differs,      // matched, same type, some field differs
    Missing,      // only in the configuration
    Extra,        // only on the bus
    TypeMismatch, // matched, another type
    Ambiguous,    // cannot be matched without guessing
};
constexpr int kKinds = 6;

enum class Field {
    Type,
    Station,
    InputStart,
    InputChannels,
    OutputStart,
    OutputChannels,
    Parameter, // name: the parameter's
    Setting,   // name: the adapter setting's
};

struct FieldValue {
    Field field = Field::Type;
    QString name;       // parameters and settings
    QString configured; // "-": no area, or nothing on that side
    QString bus;
    bool differs = false;
};

// Why a row is ambiguous.
enum class Ambiguity {
    None,
    StationTwice,      // a station held more than once on either side
    NoStationNoUid,    // station 0 without UID: names no module but the adapter's own
    UidTwice,          // the configuration gives a UID more than once
};

struct Row {
    Kind kind = Kind::Same;
    QList<int> configured; // indices into Result::configuration.modules
    QList<int> bus;        // indices into Result::bus.modules
    QVector<FieldValue> fields; // Same, Differs, TypeMismatch: every field compared
    Ambiguity ambiguity = Ambiguity::None;
    int station = 0;      // the station an ambiguous row is about

    bool hasDifferences() const { return kind != Kind::Same; }
    const FieldValue *field(Field f, const QString &name = QString()) const;
};

// Two modules of one side whose areas share bits.
struct Overlap {
    bool onBus = false; // else in the configuration
    bool input = true;
    int first = 0;      // module indices of that side
    int second = 0;
    int start = 0;      // the bits they share
    int end = 0;        // last shared bit
};

struct Result {
    Side configuration;
    Side bus;
    QList<Row> rows;            // in configuration order, then the modules only on the bus in bus order
    QList<Overlap> overlaps;    // the configuration's, then the bus's
    QVector<FieldValue> settings; // empty when either side does not know its settings

    int count(Kind kind) const;
    bool settingsDiffer() const;
    // Every module matched and equal, and the settings too.
    bool same() const;
    const Module &configuredModule(const Row &row, int i = 0) const { return configuration.modules.at(row.configured.at(i)); }
    const Module &busModule(const Row &row, int i = 0) const { return bus.modules.at(row.bus.at(i)); }
};

Result compare(const Side &configuration, const Side &bus);

// Shared words: the key of a field (JSON, the command line: "station",
// "inputStart", ...; a parameter's or setting's name), the window's name of
// a field ("从站站号", ...), of a kind and of an ambiguity.
QString fieldKey(const FieldValue &value);
QString fieldName(const FieldValue &value);
QString kindKey(Kind kind);  // "same", "differs", "missing", "extra", "type-mismatch", "ambiguous"
// Why a row is ambiguous, language-neutral: "ambiguous.station_twice",
// "ambiguous.no_station_no_uid", "ambiguous.uid_twice".
QString ambiguityCode(Ambiguity ambiguity);
QString kindName(Kind kind); // "相同", ...
QString ambiguityText(const Row &row, const Result &result);
// "24..31", or "-" without an area.
QString areaText(const Area &area);

// A UID as the adapter reports it (printable), else in hexadecimal; "-"
// for none. The dialog and the command line show UIDs alike.
QString uidText(const QByteArray &uid);

} // namespace appcore::Compare
