// The occupancy of the process image and the automatic address allocation.

#include "Adapter.h"

#include "AdapterLog.h"
#include "RecordLayout.h"
#include "Slave.h"

#include <TarnBaseConvert.h>

#include <algorithm>

using namespace TarnBase;

namespace {

bool hasInputs(int code)
{
    return code == ModuleDI || code == ModuleDIO || code == ModuleDIDO || code == ModuleAI || code == ModuleAIO
           || code == ModuleAIAO;
}

bool hasOutputs(int code)
{
    return code == ModuleDO || code == ModuleDIO || code == ModuleDIDO || code == ModuleAO || code == ModuleAIO
           || code == ModuleAIAO;
}

bool isAnalog(int code)
{
    return code >= ModuleAI && code <= ModuleAIAO;
}

bool isDigital(int code)
{
    return code >= ModuleDI && code <= ModuleDIDO;
}

void count(QVector<quint8> &map, int base, int start, int bits)
{
    for (int bit = std::max(0, start); bit < start + bits && bit < Adapter::kImageBits; ++bit) {
        quint8 &counter = map[base + bit];
        if (counter < 0xFF)
            ++counter;
    }
}

QVector<quint8> occupancyOf(const QVector<Slave::IoWindow> &windows)
{
    QVector<quint8> map(2 * Adapter::kImageBits, 0);
    for (const Slave::IoWindow &window : windows) {
        count(map, 0, window.inputStart, window.inputBits);
        count(map, Adapter::kImageBits, window.outputStart, window.outputBits);
    }
    return map;
}

// One module's place in an automatic allocation; index into the planned list.
struct Placement {
    int index = 0;
    quint16 inputWord = 0;
    quint16 outputWord = 0;
    int inputAddress = 0;
    int outputAddress = 0;
};

struct Plan {
    QList<Placement> placements;
    int inputTotal = 0;
    int outputTotal = 0;
};

// Plans addresses for every module of a known kind: the analog modules
// first, then the digital ones, each area rounded up to the alignment unit.
// With respectLimit a module that does not fit in the 512-bit image is left
// out; otherwise every module is placed (to show what all would take).
// The extra (diagnostic) channels belong to every module's area, so that the
// allocation agrees with the areas the modules report. Sizes come from the
// descriptions: they are bounded before they are multiplied.
Plan planAllocation(const QVector<const SlaveFields *> &slaves, int alignmentUnit, bool respectLimit)
{
    const int unit = std::max(1, alignmentUnit);
    const auto rounded = [unit](int bits) { return bits <= 0 ? 0 : unit * ((bits - 1) / unit + 1); };
    const auto channels = [](int n) { return qBound(0, n, int(RecordLayout::kChannelMask)); };

    Plan plan;
    const auto place = [&](int index, const SlaveFields *slave, int inCount, int outCount) {
        const int inSize = rounded(Slave::areaBits(inCount, slave->bitsPerChannel));
        const int outSize = rounded(Slave::areaBits(outCount, slave->bitsPerChannel));
        const bool in = hasInputs(slave->typeCode);
        const bool out = hasOutputs(slave->typeCode);
        // A module is placed only where every area it has fits.
        if (respectLimit
            && ((in && plan.inputTotal + inSize > Adapter::kImageBits) || (out && plan.outputTotal + outSize > Adapter::kImageBits)))
            return;
        Placement p;
        p.index = index;
        p.inputAddress = plan.inputTotal;
        p.outputAddress = plan.outputTotal;
        if (in) {
            p.inputWord = quint16((plan.inputTotal << 7) | (inCount & RecordLayout::kChannelMask));
            plan.inputTotal += inSize;
        }
        if (out) {
            p.outputWord = quint16((plan.outputTotal << 7) | (outCount & RecordLayout::kChannelMask));
            plan.outputTotal += outSize;
        }
        plan.placements.append(p);
    };

    for (int i = 0; i < slaves.size(); ++i) {
        const SlaveFields *slave = slaves.at(i);
        if (isAnalog(slave->typeCode))
            place(i, slave, channels(slave->channelCount) + channels(slave->inputOffs),
                  channels(slave->channelCount) + channels(slave->outputOffs));
    }
    for (int i = 0; i < slaves.size(); ++i) {
        const SlaveFields *slave = slaves.at(i);
        if (!isDigital(slave->typeCode))
            continue;
        const int inChannels = slave->suportChangeableChannel ? (slave->inputChannelCount & RecordLayout::kChannelMask)
                                                              : channels(slave->channelCount);
        const int outChannels = slave->suportChangeableChannel ? (slave->outputChannelCount & RecordLayout::kChannelMask)
                                                               : channels(slave->channelCount);
        place(i, slave, inChannels + channels(slave->inputOffs), outChannels + channels(slave->outputOffs));
    }
    return plan;
}

template <typename List>
QVector<const SlaveFields *> fieldsOf(const List &slaves)
{
    QVector<const SlaveFields *> fields;
    fields.reserve(slaves.size());
    for (const auto &slave : slaves)
        fields.append(&*slave);
    return fields;
}

QPair<quint16, quint16> totalsOf(const Plan &plan)
{
    return {quint16(plan.inputTotal), quint16(plan.outputTotal)};
}

// The first start, on the alignment unit, from which bits bits are free in
// one direction of the map; -1 when they fit nowhere.
int firstFreeStart(const QVector<quint8> &map, int base, int bits, int unit)
{
    for (int start = 0; start + bits <= Adapter::kImageBits; start += unit) {
        const auto begin = map.cbegin() + base + start;
        if (std::all_of(begin, begin + bits, [](quint8 counter) { return counter == 0; }))
            return start;
    }
    return -1;
}

} // namespace

