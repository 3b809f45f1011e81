#include "FrameTraceDialog.h"

#include "FormTexts.h"

#include "ui_FrameTraceDialog.h"

#include "CommStatus.h"
#include "FileChooser.h"
#include "RecentFolders.h"
#include "FrameTraceModel.h"
#include "LinkDiagnostics.h"
#include "MessageBox.h"
#include "TraceExport.h"

#include <QEvent>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>

using namespace tarnbus::trace;

namespace {

constexpr int kFollowMs = 1000;
constexpr int kBytesPerLine = 16;

QString fieldText(Field field)
{
    switch (field) {
    case Field::Marker: return FrameTraceDialog::tr("标记");
    case Field::Length: return FrameTraceDialog::tr("长度");
    case Field::Header: return FrameTraceDialog::tr("帧头");
    case Field::Command: return FrameTraceDialog::tr("命令");
    case Field::Parameters: return FrameTraceDialog::tr("参数");
    case Field::Data: return FrameTraceDialog::tr("数据");
    case Field::Checksum: return FrameTraceDialog::tr("CRC");
    case Field::Padding: return FrameTraceDialog::tr("填充");
    case Field::Arguments: return FrameTraceDialog::tr("参数");
    case Field::Result: return FrameTraceDialog::tr("结果");
    }
    return QString();
}

QString fieldColor(Field field)
{
    switch (field) {
    case Field::Marker: return QStringLiteral("#6a1b9a");
    case Field::Length: return QStringLiteral("#8e24aa");
    case Field::Header: return QStringLiteral("#455a64");
    case Field::Command: return QStringLiteral("#c62828");
    case Field::Parameters: return QStringLiteral("#ef6c00");
    case Field::Data: return QStringLiteral("#1565c0");
    case Field::Checksum: return QStringLiteral("#2e7d32");
    case Field::Padding: return QStringLiteral("#9e9e9e");
    case Field::Arguments: return QStringLiteral("#ef6c00");
    case Field::Result: return QStringLiteral("#2e7d32");
    }
    return QStringLiteral("#000000");
}

} // namespace

FrameTraceDialog::FrameTraceDialog(std::shared_ptr<LinkDiagnostics> diagnostics, const QString &title, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FrameTraceDialog)
    , m_diagnostics(std::move(diagnostics))
    , m_model(new FrameTraceModel(this))
    , m_follow(new QTimer(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("帧跟踪 - %1").arg(title));
    ui->traceTable->setModel(m_model);
    QHeaderView *header = ui->traceTable->horizontalHeader();
    const QFontMetrics metrics(ui->traceTable->font());
    const int pad = 3 * metrics.averageCharWidth();
    header->resizeSection(FrameTraceModel::SequenceColumn, metrics.horizontalAdvance(QStringLiteral("000000")) + pad);
    header->resizeSection(FrameTraceModel::TimeColumn, metrics.horizontalAdvance(QStringLiteral("0000.000000")) + pad);
    header->resizeSection(FrameTraceModel::DirectionColumn, metrics.horizontalAdvance(tr("接收")) + pad);
    header->resizeSection(FrameTraceModel::PartColumn, metrics.horizontalAdvance(QStringLiteral("upgrade request")) + pad);
    header->resizeSection(FrameTraceModel::CodeColumn, metrics.horizontalAdvance(QStringLiteral("00 00 00")) + pad);
    header->resizeSection(FrameTraceModel::NameColumn, metrics.horizontalAdvance(QStringLiteral("write slave configuration")) + pad);
    header->resizeSection(FrameTraceModel::StationColumn, metrics.horizontalAdvance(tr("站号")) + pad);
    header->resizeSection(FrameTraceModel::ResultColumn, metrics.horizontalAdvance(QStringLiteral("checksum error (拒绝标记)")) + pad);
    ui->traceTable->verticalHeader()->setDefaultSectionSize(22);
    ui->splitter->setSizes({420, 180});
    ui->rawView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    ui->recordCheck->setChecked(m_diagnostics->trace().isOn());
    connect(ui->recordCheck, &QCheckBox::toggled, this, &FrameTraceDialog::setRecording);
    connect(ui->refreshButton, &QToolButton::clicked, this, &FrameTraceDialog::refresh);
    connect(ui->clearButton, &QToolButton::clicked, this, [this] {
        m_diagnostics->trace().clear();
        refresh();
    });
    for (QComboBox *box : {ui->commandFilter, ui->stationFilter, ui->resultFilter})
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, &FrameTraceDialog::applyFilter);
    connect(ui->traceTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &FrameTraceDialog::showSelected);
    connect(ui->exportTextButton, &QToolButton::clicked, this, [this] { exportAs(false); });
    connect(ui->exportPcapButton, &QToolButton::clicked, this, [this] { exportAs(true); });
    connect(m_follow, &QTimer::timeout, this, &FrameTraceDialog::refresh);
    if (isRecording())
        m_follow->start(kFollowMs);
    refresh();
}

