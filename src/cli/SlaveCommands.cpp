// Commands on one module: its station, its areas, its parameters, clearing
// it and its locating lamp. Each builds what the window's views build and
// asks the Adapter by the module's record id.

#include "Commands.h"
#include "Texts.h"
#include "Modules.h"

#include "SlaveEditChecks.h"
#include "SlaveEditRecord.h"
#include "TarnBaseConvert.h"

#include <QJsonArray>

#include <variant>

using appcore::SlaveEdit;
using appcore::kImageBits;
using appcore::kMaxChannels;
using appcore::kMaxStation;
using appcore::parseNumber;
using namespace TarnBase;

namespace {

// The module the selector names, among the session's modules.
std::variant<SlaveSnapshot, CliError> moduleOf(AdapterSession &s, const QString &selector)
{
    return modules::find(s.slaves(), selector);
}

SlaveSnapshot snapshotOf(const AdapterSession &s, quint64 recordId)
{
    return findSnapshot(s.slaves(), recordId);
}

// A module without a description of its own has no configuration the tool
// may write: an all-zero record would take its areas away.
std::optional<CliError> refuseUndescribed(const SlaveState &slave)
{
    if (slave.typeCode != ModuleUndefined && slave.group(Slave::kConfigData))
        return std::nullopt;
    return CliError::usage(Texts::tr("%1 has no description of its own; its configuration is left alone")
                               .arg(modules::describe(slave)));
}

QString parameterText(const ItemState &item)
{
    const int value = item.value.toInt();
    const QString name = item.enumTexts.value(value);
    return name.isEmpty() ? QString::number(value) : QStringLiteral("%1 (%2)").arg(value).arg(name);
}

// what for JSON, text for a terminal.
void printModule(Context &ctx, const SlaveState &slave, const QString &what, const QString &text)
{
    if (ctx.output.json()) {
        QJsonObject module = modules::json(slave);
        QJsonObject parameters;
        if (const ItemGroupState *config = slave.group(Slave::kConfigData)) {
            for (const ItemState &item : config->items) {
                if (item.paramType >= ParamFilter)
                    parameters.insert(item.name, item.value.toInt());
            }
        }
        module.insert(QStringLiteral("parameters"), parameters);
        ctx.output.document(QJsonObject{{QStringLiteral("result"), what}, {QStringLiteral("module"), module}});
        return;
    }
    const Slave::IoWindow w = slave.ioWindow;
    ctx.output.line(QStringLiteral("%1: %2").arg(modules::describe(slave), text));
    ctx.output.line(Texts::tr("  inputs %1, outputs %2")
                        .arg(modules::area(w.inputStart, w.inputBits), modules::area(w.outputStart, w.outputBits)));
    if (const ItemGroupState *config = slave.group(Slave::kConfigData)) {
        for (const ItemState &item : config->items) {
            if (item.paramType >= ParamFilter)
                ctx.output.line(QStringLiteral("  %1 = %2").arg(item.name, parameterText(item)));
        }
    }
}

// Hands the editor's record to the module as the parameter editor does and
// waits for the adapter's answer. The adapter's own (local) module takes
// its record by station: the editor's path changes it only in the tool.
int sendEdit(Context &ctx, AdapterSession &s, const SlaveState &slave, const SlaveEdit &edit, const QString &what,
             const QString &text)
{
    const QByteArray record = edit.record();
    const bool byIdentity = appcore::editsByIdentity(slave);
    if (byIdentity)
        s.adapter()->requestSlaveEditedConfig(slave.recordId, record);
    else
        s.adapter()->requestSlaveConfig(slave.recordId, record);
    const int status = session::finish(ctx, s, s.refresh());
    if (status != ExitStatus::Success)
        return status;
    if (byIdentity && !s.hasReport(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success))
        return session::busFailure(ctx, {}, Texts::tr("the adapter did not confirm the configuration"));
    if (const SlaveSnapshot after = snapshotOf(s, slave.recordId))
        printModule(ctx, *after, what, text);
    return ExitStatus::Success;
}

// The bits another module already uses in [start, start + bits) of one
// direction, named by that module.
std::optional<QString> overlapping(const AdapterSession &s, const SlaveState &slave, bool input, int start, int bits)
{
    const SlaveSnapshot other = appcore::overlappingSlave(s.slaves(), slave.recordId, input, start, bits);
    if (!other)
        return std::nullopt;
    const Slave::IoWindow &w = other->ioWindow;
    return Texts::tr("%1 uses %2")
        .arg(modules::describe(*other), input ? modules::area(w.inputStart, w.inputBits) : modules::area(w.outputStart, w.outputBits));
}

// One area of set-io: "START[:CHANNELS]" checked against the module and the bus.
std::optional<CliError> placeArea(const AdapterSession &s, const SlaveState &slave, bool input, const QString &spec,
                                  SlaveEdit &edit)
{
    const QString option = input ? QStringLiteral("--in") : QStringLiteral("--out");
    const ItemGroupState *config = slave.group(Slave::kConfigData);
    const ItemState *item = nullptr;
    for (const ItemState &candidate : config->items) {
        if (input ? candidate.isInputChannels() : candidate.isOutputChannels())
            item = &candidate;
    }
    if (!item)
        return CliError::usage((input ? Texts::tr("%1 has no inputs") : Texts::tr("%1 has no outputs")).arg(modules::describe(slave)));

    const QStringList parts = spec.split(QLatin1Char(':'));
    const std::optional<qint64> start = parseNumber(parts.value(0));
    if (parts.size() > 2 || !start || *start < 0 || *start >= kImageBits)
        return CliError::usage(Texts::tr("%1 takes START[:CHANNELS] with START a bit address from 0 to 511, not \"%2\"")
                                   .arg(option, spec));
    const int unit = std::max(1, s.state().alignmentUnit);
    if (*start % unit != 0)
        return CliError::usage(Texts::tr("%1 %2: with byte alignment a start address is a multiple of 8").arg(option, spec));
    int channels = item->channels;
    if (parts.size() == 2) {
        const std::optional<qint64> given = parseNumber(parts.at(1));
        if (!given || *given < 1 || *given > kMaxChannels)
            return CliError::usage(Texts::tr("%1 %2: CHANNELS is a count from 1 to 127").arg(option, spec));
        if (!slave.suportChangeableChannel && *given != slave.channelCount)
            return CliError::usage(Texts::tr("%1 has %2 channels; its channel count cannot be changed")
                                       .arg(modules::describe(slave))
                                       .arg(slave.channelCount));
        channels = int(*given);
    }
    const int count = channels + (input ? slave.inputOffs : slave.outputOffs);
    const int bits = count * std::max(1, slave.bitsPerChannel);
    if (count > kMaxChannels || *start + bits > kImageBits)
        return CliError::usage((input ? Texts::tr("%1 %2: the inputs would take bits %3, past the %4-bit image")
                                      : Texts::tr("%1 %2: the outputs would take bits %3, past the %4-bit image"))
                                   .arg(option, spec, modules::area(int(*start), bits))
                                   .arg(kImageBits));
    if (const std::optional<QString> other = overlapping(s, slave, input, int(*start), bits))
        return CliError::usage(Texts::tr("%1 %2: bits %3 overlap: %4").arg(option, spec, modules::area(int(*start), bits), *other));
    if (input) {
        edit.inputStart = int(*start);
        edit.inputCount = count;
    } else {
        edit.outputStart = int(*start);
        edit.outputCount = count;
    }
    return std::nullopt;
}

// NAME=VALUE of set-param, against the module's parameter items.
std::optional<CliError> setParameter(const SlaveState &slave, const QString &assignment, SlaveEdit &edit)
{
    const int equals = assignment.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return CliError::usage(Texts::tr("\"%1\" is not NAME=VALUE").arg(assignment));
    const QString name = assignment.left(equals).trimmed();
    const QString valueText = assignment.mid(equals + 1).trimmed();

    QList<const ItemState *> parameters;
    for (const ItemState &item : slave.group(Slave::kConfigData)->items) {
        if (item.paramType >= ParamFilter && item.paramType < ParamFault)
            parameters << &item;
    }
    const ItemState *item = nullptr;
    for (const ItemState *candidate : parameters) {
        if (candidate->name == name)
            item = candidate;
    }
    for (const ItemState *candidate : parameters) {
        if (!item && candidate->name.compare(name, Qt::CaseInsensitive) == 0)
            item = candidate;
    }
    if (!item) {
        QStringList names;
        for (const ItemState *candidate : parameters)
            names << QLatin1Char('"') + candidate->name + QLatin1Char('"');
        return CliError::usage((names.isEmpty() ? Texts::tr("%1 has no parameter \"%2\" (it has none)")
                                                : Texts::tr("%1 has no parameter \"%2\"; its parameters: %3"))
                                   .arg(modules::describe(slave), name, names.join(QLatin1String(", "))));
    }

    std::optional<qint64> value = parseNumber(valueText);
    for (auto it = item->enumTexts.cbegin(); !value && it != item->enumTexts.cend(); ++it) {
        if (!it.value().isEmpty() && it.value().compare(valueText, Qt::CaseInsensitive) == 0)
            value = it.key();
    }
    const auto [least, most] = appcore::parameterRange(item->paramType);
    if (!value || !appcore::parameterAccepts(*item, *value)) {
        QStringList allowed;
        for (auto it = item->enumTexts.cbegin(); it != item->enumTexts.cend(); ++it)
            allowed << (it.value().isEmpty() ? QString::number(it.key()) : QStringLiteral("%1 (%2)").arg(it.key()).arg(it.value()));
        return CliError::usage(Texts::tr("\"%1\" is no value of \"%2\"; it takes %3")
                                   .arg(valueText, item->name,
                                        allowed.isEmpty() ? Texts::tr("%1 to %2").arg(least).arg(most)
                                                          : allowed.join(QLatin1String(", "))));
    }
    edit.parameters[item->paramType] = int(*value);
    return std::nullopt;
}

// Finds the module of the first argument; refuses modules without a
// description of their own.
std::variant<SlaveSnapshot, int> configurableModule(Context &ctx, AdapterSession &s)
{
    const auto found = moduleOf(s, ctx.arguments.first());
    if (const CliError *error = std::get_if<CliError>(&found))
        return ctx.output.fail(*error);
    const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
    if (const std::optional<CliError> refused = refuseUndescribed(*slave))
        return ctx.output.fail(*refused);
    return slave;
}

} // namespace

