#include "LinkStatisticsView.h"

#include "FormTexts.h"

#include "ui_LinkStatisticsView.h"

#include "LinkStatisticsText.h"

namespace {
const QString kAttention = QStringLiteral("color: rgb(191, 120, 0); font-weight: bold;");
} // namespace

LinkStatisticsView::LinkStatisticsView(QWidget *parent)
    : QFrame(parent)
    , ui(new Ui::LinkStatisticsView)
{
    ui->setupUi(this);
    connect(ui->resetButton, &QToolButton::clicked, this, &LinkStatisticsView::sigReset);
    setStatistics(LinkStatistics());
}

LinkStatisticsView::~LinkStatisticsView()
{
    delete ui;
}

void LinkStatisticsView::setStatistics(const LinkStatistics &s)
{
    m_statistics = s;
    const auto show = [](QLabel *label, quint64 value, bool isError) {
        label->setText(QString::number(value));
        label->setStyleSheet(isError && value > 0 ? kAttention : QString());
    };
    show(ui->transactions, s.transactions, false);
    show(ui->timeouts, s.timeouts, true);
    show(ui->checksumErrors, s.checksumErrors, true);
    show(ui->errorReports, s.errorReports, true);
    show(ui->refusals, s.refusals, true);
    show(ui->incompleteReplies, s.incompleteReplies, true);
    show(ui->reconnects, s.reconnects, true);
    ui->roundTrip->setText(s.roundTrips == 0 ? QStringLiteral("-")
                                             : tr("最近 %1 / 平均 %2 / 最大 %3")
                                                   .arg(appcore::roundTripText(s.lastRoundTripUs),
                                                        appcore::roundTripText(s.meanRoundTripUs),
                                                        appcore::roundTripText(s.maxRoundTripUs)));
}

QString LinkStatisticsView::valueText(Counter counter) const
{
    switch (counter) {
    case Transactions: return ui->transactions->text();
    case Timeouts: return ui->timeouts->text();
    case ChecksumErrors: return ui->checksumErrors->text();
    case ErrorReports: return ui->errorReports->text();
    case Refusals: return ui->refusals->text();
    case IncompleteReplies: return ui->incompleteReplies->text();
    case Reconnects: return ui->reconnects->text();
    case RoundTrip: return ui->roundTrip->text();
    }
    return QString();
}

void LinkStatisticsView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->roundTrip}, false, [this] { ui->retranslateUi(this); });
    QFrame::changeEvent(event);
}
