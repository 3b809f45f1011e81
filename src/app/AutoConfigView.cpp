#include "AutoConfigView.h"

#include "FormTexts.h"

#include "ResultMessages.h"
#include "ui_AutoConfigView.h"

AutoConfigView::AutoConfigView(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AutoConfigView)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
}

AutoConfigView::~AutoConfigView()
{
    delete ui;
}

void AutoConfigView::setTotals(quint16 inputBits, quint16 outputBits)
{
    ui->lineEdit->setText(QString::number(inputBits));
    ui->lineEdit_2->setText(QString::number(outputBits));
    ui->label_5->setText(appcore::allocationWarning(inputBits, outputBits));
}

QString AutoConfigView::inputText() const
{
    return ui->lineEdit->text();
}

QString AutoConfigView::outputText() const
{
    return ui->lineEdit_2->text();
}

QString AutoConfigView::warningText() const
{
    return ui->label_5->text();
}

void AutoConfigView::on_pushButton_clicked()
{
    emit sigAutoConfigAdd();
    accept();
}

void AutoConfigView::on_pushButton_2_clicked()
{
    reject();
}

void AutoConfigView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label_5, ui->lineEdit, ui->lineEdit_2}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