FrameTraceDialog::~FrameTraceDialog()
{
    delete ui;
}

void FrameTraceDialog::setRecording(bool on)
{
    m_diagnostics->trace().setOn(on);
    if (ui->recordCheck->isChecked() != on)
        ui->recordCheck->setChecked(on);
    if (on)
        m_follow->start(kFollowMs);
    else
        m_follow->stop();
    refresh();
}

bool FrameTraceDialog::isRecording() const
{
    return m_diagnostics->trace().isOn();
}

void FrameTraceDialog::refresh()
{
    const QModelIndex current = ui->traceTable->currentIndex();
    const quint64 selected = current.isValid() ? m_model->entryAt(current.row()).sequence : 0;
    QScrollBar *scroll = ui->traceTable->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    m_model->setEntries(m_diagnostics->trace().entries(), m_diagnostics->trace().clock().steadyNs);
    fillFilters();
    const int row = selected ? m_model->rowOf(selected) : -1;
    if (row >= 0)
        ui->traceTable->setCurrentIndex(m_model->index(row, 0));
    if (atEnd)
        ui->traceTable->scrollToBottom();
    ui->countLabel->setText(tr("%1 个报文,显示 %2 个;%3")
                                .arg(m_model->totalCount())
                                .arg(m_model->rowCount())
                                .arg(isRecording() ? tr("正在记录") : tr("记录已关闭")));
    showSelected();
}

// The choices follow what the trace holds; a choice made stays.
void FrameTraceDialog::fillFilters()
{
    m_filling = true;
    const auto refill = [](QComboBox *box, const QString &any, const QList<QPair<QString, QVariant>> &items) {
        const QVariant chosen = box->currentData();
        box->clear();
        box->addItem(any, QVariant());
        for (const auto &item : items)
            box->addItem(item.first, item.second);
        const int keep = chosen.isValid() ? box->findData(chosen) : 0;
        if (keep < 0)
            box->addItem(chosen.toString(), chosen); // still chosen, though no longer in the trace
        box->setCurrentIndex(keep < 0 ? box->count() - 1 : keep);
    };
    QList<QPair<QString, QVariant>> commands;
    for (const QString &name : m_model->commandNames())
        commands.append({name, name});
    refill(ui->commandFilter, tr("全部"), commands);
    QList<QPair<QString, QVariant>> stations;
    for (int station : m_model->stations())
        stations.append({QString::number(station), station});
    refill(ui->stationFilter, tr("全部"), stations);
    QList<QPair<QString, QVariant>> results;
    for (int result : m_model->results())
        results.append({resultName(result), result});
    refill(ui->resultFilter, tr("全部"), results);
    m_filling = false;
}

void FrameTraceDialog::applyFilter()
{
    if (m_filling)
        return;
    const QVariant command = ui->commandFilter->currentData();
    const QVariant station = ui->stationFilter->currentData();
    const QVariant result = ui->resultFilter->currentData();
    m_model->setFilter(command.isValid() ? command.toString() : QString(),
                       station.isValid() ? station.toInt() : FrameTraceModel::kAnyStation,
                       result.isValid() ? result.toInt() : FrameTraceModel::kAnyResult);
    ui->countLabel->setText(tr("%1 个报文,显示 %2 个;%3")
                                .arg(m_model->totalCount())
                                .arg(m_model->rowCount())
                                .arg(isRecording() ? tr("正在记录") : tr("记录已关闭")));
    showSelected();
}

