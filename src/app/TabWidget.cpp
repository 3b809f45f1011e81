#include "TabWidget.h"

#include "AdapterManage.h"
#include "LoopTimeView.h"
#include "MainProductView.h"
#include "MessageBox.h"
#include "ProjectView.h"
#include "mainWindowManagement.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabBar>

TabWidget::TabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setTabsClosable(true);
    setDocumentMode(true);
    m_welcome = new QLabel(tr("点击“新建工程”扫描USB上的适配器并打开它，\n或点击“手动组态”新建一个离线组态。"), this);
    m_welcome->setAlignment(Qt::AlignCenter);
    m_welcome->setStyleSheet(QStringLiteral("color: rgb(96, 110, 120); font-size: 16px;"));
    showWelcome();
    connect(this, &QTabWidget::tabCloseRequested, this, [this](int index) { closeAdapterAt(index); });
    // The tab in front is the adapter selected in the tree.
    connect(this, &QTabWidget::currentChanged, this, [](int index) {
        ProjectView *tree = mainWindowManagement::instance()->projectView();
        if (tree && index >= 0 && index < tree->topLevelItemCount())
            tree->setCurrentItem(tree->topLevelItem(index));
    });
}

TabWidget::~TabWidget()
{
    closeAll();
}

void TabWidget::showWelcome()
{
    m_welcome->setGeometry(rect());
    m_welcome->setVisible(count() == 0);
    m_welcome->raise();
}

void TabWidget::resizeEvent(QResizeEvent *event)
{
    QTabWidget::resizeEvent(event);
    showWelcome();
}

void TabWidget::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    showWelcome();
}

void TabWidget::tabRemoved(int index)
{
    QTabWidget::tabRemoved(index);
    showWelcome();
}

void TabWidget::setByteAlignment(bool byteAlignment)
{
    m_byteAlignment = byteAlignment;
    for (AdapterManage *manager : qAsConst(m_managers))
        manager->setAlignmentUnit(byteAlignment ? 8 : 1);
}

int TabWidget::indexOfManager(const AdapterManage *manager) const
{
    return m_managers.indexOf(const_cast<AdapterManage *>(manager));
}

int TabWidget::selectedIndex() const
{
    if (ProjectView *tree = mainWindowManagement::instance()->projectView()) {
        QTreeWidgetItem *item = tree->currentItem();
        while (item && item->parent())
            item = item->parent();
        const int index = item ? tree->indexOfTopLevelItem(item) : -1;
        if (index >= 0 && index < m_managers.size())
            return index;
    }
    return m_managers.size() == 1 ? 0 : -1;
}

bool TabWidget::isAdapterOpen(const QString &mac) const
{
    for (const AdapterManage *manager : m_managers) {
        if (manager->hasAdapter() && !manager->isStatic() && manager->mac() == mac)
            return true;
    }
    return false;
}

bool TabWidget::anyForceMode() const
{
    for (const AdapterManage *manager : m_managers) {
        if (manager->isForceMode())
            return true;
    }
    return false;
}

bool TabWidget::anyLinkedForceMode() const
{
    for (const AdapterManage *manager : m_managers) {
        if (manager->isForceMode() && manager->isLinked())
            return true;
    }
    return false;
}

void TabWidget::askToCloseWhileForced(const std::function<void()> &closed)
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("警告"),
                                tr("适配器链接已断开,无法确认其已退出强制模式,输出可能仍处于强制状态。\n仍要关闭吗?"),
                                QMessageBox::NoButton, mainWindowManagement::instance()->mainWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->addButton(tr("关闭"), QMessageBox::AcceptRole);
    QPushButton *keep = box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    connect(box, &QMessageBox::finished, this, [box, keep, closed] {
        if (box->clickedButton() && box->clickedButton() != keep)
            closed();
    });
    box->open();
}

void TabWidget::offerToLeaveForceMode(const std::function<void()> &then)
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("警告"),
                                tr("强制模式不可操作!") + QLatin1Char('\n') + tr("适配器的输出仍被强制。是否先退出强制模式,再继续?"),
                                QMessageBox::NoButton, mainWindowManagement::instance()->mainWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *leave = box->addButton(tr("退出强制模式并继续"), QMessageBox::AcceptRole);
    QPushButton *keep = box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    connect(box, &QMessageBox::finished, this, [this, box, leave, then] {
        if (box->clickedButton() != leave)
            return;
        m_afterLeaving = then;
        for (AdapterManage *manager : qAsConst(m_managers)) {
            if (manager->isForceMode() && manager->isLinked())
                manager->setForceMode(false);
        }
        continueAfterLeaving();
    });
    box->open();
}

