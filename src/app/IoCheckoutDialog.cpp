#include "IoCheckoutDialog.h"

#include "FormTexts.h"
#include "ui_IoCheckoutDialog.h"

#include "Adapter.h"
#include "AdapterManage.h"
#include "CheckoutPdf.h"
#include "FileChooser.h"
#include "RecentFolders.h"
#include "MessageBox.h"
#include "WiringMap.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidgetItem>

#include <cmath>

using namespace appcore;
using namespace appcore::checkout;

namespace {

enum Column { ChannelColumn, DirectionColumn, KindColumn, AddressColumn, ResultColumn, ValueColumn, NoteColumn, TimeColumn, ByColumn };
constexpr int kRowRole = Qt::UserRole + 1;
const QString kTimeFormat = QStringLiteral("MM-dd HH:mm:ss");

QColor resultColour(Result result)
{
    switch (result) {
    case Result::Pass:
        return QColor(0x2E, 0x7D, 0x32);
    case Result::Fail:
        return QColor(0xC6, 0x28, 0x28);
    case Result::Skipped:
        return QColor(0x8D, 0x6E, 0x00);
    case Result::Open:
        break;
    }
    return QColor(0x55, 0x55, 0x55);
}

} // namespace

IoCheckoutDialog::IoCheckoutDialog(AdapterManage *manager, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::IoCheckoutDialog)
    , m_manager(manager)
    , m_runner(m_checkout)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setWindowTitle(tr("IO检查 - %1").arg(manager->name()));
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);
    // The engineer looks at the field, not at the screen: one key each.
    ui->btnPass->setShortcut(QKeySequence(Qt::Key_P));
    ui->btnFail->setShortcut(QKeySequence(Qt::Key_F));
    ui->btnSkip->setShortcut(QKeySequence(Qt::Key_S));
    connect(ui->btnPass, &QPushButton::clicked, this, &IoCheckoutDialog::pass);
    connect(ui->btnFail, &QPushButton::clicked, this, &IoCheckoutDialog::fail);
    connect(ui->btnSkip, &QPushButton::clicked, this, &IoCheckoutDialog::skip);
    connect(ui->btnStart, &QPushButton::clicked, this, &IoCheckoutDialog::startCheck);
    connect(ui->btnStop, &QPushButton::clicked, this, &IoCheckoutDialog::stopCheck);
    connect(ui->btnRunLoops, &QPushButton::clicked, this, &IoCheckoutDialog::runLoops);
    ui->treeRows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 1);
    // A new set value for the analog output under test goes out at once.
    connect(ui->comboSetpoint, &QComboBox::currentTextChanged, this, [this] {
        if (m_checking && m_current >= 0 && m_checkout.rows.at(m_current).isOutput()
            && m_checkout.rows.at(m_current).kind == Kind::Analog)
            driveCurrent();
    });
    // The process-data cycles, counted: each brings the inputs anew.
    if (Adapter *adapter = manager->adapter())
        connect(adapter, &Adapter::sigSlaveLoadingFinished, this, [this](adapter_message_type type, AdapterStatus, SlaveList, int) {
            if (type == MSG_STATUS && m_forceMode)
                ++m_inputCycles;
        });
    m_inputWait.setSingleShot(true);
    connect(&m_inputWait, &QTimer::timeout, this, &IoCheckoutDialog::onInputWaitOver);

    m_slaves = manager->slaves();
    m_forceMode = manager->adapterState().forceMode;
    m_linked = manager->adapterState().linked;
    m_checkout = Checkout::fromSlaves(m_slaves);
    setAdapter(m_checkout.header, manager->mac(), manager->adapterState().infoItems);
    m_checkout.header.started = QDateTime::currentDateTime();
    const QStringList reset = m_checkout.resume(loadState(m_checkout.header.serial));
    ui->lineSite->setText(m_checkout.header.site);
    ui->lineEngineer->setText(m_checkout.header.engineer);
    connect(ui->lineSite, &QLineEdit::editingFinished, this, [this] {
        m_checkout.header.site = ui->lineSite->text().trimmed();
        save();
    });
    connect(ui->lineEngineer, &QLineEdit::editingFinished, this, [this] {
        m_checkout.header.engineer = ui->lineEngineer->text().trimmed();
        save();
    });

    connect(&m_runner, &LoopRunner::outputWrite, this, [this](quint64 recordId, int index, int value) {
        if (m_manager && m_manager->adapter())
            m_manager->adapter()->requestSlaveOutput(recordId, index, value);
    });
    connect(&m_runner, &LoopRunner::rowDone, this, [this](int row) {
        showRow(row);
        showRow(m_checkout.rows.at(row).partner);
        showProgress();
        save();
    });
    connect(&m_runner, &LoopRunner::finished, this, [this](OutputTestEnd why) {
        if (why != OutputTestEnd::None) {
            endFor(why);
        } else {
            int open = 0;
            for (const auto &[out, in] : m_checkout.loops())
                open += !m_checkout.rows.at(out).isDone();
            setStatus(open == 0 ? tr("回路检查完成。") : tr("回路检查已停止,%1 个回路未检查。").arg(open));
        }
        applyFilter();
    });

    buildTree();
    showProgress();
    selectRow(m_checkout.nextOpen(0));
    if (!reset.isEmpty())
        setStatus(tr("模块已更换,其检查项重新开始: %1").arg(reset.join(QStringLiteral("; "))));
    else if (m_checkout.counts().done() > 0)
        setStatus(tr("继续上次的检查: 已完成 %1 项。").arg(m_checkout.counts().done()));
}

