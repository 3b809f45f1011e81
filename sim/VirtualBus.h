#pragma once

#include "SimTypes.h"

#include <optional>
#include <string>
#include <vector>

// Control of the virtual bus for tests and demonstrations. Every call is
// thread-safe: the tool's worker threads talk to the same adapters through
// hidapi meanwhile.
namespace tbsim {

// One virtual adapter, named by its serial number. A cheap handle: it stays
// valid while the adapter is removed and re-added; calls on an adapter that
// does not exist do nothing and return empty values.
class VirtualAdapter
{
public:
    explicit VirtualAdapter(std::string serial);

    const std::string &serial() const { return m_serial; }
    bool exists() const;

    // USB presence. An unplugged adapter is not enumerated and its open
    // handles are dead; when it comes back it is a new device (old handles
    // stay dead) and it powers up with a new bus scan.
    bool isPlugged() const;
    void unplug();
    void replug();
    void unplugFor(int ms);
    void restart(); // off USB for the adapter's restart time
    // Another program holds the device (the window, a second tool): it is
    // still listed, but opening it fails as the library fails on a device
    // opened exclusively elsewhere. Handles already open stay usable.
    void setOpenElsewhere(bool held);

    // Faults.
    void addFault(const FaultRule &rule);
    void clearFaults();

    // Traffic: every well-formed request since the last clear. The counts
    // cover all of them; the log keeps the latest (Bus::setTrafficLogLimit).
    int requestCount(int code, int param1 = -1, int param2 = -1) const;
    std::vector<RequestCount> requestCounts() const; // by command and parameters, in that order
    std::vector<TrafficEntry> traffic() const;
    std::vector<TrafficEntry> traffic(int code, int param1 = -1, int param2 = -1) const;
    void clearTraffic();

    // Adapter state.
    AdapterConfig config() const; // identity, active settings and the bus as it is now
    uint8_t settings() const;
    uint16_t threshold() const;
    bool forceMode() const;
    Bytes lampData() const;
    int scanReadsLeft() const;
    void setStatus(uint8_t status);
    void setConfigWriteFlag(uint8_t flag);
    void setPower(uint8_t watts, uint8_t celsius);
    void setScanReads(int reads);   // from the next power-up on
    void setRestartMs(int ms);

    // Modules.
    std::vector<Module> modules() const;
    std::optional<Module> module(const std::string &uid) const;
    bool setInputs(const std::string &uid, const InputSource &source);
    bool setConstantInputs(const std::string &uid, const Bytes &bits);
    bool setState(const std::string &uid, uint8_t state);
    bool setFault(const std::string &uid, uint8_t fault);
    // Hot-plugs a module onto the bus; it is reported with the next pending
    // identity request. Empty on success, else why not.
    std::string addModule(const Module &module);
    bool removeModule(const std::string &uid);

private:
    std::string m_serial;
};

// The process-wide virtual bus.
class Bus
{
public:
    static Bus &instance();

    // Replace every adapter by those of a bus file or JSON text. Empty on
    // success, else the error (and nothing is changed).
    std::string loadFile(const std::string &path);
    std::string loadJson(const std::string &json);

    // Plugs in one more adapter. Empty on success, else why not.
    std::string addAdapter(const AdapterConfig &config);
    bool removeAdapter(const std::string &serial);
    std::vector<std::string> serials() const;
    VirtualAdapter adapter(const std::string &serial) const;

    // Back to an empty bus: no adapters, no violations, strict threading on.
    void reset();

    // Wrong requests and wrong use of hidapi, in the order they happened.
    std::vector<std::string> violations() const;
    void clearViolations();

    // Widens the window in which overlapping process-wide hidapi calls are
    // caught (on by default).
    void setStrictThreading(bool on);
    bool strictThreading() const;

    // Handles the program has open right now.
    int openHandleCount() const;

    // How many of the latest exchanges each adapter's traffic log keeps
    // (100,000 unless set; reset() restores that). A long run that reads
    // only the counts sets a short log, so that the log does not grow with
    // the run.
    void setTrafficLogLimit(size_t exchanges);
    size_t trafficLogLimit() const;

private:
    Bus() = default;
};

inline Bus &bus() { return Bus::instance(); }

} // namespace tbsim
