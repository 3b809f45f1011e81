// Commands that read: the adapters on USB, one adapter and its bus, and the
// bus as it changes.

#include "Commands.h"
#include "Modules.h"
#include "Texts.h"

#include "AdapterProbe.h"
#include "HidAccess.h"
#include "LinkDiagnostics.h"
#include "LinkStatisticsText.h"
#include "UsbGlobal.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTimer>

namespace {

constexpr int kStatisticsPeriodMs = 1000;

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
}

QString probeAnswer(const AdapterProbe &probe)
{
    switch (probe.outcome) {
    case AdapterProbe::Identified:
        return QStringLiteral("identified");
    case AdapterProbe::NotAnAdapter:
        return QStringLiteral("not a TarnBUS adapter");
    default:
        return QStringLiteral("no answer");
    }
}

// The answer on a terminal (JSON keeps probeAnswer's words).
QString probeAnswerText(const AdapterProbe &probe)
{
    switch (probe.outcome) {
    case AdapterProbe::Identified:
        return Texts::tr("identified");
    case AdapterProbe::NotAnAdapter:
        return Texts::tr("not a TarnBUS adapter");
    default:
        return Texts::tr("no answer");
    }
}

// An event of watch on a terminal (JSON keeps the event's key).
QString eventText(const QString &event)
{
    static const QMap<QString, const char *> words{{QStringLiteral("added"), QT_TRANSLATE_NOOP("Cli", "added")},
                                                   {QStringLiteral("gone"), QT_TRANSLATE_NOOP("Cli", "gone")},
                                                   {QStringLiteral("back"), QT_TRANSLATE_NOOP("Cli", "back")},
                                                   {QStringLiteral("station"), QT_TRANSLATE_NOOP("Cli", "station")},
                                                   {QStringLiteral("state"), QT_TRANSLATE_NOOP("Cli", "state")},
                                                   {QStringLiteral("fault"), QT_TRANSLATE_NOOP("Cli", "fault")},
                                                   {QStringLiteral("link back"), QT_TRANSLATE_NOOP("Cli", "link back")},
                                                   {QStringLiteral("link lost"), QT_TRANSLATE_NOOP("Cli", "link lost")},
                                                   {QStringLiteral("error"), QT_TRANSLATE_NOOP("Cli", "error")}};
    const char *word = words.value(event);
    return word ? Texts::tr(word) : event;
}

QString infoValue(const AdapterInfoItem &item)
{
    switch (item.kind) {
    case AdapterInfoItem::Number:
        return QString::number(item.value);
    case AdapterInfoItem::Choice:
        return item.options.value(item.value);
    default:
        return item.text;
    }
}

LinkStatistics linkStatisticsOf(const QString &serial)
{
    return LinkDiagnostics::forSerial(serial)->counters().statistics();
}

