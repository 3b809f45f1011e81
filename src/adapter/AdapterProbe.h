#pragma once

#include "TBReplies.h"
#include "UsbDeviceInfo.h"

#include <QByteArray>

// Asks a device found on USB who it is, without taking it over: the
// handshake, a short pause, then the identity, each with the probe's short
// time-out, and the device closed again. The adapter chooser lists what it
// learns, and so does the command line's list.
struct AdapterProbe {
    enum Outcome {
        Identified,   // the identity came back
        NotAnAdapter, // the handshake says the device is something else
        Silent,       // no identity: the device could not be opened, or did not answer
    };
    Outcome outcome = Silent;
    QByteArray identityReply;

    TBReply::Identity identity() const { return TBReply::decodeIdentity(identityReply); }
};

AdapterProbe probeAdapter(const UsbDeviceInfo &info);
