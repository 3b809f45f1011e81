#include "SlaveItemView.h"

#include "FormTexts.h"

#include "FaultView.h"
#include "LabelLook.h"
#include "MessageBox.h"
#include "ui_SlaveItemView.h"

#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <TarnBaseConvert.h>

const QString SlaveItemView::kAbnormalStyle = QStringLiteral("color: rgb(213, 145, 43);");
const QString SlaveItemView::kNormalStyle = QStringLiteral("color: rgb(0, 120, 88);");
const QString SlaveItemView::kUnsetStyle = QStringLiteral("color: rgb(221, 34, 34);");
const QString SlaveItemView::kConflictStyle = QStringLiteral("color: rgb(255, 128, 0);");
const QString SlaveItemView::kStationStyle = QStringLiteral("color: rgb(0, 0, 0);");

namespace {

const QString kLampOn = QStringLiteral("image: url(:/image/LON.png);");
const QString kLampOff = QStringLiteral("image: url(:/image/LOFF.png);");
const QString kFaultImage = QStringLiteral("image: url(:/image/abnormal.png);");
constexpr int kBoxWidth = 210;

QString imageStyle(const char *name)
{
    return QStringLiteral("image: url(:/image/%1);").arg(QLatin1String(name));
}

// A tile's labels show their colours and images through palettes and
// shared pixmaps, not style sheets (LabelLook.h): a page holds up to 128
// tiles. Looks and fonts are set only when they change, since a tile is
// shown again with every notification of its adapter.
void setLabelStyle(QLabel *label, const QString &style, bool bold = false)
{
    labellook::set(label, style);
    if (label->font().bold() != bold) {
        QFont font = label->font();
        font.setBold(bold);
        label->setFont(font);
    }
}

void showFlag(QLabel *label, bool abnormal)
{
    label->setText(abnormal ? SlaveItemView::tr("异常") : SlaveItemView::tr("正常"));
    setLabelStyle(label, abnormal ? SlaveItemView::kAbnormalStyle : SlaveItemView::kNormalStyle, abnormal);
}

} // namespace

SlaveItemView::SlaveItemView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SlaveItemView)
{
    ui->setupUi(this);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setLabelStyle(ui->icon, imageStyle("unslave.png"));
    setLabelStyle(ui->lamp, kLampOff);
    m_lampTimer.setInterval(kLampIntervalMs);
    connect(ui->errCodeImage, &MyLabel::sigDoubleClick, this, &SlaveItemView::onShowFaultCode);
    connect(ui->lamp, &MyLabel::sigClick, this, &SlaveItemView::onLighting);
    connect(&m_lampTimer, &QTimer::timeout, this, &SlaveItemView::onUpLamp);
}

SlaveItemView::~SlaveItemView()
{
    delete ui;
}

QString SlaveItemView::macText() const
{
    return ui->MAC->text();
}

void SlaveItemView::setSlave(const SlaveSnapshot &slave, bool configurationSlave)
{
    m_slave = slave;
    m_configurationSlave = configurationSlave;
    fillTexts();
    onUpdateFault();
}

void SlaveItemView::updateSlave(const SlaveSnapshot &slave)
{
    if (!slave || slave == m_slave)
        return;
    m_slave = slave;
    fillTexts();
    onUpdateFault();
}

void SlaveItemView::fillTexts()
{
    if (!m_slave)
        return;
    const bool unset = m_slave->stationId == 0;
    ui->sid->setText(unset ? tr("未设定") : QString::number(m_slave->stationId));
    setLabelStyle(ui->sid, unset ? kUnsetStyle : kStationStyle);
    ui->sn->setText(m_slave->typeName);
    setLabelStyle(ui->sn, m_slave->typeCode == TarnBase::ModuleUndefined ? kUnsetStyle : QString());
    // The unique id in lower case, as the tile has always shown it; reports
    // of lamps carry it in upper case and are compared without regard to case.
    ui->MAC->setText(m_slave->uuid.isEmpty() ? QStringLiteral("--") : QString::fromLatin1(m_slave->uuid).toLower());
}

