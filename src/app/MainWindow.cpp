#include "MainWindow.h"

#include "Adapter.h"
#include "AdapterManage.h"
#include "AboutView.h"
#include "AdapterScan.h"
#include "AlignmentSetting.h"
#include "AppIdentity.h"
#include "ConfigurationMatchingDlg.h"
#include "DeviceXmlLodaing.h"
#include "FirmwareBurning.h"
#include "HeapTrimmer.h"
#include "Language.h"
#include "Loading.h"
#include "MessageBox.h"
#include "ProductView.h"
#include "ProjectView.h"
#include "SettingView.h"
#include "StartupTrace.h"
#include "TabWidget.h"
#include "TarnBusResources.h"
#include "XMLConfig.h"
#include "mainWindowManagement.h"
#include "ui_MainWindow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QStatusBar>

#include <hidapi.h>

namespace {
constexpr int kSplitterHandle = 2;
constexpr int kSidePanelMinWidth = 200; // the project tree and the catalogue
constexpr int kCatalogueWidth = 260;

bool isBuilt(ProjectView::Command command)
{
    using C = ProjectView::Command;
    switch (command) {
    case C::AddSlave:
    case C::LinkAdapter:
    case C::Reload:
    case C::RepeatedStations:
    case C::AutoAllocate:
    case C::ExportCsv:
    case C::ExportCsvWithUid:
    case C::ImportCsv:
    case C::Compare:
    case C::Checkout:
    case C::FrameTrace:
    case C::Download:
    case C::LoopTime:
    case C::ForceOn:
    case C::ForceOff:
    case C::Remove:
        return true;
    default:
        return false;
    }
}
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui((initTarnBusResources(), new Ui::MainWindow))
{
    // The library arrives while the window is built and shown; whatever
    // needs it (a module being made, the catalogue) waits for it there.
    DeviceXmlLodaing *library = DeviceXmlLodaing::instance();
    if (StartupTrace::enabled())
        connect(library, &DeviceXmlLodaing::oLoadFinished, this, [] { StartupTrace::mark("descriptions"); }, Qt::DirectConnection);
    library->loadInBackground();
    ui->setupUi(this);
    m_title = windowTitle();
    Adapter::registerMetaTypes();

    m_tabs = new TabWidget;
    const bool byteAlignment = this->byteAlignment();
    showAlignment(byteAlignment);
    m_tabs->setByteAlignment(byteAlignment);

    m_tree = new ProjectView;
    m_productView = new ProductView;
    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setHandleWidth(kSplitterHandle);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_productView);
    m_splitter->setStretchFactor(0, 2);
    m_splitter->setStretchFactor(1, 6);
    m_splitter->setStretchFactor(2, 2);
    m_splitter->setSizes({280, 1400, 260});
    // Neither side panel is squeezed below a readable width by the other.
    m_tree->setMinimumWidth(kSidePanelMinWidth);
    m_productView->setMinimumWidth(kSidePanelMinWidth);
    ui->centralLayout->addWidget(m_splitter);

    m_loading = new Loading(this);
    mainWindowManagement *registry = mainWindowManagement::instance();
    registry->setLoading(m_loading);
    registry->setMainWindow(this);
    registry->setTabWidget(m_tabs);
    registry->setProjectView(m_tree);
    registry->setProductView(m_productView);
    m_productView->hide();

    m_tree->setFlagsProvider([this](int index) { return m_tabs->flagsOf(index); });
    m_tree->setCommandFilter(isBuilt);
    connect(m_tree, &ProjectView::sigCreaterAdapter, this, &MainWindow::on_action_5_triggered);
    connect(m_tree, &ProjectView::sigShowAdapter, m_tabs, &TabWidget::showAdapter);
    connect(m_tree, &ProjectView::sigShowSlave, m_tabs, &TabWidget::showSlave);
    connect(m_tree, &ProjectView::sigAdapterCommand, m_tabs, &TabWidget::onAdapterCommand);
    connect(m_tree, &ProjectView::sigRemoveSlave, m_tabs, &TabWidget::onRemoveSlave);
    connect(m_tabs, &TabWidget::sigMatchAdapter, this, &MainWindow::onMatchAdapter);
    connect(m_productView, &ProductView::sigCreateModule, this, &MainWindow::onCreateModule);
    ui->actionProductView->setChecked(false);
    setWindowIcon(QIcon(QStringLiteral(":/image/app.svg")));
    addLanguageMenu();
    new HeapTrimmer(this);
}

