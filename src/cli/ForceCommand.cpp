// force: outputs written in force mode, the inputs read back every cycle,
// and force mode always left at the end.

#include "Commands.h"
#include "Texts.h"
#include "Modules.h"

#include "TarnBaseConvert.h"

#include <QDateTime>
#include <QJsonArray>

#include <limits>
#include <variant>

using namespace TarnBase;

namespace {

struct OutputSet {
    QString text;     // as given
    QString selector; // station or UID
    int channel = 0;
    QString value;
};

struct ResolvedSet {
    SlaveSnapshot slave;
    int channel = 0;
    int value = 0;
};

std::variant<OutputSet, CliError> parseSet(const QString &text)
{
    const int equals = text.indexOf(QLatin1Char('='));
    const int colon = text.lastIndexOf(QLatin1Char(':'), equals);
    bool ok = false;
    OutputSet set;
    set.text = text;
    if (equals > 0 && colon > 0) {
        set.selector = text.left(colon);
        set.channel = text.mid(colon + 1, equals - colon - 1).toInt(&ok);
        set.value = text.mid(equals + 1).trimmed();
    }
    if (!ok || set.channel < 0 || set.value.isEmpty())
        return CliError::usage(Texts::tr("--set takes STATION:CHANNEL=VALUE, not \"%1\"").arg(text));
    return set;
}

// The value range of an output item by its data type.
std::pair<qint64, qint64> outputRange(const ItemState &item)
{
    switch (item.dataType) {
    case DataBool:
        return {0, 1};
    case DataBits:
        return {0, (qint64(1) << std::clamp<int>(item.bitLength, 1, 8)) - 1};
    case DataChar:
        return {0, 0xFF};
    case DataInt:
        return {std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()};
    case DataUInt:
        return {0, 0xFFFF};
    case DataDInt:
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    case DataUDInt:
        return {0, 0xFFFFFFFFLL};
    default:
        return {1, 0}; // no number
    }
}

std::variant<ResolvedSet, CliError> resolve(const SlaveList &slaves, const OutputSet &set)
{
    const auto found = modules::find(slaves, set.selector);
    if (const CliError *error = std::get_if<CliError>(&found))
        return *error;
    ResolvedSet resolved;
    resolved.slave = std::get<SlaveSnapshot>(found);
    resolved.channel = set.channel;
    const ItemGroupState *outputs = resolved.slave->group(Slave::kTxPdo);
    if (!outputs || outputs->items.isEmpty())
        return CliError::usage(Texts::tr("%1 has no outputs").arg(modules::describe(*resolved.slave)));
    // Only the outputs in the area the module holds can be forced: any
    // other bit of the image belongs to another module, or to none.
    if (resolved.slave->ioWindow.outputBits == 0)
        return CliError::usage(Texts::tr("%1 holds no output area; its outputs cannot be forced")
                                   .arg(modules::describe(*resolved.slave)));
    const ItemState *item = outputs->itemAt(set.channel);
    if (!item)
        return CliError::usage(Texts::tr("%1 has output channels 0 to %2, not %3")
                                   .arg(modules::describe(*resolved.slave))
                                   .arg(outputs->items.size() - 1)
                                   .arg(set.channel));
    if (!item->hasAddress())
        return CliError::usage(Texts::tr("output %1 of %2 is outside the output area the module holds (%3)")
                                   .arg(set.channel)
                                   .arg(modules::describe(*resolved.slave),
                                        modules::area(resolved.slave->ioWindow.outputStart, resolved.slave->ioWindow.outputBits)));
    const QString v = set.value.toLower();
    bool ok = false;
    qint64 value = 0;
    if (v == QLatin1String("on") || v == QLatin1String("true")) {
        value = 1;
        ok = true;
    } else if (v == QLatin1String("off") || v == QLatin1String("false")) {
        ok = true;
    } else if (v.startsWith(QLatin1String("0x"))) {
        value = v.mid(2).toLongLong(&ok, 16);
    } else {
        value = v.toLongLong(&ok, 10);
    }
    const auto [least, most] = outputRange(*item);
    if (!ok || value < least || value > most)
        return CliError::usage(Texts::tr("--set %1: output %2 of %3 (%4) takes %5 to %6")
                                   .arg(set.text)
                                   .arg(set.channel)
                                   .arg(modules::describe(*resolved.slave), item->dataTypeName)
                                   .arg(least)
                                   .arg(most));
    resolved.value = int(quint32(value));
    return resolved;
}

QList<int> inputValues(const SlaveState &slave)
{
    QList<int> values;
    if (const ItemGroupState *inputs = slave.group(Slave::kRxPdo)) {
        for (const ItemState &item : inputs->items)
            values << item.value.toInt();
    }
    return values;
}

QString valuesText(const QList<int> &values)
{
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    return parts.join(QLatin1Char(' '));
}

// Prints the inputs of every module whose values changed since the last
// cycle that was printed.
class InputPrinter
{
public:
    InputPrinter(Context &ctx, const SlaveList &slaves)
        : m_ctx(ctx)
    {
        for (const SlaveSnapshot &slave : slaves)
            m_last.insert(slave->recordId, inputValues(*slave));
    }

    void cycle(const SlaveList &slaves)
    {
        for (const SlaveSnapshot &slave : slaves) {
            const QList<int> values = inputValues(*slave);
            if (values.isEmpty() || m_last.value(slave->recordId) == values)
                continue;
            m_last.insert(slave->recordId, values);
            print(*slave, values, false);
        }
    }

