#include "CompareRowsModel.h"

#include <QFont>

using namespace appcore::Compare;

namespace {

const QString kNone = QStringLiteral("-");

QString both(const FieldValue &value)
{
    return value.differs ? QStringLiteral("%1 / %2").arg(value.configured, value.bus) : value.configured;
}

Field fieldOfColumn(int column)
{
    switch (column) {
    case CompareRowsModel::StationColumn:
        return Field::Station;
    case CompareRowsModel::TypeColumn:
        return Field::Type;
    case CompareRowsModel::InputStartColumn:
        return Field::InputStart;
    case CompareRowsModel::InputChannelsColumn:
        return Field::InputChannels;
    case CompareRowsModel::OutputStartColumn:
        return Field::OutputStart;
    case CompareRowsModel::OutputChannelsColumn:
        return Field::OutputChannels;
    default:
        return Field::Parameter;
    }
}

// The area fields of a module on one side alone.
QString areaField(const Module &module, int column)
{
    if (!module.described)
        return kNone;
    const bool input = column == CompareRowsModel::InputStartColumn || column == CompareRowsModel::InputChannelsColumn;
    const Area &area = input ? module.inputs : module.outputs;
    if (!area.present)
        return kNone;
    const bool start = column == CompareRowsModel::InputStartColumn || column == CompareRowsModel::OutputStartColumn;
    if (!area.held)
        return start ? kNone : QStringLiteral("0");
    return QString::number(start ? area.start : area.channels);
}

} // namespace

QColor CompareRowsModel::kindColor(Kind kind)
{
    switch (kind) {
    case Kind::Same:
        return QColor(232, 245, 233);
    case Kind::Differs:
        return QColor(255, 243, 205);
    case Kind::Missing:
        return QColor(253, 224, 222);
    case Kind::Extra:
        return QColor(222, 238, 252);
    case Kind::TypeMismatch:
        return QColor(240, 226, 246);
    case Kind::Ambiguous:
        return QColor(232, 234, 237);
    }
    return QColor(Qt::white);
}

QColor CompareRowsModel::differingColor()
{
    return QColor(255, 202, 40);
}

CompareRowsModel::CompareRowsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CompareRowsModel::setResult(const Result &result)
{
    beginResetModel();
    m_result = result;
    m_checked.clear();
    rebuildVisible();
    endResetModel();
    emit checkedChanged();
}

void CompareRowsModel::setOutcomes(const QHash<quint64, WriteOutcome> &outcomes)
{
    m_outcomes = outcomes;
    if (rowCount() > 0)
        emit dataChanged(index(0, NoteColumn), index(rowCount() - 1, NoteColumn));
}

void CompareRowsModel::setOnlyDifferences(bool only)
{
    if (only == m_onlyDifferences)
        return;
    beginResetModel();
    m_onlyDifferences = only;
    rebuildVisible();
    endResetModel();
}

void CompareRowsModel::rebuildVisible()
{
    m_visible.clear();
    for (int i = 0; i < m_result.rows.size(); ++i) {
        if (!m_onlyDifferences || m_result.rows.at(i).hasDifferences())
            m_visible << i;
    }
}

QList<int> CompareRowsModel::checkedRows() const
{
    QList<int> rows = m_checked.values();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CompareRowsModel::checkAllWritable(bool checked)
{
    m_checked.clear();
    if (checked) {
        for (int i = 0; i < m_result.rows.size(); ++i) {
            if (isWritable(m_result, m_result.rows.at(i)))
                m_checked.insert(i);
        }
    }
    if (rowCount() > 0)
        emit dataChanged(index(0, KindColumn), index(rowCount() - 1, KindColumn), {Qt::CheckStateRole});
    emit checkedChanged();
}

int CompareRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_visible.size();
}

int CompareRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

quint64 CompareRowsModel::busRecord(const Row &row) const
{
    if (row.bus.size() != 1)
        return 0;
    const Module &module = m_result.busModule(row);
    return module.slave ? module.slave->recordId : 0;
}

const FieldValue *CompareRowsModel::fieldOf(const Row &row, int column) const
{
    if (column == ParametersColumn || column < StationColumn || column > OutputChannelsColumn || column == UidColumn)
        return nullptr;
    return row.field(fieldOfColumn(column));
}

QString CompareRowsModel::noteOf(int resultRow) const
{
    return resultRow >= 0 && resultRow < m_result.rows.size() ? noteText(m_result.rows.at(resultRow)) : QString();
}

QString CompareRowsModel::noteText(const Row &row) const
{
    QString note;
    switch (row.kind) {
    case Kind::Missing:
        note = tr("总线上没有此模块");
        break;
    case Kind::Extra:
        note = tr("组态中没有此模块");
        break;
    case Kind::TypeMismatch:
        note = tr("类型不同,不能写入");
        break;
    case Kind::Ambiguous:
        note = ambiguityText(row, m_result);
        break;
    case Kind::Differs:
        if (!isWritable(m_result, row))
            note = tr("模块没有自己的描述,不能写入");
        break;
    case Kind::Same:
        break;
    }
    const auto outcome = m_outcomes.constFind(busRecord(row));
    if (busRecord(row) != 0 && outcome != m_outcomes.cend()) {
        const QString last = outcome->ok() ? tr("已写入") : tr("写入失败: %1").arg(outcome->text);
        note = note.isEmpty() ? last : note + QLatin1String("; ") + last;
    }
    return note;
}

