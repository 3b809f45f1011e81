#include "DeviceSearch.h"

#include "UsbCommunication.h"

namespace upgradesearch {

Reading ask(UsbCommunication &channel, int timeoutMs)
{
    using namespace upgradeprotocol;
    Reading reading;
    QByteArray reply;
    const bool exchanged = channel.write(report(CmdDeviceInfo)) == UsbCommunication::kOk
        && channel.read(reply, timeoutMs) == UsbCommunication::kOk;
    reading.result = exchanged && matches(reply, CmdDeviceInfo) ? Reading::Answered : Reading::NoAnswer;
    reading.info = decodeDeviceInfo(reply);
    return reading;
}

Reading read(const UsbDeviceInfo &device, int timeoutMs)
{
    UsbCommunication channel;
    if (channel.open(device.vendor_id, device.product_id, device.serial_number) != 0)
        return Reading{};
    return ask(channel, timeoutMs);
}

} // namespace upgradesearch
