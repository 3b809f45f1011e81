#include "Question.h"

#include "Commands.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

namespace question {

Answer askYesNo(Context &ctx, const QString &text)
{
    ctx.output.question(text + QStringLiteral(" [y/N]"));
    if (ctx.interrupted())
        return Answer::Interrupted;
    if (ctx.inputFd < 0)
        return Answer::No;

    // One byte each time the input is readable, so that a line that has
    // not fully arrived never blocks the event loop (and Ctrl-C with it).
    QByteArray line;
    bool lineEnded = false;
    QEventLoop loop;
    QSocketNotifier readable(ctx.inputFd, QSocketNotifier::Read);
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, [&] {
        char c = 0;
        const ssize_t n = ::read(ctx.inputFd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0 || c == '\n') {
            lineEnded = n > 0;
            readable.setEnabled(false);
            loop.quit();
            return;
        }
        line += c;
    });
    ctx.setInterruptHandler([&loop] { loop.quit(); });
    loop.exec();
    ctx.setInterruptHandler(nullptr);
    if (!lineEnded)
        ctx.output.endQuestion();
    if (ctx.interrupted())
        return Answer::Interrupted;
    const QString answer = QString::fromLocal8Bit(line).trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes") ? Answer::Yes : Answer::No;
}

} // namespace question
