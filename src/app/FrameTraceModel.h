#pragma once

#include "TraceDecode.h"

#include <QAbstractTableModel>
#include <QVector>

// The entries of a frame trace as the trace window lists them, filtered by
// command, station and result.
class FrameTraceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { SequenceColumn, TimeColumn, DirectionColumn, PartColumn, CodeColumn, NameColumn, StationColumn, ResultColumn, CrcColumn, ColumnCount };
    static constexpr int kAnyStation = -2;
    static constexpr int kAnyResult = -2;

    explicit FrameTraceModel(QObject *parent = nullptr);

    void setEntries(const QVector<tarnbus::trace::Entry> &entries, qint64 startNs);
    // Empty command: any; kAnyStation, kAnyResult: any.
    void setFilter(const QString &command, int station, int result);

    const tarnbus::trace::Entry &entryAt(int row) const { return m_entries.at(m_shown.at(row)); }
    QVector<tarnbus::trace::Entry> shownEntries() const;
    int totalCount() const { return m_entries.size(); }
    qint64 startNs() const { return m_startNs; }
    // The row of the entry with this sequence number, -1 when not shown.
    int rowOf(quint64 sequence) const;

    // What the filters may choose from: the names, stations and results the
    // trace holds, sorted.
    QStringList commandNames() const;
    QList<int> stations() const;
    QList<int> results() const;

    static QString nameOf(const tarnbus::trace::Entry &entry);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool passes(const tarnbus::trace::Entry &entry) const;
    void refilter();

    QVector<tarnbus::trace::Entry> m_entries;
    QVector<int> m_shown;
    qint64 m_startNs = 0;
    QString m_command;
    int m_station = kAnyStation;
    int m_result = kAnyResult;
};
