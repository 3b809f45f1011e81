#include "AdapterManage.h"

#include "AddressConflicts.h"
#include "AppLog.h"
#include "ConfigCompareDialog.h"
#include "Loading.h"
#include "LocalConfigView.h"
#include "MainProductView.h"
#include "ResultCodes.h"
#include "ResultMessages.h"
#include "MessageBox.h"
#include "MessageWidget.h"
#include "ProjectView.h"
#include "ReadBack.h"
#include "SlaveMainWindow.h"
#include "SlaveTileList.h"
#include "TabWidget.h"
#include "TopologyPage.h"
#include "GraphicsView.h"
#include "mainWindowManagement.h"

#include <QGraphicsView>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QThread>

Q_LOGGING_CATEGORY(lcApp, "tarnbus.app")

const QString AdapterManage::kOfflineName = QStringLiteral("TarnBUS");

namespace {
constexpr int kStationLimit = 128;
constexpr int kShutdownWaitMs = 5000; // a shutdown ends transactions at once; this only bounds a stuck thread

// The message-list line of a finished automatic allocation.
QString allocationDone()
{
    return appcore::resultMessage(MSG_ADDRESS_CONFIG_RESULT, SlaveConfigResult::Success).logText;
}
} // namespace

AdapterManage::AdapterManage(MainProductView *page, QObject *parent)
    : QObject(parent)
    , m_page(page)
{
    Adapter::registerMetaTypes();
    connect(this, &AdapterManage::sigSynAdapterConfig, this, &AdapterManage::onSynAdapterConfig);
    if (m_page) {
        m_topology = new TopologyPage(m_page, this);
        connect(m_topology, &TopologyPage::sigClickEvent, this, &AdapterManage::onShowSlave);
        connect(m_topology, &TopologyPage::sigCloseLamp, this, &AdapterManage::onSlaveCloseLame);
        connect(m_topology, &TopologyPage::sigHoverEnterEvent, this, &AdapterManage::onHoverEnterEvent);
        connect(m_topology, &TopologyPage::sigLampRequest, this, [this](quint64 recordId, bool on) {
            if (m_adapter)
                m_adapter->requestSlaveLamp(recordId, on);
        });
        connect(m_page->slaveWindow(), &SlaveMainWindow::sigSlaveActivated, this, [this](quint64 recordId) {
            if (const SlaveSnapshot slave = findSnapshot(m_slaves, recordId))
                showSlavePage(recordId, slave->uuid);
        });
        connectViews();
    }
}

AdapterManage::~AdapterManage()
{
    closeIoTests();
    stopAdapter();
    qCDebug(lcApp) << "delete";
}

Loading *AdapterManage::loading() const
{
    return mainWindowManagement::instance()->loading();
}

QWidget *AdapterManage::dialogParent() const
{
    if (QWidget *window = mainWindowManagement::instance()->mainWindow())
        return window;
    return m_page;
}

int AdapterManage::treeIndex() const
{
    TabWidget *tabs = mainWindowManagement::instance()->tabWidget();
    return tabs ? tabs->indexOfManager(this) : -1;
}

bool AdapterManage::isForceMode() const
{
    return m_adapter && m_state.forceMode;
}

bool AdapterManage::isLinked() const
{
    return m_adapter && m_state.linked;
}

