#pragma once

#include "Output.h"

#include <QObject>
#include <QStringList>
#include <QTextStream>

class AdapterSession;
struct CommandSpec;

// The command-line tool: reads the command line, runs one command and
// returns its exit status. The program's main() and the tests drive it alike.
class Cli : public QObject
{
    Q_OBJECT

public:
    Cli(QTextStream &out, QTextStream &err, bool errIsTerminal, QObject *parent = nullptr);

    // Runs the command of arguments (without the program name).
    int run(const QStringList &arguments);

    static QString version();

public slots:
    // Ctrl-C: the running command stops waiting and cleans up (force mode
    // left, link closed).
    void interrupt();

private:
    int runCommand(const CommandSpec &spec, const QStringList &arguments);
    void printHelp();
    void printCommandHelp(const CommandSpec &spec);
    int usageError(const QString &message, const QString &command = QString());

    QTextStream &m_out;
    Output m_output;
    AdapterSession *m_session = nullptr;
    bool m_interrupted = false;
};
