#include "UnAllocation.h"

#include "FormTexts.h"

#include "AppLog.h"
#include "MessageBox.h"
#include "StationRepair.h"
#include "ui_UnAllocation.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>

const char UnAllocation::kMacProperty[] = "mac";

namespace {
constexpr int kStationColumnWidth = 80;
constexpr int kRefusalWidth = 280;
} // namespace

UnAllocation::UnAllocation(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::UnAllocation)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    // A type name stays on one line ("TB-DO8-T" broken at its dashes reads as two).
    ui->tableWidget->setWordWrap(false);
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    header->setSectionResizeMode(kTypeColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kUidColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(kStationColumn, QHeaderView::Fixed);
    header->resizeSection(kStationColumn, kStationColumnWidth);
}

UnAllocation::~UnAllocation()
{
    delete ui;
}

void UnAllocation::fill(const SlaveList &slaves)
{
    QTableWidget *table = ui->tableWidget;
    table->setRowCount(0);
    m_otherStations.clear();
    for (const SlaveSnapshot &slave : slaves) {
        if (!slave->statusBit4) {
            m_otherStations << slave->newStationId;
            continue;
        }
        const int row = table->rowCount();
        table->insertRow(row);
        auto *type = new QTableWidgetItem(slave->typeName);
        type->setFlags(type->flags() & ~Qt::ItemIsEditable);
        table->setItem(row, kTypeColumn, type);
        // The identity as the adapter reports it (upper-case hexadecimal
        // digits), as the slave table shows it.
        auto *uid = new QTableWidgetItem(QString::fromLatin1(slave->uuid));
        uid->setFlags(uid->flags() & ~Qt::ItemIsEditable);
        table->setItem(row, kUidColumn, uid);
        auto *station = new QLineEdit(QString::number(slave->newStationId));
        station->setProperty(kMacProperty, slave->uuid);
        station->setAlignment(Qt::AlignCenter);
        table->setCellWidget(row, kStationColumn, station);
    }
    ui->label->setText(table->rowCount() > 0 ? tr("以下%1个从站需要重新分配站号:").arg(table->rowCount())
                                             : tr("没有站号重复的从站。"));
}

int UnAllocation::rowCount() const
{
    return ui->tableWidget->rowCount();
}

QLineEdit *UnAllocation::stationEdit(int row) const
{
    return qobject_cast<QLineEdit *>(ui->tableWidget->cellWidget(row, kStationColumn));
}

QStringList UnAllocation::stationTexts() const
{
    QStringList texts;
    for (int row = 0; row < rowCount(); ++row)
        texts << stationEdit(row)->text();
    return texts;
}

void UnAllocation::on_pushButton_2_clicked()
{
    const QStringList texts = appcore::StationRepair::generate(stationTexts(), m_otherStations);
    for (int row = 0; row < texts.size(); ++row)
        stationEdit(row)->setText(texts.at(row));
}

void UnAllocation::on_pushButton_clicked()
{
    if (rowCount() == 0) {
        reject();
        return;
    }
    const QStringList texts = stationTexts();
    // A row that is no number would become station 0, one above 255 would be
    // cut to a byte and a repeated one would drop a module from the map.
    if (const auto problem = appcore::StationRepair::checkRows(texts)) {
        MessageBox::notify(this, tr("警告"), problem->message(), MessageBox::Warning, kRefusalWidth);
        QLineEdit *edit = stationEdit(problem->row);
        edit->setFocus();
        edit->selectAll();
        return;
    }
    QList<QByteArray> uids;
    for (int row = 0; row < rowCount(); ++row)
        uids << stationEdit(row)->property(kMacProperty).toByteArray();
    const QMap<int, QByteArray> map = appcore::StationRepair::stationMap(texts, uids);
    qCDebug(lcApp) << map;
    emit sigSetRepeatSid(map);
    accept();
}

void UnAllocation::setSlaveID(QByteArray mac, uint8_t sid)
{
    for (int row = 0; row < rowCount(); ++row) {
        QLineEdit *edit = stationEdit(row);
        if (edit->property(kMacProperty).toByteArray() == mac) {
            edit->setText(QString::number(sid));
            return;
        }
    }
}

void UnAllocation::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
