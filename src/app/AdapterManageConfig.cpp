// The whole-bus operations of the adapter menu: automatic allocation,
// repeated stations, the configuration file and the batch configuration
// that follows an import.

#include "AdapterManage.h"

#include "AppLog.h"
#include "AutoConfigView.h"
#include "ConfigCsv.h"
#include "FileChooser.h"
#include "RecentFolders.h"
#include "Loading.h"
#include "MessageBox.h"
#include "MessageWidget.h"
#include "ResultMessages.h"
#include "SlaveMainWindow.h"
#include "UnAllocation.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace appcore;

namespace {
const char kCsvFilter[] = "Files (*.csv)";
const char kCsvSuffix[] = "csv";
constexpr int kProblemsShown = 8; // in the refusal's box; the message list has them all
constexpr int kRefusalWidth = 360;
} // namespace

QWidget *AdapterManage::fileDialogParent() const
{
    if (m_page)
        return m_page->slaveWindow();
    return dialogParent();
}

// ---------------------------------------------------------------------------
// Automatic allocation and repeated stations

void AdapterManage::openAutoAllocation()
{
    if (!m_adapter)
        return;
    const QPair<quint16, quint16> totals = Adapter::allocationTotals(m_slaves, m_state.alignmentUnit);
    auto *dialog = new AutoConfigView(dialogParent());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setTotals(totals.first, totals.second);
    connect(dialog, &AutoConfigView::sigAutoConfigAdd, this, [this] {
        if (!m_adapter)
            return;
        m_allocating = true;
        if (m_static) {
            emit m_adapter->sigAutoSetLocalSlaveAddr();
            return;
        }
        if (Loading *dialog = loading())
            dialog->showLading();
        emit m_adapter->sigAutoSetSlaveAddr();
    });
    dialog->open();
}

void AdapterManage::openRepeatedStations()
{
    if (!m_adapter)
        return;
    auto *dialog = new UnAllocation(dialogParent());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->fill(m_slaves);
    connect(dialog, &UnAllocation::sigSetRepeatSid, this, [this](QMap<int, QByteArray> map) {
        if (!m_adapter)
            return;
        if (Loading *dialog = loading())
            dialog->showLading();
        Adapter *adapter = m_adapter;
        QMetaObject::invokeMethod(adapter, [adapter, map] { adapter->onSetRepeatSid(map); }, Qt::QueuedConnection);
    });
    dialog->open();
}

// ---------------------------------------------------------------------------
// Export

namespace {

// What an export keeps of the modules: type, UID, station, areas and
// parameters, in bus order.
QByteArray exportedRecords(const SlaveList &slaves)
{
    QByteArray records;
    for (const SlaveSnapshot &slave : slaves) {
        records += slave->typeName.toUtf8() + '\0' + slave->uuid + '\0' + slave->configurationRecord;
        records += '\n';
    }
    return records;
}

} // namespace

void AdapterManage::exportCsv(bool withUid)
{
    if (!m_adapter)
        return;
    QPointer<AdapterManage> self(this);
    QFileDialog *dialog = FileChooser::saveFile(fileDialogParent(), tr("Export excel file"), RecentFolders::kConfiguration,
                                                QString::fromLatin1(kCsvFilter), QString::fromLatin1(kCsvSuffix),
                                                [self, withUid](const QString &path) {
                                                    if (self)
                                                        self->startExport(path, withUid);
                                                });
    connect(dialog, &QDialog::rejected, this, [this] { m_afterExport = nullptr; });
}

bool AdapterManage::hasUnexportedChanges() const
{
    return m_static && exportedRecords(m_slaves) != m_exportedRecords;
}

void AdapterManage::exportThen(std::function<void()> written)
{
    if (!m_adapter)
        return;
    m_afterExport = std::move(written);
    exportCsv(ConfigCsv::modulesUnnamedWithoutUid(m_slaves) > 0);
}

// The lines are asked for once the file is chosen, so that they are the
// configuration as it is when the file is written.
void AdapterManage::startExport(const QString &path, bool withUid)
{
    if (!m_adapter)
        return;
    m_exportPath = path;
    m_adapter->requestCsvLines(withUid);
}

void AdapterManage::onCsvLines(QStringList lines, bool withUid)
{
    if (m_exportPath.isEmpty())
        return;
    const QString path = m_exportPath;
    m_exportPath.clear();
    const auto form = withUid ? ConfigCsv::Form::WithUid : ConfigCsv::Form::WithoutUid;
    std::function<void()> afterExport = std::move(m_afterExport);
    m_afterExport = nullptr;
    if (const std::optional<ConfigCsv::Problem> problem = ConfigCsv::writeFile(path, form, lines)) {
        const QString text = tr("导出从站配置数据失败! %1").arg(problem->text());
        appendMessage(MessageWidget::Error, text, problem->code());
        MessageBox::notify(dialogParent(), tr("警告"), text, MessageBox::Warning, kRefusalWidth);
        return;
    }
    appendMessage(MessageWidget::Inform, tr("导出从站配置数据成功!"), QStringLiteral("export.done"));
    // A file without UIDs names a module by its station alone: one without
    // a station is not kept.
    const int unnamed = withUid ? 0 : ConfigCsv::modulesUnnamedWithoutUid(m_slaves);
    if (unnamed > 0)
        appendMessage(MessageWidget::Waring,
                      tr("%1个从站未设定站号,不带UID的文件无法导入它们,请使用带UID导出").arg(unnamed),
                      QStringLiteral("export.modules_without_station"));
    else if (m_static)
        m_exportedRecords = exportedRecords(m_slaves);
    if (afterExport)
        afterExport();
}

