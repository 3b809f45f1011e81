#pragma once

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "Catalogue.h"
#include "VirtualBus.h"

#include <QByteArray>
#include <QString>
#include <QtTest>

#include <memory>

// Shared pieces of the virtual adapter's tests: a small bus with one module
// of every situation, short protocol waits and a link that talks to it the
// way the tool does.
namespace simtest {

constexpr char kSerial[] = "SIMTEST00001";

// Local DIO8; DO8 at station 2 wired to the DI8 at station 1; AO4 at 3
// wired to the AI4 at 4; a DI16 without station; two DO8 sharing station 6;
// a module of unknown type at 8.
constexpr char kTestBus[] = R"({ "adapters": [ {
    "serial": "SIMTEST00001", "name": "TBC-U100", "hardware": "0102", "boot": [1, 0, 3], "app": [2, 1, 7],
    "settings": 1, "threshold": 1000, "power": 24, "temperature": 36, "status": 1,
    "scanReads": 0, "restartMs": 200,
    "modules": [
      { "typeCode": "0x1301", "uid": "LOCAL0000000", "local": true, "inStart": 0, "outStart": 0 },
      { "typeCode": "0x1101", "uid": "DI8000000001", "station": 1, "inStart": 8, "hardware": "0A01",
        "params": "300a000000000000000000cd",
        "inputs": { "source": "wire", "from": "DO8000000002", "fromChannel": 0 } },
      { "typeCode": "0x1201", "uid": "DO8000000002", "station": 2, "outStart": 8 },
      { "typeCode": "0x2201", "uid": "AO4000000003", "station": 3, "outStart": 16 },
      { "typeCode": "0x2101", "uid": "AI4000000004", "station": 4, "inStart": 16,
        "inputs": { "source": "wire", "from": "AO4000000003", "fromChannel": 0 } },
      { "typeCode": "0x1102", "uid": "NOSTATION005", "station": 0, "inStart": 100 },
      { "typeCode": "0x1201", "uid": "SHARED000006", "station": 6, "outStart": 100 },
      { "typeCode": "0x1201", "uid": "SHARED000007", "station": 6, "outStart": 108 },
      { "typeCode": "0x7E57", "uid": "UNKNOWN00008", "station": 8, "bitsPerChannel": 8,
        "inChannels": 1, "inStart": 201, "outChannels": 1, "outStart": 201, "name": "" }
    ] } ] })";

inline QByteArray toQ(const tbsim::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

inline tbsim::Bytes fromQ(const QByteArray &bytes)
{
    return tbsim::Bytes(bytes.begin(), bytes.end());
}

inline tbsim::VirtualAdapter adapter()
{
    return tbsim::bus().adapter(kSerial);
}

// No fixed delays, short time-outs: the virtual adapter answers at once.
inline void useShortLinkTiming()
{
    tarnbus::LinkTiming timing;
    timing.beforeRequestMs = 0;
    timing.betweenRequestReportsMs = 0;
    timing.beforeReplyMs = 0;
    timing.betweenReplyReportsMs = 0;
    timing.replugCheckPeriodMs = 10;
    timing.replugSettleMs = 0;
    timing.replyTimeoutMs = 150;
    timing.connectTimeoutMs = 150;
    tarnbus::setLinkTiming(timing);
}

// Loads the test bus afresh; fails the test when it does not load.
inline void loadTestBus()
{
    tbsim::bus().reset();
    const std::string error = tbsim::bus().loadJson(kTestBus);
    QVERIFY2(error.empty(), error.c_str());
}

// One opened adapter, used as the tool uses it.
class Link
{
public:
    explicit Link(const QString &serial = QString::fromLatin1(kSerial))
    {
        m_device.openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, serial);
    }

    bool isOpen() const { return m_device.hasHandle(); }

    COMM_STATUS_TYPE send(const QByteArray &frame, QByteArray *reply = nullptr)
    {
        QByteArray received;
        const COMM_STATUS_TYPE status = m_device.transact(frame, received, tarnbus::linkTiming().replyTimeoutMs);
        if (reply)
            *reply = received;
        return status;
    }

    UsbDevice &device() { return m_device; }

private:
    UsbDevice m_device;
};

inline QByteArray frame(quint8 code, quint8 param1, quint8 param2, const QByteArray &data = QByteArray())
{
    return TBProtocol::buildFrame(TBProtocol::header(code, param1, param2), data);
}

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace simtest
