#pragma once

#include "SimTypes.h"

#include <string>
#include <vector>

// The bus file: JSON that names the virtual adapters and their modules.
//
// { "adapters": [ {                        every key but "serial" is optional
//     "serial": "3C2E0A000001",             USB serial number (the adapter's MAC)
//     "manufacturer": "...", "product": "...", "release": 256,   USB strings and release
//     "name": "TBC-U100",                   identity name, at most 32 characters
//     "hardware": "0102",                   2 bytes, hex
//     "boot": [1,0,3], "app": [2,1,7],      versions: major, minor, patch
//     "settings": 1, "threshold": 1000,     settings byte; threshold 201..2999
//     "power": 24, "temperature": 36,       watts, degrees Celsius
//     "status": 1,                          status byte of every reply (bit 5 is the scan's)
//     "configWriteFlag": 0,                 bus status offset 24
//     "scanReads": 2,                       bus status reads that still see the scan after power-up
//     "restartMs": 1500,                    time off USB while restarting
//     "openElsewhere": false,               another program holds it: listed, but not opened
//     "bootLoader": {                       the firmware upgrade side (BootLoader.h)
//         "type": "TBC-U100",               device type text; default: the adapter's name
//         "bootLetter": "V", "appLetter": "V",   letters of the version texts
//         "startAddress": "0x08004000",     where the application is flashed
//         "startsInBootLoader": false,      left there by an interrupted upgrade
//         "answersRestart": false,          answers the restart command before going
//         "rollsBack": false },             the new application does not come up: after the
//                                           restart it runs the one it had, with its version
//     "modules": [ {
//         "typeCode": "0x1102",             number or hex text; required
//         "uid": "DA01B2C3D401",            12 ASCII characters, unique on the adapter; required
//         "station": 1,                     0..128, 0 = not set
//         "local": false,                   the adapter's own module (station 0)
//         "bitsPerChannel": 1,              default: the type's, else 1
//         "inChannels": 16, "outChannels": 0,   allocated; default: what the type has
//         "inCapacity": 16, "outCapacity": 0,   most channels the module takes; default: the type's
//         "inStart": 0, "outStart": 0,      bit addresses 0..511
//         "state": 1, "fault": 0,           status byte, fault byte
//         "params": "000000000000000000000000",  12 bytes, hex
//         "hardware": "0A01",               2 bytes, hex
//         "name": "TB-DI16-P",              at most 20 characters; default: the type name
//         "inputs": { "source": "none" | "constant" | "toggle" | "wire" | "count",
//                     "hex": "A5FF",        constant: the input bits, packed, channel 0 first
//                     "values": [1,0,1],    constant: one value per channel (instead of "hex")
//                     "from": "DA01B2C3D402", "fromChannel": 0 }   wire: follow that module's outputs
//                                           toggle: every input flips with each process-data exchange;
//                                           count: the exchanges since power-up, channel 0 the lowest bit
//     } ],
//     "faults": [ {
//         "kind": "noReply",                notReady, noReply, errorReport, badChecksum,
//                                           wrongCommand, slowReply, unplugMidway, truncatedReply,
//                                           refuse (adapter frames: the refusal mark; upgrade
//                                           commands: answered 0x00 0xFF), babble
//         "command": "0x25", "param1": 0, "param2": 128,   filter; omitted = any
//                                           (upgrade reports: param1, param2 = report bytes 3 and 4)
//         "after": 3,                       matching exchanges let through first
//         "count": 1,                       exchanges faulted then; omitted = all later ones
//         "delayMs": 0, "replugMs": 0 } ]
// } ] }
//
// Unknown keys, wrong types and values out of range are errors; the error
// text names the place ("adapters[0].modules[2].station: ...").
namespace tbsim {

bool parseBus(const std::string &json, std::vector<AdapterConfig> *adapters, std::string *error);
bool readBusFile(const std::string &path, std::vector<AdapterConfig> *adapters, std::string *error);

// The rules every adapter must satisfy, whether it comes from a file or
// from a test; empty when it does.
std::string checkAdapter(const AdapterConfig &config);

} // namespace tbsim
