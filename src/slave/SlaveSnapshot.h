#pragma once

#include "ItemInfo.h"
#include "Slave.h"

#include <QList>
#include <QMetaType>
#include <QVector>

#include <memory>

// One item as it was when its slave's snapshot was taken.
struct ItemState : ItemFields
{
    ItemValueData value;
};

struct ItemGroupState
{
    QString key; // "CONFIG-DATA", "BASIC INFO", "RXPDO", "TXPDO", ...
    QString name;
    qint32 index = 0;
    QVector<ItemState> items;

    const ItemState *itemAt(int i) const { return i >= 0 && i < items.size() ? &items.at(i) : nullptr; }
};

// A copy of one slave record taken in the adapter's thread, for views in
// other threads. It never changes; the adapter's next notification brings
// new snapshots. Records are told apart by recordId, never by pointer.
struct SlaveState : SlaveFields
{
    quint64 recordId = 0;
    bool described = false; // the record has a description (item groups)
    Slave::IoLengths ioLengths;
    Slave::IoWindow ioWindow;
    QByteArray configurationRecord;
    QVector<ItemGroupState> groups; // in key order

    const ItemGroupState *group(const QString &key) const;
    const ItemState *groupItem(const QString &key, int i) const;
};

using SlaveSnapshot = std::shared_ptr<const SlaveState>;
using SlaveList = QList<SlaveSnapshot>;

// Copies the record; call it in the thread that owns the slave.
SlaveSnapshot takeSnapshot(const Slave &slave);
SlaveList takeSnapshots(const QList<Slave *> &slaves);

// The snapshot of the record with this id, or null.
SlaveSnapshot findSnapshot(const SlaveList &slaves, quint64 recordId);

void registerSnapshotMetaTypes();

Q_DECLARE_METATYPE(SlaveSnapshot)
Q_DECLARE_METATYPE(SlaveList)
