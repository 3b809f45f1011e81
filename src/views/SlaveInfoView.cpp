#include "SlaveInfoView.h"

#include "FormTexts.h"

#include "ItemTexts.h"
#include "MessageBox.h"
#include "SlaveEditChecks.h"
#include "SlaveEditRecord.h"
#include "SwapMemoryView.h"
#include "ui_SlaveInfoView.h"

#include <QEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include <TarnBaseConvert.h>

using namespace TarnBase;

namespace {

constexpr int kBoxWidth = 260;

QString parameterLabel(int paramType)
{
    switch (paramType) {
    case ParamFilter:
        return SlaveInfoView::tr("滤波等级");
    case ParamEnable:
        return SlaveInfoView::tr("总线故障输出");
    case ParamSubstitute:
        return SlaveInfoView::tr("替代值");
    case ParamSpeedGear:
        return SlaveInfoView::tr("速度档位");
    case ParamDirection:
        return SlaveInfoView::tr("方向");
    case ParamSpeedAcc:
        return SlaveInfoView::tr("加速档位");
    case ParamBrake:
        return SlaveInfoView::tr("刹车");
    case ParamCcw:
        return SlaveInfoView::tr("正反转");
    case ParamHall:
        return SlaveInfoView::tr("霍尔模式");
    case ParamLearn:
        return SlaveInfoView::tr("电机学习");
    case ParamAcc:
        return SlaveInfoView::tr("加速时间");
    case ParamDec:
        return SlaveInfoView::tr("减速时间");
    case ParamRpm:
        return SlaveInfoView::tr("转速");
    case ParamVolt:
        return SlaveInfoView::tr("电压");
    case ParamPower:
        return SlaveInfoView::tr("功率");
    case ParamMaxRpm:
        return SlaveInfoView::tr("最大转速");
    case ParamHallPhase:
        return SlaveInfoView::tr("霍尔相位");
    case ParamFault:
        return SlaveInfoView::tr("故障码");
    default:
        return QString();
    }
}

QString rowLabel(const ItemState &item, int unit)
{
    const QString inUnits = unit == 8 ? SlaveInfoView::tr("字节") : SlaveInfoView::tr("位");
    if (item.isStation())
        return SlaveInfoView::tr("站号");
    if (item.isInputChannels())
        return SlaveInfoView::tr("输入起始地址 (%1)").arg(inUnits);
    if (item.isOutputChannels())
        return SlaveInfoView::tr("输出起始地址 (%1)").arg(inUnits);
    const QString label = parameterLabel(item.paramType);
    return label.isEmpty() ? item.name : label;
}

// The eight fault flags of "BASIC INFO" items 4 and up, in their order.
QString flagLabel(int flag)
{
    static const char *const labels[] = {QT_TRANSLATE_NOOP("SlaveInfoView", "通信故障"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "配置故障"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "主电低"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "隔离电异常"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "故障1"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "故障2"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "拓展故障码1"),
                                         QT_TRANSLATE_NOOP("SlaveInfoView", "拓展故障码2")};
    return flag >= 0 && flag < 8 ? SlaveInfoView::tr(labels[flag]) : QString();
}

void fillTable(QTableWidget *table, const QList<QStringList> &rows)
{
    if (table->rowCount() != rows.size())
        table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            QTableWidgetItem *cell = table->item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                table->setItem(r, c, cell);
            }
            if (cell->text() != rows.at(r).at(c))
                cell->setText(rows.at(r).at(c));
        }
    }
}

QStringList textsOf(const QTableWidget *table)
{
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// An address and a size in the alignment's unit.
QString areaText(int start, int bits, int unit)
{
    if (bits <= 0)
        return QStringLiteral("-");
    if (unit == 8)
        return SlaveInfoView::tr("%1 (%2 字节)").arg(start / 8).arg((bits + 7) / 8);
    return SlaveInfoView::tr("%1 (%2 位)").arg(start).arg(bits);
}

} // namespace

