#pragma once

#include "AdapterLogic.h"
#include "FaultInjector.h"
#include "SimTypes.h"
#include "WireCodec.h"

#include <hidapi.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The process-wide state of the virtual bus, shared by the hidapi layer and
// the control API. Everything in it is guarded by SimState::mutex.
namespace tbsim::detail {

using Clock = std::chrono::steady_clock;

// How long an adapter that was told to restart waits for its reply to be
// read before it drops off USB anyway.
constexpr int kRestartGraceMs = 500;
// hidraw keeps at most this many unread input reports per open handle.
constexpr size_t kInputQueueLimit = 64;
// The traffic log keeps the most recent exchanges only (this many unless
// set otherwise); counts are kept for all.
constexpr size_t kTrafficLogLimit = 100000;

struct RuntimeAdapter {
    AdapterState state;
    FaultInjector faults;
    bool present = true;    // false once removed from the bus
    bool plugged = true;
    uint64_t generation = 1; // a new USB device node every time it (re)appears
    std::optional<Clock::time_point> backAt;    // comes back on USB
    std::optional<Clock::time_point> restartAt; // drops off to restart at the latest then
    bool firstPartHeld = false;
    std::optional<wire::Report> babble; // sent unasked, again and again, until the faults are cleared
    std::array<uint8_t, wire::kFirstPartSize> firstPart{};
    std::deque<TrafficEntry> traffic;
    std::map<uint32_t, int> counts; // code << 16 | param1 << 8 | param2

    const std::string &serial() const { return state.config.serial; }
};

struct QueuedReport {
    wire::Report report{};
    Clock::time_point readyAt;
    bool restartTrigger = false; // the last report of a reply after which the adapter restarts
};

struct SimState {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::shared_ptr<RuntimeAdapter>> adapters;
    std::set<hid_device *> handles;
    std::vector<std::string> violations;
    bool initialised = false;
    std::wstring globalError;
    const Clock::time_point started = Clock::now();

    // Thread-safety checker of hidapi's process-wide calls.
    std::mutex globalCallsMutex;
    std::vector<const char *> globalCallsRunning;
    std::atomic<bool> strictThreading{true};
    size_t trafficLogLimit = kTrafficLogLimit;
};

// The one instance; never destroyed, since the program's static destructors
// still call hidapi. The first call runs the first-use hook, if one is set.
SimState &sim();

// Set before the first call of sim() by a build that loads a bus on first use.
extern void (*g_firstUseHook)();

// All of the following expect SimState::mutex to be held.
void recordViolation(SimState &s, const std::string &text);
// Carries out what is due by now: restarts, adapters coming back.
void advance(SimState &s, Clock::time_point now);
void unplug(SimState &s, RuntimeAdapter &adapter, std::optional<Clock::time_point> backAt);
void plugIn(SimState &s, RuntimeAdapter &adapter);
void restart(SimState &s, RuntimeAdapter &adapter);
RuntimeAdapter *findAdapter(SimState &s, const std::string &serial);
// One output report written to an adapter: checked, joined with its other
// half, answered into the input queues of the adapter's open handles.
void receiveReport(SimState &s, RuntimeAdapter &adapter, const uint8_t *data, size_t length);
// The same for a report of the firmware upgrade protocol (BootLoaderPipeline.cpp).
void receiveUpgradeReport(SimState &s, RuntimeAdapter &adapter, const uint8_t *data, size_t length);
// The traffic log and the input queues of the adapter's open handles.
void logTraffic(const SimState &s, RuntimeAdapter &adapter, TrafficEntry entry);
void queueInputReports(SimState &s, RuntimeAdapter &adapter, const std::vector<wire::Report> &reports,
                       Clock::time_point readyAt, bool restartAfter);
int64_t elapsedMs(const SimState &s);

} // namespace tbsim::detail

// An open handle, as hidapi hands it out.
struct hid_device_ {
    std::shared_ptr<tbsim::detail::RuntimeAdapter> adapter;
    uint64_t generation = 0;
    std::deque<tbsim::detail::QueuedReport> input;
    bool nonblocking = false;
    std::wstring error;
    hid_device_info *info = nullptr;
    // Calls that wait on this handle without the state lock held (blocking
    // reads). A handle closed meanwhile stays allocated until the last of
    // them has returned, so that the simulator itself never reads freed
    // memory where the real library would.
    int waitingCalls = 0;
    bool closed = false;

    bool alive() const { return adapter->present && adapter->plugged && adapter->generation == generation; }
};
