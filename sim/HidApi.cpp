// hidapi's C interface, answered by the virtual adapters. It behaves as the
// hidraw backend does: reads return the 64 report bytes without report id,
// a handle dies for good when its device goes away, and a device that comes
// back is a new device.

#include "SimState.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <thread>

using namespace tbsim::detail;

namespace {

constexpr char kPathPrefix[] = "/dev/tbsim/";
constexpr int kStrictWindowMs = 1; // widens the window in which overlapping calls are caught
const wchar_t kNoError[] = L"Success";

// Marks one of hidapi's process-wide calls as running. Two of them at the
// same time is a fault of the caller, since the real library keeps
// unguarded global state behind them.
class GlobalCall
{
public:
    explicit GlobalCall(const char *name)
        : m_name(name)
    {
        SimState &s = sim();
        std::string others;
        {
            std::lock_guard<std::mutex> guard(s.globalCallsMutex);
            for (const char *running : s.globalCallsRunning)
                others += std::string(others.empty() ? "" : ", ") + running;
            s.globalCallsRunning.push_back(name);
        }
        if (!others.empty()) {
            std::lock_guard<std::mutex> guard(s.mutex);
            recordViolation(s, std::string(name) + " called while " + others + " ran on another thread");
        }
        if (s.strictThreading)
            std::this_thread::sleep_for(std::chrono::milliseconds(kStrictWindowMs));
    }

    ~GlobalCall()
    {
        SimState &s = sim();
        std::lock_guard<std::mutex> guard(s.globalCallsMutex);
        auto &running = s.globalCallsRunning;
        running.erase(std::find(running.begin(), running.end(), m_name));
    }

    GlobalCall(const GlobalCall &) = delete;
    GlobalCall &operator=(const GlobalCall &) = delete;

private:
    const char *m_name;
};

wchar_t *wideCopy(const std::string &text)
{
    auto *copy = static_cast<wchar_t *>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    std::transform(text.begin(), text.end(), copy, [](char c) { return wchar_t(static_cast<unsigned char>(c)); });
    return copy;
}

std::wstring widen(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

std::string pathOf(const RuntimeAdapter &adapter)
{
    return kPathPrefix + adapter.serial() + "/" + std::to_string(adapter.generation);
}

hid_device_info *infoFor(const RuntimeAdapter &adapter)
{
    const tbsim::AdapterConfig &c = adapter.state.config;
    auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    info->path = strdup(pathOf(adapter).c_str());
    info->vendor_id = tbsim::kVendorId;
    info->product_id = tbsim::kProductId;
    info->serial_number = wideCopy(c.serial);
    info->release_number = c.release;
    info->manufacturer_string = wideCopy(c.manufacturer);
    info->product_string = wideCopy(c.product);
    info->interface_number = 0;
    info->bus_type = HID_API_BUS_USB;
    return info;
}

void freeInfo(hid_device_info *info)
{
    while (info) {
        hid_device_info *next = info->next;
        std::free(info->path);
        std::free(info->serial_number);
        std::free(info->manufacturer_string);
        std::free(info->product_string);
        std::free(info);
        info = next;
    }
}

bool idsMatch(unsigned short vendorId, unsigned short productId)
{
    return (vendorId == 0 || vendorId == tbsim::kVendorId) && (productId == 0 || productId == tbsim::kProductId);
}

hid_device *openHandle(SimState &s, const std::shared_ptr<RuntimeAdapter> &adapter)
{
    if (adapter->state.config.openElsewhere) {
        s.globalError = L"Device or resource busy";
        return nullptr;
    }
    auto *device = new hid_device_;
    device->adapter = adapter;
    device->generation = adapter->generation;
    device->info = infoFor(*adapter);
    s.handles.insert(device);
    s.initialised = true;
    s.globalError.clear();
    return device;
}

// Checks a handle passed in by the caller; a handle that is not open is a
// fault of the caller (used after hid_close, or never opened).
bool knownHandle(SimState &s, hid_device *dev, const char *call)
{
    if (dev && s.handles.count(dev))
        return true;
    recordViolation(s, std::string(call) + " on a handle that is not open");
    return false;
}

void freeHandle(hid_device *dev)
{
    freeInfo(dev->info);
    delete dev;
}

// Marks a blocking call on a handle for as long as it runs; expects the state
// lock to be held on construction and destruction. The last waiting call on
// a handle that was closed meanwhile frees it.
class WaitingCall
{
public:
    explicit WaitingCall(hid_device *dev)
        : m_dev(dev)
    {
        ++m_dev->waitingCalls;
    }

    ~WaitingCall()
    {
        if (--m_dev->waitingCalls == 0 && m_dev->closed)
            freeHandle(m_dev);
    }

    WaitingCall(const WaitingCall &) = delete;
    WaitingCall &operator=(const WaitingCall &) = delete;

private:
    hid_device *m_dev;
};

int deadHandle(hid_device *dev)
{
    dev->error = L"Device disconnected";
    return -1;
}

int copyString(hid_device *dev, const wchar_t *text, wchar_t *string, size_t maxlen)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!knownHandle(s, dev, "hid_get_*_string"))
        return -1;
    if (!string || maxlen == 0) {
        dev->error = L"Zero buffer/length";
        return -1;
    }
    std::wcsncpy(string, text ? text : L"", maxlen);
    string[maxlen - 1] = L'\0';
    return 0;
}

