#pragma once

#include "CompareWrite.h"
#include "ConfigCompare.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QSet>

// The rows of a comparison as the comparison dialog shows them: one line per
// row of the result, coloured by its kind, the differing fields highlighted
// and shown as "configured / bus", a check box on each row that can be
// written, and what became of the last write of each module. The same cell
// texts make the saved CSV and the printed report.
class CompareRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        KindColumn,
        LineColumn,
        StationColumn,
        TypeColumn,
        UidColumn,
        InputStartColumn,
        InputChannelsColumn,
        OutputStartColumn,
        OutputChannelsColumn,
        ParametersColumn,
        NoteColumn,
        ColumnCount
    };

    // The colour of a kind's rows and of a differing cell.
    static QColor kindColor(appcore::Compare::Kind kind);
    static QColor differingColor();

    explicit CompareRowsModel(QObject *parent = nullptr);

    // A new result; the rows checked before are dropped. What the last
    // writes did (by the bus module's record) stays shown.
    void setResult(const appcore::Compare::Result &result);
    const appcore::Compare::Result &result() const { return m_result; }
    void setOutcomes(const QHash<quint64, appcore::Compare::WriteOutcome> &outcomes);
    void setOnlyDifferences(bool only);
    bool onlyDifferences() const { return m_onlyDifferences; }

    // The result's row shown at a line of the table.
    int resultRow(int line) const { return m_visible.value(line, -1); }
    // The result's rows checked for writing, in result order.
    QList<int> checkedRows() const;
    // Checks every row that can be written (shown or not), or none.
    void checkAllWritable(bool checked);

    // What a cell says, and whether its field differs.
    QString cellText(int resultRow, int column) const;
    bool cellDiffers(int resultRow, int column) const;
    QString headerText(int column) const;
    // Why a row is as it is, and what its last write did.
    QString noteOf(int resultRow) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void checkedChanged();

private:
    void rebuildVisible();
    const appcore::Compare::FieldValue *fieldOf(const appcore::Compare::Row &row, int column) const;
    QString noteText(const appcore::Compare::Row &row) const;
    quint64 busRecord(const appcore::Compare::Row &row) const;

    appcore::Compare::Result m_result;
    QList<int> m_visible;
    QSet<int> m_checked;
    QHash<quint64, appcore::Compare::WriteOutcome> m_outcomes;
    bool m_onlyDifferences = false;
};
