#include "VirtualBus.h"

#include "BusFile.h"
#include "Catalogue.h"
#include "BusModules.h"
#include "SimState.h"

#include <algorithm>

namespace tbsim {

using namespace detail;

namespace {

// Runs fn on the adapter under the simulator's lock, after carrying out
// whatever became due; returns fallback when there is no such adapter.
template <typename Result, typename Fn>
Result withAdapter(const std::string &serial, Result fallback, Fn fn)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    advance(s, Clock::now());
    RuntimeAdapter *adapter = findAdapter(s, serial);
    return adapter ? fn(s, *adapter) : fallback;
}

template <typename Fn>
void withAdapter(const std::string &serial, Fn fn)
{
    withAdapter(serial, 0, [&fn](SimState &s, RuntimeAdapter &a) {
        fn(s, a);
        return 0;
    });
}

template <typename Fn>
bool withModule(const std::string &serial, const std::string &uid, Fn fn)
{
    return withAdapter(serial, false, [&](SimState &, RuntimeAdapter &a) {
        Module *m = busmodules::byUid(a.state.config.modules, uid);
        if (m)
            fn(*m);
        return m != nullptr;
    });
}

bool matches(const TrafficEntry &e, int code, int param1, int param2)
{
    return e.code == code && (param1 < 0 || e.param1 == param1) && (param2 < 0 || e.param2 == param2);
}

std::shared_ptr<RuntimeAdapter> makeAdapter(const AdapterConfig &config)
{
    auto adapter = std::make_shared<RuntimeAdapter>();
    adapter->state.config = config;
    for (const FaultRule &rule : config.faults)
        adapter->faults.add(rule);
    powerUp(adapter->state);
    return adapter;
}

// Handles of removed adapters die with them.
void removeAll(SimState &s)
{
    for (const auto &adapter : s.adapters)
        adapter->present = false;
    s.adapters.clear();
    s.changed.notify_all();
}

void replaceAdapters(const std::vector<AdapterConfig> &configs)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    removeAll(s);
    for (const AdapterConfig &config : configs)
        s.adapters.push_back(makeAdapter(config));
}

} // namespace

VirtualAdapter::VirtualAdapter(std::string serial)
    : m_serial(std::move(serial))
{
}

bool VirtualAdapter::exists() const
{
    return withAdapter(m_serial, false, [](SimState &, RuntimeAdapter &) { return true; });
}

bool VirtualAdapter::isPlugged() const
{
    return withAdapter(m_serial, false, [](SimState &, RuntimeAdapter &a) { return a.plugged; });
}

void VirtualAdapter::unplug()
{
    withAdapter(m_serial, [](SimState &s, RuntimeAdapter &a) { detail::unplug(s, a, std::nullopt); });
}

void VirtualAdapter::replug()
{
    withAdapter(m_serial, [](SimState &s, RuntimeAdapter &a) { plugIn(s, a); });
}

void VirtualAdapter::unplugFor(int ms)
{
    withAdapter(m_serial, [ms](SimState &s, RuntimeAdapter &a) {
        detail::unplug(s, a, Clock::now() + std::chrono::milliseconds(ms));
    });
}

void VirtualAdapter::restart()
{
    withAdapter(m_serial, [](SimState &s, RuntimeAdapter &a) { detail::restart(s, a); });
}

void VirtualAdapter::addFault(const FaultRule &rule)
{
    withAdapter(m_serial, [&rule](SimState &, RuntimeAdapter &a) { a.faults.add(rule); });
}

void VirtualAdapter::clearFaults()
{
    withAdapter(m_serial, [](SimState &, RuntimeAdapter &a) {
        a.faults.clear();
        a.babble.reset();
    });
}

int VirtualAdapter::requestCount(int code, int param1, int param2) const
{
    return withAdapter(m_serial, 0, [=](SimState &, RuntimeAdapter &a) {
        int count = 0;
        for (const auto &[key, n] : a.counts) {
            const int c = int(key >> 16);
            const int p1 = int((key >> 8) & 0xFF);
            const int p2 = int(key & 0xFF);
            if (c == code && (param1 < 0 || p1 == param1) && (param2 < 0 || p2 == param2))
                count += n;
        }
        return count;
    });
}

