#pragma once

#include "CouplerScene.h"

#include <SlaveSnapshot.h>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class SvgDevice;

// Builds the topology of one adapter page into its CouplerScene and reports
// what the user does with the pictures. There is one manager per page: a
// click, lamp or hover report reaches only the listeners of the page whose
// scene it came from.
//
// The pictures never touch a slave record. They hold the slave snapshots
// they were drawn from; what a picture asks of a slave leaves as a request
// naming its recordId (sigLampRequest, sigOpenIoTest), for the page's
// adapter manager to pass on to the Adapter.
//
// User-interface thread only.
class SVGManagement : public QObject
{
    Q_OBJECT

public:
    // The templates, by their names in the data folders (DataFolders).
    static const QString kAdapterPicture;  // "SVG/TarnBUS.svg", at the scene origin
    static const QString kBusLine;         // "SVG/line.svg", along the adapter
    static const QString kBusLinePiece;    // "SVG/line1.svg", above each module
    static const QString kRightTurn;       // "SVG/line3.svg"
    static const QString kLeftTurn;        // "SVG/line4.svg"
    static const QString kLampPicture;     // "SVG/lamp.svg"
    static const QString kCapacityPicture; // "SVG/DataCapacity123.svg"
    static const QString kCollisionFill;   // "#FF0000"
    static constexpr int kBusLineY = 78;   // the bus runs at this height through every picture
    static constexpr int kCapacityX = 0;
    static constexpr int kCapacityY = 230;

    explicit SVGManagement(QObject *parent = nullptr);
    ~SVGManagement() override;

    // --- Building the picture ------------------------------------------------
    // A new scene for this manager's page (a child of the manager), with a
    // unique id, the adapter picture and the capacity box.
    CouplerScene *createAdapterScene(quint32 capacity);
    // The adapter picture and the capacity box again, on a cleared scene.
    void redrawAdapter(CouplerScene *scene, quint32 capacity);
    // The group of the module at this bus index (from 0): bus-line piece,
    // module picture (name, station number, red number on an address
    // collision in the usage table of Adapter::occupancyMap) and lamp,
    // placed in the scene's rows of 20; a row change adds its turn first.
    SlaveGroup *addSlaveDevice(CouplerScene *scene, int index, int stationNumber, const SlaveSnapshot &slave,
                               const QVector<quint8> &usage);
    // A connector template (kBusLine, kRightTurn, ...) at x, y.
    SvgDevice *addConnector(const QString &name, CouplerScene *scene, qreal x, qreal y);
    // Removes every picture and resets the layout; the pictures are deleted
    // once control is back in the event loop, so that a picture may report
    // the event that leads to the redraw.
    void clearScene(CouplerScene *scene);
    // The capacity box: capacity carries the input bits in its high half and
    // the output bits in its low half (capacityOf); hidden up to 512 each.
    SvgDevice *showCapacity(CouplerScene *scene, quint32 capacity);

    // The whole topology of a bus: clears the scene, draws the adapter and
    // its capacity, the bus line and every slave in list order, and fits the
    // scene to the picture.
    void rebuildTopology(CouplerScene *scene, const SlaveList &slaves);

    static quint32 capacityOf(const SlaveList &slaves);
    // The warning text of the capacity box; empty when nothing is exceeded.
    static QString capacityWarning(quint32 capacity);
    // The title of a slave's IO test window.
    static QString ioTestTitle(const SlaveState &slave);

    // The file a picture of this name (a template, or a slave's imagePath)
    // is drawn from: the first of the data folders that has it, the user's
    // before the system's; empty when none has it.
    QString picture(const QString &name) const;

    // --- Finding pictures ---------------------------------------------------------
    SvgDevice *modulePicture(CouplerScene *scene, quint64 recordId) const;
    SvgDevice *lampPicture(CouplerScene *scene, quint64 recordId) const;

public slots:
    // Lamps of this manager's scenes. The adapter manager turns a slave's
    // lamp off (the Adapter's sigStopLighting, or another slave's lamp
    // switched on) through these; nothing is sent to the adapter.
    void onCloseLamp(quint64 recordId);
    void onCloseAllLamps();
    // Every lamp except those of the slave with this unique id.
    void onCloseOtherLamps(const QByteArray &uuid);
    // Newer snapshots of the slaves shown (a lamp press looks at the
    // slave's forced state); texts and colours change with a rebuild only.
    void onUpdateSlaves(const SlaveList &slaves);
    void onUpdateSlave(const SlaveSnapshot &slave);

signals:
    // A press on the adapter picture (empty mac) or on a module picture
    // (the module's uuid).
    void sigClickEvent(QByteArray mac);
    // A double-click on a module picture: its uuid as text.
    void sigDoubleClickEvent(QString mac);
    // A lamp was switched, or lit again while blinking: the adapter manager
    // turns the other lamps off.
    void sigCloseLamp(QByteArray mac);
    // The mouse entered (true) or left (false) a picture that reacts to a press.
    void sigHoverEnterEvent(bool entered);
    // Ask the Adapter for the module's locating lamp (requestSlaveLamp).
    void sigLampRequest(quint64 recordId, bool on);
    // Open the slave's IO test window with this title, unless a window of
    // that title is open already.
    void sigOpenIoTest(quint64 recordId, QString title);

private:
    bool draws(CouplerScene *scene) const;
    // The data folders that hold pictures, found again for every new scene
    // and every rebuild, and searched for each picture in between.
    void findPictureFolders();
    SvgDevice *addPicture(CouplerScene *scene, const QString &name, qreal x, qreal y);
    void addAdapterPicture(CouplerScene *scene);
    QList<SlaveGroup *> allGroups() const;

    QList<QPointer<CouplerScene>> m_scenes;
    QStringList m_pictureRoots;
};
