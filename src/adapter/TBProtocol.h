#pragma once

#include <QByteArray>
#include <QtGlobal>

// The adapter's command set: one pure builder per command variant. Every
// builder returns the finished 72-byte frame.
class TBProtocol
{
public:
    static constexpr int kFrameSize = 72;
    static constexpr int kDataOffset = 6;
    static constexpr int kDataSize = 64;
    static constexpr int kChecksumOffset = 70;

    static constexpr quint8 kFrameMarker = 0x01;
    static constexpr quint8 kAddress = 0xFE;

    enum Command : quint8 {
        CmdReadIdentity = 0x20,
        CmdReadPower = 0x21,
        CmdReadSettings = 0x22,
        CmdLeaveForceMode = 0x23,
        CmdReadStatus = 0x25,
        CmdReport = 0x27,
        CmdWriteSettings = 0x42,
        CmdConfiguration = 0x46,
        CmdAssignment = 0x47,
        CmdHandshake = 0x48,
        CmdProcessData = 0x49,
    };

    // A 72-byte zero-filled buffer with offsets 0 to 5 set.
    static QByteArray header(quint8 code, quint8 param1, quint8 param2);

    // Copies data (at most 64 bytes) to offset 6 onward and closes the frame
    // with the checksum, high byte at offset 70.
    static QByteArray buildFrame(QByteArray header, const QByteArray &data = QByteArray());

    // True when the stored checksum of a 72-byte frame matches its content.
    static bool hasValidChecksum(const QByteArray &frame);

    static QByteArray readIdentity();                         // 0x20 00 00
    static QByteArray readPower();                            // 0x21 00 00
    static QByteArray readSettings();                         // 0x22 00 00
    static QByteArray leaveForceMode();                       // 0x23 00 00
    static QByteArray readBusStatus();                        // 0x25 00 80
    static QByteArray readSlaveInfo(quint8 station);          // 0x25 st 02
    static QByteArray readPendingIdentity();                  // 0x27 06 00
    static QByteArray setSlaveLamp(const QByteArray &data);   // 0x27 10 00
    static QByteArray writeSettings(quint8 settings, quint16 threshold, bool changeThreshold); // 0x42 ss 00
    static QByteArray applySettings();                        // 0x42 AA 55
    static QByteArray storeConfiguration();                   // 0x46 34 12
    static QByteArray writeSlaveConfig(const QByteArray &data);      // 0x46 01 00
    static QByteArray downloadConfiguration(const QByteArray &data); // 0x46 00 02
    static QByteArray requestPendingIdentity();               // 0x47 AA 55
    static QByteArray writeAddressAssignment(const QByteArray &record); // 0x47 00 02
    static QByteArray handshake();                            // 0x48 00 EC
    static QByteArray enterForceMode();                       // 0x48 05 00
    static QByteArray exchangeProcessData(const QByteArray &outputImage); // 0x49 FE 00

    // Marker at data offsets 2 and 3 of a settings write that changes the threshold.
    static constexpr quint16 kThresholdChangeMarker = 0x5AA5;
};