void MainWindow::addLanguageMenu()
{
    // Named in both languages, each language in its own: whoever cannot read
    // the window's language still finds the way back.
    QMenu *menu = new QMenu(QStringLiteral("语言 / Language"), this);
    menu->setObjectName(QStringLiteral("menuLanguage"));
    m_languages = new QActionGroup(this);
    const QList<QPair<Language::Choice, QString>> choices{{Language::Choice::Chinese, QStringLiteral("中文")},
                                                          {Language::Choice::English, QStringLiteral("English")}};
    for (const auto &choice : choices) {
        QAction *action = menu->addAction(choice.second);
        action->setObjectName(QStringLiteral("actionLanguage_") + Language::code(choice.first));
        action->setCheckable(true);
        action->setChecked(Language::current() == choice.first);
        action->setData(Language::code(choice.first));
        m_languages->addAction(action);
    }
    connect(m_languages, &QActionGroup::triggered, this, [](QAction *action) {
        const std::optional<Language::Choice> choice = Language::parse(action->data().toString());
        if (!choice || *choice == Language::current())
            return;
        Language::save(*choice);
        Language::apply(*choice);
    });
    menuBar()->insertMenu(ui->menu_4->menuAction(), menu);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslate()
{
    ui->retranslateUi(this);
    if (TabWidget *tabs = tabWidget()) {
        for (int i = 0; i < tabs->managerCount(); ++i)
            tabs->manager(i)->retranslate();
    }
    m_title = windowTitle();
    if (!m_busFile.isEmpty())
        setVirtualAdapter(m_busFile);
    if (m_languages) {
        for (QAction *action : m_languages->actions())
            action->setChecked(action->data().toString() == Language::code(Language::current()));
    }
}

void MainWindow::setVirtualAdapter(const QString &busFile)
{
    m_busFile = busFile;
    const QString bus = QFileInfo(busFile).fileName();
    setWindowTitle(tr("%1 - 虚拟适配器 (%2)").arg(m_title, bus));
    if (!m_virtualAdapterLabel) {
        m_virtualAdapterLabel = new QLabel(this);
        m_virtualAdapterLabel->setObjectName(QStringLiteral("virtualAdapterLabel"));
        m_virtualAdapterLabel->setStyleSheet(QStringLiteral("QLabel { background-color: rgb(255, 205, 55); padding: 2px 8px; }"));
        statusBar()->addPermanentWidget(m_virtualAdapterLabel);
    }
    m_virtualAdapterLabel->setText(tr("虚拟适配器: 总线文件 %1, 未连接真实硬件").arg(bus));
    m_virtualAdapterLabel->setToolTip(tr("演示模式: \"新建工程\"找到的适配器和模块都来自总线文件 %1。")
                                          .arg(QDir::toNativeSeparators(busFile)));
}

MainWindow::~MainWindow()
{
    m_tabs->closeAll();
    AdapterScan::waitForAll();
    DeviceXmlLodaing::instance()->waitForLoading();
    mainWindowManagement::instance()->clear();
    delete ui;
}

bool MainWindow::byteAlignment() const
{
    return appcore::AlignmentSetting::unit() == appcore::AlignmentSetting::kByteUnit;
}

void MainWindow::showAlignment(bool byteAlignment)
{
    ui->action_15->setIcon(QIcon(byteAlignment ? QStringLiteral(":/image/Byte.png") : QStringLiteral(":/image/bit.png")));
}

QMap<QString, QString> MainWindow::openAdapters() const
{
    QMap<QString, QString> open;
    for (int i = 0; i < m_tabs->managerCount(); ++i) {
        const AdapterManage *manager = m_tabs->manager(i);
        if (!manager->isStatic() && manager->hasAdapter())
            open.insert(manager->mac(), manager->name());
    }
    return open;
}

// The port is busy while an adapter's connection is under way: the probe
// would talk to devices in the middle of their connect sequence.
bool MainWindow::portBusy() const
{
    for (int i = 0; i < m_tabs->managerCount(); ++i) {
        if (m_tabs->manager(i)->isLoading())
            return true;
    }
    return false;
}

int MainWindow::pickAdapter(bool askWhenNone)
{
    const int index = m_tabs->selectedIndex();
    if (index < 0 && askWhenNone)
        MessageBox::notify(this, tr("警告"), tr("请先选择设备!"), MessageBox::Warning, 210);
    return index;
}

bool MainWindow::refuseInForceMode()
{
    if (!m_tabs->anyForceMode())
        return false;
    MessageBox::notify(this, tr("警告"), tr("强制模式不可操作!"), MessageBox::Warning, 210);
    return true;
}

void MainWindow::on_action_3_triggered()
{
    MessageBox::about(this, tr("帮助"),
                      tr("新建工程：扫描USB上的适配器并打开。\n手动组态：新建一个离线组态。\n"
                         "点击项目树或拓扑图中的从站查看其信息；右键单击适配器打开其命令菜单。"));
}

void MainWindow::on_action_4_triggered()
{
#ifdef HID_API_VERSION_STR
    const QString hidapi = QStringLiteral(HID_API_VERSION_STR);
#else
    const QString hidapi;
#endif
    auto *about = new AboutView(AppIdentity::version(), hidapi, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void MainWindow::on_actionProductView_toggled(bool shown)
{
    // The catalogue takes its width from the pages, never from the tree.
    QList<int> sizes = m_splitter->sizes();
    m_productView->setVisible(shown);
    if (shown && sizes.size() == 3 && sizes.at(2) == 0) {
        const int catalogue = std::max(kCatalogueWidth, m_productView->sizeHint().width());
        sizes[1] = std::max(0, sizes.at(1) - catalogue);
        sizes[2] = catalogue;
        m_splitter->setSizes(sizes);
    }
}

void MainWindow::on_action_19_triggered()
{
    const int index = pickAdapter(true);
    if (index >= 0)
        m_tabs->manager(index)->openMemoryView();
}

// A type chosen in the catalogue goes to the offline configuration in front.
void MainWindow::onCreateModule(const QString &typeKey)
{
    const int index = m_tabs->selectedIndex();
    AdapterManage *manager = index >= 0 ? m_tabs->manager(index) : nullptr;
    if (!manager || !manager->openCreateSlave(typeKey))
        MessageBox::notify(this, tr("提示"), tr("模块只能添加到离线组态:请先选择一个手动组态。"), MessageBox::Information, 260);
}

void MainWindow::on_action_5_triggered()
{
    auto *chooser = new SettingView(openAdapters(), portBusy(), this);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &SettingView::sigAddNewAdapter, m_tabs,
            [this](QString text, int vid, int pid, QString serial) { m_tabs->onCreateAdapterSlaveView(serial, vid, pid, text); });
    connect(chooser, &SettingView::sigManualConfiguration, m_tabs, &TabWidget::onStaticCreaterAdapter);
    chooser->open();
}

void MainWindow::on_action_6_triggered()
{
    const int index = pickAdapter(true);
    if (index >= 0)
        m_tabs->manager(index)->saveConfiguration();
}

void MainWindow::on_action_7_triggered()
{
    const int index = pickAdapter(true);
    if (index < 0 || refuseOffline(index, tr("离线组态没有适配器,不可强制。")))
        return;
    m_tabs->manager(index)->setForceMode(true);
}

// An offline configuration has no adapter to act on: said, instead of a
// communication failure.
bool MainWindow::refuseOffline(int index, const QString &why)
{
    if (!m_tabs->manager(index)->isStatic())
        return false;
    MessageBox::notify(this, tr("提示"), why, MessageBox::Information, 280);
    return true;
}

void MainWindow::on_action_8_triggered()
{
    close();
}

void MainWindow::on_action_11_triggered()
{
    m_tabs->onStaticCreaterAdapter();
}

void MainWindow::on_action_12_triggered()
{
    if (m_tabs->anyLiveAdapter()) {
        MessageBox::notify(this, tr("警告"), tr("组态链接中,不可进入升级模式!"), MessageBox::Warning, 210);
        return;
    }
    auto *dialog = new FirmwareBurning(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FirmwareBurning::sigCloseUpgrade, m_tabs, &TabWidget::onSetAdapterUpgrade);
    dialog->open();
}

void MainWindow::on_action_13_triggered()
{
    auto *dialog = new XMLConfig(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->fill();
    connect(dialog, &XMLConfig::sigLoadXML, this, &MainWindow::onXMLLoad);
    dialog->open();
}

// Adapters may be creating slaves meanwhile: the library is replaced as a
// whole, and each slave is built from one snapshot of it (DeviceXmlLodaing).
void MainWindow::onXMLLoad()
{
    DeviceXmlLodaing::instance()->onLoadXmlFile();
    // The catalogue offers the types of the library as it now is.
    m_productView->reload();
}

// "对比组态" of the adapter picked: its bus against a configuration.
void MainWindow::on_actionCompare_triggered()
{
    const int index = pickAdapter(true);
    AdapterManage *manager = index >= 0 ? m_tabs->manager(index) : nullptr;
    if (!manager)
        return;
    if (!manager->openCompare())
        MessageBox::notify(this, tr("提示"), tr("对比组态需要一个在线适配器:请先选择一个已连接的适配器。"), MessageBox::Information, 260);
}

void MainWindow::on_action_14_triggered()
{
    const int index = pickAdapter(true);
    if (index < 0)
        return;
    // An offline configuration is downloaded by linking it to an adapter.
    if (m_tabs->manager(index)->isStatic()) {
        onMatchAdapter(index);
        return;
    }
    m_tabs->manager(index)->downloadConfiguration();
}

void MainWindow::on_action_15_triggered()
{
    const bool wasByte = byteAlignment();
    appcore::AlignmentSetting::save(!wasByte);
    showAlignment(!wasByte);
    m_tabs->setByteAlignment(!wasByte);
}

void MainWindow::on_action_16_triggered()
{
    const int index = pickAdapter(true);
    if (index < 0 || refuseOffline(index, tr("离线组态没有适配器,不在强制模式。")))
        return;
    m_tabs->manager(index)->setForceMode(false);
}

void MainWindow::on_action_17_triggered()
{
    ui->toolBar->show();
}

void MainWindow::onMatchAdapter(int index)
{
    QPointer<AdapterManage> manager = m_tabs->manager(index);
    if (!manager)
        return;
    auto *dialog = new ConfigurationMatchingDlg(index, openAdapters(), portBusy(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ConfigurationMatchingDlg::sigMatchingAdapter, this, [manager, dialog](int, int vid, int pid, QString mac) {
        if (manager)
            manager->askOfflineDownload(vid, pid, mac, dialog->chosenName());
    });
    dialog->open();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Outputs are never left forced by a closed window. An adapter whose
    // link is lost cannot be told to leave force mode: the user decides.
    if (!m_closeAgreed && m_tabs->anyForceMode()) {
        event->ignore();
        if (m_tabs->anyLinkedForceMode()) {
            // Whatever the adapters out of reach do is asked once these have left.
            m_tabs->offerToLeaveForceMode([this] { close(); });
            return;
        }
        m_tabs->askToCloseWhileForced([this] {
            m_closeAgreed = true;
            close();
        });
        return;
    }
    // Nor is an offline configuration lost without a question.
    if (!m_exportsSettled && m_tabs->anyUnexportedChanges()) {
        event->ignore();
        m_tabs->askToExportOffline([this] {
            m_exportsSettled = true;
            close();
        });
        return;
    }
    event->accept();
}
