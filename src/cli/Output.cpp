#include "Output.h"
#include "Texts.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace {
const QString kTool = QStringLiteral("tarnbus-cli");
constexpr char kClearLine[] = "\r\033[K";
constexpr char kClearBelow[] = "\033[J";

// Back to the start of a progress block of this many lines, cleared.
QString clearBlock(int lines)
{
    return lines > 1 ? QStringLiteral("\r\033[%1A").arg(lines - 1) + QLatin1String(kClearBelow) : QLatin1String(kClearLine);
}

// Columns a text takes on a terminal: East Asian wide characters take two.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
                          || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
                          || (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

QJsonObject withResultCode(QJsonObject object)
{
    const QJsonValue result = object.value(QStringLiteral("result"));
    if (result.isString() && !object.contains(QStringLiteral("code")))
        object.insert(QStringLiteral("code"), Output::codeOfWords(result.toString()));
    return object;
}
} // namespace

CliError CliError::of(int status, const QString &message)
{
    CliError e;
    e.status = status;
    e.message = message;
    return e;
}

CliError CliError::usage(const QString &message)
{
    return of(ExitStatus::BadInput, message);
}

CliError CliError::bus(const QString &message)
{
    return of(ExitStatus::BusFailure, message);
}

CliError CliError::interrupted(const QString &message)
{
    return of(ExitStatus::Interrupted, message);
}

CliError CliError::withCode(int status, const QString &code, const QString &message)
{
    CliError e = of(status, message);
    e.code = code;
    return e;
}

QString Output::errorCode(const CliError &error)
{
    if (!error.code.isEmpty())
        return error.code;
    switch (error.status) {
    case ExitStatus::BadInput:
        return error.file.isEmpty() ? QStringLiteral("bad_usage") : QStringLiteral("bad_file");
    case ExitStatus::BusFailure:
        return QStringLiteral("bus_failure");
    case ExitStatus::Differences:
        return QStringLiteral("differences");
    case ExitStatus::Interrupted:
        return QStringLiteral("interrupted");
    default:
        return QStringLiteral("failed");
    }
}

QString Output::codeOfWords(const QString &words)
{
    static const QRegularExpression separators(QStringLiteral("[^a-z0-9]+"));
    QString code = words.toLower();
    code.replace(separators, QStringLiteral("_"));
    while (code.startsWith(QLatin1Char('_')))
        code.remove(0, 1);
    while (code.endsWith(QLatin1Char('_')))
        code.chop(1);
    return code;
}

Output::Output(QTextStream &out, QTextStream &err, bool errIsTerminal)
    : m_out(out)
    , m_err(err)
    , m_errIsTerminal(errIsTerminal)
{
}

QString Output::prefix() const
{
    return m_command.isEmpty() ? kTool : kTool + QLatin1String(": ") + m_command;
}

void Output::line(const QString &text)
{
    endProgress();
    m_out << text << '\n';
    m_out.flush();
}

void Output::table(const QList<QStringList> &rows)
{
    QVector<int> widths;
    for (const QStringList &row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], displayWidth(row.at(i)));
        }
    }
    for (const QStringList &row : rows) {
        QString text;
        for (int i = 0; i < row.size(); ++i) {
            const bool last = i == row.size() - 1;
            text += row.at(i);
            if (!last)
                text += QString(widths.at(i) + 2 - displayWidth(row.at(i)), QLatin1Char(' '));
        }
        line(text);
    }
}

void Output::document(const QJsonObject &object)
{
    endProgress();
    m_out << QJsonDocument(withResultCode(object)).toJson(QJsonDocument::Indented);
    m_out.flush();
}

void Output::event(const QJsonObject &object)
{
    endProgress();
    m_out << QJsonDocument(withResultCode(object)).toJson(QJsonDocument::Compact) << '\n';
    m_out.flush();
}

void Output::note(const QString &text)
{
    if (!m_quiet)
        message(QStringLiteral("note"), text);
}

void Output::warn(const QString &text)
{
    message(QStringLiteral("warning"), text);
}

void Output::message(const QString &kind, const QString &text)
{
    endProgress();
    if (m_json) {
        QJsonObject object{{kind, text}};
        if (!m_command.isEmpty())
            object.insert(QStringLiteral("command"), m_command);
        m_err << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        m_err << prefix() << ": " << (kind == QLatin1String("warning") ? Texts::tr("warning: ") : QString()) << text << '\n';
    }
    m_err.flush();
}

int Output::fail(const CliError &error)
{
    endProgress();
    if (m_json) {
        QJsonObject object{{QStringLiteral("error"), error.message}, {QStringLiteral("status"), error.status}};
        object.insert(QStringLiteral("code"), errorCode(error));
        if (!m_command.isEmpty())
            object.insert(QStringLiteral("command"), m_command);
        if (!error.file.isEmpty())
            object.insert(QStringLiteral("file"), error.file);
        if (error.line > 0)
            object.insert(QStringLiteral("line"), error.line);
        if (!error.field.isEmpty())
            object.insert(QStringLiteral("field"), error.field);
        if (!error.value.isNull())
            object.insert(QStringLiteral("value"), error.value);
        m_err << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        QString where;
        if (!error.file.isEmpty()) {
            where = error.file;
            if (error.line > 0)
                where += QLatin1Char(':') + QString::number(error.line);
            where += QLatin1String(": ");
        }
        if (!error.field.isEmpty())
            where += error.field + QLatin1String(": ");
        m_err << prefix() << ": " << where << error.message << '\n';
    }
    m_err.flush();
    return error.status;
}

void Output::progress(const QString &text)
{
    progress(QStringList{text});
}

void Output::progress(const QStringList &lines)
{
    if (!showsProgress() || lines.isEmpty())
        return;
    m_err << clearBlock(m_progressLines) << lines.join(QLatin1Char('\n'));
    m_err.flush();
    m_progressLines = int(lines.size());
}

void Output::endProgress()
{
    if (m_progressLines == 0)
        return;
    m_err << clearBlock(m_progressLines);
    m_err.flush();
    m_progressLines = 0;
}

void Output::question(const QString &text)
{
    endProgress();
    if (m_json) {
        message(QStringLiteral("question"), text);
        return;
    }
    m_err << prefix() << ": " << text << ' ';
    m_err.flush();
}

void Output::endQuestion()
{
    if (m_json)
        return;
    m_err << '\n';
    m_err.flush();
}
