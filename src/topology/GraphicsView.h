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

public slots:
    // A pointing hand over a module picture, the arrow elsewhere
    // (SVGManagement::sigHoverEnterEvent).
    void onHoverEnterEvent(bool entered);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_panning = false;
    QPointF m_panOrigin; // the scene point at the viewport centre when the press began
    QPointF m_pressPos;  // where the press began, in viewport pixels
};
