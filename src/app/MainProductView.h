#pragma once

#include "AdapterTypes.h"
#include "SlaveSnapshot.h"

#include <QWidget>

class AdapterInfoView;
class AdapterSettingsView;
class MessageWidget;
class QGraphicsView;
class SlaveInfoView;
class SlaveMainWindow;
class SwapMemoryView;

namespace Ui {
class MainProductView;
}

// One adapter tab: the topology, the page stack (adapter overview, slave
// information, configuration view), the slave table with the bus status
// panel and the message list.
class MainProductView : public QWidget
{
    Q_OBJECT

public:
    enum Page { AdapterPage = 0, SlavePage = 1, ConfigPage = 2 };

    explicit MainProductView(QWidget *parent = nullptr);
    ~MainProductView() override;

    SlaveMainWindow *slaveWindow() const;
    MessageWidget *messageWidget() const;
    // Where the topology view goes.
    void setTopologyView(QGraphicsView *view);
    QGraphicsView *topologyView() const { return m_topology; }

    int currentPage() const;
    void showPage(Page page);
    // Page 0: the adapter's information table, its settings and its used
    // address areas.
    void showAdapter(const AdapterState &state, const AdapterStatus &status, quint16 inputUsed, quint16 outputUsed,
                     bool offline, const SlaveList &slaves);
    // Page 1: the parameter editor of one slave of the list; a null
    // snapshot leaves it empty.
    void showSlave(const SlaveSnapshot &slave, const SlaveList &slaves);
    SlaveInfoView *editor() const;
    AdapterInfoView *adapterInfo() const;
    AdapterSettingsView *adapterSettings() const;
    SwapMemoryView *memoryView() const;
    // Text of the pages' tables, for tests: "label|value" per row.
    QStringList slavePageRows() const;
    QStringList adapterPageRows() const;
    void clearPage();
    // The bar across the top of the page while the adapter may force its
    // outputs; an empty text hides it.
    void showForceBar(const QString &text);
    QString forceBarText() const;

signals:
    void sigSlaveCreateView(int type, quint64 recordId, int station);
    void sigSlaveClick(int index, int sid, QByteArray mac);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::MainProductView *ui;
    QGraphicsView *m_topology = nullptr;
};
