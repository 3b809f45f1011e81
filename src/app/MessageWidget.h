#pragma once

#include <QList>
#include <QWidget>

namespace Ui {
class MessageWidget;
}

// The message list of one adapter page: level, source, text and time of
// every event worth keeping, newest last.
class MessageWidget : public QWidget
{
    Q_OBJECT

public:
    enum Level { None = 0, Error = 1, Waring = 2, Inform = 3 };
    static const QString kSource; // "TarnBUS"

    explicit MessageWidget(QWidget *parent = nullptr);
    ~MessageWidget() override;

    struct Line {
        int level;
        QString text;
    };

    void appendMessage(int level, const QString &source, const QString &text);
    void appendMessages(const QList<Line> &lines, const QString &source);
    int count() const;
    // "level|source|text" of line i, for tests and the log.
    QString lineText(int i) const;
    static QString levelText(int level);

public slots:
    void clearMessages();

signals:
    void sigOpenAllOut(bool on);

private:
    Ui::MessageWidget *ui;
    bool m_scrollPending = false;
};