IoCheckoutDialog::~IoCheckoutDialog()
{
    switchOff();
    // The base class hides the dialog once this part is gone, and hiding ends
    // the editing of the focused field: what was typed is kept now, while the
    // dialog is whole.
    ui->lineSite->disconnect(this);
    ui->lineEngineer->disconnect(this);
    save();
    delete ui;
}

// --- Rows --------------------------------------------------------------------

void IoCheckoutDialog::buildTree()
{
    ui->treeRows->clear();
    m_items = QVector<QTreeWidgetItem *>(m_checkout.rows.size(), nullptr).toList();
    for (int m = 0; m < m_checkout.modules.size(); ++m) {
        const ModuleEntry &module = m_checkout.modules.at(m);
        auto *moduleItem = new QTreeWidgetItem(ui->treeRows);
        moduleItem->setText(ChannelColumn, QStringLiteral("%1  %2").arg(moduleTitle(module), module.uid));
        moduleItem->setFirstColumnSpanned(true);
        moduleItem->setData(ChannelColumn, kRowRole, -1);
        QFont bold = moduleItem->font(ChannelColumn);
        bold.setBold(true);
        moduleItem->setFont(ChannelColumn, bold);
        for (int r : m_checkout.rowsOf(m)) {
            auto *item = new QTreeWidgetItem(moduleItem);
            item->setData(ChannelColumn, kRowRole, r);
            m_items[r] = item;
            showRow(r);
        }
        moduleItem->setExpanded(true);
    }
    applyFilter();
}

void IoCheckoutDialog::showRow(int row)
{
    QTreeWidgetItem *item = m_items.value(row);
    if (!item)
        return;
    const Row &r = m_checkout.rows.at(row);
    item->setText(ChannelColumn, QString::number(r.channel));
    item->setText(DirectionColumn, directionText(r.direction));
    item->setText(KindColumn, kindText(r.kind) + (r.isLoop() ? tr(" · 回路") : QString()));
    item->setText(AddressColumn, r.addressText());
    item->setText(ResultColumn, resultText(r.result));
    item->setForeground(ResultColumn, resultColour(r.result));
    QFont font = item->font(ResultColumn);
    font.setBold(r.result != Result::Open);
    item->setFont(ResultColumn, font);
    item->setText(ValueColumn, r.value);
    item->setText(NoteColumn, r.note);
    item->setText(TimeColumn, r.time.isValid() ? r.time.toString(kTimeFormat) : QString());
    item->setText(ByColumn, r.checkedBy);
}

void IoCheckoutDialog::showProgress()
{
    const Counts c = m_checkout.counts();
    ui->labelProgress->setText(tr("已完成 %1/%2, 失败 %3, 跳过 %4").arg(c.done()).arg(c.total).arg(c.fail).arg(c.skipped));
    ui->progressBar->setMaximum(std::max(1, c.total));
    ui->progressBar->setValue(c.done());
}

