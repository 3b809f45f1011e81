#include "SvgDevice.h"

#include "TopologyLog.h"

#include <QApplication>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPointer>
#include <QSvgRenderer>
#include <QTimer>

namespace {

const QString kPath = QStringLiteral("path");
const QString kFill = QStringLiteral("fill");

} // namespace

const QString SvgDevice::kLampOff = QStringLiteral("#666666");
const QString SvgDevice::kLampLit = QStringLiteral("#") + QString::number(15022389, 16);

SvgDevice::SvgDevice(QGraphicsItem *parent)
    : QGraphicsSvgItem(parent)
{
    setAcceptHoverEvents(true);
    setAcceptDrops(true);
}

SvgDevice::~SvgDevice() = default;

bool SvgDevice::load(const QString &path)
{
    m_template = SvgTemplateCache::instance().find(path);
    m_dirty = false;
    if (m_template && m_template->parsed) {
        m_document = SvgDocument(m_template->parsed);
        setSharedRenderer(m_template->sharedRenderer());
        m_renderer.reset();
        return true;
    }
    qCDebug(lcTopology) << "no picture from" << path;
    m_template.reset();
    m_document = SvgDocument();
    std::shared_ptr<QSvgRenderer> empty = std::make_shared<QSvgRenderer>();
    setSharedRenderer(empty.get());
    m_renderer = std::move(empty);
    return false;
}

QString SvgDevice::sourcePath() const
{
    return m_template ? m_template->path : QString();
}

void SvgDevice::setText(const QString &tag, const QString &id, const QString &text)
{
    changed(m_document.setText(tag, id, text));
}

void SvgDevice::setAttributeById(const QString &tag, const QString &id, const QString &name, const QString &value)
{
    changed(m_document.setAttributeById(tag, id, name, value));
}

void SvgDevice::setAttributeOnAll(const QString &tag, const QString &name, const QString &value)
{
    changed(m_document.setAttributeOnAll(tag, name, value));
}

SvgDevice::EditBatch::EditBatch(SvgDevice *device)
    : m_device(device)
{
    ++m_device->m_batchDepth;
}

SvgDevice::EditBatch::~EditBatch()
{
    if (--m_device->m_batchDepth == 0 && m_device->m_dirty)
        m_device->render();
}

void SvgDevice::changed(bool changed)
{
    if (!changed)
        return;
    m_dirty = true;
    if (m_batchDepth == 0)
        render();
}

void SvgDevice::render()
{
    m_dirty = false;
    const QByteArray document = m_document.toByteArray();
    std::shared_ptr<QSvgRenderer> renderer;
    if (m_template) {
        renderer = m_template->editedRenderer(document);
    } else {
        renderer = std::make_shared<QSvgRenderer>();
        renderer->load(document);
    }
    // Takes the new size and repaints; the renderer shown before goes after.
    setSharedRenderer(renderer.get());
    m_renderer = std::move(renderer);
}

QString SvgDevice::text(const QString &tag, const QString &id) const
{
    return m_document.text(tag, id);
}

QString SvgDevice::attribute(const QString &tag, const QString &id, const QString &name) const
{
    return m_document.attribute(tag, id, name);
}

QStringList SvgDevice::attributeOfAll(const QString &tag, const QString &name) const
{
    return m_document.attributeOfAll(tag, name);
}

QByteArray SvgDevice::svgBytes() const
{
    return m_document.toByteArray();
}

void SvgDevice::makeLamp()
{
    if (m_lampTimer)
        return;
    m_lampTimer = new QTimer(this);
    m_lampTimer->setInterval(kBlinkIntervalMs);
    connect(m_lampTimer, &QTimer::timeout, this, &SvgDevice::onUpdateLampStatus);
}

void SvgDevice::setLampFill(const QString &fill)
{
    setAttributeOnAll(kPath, kFill, fill);
}

void SvgDevice::onUpdateLampStatus()
{
    if (!m_blinking)
        return;
    // The adapter refuses lamps to forced modules: a lamp that blinks on
    // when its module has been forced since would only be refused, once a
    // second.
    if (m_slave && m_slave->forcedState != 0) {
        onCloseLamp();
        return;
    }
    const bool lighting = !m_lit;
    setLampFill(lighting ? kLampLit : kLampOff);
    m_lit = lighting;
    if (lighting)
        emit sigClickLamp(true);
}

void SvgDevice::onCloseLamp()
{
    if (m_lampTimer)
        m_lampTimer->stop();
    setLampFill(kLampOff);
    m_blinking = false;
    m_lit = false;
}

void SvgDevice::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event)
    emit sigHoverEnterEvent(true);
}

void SvgDevice::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    Q_UNUSED(event)
    emit sigHoverEnterEvent(false);
}

void SvgDevice::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    // A receiver may redraw the topology; the scene then lets go of this
    // picture, which must not be touched once it is gone.
    const QPointer<SvgDevice> self(this);
    const QPointF pressPos = event->screenPos();
    emit sigClickEvent(m_mac);
    if (!self)
        return;
    // The press that completes a double-click arrives as a double-click
    // event: only single presses switch the lamp.
    if (isLamp() && m_slave && event->button() == Qt::LeftButton && m_slave->forcedState == 0) {
        if (m_blinking) {
            onCloseLamp();
            emit sigClickLamp(false);
        } else {
            m_blinking = true;
            m_lampTimer->start();
            emit sigClickLamp(true);
        }
        if (!self)
            return;
    }
    m_pressPos = pressPos;
}

void SvgDevice::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    if ((event->screenPos() - m_pressPos).manhattanLength() > QApplication::startDragDistance())
        emit sigMouseMove(m_index, this);
}

void SvgDevice::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
}

void SvgDevice::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    const int end = m_mac.indexOf('\0');
    emit sigDoubleClickEvent(QString::fromLatin1(end < 0 ? m_mac : m_mac.left(end)));
}

void SvgDevice::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(m_dropAccept);
}

void SvgDevice::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(m_dropAccept);
}

void SvgDevice::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(m_dropAccept);
}
