#include "ConfigurationMatchingDlg.h"

#include "MessageBox.h"
#include "SettingView.h"
#include "ui_ConfigurationMatchingDlg.h"

ConfigurationMatchingDlg::ConfigurationMatchingDlg(int index, const QMap<QString, QString> &open, bool portBusy,
                                                   QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ConfigurationMatchingDlg)
    , m_index(index)
    , m_open(open)
    , m_portBusy(portBusy)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->listWidget, &QListWidget::itemDoubleClicked, this, &ConfigurationMatchingDlg::on_btn_matching_clicked);
    AdapterScanList::startOnOpen(this, ui->listWidget, ui->btn_scan, m_open, m_portBusy);
}

ConfigurationMatchingDlg::~ConfigurationMatchingDlg()
{
    delete ui;
}

void ConfigurationMatchingDlg::on_btn_scan_clicked()
{
    AdapterScanList::start(this, ui->listWidget, ui->btn_scan, m_open, m_portBusy);
}

QString ConfigurationMatchingDlg::chosenName() const
{
    const QListWidgetItem *item = ui->listWidget->currentItem();
    return item ? item->data(AdapterScanList::kNameRole).toString() : QString();
}

void ConfigurationMatchingDlg::on_btn_matching_clicked()
{
    QListWidgetItem *item = ui->listWidget->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) {
        MessageBox::notify(this, tr("警告"), tr("未选择适配器!"), MessageBox::Warning, 210);
        return;
    }
    emit sigMatchingAdapter(m_index, item->data(AdapterScanList::kVidRole).toInt(),
                            item->data(AdapterScanList::kPidRole).toInt(),
                            item->data(AdapterScanList::kSerialRole).toString());
    accept();
}

void ConfigurationMatchingDlg::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
