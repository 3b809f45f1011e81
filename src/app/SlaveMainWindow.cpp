#include "SlaveMainWindow.h"

#include "FormTexts.h"

#include "LinkStatisticsView.h"

#include "LabelLook.h"
#include "SlaveTileList.h"
#include "ui_SlaveMainWindow.h"

#include <QEvent>
#include <QHeaderView>

namespace {
const QString kGood = QStringLiteral("image: url(:/image/0.png);");
const QString kBad = QStringLiteral("image: url(:/image/1.png);");
const QString kUnknown = QStringLiteral("image: url(:/image/2.png);");
const QColor kUnsetColor(221, 34, 34);

// An IO area as "start (size unit)", in the alignment's unit.
QString areaText(int startBits, int bits, int alignmentUnit)
{
    if (bits <= 0)
        return QStringLiteral("-");
    if (alignmentUnit == 8)
        return QStringLiteral("%1 (%2 Byte)").arg(startBits / 8).arg((bits + 7) / 8);
    return QStringLiteral("%1 (%2 Bit)").arg(startBits).arg(bits);
}
} // namespace

SlaveMainWindow::SlaveMainWindow(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SlaveMainWindow)
{
    ui->setupUi(this);
    // "通信统计" right under the status lamps.
    m_linkStatistics = new LinkStatisticsView(this);
    ui->verticalLayout->insertWidget(ui->verticalLayout->indexOf(ui->statusPanel) + 1, m_linkStatistics);
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    for (int c = 0; c < ColumnCount - 1; ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    ui->tableWidget->verticalHeader()->setDefaultSectionSize(24);
    connect(ui->powerButton, &QToolButton::clicked, this, &SlaveMainWindow::sigUpdatePower);
    connect(ui->tableWidget, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (const QTableWidgetItem *item = ui->tableWidget->item(row, StationColumn))
            emit sigSlaveActivated(item->data(Qt::UserRole).toULongLong());
    });
    SlaveTileList *tiles = ui->tileList;
    connect(tiles, &SlaveTileList::sigSlaveActivated, this, &SlaveMainWindow::sigSlaveActivated);
    connect(tiles, &SlaveTileList::sigSlaveDataTest, this, &SlaveMainWindow::sigSlaveDataTest);
    connect(tiles, &SlaveTileList::sigSlaveCreateView, this, &SlaveMainWindow::sigSlaveCreateView);
    connect(tiles, &SlaveTileList::sigLampRequest, this, &SlaveMainWindow::sigLampRequest);
    connect(tiles, &SlaveTileList::sigResetRequest, this, &SlaveMainWindow::sigResetRequest);
    resetStatus();
}

SlaveMainWindow::~SlaveMainWindow()
{
    delete ui;
}

void SlaveMainWindow::updateStatus(const AdapterStatus &status)
{
    m_status = status;
    showStatus();
}

void SlaveMainWindow::setStatusUnknown(const QString &why)
{
    m_unknownWhy = why;
    showStatus();
}

// Each lamp says what it watches, and why it is red or grey. Shown again
// with every notification of the adapter, up to ten times a second in force
// mode: the indicators change only when their value does, and never through
// a style sheet (LabelLook.h).
void SlaveMainWindow::showStatus()
{
    const bool known = m_unknownWhy.isEmpty();
    const auto show = [&](QLabel *indicator, int value, const QString &what, const QString &fault) {
        QString tip;
        if (!known) {
            labellook::set(indicator, kUnknown);
            tip = tr("%1: 未知。%2").arg(what, m_unknownWhy);
        } else if (value) {
            labellook::set(indicator, kGood);
            tip = tr("%1: 正常").arg(what);
        } else {
            labellook::set(indicator, kBad);
            tip = tr("%1: 异常。%2").arg(what, fault);
        }
        if (indicator->toolTip() != tip)
            indicator->setToolTip(tip);
    };
    show(ui->busPower, m_status.status0, tr("总线电源"), tr("适配器报告总线电源故障(状态位0)。"));
    show(ui->inputPower, m_status.status1, tr("输入电源"), tr("适配器报告输入电源故障(状态位1),请检查24V供电。"));
    show(ui->commState, m_status.status4, tr("通信状态"), tr("适配器报告总线通信故障(状态位4)。"));
    show(ui->slaveState, m_status.status2, tr("从站状态"), tr("至少一个从站报告故障(状态位2),请查看从站的故障。"));
    ui->slaveCount->setText(QString::number(m_status.slaveCount));
    ui->power->setText(known ? QString::number(m_status.power) + QStringLiteral(" W") : QStringLiteral("-- W"));
    ui->temperature->setText(known ? QString::number(m_status.temperature) + QStringLiteral(" °C") : QStringLiteral("-- °C"));
    update();
}

