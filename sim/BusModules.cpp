#include "BusModules.h"

#include <algorithm>
#include <cstring>

namespace tbsim::busmodules {

namespace {
constexpr int kBlockStation = 1;
constexpr int kBlockInputs = 2;
constexpr int kBlockOutputs = 4;
constexpr int kBlockFault = 7;
constexpr int kBlockType = 8;
constexpr int kBlockHardware = 10;
constexpr int kBlockParams = 16;
constexpr int kBlockUid = 32;
constexpr int kBlockName = 44;

void putArea(InfoBlock &block, int offset, int channels, int start)
{
    block[size_t(offset)] = uint8_t((channels & kMaxChannels) | ((start & 1) << 7));
    block[size_t(offset) + 1] = uint8_t((start >> 1) & 0xFF);
}

void putText(InfoBlock &block, int offset, const std::string &text, int size)
{
    std::copy_n(text.begin(), std::min<size_t>(text.size(), size_t(size)), block.begin() + offset);
}

// The value of one of a module's own input bits.
bool inputBit(const std::vector<Module> &modules, const Module &module, int bit, uint64_t cycle)
{
    const InputSource &source = module.inputs;
    switch (source.kind) {
    case InputSource::None:
        return false;
    case InputSource::Constant:
        return bitAt(source.constant.data(), source.constant.size(), bit);
    case InputSource::Toggle:
        return cycle & 1;
    case InputSource::Count: {
        const int channel = bit / module.bitsPerChannel;
        return channel < 64 && bit % module.bitsPerChannel == 0 && ((cycle >> channel) & 1);
    }
    case InputSource::Wire: {
        const auto from = std::find_if(modules.begin(), modules.end(),
                                       [&](const Module &m) { return m.uid == source.from; });
        if (from == modules.end())
            return false;
        const int channel = bit / module.bitsPerChannel;
        const int bitInChannel = bit % module.bitsPerChannel;
        if (bitInChannel >= from->bitsPerChannel)
            return false;
        const int fromBit = (source.fromChannel + channel) * from->bitsPerChannel + bitInChannel;
        return fromBit < from->outBits() && bitAt(from->outputs.data(), from->outputs.size(), fromBit);
    }
    }
    return false;
}
} // namespace

bool bitAt(const uint8_t *bytes, size_t size, int bit)
{
    const size_t index = size_t(bit) / 8;
    return bit >= 0 && index < size && (bytes[index] >> (bit % 8)) & 1;
}

void setBitAt(uint8_t *bytes, size_t size, int bit, bool value)
{
    const size_t index = size_t(bit) / 8;
    if (bit < 0 || index >= size)
        return;
    const uint8_t mask = uint8_t(1u << (bit % 8));
    bytes[index] = value ? uint8_t(bytes[index] | mask) : uint8_t(bytes[index] & ~mask);
}

Module *answeringAt(std::vector<Module> &modules, int station)
{
    return const_cast<Module *>(answeringAt(static_cast<const std::vector<Module> &>(modules), station));
}

const Module *answeringAt(const std::vector<Module> &modules, int station)
{
    const auto found = std::find_if(modules.begin(), modules.end(), [station](const Module &m) {
        return station == 0 ? m.local : (!m.local && m.station == station);
    });
    return found == modules.end() ? nullptr : &*found;
}

Module *byUid(std::vector<Module> &modules, const std::string &uid)
{
    const auto found = std::find_if(modules.begin(), modules.end(), [&uid](const Module &m) { return m.uid == uid; });
    return found == modules.end() ? nullptr : &*found;
}

Module *byUidBytes(std::vector<Module> &modules, const uint8_t *uidField)
{
    const auto found = std::find_if(modules.begin(), modules.end(), [uidField](const Module &m) {
        uint8_t padded[kUidSize] = {};
        std::copy_n(m.uid.begin(), std::min<size_t>(m.uid.size(), kUidSize), padded);
        return std::memcmp(padded, uidField, kUidSize) == 0;
    });
    return found == modules.end() ? nullptr : &*found;
}

std::bitset<kMaxStation> stationMap(const std::vector<Module> &modules)
{
    std::bitset<kMaxStation> map;
    for (const Module &m : modules) {
        if (!m.local && m.station >= 1 && m.station <= kMaxStation)
            map.set(size_t(m.station - 1));
    }
    return map;
}

bool hasLocal(const std::vector<Module> &modules)
{
    return std::any_of(modules.begin(), modules.end(), [](const Module &m) { return m.local; });
}

std::vector<std::string> unplacedModules(const std::vector<Module> &modules)
{
    std::vector<std::string> uids;
    for (const Module &m : modules) {
        if (m.local)
            continue;
        if (m.station == 0 || answeringAt(modules, m.station) != &m)
            uids.push_back(m.uid);
    }
    return uids;
}

std::vector<const Module *> answeringModules(const std::vector<Module> &modules)
{
    std::vector<const Module *> list;
    for (int station = 0; station <= kMaxStation; ++station) {
        if (const Module *m = answeringAt(modules, station))
            list.push_back(m);
    }
    return list;
}

InfoBlock infoBlock(const Module &module)
{
    InfoBlock block{};
    block[0] = uint8_t(module.state | kBlockValid);
    block[kBlockStation] = uint8_t(module.station);
    putArea(block, kBlockInputs, module.inChannels, module.inStart);
    putArea(block, kBlockOutputs, module.outChannels, module.outStart);
    block[kBlockFault] = module.fault;
    block[kBlockType] = uint8_t(module.typeCode & 0xFF);
    block[kBlockType + 1] = uint8_t(module.typeCode >> 8);
    std::copy(module.hardware.begin(), module.hardware.end(), block.begin() + kBlockHardware);
    std::copy(module.params.begin(), module.params.end(), block.begin() + kBlockParams);
    putText(block, kBlockUid, module.uid, kUidSize);
    putText(block, kBlockName, module.name, kNameSize);
    return block;
}

AreaWord decodeAreaWord(const uint8_t *littleEndian)
{
    const int word = littleEndian[0] | (littleEndian[1] << 8);
    return AreaWord{word >> 7, word & kMaxChannels};
}

std::string checkArea(const Module &module, const AreaWord &area, bool input)
{
    const char *direction = input ? "input" : "output";
    const int capacity = input ? module.inCapacity : module.outCapacity;
    if (area.channels > capacity)
        return std::string(direction) + " channels " + std::to_string(area.channels) + " exceed the module's "
            + std::to_string(capacity);
    const int end = area.start + area.channels * module.bitsPerChannel;
    if (end > kImageBits)
        return std::string(direction) + " area " + std::to_string(area.start) + ".." + std::to_string(end - 1)
            + " runs beyond bit 511";
    return std::string();
}

Image inputImage(const std::vector<Module> &modules, uint64_t cycle)
{
    Image image{};
    for (const Module &m : modules) {
        for (int bit = 0; bit < m.inBits(); ++bit)
            setBitAt(image.data(), image.size(), m.inStart + bit, inputBit(modules, m, bit, cycle));
    }
    return image;
}

void driveOutputs(std::vector<Module> &modules, const uint8_t *image)
{
    for (Module &m : modules) {
        m.outputs.assign(size_t(m.outBits() + 7) / 8, 0);
        for (int bit = 0; bit < m.outBits(); ++bit)
            setBitAt(m.outputs.data(), m.outputs.size(), bit, bitAt(image, kImageBytes, m.outStart + bit));
    }
}

void clearOutputs(std::vector<Module> &modules)
{
    for (Module &m : modules)
        m.outputs.assign(size_t(m.outBits() + 7) / 8, 0);
}

} // namespace tbsim::busmodules
