#pragma once

#include "BootLoader.h"
#include "BusModules.h"
#include "SimTypes.h"
#include "WireCodec.h"

#include <deque>
#include <string>

// The adapter's command handling: one request frame in, the adapter's
// answer out, as a function of the adapter's state.
namespace tbsim {

struct AdapterState {
    AdapterConfig config;        // identity, active settings, the bus
    uint8_t pendingSettings = 0; // written with 0x42, active after 0x42 AA 55
    uint16_t pendingThreshold = 0;
    int scanReads = 0;           // bus status reads that see the scan since power-up
    int scanReadsLeft = 0;       // those still to come
    bool forceMode = false;
    std::deque<std::string> reportQueue; // uids of the pending identity reports
    std::vector<std::string> joined;     // modules hot-plugged since the last queue request
    Bytes lampData;
    size_t roundRobin = 0;       // next module whose state a process-data reply carries
    uint64_t cycle = 0;          // process-data exchanges since power-up
    BootLoaderState boot;        // the firmware upgrade side
};

struct Answer {
    enum Kind { Reply, Refused, ErrorReport };
    Kind kind = Reply;
    wire::Frame reply{};   // sealed; meaningless for ErrorReport
    bool restart = false;  // the adapter restarts once the reply is out
    std::string note;      // why it refused
};

// The state right after power-up or a restart: a fresh bus scan, nothing
// forced, nothing queued.
void powerUp(AdapterState &state);

Answer handleRequest(AdapterState &state, const wire::Frame &request);

// The answer of an adapter that refuses the request without carrying it out.
Answer refusal(const AdapterState &state, const wire::Frame &request, std::string note);

} // namespace tbsim
