#pragma once

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

#include <optional>

// The message list kept on disk: every line of an adapter page's message
// list is appended to the day's log file in the user's data folder
// (~/.local/share/tarnbus-tester/logs/messages-yyyy-MM-dd.log), with the
// adapter's serial number. A new file begins each day; files of more than
// kKeepDays ago are removed when a log starts and when the day changes.
// Pages of several adapters write to the same day's file, each line in one
// write, so that their lines never mix.
//
// A line is time (ISO 8601), serial, level, source and text, separated by
// tabs, then the message's language-neutral code ("store.refused") where it
// has one: a reader matches the code whatever language the text was written
// in. Lines written before codes were kept have the first five fields only;
// readLine reads both.
class MessageLog
{
public:
    static constexpr int kKeepDays = 30;

    struct Line {
        QDateTime time;
        QString level;
        QString source;
        QString text;
        QString code = QString(); // language-neutral; empty for a line without one
    };

    // One line of a log file, as append wrote it (with the serial of its
    // adapter); none for a line that is not one.
    struct Entry {
        Line line;
        QString serial;
    };
    static std::optional<Entry> readLine(const QString &text);
    // Every line of a log file; lines that are not log lines are left out.
    static QList<Entry> readFile(const QString &path);

    // folder: where the files go; empty is the user's data folder's logs/.
    explicit MessageLog(const QString &serial, const QString &folder = QString());

    static QString defaultFolder();
    QString folder() const { return m_folder; }
    // The file of the given day.
    QString fileOf(const QDate &day) const;
    // Today's file, where the next line goes.
    QString currentFile() const { return fileOf(QDate::currentDate()); }

    // False when the line could not be written (the folder cannot be
    // created, the disk is full); the list keeps it anyway.
    bool append(const Line &line);

    // Removes the log files of days before today - kKeepDays; returns how many.
    int removeOld(const QDate &today = QDate::currentDate());

    // The lines as CSV: a header, then level, time, source, text and code,
    // quoted where needed, UTF-8 with a byte-order mark (as spreadsheets
    // expect).
    static QByteArray csv(const QList<Line> &lines);
    static QString timeText(const QDateTime &time);

private:
    QString m_serial;
    QString m_folder;
    QDate m_day;
    QFile m_file;
};
