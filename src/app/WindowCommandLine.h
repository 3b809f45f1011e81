#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The window's own command line, read before the application object
// exists: --help and --version need no display (the manual page is made
// from them while building), and --demo starts the program again on the
// virtual adapter. Qt's options (-platform, -style, ...) pass through.
class WindowCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(WindowCommandLine)

public:
    enum class Action { RunWindow, ShowHelp, ShowVersion, Fail };

    Action action = Action::RunWindow;
    bool demo = false;
    QString demoBus; // the bus file given to --demo; empty: the demonstration bus
    QString error;   // why the command line was refused (Fail)
    QString language; // --lang zh|en; empty: the saved choice, else the system's

    // arguments include the program name.
    static WindowCommandLine parse(const QStringList &arguments);

    static QString helpText();
    static QString versionText();
};
