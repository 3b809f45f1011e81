#pragma once

#include "LinkCounters.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The link counters as the command line prints them and as JSON; the window
// shows the same counters under its own labels.
namespace appcore {

// "12.3 ms", or "-" while there was no whole reply.
QString roundTripText(qint64 microseconds);

// Stable keys: transactions, timeouts, checksumErrors, errorReports,
// refusals, incompleteReplies, reconnects, roundTripMs {last, mean, max}.
QJsonObject linkStatisticsJson(const LinkStatistics &statistics);

// Rows of name and value for the command line's text table, in the
// language chosen.
QList<QStringList> linkStatisticsRows(const LinkStatistics &statistics);

} // namespace appcore