void showAdapter(Context &ctx, const AdapterSession &session, const QString &serial, bool withStatistics)
{
    const AdapterState &state = session.state();
    const AdapterStatus &status = session.status();
    const SlaveList &slaves = session.slaves();
    if (ctx.output.json()) {
        QJsonObject identity;
        QJsonArray settings;
        for (const AdapterInfoItem &item : state.infoItems) {
            if (item.kind == AdapterInfoItem::Text)
                identity.insert(item.name, item.text);
            else
                settings.append(QJsonObject{{QStringLiteral("name"), item.name},
                                            {QStringLiteral("value"), item.value},
                                            {QStringLiteral("text"), infoValue(item)}});
        }
        QJsonArray modules;
        for (const SlaveSnapshot &slave : slaves)
            modules.append(modules::json(*slave));
        const QJsonObject adapter{{QStringLiteral("serial"), serial},
                                  {QStringLiteral("identity"), identity},
                                  {QStringLiteral("settings"), settings},
                                  {QStringLiteral("power"), status.power},
                                  {QStringLiteral("temperature"), status.temperature},
                                  {QStringLiteral("alignment"), state.alignmentUnit}};
        QJsonObject document{{QStringLiteral("adapter"), adapter}, {QStringLiteral("modules"), modules}};
        if (withStatistics)
            document.insert(QStringLiteral("link"), appcore::linkStatisticsJson(linkStatisticsOf(serial)));
        ctx.output.document(document);
        return;
    }
    QList<QStringList> info{{Texts::tr("adapter"), serial}};
    for (const AdapterInfoItem &item : state.infoItems)
        info.append({item.name, infoValue(item)});
    info.append({Texts::tr("power"), QStringLiteral("%1 W").arg(status.power)});
    info.append({Texts::tr("temperature"), QStringLiteral("%1 °C").arg(status.temperature)});
    info.append({Texts::tr("alignment"), state.alignmentUnit == 1 ? Texts::tr("bits") : Texts::tr("bytes")});
    info.append({Texts::tr("modules"), QString::number(slaves.size())});
    ctx.output.table(info);
    ctx.output.line(QString());
    QList<QStringList> rows{modules::tableHeader()};
    for (const SlaveSnapshot &slave : slaves)
        rows.append(modules::tableRow(*slave));
    ctx.output.table(rows);
    if (withStatistics) {
        ctx.output.line(QString());
        ctx.output.line(Texts::tr("link statistics (this connection)"));
        ctx.output.table(appcore::linkStatisticsRows(linkStatisticsOf(serial)));
    }
}

// What watch remembers of a module to tell what changed.
struct Seen {
    SlaveSnapshot slave;
    bool running = false;
};

class BusWatcher
{
public:
    explicit BusWatcher(Context &ctx)
        : m_ctx(ctx)
    {
    }

    void start(const SlaveList &slaves, const QString &serial)
    {
        remember(slaves);
        if (m_ctx.output.json())
            m_ctx.output.event(QJsonObject{{QStringLiteral("time"), now()},
                                           {QStringLiteral("event"), QStringLiteral("connected")},
                                           {QStringLiteral("adapter"), serial},
                                           {QStringLiteral("modules"), slaves.size()}});
        else
            m_ctx.output.line(Texts::tr("%1 connected to %2: %3 modules").arg(now(), serial).arg(slaves.size()));
    }

    void onLoad(adapter_message_type type, const SlaveList &slaves)
    {
        // Reports during a scan or a rebuild carry part of the list only.
        if (type == MSG_SCAN_PROGRESS || type == MSG_SLAVE_ADDED || type == MSG_FORCE_STATE)
            return;
        QSet<QByteArray> present;
        for (const SlaveSnapshot &slave : slaves) {
            const QByteArray key = keyOf(*slave);
            present.insert(key);
            const auto it = m_seen.constFind(key);
            if (it == m_seen.cend()) {
                moduleEvent(QStringLiteral("added"), *slave);
                continue;
            }
            const SlaveState &before = *it->slave;
            if (before.stationId != slave->stationId)
                moduleEvent(QStringLiteral("station"), *slave, QString::number(before.stationId), QString::number(slave->stationId));
            const bool running = slave->statusRun != 0;
            if (it->running && !running)
                moduleEvent(QStringLiteral("gone"), *slave);
            else if (!it->running && running)
                moduleEvent(QStringLiteral("back"), *slave);
            else if (before.lastStatusByte != slave->lastStatusByte)
                moduleEvent(QStringLiteral("state"), *slave, hex(before.lastStatusByte), hex(slave->lastStatusByte));
            if (modules::faultByte(before) != modules::faultByte(*slave))
                moduleEvent(QStringLiteral("fault"), *slave, hex(modules::faultByte(before)), hex(modules::faultByte(*slave)));
        }
        for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it) {
            if (!present.contains(it.key()))
                moduleEvent(QStringLiteral("gone"), *it->slave);
        }
        remember(slaves);
    }

    void onReport(const AdapterSession::Report &report)
    {
        m_reportCode = report.code();
        if (report.type == MSG_USB_STATE && qint8(report.err) == -1)
            linkEvent(QStringLiteral("link back"), report.message.logText);
        else if (report.isFailure())
            linkEvent(report.linkLost ? QStringLiteral("link lost") : QStringLiteral("error"), report.text());
    }

