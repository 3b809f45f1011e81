#include "MainProductView.h"

#include "MessageWidget.h"
#include "SlaveMainWindow.h"
#include "ui_MainProductView.h"

#include <QGraphicsView>
#include <QHeaderView>

namespace {

void fillRows(QTableWidget *table, const QList<QPair<QString, QString>> &rows)
{
    table->setRowCount(0);
    for (const auto &row : rows) {
        const int r = table->rowCount();
        table->insertRow(r);
        table->setItem(r, 0, new QTableWidgetItem(row.first));
        table->setItem(r, 1, new QTableWidgetItem(row.second));
    }
}

QStringList rowsOf(const QTableWidget *table)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r)
        out << table->item(r, 0)->text() + QLatin1Char('|') + table->item(r, 1)->text();
    return out;
}

QString infoValue(const AdapterInfoItem &item)
{
    switch (item.kind) {
    case AdapterInfoItem::Choice:
        return item.options.value(item.value);
    case AdapterInfoItem::Number:
        return QString::number(item.value);
    default:
        return item.text;
    }
}

} // namespace

MainProductView::MainProductView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MainProductView)
{
    ui->setupUi(this);
    for (QTableWidget *table : {ui->adapterInfo, ui->slaveInfo}) {
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        table->verticalHeader()->setDefaultSectionSize(24);
    }
    ui->mainSplitter->setStretchFactor(0, 3);
    ui->mainSplitter->setStretchFactor(1, 5);
    ui->mainSplitter->setStretchFactor(2, 2);
    ui->mainSplitter->setSizes({330, 460, 150});
    ui->middleSplitter->setStretchFactor(0, 2);
    ui->middleSplitter->setStretchFactor(1, 5);
    ui->stackedWidget->setMinimumWidth(340);
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
                                  quint16 outputUsed, bool offline)
{
    QList<QPair<QString, QString>> rows;
    rows << qMakePair(tr("模式"), offline ? tr("离线组态") : (state.linked ? tr("在线") : tr("未链接")));
    if (!state.mac.isEmpty())
        rows << qMakePair(QStringLiteral("MAC"), state.mac);
    for (const AdapterInfoItem &item : state.infoItems)
        rows << qMakePair(item.name, infoValue(item));
    const QString unit = state.alignmentUnit == 8 ? QStringLiteral("Byte") : QStringLiteral("Bit");
    const auto size = [&](quint16 bits) {
        return QString::number(state.alignmentUnit == 8 ? (bits + 7) / 8 : bits) + QLatin1Char(' ') + unit;
    };
    rows << qMakePair(tr("输入占用"), size(inputUsed)) << qMakePair(tr("输出占用"), size(outputUsed));
    rows << qMakePair(tr("从站数量："), QString::number(status.slaveCount));
    if (!offline) {
        rows << qMakePair(tr("功率："), QString::number(status.power) + QStringLiteral(" W"));
        rows << qMakePair(tr("温度："), QString::number(status.temperature) + QStringLiteral(" °C"));
    }
    fillRows(ui->adapterInfo, rows);
}

void MainProductView::showSlave(const SlaveSnapshot &slave, int alignmentUnit)
{
    if (!slave) {
        ui->slaveTitle->setText(tr("从站信息"));
        fillRows(ui->slaveInfo, {});
        return;
    }
    const Slave::IoWindow &w = slave->ioWindow;
    const bool bytes = alignmentUnit == 8;
    const QString unit = bytes ? QStringLiteral("Byte") : QStringLiteral("Bit");
    const auto address = [&](int bits) { return QString::number(bytes ? bits / 8 : bits); };
    const auto length = [&](int bits) { return QString::number(bytes ? (bits + 7) / 8 : bits) + QLatin1Char(' ') + unit; };
    const bool unset = slave->stationId == 0 && !slave->recordCarriesStation;
    ui->slaveTitle->setText(tr("从站信息") + QStringLiteral(" — ") + slave->typeName);
    fillRows(ui->slaveInfo, {
        qMakePair(tr("站号"), unset ? tr("未设定") : QString::number(slave->stationId)),
        qMakePair(tr("类型"), slave->typeName),
        qMakePair(QStringLiteral("Unique ID"), QString::fromLatin1(slave->uuid)),
        qMakePair(tr("类别"), slave->moduleClass),
        qMakePair(tr("输入起始地址"), w.inputBits ? address(w.inputStart) : QStringLiteral("-")),
        qMakePair(tr("输入长度"), length(w.inputBits)),
        qMakePair(tr("输出起始地址"), w.outputBits ? address(w.outputStart) : QStringLiteral("-")),
        qMakePair(tr("输出长度"), length(w.outputBits)),
        qMakePair(tr("状态"), slave->statusRun ? tr("在线") : tr("离线")),
    });
}

QStringList MainProductView::slavePageRows() const
{
    return rowsOf(ui->slaveInfo);
}

QStringList MainProductView::adapterPageRows() const
{
    return rowsOf(ui->adapterInfo);
}

void MainProductView::clearPage()
{
    ui->slaveWindow->clearSlaves();
    fillRows(ui->slaveInfo, {});
    showPage(AdapterPage);
}
