// Offline slaves and the import of configuration CSV lines.

#include "Adapter.h"

#include "AdapterLog.h"
#include "AdapterThread.h"
#include "ItemsInfo.h"
#include "Slave.h"
#include "SlaveFactory.h"

#include <memory>

namespace {
constexpr int kTypeColumn = 0;
constexpr int kStationColumn = 1;
constexpr int kDeviceIdColumn = 10;
constexpr int kUidColumn = 11;
constexpr int kMinUidLength = 6; // a shorter column 11 is a parameter value, not a UID

// A module added to an offline configuration takes the channels its
// description gives it, as a module read from the bus or from a CSV line
// does; with none, its areas would be empty in the occupancy map and in
// every record written for it.
void giveDescribedChannels(Slave *slave)
{
    ItemsInfo *config = slave->group(Slave::kConfigData);
    if (!config)
        return;
    for (ItemInfo *item : qAsConst(config->items)) {
        if (item->isInputChannels())
            item->channels = qint16(slave->suportChangeableChannel ? slave->inputChannelCount : slave->channelCount);
        else if (item->isOutputChannels())
            item->channels = qint16(slave->suportChangeableChannel ? slave->outputChannelCount : slave->channelCount);
    }
}

} // namespace

Slave *Adapter::createOfflineSlave(int station, const QByteArray &typeKey)
{
    return runInThread(this, [=]() -> Slave * {
        SlaveFactory factory;
        Slave *slave = factory.create(QString::fromLatin1(typeKey), station);
        slave->setAlignment(m_alignmentUnit);
        giveDescribedChannels(slave);
        wireSlave(slave);
        m_slaves.append(slave);
        updateSlaveCount();
        emit sigFileCreaterSlave(station);
        return slave;
    });
}

bool Adapter::removeOfflineSlave(const QByteArray &uuid)
{
    return runInThread(this, [=]() -> bool {
        Slave *slave = findSlaveByUuid(uuid);
        if (!slave)
            return false;
        m_slaves.removeOne(slave);
        slave->deleteLater();
        updateSlaveCount();
        return true;
    });
}

Adapter::CsvImportResult Adapter::importCsvLine(const QString &line, bool withUid)
{
    return runInThread(this, [=] { return importLine(line, withUid, false); });
}

Adapter::CsvImportResult Adapter::importCsvLineOffline(const QString &line, bool withUid)
{
    return runInThread(this, [=] { return importLine(line, withUid, true); });
}

Adapter::CsvImportResult Adapter::importLine(const QString &line, bool withUid, bool offline)
{
    CsvImportResult result;
    const QStringList fields = line.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
    const QString uid = fields.value(kUidColumn);
    const QString deviceId = fields.value(kDeviceIdColumn);
    QString typeText = fields.value(kTypeColumn);
    result.typeText = typeText;
    // A file without UIDs marks the type with a leading "*"; it is not part of the name.
    if (typeText.startsWith(QLatin1Char('*')))
        typeText.remove(0, 1);
    m_importing = true;
    if (fields.size() > 2)
        result.station = int(fields.at(kStationColumn).toUInt());

    if (!offline) {
        beginOperation();
    }
    const bool byUid = withUid && uid.size() >= kMinUidLength;
    Slave *slave = nullptr;
    for (Slave *candidate : qAsConst(m_slaves)) {
        if (byUid ? QString::fromLatin1(candidate->uuid.toHex().toUpper()) == uid
                  : candidate->newStationId == result.station) {
            slave = candidate;
            break;
        }
    }
    std::unique_ptr<Slave> created;
    if (!slave && offline && !deviceId.isEmpty()) {
        SlaveFactory factory;
        created.reset(factory.create(deviceId, result.station));
        // Without a description of this device there is nothing to configure it with.
        if (created->moduleIdent != deviceId)
            return result;
        slave = created.get();
        slave->setAlignment(m_alignmentUnit);
        // The UID column is the module's identity: keep it, so that the
        // configuration can later be matched to the module on the bus.
        if (byUid)
            slave->setUuid(QByteArray::fromHex(uid.toLatin1()));
    }
    if (!slave || slave->moduleIdent != deviceId) {
        if (!offline)
            m_busy = false;
        return result;
    }
    const bool applied = withUid ? slave->applyCsvLineWithUid(line) : slave->applyCsvLine(line);
    if (!applied) {
        // A line that fails adds nothing to the configuration.
        if (!offline)
            m_busy = false;
        return result;
    }
    if (created) {
        wireSlave(slave);
        m_slaves.append(created.release());
        updateSlaveCount();
    }
    slave->statusBit4 = 0;
    slave->typeName = typeText;
    if (!offline)
        m_busy = false;
    result.ok = true;
    return result;
}
