#pragma once

#include "UpgradeProtocol.h"
#include "UsbDeviceInfo.h"

class UsbCommunication;

// Reading a device's information (versions and type) before an upgrade, as
// the upgrade dialog's search and the command line do. Only the information
// request is sent: nothing here changes a device.
namespace upgradesearch {

struct Reading {
    enum Result {
        Answered,  // the device answered the information request
        NoAnswer,  // opened, but no reply to the request came
        NotOpened, // listed on USB but not opened: another program holds it, or it is gone
    };
    Result result = NotOpened;
    // Decoded from whatever came back: zeros without an answer.
    upgradeprotocol::DeviceInfo info;
};

// On an open channel: sends the information request (no pause before it)
// and reads the reply for timeoutMs.
Reading ask(UsbCommunication &channel, int timeoutMs);

// Opens the device by its ids and serial number, asks it and closes it again.
Reading read(const UsbDeviceInfo &device, int timeoutMs);

} // namespace upgradesearch
