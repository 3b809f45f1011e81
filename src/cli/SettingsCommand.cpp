// The adapter's own settings: shown, or changed and written (the adapter
// restarts with them).

#include "Commands.h"
#include "Texts.h"

#include "AdapterSettings.h"
#include "ReadBack.h"

#include <QJsonArray>

namespace {

namespace as = appcore::AdapterSettings;

// Short names a script can type, per switch in bit order, with the words
// for its two options.
struct Alias {
    const char *name;
    const char *off;
    const char *on;
};
constexpr Alias kSwitchAliases[as::kSwitchCount] = {
    {"di-filter", "off", "on"},
    {"auto-reset", "off", "on"},
    {"output-on-error", "clear", "hold"},
    {"station-mode", "strict", "free"},
};
constexpr const char *kThresholdAlias = "threshold";

// The short name of a setting: a switch (bit 0..3), or kSwitchCount for the
// threshold.
QString aliasOf(int field)
{
    return QLatin1String(field < as::kSwitchCount ? kSwitchAliases[field].name : kThresholdAlias);
}

// The switch a name means (bit 0..3), kSwitchCount for the threshold, or -1.
int fieldOf(const QList<as::Field> &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (name.compare(aliasOf(i), Qt::CaseInsensitive) == 0 || name == fields.at(i).name)
            return i;
    }
    return -1;
}

// The option a value means: its text, its alias or its index.
int optionOf(const as::Field &field, int bit, const QString &value)
{
    for (int option = 0; option < field.options.size(); ++option) {
        if (value == field.options.at(option) || value == QString::number(option))
            return option;
    }
    if (value.compare(QLatin1String(kSwitchAliases[bit].off), Qt::CaseInsensitive) == 0)
        return 0;
    if (value.compare(QLatin1String(kSwitchAliases[bit].on), Qt::CaseInsensitive) == 0)
        return 1;
    return -1;
}

QString fieldText(const as::Field &field)
{
    return field.options.isEmpty() ? QString::number(field.value) : field.options.value(field.value);
}

// result for JSON, text for a terminal.
void printSettings(Context &ctx, const QList<as::Field> &fields, const QString &result, const QString &text)
{
    if (ctx.output.json()) {
        QJsonArray settings;
        for (int i = 0; i < fields.size(); ++i) {
            settings.append(QJsonObject{{QStringLiteral("name"), fields.at(i).name},
                                        {QStringLiteral("alias"), aliasOf(i)},
                                        {QStringLiteral("value"), fields.at(i).value},
                                        {QStringLiteral("text"), fieldText(fields.at(i))}});
        }
        QJsonObject document{{QStringLiteral("settings"), settings}};
        if (!result.isEmpty())
            document.insert(QStringLiteral("result"), result);
        ctx.output.document(document);
        return;
    }
    if (!text.isEmpty())
        ctx.output.line(text);
    QList<QStringList> rows;
    for (int i = 0; i < fields.size(); ++i)
        rows.append({fields.at(i).name, fieldText(fields.at(i)), QStringLiteral("(%1)").arg(aliasOf(i))});
    ctx.output.table(rows);
}

} // namespace

namespace commands {

int settings(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        const QList<as::Field> fields = as::fields(s.state());
        if (fields.size() != as::kSwitchCount + 1)
            return session::busFailure(ctx, {}, Texts::tr("the adapter's settings could not be read; nothing is written"));
        if (ctx.arguments.isEmpty()) {
            printSettings(ctx, fields, QString(), QString());
            return ExitStatus::Success;
        }

        // Every assignment is checked before anything is written.
        as::Edit edit = as::current(s.state());
        for (const QString &assignment : qAsConst(ctx.arguments)) {
            const int equals = assignment.indexOf(QLatin1Char('='));
            const QString name = assignment.left(equals).trimmed();
            const QString value = assignment.mid(equals + 1).trimmed();
            const int field = equals > 0 ? fieldOf(fields, name) : -1;
            if (field < 0) {
                QStringList names;
                for (int i = 0; i <= as::kSwitchCount; ++i)
                    names << aliasOf(i);
                return ctx.output.fail(CliError::usage(Texts::tr("\"%1\" names no setting: NAME=VALUE, NAME one of %2")
                                                           .arg(assignment, names.join(QStringLiteral(", ")))));
            }
            if (field == as::kSwitchCount) {
                bool ok = false;
                const int threshold = value.toInt(&ok);
                if (!ok)
                    return ctx.output.fail(CliError::usage(Texts::tr("the threshold is a number, not \"%1\"").arg(value)));
                if (const std::optional<QString> problem = as::thresholdProblem(threshold))
                    return ctx.output.fail(CliError::usage(*problem));
                edit.threshold = threshold;
                edit.changeThreshold = true;
                continue;
            }
            const int option = optionOf(fields.at(field), field, value);
            if (option < 0)
                return ctx.output.fail(CliError::usage(Texts::tr("%1 is %2 or %3, not \"%4\"")
                                                           .arg(fields.at(field).name, fields.at(field).options.value(0),
                                                                fields.at(field).options.value(1), value)));
            edit.switches[field] = option;
        }

        const quint8 byte = as::settingsByte(edit, s.state().settingsByte);
        if (byte == s.state().settingsByte && !edit.changeThreshold) {
            printSettings(ctx, fields, QStringLiteral("settings unchanged; nothing written"),
                          Texts::tr("settings unchanged; nothing written"));
            return ExitStatus::Success;
        }
        s.adapter()->requestSettingsWrite(byte, quint16(edit.threshold), edit.changeThreshold);
        // -16: the adapter took them and restarts; they are read back once it is back.
        const int status = session::awaitReadBack(
            ctx, s, Texts::tr("writing the settings; the adapter restarts"), MSG_BATCH_CONFIG, -16,
            Texts::tr("the adapter did not take the settings"), [&s] { return s.settingsReadBack().has_value(); },
            Texts::tr("the adapter did not come back after its restart: the settings are not verified"));
        if (status != ExitStatus::Success)
            return status;
        const QStringList differences = appcore::ReadBack::settingsDifferences(*s.settingsReadBack());
        if (!differences.isEmpty())
            return session::readBackStatus(ctx, differences);
        // What the adapter holds now, as read back.
        printSettings(ctx, as::fields(s.state()), QStringLiteral("settings written and read back after the restart"),
                      Texts::tr("settings written and read back after the restart"));
        return int(ExitStatus::Success);
    });
}

} // namespace commands
