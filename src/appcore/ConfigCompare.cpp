#include "ConfigCompare.h"

#include "AdapterSettings.h"
#include "SlaveFactory.h"
#include "TarnBaseConvert.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <memory>

namespace appcore::Compare {

namespace {

// tr() of the context "ConfigCompare", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ConfigCompare)
};

const QString kNone = QStringLiteral("-");

constexpr int kTypeColumn = 0;
constexpr int kStationColumn = 1;
constexpr int kDeviceIdColumn = ConfigCsv::kDeviceIdColumn;
constexpr int kUidColumn = ConfigCsv::kUidColumn;

// The parameters a configuration sets: the fault code is the module's to
// report, not the tool's to write.
bool isConfigurationParameter(int paramType)
{
    return paramType >= TarnBase::ParamFilter && paramType < TarnBase::ParamFault;
}

Area areaOf(const SlaveState &slave, const ItemGroupState &config, bool input)
{
    Area area;
    for (const ItemState &item : config.items) {
        if (input ? item.isInputChannels() : item.isOutputChannels()) {
            area.present = true;
            area.start = item.startAddress;
            area.channels = item.channels;
        }
    }
    area.bits = input ? slave.ioWindow.inputBits : slave.ioWindow.outputBits;
    area.held = area.present && area.bits > 0;
    if (!area.held) {
        area.channels = 0;
        area.bits = 0;
    }
    return area;
}

QString numberText(int value)
{
    return QString::number(value);
}

// A module without a station of its own has none to show; the adapter's
// own module is at station 0.
QString stationText(const Module &module)
{
    return module.station == 0 && !module.local ? kNone : numberText(module.station);
}

QString startText(const Area &area)
{
    return area.held ? numberText(area.start) : kNone;
}

QString channelsText(const Area &area)
{
    return area.held ? numberText(area.channels) : QStringLiteral("0");
}

FieldValue value(Field field, const QString &configured, const QString &bus, bool differs, const QString &name = QString())
{
    FieldValue v;
    v.field = field;
    v.name = name;
    v.configured = configured;
    v.bus = bus;
    v.differs = differs;
    return v;
}

void compareArea(const Area &c, const Area &b, bool input, QVector<FieldValue> &out)
{
    if (!c.present && !b.present)
        return;
    const bool heldDiffers = c.held != b.held;
    const bool both = c.held && b.held;
    out << value(input ? Field::InputStart : Field::OutputStart, startText(c), startText(b),
                 heldDiffers || (both && c.start != b.start));
    out << value(input ? Field::InputChannels : Field::OutputChannels, channelsText(c), channelsText(b),
                 heldDiffers || (both && c.channels != b.channels));
}

void compareParameters(const Module &c, const Module &b, QVector<FieldValue> &out)
{
    QHash<QString, const Parameter *> onBus;
    for (const Parameter &p : b.parameters)
        onBus.insert(p.name, &p);
    QSet<QString> seen;
    for (const Parameter &p : c.parameters) {
        seen.insert(p.name);
        const Parameter *other = onBus.value(p.name);
        out << value(Field::Parameter, p.text, other ? other->text : kNone, !other || other->value != p.value, p.name);
    }
    for (const Parameter &p : b.parameters) {
        if (!seen.contains(p.name))
            out << value(Field::Parameter, kNone, p.text, true, p.name);
    }
}

// The row of a configured module matched to a bus module.
Row matchedRow(const Module &c, const Module &b, int ci, int bi)
{
    Row row;
    row.configured = {ci};
    row.bus = {bi};
    const bool typeDiffers = c.moduleIdent != b.moduleIdent;
    row.fields << value(Field::Type, c.typeName, b.typeName, typeDiffers);
    row.fields << value(Field::Station, stationText(c), stationText(b), c.station != b.station);
    if (typeDiffers) {
        row.kind = Kind::TypeMismatch;
        return row;
    }
    if (c.described && b.described) {
        compareArea(c.inputs, b.inputs, true, row.fields);
        compareArea(c.outputs, b.outputs, false, row.fields);
        compareParameters(c, b, row.fields);
    }
    row.kind = Kind::Same;
    for (const FieldValue &f : qAsConst(row.fields)) {
        if (f.differs)
            row.kind = Kind::Differs;
    }
    return row;
}

void findOverlaps(const Side &side, bool onBus, QList<Overlap> &out)
{
    const QList<Module> &modules = side.modules;
    for (const bool input : {true, false}) {
        for (int i = 0; i < modules.size(); ++i) {
            const Area &a = input ? modules.at(i).inputs : modules.at(i).outputs;
            if (!a.held)
                continue;
            for (int k = i + 1; k < modules.size(); ++k) {
                const Area &b = input ? modules.at(k).inputs : modules.at(k).outputs;
                if (!b.held)
                    continue;
                const int start = std::max(a.start, b.start);
                const int end = std::min(a.start + a.bits, b.start + b.bits) - 1;
                if (start <= end)
                    out << Overlap{onBus, input, i, k, start, end};
            }
        }
    }
}

QString settingText(const AdapterSettings::Field &field)
{
    const QString option = field.options.value(field.value);
    return option.isEmpty() ? numberText(field.value) : option;
}

QVector<FieldValue> compareSettings(const Side &configuration, const Side &bus)
{
    QVector<FieldValue> out;
    if (!configuration.adapter || !bus.adapter)
        return out;
    const QList<AdapterSettings::Field> c = AdapterSettings::fields(*configuration.adapter);
    const QList<AdapterSettings::Field> b = AdapterSettings::fields(*bus.adapter);
    if (c.isEmpty() || b.isEmpty())
        return out;
    for (int i = 0; i < c.size() && i < b.size(); ++i)
        out << value(Field::Setting, settingText(c.at(i)), settingText(b.at(i)), c.at(i).value != b.at(i).value, b.at(i).name);
    return out;
}

// What becomes of a configured module.
struct Assignment {
    enum { Unassigned, Matched, Missing, Grouped } state = Unassigned;
    int index = -1; // the bus module, or the group
};

struct Group {
    Ambiguity why = Ambiguity::None;
    int station = 0;
    QList<int> configured;
    QList<int> bus;
};

} // namespace

