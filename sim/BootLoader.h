#pragma once

#include "SimTypes.h"
#include "WireCodec.h"

#include <string>

// The adapter's boot loader: the firmware upgrade protocol, on the same USB
// device as the adapter protocol. Requests are single output reports
// (report id 0x00, marker 0x5A, command, arguments, zeros); replies are
// single input reports (marker, command, result 0xFF 0x00 or 0x00 0xFF,
// data).
//
// It reassembles the image it receives block by block and checks it the
// way the device does: every block announced in order at the next address,
// every block complete, and the image's header and body CRC-32s right. Only
// then do the two finishing steps succeed; the second one makes the image
// the application, whose version is the second word of the image's version
// field (unless the boot loader rolls back: then the application it had
// before stays, with its version).
//
// Without an application (erased by a start of burning and not replaced
// since), the adapter runs its boot loader on every power-up and ignores
// the adapter protocol.
//
// Upgrade requests go into the adapter's traffic log like adapter requests:
// code = the command, param1 and param2 = report bytes 3 and 4 (what fault
// rules filter on), data = report bytes 3 to 64, reply = the 64-byte reply.
namespace tbsim {

namespace boot {
constexpr uint8_t kMarker = 0x5A;
constexpr int kBlockSize = 1024;
constexpr int kMaxPiece = 60;

enum Command : uint8_t {
    CmdDeviceInfo = 0xB0,
    CmdEnterUpgrade = 0xA0,
    CmdStartBurning = 0xA7,
    CmdBeginTransfer = 0xA1,
    CmdAnnounceBlock = 0xA2,
    CmdBlockData = 0xA3,
    CmdFinishFirst = 0xA4,
    CmdFinishSecond = 0xA5,
    CmdRestart = 0xA6, // with arguments (as the tool's search sends it): run the application
};
} // namespace boot

struct BootLoaderState {
    bool poweredUp = false;         // the first power-up has been seen
    bool running = false;           // the boot loader runs instead of the application
    bool applicationErased = false; // by a start of burning, not replaced since
    bool upgradeMode = false;       // 0xA0 accepted
    bool burning = false;           // 0xA7 accepted: erased, waiting for 0xA1
    bool receiving = false;         // 0xA1 accepted: blocks may come
    uint32_t nextAddress = 0;       // where the next block must go
    bool blockOpen = false;         // announced, not yet complete
    Bytes block;                    // the open block's data so far
    Bytes received;                 // the complete blocks, in order
    bool imageChecked = false;      // 0xA4 passed
    Bytes flashed;                  // the image of the last upgrade that passed both finishing steps
    int upgradesCompleted = 0;
    int runApplicationRequests = 0; // 0xA6 with arguments
};

struct BootAnswer {
    enum Kind {
        Reply,   // success
        Refused, // 0x00 0xFF
        Silent,  // no reply: a data piece within its block, or a restart
    };
    Kind kind = Reply;
    wire::Report report{};
    bool restart = false;  // restarts once the reply is out
    std::string note;      // why it refused
    std::string violation; // the request itself is malformed: a fault of the tool
};

// Report id 0x00 followed by the upgrade marker.
bool isUpgradeReport(const uint8_t *data, size_t length);

// At power-up: the boot loader runs when there is no application.
void bootLoaderPowerUp(BootLoaderState &state, const AdapterConfig &config);

// One request: the 64 bytes after the report id.
BootAnswer handleUpgradeRequest(BootLoaderState &state, AdapterConfig &config, const uint8_t *payload);

// The reply that refuses a command.
wire::Report refusalReport(uint8_t command);

// CRC-32 of IEEE 802.3, bit by bit: the simulator's own, apart from the tool's.
uint32_t crc32(const uint8_t *bytes, size_t length);

} // namespace tbsim
