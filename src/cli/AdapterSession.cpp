#include "AdapterSession.h"

#include "LinkTiming.h"
#include "Output.h"
#include "ReadBack.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
// Leaving force mode takes three exchanges; each may run into its time-out.
constexpr int kLeaveForceExchanges = 3;
// Leaving is asked again once when the adapter did not confirm it.
constexpr int kLeaveForceAttempts = 2;
constexpr int kLeaveForceMarginMs = 1000;
} // namespace

QString AdapterSession::Report::text() const
{
    return message.hasBox() ? message.boxText : message.logText;
}

AdapterSession::AdapterSession(Output &output, QObject *parent)
    : QObject(parent)
    , m_output(output)
{
    Adapter::registerMetaTypes();
}

AdapterSession::~AdapterSession()
{
    close();
}

bool AdapterSession::open(const UsbDeviceInfo &device, int alignmentUnit)
{
    m_adapter = new Adapter;
    connect(m_adapter, &Adapter::sigSlaveLoadingFinished, this, &AdapterSession::onLoadingFinished, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigErrMessage, this, &AdapterSession::onErrMessage, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigAdapterState, this, &AdapterSession::onAdapterState, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigOpenSerialPortFail, this, &AdapterSession::onOpenFailed, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigCsvLines, this, &AdapterSession::onCsvLines, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigCsvImported, this, &AdapterSession::onCsvImported, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigSettingsReadBack, this, &AdapterSession::onSettingsReadBack, Qt::QueuedConnection);
    connect(m_adapter, &Adapter::sigStoreReadBack, this, &AdapterSession::onStoreReadBack, Qt::QueuedConnection);
    m_adapter->moveToThread(&m_thread);
    m_thread.start();
    m_adapter->setAlignmentUnit(alignmentUnit);

    emit m_adapter->sigSetSerialPort(device.vendor_id, device.product_id, device.serial_number);
    const Wait wait = sync();
    m_output.endProgress();
    if (wait != Wait::Done || m_openFailed || !failures().isEmpty())
        return false;
    const bool loaded = loadCount(MSG_LOAD_FINISHED) > 0 || loadCount(MSG_LIST_CHANGED) > 0;
    return m_state.linked && loaded;
}

bool AdapterSession::close()
{
    if (!m_adapter)
        return true;
    const bool left = leaveForceMode();
    m_adapter->requestShutdown();
    emit m_adapter->sigClean();
    m_thread.wait();
    m_adapter = nullptr; // deleted with the thread's last deferred deletions
    return left;
}

bool AdapterSession::leaveForceMode()
{
    if (!m_adapter)
        return true;
    if (m_leavingGivenUp)
        return !m_state.forceMode;
    // A request to enter force mode may still be on its way: see what the
    // adapter has done with everything asked so far before deciding there
    // is nothing to leave.
    waitForWorker();
    // Whatever ended the command, the adapter does not stay in force mode:
    // leaving is asked once more when the adapter did not confirm it.
    for (int attempt = 0; attempt < kLeaveForceAttempts && m_state.forceMode; ++attempt) {
        m_output.progress(tr("leaving force mode"));
        emit m_adapter->sigSetFource(false);
        waitForWorker();
        m_output.endProgress();
    }
    m_leavingGivenUp = m_state.forceMode;
    return !m_state.forceMode;
}

// Waits, beyond the user's reach, until the worker has served everything
// asked so far; bounded by the exchanges of leaving force mode.
void AdapterSession::waitForWorker()
{
    const quint64 token = ++m_syncAsked;
    requestSyncAnswer(token);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &AdapterSession::changed, &loop, [&] {
        if (m_syncDone >= token)
            loop.quit();
    });
    timer.start(kLeaveForceExchanges * tarnbus::linkTiming().replyTimeoutMs + kLeaveForceMarginMs);
    if (m_syncDone < token)
        loop.exec();
}

AdapterSession::Wait AdapterSession::sync()
{
    const quint64 token = ++m_syncAsked;
    requestSyncAnswer(token);
    return waitFor([this, token] { return m_syncDone >= token; });
}