namespace commands {

int setStation(Context &ctx)
{
    const std::optional<qint64> station = parseNumber(ctx.arguments.at(1));
    if (!station || *station < 1 || *station > kMaxStation)
        return ctx.output.fail(CliError::usage(Texts::tr("STATION is a number from 1 to 128, not \"%1\"").arg(ctx.arguments.at(1))));
    return session::withAdapter(ctx, [&ctx, station](AdapterSession &s) {
        const auto found = configurableModule(ctx, s);
        if (const int *status = std::get_if<int>(&found))
            return *status;
        const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
        if (slave->recordCarriesStation)
            return ctx.output.fail(CliError::usage(Texts::tr("%1 is the adapter's own module: it has no station to set")
                                                       .arg(modules::describe(*slave))));
        if (slave->stationId == *station && slave->newStationId == *station) {
            printModule(ctx, *slave, QStringLiteral("already at station %1").arg(*station),
                        Texts::tr("already at station %1").arg(*station));
            return ExitStatus::Success;
        }
        if (const SlaveSnapshot other = appcore::stationHolder(s.slaves(), slave->recordId, int(*station)))
            return ctx.output.fail(CliError::usage(Texts::tr("station %1 is taken by %2")
                                                       .arg(*station)
                                                       .arg(modules::describe(*other))));
        SlaveEdit edit = SlaveEdit::of(*slave);
        edit.newStation = int(*station);
        return sendEdit(ctx, s, *slave, edit, QStringLiteral("station set to %1").arg(*station),
                        Texts::tr("station set to %1").arg(*station));
    });
}

int setIo(Context &ctx)
{
    const bool in = ctx.parser.isSet(QStringLiteral("in"));
    const bool out = ctx.parser.isSet(QStringLiteral("out"));
    if (!in && !out)
        return ctx.output.fail(CliError::usage(Texts::tr("give --in, --out or both")));
    return session::withAdapter(ctx, [&ctx, in, out](AdapterSession &s) {
        const auto found = configurableModule(ctx, s);
        if (const int *status = std::get_if<int>(&found))
            return *status;
        const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
        SlaveEdit edit = SlaveEdit::of(*slave);
        for (const bool input : {true, false}) {
            if (!(input ? in : out))
                continue;
            const QString spec = ctx.parser.value(input ? QStringLiteral("in") : QStringLiteral("out"));
            if (const std::optional<CliError> error = placeArea(s, *slave, input, spec, edit))
                return ctx.output.fail(*error);
        }
        return sendEdit(ctx, s, *slave, edit, QStringLiteral("areas set"), Texts::tr("areas set"));
    });
}

int setParam(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        const auto found = configurableModule(ctx, s);
        if (const int *status = std::get_if<int>(&found))
            return *status;
        const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
        SlaveEdit edit = SlaveEdit::of(*slave);
        for (const QString &assignment : ctx.arguments.mid(1)) {
            if (const std::optional<CliError> error = setParameter(*slave, assignment, edit))
                return ctx.output.fail(*error);
        }
        return sendEdit(ctx, s, *slave, edit, QStringLiteral("parameters set"), Texts::tr("parameters set"));
    });
}

