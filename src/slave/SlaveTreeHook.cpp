#include "SlaveTreeHook.h"

#include <atomic>

namespace {
std::atomic<SlaveTreeHook> g_hook{nullptr};
} // namespace

void installSlaveTreeHook(SlaveTreeHook hook)
{
    g_hook.store(hook);
}

SlaveTreeHook slaveTreeHook()
{
    return g_hook.load();
}
