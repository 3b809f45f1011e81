// checkout: the loop rows of a wiring map verified on the bus (on, read,
// off, read), the results kept with the adapter's check-out, and the report
// written as PDF (and CSV).

#include "Commands.h"
#include "Modules.h"
#include "Texts.h"

#include "CheckoutPdf.h"
#include "IoCheckout.h"
#include "LoopRunner.h"
#include "WiringMap.h"

#include <QFile>
#include <QJsonArray>

using namespace appcore;
using namespace appcore::checkout;

namespace {

int reportWiringProblems(Context &ctx, const QString &path, const QList<wiring::Problem> &problems)
{
    int status = ExitStatus::BadInput;
    for (const wiring::Problem &problem : problems) {
        CliError error = CliError::usage(problem.message);
        error.file = path;
        error.line = problem.line;
        status = ctx.output.fail(error);
    }
    return status;
}

QJsonObject rowJson(const Row &row)
{
    QJsonObject o{{QStringLiteral("module"), row.module},
                  {QStringLiteral("station"), row.station},
                  {QStringLiteral("local"), row.local},
                  {QStringLiteral("uid"), row.uid},
                  {QStringLiteral("channel"), row.channel},
                  {QStringLiteral("direction"), row.isOutput() ? QStringLiteral("output") : QStringLiteral("input")},
                  {QStringLiteral("kind"), row.kind == Kind::Analog ? QStringLiteral("analog") : QStringLiteral("digital")},
                  {QStringLiteral("address"), row.bitAddress},
                  {QStringLiteral("loop"), row.isLoop()},
                  {QStringLiteral("result"), resultCode(row.result)},
                  {QStringLiteral("value"), row.value},
                  {QStringLiteral("note"), row.note},
                  {QStringLiteral("checkedBy"), row.checkedBy}};
    if (row.time.isValid())
        o.insert(QStringLiteral("time"), row.time.toString(Qt::ISODate));
    if (!row.noteCode.isEmpty())
        o.insert(QStringLiteral("code"), row.noteCode);
    return o;
}

// A loop's result on its line: the code's word (JSON keeps the code).
QString resultWord(Result result)
{
    switch (result) {
    case Result::Pass:
        return Texts::tr("pass");
    case Result::Fail:
        return Texts::tr("fail");
    case Result::Skipped:
        return Texts::tr("skipped");
    case Result::Open:
        break;
    }
    return Texts::tr("open");
}

QString loopLine(const Checkout &checkout, int outputRow)
{
    const Row &output = checkout.rows.at(outputRow);
    const Row &input = checkout.rows.at(output.partner);
    QString line = QStringLiteral("%1 -> %2  %3").arg(output.channelName(), input.channelName(), resultWord(output.result));
    if (!output.note.isEmpty() && output.result == Result::Fail)
        line += QStringLiteral("  ") + output.note;
    return line;
}

// The process-data cycle has failed or stopped.
bool cycleBroken(const AdapterSession &s)
{
    return !s.failures().isEmpty() || !s.linked();
}

} // namespace

