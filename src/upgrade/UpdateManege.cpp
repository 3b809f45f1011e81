#include "UpdateManege.h"

#include "DeviceSearch.h"
#include "UpgradeFile.h"
#include "UpgradeLog.h"
#include "UpgradeProtocol.h"
#include "LinkTiming.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

using namespace upgradeprotocol;

void registerUpgradeMetaTypes()
{
    qRegisterMetaType<Update>("Update");
}

UpdateManege::UpdateManege()
    : m_thread(new QThread)
{
    registerUpgradeMetaTypes();
    connect(this, &UpdateManege::sigUpdate, this, &UpdateManege::onUpdate);
    connect(this, &UpdateManege::sigClose, this, &UpdateManege::onClose);
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    m_thread->start(QThread::InheritPriority);
    moveToThread(m_thread);
}

// The thread ends with the object: quitting it any earlier could leave a
// deletion posted to a thread that no longer runs.
UpdateManege::~UpdateManege()
{
    close();
    m_thread->quit();
}

void UpdateManege::start(quint16 vendorId, quint16 productId, const QString &serialNumber)
{
    emit sigUpdate(1, vendorId, productId, serialNumber);
}

QString UpdateManege::packageVersion() const
{
    return m_blocks.isEmpty() ? QString() : UpgradeFile::headerVersion(m_blocks.first());
}

void UpdateManege::onStopUpdate(QString mac)
{
    if (mac == m_mac)
        cancel();
}

void UpdateManege::onClose()
{
    close();
}

void UpdateManege::onUpdate(int run, ulong vendor_id, ulong product_id, QString serial_number)
{
    if (run == 0)
        return;
    const Outcome outcome = upgrade(quint16(vendor_id), quint16(product_id), serial_number);
    // The device is not needed any more, whatever the outcome; a new upgrade
    // of it may start as soon as this one has reported.
    close();
    switch (outcome) {
    case Outcome::Complete:
        progress(UPDATE_PHASE, upgradephase::kComplete);
        break;
    case Outcome::ConnectFailed:
        emit sigConnectFailed(m_row);
        break;
    case Outcome::ExchangeFailed:
        emit sigError(m_row, m_name, m_mac);
        break;
    case Outcome::EnterRefused:
        emit sigRunBurningFailed(UPDATE_ENTER_REFUSED);
        break;
    case Outcome::BurnRefused:
        emit sigRunBurningFailed(UPDATE_BURN_REFUSED);
        break;
    case Outcome::Failed:
        emit sigUpdateFailed(m_row, m_name, m_mac);
        break;
    case Outcome::WrongVersion:
        emit sigWrongVersion(m_row, m_name, m_mac, packageVersion(), m_foundVersion);
        break;
    case Outcome::NotBack: {
        const tarnbus::LinkTiming::Upgrade &timing = tarnbus::linkTiming().upgrade;
        emit sigNotBack(m_row, m_name, m_mac, timing.restartWaitMs + timing.returnWaitMs);
        break;
    }
    }
}

UpdateManege::Outcome UpdateManege::upgrade(quint16 vendorId, quint16 productId, const QString &serialNumber)
{
    // Nothing to flash, or blocks of the wrong size: the device is not touched.
    const bool wholeBlocks = std::all_of(m_blocks.cbegin(), m_blocks.cend(),
                                         [](const QByteArray &block) { return block.size() == UpgradeFile::kBlockSize; });
    if (m_blocks.isEmpty() || !wholeBlocks)
        return Outcome::Failed;
    if (open(vendorId, productId, serialNumber) != 0)
        return Outcome::ConnectFailed;
    m_serial = serialNumber;

    QByteArray reply;
    if (!exchange(report(CmdDeviceInfo), reply))
        return Outcome::ExchangeFailed;

    // Every step must be acknowledged before the next one is sent: a device
    // that did not answer is in no known state.
    if (!exchange(report(CmdEnterUpgrade), reply))
        return Outcome::ExchangeFailed;
    if (!succeeded(reply, CmdEnterUpgrade)) {
        qCDebug(lcUpgrade) << "启动升级失败";
        return Outcome::EnterRefused;
    }
    if (!exchange(report(CmdStartBurning), reply))
        return Outcome::ExchangeFailed;
    if (!succeeded(reply, CmdStartBurning))
        return Outcome::BurnRefused;
    const quint32 address = startAddress(reply);
    if (!exchange(report(CmdBeginTransfer), reply))
        return Outcome::ExchangeFailed;
    if (!succeeded(reply, CmdBeginTransfer))
        return Outcome::Failed;

    progress(UPDATE_PHASE, upgradephase::kBegun);
    const Outcome sent = sendBlocks(address);
    if (sent != Outcome::Complete)
        return sent;
    const Outcome finished = finish();
    return finished == Outcome::Complete ? readBack(vendorId, productId) : finished;
}

