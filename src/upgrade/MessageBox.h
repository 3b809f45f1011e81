#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The timed message box: modal, on top, with an icon and a word-wrapped
// text; it closes itself when its time-out has passed.
class MessageBox : public QDialog
{
    Q_OBJECT

public:
    enum Kind { Information, Warning };

    // The time-out runs from construction.
    MessageBox(QWidget *parent, int timeoutMs);

    // Sets title, text, icon and minimum width, then runs modally.
    int showMessage(const QString &title, const QString &text, Kind kind = Warning, int minimumWidth = 0);

    QString text() const;

private:
    QLabel *m_icon = nullptr;
    QLabel *m_text = nullptr;
    QTimer *m_timer = nullptr;
};
