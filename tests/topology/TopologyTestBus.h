#pragma once

// Slave snapshots for the topology tests, made from real slave records of
// the shipped descriptions in ./Xml, with the IO windows a test needs.

#include <DeviceXmlLodaing.h>
#include <Slave.h>
#include <SlaveFactory.h>
#include <TestFolders.h>
#include <SlaveSnapshot.h>

#include <QtTest>

#include <memory>

namespace topotest {

constexpr quint16 kDI8 = 0x1101;   // TB-DI8-N
constexpr quint16 kDI16 = 0x1102;  // TB-DI16-P
constexpr quint16 kDO8 = 0x1201;   // TB-DO8-T
constexpr quint16 kDIO8 = 0x1301;  // TB-DIO8-C
constexpr quint16 kAI8 = 0x2102;   // TB-AI8-V, 16 bits a channel
constexpr quint16 kUnknown = 0x7777;

inline void loadDescriptions()
{
    static const bool loaded = [] {
        DeviceXmlLodaing::instance()->onLoadXmlFile();
        return true;
    }();
    Q_UNUSED(loaded)
}

struct Window {
    int start = -1; // -1: leave the description's window
    int channels = 0;
};

// Sets the start address and channel count of the input (or output) item.
inline void setWindow(Slave &slave, bool input, const Window &window)
{
    if (window.start < 0)
        return;
    const ItemsInfo *config = slave.group(Slave::kConfigData);
    for (int i = 0; config && i < config->items.size(); ++i) {
        const ItemInfo *item = config->items.at(i);
        if (input ? item->isInputChannels() : item->isOutputChannels())
            slave.setItemAddress(i, window.start, window.channels);
    }
}

inline QByteArray uuidOf(int station)
{
    return QByteArray::fromHex("DA01B2C3D4") + char(station);
}

// A snapshot of a module of this type at this station.
inline SlaveSnapshot module(quint16 typeCode, int station, Window inputs = {}, Window outputs = {})
{
    loadDescriptions();
    std::unique_ptr<Slave> slave(SlaveFactory().create(QString::asprintf("#0000%04X", typeCode), station));
    slave->setUuid(uuidOf(station));
    setWindow(*slave, true, inputs);
    setWindow(*slave, false, outputs);
    return takeSnapshot(*slave);
}

// The same snapshot with a changed field, as the next notification brings it.
template <typename Change>
SlaveSnapshot changed(const SlaveSnapshot &slave, Change change)
{
    auto copy = std::make_shared<SlaveState>(*slave);
    change(*copy);
    return copy;
}

// count modules of the demonstration kinds, one after another in the image.
inline SlaveList bus(int count)
{
    static const quint16 kinds[] = {kDI8, kDO8, kDI16, kDIO8};
    SlaveList slaves;
    int in = 0;
    int out = 0;
    for (int i = 0; i < count; ++i) {
        const quint16 kind = kinds[i % 4];
        Window inputs;
        Window outputs;
        if (kind != kDO8) {
            const int n = kind == kDI16 ? 16 : 8;
            inputs = {in % 512, n};
            in += n;
        }
        if (kind == kDO8 || kind == kDIO8) {
            outputs = {out % 512, 8};
            out += 8;
        }
        slaves.append(module(kind, i + 1, inputs, outputs));
    }
    return slaves;
}

} // namespace topotest