// Force mode is shown for as long as the adapter may be forcing its
// outputs, wherever the adapter is shown: the panel's indicator, a bar across
// the page, the tab's title and the tree's entry; after a lost link too.
void AdapterManage::showForceIndicator()
{
    if (!m_page)
        return;
    SlaveMainWindow *panel = m_page->slaveWindow();
    const bool forced = !m_static && (isForceMode() || m_status.fource);
    if (m_static)
        panel->setForceIndicator(SlaveMainWindow::Force::Cleared);
    else
        panel->setForceIndicator(forced ? SlaveMainWindow::Force::On : SlaveMainWindow::Force::Off);
    QString bar;
    if (forced && isLinked())
        bar = tr("强制模式:适配器的输出由本工具强制。点击“取消强制”后全部输出关闭。");
    else if (forced)
        bar = tr("适配器链接断开:无法确认其已退出强制模式,输出可能仍处于强制状态。");
    m_page->showForceBar(bar);
    if (TabWidget *tabs = mainWindowManagement::instance()->tabWidget())
        tabs->showForceMode(this, forced);
    if (ProjectView *tree = mainWindowManagement::instance()->projectView(); tree && treeIndex() >= 0)
        tree->setAdapterForced(treeIndex(), forced);
    if (forced != m_forceShown) {
        m_forceShown = forced;
        appendMessage(MessageWidget::Inform, forced ? tr("强制模式已开启") : tr("强制模式已退出,输出全部关闭"),
                      forced ? QStringLiteral("force.on") : QStringLiteral("force.off"));
        emit sigForceShown(forced);
    }
}

// A conflict that an operation (or a poll that read the bus) has just
// created is said in the message list once, when it appears.
void AdapterManage::logNewConflicts()
{
    QSet<QString> now;
    for (const appcore::Overlap &overlap : appcore::overlaps(m_slaves)) {
        const QString text = appcore::overlapText(overlap);
        now.insert(text);
        if (!m_conflicts.contains(text))
            appendMessage(MessageWidget::Waring, tr("地址冲突: %1").arg(text), QStringLiteral("address.overlap"));
    }
    m_conflicts = now;
}

// What the status panel can know of the adapter now.
void AdapterManage::showStatusKnowledge()
{
    if (!m_page)
        return;
    QString why;
    if (m_static)
        why = tr("离线组态没有适配器。");
    else if (!m_adapter || !m_state.linked)
        why = tr("适配器未链接(链接断开或正在重启)。");
    m_page->slaveWindow()->setStatusUnknown(why);
}

bool AdapterManage::isLocalConfiguration() const
{
    return m_adapter && m_status.localInfo != 0;
}

SlaveSnapshot AdapterManage::findByUid(const QByteArray &uid) const
{
    for (const SlaveSnapshot &slave : m_slaves) {
        if (slave->uuid == uid)
            return slave;
    }
    return nullptr;
}

void AdapterManage::appendMessage(int level, const QString &text, const QString &code)
{
    if (m_page)
        m_page->messageWidget()->appendMessage(level, MessageWidget::kSource, text, code);
}

void AdapterManage::resetStatusPanel()
{
    if (!m_page)
        return;
    m_page->slaveWindow()->resetStatus();
    showStatusKnowledge();
    if (isForceMode())
        showForceIndicator();
}

// ---------------------------------------------------------------------------
// Creating and stopping the Adapter

void AdapterManage::createAdapter(bool offline, bool byteAlignment)
{
    if (m_adapter)
        return;
    m_thread = new QThread;
    m_adapter = new Adapter;
    m_adapter->setOffline(offline);
    connect(m_adapter, &Adapter::sigSlaveLoadingFinished, this, &AdapterManage::onAdapterUpdateData);
    connect(m_adapter, &Adapter::sigDownloadSkipped, this, [this](QMap<quint64, int> reasons) { m_skipped = reasons; });
    connect(m_adapter, &Adapter::sigErrMessage, this, &AdapterManage::onErrMessage);
    connect(m_adapter, &Adapter::sigAdapterState, this, &AdapterManage::onAdapterState);
    connect(m_adapter, &Adapter::sigOpenSerialPortFail, this, &AdapterManage::onOpenSerialPortFail);
    connect(m_adapter, &Adapter::sigGetSlaveTimeout, this, &AdapterManage::onGetSlaveTimeout);
    connect(m_adapter, &Adapter::sigSaveSlaveList, this, &AdapterManage::onSaveSlaveSuccess);
    connect(m_adapter, &Adapter::sigSerialPortOff, this, &AdapterManage::onCloseAdapter);
    connect(m_adapter, &Adapter::sigFileCreaterSlave, this, &AdapterManage::onFileCreaterSlave);
    connect(m_adapter, &Adapter::sigCsvLines, this, &AdapterManage::onCsvLines);
    connect(m_adapter, &Adapter::sigCsvImported, this, &AdapterManage::onCsvImported);
    connect(m_adapter, &Adapter::sigSettingsReadBack, this, [this](SettingsReadBack readBack) {
        if (m_page)
            applyMessage(appcore::ReadBack::settingsMessage(readBack));
    });
    connect(m_adapter, &Adapter::sigStoreReadBack, this, [this](SlaveList stored, SlaveList reloaded) {
        if (m_page)
            applyMessage(appcore::ReadBack::storeMessage(appcore::ReadBack::busDifferences(stored, reloaded)));
    });
    connect(m_adapter, &Adapter::sigStopLighting, this, [this] {
        if (m_page)
            m_page->slaveWindow()->tiles()->closeAllLamps();
        if (m_topology)
            m_topology->closeAllLamps();
    });
    if (m_page) {
        connect(m_page->messageWidget(), &MessageWidget::sigOpenAllOut, m_adapter, &Adapter::onOpenAllOut);
        connect(m_page->slaveWindow(), &SlaveMainWindow::sigUpdatePower, m_adapter, &Adapter::onUpdatePower);
    }
    m_state.offline = offline;
    m_state.alignmentUnit = byteAlignment ? 8 : 1;
    m_adapter->setAlignmentUnit(m_state.alignmentUnit);
    m_adapter->moveToThread(m_thread);
    m_thread->start();
}

