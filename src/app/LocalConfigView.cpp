#include "LocalConfigView.h"

#include "FormTexts.h"

#include "ui_LocalConfigView.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace {
constexpr int kFixedColumnWidth = 60;
constexpr int kTypeColumnWidth = 140; // room kept for the type when the state column widens
const QColor kFailedColor(255, 0, 0);
const QColor kConfiguredColor(0, 204, 0);
} // namespace

LocalConfigView::LocalConfigView(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LocalConfigView)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    header->setSectionResizeMode(kStationColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(kTypeColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(kStateColumn, QHeaderView::Fixed);
    header->resizeSection(kStationColumn, kFixedColumnWidth);
    header->resizeSection(kStateColumn, kFixedColumnWidth);
}

LocalConfigView::~LocalConfigView()
{
    delete ui;
}

void LocalConfigView::fill(const SlaveList &configured, const SlaveList &failed, const QMap<quint64, QString> &reasons)
{
    // All rows at once: a row inserted at a time lays the table out again each time.
    ui->tableWidget->setRowCount(0);
    ui->tableWidget->setRowCount(failed.size() + configured.size());
    int row = 0;
    for (const SlaveSnapshot &slave : failed) {
        const QString reason = reasons.value(slave->recordId);
        setRow(row++, *slave, reason.isEmpty() ? tr("失败") : tr("失败: %1").arg(reason), kFailedColor);
    }
    for (const SlaveSnapshot &slave : configured)
        setRow(row++, *slave, tr("成功"), kConfiguredColor);
    ui->label->setText(tr("成功%1个,失败%2个").arg(configured.size()).arg(failed.size()));
    // A failure's reason is read whole: the column widens to it, and the
    // dialog with it.
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    if (!reasons.isEmpty()) {
        header->setSectionResizeMode(kStateColumn, QHeaderView::ResizeToContents);
        ui->tableWidget->resizeColumnToContents(kStateColumn);
        const int wanted = header->sectionSize(kStateColumn) + kFixedColumnWidth + kTypeColumnWidth
                           + ui->tableWidget->verticalScrollBar()->sizeHint().width() + 2 * ui->tableWidget->frameWidth();
        if (ui->tableWidget->width() < wanted)
            resize(width() + wanted - ui->tableWidget->width(), height());
    }
    ui->tableWidget->viewport()->update();
}

void LocalConfigView::setRow(int row, const SlaveState &slave, const QString &state, const QColor &color)
{
    QTableWidget *table = ui->tableWidget;
    auto *station = new QTableWidgetItem(QString::number(slave.stationId));
    station->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, kStationColumn, station);
    table->setItem(row, kTypeColumn, new QTableWidgetItem(slave.typeName));
    auto *result = new QTableWidgetItem(state);
    result->setTextAlignment(Qt::AlignCenter);
    result->setForeground(color);
    result->setToolTip(state);
    table->setItem(row, kStateColumn, result);
}

int LocalConfigView::rowCount() const
{
    return ui->tableWidget->rowCount();
}

QString LocalConfigView::rowText(int row) const
{
    QStringList cells;
    for (int column = kStationColumn; column <= kStateColumn; ++column) {
        const QTableWidgetItem *item = ui->tableWidget->item(row, column);
        cells << (item ? item->text() : QString());
    }
    return cells.join(QLatin1Char('|'));
}

QColor LocalConfigView::stateColor(int row) const
{
    const QTableWidgetItem *item = ui->tableWidget->item(row, kStateColumn);
    return item ? item->foreground().color() : QColor();
}

QString LocalConfigView::summaryText() const
{
    return ui->label->text();
}

void LocalConfigView::on_pushButton_clicked()
{
    accept();
}

void LocalConfigView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
