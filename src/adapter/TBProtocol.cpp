#include "TBProtocol.h"

#include "UsbGlobal.h"

namespace {
const quint8 *bytesOf(const QByteArray &frame)
{
    return reinterpret_cast<const quint8 *>(frame.constData());
}
} // namespace

QByteArray TBProtocol::header(quint8 code, quint8 param1, quint8 param2)
{
    QByteArray frame(kFrameSize, '\0');
    frame[0] = char(kFrameMarker);
    frame[2] = char(kAddress);
    frame[3] = char(code);
    frame[4] = char(param1);
    frame[5] = char(param2);
    return frame;
}

QByteArray TBProtocol::buildFrame(QByteArray header, const QByteArray &data)
{
    Q_ASSERT(header.size() == kFrameSize);
    Q_ASSERT(data.size() <= kDataSize);
    header.replace(kDataOffset, qMin<int>(data.size(), kDataSize), data.left(kDataSize));
    const quint16 crc = UsbGlobal::crc16(bytesOf(header), kChecksumOffset, 0);
    // crc16 returns the register byte-swapped: its low byte is the CRC's high byte.
    header[kChecksumOffset] = char(crc & 0xFF);
    header[kChecksumOffset + 1] = char(crc >> 8);
    return header;
}

bool TBProtocol::hasValidChecksum(const QByteArray &frame)
{
    return UsbGlobal::hasValidFrameChecksum(frame);
}

QByteArray TBProtocol::readIdentity() { return buildFrame(header(CmdReadIdentity, 0x00, 0x00)); }
QByteArray TBProtocol::readPower() { return buildFrame(header(CmdReadPower, 0x00, 0x00)); }
QByteArray TBProtocol::readSettings() { return buildFrame(header(CmdReadSettings, 0x00, 0x00)); }
QByteArray TBProtocol::leaveForceMode() { return buildFrame(header(CmdLeaveForceMode, 0x00, 0x00)); }
QByteArray TBProtocol::readBusStatus() { return buildFrame(header(CmdReadStatus, 0x00, 0x80)); }
QByteArray TBProtocol::readSlaveInfo(quint8 station) { return buildFrame(header(CmdReadStatus, station, 0x02)); }
QByteArray TBProtocol::readPendingIdentity() { return buildFrame(header(CmdReport, 0x06, 0x00)); }
QByteArray TBProtocol::setSlaveLamp(const QByteArray &data) { return buildFrame(header(CmdReport, 0x10, 0x00), data); }

QByteArray TBProtocol::writeSettings(quint8 settings, quint16 threshold, bool changeThreshold)
{
    QByteArray frame = header(CmdWriteSettings, settings, 0x00);
    frame[kDataOffset] = char(threshold & 0xFF);
    frame[kDataOffset + 1] = char(threshold >> 8);
    if (changeThreshold) {
        frame[kDataOffset + 2] = char(kThresholdChangeMarker & 0xFF);
        frame[kDataOffset + 3] = char(kThresholdChangeMarker >> 8);
    }
    return buildFrame(frame);
}

QByteArray TBProtocol::applySettings() { return buildFrame(header(CmdWriteSettings, 0xAA, 0x55)); }
QByteArray TBProtocol::storeConfiguration() { return buildFrame(header(CmdConfiguration, 0x34, 0x12)); }
QByteArray TBProtocol::writeSlaveConfig(const QByteArray &data) { return buildFrame(header(CmdConfiguration, 0x01, 0x00), data); }
QByteArray TBProtocol::downloadConfiguration(const QByteArray &data) { return buildFrame(header(CmdConfiguration, 0x00, 0x02), data); }
QByteArray TBProtocol::requestPendingIdentity() { return buildFrame(header(CmdAssignment, 0xAA, 0x55)); }
QByteArray TBProtocol::writeAddressAssignment(const QByteArray &record) { return buildFrame(header(CmdAssignment, 0x00, 0x02), record); }
QByteArray TBProtocol::handshake() { return buildFrame(header(CmdHandshake, 0x00, 0xEC)); }
QByteArray TBProtocol::enterForceMode() { return buildFrame(header(CmdHandshake, 0x05, 0x00)); }
QByteArray TBProtocol::exchangeProcessData(const QByteArray &outputImage) { return buildFrame(header(CmdProcessData, 0xFE, 0x00), outputImage); }
