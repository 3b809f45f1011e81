#pragma once

#include "TopologyLayout.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QPointer>
#include <QString>

class SVGManagement;
class SvgDevice;

// One module's group in the topology: the bus-line piece, the module
// picture and its lamp. The group leaves its children's events to them.
class SlaveGroup : public QGraphicsItemGroup
{
public:
    enum { Type = UserType + 0x7B1 };

    SlaveGroup(quint64 recordId, int index);
    int type() const override { return Type; }

    quint64 recordId() const { return m_recordId; }
    int index() const { return m_index; }

    SvgDevice *line = nullptr;
    SvgDevice *module = nullptr;
    SvgDevice *lamp = nullptr;

private:
    quint64 m_recordId;
    int m_index;
};

// The scene of one adapter's topology, with the layout state that places
// its module groups in rows. SVGManagement builds it; the pictures are owned
// by the scene.
class CouplerScene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit CouplerScene(QObject *parent = nullptr);

    QString id() const { return m_id; }
    int itemCount() const { return m_itemCount; }
    int lastX() const { return m_layout.lastX; }
    int lastY() const { return m_layout.lastY; }
    bool rightwards() const { return m_layout.rightwards; }

    // The module groups in the order they were added.
    QList<SlaveGroup *> slaveGroups() const;
    SlaveGroup *slaveGroup(quint64 recordId) const;

    // The scene rect becomes the pictures' bounds with a margin (a scene's
    // own rect only ever grows, also when a bus gets shorter).
    void fitToItems();

    // The manager that created the scene; only it draws on the scene.
    SVGManagement *manager() const;

signals:
    // For listeners; the topology itself never emits it.
    void sigClickEvent(int index, SvgDevice *device);

private:
    friend class SVGManagement;

    QString m_id;
    int m_itemCount = 0;
    TopologyLayout::State m_layout;
    QPointer<SVGManagement> m_manager;
};