std::vector<RequestCount> VirtualAdapter::requestCounts() const
{
    return withAdapter(m_serial, std::vector<RequestCount>(), [](SimState &, RuntimeAdapter &a) {
        std::vector<RequestCount> list;
        for (const auto &[key, n] : a.counts)
            list.push_back(RequestCount{uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key), n});
        return list;
    });
}

std::vector<TrafficEntry> VirtualAdapter::traffic() const
{
    return withAdapter(m_serial, std::vector<TrafficEntry>(), [](SimState &, RuntimeAdapter &a) {
        return std::vector<TrafficEntry>(a.traffic.begin(), a.traffic.end());
    });
}

std::vector<TrafficEntry> VirtualAdapter::traffic(int code, int param1, int param2) const
{
    std::vector<TrafficEntry> all = traffic();
    all.erase(std::remove_if(all.begin(), all.end(), [=](const TrafficEntry &e) { return !matches(e, code, param1, param2); }),
              all.end());
    return all;
}

void VirtualAdapter::clearTraffic()
{
    withAdapter(m_serial, [](SimState &, RuntimeAdapter &a) {
        a.traffic.clear();
        a.counts.clear();
    });
}

AdapterConfig VirtualAdapter::config() const
{
    return withAdapter(m_serial, AdapterConfig(), [](SimState &, RuntimeAdapter &a) { return a.state.config; });
}

uint8_t VirtualAdapter::settings() const
{
    return withAdapter(m_serial, uint8_t(0), [](SimState &, RuntimeAdapter &a) { return a.state.config.settings; });
}

uint16_t VirtualAdapter::threshold() const
{
    return withAdapter(m_serial, uint16_t(0), [](SimState &, RuntimeAdapter &a) { return a.state.config.threshold; });
}

bool VirtualAdapter::forceMode() const
{
    return withAdapter(m_serial, false, [](SimState &, RuntimeAdapter &a) { return a.state.forceMode; });
}

Bytes VirtualAdapter::lampData() const
{
    return withAdapter(m_serial, Bytes(), [](SimState &, RuntimeAdapter &a) { return a.state.lampData; });
}

int VirtualAdapter::scanReadsLeft() const
{
    return withAdapter(m_serial, 0, [](SimState &, RuntimeAdapter &a) { return a.state.scanReadsLeft; });
}

void VirtualAdapter::setStatus(uint8_t status)
{
    withAdapter(m_serial, [status](SimState &, RuntimeAdapter &a) { a.state.config.status = status; });
}

void VirtualAdapter::setConfigWriteFlag(uint8_t flag)
{
    withAdapter(m_serial, [flag](SimState &, RuntimeAdapter &a) { a.state.config.configWriteFlag = flag; });
}

void VirtualAdapter::setOpenElsewhere(bool held)
{
    withAdapter(m_serial, [held](SimState &, RuntimeAdapter &a) { a.state.config.openElsewhere = held; });
}

void VirtualAdapter::setPower(uint8_t watts, uint8_t celsius)
{
    withAdapter(m_serial, [=](SimState &, RuntimeAdapter &a) {
        a.state.config.power = watts;
        a.state.config.temperature = celsius;
    });
}

void VirtualAdapter::setScanReads(int reads)
{
    withAdapter(m_serial, [reads](SimState &, RuntimeAdapter &a) { a.state.config.scanReads = std::max(reads, 0); });
}

void VirtualAdapter::setRestartMs(int ms)
{
    withAdapter(m_serial, [ms](SimState &, RuntimeAdapter &a) { a.state.config.restartMs = std::max(ms, 0); });
}

std::vector<Module> VirtualAdapter::modules() const
{
    return withAdapter(m_serial, std::vector<Module>(), [](SimState &, RuntimeAdapter &a) { return a.state.config.modules; });
}

std::optional<Module> VirtualAdapter::module(const std::string &uid) const
{
    return withAdapter(m_serial, std::optional<Module>(), [&uid](SimState &, RuntimeAdapter &a) {
        const Module *m = busmodules::byUid(a.state.config.modules, uid);
        return m ? std::optional<Module>(*m) : std::nullopt;
    });
}

