#include "LinkStatisticsText.h"

#include <QCoreApplication>
#include <QJsonValue>

namespace appcore {

namespace {
QJsonValue milliseconds(qint64 microseconds)
{
    return microseconds < 0 ? QJsonValue() : QJsonValue(double(microseconds) / 1000.0);
}
} // namespace

QString roundTripText(qint64 microseconds)
{
    return microseconds < 0 ? QStringLiteral("-") : QStringLiteral("%1 ms").arg(double(microseconds) / 1000.0, 0, 'f', 1);
}

QJsonObject linkStatisticsJson(const LinkStatistics &s)
{
    return QJsonObject{
        {QStringLiteral("transactions"), double(s.transactions)},
        {QStringLiteral("timeouts"), double(s.timeouts)},
        {QStringLiteral("checksumErrors"), double(s.checksumErrors)},
        {QStringLiteral("errorReports"), double(s.errorReports)},
        {QStringLiteral("refusals"), double(s.refusals)},
        {QStringLiteral("incompleteReplies"), double(s.incompleteReplies)},
        {QStringLiteral("reconnects"), double(s.reconnects)},
        {QStringLiteral("roundTripMs"), QJsonObject{{QStringLiteral("last"), milliseconds(s.lastRoundTripUs)},
                                                    {QStringLiteral("mean"), milliseconds(s.meanRoundTripUs)},
                                                    {QStringLiteral("max"), milliseconds(s.maxRoundTripUs)}}},
    };
}

QList<QStringList> linkStatisticsRows(const LinkStatistics &s)
{
    // The command line's table: its texts are written in English, as the
    // rest of the command line's (the context "Cli").
    const auto text = [](const char *source) { return QCoreApplication::translate("Cli", source); };
    return {
        {text(QT_TRANSLATE_NOOP("Cli", "transactions")), QString::number(s.transactions)},
        {text(QT_TRANSLATE_NOOP("Cli", "time-outs")), QString::number(s.timeouts)},
        {text(QT_TRANSLATE_NOOP("Cli", "checksum errors")), QString::number(s.checksumErrors)},
        {text(QT_TRANSLATE_NOOP("Cli", "error reports")), QString::number(s.errorReports)},
        {text(QT_TRANSLATE_NOOP("Cli", "refusals")), QString::number(s.refusals)},
        {text(QT_TRANSLATE_NOOP("Cli", "incomplete replies")), QString::number(s.incompleteReplies)},
        {text(QT_TRANSLATE_NOOP("Cli", "reconnects")), QString::number(s.reconnects)},
        {text(QT_TRANSLATE_NOOP("Cli", "round trip")),
         QCoreApplication::translate("Cli", "last %1, mean %2, max %3")
             .arg(roundTripText(s.lastRoundTripUs), roundTripText(s.meanRoundTripUs), roundTripText(s.maxRoundTripUs))},
    };
}

} // namespace appcore
