#include "AddressConflicts.h"

#include <QCoreApplication>

#include <algorithm>

namespace appcore {

namespace {

// tr() of the context "AddressConflicts", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(AddressConflicts)
};

QString bitsText(int start, int bits)
{
    return QStringLiteral("%1..%2").arg(start).arg(start + bits - 1);
}

QString areaName(bool input)
{
    return input ? Texts::tr("输入区") : Texts::tr("输出区");
}

} // namespace

QList<Overlap> overlaps(const SlaveList &slaves)
{
    QList<Overlap> found;
    for (int i = 0; i < slaves.size(); ++i) {
        for (int j = i + 1; j < slaves.size(); ++j) {
            const Slave::IoWindow &a = slaves.at(i)->ioWindow;
            const Slave::IoWindow &b = slaves.at(j)->ioWindow;
            for (const bool input : {true, false}) {
                const int aStart = input ? a.inputStart : a.outputStart;
                const int aBits = input ? a.inputBits : a.outputBits;
                const int bStart = input ? b.inputStart : b.outputStart;
                const int bBits = input ? b.inputBits : b.outputBits;
                const int start = std::max(aStart, bStart);
                const int end = std::min(aStart + aBits, bStart + bBits);
                if (aBits > 0 && bBits > 0 && end > start)
                    found.append(Overlap{slaves.at(i), slaves.at(j), input, start, end - start});
            }
        }
    }
    return found;
}

QString moduleName(const SlaveState &slave)
{
    if (slave.recordCarriesStation)
        return Texts::tr("本地模块 (%1)").arg(slave.typeName);
    if (slave.stationId == 0)
        return Texts::tr("未设定站号的 %1 (%2)").arg(slave.typeName, QString::fromLatin1(slave.uuid));
    return Texts::tr("站号%1 (%2)").arg(slave.stationId).arg(slave.typeName);
}

QString overlapText(const Overlap &o)
{
    return Texts::tr("%1 与 %2 的%3重叠 %4 位 (%5)")
        .arg(moduleName(*o.first), moduleName(*o.second), areaName(o.input))
        .arg(o.bits)
        .arg(bitsText(o.start, o.bits));
}

QHash<quint64, QString> conflictsByRecord(const SlaveList &slaves)
{
    QHash<quint64, QStringList> lines;
    for (const Overlap &o : overlaps(slaves)) {
        const QString shared = Texts::tr("重叠 %1 位 (%2)").arg(o.bits).arg(bitsText(o.start, o.bits));
        lines[o.first->recordId] << Texts::tr("%1与%2%3").arg(areaName(o.input), moduleName(*o.second), shared);
        lines[o.second->recordId] << Texts::tr("%1与%2%3").arg(areaName(o.input), moduleName(*o.first), shared);
    }
    QHash<quint64, QString> out;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        out.insert(it.key(), it.value().join(QLatin1Char('\n')));
    return out;
}

BitsInUse bitsInUse(const SlaveList &slaves)
{
    BitsInUse bits;
    for (const SlaveSnapshot &slave : slaves) {
        if (!slave->described)
            continue;
        bits.input += slave->ioLengths.inputBits;
        bits.output += slave->ioLengths.outputBits;
    }
    return bits;
}

} // namespace appcore