void IoCheckoutDialog::applyFilter()
{
    const bool open = ui->checkOpen->isChecked();
    const bool failed = ui->checkFailed->isChecked();
    for (int m = 0; m < ui->treeRows->topLevelItemCount(); ++m) {
        QTreeWidgetItem *moduleItem = ui->treeRows->topLevelItem(m);
        bool any = false;
        for (int c = 0; c < moduleItem->childCount(); ++c) {
            QTreeWidgetItem *item = moduleItem->child(c);
            const Result result = m_checkout.rows.at(item->data(ChannelColumn, kRowRole).toInt()).result;
            const bool shown = (!open && !failed) || (open && result == Result::Open) || (failed && result == Result::Fail);
            item->setHidden(!shown);
            any = any || shown;
        }
        moduleItem->setHidden(!any);
    }
}

void IoCheckoutDialog::on_checkOpen_toggled(bool)
{
    applyFilter();
}

void IoCheckoutDialog::on_checkFailed_toggled(bool)
{
    applyFilter();
}

QStringList IoCheckoutDialog::visibleRows() const
{
    QStringList out;
    for (int r = 0; r < m_items.size(); ++r) {
        const QTreeWidgetItem *item = m_items.at(r);
        if (!item || item->isHidden() || (item->parent() && item->parent()->isHidden()))
            continue;
        const Row &row = m_checkout.rows.at(r);
        out << QStringLiteral("%1|%2|%3|%4").arg(row.uid).arg(row.channel).arg(directionText(row.direction), resultText(row.result));
    }
    return out;
}

void IoCheckoutDialog::selectRow(int row)
{
    if (row == m_current || row >= m_checkout.rows.size())
        return;
    if (m_checking)
        stopCheck();
    m_current = row;
    if (QTreeWidgetItem *item = m_items.value(row)) {
        const QSignalBlocker blocker(ui->treeRows);
        ui->treeRows->setCurrentItem(item);
        ui->treeRows->scrollToItem(item);
    }
    showPanel();
}

void IoCheckoutDialog::on_treeRows_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (!current)
        return;
    const int row = current->data(ChannelColumn, kRowRole).toInt();
    if (row >= 0)
        selectRow(row);
}

void IoCheckoutDialog::showPanel()
{
    const bool any = m_current >= 0;
    for (QWidget *w : {static_cast<QWidget *>(ui->btnPass), static_cast<QWidget *>(ui->btnFail),
                       static_cast<QWidget *>(ui->btnSkip), static_cast<QWidget *>(ui->btnStart)})
        w->setEnabled(any);
    if (!any) {
        ui->labelRow->setText(tr("全部检查完毕"));
        ui->labelLive->clear();
        ui->labelHint->clear();
        return;
    }
    const Row &row = m_checkout.rows.at(m_current);
    const int module = m_checkout.moduleOf(m_current);
    ui->labelRow->setText(tr("%1\n%2 · 通道 %3 · 地址 %4")
                              .arg(module >= 0 ? moduleTitle(m_checkout.modules.at(module)) : row.module,
                                   directionText(row.direction) + QLatin1Char(' ') + kindText(row.kind))
                              .arg(row.channel)
                              .arg(row.addressText()));
    const bool analog = row.kind == Kind::Analog;
    ui->comboSetpoint->setEnabled(analog);
    ui->lineReading->setEnabled(analog && row.isOutput());
    ui->spinTolerance->setEnabled(analog);
    ui->spinWait->setEnabled(!analog && !row.isOutput());
    QString hint;
    if (row.isOutput() && !analog)
        hint = tr("按“开始检查”(Enter)只接通此输出,观察现场设备后按 通过(P) 或 失败(F)。");
    else if (row.isOutput())
        hint = tr("按“开始检查”(Enter)输出设定值,填入现场仪表读数(%),按 通过(P) 由容差判定。");
    else if (!analog)
        hint = tr("按“开始检查”(Enter)后操作现场设备:输入变化即通过;等待时间内无变化则保持未检查。");
    else
        hint = tr("在现场施加信号,按“开始检查”(Enter)读取实时值,按 通过(P) 以期望值和容差判定。");
    if (row.isLoop())
        hint += QLatin1Char('\n') + tr("接线表回路: %1 → %2,可由“运行回路检查”自动验证。")
                                       .arg(m_checkout.rows.at(row.isOutput() ? m_current : row.partner).channelName(),
                                            m_checkout.rows.at(row.isOutput() ? row.partner : m_current).channelName());
    ui->labelHint->setText(hint);
    ui->labelLive->setText(liveText(m_current));
}

// --- The live values ------------------------------------------------------------

