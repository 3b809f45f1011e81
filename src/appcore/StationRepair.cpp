#include "StationRepair.h"

#include <QCoreApplication>
#include <QSet>

#include <array>

namespace appcore::StationRepair {

namespace {

// tr() of the context "UnAllocation", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(UnAllocation)
};

// The row's text as a station number; plain decimal digits only.
std::optional<int> numberOf(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 3)
        return std::nullopt;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return trimmed.toInt();
}

} // namespace

QStringList generate(const QStringList &rowTexts, const QList<int> &otherStations)
{
    // A number another module keeps would stay repeated; a number only rows
    // use is free once the rows have new ones.
    std::array<bool, kMaxStation + 1> taken{};
    for (int station : otherStations) {
        if (station >= 1 && station <= kMaxStation)
            taken[size_t(station)] = true;
    }
    QStringList texts = rowTexts;
    int candidate = 1;
    for (QString &text : texts) {
        while (candidate <= kMaxStation && taken[size_t(candidate)])
            ++candidate;
        if (candidate > kMaxStation)
            break;
        text = QString::number(candidate++);
    }
    return texts;
}

QString RowProblem::message() const
{
    switch (kind) {
    case NotANumber:
        return Texts::tr("第%1行站号不是数字: %2").arg(row + 1).arg(text);
    case OutOfRange:
        return Texts::tr("第%1行站号超出范围(1-128): %2").arg(row + 1).arg(text);
    case Repeated:
        return Texts::tr("第%1行站号重复: %2").arg(row + 1).arg(text);
    }
    return QString();
}

std::optional<RowProblem> checkRows(const QStringList &rowTexts)
{
    QSet<int> seen;
    for (int row = 0; row < rowTexts.size(); ++row) {
        const std::optional<int> station = numberOf(rowTexts.at(row));
        RowProblem problem;
        problem.row = row;
        problem.text = rowTexts.at(row);
        if (!station) {
            problem.kind = RowProblem::NotANumber;
            return problem;
        }
        if (*station < 1 || *station > kMaxStation) {
            problem.kind = RowProblem::OutOfRange;
            return problem;
        }
        if (seen.contains(*station)) {
            problem.kind = RowProblem::Repeated;
            return problem;
        }
        seen.insert(*station);
    }
    return std::nullopt;
}

QMap<int, QByteArray> stationMap(const QStringList &rowTexts, const QList<QByteArray> &uids)
{
    QMap<int, QByteArray> map;
    for (int row = 0; row < rowTexts.size() && row < uids.size(); ++row) {
        if (const std::optional<int> station = numberOf(rowTexts.at(row)))
            map.insert(*station, uids.at(row));
    }
    return map;
}

} // namespace appcore::StationRepair
