// The diagnostics of an adapter page: the message list kept in a daily log,
// "通信统计" under the status panel, and the frame trace window.

#include "AdapterManage.h"

#include "FrameTraceDialog.h"
#include "LinkDiagnostics.h"
#include "LinkStatisticsView.h"
#include "MainProductView.h"
#include "MessageWidget.h"
#include "SlaveMainWindow.h"

#include <QDir>
#include <QTimer>

namespace {
constexpr int kStatisticsPeriodMs = 1000;
} // namespace

// The counters are relaxed atomics of the link, made to be read from any
// thread: the page reads their values once a second, never the Adapter.
void AdapterManage::startDiagnostics(const QString &serial)
{
    if (!m_page)
        return;
    MessageWidget *messages = m_page->messageWidget();
    messages->keepLog(serial.isEmpty() ? tr("离线组态") : serial);
    appendMessage(MessageWidget::None, tr("消息日志: %1").arg(QDir::toNativeSeparators(messages->logFile())), QStringLiteral("log.file"));

    LinkStatisticsView *view = m_page->slaveWindow()->linkStatistics();
    if (serial.isEmpty()) {
        view->hide();
        return;
    }
    m_diagnostics = LinkDiagnostics::forSerial(serial);
    // The page counts from its opening: not the chooser's probe, nor a tab
    // of the same adapter closed before.
    m_diagnostics->counters().reset();
    connect(view, &LinkStatisticsView::sigReset, this, [this] {
        if (m_diagnostics)
            m_diagnostics->counters().reset();
        showLinkStatistics();
    });
    if (!m_statisticsTimer) {
        m_statisticsTimer = new QTimer(this);
        connect(m_statisticsTimer, &QTimer::timeout, this, &AdapterManage::showLinkStatistics);
    }
    m_statisticsTimer->start(kStatisticsPeriodMs);
    showLinkStatistics();
}

void AdapterManage::showLinkStatistics()
{
    if (m_page && m_diagnostics)
        m_page->slaveWindow()->linkStatistics()->setStatistics(m_diagnostics->counters().statistics());
}

void AdapterManage::closeDiagnostics()
{
    if (m_statisticsTimer)
        m_statisticsTimer->stop();
    if (m_traceView)
        m_traceView->close();
}

QString AdapterManage::messageLogFile() const
{
    return m_page ? m_page->messageWidget()->logFile() : QString();
}

FrameTraceDialog *AdapterManage::openTrace()
{
    if (!m_diagnostics)
        return nullptr;
    if (!m_traceView) {
        m_traceView = new FrameTraceDialog(m_diagnostics, m_mac, dialogParent());
        m_traceView->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_traceView->show();
    m_traceView->raise();
    m_traceView->activateWindow();
    return m_traceView;
}
