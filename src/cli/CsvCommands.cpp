// export and import: the configuration file of the window, in the same
// format and encoding.

#include "Commands.h"
#include "Modules.h"
#include "Texts.h"

#include "ConfigCsv.h"

#include <QJsonArray>

#include <algorithm>

using namespace appcore;

namespace {

// A problem of a configuration file in the tool's words; the window says
// the same in its own (Problem::text).
QString describe(const ConfigCsv::Problem &problem)
{
    using Problem = ConfigCsv::Problem;
    switch (problem.kind) {
    case Problem::FileUnreadable:
        return Texts::tr("cannot read the file: %1").arg(problem.value);
    case Problem::FileUnwritable:
        return Texts::tr("cannot write the file: %1").arg(problem.value);
    case Problem::NoHeader:
        return Texts::tr("no header line");
    case Problem::HeaderField:
        return Texts::tr("header field %1 is \"%2\", not \"%3\" or \"%4\": missing or out of order (%5)")
            .arg(problem.column + 1)
            .arg(problem.value, problem.field, ConfigCsv::columnKey(problem.column), problem.text());
    case Problem::TooFewFields:
        return Texts::tr("%1 fields; a line of this file needs %2").arg(problem.value).arg(problem.limit);
    case Problem::NotANumber:
        return Texts::tr("\"%1\" is not a number").arg(problem.value);
    case Problem::StationOutOfRange:
        return Texts::tr("station %1 is outside 1..128 (0: no station)").arg(problem.value);
    case Problem::TooManyChannels:
        return Texts::tr("%1 channels; at most %2").arg(problem.value).arg(problem.limit);
    case Problem::AreaPastImage:
        return Texts::tr("begin %1: the area would end at bit %2, past the 512-bit image").arg(problem.value).arg(problem.limit);
    case Problem::BadAlignment:
        return Texts::tr("alignment %1: only 1 (bits) or 8 (bytes)").arg(problem.value);
    case Problem::BadUid:
        return Texts::tr("\"%1\" is not a UID (up to 24 hexadecimal digits, in pairs)").arg(problem.value);
    }
    return problem.text();
}

} // namespace

namespace configuration {

int reportFileProblems(Context &ctx, const QString &path, const QList<ConfigCsv::Problem> &problems)
{
    int status = ExitStatus::BadInput;
    for (const ConfigCsv::Problem &problem : problems) {
        CliError error = CliError::usage(describe(problem));
        error.file = path;
        error.line = problem.line;
        error.code = problem.code();
        if (problem.column >= 0 && problem.kind != ConfigCsv::Problem::HeaderField) {
            const QString key = ConfigCsv::columnKey(problem.column);
            error.field = problem.field.isEmpty() ? Texts::tr("column %1").arg(problem.column + 1)
                          : key.isEmpty()         ? problem.field
                                                  : QStringLiteral("%1 (%2)").arg(problem.field, key);
            error.value = problem.value;
        }
        status = ctx.output.fail(error);
    }
    return status;
}

} // namespace configuration

