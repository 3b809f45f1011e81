#include "CouplerScene.h"

#include "SVGManagement.h"
#include "SvgDevice.h"

#include <algorithm>

SlaveGroup::SlaveGroup(quint64 recordId, int index)
    : m_recordId(recordId)
    , m_index(index)
{
    setHandlesChildEvents(false);
    setAcceptHoverEvents(false);
}

CouplerScene::CouplerScene(QObject *parent)
    : QGraphicsScene(parent)
{
}

SVGManagement *CouplerScene::manager() const
{
    return m_manager;
}

void CouplerScene::fitToItems()
{
    constexpr qreal kMargin = 20;
    setSceneRect(itemsBoundingRect().adjusted(-kMargin, -kMargin, kMargin, kMargin));
}

QList<SlaveGroup *> CouplerScene::slaveGroups() const
{
    QList<SlaveGroup *> groups;
    const QList<QGraphicsItem *> all = items(Qt::AscendingOrder);
    for (QGraphicsItem *item : all) {
        if (auto *group = qgraphicsitem_cast<SlaveGroup *>(item))
            groups.append(group);
    }
    std::sort(groups.begin(), groups.end(),
              [](const SlaveGroup *a, const SlaveGroup *b) { return a->index() < b->index(); });
    return groups;
}

SlaveGroup *CouplerScene::slaveGroup(quint64 recordId) const
{
    const QList<QGraphicsItem *> all = items();
    for (QGraphicsItem *item : all) {
        auto *group = qgraphicsitem_cast<SlaveGroup *>(item);
        if (group && group->recordId() == recordId)
            return group;
    }
    return nullptr;
}
