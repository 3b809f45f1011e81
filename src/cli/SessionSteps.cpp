// The steps every command that talks to an adapter shares: descriptions,
// choosing the adapter, the session, and the exit status of what it did.

#include "Commands.h"
#include "Texts.h"

#include "DataFolders.h"
#include "DeviceXmlLodaing.h"
#include "HidAccess.h"
#include "UsbGlobal.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace session {

QString accessProblem()
{
    return HidAccess::commandLineText(HidAccess::deniedNodes());
}

std::variant<QList<UsbDeviceInfo>, CliError> chooseAdapters(const Context &ctx, Choice choice)
{
    const QList<UsbDeviceInfo> found = UsbGlobal::enumerateDevices();
    QStringList serials;
    for (const UsbDeviceInfo &info : found)
        serials << info.serial_number;
    if (choice == Choice::One && ctx.serials.size() > 1)
        return CliError::usage(Texts::tr("this command talks to one adapter; --adapter is given %1 times")
                                   .arg(ctx.serials.size()));
    QList<UsbDeviceInfo> chosen;
    for (const QString &serial : ctx.serials) {
        const auto named = std::find_if(found.cbegin(), found.cend(),
                                        [&serial](const UsbDeviceInfo &info) { return info.serial_number == serial; });
        if (named == found.cend())
            return CliError::bus(Texts::tr("no adapter %1 on USB%2")
                                     .arg(serial, serials.isEmpty() ? QString()
                                                                    : Texts::tr(" (found: %1)").arg(serials.join(QLatin1String(", ")))));
        const bool twice = std::any_of(chosen.cbegin(), chosen.cend(),
                                       [&serial](const UsbDeviceInfo &info) { return info.serial_number == serial; });
        if (!twice)
            chosen.append(*named);
    }
    if (!chosen.isEmpty())
        return chosen;
    if (found.isEmpty()) {
        const QString denied = accessProblem();
        return CliError::bus(denied.isEmpty() ? Texts::tr("no TarnBUS adapter found on USB") : denied);
    }
    if (choice == Choice::All)
        return found;
    if (found.size() > 1)
        return CliError::usage(Texts::tr("%1 adapters found (%2); choose %3")
                                   .arg(found.size())
                                   .arg(serials.join(QLatin1String(", ")),
                                        choice == Choice::One ? Texts::tr("one with --adapter SERIAL")
                                                              : Texts::tr("with --adapter SERIAL, or --all")));
    return found;
}

namespace {

// A link result in the words of the exit status.
QString resultClass(int result)
{
    switch (result) {
    case COMM_TIMEOUT:
        return Texts::tr("time-out");
    case COMM_CRC_ERROR:
        return Texts::tr("checksum error");
    case COMM_NOT_CONNECTED:
        return Texts::tr("link lost");
    case COMM_REFUSED:
        return Texts::tr("refused by the adapter");
    case COMM_NO_DATA:
        return Texts::tr("no reply data");
    default:
        return Texts::tr("bad reply");
    }
}

// What kind of failure a report is, in the words of the exit status.
QString failureClass(const AdapterSession::Report &report)
{
    if (report.linkLost)
        return Texts::tr("link lost");
    const int result = report.status != COMM_OK ? int(report.status) : int(qint8(report.err));
    switch (report.type) {
    case MSG_TRANSACTION_FAILED:
        return result == COMM_NO_DATA ? Texts::tr("the adapter is restarting") : resultClass(result);
    case MSG_OPERATION_FAILED:
        return resultClass(int(report.status));
    case MSG_SETTINGS_UNKNOWN:
        return Texts::tr("settings unknown");
    case MSG_NO_REPLY_DATA:
        return result == COMM_TIMEOUT ? Texts::tr("time-out") : Texts::tr("no reply");
    case MSG_NO_HANDSHAKE:
    case MSG_NOT_LINKED:
    case MSG_USB_STATE:
        return Texts::tr("link lost");
    case MSG_SLAVE_CONFIG_RESULT:
    case MSG_ADDRESS_CONFIG_RESULT:
    case MSG_BATCH_CONFIG:
    case MSG_DOWNLOAD_REFUSED:
    case MSG_FORCE_START_FAILED:
    case MSG_FORCE_ADDRESS_CONFLICT:
        return Texts::tr("refused");
    default:
        return Texts::tr("failed");
    }
}

} // namespace

void loadDescriptions(Context &ctx)
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    DeviceXmlLodaing *library = DeviceXmlLodaing::instance();
    if (DeviceXmlLodaing::folders().isEmpty()) {
        ctx.output.warn(Texts::tr("no device descriptions (Xml folder) in %1: modules are shown without them")
                            .arg(DataFolders::roots().join(QLatin1String(", "))));
        return;
    }
    library->onLoadXmlFile();
}

QString failureText(const AdapterSession::Report &report)
{
    return QStringLiteral("%1 (%2)").arg(report.text(), failureClass(report));
}

