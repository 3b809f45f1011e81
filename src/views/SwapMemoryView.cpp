#include "SwapMemoryView.h"

#include "AddressConflicts.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kMargin = 6;
constexpr int kTitleHeight = 20;
constexpr int kLabelWidth = 32;
constexpr int kLabelPixels = 11; // the row labels' text
constexpr int kByteGap = 2;
constexpr int kMinCell = 8;
constexpr int kMaxCell = 18;
constexpr int kRows = SwapMemoryView::kBits / SwapMemoryView::kColumns;
constexpr int kLegendHeight = 22;

const QColor kFreeColor(0xEC, 0xEF, 0xF1);
const QColor kUsedColor(0x64, 0xB5, 0xF6);
const QColor kCollisionColor(0xE5, 0x39, 0x35);
const QColor kSelectedColor(0xFF, 0xB3, 0x00);
const QColor kGridLine(0xB0, 0xBE, 0xC5);
const QColor kText(0x37, 0x47, 0x4F);

QColor colorOf(SwapMemoryView::Cell cell)
{
    switch (cell) {
    case SwapMemoryView::Cell::Used:
        return kUsedColor;
    case SwapMemoryView::Cell::Collision:
    case SwapMemoryView::Cell::SelectedCollision:
        return kCollisionColor;
    case SwapMemoryView::Cell::Selected:
        return kSelectedColor;
    case SwapMemoryView::Cell::Free:
        break;
    }
    return kFreeColor;
}

// Cell x offset of a column: a small gap between the bytes of a row.
int columnOffset(int column, int cell)
{
    return column * cell + (column / 8) * kByteGap;
}

} // namespace

SwapMemoryView::SwapMemoryView(QWidget *parent)
    : QWidget(parent)
    , m_counts(2 * kBits, 0)
    , m_selected(2 * kBits, false)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void SwapMemoryView::setSlaves(const SlaveList &slaves)
{
    m_slaves = slaves;
    recount();
}

void SwapMemoryView::setHighlight(quint64 recordId)
{
    if (recordId != m_highlight)
        m_hasPreview[0] = m_hasPreview[1] = false;
    m_highlight = recordId;
    recount();
}

void SwapMemoryView::setPreview(bool input, int start, int bits)
{
    m_hasPreview[input ? 0 : 1] = true;
    m_preview[input ? 0 : 1] = Area{start, bits};
    recount();
}

void SwapMemoryView::clearPreview()
{
    m_hasPreview[0] = m_hasPreview[1] = false;
    recount();
}

SwapMemoryView::Area SwapMemoryView::areaOf(const SlaveState &slave, bool input) const
{
    const int side = input ? 0 : 1;
    if (slave.recordId == m_highlight && m_hasPreview[side])
        return m_preview[side];
    return input ? Area{slave.ioWindow.inputStart, slave.ioWindow.inputBits}
                 : Area{slave.ioWindow.outputStart, slave.ioWindow.outputBits};
}

void SwapMemoryView::recount()
{
    m_counts.fill(0);
    m_selected.fill(false);
    for (const SlaveSnapshot &slave : qAsConst(m_slaves)) {
        for (const bool input : {true, false}) {
            const Area area = areaOf(*slave, input);
            const int base = input ? 0 : kBits;
            // An area running past the image counts up to its end only.
            for (int bit = std::max(0, area.start); bit < area.start + area.bits && bit < kBits; ++bit) {
                quint8 &counter = m_counts[base + bit];
                if (counter < 0xFF)
                    ++counter;
                if (slave->recordId == m_highlight)
                    m_selected[base + bit] = true;
            }
        }
    }
    update();
}

SwapMemoryView::Cell SwapMemoryView::cell(bool input, int bit) const
{
    if (bit < 0 || bit >= kBits)
        return Cell::Free;
    const int at = (input ? 0 : kBits) + bit;
    const int count = m_counts.at(at);
    if (m_selected.at(at))
        return count > 1 ? Cell::SelectedCollision : Cell::Selected;
    if (count > 1)
        return Cell::Collision;
    return count == 1 ? Cell::Used : Cell::Free;
}

