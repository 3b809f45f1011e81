#include "WiringMap.h"

#include <QSet>

namespace appcore::wiring {

namespace {

constexpr int kMaxStation = 128;

bool isNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > 0x7F)
            return false;
    }
    return true;
}

std::optional<Side> parseSide(const QString &field, const QString &what, int line, QList<Problem> &problems)
{
    const QString text = field.trimmed();
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    const QString selector = colon > 0 ? text.left(colon).trimmed() : QString();
    const QString channel = colon > 0 ? text.mid(colon + 1).trimmed() : QString();
    if (selector.isEmpty() || !isNumber(channel) || channel.size() > 4) {
        problems << Problem{line, QStringLiteral("the %1 \"%2\" is not STATION:CHANNEL or UID:CHANNEL").arg(what, text)};
        return std::nullopt;
    }
    for (const QChar c : selector) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7F) {
            problems << Problem{line, QStringLiteral("the %1 \"%2\" names neither a station nor a UID").arg(what, text)};
            return std::nullopt;
        }
    }
    if (isNumber(selector) && (selector.size() > 3 || selector.toInt() < 1 || selector.toInt() > kMaxStation)) {
        problems << Problem{line, QStringLiteral("the %1 \"%2\": station %3 is outside 1..128").arg(what, text, selector)};
        return std::nullopt;
    }
    return Side{selector, channel.toInt()};
}

// The row a side names, or a problem.
int rowOf(const checkout::Checkout &checkout, const Side &side, checkout::Direction direction, const QString &what,
          int line, QList<Problem> &problems)
{
    using checkout::ModuleEntry;
    const bool byStation = isNumber(side.selector);
    QList<int> candidates;
    for (int m = 0; m < checkout.modules.size(); ++m) {
        const ModuleEntry &entry = checkout.modules.at(m);
        if (byStation ? (!entry.local && entry.station == side.selector.toInt())
                      : entry.uid.compare(side.selector, Qt::CaseInsensitive) == 0)
            candidates << m;
    }
    const QString name = QStringLiteral("%1:%2").arg(side.selector).arg(side.channel);
    if (candidates.isEmpty()) {
        problems << Problem{line, byStation ? QStringLiteral("the %1 %2: no module with an IO area at station %3").arg(what, name, side.selector)
                                            : QStringLiteral("the %1 %2: no module with an IO area has UID %3").arg(what, name, side.selector)};
        return -1;
    }
    if (candidates.size() > 1) {
        QStringList uids;
        for (int m : candidates)
            uids << checkout.modules.at(m).uid;
        problems << Problem{line, QStringLiteral("the %1 %2: station %3 is shared by %4 modules (%5); name the module by its UID")
                                      .arg(what, name, side.selector)
                                      .arg(candidates.size())
                                      .arg(uids.join(QStringLiteral(", ")))};
        return -1;
    }
    const ModuleEntry &entry = checkout.modules.at(candidates.first());
    const int row = checkout.findRow(entry.station, entry.uid, direction, side.channel);
    if (row < 0) {
        int held = 0;
        for (const checkout::Row &r : checkout.rows) {
            if (r.direction == direction && r.uid == entry.uid && r.station == entry.station && r.local == entry.local)
                ++held;
        }
        const QString kind = direction == checkout::Direction::Output ? QStringLiteral("output") : QStringLiteral("input");
        problems << Problem{line, held == 0 ? QStringLiteral("the %1 %2: %3 (%4) holds no %5 channel").arg(what, name, entry.module, entry.uid, kind)
                                            : QStringLiteral("the %1 %2: %3 (%4) holds %5 channels 0 to %6")
                                                  .arg(what, name, entry.module, entry.uid, kind)
                                                  .arg(held - 1)};
    }
    return row;
}

} // namespace

Parsed parse(const QByteArray &bytes)
{
    Parsed parsed;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QString text = QString::fromUtf8(data);
    if (text.contains(QChar::ReplacementCharacter)) {
        parsed.problems << Problem{0, QStringLiteral("the file is not UTF-8 text")};
        return parsed;
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool header = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const int number = i + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        if (!header) {
            if (fields.size() != 2 || fields.at(0).trimmed().compare(QLatin1String("output"), Qt::CaseInsensitive) != 0
                || fields.at(1).trimmed().compare(QLatin1String("input"), Qt::CaseInsensitive) != 0) {
                parsed.problems << Problem{number, QStringLiteral("the first line must be the header \"output,input\", not \"%1\"").arg(line)};
                return parsed;
            }
            header = true;
            continue;
        }
        if (fields.size() != 2) {
            parsed.problems << Problem{number, QStringLiteral("a loop has two fields, output and input, not %1: \"%2\"").arg(fields.size()).arg(line)};
            continue;
        }
        const std::optional<Side> output = parseSide(fields.at(0), QStringLiteral("output"), number, parsed.problems);
        const std::optional<Side> input = parseSide(fields.at(1), QStringLiteral("input"), number, parsed.problems);
        if (output && input)
            parsed.loops << Loop{number, *output, *input};
    }
    if (!header)
        parsed.problems << Problem{0, QStringLiteral("the file is empty: the header \"output,input\" is missing")};
    else if (parsed.loops.isEmpty() && parsed.problems.isEmpty())
        parsed.problems << Problem{0, QStringLiteral("the file names no loop")};
    return parsed;
}

QList<Problem> apply(const QList<Loop> &loops, checkout::Checkout &checkout)
{
    QList<Problem> problems;
    QList<QPair<int, int>> pairs;
    QHash<int, int> usedAt; // row -> line that used it
    for (const Loop &loop : loops) {
        const int out = rowOf(checkout, loop.output, checkout::Direction::Output, QStringLiteral("output"), loop.line, problems);
        const int in = rowOf(checkout, loop.input, checkout::Direction::Input, QStringLiteral("input"), loop.line, problems);
        if (out < 0 || in < 0)
            continue;
        if (checkout.rows.at(out).kind != checkout.rows.at(in).kind) {
            problems << Problem{loop.line, QStringLiteral("output %1 is %2 and input %3 is %4: a loop joins channels of one kind")
                                               .arg(checkout.rows.at(out).channelName(),
                                                    checkout.rows.at(out).kind == checkout::Kind::Analog ? QStringLiteral("analog") : QStringLiteral("digital"),
                                                    checkout.rows.at(in).channelName(),
                                                    checkout.rows.at(in).kind == checkout::Kind::Analog ? QStringLiteral("analog") : QStringLiteral("digital"))};
            continue;
        }
        bool reused = false;
        for (int row : {out, in}) {
            if (usedAt.contains(row)) {
                problems << Problem{loop.line, QStringLiteral("%1 %2 is already in the loop of line %3")
                                                   .arg(checkout.rows.at(row).isOutput() ? QStringLiteral("output") : QStringLiteral("input"),
                                                        checkout.rows.at(row).channelName())
                                                   .arg(usedAt.value(row))};
                reused = true;
            }
        }
        if (reused)
            continue;
        usedAt.insert(out, loop.line);
        usedAt.insert(in, loop.line);
        pairs << qMakePair(out, in);
    }
    if (!problems.isEmpty())
        return problems;
    checkout.clearLoops();
    for (const auto &[out, in] : pairs) {
        checkout.rows[out].partner = in;
        checkout.rows[in].partner = out;
    }
    return problems;
}

QString problemText(const Problem &problem)
{
    return problem.line > 0 ? QStringLiteral("line %1: %2").arg(problem.line).arg(problem.message) : problem.message;
}

} // namespace appcore::wiring
