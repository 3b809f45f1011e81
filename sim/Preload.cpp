// The LD_PRELOAD build: the real program, linked with the system hidapi,
// finds the virtual adapters of the bus file named by TARNBUS_SIM_BUS.
// TARNBUS_SIM_TRAFFIC_LOG shortens each adapter's traffic log to that many
// exchanges (a long run need not keep them); TARNBUS_SIM_COUNTS names a file
// that receives, when the program ends, what every adapter received:
//
//   {"adapters": [{"serial": "3C2E0A000001", "requests": [
//       {"command": 73, "param1": 254, "param2": 0, "count": 1200}, ...]}]}

#include "SimState.h"
#include "VirtualBus.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kBusVariable[] = "TARNBUS_SIM_BUS";
constexpr char kTrafficLogVariable[] = "TARNBUS_SIM_TRAFFIC_LOG";
constexpr char kCountsVariable[] = "TARNBUS_SIM_COUNTS";

void loadBusFromEnvironment()
{
    // Runs inside the first hidapi call, which holds no simulator lock yet.
    if (const char *limit = std::getenv(kTrafficLogVariable); limit && *limit) {
        char *end = nullptr;
        const unsigned long long exchanges = std::strtoull(limit, &end, 10);
        if (*end == '\0')
            tbsim::bus().setTrafficLogLimit(size_t(exchanges));
        else
            std::fprintf(stderr, "tarnbus-sim: %s=%s is not a number of exchanges\n", kTrafficLogVariable, limit);
    }
    const char *path = std::getenv(kBusVariable);
    if (!path || !*path)
        return;
    const std::string error = tbsim::bus().loadFile(path);
    if (!error.empty())
        std::fprintf(stderr, "tarnbus-sim: %s\n", error.c_str());
}

std::string countsJson()
{
    std::string json = "{\"adapters\": [";
    bool firstAdapter = true;
    for (const std::string &serial : tbsim::bus().serials()) {
        json += firstAdapter ? "\n" : ",\n";
        firstAdapter = false;
        json += "  {\"serial\": \"" + serial + "\", \"requests\": [";
        bool first = true;
        for (const tbsim::RequestCount &c : tbsim::bus().adapter(serial).requestCounts()) {
            json += first ? "\n" : ",\n";
            first = false;
            json += "    {\"command\": " + std::to_string(c.code) + ", \"param1\": " + std::to_string(c.param1)
                    + ", \"param2\": " + std::to_string(c.param2) + ", \"count\": " + std::to_string(c.count) + "}";
        }
        json += "]}";
    }
    return json + "]}\n";
}

struct InstallHook {
    InstallHook() { tbsim::detail::g_firstUseHook = &loadBusFromEnvironment; }
    // The program is done with hidapi by the time the libraries are unloaded.
    ~InstallHook()
    {
        const char *path = std::getenv(kCountsVariable);
        if (!path || !*path)
            return;
        if (std::FILE *file = std::fopen(path, "w")) {
            const std::string json = countsJson();
            std::fwrite(json.data(), 1, json.size(), file);
            std::fclose(file);
        } else {
            std::fprintf(stderr, "tarnbus-sim: cannot write %s\n", path);
        }
    }
} g_installHook;

} // namespace
