#include "FrameTraceModel.h"

#include "CommStatus.h"

#include <QBrush>
#include <QColor>
#include <QSet>

#include <algorithm>

using namespace tarnbus::trace;

FrameTraceModel::FrameTraceModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString FrameTraceModel::nameOf(const Entry &entry)
{
    const Meaning &m = entry.meaning;
    return m.commandKnown ? commandName(entry.channel, m.command, m.param1, m.param2) : QStringLiteral("-");
}

void FrameTraceModel::setEntries(const QVector<Entry> &entries, qint64 startNs)
{
    beginResetModel();
    m_entries = entries;
    m_startNs = startNs;
    refilter();
    endResetModel();
}

void FrameTraceModel::setFilter(const QString &command, int station, int result)
{
    beginResetModel();
    m_command = command;
    m_station = station;
    m_result = result;
    refilter();
    endResetModel();
}

bool FrameTraceModel::passes(const Entry &entry) const
{
    if (!m_command.isEmpty() && nameOf(entry) != m_command)
        return false;
    if (m_station != kAnyStation && entry.meaning.station != m_station)
        return false;
    return m_result == kAnyResult || entry.meaning.result == m_result;
}

void FrameTraceModel::refilter()
{
    m_shown.clear();
    for (int i = 0; i < m_entries.size(); ++i) {
        if (passes(m_entries.at(i)))
            m_shown.append(i);
    }
}

QVector<Entry> FrameTraceModel::shownEntries() const
{
    QVector<Entry> out;
    out.reserve(m_shown.size());
    for (int i : m_shown)
        out.append(m_entries.at(i));
    return out;
}

int FrameTraceModel::rowOf(quint64 sequence) const
{
    const auto it = std::lower_bound(m_shown.cbegin(), m_shown.cend(), sequence,
                                     [this](int i, quint64 s) { return m_entries.at(i).sequence < s; });
    return it != m_shown.cend() && m_entries.at(*it).sequence == sequence ? int(it - m_shown.cbegin()) : -1;
}

QStringList FrameTraceModel::commandNames() const
{
    QSet<QString> names;
    for (const Entry &entry : m_entries) {
        if (entry.meaning.commandKnown)
            names.insert(nameOf(entry));
    }
    QStringList sorted = names.values();
    sorted.sort();
    return sorted;
}

QList<int> FrameTraceModel::stations() const
{
    QSet<int> set;
    for (const Entry &entry : m_entries) {
        if (entry.meaning.station >= 0)
            set.insert(entry.meaning.station);
    }
    QList<int> sorted = set.values();
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

QList<int> FrameTraceModel::results() const
{
    QSet<int> set;
    for (const Entry &entry : m_entries)
        set.insert(entry.meaning.result);
    QList<int> sorted = set.values();
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

int FrameTraceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown.size();
}

int FrameTraceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FrameTraceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return QVariant();
    const Entry &entry = entryAt(index.row());
    const Meaning &m = entry.meaning;
    const bool failed = m.result != kNoResult && m.result != COMM_OK;
    if (role == Qt::ForegroundRole) {
        if (m.refused || m.crc == Crc::Bad || failed)
            return QBrush(QColor(198, 40, 40));
        return entry.channel == Channel::Upgrade ? QBrush(QColor(21, 101, 192)) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && (index.column() == SequenceColumn || index.column() == TimeColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case SequenceColumn:
        return QString::number(entry.sequence);
    case TimeColumn:
        return QString::number(double(entry.timeNs - m_startNs) / 1e9, 'f', 6);
    case DirectionColumn:
        return entry.direction == Direction::Out ? tr("发送") : tr("接收");
    case PartColumn:
        return partName(m.part);
    case CodeColumn:
        if (!m.commandKnown)
            return QStringLiteral("-");
        return entry.channel == Channel::Upgrade
                   ? QStringLiteral("%1").arg(m.command, 2, 16, QLatin1Char('0')).toUpper()
                   : QStringLiteral("%1 %2 %3")
                         .arg(m.command, 2, 16, QLatin1Char('0'))
                         .arg(m.param1, 2, 16, QLatin1Char('0'))
                         .arg(m.param2, 2, 16, QLatin1Char('0'))
                         .toUpper();
    case NameColumn:
        return nameOf(entry);
    case StationColumn:
        return m.station >= 0 ? QString::number(m.station) : QStringLiteral("-");
    case ResultColumn:
        return resultName(m.result) + (m.refused ? tr(" (拒绝标记)") : QString());
    case CrcColumn:
        return m.crc == Crc::Good ? tr("正确") : m.crc == Crc::Bad ? tr("错误") : QStringLiteral("-");
    default:
        return QVariant();
    }
}

QVariant FrameTraceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case SequenceColumn: return tr("序号");
    case TimeColumn: return tr("时间 (s)");
    case DirectionColumn: return tr("方向");
    case PartColumn: return tr("报文");
    case CodeColumn: return tr("命令码");
    case NameColumn: return tr("命令");
    case StationColumn: return tr("站号");
    case ResultColumn: return tr("结果");
    case CrcColumn: return tr("CRC");
    default: return QVariant();
    }
}
