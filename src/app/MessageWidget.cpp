#include "MessageWidget.h"

#include "ui_MessageWidget.h"

#include <QDateTime>
#include <QHeaderView>

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
    QTableWidget *table = ui->tableWidget;
    if (table->rowCount() >= kMaxLines)
        table->removeRow(0);
    const int row = table->rowCount();
    table->insertRow(row);
    auto *levelItem = new QTableWidgetItem(levelText(level));
    levelItem->setForeground(levelColor(level));
    table->setItem(row, LevelColumn, levelItem);
    table->setItem(row, TimeColumn,
                   new QTableWidgetItem(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd/ hh:mm:ss"))));
    table->setItem(row, SourceColumn, new QTableWidgetItem(source));
    auto *textItem = new QTableWidgetItem(text);
    textItem->setForeground(levelColor(level));
    table->setItem(row, TextColumn, textItem);
    // Many lines at once (a download's summary) scroll once.
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
