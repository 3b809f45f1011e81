// The module views of an adapter page and what they ask of the Adapter:
// the tiles (lamp, reset, station), the parameter editor, the IO test
// windows. Every request names the slave's record and goes to this
// manager's Adapter only.

#include "AdapterManage.h"
#include "AddressConflicts.h"
#include "AdapterSettingsView.h"
#include "ConfigCompareDialog.h"
#include "IoCheckoutDialog.h"

#include "MessageBox.h"
#include "SVGManagement.h"
#include "SettingRegisterData.h"
#include "MessageWidget.h"
#include "SlaveEditChecks.h"
#include "SlaveEditRecord.h"
#include "SlaveInfoView.h"
#include "SlaveMainWindow.h"
#include "SwapMemoryView.h"
#include "TarnBaseConvert.h"
#include "TopologyPage.h"

#include <QDialog>
#include <QMessageBox>
#include <QVBoxLayout>

void AdapterManage::connectViews()
{
    SlaveMainWindow *panel = m_page->slaveWindow();
    connect(panel, &SlaveMainWindow::sigLampRequest, this, &AdapterManage::onLampRequest);
    connect(panel, &SlaveMainWindow::sigResetRequest, this, [this](quint64 recordId) {
        if (m_adapter)
            m_adapter->requestSlaveClear(recordId);
    });
    connect(panel, &SlaveMainWindow::sigSlaveCreateView, this, &AdapterManage::onSlaveCreateView);
    connect(panel, &SlaveMainWindow::sigSlaveDataTest, this, &AdapterManage::openIoTest);
    connect(m_topology, &TopologyPage::sigOpenIoTest, this, [this](quint64 recordId, QString) { openIoTest(recordId); });
    connect(m_page->adapterSettings(), &AdapterSettingsView::sigWriteSettings, this, &AdapterManage::writeAdapterSettings);
    SlaveInfoView *editor = m_page->editor();
    connect(editor, &SlaveInfoView::sigApplyConfig, this, &AdapterManage::applySlaveConfig);
    connect(editor, &SlaveInfoView::sigSlaveDataTest, this, [this] { openIoTest(m_currentRecordId); });
    // The address window shows where the edited areas would go.
    connect(editor, &SlaveInfoView::sigShowCurrSwapMemoryView, this, [this](int start, int bits, int, int type) {
        if (m_memoryWindow)
            m_memoryWindow->findChild<SwapMemoryView *>()->setPreview(type == TarnBase::ParamDI || type == TarnBase::ParamAI, start, bits);
    });
}

void AdapterManage::writeAdapterSettings(quint8 settingsByte, quint16 threshold, bool changeThreshold)
{
    if (!m_adapter)
        return;
    if (isForceMode()) {
        MessageBox::about(dialogParent(), tr("提示"), tr("强制模式不可操作!"));
        return;
    }
    ask(QMessageBox::Question, tr("写入适配器参数后适配器将重启，是否继续？"),
        [this, settingsByte, threshold, changeThreshold](bool write) {
            if (write && m_adapter)
                m_adapter->requestSettingsWrite(settingsByte, threshold, changeThreshold);
        });
}

// A tile's lamp: the module's lamp, and every other lamp of the page out.
void AdapterManage::onLampRequest(quint64 recordId, bool on)
{
    if (!m_adapter)
        return;
    m_adapter->requestSlaveLamp(recordId, on);
    if (const SlaveSnapshot slave = findSnapshot(m_slaves, recordId); slave && on)
        onSlaveCloseLame(slave->uuid);
}

void AdapterManage::onSlaveCreateView(int type, quint64 recordId, int)
{
    constexpr int kEditStation = 3;
    const SlaveSnapshot slave = findSnapshot(m_slaves, recordId);
    if (type != kEditStation || !slave || !m_page)
        return;
    showSlavePage(recordId, slave->uuid);
    m_page->editor()->focusStation();
}

// The editor's record: by identity, or by station for the adapter's own
// module, as the command line sends it.
void AdapterManage::applySlaveConfig(quint64 recordId, const QByteArray &record)
{
    const SlaveSnapshot slave = findSnapshot(m_slaves, recordId);
    if (!m_adapter || !slave)
        return;
    // What the user asked for is kept in the message list; the adapter's
    // answer follows it.
    const QStringList changes = appcore::editChanges(*slave, record);
    appendMessage(MessageWidget::Inform, tr("写入 %1: %2")
                                             .arg(appcore::moduleName(*slave),
                                                  changes.isEmpty() ? tr("配置不变") : changes.join(QStringLiteral(", "))),
                  QStringLiteral("slave.write_requested"));
    if (appcore::editsByIdentity(*slave))
        m_adapter->requestSlaveEditedConfig(recordId, record);
    else
        m_adapter->requestSlaveConfig(recordId, record);
}

