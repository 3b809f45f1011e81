#include "SettingRegisterData.h"

#include "FormTexts.h"

#include "ItemTexts.h"
#include "MessageBox.h"
#include "OutputTestRule.h"
#include "SlaveEditChecks.h"
#include "ui_SettingRegisterData.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

#include <TarnBaseConvert.h>

#include <algorithm>

using namespace TarnBase;

namespace {

constexpr int kBoxWidth = 240;
enum Column { TypeColumn, AddressColumn, DataTypeColumn, ValueColumn };

QTableWidget *newTable()
{
    auto *table = new QTableWidget(0, 4);
    table->setHorizontalHeaderLabels({SettingRegisterData::tr("IO类型"), SettingRegisterData::tr("地址"),
                                      SettingRegisterData::tr("数据类型"), SettingRegisterData::tr("值")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(26);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setAlternatingRowColors(true);
    return table;
}

// Rows are named by their channel numbers, from 0 as everywhere else.
QStringList channelLabels(int rows)
{
    QStringList labels;
    for (int i = 0; i < rows; ++i)
        labels << QString::number(i);
    return labels;
}

void addDescription(QTableWidget *table, int row, const ItemState &item)
{
    table->setItem(row, TypeColumn, new QTableWidgetItem(itemtexts::ioType(item)));
    table->setItem(row, AddressColumn, new QTableWidgetItem(itemtexts::address(item)));
    table->setItem(row, DataTypeColumn, new QTableWidgetItem(item.dataTypeName));
}

bool isBitItem(const ItemState &item)
{
    return item.dataType == DataBool || item.bitLength == 1;
}

// The values an output item of this data type can carry, within the bits
// the item has in the image.
std::pair<qint64, qint64> outputRange(const ItemState &item)
{
    std::pair<qint64, qint64> range;
    bool isSigned = false;
    switch (item.dataType) {
    case DataBool:
        return {0, 1};
    case DataBits:
        return {0, (1 << std::clamp(int(item.value.bitSize), 1, 8)) - 1};
    case DataChar:
        range = {0, 0xFF};
        break;
    case DataInt:
        range = {-0x8000, 0x7FFF};
        isSigned = true;
        break;
    case DataUInt:
        range = {0, 0xFFFF};
        break;
    case DataDInt:
        range = {INT_MIN, INT_MAX};
        isSigned = true;
        break;
    default:
        range = {0, INT_MAX};
        break;
    }
    if (item.bitLength > 0 && item.bitLength < 32) {
        const qint64 span = qint64(1) << item.bitLength;
        const std::pair<qint64, qint64> bits = isSigned ? std::pair<qint64, qint64>{-span / 2, span / 2 - 1}
                                                        : std::pair<qint64, qint64>{0, span - 1};
        range = {std::max(range.first, bits.first), std::min(range.second, bits.second)};
    }
    return range;
}

// The value an analog output is given while the running light has it on:
// half of its range, unless the user set another.
qint64 defaultAnalogValue(const ItemState &item)
{
    return outputRange(item).second / 2;
}

const ItemGroupState *outputsOf(const SlaveState &slave)
{
    return slave.group(Slave::kTxPdo);
}

// The switch of one bit output: a checkable button, white on green while
// the output is on. The green is painted here rather than given by a style
// sheet: a push button whose style sheet gives it a background leaves a new
// picture of some kilobytes in Qt's process-wide pixmap cache every time it
// is drawn checked, and a running light redraws its switches at every step.
class OutputSwitch : public QPushButton
{
public:
    OutputSwitch()
        : QPushButton(QStringLiteral("OFF"))
    {
        setCheckable(true);
        setAutoDefault(false); // Enter belongs to the fields
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!isChecked()) {
            QPushButton::paintEvent(event);
            return;
        }
        static const QColor kOn(0x43, 0xA0, 0x47);
        const QColor face = isEnabled() ? kOn : kOn.lighter(140);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(face.darker(130));
        painter.setBrush(face);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

} // namespace

SettingRegisterData::SettingRegisterData(const QString &title, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SettingRegisterData)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    if (!title.isEmpty())
        setWindowTitle(title);
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &SettingRegisterData::onUpdateDataItem);
    m_loopTimer.setSingleShot(true);
    connect(&m_loopTimer, &QTimer::timeout, this, &SettingRegisterData::onLoopSendData);
    ui->groupBox->hide();
}

SettingRegisterData::~SettingRegisterData()
{
    delete ui;
}

void SettingRegisterData::warn(const QString &text)
{
    MessageBox::notify(this, tr("警告"), text, MessageBox::Warning, kBoxWidth);
}

// --- The slave and its tables -----------------------------------------------------

void SettingRegisterData::setSlave(const SlaveSnapshot &slave, const SlaveList &slaves, bool forceMode, bool linked)
{
    if (!slave || slave->groups.isEmpty())
        return; // a slave without item groups: the tables stay as they were
    const bool newRecord = !m_slave || m_slave->recordId != slave->recordId;
    m_slave = slave;
    m_slaves = slaves;
    m_forceMode = forceMode;
    m_linked = linked;
    if (newRecord) {
        buildTables();
        // A module with inputs of its own watches them by default.
        if (slave->suportChangeableChannel || slave->typeCode == ModuleDIDO)
            ui->lineEdit_3->setText(QString::number(slave->newStationId));
    }
    m_dirty = true;
    onUpdateDataItem();
    fillOutputs();
    showForceState();
    m_refreshTimer.start();
}

void SettingRegisterData::buildTables()
{
    while (ui->tabWidget->count() > 0) {
        QWidget *page = ui->tabWidget->widget(0);
        ui->tabWidget->removeTab(0);
        delete page;
    }
    m_inputs = m_outputs = nullptr;
    ui->groupBox->hide();
    for (const ItemGroupState &group : m_slave->groups) {
        if (group.index == IndexOutputs && group.key != Slave::kConfigData && !group.items.isEmpty()) {
            m_outputs = newTable();
            m_outputs->setObjectName(QStringLiteral("outputTable"));
            m_outputs->setRowCount(group.items.size());
            m_outputs->setVerticalHeaderLabels(channelLabels(group.items.size()));
            for (int i = 0; i < group.items.size(); ++i) {
                const ItemState &item = group.items.at(i);
                addDescription(m_outputs, i, item);
                if (isBitItem(item)) {
                    auto *button = new OutputSwitch;
                    connect(button, &QPushButton::clicked, this, [this, i](bool on) { onDODataEdit(i, on ? 1 : 0); });
                    m_outputs->setCellWidget(i, ValueColumn, button);
                } else {
                    auto *edit = new QLineEdit;
                    edit->setFrame(false);
                    edit->setToolTip(tr("输入数值后按回车输出"));
                    connect(edit, &QLineEdit::returnPressed, this, [this, i, edit] { onAODataEdit(i, edit->text()); });
                    m_outputs->setCellWidget(i, ValueColumn, edit);
                }
            }
            ui->tabWidget->addTab(m_outputs, tr("输出 (%1)").arg(group.name));
            ui->groupBox->show();
        } else if (group.index == IndexInputs && !group.items.isEmpty()) {
            m_inputs = newTable();
            m_inputs->setObjectName(QStringLiteral("inputTable"));
            m_inputs->setRowCount(group.items.size());
            m_inputs->setVerticalHeaderLabels(channelLabels(group.items.size()));
            for (int i = 0; i < group.items.size(); ++i) {
                addDescription(m_inputs, i, group.items.at(i));
                m_inputs->setItem(i, ValueColumn, new QTableWidgetItem);
            }
            ui->tabWidget->insertTab(0, m_inputs, tr("输入 (%1)").arg(group.name));
        }
    }
    ui->tabWidget->setCurrentIndex(0);
    // The running light gives analog outputs a value of their own.
    const ItemGroupState *outputs = outputsOf(*m_slave);
    const auto analog = outputs ? std::find_if(outputs->items.cbegin(), outputs->items.cend(),
                                               [](const ItemState &item) { return !isBitItem(item); })
                                : nullptr;
    const bool hasAnalog = outputs && analog != outputs->items.cend();
    ui->analogLabel->setVisible(hasAnalog);
    ui->analogValue->setVisible(hasAnalog);
    if (hasAnalog)
        ui->analogValue->setText(QString::number(defaultAnalogValue(*analog)));
    ui->verdict->clear();
}

// Redraws the inputs from the newest snapshot, at most every kRefreshMs.
void SettingRegisterData::onUpdateDataItem()
{
    if (!m_slave || !m_inputs || !m_dirty)
        return;
    m_dirty = false;
    const ItemGroupState *inputs = m_slave->group(Slave::kRxPdo);
    for (int r = 0; inputs && r < m_inputs->rowCount(); ++r) {
        const ItemState *item = inputs->itemAt(r);
        QTableWidgetItem *cell = m_inputs->item(r, ValueColumn);
        // Inputs are read only in force mode: outside it no old value is shown.
        const QString text = item ? itemtexts::valueText(*item, m_forceMode && m_linked) : QString();
        if (cell->text() != text) {
            cell->setText(text);
            cell->setForeground(itemtexts::valueColor(text));
        }
    }
}

void SettingRegisterData::fillOutputs()
{
    const ItemGroupState *outputs = m_slave ? outputsOf(*m_slave) : nullptr;
    if (!outputs || !m_outputs)
        return;
    for (int r = 0; r < m_outputs->rowCount(); ++r) {
        const ItemState *item = outputs->itemAt(r);
        if (!item)
            continue;
        QWidget *editor = m_outputs->cellWidget(r, ValueColumn);
        editor->setEnabled(appcore::outputDrivable(*m_slave, *item, m_forceMode, m_linked));
        if (auto *button = qobject_cast<QPushButton *>(editor)) {
            const bool on = item->value.toInt() != 0;
            if (button->isChecked() != on) {
                button->setChecked(on);
                button->setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
            }
        } else if (auto *edit = qobject_cast<QLineEdit *>(editor); edit && !edit->hasFocus()) {
            edit->setText(QString::number(item->value.toInt()));
        }
    }
}

void SettingRegisterData::showForceState()
{
    ui->forceHint->setVisible(!m_forceMode);
}

void SettingRegisterData::updateSlaves(const SlaveList &slaves, bool forceMode, bool linked)
{
    if (!m_slave)
        return;
    const appcore::OutputTestEnd end = appcore::outputTestEnd(slaves, m_slave->recordId, forceMode, linked);
    if (end == appcore::OutputTestEnd::SlaveGone) {
        onDeleteSlave();
        return;
    }
    m_slave = findSnapshot(slaves, m_slave->recordId);
    m_slaves = slaves;
    m_forceMode = forceMode;
    m_linked = linked;
    m_dirty = true;
    fillOutputs();
    showForceState();
    if (!isRunning())
        return;
    if (end == appcore::OutputTestEnd::LinkLost)
        finishTest(tr("链接断开,跑马灯测试已结束。"));
    else if (end == appcore::OutputTestEnd::ForceLeft)
        finishTest(tr("已退出强制模式,跑马灯测试已结束。"));
    else if (end == appcore::OutputTestEnd::ModuleStopped)
        finishTest(tr("模块不再应答,跑马灯测试已结束。"));
}

// --- The point test ---------------------------------------------------------------

void SettingRegisterData::onDODataEdit(int index, int value)
{
    if (!m_slave || !m_forceMode)
        return;
    if (auto *button = m_outputs ? qobject_cast<QPushButton *>(m_outputs->cellWidget(index, ValueColumn)) : nullptr)
        button->setText(value ? QStringLiteral("ON") : QStringLiteral("OFF"));
    emit sigOutputRequest(m_slave->recordId, index, value);
}

void SettingRegisterData::onAODataEdit(int index, QString text)
{
    const ItemGroupState *outputs = m_slave ? outputsOf(*m_slave) : nullptr;
    const ItemState *item = outputs ? outputs->itemAt(index) : nullptr;
    if (!item || !m_forceMode)
        return;
    const std::optional<qint64> value = appcore::parseNumber(text);
    const auto [least, most] = outputRange(*item);
    if (!value || *value < least || *value > most) {
        warn(tr("输出值“%1”超出范围(%2到%3)!").arg(text).arg(least).arg(most));
        return;
    }
    emit sigOutputRequest(m_slave->recordId, index, int(*value));
}

// --- The running light ---------------------------------------------------------------

int SettingRegisterData::monitoredInputs(int station) const
{
    for (const SlaveSnapshot &slave : m_slaves) {
        if (slave->newStationId != station)
            continue;
        if (const ItemGroupState *inputs = slave->group(Slave::kRxPdo); inputs && !inputs->items.isEmpty())
            return inputs->items.size();
    }
    return -1;
}

void SettingRegisterData::on_pushButton_clicked()
{
    // Stopping never depends on what the fields hold.
    if (isRunning()) {
        finishTest();
        return;
    }
    if (!m_slave)
        return;
    const std::optional<qint64> interval = appcore::parseNumber(ui->lineEdit->text());
    if (!interval || *interval < kMinIntervalMs) {
        warn(tr("时间间隔不可小于500ms"));
        return;
    }
    const std::optional<qint64> loops = appcore::parseNumber(ui->lineEdit_2->text());
    if (!loops || *loops <= 0) {
        warn(tr("循环次数不可小于零!"));
        return;
    }
    int inputs = 0;
    m_testStation = -1;
    if (!ui->lineEdit_3->text().trimmed().isEmpty()) {
        const std::optional<qint64> station = appcore::parseNumber(ui->lineEdit_3->text());
        inputs = station && *station >= 0 && *station <= appcore::kMaxStation ? monitoredInputs(int(*station)) : -1;
        if (inputs < 0) {
            warn(tr("输入站号“%1”没有带输入的从站!").arg(ui->lineEdit_3->text()));
            return;
        }
        m_testStation = int(*station);
    }
    if (!m_forceMode || !m_linked) {
        warn(tr("请先进入强制模式!"));
        return;
    }
    // The light runs over the outputs in the area the module holds: they
    // come first, one after another.
    const ItemGroupState *outputs = outputsOf(*m_slave);
    const int held = outputs ? int(std::count_if(outputs->items.cbegin(), outputs->items.cend(),
                                                 [](const ItemState &item) { return item.hasAddress(); }))
                             : 0;
    if (held == 0) {
        warn(tr("该模块没有输出区,不可做跑马灯测试!"));
        return;
    }
    // What "on" is for each output: 1 for a bit, the value set for an
    // analog output, checked against each one's range.
    m_onValues.clear();
    for (const ItemState &item : outputs->items) {
        if (!item.hasAddress())
            continue;
        if (isBitItem(item)) {
            m_onValues << 1;
            continue;
        }
        const std::optional<qint64> value = appcore::parseNumber(ui->analogValue->text());
        const auto [least, most] = outputRange(item);
        if (!value || *value < least || *value > most || *value == 0) {
            warn(tr("模拟量值“%1”超出范围(%2到%3,且不为0)!").arg(ui->analogValue->text()).arg(least).arg(most));
            return;
        }
        m_onValues << int(*value);
    }
    m_interval = int(std::min<qint64>(*interval, INT_MAX));
    ui->lineEdit_4->clear();
    ui->progress->clear();
    ui->verdict->clear();
    m_light.start(held, int(std::min<qint64>(*loops, INT_MAX)), inputs);
    ui->pushButton->setText(tr("结束"));
    onLoopSendData();
    emit sigSlaveDataTest(m_testStation, 0, m_light.position());
}

// One step: the next pattern goes out, then the wait for the next step.
void SettingRegisterData::onLoopSendData()
{
    m_loopTimer.stop();
    if (!m_slave || !isRunning())
        return;
    const int position = m_light.position();
    QVector<int> pattern = m_light.step();
    for (int i = 0; i < pattern.size() && i < m_onValues.size(); ++i)
        pattern[i] = pattern.at(i) ? m_onValues.at(i) : 0;
    emit sigOutputsRequest(m_slave->recordId, pattern);
    emit sigSlaveDataTest(m_testStation, 1, position);
    ui->progress->setText(tr("第 %1 轮,第 %2 步").arg(m_light.cyclesDone() + (m_light.finished() ? 0 : 1)).arg(position + 1));
    if (m_light.finished()) {
        finishTest();
        return;
    }
    m_loopTimer.start(m_interval);
}

// The same end for every reason: outputs off, the result, idle again.
void SettingRegisterData::finishTest(const QString &why)
{
    m_loopTimer.stop();
    const bool monitored = m_testStation >= 0;
    m_light.stop();
    if (m_slave)
        emit sigOutputsRequest(m_slave->recordId, RunningLight::allOff(m_light.outputs()));
    const QList<int> missingChannels = m_light.missingChannels();
    if (monitored) {
        QString missing;
        for (const int channel : missingChannels)
            missing += QString::number(channel) + QLatin1Char(' ');
        ui->lineEdit_4->setText(missing);
    }
    ui->progress->setText(why.isEmpty() ? tr("完成 %1 轮").arg(m_light.cyclesDone()) : why);
    showVerdict(monitored, missingChannels);
    ui->pushButton->setText(tr("开始"));
    emit sigSlaveDataTest(m_testStation, 0, 0);
}

// The test's verdict: judged only on completed cycles of a monitored station.
void SettingRegisterData::showVerdict(bool monitored, const QList<int> &missing)
{
    QString text;
    QColor color(0x33, 0x33, 0x33);
    if (!monitored) {
        text = tr("未监视输入站号,没有判定。");
    } else if (m_light.cyclesDone() == 0) {
        text = tr("未完成一轮,没有判定。");
    } else if (missing.isEmpty()) {
        text = tr("结果: 通过 (站号%1的全部输入跟随)").arg(m_testStation);
        color = QColor(0x36, 0x96, 0x5D);
    } else {
        QStringList channels;
        for (const int channel : missing)
            channels << QString::number(channel);
        text = tr("结果: 失败 (站号%1的输入通道 %2 未跟随)").arg(m_testStation).arg(channels.join(QLatin1Char(',')));
        color = QColor(0xE0, 0x3C, 0x3C);
    }
    ui->verdict->setText(text);
    QPalette palette = ui->verdict->palette();
    palette.setColor(QPalette::WindowText, color);
    ui->verdict->setPalette(palette);
}

QString SettingRegisterData::verdictText() const
{
    return ui->verdict->text();
}

void SettingRegisterData::on_lineEdit_returnPressed()
{
    if (!isRunning())
        return;
    const std::optional<qint64> interval = appcore::parseNumber(ui->lineEdit->text());
    if (!interval || *interval < kMinIntervalMs) {
        warn(tr("时间间隔不可小于500ms"));
        ui->lineEdit->setText(QString::number(m_interval));
        return;
    }
    m_interval = int(std::min<qint64>(*interval, INT_MAX));
    if (m_loopTimer.isActive())
        m_loopTimer.start(m_interval);
}

void SettingRegisterData::on_lineEdit_textChanged(QString)
{
}

void SettingRegisterData::onShareChannel(QByteArray values, int station)
{
    if (!isRunning() || m_testStation < 0 || station != m_testStation)
        return;
    QList<int> inputs;
    inputs.reserve(values.size());
    for (const char value : values)
        inputs << int(qint8(value));
    m_light.addInputs(inputs);
}

// --- The end of the window ------------------------------------------------------------

void SettingRegisterData::onDeleteSlave()
{
    if (isRunning())
        finishTest();
    m_loopTimer.stop();
    m_refreshTimer.stop();
    m_light.stop();
    m_slave.reset();
    close();
}

// Closing by the title bar, by Escape or by close() ends here.
void SettingRegisterData::done(int result)
{
    if (isRunning())
        finishTest();
    m_refreshTimer.stop();
    QDialog::done(result);
}

void SettingRegisterData::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->analogValue, ui->lineEdit, ui->lineEdit_3, ui->lineEdit_4, ui->progress, ui->pushButton, ui->verdict}, true, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
