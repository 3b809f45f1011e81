#pragma once

#include <QDialog>

namespace Ui {
class LoopTimeView;
}

// Estimates the bus cycle time from the process-image bits in use, once for
// the inputs and once for the outputs ("循环时间计算").
class LoopTimeView : public QDialog
{
    Q_OBJECT

public:
    explicit LoopTimeView(QWidget *parent = nullptr);
    ~LoopTimeView() override;

    // The cycle time for the bits in use written as text (not a number: 0),
    // as the result label shows it.
    static QString cycleTime(const QString &bitsInUse);

    // High 16 bits: the input bits in use; low 16 bits: the output bits.
    // Both groups are computed.
    void fill(quint32 bitsInUse);

    QString inputResult() const;
    QString outputResult() const;

public slots:
    void on_pushButton_clicked();   // inputs
    void on_pushButton_2_clicked(); // outputs

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::LoopTimeView *ui;
};
