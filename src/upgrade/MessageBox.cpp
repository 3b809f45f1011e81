#include "MessageBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kIconSize = 48;
}

MessageBox::MessageBox(QWidget *parent, int timeoutMs)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
    , m_icon(new QLabel(this))
    , m_text(new QLabel(this))
    , m_timer(new QTimer(this))
{
    setModal(true);
    m_icon->setFixedSize(kIconSize, kIconSize);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(m_icon, 0, Qt::AlignTop);
    row->addWidget(m_text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QDialog::reject);
    m_timer->start(timeoutMs);
}

int MessageBox::showMessage(const QString &title, const QString &text, Kind kind, int minimumWidth)
{
    setWindowTitle(title);
    m_text->setText(text);
    setMinimumWidth(minimumWidth);
    m_icon->setStyleSheet(kind == Information ? QStringLiteral("image: url(:/image/slave.png);")
                                              : QStringLiteral("image: url(:/image/abnormal.png);"));
    return exec();
}

QString MessageBox::text() const
{
    return m_text->text();
}
