#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Plain data of the virtual adapter, shared by its parts and its control
// API. Standard types only: the hidapi layer keeps running while the
// process's static destructors call it, after Qt may be gone.
namespace tbsim {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kVendorId = 0x2E3C;
constexpr uint16_t kProductId = 0xAF01;
constexpr int kMaxStation = 128;
constexpr int kImageBits = 512;   // per direction
constexpr int kImageBytes = kImageBits / 8;
constexpr int kUidSize = 12;
constexpr int kNameSize = 20;
constexpr int kParamSize = 12;
constexpr int kMaxChannels = 0x7F; // channel counts travel in 7 bits

// Where a module's inputs come from.
struct InputSource {
    // Count: the adapter's process-data exchanges since power-up, in binary,
    // channel 0 the lowest bit (a counter wired to the inputs, so that a
    // reader can tell every cycle from the one before).
    enum Kind { None, Constant, Toggle, Wire, Count };
    Kind kind = None;
    Bytes constant;          // Constant: the module's input bits, packed, channel 0 first
    std::string from;        // Wire: uid of the module whose outputs feed these inputs
    int fromChannel = 0;     // Wire: first output channel of that module
};

// One IO module on the bus, with what it stores and what it drives.
struct Module {
    uint16_t typeCode = 0;
    std::string uid;         // 12 ASCII characters
    int station = 0;         // 1..128; 0 = not set (or the local module)
    bool local = false;      // the adapter's own module at station 0
    int bitsPerChannel = 1;
    int inChannels = 0;      // allocated
    int outChannels = 0;
    int inStart = 0;         // bit addresses into the process image
    int outStart = 0;
    int inCapacity = 0;      // the most channels the hardware can take
    int outCapacity = 0;
    uint8_t state = 0x01;    // bit 0 running, bits 1, 2, 4, 5 flags
    uint8_t fault = 0;       // bits 0..5
    std::array<uint8_t, kParamSize> params{};
    std::array<uint8_t, 2> hardware{};
    std::string name;        // at most 20 ASCII characters
    InputSource inputs;
    Bytes outputs;           // driven output bits, packed, channel 0 first
    bool lamp = false;       // locating lamp lit

    int inBits() const { return inChannels * bitsPerChannel; }
    int outBits() const { return outChannels * bitsPerChannel; }
};

// Named faults an adapter can be told to commit.
enum class FaultKind {
    NotReady,        // the reply's offset 3 holds only the command nibble (handshake: 0x08, not "H")
    NoReply,         // the request is carried out but nothing is answered
    ErrorReport,     // one report with byte 0 = 0x1E; the request is not carried out
    BadChecksum,     // the reply's checksum bytes are corrupted
    WrongCommand,    // the reply's offset 3 carries another command nibble
    SlowReply,       // the reply becomes readable only after delayMs
    UnplugMidway,    // the adapter vanishes once the request's first report arrived
    TruncatedReply,  // only the first reply report is sent
    Refuse,          // the request is not carried out: an adapter frame is answered with its refusal
                     // mark (offset 3, bit 7), an upgrade command with 0x00 0xFF
    Babble,          // after its reply the adapter keeps sending unasked reports until its faults are cleared
};

// A fault applied to some exchanges of one adapter.
struct FaultRule {
    FaultKind kind = FaultKind::NoReply;
    int code = -1;     // command code to match; -1 matches every command
    int param1 = -1;   // -1 matches any
    int param2 = -1;
    int skip = 0;      // matching exchanges let through first
    int count = -1;    // matching exchanges then faulted; -1 = all of them
    int delayMs = 0;   // SlowReply: how long the reply is held back
    int replugMs = 0;  // UnplugMidway: back after this long; 0 = until replugged
};

// How many requests of one command and parameters an adapter received.
struct RequestCount {
    uint8_t code = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
    int count = 0;
};

// One request as the adapter received it.
struct TrafficEntry {
    enum Outcome { Replied, Refused, ErrorReport, Faulted };
    int64_t timeMs = 0;      // since the simulator started
    uint8_t code = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
    Bytes data;              // the 64-byte data area (of a request cut short: what arrived)
    Outcome outcome = Replied;
    FaultKind fault = FaultKind::NoReply; // meaningful when Faulted
    Bytes reply;             // the 72-byte reply frame as sent (empty when none)
    std::string note;        // why a request was refused or answered with an error report
};

// The boot loader that answers the firmware upgrade protocol on the
// adapter's USB device.
struct BootLoaderConfig {
    std::string type;                   // device type text of its information reply; empty: the adapter's name
    char bootLetter = 'V';              // version letters of the information reply
    char appLetter = 'V';
    uint32_t startAddress = 0x08004000; // where the application is flashed
    bool startsInBootLoader = false;    // left there by an interrupted upgrade: no application to run
    bool answersRestart = false;        // answers the restart command before going; else it just goes
    // A new application that does not come up: the upgrade passes both
    // finishing steps, and after the restart the adapter runs the
    // application it had before (a boot loader that falls back to it), with
    // that application's version.
    bool rollsBack = false;
};

// Everything that describes one adapter and its bus.
struct AdapterConfig {
    std::string serial = "3C2E0A000001";
    std::string manufacturer = "Tarn Automation";
    std::string product = "TarnBUS USB Adapter";
    uint16_t release = 0x0100;
    std::string name = "TBC-U100";
    std::array<uint8_t, 2> hardware{{0x01, 0x02}};
    std::array<uint8_t, 3> boot{{1, 0, 3}};
    std::array<uint8_t, 3> app{{2, 1, 7}};
    uint8_t settings = 0x01;
    uint16_t threshold = 1000;
    uint8_t power = 24;
    uint8_t temperature = 36;
    uint8_t status = 0x01;
    uint8_t configWriteFlag = 0;
    int scanReads = 2;       // bus status reads that still see a scan after power-up
    int restartMs = 1500;    // time off USB while restarting
    bool openElsewhere = false; // another program holds the device: listed on USB, but it cannot be opened
    std::vector<Module> modules;
    std::vector<FaultRule> faults;
    BootLoaderConfig bootLoader;
};

} // namespace tbsim
