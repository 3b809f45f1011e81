// The LD_PRELOAD build: the real program, linked with the system hidapi,
// finds the virtual adapters of the bus file named by TARNBUS_SIM_BUS.

#include "SimState.h"
#include "VirtualBus.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kBusVariable[] = "TARNBUS_SIM_BUS";

void loadBusFromEnvironment()
{
    const char *path = std::getenv(kBusVariable);
    if (!path || !*path)
        return;
    // Runs inside the first hidapi call, which holds no simulator lock yet.
    const std::string error = tbsim::bus().loadFile(path);
    if (!error.empty())
        std::fprintf(stderr, "tarnbus-sim: %s\n", error.c_str());
}

struct InstallHook {
    InstallHook() { tbsim::detail::g_firstUseHook = &loadBusFromEnvironment; }
} g_installHook;

} // namespace
