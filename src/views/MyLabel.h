#pragma once

#include <QLabel>

// A label that works as a small button: a left click toggles its state and
// reports it; the pointer becomes a pointing hand over it.
class MyLabel : public QLabel
{
    Q_OBJECT

public:
    explicit MyLabel(QWidget *parent = nullptr);

    bool state() const { return m_state; }
    void setState(bool state) { m_state = state; }

signals:
    void sigDoubleClick(int);
    void sigClick(bool state);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;

private:
    bool m_state = false;
};
