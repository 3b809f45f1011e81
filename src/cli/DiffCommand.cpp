// diff: a configuration file against the adapter's bus, module by module and
// field by field, as the window's comparison dialog shows it; with --apply
// the differing modules are written and the bus compared again.

#include "Commands.h"
#include "Texts.h"

#include "CompareWrite.h"
#include "ConfigCompare.h"
#include "ConfigCsv.h"

#include <QJsonArray>

using namespace appcore;
using Compare::Kind;
using Compare::uidText;

namespace {

const QString kNone = QStringLiteral("-");

QString stationText(const Compare::Module &module)
{
    if (module.local)
        return Texts::tr("local");
    return module.station == 0 ? kNone : QString::number(module.station);
}

// "station 3 (TB-DI8-N, DA01B2C3D403)", as the other commands name a module.
QString describe(const Compare::Module &module)
{
    const QString where = module.local              ? Texts::tr("local module")
                          : module.station == 0     ? Texts::tr("module without station")
                                                    : Texts::tr("station %1").arg(module.station);
    return QStringLiteral("%1 (%2, %3)").arg(where, module.typeName, uidText(module.uid));
}

// "6", "7,8"
QString linesText(const Compare::Result &result, const Compare::Row &row)
{
    QStringList lines;
    for (int i : row.configured)
        lines << QString::number(result.configuration.modules.at(i).line);
    return lines.isEmpty() ? kNone : lines.join(QLatin1Char(','));
}

// The module a row is about: the file's, else the bus's.
const Compare::Module &subject(const Compare::Result &result, const Compare::Row &row)
{
    return row.configured.isEmpty() ? result.busModule(row) : result.configuredModule(row);
}

QString rowStation(const Compare::Result &result, const Compare::Row &row)
{
    // The file names the adapter's own module by station 0 and its type.
    if (!row.bus.isEmpty() && result.busModule(row).local)
        return Texts::tr("local");
    return stationText(subject(result, row));
}

QString rowUid(const Compare::Result &result, const Compare::Row &row)
{
    const Compare::Module &module = subject(result, row);
    if (!module.uid.isEmpty() || row.bus.isEmpty() || row.kind == Kind::Ambiguous)
        return uidText(module.uid);
    return uidText(result.busModule(row).uid);
}

// A row's kind on a terminal: the words of its key (JSON keeps the key).
QString kindWord(Kind kind)
{
    switch (kind) {
    case Kind::Same:
        return Texts::tr("same");
    case Kind::Differs:
        return Texts::tr("differs");
    case Kind::Missing:
        return Texts::tr("missing");
    case Kind::Extra:
        return Texts::tr("extra");
    case Kind::TypeMismatch:
        return Texts::tr("type-mismatch");
    case Kind::Ambiguous:
        return Texts::tr("ambiguous");
    }
    return Compare::kindKey(kind);
}

// A field on a terminal: the words of its key; a parameter or setting by its
// name in the description.
QString fieldWord(const Compare::FieldValue &value)
{
    using Compare::Field;
    switch (value.field) {
    case Field::Type:
        return Texts::tr("type");
    case Field::Station:
        return Texts::tr("station");
    case Field::InputStart:
        return Texts::tr("inputStart");
    case Field::InputChannels:
        return Texts::tr("inputChannels");
    case Field::OutputStart:
        return Texts::tr("outputStart");
    case Field::OutputChannels:
        return Texts::tr("outputChannels");
    case Field::Parameter:
    case Field::Setting:
        break;
    }
    return Compare::fieldKey(value);
}

QString ambiguityText(const Compare::Result &result, const Compare::Row &row)
{
    QStringList uids;
    for (int j : row.bus)
        uids << uidText(result.bus.modules.at(j).uid);
    const QString onBus = uids.isEmpty() ? QString() : Texts::tr(" (%1)").arg(uids.join(QLatin1String(", ")));
    switch (row.ambiguity) {
    case Compare::Ambiguity::StationTwice:
        return Texts::tr("station %1: %2 lines in the file, %3 modules on the bus%4; not matched without UIDs")
            .arg(row.station)
            .arg(row.configured.size())
            .arg(row.bus.size())
            .arg(onBus);
    case Compare::Ambiguity::NoStationNoUid:
        return Texts::tr("station 0 without UID names no module but the adapter's own of the line's type; "
                         "%1 module(s) without a station on the bus%2")
            .arg(row.bus.size())
            .arg(onBus);
    case Compare::Ambiguity::UidTwice:
        return Texts::tr("UID %1 is given %2 times in the file")
            .arg(uidText(result.configuredModule(row).uid))
            .arg(row.configured.size());
    case Compare::Ambiguity::None:
        break;
    }
    return QString();
}

QString differencesText(const Compare::Result &result, const Compare::Row &row)
{
    switch (row.kind) {
    case Kind::Missing:
        return Texts::tr("not on the bus");
    case Kind::Extra:
        return Texts::tr("not in the file");
    case Kind::Ambiguous:
        return ambiguityText(result, row);
    default:
        break;
    }
    QStringList parts;
    for (const Compare::FieldValue &v : row.fields) {
        if (v.differs)
            parts << Texts::tr("%1 %2 (bus %3)").arg(fieldWord(v), v.configured, v.bus);
    }
    return parts.isEmpty() ? kNone : parts.join(QLatin1String("; "));
}

QString countsText(const Compare::Result &result)
{
    static const QList<QPair<Kind, const char *>> kinds{
        {Kind::Differs, QT_TRANSLATE_NOOP("Cli", "%1 differ")},
        {Kind::Missing, QT_TRANSLATE_NOOP("Cli", "%1 missing")},
        {Kind::Extra, QT_TRANSLATE_NOOP("Cli", "%1 extra")},
        {Kind::TypeMismatch, QT_TRANSLATE_NOOP("Cli", "%1 type mismatch")},
        {Kind::Ambiguous, QT_TRANSLATE_NOOP("Cli", "%1 ambiguous")},
        {Kind::Same, QT_TRANSLATE_NOOP("Cli", "%1 same")}};
    QStringList parts;
    for (const auto &kind : kinds)
        parts << Texts::tr(kind.second).arg(result.count(kind.first));
    return parts.join(QLatin1String(", "));
}

QString overlapText(const Compare::Result &result, const Compare::Overlap &overlap)
{
    const Compare::Side &side = overlap.onBus ? result.bus : result.configuration;
    const auto name = [&](int i) {
        const Compare::Module &m = side.modules.at(i);
        return overlap.onBus ? describe(m) : Texts::tr("line %1 (%2)").arg(m.line).arg(m.typeName);
    };
    const QString text = overlap.input ? Texts::tr("%1: %2 and %3 share inputs %4..%5")
                                       : Texts::tr("%1: %2 and %3 share outputs %4..%5");
    return text.arg(overlap.onBus ? Texts::tr("overlap on the bus") : Texts::tr("overlap in the file"), name(overlap.first),
                    name(overlap.second))
        .arg(overlap.start)
        .arg(overlap.end);
}

void printResult(Context &ctx, const Compare::Result &result, bool all)
{
    QList<QStringList> table{{Texts::tr("KIND"), Texts::tr("LINE"), Texts::tr("STATION"), Texts::tr("TYPE"), Texts::tr("UID"),
                              Texts::tr("DIFFERENCES")}};
    for (const Compare::Row &row : result.rows) {
        if (!all && !row.hasDifferences())
            continue;
        table << QStringList{kindWord(row.kind), linesText(result, row), rowStation(result, row),
                             subject(result, row).typeName, rowUid(result, row), differencesText(result, row)};
    }
    if (table.size() > 1)
        ctx.output.table(table);
    for (const Compare::Overlap &overlap : result.overlaps)
        ctx.output.line(overlapText(result, overlap));
    ctx.output.line(result.same() ? Texts::tr("the bus is what the file says (%1 modules)").arg(result.rows.size())
                                  : countsText(result));
}

QJsonObject moduleJson(const Compare::Module &module)
{
    return QJsonObject{{QStringLiteral("station"), module.station},
                       {QStringLiteral("local"), module.local},
                       {QStringLiteral("type"), module.typeName},
                       {QStringLiteral("moduleIdent"), module.moduleIdent},
                       {QStringLiteral("uid"), module.uid.isEmpty() ? QJsonValue() : QJsonValue(uidText(module.uid))}};
}

QJsonObject rowJson(const Compare::Result &result, const Compare::Row &row)
{
    QJsonObject object{{QStringLiteral("kind"), Compare::kindKey(row.kind)}};
    QJsonArray lines;
    QJsonArray configured;
    for (int i = 0; i < row.configured.size(); ++i) {
        lines.append(result.configuredModule(row, i).line);
        configured.append(moduleJson(result.configuredModule(row, i)));
    }
    QJsonArray bus;
    for (int i = 0; i < row.bus.size(); ++i)
        bus.append(moduleJson(result.busModule(row, i)));
    if (row.kind == Kind::Ambiguous) {
        object.insert(QStringLiteral("lines"), lines);
        object.insert(QStringLiteral("file"), configured);
        object.insert(QStringLiteral("bus"), bus);
        object.insert(QStringLiteral("reason"), ambiguityText(result, row));
        object.insert(QStringLiteral("code"), Compare::ambiguityCode(row.ambiguity));
        return object;
    }
    object.insert(QStringLiteral("line"), lines.isEmpty() ? QJsonValue() : lines.first());
    object.insert(QStringLiteral("file"), configured.isEmpty() ? QJsonValue() : configured.first());
    object.insert(QStringLiteral("bus"), bus.isEmpty() ? QJsonValue() : bus.first());
    QJsonArray fields;
    for (const Compare::FieldValue &v : row.fields) {
        if (v.differs)
            fields.append(QJsonObject{{QStringLiteral("field"), Compare::fieldKey(v)},
                                      {QStringLiteral("file"), v.configured},
                                      {QStringLiteral("bus"), v.bus}});
    }
    object.insert(QStringLiteral("fields"), fields);
    return object;
}

QJsonObject resultJson(const Compare::Result &result, bool all)
{
    QJsonObject counts;
    for (int k = 0; k < Compare::kKinds; ++k)
        counts.insert(Compare::kindKey(Kind(k)), result.count(Kind(k)));
    QJsonArray rows;
    for (const Compare::Row &row : result.rows) {
        if (all || row.hasDifferences())
            rows.append(rowJson(result, row));
    }
    QJsonArray overlaps;
    for (const Compare::Overlap &overlap : result.overlaps)
        overlaps.append(QJsonObject{{QStringLiteral("side"), overlap.onBus ? QStringLiteral("bus") : QStringLiteral("file")},
                                    {QStringLiteral("direction"), overlap.input ? QStringLiteral("inputs") : QStringLiteral("outputs")},
                                    {QStringLiteral("first"), moduleJson((overlap.onBus ? result.bus : result.configuration).modules.at(overlap.first))},
                                    {QStringLiteral("second"), moduleJson((overlap.onBus ? result.bus : result.configuration).modules.at(overlap.second))},
                                    {QStringLiteral("start"), overlap.start},
                                    {QStringLiteral("end"), overlap.end}});
    return QJsonObject{{QStringLiteral("result"), result.same() ? QStringLiteral("same") : QStringLiteral("differences")},
                       {QStringLiteral("counts"), counts},
                       {QStringLiteral("rows"), rows},
                       {QStringLiteral("overlaps"), overlaps}};
}

QString outcomeKey(const Compare::WriteOutcome &outcome)
{
    switch (outcome.state) {
    case Compare::WriteOutcome::Written:
        return QStringLiteral("written");
    case Compare::WriteOutcome::Refused:
        return QStringLiteral("refused");
    case Compare::WriteOutcome::Failed:
        return QStringLiteral("failed");
    case Compare::WriteOutcome::NotSent:
        break;
    }
    return QStringLiteral("not sent");
}

QString rowName(const Compare::Result &result, const Compare::Row &row)
{
    return Texts::tr("line %1: %2").arg(result.configuredModule(row).line).arg(describe(result.busModule(row)));
}

// The reports of the last request, as the comparison's writes take them.
QList<Compare::Report> reportsOf(const AdapterSession &s)
{
    QList<Compare::Report> reports;
    for (const AdapterSession::Report &r : s.reports())
        reports << Compare::Report{r.type, r.err, r.sid, r.status};
    return reports;
}

// The tool's words for an outcome that failed: the report that says why,
// with its class.
QString failureOf(const Compare::WriteOutcome &outcome)
{
    if (!outcome.report)
        return outcome.text;
    AdapterSession::Report report;
    report.type = outcome.report->type;
    report.err = outcome.report->err;
    report.sid = outcome.report->sid;
    report.status = outcome.report->status;
    report.message = resultMessage(report.type, report.err, report.sid, report.status);
    return session::failureText(report);
}

struct Applied {
    Compare::WriteRun run{{}};
    int status = ExitStatus::Success;
};

// Writes the differing rows one at a time and waits for each answer.
Applied writeRows(Context &ctx, AdapterSession &s, const Compare::Result &result)
{
    QList<int> rows;
    for (int i = 0; i < result.rows.size(); ++i)
        rows << i;
    const QList<Compare::RowWrite> writes = Compare::writesFor(result, rows);
    Applied applied{Compare::WriteRun(writes)};
    int sent = 0;
    while (const std::optional<Compare::RowWrite> write = applied.run.next()) {
        ctx.output.progress(Texts::tr("writing modules: %1 of %2").arg(++sent).arg(writes.size()));
        s.clearReports();
        if (write->byIdentity)
            s.adapter()->requestSlaveEditedConfig(write->recordId, write->record);
        else
            s.adapter()->requestSlaveConfig(write->recordId, write->record);
        if (s.sync() == AdapterSession::Wait::Interrupted) {
            applied.status = ctx.output.fail(CliError::interrupted(Texts::tr("interrupted; the writes may be incomplete")));
            return applied;
        }
        applied.run.take(reportsOf(s));
    }
    ctx.output.endProgress();
    return applied;
}

} // namespace

