#pragma once

#include <QCoreApplication>
#include <QString>

// Starting a program on the virtual adapter (sim/): the programs link the
// system hidapi; to run on the virtual adapter a program starts itself again
// with the virtual adapter's library preloaded below hidapi's C interface,
// which answers as the adapters of a bus file. Nothing else in the program
// knows whether it talks to hardware; only the window says so, to its user.
class VirtualAdapterLauncher
{
    Q_DECLARE_TR_FUNCTIONS(VirtualAdapterLauncher)

public:
    // The library's file: in the package's private library folder, beside
    // the program, or where the build tree put it. Empty when none is there.
    static QString libraryPath();

    // Whether this process is the second start, with the library loaded.
    static bool isRunning();
    // The bus file of the second start; empty in the first.
    static QString busFile();

    // Starts the program again with the library preloaded on busFile and
    // the same arguments. Returns only when that failed, with the reason
    // (already on the virtual adapter but without the library, no readable
    // bus file, no library).
    static QString restart(char **argv, const QString &busFile);
};
