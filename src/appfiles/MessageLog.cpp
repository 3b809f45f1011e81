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
    QStringList fields{line.time.toString(Qt::ISODate), m_serial, line.level, line.source, oneLine(line.text)};
    if (!line.code.isEmpty())
        fields << oneLine(line.code);
    const QString text = fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
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
    QString text = QStringLiteral("级别,时间,来源,信息,代码\n"); // the list's columns, then the code
    for (const Line &line : lines)
        text += QStringList{csvField(line.level), csvField(timeText(line.time)), csvField(line.source), csvField(line.text),
                            csvField(line.code)}
                    .join(QLatin1Char(','))
                + QLatin1Char('\n');
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<MessageLog::Entry> MessageLog::readLine(const QString &text)
{
    QString trimmed = text;
    while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
        trimmed.chop(1);
    const QStringList fields = trimmed.split(QLatin1Char('\t'));
    constexpr int kFieldsBefore = 5; // before codes were kept
    if (fields.size() != kFieldsBefore && fields.size() != kFieldsBefore + 1)
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(fields.at(0), Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    Entry entry;
    entry.serial = fields.at(1);
    entry.line.time = time;
    entry.line.level = fields.at(2);
    entry.line.source = fields.at(3);
    entry.line.text = QString(fields.at(4)).replace(QLatin1String("\\n"), QLatin1String("\n"));
    if (fields.size() > kFieldsBefore)
        entry.line.code = fields.at(5);
    return entry;
}

QList<MessageLog::Entry> MessageLog::readFile(const QString &path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        if (const std::optional<Entry> entry = readLine(QString::fromUtf8(file.readLine())))
            entries.append(*entry);
    }
    return entries;
}
