#pragma once

#include <QDialog>

#include <array>

namespace Ui {
class FaultView;
}

// The fault dialog of one slave ("从站故障"): its six fault bits, each as
// "正常" or "异常" with an image.
class FaultView : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kRows = 6;

    explicit FaultView(QWidget *parent = nullptr);
    ~FaultView() override;

    // Fault bits 0 to 5 of the slave, in row order.
    void setFaults(const std::array<int, kRows> &faults);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::FaultView *ui;
};
