#include "SettingView.h"

#include "AdapterScan.h"
#include "HidAccess.h"
#include "MessageBox.h"
#include "ui_SettingView.h"

#include <QEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
const int kManualIndex = 1;         // "手动"
const int kAccessNoticeWidth = 420; // the rule's path on one line
} // namespace

bool AdapterScanList::start(QWidget *dialog, QListWidget *list, QPushButton *scanButton,
                            const QMap<QString, QString> &open, bool portBusy)
{
    if (portBusy || AdapterScan::isRunning()) {
        MessageBox::notify(dialog, QObject::tr("警告"), QObject::tr("USB端口已被占用!"), MessageBox::Warning, 210);
        return false;
    }
    list->clear();
    scanButton->setEnabled(false);
    const QString label = scanButton->text();
    scanButton->setText(QObject::tr("扫描中…"));
    QPointer<QPushButton> button = scanButton;
    AdapterScan::start(open, list, [dialog, list, button, label](const AdapterScanResult &result) {
        if (button) {
            button->setEnabled(true);
            button->setText(label);
        }
        for (const AdapterScanEntry &entry : result.entries) {
            QString text = QObject::tr("%1   序列号: %2").arg(entry.text, entry.serial);
            if (entry.open)
                text += QObject::tr("   (已在其他标签页中打开)");
            auto *item = new QListWidgetItem(text, list);
            item->setData(kVidRole, entry.vid);
            item->setData(kPidRole, entry.pid);
            item->setData(kSerialRole, entry.serial);
            item->setData(kNameRole, entry.text);
            if (entry.open) {
                item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
                item->setToolTip(QObject::tr("该适配器已在标签页\"%1\"中打开,不能再次选择。").arg(entry.text));
            }
        }
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->flags() & Qt::ItemIsEnabled) {
                list->setCurrentRow(row);
                break;
            }
        }
        if (!result.deniedNodes.isEmpty()) {
            MessageBox::notify(dialog, QObject::tr("警告"), HidAccess::windowText(result.deniedNodes), MessageBox::Warning,
                               kAccessNoticeWidth);
        } else if (result.noDevice) {
            MessageBox::notify(dialog, QObject::tr("警告"), QObject::tr("未识别到USB接口，请检查USB是否链接正常。"),
                               MessageBox::Warning, 280);
        }
        for (const QString &error : result.errors)
            MessageBox::notify(dialog, QObject::tr("警告"), error, MessageBox::Warning, 210);
    });
    return true;
}

void AdapterScanList::startOnOpen(QWidget *dialog, QListWidget *list, QPushButton *scanButton,
                                  const QMap<QString, QString> &open, bool portBusy)
{
    if (portBusy || AdapterScan::isRunning())
        return;
    QPointer<QWidget> guard(dialog);
    QTimer::singleShot(0, dialog, [guard, list, scanButton, open] {
        if (guard && guard->isVisible())
            start(guard, list, scanButton, open, false);
    });
}

SettingView::SettingView(const QMap<QString, QString> &open, bool portBusy, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SettingView)
    , m_open(open)
    , m_portBusy(portBusy)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    AdapterScanList::startOnOpen(this, ui->listWidget, ui->pushButton, m_open, m_portBusy);
}

SettingView::~SettingView()
{
    delete ui;
}

QListWidget *SettingView::list() const
{
    return ui->listWidget;
}

void SettingView::on_comboBox_currentIndexChanged(const QString &)
{
    const bool manual = ui->comboBox->currentIndex() == kManualIndex;
    if (manual)
        ui->listWidget->clear();
    ui->pushButton->setEnabled(!manual && !AdapterScan::isRunning());
}

void SettingView::on_pushButton_clicked()
{
    AdapterScanList::start(this, ui->listWidget, ui->pushButton, m_open, m_portBusy);
}

void SettingView::on_pushButton_2_clicked()
{
    if (ui->comboBox->currentIndex() == kManualIndex) {
        emit sigManualConfiguration();
        accept();
        return;
    }
    QListWidgetItem *item = ui->listWidget->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) {
        MessageBox::notify(this, tr("警告"), tr("未选择适配器!"), MessageBox::Warning, 210);
        return;
    }
    emit sigAddNewAdapter(item->data(AdapterScanList::kNameRole).toString(), item->data(AdapterScanList::kVidRole).toInt(),
                          item->data(AdapterScanList::kPidRole).toInt(),
                          item->data(AdapterScanList::kSerialRole).toString());
    accept();
}

void SettingView::on_listWidget_itemDoubleClicked(QListWidgetItem *)
{
    on_pushButton_2_clicked();
}

void SettingView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