SlaveInfoView::SlaveInfoView(QWidget *parent)
    : QTabWidget(parent)
    , ui(new Ui::SlaveInfoView)
{
    // The IO test button sits in the corner of the tabs, beside every page;
    // made before the form so that the form connects it by its name.
    m_ioTest = new QPushButton(QIcon(QStringLiteral(":/image/iotest.png")), tr("IO测试"), this);
    m_ioTest->setObjectName(QStringLiteral("pushButton"));
    m_ioTest->setToolTip(tr("打开该从站的IO测试窗口"));
    ui->setupUi(this);
    setCornerWidget(m_ioTest, Qt::TopRightCorner);
    for (QTableWidget *table : {ui->basicTable, ui->inputTable, ui->configTable}) {
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        table->verticalHeader()->setDefaultSectionSize(26);
    }
    ui->configTable->horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Stretch);
    ui->configTable->horizontalHeader()->setSectionResizeMode(ChannelColumn, QHeaderView::ResizeToContents);
    ui->inputTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui->inputTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    clear();
}

SlaveInfoView::~SlaveInfoView()
{
    delete ui;
}

QPushButton *SlaveInfoView::applyButton() const
{
    return ui->pushButton_2;
}

QPushButton *SlaveInfoView::ioTestButton() const
{
    return m_ioTest;
}

SwapMemoryView *SlaveInfoView::memoryView() const
{
    return ui->memoryView;
}

QString SlaveInfoView::hint() const
{
    return ui->configHint->text();
}

void SlaveInfoView::clear()
{
    m_slave.reset();
    m_slaves.clear();
    m_rows.clear();
    m_loadedRecord.clear();
    m_edited = false;
    ui->configTable->setRowCount(0);
    ui->basicTable->setRowCount(0);
    ui->inputTable->setRowCount(0);
    ui->memoryView->setSlaves({});
    ui->memoryView->setHighlight(0);
    ui->configHint->clear();
    ui->pushButton_2->setEnabled(false);
    ui->pushButton_3->setEnabled(false);
    m_ioTest->setEnabled(false);
}

void SlaveInfoView::setSlave(const SlaveSnapshot &slave, const SlaveList &slaves)
{
    if (!slave) {
        clear();
        return;
    }
    const bool sameRecord = m_slave && m_slave->recordId == slave->recordId;
    m_slave = slave;
    m_slaves = slaves;
    const bool changed = slave->configurationRecord != m_loadedRecord || slave->alignment != m_loadedAlignment;
    if (!sameRecord || (changed && !m_edited)) {
        m_edited = false;
        loadConfiguration();
    }
    onUpdateDataItem();
    updateOItem();
    ui->memoryView->setSlaves(slaves);
    ui->memoryView->setHighlight(slave->recordId);
    showPreview();
    showHint();
    m_ioTest->setEnabled(slave->statusRun != 0);
}

bool SlaveInfoView::editable() const
{
    return m_slave && m_slave->described && m_slave->typeCode != ModuleUndefined && m_slave->group(Slave::kConfigData);
}

void SlaveInfoView::showHint()
{
    QString text;
    if (!editable())
        text = tr("该模块没有自己的设备描述,配置不可修改。");
    else if (m_slave->forcedState != 0)
        text = tr("模块处于强制状态,不可修改参数!");
    else if (m_edited)
        text = tr("已修改,点击“应用”写入模块。");
    if (ui->configHint->text() != text)
        ui->configHint->setText(text);
    ui->pushButton_2->setEnabled(editable());
    ui->pushButton_3->setEnabled(editable());
}

// --- The configuration rows -------------------------------------------------------

void SlaveInfoView::loadConfiguration()
{
    m_rows.clear();
    ui->configTable->setRowCount(0);
    m_loadedRecord = m_slave->configurationRecord;
    m_loadedAlignment = m_slave->alignment;
    const ItemGroupState *config = m_slave->group(Slave::kConfigData);
    if (!config)
        return;
    for (int i = 0; i < config->items.size(); ++i)
        addRow(i, config->items.at(i));
    ui->memoryView->clearPreview();
}

