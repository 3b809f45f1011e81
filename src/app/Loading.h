#pragma once

#include <QDialog>

class QTimer;

namespace Ui {
class Loading;
}

// The shared progress dialog of long adapter operations. It cannot be
// closed by the user until its watchdog has expired (the operation then
// counts as timed out).
class Loading : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kSteps = 128;
    static constexpr int kWatchdogMs = 10000;
    static constexpr int kPreparationWatchdogMs = 3000;

    explicit Loading(QWidget *parent = nullptr);
    ~Loading() override;

    QString labelText() const;
    int progress() const;
    bool watchdogRunning() const;
    bool expired() const { return m_expired; }

public slots:
    void onProcess();
    void showLading();
    void setLoadNumber();
    void setLoadNumber(int n);
    void setLoadConfigNumber();
    void hideLading();
    void reject() override;

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void present(const QString &text, int watchdogMs);

    Ui::Loading *ui;
    QTimer *m_watchdog;
    bool m_expired = false;
};
