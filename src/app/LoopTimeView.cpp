#include "LoopTimeView.h"

#include "FormTexts.h"

#include "ui_LoopTimeView.h"

namespace {
// The constants of the estimate, in the precision they are specified in.
constexpr float kBase = 2.5f;
constexpr float kStepPerByte = 0.3f;
constexpr unsigned kFewestBits = 32;
constexpr int kSignificantDigits = 6;
} // namespace

LoopTimeView::LoopTimeView(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LoopTimeView)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

LoopTimeView::~LoopTimeView()
{
    delete ui;
}

QString LoopTimeView::cycleTime(const QString &bitsInUse)
{
    bool ok = false;
    unsigned bits = bitsInUse.trimmed().toUInt(&ok);
    if (!ok || bits < kFewestBits)
        bits = kFewestBits;
    const long long steps = static_cast<long long>(bits / 8) - 3;
    const long double time = 2.0L * (static_cast<long double>(kBase) + static_cast<long double>(kStepPerByte) * steps);
    return QString::number(double(time), 'g', kSignificantDigits);
}

void LoopTimeView::fill(quint32 bitsInUse)
{
    ui->lineEdit->setText(QString::number(bitsInUse >> 16));
    ui->lineEdit_2->setText(QString::number(bitsInUse & 0xFFFF));
    on_pushButton_clicked();
    on_pushButton_2_clicked();
}

QString LoopTimeView::inputResult() const
{
    return ui->label_2->text();
}

QString LoopTimeView::outputResult() const
{
    return ui->label_5->text();
}

void LoopTimeView::on_pushButton_clicked()
{
    ui->label_2->setText(cycleTime(ui->lineEdit->text()));
}

void LoopTimeView::on_pushButton_2_clicked()
{
    ui->label_5->setText(cycleTime(ui->lineEdit_2->text()));
}

void LoopTimeView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label_2, ui->label_5, ui->lineEdit, ui->lineEdit_2}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
