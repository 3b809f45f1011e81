#include "FirmwareBurning.h"

#include "DeviceSearch.h"
#include "MessageBox.h"
#include "UpdateManege.h"
#include "UpgradeLog.h"
#include "UpgradeProtocol.h"
#include "HidAccess.h"
#include "LinkTiming.h"
#include "RecentFolders.h"
#include "SettingsFiles.h"
#include "UsbCommunication.h"
#include "UsbGlobal.h"
#include "ui_FirmwareBurning.h"

#include <QEvent>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QThread>

using namespace upgradeprotocol;

namespace {
constexpr int kMessageTimeoutMs = 10000;
constexpr int kSelectColumnWidth = 100;
constexpr int kProgressColumnWidth = 120;
constexpr int kWorkerStopWaitMs = 5000;
const char kLastPathKey[] = "LastPath";
const char kUpdateIcon[] = ":/Image/tool/update.svg";
const char kClearIcon[] = ":/Image/tool/brush.svg";
const char kProgressFormat[] = "%p%";

QString emptyAsDashes(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("--") : text;
}

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}
} // namespace

static void initUpgradeResources()
{
    Q_INIT_RESOURCE(upgrade);
}

FirmwareBurning::FirmwareBurning(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FirmwareBurning)
{
    initUpgradeResources();
    registerUpgradeMetaTypes();
    ui->setupUi(this);
    setHeader();
}

FirmwareBurning::~FirmwareBurning()
{
    // Normally nothing runs by now (the dialog cannot be closed meanwhile);
    // when its owner goes anyway, stop every worker before the dialog goes.
    for (const Running &running : qAsConst(m_running)) {
        running.manager->cancel();
        emit running.manager->sigClose();
        running.manager->deleteLater();
    }
    for (const QPointer<QThread> &thread : qAsConst(m_workerThreads)) {
        if (thread && thread->wait(kWorkerStopWaitMs))
            delete thread.data();
    }
    delete ui;
    emit sigCloseUpgrade(false);
}

void FirmwareBurning::reject()
{
    if (!isUpgrading())
        QDialog::reject();
}

void FirmwareBurning::closeEvent(QCloseEvent *event)
{
    if (isUpgrading())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void FirmwareBurning::setHeader()
{
    QTableWidget *table = ui->tableWidget;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({tr("选择"), tr("设备类型"), tr("硬件版本"), tr("Boot版本"), tr("App版本"),
                                      tr("IP地址"), tr("MAC地址"), tr("升级程序"), tr("升级进度")});
    // Each column as wide as its texts: serial numbers differ in their last
    // digits, and a cut one makes adapters look alike.
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColumnType, QHeaderView::Stretch);
    header->setSectionResizeMode(ColumnSelect, QHeaderView::Fixed);
    header->setSectionResizeMode(ColumnProgress, QHeaderView::Fixed);
    table->setColumnWidth(ColumnSelect, kSelectColumnWidth);
    table->setColumnWidth(ColumnProgress, kProgressColumnWidth);
}

void FirmwareBurning::printfLog(QString text)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    ui->listWidget->addItem(stamp + QStringLiteral("     ") + text);
    ui->listWidget->scrollToBottom();
}

void FirmwareBurning::on_listWidget_customContextMenuRequested(QPoint pos)
{
    QMenu menu(this);
    menu.addAction(QIcon(QString::fromLatin1(kClearIcon)), tr("清除"), ui->listWidget, &QListWidget::clear);
    menu.exec(ui->listWidget->viewport()->mapToGlobal(pos));
}

void FirmwareBurning::showTimedMessage(const QString &title, const QString &text)
{
    MessageBox::notify(this, title, text, MessageBox::Warning, 0, kMessageTimeoutMs);
}

// ---- The file

void FirmwareBurning::on_pushButton_clicked()
{
    if (isUpgrading())
        return;
    m_file.clear();
    ui->lineEdit->clear();
    ui->label_12->clear();
    ui->label_14->clear();
    ui->label_2->clear();

    // The last folder, in path.ini of the user's configuration folder.
    QSettings settings(SettingsFiles::path(SettingsFiles::kUpgrade), QSettings::IniFormat);
    // The last file's folder, the documents folder the first time.
    QString lastPath = settings.value(QLatin1String(kLastPathKey)).toString();
    if (lastPath.isEmpty() || !QFileInfo(lastPath).absoluteDir().exists())
        lastPath = RecentFolders::documents();
    const QString path = QFileDialog::getOpenFileName(this, tr("FirmwareBurning"), lastPath, QStringLiteral("*.dec"));
    if (path.isEmpty()) {
        printfLog(tr("添加升级程序失败!"));
        return;
    }
    if (m_file.load(path) != UpgradeFile::Valid) {
        m_file.clear();
        QMessageBox::warning(this, tr("提示"), tr("非法的升级文件! "), QMessageBox::Ok);
        printfLog(tr("非法文件：") + path);
        return;
    }
    settings.setValue(QLatin1String(kLastPathKey), path);
    ui->lineEdit->setText(path);
    ui->label_2->setText(tr("%1 Byte").arg(m_file.fileSize()));
    printfLog(tr("添加升级文件：") + path);
    ui->label_12->setText(m_file.category());
    ui->label_14->setText(m_file.version());
    printfLog(tr("读取升级程序成功!"));
}

