#include "SlaveSnapshot.h"

#include "ItemsInfo.h"

const ItemGroupState *SlaveState::group(const QString &key) const
{
    for (const ItemGroupState &g : groups) {
        if (g.key == key)
            return &g;
    }
    return nullptr;
}

const ItemState *SlaveState::groupItem(const QString &key, int i) const
{
    const ItemGroupState *g = group(key);
    return g ? g->itemAt(i) : nullptr;
}

SlaveSnapshot takeSnapshot(const Slave &slave)
{
    auto state = std::make_shared<SlaveState>();
    static_cast<SlaveFields &>(*state) = slave;
    state->recordId = slave.recordId();
    state->described = slave.itemGroups != nullptr;
    state->ioLengths = slave.ioLengths();
    state->ioWindow = slave.ioWindow();
    state->configurationRecord = slave.configurationRecord();
    if (slave.itemGroups) {
        state->groups.reserve(slave.itemGroups->size());
        for (auto it = slave.itemGroups->cbegin(); it != slave.itemGroups->cend(); ++it) {
            ItemGroupState group;
            group.key = it.key();
            group.name = it.value()->name;
            group.index = it.value()->index;
            group.items.reserve(it.value()->items.size());
            for (const ItemInfo *item : it.value()->items) {
                ItemState copy;
                static_cast<ItemFields &>(copy) = *item;
                copy.value = item->value;
                group.items.append(copy);
            }
            state->groups.append(group);
        }
    }
    return state;
}

SlaveList takeSnapshots(const QList<Slave *> &slaves)
{
    SlaveList list;
    list.reserve(slaves.size());
    for (const Slave *slave : slaves)
        list.append(takeSnapshot(*slave));
    return list;
}

SlaveSnapshot findSnapshot(const SlaveList &slaves, quint64 recordId)
{
    for (const SlaveSnapshot &slave : slaves) {
        if (slave->recordId == recordId)
            return slave;
    }
    return nullptr;
}

void registerSnapshotMetaTypes()
{
    qRegisterMetaType<SlaveSnapshot>("SlaveSnapshot");
    qRegisterMetaType<SlaveList>("SlaveList");
}
