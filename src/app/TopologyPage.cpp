#include "TopologyPage.h"

#include "CouplerScene.h"
#include "CreateModel.h"
#include "GraphicsView.h"
#include "MainProductView.h"
#include "SVGManagement.h"

#include <QDragEnterEvent>
#include <QDropEvent>

TopologyPage::TopologyPage(MainProductView *page, QObject *parent)
    : QObject(parent)
    , m_pictures(new SVGManagement(this))
    , m_scene(m_pictures->createAdapterScene(0))
    , m_view(new GraphicsView)
{
    m_view->setScene(m_scene);
    page->setTopologyView(m_view);
    connect(m_pictures, &SVGManagement::sigClickEvent, this, &TopologyPage::sigClickEvent);
    connect(m_pictures, &SVGManagement::sigCloseLamp, this, &TopologyPage::sigCloseLamp);
    connect(m_pictures, &SVGManagement::sigHoverEnterEvent, this, &TopologyPage::sigHoverEnterEvent);
    connect(m_pictures, &SVGManagement::sigLampRequest, this, &TopologyPage::sigLampRequest);
    connect(m_pictures, &SVGManagement::sigOpenIoTest, this, &TopologyPage::sigOpenIoTest);
}

TopologyPage::~TopologyPage() = default;

void TopologyPage::rebuild(const SlaveList &slaves)
{
    m_pictures->rebuildTopology(m_scene, slaves);
    m_view->viewport()->update(); // the frame of the module shown moves with it
}

void TopologyPage::update(const SlaveList &slaves)
{
    m_pictures->onUpdateSlaves(slaves);
    m_view->viewport()->update();
}

void TopologyPage::markRecord(quint64 recordId)
{
    m_view->setMarkedRecord(recordId);
}

void TopologyPage::clear()
{
    m_pictures->clearScene(m_scene);
}

void TopologyPage::closeAllLamps()
{
    m_pictures->onCloseAllLamps();
}

void TopologyPage::closeLampsExcept(const QByteArray &uid)
{
    m_pictures->onCloseOtherLamps(uid);
}

void TopologyPage::setAcceptModules(bool accept)
{
    m_acceptModules = accept;
    m_view->viewport()->setAcceptDrops(accept);
    if (accept)
        m_view->viewport()->installEventFilter(this);
    else
        m_view->viewport()->removeEventFilter(this);
}

// A module type from the catalogue is taken before the scene sees the drag:
// the pictures know nothing of module types. Only drag events look at the
// view: the filter also sees the events of the viewport's destruction, when
// the view is no longer whole.
bool TopologyPage::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool drag = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    if (!drag || !m_acceptModules || watched != m_view->viewport())
        return QObject::eventFilter(watched, event);
    switch (type) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (CreateModel::typeKeyOf(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString key = CreateModel::typeKeyOf(drop->mimeData());
        if (key.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit sigModuleDropped(key);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