private:
    static QByteArray keyOf(const SlaveState &slave)
    {
        return slave.uuid.isEmpty() ? QByteArray::number(slave.recordId) : slave.uuid;
    }

    static QString hex(int value) { return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0')); }

    void remember(const SlaveList &slaves)
    {
        m_seen.clear();
        for (const SlaveSnapshot &slave : slaves)
            m_seen.insert(keyOf(*slave), Seen{slave, slave->statusRun != 0});
    }

    void moduleEvent(const QString &event, const SlaveState &slave, const QString &from = QString(), const QString &to = QString())
    {
        if (m_ctx.output.json()) {
            QJsonObject object{{QStringLiteral("time"), now()},
                               {QStringLiteral("event"), event},
                               {QStringLiteral("station"), slave.stationId},
                               {QStringLiteral("uid"), modules::uid(slave)},
                               {QStringLiteral("type"), slave.typeName}};
            if (!from.isEmpty()) {
                object.insert(QStringLiteral("from"), from);
                object.insert(QStringLiteral("to"), to);
            }
            if (event == QLatin1String("fault"))
                object.insert(QStringLiteral("faults"), QJsonArray::fromStringList(modules::faults(slave)));
            m_ctx.output.event(object);
            return;
        }
        QString text = QStringLiteral("%1 %2 %3").arg(now(), eventText(event).leftJustified(7), modules::describe(slave));
        if (!from.isEmpty())
            text += QStringLiteral(": %1 -> %2").arg(from, to);
        if (event == QLatin1String("fault") && !modules::faults(slave).isEmpty())
            text += QStringLiteral(" [%1]").arg(modules::faults(slave).join(QLatin1Char(',')));
        m_ctx.output.line(text);
    }

    void linkEvent(const QString &event, const QString &message)
    {
        if (m_ctx.output.json())
            m_ctx.output.event(QJsonObject{{QStringLiteral("time"), now()},
                                           {QStringLiteral("event"), event},
                                           {QStringLiteral("message"), message},
                                           {QStringLiteral("code"), m_reportCode}});
        else
            m_ctx.output.line(QStringLiteral("%1 %2 %3").arg(now(), eventText(event).leftJustified(7), message));
    }

    Context &m_ctx;
    QMap<QByteArray, Seen> m_seen;
    QString m_reportCode; // of the report being told
};

} // namespace