// ---- The devices

void FirmwareBurning::on_pushButton_2_clicked()
{
    if (isUpgrading())
        return;
    ui->tableWidget->setRowCount(0);
    m_devices.clear();
    setHeader();
    if (ui->comboBox_2->currentIndex() != 0)
        return;

    const tarnbus::LinkTiming::Upgrade &timing = tarnbus::linkTiming().upgrade;
    const QList<UsbDeviceInfo> devices = UsbGlobal::enumerateDevices();
    bool unopened = devices.isEmpty();
    for (const UsbDeviceInfo &device : devices) {
        UsbCommunication channel;
        if (channel.open(device.vendor_id, device.product_id, device.serial_number) != 0) {
            unopened = true;
            continue;
        }
        const DeviceInfo info = upgradesearch::ask(channel, timing.searchReplyTimeoutMs).info;
        m_devices.insert(device.serial_number, qMakePair(device.vendor_id, device.product_id));
        addNewDevice(info.hardware, info.bootVersion, info.appVersion, info.type, QString(), device.serial_number);
        printfLog(tr("新设备：%1 MAC:%2").arg(info.type, device.serial_number));

        // Tells a device that sits in its boot loader to run its application.
        QThread::msleep(ulong(timing.searchDelayMs));
        QByteArray reply;
        channel.write(searchRestart());
        channel.read(reply, timing.searchReplyTimeoutMs);
        qCDebug(lcUpgrade).noquote() << "search restart reply:" << reply.toHex(' ').toUpper();
    }
    // An adapter missing or not opened may be one the user may not open.
    if (unopened) {
        const QStringList denied = HidAccess::deniedNodes();
        if (!denied.isEmpty())
            printfLog(HidAccess::windowText(denied).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
}

void FirmwareBurning::addNewDevice(int HW, QString vbtool, QString vapp, QString info, QString ip, QString mac)
{
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setCellWidget(row, ColumnSelect, new QCheckBox(table));
    table->setItem(row, ColumnType, readOnlyItem(info));
    table->setItem(row, ColumnHardware, readOnlyItem(QString::number(HW)));
    table->setItem(row, ColumnBoot, readOnlyItem(emptyAsDashes(vbtool)));
    table->setItem(row, ColumnApp, readOnlyItem(emptyAsDashes(vapp)));
    table->setItem(row, ColumnIp, readOnlyItem(emptyAsDashes(ip)));
    table->setItem(row, ColumnMac, readOnlyItem(mac));
    auto *button = new QPushButton(tr("开始升级"), table);
    connect(button, &QPushButton::clicked, this, &FirmwareBurning::onUploadHw);
    table->setCellWidget(row, ColumnButton, button);
    auto *progress = new QProgressBar(table);
    progress->setRange(0, 100);
    progress->setValue(0);
    table->setCellWidget(row, ColumnProgress, progress);
}

void FirmwareBurning::on_checkBox_clicked()
{
    const int rows = ui->tableWidget->rowCount();
    if (rows == 0) {
        ui->checkBox->setChecked(false);
        return;
    }
    for (int row = 0; row < rows; ++row)
        rowCheckBox(row)->setChecked(ui->checkBox->isChecked());
}

// ---- Starting and cancelling

void FirmwareBurning::onUploadHw()
{
    // The row is the pressed button's: pressing a cell's button does not
    // make its row the current one.
    const int row = rowOfButton(sender());
    if (row < 0)
        return;
    if (m_running.contains(row)) {
        if (!m_running.value(row).cancelled)
            cancelUpgrade(row, false);
        return;
    }
    if (!m_file.isLoaded()) {
        showTimedMessage(tr("警告"), tr("请先选择升级程序! "));
        return;
    }
    startUpgrade(row, false);
}

void FirmwareBurning::on_pushButton_3_clicked()
{
    if (batchRunning()) {
        for (const Running &running : m_running.values()) {
            if (running.batch && !running.cancelled)
                cancelUpgrade(running.row, true);
        }
        return;
    }
    if (!m_file.isLoaded()) {
        showTimedMessage(tr("警告"), tr("请先选择升级程序! "));
        refreshButtons();
        return;
    }
    QList<int> rows;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (rowCheckBox(row)->isChecked() && !m_running.contains(row))
            rows.append(row);
    }
    if (rows.isEmpty()) {
        showTimedMessage(tr("警告"), tr("请先选择设备! "));
        refreshButtons();
        return;
    }
    for (const int row : qAsConst(rows))
        startUpgrade(row, true);
    refreshButtons();
}

bool FirmwareBurning::confirmVersion(int row)
{
    // Each question names the device it is about: in a batch they come one
    // after the other.
    const QString device = tr("设备%1(MAC:%2)").arg(cellText(row, ColumnType), cellText(row, ColumnMac));
    if (!categoryFits(m_file.category(), cellText(row, ColumnType))) {
        const QString text = device + QLatin1Char('\n')
            + tr("升级包的类别是%1,设备类型是%2,两者不符。是否仍要升级? ").arg(m_file.category(), cellText(row, ColumnType));
        if (QMessageBox::warning(this, tr("提示"), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            printfLog(tr("%1: 升级包类别不符,未升级。").arg(device));
            return false;
        }
    }
    QString question;
    switch (compareVersions(m_file.version(), cellText(row, ColumnApp))) {
    case VersionOrder::Unreadable: {
        QMessageBox box(QMessageBox::Question, tr("提示"), device + QLatin1Char('\n') + tr("设备信息异常,无法生升级! "),
                        QMessageBox::Close, this);
        box.exec();
        return false;
    }
    case VersionOrder::Equal:
        question = tr("升级包版本与设备版本一致,是否选择升级! ");
        break;
    case VersionOrder::PackageLower:
        question = tr("升级包版本过低是否选择升级! ");
        break;
    case VersionOrder::PackageHigher:
        return true;
    }
    return QMessageBox::question(this, tr("提示"), device + QLatin1Char('\n') + question, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

bool FirmwareBurning::startUpgrade(int row, bool batch)
{
    if (!confirmVersion(row)) {
        refreshButtons();
        return false;
    }
    Running running;
    running.row = row;
    running.name = cellText(row, ColumnType);
    running.mac = cellText(row, ColumnMac);
    running.batch = batch;
    running.manager = new UpdateManege;
    UpdateManege *manager = running.manager;
    connect(manager, &UsbCommunication::sigError, this, &FirmwareBurning::onErrorMessage);
    connect(manager, &UpdateManege::sigConnectFailed, this, &FirmwareBurning::onConnectFailed);
    connect(manager, &UpdateManege::sigUpdateFailed, this, &FirmwareBurning::onUpdateFailed);
    connect(manager, &UpdateManege::sigRunBurningFailed, this, &FirmwareBurning::onRunBurningFailed);
    connect(manager, &UpdateManege::sigUpdateProcess, this, &FirmwareBurning::onUpdateProcess);
    connect(manager, &UpdateManege::sigVersionRead, this, &FirmwareBurning::onVersionRead);
    connect(manager, &UpdateManege::sigWrongVersion, this, &FirmwareBurning::onWrongVersion);
    connect(manager, &UpdateManege::sigNotBack, this, &FirmwareBurning::onNotBack);
    // Direct: the worker is busy inside an exchange and must hear at once.
    connect(this, &FirmwareBurning::sigStopUpdate, manager, &UpdateManege::onStopUpdate, Qt::DirectConnection);
    manager->setMac(running.mac);
    manager->setName(running.name);
    manager->setRow(row);
    manager->setBlockList(m_file.blocks());
    m_running.insert(row, running);
    m_workerThreads.removeAll(QPointer<QThread>());
    m_workerThreads.append(manager->workerThread());

    QCheckBox *check = rowCheckBox(row);
    check->setText(tr("升级中..."));
    if (batch)
        check->setEnabled(false);
    QPushButton *button = rowButton(row);
    button->setText(tr("取消升级"));
    button->setIcon(QIcon(QString::fromLatin1(kUpdateIcon)));
    button->setCheckable(true);
    rowProgress(row)->setValue(0);
    rowProgress(row)->setFormat(QString::fromLatin1(kProgressFormat));
    rowProgress(row)->setStyleSheet(QString());
    refreshButtons();

    // Vendor and product id 0 (a device the search did not list) are refused
    // by the channel rather than taken as "any device".
    const QPair<quint16, quint16> ids = m_devices.value(running.mac, qMakePair(quint16(0), quint16(0)));
    manager->start(ids.first, ids.second, running.mac);
    return true;
}

void FirmwareBurning::cancelUpgrade(int row, bool batch)
{
    Running &running = m_running[row];
    running.cancelled = true;
    QCheckBox *check = rowCheckBox(row);
    check->setText(QString());
    check->setEnabled(true);
    // Idle, but not to be pressed until the worker has let go of the device.
    QPushButton *button = rowButton(row);
    button->setCheckable(false);
    button->setText(tr("开始升级"));
    button->setIcon(QIcon());
    button->setEnabled(false);
    emit sigStopUpdate(running.mac);
    printfLog((batch ? tr("%1 (MAC:%2) 已取消批量升级程序! ") : tr("%1 (MAC:%2) 已取消升级程序! "))
                  .arg(running.name, running.mac));
    refreshButtons();
}

// ---- Reports from the workers

std::optional<FirmwareBurning::Running> FirmwareBurning::endReportingUpgrade(bool success)
{
    const QObject *reporter = sender();
    auto found = std::find_if(m_running.begin(), m_running.end(),
                              [reporter](const Running &running) { return running.manager == reporter; });
    if (!reporter || found == m_running.end())
        return std::nullopt;
    const Running ended = *found;
    m_running.erase(found);
    emit ended.manager->sigClose();
    ended.manager->deleteLater();

    QCheckBox *check = rowCheckBox(ended.row);
    check->setText(QString());
    check->setEnabled(true);
    QPushButton *button = rowButton(ended.row);
    button->setCheckable(false);
    button->setText(success ? tr("升级程序") : tr("开始升级"));
    button->setIcon(QIcon());
    button->setEnabled(true);
    refreshButtons();
    return ended;
}

void FirmwareBurning::onUpdateProcess(Update type, int process, int row, QString name, QString mac)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    const auto found = std::find_if(m_running.cbegin(), m_running.cend(),
                                    [this](const Running &r) { return r.manager == sender(); });
    if (found == m_running.cend())
        return;
    const Running running = *found;
    const bool complete = type == UPDATE_PHASE
        && (process == upgradephase::kComplete || process == upgradephase::kComplete + 1);
    // A cancelled upgrade's late reports no longer move its row; only its end counts.
    if (running.cancelled && !complete)
        return;
    if (type == UPDATE_PROGRESS) {
        if (m_file.transferSize() > 0)
            rowProgress(running.row)->setValue(int(qint64(process) * 100 / m_file.transferSize()));
    } else if (complete) {
        endReportingUpgrade(true);
        printfLog(tr("%1 (MAC:%2) 程序升级完成!").arg(running.name, running.mac));
        rowProgress(running.row)->setValue(100);
    } else if (type == UPDATE_PHASE && process == upgradephase::kBegun) {
        printfLog(tr("%1 (MAC:%2) 开始升级程序!").arg(running.name, running.mac));
    } else if (type == UPDATE_PHASE && process == upgradephase::kWritten) {
        printfLog(tr("%1 (MAC:%2) 程序写入完成!设备重启中请稍后。").arg(running.name, running.mac));
    }
}

void FirmwareBurning::onUpdateFailed(int row, QString name, QString mac)
{
    Q_UNUSED(row)
    endFailedUpgrade(tr("提示"), tr("  设备%1(MAC:%2),升级失败  ").arg(name, mac));
}

void FirmwareBurning::onConnectFailed(int row)
{
    Q_UNUSED(row)
    endFailedUpgrade(tr("警告"), tr("链接设备失败,请检查USB是否链接! "));
}

void FirmwareBurning::onErrorMessage(int row, QString name, QString mac)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    endFailedUpgrade(QString(), QString());
}

void FirmwareBurning::onRunBurningFailed(Update type)
{
    endFailedUpgrade(tr("警告"), type == UPDATE_ENTER_REFUSED ? tr("进入升级模式失败! ") : tr("开始烧写失败! "));
}

bool FirmwareBurning::endFailedUpgrade(const QString &title, const QString &text)
{
    const std::optional<Running> ended = endReportingUpgrade(false);
    if (!ended)
        return false;
    if (!ended->cancelled)
        showFailedRow(ended->row);
    // A write or read error, or the user stopped it: nothing to tell in a box.
    if (ended->cancelled || text.isEmpty()) {
        printfLog(tr("%1 (MAC:%2) 升级中断。").arg(ended->name, ended->mac));
    } else {
        // The box goes; the list keeps what failed.
        printfLog(text.trimmed());
        showTimedMessage(title, text);
    }
    return true;
}

// The row shows what the device runs now.
void FirmwareBurning::onVersionRead(int row, QString name, QString mac, QString appVersion)
{
    Q_UNUSED(row)
    const auto found = std::find_if(m_running.cbegin(), m_running.cend(),
                                    [this](const Running &r) { return r.manager == sender(); });
    if (found == m_running.cend())
        return;
    ui->tableWidget->item(found->row, ColumnApp)->setText(emptyAsDashes(appVersion));
    printfLog(tr("%1 (MAC:%2) 重启完成,App版本:%3").arg(name, mac, appVersion));
}

void FirmwareBurning::onWrongVersion(int row, QString name, QString mac, QString expected, QString found)
{
    Q_UNUSED(row)
    const QString text = tr("  设备%1(MAC:%2)重启后的版本为%3,不是升级包的版本%4,升级失败  ").arg(name, mac, found, expected);
    endFailedUpgrade(tr("提示"), text);
}

void FirmwareBurning::onNotBack(int row, QString name, QString mac, int waitedMs)
{
    Q_UNUSED(row)
    const int seconds = (waitedMs + 999) / 1000;
    const QString text = tr("  设备%1(MAC:%2)重启后%3秒内未重新连接,无法读取版本,升级失败  ").arg(name, mac).arg(seconds);
    endFailedUpgrade(tr("提示"), text);
}

// ---- Buttons and rows

bool FirmwareBurning::batchRunning() const
{
    return std::any_of(m_running.cbegin(), m_running.cend(),
                       [](const Running &running) { return running.batch && !running.cancelled; });
}

void FirmwareBurning::refreshButtons()
{
    const bool upgrading = isUpgrading();
    ui->pushButton_2->setEnabled(!upgrading);
    ui->pushButton->setEnabled(!upgrading);
    QPushButton *batch = ui->pushButton_3;
    batch->setChecked(false);
    if (batchRunning()) {
        batch->setText(tr("取消升级"));
        batch->setIcon(QIcon(QString::fromLatin1(kUpdateIcon)));
        batch->setCheckable(true);
        batch->setEnabled(true);
    } else {
        batch->setText(tr("批量升级"));
        batch->setIcon(QIcon());
        batch->setCheckable(false);
        batch->setEnabled(!upgrading);
    }
}

int FirmwareBurning::rowOfButton(const QObject *button) const
{
    for (int row = 0; button && row < ui->tableWidget->rowCount(); ++row) {
        if (ui->tableWidget->cellWidget(row, ColumnButton) == button)
            return row;
    }
    return -1;
}

QCheckBox *FirmwareBurning::rowCheckBox(int row) const
{
    return qobject_cast<QCheckBox *>(ui->tableWidget->cellWidget(row, ColumnSelect));
}

QPushButton *FirmwareBurning::rowButton(int row) const
{
    return qobject_cast<QPushButton *>(ui->tableWidget->cellWidget(row, ColumnButton));
}

void FirmwareBurning::showFailedRow(int row)
{
    QProgressBar *progress = rowProgress(row);
    if (!progress)
        return;
    // A full red bar that says so, never a blue bar stopped short of the end.
    progress->setValue(progress->maximum());
    progress->setFormat(tr("失败"));
    progress->setStyleSheet(QStringLiteral("QProgressBar { color: black; text-align: center; }"
                                           "QProgressBar::chunk { background-color: rgb(230, 60, 60); }"));
}

QProgressBar *FirmwareBurning::rowProgress(int row) const
{
    return qobject_cast<QProgressBar *>(ui->tableWidget->cellWidget(row, ColumnProgress));
}

QString FirmwareBurning::cellText(int row, int column) const
{
    const QTableWidgetItem *item = ui->tableWidget->item(row, column);
    return item ? item->text() : QString();
}

void FirmwareBurning::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The texts set since the form was made stay until they are set again.
        const QString label_12Text = ui->label_12->text();
        const QString label_14Text = ui->label_14->text();
        const QString label_2Text = ui->label_2->text();
        const QString lineEditText = ui->lineEdit->text();
        ui->retranslateUi(this);
        setHeader();
        ui->label_12->setText(label_12Text);
        ui->label_14->setText(label_14Text);
        ui->label_2->setText(label_2Text);
        ui->lineEdit->setText(lineEditText);
    }
    QDialog::changeEvent(event);
}
