#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

// Exit statuses of the tool.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int BusFailure = 1;  // the operation failed on the bus: refused, time-out, checksum, link lost
constexpr int BadInput = 2;    // bad usage or a bad input file; nothing was written to an adapter
constexpr int Differences = 3; // diff: the bus is not what the configuration says
constexpr int Interrupted = 130; // Ctrl-C or a termination request, as shells report them
} // namespace ExitStatus

// Why a command ends without success, with where the problem lies.
struct CliError {
    int status = ExitStatus::BadInput;
    QString message;
    QString file;    // the input file, if the problem is in one
    int line = 0;    // 1-based line of that file
    QString field;   // the field of that line
    QString value;   // the field as written
    // The language-neutral code of the error, for scripts (--json); empty
    // gives the code of its exit status (Output::errorCode).
    QString code;

    static CliError of(int status, const QString &message);
    static CliError usage(const QString &message);
    static CliError bus(const QString &message);
    static CliError interrupted(const QString &message);
    // The same with a code of its own.
    static CliError withCode(int status, const QString &code, const QString &message);
};

// Where the tool writes: results on standard output (text, or JSON with
// --json), messages and progress on standard error. Progress appears only
// on a terminal and never with --quiet.
class Output
{
public:
    Output(QTextStream &out, QTextStream &err, bool errIsTerminal);

    void setJson(bool json) { m_json = json; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    void setCommand(const QString &command) { m_command = command; }
    bool json() const { return m_json; }
    bool quiet() const { return m_quiet; }
    // True when progress appears: on a terminal, without --quiet.
    bool showsProgress() const { return m_errIsTerminal && !m_quiet; }

    // One line of a text result.
    void line(const QString &text);
    // Rows of a text table, columns padded to their widest cell.
    void table(const QList<QStringList> &rows);
    // A JSON result: one document for a command that ends, one object per
    // line for the events of a command that streams (watch, force). An
    // object with a "result" and without a "code" gets the result's words
    // as its code ("configuration stored": "configuration_stored").
    void document(const QJsonObject &object);
    void event(const QJsonObject &object);

    // The code of an error: its own, else that of its exit status:
    // "bad_usage", "bad_file" (a problem in an input file), "bus_failure",
    // "differences", "interrupted".
    static QString errorCode(const CliError &error);
    // A result's words as a code: lower case, words joined by "_".
    static QString codeOfWords(const QString &words);

    // Messages on standard error: notes are left out with --quiet,
    // warnings never.
    void note(const QString &text);
    void warn(const QString &text);
    // Reports the error on standard error and returns its exit status.
    int fail(const CliError &error);

    // A progress line that replaces itself; finished by endProgress or by
    // any other output.
    void progress(const QString &text);
    // The same with one line for each of several things going on at once
    // (the adapters of an upgrade): the whole block replaces itself.
    void progress(const QStringList &lines);
    void endProgress();

    // A question on standard error, without a line end: the answer follows
    // on the same line. endQuestion ends that line when the answer did not
    // (Ctrl-C, the end of the input).
    void question(const QString &text);
    void endQuestion();

private:
    void message(const QString &kind, const QString &text);
    // "tarnbus-cli: COMMAND", the start of every message.
    QString prefix() const;

    QTextStream &m_out;
    QTextStream &m_err;
    bool m_errIsTerminal = false;
    bool m_json = false;
    bool m_quiet = false;
    int m_progressLines = 0; // lines of the progress block on screen
    QString m_command;
};
