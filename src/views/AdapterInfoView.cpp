#include "AdapterInfoView.h"

#include <QEvent>
#include <QHeaderView>

namespace {

constexpr int kSectionRole = Qt::UserRole + 1;
const QColor kSectionBackground(0xE3, 0xEA, 0xEE);
const QColor kBadColor(221, 34, 34);
const QColor kGoodColor(0, 120, 88);

QString infoValue(const AdapterInfoItem &item)
{
    switch (item.kind) {
    case AdapterInfoItem::Choice:
        return item.options.value(item.value, QString::number(item.value));
    case AdapterInfoItem::Number:
        return QString::number(item.value);
    default:
        return item.text;
    }
}

} // namespace

AdapterInfoView::AdapterInfoView(QWidget *parent)
    : QTableWidget(parent)
{
    setColumnCount(2);
    setHeaderTexts();
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(24);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setAlternatingRowColors(true);
}

void AdapterInfoView::addSection(const QString &title)
{
    m_lines.append(Line{true, title, QString(), QColor()});
}

void AdapterInfoView::addRow(const QString &label, const QString &value, const QColor &color)
{
    m_lines.append(Line{false, label, value, color});
}

// The table is drawn again only when something in it changed: the adapter
// reports many times a second in force mode.
void AdapterInfoView::redraw()
{
    if (m_lines == m_shown)
        return;
    m_shown = m_lines;
    clearSpans();
    setRowCount(0);
    QFont bold = font();
    bold.setBold(true);
    for (const Line &line : qAsConst(m_lines)) {
        const int r = rowCount();
        insertRow(r);
        auto *label = new QTableWidgetItem(line.label);
        setItem(r, 0, label);
        if (line.section) {
            label->setFont(bold);
            label->setBackground(kSectionBackground);
            label->setData(kSectionRole, true);
            setSpan(r, 0, 1, 2);
            continue;
        }
        auto *cell = new QTableWidgetItem(line.value);
        if (line.color.isValid())
            cell->setForeground(line.color);
        setItem(r, 1, cell);
    }
}

void AdapterInfoView::showAdapter(const AdapterState &state, const AdapterStatus &status, quint16 inputUsed,
                                  quint16 outputUsed, bool offline)
{
    m_lines.clear();
    addSection(tr("标识"));
    addRow(tr("模式"), offline ? tr("离线组态") : (state.linked ? tr("在线") : tr("未链接")));
    if (!state.mac.isEmpty())
        addRow(QStringLiteral("MAC"), state.mac);
    QList<AdapterInfoItem> versions;
    QList<AdapterInfoItem> settings;
    for (const AdapterInfoItem &item : state.infoItems) {
        if (item.kind != AdapterInfoItem::Text)
            settings << item;
        else if (item.name.endsWith(QLatin1String("Version")))
            versions << item;
        else
            addRow(item.name, infoValue(item));
    }
    if (!versions.isEmpty()) {
        addSection(tr("版本"));
        for (const AdapterInfoItem &item : versions)
            addRow(item.name, infoValue(item));
    }
    if (!settings.isEmpty()) {
        addSection(tr("设置"));
        for (const AdapterInfoItem &item : settings)
            addRow(item.name, infoValue(item));
    }
    if (!offline) {
        addSection(tr("电源与状态"));
        addRow(tr("功率："), QString::number(status.power) + QStringLiteral(" W"));
        addRow(tr("温度："), QString::number(status.temperature) + QStringLiteral(" °C"));
        const auto flag = [this](const QString &label, int good) {
            addRow(label, good ? tr("正常") : tr("异常"), good ? kGoodColor : kBadColor);
        };
        flag(tr("总线电源："), status.status0);
        flag(tr("输入电源："), status.status1);
        flag(tr("通信状态："), status.status4);
        flag(tr("从站状态："), status.status2);
        addRow(tr("强制模式"), state.forceMode ? tr("开启") : tr("关闭"));
    }
    addSection(tr("过程映像"));
    const bool bytes = state.alignmentUnit == 8;
    const QString unit = bytes ? QStringLiteral("Byte") : QStringLiteral("Bit");
    const auto size = [&](quint16 bits) {
        return QString::number(bytes ? (bits + 7) / 8 : bits) + QLatin1Char(' ') + unit;
    };
    addRow(tr("对齐方式"), bytes ? tr("字节对齐") : tr("位对齐"));
    addRow(tr("输入占用"), size(inputUsed));
    addRow(tr("输出占用"), size(outputUsed));
    addRow(tr("从站数量："), QString::number(status.slaveCount));
    redraw();
}

QStringList AdapterInfoView::rows() const
{
    QStringList out;
    for (int r = 0; r < rowCount(); ++r) {
        const QTableWidgetItem *label = item(r, 0);
        if (!label || label->data(kSectionRole).toBool())
            continue;
        out << label->text() + QLatin1Char('|') + (item(r, 1) ? item(r, 1)->text() : QString());
    }
    return out;
}

QStringList AdapterInfoView::sections() const
{
    QStringList out;
    for (int r = 0; r < rowCount(); ++r) {
        if (const QTableWidgetItem *label = item(r, 0); label && label->data(kSectionRole).toBool())
            out << label->text();
    }
    return out;
}

void AdapterInfoView::setHeaderTexts()
{
    setHorizontalHeaderLabels({tr("项目"), tr("值")});
}

void AdapterInfoView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setHeaderTexts();
    QTableWidget::changeEvent(event);
}
