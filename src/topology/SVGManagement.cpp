#include "SVGManagement.h"

#include "SvgDevice.h"
#include "SvgTemplateCache.h"
#include "TopologyLayout.h"
#include "TopologyLog.h"

#include <Adapter.h>

#include <DataFolders.h>

#include <QFileInfo>
#include <QUuid>

#include <memory>
#include <vector>

const QString SVGManagement::kAdapterPicture = QStringLiteral("SVG/TarnBUS.svg");
const QString SVGManagement::kBusLine = QStringLiteral("SVG/line.svg");
const QString SVGManagement::kBusLinePiece = QStringLiteral("SVG/line1.svg");
const QString SVGManagement::kRightTurn = QStringLiteral("SVG/line3.svg");
const QString SVGManagement::kLeftTurn = QStringLiteral("SVG/line4.svg");
const QString SVGManagement::kLampPicture = QStringLiteral("SVG/lamp.svg");
const QString SVGManagement::kCapacityPicture = QStringLiteral("SVG/DataCapacity123.svg");
const QString SVGManagement::kCollisionFill = QStringLiteral("#FF0000");

namespace {

const QString kText = QStringLiteral("text");
const QString kRect = QStringLiteral("rect");
const QString kName = QStringLiteral("name");
const QString kNumber = QStringLiteral("number");
const QString kFill = QStringLiteral("fill");
const QString kVisibility = QStringLiteral("visibility");
const QString kMessageBox = QStringLiteral("mess");
const QString kMessageText = QStringLiteral("tmess");
const QString kHidden = QStringLiteral("hidden");
const QString kVisible = QStringLiteral("visible");

// The pictures a cleared scene let go of, deleted when control is back in
// the event loop.
class RemovedItems : public QObject
{
public:
    using QObject::QObject;
    ~RemovedItems() override
    {
        for (QGraphicsItem *item : items)
            delete item;
    }
    std::vector<QGraphicsItem *> items;
};

} // namespace

SVGManagement::SVGManagement(QObject *parent)
    : QObject(parent)
{
    findPictureFolders();
}

void SVGManagement::findPictureFolders()
{
    m_pictureRoots.clear();
    for (const QString &root : DataFolders::roots()) {
        if (QFileInfo(root + QLatin1Char('/') + DataFolders::kPictures).isDir())
            m_pictureRoots << root;
    }
}

QString SVGManagement::picture(const QString &name) const
{
    return DataFolders::locate(name, m_pictureRoots);
}

SVGManagement::~SVGManagement() = default;

bool SVGManagement::draws(CouplerScene *scene) const
{
    if (scene && scene->manager() == this)
        return true;
    qCWarning(lcTopology) << "not a scene of this page: left alone";
    return false;
}

SvgDevice *SVGManagement::addPicture(CouplerScene *scene, const QString &name, qreal x, qreal y)
{
    auto *device = new SvgDevice;
    device->load(picture(name));
    device->setPos(x, y);
    scene->addItem(device);
    return device;
}

CouplerScene *SVGManagement::createAdapterScene(quint32 capacity)
{
    findPictureFolders();
    auto *scene = new CouplerScene(this);
    scene->m_id = QUuid::createUuid().toString();
    scene->m_manager = this;
    m_scenes.append(scene);
    addAdapterPicture(scene);
    showCapacity(scene, capacity);
    return scene;
}

void SVGManagement::redrawAdapter(CouplerScene *scene, quint32 capacity)
{
    if (!draws(scene))
        return;
    addAdapterPicture(scene);
    scene->update();
    showCapacity(scene, capacity);
}

void SVGManagement::addAdapterPicture(CouplerScene *scene)
{
    SvgDevice *adapter = addPicture(scene, kAdapterPicture, 0, 0);
    connect(adapter, &SvgDevice::sigClickEvent, this, &SVGManagement::sigClickEvent);
    connect(adapter, &SvgDevice::sigHoverEnterEvent, this, &SVGManagement::sigHoverEnterEvent);
}