namespace commands {

int diff(Context &ctx)
{
    const QString path = ctx.arguments.first();
    const bool all = ctx.parser.isSet(QStringLiteral("all"));
    const bool apply = ctx.parser.isSet(QStringLiteral("apply"));
    // The file is checked whole before the adapter is opened.
    session::loadDescriptions(ctx);
    const ConfigCsv::ParsedFile file = ConfigCsv::readFile(path, ConfigCsv::librarySizes());
    if (!file.ok())
        return configuration::reportFileProblems(ctx, path, file.problems);
    const Compare::Side configured = Compare::sideOf(file);

    return session::withAdapter(ctx, [&](AdapterSession &s) {
        const Compare::Result first = Compare::compare(configured, Compare::sideOf(s.slaves()));
        const QString form = file.form == ConfigCsv::Form::WithUid ? Texts::tr("with UIDs") : Texts::tr("without UIDs");
        if (!ctx.output.json()) {
            ctx.output.line(Texts::tr("file     %1 (%2, %3 lines)").arg(path, form).arg(file.lines.size()));
            ctx.output.line(Texts::tr("adapter  %1 (%2 modules)").arg(s.state().mac).arg(s.slaves().size()));
            ctx.output.line(QString());
            printResult(ctx, first, all);
        }
        QJsonObject document{{QStringLiteral("file"), path}, {QStringLiteral("adapter"), s.state().mac}};
        if (!apply) {
            if (ctx.output.json()) {
                const QJsonObject result = resultJson(first, all);
                for (auto it = result.begin(); it != result.end(); ++it)
                    document.insert(it.key(), it.value());
                ctx.output.document(document);
            }
            return first.same() ? ExitStatus::Success : ExitStatus::Differences;
        }

        Applied applied = writeRows(ctx, s, first);
        if (applied.status != ExitStatus::Success)
            return applied.status;
        int status = ExitStatus::Success;
        QJsonArray writes;
        const QMap<int, Compare::WriteOutcome> &outcomes = applied.run.outcomes();
        for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it) {
            const Compare::Row &row = first.rows.at(it.key());
            const Compare::WriteOutcome &outcome = it.value();
            const QString name = rowName(first, row);
            if (outcome.ok()) {
                if (!ctx.output.json())
                    ctx.output.line(Texts::tr("%1: written").arg(name));
            } else {
                status = ctx.output.fail(CliError::bus(Texts::tr("%1: not written: %2").arg(name, failureOf(outcome))));
            }
            writes.append(QJsonObject{{QStringLiteral("line"), first.configuredModule(row).line},
                                      {QStringLiteral("module"), moduleJson(first.busModule(row))},
                                      {QStringLiteral("result"), outcomeKey(outcome)},
                                      {QStringLiteral("message"), outcome.text},
                                      {QStringLiteral("code"), outcome.code}});
        }

        // What the modules hold now, read from the bus again.
        s.clearReports();
        s.adapter()->requestBusRead();
        if (s.sync() == AdapterSession::Wait::Interrupted)
            return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted while reading the bus again")));
        const Compare::Result second = Compare::compare(configured, Compare::sideOf(s.slaves()));
        if (ctx.output.json()) {
            document.insert(QStringLiteral("before"), resultJson(first, all));
            document.insert(QStringLiteral("writes"), writes);
            const QJsonObject result = resultJson(second, all);
            for (auto it = result.begin(); it != result.end(); ++it)
                document.insert(it.key(), it.value());
            ctx.output.document(document);
        } else {
            ctx.output.line(QString());
            ctx.output.line(Texts::tr("compared again after %1 of %2 writes:")
                                .arg(applied.run.count(Compare::WriteOutcome::Written))
                                .arg(outcomes.size()));
            printResult(ctx, second, all);
        }
        if (status != ExitStatus::Success)
            return status;
        return second.same() ? ExitStatus::Success : ExitStatus::Differences;
    });
}

} // namespace commands
