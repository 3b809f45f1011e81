#include "MessageBox.h"

#include "FormTexts.h"

#include "ui_MessageBox.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr int kMaxTextWidth = 520; // wider texts wrap
} // namespace
#include <QTimer>

MessageBox::MessageBox(QWidget *parent, int timeoutMs)
    : QDialog(parent)
    , ui(new Ui::MessageBox)
{
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);
    if (timeoutMs > 0)
        QTimer::singleShot(timeoutMs, this, &QDialog::reject);
}

MessageBox::~MessageBox()
{
    delete ui;
}

void MessageBox::showMessage(const QString &title, const QString &text, Kind kind, int minimumWidth)
{
    m_kind = kind;
    setWindowTitle(title);
    ui->label->setText(text);
    setMinimumWidth(minimumWidth);
    // The whole text shows: its longest line sets the width up to a limit,
    // beyond which it wraps, and the box grows to the lines it wraps to.
    const QFontMetrics metrics(ui->label->font());
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    ui->label->setMinimumWidth(std::min(widest + metrics.averageCharWidth(), kMaxTextWidth));
    adjustSize();
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : sizeHint().height();
    setMinimumHeight(height);
    resize(width(), std::max(this->height(), height));
    switch (kind) {
    case Information:
        ui->icon->setStyleSheet(QStringLiteral("image: url(:/image/slave.png);"));
        break;
    case Warning:
        ui->icon->setStyleSheet(QStringLiteral("image: url(:/image/abnormal.png);"));
        break;
    case Progress:
        ui->icon->setStyleSheet(QStringLiteral("image: url(:/image/wait.png);"));
        break;
    }
    setModal(true);
    open();
}

QString MessageBox::text() const
{
    return ui->label->text();
}

MessageBox *MessageBox::notify(QWidget *parent, const QString &title, const QString &text, Kind kind, int minimumWidth,
                               int timeoutMs)
{
    auto *box = new MessageBox(parent, timeoutMs);
    box->showMessage(title, text, kind, minimumWidth);
    return box;
}

MessageBox *MessageBox::about(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new MessageBox(parent, 0);
    box->showMessage(title, text, Information, 0);
    return box;
}

void MessageBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->label}, true, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
