#include "MyLabel.h"

#include <QMouseEvent>

MyLabel::MyLabel(QWidget *parent)
    : QLabel(parent)
{
}

void MyLabel::mousePressEvent(QMouseEvent *event)
{
    // The press belongs to the label: the tile under it must not take it
    // as a press of its own.
    event->accept();
}

// A release of the left button over the label is the click; the right
// button is left to the context menu of what lies under the label.
void MyLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !rect().contains(event->pos()))
        return;
    m_state = !m_state;
    emit sigDoubleClick(1);
    emit sigClick(m_state);
}

void MyLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void MyLabel::enterEvent(QEvent *event)
{
    setCursor(Qt::PointingHandCursor);
    QLabel::enterEvent(event);
}