// ---------------------------------------------------------------------------
// Modules and sides

Module moduleOf(const SlaveState &slave)
{
    Module m;
    m.typeName = slave.typeName;
    m.moduleIdent = slave.moduleIdent;
    m.uid = slave.uuid;
    m.station = slave.stationId;
    m.local = slave.recordCarriesStation;
    const ItemGroupState *config = slave.group(Slave::kConfigData);
    m.described = slave.described && config && slave.typeCode != TarnBase::ModuleUndefined;
    if (!m.described)
        return m;
    m.inputs = areaOf(slave, *config, true);
    m.outputs = areaOf(slave, *config, false);
    for (const ItemState &item : config->items) {
        if (!isConfigurationParameter(item.paramType))
            continue;
        const int v = item.value.toInt();
        const QString text = item.enumTexts.value(v);
        m.parameters << Parameter{item.name, item.paramType, v, text.isEmpty() ? numberText(v) : text};
    }
    return m;
}

Side sideOf(const SlaveList &slaves, const std::optional<AdapterState> &adapter)
{
    Side side;
    side.adapter = adapter;
    side.modules.reserve(slaves.size());
    for (const SlaveSnapshot &slave : slaves) {
        Module m = moduleOf(*slave);
        m.slave = slave;
        side.modules << m;
    }
    return side;
}