// Stops the Adapter: its shutdown request ends any transaction or wait at
// once, then its thread ends (the Adapter deletes itself on the way out).
void AdapterManage::stopAdapter()
{
    if (!m_adapter)
        return;
    Adapter *adapter = m_adapter;
    QThread *thread = m_thread;
    m_adapter = nullptr;
    m_thread = nullptr;
    adapter->disconnect(this);
    disconnect(adapter);
    adapter->requestShutdown();
    emit adapter->sigClean();
    // What this adapter was loading or writing ends with it, and so does its
    // progress dialog.
    if (m_loading || m_downloading || m_batch) {
        if (Loading *dialog = loading())
            dialog->hideLading();
    }
    if (thread->wait(kShutdownWaitMs)) {
        delete thread;
    } else {
        // Deleting a thread that still runs would end the program: it goes
        // when it has ended.
        qCWarning(lcApp) << "adapter thread did not end in time; it is released when it ends";
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        if (thread->isFinished())
            thread->deleteLater();
    }
    m_loading = false;
    m_downloading = false;
    m_allocating = false;
    m_exportPath.clear();
    m_afterExport = nullptr;
    m_csvImportPending = false;
    m_batchPending = false;
    m_batch = false;
}

void AdapterManage::onCreaterAdapter(int vid, int pid, QString mac, QString name, bool byteAlignment)
{
    m_static = false;
    m_name = name;
    m_mac = mac;
    createAdapter(false, byteAlignment);
    startDiagnostics(mac);
    appendMessage(MessageWidget::None, tr("开始加载从站模块"), QStringLiteral("load.started"));
    m_loading = true;
    emit m_adapter->sigSetSerialPort(vid, pid, mac);
    if (Loading *dialog = loading())
        dialog->showLading();
}

void AdapterManage::onStaticCreaterAdapter(bool byteAlignment)
{
    m_static = true;
    m_name = kOfflineName;
    createAdapter(true, byteAlignment);
    startDiagnostics(QString());
    if (m_topology) {
        m_topology->setAcceptModules(true);
        connect(m_topology, &TopologyPage::sigModuleDropped, this, [this](QString key) { openCreateSlave(key); });
    }
    appendMessage(MessageWidget::None, tr("开始加载从站模块"), QStringLiteral("load.started"));
    emit m_adapter->sigLoadingLocalInfo();
}

void AdapterManage::closeAdapter()
{
    closeIoTests();
    if (m_createView)
        m_createView->close();
    if (m_memoryWindow)
        m_memoryWindow->close();
    if (m_compareView)
        m_compareView->close();
    closeDiagnostics();
    stopAdapter();
    m_slaves.clear();
    if (m_topology)
        m_topology->clear();
}

