#pragma once

#include "SimTypes.h"

#include <array>
#include <bitset>
#include <string>
#include <vector>

// The bus behind one adapter: which module answers where, what the adapter
// reports about each one, and the process image moving through them.
namespace tbsim::busmodules {

using InfoBlock = std::array<uint8_t, 64>;
using Image = std::array<uint8_t, kImageBytes>;

constexpr uint8_t kBlockValid = 0x01;
constexpr uint8_t kBlockReported = 0x10; // set in blocks of the pending identity report

// The module that answers at a station: the first one there. Station 0 is
// answered only by the local module.
Module *answeringAt(std::vector<Module> &modules, int station);
const Module *answeringAt(const std::vector<Module> &modules, int station);
Module *byUid(std::vector<Module> &modules, const std::string &uid);
// Compares a 12-byte uid field (zero padded) with the modules' uids.
Module *byUidBytes(std::vector<Module> &modules, const uint8_t *uidField);

// Stations 1..128 that some module answers at; bit n-1 for station n.
std::bitset<kMaxStation> stationMap(const std::vector<Module> &modules);
bool hasLocal(const std::vector<Module> &modules);

// Modules the adapter wants to report: those without a station, and the
// second and later ones of a shared station, in bus order.
std::vector<std::string> unplacedModules(const std::vector<Module> &modules);

// The modules answering at a station (local module first), in station order:
// the process-data exchange reports their states in turn.
std::vector<const Module *> answeringModules(const std::vector<Module> &modules);

InfoBlock infoBlock(const Module &module);

// An IO area word of the configuration records: start << 7 | channel count.
struct AreaWord {
    int start = 0;
    int channels = 0;
};
AreaWord decodeAreaWord(const uint8_t *littleEndian);

// Why an area cannot be given to a module; empty when it can.
std::string checkArea(const Module &module, const AreaWord &area, bool input);

// Every module's inputs at its input start address. cycle counts the
// process-data exchanges (toggling inputs follow it).
Image inputImage(const std::vector<Module> &modules, uint64_t cycle);

// Every module takes its output bits from the image.
void driveOutputs(std::vector<Module> &modules, const uint8_t *image);
void clearOutputs(std::vector<Module> &modules);

// Bit access in packed bytes, bit n = bit n % 8 of byte n / 8; bits beyond
// the end read as 0 and are not written.
bool bitAt(const uint8_t *bytes, size_t size, int bit);
void setBitAt(uint8_t *bytes, size_t size, int bit, bool value);

} // namespace tbsim::busmodules