namespace commands {

int checkout(Context &ctx)
{
    const QString wiringPath = ctx.parser.value(QStringLiteral("wiring"));
    const QString reportPath = ctx.parser.value(QStringLiteral("report"));
    const QString csvPath = ctx.parser.value(QStringLiteral("csv"));
    if (wiringPath.isEmpty() || reportPath.isEmpty())
        return ctx.output.fail(CliError::usage(Texts::tr("give the wiring map with --wiring FILE and the report with --report OUT.pdf")));
    LoopTiming timing;
    if (ctx.parser.isSet(QStringLiteral("settle"))) {
        bool ok = false;
        const int ms = ctx.parser.value(QStringLiteral("settle")).toInt(&ok);
        if (!ok || ms < 0 || ms > 600000)
            return ctx.output.fail(CliError::usage(Texts::tr("--settle takes milliseconds (0 to 600000), not \"%1\"")
                                                       .arg(ctx.parser.value(QStringLiteral("settle")))));
        timing.settleMs = ms;
    }
    QFile file(wiringPath);
    if (!file.open(QIODevice::ReadOnly)) {
        CliError error = CliError::usage(Texts::tr("cannot read the wiring map: %1").arg(file.errorString()));
        error.file = wiringPath;
        return ctx.output.fail(error);
    }
    const wiring::Parsed parsed = wiring::parse(file.readAll());
    if (!parsed.problems.isEmpty())
        return reportWiringProblems(ctx, wiringPath, parsed.problems);

    return session::withAdapter(ctx, [&](AdapterSession &s) {
        Checkout check = Checkout::fromSlaves(s.slaves());
        setAdapter(check.header, s.state().mac, s.state().infoItems);
        check.header.started = QDateTime::currentDateTime();
        if (!ctx.parser.isSet(QStringLiteral("fresh"))) {
            for (const QString &reset : check.resume(loadState(check.header.serial)))
                ctx.output.note(Texts::tr("module exchanged, its rows start again: %1").arg(reset));
        }
        if (ctx.parser.isSet(QStringLiteral("site")))
            check.header.site = ctx.parser.value(QStringLiteral("site"));
        if (ctx.parser.isSet(QStringLiteral("engineer")))
            check.header.engineer = ctx.parser.value(QStringLiteral("engineer"));
        if (const QList<wiring::Problem> problems = wiring::apply(parsed.loops, check); !problems.isEmpty())
            return reportWiringProblems(ctx, wiringPath, problems);

        QList<int> loops;
        for (const auto &[output, input] : check.loops())
            loops << output;
        QList<int> open;
        for (int row : loops) {
            if (!check.rows.at(row).isDone())
                open << row;
        }
        if (open.size() < loops.size())
            ctx.output.note(Texts::tr("resuming: %1 of %2 loops were checked before").arg(loops.size() - open.size()).arg(loops.size()));

        QString saveProblem;
        const auto save = [&] {
            if (const QString why = saveState(check); !why.isEmpty())
                saveProblem = why;
        };

        AdapterSession::Wait wait = AdapterSession::Wait::Done;
        bool forced = false;
        OutputTestEnd ended = OutputTestEnd::None;
        if (!open.isEmpty()) {
            emit s.adapter()->sigSetFource(true);
            wait = s.waitFor([&s] { return s.state().forceMode || cycleBroken(s); });
            forced = s.state().forceMode;
        }
        if (!open.isEmpty() && wait == AdapterSession::Wait::Done && forced && !cycleBroken(s)) {
            LoopRunner runner(check);
            runner.setTiming(timing);
            runner.setCheckedBy(check.header.engineer);
            QObject::connect(&runner, &LoopRunner::outputWrite, s.adapter(), [&s](quint64 id, int index, int value) {
                s.adapter()->requestSlaveOutput(id, index, value);
            });
            QObject::connect(&runner, &LoopRunner::rowDone, &runner, [&](int row) {
                save();
                if (ctx.output.json())
                    ctx.output.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("loop")},
                                                 {QStringLiteral("output"), check.rows.at(row).channelName()},
                                                 {QStringLiteral("input"), check.rows.at(check.rows.at(row).partner).channelName()},
                                                 {QStringLiteral("result"), resultCode(check.rows.at(row).result)},
                                                 {QStringLiteral("note"), check.rows.at(row).note},
                                                 {QStringLiteral("code"), check.rows.at(row).noteCode}});
                else
                    ctx.output.line(loopLine(check, row));
            });
            // Each process-data cycle brings every input anew; the reports
            // before the first one may carry the inputs of before force mode.
            s.onLoad = [&runner, &s](adapter_message_type type, const SlaveList &slaves) {
                if (type == MSG_STATUS)
                    runner.onCycle(slaves, s.state().forceMode, s.linked());
            };
            runner.start(open);
            wait = s.waitFor([&] { return !runner.isRunning() || cycleBroken(s) || !s.state().forceMode; });
            s.onLoad = nullptr;
            // Force mode lost or the link gone: the rule says why the run ends.
            if (runner.isRunning() && (cycleBroken(s) || !s.state().forceMode))
                runner.onCycle(s.slaves(), s.state().forceMode, s.linked());
            ended = runner.endReason();
            // Ctrl-C or the bus ended it: the output under test off, the
            // loop left open for the next run.
            runner.stop();
            wait = wait == AdapterSession::Wait::Interrupted ? wait : s.sync();
        }
        const bool left = !s.state().forceMode || s.leaveForceMode();
        save();

