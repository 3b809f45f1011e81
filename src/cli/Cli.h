#pragma once

#include "Output.h"

#include <QObject>
#include <QStringList>
#include <QTextStream>

#include <functional>

class AdapterSession;
struct CommandSpec;

// The command-line tool: reads the command line, runs one command and
// returns its exit status. The program's main() and the tests drive it alike.
class Cli : public QObject
{
    Q_OBJECT

public:
    Cli(QTextStream &out, QTextStream &err, bool errIsTerminal, QObject *parent = nullptr);

    // Where questions are answered: a descriptor to read lines from and
    // whether it is a terminal. Without one, nothing is asked.
    void setInput(int fd, bool isTerminal);

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
    int writeTrace(const QString &path, int status);
    int usageError(const QString &message, const QString &command = QString());

    QTextStream &m_out;
    Output m_output;
    AdapterSession *m_session = nullptr;
    std::function<void()> m_interruptHandler;
    bool m_interrupted = false;
    int m_inputFd = -1;
    bool m_inputIsTerminal = false;
};