int busFailure(Context &ctx, const QList<AdapterSession::Report> &failures, const QString &fallback)
{
    QSet<QString> said;
    for (const AdapterSession::Report &report : failures) {
        const QString text = failureText(report);
        if (said.contains(text))
            continue;
        said.insert(text);
        ctx.output.fail(CliError::withCode(ExitStatus::BusFailure, report.code(), text));
    }
    if (said.isEmpty())
        ctx.output.fail(CliError::bus(fallback.isEmpty() ? Texts::tr("the adapter did not finish the operation") : fallback));
    return ExitStatus::BusFailure;
}

int finish(Context &ctx, AdapterSession &session, AdapterSession::Wait wait)
{
    if (wait == AdapterSession::Wait::Interrupted)
        return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted; the operation may be incomplete")));
    const QList<AdapterSession::Report> failures = session.failures();
    if (!failures.isEmpty())
        return busFailure(ctx, failures);
    return ExitStatus::Success;
}

int finishBeforeRestart(Context &ctx, AdapterSession &session, AdapterSession::Wait wait, adapter_message_type confirmType,
                        int confirmErr, const QString &unconfirmed)
{
    if (wait == AdapterSession::Wait::Interrupted)
        return finish(ctx, session, wait);
    QList<AdapterSession::Report> failures;
    for (const AdapterSession::Report &report : session.reports()) {
        if (report.type == confirmType && report.err == confirmErr)
            return failures.isEmpty() ? int(ExitStatus::Success) : busFailure(ctx, failures);
        if (report.isFailure())
            failures << report;
    }
    return busFailure(ctx, failures, unconfirmed);
}

int readBackStatus(Context &ctx, const QStringList &differences)
{
    for (const QString &line : differences)
        ctx.output.fail(CliError::bus(Texts::tr("read back after the restart: %1").arg(line)));
    return differences.isEmpty() ? ExitStatus::Success : ExitStatus::BusFailure;
}

namespace {

int awaitRestart(Context &ctx, AdapterSession &session, adapter_message_type confirmType, int confirmErr,
                 const QString &unconfirmed, const std::function<bool()> &arrived, const QString &unreadable)
{
    // Until the confirmation the work may still fail; after it the adapter
    // restarts, and only its return settles it.
    const auto confirmed = [&] { return session.hasReport(confirmType, confirmErr); };
    const auto failedFirst = [&] { return !confirmed() && !session.failures().isEmpty(); };
    AdapterSession::Wait wait = session.sync();
    if (wait == AdapterSession::Wait::Done && confirmed() && !arrived())
        wait = session.waitFor([&] { return arrived() || failedFirst(); }, AdapterSession::restartWaitMs());
    if (wait == AdapterSession::Wait::Interrupted || failedFirst() || !confirmed())
        return finishBeforeRestart(ctx, session, wait == AdapterSession::Wait::TimedOut ? AdapterSession::Wait::Done : wait,
                                   confirmType, confirmErr, unconfirmed);
    if (!arrived())
        return busFailure(ctx, {}, unreadable);
    return ExitStatus::Success;
}

} // namespace

int awaitReadBack(Context &ctx, AdapterSession &session, const QString &progress, adapter_message_type confirmType,
                  int confirmErr, const QString &unconfirmed, const std::function<bool()> &arrived,
                  const QString &unreadable)
{
    ctx.output.progress(progress);
    const int status = awaitRestart(ctx, session, confirmType, confirmErr, unconfirmed, arrived, unreadable);
    ctx.output.endProgress();
    return status;
}

int withAdapter(Context &ctx, const std::function<int(AdapterSession &)> &body)
{
    loadDescriptions(ctx);
    const std::variant<QList<UsbDeviceInfo>, CliError> chosen = chooseAdapters(ctx, Choice::One);
    if (const CliError *error = std::get_if<CliError>(&chosen))
        return ctx.output.fail(*error);
    if (ctx.interrupted())
        return ctx.output.fail(CliError::interrupted(Texts::tr("interrupted")));

    AdapterSession adapterSession(ctx.output);
    ctx.setSession(&adapterSession);
    int status = ExitStatus::Success;
    if (!adapterSession.open(std::get<QList<UsbDeviceInfo>>(chosen).first(), ctx.alignmentUnit)) {
        const QString denied = adapterSession.interrupted() ? QString() : accessProblem();
        if (adapterSession.interrupted())
            status = ctx.output.fail(CliError::interrupted(Texts::tr("interrupted while connecting")));
        else if (!denied.isEmpty())
            status = ctx.output.fail(CliError::bus(denied));
        else
            status = busFailure(ctx, adapterSession.failures(), Texts::tr("the adapter did not finish loading its modules"));
    } else {
        adapterSession.clearReports();
        status = body(adapterSession);
    }
    const bool left = adapterSession.close();
    ctx.setSession(nullptr);
    if (!left) {
        ctx.output.fail(CliError::bus(forceNotLeft()));
        if (status == ExitStatus::Success)
            status = ExitStatus::BusFailure;
    }
    return status;
}

} // namespace session
