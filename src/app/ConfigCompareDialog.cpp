#include "ConfigCompareDialog.h"

#include "FormTexts.h"

#include "Adapter.h"
#include "AdapterManage.h"
#include "CompareReport.h"
#include "CompareRowsModel.h"
#include "ConfigCsv.h"
#include "FileChooser.h"
#include "RecentFolders.h"
#include "MessageBox.h"
#include "TabWidget.h"
#include "mainWindowManagement.h"
#include "ui_ConfigCompareDialog.h"

#include <QEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>

using namespace appcore;
using Compare::Kind;

namespace {

constexpr int kNoticeWidth = 260;
constexpr int kFieldNameWidth = 200;
constexpr int kValueWidth = 280;
const char kCsvFilter[] = "Files (*.csv)";
const char kPdfFilter[] = "PDF (*.pdf)";

QString chipStyle(const QColor &color)
{
    return QStringLiteral("QLabel { background-color: %1; border: 1px solid %2; border-radius: 3px; padding: 2px 8px; }")
        .arg(color.name(), color.darker(125).name());
}

using appcore::Compare::uidText;

// A field by its configuration-file column name, in the language shown.
QString shownFieldName(const Compare::FieldValue &value)
{
    return QCoreApplication::translate("ConfigCompareDialog", Compare::fieldName(value).toUtf8().constData());
}

// The fields of a module that only one side holds.
QList<QPair<QString, QString>> moduleFields(const Compare::Module &module)
{
    QList<QPair<QString, QString>> fields;
    const auto name = [](Compare::Field field) {
        Compare::FieldValue v;
        v.field = field;
        return shownFieldName(v);
    };
    fields << qMakePair(name(Compare::Field::Type), module.typeName);
    fields << qMakePair(name(Compare::Field::Station), module.local ? ConfigCompareDialog::tr("本地") : QString::number(module.station));
    fields << qMakePair(ConfigCompareDialog::tr("设备UID"), uidText(module.uid));
    if (module.described) {
        for (const bool input : {true, false}) {
            const Compare::Area &area = input ? module.inputs : module.outputs;
            if (!area.present)
                continue;
            fields << qMakePair(name(input ? Compare::Field::InputStart : Compare::Field::OutputStart),
                                area.held ? QString::number(area.start) : QStringLiteral("-"));
            fields << qMakePair(name(input ? Compare::Field::InputChannels : Compare::Field::OutputChannels),
                                QString::number(area.held ? area.channels : 0));
        }
        for (const Compare::Parameter &p : module.parameters)
            fields << qMakePair(p.name, p.text);
    }
    return fields;
}

} // namespace

ConfigCompareDialog::ConfigCompareDialog(AdapterManage *manager, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ConfigCompareDialog)
    , m_manager(manager)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_rows = new CompareRowsModel(this);
    ui->tableRows->setModel(m_rows);
    ui->tableRows->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->tableRows->horizontalHeader()->setHighlightSections(false);
    ui->tableRows->verticalHeader()->setDefaultSectionSize(ui->tableRows->fontMetrics().height() + 8);
    ui->tableFields->horizontalHeader()->resizeSection(0, kFieldNameWidth);
    ui->tableFields->horizontalHeader()->resizeSection(1, kValueWidth);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 1);
    ui->checkOnlyDifferences->setChecked(m_rows->onlyDifferences());
    const QList<QPair<QLabel *, Kind>> chips{{ui->labelCountSame, Kind::Same},
                                             {ui->labelCountDiffers, Kind::Differs},
                                             {ui->labelCountMissing, Kind::Missing},
                                             {ui->labelCountExtra, Kind::Extra},
                                             {ui->labelCountTypeMismatch, Kind::TypeMismatch},
                                             {ui->labelCountAmbiguous, Kind::Ambiguous}};
    for (const auto &chip : chips)
        chip.first->setStyleSheet(chipStyle(CompareRowsModel::kindColor(chip.second)));
    connect(ui->tableRows->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showDetails(); });
    connect(m_rows, &CompareRowsModel::checkedChanged, this, [this] { updateButtons(); });
    connect(m_rows, &QAbstractItemModel::modelReset, this, [this] { showDetails(); });
    if (m_manager)
        setWindowTitle(tr("对比组态 - %1").arg(m_manager->name()));
    fillSources();
    showResult();
}

