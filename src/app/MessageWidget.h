#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class MessageLog;

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
        QString code = QString(); // language-neutral (ResultCodes.h); kept beside the text
    };

    void appendMessage(int level, const QString &source, const QString &text, const QString &code = QString());
    void appendMessages(const QList<Line> &lines, const QString &source);
    int count() const;
    // "level|source|text" of line i, for tests and the log.
    QString lineText(int i) const;
    // The language-neutral code of line i; empty for a line without one.
    QString lineCode(int i) const;
    static QString levelText(int level);

    // Every line from now on also goes to the daily log file of the user's
    // data folder (folder: another one, for tests), with the adapter's serial.
    void keepLog(const QString &serial, const QString &folder = QString());
    // Today's log file; empty while no log is kept.
    QString logFile() const;
    // "导出消息": the list as it stands as CSV; empty on success, else why not.
    QString exportCsv(const QString &path) const;

public slots:
    void clearMessages();
    // Asks where, then exports.
    void onExportMessages();

signals:
    void sigOpenAllOut(bool on);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::MessageWidget *ui;
    bool m_scrollPending = false;
    std::unique_ptr<MessageLog> m_log;
};
