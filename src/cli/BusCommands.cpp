// Commands on the whole bus: automatic addresses, repeated stations, the
// configuration download and storing the configuration in the adapter.

#include "Commands.h"

#include "AddressConflicts.h"
#include "ResultCodes.h"
#include "Modules.h"
#include "Texts.h"

#include "StationRepair.h"

#include <QJsonArray>

namespace {

QJsonArray modulesJson(const SlaveList &slaves)
{
    QJsonArray array;
    for (const SlaveSnapshot &slave : slaves)
        array.append(modules::json(*slave));
    return array;
}

// result for JSON, text for a terminal.
void printModules(Context &ctx, const QString &result, const QString &text, const SlaveList &slaves)
{
    if (ctx.output.json()) {
        ctx.output.document(QJsonObject{{QStringLiteral("result"), result}, {QStringLiteral("modules"), modulesJson(slaves)}});
        return;
    }
    ctx.output.line(text);
    QList<QStringList> rows{modules::tableHeader()};
    for (const SlaveSnapshot &slave : slaves)
        rows.append(modules::tableRow(*slave));
    ctx.output.table(rows);
}

// Waits for the work asked of the adapter, then shows the bus as it is now.
int finishAndShow(Context &ctx, AdapterSession &s, const QString &result, const QString &text)
{
    const int status = session::finish(ctx, s, s.refresh());
    if (status == ExitStatus::Success)
        printModules(ctx, result, text, s.slaves());
    return status;
}

// Modules whose areas overlap, as "A and B share inputs 8..15".
QStringList overlaps(const SlaveList &slaves)
{
    QStringList found;
    for (const appcore::Overlap &o : appcore::overlaps(slaves))
        found << (o.input ? Texts::tr("%1 and %2 share inputs %3") : Texts::tr("%1 and %2 share outputs %3"))
                     .arg(modules::describe(*o.first), modules::describe(*o.second), modules::area(o.start, o.bits));
    return found;
}

} // namespace

namespace configuration {

// Writes the configuration the session's slave records hold to the adapter
// (the window's "download"), after the same conflict check.
int download(Context &ctx, AdapterSession &s, int conflictStatus)
{
    if (Adapter::hasConflict(Adapter::occupancyMap(s.slaves()))) {
        const QStringList found = overlaps(s.slaves());
        for (const QString &overlap : found)
            ctx.output.fail(CliError::of(conflictStatus, overlap));
        return ctx.output.fail(CliError::of(conflictStatus,
                                            appcore::resultMessage(MSG_DOWNLOAD_REFUSED, DownloadRefusal::AddressConflict).boxText
                                                + Texts::tr(" (modules share bits; nothing was written)")));
    }
    s.adapter()->requestConfigurationDownload();
    const int status = session::finish(ctx, s, s.refresh());
    if (status != ExitStatus::Success)
        return status;
    if (!s.hasReport(MSG_DOWNLOAD_DONE, 1))
        return session::busFailure(ctx, {}, Texts::tr("the adapter did not confirm the download"));
    return ExitStatus::Success;
}

} // namespace configuration

namespace commands {

int allocate(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        const QPair<quint16, quint16> totals = Adapter::allocationTotals(s.slaves(), s.state().alignmentUnit);
        ctx.output.note(Texts::tr("the modules take %1 input bits and %2 output bits").arg(totals.first).arg(totals.second));
        const QString warning = appcore::allocationWarning(totals.first, totals.second);
        if (!warning.isEmpty())
            ctx.output.warn(Texts::tr("%1: modules that do not fit keep their areas").arg(warning));
        emit s.adapter()->sigAutoSetSlaveAddr();
        return finishAndShow(ctx, s, QStringLiteral("addresses allocated"), Texts::tr("addresses allocated"));
    });
}

int repairStations(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        QStringList rows;
        QList<QByteArray> uids;
        QList<int> others;
        SlaveList repaired;
        for (const SlaveSnapshot &slave : s.slaves()) {
            if (slave->statusBit4) {
                rows << QString::number(slave->newStationId);
                uids << slave->uuid;
                repaired << slave;
            } else {
                others << slave->newStationId;
            }
        }
        if (rows.isEmpty()) {
            printModules(ctx, QStringLiteral("no repeated stations"), Texts::tr("no repeated stations"), {});
            return ExitStatus::Success;
        }
        const QStringList stations = appcore::StationRepair::generate(rows, others);
        if (const auto problem = appcore::StationRepair::checkRows(stations))
            return session::busFailure(ctx, {}, Texts::tr("no free station number is left for %1")
                                                    .arg(modules::describe(*repaired.at(problem->row))));
        for (int row = 0; row < rows.size(); ++row)
            ctx.output.note(Texts::tr("%1 gets station %2").arg(modules::describe(*repaired.at(row)), stations.at(row)));
        const QMap<int, QByteArray> map = appcore::StationRepair::stationMap(stations, uids);
        // The repair dialog's request, queued into the Adapter's thread.
        Adapter *adapter = s.adapter();
        QMetaObject::invokeMethod(adapter, [adapter, map] { adapter->onSetRepeatSid(map); }, Qt::QueuedConnection);
        return finishAndShow(ctx, s, QStringLiteral("repeated stations repaired"), Texts::tr("repeated stations repaired"));
    });
}

int download(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        const int status = configuration::download(ctx, s, ExitStatus::BusFailure);
        if (status == ExitStatus::Success)
            printModules(ctx, QStringLiteral("configuration downloaded"), Texts::tr("configuration downloaded"), s.slaves());
        return status;
    });
}

int store(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        if (const QString refusal = appcore::storeRefusal(s.slaves().size()); !refusal.isEmpty())
            return session::busFailure(ctx, {}, Texts::tr("%1 (%2 modules on the bus)").arg(refusal).arg(s.slaves().size()));
        emit s.adapter()->sigSaveAdapterConfig();
        // The adapter restarts once it has stored; what it holds then is
        // read and compared with what was stored.
        const int status = session::awaitReadBack(
            ctx, s, Texts::tr("storing the configuration; the adapter restarts"), MSG_CONFIG_STORED, -1,
            Texts::tr("the adapter did not confirm storing the configuration"),
            [&s] { return s.storeDifferences().has_value(); },
            Texts::tr("the adapter did not come back after storing: the stored configuration is not verified"));
        if (status != ExitStatus::Success)
            return status;
        const QStringList differences = *s.storeDifferences();
        const QString text = appcore::resultMessage(MSG_CONFIG_STORED, -1).boxText;
        if (ctx.output.json()) {
            QJsonArray lines;
            for (const QString &line : differences)
                lines.append(line);
            ctx.output.document(QJsonObject{{QStringLiteral("result"), differences.isEmpty() ? QStringLiteral("configuration stored")
                                                                                             : QStringLiteral("stored configuration differs")},
                                            {QStringLiteral("message"), text},
                                            {QStringLiteral("code"), appcore::resultCode(MSG_CONFIG_STORED, -1)},
                                            {QStringLiteral("differences"), lines}});
        } else {
            ctx.output.line(Texts::tr("configuration stored; the adapter restarted (%1)").arg(text));
        }
        if (differences.isEmpty() && !ctx.output.json())
            ctx.output.line(Texts::tr("read back after the restart: the bus holds what was stored"));
        return session::readBackStatus(ctx, differences);
    });
}

} // namespace commands
