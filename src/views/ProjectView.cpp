#include "ProjectView.h"

#include <QCursor>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QMenu>
#include <QUuid>

Q_LOGGING_CATEGORY(lcViews, "tarnbus.views")

namespace {
const QString kCoupler = QStringLiteral("coupler");
const QString kSlave = QStringLiteral("slave");
const QString kFontFamily = QStringLiteral("Microsoft YaHei");
const QColor kUnsetColor(221, 34, 34);
const QColor kForcedColor(255, 205, 55);
constexpr int kForcedRole = 4; // adapter entries: may force its outputs
constexpr int kFontPixels = 12;
constexpr int kMarkerFontPixels = 14;
constexpr int kBold = 75;
const QSize kSlaveSize(100, 30);
const QSize kMarkerSize(100, 25);

QFont entryFont(int pixels, bool bold)
{
    QFont font(kFontFamily);
    font.setPixelSize(pixels);
    if (bold)
        font.setWeight(kBold);
    return font;
}
} // namespace

ProjectView::ProjectView(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderLabel(QStringLiteral("1"));
    header()->hide();
    // A narrow tree scrolls sideways rather than cutting names short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setTextElideMode(Qt::ElideNone);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setExpandsOnDoubleClick(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setStyleSheet(QStringLiteral("QTreeView{\nborder:1px solid #E6E6E6;\nbackground:#F9F9F9;\n}\n"));
    connect(this, &QTreeWidget::itemDoubleClicked, this, &ProjectView::onItemDoubleClick);
    connect(this, &QTreeWidget::itemPressed, this, &ProjectView::onHomeAdapter);
    connect(this, &QWidget::customContextMenuRequested, this, &ProjectView::onMenuRequested);
}

QTreeWidgetItem *ProjectView::addAdapter(const QString &name, int index)
{
    auto *item = new QTreeWidgetItem(this);
    item->setText(0, name);
    item->setToolTip(0, name);
    item->setIcon(0, QIcon(QStringLiteral(":/image/adapter.png")));
    item->setFont(0, entryFont(kFontPixels, true));
    item->setData(kKindColumn, kDataRole, kCoupler);
    item->setData(kIndexColumn, kDataRole, index);
    setCurrentItem(item);
    return item;
}

void ProjectView::setAdapterForced(int adapterIndex, bool forced)
{
    QTreeWidgetItem *adapter = topLevelItem(adapterIndex);
    if (!adapter || isAdapterForced(adapterIndex) == forced)
        return;
    adapter->setData(kKindColumn, kForcedRole, forced);
    adapter->setIcon(0, QIcon(forced ? QStringLiteral(":/image/force.png") : QStringLiteral(":/image/adapter.png")));
    adapter->setBackground(0, forced ? QBrush(kForcedColor) : QBrush());
    adapter->setToolTip(0, forced ? adapter->text(0) + QLatin1Char('\n') + tr("强制模式:输出可能被强制") : adapter->text(0));
}

bool ProjectView::isAdapterForced(int adapterIndex) const
{
    const QTreeWidgetItem *adapter = topLevelItem(adapterIndex);
    return adapter && adapter->data(kKindColumn, kForcedRole).toBool();
}

QTreeWidgetItem *ProjectView::newSlaveItem(const QString &text, int station, const QByteArray &uid, quint64 recordId) const
{
    auto *item = new QTreeWidgetItem;
    const bool unset = station == 0;
    item->setText(0, unset ? tr("未设定") : text);
    if (unset || text.contains(QLatin1Char('?')))
        item->setForeground(0, kUnsetColor);
    item->setIcon(0, QIcon(QStringLiteral(":/image/mslave.png")));
    item->setFont(0, entryFont(kFontPixels, false));
    item->setSizeHint(0, kSlaveSize);
    item->setData(kKindColumn, kDataRole, kSlave);
    item->setData(kSlaveColumn, kDataRole, station);
    item->setData(kSlaveColumn, kUidRole, uid);
    item->setData(kSlaveColumn, kRecordRole, recordId);
    return item;
}

QTreeWidgetItem *ProjectView::addSlave(int adapterIndex, const QString &text, int station, const QByteArray &uid,
                                       quint64 recordId)
{
    return placeSlave(adapterIndex, -1, text, station, uid, recordId);
}

QTreeWidgetItem *ProjectView::insertSlave(int adapterIndex, const QString &text, int station, const QByteArray &uid,
                                          quint64 recordId)
{
    return placeSlave(adapterIndex, station, text, station, uid, recordId);
}

