#pragma once

// Runs tarnbus-cli's commands in-process, as the program's main() runs them,
// and writes their input files.

#include "Cli.h"
#include "InterruptWatcher.h"
#include "TestFolders.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
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

// Where a JSON object of the tool's carries a text for people without the
// language-neutral code beside it: an "error", a "message" or a "reason"
// anywhere, and a "result" of the whole document or event. The paths of
// those objects; none when every text has its code.
inline QStringList uncodedTexts(const QJsonValue &value, const QString &path = QStringLiteral("$"), bool top = true)
{
    QStringList found;
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i)
            found += uncodedTexts(array.at(i), QStringLiteral("%1[%2]").arg(path).arg(i), false);
        return found;
    }
    if (!value.isObject())
        return found;
    const QJsonObject object = value.toObject();
    const bool texted = object.contains(QStringLiteral("error")) || object.value(QStringLiteral("message")).isString()
                        || object.contains(QStringLiteral("reason")) || (top && object.value(QStringLiteral("result")).isString());
    if (texted && object.value(QStringLiteral("code")).toString().isEmpty())
        found << path;
    for (auto it = object.begin(); it != object.end(); ++it)
        found += uncodedTexts(it.value(), path + QLatin1Char('.') + it.key(), false);
    return found;
}

} // namespace clitest