void SlaveItemView::onUpdateFault()
{
    if (!m_slave)
        return;
    showStatus(m_slave->statusRun, m_slave->statusBit1, m_slave->statusBit2, m_slave->statusBit4, m_slave->statusBit5,
               m_configurationSlave);
    update();
}

void SlaveItemView::showStatus(bool online, bool commFault, bool paramFault, bool stationConflict, bool faultPresent,
                               bool configurationSlave)
{
    // The state and its image.
    QString icon;
    if (configurationSlave) {
        ui->action->setText(tr("配置"));
        icon = imageStyle("csvSet.png");
    } else if (online) {
        ui->action->setText(tr("在线"));
        if (m_slave && m_slave->stationId == 0)
            icon = imageStyle("slave_undef.png");
        else if (m_slave && m_slave->typeCode == TarnBase::ModuleUndefined)
            icon = imageStyle("slave_unxx.png");
        else
            icon = imageStyle("slave.png");
    } else {
        ui->action->setText(tr("离线"));
        icon = imageStyle("slave_off.png");
    }
    setLabelStyle(ui->icon, icon);

    if (m_slave && m_slave->stationId != 0) {
        ui->sid->setText(QString::number(m_slave->stationId));
        setLabelStyle(ui->sid, kStationStyle);
    }
    showFlag(ui->argumentValue, paramFault);
    if (!m_conflict.isEmpty()) {
        ui->argumentValue->setText(tr("地址冲突"));
        setLabelStyle(ui->argumentValue, kAbnormalStyle, true);
    }
    if (ui->argumentValue->toolTip() != m_conflict)
        ui->argumentValue->setToolTip(m_conflict);
    if (stationConflict) {
        const int station = m_slave ? m_slave->stationId : 0;
        ui->sid->setText(station ? QString::number(station) : tr("未设定"));
        setLabelStyle(ui->sid, kConflictStyle, true);
    }
    showFlag(ui->commValue, commFault);
    if (faultPresent) {
        ui->errCodeValue->setText(tr("异常"));
        setLabelStyle(ui->errCodeValue, kAbnormalStyle, true);
        setLabelStyle(ui->errCodeImage, kFaultImage);
    } else {
        ui->errCodeValue->setText(tr("无"));
        setLabelStyle(ui->errCodeValue, kNormalStyle);
        setLabelStyle(ui->errCodeImage, QString());
    }
}

void SlaveItemView::setAddressConflict(const QString &conflict)
{
    if (conflict == m_conflict)
        return;
    m_conflict = conflict;
    onUpdateFault();
}

QString SlaveItemView::parameterText() const
{
    return ui->argumentValue->text();
}

void SlaveItemView::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

QString SlaveItemView::lookOf(const QLabel *label)
{
    return labellook::of(label);
}

// The tile's face: a light grey gradient in a thin frame, a blue frame when selected.
void SlaveItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient face(0, 0, 0, height());
    face.setColorAt(0, QColor(0xD9, 0xDC, 0xDD));
    face.setColorAt(1, QColor(0xCC, 0xD3, 0xD9));
    painter.fillRect(rect(), face);
    const int frame = m_selected ? 2 : 1;
    painter.setPen(QPen(m_selected ? QColor(0x1E, 0x88, 0xE5) : QColor(0xB0, 0xBE, 0xC5), frame));
    const qreal inset = frame / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

// --- The locating lamp ------------------------------------------------------

void SlaveItemView::showLamp(bool lit)
{
    setLabelStyle(ui->lamp, lit ? kLampOn : kLampOff);
}

void SlaveItemView::stopLamp()
{
    m_lampTimer.stop();
    ui->lamp->setState(false);
    m_lampOn = false;
    showLamp(false);
}

bool SlaveItemView::refusedWhileForced()
{
    if (!m_slave || m_slave->forcedState == 0)
        return false;
    stopLamp();
    MessageBox::notify(window(), tr("提示"), tr("      强制状态不可操作！    "), MessageBox::Information, kBoxWidth);
    return true;
}

void SlaveItemView::onLighting(bool on)
{
    if (!m_slave) {
        stopLamp();
        return;
    }
    if (refusedWhileForced())
        return;
    if (on) {
        ui->lamp->setState(true);
        showLamp(true);
        m_lampOn = true;
        m_lampTimer.start();
    } else {
        stopLamp();
    }
    emit sigLampRequest(m_slave->recordId, on);
}