void SlaveMainWindow::resetStatus()
{
    setForceIndicator(Force::Cleared);
    AdapterStatus status;
    status.status0 = status.status1 = status.status2 = status.status4 = 1;
    status.fource = 0;
    status.localInfo = 0;
    status.slaveCount = 0;
    status.power = 1;
    status.temperature = 0;
    updateStatus(status);
}

void SlaveMainWindow::setForceIndicator(Force force)
{
    m_force = force;
    QString style;
    switch (force) {
    case Force::Off:
        style = QStringLiteral("background-color: rgb(00,153,99);");
        break;
    case Force::On:
        style = QStringLiteral("background-color: rgb(255, 205, 55);");
        break;
    case Force::Cleared:
        style = QStringLiteral("background-color: rgb(204, 204, 204);");
        break;
    }
    // Setting a style sheet parses it again and polishes the label anew.
    if (ui->force->styleSheet() != style)
        ui->force->setStyleSheet(style);
}

void SlaveMainWindow::setForceAvailable(bool available)
{
    ui->force->setEnabled(available);
}

void SlaveMainWindow::clearSlaves()
{
    ui->tableWidget->setRowCount(0);
    ui->tileList->clear();
}

void SlaveMainWindow::setSlaves(const SlaveList &slaves, int alignmentUnit, bool configuration)
{
    ui->tableWidget->setRowCount(0);
    for (const SlaveSnapshot &slave : slaves)
        addSlaveRow(slave, alignmentUnit);
    ui->tileList->setSlaves(slaves, configuration);
}

void SlaveMainWindow::updateSlaves(const SlaveList &slaves)
{
    ui->tileList->updateSlaves(slaves);
}

SlaveTileList *SlaveMainWindow::tiles() const
{
    return ui->tileList;
}

void SlaveMainWindow::addSlaveRow(const SlaveSnapshot &slave, int alignmentUnit)
{
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    const bool unset = slave->stationId == 0 && !slave->recordCarriesStation;
    auto *station = new QTableWidgetItem(unset ? tr("未设定") : QString::number(slave->stationId));
    station->setData(Qt::UserRole, slave->recordId);
    if (unset)
        station->setForeground(kUnsetColor);
    table->setItem(row, StationColumn, station);
    auto *name = new QTableWidgetItem(slave->typeName);
    if (slave->typeName.contains(QLatin1Char('?')))
        name->setForeground(kUnsetColor);
    table->setItem(row, NameColumn, name);
    table->setItem(row, ClassColumn, new QTableWidgetItem(slave->moduleClass));
    table->setItem(row, UidColumn, new QTableWidgetItem(QString::fromLatin1(slave->uuid)));
    const Slave::IoWindow &w = slave->ioWindow;
    table->setItem(row, InputColumn, new QTableWidgetItem(areaText(w.inputStart, w.inputBits, alignmentUnit)));
    table->setItem(row, OutputColumn, new QTableWidgetItem(areaText(w.outputStart, w.outputBits, alignmentUnit)));
    table->setItem(row, StateColumn, new QTableWidgetItem(slave->statusRun ? tr("在线") : tr("离线")));
}

void SlaveMainWindow::setConflicts(const QHash<quint64, QString> &conflicts)
{
    ui->tileList->setConflicts(conflicts);
    QTableWidget *table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *station = table->item(row, StationColumn);
        QTableWidgetItem *state = table->item(row, StateColumn);
        if (!station || !state)
            continue;
        const QString conflict = conflicts.value(station->data(Qt::UserRole).toULongLong());
        if (conflict.isEmpty())
            continue;
        state->setText(state->text() + tr(",地址冲突"));
        state->setForeground(kUnsetColor);
        state->setToolTip(conflict);
    }
}

void SlaveMainWindow::selectRecord(quint64 recordId)
{
    ui->tileList->selectRecord(recordId);
    QTableWidget *table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, StationColumn)->data(Qt::UserRole).toULongLong() == recordId) {
            table->selectRow(row);
            return;
        }
    }
    table->clearSelection();
}

int SlaveMainWindow::rowCount() const
{
    return ui->tableWidget->rowCount();
}

QString SlaveMainWindow::cellText(int row, int column) const
{
    const QTableWidgetItem *item = ui->tableWidget->item(row, column);
    return item ? item->text() : QString();
}

QStringList SlaveMainWindow::indicatorStyles() const
{
    return {labellook::of(ui->busPower), labellook::of(ui->inputPower), labellook::of(ui->commState),
            labellook::of(ui->slaveState)};
}

QString SlaveMainWindow::slaveCountText() const
{
    return ui->slaveCount->text();
}

QString SlaveMainWindow::powerText() const
{
    return ui->power->text();
}

QString SlaveMainWindow::temperatureText() const
{
    return ui->temperature->text();
}

void SlaveMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->power, ui->slaveCount, ui->temperature}, false, [this] { ui->retranslateUi(this); });
    QWidget::changeEvent(event);
}
