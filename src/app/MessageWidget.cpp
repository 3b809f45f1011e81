#include "MessageWidget.h"

#include "ui_MessageWidget.h"

#include "FileChooser.h"
#include "RecentFolders.h"
#include "MessageLog.h"

#include <QEvent>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QSaveFile>

#include <algorithm>

const QString MessageWidget::kSource = QStringLiteral("TarnBUS");

namespace {
enum Column { LevelColumn, TimeColumn, SourceColumn, TextColumn };
constexpr int kCodeRole = Qt::UserRole + 1; // on the text's item
constexpr int kMaxLines = 5000; // a long session keeps its recent history

QColor levelColor(int level)
{
    switch (level) {
    case MessageWidget::Error:
        return QColor(198, 40, 40);
    case MessageWidget::Waring:
        return QColor(191, 120, 0);
    case MessageWidget::Inform:
        return QColor(46, 125, 50);
    default:
        return QColor(55, 71, 79);
    }
}
} // namespace

MessageWidget::MessageWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MessageWidget)
{
    ui->setupUi(this);
    // Widths fixed from the longest texts these columns hold: a column that
    // fits itself to its contents measures every row again with each line.
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    const QFontMetrics metrics(ui->tableWidget->font());
    const int padding = 4 * metrics.averageCharWidth();
    header->resizeSection(LevelColumn, metrics.horizontalAdvance(QStringLiteral("Waring")) + padding);
    header->resizeSection(TimeColumn, metrics.horizontalAdvance(QStringLiteral("2026/12/10/ 14:30:25")) + padding);
    header->resizeSection(SourceColumn, metrics.horizontalAdvance(QStringLiteral("TarnBUS")) + padding);
    ui->tableWidget->verticalHeader()->setDefaultSectionSize(22);
    connect(ui->clearButton, &QToolButton::clicked, this, &MessageWidget::clearMessages);
    connect(ui->exportButton, &QToolButton::clicked, this, &MessageWidget::onExportMessages);
}

MessageWidget::~MessageWidget()
{
    delete ui;
}

void MessageWidget::keepLog(const QString &serial, const QString &folder)
{
    m_log = std::make_unique<MessageLog>(serial, folder);
}

QString MessageWidget::logFile() const
{
    return m_log ? m_log->currentFile() : QString();
}

QString MessageWidget::exportCsv(const QString &path) const
{
    const QTableWidget *table = ui->tableWidget;
    QList<MessageLog::Line> lines;
    for (int row = 0; row < table->rowCount(); ++row)
        lines.append({table->item(row, TimeColumn)->data(Qt::UserRole).toDateTime(), table->item(row, LevelColumn)->text(),
                      table->item(row, SourceColumn)->text(), table->item(row, TextColumn)->text(), lineCode(row)});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MessageLog::csv(lines)) < 0 || !file.commit())
        return tr("导出消息失败: %1").arg(file.errorString());
    return QString();
}

void MessageWidget::onExportMessages()
{
    const QString name = QStringLiteral("messages-%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")));
    FileChooser::saveFile(
        this, tr("导出消息"), RecentFolders::kDiagnostics, tr("CSV 文件 (*.csv)"), QStringLiteral("csv"),
        [this](const QString &path) {
            const QString error = exportCsv(path);
            appendMessage(error.isEmpty() ? Inform : Error, kSource,
                          error.isEmpty() ? tr("消息已导出到 %1").arg(QDir::toNativeSeparators(path)) : error,
                          error.isEmpty() ? QStringLiteral("log.exported") : QStringLiteral("log.export_failed"));
        },
        name);
}

QString MessageWidget::levelText(int level)
{
    switch (level) {
    case Error:
        return QStringLiteral("Error");
    case Waring:
        return QStringLiteral("Waring");
    case Inform:
        return QStringLiteral("Inform");
    default:
        return QStringLiteral("None");
    }
}

void MessageWidget::appendMessage(int level, const QString &source, const QString &text, const QString &code)
{
    appendMessages({{level, text, code}}, source);
}

// Many lines at once (a download's summary) take their rows in one step and
// scroll once.
void MessageWidget::appendMessages(const QList<Line> &lines, const QString &source)
{
    QTableWidget *table = ui->tableWidget;
    const int keep = std::max(0, std::min(table->rowCount(), kMaxLines - lines.size()));
    while (table->rowCount() > keep)
        table->removeRow(0);
    int row = table->rowCount();
    table->setRowCount(row + lines.size());
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = MessageLog::timeText(now);
    for (const Line &line : lines) {
        auto *levelItem = new QTableWidgetItem(levelText(line.level));
        levelItem->setForeground(levelColor(line.level));
        table->setItem(row, LevelColumn, levelItem);
        auto *timeItem = new QTableWidgetItem(time);
        timeItem->setData(Qt::UserRole, now);
        table->setItem(row, TimeColumn, timeItem);
        if (m_log)
            m_log->append({now, levelText(line.level), source, line.text, line.code});
        table->setItem(row, SourceColumn, new QTableWidgetItem(source));
        auto *textItem = new QTableWidgetItem(line.text);
        textItem->setForeground(levelColor(line.level));
        textItem->setData(kCodeRole, line.code);
        if (!line.code.isEmpty())
            textItem->setToolTip(line.code);
        table->setItem(row, TextColumn, textItem);
        ++row;
    }
    if (!m_scrollPending) {
        m_scrollPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_scrollPending = false;
            ui->tableWidget->scrollToBottom();
        }, Qt::QueuedConnection);
    }
}

int MessageWidget::count() const
{
    return ui->tableWidget->rowCount();
}

QString MessageWidget::lineText(int i) const
{
    const QTableWidget *table = ui->tableWidget;
    if (i < 0 || i >= table->rowCount())
        return QString();
    return table->item(i, LevelColumn)->text() + QLatin1Char('|') + table->item(i, SourceColumn)->text()
           + QLatin1Char('|') + table->item(i, TextColumn)->text();
}

QString MessageWidget::lineCode(int i) const
{
    const QTableWidget *table = ui->tableWidget;
    if (i < 0 || i >= table->rowCount())
        return QString();
    return table->item(i, TextColumn)->data(kCodeRole).toString();
}

void MessageWidget::clearMessages()
{
    ui->tableWidget->setRowCount(0);
}

void MessageWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
