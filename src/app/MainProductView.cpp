#include "MainProductView.h"

#include "FormTexts.h"

#include "AdapterInfoView.h"
#include "AdapterSettingsView.h"
#include "MessageWidget.h"
#include "SlaveInfoView.h"
#include "SlaveMainWindow.h"
#include "SwapMemoryView.h"
#include "ui_MainProductView.h"

#include <QEvent>
#include <QGraphicsView>

MainProductView::MainProductView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MainProductView)
{
    ui->setupUi(this);
    ui->mainSplitter->setStretchFactor(0, 3);
    ui->mainSplitter->setStretchFactor(1, 5);
    ui->mainSplitter->setStretchFactor(2, 2);
    ui->mainSplitter->setSizes({330, 460, 150});
    ui->middleSplitter->setStretchFactor(0, 2);
    ui->middleSplitter->setStretchFactor(1, 5);
    ui->stackedWidget->setMinimumWidth(420);
}

MainProductView::~MainProductView()
{
    delete ui;
}

SlaveMainWindow *MainProductView::slaveWindow() const
{
    return ui->slaveWindow;
}

MessageWidget *MainProductView::messageWidget() const
{
    return ui->messageWidget;
}

void MainProductView::setTopologyView(QGraphicsView *view)
{
    if (m_topology)
        m_topology->deleteLater();
    m_topology = view;
    ui->topologyLayout->addWidget(view);
}

int MainProductView::currentPage() const
{
    return ui->stackedWidget->currentIndex();
}

void MainProductView::showPage(Page page)
{
    ui->stackedWidget->setCurrentIndex(page);
}

void MainProductView::showAdapter(const AdapterState &state, const AdapterStatus &status, quint16 inputUsed,
                                  quint16 outputUsed, bool offline, const SlaveList &slaves)
{
    ui->adapterInfo->showAdapter(state, status, inputUsed, outputUsed, offline);
    ui->adapterSettings->showState(state, offline);
    ui->memoryView->setSlaves(slaves);
}

void MainProductView::showSlave(const SlaveSnapshot &slave, const SlaveList &slaves)
{
    ui->slaveTitle->setText(slave ? tr("从站信息") + QStringLiteral(" — ") + slave->typeName : tr("从站信息"));
    ui->slaveInfo->setSlave(slave, slaves);
}

SlaveInfoView *MainProductView::editor() const
{
    return ui->slaveInfo;
}

AdapterInfoView *MainProductView::adapterInfo() const
{
    return ui->adapterInfo;
}

AdapterSettingsView *MainProductView::adapterSettings() const
{
    return ui->adapterSettings;
}

SwapMemoryView *MainProductView::memoryView() const
{
    return ui->memoryView;
}

QStringList MainProductView::slavePageRows() const
{
    return ui->slaveInfo->basicRows();
}

QStringList MainProductView::adapterPageRows() const
{
    return ui->adapterInfo->rows();
}

void MainProductView::clearPage()
{
    ui->slaveWindow->clearSlaves();
    ui->slaveInfo->clear();
    showPage(AdapterPage);
}

void MainProductView::showForceBar(const QString &text)
{
    ui->forceBar->setText(text);
    ui->forceBar->setVisible(!text.isEmpty());
}

QString MainProductView::forceBarText() const
{
    return ui->forceBar->isVisible() ? ui->forceBar->text() : QString();
}

void MainProductView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->forceBar, ui->slaveTitle}, false, [this] { ui->retranslateUi(this); });
    QWidget::changeEvent(event);
}
