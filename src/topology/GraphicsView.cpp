#include "GraphicsView.h"

#include "CouplerScene.h"
#include "SvgDevice.h"
#include "TopologyLog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

GraphicsView::GraphicsView(QWidget *parent)
    : QGraphicsView(parent)
{
    setAcceptDrops(true);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    setBackgroundBrush(QColor(0xF4, 0xF6, 0xF7));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void GraphicsView::wheelEvent(QWheelEvent *event)
{
    scale(event->angleDelta().y() > 0 ? kZoomIn : kZoomOut);
    event->accept();
}

void GraphicsView::mousePressEvent(QMouseEvent *event)
{
    viewport()->setCursor(Qt::ClosedHandCursor);
    QGraphicsView::mousePressEvent(event);
    if (!scene()) {
        qCDebug(lcTopology) << "The scene is null";
        return;
    }
    m_panOrigin = mapToScene(viewport()->width() / 2, viewport()->height() / 2);
    m_pressPos = event->pos();
    m_panning = true;
}

void GraphicsView::mouseMoveEvent(QMouseEvent *event)
{
    QGraphicsView::mouseMoveEvent(event);
    if (!m_panning)
        return;
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    // The mouse travels in viewport pixels; at any zoom the picture follows
    // it when the travel is taken into scene units.
    const QPointF travel = QPointF(event->pos()) - m_pressPos;
    const qreal sx = transform().m11() != 0 ? transform().m11() : 1;
    const qreal sy = transform().m22() != 0 ? transform().m22() : 1;
    centerOn(m_panOrigin.x() - travel.x() / sx, m_panOrigin.y() - travel.y() / sy);
}

void GraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    viewport()->setCursor(Qt::ArrowCursor);
    QGraphicsView::mouseReleaseEvent(event);
    m_panning = false;
}

void GraphicsView::onHoverEnterEvent(bool entered)
{
    viewport()->setCursor(entered ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void GraphicsView::setMarkedRecord(quint64 recordId)
{
    if (m_marked == recordId)
        return;
    m_marked = recordId;
    viewport()->update();
    if (const QRectF marked = markedRect(); !marked.isEmpty())
        ensureVisible(marked, 20, 20);
}

QRectF GraphicsView::markedRect() const
{
    auto *coupler = qobject_cast<CouplerScene *>(scene());
    if (m_marked == 0 || !coupler)
        return QRectF();
    const SlaveGroup *group = coupler->slaveGroup(m_marked);
    if (!group || !group->module)
        return QRectF();
    constexpr qreal kFrameMargin = 4;
    return group->module->sceneBoundingRect().adjusted(-kFrameMargin, -kFrameMargin, kFrameMargin, kFrameMargin);
}

void GraphicsView::drawForeground(QPainter *painter, const QRectF &)
{
    const QRectF marked = markedRect();
    if (marked.isEmpty())
        return;
    painter->save();
    QPen pen(QColor(0x1E, 0x88, 0xE5));
    pen.setWidthF(3);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(marked, 4, 4);
    painter->restore();
}