namespace commands {

int exportCsv(Context &ctx)
{
    const QString path = ctx.arguments.first();
    const bool withUid = ctx.parser.isSet(QStringLiteral("uid"));
    return session::withAdapter(ctx, [&ctx, path, withUid](AdapterSession &s) {
        s.adapter()->requestCsvLines(withUid);
        const int status = session::finish(ctx, s, s.waitFor([&s] { return s.csvLinesArrived(); }));
        if (status != ExitStatus::Success)
            return status;
        const QStringList lines = s.csvLines();
        const ConfigCsv::Form form = withUid ? ConfigCsv::Form::WithUid : ConfigCsv::Form::WithoutUid;
        if (const std::optional<ConfigCsv::Problem> problem = ConfigCsv::writeFile(path, form, lines)) {
            CliError error = CliError::usage(describe(*problem));
            error.file = path;
            error.code = problem->code();
            return ctx.output.fail(error);
        }
        if (!withUid) {
            const int unnamed = ConfigCsv::modulesUnnamedWithoutUid(s.slaves());
            if (unnamed == 1)
                ctx.output.warn(Texts::tr("1 module has no station of its own: a file without UIDs cannot name it, "
                                               "and import skips its line (export with --uid)"));
            else if (unnamed > 1)
                ctx.output.warn(Texts::tr("%1 modules have no station of their own: a file without UIDs cannot name "
                                               "them, and import skips their lines (export with --uid)")
                                    .arg(unnamed));
        }
        if (ctx.output.json())
            ctx.output.document(QJsonObject{{QStringLiteral("result"), QStringLiteral("exported")},
                                            {QStringLiteral("file"), path},
                                            {QStringLiteral("withUid"), withUid},
                                            {QStringLiteral("lines"), lines.size()}});
        else
            ctx.output.line(Texts::tr("%1 modules written to %2").arg(lines.size()).arg(path));
        return ExitStatus::Success;
    });
}

int importCsv(Context &ctx)
{
    const QString path = ctx.arguments.first();
    const bool apply = ctx.parser.isSet(QStringLiteral("apply"));
    // The whole file is checked before the adapter is even opened; the
    // module sizes come from the descriptions.
    session::loadDescriptions(ctx);
    const ConfigCsv::ParsedFile file = ConfigCsv::readFile(path, ConfigCsv::librarySizes());
    if (!file.ok())
        return configuration::reportFileProblems(ctx, path, file.problems);

    return session::withAdapter(ctx, [&ctx, &file, path, apply](AdapterSession &s) {
        // While the file is applied to the slave records and written to the
        // adapter, no poll may read the old configuration back into them.
        s.adapter()->setManagerOperation(true);
        s.adapter()->requestCsvImport(file.lineTexts(), file.form == ConfigCsv::Form::WithUid);
        int status = session::finish(ctx, s, s.waitFor([&s] { return s.csvResultsArrived(); }));
        if (status == ExitStatus::Success)
            status = session::finish(ctx, s, s.sync());
        if (status != ExitStatus::Success)
            return status;

        const QList<CsvImportResult> &results = s.csvResults();
        QJsonArray lines;
        for (int i = 0; i < results.size() && i < file.lines.size(); ++i) {
            const CsvImportResult &result = results.at(i);
            const QString text = importLineMessage(result).logText;
            if (result.skipped) {
                ctx.output.warn(Texts::tr("%1:%2: %3 (station 0 without a UID names only the adapter's own module "
                                               "of the line's type; the line is skipped)")
                                    .arg(path)
                                    .arg(file.lines.at(i).lineNumber)
                                    .arg(text));
            } else if (!result.ok) {
                CliError error = CliError::usage((file.form == ConfigCsv::Form::WithUid
                                                      ? Texts::tr("%1 (no module of this type with this UID or station)")
                                                      : Texts::tr("%1 (no module of this type at this station)"))
                                                     .arg(text));
                error.file = path;
                error.line = file.lines.at(i).lineNumber;
                status = ctx.output.fail(error);
            }
            lines.append(QJsonObject{{QStringLiteral("line"), file.lines.at(i).lineNumber},
                                     {QStringLiteral("station"), result.station},
                                     {QStringLiteral("type"), result.typeText},
                                     {QStringLiteral("matched"), result.ok},
                                     {QStringLiteral("skipped"), result.skipped}});
            if (!ctx.output.json() && result.ok)
                ctx.output.line(Texts::tr("line %1: %2").arg(file.lines.at(i).lineNumber).arg(text));
        }
        if (status != ExitStatus::Success)
            return status;

        if (apply) {
            status = configuration::download(ctx, s, ExitStatus::BadInput);
            if (status != ExitStatus::Success)
                return status;
        }
        s.adapter()->setManagerOperation(false);
        const bool skipped = std::any_of(results.cbegin(), results.cend(), [](const CsvImportResult &r) { return r.skipped; });
        const QString result = apply    ? QStringLiteral("configuration imported and written to the adapter")
                               : skipped ? QStringLiteral("every line not skipped matches a module; nothing written (write it "
                                                          "with --apply)")
                                         : QStringLiteral("every line matches a module; nothing written (write it with --apply)");
        if (ctx.output.json()) {
            QJsonArray modules;
            for (const SlaveSnapshot &slave : s.slaves())
                modules.append(modules::json(*slave));
            ctx.output.document(QJsonObject{{QStringLiteral("result"), result},
                                            {QStringLiteral("file"), path},
                                            {QStringLiteral("applied"), apply},
                                            {QStringLiteral("lines"), lines},
                                            {QStringLiteral("modules"), modules}});
        } else {
            ctx.output.line(apply     ? Texts::tr("configuration imported and written to the adapter")
                            : skipped ? Texts::tr("every line not skipped matches a module; nothing written (write it "
                                                  "with --apply)")
                                      : Texts::tr("every line matches a module; nothing written (write it with --apply)"));
        }
        return ExitStatus::Success;
    });
}

} // namespace commands