Side sideOf(const ConfigCsv::ParsedFile &file, const QList<DescriptionFilePtr> &library)
{
    Side side;
    const bool withUid = file.form == ConfigCsv::Form::WithUid;
    side.modules.reserve(file.lines.size());
    for (const ConfigCsv::DataLine &line : file.lines) {
        const QStringList fields = line.text.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
        QString typeText = fields.value(kTypeColumn).trimmed();
        if (typeText.startsWith(QLatin1Char('*')))
            typeText.remove(0, 1);
        const int station = fields.value(kStationColumn).trimmed().toInt();
        const QString deviceId = fields.value(kDeviceIdColumn).trimmed();
        const QString uidText = withUid ? fields.value(kUidColumn).trimmed() : QString();
        const QByteArray uid =
            uidText.size() >= ConfigCsv::kMinUidLength ? QByteArray::fromHex(uidText.toLatin1()) : QByteArray();

        // The line is read as the import reads it: applied by a record of
        // its device's kind.
        std::unique_ptr<Slave> record(SlaveFactory::createFrom(library, deviceId, station));
        const bool known = record->moduleIdent == deviceId;
        if (known && withUid)
            record->applyCsvLineWithUid(line.text);
        else if (known)
            record->applyCsvLine(line.text);
        const SlaveSnapshot snapshot = takeSnapshot(*record);
        Module m;
        if (known)
            m = moduleOf(*snapshot);
        m.slave = snapshot;
        m.line = line.lineNumber;
        m.typeName = typeText;
        m.moduleIdent = deviceId;
        m.uid = uid;
        m.station = station;
        m.local = false;
        side.modules << m;
    }
    return side;
}

Side sideOf(const ConfigCsv::ParsedFile &file)
{
    return sideOf(file, DeviceXmlLodaing::instance()->files());
}

// ---------------------------------------------------------------------------
// The comparison

const FieldValue *Row::field(Field f, const QString &name) const
{
    for (const FieldValue &v : fields) {
        if (v.field == f && (name.isEmpty() || v.name == name))
            return &v;
    }
    return nullptr;
}

int Result::count(Kind kind) const
{
    int n = 0;
    for (const Row &row : rows)
        n += row.kind == kind ? 1 : 0;
    return n;
}

bool Result::settingsDiffer() const
{
    for (const FieldValue &v : settings) {
        if (v.differs)
            return true;
    }
    return false;
}

bool Result::same() const
{
    return count(Kind::Same) == rows.size() && !settingsDiffer();
}

