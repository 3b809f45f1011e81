#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QMenu;

namespace Ui {
class SlaveItemView;
}

// The tile of one slave in an adapter page's slave list: its state, its
// locating lamp, station, type and unique id, and three status lines
// (communication, parameters, faults). It shows snapshots of the slave and
// never touches the record: what the user asks of the slave leaves as a
// request naming its record id, for the page's adapter manager to pass on.
class SlaveItemView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kLampIntervalMs = 500;
    static constexpr int kTileWidth = 300; // the form's fixed size
    static const QString kAbnormalStyle; // "color: rgb(213, 145, 43);", in bold
    static const QString kNormalStyle;   // "color: rgb(0, 120, 88);"
    static const QString kUnsetStyle;    // "color: rgb(221, 34, 34);"
    static const QString kConflictStyle; // "color: rgb(255, 128, 0);", in bold
    static const QString kStationStyle;  // "color: rgb(0, 0, 0);"

    explicit SlaveItemView(QWidget *parent = nullptr);
    ~SlaveItemView() override;

    // The tile's number in its list, sent with its click report.
    void setTileNumber(int number) { m_tileNumber = number; }
    int tileNumber() const { return m_tileNumber; }

    // Binds the slave and shows it. A slave of an offline configuration is
    // a configuration slave: it shows "配置" instead of its state.
    void setSlave(const SlaveSnapshot &slave, bool configurationSlave = false);
    // A newer snapshot of the bound record.
    void updateSlave(const SlaveSnapshot &slave);
    const SlaveSnapshot &slave() const { return m_slave; }
    quint64 recordId() const { return m_slave ? m_slave->recordId : 0; }

    void showStatus(bool online, bool commFault, bool paramFault, bool stationConflict, bool faultPresent,
                    bool configurationSlave);

    // The module shares bits with others (what and with whom); empty when
    // it does not. Shown as "地址冲突" in the parameter field.
    void setAddressConflict(const QString &conflict);
    QString addressConflict() const { return m_conflict; }
    QString parameterText() const;
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // The locating lamp is blinking.
    bool isLampRunning() const { return m_lampTimer.isActive(); }
    QString macText() const;

    // The context menu as it opens; the caller owns it.
    QMenu *buildContextMenu();

signals:
    // Open the IO test window of the slave.
    void sigSlaveDataTest(quint64 recordId);
    // "修改站号": type 3 asks for the slave's station to be edited.
    void sigSlaveCreateView(int type, quint64 recordId, int sid);
    void sigSlaveClick(int index, int sid, QByteArray mac);
    // Requests on the slave, for its Adapter.
    void sigLampRequest(quint64 recordId, bool on);
    void sigResetRequest(quint64 recordId);

public slots:
    void onShowFaultCode();
    void onLighting(bool on);
    void onUpLamp();
    void onUpdateFault();
    // Every tile but the one of this unique id (in any case) puts its lamp out.
    void onOFFLamp(QString mac);
    void onResetSlave();
    void on_SlaveItemView_customContextMenuRequested(QPoint pos);
    void on_sn_customContextMenuRequested(QPoint pos);

    // What a label of a tile shows, in style-sheet notation.
    static QString lookOf(const QLabel *label);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void fillTexts();
    void stopLamp();
    void showLamp(bool lit);
    // The forced state refuses the lamp and the reset; true when refused.
    bool refusedWhileForced();

    Ui::SlaveItemView *ui;
    SlaveSnapshot m_slave;
    int m_tileNumber = -1;
    bool m_configurationSlave = false;
    bool m_selected = false;
    bool m_lampOn = false;
    QTimer m_lampTimer;
    QPoint m_pressPos;
    QString m_conflict;
};
