#include "MessageWidget.h"

#include "ui_MessageWidget.h"

#include <QDateTime>
#include <QHeaderView>

#include <algorithm>

const QString MessageWidget::kSource = QStringLiteral("TarnBUS");

namespace {
enum Column { LevelColumn, TimeColumn, SourceColumn, TextColumn };
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
}

MessageWidget::~MessageWidget()
{
    delete ui;
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

void MessageWidget::appendMessage(int level, const QString &source, const QString &text)
{
    appendMessages({{level, text}}, source);
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
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd/ hh:mm:ss"));
    for (const Line &line : lines) {
        auto *levelItem = new QTableWidgetItem(levelText(line.level));
        levelItem->setForeground(levelColor(line.level));
        table->setItem(row, LevelColumn, levelItem);
        table->setItem(row, TimeColumn, new QTableWidgetItem(time));
        table->setItem(row, SourceColumn, new QTableWidgetItem(source));
        auto *textItem = new QTableWidgetItem(line.text);
        textItem->setForeground(levelColor(line.level));
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

void MessageWidget::clearMessages()
{
    ui->tableWidget->setRowCount(0);
}