namespace commands {

int list(Context &ctx)
{
    const QList<UsbDeviceInfo> found = UsbGlobal::enumerateDevices();
    // Each adapter is asked who it is, as the window's chooser asks.
    QList<AdapterProbe> probes;
    bool allAnswered = !found.isEmpty();
    for (const UsbDeviceInfo &info : found) {
        probes.append(probeAdapter(info));
        allAnswered = allAnswered && probes.last().outcome != AdapterProbe::Silent;
    }
    // An adapter missing or silent may be one the user may not open.
    const QStringList denied = allAnswered ? QStringList() : HidAccess::deniedNodes();
    if (!denied.isEmpty() && !ctx.output.json())
        ctx.output.warn(HidAccess::commandLineText(denied));
    if (ctx.output.json()) {
        QJsonArray adapters;
        for (int i = 0; i < found.size(); ++i) {
            const UsbDeviceInfo &info = found.at(i);
            QJsonObject adapter{{QStringLiteral("serial"), info.serial_number},
                                {QStringLiteral("product"), info.product},
                                {QStringLiteral("manufacturer"), info.manufacturer},
                                {QStringLiteral("release"), info.release},
                                {QStringLiteral("vendorId"), info.vendor_id},
                                {QStringLiteral("productId"), info.product_id},
                                {QStringLiteral("answer"), probeAnswer(probes.at(i))}};
            if (probes.at(i).outcome == AdapterProbe::Identified) {
                const TBReply::Identity identity = probes.at(i).identity();
                adapter.insert(QStringLiteral("identity"), QJsonObject{{QStringLiteral("TBName"), identity.name},
                                                                       {QStringLiteral("HWVersion"), identity.hwVersion},
                                                                       {QStringLiteral("BootVersion"), identity.bootVersion},
                                                                       {QStringLiteral("APPVersion"), identity.appVersion}});
            }
            adapters.append(adapter);
        }
        QJsonObject document{{QStringLiteral("adapters"), adapters}};
        if (!denied.isEmpty())
            document.insert(QStringLiteral("deniedNodes"), QJsonArray::fromStringList(denied));
        ctx.output.document(document);
        return ExitStatus::Success;
    }
    if (found.isEmpty()) {
        ctx.output.note(Texts::tr("no TarnBUS adapter found on USB"));
        return ExitStatus::Success;
    }
    QList<QStringList> rows{{Texts::tr("SERIAL"), Texts::tr("PRODUCT"), Texts::tr("RELEASE"),
                             QStringLiteral("TBName"), QStringLiteral("HWVersion"), QStringLiteral("BootVersion"),
                             QStringLiteral("APPVersion")}};
    for (int i = 0; i < found.size(); ++i) {
        const UsbDeviceInfo &info = found.at(i);
        QStringList row{info.serial_number, info.product,
                        QStringLiteral("%1.%2").arg(info.release >> 8).arg(info.release & 0xFF, 2, 16, QLatin1Char('0'))};
        if (probes.at(i).outcome == AdapterProbe::Identified) {
            const TBReply::Identity identity = probes.at(i).identity();
            row << identity.name << identity.hwVersion << identity.bootVersion << identity.appVersion;
        } else {
            row << QStringLiteral("(%1)").arg(probeAnswerText(probes.at(i))) << QStringLiteral("-") << QStringLiteral("-")
                << QStringLiteral("-");
        }
        rows.append(row);
    }
    ctx.output.table(rows);
    return ExitStatus::Success;
}

int show(Context &ctx)
{
    return session::withAdapter(ctx, [&ctx](AdapterSession &s) {
        showAdapter(ctx, s, s.state().mac, ctx.parser.isSet(QStringLiteral("stats")));
        return ExitStatus::Success;
    });
}

int watch(Context &ctx)
{
    int limitMs = -1;
    if (ctx.parser.isSet(QStringLiteral("seconds"))) {
        bool ok = false;
        const double seconds = ctx.parser.value(QStringLiteral("seconds")).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 365.0 * 24 * 3600)
            return ctx.output.fail(CliError::usage(Texts::tr("--seconds takes a positive number, not \"%1\"")
                                                       .arg(ctx.parser.value(QStringLiteral("seconds")))));
        limitMs = int(seconds * 1000);
    }
    return session::withAdapter(ctx, [&ctx, limitMs](AdapterSession &s) {
        BusWatcher watcher(ctx);
        watcher.start(s.slaves(), s.state().mac);
        s.onLoad = [&watcher](adapter_message_type type, const SlaveList &slaves) { watcher.onLoad(type, slaves); };
        s.onReport = [&watcher](const AdapterSession::Report &report) { watcher.onReport(report); };
        // JSON readers get the link's counters once a second.
        QTimer statistics;
        if (ctx.output.json()) {
            const QString serial = s.state().mac;
            QObject::connect(&statistics, &QTimer::timeout, [&ctx, serial] {
                ctx.output.event(QJsonObject{{QStringLiteral("time"), now()},
                                             {QStringLiteral("event"), QStringLiteral("link statistics")},
                                             {QStringLiteral("adapter"), serial},
                                             {QStringLiteral("link"), appcore::linkStatisticsJson(linkStatisticsOf(serial))}});
            });
            statistics.start(kStatisticsPeriodMs);
        }
        // Runs until the time is up or the user stops it: both end it well.
        s.waitFor([] { return false; }, limitMs);
        s.onLoad = nullptr;
        s.onReport = nullptr;
        return ExitStatus::Success;
    });
}

} // namespace commands
