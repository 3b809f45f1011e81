#pragma once

#include <QGraphicsView>
#include <QPointF>

// The view of one adapter's topology: the wheel zooms, dragging pans (on
// the background and on pictures alike, after the picture has had the press).
class GraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    static constexpr qreal kZoomIn = 1.1;
    static constexpr qreal kZoomOut = 0.9;

    explicit GraphicsView(QWidget *parent = nullptr);

    using QGraphicsView::scale;
    // Both axes alike.
    void scale(qreal factor) { QGraphicsView::scale(factor, factor); }

    bool isPanning() const { return m_panning; }

    // The module shown in the editor, framed on the topology; 0 for none.
    // The frame follows its module through rebuilds and moves.
    void setMarkedRecord(quint64 recordId);
    quint64 markedRecord() const { return m_marked; }
    // Where the frame is, in scene coordinates; empty while none is shown.
    QRectF markedRect() const;

public slots:
    // A pointing hand over a module picture, the arrow elsewhere
    // (SVGManagement::sigHoverEnterEvent).
    void onHoverEnterEvent(bool entered);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    bool m_panning = false;
    QPointF m_panOrigin; // the scene point at the viewport centre when the press began
    QPointF m_pressPos;  // where the press began, in viewport pixels
    quint64 m_marked = 0;
};
