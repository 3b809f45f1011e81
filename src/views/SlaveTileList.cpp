#include "SlaveTileList.h"

#include "SlaveItemView.h"

#include <QGridLayout>
#include <QHash>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int kSpacing = 8;
constexpr int kReleaseDelayMs = 2000;
} // namespace

SlaveTileList::SlaveTileList(QWidget *parent)
    : QScrollArea(parent)
    , m_content(new QWidget)
    , m_grid(new QGridLayout(m_content))
{
    m_grid->setSpacing(kSpacing);
    m_grid->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
    m_grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(m_content);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

SlaveItemView *SlaveTileList::newTile()
{
    auto *tile = new SlaveItemView(m_content);
    connect(tile, &SlaveItemView::sigSlaveClick, this, [this, tile] {
        selectRecord(tile->recordId());
        emit sigSlaveActivated(tile->recordId());
    });
    connect(tile, &SlaveItemView::sigSlaveDataTest, this, &SlaveTileList::sigSlaveDataTest);
    connect(tile, &SlaveItemView::sigSlaveCreateView, this, &SlaveTileList::sigSlaveCreateView);
    connect(tile, &SlaveItemView::sigLampRequest, this, &SlaveTileList::sigLampRequest);
    connect(tile, &SlaveItemView::sigResetRequest, this, &SlaveTileList::sigResetRequest);
    return tile;
}

void SlaveTileList::setSlaves(const SlaveList &slaves, bool configuration)
{
    m_slaves = slaves;
    m_configuration = configuration;
    if (tilesWanted() || lampRunning())
        buildTiles();
    else
        dropTiles();
}

void SlaveTileList::setConflicts(const QHash<quint64, QString> &conflicts)
{
    m_conflicts = conflicts;
    for (SlaveItemView *tile : qAsConst(m_tiles))
        tile->setAddressConflict(m_conflicts.value(tile->recordId()));
}

void SlaveTileList::buildTiles()
{
    QHash<quint64, SlaveItemView *> kept;
    for (SlaveItemView *tile : qAsConst(m_tiles))
        kept.insert(tile->recordId(), tile);
    QList<SlaveItemView *> tiles;
    for (const SlaveSnapshot &slave : qAsConst(m_slaves)) {
        SlaveItemView *tile = kept.take(slave->recordId);
        if (!tile)
            tile = newTile();
        tile->setTileNumber(tiles.size());
        tile->setSlave(slave, m_configuration);
        tile->setAddressConflict(m_conflicts.value(slave->recordId));
        tile->setSelected(slave->recordId == m_selected);
        tiles.append(tile);
    }
    // Tiles of records that are gone go, lamps and all.
    for (SlaveItemView *gone : qAsConst(kept))
        delete gone;
    m_tiles = tiles;
    relayout();
}

void SlaveTileList::updateSlaves(const SlaveList &slaves)
{
    QHash<quint64, SlaveSnapshot> newer;
    for (const SlaveSnapshot &slave : slaves)
        newer.insert(slave->recordId, slave);
    for (SlaveSnapshot &shown : m_slaves) {
        const auto it = newer.constFind(shown->recordId);
        if (it != newer.cend())
            shown = *it;
    }
    for (SlaveItemView *tile : qAsConst(m_tiles)) {
        const auto it = newer.constFind(tile->recordId());
        if (it != newer.cend())
            tile->updateSlave(*it);
    }
}

void SlaveTileList::clear()
{
    m_slaves.clear();
    dropTiles();
}

void SlaveTileList::dropTiles()
{
    qDeleteAll(m_tiles);
    m_tiles.clear();
    relayout();
}

// Tiles are wanted wherever they can be seen, and by a list that is not in
// a shown window at all (built on its own, as in a test).
bool SlaveTileList::tilesWanted() const
{
    return isVisible() || !window()->isVisible();
}

bool SlaveTileList::lampRunning() const
{
    return std::any_of(m_tiles.cbegin(), m_tiles.cend(), [](const SlaveItemView *tile) { return tile->isLampRunning(); });
}

void SlaveTileList::showEvent(QShowEvent *event)
{
    QScrollArea::showEvent(event);
    buildTiles();
}

void SlaveTileList::hideEvent(QHideEvent *event)
{
    QScrollArea::hideEvent(event);
    // Later, so that a list only passing through hidden keeps its tiles.
    QTimer::singleShot(kReleaseDelayMs, this, &SlaveTileList::releaseTilesIfHidden);
}

void SlaveTileList::releaseTilesIfHidden()
{
    if (!tilesWanted() && !lampRunning())
        dropTiles();
}

SlaveItemView *SlaveTileList::tileOf(quint64 recordId) const
{
    for (SlaveItemView *tile : m_tiles) {
        if (tile->recordId() == recordId)
            return tile;
    }
    return nullptr;
}

void SlaveTileList::selectRecord(quint64 recordId)
{
    // Selecting again (every notification does) leaves the scrolling alone.
    if (recordId == m_selected)
        return;
    m_selected = recordId;
    for (SlaveItemView *tile : qAsConst(m_tiles))
        tile->setSelected(recordId != 0 && tile->recordId() == recordId);
    if (SlaveItemView *tile = tileOf(recordId))
        ensureWidgetVisible(tile, 0, kSpacing);
}

void SlaveTileList::closeLampsExcept(const QByteArray &uid)
{
    for (SlaveItemView *tile : qAsConst(m_tiles))
        tile->onOFFLamp(QString::fromLatin1(uid));
}

void SlaveTileList::closeAllLamps()
{
    for (SlaveItemView *tile : qAsConst(m_tiles)) {
        if (tile->isLampRunning())
            tile->onOFFLamp(QString());
    }
}

void SlaveTileList::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    relayout();
}

void SlaveTileList::relayout()
{
    const int available = viewport()->width() - kSpacing;
    const int columns = std::max(1, available / (SlaveItemView::kTileWidth + kSpacing));
    const bool sameColumns = columns == m_columns;
    m_columns = columns;
    for (int i = 0; i < m_tiles.size(); ++i) {
        SlaveItemView *tile = m_tiles.at(i);
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        const int at = m_grid->indexOf(tile);
        if (at >= 0)
            m_grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        if (sameColumns && at >= 0 && row == i / columns && column == i % columns)
            continue;
        m_grid->removeWidget(tile);
        m_grid->addWidget(tile, i / columns, i % columns);
    }
}