// ---------------------------------------------------------------------------
// Import

void AdapterManage::importCsv()
{
    if (!m_adapter || isImporting())
        return;
    QPointer<AdapterManage> self(this);
    FileChooser::openFile(fileDialogParent(), tr("Import excel file"), RecentFolders::kConfiguration,
                          QString::fromLatin1(kCsvFilter), [self](const QString &path) {
                              if (self)
                                  self->importFile(path);
                          });
}

void AdapterManage::importFile(const QString &path)
{
    if (!m_adapter || isImporting())
        return;
    // Every line is checked before any reaches the Adapter.
    const ConfigCsv::ParsedFile file = ConfigCsv::readFile(path, ConfigCsv::librarySizes());
    if (!file.ok()) {
        reportFileProblems(file.problems);
        return;
    }
    if (file.lines.isEmpty()) {
        appendMessage(MessageWidget::Waring, tr("文件中没有从站配置数据"), QStringLiteral("import.no_lines"));
        return;
    }
    m_csvImportPending = true;
    // From here to the end of the batch configuration no poll may read the
    // adapter's old configuration back into the imported records.
    if (!m_static)
        m_adapter->setManagerOperation(true);
    m_adapter->requestCsvImport(file.lineTexts(), file.form == ConfigCsv::Form::WithUid);
}

void AdapterManage::reportFileProblems(const QList<ConfigCsv::Problem> &problems)
{
    using Problem = ConfigCsv::Problem;
    const Problem &first = problems.first();
    switch (first.kind) {
    case Problem::FileUnreadable:
        qCDebug(lcApp) << "Open Excel file failed!" << first.value;
        MessageBox::notify(dialogParent(), tr("警告"), first.text(), MessageBox::Warning, kRefusalWidth);
        return;
    case Problem::NoHeader:
    case Problem::HeaderField:
        MessageBox::notify(dialogParent(), tr("警告"), first.text(), MessageBox::Warning, kRefusalWidth, 0);
        return;
    default:
        break;
    }
    QStringList shown;
    for (const Problem &problem : problems) {
        appendMessage(MessageWidget::Waring, problem.text(), problem.code());
        if (shown.size() < kProblemsShown)
            shown << problem.text();
    }
    if (problems.size() > kProblemsShown)
        shown << tr("……共%1处错误").arg(problems.size());
    MessageBox::notify(dialogParent(), tr("警告"),
                       tr("配置文件有误,未导入任何数据:") + QLatin1Char('\n') + shown.join(QLatin1Char('\n')),
                       MessageBox::Warning, kRefusalWidth, 0);
}

void AdapterManage::onCsvImported(QList<CsvImportResult> results)
{
    if (!m_csvImportPending)
        return;
    m_csvImportPending = false;
    int applied = 0;
    for (const CsvImportResult &result : results) {
        const ResultMessage line = importLineMessage(result);
        appendMessage(int(line.level), line.logText, line.code);
        applied += result.ok ? 1 : 0;
    }
    // An offline configuration is complete with the import; a live adapter
    // has its modules configured only by the batch configuration.
    if (m_static || !m_adapter)
        return;
    if (applied == 0) {
        m_adapter->setManagerOperation(false);
        return;
    }
    askForBatchConfiguration();
}

void AdapterManage::askForBatchConfiguration()
{
    m_batchPending = true;
    ask(QMessageBox::Information, tr("导入数据完成，是否开始批量配置？"), [this](bool start) {
        if (start)
            startBatchConfiguration();
        else
            endBatchConfiguration(BatchEnd::NothingWritten);
    });
}

void AdapterManage::ask(int icon, const QString &text, std::function<void(bool)> answered)
{
    auto *box = new QMessageBox(QMessageBox::Icon(icon), tr("消息"), text, QMessageBox::NoButton, dialogParent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *yes = box->addButton(tr("确定"), QMessageBox::AcceptRole);
    box->addButton(tr("取消"), QMessageBox::RejectRole);
    box->setDefaultButton(yes);
    connect(box, &QMessageBox::finished, this, [box, yes, answered] { answered(box->clickedButton() == yes); });
    box->open();
}

void AdapterManage::startBatchConfiguration()
{
    if (!m_adapter) {
        endBatchConfiguration();
        return;
    }
    m_batch = true;
    applyMessage(resultMessage(MSG_BATCH_CONFIG, 0));
    downloadConfiguration();
}

void AdapterManage::endBatchConfiguration(BatchEnd end)
{
    m_batch = false;
    m_batchPending = false;
    if (!m_adapter)
        return;
    // The imported lines that were never written are not the modules'.
    if (end == BatchEnd::NothingWritten)
        m_adapter->requestDropUnwritten();
    m_adapter->setManagerOperation(false);
}