    void final(const SlaveList &slaves)
    {
        if (!m_ctx.output.json())
            m_ctx.output.line(Texts::tr("inputs:"));
        for (const SlaveSnapshot &slave : slaves) {
            const QList<int> values = inputValues(*slave);
            if (!values.isEmpty())
                print(*slave, values, true);
        }
    }

private:
    void print(const SlaveState &slave, const QList<int> &values, bool final)
    {
        const QString time = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
        if (m_ctx.output.json()) {
            QJsonArray array;
            for (int value : values)
                array.append(value);
            m_ctx.output.event(QJsonObject{{QStringLiteral("time"), time},
                                           {QStringLiteral("event"), QStringLiteral("inputs")},
                                           {QStringLiteral("final"), final},
                                           {QStringLiteral("station"), slave.stationId},
                                           {QStringLiteral("uid"), modules::uid(slave)},
                                           {QStringLiteral("type"), slave.typeName},
                                           {QStringLiteral("values"), array}});
        } else if (final) {
            m_ctx.output.line(QStringLiteral("  %1: %2").arg(modules::describe(slave), valuesText(values)));
        } else {
            m_ctx.output.line(Texts::tr("%1 %2 inputs %3").arg(time, modules::describe(slave), valuesText(values)));
        }
    }

    Context &m_ctx;
    QMap<quint64, QList<int>> m_last;
};

void forceEvent(Context &ctx, const QString &state)
{
    if (ctx.output.json())
        ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("force")}, {QStringLiteral("state"), state}});
    else
        ctx.output.line(state == QLatin1String("on") ? Texts::tr("force mode on") : Texts::tr("force mode left"));
}

// The process-data cycle has failed or stopped: the hold ends.
bool cycleBroken(const AdapterSession &s)
{
    return !s.failures().isEmpty() || !s.linked();
}

} // namespace

namespace commands {

int force(Context &ctx)
{
    QList<OutputSet> sets;
    for (const QString &text : ctx.parser.values(QStringLiteral("set"))) {
        const auto parsed = parseSet(text);
        if (const CliError *error = std::get_if<CliError>(&parsed))
            return ctx.output.fail(*error);
        sets << std::get<OutputSet>(parsed);
    }
    if (sets.isEmpty())
        return ctx.output.fail(CliError::usage(Texts::tr("give at least one --set STATION:CHANNEL=VALUE")));
    int holdMs = -1;
    if (ctx.parser.isSet(QStringLiteral("hold"))) {
        bool ok = false;
        const double seconds = ctx.parser.value(QStringLiteral("hold")).toDouble(&ok);
        if (!ok || seconds < 0 || seconds > 365.0 * 24 * 3600)
            return ctx.output.fail(CliError::usage(Texts::tr("--hold takes a number of seconds, not \"%1\"")
                                                       .arg(ctx.parser.value(QStringLiteral("hold")))));
        holdMs = int(seconds * 1000);
    }

    return session::withAdapter(ctx, [&ctx, &sets, holdMs](AdapterSession &s) {
        QList<ResolvedSet> outputs;
        for (const OutputSet &set : sets) {
            const auto resolved = resolve(s.slaves(), set);
            if (const CliError *error = std::get_if<CliError>(&resolved))
                return ctx.output.fail(*error);
            outputs << std::get<ResolvedSet>(resolved);
        }

        emit s.adapter()->sigSetFource(true);
        AdapterSession::Wait wait = s.waitFor([&s] { return s.state().forceMode || cycleBroken(s); });
        if (wait == AdapterSession::Wait::Interrupted || cycleBroken(s)) {
            s.leaveForceMode();
            return session::finish(ctx, s, wait);
        }
        forceEvent(ctx, QStringLiteral("on"));

        for (const ResolvedSet &set : outputs)
            s.adapter()->requestSlaveOutput(set.slave->recordId, set.channel, set.value);
        InputPrinter printer(ctx, s.slaves());
        s.onLoad = [&printer](adapter_message_type type, const SlaveList &slaves) {
            if (type == MSG_STATUS)
                printer.cycle(slaves);
        };
        wait = s.sync();
        for (const ResolvedSet &set : outputs) {
            if (ctx.output.json())
                ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("output")},
                                             {QStringLiteral("station"), set.slave->stationId},
                                             {QStringLiteral("uid"), modules::uid(*set.slave)},
                                             {QStringLiteral("channel"), set.channel},
                                             {QStringLiteral("value"), set.value}});
            else
                ctx.output.line(Texts::tr("%1 output %2 = %3").arg(modules::describe(*set.slave)).arg(set.channel).arg(set.value));
        }

        // Without --hold, one round: every module's inputs come round once.
        const int cycles = s.loadCount(MSG_STATUS);
        const int round = s.slaves().size() + 1;
        if (wait == AdapterSession::Wait::Done) {
            if (holdMs >= 0)
                wait = s.waitFor([&s] { return cycleBroken(s); }, holdMs);
            else
                wait = s.waitFor([&s, cycles, round] { return cycleBroken(s) || s.loadCount(MSG_STATUS) >= cycles + round; });
        }
        s.onLoad = nullptr;
        if (!cycleBroken(s))
            printer.final(s.slaves());

        // Ctrl-C ends the hold as the time would; force mode is left either
        // way, and said to be left only when the adapter confirmed it (the
        // session's end says when it did not).
        const bool left = s.leaveForceMode();
        if (left)
            forceEvent(ctx, QStringLiteral("left"));
        if (cycleBroken(s))
            return session::busFailure(ctx, s.failures(), Texts::tr("the link to the adapter is lost"));
        if (!left)
            return int(ExitStatus::BusFailure);
        return int(ExitStatus::Success);
    });
}

} // namespace commands
