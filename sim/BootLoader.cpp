#include "BootLoader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tbsim {

using namespace boot;

namespace {

constexpr uint8_t kOk[] = {0xFF, 0x00};
constexpr uint8_t kRefused[] = {0x00, 0xFF};
constexpr int kCommandOffset = 1; // in the payload, after the marker
constexpr int kArgumentOffset = 2;

// Image header (the upgrade file's), little-endian.
constexpr size_t kHeaderSize = 96;
constexpr size_t kVersionOffset = 28;
constexpr size_t kVersionSize = 24;
constexpr size_t kBodyCrcOffset = 76;
constexpr size_t kBodyLengthOffset = 88;
constexpr size_t kHeaderCrcOffset = 92;

// Device information reply.
constexpr int kHardwareOffset = 4;
constexpr int kBootOffset = 6;
constexpr int kAppOffset = 10;
constexpr int kTypeOffset = 14;

std::string hex32(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

uint32_t littleEndian(const Bytes &bytes, size_t offset)
{
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16
        | uint32_t(bytes[offset + 3]) << 24;
}

BootAnswer answer(uint8_t command, const uint8_t (&result)[2])
{
    BootAnswer a;
    a.report[0] = kMarker;
    a.report[kCommandOffset] = command;
    a.report[2] = result[0];
    a.report[3] = result[1];
    return a;
}

BootAnswer success(uint8_t command)
{
    return answer(command, kOk);
}

BootAnswer refuse(uint8_t command, std::string note)
{
    BootAnswer a = answer(command, kRefused);
    a.kind = BootAnswer::Refused;
    a.note = std::move(note);
    return a;
}

// How many argument bytes a well-formed request of this command carries;
// -1 for a command the boot loader does not know.
int argumentCount(uint8_t command, const uint8_t *payload)
{
    switch (command) {
    case CmdDeviceInfo:
    case CmdEnterUpgrade:
    case CmdStartBurning:
    case CmdBeginTransfer:
    case CmdFinishFirst:
    case CmdFinishSecond:
        return 0;
    case CmdRestart:
        return 3;
    case CmdAnnounceBlock:
        return 4;
    case CmdBlockData:
        return 2 + payload[kArgumentOffset + 1];
    default:
        return -1;
    }
}

std::string malformed(uint8_t command, const uint8_t *payload)
{
    const int count = argumentCount(command, payload);
    if (count < 0)
        return "upgrade report with the unknown command " + hex32(command);
    if (command == CmdBlockData) {
        const int length = payload[kArgumentOffset + 1];
        if (payload[kArgumentOffset] != 0x00 || length < 1 || length > kMaxPiece)
            return "block data report with the header " + std::to_string(payload[kArgumentOffset]) + " "
                + std::to_string(length) + ", expected 0 and a length of 1 to 60";
    }
    const uint8_t *padding = payload + kArgumentOffset + count;
    const uint8_t *end = payload + wire::kReportSize;
    if (const uint8_t *dirty = std::find_if(padding, end, [](uint8_t b) { return b != 0; }); dirty != end)
        return "upgrade report " + hex32(command) + ": byte " + std::to_string(dirty - payload + 1)
            + " after the arguments is not zero";
    return std::string();
}

void putVersion(wire::Report &report, int offset, char letter, const std::array<uint8_t, 3> &numbers)
{
    report[size_t(offset)] = uint8_t(letter);
    std::copy(numbers.begin(), numbers.end(), report.begin() + offset + 1);
}

BootAnswer deviceInfo(const AdapterConfig &config)
{
    BootAnswer a = success(CmdDeviceInfo);
    const BootLoaderConfig &b = config.bootLoader;
    a.report[kHardwareOffset] = config.hardware[0];
    a.report[kHardwareOffset + 1] = config.hardware[1];
    putVersion(a.report, kBootOffset, b.bootLetter, config.boot);
    putVersion(a.report, kAppOffset, b.appLetter, config.app);
    const std::string &type = b.type.empty() ? config.name : b.type;
    const size_t room = a.report.size() - kTypeOffset - 1; // keeps the terminating NUL
    std::copy_n(type.begin(), std::min(type.size(), room), a.report.begin() + kTypeOffset);
    return a;
}

void dropTransfer(BootLoaderState &state)
{
    state.burning = false;
    state.receiving = false;
    state.blockOpen = false;
    state.block.clear();
    state.imageChecked = false;
}

// Empty when the image is one the device would run.
std::string checkImage(const Bytes &image)
{
    if (image.size() < kHeaderSize)
        return "the image is shorter than its header";
    if (crc32(image.data(), kHeaderCrcOffset) != littleEndian(image, kHeaderCrcOffset))
        return "the image's header CRC does not match";
    const uint64_t bodyEnd = kHeaderSize + uint64_t(littleEndian(image, kBodyLengthOffset));
    if (bodyEnd > image.size())
        return "the image is shorter than its body length";
    if (crc32(image.data() + kHeaderSize, size_t(bodyEnd - kHeaderSize)) != littleEndian(image, kBodyCrcOffset))
        return "the image's body CRC does not match";
    const bool padded = std::all_of(image.begin() + long(bodyEnd), image.end(), [](uint8_t b) { return b == 0xFF; });
    if (image.size() - bodyEnd >= size_t(kBlockSize) || !padded)
        return "after the body comes more than the last block's 0xFF padding";
    return std::string();
}

// The second word of the image's version text: up to three numbers.
std::array<uint8_t, 3> imageVersion(const Bytes &image)
{
    const auto field = image.begin() + long(kVersionOffset);
    const std::string text(field, std::find(field, field + long(kVersionSize), uint8_t(0)));
    const size_t space = text.find(' ');
    std::array<uint8_t, 3> version{};
    if (space == std::string::npos)
        return version;
    const char *cursor = text.c_str() + space + 1;
    for (uint8_t &part : version) {
        char *end = nullptr;
        part = uint8_t(std::strtol(cursor, &end, 10));
        if (*end != '.')
            break;
        cursor = end + 1;
    }
    return version;
}

BootAnswer blockData(BootLoaderState &state, const uint8_t *payload)
{
    if (!state.blockOpen)
        return refuse(CmdBlockData, "block data without an announced block");
    const int length = payload[kArgumentOffset + 1];
    if (state.block.size() + size_t(length) > size_t(kBlockSize)) {
        dropTransfer(state);
        return refuse(CmdBlockData, "block data beyond the block's 1024 bytes");
    }
    const uint8_t *data = payload + kArgumentOffset + 2;
    state.block.insert(state.block.end(), data, data + length);
    if (state.block.size() == size_t(kBlockSize)) {
        state.received.insert(state.received.end(), state.block.begin(), state.block.end());
        state.block.clear();
        state.blockOpen = false;
        state.nextAddress += uint32_t(kBlockSize);
        return success(CmdBlockData);
    }
    // Full pieces fill a block silently; a short one must end it.
    if (length != kMaxPiece) {
        dropTransfer(state);
        return refuse(CmdBlockData, "a short piece that does not end its block");
    }
    BootAnswer silent;
    silent.kind = BootAnswer::Silent;
    return silent;
}

BootAnswer restart(BootLoaderState &state, const BootLoaderConfig &config, const uint8_t *payload)
{
    const bool runApplication = std::any_of(payload + kArgumentOffset, payload + kArgumentOffset + 3,
                                            [](uint8_t b) { return b != 0; });
    if (!runApplication) {
        BootAnswer a = success(CmdRestart);
        if (!config.answersRestart)
            a.kind = BootAnswer::Silent;
        a.restart = true;
        return a;
    }
    ++state.runApplicationRequests;
    if (!state.running)
        return success(CmdRestart); // the application runs already
    if (state.applicationErased) {
        // Nothing to run; whatever was being received is lost.
        dropTransfer(state);
        return refuse(CmdRestart, "no application to run");
    }
    BootAnswer a = success(CmdRestart);
    a.restart = true;
    return a;
}

} // namespace

bool isUpgradeReport(const uint8_t *data, size_t length)
{
    return data && length >= 2 && data[0] == 0x00 && data[1] == kMarker;
}

wire::Report refusalReport(uint8_t command)
{
    return answer(command, kRefused).report;
}

uint32_t crc32(const uint8_t *bytes, size_t length)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void bootLoaderPowerUp(BootLoaderState &state, const AdapterConfig &config)
{
    if (!state.poweredUp) {
        state.poweredUp = true;
        state.applicationErased = config.bootLoader.startsInBootLoader;
    }
    state.running = state.applicationErased;
    state.upgradeMode = state.running;
    dropTransfer(state);
    state.received.clear();
}

BootAnswer handleUpgradeRequest(BootLoaderState &state, AdapterConfig &config, const uint8_t *payload)
{
    const uint8_t command = payload[kCommandOffset];
    if (std::string why = malformed(command, payload); !why.empty()) {
        BootAnswer a = refuse(command, why);
        a.violation = std::move(why);
        return a;
    }

    switch (command) {
    case CmdDeviceInfo:
        return deviceInfo(config);
    case CmdEnterUpgrade:
        state.running = true;
        state.upgradeMode = true;
        dropTransfer(state);
        return success(command);
    case CmdStartBurning: {
        if (!state.upgradeMode)
            return refuse(command, "not in upgrade mode");
        dropTransfer(state);
        state.applicationErased = true;
        state.burning = true;
        state.received.clear();
        BootAnswer a = success(command);
        const uint32_t address = config.bootLoader.startAddress;
        for (int i = 0; i < 4; ++i)
            a.report[size_t(4 + i)] = uint8_t(address >> (24 - 8 * i));
        return a;
    }
    case CmdBeginTransfer:
        if (!state.burning)
            return refuse(command, "burning has not started");
        state.receiving = true;
        state.nextAddress = config.bootLoader.startAddress;
        state.received.clear();
        return success(command);
    case CmdAnnounceBlock: {
        if (!state.receiving)
            return refuse(command, "block announced outside a transfer");
        if (state.blockOpen)
            return refuse(command, "the previous block is incomplete");
        const uint8_t *a = payload + kArgumentOffset;
        const uint32_t address = uint32_t(a[0]) << 24 | uint32_t(a[1]) << 16 | uint32_t(a[2]) << 8 | a[3];
        if (address != state.nextAddress)
            return refuse(command, "block at " + hex32(address) + ", expected " + hex32(state.nextAddress));
        state.blockOpen = true;
        state.block.clear();
        return success(command);
    }
    case CmdBlockData:
        return blockData(state, payload);
    case CmdFinishFirst: {
        if (!state.receiving || state.blockOpen)
            return refuse(command, "no complete transfer to check");
        if (std::string why = checkImage(state.received); !why.empty())
            return refuse(command, why);
        state.imageChecked = true;
        return success(command);
    }
    case CmdFinishSecond:
        if (!state.imageChecked)
            return refuse(command, "the image has not been checked");
        state.flashed = state.received;
        state.applicationErased = false;
        // Falling back keeps the application that ran before, and its version.
        if (!config.bootLoader.rollsBack)
            config.app = imageVersion(state.flashed);
        ++state.upgradesCompleted;
        dropTransfer(state);
        return success(command);
    case CmdRestart:
        return restart(state, config.bootLoader, payload);
    default:
        return refuse(command, "unknown command");
    }
}

} // namespace tbsim