void AdapterManage::removeFromTree()
{
    if (ProjectView *tree = mainWindowManagement::instance()->projectView())
        tree->onRemoveCouplerItem(treeIndex());
    m_slaves.clear();
    if (m_page)
        m_page->clearPage();
}

void AdapterManage::onCloseAdapter()
{
    if (!m_adapter)
        return;
    if (m_page) {
        m_page->slaveWindow()->clearSlaves();
        m_page->showPage(MainProductView::AdapterPage);
    }
    MessageBox::about(dialogParent(), tr("提示"), tr("串口离线，清空主站信息"));
    closeAdapter();
}

// ---------------------------------------------------------------------------
// Operations

void AdapterManage::clearAbnormal()
{
    if (!m_adapter)
        return;
    if (isForceMode()) {
        MessageBox::about(dialogParent(), tr("提示"), tr("强制模式不可操作! "));
        return;
    }
    emit m_adapter->sigClearAbnormal();
}

void AdapterManage::reloadSlaves()
{
    if (!m_adapter)
        return;
    if (Loading *dialog = loading())
        dialog->showLading();
    m_loading = true;
    emit m_adapter->sigUpdateSlave(1);
}

void AdapterManage::saveConfiguration()
{
    if (!m_adapter)
        return;
    if (isForceMode()) {
        MessageBox::about(dialogParent(), tr("提示"), tr("强制模式不可操作!"));
        return;
    }
    if (const QString refusal = appcore::storeRefusal(m_slaves.size()); !refusal.isEmpty()) {
        MessageBox::about(dialogParent(), tr("提示"), refusal);
        return;
    }
    emit m_adapter->sigSaveAdapterConfig();
}

void AdapterManage::downloadConfiguration()
{
    if (!m_adapter)
        return;
    if (Loading *dialog = loading())
        dialog->showLading();
    // Success is said when the download has really finished (and nothing
    // failed on the way), not when it was asked for.
    m_downloading = true;
    m_downloadFailed = false;
    m_adapter->requestConfigurationDownload();
}

void AdapterManage::setForceMode(bool on)
{
    if (m_adapter)
        emit m_adapter->sigSetFource(on);
}

void AdapterManage::setUpgradeFlag(bool running)
{
    if (m_adapter)
        m_adapter->setUpgradeRunning(running);
}

void AdapterManage::setAlignmentUnit(int unit)
{
    if (m_adapter)
        m_adapter->setAlignmentUnit(unit);
}

void AdapterManage::showAdapterPage()
{
    onShowSlave(QByteArray());
}

void AdapterManage::showSlavePage(quint64 recordId, const QByteArray &uid)
{
    m_currentRecordId = recordId;
    m_currentSlaveId = uid;
    // The tree follows a slave picked elsewhere (a tile, the table).
    ProjectView *tree = mainWindowManagement::instance()->projectView();
    if (QTreeWidgetItem *item = tree ? tree->slaveItemOf(treeIndex(), recordId) : nullptr)
        tree->setCurrentItem(item);
    refreshCurrentView();
    if (m_page)
        m_page->showPage(MainProductView::SlavePage);
}

void AdapterManage::removeOfflineSlave(quint64 recordId)
{
    if (m_adapter && m_static)
        m_adapter->requestRemoveSlave(recordId);
}

void AdapterManage::onStaticCreaterSlave(int sid, QByteArray type)
{
    if (!m_adapter)
        return;
    if (m_slaves.size() >= kStationLimit) {
        MessageBox::about(dialogParent(), tr("提示"), tr("从站数量已达最大值,添加失败!"));
        return;
    }
    if (sid > kStationLimit) {
        MessageBox::about(dialogParent(), tr("提示"), tr("从站站号最大支持128,添加%1站号失败!").arg(sid));
        return;
    }
    m_adapter->requestCreateOfflineSlave(sid, type);
}

void AdapterManage::onFileCreaterSlave(int)
{
    // The list follows with the report of the change.
}