void SlaveInfoView::addRow(int itemIndex, const ItemState &item)
{
    QTableWidget *table = ui->configTable;
    const int r = table->rowCount();
    table->insertRow(r);
    const int unit = std::max(1, int(m_slave->alignment));
    Row row;
    row.paramType = item.paramType;
    row.item = itemIndex;
    row.label = rowLabel(item, unit);
    auto *name = new QTableWidgetItem(row.label);
    name->setData(Qt::UserRole, item.paramType);
    name->setToolTip(item.name);
    table->setItem(r, NameColumn, name);
    const bool canEdit = editable();

    const auto lineEdit = [&](const QString &text, bool readOnly) {
        auto *edit = new QLineEdit(text);
        edit->setFrame(false);
        edit->setReadOnly(readOnly || !canEdit);
        connect(edit, &QLineEdit::textEdited, this, &SlaveInfoView::markEdited);
        connect(edit, &QLineEdit::returnPressed, this, &SlaveInfoView::on_pushButton_2_clicked);
        table->setCellWidget(r, ValueColumn, edit);
        return edit;
    };
    const auto comboBox = [&](const QList<QPair<QString, int>> &entries, int current) {
        auto *combo = new QComboBox;
        combo->setFrame(false);
        for (const auto &entry : entries)
            combo->addItem(entry.first, entry.second);
        int at = combo->findData(current);
        if (at < 0) {
            // A value the description does not list is shown as it is; it
            // has to be changed before the row can be applied.
            combo->addItem(tr("%1 (无效)").arg(current), current);
            at = combo->count() - 1;
        }
        combo->setCurrentIndex(at);
        combo->setEnabled(canEdit);
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, &SlaveInfoView::markEdited);
        table->setCellWidget(r, ValueColumn, combo);
        return combo;
    };

    if (item.isStation()) {
        const int station = m_slave->newStationId;
        // The adapter's own module has no station of its own to set.
        row.edit = lineEdit(QString::number(station), m_slave->recordCarriesStation);
        row.edit->setToolTip(tr("1 到 128"));
    } else if (item.isInputChannels() || item.isOutputChannels()) {
        const bool input = item.isInputChannels();
        row.loadedStart = item.startAddress;
        row.edit = lineEdit(QString::number(item.startAddress / unit), false);
        row.edit->setToolTip(unit == 8 ? tr("起始地址,以字节计") : tr("起始地址,以位计"));
        connect(row.edit, &QLineEdit::textEdited, this, &SlaveInfoView::showPreview);
        const int offs = input ? m_slave->inputOffs : m_slave->outputOffs;
        if (m_slave->suportChangeableChannel && canEdit) {
            auto *combo = new QComboBox;
            combo->setFrame(false);
            const int most = m_slave->channelCount > 0 ? m_slave->channelCount
                                                       : (input ? m_slave->descInputChannelCount : m_slave->descOutputChannelCount);
            const int step = m_slave->channelCount == 32 ? 8 : 1;
            for (int count = step; count <= std::min(most, appcore::kMaxChannels - offs); count += step)
                combo->addItem(QString::number(count), count);
            int at = combo->findData(int(item.channels));
            if (at < 0) {
                combo->addItem(QString::number(item.channels), int(item.channels));
                at = combo->count() - 1;
            }
            combo->setCurrentIndex(at);
            connect(combo, QOverload<int>::of(&QComboBox::activated), this, &SlaveInfoView::onIOChannelChange);
            table->setCellWidget(r, ChannelColumn, combo);
            row.channels = combo;
        } else {
            const int count = item.channels + offs;
            const int bits = Slave::areaBits(count, m_slave->bitsPerChannel);
            table->setItem(r, ChannelColumn, new QTableWidgetItem(tr("%1 通道 / %2 位").arg(count).arg(bits)));
        }
    } else if (item.paramType == ParamFault) {
        table->setItem(r, ValueColumn, new QTableWidgetItem(QString::number(item.value.toInt())));
    } else if (!item.enumTexts.isEmpty()) {
        QList<QPair<QString, int>> entries;
        const QList<int> values = item.enumList.isEmpty() ? item.enumTexts.keys() : item.enumList;
        for (const int value : values) {
            const QString text = item.enumTexts.value(value);
            entries << qMakePair(text.isEmpty() ? QString::number(value) : text, value);
        }
        row.combo = comboBox(entries, item.value.toInt());
    } else if (item.dataType == DataBool) {
        row.combo = comboBox({{tr("关闭"), 0}, {tr("开启"), 1}}, item.value.toInt());
    } else {
        row.edit = lineEdit(QString::number(item.value.toInt()), item.style == StyleLabel || !item.writable);
    }
    if (row.edit)
        row.loadedText = row.edit->text();
    m_rows.append(row);
}

