// The occupancy of the process image and the automatic address allocation.

#include "Adapter.h"

#include "AdapterLog.h"
#include "RecordLayout.h"
#include "Slave.h"

#include <QPointer>

namespace {

// The parameter block of an address assignment record: the short
// configuration record starts at byte 12 of it.

enum TypeCode { DI = 0, DO = 1, DIO = 2, DIDO = 3, AI = 4, AO = 5, AIO = 6, AIAO = 7 };

bool hasInputs(int code)
{
    return code == DI || code == DIO || code == DIDO || code == AI || code == AIO || code == AIAO;
}

bool hasOutputs(int code)
{
    return code == DO || code == DIO || code == DIDO || code == AO || code == AIO || code == AIAO;
}

bool isAnalog(int code)
{
    return code >= AI && code <= AIAO;
}

bool isDigital(int code)
{
    return code >= DI && code <= DIDO;
}

void count(QVector<quint8> &map, int base, int start, int bits)
{
    for (int bit = std::max(0, start); bit < start + bits && bit < Adapter::kImageBits; ++bit) {
        quint8 &counter = map[base + bit];
        if (counter < 0xFF)
            ++counter;
    }
}

} // namespace

// One module's place in an automatic allocation.
struct Adapter::Placement {
    QPointer<Slave> slave;
    quint16 inputWord = 0;
    quint16 outputWord = 0;
    int inputAddress = 0;
    int outputAddress = 0;
};

QVector<quint8> Adapter::occupancyMap(const Slave *except) const
{
    QVector<quint8> map(2 * kImageBits, 0);
    for (const Slave *slave : m_slaves) {
        if (slave == except)
            continue;
        const auto window = slave->ioWindow();
        count(map, 0, window.inputStart, window.inputBits);
        count(map, kImageBits, window.outputStart, window.outputBits);
    }
    return map;
}

bool Adapter::hasConflict(const QVector<quint8> &map)
{
    return std::any_of(map.cbegin(), map.cend(), [](quint8 counter) { return counter > 1; });
}

// Plans addresses for every module of a known kind: the analog modules
// first, then the digital ones, each area rounded up to the alignment unit.
// With respectLimit a module that does not fit in the 512-bit image is left
// out; otherwise every module is placed (to show what all would take).
QList<Adapter::Placement> Adapter::planAllocation(bool respectLimit, int *inputTotal, int *outputTotal) const
{
    const int unit = std::max(1, m_alignmentUnit);
    const auto rounded = [unit](int bits) { return bits <= 0 ? 0 : unit * ((bits - 1) / unit + 1); };

    QList<Placement> plan;
    int inputAddress = 0;
    int outputAddress = 0;
    const auto place = [&](Slave *slave, int inCount, int inSize, int outCount, int outSize) {
        const bool in = hasInputs(slave->typeCode);
        const bool out = hasOutputs(slave->typeCode);
        // A module is placed only where every area it has fits.
        if (respectLimit && ((in && inputAddress + inSize > kImageBits) || (out && outputAddress + outSize > kImageBits)))
            return;
        Placement p;
        p.slave = slave;
        p.inputAddress = inputAddress;
        p.outputAddress = outputAddress;
        if (in) {
            p.inputWord = quint16((inputAddress << 7) | (inCount & 0x7F));
            inputAddress += inSize;
        }
        if (out) {
            p.outputWord = quint16((outputAddress << 7) | (outCount & 0x7F));
            outputAddress += outSize;
        }
        plan.append(p);
    };

    // The extra (diagnostic) channels belong to every module's area, so that
    // the allocation agrees with the areas the modules report.
    for (Slave *slave : m_slaves) {
        if (!isAnalog(slave->typeCode))
            continue;
        const int inCount = slave->channelCount + slave->inputOffs;
        const int outCount = slave->channelCount + slave->outputOffs;
        place(slave, inCount, rounded(Slave::areaBits(inCount, slave->bitsPerChannel)), outCount, rounded(Slave::areaBits(outCount, slave->bitsPerChannel)));
    }
    for (Slave *slave : m_slaves) {
        if (!isDigital(slave->typeCode))
            continue;
        const int inChannels = slave->suportChangeableChannel ? (slave->inputChannelCount & 0x7F) : slave->channelCount;
        const int outChannels = slave->suportChangeableChannel ? (slave->outputChannelCount & 0x7F) : slave->channelCount;
        const int inCount = inChannels + slave->inputOffs;
        const int outCount = outChannels + slave->outputOffs;
        place(slave, inCount, rounded(Slave::areaBits(inCount, slave->bitsPerChannel)), outCount, rounded(Slave::areaBits(outCount, slave->bitsPerChannel)));
    }
    if (inputTotal)
        *inputTotal = inputAddress;
    if (outputTotal)
        *outputTotal = outputAddress;
    return plan;
}

QPair<quint16, quint16> Adapter::allocationTotals() const
{
    int inputs = 0;
    int outputs = 0;
    planAllocation(false, &inputs, &outputs);
    return {quint16(inputs), quint16(outputs)};
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
    if (live) {
        beginOperation();
    }
    const QList<Placement> plan = planAllocation(true, nullptr, nullptr);
    for (const Placement &p : plan) {
        Slave *slave = p.slave;
        if (!slave)
            continue;
        const QByteArray record = addressRecord(slave, slave->stationId, slave->newStationId, p.inputWord, p.outputWord);
        bool applied = true;
        if (live) {
            COMM_STATUS_TYPE result = COMM_OK;
            applied = writeAddressRecord(record, result) == WriteResult::Ok;
            if (stopping() || result == COMM_NOT_CONNECTED)
                return;
        }
        if (applied)
            slave->applyShortRecord(record.mid(12, 25));
        qCDebug(lcAdapter) << slave->newStationId << "TX地址：" << p.outputAddress << "RX地址：" << p.inputAddress;
    }
    if (live) {
        m_busy = false;
        reportLoad(MSG_LIST_CHANGED);
        startPolling();
    }
}