int SwapMemoryView::usedBits(bool input) const
{
    const appcore::BitsInUse bits = appcore::bitsInUse(m_slaves);
    return input ? bits.input : bits.output;
}

int SwapMemoryView::collidingBits(bool input) const
{
    const auto begin = m_counts.cbegin() + (input ? 0 : kBits);
    return int(std::count_if(begin, begin + kBits, [](quint8 c) { return c > 1; }));
}

QString SwapMemoryView::cellToolTip(bool input, int bit) const
{
    QStringList lines;
    lines << (input ? tr("输入 位 %1 (字节 %2.%3)") : tr("输出 位 %1 (字节 %2.%3)")).arg(bit).arg(bit / 8).arg(bit % 8);
    for (const SlaveSnapshot &slave : m_slaves) {
        const Area area = areaOf(*slave, input);
        if (bit < area.start || bit >= area.start + area.bits)
            continue;
        const QString station = slave->stationId ? QString::number(slave->stationId) : tr("未设定");
        lines << tr("站号 %1  %2  (%3..%4)").arg(station, slave->typeName).arg(area.start).arg(area.start + area.bits - 1);
    }
    if (lines.size() == 1)
        lines << tr("空闲");
    else if (lines.size() > 2)
        lines << tr("地址冲突!");
    return lines.join(QLatin1Char('\n'));
}

// The grids one above the other or side by side, whichever gives the
// larger cells; the cells stay between kMinCell and kMaxCell pixels.
SwapMemoryView::Geometry SwapMemoryView::geometry() const
{
    const int gaps = (kColumns / 8 - 1) * kByteGap;
    const int gridSpan = kLabelWidth + gaps; // what a grid needs besides its cells
    const int freeHeight = height() - 2 * kMargin - kLegendHeight;
    const int stackedCell = std::min((width() - 2 * kMargin - gridSpan) / kColumns,
                                     (freeHeight - 2 * kTitleHeight - kMargin) / (2 * kRows));
    const int sideCell = std::min((width() - 3 * kMargin - 2 * gridSpan) / (2 * kColumns),
                                  (freeHeight - kTitleHeight) / kRows);
    Geometry g;
    const bool side = sideCell > stackedCell;
    g.cell = qBound(kMinCell, side ? sideCell : stackedCell, kMaxCell);
    const int gridWidth = columnOffset(kColumns - 1, g.cell) + g.cell;
    const int gridHeight = kRows * g.cell;
    int left = kMargin + kLabelWidth;
    int top = kMargin;
    for (int grid = 0; grid < 2; ++grid) {
        g.titleLeft[grid] = left - kLabelWidth;
        g.titleWidth[grid] = kLabelWidth + gridWidth;
        g.titleTop[grid] = top;
        g.grid[grid] = QRect(left, top + kTitleHeight, gridWidth, gridHeight);
        if (side)
            left += gridWidth + kMargin + kLabelWidth + kMargin;
        else
            top += kTitleHeight + gridHeight + kMargin;
    }
    g.left = kMargin + kLabelWidth;
    g.legendTop = side ? kMargin + kTitleHeight + gridHeight + kMargin : top;
    return g;
}

// The grids one above the other, at a readable and at the least cell size.
QSize SwapMemoryView::sizeHint() const
{
    return stackedSize(11);
}

QSize SwapMemoryView::minimumSizeHint() const
{
    return stackedSize(kMinCell);
}

QSize SwapMemoryView::stackedSize(int cell)
{
    const int w = 2 * kMargin + kLabelWidth + columnOffset(kColumns - 1, cell) + cell;
    const int h = 2 * kMargin + 2 * (kTitleHeight + kRows * cell + kMargin) + kLegendHeight;
    return {w, h};
}

