#include "FaultView.h"

#include "ui_FaultView.h"

#include <QEvent>
#include <QPushButton>

FaultView::FaultView(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FaultView)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->buttonBox->button(QDialogButtonBox::Close)->setText(tr("关闭"));
}

FaultView::~FaultView()
{
    delete ui;
}

void FaultView::setFaults(const std::array<int, kRows> &faults)
{
    const std::array<std::pair<QLabel *, QLabel *>, kRows> rows = {{
        {ui->mPower, ui->mPowerImage},
        {ui->isolate, ui->isolateImage},
        {ui->show, ui->showImage},
        {ui->open, ui->openImage},
        {ui->config, ui->configImage},
        {ui->maintenance, ui->maintenanceImage},
    }};
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool fault = faults[i] != 0;
        rows[i].first->setText(fault ? tr("异常") : tr("正常"));
        rows[i].second->setStyleSheet(fault ? QStringLiteral("image: url(:/image/abnormal.png);")
                                            : QStringLiteral("image: url(:/image/online.png);"));
    }
}

void FaultView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
