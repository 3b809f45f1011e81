#include "LinkStatisticsText.h"

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
    return {
        {QStringLiteral("transactions"), QString::number(s.transactions)},
        {QStringLiteral("time-outs"), QString::number(s.timeouts)},
        {QStringLiteral("checksum errors"), QString::number(s.checksumErrors)},
        {QStringLiteral("error reports"), QString::number(s.errorReports)},
        {QStringLiteral("refusals"), QString::number(s.refusals)},
        {QStringLiteral("incomplete replies"), QString::number(s.incompleteReplies)},
        {QStringLiteral("reconnects"), QString::number(s.reconnects)},
        {QStringLiteral("round trip"), QStringLiteral("last %1, mean %2, max %3")
                                           .arg(roundTripText(s.lastRoundTripUs), roundTripText(s.meanRoundTripUs),
                                                roundTripText(s.maxRoundTripUs))},
    };
}

} // namespace appcore