bool SwapMemoryView::bitAt(const QPoint &pos, bool &input, int &bit) const
{
    const Geometry g = geometry();
    for (int side = 0; side < 2; ++side) {
        if (!g.grid[side].contains(pos))
            continue;
        const int row = (pos.y() - g.grid[side].top()) / g.cell;
        for (int column = 0; column < kColumns; ++column) {
            const int x = g.grid[side].left() + columnOffset(column, g.cell);
            if (pos.x() >= x && pos.x() < x + g.cell) {
                input = side == 0;
                bit = row * kColumns + column;
                return bit < kBits;
            }
        }
    }
    return false;
}

bool SwapMemoryView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        bool input = true;
        int bit = 0;
        if (bitAt(help->pos(), input, bit))
            QToolTip::showText(help->globalPos(), cellToolTip(input, bit), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void SwapMemoryView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Geometry g = geometry();
    // Row labels in a readable size whatever the cells: where the cells are
    // smaller than the text, every second or fourth row is named.
    QFont small = font();
    small.setPixelSize(kLabelPixels);
    const int labelHeight = QFontMetrics(small).height();
    const int labelStep = g.cell >= labelHeight ? 1 : (2 * g.cell >= labelHeight ? 2 : 4);
    for (int side = 0; side < 2; ++side) {
        const bool input = side == 0;
        const int used = usedBits(input);
        const int colliding = collidingBits(input);
        QString title = (input ? tr("输入映像") : tr("输出映像")) + tr("  已用 %1 / %2 位").arg(used).arg(kBits);
        painter.setPen(kText);
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        const QRect titleRect(g.titleLeft[side], g.titleTop[side], g.titleWidth[side], kTitleHeight);
        painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title);
        if (colliding > 0) {
            painter.setPen(kCollisionColor);
            painter.drawText(titleRect, Qt::AlignRight | Qt::AlignVCenter, tr("冲突 %1 位").arg(colliding));
        }
        painter.setFont(small);
        const QRect grid = g.grid[side];
        for (int row = 0; row < kRows; ++row) {
            painter.setPen(kText);
            if (row % labelStep == 0) {
                const int middle = grid.top() + row * g.cell + g.cell / 2;
                painter.drawText(QRect(grid.left() - kLabelWidth, middle - labelHeight / 2, kLabelWidth - 4, labelHeight),
                                 Qt::AlignRight | Qt::AlignVCenter, QString::number(row * kColumns));
            }
            for (int column = 0; column < kColumns; ++column) {
                const Cell state = cell(input, row * kColumns + column);
                const QRect r(grid.left() + columnOffset(column, g.cell), grid.top() + row * g.cell, g.cell - 1, g.cell - 1);
                painter.fillRect(r, colorOf(state));
                if (state == Cell::SelectedCollision) {
                    painter.setPen(QPen(kSelectedColor, 2));
                    painter.drawRect(r.adjusted(1, 1, -1, -1));
                } else {
                    painter.setPen(kGridLine);
                    painter.drawRect(r);
                }
            }
        }
    }
    // The legend.
    painter.setFont(font());
    int x = g.left;
    const struct {
        Cell cell;
        QString text;
    } entries[] = {{Cell::Free, tr("空闲")}, {Cell::Used, tr("已占用")}, {Cell::Collision, tr("冲突")},
                   {Cell::Selected, tr("当前从站")}};
    for (const auto &entry : entries) {
        const QRect swatch(x, g.legendTop + 5, 12, 12);
        painter.fillRect(swatch, colorOf(entry.cell));
        painter.setPen(kGridLine);
        painter.drawRect(swatch);
        painter.setPen(kText);
        const int textWidth = painter.fontMetrics().horizontalAdvance(entry.text);
        painter.drawText(QRect(x + 16, g.legendTop, textWidth + 4, kLegendHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         entry.text);
        x += 16 + textWidth + 16;
    }
}