QString CompareRowsModel::cellText(int resultRow, int column) const
{
    if (resultRow < 0 || resultRow >= m_result.rows.size())
        return QString();
    const Row &row = m_result.rows.at(resultRow);
    const Module *configured = row.configured.isEmpty() ? nullptr : &m_result.configuredModule(row);
    const Module *bus = row.bus.isEmpty() ? nullptr : &m_result.busModule(row);
    const Module *subject = configured ? configured : bus;
    switch (column) {
    case KindColumn:
        return kindName(row.kind);
    case LineColumn: {
        QStringList lines;
        for (int i : row.configured) {
            const int line = m_result.configuration.modules.at(i).line;
            if (line > 0)
                lines << QString::number(line);
        }
        return lines.isEmpty() ? kNone : lines.join(QLatin1Char(','));
    }
    case UidColumn:
        if (row.kind == Kind::Ambiguous)
            return kNone;
        return uidText(configured && !configured->uid.isEmpty() ? configured->uid : subject->uid);
    case ParametersColumn: {
        QStringList parts;
        for (const FieldValue &v : row.fields) {
            if (v.field == Field::Parameter && v.differs)
                parts << QStringLiteral("%1: %2 / %3").arg(v.name, v.configured, v.bus);
        }
        return parts.join(QLatin1String("; "));
    }
    case NoteColumn:
        return noteText(row);
    default:
        break;
    }
    if (const FieldValue *value = fieldOf(row, column)) {
        // The adapter's own module is named by station 0 and its type.
        if (column == StationColumn && bus && bus->local && !value->differs)
            return tr("本地");
        return both(*value);
    }
    if (row.kind == Kind::Ambiguous) {
        if (column == StationColumn)
            return row.station == 0 ? kNone : QString::number(row.station);
        if (column == TypeColumn)
            return subject->typeName;
        return kNone;
    }
    if (column == StationColumn) {
        if (subject->local)
            return tr("本地");
        return subject->station == 0 ? kNone : QString::number(subject->station);
    }
    if (column == TypeColumn)
        return subject->typeName;
    // A module on one side alone, or a field not compared (another type).
    if (row.kind == Kind::Missing || row.kind == Kind::Extra)
        return areaField(*subject, column);
    return kNone;
}

bool CompareRowsModel::cellDiffers(int resultRow, int column) const
{
    if (resultRow < 0 || resultRow >= m_result.rows.size())
        return false;
    const Row &row = m_result.rows.at(resultRow);
    if (column == ParametersColumn) {
        for (const FieldValue &v : row.fields) {
            if (v.field == Field::Parameter && v.differs)
                return true;
        }
        return false;
    }
    const FieldValue *value = fieldOf(row, column);
    return value && value->differs;
}

QString CompareRowsModel::headerText(int column) const
{
    switch (column) {
    case KindColumn:
        return tr("结果");
    case LineColumn:
        return tr("行");
    case StationColumn:
        return tr("从站站号");
    case TypeColumn:
        return tr("设备类型");
    case UidColumn:
        return tr("设备UID");
    case InputStartColumn:
        return tr("输入起始地址");
    case InputChannelsColumn:
        return tr("输入通道长度");
    case OutputStartColumn:
        return tr("输出起始地址");
    case OutputChannelsColumn:
        return tr("输出通道长度");
    case ParametersColumn:
        return tr("参数");
    case NoteColumn:
        return tr("说明");
    default:
        return QString();
    }
}

QVariant CompareRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_visible.size())
        return QVariant();
    const int resultRow = m_visible.at(index.row());
    const Row &row = m_result.rows.at(resultRow);
    switch (role) {
    case Qt::DisplayRole:
        return cellText(resultRow, index.column());
    case Qt::ToolTipRole:
        if (index.column() == NoteColumn || index.column() == ParametersColumn)
            return cellText(resultRow, index.column());
        return cellDiffers(resultRow, index.column()) ? tr("组态值 / 总线值") : QVariant();
    case Qt::BackgroundRole:
        return cellDiffers(resultRow, index.column()) ? differingColor() : kindColor(row.kind);
    case Qt::FontRole:
        if (cellDiffers(resultRow, index.column()) || index.column() == KindColumn) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (index.column() == NoteColumn) {
            const auto outcome = m_outcomes.constFind(busRecord(row));
            if (outcome != m_outcomes.cend() && !outcome->ok())
                return QColor(198, 40, 40);
        }
        return QVariant();
    case Qt::CheckStateRole:
        if (index.column() == KindColumn && isWritable(m_result, row))
            return m_checked.contains(resultRow) ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    default:
        return QVariant();
    }
}

bool CompareRowsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != KindColumn)
        return false;
    const int resultRow = m_visible.value(index.row(), -1);
    if (resultRow < 0 || !isWritable(m_result, m_result.rows.at(resultRow)))
        return false;
    if (value.toInt() == Qt::Checked)
        m_checked.insert(resultRow);
    else
        m_checked.remove(resultRow);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit checkedChanged();
    return true;
}

Qt::ItemFlags CompareRowsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return f;
    const int resultRow = m_visible.value(index.row(), -1);
    if (index.column() == KindColumn && resultRow >= 0 && isWritable(m_result, m_result.rows.at(resultRow)))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant CompareRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The long names on two lines, so that the notes have room.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        QString text = headerText(section);
        // Words break at the space nearest the middle; Chinese after two characters.
        const int middle = text.size() / 2;
        const int before = text.lastIndexOf(QLatin1Char(' '), middle);
        const int after = text.indexOf(QLatin1Char(' '), middle);
        const int space = before < 0 ? after : (after < 0 || middle - before <= after - middle ? before : after);
        if (space >= 0)
            return text.replace(space, 1, QLatin1Char('\n'));
        constexpr int kLineLength = 2;
        const bool wide = text.size() > 2 * kLineLength && text.at(0).unicode() >= 0x2E80;
        return wide ? text.left(kLineLength) + QLatin1Char('\n') + text.mid(kLineLength) : text;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}