const SlaveInfoView::Row *SlaveInfoView::rowFor(int paramType) const
{
    for (const Row &row : m_rows) {
        if (row.paramType == paramType)
            return &row;
    }
    return nullptr;
}

const SlaveInfoView::Row *SlaveInfoView::addressRow(bool input) const
{
    for (const Row &row : m_rows) {
        if (input ? (row.paramType == ParamDI || row.paramType == ParamAI)
                  : (row.paramType == ParamDO || row.paramType == ParamAO))
            return &row;
    }
    return nullptr;
}

int SlaveInfoView::rowOf(int paramType) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).paramType == paramType)
            return i;
    }
    return -1;
}

QLineEdit *SlaveInfoView::lineEditOf(int paramType) const
{
    const Row *row = rowFor(paramType);
    return row ? row->edit : nullptr;
}

QComboBox *SlaveInfoView::comboOf(int paramType) const
{
    const Row *row = rowFor(paramType);
    return row ? row->combo : nullptr;
}

QComboBox *SlaveInfoView::channelComboOf(bool input) const
{
    const Row *row = addressRow(input);
    return row ? row->channels : nullptr;
}

void SlaveInfoView::markEdited()
{
    m_edited = true;
    showHint();
}

void SlaveInfoView::onIOChannelChange(int)
{
    markEdited();
    showPreview();
}

int SlaveInfoView::channelsOf(const Row &row) const
{
    if (row.channels)
        return row.channels->currentData().toInt();
    const ItemState *item = m_slave->groupItem(Slave::kConfigData, row.item);
    return item ? item->channels : 0;
}

bool SlaveInfoView::areaOf(const Row &row, int &start, int &count, int &bits, QString &refusal) const
{
    const bool input = row.paramType == ParamDI || row.paramType == ParamAI;
    const int unit = std::max(1, int(m_slave->alignment));
    count = channelsOf(row) + (input ? m_slave->inputOffs : m_slave->outputOffs);
    bits = Slave::areaBits(count, m_slave->bitsPerChannel);
    const QString text = row.edit->text();
    if (text == row.loadedText) {
        // Unchanged: the area stays where it is, even off the unit.
        start = row.loadedStart;
    } else {
        const std::optional<qint64> number = appcore::parseNumber(text);
        if (!number || *number < 0) {
            refusal = input ? tr("输入起始地址“%1”不是有效的地址,设置失败!").arg(text)
                            : tr("输出起始地址“%1”不是有效的地址,设置失败!").arg(text);
            return false;
        }
        const qint64 bitsStart = *number * unit;
        start = int(std::min<qint64>(bitsStart, appcore::kImageBits));
        if (bitsStart >= appcore::kImageBits) {
            refusal = input ? tr("输入地址超限,设置失败!") : tr("输出地址超限,设置失败!");
            return false;
        }
    }
    if (count > appcore::kMaxChannels || start + bits > appcore::kImageBits) {
        refusal = input ? tr("输入地址超限,设置失败!") : tr("输出地址超限,设置失败!");
        return false;
    }
    return true;
}

void SlaveInfoView::showPreview()
{
    if (!m_slave)
        return;
    for (const bool input : {true, false}) {
        const Row *row = addressRow(input);
        if (!row || !row->edit)
            continue;
        int start = 0, count = 0, bits = 0;
        QString refusal;
        if (areaOf(*row, start, count, bits, refusal)) {
            ui->memoryView->setPreview(input, start, bits);
            emit sigShowCurrSwapMemoryView(start, bits, m_slave->stationId, row->paramType);
        }
    }
}

