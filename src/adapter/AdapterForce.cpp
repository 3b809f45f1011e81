// Force mode and the cyclic process-data exchange.

#include "Adapter.h"

#include "LinkTiming.h"
#include "Slave.h"
#include "SlaveIOData.h"
#include "TBProtocol.h"
#include "TBReplies.h"

#include <QTimer>

using tarnbus::linkTiming;

namespace {
constexpr int kNoStation = -1; // a station no record answers at
// The cause of a force-start failure when the adapter refuses it: its
// controller (bit 0 of the failure's causes).
constexpr char kForceStartRefused = 0x01;
} // namespace

void Adapter::onSetFourceModel(bool on)
{
    if (!on) {
        leaveForceMode();
        return;
    }
    if (m_forceMode) {
        reportLoad(MSG_FORCE_STATE);
        return;
    }
    if (m_upgradeRunning || !usbStatusCheck())
        return;
    beginOperation();
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::enterForceMode(), reply, linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    if (result == COMM_OK) {
        startForceMode();
    } else if (result == COMM_REFUSED) {
        // The adapter said no and forces nothing: its controller refused.
        reportError(MSG_FORCE_START_FAILED, kForceStartRefused);
    } else {
        reportError(MSG_OPERATION_FAILED, AdapterOperation::ForceOn, 0, result);
        // The request may have been carried out with its answer lost: the
        // adapter may be forcing. Until leaving is confirmed the tool says
        // so, and leaves at once (after a lost link, once it is back).
        markForceUncertain();
        endOperation(result, LinkLoss::Release);
        if (result != COMM_NOT_CONNECTED)
            leaveForceMode();
        return;
    }
    endOperation(result, LinkLoss::Release); // polling stays off in force mode
}

void Adapter::startForceMode()
{
    m_forceMode = true;
    m_status.fource = 1;
    for (Slave *slave : qAsConst(m_slaves))
        slave->setForced(true);
    m_ioTimer->start(linkTiming().processDataPeriodMs);
    reportLoad(MSG_FORCE_STATE);
}

void Adapter::markForceUncertain()
{
    if (m_forceMode)
        return;
    m_forceMode = true;
    m_status.fource = 1;
    for (Slave *slave : qAsConst(m_slaves))
        slave->setForced(true);
    reportLoad(MSG_FORCE_STATE);
}

// The adapter is out of force mode only when it has taken all three steps:
// every output off, the handshake, and the leave command. Until then force
// mode stays on in the tool, the process-data cycle keeps the outputs at
// zero, and leaving may be asked again.
bool Adapter::runLeaveSequence(COMM_STATUS_TYPE &result)
{
    if (m_ioTimer)
        m_ioTimer->stop();
    // Whatever happens next, no output is asked to be on any more.
    fillOutputImage(0);
    for (Slave *slave : qAsConst(m_slaves))
        SlaveIOData::clearOutputs(*slave);
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    result = exchange(TBProtocol::exchangeProcessData(QByteArray(kOutputImageSize, '\0')), reply, timeout);
    if (result == COMM_OK) {
        result = exchange(TBProtocol::handshake(), reply, timeout);
        if (result == COMM_OK && !TBReply::isHandshakeReady(reply))
            result = COMM_CHECK_ERROR;
    }
    if (result == COMM_OK)
        result = exchange(TBProtocol::leaveForceMode(), reply, timeout);
    return result == COMM_OK;
}

void Adapter::leaveForceMode()
{
    if (!m_forceMode) {
        reportLoad(MSG_FORCE_STATE);
        return;
    }
    m_busy = true;
    COMM_STATUS_TYPE result = COMM_OK;
    const bool left = runLeaveSequence(result);
    if (stopping())
        return;
    if (left) {
        reportLoad(MSG_SLAVE_SET);
        endForceMode();
        reportLoad(MSG_FORCE_STATE);
        m_busy = false;
        startPolling();
        return;
    }
    reportError(MSG_OPERATION_FAILED, AdapterOperation::ForceOff, 0, result);
    reportLoad(MSG_FORCE_STATE);
    m_busy = false;
    // The cycle goes on with every output off, so that the inputs stay live
    // and the adapter hears nothing but zeros until leaving succeeds.
    if (m_linked && m_ioTimer)
        m_ioTimer->start(linkTiming().processDataPeriodMs);
}

// Force mode is over for this side of the link. The output image is cleared
// so that the next force mode does not switch the old outputs on again with
// its first exchange.
void Adapter::endForceMode()
{
    if (m_ioTimer)
        m_ioTimer->stop();
    m_forceMode = false;
    m_status.fource = 0;
    fillOutputImage(0);
    for (Slave *slave : qAsConst(m_slaves))
        slave->setForced(false);
}

void Adapter::onReadInputData()
{
    m_ioTimer->stop();
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::exchangeProcessData(m_outputImage), reply, linkTiming().replyTimeoutMs);
    if (stopping())
        return;
    if (reply.isEmpty()) {
        reportError(MSG_NO_REPLY_DATA, char(result));
        return;
    }
    if (result == COMM_OK) {
        const TBReply::ProcessData data = TBReply::decodeProcessData(reply);
        // The reply carries the whole input image, so every module's inputs
        // are current after each cycle; the state bytes are those of the one
        // station the adapter reports this time.
        const Slave *reported = findSlaveByStation(data.station);
        for (Slave *slave : qAsConst(m_slaves)) {
            const int station = slave == reported ? data.station : kNoStation;
            slave->onInputImage(station, m_status.fource, data.stationStatus, data.inputImage);
        }
        storeStatusFlags(data.status);
        reportLoad(MSG_STATUS);
        m_ioTimer->start(linkTiming().processDataPeriodMs);
        return;
    }
    reportError(MSG_TRANSACTION_FAILED, char(result));
    storeStatusFlags(0);
    reportLoad(MSG_STATUS);
    if (result != COMM_NOT_CONNECTED)
        m_ioTimer->start(linkTiming().processDataPeriodMs);
}

void Adapter::fillOutputImage(char value)
{
    m_outputImage.fill(value, kOutputImageSize);
}

void Adapter::onWriteOutputData(int station)
{
    if (Slave *slave = findSlaveByStation(station))
        writeOutputsOf(slave);
}

void Adapter::writeOutputsOf(Slave *slave)
{
    m_outputStation = slave->stationId;
    if (m_allOutputs)
        fillOutputImage(char(0xFF));
    SlaveIOData::writeOutputs(*slave, m_outputImage);
}

void Adapter::onOpenAllOut(bool on)
{
    m_allOutputs = on;
    fillOutputImage(on ? char(0xFF) : char(0));
}