// Blinks while the lamp is on; each lit phase asks for the lamp again, as
// the module's lamp goes out by itself.
void SlaveItemView::onUpLamp()
{
    if (!m_slave || m_slave->forcedState != 0) {
        stopLamp();
        return;
    }
    if (m_lampOn) {
        showLamp(false);
        m_lampOn = false;
        return;
    }
    showLamp(true);
    m_lampOn = true;
    emit sigLampRequest(m_slave->recordId, true);
}

void SlaveItemView::onOFFLamp(QString mac)
{
    if (ui->MAC->text().compare(mac, Qt::CaseInsensitive) != 0)
        stopLamp();
}

// --- Faults, reset, menu ----------------------------------------------------------

void SlaveItemView::onShowFaultCode()
{
    if (!m_slave)
        return;
    auto *view = new FaultView(window());
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setToolTip(tr("从站故障：%1").arg(m_slave->typeName));
    view->setFaults({m_slave->faultBit0, m_slave->faultBit1, m_slave->faultBit2, m_slave->faultBit3, m_slave->faultBit4,
                     m_slave->faultBit5});
    view->open();
}

void SlaveItemView::onResetSlave()
{
    if (!m_slave || refusedWhileForced())
        return;
    emit sigResetRequest(m_slave->recordId);
}

QMenu *SlaveItemView::buildContextMenu()
{
    auto *menu = new QMenu(this);
    const bool described = m_slave && m_slave->typeCode != TarnBase::ModuleUndefined && m_slave->described;
    QAction *reset = menu->addAction(QIcon(QStringLiteral(":/image/brush.svg")), tr("从站复位"));
    // Only a module on the bus can be reset.
    reset->setEnabled(m_slave && m_slave->statusRun && !m_configurationSlave);
    connect(reset, &QAction::triggered, this, &SlaveItemView::onResetSlave);
    QAction *faults = menu->addAction(QIcon(QStringLiteral(":/image/abnormal.png")), tr("查看故障码"));
    faults->setEnabled(m_slave != nullptr);
    connect(faults, &QAction::triggered, this, &SlaveItemView::onShowFaultCode);
    menu->addSeparator();
    QAction *station = menu->addAction(QIcon(QStringLiteral(":/image/edit.png")), tr("修改站号"));
    station->setEnabled(described && !m_slave->recordCarriesStation);
    connect(station, &QAction::triggered, this, [this] {
        if (m_slave)
            emit sigSlaveCreateView(3, m_slave->recordId, 0);
    });
    return menu;
}

void SlaveItemView::on_SlaveItemView_customContextMenuRequested(QPoint pos)
{
    QMenu *menu = buildContextMenu();
    menu->exec(mapToGlobal(pos));
    menu->deleteLater();
}

void SlaveItemView::on_sn_customContextMenuRequested(QPoint)
{
}

// --- Mouse -----------------------------------------------------------------------

void SlaveItemView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        m_pressPos = event->pos();
        emit sigSlaveClick(m_tileNumber, m_slave ? m_slave->stationId : 0, m_slave ? m_slave->uuid : QByteArray());
        return;
    }
    QWidget::mousePressEvent(event);
}

void SlaveItemView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void SlaveItemView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void SlaveItemView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (!m_slave) {
        MessageBox::notify(window(), tr("警告"), tr("站点数据异常!"), MessageBox::Warning, kBoxWidth);
        return;
    }
    if (m_slave->statusRun == 0) {
        MessageBox::notify(window(), tr("提示"), tr("站点不存在，不可操作!"), MessageBox::Information, kBoxWidth);
        return;
    }
    emit sigSlaveDataTest(m_slave->recordId);
}

void SlaveItemView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->MAC, ui->action, ui->argumentValue, ui->errCodeValue, ui->sid, ui->sn}, false, [this] { ui->retranslateUi(this); });
        // The words the tile chose for the module's state, in the new language.
        fillTexts();
        onUpdateFault();
    }
    QWidget::changeEvent(event);
}