ConfigCompareDialog::~ConfigCompareDialog()
{
    // Notices are the manager's own again, whatever was under way.
    if (m_busy && m_manager)
        m_manager->setQuiet(false);
    delete ui;
}

const Compare::Result &ConfigCompareDialog::result() const
{
    return m_rows->result();
}

void ConfigCompareDialog::refreshSources()
{
    fillSources();
    const int index = m_source == Source::Tab ? m_sourceTabs.indexOf(m_sourceTab) + 1 : 0;
    ui->comboSource->setCurrentIndex(std::max(0, index));
}

void ConfigCompareDialog::fillSources()
{
    ui->comboSource->clear();
    m_sourceTabs.clear();
    ui->comboSource->addItem(tr("配置文件"));
    TabWidget *tabs = mainWindowManagement::instance()->tabWidget();
    for (int i = 0; tabs && i < tabs->managerCount(); ++i) {
        AdapterManage *other = tabs->manager(i);
        if (other == m_manager || !other->hasAdapter())
            continue;
        const QString title = tabs->tabText(i);
        ui->comboSource->addItem(other->isStatic() ? tr("离线组态: %1").arg(title)
                                                   : tr("适配器: %1 (%2)").arg(title, other->mac()));
        m_sourceTabs << other;
    }
}

void ConfigCompareDialog::on_comboSource_activated(int index)
{
    if (index <= 0) {
        if (m_filePath.isEmpty())
            on_btnOpenFile_clicked();
        else
            compareFile(m_filePath);
        return;
    }
    if (AdapterManage *source = m_sourceTabs.value(index - 1))
        compareTab(source);
}

void ConfigCompareDialog::on_btnOpenFile_clicked()
{
    QPointer<ConfigCompareDialog> self(this);
    FileChooser::openFile(this, tr("打开配置文件"), RecentFolders::kConfiguration, QString::fromLatin1(kCsvFilter), [self](const QString &path) {
        if (self)
            self->compareFile(path);
    });
}

void ConfigCompareDialog::compareFile(const QString &path)
{
    if (m_busy)
        return;
    m_source = Source::File;
    m_filePath = path;
    ui->comboSource->setCurrentIndex(0);
    compareNow();
}

void ConfigCompareDialog::compareTab(AdapterManage *source)
{
    if (m_busy || !source)
        return;
    m_source = Source::Tab;
    m_sourceTab = source;
    const int index = m_sourceTabs.indexOf(source);
    if (index >= 0)
        ui->comboSource->setCurrentIndex(index + 1);
    compareNow();
}

void ConfigCompareDialog::on_btnCompare_clicked()
{
    compareAgain();
}

void ConfigCompareDialog::compareAgain()
{
    if (m_busy || m_source == Source::None)
        return;
    readBusThen([this] { compareNow(); });
}

std::optional<Compare::Side> ConfigCompareDialog::readSource()
{
    ui->labelSummary->setStyleSheet(QString());
    if (m_source == Source::Tab) {
        if (!m_sourceTab || !m_sourceTab->hasAdapter()) {
            ui->labelSummary->setText(tr("对比来源已关闭,请重新选择。"));
            return std::nullopt;
        }
        const AdapterState &state = m_sourceTab->adapterState();
        return Compare::sideOf(m_sourceTab->slaves(), state.settingsKnown ? std::optional<AdapterState>(state) : std::nullopt);
    }
    if (m_source != Source::File)
        return std::nullopt;
    // The file is read anew each time: it may have been edited meanwhile.
    const ConfigCsv::ParsedFile file = ConfigCsv::readFile(m_filePath, ConfigCsv::librarySizes());
    QStringList problems;
    for (const ConfigCsv::Problem &problem : file.problems)
        problems << problem.text();
    if (file.ok() && file.lines.isEmpty())
        problems << tr("文件中没有从站配置数据");
    if (!problems.isEmpty()) {
        constexpr int kShown = 8;
        QStringList shown = problems.mid(0, kShown);
        if (problems.size() > kShown)
            shown << tr("……共%1处错误").arg(problems.size());
        ui->labelSummary->setStyleSheet(QStringLiteral("color: rgb(198, 40, 40);"));
        ui->labelSummary->setText(tr("配置文件有误,无法对比: %1").arg(QDir::toNativeSeparators(m_filePath)) + QLatin1Char('\n')
                                  + shown.join(QLatin1Char('\n')));
        return std::nullopt;
    }
    m_fileForm = file.form == ConfigCsv::Form::WithUid ? tr("带UID") : tr("不带UID");
    return Compare::sideOf(file);
}

