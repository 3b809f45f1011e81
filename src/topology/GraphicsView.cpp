#include "GraphicsView.h"

#include "TopologyLog.h"

#include <QMouseEvent>
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