std::optional<int> IoCheckoutDialog::liveValue(int row) const
{
    if (row < 0)
        return std::nullopt;
    const Row &r = m_checkout.rows.at(row);
    if (r.isOutput()) {
        const SlaveSnapshot slave = findSnapshot(m_slaves, r.recordId);
        const ItemState *item = slave ? slave->groupItem(Slave::kTxPdo, r.channel) : nullptr;
        return item ? std::optional<int>(item->value.toInt()) : std::nullopt;
    }
    // Inputs are read only in force mode: outside it no old value is shown.
    if (!m_forceMode || !m_linked)
        return std::nullopt;
    return LoopRunner::inputValue(m_slaves, r);
}

double IoCheckoutDialog::percentOf(int row, int value) const
{
    const int full = std::max(1, m_checkout.rows.at(row).fullScale);
    return 100.0 * value / full;
}

QString IoCheckoutDialog::liveText(int row) const
{
    const std::optional<int> value = liveValue(row);
    if (!value)
        return QStringLiteral("-");
    if (m_checkout.rows.at(row).kind == Kind::Digital)
        return *value ? QStringLiteral("ON") : QStringLiteral("OFF");
    return QStringLiteral("%1 (%2%)").arg(*value).arg(percentOf(row, *value), 0, 'f', 1);
}

void IoCheckoutDialog::refreshRecords()
{
    // Records are found again by UID (or station): a reload makes new ones.
    for (Row &row : m_checkout.rows) {
        row.recordId = 0;
        for (const SlaveSnapshot &slave : qAsConst(m_slaves)) {
            const QString uid = QString::fromLatin1(slave->uuid);
            const bool same = !row.uid.isEmpty() ? (uid.compare(row.uid, Qt::CaseInsensitive) == 0
                                                    || QString::fromLatin1(slave->uuid.toHex()).compare(row.uid, Qt::CaseInsensitive) == 0)
                                                 : (slave->recordCarriesStation == row.local && slave->stationId == row.station);
            if (same) {
                row.recordId = slave->recordId;
                break;
            }
        }
    }
}

void IoCheckoutDialog::updateSlaves(const SlaveList &slaves, bool forceMode, bool linked)
{
    m_slaves = slaves;
    m_forceMode = forceMode;
    m_linked = linked;
    refreshRecords();
    m_runner.onCycle(slaves, forceMode, linked);
    // The IO test window's rule for the channel under test.
    if (m_checking && m_current >= 0) {
        const OutputTestEnd why = outputTestEnd(slaves, m_checkout.rows.at(m_current).recordId, forceMode, linked);
        if (why != OutputTestEnd::None) {
            endFor(why);
            return;
        }
    } else if (m_driven) {
        const OutputTestEnd why = outputTestEnd(slaves, m_driven->first, forceMode, linked);
        if (why != OutputTestEnd::None)
            endFor(why);
    }
    if ((m_pendingStart || m_pendingLoops) && !forceMode && m_pendingSince.elapsed() > kForceWaitMs) {
        m_pendingStart = false;
        m_pendingLoops = false;
        setStatus(tr("未能进入强制模式,检查未开始。"));
    }
    if (m_pendingStart && forceMode && linked) {
        m_pendingStart = false;
        startCheck();
    }
    if (m_pendingLoops && forceMode && linked) {
        m_pendingLoops = false;
        runLoops();
    }
    if (m_current >= 0) {
        ui->labelLive->setText(liveText(m_current));
        const Row &row = m_checkout.rows.at(m_current);
        // Inputs are read only in force mode, and the reports up to the first
        // process-data cycle after the start may carry values of before: an
        // input's starting value is taken once a cycle has come since.
        if (!m_checking || row.isOutput() || m_inputCycles <= m_startCycle)
            return;
        const std::optional<int> now = liveValue(m_current);
        if (!m_inputStart) {
            m_inputStart = now;
            return;
        }
        // A digital input that changed while watched has passed.
        if (row.kind == Kind::Digital && now && *now != *m_inputStart) {
            record(Result::Pass, tr("%1 → %2").arg(*m_inputStart).arg(*now), ui->lineNote->text().trimmed());
            advance();
        }
    }
}

// --- The check of a row -----------------------------------------------------------

