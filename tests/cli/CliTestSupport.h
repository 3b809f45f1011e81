#pragma once

// Runs tarnbus-cli's commands in-process, as the program's main() runs them,
// and writes their input files.

#include "Cli.h"
#include "InterruptWatcher.h"
#include "TestFolders.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <optional>
#include <unistd.h>

namespace clitest {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs one command line as the program does; watch, when given, sees the
// output while the command runs and may interrupt it. typed, when given, is
// what a user types at a terminal on standard input.
inline Run runCli(const QStringList &args, bool terminal = false,
                  const std::function<void(Cli &, const QString &)> &watch = {},
                  const std::optional<QByteArray> &typed = std::nullopt)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    Cli cli(out, err, terminal);
    InterruptWatcher watcher; // as the program's main() has it
    QObject::connect(&watcher, &InterruptWatcher::interrupted, &cli, &Cli::interrupt);
    int input[2] = {-1, -1};
    if (typed && ::pipe(input) == 0) {
        const ssize_t written = ::write(input[1], typed->constData(), size_t(typed->size()));
        Q_UNUSED(written)
        ::close(input[1]);
        cli.setInput(input[0], true);
    }
    QTimer poll;
    if (watch) {
        QObject::connect(&poll, &QTimer::timeout, &cli, [&] { watch(cli, run.out); });
        poll.start(5);
    }
    run.status = cli.run(args);
    if (input[0] >= 0)
        ::close(input[0]);
    return run;
}

// Writes an input file of a command into dir; its path.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace clitest
