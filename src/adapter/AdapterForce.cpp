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
} // namespace

void Adapter::onSetFourceModel(bool on)
{
    if (!on) {
        leaveForceMode();
        return;
    }
    if (m_upgradeRunning || !usbStatusCheck())
        return;
    beginOperation();
    QByteArray reply;
    const COMM_STATUS_TYPE result = exchange(TBProtocol::enterForceMode(), reply, linkTiming().replyTimeoutMs);
    if (result != COMM_OK)
        reportError(MSG_TRANSACTION_FAILED, char(result));
    if (result != COMM_NOT_CONNECTED) {
        m_forceMode = true;
        m_status.fource = 1;
        for (Slave *slave : qAsConst(m_slaves))
            slave->setForced(true);
        m_ioTimer->start(linkTiming().processDataPeriodMs);
        reportLoad(MSG_FORCE_STATE);
    }
    endOperation(result, LinkLoss::Release); // polling stays off in force mode
}

void Adapter::leaveForceMode()
{
    if (m_ioTimer)
        m_ioTimer->stop();
    const int timeout = linkTiming().replyTimeoutMs;
    QByteArray reply;
    COMM_STATUS_TYPE result = exchange(TBProtocol::exchangeProcessData(QByteArray(kOutputImageSize, '\0')), reply, timeout);
    if (result == COMM_OK)
        result = exchange(TBProtocol::handshake(), reply, timeout);
    if (result == COMM_OK) {
        fillOutputImage(0);
        for (Slave *slave : qAsConst(m_slaves))
            SlaveIOData::clearOutputs(*slave);
        result = exchange(TBProtocol::leaveForceMode(), reply, timeout);
        if (result == COMM_OK)
            reportLoad(MSG_SLAVE_SET);
    }
    if (result != COMM_OK) {
        if (stopping())
            return;
        reportError(MSG_TRANSACTION_FAILED, char(result));
        if (result == COMM_NOT_CONNECTED)
            return;
    }
    endForceMode();
    reportLoad(MSG_FORCE_STATE);
    startPolling();
}

// Force mode is over for this side of the link. The output image is cleared
// whatever ended it, so that the next force mode does not switch the old
// outputs on again with its first exchange.
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