SvgDevice *SVGManagement::addConnector(const QString &name, CouplerScene *scene, qreal x, qreal y)
{
    if (!draws(scene))
        return nullptr;
    SvgDevice *connector = addPicture(scene, name, x, y);
    scene->update();
    return connector;
}

SlaveGroup *SVGManagement::addSlaveDevice(CouplerScene *scene, int index, int stationNumber,
                                          const SlaveSnapshot &slave, const QVector<quint8> &usage)
{
    if (!draws(scene) || !slave)
        return nullptr;

    const TopologyLayout::Placement place = TopologyLayout::place(scene->m_layout, index);
    if (place.turn != TopologyLayout::Turn::None)
        addConnector(place.turn == TopologyLayout::Turn::Right ? kRightTurn : kLeftTurn, scene, place.turnPos.x(),
                     place.turnPos.y());

    auto *group = new SlaveGroup(slave->recordId, index);

    group->line = new SvgDevice;
    group->line->load(picture(kBusLinePiece));

    SvgDevice *module = group->module = new SvgDevice;
    module->load(picture(slave->imagePath));
    {
        SvgDevice::EditBatch batch(module);
        module->setText(kText, kName, slave->typeName);
        module->setText(kText, kNumber, QString::number(stationNumber));
        if (TopologyLayout::windowCollides(usage, slave->ioWindow))
            module->setAttributeById(kText, kNumber, kFill, kCollisionFill);
    }
    module->setSlave(slave);
    module->setMac(slave->uuid);
    module->setIndex(index);
    // The module hangs from the piece's tap, just above its lower end.
    module->setPos(2, group->line->boundingRect().bottom() - 4);
    connect(module, &SvgDevice::sigDoubleClickEvent, this, [this, module](const QString &mac) {
        emit sigDoubleClickEvent(mac);
        const SlaveSnapshot shown = module->slave();
        emit sigOpenIoTest(shown->recordId, ioTestTitle(*shown));
    });
    connect(module, &SvgDevice::sigClickEvent, this, &SVGManagement::sigClickEvent);
    connect(module, &SvgDevice::sigHoverEnterEvent, this, &SVGManagement::sigHoverEnterEvent);

    SvgDevice *lamp = group->lamp = new SvgDevice;
    lamp->load(picture(kLampPicture));
    lamp->makeLamp();
    lamp->setSlave(slave);
    lamp->setMac(slave->uuid);
    lamp->setIndex(index);
    lamp->setPos(module->pos());
    connect(lamp, &SvgDevice::sigClickLamp, this, [this, lamp](bool on) {
        const SlaveSnapshot shown = lamp->slave();
        emit sigLampRequest(shown->recordId, on);
        emit sigCloseLamp(shown->uuid);
    });
    connect(lamp, &SvgDevice::sigHoverEnterEvent, this, &SVGManagement::sigHoverEnterEvent);

    group->addToGroup(group->line);
    group->addToGroup(module);
    group->addToGroup(lamp);
    group->setPos(place.pos);
    scene->addItem(group);
    ++scene->m_itemCount;
    return group;
}

void SVGManagement::clearScene(CouplerScene *scene)
{
    if (!draws(scene))
        return;
    auto *removed = new RemovedItems(this);
    const QList<QGraphicsItem *> all = scene->items();
    for (QGraphicsItem *item : all) {
        if (item->parentItem())
            continue;
        if (auto *group = qgraphicsitem_cast<SlaveGroup *>(item)) {
            if (group->lamp->isBlinking())
                group->lamp->onCloseLamp();
        }
        scene->removeItem(item);
        removed->items.push_back(item);
    }
    removed->deleteLater();
    scene->m_itemCount = 0;
    scene->m_layout = TopologyLayout::State{0, 0, true};
}

