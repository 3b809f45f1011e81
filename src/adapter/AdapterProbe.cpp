#include "AdapterProbe.h"

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "UsbDevice.h"

#include <QThread>

namespace {
// Bit 0 of the handshake reply's command byte: not an adapter of this kind.
constexpr quint8 kNotAnAdapterBit = 0x01;
} // namespace

AdapterProbe probeAdapter(const UsbDeviceInfo &info)
{
    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();
    AdapterProbe probe;
    UsbDevice device;
    device.openDevice(info.vendor_id, info.product_id, info.serial_number);
    QByteArray reply;
    device.transact(TBProtocol::handshake(), reply, timing.probeTimeoutMs);
    if (reply.size() > 3 && (quint8(reply.at(3)) & kNotAnAdapterBit)) {
        device.closeDevice();
        probe.outcome = AdapterProbe::NotAnAdapter;
        return probe;
    }
    QThread::msleep(ulong(timing.probePauseMs));
    reply.clear();
    const COMM_STATUS_TYPE result = device.transact(TBProtocol::readIdentity(), reply, timing.probeTimeoutMs);
    device.closeDevice();
    // Only an answer the link accepted is an identity: a refusal or a
    // corrupted reply names nothing.
    if (result == COMM_OK && !reply.isEmpty()) {
        probe.outcome = AdapterProbe::Identified;
        probe.identityReply = reply;
    }
    return probe;
}
