#pragma once

#include <QDialog>

namespace Ui {
class MessageBox;
}

// A modal notice that stays on top and closes itself after its time-out.
// It does not block the caller: the window keeps serving its adapters while
// the notice is up, and the notice deletes itself when it closes.
class MessageBox : public QDialog
{
    Q_OBJECT

public:
    // Progress: work that still runs, without the mark of a success.
    enum Kind { Information, Warning, Progress };
    static constexpr int kDefaultTimeoutMs = 10000;

    MessageBox(QWidget *parent, int timeoutMs = kDefaultTimeoutMs);
    ~MessageBox() override;

    void showMessage(const QString &title, const QString &text, Kind kind, int minimumWidth);

    QString text() const;
    Kind kind() const { return m_kind; }

    // Shows a timed notice; returns it (it deletes itself when closed).
    static MessageBox *notify(QWidget *parent, const QString &title, const QString &text, Kind kind, int minimumWidth,
                              int timeoutMs = kDefaultTimeoutMs);
    // A modal about-box without time-out ("提示" and the like).
    static MessageBox *about(QWidget *parent, const QString &title, const QString &text);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::MessageBox *ui;
    Kind m_kind = Information;
};
