#pragma once

#include "AdapterTypes.h"
#include "SlaveSnapshot.h"

#include <QWidget>

class LinkStatisticsView;
class SlaveTileList;

namespace Ui {
class SlaveMainWindow;
}

// The bus status panel and the slave list of one adapter page: a tile per
// slave, and the same slaves as a table.
class SlaveMainWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Force { Off, On, Cleared };
    enum Column { StationColumn, NameColumn, ClassColumn, UidColumn, InputColumn, OutputColumn, StateColumn, ColumnCount };

    explicit SlaveMainWindow(QWidget *parent = nullptr);
    ~SlaveMainWindow() override;

    // The nine status values: four indicators, the slave count, power and temperature.
    void updateStatus(const AdapterStatus &status);
    // The adapter's state cannot be known (offline, link lost, restarting):
    // the lamps are grey and say why. An empty why shows the values again.
    void setStatusUnknown(const QString &why);
    bool isStatusKnown() const { return m_unknownWhy.isEmpty(); }
    // Greys the force indicator and shows the status of an adapter that is not there.
    void resetStatus();
    void setForceIndicator(Force force);
    Force forceIndicator() const { return m_force; }
    void setForceAvailable(bool available);

    void clearSlaves();
    // The slaves of the page, in list order: a row and a tile each (sizes
    // in bits with unit 1, in bytes with unit 8). Tiles of records still
    // listed are kept. Slaves of an offline configuration are configuration
    // slaves.
    void setSlaves(const SlaveList &slaves, int alignmentUnit, bool configuration);
    // Newer snapshots of the slaves shown: the tiles follow their states.
    void updateSlaves(const SlaveList &slaves);
    // One row per slave; sizes in bits (unit 1) or bytes (unit 8).
    void addSlaveRow(const SlaveSnapshot &slave, int alignmentUnit);
    // Marks the modules that share bits with others, on their rows and
    // tiles, saying what and with whom.
    void setConflicts(const QHash<quint64, QString> &conflicts);
    void selectRecord(quint64 recordId);
    SlaveTileList *tiles() const;
    // "通信统计", under the status panel; hidden for an offline configuration.
    LinkStatisticsView *linkStatistics() const { return m_linkStatistics; }
    int rowCount() const;
    QString cellText(int row, int column) const;
    // The look of the four indicators in style-sheet notation, in panel
    // order, and the value labels.
    QStringList indicatorStyles() const;
    QString slaveCountText() const;
    QString powerText() const;
    QString temperatureText() const;

signals:
    void sigUpdatePower();
    void sigSlaveActivated(quint64 recordId);
    // Requests of the tiles, naming the slave's record.
    void sigSlaveDataTest(quint64 recordId);
    void sigSlaveCreateView(int type, quint64 recordId, int sid);
    void sigLampRequest(quint64 recordId, bool on);
    void sigResetRequest(quint64 recordId);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void showStatus();

    Ui::SlaveMainWindow *ui;
    Force m_force = Force::Cleared;
    AdapterStatus m_status;
    QString m_unknownWhy;
    LinkStatisticsView *m_linkStatistics = nullptr;
};
