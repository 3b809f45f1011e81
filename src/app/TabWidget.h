#pragma once

#include <functional>

#include "ProjectView.h"

#include <QList>
#include <QPointer>
#include <QTabWidget>

class AdapterManage;

// One tab per open adapter, in the order of the project tree's entries;
// routes the main window's and the tree's commands to the adapter's manager.
class TabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabWidget(QWidget *parent = nullptr);
    ~TabWidget() override;

    bool byteAlignment() const { return m_byteAlignment; }
    void setByteAlignment(bool byteAlignment);

    int managerCount() const { return m_managers.size(); }
    AdapterManage *manager(int index) const { return m_managers.value(index, nullptr); }
    int indexOfManager(const AdapterManage *manager) const;
    // The manager the user has picked: the current tab; with one tab, that one.
    int selectedIndex() const;
    // An adapter with this serial number is open in a tab.
    bool isAdapterOpen(const QString &mac) const;
    bool anyForceMode() const;
    // An adapter that may be forcing and can still be told to stop.
    bool anyLinkedForceMode() const;
    bool anyLiveAdapter() const;
    ProjectView::AdapterFlags flagsOf(int index) const;

    // The manager's tab says whether its adapter may force its outputs.
    void showForceMode(const AdapterManage *manager, bool forced);
    // Closes the adapter of tab index; refused (false) while it is in force
    // mode. An adapter whose link is lost in force mode cannot be told to
    // leave it: the user is asked, and the tab closes once he agrees.
    bool closeAdapterAt(int index);
    // Asks whether to close although adapters out of reach may still force
    // their outputs; closed() runs on yes.
    void askToCloseWhileForced(const std::function<void()> &closed);
    // Closing is refused while adapters force their outputs; the box offers
    // to leave force mode first. then() runs once every adapter has
    // confirmed leaving it; nothing runs when one did not.
    void offerToLeaveForceMode(const std::function<void()> &then);
    void closeAll();
    // Offline configurations changed since they were last exported.
    bool anyUnexportedChanges() const;
    // Asks, tab by tab, whether to export an offline configuration whose
    // changes would be lost: "导出" exports it first, "放弃" lets it go,
    // "取消" stops. then() runs once every such tab is exported or let go.
    void askToExportOffline(const std::function<void()> &then);

public slots:
    void showSlave(int index, int sid, QByteArray mac, quint64 recordId = 0);
    void showAdapter(int index);
    void onCreateAdapterSlaveView(QString mac, int vid, int pid, QString name);
    void onStaticCreaterAdapter();
    void onSetAdapterUpgrade(bool running);
    void onAdapterCommand(int index, ProjectView::Command command);
    // "配置重复站号": refused in force mode.
    void onCreateView(int index);
    // "循环时间计算" with the bits the adapter's modules use.
    void showLoopTime(int index);
    void onRemoveSlave(int index, QByteArray uid, quint64 recordId);

signals:
    // A command a later dialog will serve.
    void sigCommandRequested(int index, ProjectView::Command command);
    void sigMatchAdapter(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    void addManager(AdapterManage *manager, const QString &title);
    void closeManager(AdapterManage *manager);
    void continueAfterLeaving();
    void askToExport(const QList<QPointer<AdapterManage>> &managers, const std::function<void()> &then);

    std::function<void()> m_afterLeaving; // what waits for force mode to be left
    void showWelcome();

    QList<AdapterManage *> m_managers;
    class QLabel *m_welcome = nullptr; // what to do first, while no adapter is open
    bool m_byteAlignment = false;
};
