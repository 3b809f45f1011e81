#include "AdapterLogic.h"

#include <algorithm>
#include <cstring>

namespace tbsim {

namespace {
using wire::Frame;

constexpr uint8_t kScanningBit = 0x20;
constexpr uint8_t kRefusedBit = 0x80;
constexpr int kProgressMax = 0xFFF;
constexpr uint16_t kThresholdMin = 201;
constexpr uint16_t kThresholdMax = 2999;
constexpr uint8_t kThresholdMarkerLow = 0xA5;
constexpr uint8_t kThresholdMarkerHigh = 0x5A;

// Identity reply.
constexpr int kNameOffset = 6;
constexpr int kNameSize = 32;
constexpr int kHardwareOffset = 54;
constexpr int kBootOffset = 57;
constexpr int kAppOffset = 61;

// Bus status reply.
constexpr int kStationCountOffset = 6;
constexpr int kStationMapOffset = 7;
constexpr int kLocalOffset = 23;
constexpr int kConfigWriteFlagOffset = 24;

// Pending identity reply: the block sits in the data area.
constexpr int kReportStationOffset = 4;

// Process-data reply.
constexpr int kProcessStationOffset = 2;

enum Command : uint8_t {
    CmdIdentity = 0x20,
    CmdPower = 0x21,
    CmdSettings = 0x22,
    CmdLeaveForce = 0x23,
    CmdStatus = 0x25,
    CmdReport = 0x27,
    CmdWriteSettings = 0x42,
    CmdConfiguration = 0x46,
    CmdAssignment = 0x47,
    CmdHandshake = 0x48,
    CmdProcessData = 0x49,
};

uint8_t code(const Frame &f) { return f[wire::kCodeOffset]; }
uint8_t param1(const Frame &f) { return f[wire::kParam1Offset]; }
uint8_t param2(const Frame &f) { return f[wire::kParam2Offset]; }
const uint8_t *data(const Frame &f) { return f.data() + wire::kDataOffset; }

Answer reply(const AdapterState &state, const Frame &request)
{
    Answer answer;
    Frame &r = answer.reply;
    r[0] = wire::kFrameMarker;
    r[wire::kStatusOffset] = uint8_t(state.config.status & ~kScanningBit);
    r[2] = wire::kAddress;
    r[wire::kCodeOffset] = code(request);
    r[wire::kParam1Offset] = param1(request);
    r[wire::kParam2Offset] = param2(request);
    return answer;
}

Answer errorAnswer(std::string note)
{
    Answer answer;
    answer.kind = Answer::ErrorReport;
    answer.note = std::move(note);
    return answer;
}

Answer refuse(Answer answer, std::string note)
{
    answer.kind = Answer::Refused;
    answer.reply[wire::kCodeOffset] |= kRefusedBit;
    answer.note = std::move(note);
    return answer;
}

void putBlock(Frame &frame, const busmodules::InfoBlock &block)
{
    std::copy(block.begin(), block.end(), frame.begin() + wire::kDataOffset);
}

Answer identity(const AdapterState &state, const Frame &request)
{
    const AdapterConfig &c = state.config;
    Answer a = reply(state, request);
    std::copy_n(c.name.begin(), std::min<size_t>(c.name.size(), kNameSize), a.reply.begin() + kNameOffset);
    std::copy(c.hardware.begin(), c.hardware.end(), a.reply.begin() + kHardwareOffset);
    std::copy(c.boot.begin(), c.boot.end(), a.reply.begin() + kBootOffset);
    std::copy(c.app.begin(), c.app.end(), a.reply.begin() + kAppOffset);
    return a;
}

Answer busStatus(AdapterState &state, const Frame &request)
{
    const AdapterConfig &c = state.config;
    Answer a = reply(state, request);
    int progress = 0;
    if (state.scanReadsLeft > 0) {
        // Progress rises with every read and stays below the end value
        // until the scan is over.
        const int done = state.scanReads - state.scanReadsLeft + 1;
        progress = kProgressMax * done / (state.scanReads + 1);
        --state.scanReadsLeft;
        a.reply[wire::kStatusOffset] |= kScanningBit;
    } else {
        const auto map = busmodules::stationMap(c.modules);
        a.reply[kStationCountOffset] = uint8_t(map.count());
        for (int station = 0; station < kMaxStation; ++station) {
            if (map.test(size_t(station)))
                a.reply[size_t(kStationMapOffset + station / 8)] |= uint8_t(1u << (station % 8));
        }
        a.reply[kLocalOffset] = busmodules::hasLocal(c.modules) ? 1 : 0;
    }
    a.reply[wire::kParam1Offset] = uint8_t(progress & 0xFF);
    a.reply[wire::kParam2Offset] = uint8_t(progress >> 8);
    a.reply[kConfigWriteFlagOffset] = c.configWriteFlag;
    return a;
}

Answer slaveInfo(const AdapterState &state, const Frame &request)
{
    Answer a = reply(state, request);
    if (const Module *m = busmodules::answeringAt(state.config.modules, param1(request)))
        putBlock(a.reply, busmodules::infoBlock(*m));
    return a;
}

Answer requestReports(AdapterState &state, const Frame &request)
{
    std::vector<std::string> uids = busmodules::unplacedModules(state.config.modules);
    for (const std::string &uid : state.joined) {
        if (std::find(uids.begin(), uids.end(), uid) == uids.end())
            uids.push_back(uid);
    }
    state.reportQueue.assign(uids.begin(), uids.end());
    state.joined.clear();
    return reply(state, request);
}

Answer nextReport(AdapterState &state, const Frame &request)
{
    Answer a = reply(state, request);
    a.reply[kReportStationOffset] = 0;
    while (!state.reportQueue.empty()) {
        const std::string uid = state.reportQueue.front();
        state.reportQueue.pop_front();
        if (const Module *m = busmodules::byUid(state.config.modules, uid)) {
            busmodules::InfoBlock block = busmodules::infoBlock(*m);
            block[0] |= busmodules::kBlockReported;
            putBlock(a.reply, block);
            a.reply[kReportStationOffset] = uint8_t(m->station);
            break;
        }
    }
    return a;
}

Answer lamp(AdapterState &state, const Frame &request)
{
    const uint8_t *d = data(request);
    state.lampData.assign(d, d + wire::kDataSize);
    std::vector<Module> &modules = state.config.modules;
    if (std::all_of(d, d + wire::kDataSize, [](uint8_t b) { return b == 0; })) {
        for (Module &m : modules)
            m.lamp = false;
    } else if (Module *m = busmodules::byUidBytes(modules, d)) {
        m->lamp = true;
    }
    return reply(state, request);
}

Answer writeSettings(AdapterState &state, const Frame &request)
{
    const uint8_t *d = data(request);
    const uint16_t threshold = uint16_t(d[0] | (d[1] << 8));
    const bool change = d[2] == kThresholdMarkerLow && d[3] == kThresholdMarkerHigh;
    if (change && (threshold < kThresholdMin || threshold > kThresholdMax))
        return errorAnswer("threshold " + std::to_string(threshold) + " outside 201..2999");
    state.pendingSettings = param1(request);
    state.pendingThreshold = change ? threshold : state.config.threshold;
    return reply(state, request);
}

Answer applySettings(AdapterState &state, const Frame &request)
{
    state.config.settings = state.pendingSettings;
    state.config.threshold = state.pendingThreshold;
    Answer a = reply(state, request);
    a.restart = true;
    return a;
}

// A station a module may move to: a bus station no other module answers at;
// the local module stays at station 0.
std::string checkNewStation(const AdapterState &state, const Module &module, int station)
{
    if (module.local)
        return station == 0 ? std::string() : "the local module stays at station 0";
    if (station < 1 || station > kMaxStation)
        return "station " + std::to_string(station) + " outside 1..128";
    const Module *there = busmodules::answeringAt(state.config.modules, station);
    if (there && there != &module)
        return "station " + std::to_string(station) + " is taken by " + there->uid;
    return std::string();
}

std::string checkAreas(const Module &module, const busmodules::AreaWord &in, const busmodules::AreaWord &out)
{
    std::string why = busmodules::checkArea(module, in, true);
    return why.empty() ? busmodules::checkArea(module, out, false) : why;
}

void applyAreas(Module &module, const busmodules::AreaWord &in, const busmodules::AreaWord &out)
{
    module.inStart = in.start;
    module.inChannels = in.channels;
    module.outStart = out.start;
    module.outChannels = out.channels;
    module.outputs.assign(size_t(module.outBits() + 7) / 8, 0);
}

// The head shared by the station-addressed records (0x46 01 00 and
// 0x46 00 02): [0] the station the module answers at, [1] its new station,
// [2..3] input word, [4..5] output word. Checks and applies them; null with
// the reason when the adapter refuses.
Module *applyStationHead(AdapterState &state, const uint8_t *record, std::string *why)
{
    Module *m = busmodules::answeringAt(state.config.modules, record[0]);
    if (!m) {
        *why = "no module at station " + std::to_string(record[0]);
        return nullptr;
    }
    const busmodules::AreaWord in = busmodules::decodeAreaWord(record + 2);
    const busmodules::AreaWord out = busmodules::decodeAreaWord(record + 4);
    *why = checkNewStation(state, *m, record[1]);
    if (why->empty())
        *why = checkAreas(*m, in, out);
    if (!why->empty())
        return nullptr;
    m->station = record[1];
    applyAreas(*m, in, out);
    return m;
}

// 0x46 01 00: the 32-byte configuration record of the module at a station.
Answer writeSlaveConfig(AdapterState &state, const Frame &request)
{
    constexpr int kParamOffset = 6;
    const uint8_t *d = data(request);
    std::string why;
    Module *m = applyStationHead(state, d, &why);
    if (!m)
        return refuse(reply(state, request), why);
    std::copy_n(d + kParamOffset, kParamSize, m->params.begin());
    return reply(state, request);
}

// 0x47 00 02: the 64-byte address assignment record, addressed by uid.
// Repeated stations pass through here on their way to being repaired, so a
// shared station is accepted.
Answer writeAssignment(AdapterState &state, const Frame &request)
{
    constexpr int kStationOffset = 13;
    constexpr int kInputOffset = 14;
    constexpr int kOutputOffset = 16;
    constexpr int kParamOffset = 18;
    const uint8_t *d = data(request);
    Answer a = reply(state, request);
    Module *m = busmodules::byUidBytes(state.config.modules, d);
    if (!m)
        return refuse(a, "no module with uid " + std::string(reinterpret_cast<const char *>(d), strnlen(reinterpret_cast<const char *>(d), kUidSize)));
    const int station = d[kStationOffset];
    if (station > kMaxStation)
        return refuse(a, "station " + std::to_string(station) + " above 128");
    const busmodules::AreaWord in = busmodules::decodeAreaWord(d + kInputOffset);
    const busmodules::AreaWord out = busmodules::decodeAreaWord(d + kOutputOffset);
    if (std::string why = checkAreas(*m, in, out); !why.empty())
        return refuse(a, why);
    if (!m->local)
        m->station = station;
    applyAreas(*m, in, out);
    std::copy_n(d + kParamOffset, kParamSize, m->params.begin());
    return a;
}

// 0x46 00 02: one module's configuration block, addressed by station.
Answer writeConfigBlock(AdapterState &state, const Frame &request)
{
    constexpr int kFilterOffset = 6;
    constexpr uint8_t kFilterBits = 0x70;
    constexpr uint8_t kEnableBit = 0x01;
    constexpr int kSubstituteOffset = 8;
    const uint8_t *d = data(request);
    std::string why;
    Module *m = applyStationHead(state, d, &why);
    if (!m)
        return refuse(reply(state, request), why);
    // The block carries only these parameters; the others stay as they are.
    const uint8_t keep = uint8_t(~(0x80 | kFilterBits | kEnableBit));
    m->params[0] = uint8_t((m->params[0] & keep) | (d[kFilterOffset] & (kFilterBits | kEnableBit)));
    m->params[2] = d[kSubstituteOffset];
    m->params[3] = d[kSubstituteOffset + 1];
    return reply(state, request);
}

Answer storeConfiguration(AdapterState &state, const Frame &request)
{
    Answer a = reply(state, request);
    a.restart = true;
    return a;
}

Answer processData(AdapterState &state, const Frame &request)
{
    std::vector<Module> &modules = state.config.modules;
    if (state.forceMode)
        busmodules::driveOutputs(modules, data(request));
    ++state.cycle;
    Answer a = reply(state, request);
    a.reply[wire::kParam1Offset] = 0;
    a.reply[wire::kParam2Offset] = 0;
    const std::vector<const Module *> answering = busmodules::answeringModules(modules);
    if (!answering.empty()) {
        const Module *m = answering[state.roundRobin++ % answering.size()];
        a.reply[kProcessStationOffset] = uint8_t(m->station);
        a.reply[wire::kParam1Offset] = m->state;
        a.reply[wire::kParam2Offset] = m->fault;
    }
    const busmodules::Image image = busmodules::inputImage(modules, state.cycle);
    std::copy(image.begin(), image.end(), a.reply.begin() + wire::kDataOffset);
    return a;
}

Answer dispatch(AdapterState &state, const Frame &request)
{
    const int p1 = param1(request);
    const int p2 = param2(request);
    const auto is = [p1, p2](int a, int b) { return p1 == a && p2 == b; };
    switch (code(request)) {
    case CmdIdentity:
        if (is(0, 0))
            return identity(state, request);
        break;
    case CmdPower:
        if (is(0, 0)) {
            Answer a = reply(state, request);
            a.reply[wire::kParam1Offset] = state.config.power;
            a.reply[wire::kParam2Offset] = state.config.temperature;
            return a;
        }
        break;
    case CmdSettings:
        if (is(0, 0)) {
            Answer a = reply(state, request);
            a.reply[wire::kParam1Offset] = state.config.settings;
            a.reply[wire::kParam2Offset] = 0;
            a.reply[wire::kDataOffset] = uint8_t(state.config.threshold & 0xFF);
            a.reply[wire::kDataOffset + 1] = uint8_t(state.config.threshold >> 8);
            return a;
        }
        break;
    case CmdLeaveForce:
        if (is(0, 0)) {
            state.forceMode = false;
            busmodules::clearOutputs(state.config.modules);
            return reply(state, request);
        }
        break;
    case CmdStatus:
        if (is(0, 0x80))
            return busStatus(state, request);
        if (p2 == 0x02)
            return slaveInfo(state, request);
        break;
    case CmdReport:
        if (is(0x06, 0))
            return nextReport(state, request);
        if (is(0x10, 0))
            return lamp(state, request);
        break;
    case CmdWriteSettings:
        if (is(0xAA, 0x55))
            return applySettings(state, request);
        if (p2 == 0)
            return writeSettings(state, request);
        break;
    case CmdConfiguration:
        if (is(0x34, 0x12))
            return storeConfiguration(state, request);
        if (is(0x01, 0))
            return writeSlaveConfig(state, request);
        if (is(0, 0x02))
            return writeConfigBlock(state, request);
        break;
    case CmdAssignment:
        if (is(0xAA, 0x55))
            return requestReports(state, request);
        if (is(0, 0x02))
            return writeAssignment(state, request);
        break;
    case CmdHandshake:
        if (is(0, 0xEC))
            return reply(state, request);
        if (is(0x05, 0)) {
            state.forceMode = true;
            return reply(state, request);
        }
        break;
    case CmdProcessData:
        if (is(0xFE, 0))
            return processData(state, request);
        break;
    default:
        return errorAnswer("unknown command");
    }
    return errorAnswer("unknown parameters for this command");
}
} // namespace

void powerUp(AdapterState &state)
{
    state.pendingSettings = state.config.settings;
    state.pendingThreshold = state.config.threshold;
    state.scanReads = state.scanReadsLeft = state.config.scanReads;
    state.forceMode = false;
    state.reportQueue.clear();
    state.joined.clear();
    state.lampData.clear();
    state.roundRobin = 0;
    state.cycle = 0;
    for (Module &m : state.config.modules)
        m.lamp = false;
    busmodules::clearOutputs(state.config.modules);
    bootLoaderPowerUp(state.boot, state.config);
}

Answer handleRequest(AdapterState &state, const wire::Frame &request)
{
    Answer answer = dispatch(state, request);
    if (answer.kind != Answer::ErrorReport)
        wire::seal(answer.reply);
    return answer;
}

Answer refusal(const AdapterState &state, const wire::Frame &request, std::string note)
{
    Answer answer = refuse(reply(state, request), std::move(note));
    wire::seal(answer.reply);
    return answer;
}

} // namespace tbsim