bool IoCheckoutDialog::needForce()
{
    if (!m_linked) {
        setStatus(tr("适配器未连接,不能检查。"));
        return false;
    }
    if (m_forceMode)
        return true;
    // Asked once per start: a refusal is said by the manager, and the next
    // start asks again.
    if (m_manager && !m_pendingStart && !m_pendingLoops) {
        m_enteredForce = true;
        m_manager->setForceMode(true);
    }
    setStatus(tr("正在进入强制模式..."));
    return false;
}

void IoCheckoutDialog::startCheck()
{
    if (m_current < 0 || m_runner.isRunning())
        return;
    if (!needForce()) {
        m_pendingStart = m_linked;
        m_pendingSince.start();
        return;
    }
    const Row &row = m_checkout.rows.at(m_current);
    m_checking = true;
    if (row.isOutput()) {
        driveCurrent();
    } else {
        m_inputStart.reset();
        m_startCycle = m_inputCycles;
        if (row.kind == Kind::Digital)
            m_inputWait.start(ui->spinWait->value() * 1000);
        setStatus(tr("检查中: 请操作现场设备。"));
    }
}

void IoCheckoutDialog::driveCurrent()
{
    const Row &row = m_checkout.rows.at(m_current);
    const SlaveSnapshot slave = findSnapshot(m_slaves, row.recordId);
    const ItemState *item = slave ? slave->groupItem(Slave::kTxPdo, row.channel) : nullptr;
    if (!slave || !item || !outputDrivable(*slave, *item, m_forceMode, m_linked) || !m_manager || !m_manager->adapter()) {
        switchOff();
        m_checking = false;
        setStatus(tr("此输出现在不能接通(需要强制模式、连接和运行中的模块)。"));
        return;
    }
    int value = 1;
    if (row.kind == Kind::Analog) {
        bool ok = false;
        const double percent = ui->comboSetpoint->currentText().toDouble(&ok);
        if (!ok || percent < 0 || percent > 100) {
            switchOff();
            m_checking = false;
            setStatus(tr("设定值须为 0 到 100 (%)。"));
            return;
        }
        value = int(std::lround(percent * row.fullScale / 100.0));
    }
    // Only the channel under test is on.
    if (m_driven && *m_driven != qMakePair(row.recordId, row.channel))
        switchOff();
    m_manager->adapter()->requestSlaveOutput(row.recordId, row.channel, value);
    emit logMessage(tr("IO检查: 强制输出 %1 输出%2 = %3")
                        .arg(moduleTitle(m_checkout.modules.value(m_checkout.moduleOf(m_current))))
                        .arg(row.channel)
                        .arg(value));
    m_driven = qMakePair(row.recordId, row.channel);
    m_drivenValue = value;
    setStatus(row.kind == Kind::Analog ? tr("输出 %1 已设为 %2。").arg(row.channel).arg(value) : tr("输出 %1 已接通。").arg(row.channel));
}

void IoCheckoutDialog::switchOff()
{
    if (!m_driven)
        return;
    if (m_manager && m_manager->adapter())
        m_manager->adapter()->requestSlaveOutput(m_driven->first, m_driven->second, 0);
    m_driven.reset();
    m_drivenValue = 0;
}

void IoCheckoutDialog::stopCheck()
{
    m_pendingStart = false;
    m_pendingLoops = false;
    m_runner.stop();
    switchOff();
    m_checking = false;
    m_inputWait.stop();
    m_inputStart.reset();
    setStatus(tr("已停止,输出已关闭。"));
}

void IoCheckoutDialog::endFor(OutputTestEnd why)
{
    switchOff();
    m_runner.stop();
    m_checking = false;
    m_pendingStart = false;
    m_pendingLoops = false;
    m_inputWait.stop();
    m_inputStart.reset();
    save();
    switch (why) {
    case OutputTestEnd::LinkLost:
        setStatus(tr("链接断开,检查已停止,输出已关闭;已完成的检查已保存。"));
        break;
    case OutputTestEnd::ForceLeft:
        setStatus(tr("已退出强制模式,检查已停止。"));
        break;
    case OutputTestEnd::SlaveGone:
        setStatus(tr("模块已不在总线上,检查已停止。"));
        break;
    case OutputTestEnd::ModuleStopped:
        setStatus(tr("模块不再应答,检查已停止。"));
        break;
    case OutputTestEnd::None:
        break;
    }
}

void IoCheckoutDialog::onInputWaitOver()
{
    if (!m_checking || m_current < 0 || m_checkout.rows.at(m_current).isOutput())
        return;
    m_checking = false;
    m_inputStart.reset();
    setStatus(tr("等待时间内输入无变化:此项保持未检查,可由检查人判定。"));
}