SettingRegisterData *AdapterManage::openIoTest(quint64 recordId)
{
    constexpr int kBoxWidth = 210;
    const SlaveSnapshot slave = findSnapshot(m_slaves, recordId);
    if (!slave) {
        MessageBox::notify(dialogParent(), tr("警告"), tr("站点数据异常!"), MessageBox::Warning, kBoxWidth);
        return nullptr;
    }
    if (slave->statusRun == 0) {
        MessageBox::notify(dialogParent(), tr("提示"), tr("站点不存在，不可操作!"), MessageBox::Information, kBoxWidth);
        return nullptr;
    }
    // A module that holds no area has no inputs to read and no outputs to
    // force: any bit tested would be another module's.
    if (slave->ioWindow.inputBits == 0 && slave->ioWindow.outputBits == 0) {
        MessageBox::notify(dialogParent(), tr("提示"), tr("该模块未分配IO地址,不可测试!"), MessageBox::Information,
                           kBoxWidth);
        return nullptr;
    }
    if (SettingRegisterData *open = m_ioTests.value(recordId)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *window = new SettingRegisterData(SVGManagement::ioTestTitle(*slave), dialogParent());
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &SettingRegisterData::sigOutputRequest, this, [this](quint64 id, int index, int value) {
        if (!m_adapter)
            return;
        if (const SlaveSnapshot forced = findSnapshot(m_slaves, id))
            appendMessage(MessageWidget::Inform, tr("强制输出: %1 输出%2 = %3").arg(appcore::moduleName(*forced)).arg(index).arg(value),
                          QStringLiteral("force.output"));
        m_adapter->requestSlaveOutput(id, index, value);
    });
    connect(window, &SettingRegisterData::sigOutputsRequest, this, [this](quint64 id, QVector<int> values) {
        if (m_adapter)
            m_adapter->requestSlaveOutputs(id, values);
    });
    if (m_adapter)
        connect(m_adapter, &Adapter::sigShareChannel, window, &SettingRegisterData::onShareChannel);
    window->setSlave(slave, m_slaves, m_state.forceMode, m_state.linked);
    m_ioTests.insert(recordId, window);
    window->show();
    return window;
}

void AdapterManage::updateIoTests()
{
    for (auto it = m_ioTests.begin(); it != m_ioTests.end();) {
        if (!it.value()) {
            it = m_ioTests.erase(it);
            continue;
        }
        const QPointer<SettingRegisterData> window = it.value();
        ++it;
        window->updateSlaves(m_slaves, m_state.forceMode, m_state.linked);
    }
    if (m_checkoutView)
        m_checkoutView->updateSlaves(m_slaves, m_state.forceMode, m_state.linked);
}

// The windows end their tests, outputs off, while the Adapter still takes requests.
void AdapterManage::closeIoTests()
{
    const auto windows = m_ioTests;
    m_ioTests.clear();
    for (const QPointer<SettingRegisterData> &window : windows) {
        if (window)
            window->close();
    }
    if (m_checkoutView)
        m_checkoutView->close();
}

IoCheckoutDialog *AdapterManage::checkoutView() const
{
    return m_checkoutView;
}

IoCheckoutDialog *AdapterManage::openCheckout()
{
    if (!m_adapter || m_static)
        return nullptr;
    if (!m_checkoutView) {
        m_checkoutView = new IoCheckoutDialog(this, dialogParent());
        m_checkoutView->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_checkoutView, &IoCheckoutDialog::logMessage, this,
                [this](const QString &text) { appendMessage(MessageWidget::Inform, text, QStringLiteral("checkout.note")); });
    }
    m_checkoutView->show();
    m_checkoutView->raise();
    m_checkoutView->activateWindow();
    return m_checkoutView;
}

CreateSlaveView *AdapterManage::openCreateSlave(const QString &typeKey)
{
    if (!m_adapter || !m_static)
        return nullptr;
    if (!m_createView) {
        m_createView = new CreateSlaveView(dialogParent());
        m_createView->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_createView, &CreateSlaveView::sigCreateSlave, this, &AdapterManage::onStaticCreaterSlave);
    }
    m_createView->setSlaves(m_slaves);
    if (!typeKey.isEmpty())
        m_createView->selectType(typeKey);
    m_createView->open();
    return m_createView;
}

QDialog *AdapterManage::openMemoryView()
{
    if (!m_memoryWindow) {
        m_memoryWindow = new QDialog(dialogParent());
        m_memoryWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_memoryWindow->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        m_memoryWindow->setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
        m_memoryWindow->setWindowTitle(tr("地址占用 — %1").arg(m_name));
        auto *layout = new QVBoxLayout(m_memoryWindow);
        layout->addWidget(new SwapMemoryView);
        m_memoryWindow->resize(1000, 320); // both grids side by side, legend below
    }
    updateMemoryView();
    m_memoryWindow->show();
    m_memoryWindow->raise();
    return m_memoryWindow;
}

ConfigCompareDialog *AdapterManage::openCompare()
{
    if (!m_adapter || m_static)
        return nullptr;
    if (!m_compareView) {
        m_compareView = new ConfigCompareDialog(this, dialogParent());
        m_compareView->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        m_compareView->refreshSources();
    }
    m_compareView->show();
    m_compareView->raise();
    m_compareView->activateWindow();
    return m_compareView;
}

ConfigCompareDialog *AdapterManage::compareView() const
{
    return m_compareView;
}

void AdapterManage::updateMemoryView()
{
    if (!m_memoryWindow)
        return;
    SwapMemoryView *view = m_memoryWindow->findChild<SwapMemoryView *>();
    view->setSlaves(m_slaves);
    view->setHighlight(m_currentRecordId);
}
