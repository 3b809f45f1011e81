#pragma once

#include "SvgDocument.h"
#include "SvgTemplateCache.h"

#include <SlaveSnapshot.h>

#include <QByteArray>
#include <QGraphicsSvgItem>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <memory>

class QTimer;

// One picture of the topology: an SVG template that is edited in memory
// (texts, colours, visibility) before it is drawn, so that one template
// shows many modules. A picture may show a slave (the module picture and
// its lamp); it turns presses, double-clicks and hovering into signals.
//
// A picture that has not been edited draws from its template's shared
// renderer; the first edit gives it a renderer of its own.
class SvgDevice : public QGraphicsSvgItem
{
    Q_OBJECT

public:
    static const QString kLampOff; // "#666666"
    static const QString kLampLit; // "#e53935"
    static constexpr int kBlinkIntervalMs = 500;

    explicit SvgDevice(QGraphicsItem *parent = nullptr);
    ~SvgDevice() override;

    // Reads and parses the file; false when it does not exist or is no
    // SVG document: the picture then stays empty.
    bool load(const QString &path);
    QString sourcePath() const;

    // --- Editing the document ---------------------------------------------
    // Each looks through the elements of the tag in document order; an
    // element that is not there changes nothing. After a change the picture
    // is drawn again (once per batch, see EditBatch).
    // The first element of the tag with this id gets the text.
    void setText(const QString &tag, const QString &id, const QString &text);
    // The first element of the tag with this id gets the attribute.
    void setAttributeById(const QString &tag, const QString &id, const QString &name, const QString &value);
    // Every element of the tag gets the attribute.
    void setAttributeOnAll(const QString &tag, const QString &name, const QString &value);

    // Edits made while a batch is open are drawn once, when the outermost
    // batch closes.
    class EditBatch
    {
    public:
        explicit EditBatch(SvgDevice *device);
        ~EditBatch();
        EditBatch(const EditBatch &) = delete;
        EditBatch &operator=(const EditBatch &) = delete;

    private:
        SvgDevice *m_device;
    };

    // --- Reading the document (as drawn) -----------------------------------
    QString text(const QString &tag, const QString &id) const;
    QString attribute(const QString &tag, const QString &id, const QString &name) const;
    QStringList attributeOfAll(const QString &tag, const QString &name) const;
    // The document as drawn, serialised.
    QByteArray svgBytes() const;

    // --- What the picture shows ---------------------------------------------
    void setSlave(const SlaveSnapshot &slave) { m_slave = slave; }
    SlaveSnapshot slave() const { return m_slave; }
    void setMac(const QByteArray &mac) { m_mac = mac; }
    QByteArray mac() const { return m_mac; }
    void setIndex(int index) { m_index = index; }
    int index() const { return m_index; }
    void setDropAccept(bool accept) { m_dropAccept = accept; }
    bool dropAccept() const { return m_dropAccept; }

    // Makes this picture a locating lamp: it gets its blink timer.
    void makeLamp();
    bool isLamp() const { return m_lampTimer != nullptr; }
    bool isBlinking() const { return m_blinking; }
    bool isLit() const { return m_lit; }

public slots:
    // One blink step: lit and dark in turn; each lit phase reports
    // sigClickLamp(true) so that the module's lamp is asked for again.
    // Nothing while the lamp does not blink; the blinking ends when the
    // slave is forced.
    void onUpdateLampStatus();
    // Stops blinking and leaves the lamp dark.
    void onCloseLamp();

signals:
    void sigStartUpdate();
    void sigStopUpdate();
    void sigDoubleClickEvent(QString mac);
    void sigClickEvent(QByteArray mac);
    void sigClickLamp(bool on);
    void sigHoverEnterEvent(bool entered);
    void sigMouseMove(int index, QObject *device);

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;

private:
    void changed(bool changed);
    void render();
    void setLampFill(const QString &fill);

    SvgTemplateCache::TemplatePtr m_template;
    SvgDocument m_document;
    // From the first edit: the renderer of the edited document, shared with
    // the pictures that show the same document (SvgTemplateCache).
    std::shared_ptr<QSvgRenderer> m_renderer;
    int m_batchDepth = 0;
    bool m_dirty = false;

    SlaveSnapshot m_slave;
    QByteArray m_mac;
    int m_index = 0;
    bool m_dropAccept = false;

    QTimer *m_lampTimer = nullptr;
    bool m_blinking = false;
    bool m_lit = false;
    QPointF m_pressPos;
};
