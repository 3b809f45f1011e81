#pragma once

#include "ConfigCompare.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

class CompareRowsModel;

// What the comparison dialog saves and prints: the rows as the table shows
// them, as a CSV file or as the page of a report.
namespace CompareReport {

// What the report says above the rows.
struct Heading {
    QDateTime time;
    QString adapterSerial;
    QList<QPair<QString, QString>> identity; // the adapter's "TBName", "HWVersion", "BootVersion", "APPVersion"
    QString source;                          // what the bus was compared with
};

// The overlapping areas and the adapter settings of a result, in the
// window's words (empty when there are none).
QStringList overlapLines(const appcore::Compare::Result &result);
QStringList settingsLines(const appcore::Compare::Result &result);
// "相同 12, 不同 1, ..."
QString countsLine(const appcore::Compare::Result &result);

// The rows the table shows, one line each under the table's headers;
// UTF-8 with a byte-order mark so that spreadsheets read the Chinese texts,
// fields quoted where they hold a comma, a quote or a line end.
QByteArray csv(const CompareRowsModel &model);
// Writes it in one piece; empty on success, else the system's reason.
std::optional<QString> writeCsv(const QString &path, const CompareRowsModel &model);

// The report as rich text: the heading, the counts, the rows coloured as the
// table colours them, the overlaps and settings.
QString html(const CompareRowsModel &model, const Heading &heading);
// Prints it with Qt's printing into a PDF file; false when it cannot be written.
bool printPdf(const QString &path, const CompareRowsModel &model, const Heading &heading);

} // namespace CompareReport
