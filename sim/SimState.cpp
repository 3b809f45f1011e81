#include "SimState.h"

#include <algorithm>

namespace tbsim::detail {

void (*g_firstUseHook)() = nullptr;

SimState &sim()
{
    static SimState *const state = new SimState;
    // The hook loads a bus through the control API, which comes back here:
    // the same thread passes, other threads wait until the bus is there.
    static std::recursive_mutex *const hookMutex = new std::recursive_mutex;
    static bool hookRan = false;
    if (g_firstUseHook) {
        std::lock_guard<std::recursive_mutex> guard(*hookMutex);
        if (!hookRan) {
            hookRan = true;
            g_firstUseHook();
        }
    }
    return *state;
}

void recordViolation(SimState &s, const std::string &text)
{
    s.violations.push_back(text);
}

int64_t elapsedMs(const SimState &s)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - s.started).count();
}

void advance(SimState &s, Clock::time_point now)
{
    for (const std::shared_ptr<RuntimeAdapter> &adapter : s.adapters) {
        if (adapter->restartAt && now >= *adapter->restartAt)
            restart(s, *adapter);
        if (!adapter->plugged && adapter->backAt && now >= *adapter->backAt)
            plugIn(s, *adapter);
    }
}

void unplug(SimState &s, RuntimeAdapter &adapter, std::optional<Clock::time_point> backAt)
{
    if (adapter.plugged)
        ++adapter.generation;
    adapter.plugged = false;
    adapter.backAt = backAt;
    adapter.restartAt.reset();
    adapter.firstPartHeld = false;
    s.changed.notify_all();
}

void plugIn(SimState &s, RuntimeAdapter &adapter)
{
    if (!adapter.plugged) {
        adapter.plugged = true;
        powerUp(adapter.state);
    }
    adapter.backAt.reset();
    s.changed.notify_all();
}

void restart(SimState &s, RuntimeAdapter &adapter)
{
    unplug(s, adapter, Clock::now() + std::chrono::milliseconds(adapter.state.config.restartMs));
}

RuntimeAdapter *findAdapter(SimState &s, const std::string &serial)
{
    const auto found = std::find_if(s.adapters.begin(), s.adapters.end(),
                                    [&serial](const auto &adapter) { return adapter->serial() == serial; });
    return found == s.adapters.end() ? nullptr : found->get();
}

} // namespace tbsim::detail