void AdapterManage::askOfflineDownload(int vid, int pid, const QString &serial, const QString &adapterName)
{
    if (!m_adapter)
        return;
    QPointer<AdapterManage> self(this);
    ask(QMessageBox::Question,
        tr("将离线配置的%1个模块写入适配器\"%2\"(序列号 %3)吗?\n总线上UID或站号相符的同类型模块将按此配置。")
            .arg(m_slaves.size())
            .arg(adapterName, serial),
        [self, vid, pid, serial](bool yes) {
            if (yes && self)
                self->onSynAdapterConfig(vid, pid, serial);
        });
}

void AdapterManage::onSynAdapterConfig(int index, int type, QString name)
{
    if (!m_adapter)
        return;
    if (Adapter::hasConflict(Adapter::occupancyMap(m_slaves))) {
        MessageBox::about(dialogParent(), tr("提示"), tr("地址冲突,下载配置失败!"));
        return;
    }
    // One device, one owner: an adapter open in a tab is driven by its own
    // Adapter only.
    if (TabWidget *tabs = mainWindowManagement::instance()->tabWidget()) {
        if (tabs->isAdapterOpen(name)) {
            MessageBox::notify(dialogParent(), tr("警告"), tr("该适配器已在其他标签页中打开,请先关闭后再下载配置!"),
                               MessageBox::Warning, 280);
            return;
        }
    }
    m_adapter->requestOfflineDownload(index, type, name);
}

// ---------------------------------------------------------------------------
// Reports of the Adapter

void AdapterManage::onAdapterState(AdapterState state)
{
    const bool linkChanged = state.linked != m_state.linked;
    m_state = state;
    updateIoTests();
    if (linkChanged) {
        showStatusKnowledge();
        showForceIndicator();
    }
}

void AdapterManage::onAdapterUpdateData(adapter_message_type type, AdapterStatus status, SlaveList slaves, int n)
{
    m_status = status;
    m_slaves = slaves;
    if (!m_page)
        return;
    if (m_topology)
        m_topology->update(slaves);
    SlaveMainWindow *panel = m_page->slaveWindow();
    panel->updateSlaves(slaves);
    updateIoTests();
    if (m_createView)
        m_createView->setSlaves(slaves);
    panel->updateStatus(status);
    showStatusKnowledge();
    Loading *dialog = loading();
    const auto hideLoading = [&] {
        m_loading = false;
        if (dialog)
            dialog->hideLading();
    };
    switch (type) {
    case MSG_LOAD_FINISHED:
        showForceIndicator();
        onResSVG(0);
        appendMessage(MessageWidget::None, tr("加载从站模块完成"), QStringLiteral("load.done"));
        hideLoading();
        break;
    case MSG_SCAN_PROGRESS:
        if (dialog)
            dialog->setLoadNumber(n);
        break;
    case MSG_SLAVE_ADDED:
        // A poll that finds a new module adds it without a progress dialog.
        if (dialog && m_loading)
            dialog->setLoadNumber();
        break;
    case MSG_LOAD_TIMEOUT:
        appendMessage(MessageWidget::None, tr("读取超时,加载数据失败！"), QStringLiteral("load.timeout"));
        hideLoading();
        break;
    case MSG_RELOAD:
    case MSG_RELOADED:
        panel->clearSlaves();
        if (type == MSG_RELOADED)
            showForceIndicator();
        appendMessage(MessageWidget::None, tr("开始加载从站模块"), QStringLiteral("load.started"));
        onResSVG(0);
        appendMessage(MessageWidget::None, tr("加载从站模块完成"), QStringLiteral("load.done"));
        hideLoading();
        break;
    case MSG_LIST_CHANGED:
        if (m_allocating && !m_static) {
            m_allocating = false;
            appendMessage(MessageWidget::None, allocationDone(), appcore::resultCode(MSG_ADDRESS_CONFIG_RESULT, SlaveConfigResult::Success));
        }
        hideLoading();
        showForceIndicator();
        onResSVG(0);
        onShowSlave(m_currentSlaveId);
        break;
    case MSG_BUS_EMPTIED:
        panel->clearSlaves();
        if (m_topology)
            m_topology->clear();
        hideLoading();
        break;
    case MSG_REFRESH_ROWS:
        if (m_allocating && m_static) {
            m_allocating = false;
            appendMessage(MessageWidget::None, allocationDone(), appcore::resultCode(MSG_ADDRESS_CONFIG_RESULT, SlaveConfigResult::Success));
        }
        onResSVG(0);
        if (!m_loading && dialog && !m_downloading)
            dialog->hideLading();
        break;
    case MSG_FORCE_STATE:
        showForceIndicator();
        break;
    case MSG_SLAVE_SET:
        if (dialog && dialog->isVisible())
            dialog->setLoadConfigNumber();
        break;
    default:
        break;
    }
    refreshCurrentView();
}