UpdateManege::Outcome UpdateManege::sendBlocks(quint32 address)
{
    constexpr int kLastPieceOffset = kPiecesPerBlock * kPieceSize;
    QByteArray reply;
    for (int index = 0; index < m_blocks.size(); ++index) {
        const QByteArray &block = m_blocks.at(index);
        // A block the device did not take would leave a hole in its image.
        if (!exchange(announceBlock(address), reply))
            return Outcome::ExchangeFailed;
        if (!succeeded(reply, CmdAnnounceBlock))
            return Outcome::Failed;
        for (int offset = 0; offset < kLastPieceOffset; offset += kPieceSize) {
            progress(UPDATE_PROGRESS, index * UpgradeFile::kBlockSize + offset);
            if (write(blockData(block.constData() + offset, kPieceSize)) != kOk)
                return Outcome::ExchangeFailed;
        }
        if (!exchange(blockData(block.constData() + kLastPieceOffset, kLastPieceSize), reply))
            return Outcome::ExchangeFailed;
        if (!succeeded(reply, CmdBlockData))
            return Outcome::Failed;
        address += quint32(UpgradeFile::kBlockSize); // wraps at 2^32
    }
    return Outcome::Complete;
}

UpdateManege::Outcome UpdateManege::finish()
{
    QByteArray reply;
    for (const quint8 command : {CmdFinishFirst, CmdFinishSecond}) {
        if (!exchange(report(command), reply))
            return Outcome::ExchangeFailed;
        if (!succeeded(reply, command))
            return Outcome::Failed;
    }

    // The device may restart before its reply is out: a read that failed
    // because it went away, or no reply at all, counts as the restart.
    reply = onWriteData(report(CmdRestart));
    if (isCancelled() || !lastReportSent())
        return Outcome::ExchangeFailed;
    const bool restarting = status() != kOk || lastReadTimedOut() || succeeded(reply, CmdRestart);
    if (!restarting)
        return Outcome::Failed;
    progress(UPDATE_PHASE, upgradephase::kWritten);
    if (!pause(tarnbus::linkTiming().upgrade.restartWaitMs))
        return Outcome::ExchangeFailed;
    qCDebug(lcUpgrade) << "---------" << m_serial;
    return Outcome::Complete;
}

// Every acknowledgement only says that the boot loader took the image; the
// device running it afterwards is what the upgrade is for.
UpdateManege::Outcome UpdateManege::readBack(quint16 vendorId, quint16 productId)
{
    const tarnbus::LinkTiming::Upgrade &timing = tarnbus::linkTiming().upgrade;
    // The handle went with the device when it left USB to restart.
    close();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (open(vendorId, productId, m_serial) == 0) {
            const upgradesearch::Reading reading = upgradesearch::ask(*this, timing.searchReplyTimeoutMs);
            close();
            if (isCancelled())
                return Outcome::ExchangeFailed;
            if (reading.result == upgradesearch::Reading::Answered) {
                m_foundVersion = reading.info.appVersion;
                emit sigVersionRead(m_row, m_name, m_mac, m_foundVersion);
                if (upgradeprotocol::isPackageVersion(m_foundVersion, packageVersion()))
                    return Outcome::Complete;
                qCWarning(lcUpgrade) << m_serial << "came back with" << m_foundVersion << "instead of" << packageVersion();
                return Outcome::WrongVersion;
            }
        }
        if (waited.hasExpired(timing.returnWaitMs)) {
            qCWarning(lcUpgrade) << m_serial << "is not back after its restart";
            return Outcome::NotBack;
        }
        if (!pause(timing.returnPollMs))
            return Outcome::ExchangeFailed;
    }
}

bool UpdateManege::exchange(const QByteArray &report, QByteArray &reply)
{
    reply = onWriteData(report);
    return status() == kOk;
}

void UpdateManege::progress(Update type, int value)
{
    emit sigUpdateProcess(type, value, m_row, m_name, m_mac);
}
