#include "TopologyPage.h"

#include "CouplerScene.h"
#include "GraphicsView.h"
#include "MainProductView.h"
#include "SVGManagement.h"

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
}

void TopologyPage::update(const SlaveList &slaves)
{
    m_pictures->onUpdateSlaves(slaves);
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