QTreeWidgetItem *ProjectView::placeSlave(int adapterIndex, int position, const QString &text, int station,
                                         const QByteArray &uid, quint64 recordId)
{
    QTreeWidgetItem *adapter = topLevelItem(adapterIndex);
    if (!adapter)
        return nullptr;
    QTreeWidgetItem *item = newSlaveItem(text, station, uid, recordId);
    adapter->insertChild(position < 0 ? adapter->childCount() : std::min(position, adapter->childCount()), item);
    return item;
}

void ProjectView::addForceMarker(const QString &adapterName)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem *adapter = topLevelItem(i);
        if (adapter->text(0) != adapterName)
            continue;
        auto *marker = new QTreeWidgetItem(adapter);
        marker->setText(0, QStringLiteral("info"));
        marker->setIcon(0, QIcon(QStringLiteral(":/image/force.svg")));
        marker->setFont(0, entryFont(kMarkerFontPixels, true));
        marker->setSizeHint(0, kMarkerSize);
        marker->setData(kSlaveColumn, kDataRole, QUuid::createUuid().toString());
        return;
    }
}

void ProjectView::removeSlaves(int adapterIndex)
{
    if (QTreeWidgetItem *adapter = topLevelItem(adapterIndex))
        qDeleteAll(adapter->takeChildren());
}

QTreeWidgetItem *ProjectView::slaveItem(int adapterIndex, int childIndex) const
{
    QTreeWidgetItem *adapter = topLevelItem(adapterIndex);
    if (!adapter || childIndex < 0 || childIndex >= adapter->childCount())
        return nullptr;
    return adapter->child(childIndex);
}

QTreeWidgetItem *ProjectView::slaveItemOf(int adapterIndex, quint64 recordId) const
{
    QTreeWidgetItem *adapter = topLevelItem(adapterIndex);
    for (int i = 0; adapter && recordId != 0 && i < adapter->childCount(); ++i) {
        if (adapter->child(i)->data(kSlaveColumn, kRecordRole).toULongLong() == recordId)
            return adapter->child(i);
    }
    return nullptr;
}

int ProjectView::adapterCount() const
{
    return topLevelItemCount();
}

void ProjectView::refresh()
{
    viewport()->update();
}

void ProjectView::onItemDoubleClick(QTreeWidgetItem *, int)
{
}

void ProjectView::onHomeAdapter(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    const int top = indexOfTopLevelItem(item);
    if (top >= 0) {
        emit sigShowAdapter(top);
        return;
    }
    QTreeWidgetItem *parent = item->parent();
    const int index = parent ? indexOfTopLevelItem(parent) : -1;
    if (index < 0 || item->data(kKindColumn, kDataRole).toString() != kSlave)
        return;
    const int station = item->data(kSlaveColumn, kDataRole).toInt();
    qCDebug(lcViews) << "slave id:" << station;
    emit sigShowSlave(index, station, item->data(kSlaveColumn, kUidRole).toByteArray(),
                      item->data(kSlaveColumn, kRecordRole).toULongLong());
}

ProjectView::AdapterFlags ProjectView::flagsOf(int index) const
{
    return m_flags ? m_flags(index) : AdapterFlags{};
}

QMenu *ProjectView::buildEmptyMenu()
{
    auto *menu = new QMenu(this);
    QAction *scan = menu->addAction(QIcon(QStringLiteral(":/image/create.svg")), tr("扫描适配器"));
    connect(scan, &QAction::triggered, this, &ProjectView::sigCreaterAdapter);
    return menu;
}