SlaveInfoView::Result SlaveInfoView::buildRecord() const
{
    Result result;
    if (!m_slave || !editable()) {
        result.refusal = tr("该模块没有自己的设备描述,配置不可修改。");
        return result;
    }
    appcore::SlaveEdit edit = appcore::SlaveEdit::of(*m_slave);
    const quint64 self = m_slave->recordId;
    for (const Row &row : m_rows) {
        const ItemState *item = m_slave->groupItem(Slave::kConfigData, row.item);
        if (!item)
            continue;
        if (row.paramType == ParamStation) {
            if (m_slave->recordCarriesStation)
                continue;
            const std::optional<qint64> station = appcore::parseNumber(row.edit->text());
            if (station && *station > appcore::kMaxStation) {
                result.refusal = tr("站号不可大于128!");
                return result;
            }
            if (!station || *station < 1) {
                result.refusal = tr("站号必须是1到128之间的数字!");
                return result;
            }
            if (*station != m_slave->newStationId) {
                if (const SlaveSnapshot other = appcore::stationHolder(m_slaves, self, int(*station))) {
                    result.refusal = tr("从站站号冲突,设置失败! 站号%1已是%2的站号。").arg(*station).arg(other->typeName);
                    return result;
                }
            }
            edit.newStation = int(*station);
        } else if (item->isInputChannels() || item->isOutputChannels()) {
            const bool input = item->isInputChannels();
            int start = 0, count = 0, bits = 0;
            if (!areaOf(row, start, count, bits, result.refusal))
                return result;
            if (const SlaveSnapshot other = appcore::overlappingSlave(m_slaves, self, input, start, bits)) {
                const QString station = other->stationId ? QString::number(other->stationId) : tr("未设定");
                result.refusal = (input ? tr("输入量地址冲突! 与站号%1 (%2) 的输入区重叠。") : tr("输出量地址冲突! 与站号%1 (%2) 的输出区重叠。"))
                                     .arg(station, other->typeName);
                return result;
            }
            (input ? edit.inputStart : edit.outputStart) = start;
            (input ? edit.inputCount : edit.outputCount) = count;
        } else if (row.paramType >= ParamFilter && row.paramType < ParamFault) {
            std::optional<qint64> value;
            QString shown;
            if (row.combo) {
                value = row.combo->currentData().toLongLong();
                shown = row.combo->currentText();
            } else if (row.edit) {
                shown = row.edit->text();
                value = appcore::parseNumber(shown);
            } else {
                continue;
            }
            if (!value || !appcore::parameterAccepts(*item, *value)) {
                result.refusal = tr("参数“%1”的值“%2”超出范围,设置失败!").arg(row.label, shown);
                return result;
            }
            edit.parameters[row.paramType] = int(*value);
        }
    }
    result.record = edit.record();
    return result;
}

void SlaveInfoView::refuse(const QString &text)
{
    MessageBox::notify(window(), tr("警告"), text, MessageBox::Warning, kBoxWidth);
}

void SlaveInfoView::on_pushButton_2_clicked()
{
    if (!m_slave)
        return;
    if (m_slave->forcedState != 0) {
        refuse(tr("模块处于强制状态,不可修改参数!"));
        return;
    }
    const Result result = buildRecord();
    if (result.record.isEmpty()) {
        refuse(result.refusal);
        return;
    }
    // What the slave reports next is shown, whether it took the edit or not.
    m_edited = false;
    m_loadedRecord.clear();
    showHint();
    emit sigApplyConfig(m_slave->recordId, result.record);
}

// The parameters as the description gives them by default; applied like any edit.
void SlaveInfoView::on_pushButton_3_clicked()
{
    if (!editable())
        return;
    for (const Row &row : qAsConst(m_rows)) {
        const ItemState *item = m_slave->groupItem(Slave::kConfigData, row.item);
        if (!item || row.paramType < ParamFilter || row.paramType >= ParamFault)
            continue;
        ItemValueData defaults = item->value;
        defaults.data = item->defaultData;
        const int value = defaults.toInt();
        if (row.combo) {
            const int at = row.combo->findData(value);
            if (at >= 0)
                row.combo->setCurrentIndex(at);
        } else if (row.edit && !row.edit->isReadOnly()) {
            row.edit->setText(QString::number(value));
        }
    }
    markEdited();
    emit sigRestConfig();
}

void SlaveInfoView::on_pushButton_clicked()
{
    emit sigSlaveDataTest();
}