void ConfigCompareDialog::compareNow()
{
    if (!m_manager)
        return;
    const std::optional<Compare::Side> configured = readSource();
    if (!configured) {
        m_rows->setResult(Compare::Result());
        showCounts();
        ui->labelNotes->clear();
        updateButtons();
        return;
    }
    const AdapterState &state = m_manager->adapterState();
    const Compare::Side bus =
        Compare::sideOf(m_manager->slaves(), state.settingsKnown ? std::optional<AdapterState>(state) : std::nullopt);
    m_rows->setResult(Compare::compare(*configured, bus));
    showResult();
    emit compared();
}

QString ConfigCompareDialog::sourceText() const
{
    switch (m_source) {
    case Source::File:
        return tr("配置文件 %1 (%2)").arg(QDir::toNativeSeparators(m_filePath), m_fileForm);
    case Source::Tab:
        return m_sourceTab ? ui->comboSource->currentText() : QString();
    case Source::None:
        break;
    }
    return QString();
}

void ConfigCompareDialog::showResult()
{
    const Compare::Result &result = m_rows->result();
    if (m_source == Source::None) {
        ui->labelSummary->setText(tr("请选择对比来源: 打开一个配置文件(带或不带UID),或选择一个已打开的离线组态或适配器。"));
    } else {
        ui->labelSummary->setStyleSheet(QString());
        ui->labelSummary->setText(tr("总线: %1 (%2个模块)    对比来源: %3 (%4个模块)")
                                      .arg(m_manager ? m_manager->name() + QStringLiteral(" ") + m_manager->mac() : QString())
                                      .arg(result.bus.modules.size())
                                      .arg(sourceText())
                                      .arg(result.configuration.modules.size()));
    }
    showCounts();
    QStringList notes = CompareReport::overlapLines(result) + CompareReport::settingsLines(result);
    ui->labelNotes->setText(notes.join(QLatin1Char('\n')));
    ui->labelNotes->setVisible(!notes.isEmpty());
    QHeaderView *header = ui->tableRows->horizontalHeader();
    ui->tableRows->resizeColumnsToContents();
    constexpr int kMaxColumnWidth = 320;
    for (int column = 0; column < CompareRowsModel::ColumnCount - 1; ++column)
        header->resizeSection(column, std::min(header->sectionSize(column) + 12, kMaxColumnWidth));
    selectFirstDifference();
    updateButtons();
}

// The first row that differs is the one to look at; else the first.
void ConfigCompareDialog::selectFirstDifference()
{
    int line = 0;
    for (int i = 0; i < m_rows->rowCount(); ++i) {
        if (m_rows->result().rows.at(m_rows->resultRow(i)).hasDifferences()) {
            line = i;
            break;
        }
    }
    if (m_rows->rowCount() > 0)
        ui->tableRows->setCurrentIndex(m_rows->index(line, 0));
}

void ConfigCompareDialog::showCounts()
{
    const Compare::Result &result = m_rows->result();
    const QList<QPair<QLabel *, Kind>> chips{{ui->labelCountSame, Kind::Same},
                                             {ui->labelCountDiffers, Kind::Differs},
                                             {ui->labelCountMissing, Kind::Missing},
                                             {ui->labelCountExtra, Kind::Extra},
                                             {ui->labelCountTypeMismatch, Kind::TypeMismatch},
                                             {ui->labelCountAmbiguous, Kind::Ambiguous}};
    for (const auto &chip : chips)
        chip.first->setText(tr("%1 %2").arg(Compare::kindName(chip.second)).arg(result.count(chip.second)));
}

