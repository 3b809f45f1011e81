#pragma once

#include <QDialog>

namespace Ui {
class AutoConfigView;
}

// The confirmation of an automatic address allocation ("自动分配地址"):
// the input and output bits all modules would take, with a warning when a
// side exceeds the 512-bit image.
class AutoConfigView : public QDialog
{
    Q_OBJECT

public:
    explicit AutoConfigView(QWidget *parent = nullptr);
    ~AutoConfigView() override;

    void setTotals(quint16 inputBits, quint16 outputBits);

    QString inputText() const;
    QString outputText() const;
    QString warningText() const;

signals:
    void sigAutoConfigAdd();

public slots:
    void on_pushButton_clicked();   // "确认"
    void on_pushButton_2_clicked(); // "取消"

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::AutoConfigView *ui;
};