void AdapterManage::onErrMessage(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status, SlaveList s1,
                                 SlaveList s2)
{
    if (!m_page)
        return;
    appcore::ResultMessage message = appcore::resultMessage(type, err, sid, status);
    if (type == MSG_OPERATION_FAILED && err == AdapterOperation::ForceOff)
        emit sigForceLeaveFailed();
    // A store or a settings write makes the adapter restart: the link it
    // drops then is what was asked for, not a fault.
    if (type == MSG_CONFIG_STORED || (type == MSG_BATCH_CONFIG && qint8(err) == -16))
        m_restartExpected = true;
    if (type == MSG_USB_STATE && qint8(err) == -2 && m_restartExpected) {
        message = appcore::ResultMessage();
        message.logText = tr("适配器按要求重启,重启后自动重新链接。");
        message.level = appcore::MessageLevel::Inform;
        message.resetStatusPanel = true;
    }
    if (type == MSG_USB_STATE && qint8(err) == -1)
        m_restartExpected = false;
    if (m_downloading && message.isFailure())
        m_downloadFailed = true;
    // An allocation refused before it ran reports nothing else.
    if (message.isFailure() || type == MSG_NOT_LINKED)
        m_allocating = false;
    // The summary is logged as done when the user has seen it.
    if (message.showConfigurationSummary)
        message.logText.clear();
    if (type == MSG_DOWNLOAD_REFUSED && err == DownloadRefusal::AddressConflict) {
        // The box names the modules that share bits, as the command line does.
        QStringList lines;
        for (const appcore::Overlap &overlap : appcore::overlaps(m_slaves))
            lines << appcore::overlapText(overlap);
        if (!lines.isEmpty())
            message.boxText += QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    }
    applyMessage(message);
    if (type == MSG_DOWNLOAD_REFUSED) {
        m_downloading = false;
        if (m_batch)
            endBatchConfiguration(BatchEnd::NothingWritten);
    }
    if (type == MSG_DOWNLOAD_DONE && m_downloading) {
        m_downloading = false;
        // err 1: the adapter confirmed the download.
        const bool confirmed = err == 1 && !m_downloadFailed;
        if (confirmed)
            appendMessage(MessageWidget::Inform, tr("下载配置数据成功!"), QStringLiteral("download.written"));
        // A batch configuration ends with the summary of what was written.
        if (m_batch) {
            endBatchConfiguration();
            if (err != 1)
                appendMessage(MessageWidget::None, appcore::resultMessage(MSG_BATCH_CONFIG, 4).logText, appcore::resultCode(MSG_BATCH_CONFIG, 4));
            showSummary(s1, s2);
        }
    }
    if ((type == MSG_DOWNLOAD_DONE || type == MSG_DOWNLOAD_REFUSED) && loading())
        loading()->hideLading();
    if (message.showConfigurationSummary)
        showSummary(s1, s2);
}