QMenu *ProjectView::buildAdapterMenu(int index)
{
    const AdapterFlags flags = flagsOf(index);
    if (!flags.exists)
        return nullptr;
    const bool force = flags.forceMode;
    const bool local = flags.localConfiguration;
    auto *menu = new QMenu(this);
    const auto entry = [&](QMenu *into, Command command, const char *icon, const QString &text, bool enabled) {
        if (m_filter && !m_filter(command))
            return;
        QAction *action = into->addAction(QIcon(QString::fromLatin1(icon)), text);
        action->setData(int(command));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, index, command] { emit sigAdapterCommand(index, command); });
    };
    if (local) {
        entry(menu, Command::AddSlave, ":/image/create.png", tr("添加从站模块"), !force);
        entry(menu, Command::LinkAdapter, ":/image/swap.png", tr("链接适配器"), true);
    } else {
        entry(menu, Command::Reload, ":/image/update.png", tr("重新加载从站"), !force);
        entry(menu, Command::RepeatedStations, ":/image/uallocation.png", tr("配置重复站号"), !force);
        menu->addSeparator();
    }
    entry(menu, Command::AutoAllocate, ":/image/auto.png", tr("自动分配地址"), !force);
    if (!m_filter || m_filter(Command::ExportCsv) || m_filter(Command::ExportCsvWithUid)) {
        QMenu *exportMenu = menu->addMenu(QIcon(QStringLiteral(":/image/dload.png")), tr("导出组态配置"));
        exportMenu->setEnabled(!force);
        entry(exportMenu, Command::ExportCsv, ":/image/execl.png", tr("常规导出CSV"), true);
        entry(exportMenu, Command::ExportCsvWithUid, ":/image/macexecl.png", tr("带UID导出CSV"), true);
    }
    entry(menu, Command::ImportCsv, ":/image/upload.png", tr("导入组态配置"), !force);
    if (!local)
        entry(menu, Command::Compare, ":/image/compare.png", tr("对比组态"), !force);
    if (!local)
        entry(menu, Command::Checkout, ":/image/iotest.png", tr("IO检查"), true);
    if (local) {
        menu->addSeparator();
    } else {
        entry(menu, Command::Download, ":/image/dload1.svg", tr("下载组态配置"), !force);
        entry(menu, Command::LoopTime, ":/image/wait.png", tr("循环时间计算"), !force);
        entry(menu, Command::FrameTrace, ":/image/iotest.png", tr("帧跟踪"), true);
        menu->addSeparator();
        entry(menu, Command::ForceOn, ":/image/force.png", tr("强制"), !force);
        entry(menu, Command::ForceOff, ":/image/uforce.png", tr("取消强制"), force);
    }
    entry(menu, Command::Remove, ":/image/del.png", tr("删除"), !force);
    return menu;
}

QMenu *ProjectView::buildSlaveMenu(QTreeWidgetItem *item)
{
    QTreeWidgetItem *parent = item ? item->parent() : nullptr;
    const int index = parent ? indexOfTopLevelItem(parent) : -1;
    if (index < 0 || !flagsOf(index).localConfiguration)
        return nullptr;
    auto *menu = new QMenu(this);
    QAction *remove = menu->addAction(QIcon(QStringLiteral(":/image/del.png")), tr("删除从站模块"));
    const QByteArray uid = item->data(kSlaveColumn, kUidRole).toByteArray();
    const quint64 recordId = item->data(kSlaveColumn, kRecordRole).toULongLong();
    connect(remove, &QAction::triggered, this, [this, index, uid, recordId] { emit sigRemoveSlave(index, uid, recordId); });
    return menu;
}

void ProjectView::showCurrent(int adapterIndex, quint64 recordId)
{
    QTreeWidgetItem *item = recordId != 0 ? slaveItemOf(adapterIndex, recordId) : nullptr;
    if (!item)
        item = topLevelItem(adapterIndex);
    if (!item || item == currentItem())
        return;
    const QSignalBlocker quiet(this);
    setCurrentItem(item);
    scrollToItem(item);
}

void ProjectView::runMenu(QMenu *menu)
{
    if (!menu)
        return;
    menu->exec(QCursor::pos());
    menu->deleteLater();
}

void ProjectView::onMenuRequested(const QPoint &point)
{
    QTreeWidgetItem *item = itemAt(point);
    if (item)
        setCurrentItem(item);
    else
        setCurrentItem(nullptr);
    if (!item) {
        runMenu(buildEmptyMenu());
    } else if (item->data(kKindColumn, kDataRole).toString() == kCoupler) {
        onShowCouplerMenu(item->text(0));
    } else if (item->data(kKindColumn, kDataRole).toString() == kSlave) {
        onShowSlaveMenu(indexOfTopLevelItem(item->parent()));
    }
    setCurrentIndex(QModelIndex());
}

void ProjectView::onShowCouplerMenu(const QString &)
{
    QTreeWidgetItem *item = currentItem();
    const int index = item ? indexOfTopLevelItem(item) : -1;
    if (index >= 0)
        runMenu(buildAdapterMenu(index));
}

void ProjectView::onShowSlaveMenu(int)
{
    runMenu(buildSlaveMenu(currentItem()));
}

void ProjectView::onRemoveCouplerItem(int index)
{
    if (index < 0 || index >= topLevelItemCount())
        return;
    delete takeTopLevelItem(index);
}

void ProjectView::onRemoveSlaveItem(int index, int sindex)
{
    QTreeWidgetItem *adapter = topLevelItem(index);
    if (!adapter || sindex < 0 || sindex >= adapter->childCount())
        return;
    delete adapter->takeChild(sindex);
}
