#pragma once

#include "SlaveSnapshot.h"

#include <QObject>

class MainProductView;
class QGraphicsView;

// The topology of one adapter page: its scene, its view and the picture
// manager of that scene alone, so that clicks, lamps and hovering in one
// page never reach another page's manager.
class TopologyPage : public QObject
{
    Q_OBJECT

public:
    TopologyPage(MainProductView *page, QObject *parent = nullptr);
    ~TopologyPage() override;

    QGraphicsView *view() const { return m_view; }
    void rebuild(const SlaveList &slaves, int alignmentUnit);
    void clear();
    void closeAllLamps();
    void closeLampsExcept(const QByteArray &uid);

signals:
    void sigClickEvent(QByteArray uid);
    void sigCloseLamp(QByteArray uid);
    void sigHoverEnterEvent(bool hovering);
    void sigLampRequest(quint64 recordId, bool on);
    void sigOpenIoTest(quint64 recordId, QString title);

private:
    QGraphicsView *m_view = nullptr;
};
