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
}

ConfigurationMatchingDlg::~ConfigurationMatchingDlg()
{
    delete ui;
}

void ConfigurationMatchingDlg::on_btn_scan_clicked()
{
    AdapterScanList::start(this, ui->listWidget, ui->btn_scan, m_open, m_portBusy);
}

void ConfigurationMatchingDlg::on_btn_matching_clicked()
{
    QListWidgetItem *item = ui->listWidget->currentItem();
    if (!item) {
        MessageBox::notify(this, tr("警告"), tr("未选择适配器!"), MessageBox::Warning, 210);
        return;
    }
    emit sigMatchingAdapter(m_index, item->data(AdapterScanList::kVidRole).toInt(),
                            item->data(AdapterScanList::kPidRole).toInt(),
                            item->data(AdapterScanList::kSerialRole).toString());
    accept();
}