Result compare(const Side &configuration, const Side &bus)
{
    Result result;
    result.configuration = configuration;
    result.bus = bus;
    const QList<Module> &C = configuration.modules;
    const QList<Module> &B = bus.modules;
    QVector<Assignment> assigned(C.size());
    QVector<bool> taken(B.size(), false);
    QList<Group> groups;

    // 1. By UID. A UID the configuration gives twice names no module.
    QHash<QByteArray, int> busByUid;
    for (int j = 0; j < B.size(); ++j) {
        if (!B.at(j).uid.isEmpty() && !busByUid.contains(B.at(j).uid))
            busByUid.insert(B.at(j).uid, j);
    }
    QHash<QByteArray, int> uidCount;
    for (const Module &m : C) {
        if (!m.uid.isEmpty())
            ++uidCount[m.uid];
    }
    QHash<QByteArray, int> uidGroup;
    for (int i = 0; i < C.size(); ++i) {
        const QByteArray &uid = C.at(i).uid;
        if (uid.isEmpty())
            continue;
        const int j = busByUid.value(uid, -1);
        if (uidCount.value(uid) > 1) {
            int g = uidGroup.value(uid, -1);
            if (g < 0) {
                g = groups.size();
                uidGroup.insert(uid, g);
                groups << Group{Ambiguity::UidTwice, C.at(i).station, {}, {}};
                if (j >= 0 && !taken.at(j)) {
                    taken[j] = true;
                    groups[g].bus << j;
                }
            }
            groups[g].configured << i;
            assigned[i] = {Assignment::Grouped, g};
        } else if (j >= 0 && !taken.at(j)) {
            taken[j] = true;
            assigned[i] = {Assignment::Matched, j};
        } else {
            assigned[i] = {Assignment::Missing, -1};
        }
    }

    // 2. Station 0 without UID: the adapter's own module of the entry's type.
    for (int i = 0; i < C.size(); ++i) {
        if (assigned.at(i).state != Assignment::Unassigned || C.at(i).station != 0)
            continue;
        for (int j = 0; j < B.size(); ++j) {
            if (!taken.at(j) && B.at(j).local && B.at(j).moduleIdent == C.at(i).moduleIdent) {
                taken[j] = true;
                assigned[i] = {Assignment::Matched, j};
                break;
            }
        }
    }

    // 3. By station, where each side holds it once.
    QMap<int, QList<int>> configuredAt;
    for (int i = 0; i < C.size(); ++i) {
        if (assigned.at(i).state == Assignment::Unassigned && C.at(i).station != 0)
            configuredAt[C.at(i).station] << i;
    }
    QHash<int, QList<int>> busAt;
    for (int j = 0; j < B.size(); ++j) {
        if (!taken.at(j) && !B.at(j).local && B.at(j).station != 0)
            busAt[B.at(j).station] << j;
    }
    for (auto it = configuredAt.cbegin(); it != configuredAt.cend(); ++it) {
        const QList<int> &cs = it.value();
        const QList<int> bs = busAt.value(it.key());
        if (cs.size() == 1 && bs.size() == 1) {
            taken[bs.first()] = true;
            assigned[cs.first()] = {Assignment::Matched, bs.first()};
        } else if (cs.size() == 1 && bs.isEmpty()) {
            assigned[cs.first()] = {Assignment::Missing, -1};
        } else {
            const int g = groups.size();
            groups << Group{Ambiguity::StationTwice, it.key(), cs, bs};
            for (int i : cs)
                assigned[i] = {Assignment::Grouped, g};
            for (int j : bs)
                taken[j] = true;
        }
    }

    // 4. Station 0 without UID, not the adapter's own module: no name at all.
    Group unnamed{Ambiguity::NoStationNoUid, 0, {}, {}};
    for (int i = 0; i < C.size(); ++i) {
        if (assigned.at(i).state == Assignment::Unassigned)
            unnamed.configured << i;
    }
    if (!unnamed.configured.isEmpty()) {
        for (int j = 0; j < B.size(); ++j) {
            if (!taken.at(j) && !B.at(j).local && B.at(j).station == 0) {
                taken[j] = true;
                unnamed.bus << j;
            }
        }
        for (int i : qAsConst(unnamed.configured))
            assigned[i] = {Assignment::Grouped, int(groups.size())};
        groups << unnamed;
    }

    // The rows: the configuration's order, then what only the bus holds.
    QVector<bool> groupShown(groups.size(), false);
    for (int i = 0; i < C.size(); ++i) {
        const Assignment &a = assigned.at(i);
        switch (a.state) {
        case Assignment::Matched:
            result.rows << matchedRow(C.at(i), B.at(a.index), i, a.index);
            break;
        case Assignment::Grouped:
            if (!groupShown.at(a.index)) {
                groupShown[a.index] = true;
                const Group &g = groups.at(a.index);
                Row row;
                row.kind = Kind::Ambiguous;
                row.configured = g.configured;
                row.bus = g.bus;
                row.ambiguity = g.why;
                row.station = g.station;
                result.rows << row;
            }
            break;
        default: {
            Row row;
            row.kind = Kind::Missing;
            row.configured = {i};
            result.rows << row;
            break;
        }
        }
    }
    for (int j = 0; j < B.size(); ++j) {
        if (taken.at(j))
            continue;
        Row row;
        row.kind = Kind::Extra;
        row.bus = {j};
        result.rows << row;
    }

    findOverlaps(configuration, false, result.overlaps);
    findOverlaps(bus, true, result.overlaps);
    result.settings = compareSettings(configuration, bus);
    return result;
}

// ---------------------------------------------------------------------------
// Words