int unsupported(hid_device *dev, const wchar_t *text)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (knownHandle(s, dev, "hid report call"))
        dev->error = text;
    return -1;
}

} // namespace

extern "C" {

int hid_init(void)
{
    GlobalCall call("hid_init");
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.initialised = true;
    return 0;
}

int hid_exit(void)
{
    GlobalCall call("hid_exit");
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!s.handles.empty())
        recordViolation(s, "hid_exit called while " + std::to_string(s.handles.size()) + " device handle(s) are open");
    s.initialised = false;
    s.globalError.clear();
    return 0;
}

struct hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    GlobalCall call("hid_enumerate");
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.initialised = true;
    advance(s, Clock::now());
    hid_device_info *first = nullptr;
    hid_device_info **tail = &first;
    if (idsMatch(vendor_id, product_id)) {
        for (const auto &adapter : s.adapters) {
            if (!adapter->plugged)
                continue;
            *tail = infoFor(*adapter);
            tail = &(*tail)->next;
        }
    }
    s.globalError = first ? std::wstring() : L"No HID devices found in the system.";
    return first;
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    GlobalCall call("hid_free_enumeration");
    freeInfo(devs);
}

hid_device *hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t *serial_number)
{
    GlobalCall call("hid_open");
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    advance(s, Clock::now());
    if (idsMatch(vendor_id, product_id)) {
        for (const auto &adapter : s.adapters) {
            if (adapter->plugged && (!serial_number || widen(adapter->serial()) == serial_number))
                return openHandle(s, adapter);
        }
    }
    s.globalError = L"No HID devices with requested VID/PID/serial_number found";
    return nullptr;
}

hid_device *hid_open_path(const char *path)
{
    GlobalCall call("hid_open_path");
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    advance(s, Clock::now());
    for (const auto &adapter : s.adapters) {
        if (adapter->plugged && path && pathOf(*adapter) == path)
            return openHandle(s, adapter);
    }
    s.globalError = L"Failed to open a device with path";
    return nullptr;
}

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!knownHandle(s, dev, "hid_write"))
        return -1;
    advance(s, Clock::now());
    if (!dev->alive())
        return deadHandle(dev);
    if (!data) {
        dev->error = L"Zero buffer/length";
        return -1;
    }
    receiveReport(s, *dev->adapter, data, length);
    dev->error.clear();
    return int(length);
}

int hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    SimState &s = sim();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!knownHandle(s, dev, "hid_read_timeout"))
        return -1;
    WaitingCall waiting(dev);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    for (;;) {
        const Clock::time_point now = Clock::now();
        advance(s, now);
        if (dev->closed)
            return -1; // closed by another thread while this one waited; hid_close recorded it
        if (!dev->alive())
            return deadHandle(dev);
        if (dev->input.empty() && dev->adapter->babble)
            dev->input.push_back(QueuedReport{*dev->adapter->babble, now, false});
        if (!dev->input.empty() && dev->input.front().readyAt <= now) {
            const QueuedReport queued = dev->input.front();
            dev->input.pop_front();
            const size_t count = std::min(length, queued.report.size());
            if (data)
                std::copy_n(queued.report.begin(), count, data);
            if (queued.restartTrigger && dev->adapter->restartAt)
                restart(s, *dev->adapter);
            dev->error.clear();
            return int(count);
        }
        if (milliseconds == 0 || (milliseconds > 0 && now >= deadline))
            return 0;

        // Sleep until something can change: a report becomes readable, the
        // adapter drops off to restart, or the time is up.
        std::optional<Clock::time_point> wake;
        if (milliseconds > 0)
            wake = deadline;
        const auto earliest = [&wake](Clock::time_point t) { wake = wake ? std::min(*wake, t) : t; };
        if (!dev->input.empty())
            earliest(dev->input.front().readyAt);
        if (dev->adapter->restartAt)
            earliest(*dev->adapter->restartAt);
        if (wake)
            s.changed.wait_until(lock, *wake);
        else
            s.changed.wait(lock);
    }
}

int hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    bool nonblocking = false;
    {
        SimState &s = sim();
        std::lock_guard<std::mutex> guard(s.mutex);
        if (!knownHandle(s, dev, "hid_read"))
            return -1;
        nonblocking = dev->nonblocking;
    }
    return hid_read_timeout(dev, data, length, nonblocking ? 0 : -1);
}

int hid_set_nonblocking(hid_device *dev, int nonblock)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!knownHandle(s, dev, "hid_set_nonblocking"))
        return -1;
    dev->nonblocking = nonblock != 0;
    return 0;
}

int hid_send_feature_report(hid_device *dev, const unsigned char *, size_t)
{
    return unsupported(dev, L"The adapter has no feature reports");
}

int hid_get_feature_report(hid_device *dev, unsigned char *, size_t)
{
    return unsupported(dev, L"The adapter has no feature reports");
}

int hid_get_input_report(hid_device *dev, unsigned char *, size_t)
{
    return unsupported(dev, L"hid_get_input_report is not supported on hidraw");
}

void hid_close(hid_device *dev)
{
    GlobalCall call("hid_close");
    if (!dev)
        return;
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!knownHandle(s, dev, "hid_close"))
        return;
    s.handles.erase(dev);
    if (dev->waitingCalls > 0) {
        // The real library frees the handle here, under the read.
        recordViolation(s, "hid_close called while hid_read_timeout waited on the same handle on another thread");
        dev->closed = true;
    } else {
        freeHandle(dev);
    }
    s.changed.notify_all();
}

int hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, dev ? dev->info->manufacturer_string : nullptr, string, maxlen);
}

int hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, dev ? dev->info->product_string : nullptr, string, maxlen);
}

int hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return copyString(dev, dev ? dev->info->serial_number : nullptr, string, maxlen);
}

struct hid_device_info *hid_get_device_info(hid_device *dev)
{
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    return knownHandle(s, dev, "hid_get_device_info") ? dev->info : nullptr;
}

int hid_get_indexed_string(hid_device *dev, int, wchar_t *, size_t)
{
    return unsupported(dev, L"hid_get_indexed_string: not supported by hidraw");
}

const wchar_t *hid_error(hid_device *dev)
{
    if (!dev) {
        GlobalCall call("hid_error(NULL)");
        SimState &s = sim();
        std::lock_guard<std::mutex> guard(s.mutex);
        return s.globalError.empty() ? kNoError : s.globalError.c_str();
    }
    SimState &s = sim();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!knownHandle(s, dev, "hid_error"))
        return L"Invalid device handle";
    return dev->error.empty() ? kNoError : dev->error.c_str();
}

const struct hid_api_version *hid_version(void)
{
    static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
    return &version;
}

const char *hid_version_str(void)
{
    return HID_API_VERSION_STR;
}

} // extern "C"
