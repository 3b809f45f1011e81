#pragma once

#include <QMetaType>

// Result of one link transaction. The values travel in signals up to the
// user interface, so they are fixed.
enum COMM_STATUS_TYPE {
    COMM_CRC_ERROR = 20,     // reply checksum does not match
    COMM_CHECK_ERROR = 22,   // reply command nibble differs; also the state after a failed write
    COMM_TIMEOUT = 23,       // a reply report did not arrive in time
    COMM_REPLY_ERROR = 25,   // error report, or no reply bytes collected
    COMM_BUSY = 26,          // the device is running another transaction
    COMM_OK = 27,            // reply received and accepted
    COMM_NOT_CONNECTED = 28, // device closed, or a request report could not be written
    COMM_NO_DATA = 29,       // an adapter operation ended without usable reply data
    COMM_REFUSED = 30,       // the adapter answered with its refusal mark: nothing was done
};

Q_DECLARE_METATYPE(COMM_STATUS_TYPE)