QString FrameTraceDialog::rawHtml() const
{
    const QModelIndex current = ui->traceTable->currentIndex();
    if (!current.isValid())
        return QString();
    const Entry &entry = m_model->entryAt(current.row());
    const QVector<FieldRange> fields = fieldsOf(entry);
    const auto fieldAt = [&fields](int i) -> const FieldRange * {
        for (const FieldRange &f : fields) {
            if (i >= f.begin && i < f.end)
                return &f;
        }
        return nullptr;
    };
    QString html = QStringLiteral("<p><b>%1</b> %2 &nbsp; %3 &nbsp; %4 %5</p><pre>")
                       .arg(m_model->data(m_model->index(current.row(), FrameTraceModel::SequenceColumn)).toString(),
                            m_model->data(m_model->index(current.row(), FrameTraceModel::DirectionColumn)).toString(),
                            partName(entry.meaning.part).toHtmlEscaped(), FrameTraceModel::nameOf(entry).toHtmlEscaped(),
                            m_model->data(m_model->index(current.row(), FrameTraceModel::CodeColumn)).toString());
    for (int i = 0; i < entry.size; ++i) {
        if (i % kBytesPerLine == 0)
            html += QStringLiteral("%1%2  ").arg(i == 0 ? QString() : QStringLiteral("\n")).arg(i, 2, 10, QLatin1Char('0'));
        const FieldRange *f = fieldAt(i);
        const QString byte = QStringLiteral("%1").arg(entry.bytes[size_t(i)], 2, 16, QLatin1Char('0')).toUpper();
        html += f ? QStringLiteral("<span style=\"color:%1\">%2</span> ").arg(fieldColor(f->field), byte) : byte + QLatin1Char(' ');
    }
    html += QStringLiteral("</pre><p>");
    QStringList legend;
    for (const FieldRange &f : fields) {
        const QString range = f.end - f.begin == 1 ? QString::number(f.begin) : QStringLiteral("%1-%2").arg(f.begin).arg(f.end - 1);
        legend << QStringLiteral("<span style=\"color:%1\">■ %2 %3</span>").arg(fieldColor(f.field), fieldText(f.field), range);
    }
    html += legend.join(QStringLiteral(" &nbsp; ")) + QStringLiteral("</p><p>");
    switch (entry.meaning.crc) {
    case Crc::Good:
        html += tr("CRC 校验正确(第 70、71 字节,高字节在前)");
        break;
    case Crc::Bad:
        html += QStringLiteral("<span style=\"color:#c62828\"><b>%1</b></span>").arg(tr("CRC 校验错误"));
        break;
    case Crc::NotApplicable:
        html += entry.channel == Channel::Upgrade ? tr("升级报文,无帧 CRC") : tr("CRC 在帧的第二个报文中");
        break;
    }
    if (entry.meaning.refused)
        html += QStringLiteral(" &nbsp; <span style=\"color:#c62828\"><b>%1</b></span>").arg(tr("适配器拒绝了此请求"));
    html += QStringLiteral(" &nbsp; %1 %2").arg(tr("结果:"), resultName(entry.meaning.result).toHtmlEscaped());
    return html + QStringLiteral("</p>");
}

void FrameTraceDialog::showSelected()
{
    ui->rawView->setHtml(rawHtml());
}

QString FrameTraceDialog::exportTo(const QString &path) const
{
    Capture capture = captureOf(*m_diagnostics);
    capture.entries = m_model->shownEntries();
    return writeTrace(path, {capture});
}

void FrameTraceDialog::exportAs(bool pcap)
{
    const QString name = QStringLiteral("trace-%1-%2.%3")
                             .arg(m_diagnostics->serial(), QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")),
                                  pcap ? QStringLiteral("pcap") : QStringLiteral("txt"));
    FileChooser::saveFile(
        this, pcap ? tr("导出 pcap") : tr("导出文本"), RecentFolders::kDiagnostics,
        pcap ? tr("USB 抓包 (*.pcap)") : tr("文本文件 (*.txt)"), pcap ? QStringLiteral("pcap") : QStringLiteral("txt"),
        [this](const QString &path) {
            const QString error = exportTo(path);
            if (!error.isEmpty())
                MessageBox::notify(this, tr("提示"), error, MessageBox::Warning, 260);
        },
        name);
}

void FrameTraceDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->countLabel}, true, [this] { ui->retranslateUi(this); });
        applyFilter(); // the count, in the new language
        FormTexts::widenToTexts(ui->traceTable->horizontalHeader());
    }
    QDialog::changeEvent(event);
}