int clear(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        const auto found = moduleOf(s, ctx.arguments.first());
        if (const CliError *error = std::get_if<CliError>(&found))
            return ctx.output.fail(*error);
        const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
        s.adapter()->requestSlaveClear(slave->recordId);
        const int status = session::finish(ctx, s, s.refresh());
        if (status != ExitStatus::Success)
            return status;
        if (!s.hasReport(MSG_SLAVE_CONFIG_RESULT, SlaveConfigResult::Success))
            return session::busFailure(ctx, {}, Texts::tr("the adapter did not confirm clearing the module"));
        if (const SlaveSnapshot after = snapshotOf(s, slave->recordId))
            printModule(ctx, *after, QStringLiteral("configuration cleared"), Texts::tr("configuration cleared"));
        return ExitStatus::Success;
    });
}

int lamp(Context &ctx)
{
    const QString state = ctx.arguments.at(1).toLower();
    if (state != QLatin1String("on") && state != QLatin1String("off"))
        return ctx.output.fail(CliError::usage(Texts::tr("the lamp is switched \"on\" or \"off\", not \"%1\"").arg(ctx.arguments.at(1))));
    const bool on = state == QLatin1String("on");
    return session::withAdapter(ctx, [&ctx, on](AdapterSession &s) {
        const auto found = moduleOf(s, ctx.arguments.first());
        if (const CliError *error = std::get_if<CliError>(&found))
            return ctx.output.fail(*error);
        const SlaveSnapshot slave = std::get<SlaveSnapshot>(found);
        s.adapter()->requestSlaveLamp(slave->recordId, on);
        const int status = session::finish(ctx, s, s.sync());
        if (status != ExitStatus::Success)
            return status;
        const QString what = on ? QStringLiteral("lamp on") : QStringLiteral("lamp off");
        if (ctx.output.json())
            ctx.output.document(QJsonObject{{QStringLiteral("result"), what}, {QStringLiteral("module"), modules::json(*slave)}});
        else
            ctx.output.line(QStringLiteral("%1: %2").arg(modules::describe(*slave), on ? Texts::tr("lamp on") : Texts::tr("lamp off")));
        return ExitStatus::Success;
    });
}

} // namespace commands
