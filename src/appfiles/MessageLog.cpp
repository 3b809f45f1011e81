#include "MessageLog.h"

#include "DataFolders.h"

#include <QDir>
#include <QRegularExpression>

namespace {
const QString kPrefix = QStringLiteral("messages-");
const QString kSuffix = QStringLiteral(".log");
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// One log line is one line: line breaks inside a message are kept visible.
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\t'), QLatin1Char(' '));
}
} // namespace

MessageLog::MessageLog(const QString &serial, const QString &folder)
    : m_serial(serial)
    , m_folder(folder.isEmpty() ? defaultFolder() : folder)
{
    removeOld();
}

QString MessageLog::defaultFolder()
{
    return DataFolders::userFolder(QStringLiteral("logs"));
}

QString MessageLog::fileOf(const QDate &day) const
{
    return QDir(m_folder).filePath(kPrefix + day.toString(kDayFormat) + kSuffix);
}

QString MessageLog::timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy/MM/dd/ hh:mm:ss"));
}

bool MessageLog::append(const Line &line)
{
    const QDate today = line.time.date();
    if (today != m_day || !m_file.isOpen()) {
        m_file.close();
        if (m_day.isValid() && today != m_day)
            removeOld(today);
        m_day = today;
        if (!QDir().mkpath(m_folder))
            return false;
        m_file.setFileName(fileOf(today));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
    }
    const QString text = QStringList{line.time.toString(Qt::ISODate), m_serial, line.level, line.source, oneLine(line.text)}
                             .join(QLatin1Char('\t'))
                         + QLatin1Char('\n');
    const QByteArray bytes = text.toUtf8();
    return m_file.write(bytes) == bytes.size();
}

int MessageLog::removeOld(const QDate &today)
{
    static const QRegularExpression name(QStringLiteral("^messages-(\\d{4}-\\d{2}-\\d{2})\\.log$"));
    const QDate oldestKept = today.addDays(-kKeepDays);
    int removed = 0;
    QDir dir(m_folder);
    for (const QString &file : dir.entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files)) {
        const QRegularExpressionMatch m = name.match(file);
        const QDate day = m.hasMatch() ? QDate::fromString(m.captured(1), kDayFormat) : QDate();
        if (day.isValid() && day < oldestKept && dir.remove(file))
            ++removed;
    }
    return removed;
}

QByteArray MessageLog::csv(const QList<Line> &lines)
{
    QString text = QStringLiteral("级别,时间,来源,信息\n"); // the list's columns
    for (const Line &line : lines)
        text += QStringList{csvField(line.level), csvField(timeText(line.time)), csvField(line.source), csvField(line.text)}
                    .join(QLatin1Char(','))
                + QLatin1Char('\n');
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