        if (!csvPath.isEmpty()) {
            if (const QString why = writeAtomically(csvPath, check.csv()); !why.isEmpty())
                ctx.output.warn(Texts::tr("cannot write %1: %2").arg(csvPath, why));
        }
        const QString pdfProblem = writePdf(reportPath, check);
        if (!pdfProblem.isEmpty())
            ctx.output.warn(Texts::tr("cannot write %1: %2").arg(reportPath, pdfProblem));
        if (!saveProblem.isEmpty())
            ctx.output.warn(Texts::tr("cannot save the check-out: %1").arg(saveProblem));

        int pass = 0, fail = 0, notDone = 0;
        for (int row : loops) {
            const Result result = check.rows.at(row).result;
            pass += result == Result::Pass;
            fail += result == Result::Fail;
            notDone += result == Result::Open || result == Result::Skipped;
        }
        const Counts all = check.counts();
        if (ctx.output.json()) {
            QJsonArray rows;
            for (const Row &row : qAsConst(check.rows))
                rows.append(rowJson(row));
            ctx.output.document(QJsonObject{{QStringLiteral("adapter"), check.header.serial},
                                            {QStringLiteral("report"), reportPath},
                                            {QStringLiteral("loops"), QJsonObject{{QStringLiteral("total"), loops.size()},
                                                                                  {QStringLiteral("pass"), pass},
                                                                                  {QStringLiteral("fail"), fail},
                                                                                  {QStringLiteral("open"), notDone}}},
                                            {QStringLiteral("counts"), QJsonObject{{QStringLiteral("total"), all.total},
                                                                                   {QStringLiteral("pass"), all.pass},
                                                                                   {QStringLiteral("fail"), all.fail},
                                                                                   {QStringLiteral("skipped"), all.skipped},
                                                                                   {QStringLiteral("open"), all.open}}},
                                            {QStringLiteral("rows"), rows}});
        } else {
            ctx.output.line(Texts::tr("loops: %1 pass, %2 fail, %3 open of %4").arg(pass).arg(fail).arg(notDone).arg(loops.size()));
            ctx.output.line(Texts::tr("check-out: %1 pass, %2 fail, %3 skipped, %4 open of %5 channels")
                                .arg(all.pass)
                                .arg(all.fail)
                                .arg(all.skipped)
                                .arg(all.open)
                                .arg(all.total));
            if (pdfProblem.isEmpty())
                ctx.output.line(Texts::tr("report written: %1").arg(reportPath));
        }

        if (wait == AdapterSession::Wait::Interrupted)
            return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted; the loops left open are checked next time")));
        if (cycleBroken(s))
            return session::busFailure(ctx, s.failures(), Texts::tr("the link to the adapter is lost; the loops left open are checked next time"));
        if (open.size() > 0 && !forced)
            return session::busFailure(ctx, s.failures(), Texts::tr("force mode could not be entered"));
        if (ended == OutputTestEnd::ForceLeft)
            return session::busFailure(ctx, s.failures(), Texts::tr("the adapter left force mode; the loops left open are checked next time"));
        if (ended == OutputTestEnd::SlaveGone || ended == OutputTestEnd::ModuleStopped)
            return session::busFailure(ctx, s.failures(), Texts::tr("a module of a loop is gone from the bus; the loops left open are checked next time"));
        if (!left)
            return int(ExitStatus::BusFailure);
        if (!pdfProblem.isEmpty() || (!csvPath.isEmpty() && !QFile::exists(csvPath)))
            return int(ExitStatus::BusFailure);
        return fail > 0 || notDone > 0 ? int(ExitStatus::Differences) : int(ExitStatus::Success);
    });
}

} // namespace commands
