#include "TopologyPage.h"

#include "MainProductView.h"

#include <QGraphicsScene>
#include <QGraphicsView>

TopologyPage::TopologyPage(MainProductView *page, QObject *parent)
    : QObject(parent)
    , m_view(new QGraphicsView)
{
    m_view->setScene(new QGraphicsScene(m_view));
    page->setTopologyView(m_view);
}

TopologyPage::~TopologyPage() = default;

void TopologyPage::rebuild(const SlaveList &, int)
{
}

void TopologyPage::clear()
{
    m_view->scene()->clear();
}

void TopologyPage::closeAllLamps()
{
}

void TopologyPage::closeLampsExcept(const QByteArray &)
{
}