void IoCheckoutDialog::record(Result result, const QString &value, const QString &note)
{
    m_checkout.record(m_current, result, value, note, ui->lineEngineer->text().trimmed());
    showRow(m_current);
    showProgress();
    save();
}

void IoCheckoutDialog::advance()
{
    const bool continuing = m_checking;
    switchOff();
    m_checking = false;
    m_inputWait.stop();
    m_inputStart.reset();
    ui->lineNote->clear();
    ui->lineReading->clear();
    applyFilter();
    const int next = m_checkout.nextOpen(m_current + 1);
    if (next < 0) {
        m_current = -1;
        showPanel();
        setStatus(tr("全部检查完毕。"));
        return;
    }
    selectRow(next);
    // In the flow of a check-out the next channel goes on at once.
    if (continuing)
        startCheck();
}

void IoCheckoutDialog::pass()
{
    if (m_current < 0)
        return;
    const Row &row = m_checkout.rows.at(m_current);
    const QString note = ui->lineNote->text().trimmed();
    if (row.kind == Kind::Digital) {
        const std::optional<int> live = liveValue(m_current);
        record(Result::Pass, row.isOutput() ? tr("接通") : (live ? QString::number(*live) : QString()), note);
        advance();
        return;
    }
    // Analog: the tolerance decides.
    const double tolerance = ui->spinTolerance->value();
    bool ok = false;
    const double expected = ui->comboSetpoint->currentText().toDouble(&ok);
    if (!ok) {
        setStatus(tr("设定值须为 0 到 100 (%)。"));
        return;
    }
    double seen = 0;
    QString value;
    if (row.isOutput()) {
        if (ui->lineReading->text().trimmed().isEmpty()) {
            setStatus(tr("请填入现场仪表读数(%)。"));
            return;
        }
        seen = ui->lineReading->text().trimmed().toDouble(&ok);
        if (!ok) {
            setStatus(tr("读数“%1”不是数字。").arg(ui->lineReading->text()));
            return;
        }
        value = tr("设定 %1% 读数 %2%").arg(expected).arg(seen);
    } else {
        const std::optional<int> live = liveValue(m_current);
        if (!live) {
            setStatus(tr("没有实时值:请先开始检查(强制模式)。"));
            return;
        }
        seen = percentOf(m_current, *live);
        value = tr("读数 %1 (%2%), 期望 %3%").arg(*live).arg(seen, 0, 'f', 1).arg(expected);
    }
    const bool within = std::abs(seen - expected) <= tolerance;
    record(within ? Result::Pass : Result::Fail, value,
           within ? note : (tr("超出容差 ±%1%").arg(tolerance) + (note.isEmpty() ? QString() : QStringLiteral("; ") + note)));
    advance();
}

void IoCheckoutDialog::fail()
{
    if (m_current < 0)
        return;
    const std::optional<int> live = liveValue(m_current);
    const Row &row = m_checkout.rows.at(m_current);
    record(Result::Fail, row.isOutput() ? (m_driven ? tr("接通") : QString()) : (live ? QString::number(*live) : QString()),
           ui->lineNote->text().trimmed());
    advance();
}

void IoCheckoutDialog::skip()
{
    if (m_current < 0)
        return;
    record(Result::Skipped, QString(), ui->lineNote->text().trimmed());
    advance();
}

// --- Loops ---------------------------------------------------------------------------

bool IoCheckoutDialog::loadWiring(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageBox::notify(this, tr("接线表有误"), tr("无法读取 %1: %2").arg(path, file.errorString()), MessageBox::Warning, 320);
        return false;
    }
    const wiring::Parsed parsed = wiring::parse(file.readAll());
    QList<wiring::Problem> problems = parsed.problems;
    if (problems.isEmpty())
        problems = wiring::apply(parsed.loops, m_checkout);
    if (!problems.isEmpty()) {
        QStringList lines;
        for (const wiring::Problem &problem : qAsConst(problems))
            lines << wiring::problemText(problem);
        MessageBox::notify(this, tr("接线表有误"), tr("%1:\n%2").arg(QFileInfo(path).fileName(), lines.join(QLatin1Char('\n'))),
                           MessageBox::Warning, 420);
        return false;
    }
    for (int r = 0; r < m_checkout.rows.size(); ++r)
        showRow(r);
    showPanel();
    setStatus(tr("接线表 %1: %2 个回路。").arg(QFileInfo(path).fileName()).arg(m_checkout.loops().size()));
    return true;
}