SvgDevice *SVGManagement::showCapacity(CouplerScene *scene, quint32 capacity)
{
    if (!draws(scene))
        return nullptr;
    SvgDevice *box = addPicture(scene, kCapacityPicture, kCapacityX, kCapacityY);
    const QString warning = capacityWarning(capacity);
    SvgDevice::EditBatch batch(box);
    const QString visibility = warning.isEmpty() ? kHidden : kVisible;
    box->setAttributeById(kRect, kMessageBox, kVisibility, visibility);
    box->setAttributeById(kText, kMessageText, kVisibility, visibility);
    if (!warning.isEmpty())
        box->setText(kText, kMessageText, warning);
    return box;
}

void SVGManagement::rebuildTopology(CouplerScene *scene, const SlaveList &slaves)
{
    if (!draws(scene))
        return;
    // Pictures imported meanwhile are drawn from where they now are, each
    // file looked at once.
    const SvgTemplateCache::Batch batch;
    findPictureFolders();
    clearScene(scene);
    redrawAdapter(scene, capacityOf(slaves));
    addConnector(kBusLine, scene, 0, kBusLineY);
    const QVector<quint8> usage = Adapter::occupancyMap(slaves);
    for (int i = 0; i < slaves.size(); ++i) {
        if (slaves.at(i))
            addSlaveDevice(scene, i, slaves.at(i)->stationId, slaves.at(i), usage);
    }
    scene->fitToItems();
}

quint32 SVGManagement::capacityOf(const SlaveList &slaves)
{
    return TopologyLayout::capacityOf(slaves);
}

QString SVGManagement::capacityWarning(quint32 capacity)
{
    switch (TopologyLayout::capacityExcess(capacity)) {
    case TopologyLayout::Excess::Output:
        return tr("输出内存超限");
    case TopologyLayout::Excess::Input:
        return tr("输入内存超限");
    case TopologyLayout::Excess::Both:
        return tr("输入(出)内存超限");
    case TopologyLayout::Excess::None:
        break;
    }
    return QString();
}

QString SVGManagement::ioTestTitle(const SlaveState &slave)
{
    return tr("站号:%1  类型:").arg(slave.stationId) + slave.typeName;
}

SvgDevice *SVGManagement::modulePicture(CouplerScene *scene, quint64 recordId) const
{
    SlaveGroup *group = scene ? scene->slaveGroup(recordId) : nullptr;
    return group ? group->module : nullptr;
}

SvgDevice *SVGManagement::lampPicture(CouplerScene *scene, quint64 recordId) const
{
    SlaveGroup *group = scene ? scene->slaveGroup(recordId) : nullptr;
    return group ? group->lamp : nullptr;
}

QList<SlaveGroup *> SVGManagement::allGroups() const
{
    QList<SlaveGroup *> groups;
    for (const QPointer<CouplerScene> &scene : m_scenes) {
        if (scene)
            groups += scene->slaveGroups();
    }
    return groups;
}

void SVGManagement::onCloseLamp(quint64 recordId)
{
    for (SlaveGroup *group : allGroups()) {
        if (group->recordId() == recordId)
            group->lamp->onCloseLamp();
    }
}

void SVGManagement::onCloseAllLamps()
{
    for (SlaveGroup *group : allGroups())
        group->lamp->onCloseLamp();
}

void SVGManagement::onCloseOtherLamps(const QByteArray &uuid)
{
    for (SlaveGroup *group : allGroups()) {
        if (group->lamp->slave()->uuid != uuid)
            group->lamp->onCloseLamp();
    }
}

void SVGManagement::onUpdateSlaves(const SlaveList &slaves)
{
    for (SlaveGroup *group : allGroups()) {
        if (const SlaveSnapshot slave = findSnapshot(slaves, group->recordId())) {
            group->module->setSlave(slave);
            group->lamp->setSlave(slave);
        }
    }
}

void SVGManagement::onUpdateSlave(const SlaveSnapshot &slave)
{
    if (slave)
        onUpdateSlaves(SlaveList{slave});
}