void AdapterSession::requestSyncAnswer(quint64 token)
{
    // Runs in the worker thread after everything asked before it; its answer
    // arrives here after every notification the work sent.
    QPointer<AdapterSession> self(this);
    QMetaObject::invokeMethod(
        m_adapter,
        [self, token] {
            QMetaObject::invokeMethod(
                self,
                [self, token] {
                    if (self) {
                        self->m_syncDone = std::max(self->m_syncDone, token);
                        emit self->changed();
                    }
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

AdapterSession::Wait AdapterSession::refresh()
{
    m_adapter->requestReport();
    return sync();
}

AdapterSession::Wait AdapterSession::waitFor(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return Wait::Done;
    if (m_interrupted)
        return Wait::Interrupted;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &AdapterSession::changed, &loop, [&] {
        if (m_interrupted || done())
            loop.quit();
    });
    if (timeoutMs >= 0)
        timer.start(timeoutMs);
    loop.exec();
    if (done())
        return Wait::Done;
    return m_interrupted ? Wait::Interrupted : Wait::TimedOut;
}

QList<AdapterSession::Report> AdapterSession::failures() const
{
    QList<Report> list;
    for (const Report &report : m_reports) {
        if (report.isFailure())
            list << report;
    }
    return list;
}

bool AdapterSession::hasReport(adapter_message_type type, int err) const
{
    for (const Report &report : m_reports) {
        if (report.type == type && qint8(report.err) == qint8(err))
            return true;
    }
    return false;
}

void AdapterSession::interrupt()
{
    m_interrupted = true;
    emit changed();
}

void AdapterSession::onLoadingFinished(adapter_message_type type, AdapterStatus status, SlaveList slaves, int value)
{
    m_status = status;
    // Status-only reports come without slaves.
    if (!slaves.isEmpty() || type == MSG_LOAD_FINISHED || type == MSG_LIST_CHANGED || type == MSG_RELOADED
        || type == MSG_REFRESH_ROWS || type == MSG_BUS_EMPTIED)
        m_slaves = slaves;
    ++m_loadCounts[type];
    showLoadProgress(type, value);
    if (onLoad)
        onLoad(type, m_slaves);
    emit changed();
}

void AdapterSession::showLoadProgress(adapter_message_type type, int value)
{
    switch (type) {
    case MSG_SCAN_PROGRESS:
        m_output.progress(tr("waiting for the bus scan (%1)").arg(value));
        break;
    case MSG_SLAVE_ADDED:
        m_output.progress(tr("loading modules: %1").arg(m_slaves.size()));
        break;
    case MSG_SLAVE_SET:
        m_output.progress(tr("writing modules: %1").arg(m_loadCounts.value(type)));
        break;
    default:
        break;
    }
}

void AdapterSession::onErrMessage(adapter_message_type type, char err, int sid, COMM_STATUS_TYPE status, SlaveList, SlaveList)
{
    Report report;
    report.type = type;
    report.err = err;
    report.sid = sid;
    report.status = status;
    report.message = appcore::resultMessage(type, err, sid, status);
    if (type == MSG_USB_STATE) {
        m_linkLost = err == -2;
        report.linkLost = m_linkLost;
    }
    m_reports << report;
    if (onReport)
        onReport(report);
    emit changed();
}

void AdapterSession::onAdapterState(AdapterState state)
{
    m_state = state;
    emit changed();
}

void AdapterSession::onOpenFailed()
{
    m_openFailed = true;
    Report report;
    report.message = appcore::openFailedMessage();
    m_reports << report;
    emit changed();
}

void AdapterSession::onCsvLines(QStringList lines, bool)
{
    m_csvLines = lines;
    m_csvLinesArrived = true;
    emit changed();
}

void AdapterSession::onCsvImported(QList<CsvImportResult> results)
{
    m_csvResults = results;
    m_csvResultsArrived = true;
    emit changed();
}

void AdapterSession::onSettingsReadBack(SettingsReadBack readBack)
{
    m_settingsReadBack = readBack;
    emit changed();
}

void AdapterSession::onStoreReadBack(SlaveList stored, SlaveList reloaded)
{
    m_storeDifferences = appcore::ReadBack::busDifferences(stored, reloaded);
    emit changed();
}

int AdapterSession::restartWaitMs()
{
    // Restart, the watch that sees the adapter again and its settle time,
    // then the connect sequence's first exchanges.
    constexpr int kConnectExchanges = 8;
    const tarnbus::LinkTiming &t = tarnbus::linkTiming();
    return t.settingsRestartMs + t.replugCheckPeriodMs + t.replugSettleMs + kConnectExchanges * t.connectTimeoutMs;
}