void SlaveInfoView::focusStation()
{
    setCurrentIndex(ConfigTab);
    if (QLineEdit *station = lineEditOf(ParamStation)) {
        station->setFocus();
        station->selectAll();
    }
}

void SlaveInfoView::on_SlaveInfoView_currentChanged(int index)
{
    if (m_slave)
        m_currentTab = index;
    emit sigCurrentChanged(index);
}

// --- Basic information and inputs ------------------------------------------------

void SlaveInfoView::onUpdateDataItem()
{
    if (!m_slave)
        return;
    const SlaveState &s = *m_slave;
    const int unit = std::max(1, int(s.alignment));
    const Slave::IoWindow &w = s.ioWindow;
    const bool unset = s.stationId == 0 && !s.recordCarriesStation;
    QString hardware = QStringLiteral("--");
    // The two bytes of the module's hardware code, in the order the module
    // reports them (the first is kept in item 3).
    const ItemState *first = s.groupItem(Slave::kBasicInfo, 3);
    const ItemState *second = s.groupItem(Slave::kBasicInfo, 2);
    if (first && second && !first->value.data.isEmpty())
        hardware = QString::asprintf("%02X%02X", quint8(first->value.toInt()), quint8(second->value.toInt()));
    QList<QStringList> rows{
        {tr("站号"), unset ? tr("未设定") : QString::number(s.stationId)},
        {tr("类型"), s.typeName},
        {QStringLiteral("Unique ID"), s.uuid.isEmpty() ? QStringLiteral("--") : QString::fromLatin1(s.uuid)},
        {tr("类别"), s.moduleClass.isEmpty() ? QStringLiteral("--") : s.moduleClass},
        {tr("硬件编码"), hardware},
        {tr("输入区"), areaText(w.inputStart, w.inputBits, unit)},
        {tr("输出区"), areaText(w.outputStart, w.outputBits, unit)},
        {tr("状态"), s.statusRun ? tr("在线") : tr("离线")},
        {tr("强制"), s.forcedState ? tr("是") : tr("否")},
    };
    if (const ItemGroupState *basic = s.group(Slave::kBasicInfo)) {
        for (int i = Slave::kBasicInfoFlagsStart; i < basic->items.size() && i - Slave::kBasicInfoFlagsStart < 8; ++i) {
            const bool abnormal = basic->items.at(i).value.data == "abnormal";
            rows.append({flagLabel(i - Slave::kBasicInfoFlagsStart), abnormal ? tr("异常") : tr("正常")});
        }
    }
    fillTable(ui->basicTable, rows);
}

void SlaveInfoView::updateOItem()
{
    if (!m_slave)
        return;
    QList<QStringList> rows;
    const ItemGroupState *inputs = m_slave->group(Slave::kRxPdo);
    const bool hasInputs = m_slave->typeCode == ModuleDI || m_slave->typeCode == ModuleDIO || m_slave->typeCode == ModuleDIDO
                           || m_slave->typeCode == ModuleAI || m_slave->typeCode == ModuleAIAO
                           || m_slave->typeCode == ModuleAIO;
    // Inputs are read only while the module is forced; outside force mode
    // no value is shown rather than one that may be long out of date.
    const bool live = m_slave->forcedState != 0;
    if (inputs && hasInputs) {
        for (const ItemState &item : inputs->items) {
            rows.append({item.name, itemtexts::address(item), item.dataTypeName, itemtexts::valueText(item, live)});
        }
    }
    ui->inputNote->setVisible(!live);
    fillTable(ui->inputTable, rows);
    for (int r = 0; r < ui->inputTable->rowCount(); ++r) {
        QTableWidgetItem *value = ui->inputTable->item(r, 3);
        const QColor color = itemtexts::valueColor(value->text());
        if (value->foreground().color() != color)
            value->setForeground(color);
    }
}

QStringList SlaveInfoView::basicRows() const
{
    return textsOf(ui->basicTable);
}

QStringList SlaveInfoView::inputRows() const
{
    return textsOf(ui->inputTable);
}

void SlaveInfoView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->configHint}, false, [this] { ui->retranslateUi(this); });
    QTabWidget::changeEvent(event);
}