void ConfigCompareDialog::showDetails()
{
    QTableWidget *fields = ui->tableFields;
    fields->clearSpans();
    fields->setRowCount(0);
    const int resultRow = m_rows->resultRow(ui->tableRows->currentIndex().row());
    const Compare::Result &result = m_rows->result();
    if (resultRow < 0 || resultRow >= result.rows.size())
        return;
    const Compare::Row &row = result.rows.at(resultRow);
    const auto add = [fields](const QString &name, const QString &configured, const QString &bus, bool differs) {
        const int line = fields->rowCount();
        fields->insertRow(line);
        const QStringList texts{name, configured, bus};
        for (int column = 0; column < texts.size(); ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            if (differs) {
                item->setBackground(CompareRowsModel::differingColor());
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            fields->setItem(line, column, item);
        }
    };
    add(tr("结果"), Compare::kindName(row.kind), QString(), false);
    fields->setSpan(0, 1, 1, 2);
    const QString note = m_rows->noteOf(resultRow);
    if (!note.isEmpty()) {
        add(tr("说明"), note, QString(), false);
        fields->setSpan(1, 1, 1, 2);
    }
    switch (row.kind) {
    case Kind::Same:
    case Kind::Differs:
    case Kind::TypeMismatch:
        add(tr("设备UID"), uidText(result.configuredModule(row).uid), uidText(result.busModule(row).uid), false);
        for (const Compare::FieldValue &v : row.fields)
            add(shownFieldName(v), v.configured, v.bus, v.differs);
        break;
    case Kind::Missing:
        for (const auto &field : moduleFields(result.configuredModule(row)))
            add(field.first, field.second, QStringLiteral("-"), false);
        break;
    case Kind::Extra:
        for (const auto &field : moduleFields(result.busModule(row)))
            add(field.first, QStringLiteral("-"), field.second, false);
        break;
    case Kind::Ambiguous:
        for (int i = 0; i < row.configured.size(); ++i) {
            const Compare::Module &m = result.configuredModule(row, i);
            add(tr("组态第%1行").arg(m.line), tr("站号%1 %2 %3").arg(m.station).arg(m.typeName, uidText(m.uid)), QString(), false);
        }
        for (int i = 0; i < row.bus.size(); ++i) {
            const Compare::Module &m = result.busModule(row, i);
            add(tr("总线模块%1").arg(i + 1), QString(), tr("站号%1 %2 %3").arg(m.station).arg(m.typeName, uidText(m.uid)), false);
        }
        break;
    }
    fields->resizeRowsToContents();
}

void ConfigCompareDialog::on_checkOnlyDifferences_toggled(bool only)
{
    m_rows->setOnlyDifferences(only);
    selectFirstDifference();
}

void ConfigCompareDialog::on_btnCheckAll_clicked()
{
    m_rows->checkAllWritable(m_rows->checkedRows().isEmpty());
}

void ConfigCompareDialog::updateButtons()
{
    const Compare::Result &result = m_rows->result();
    bool anyWritable = false;
    for (const Compare::Row &row : result.rows)
        anyWritable = anyWritable || Compare::isWritable(result, row);
    ui->btnWrite->setEnabled(!m_busy && !m_rows->checkedRows().isEmpty());
    ui->btnCheckAll->setEnabled(!m_busy && anyWritable);
    ui->btnCheckAll->setText(m_rows->checkedRows().isEmpty() ? tr("全选差异") : tr("全不选"));
    ui->btnCompare->setEnabled(!m_busy && m_source != Source::None);
    ui->btnOpenFile->setEnabled(!m_busy);
    ui->comboSource->setEnabled(!m_busy);
    ui->btnSaveCsv->setEnabled(!m_busy && !result.rows.isEmpty());
    ui->btnPrintPdf->setEnabled(!m_busy && !result.rows.isEmpty());
}

void ConfigCompareDialog::setBusy(bool busy, const QString &progress)
{
    m_busy = busy;
    if (!progress.isEmpty() || !busy)
        ui->labelProgress->setText(progress);
    updateButtons();
}

// ---------------------------------------------------------------------------
// Reading the bus and writing rows

void ConfigCompareDialog::afterAdapter(std::function<void()> then)
{
    Adapter *adapter = m_manager ? m_manager->adapter() : nullptr;
    QPointer<ConfigCompareDialog> self(this);
    if (!adapter) {
        QMetaObject::invokeMethod(
            qApp, [self, then] {
                if (self)
                    then();
            },
            Qt::QueuedConnection);
        return;
    }
    // Queued behind everything asked of the worker; its answer comes here
    // behind every report the work sent (the manager's included).
    QMetaObject::invokeMethod(
        adapter,
        [self, then] {
            QMetaObject::invokeMethod(
                qApp, [self, then] {
                    if (self)
                        then();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void ConfigCompareDialog::readBusThen(std::function<void()> then)
{
    setBusy(true, tr("正在读取总线…"));
    if (m_manager && m_manager->adapter())
        m_manager->adapter()->requestBusRead();
    afterAdapter([this, then] {
        setBusy(false);
        then();
    });
}

void ConfigCompareDialog::on_btnWrite_clicked()
{
    writeChecked();
}

void ConfigCompareDialog::writeChecked()
{
    if (m_busy || !m_manager || !m_manager->adapter())
        return;
    if (m_manager->isForceMode()) {
        MessageBox::notify(this, tr("警告"), tr("强制模式不可操作!"), MessageBox::Warning, 210);
        return;
    }
    if (!m_manager->isLinked()) {
        MessageBox::notify(this, tr("警告"), tr("适配器未连接,无法写入!"), MessageBox::Warning, kNoticeWidth);
        return;
    }
    const QList<Compare::RowWrite> writes = Compare::writesFor(m_rows->result(), m_rows->checkedRows());
    if (writes.isEmpty()) {
        MessageBox::notify(this, tr("提示"), tr("请先勾选要写入的模块!"), MessageBox::Information, kNoticeWidth);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Question, tr("消息"),
                                tr("将组态中%1个模块的站号、地址和参数写入适配器,是否继续？").arg(writes.size()),
                                QMessageBox::NoButton, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *yes = box->addButton(tr("确定"), QMessageBox::AcceptRole);
    box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(yes);
    QPointer<ConfigCompareDialog> self(this);
    connect(box, &QMessageBox::finished, this, [self, box, yes, writes] {
        if (self && box->clickedButton() == yes)
            self->startWrites(writes);
    });
    box->open();
}

void ConfigCompareDialog::startWrites(const QList<Compare::RowWrite> &writes)
{
    if (m_busy || !m_manager || !m_manager->adapter())
        return;
    m_run.emplace(writes);
    m_writeCount = writes.size();
    m_sent = 0;
    m_reports.clear();
    // The rows say what became of each write: no notice box per module.
    m_manager->setQuiet(true);
    m_reportConnection = connect(m_manager->adapter(), &Adapter::sigErrMessage, this,
                                 [this](adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status) {
                                     m_reports << Compare::Report{type, int(err), sid, status};
                                 });
    setBusy(true);
    sendNextWrite();
}

void ConfigCompareDialog::sendNextWrite()
{
    Adapter *adapter = m_manager ? m_manager->adapter() : nullptr;
    const std::optional<Compare::RowWrite> write = adapter ? m_run->next() : std::nullopt;
    if (!write) {
        finishWrites();
        return;
    }
    setBusy(true, tr("正在写入第%1个模块(共%2个)…").arg(++m_sent).arg(m_writeCount));
    m_reports.clear();
    if (write->byIdentity)
        adapter->requestSlaveEditedConfig(write->recordId, write->record);
    else
        adapter->requestSlaveConfig(write->recordId, write->record);
    afterAdapter([this] {
        m_run->take(m_reports);
        m_reports.clear();
        sendNextWrite();
    });
}

void ConfigCompareDialog::finishWrites()
{
    disconnect(m_reportConnection);
    const Compare::Result &result = m_rows->result();
    int written = 0;
    for (auto it = m_run->outcomes().cbegin(); it != m_run->outcomes().cend(); ++it) {
        const Compare::Module &bus = result.busModule(result.rows.at(it.key()));
        m_outcomes.insert(bus.slave->recordId, it.value());
        written += it.value().ok() ? 1 : 0;
    }
    const int failed = m_run->outcomes().size() - written;
    m_run.reset();
    const QString done = tr("写入完成: 成功%1个, 失败%2个").arg(written).arg(failed);
    m_rows->setOutcomes(m_outcomes);
    readBusThen([this, done, written, failed] {
        if (m_manager)
            m_manager->setQuiet(false);
        compareNow();
        ui->labelProgress->setText(done);
        ui->labelProgress->setStyleSheet(written == 0 && failed > 0 ? QStringLiteral("color: rgb(198, 40, 40);") : QString());
    });
}

// ---------------------------------------------------------------------------
// Saving and printing

CompareReport::Heading ConfigCompareDialog::heading() const
{
    CompareReport::Heading h;
    h.time = QDateTime::currentDateTime();
    if (m_manager) {
        h.adapterSerial = m_manager->mac();
        for (const AdapterInfoItem &item : m_manager->adapterState().infoItems) {
            if (item.kind == AdapterInfoItem::Text)
                h.identity << qMakePair(item.name, item.text);
        }
    }
    h.source = sourceText();
    return h;
}

void ConfigCompareDialog::on_btnSaveCsv_clicked()
{
    QPointer<ConfigCompareDialog> self(this);
    FileChooser::saveFile(this, tr("保存对比结果"), RecentFolders::kReport, QString::fromLatin1(kCsvFilter),
                          QStringLiteral("csv"), [self](const QString &path) {
                              if (!self)
                                  return;
                              if (const std::optional<QString> problem = CompareReport::writeCsv(path, *self->m_rows))
                                  MessageBox::notify(self, tr("警告"), tr("无法写入文件: %1").arg(*problem), MessageBox::Warning,
                                                     kNoticeWidth);
                              else
                                  self->ui->labelProgress->setText(tr("已保存: %1").arg(QDir::toNativeSeparators(path)));
                          });
}

void ConfigCompareDialog::on_btnPrintPdf_clicked()
{
    QPointer<ConfigCompareDialog> self(this);
    FileChooser::saveFile(this, tr("打印对比结果"), RecentFolders::kReport, QString::fromLatin1(kPdfFilter),
                          QStringLiteral("pdf"), [self](const QString &path) {
                              if (!self)
                                  return;
                              if (CompareReport::printPdf(path, *self->m_rows, self->heading()))
                                  self->ui->labelProgress->setText(tr("已打印: %1").arg(QDir::toNativeSeparators(path)));
                              else
                                  MessageBox::notify(self, tr("警告"), tr("无法写入文件: %1").arg(path), MessageBox::Warning,
                                                     kNoticeWidth);
                          });
}

void ConfigCompareDialog::on_btnClose_clicked()
{
    close();
}

QString ConfigCompareDialog::lineText(int line) const
{
    QStringList cells;
    for (int column = 0; column < CompareRowsModel::ColumnCount; ++column)
        cells << m_rows->cellText(m_rows->resultRow(line), column);
    return cells.join(QLatin1Char('|'));
}

void ConfigCompareDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->btnCheckAll, ui->labelNotes, ui->labelProgress, ui->labelSummary}, true, [this] { ui->retranslateUi(this); });
        if (m_source == Source::None)
            ui->labelSummary->setText(tr("请选择对比来源: 打开一个配置文件(带或不带UID),或选择一个已打开的离线组态或适配器。"));
        updateButtons();
        FormTexts::widenToTexts(ui->tableRows->horizontalHeader());
    }
    QDialog::changeEvent(event);
}
