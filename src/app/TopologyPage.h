#pragma once

#include "SlaveSnapshot.h"

#include <QObject>

class CouplerScene;
class GraphicsView;
class MainProductView;
class SVGManagement;

// The topology of one adapter page: its scene, its view and the picture
// manager of that scene alone, so that clicks, lamps and hovering in one
// page never reach another page's manager.
class TopologyPage : public QObject
{
    Q_OBJECT

public:
    TopologyPage(MainProductView *page, QObject *parent = nullptr);
    ~TopologyPage() override;

    GraphicsView *view() const { return m_view; }
    CouplerScene *scene() const { return m_scene; }
    SVGManagement *pictures() const { return m_pictures; }
    // The whole picture again, from these slaves.
    void rebuild(const SlaveList &slaves);
    // Newer snapshots of the same slaves (states, forced marks).
    void update(const SlaveList &slaves);
    void clear();
    // Frames the module shown in the editor; 0 for none.
    void markRecord(quint64 recordId);
    void closeAllLamps();
    void closeLampsExcept(const QByteArray &uid);
    // Module types dragged from the product catalogue may be dropped on the
    // picture (an offline configuration's page): sigModuleDropped.
    void setAcceptModules(bool accept);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void sigClickEvent(QByteArray uid);
    void sigCloseLamp(QByteArray uid);
    void sigHoverEnterEvent(bool hovering);
    void sigLampRequest(quint64 recordId, bool on);
    void sigOpenIoTest(quint64 recordId, QString title);
    void sigModuleDropped(QString typeKey);

private:
    SVGManagement *m_pictures;
    CouplerScene *m_scene;
    GraphicsView *m_view;
    bool m_acceptModules = false;
};
