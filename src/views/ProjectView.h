#pragma once

#include <QByteArray>
#include <QString>
#include <QTreeWidget>

#include <functional>

class QMenu;

// The tree on the left of the main window: one top-level entry per open
// adapter (in tab order) and one child entry per slave. A press shows the
// adapter or the slave; the context menus start the per-adapter commands,
// which leave as signals for the tab container to route.
class ProjectView : public QTreeWidget
{
    Q_OBJECT

public:
    // Column and role of the data each entry stores.
    static constexpr int kKindColumn = 2;      // "coupler", "slave"
    static constexpr int kIndexColumn = 3;     // adapter entries: the adapter's index
    static constexpr int kSlaveColumn = 1;     // slave entries: station (role 1), UID (role 2), record id (role 3)
    static constexpr int kDataRole = 1;
    static constexpr int kUidRole = 2;
    static constexpr int kRecordRole = 3;

    // The commands of the context menus.
    enum class Command {
        AddSlave,          // "添加从站模块"
        LinkAdapter,       // "链接适配器"
        Reload,            // "重新加载从站"
        RepeatedStations,  // "配置重复站号"
        AutoAllocate,      // "自动分配地址"
        ExportCsv,         // "常规导出CSV"
        ExportCsvWithUid,  // "带UID导出CSV"
        ImportCsv,         // "导入组态配置"
        Compare,           // "对比组态"
        Checkout,          // "IO检查"
        Download,          // "下载组态配置"
        LoopTime,          // "循环时间计算"
        ForceOn,           // "强制"
        ForceOff,          // "取消强制"
        Remove,            // "删除"
        FrameTrace,        // "帧跟踪"
    };
    Q_ENUM(Command)

    // What the adapter menu needs to know of an adapter.
    struct AdapterFlags {
        bool exists = false;
        bool forceMode = false;          // F
        bool localConfiguration = false; // S: an offline configuration
    };
    using FlagsProvider = std::function<AdapterFlags(int index)>;
    // The commands a menu offers may be limited to those built so far.
    using CommandFilter = std::function<bool(Command)>;

    explicit ProjectView(QWidget *parent = nullptr);

    // Marks the adapter's entry while it may force its outputs: its icon, a
    // yellow background and a tooltip that says so.
    void setAdapterForced(int adapterIndex, bool forced);
    bool isAdapterForced(int adapterIndex) const;

    void setFlagsProvider(FlagsProvider provider) { m_flags = std::move(provider); }
    void setCommandFilter(CommandFilter filter) { m_filter = std::move(filter); }

    // --- Entries ---------------------------------------------------------
    QTreeWidgetItem *addAdapter(const QString &name, int index);
    QTreeWidgetItem *addSlave(int adapterIndex, const QString &text, int station, const QByteArray &uid,
                              quint64 recordId = 0);
    // Inserted at child position station (appended when that is past the end).
    QTreeWidgetItem *insertSlave(int adapterIndex, const QString &text, int station, const QByteArray &uid,
                                 quint64 recordId = 0);
    void addForceMarker(const QString &adapterName);
    void removeSlaves(int adapterIndex);
    QTreeWidgetItem *slaveItem(int adapterIndex, int childIndex) const;
    // The entry of the slave record under the adapter; null when none.
    QTreeWidgetItem *slaveItemOf(int adapterIndex, quint64 recordId) const;
    // Makes the entry of what the adapter's page shows the current one: the
    // slave with this record, or the adapter itself for 0. Nothing is
    // asked of the page in turn.
    void showCurrent(int adapterIndex, quint64 recordId);
    int adapterCount() const;
    void refresh();

    // The menus as they would open for an adapter or a slave entry; null
    // when none opens. The caller owns the menu.
    QMenu *buildAdapterMenu(int index);
    QMenu *buildSlaveMenu(QTreeWidgetItem *item);
    // The menu for the empty area.
    QMenu *buildEmptyMenu();

signals:
    void sigCreaterAdapter();
    // A press on an adapter or a slave entry.
    void sigShowAdapter(int index);
    void sigShowSlave(int index, int station, QByteArray uid, quint64 recordId);
    // A command of the adapter menu for the adapter at index.
    void sigAdapterCommand(int index, ProjectView::Command command);
    // "删除从站模块" of an offline configuration's slave.
    void sigRemoveSlave(int index, QByteArray uid, quint64 recordId);

public slots:
    void onItemDoubleClick(QTreeWidgetItem *item, int column);
    void onHomeAdapter(QTreeWidgetItem *item, int column);
    void onMenuRequested(const QPoint &point);
    void onShowCouplerMenu(const QString &name);
    void onShowSlaveMenu(int index);
    void onRemoveCouplerItem(int index);
    void onRemoveSlaveItem(int index, int sindex);

private:
    AdapterFlags flagsOf(int index) const;
    // At child position position; appended when negative or past the end.
    QTreeWidgetItem *placeSlave(int adapterIndex, int position, const QString &text, int station, const QByteArray &uid,
                                quint64 recordId);
    QTreeWidgetItem *newSlaveItem(const QString &text, int station, const QByteArray &uid, quint64 recordId) const;
    void runMenu(QMenu *menu);

    FlagsProvider m_flags;
    CommandFilter m_filter;
};