bool VirtualAdapter::setInputs(const std::string &uid, const InputSource &source)
{
    return withModule(m_serial, uid, [&source](Module &m) { m.inputs = source; });
}

bool VirtualAdapter::setConstantInputs(const std::string &uid, const Bytes &bits)
{
    InputSource source;
    source.kind = InputSource::Constant;
    source.constant = bits;
    return setInputs(uid, source);
}

bool VirtualAdapter::setState(const std::string &uid, uint8_t state)
{
    return withModule(m_serial, uid, [state](Module &m) { m.state = state; });
}

bool VirtualAdapter::setFault(const std::string &uid, uint8_t fault)
{
    return withModule(m_serial, uid, [fault](Module &m) { m.fault = fault; });
}

std::string VirtualAdapter::addModule(const Module &module)
{
    return withAdapter(m_serial, std::string("no adapter ") + m_serial, [&module](SimState &, RuntimeAdapter &a) {
        AdapterConfig trial = a.state.config;
        trial.modules.push_back(module);
        if (std::string why = checkAdapter(trial); !why.empty())
            return why;
        a.state.config.modules.push_back(module);
        a.state.config.modules.back().outputs.assign(size_t(module.outBits() + 7) / 8, 0);
        a.state.joined.push_back(module.uid);
        return std::string();
    });
}

bool VirtualAdapter::removeModule(const std::string &uid)
{
    return withAdapter(m_serial, false, [&uid](SimState &, RuntimeAdapter &a) {
        std::vector<Module> &modules = a.state.config.modules;
        const auto found = std::find_if(modules.begin(), modules.end(), [&uid](const Module &m) { return m.uid == uid; });
        if (found == modules.end())
            return false;
        modules.erase(found);
        return true;
    });
}

Bus &Bus::instance()
{
    static Bus *const bus = new Bus;
    return *bus;
}

std::string Bus::loadFile(const std::string &path)
{
    std::vector<AdapterConfig> configs;
    std::string error;
    if (!readBusFile(path, &configs, &error))
        return error;
    replaceAdapters(configs);
    return std::string();
}

std::string Bus::loadJson(const std::string &json)
{
    std::vector<AdapterConfig> configs;
    std::string error;
    if (!parseBus(json, &configs, &error))
        return error;
    replaceAdapters(configs);
    return std::string();
}

std::string Bus::addAdapter(const AdapterConfig &config)
{
    if (std::string why = checkAdapter(config); !why.empty())
        return why;
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (findAdapter(s, config.serial))
        return "serial " + config.serial + " is already on the bus";
    s.adapters.push_back(makeAdapter(config));
    return std::string();
}

bool Bus::removeAdapter(const std::string &serial)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto found = std::find_if(s.adapters.begin(), s.adapters.end(),
                                    [&serial](const auto &adapter) { return adapter->serial() == serial; });
    if (found == s.adapters.end())
        return false;
    (*found)->present = false;
    s.adapters.erase(found);
    s.changed.notify_all();
    return true;
}

std::vector<std::string> Bus::serials() const
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    std::vector<std::string> list;
    for (const auto &adapter : s.adapters)
        list.push_back(adapter->serial());
    return list;
}

VirtualAdapter Bus::adapter(const std::string &serial) const
{
    return VirtualAdapter(serial);
}

void Bus::reset()
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    removeAll(s);
    s.violations.clear();
    s.strictThreading = true;
    s.trafficLogLimit = kTrafficLogLimit;
}

std::vector<std::string> Bus::violations() const
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    return s.violations;
}

void Bus::clearViolations()
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.violations.clear();
}

void Bus::setStrictThreading(bool on)
{
    sim().strictThreading = on;
}

bool Bus::strictThreading() const
{
    return sim().strictThreading;
}

int Bus::openHandleCount() const
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    return int(s.handles.size());
}

void Bus::setTrafficLogLimit(size_t exchanges)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.trafficLogLimit = exchanges;
    for (const auto &adapter : s.adapters) {
        while (adapter->traffic.size() > exchanges)
            adapter->traffic.pop_front();
    }
}

size_t Bus::trafficLogLimit() const
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    return s.trafficLogLimit;
}

} // namespace tbsim
