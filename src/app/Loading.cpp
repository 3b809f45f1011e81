#include "Loading.h"

#include "FormTexts.h"

#include "ui_Loading.h"

#include <QEvent>
#include <QCloseEvent>
#include <QTimer>

Loading::Loading(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Loading)
    , m_watchdog(new QTimer(this))
{
    ui->setupUi(this);
    setWindowOpacity(0.9);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->progressBar->setRange(0, kSteps);
    m_watchdog->setSingleShot(true);
    connect(m_watchdog, &QTimer::timeout, this, &Loading::onProcess);
}

Loading::~Loading()
{
    delete ui;
}

QString Loading::labelText() const
{
    return ui->label->text();
}

int Loading::progress() const
{
    return ui->progressBar->value();
}

bool Loading::watchdogRunning() const
{
    return m_watchdog->isActive();
}

void Loading::present(const QString &text, int watchdogMs)
{
    m_expired = false;
    ui->label->setText(text);
    m_watchdog->start(watchdogMs);
    if (!isVisible())
        show();
}

void Loading::showLading()
{
    present(tr("开始加载从站,请稍后！"), kWatchdogMs);
}

void Loading::setLoadNumber()
{
    ui->progressBar->setValue(std::min(kSteps, ui->progressBar->value() + 1));
    present(tr("正在加载第%1个从站,请稍后！").arg(ui->progressBar->value()), kWatchdogMs);
}

void Loading::setLoadNumber(int n)
{
    present(tr("TB数据准备中%1,请稍后！").arg(n), kPreparationWatchdogMs);
}

void Loading::setLoadConfigNumber()
{
    ui->progressBar->setValue(std::min(kSteps, ui->progressBar->value() + 1));
    present(tr("正在设置第%1个从站,请稍后！").arg(ui->progressBar->value()), kWatchdogMs);
}

void Loading::hideLading()
{
    m_watchdog->stop();
    ui->progressBar->setValue(0);
    hide();
}

void Loading::onProcess()
{
    m_watchdog->stop();
    m_expired = true;
    ui->label->setText(tr("加载数据超时，请检查设备！"));
    ui->progressBar->setValue(0);
}

void Loading::reject()
{
    // Escape does not close it.
}

void Loading::closeEvent(QCloseEvent *event)
{
    if (!m_expired) {
        event->ignore();
        return;
    }
    event->accept();
    ui->progressBar->setValue(0);
    hide();
}

void Loading::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
