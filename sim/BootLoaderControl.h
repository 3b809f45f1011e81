#pragma once

#include "SimTypes.h"

#include <array>
#include <string>

// What a virtual adapter's boot loader holds, for tests and demonstrations.
// Thread-safe, like the rest of the control API.
namespace tbsim {

struct BootLoaderView {
    bool exists = false;            // there is such an adapter
    bool running = false;           // the boot loader runs instead of the application
    bool applicationErased = false; // a start of burning erased it and nothing replaced it yet
    bool upgradeMode = false;
    bool receiving = false;
    uint32_t nextAddress = 0;
    Bytes received;                 // the complete blocks of the transfer under way, in order
    Bytes flashed;                  // the image of the last completed upgrade
    std::array<uint8_t, 3> app{};   // the application's version
    int upgradesCompleted = 0;
    int runApplicationRequests = 0; // restart requests with arguments, as the search sends them
};

BootLoaderView bootLoaderView(const std::string &serial);

} // namespace tbsim