void AdapterManage::applyMessage(const appcore::ResultMessage &message)
{
    Loading *dialog = loading();
    switch (message.loading) {
    case appcore::LoadingStep::Hide:
        if (dialog && !m_downloading)
            dialog->hideLading();
        m_loading = false;
        break;
    case appcore::LoadingStep::Show:
        if (dialog)
            dialog->showLading();
        break;
    case appcore::LoadingStep::Advance:
        if (dialog)
            dialog->setLoadConfigNumber();
        break;
    case appcore::LoadingStep::Keep:
        break;
    }
    if (message.resetStatusPanel)
        resetStatusPanel();
    if (message.forceIndicatorOff)
        showForceIndicator();
    if (message.isLogged())
        appendMessage(int(message.level), message.logText, message.code);
    if (m_quiet || !message.hasBox())
        return;
    const auto kind = [](appcore::MessageIcon icon) {
        switch (icon) {
        case appcore::MessageIcon::Information:
            return MessageBox::Information;
        case appcore::MessageIcon::Progress:
            return MessageBox::Progress;
        default:
            return MessageBox::Warning;
        }
    };
    MessageBox::notify(dialogParent(), message.boxTitle, message.boxText, kind(message.icon), message.boxWidth,
                       message.boxCloseMs);
}

// The result of a batch or offline download, station by station: in the
// message list, which keeps it, and in the summary dialog. The download
// counts as done once the user has seen the summary.
void AdapterManage::showSummary(const SlaveList &remaining, const SlaveList &configured)
{
    QList<MessageWidget::Line> lines;
    for (const SlaveSnapshot &slave : configured)
        lines.append({MessageWidget::None, appcore::resultMessage(MSG_BATCH_CONFIG, 255, slave->stationId).logText,
                      appcore::resultCode(MSG_BATCH_CONFIG, 255)});
    QMap<quint64, QString> reasons;
    for (const SlaveSnapshot &slave : remaining) {
        QString line = tr("站点%1 %2 未配置").arg(slave->stationId).arg(slave->typeName);
        QString code = QStringLiteral("download.not_configured");
        const auto skipped = m_skipped.constFind(slave->recordId);
        if (skipped != m_skipped.cend()) {
            reasons.insert(slave->recordId, appcore::downloadSkipText(*skipped));
            line += tr(": %1").arg(reasons.value(slave->recordId));
            code = appcore::downloadSkipCode(*skipped);
        }
        lines.append({MessageWidget::Waring, line, code});
    }
    m_skipped.clear();
    m_page->messageWidget()->appendMessages(lines, MessageWidget::kSource);
    auto *view = new LocalConfigView(dialogParent());
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->fill(configured, remaining, reasons);
    QPointer<AdapterManage> self(this);
    connect(view, &QDialog::finished, this, [self] {
        if (self)
            self->appendMessage(MessageWidget::None, appcore::resultMessage(MSG_BATCH_CONFIG, 2).logText, appcore::resultCode(MSG_BATCH_CONFIG, 2));
    });
    view->open();
}

void AdapterManage::onOpenSerialPortFail()
{
    m_loading = false;
    if (Loading *dialog = loading())
        dialog->hideLading();
    MessageBox::about(dialogParent(), tr("提示"), tr("串口无法打开,不存在或已被占用"));
}

void AdapterManage::onGetSlaveTimeout()
{
    m_loading = false;
    if (Loading *dialog = loading())
        dialog->hideLading();
    MessageBox::about(dialogParent(), tr("提示"), tr("读取串口数据超时,请检查串口是否正常"));
}

void AdapterManage::onSaveSlaveSuccess()
{
    MessageBox::about(dialogParent(), tr("提示"), tr("记录工作从机列表成功"));
}

// ---------------------------------------------------------------------------
// Views

void AdapterManage::onShowSlave(QByteArray id)
{
    if (!m_page)
        return;
    if (id.isEmpty()) {
        m_currentSlaveId.clear();
        m_currentRecordId = 0;
        refreshCurrentView();
        m_page->showPage(MainProductView::AdapterPage);
        return;
    }
    const SlaveSnapshot slave = findByUid(id);
    m_currentSlaveId = id;
    m_currentRecordId = slave ? slave->recordId : 0;
    refreshCurrentView();
    m_page->showPage(MainProductView::SlavePage);
}