void Adapter::placeInFreeAreas(Slave *slave)
{
    checkThread("placeInFreeAreas");
    const QVector<quint8> others = occupancyMap(slave);
    const Slave::IoLengths lengths = slave->ioLengths();
    const int unit = std::max(1, m_alignmentUnit);
    QByteArray record = slave->configurationRecord().left(RecordLayout::kShortRecordSize);
    const auto place = [&](int pos, int base, int bits) {
        const int start = bits > 0 ? firstFreeStart(others, base, bits, unit) : -1;
        if (start < 0)
            return; // nothing to place, or no room: the area stays where it is
        const quint16 word = RecordLayout::wordAt(record, pos);
        RecordLayout::putWord(record, pos, quint16((start << 7) | (word & RecordLayout::kChannelMask)));
    };
    place(RecordLayout::kInputPos, 0, lengths.inputBits);
    place(RecordLayout::kOutputPos, kImageBits, lengths.outputBits);
    slave->applyShortRecord(record);
}

QVector<quint8> Adapter::occupancyMap(const SlaveList &slaves, quint64 exceptRecordId)
{
    QVector<Slave::IoWindow> windows;
    for (const SlaveSnapshot &slave : slaves) {
        if (slave->recordId != exceptRecordId)
            windows.append(slave->ioWindow);
    }
    return occupancyOf(windows);
}

QVector<quint8> Adapter::occupancyMap(const Slave *except) const
{
    checkThread("occupancyMap");
    QVector<Slave::IoWindow> windows;
    for (const Slave *slave : m_slaves) {
        if (slave != except)
            windows.append(slave->ioWindow());
    }
    return occupancyOf(windows);
}

bool Adapter::hasConflict(const QVector<quint8> &map)
{
    return std::any_of(map.cbegin(), map.cend(), [](quint8 counter) { return counter > 1; });
}

QPair<quint16, quint16> Adapter::allocationTotals(const SlaveList &slaves, int alignmentUnit)
{
    return totalsOf(planAllocation(fieldsOf(slaves), alignmentUnit, false));
}

QPair<quint16, quint16> Adapter::allocationTotals() const
{
    checkThread("allocationTotals");
    return totalsOf(planAllocation(fieldsOf(m_slaves), m_alignmentUnit, false));
}

void Adapter::onAutoSetSlaveAddr()
{
    if (m_upgradeRunning || !usbStatusCheck())
        return;
    allocateAddresses(true);
}

void Adapter::onAutoSetLocalSlaveAddr()
{
    allocateAddresses(false);
}

void Adapter::allocateAddresses(bool live)
{
    if (live)
        beginOperation();
    const QList<Slave *> slaves = m_slaves;
    const Plan plan = planAllocation(fieldsOf(slaves), m_alignmentUnit, true);
    for (const Placement &p : plan.placements) {
        Slave *slave = slaves.at(p.index);
        const QByteArray record = slave->addressRecord(slave->stationId, slave->newStationId, p.inputWord, p.outputWord);
        bool applied = true;
        if (live) {
            COMM_STATUS_TYPE result = COMM_OK;
            applied = writeAddressRecord(record, AdapterOperation::Allocation, result) == WriteResult::Ok;
            if (stopping() || result == COMM_NOT_CONNECTED)
                return;
        }
        if (applied)
            slave->applyShortRecord(record.mid(RecordLayout::kShortRecordOffset, RecordLayout::kShortRecordSize));
        qCDebug(lcAdapter) << slave->newStationId << "TX地址：" << p.outputAddress << "RX地址：" << p.inputAddress;
    }
    if (live) {
        reportLoad(MSG_LIST_CHANGED);
        endOperation(COMM_OK);
    } else {
        // Other threads see the new addresses only through a report.
        reportLoad(MSG_REFRESH_ROWS);
    }
}