QString fieldKey(const FieldValue &value)
{
    switch (value.field) {
    case Field::Type:
        return QStringLiteral("type");
    case Field::Station:
        return QStringLiteral("station");
    case Field::InputStart:
        return QStringLiteral("inputStart");
    case Field::InputChannels:
        return QStringLiteral("inputChannels");
    case Field::OutputStart:
        return QStringLiteral("outputStart");
    case Field::OutputChannels:
        return QStringLiteral("outputChannels");
    case Field::Parameter:
    case Field::Setting:
        return value.name;
    }
    return value.name;
}

QString fieldName(const FieldValue &value)
{
    // The configuration file's own column names.
    switch (value.field) {
    case Field::Type:
        return ConfigCsv::columnName(kTypeColumn);
    case Field::Station:
        return ConfigCsv::columnName(kStationColumn);
    case Field::InputStart:
        return ConfigCsv::columnName(ConfigCsv::kInputBeginColumn);
    case Field::InputChannels:
        return ConfigCsv::columnName(ConfigCsv::kInputChannelsColumn);
    case Field::OutputStart:
        return ConfigCsv::columnName(ConfigCsv::kOutputBeginColumn);
    case Field::OutputChannels:
        return ConfigCsv::columnName(ConfigCsv::kOutputChannelsColumn);
    case Field::Parameter:
    case Field::Setting:
        return value.name;
    }
    return value.name;
}

QString kindKey(Kind kind)
{
    switch (kind) {
    case Kind::Same:
        return QStringLiteral("same");
    case Kind::Differs:
        return QStringLiteral("differs");
    case Kind::Missing:
        return QStringLiteral("missing");
    case Kind::Extra:
        return QStringLiteral("extra");
    case Kind::TypeMismatch:
        return QStringLiteral("type-mismatch");
    case Kind::Ambiguous:
        return QStringLiteral("ambiguous");
    }
    return QString();
}

QString ambiguityCode(Ambiguity ambiguity)
{
    switch (ambiguity) {
    case Ambiguity::StationTwice:
        return QStringLiteral("ambiguous.station_twice");
    case Ambiguity::NoStationNoUid:
        return QStringLiteral("ambiguous.no_station_no_uid");
    case Ambiguity::UidTwice:
        return QStringLiteral("ambiguous.uid_twice");
    case Ambiguity::None:
        break;
    }
    return QString();
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Same:
        return Texts::tr("相同");
    case Kind::Differs:
        return Texts::tr("不同");
    case Kind::Missing:
        return Texts::tr("总线上缺少");
    case Kind::Extra:
        return Texts::tr("总线上多出");
    case Kind::TypeMismatch:
        return Texts::tr("类型不符");
    case Kind::Ambiguous:
        return Texts::tr("无法对应");
    }
    return QString();
}

QString ambiguityText(const Row &row, const Result &result)
{
    switch (row.ambiguity) {
    case Ambiguity::StationTwice:
        return Texts::tr("站号%1在组态中有%2个模块,在总线上有%3个模块,无法确定对应关系")
            .arg(row.station)
            .arg(row.configured.size())
            .arg(row.bus.size());
    case Ambiguity::NoStationNoUid:
        return Texts::tr("没有站号也没有UID,无法对应模块(只能对应同类型的本地模块)");
    case Ambiguity::UidTwice:
        return Texts::tr("UID %1 在组态中出现%2次")
            .arg(QString::fromLatin1(result.configuredModule(row).uid.toHex().toUpper()))
            .arg(row.configured.size());
    case Ambiguity::None:
        break;
    }
    return QString();
}

QString areaText(const Area &area)
{
    return area.held ? QStringLiteral("%1..%2").arg(area.start).arg(area.start + area.bits - 1) : kNone;
}

QString uidText(const QByteArray &uid)
{
    if (uid.isEmpty())
        return QStringLiteral("-");
    for (char c : uid) {
        if (c < 0x21 || c > 0x7E)
            return QString::fromLatin1(uid.toHex().toUpper());
    }
    return QString::fromLatin1(uid);
}

} // namespace appcore::Compare