void AdapterManage::refreshCurrentView()
{
    if (!m_page)
        return;
    // The tile of the slave shown is selected; with the adapter shown, none.
    quint64 selected = 0;
    if (m_currentRecordId != 0 || !m_currentSlaveId.isEmpty()) {
        SlaveSnapshot slave = m_currentRecordId ? findSnapshot(m_slaves, m_currentRecordId) : nullptr;
        if (!slave && !m_currentSlaveId.isEmpty())
            slave = findByUid(m_currentSlaveId);
        m_page->showSlave(slave, m_slaves);
        selected = slave ? slave->recordId : 0;
    }
    // What the page shows is picked everywhere it is listed: tile, topology
    // and tree, whichever of them it was picked in.
    m_page->slaveWindow()->selectRecord(selected);
    if (m_topology)
        m_topology->markRecord(selected);
    if (ProjectView *tree = mainWindowManagement::instance()->projectView())
        tree->showCurrent(treeIndex(), selected);
    const QPair<quint16, quint16> used = usedBits();
    m_page->showAdapter(m_state, m_status, used.first, used.second, m_static, m_slaves);
    updateMemoryView();
}

// The input and output bits of the modules with a configuration (16-bit sums).
QPair<quint16, quint16> AdapterManage::usedBits() const
{
    const appcore::BitsInUse bits = appcore::bitsInUse(m_slaves);
    return {quint16(bits.input), quint16(bits.output)};
}

QPair<quint16, quint16> AdapterManage::bitsInUse() const
{
    if (!m_adapter || !m_state.linked)
        return {0, 0};
    return usedBits();
}

void AdapterManage::onSlaveCloseLame(QByteArray id)
{
    if (m_topology)
        m_topology->closeLampsExcept(id);
    if (m_page)
        m_page->slaveWindow()->tiles()->closeLampsExcept(id);
    if (!m_adapter)
        return;
    for (const SlaveSnapshot &slave : m_slaves) {
        if (slave->uuid != id && slave->lighting)
            m_adapter->requestSlaveLamp(slave->recordId, false);
    }
}

void AdapterManage::onHoverEnterEvent(bool hovering)
{
    if (m_topology)
        m_topology->view()->onHoverEnterEvent(hovering);
}

// The adapter's modules in the project tree, in the current language.
void AdapterManage::showSlavesInTree(const QHash<quint64, QString> &conflicts)
{
    const int index = treeIndex();
    ProjectView *tree = mainWindowManagement::instance()->projectView();
    if (!tree || index < 0)
        return;
    // The tree's selection stays the user's: a redraw of one adapter never
    // moves it to another.
    tree->removeSlaves(index);
    for (const SlaveSnapshot &slave : m_slaves) {
        const QString part = slave->typeName.split(QLatin1Char('-')).value(1, slave->typeName);
        QTreeWidgetItem *item = tree->addSlave(index, tr("站号：%1 (%2)").arg(slave->stationId).arg(part),
                                               slave->stationId, slave->uuid, slave->recordId);
        if (const QString conflict = conflicts.value(slave->recordId); item && !conflict.isEmpty()) {
            item->setText(0, item->text(0) + tr(" 地址冲突"));
            item->setForeground(0, QColor(221, 34, 34));
            item->setToolTip(0, conflict);
        }
    }
    if (tree->topLevelItem(index))
        tree->topLevelItem(index)->setExpanded(true);
}

void AdapterManage::retranslate()
{
    if (m_page)
        showSlavesInTree(appcore::conflictsByRecord(m_slaves));
}

void AdapterManage::onResSVG(int)
{
    if (!m_page)
        return;
    SlaveMainWindow *panel = m_page->slaveWindow();
    panel->setSlaves(m_slaves, m_state.alignmentUnit, m_static);
    const QHash<quint64, QString> conflicts = appcore::conflictsByRecord(m_slaves);
    panel->setConflicts(conflicts);
    logNewConflicts();
    showSlavesInTree(conflicts);
    showForceIndicator();
    if (m_topology)
        m_topology->rebuild(m_slaves);
    if (const SlaveSnapshot current = findSnapshot(m_slaves, m_currentRecordId))
        panel->selectRecord(current->recordId);
}
