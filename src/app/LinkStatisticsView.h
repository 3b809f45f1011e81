#pragma once

#include "LinkCounters.h"

#include <QFrame>

namespace Ui {
class LinkStatisticsView;
}

// "通信统计" of the adapter's status panel: the link's counters and round
// trip, with a reset. Error counters above zero are shown in amber.
class LinkStatisticsView : public QFrame
{
    Q_OBJECT

public:
    enum Counter { Transactions, Timeouts, ChecksumErrors, ErrorReports, Refusals, IncompleteReplies, Reconnects, RoundTrip };

    explicit LinkStatisticsView(QWidget *parent = nullptr);
    ~LinkStatisticsView() override;

    void setStatistics(const LinkStatistics &statistics);
    const LinkStatistics &statistics() const { return m_statistics; }
    QString valueText(Counter counter) const;

signals:
    // "复位" was pressed.
    void sigReset();

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::LinkStatisticsView *ui;
    LinkStatistics m_statistics;
};