bool TabWidget::anyUnexportedChanges() const
{
    for (const AdapterManage *manager : m_managers) {
        if (manager->hasUnexportedChanges())
            return true;
    }
    return false;
}

void TabWidget::askToExportOffline(const std::function<void()> &then)
{
    QList<QPointer<AdapterManage>> asked;
    for (AdapterManage *manager : qAsConst(m_managers)) {
        if (manager->hasUnexportedChanges())
            asked.append(manager);
    }
    askToExport(asked, then);
}

void TabWidget::askToExport(const QList<QPointer<AdapterManage>> &managers, const std::function<void()> &then)
{
    QList<QPointer<AdapterManage>> rest = managers;
    while (!rest.isEmpty() && !rest.first())
        rest.removeFirst();
    if (rest.isEmpty()) {
        then();
        return;
    }
    AdapterManage *manager = rest.takeFirst();
    // The tab asked about is the one in view.
    setCurrentWidget(manager->page());
    auto *box = new QMessageBox(QMessageBox::Question, tr("提示"),
                                tr("离线配置\"%1\"(%2个模块)有修改尚未导出,关闭后将丢失。\n是否先导出?")
                                    .arg(tabBar()->tabData(indexOfManager(manager)).toString())
                                    .arg(manager->slaves().size()),
                                QMessageBox::NoButton, mainWindowManagement::instance()->mainWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *exportFirst = box->addButton(tr("导出"), QMessageBox::AcceptRole);
    QPushButton *discard = box->addButton(tr("放弃"), QMessageBox::DestructiveRole);
    box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(exportFirst);
    const QPointer<AdapterManage> current(manager);
    connect(box, &QMessageBox::finished, this, [this, box, exportFirst, discard, current, rest, then] {
        if (box->clickedButton() == discard) {
            askToExport(rest, then);
        } else if (box->clickedButton() == exportFirst && current) {
            current->exportThen([this, rest, then] { askToExport(rest, then); });
        }
    });
    box->open();
}

void TabWidget::continueAfterLeaving()
{
    if (!m_afterLeaving || anyLinkedForceMode())
        return;
    const std::function<void()> then = std::move(m_afterLeaving);
    m_afterLeaving = nullptr;
    then();
}

bool TabWidget::anyLiveAdapter() const
{
    for (const AdapterManage *manager : m_managers) {
        if (manager->hasAdapter() && manager->name() != AdapterManage::kOfflineName)
            return true;
    }
    return false;
}

ProjectView::AdapterFlags TabWidget::flagsOf(int index) const
{
    ProjectView::AdapterFlags flags;
    const AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return flags;
    flags.exists = true;
    flags.forceMode = manager->isForceMode();
    flags.localConfiguration = manager->isStatic() || manager->isLocalConfiguration();
    return flags;
}

void TabWidget::addManager(AdapterManage *manager, const QString &title)
{
    m_managers.append(manager);
    const int index = addTab(manager->page(), title);
    tabBar()->setTabData(index, title);
    connect(manager, &AdapterManage::sigForceShown, this, [this](bool forced) {
        if (!forced)
            continueAfterLeaving();
    });
    connect(manager, &AdapterManage::sigForceLeaveFailed, this, [this] { m_afterLeaving = nullptr; });
    setCurrentWidget(manager->page());
    if (ProjectView *tree = mainWindowManagement::instance()->projectView())
        tree->addAdapter(title, m_managers.size() - 1);
}

void TabWidget::onCreateAdapterSlaveView(QString mac, int vid, int pid, QString name)
{
    if (isAdapterOpen(mac)) {
        MessageBox::about(mainWindowManagement::instance()->mainWindow(), tr("提示"),
                          tr("    适配器已连接,请勿重复添加！  "));
        return;
    }
    auto *page = new MainProductView;
    auto *manager = new AdapterManage(page, this);
    connect(page, &MainProductView::sigSlaveClick, this, [this](int index, int sid, QByteArray uid) { showSlave(index, sid, uid); });
    addManager(manager, name);
    manager->onCreaterAdapter(vid, pid, mac, name, m_byteAlignment);
}

void TabWidget::onStaticCreaterAdapter()
{
    auto *page = new MainProductView;
    auto *manager = new AdapterManage(page, this);
    addManager(manager, AdapterManage::kOfflineName);
    manager->onStaticCreaterAdapter(m_byteAlignment);
}

void TabWidget::showForceMode(const AdapterManage *manager, bool forced)
{
    const int index = m_managers.indexOf(const_cast<AdapterManage *>(manager));
    if (index < 0 || index >= count())
        return;
    const QString title = tabBar()->tabData(index).toString();
    const QString text = forced ? tr("%1 [强制]").arg(title) : title;
    if (tabText(index) == text)
        return;
    setTabText(index, text);
    setTabIcon(index, forced ? QIcon(QStringLiteral(":/image/force.png")) : QIcon());
    tabBar()->setTabTextColor(index, forced ? QColor(160, 90, 0) : palette().color(QPalette::WindowText));
}

bool TabWidget::closeAdapterAt(int index)
{
    if (index < 0 || index >= m_managers.size())
        return false;
    AdapterManage *manager = m_managers.at(index);
    // Outputs are never left forced by a closed page.
    if (manager->isForceMode()) {
        const QPointer<AdapterManage> asked(manager);
        if (manager->isLinked()) {
            offerToLeaveForceMode([this, asked] {
                if (asked)
                    closeManager(asked);
            });
        } else {
            askToCloseWhileForced([this, asked] {
                if (asked)
                    closeManager(asked);
            });
        }
        return false;
    }
    if (manager->hasUnexportedChanges()) {
        askToExport({manager}, [this, manager = QPointer<AdapterManage>(manager)] {
            if (manager)
                closeManager(manager);
        });
        return false;
    }
    closeManager(manager);
    return true;
}

void TabWidget::closeManager(AdapterManage *manager)
{
    const int index = m_managers.indexOf(manager);
    if (index < 0)
        return;
    manager->removeFromTree();
    m_managers.removeAt(index);
    manager->closeAdapter();
    QWidget *page = widget(index);
    removeTab(index);
    delete page;
    manager->deleteLater();
}

void TabWidget::closeAll()
{
    while (!m_managers.isEmpty()) {
        AdapterManage *manager = m_managers.takeLast();
        manager->closeAdapter();
        delete manager;
    }
}

void TabWidget::showAdapter(int index)
{
    AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return;
    setCurrentIndex(index);
    manager->showAdapterPage();
}

void TabWidget::showSlave(int index, int, QByteArray mac, quint64 recordId)
{
    AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return;
    setCurrentIndex(index);
    if (recordId == 0) {
        manager->onShowSlave(mac);
        return;
    }
    manager->showSlavePage(recordId, mac);
}

void TabWidget::onSetAdapterUpgrade(bool running)
{
    for (AdapterManage *manager : qAsConst(m_managers))
        manager->setUpgradeFlag(running);
}

void TabWidget::onRemoveSlave(int index, QByteArray, quint64 recordId)
{
    if (AdapterManage *manager = m_managers.value(index, nullptr))
        manager->removeOfflineSlave(recordId);
}

void TabWidget::onAdapterCommand(int index, ProjectView::Command command)
{
    AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return;
    using C = ProjectView::Command;
    switch (command) {
    case C::Reload:
        manager->reloadSlaves();
        break;
    case C::Download:
        manager->downloadConfiguration();
        break;
    case C::ForceOn:
        manager->setForceMode(true);
        break;
    case C::ForceOff:
        manager->setForceMode(false);
        break;
    case C::Remove:
        closeAdapterAt(index);
        break;
    case C::LinkAdapter:
        emit sigMatchAdapter(index);
        break;
    case C::AddSlave:
        manager->openCreateSlave();
        break;
    case C::RepeatedStations:
        onCreateView(index);
        break;
    case C::AutoAllocate:
        manager->openAutoAllocation();
        break;
    case C::ExportCsv:
    case C::ExportCsvWithUid:
        manager->exportCsv(command == C::ExportCsvWithUid);
        break;
    case C::ImportCsv:
        manager->importCsv();
        break;
    case C::Compare:
        manager->openCompare();
        break;
    case C::Checkout:
        manager->openCheckout();
        break;
    case C::FrameTrace:
        manager->openTrace();
        break;
    case C::LoopTime:
        showLoopTime(index);
        break;
    default:
        emit sigCommandRequested(index, command);
        break;
    }
}

void TabWidget::onCreateView(int index)
{
    AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return;
    if (manager->isForceMode()) {
        MessageBox::about(mainWindowManagement::instance()->mainWindow(), tr("提示"), tr("    强制模式下不可设置！  "));
        return;
    }
    manager->openRepeatedStations();
}

void TabWidget::showLoopTime(int index)
{
    AdapterManage *manager = m_managers.value(index, nullptr);
    if (!manager)
        return;
    const QPair<quint16, quint16> bits = manager->bitsInUse();
    auto *dialog = new LoopTimeView(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->fill(quint32(bits.first) << 16 | bits.second);
    dialog->open();
}