void IoCheckoutDialog::runLoops()
{
    if (m_runner.isRunning())
        return;
    QList<int> open;
    for (const auto &[out, in] : m_checkout.loops()) {
        if (!m_checkout.rows.at(out).isDone())
            open << out;
    }
    if (m_checkout.loops().isEmpty()) {
        setStatus(tr("请先载入接线表。"));
        return;
    }
    if (open.isEmpty()) {
        setStatus(tr("所有回路都已检查。"));
        return;
    }
    if (m_checking)
        stopCheck();
    if (!needForce()) {
        m_pendingLoops = m_linked;
        m_pendingSince.start();
        return;
    }
    m_runner.setCheckedBy(ui->lineEngineer->text().trimmed());
    setStatus(tr("回路检查中: %1 个回路...").arg(open.size()));
    emit logMessage(tr("IO检查: 回路检查 %1 个回路").arg(open.size()));
    m_runner.start(open);
}

// --- Files ------------------------------------------------------------------------------

void IoCheckoutDialog::save()
{
    m_checkout.header.site = ui->lineSite->text().trimmed();
    m_checkout.header.engineer = ui->lineEngineer->text().trimmed();
    if (const QString why = saveState(m_checkout); !why.isEmpty())
        setStatus(tr("检查状态无法保存: %1").arg(why));
}

QString IoCheckoutDialog::writeReport(const QString &path)
{
    save();
    if (const QString why = writePdf(path, m_checkout); !why.isEmpty())
        return why;
    const QFileInfo info(path);
    const QString csv = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".csv");
    return writeAtomically(csv, m_checkout.csv());
}

void IoCheckoutDialog::on_btnWiring_clicked()
{
    QPointer<IoCheckoutDialog> self(this);
    FileChooser::openFile(this, tr("打开接线表"), RecentFolders::kWiring, QStringLiteral("CSV (*.csv)"),
                          [self](const QString &path) {
                              if (self)
                                  self->loadWiring(path);
                          });
}

void IoCheckoutDialog::on_btnReport_clicked()
{
    QPointer<IoCheckoutDialog> self(this);
    FileChooser::saveFile(this, tr("生成IO检查报告"), RecentFolders::kReport, QStringLiteral("PDF (*.pdf)"),
                          QStringLiteral("pdf"), [self](const QString &path) {
                              if (!self)
                                  return;
                              const QString why = self->writeReport(path);
                              if (why.isEmpty())
                                  emit self->logMessage(tr("IO检查报告已生成: %1").arg(path));
                              self->setStatus(why.isEmpty() ? tr("报告已生成: %1").arg(path) : tr("报告无法生成: %1").arg(why));
                          });
}

void IoCheckoutDialog::on_btnClose_clicked()
{
    close();
}

void IoCheckoutDialog::setStatus(const QString &text)
{
    m_status = text;
    ui->labelStatus->setText(text);
}

QString IoCheckoutDialog::statusText() const
{
    return m_status;
}

void IoCheckoutDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        startCheck();
        return;
    case Qt::Key_Escape:
        if (m_checking || m_runner.isRunning() || m_pendingStart || m_pendingLoops) {
            stopCheck();
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void IoCheckoutDialog::done(int result)
{
    m_pendingStart = false;
    m_pendingLoops = false;
    m_runner.stop();
    switchOff();
    m_checking = false;
    m_inputWait.stop();
    save();
    // Force mode this dialog asked for is left again; the adapter confirms
    // leaving (and says so when it cannot).
    if (m_enteredForce && m_manager && m_forceMode)
        m_manager->setForceMode(false);
    m_enteredForce = false;
    QDialog::done(result);
}

void IoCheckoutDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->labelHint, ui->labelLive, ui->labelProgress, ui->labelRow, ui->labelStatus, ui->lineEngineer, ui->lineSite}, true, [this] { ui->retranslateUi(this); });
        // The rows and the panel, in the new language.
        buildTree();
        if (QTreeWidgetItem *item = m_items.value(m_current)) {
            const QSignalBlocker blocker(ui->treeRows);
            ui->treeRows->setCurrentItem(item);
        }
        showProgress();
        showPanel();
    }
    QDialog::changeEvent(event);
}
