#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QScrollArea>

class QGridLayout;
class SlaveItemView;

// The tiles of an adapter page's slaves, in list order, flowing into as
// many columns as the width allows. A tile is kept for its record as long
// as the record is listed, so that its lamp and selection survive redraws.
// A list hidden in a shown window (another adapter's tab, the table view)
// holds only the snapshots: its tiles are made when it is shown again and
// given up while it stays hidden, unless a lamp of one of them blinks.
class SlaveTileList : public QScrollArea
{
    Q_OBJECT

public:
    explicit SlaveTileList(QWidget *parent = nullptr);

    // The slaves to show, in this order; slaves of an offline configuration
    // are configuration slaves.
    void setSlaves(const SlaveList &slaves, bool configuration);
    // Newer snapshots of the slaves shown.
    void updateSlaves(const SlaveList &slaves);
    // What each module shares with others, by record id (none: not listed).
    void setConflicts(const QHash<quint64, QString> &conflicts);
    void clear();
    void selectRecord(quint64 recordId);

    int count() const { return m_tiles.size(); }
    SlaveItemView *tile(int index) const { return m_tiles.value(index, nullptr); }
    SlaveItemView *tileOf(quint64 recordId) const;
    int columns() const { return m_columns; }

public slots:
    // Lamps out on every tile but those of this unique id.
    void closeLampsExcept(const QByteArray &uid);
    void closeAllLamps();

signals:
    void sigSlaveActivated(quint64 recordId);
    void sigSlaveDataTest(quint64 recordId);
    void sigSlaveCreateView(int type, quint64 recordId, int sid);
    void sigLampRequest(quint64 recordId, bool on);
    void sigResetRequest(quint64 recordId);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    SlaveItemView *newTile();
    void relayout();
    bool tilesWanted() const;
    bool lampRunning() const;
    void buildTiles();
    void dropTiles();
    void releaseTilesIfHidden();

    QWidget *m_content;
    QGridLayout *m_grid;
    QList<SlaveItemView *> m_tiles;
    SlaveList m_slaves;         // what the tiles show, or would show
    bool m_configuration = false;
    quint64 m_selected = 0;
    int m_columns = 0;
    QHash<quint64, QString> m_conflicts;
};
