// Offline slaves and the configuration CSV lines.

#include "Adapter.h"

#include "AdapterLog.h"
#include "Slave.h"
#include "SlaveFactory.h"

#include <memory>

namespace {
constexpr int kTypeColumn = 0;
constexpr int kStationColumn = 1;
constexpr int kDeviceIdColumn = 10;
constexpr int kUidColumn = 11;
constexpr int kMinUidLength = 6; // a shorter column 11 is a parameter value, not a UID
} // namespace

void Adapter::requestCreateOfflineSlave(int station, const QByteArray &typeKey)
{
    inWorker([this, station, typeKey] {
        if (Slave *slave = createOfflineSlave(station, typeKey)) {
            placeInFreeAreas(slave);
            reportLoad(MSG_LIST_CHANGED);
        }
    });
}

void Adapter::requestRemoveSlave(quint64 recordId)
{
    inWorker([this, recordId] {
        if (removeOfflineSlave(recordId))
            reportLoad(MSG_LIST_CHANGED);
    });
}

void Adapter::requestCsvImport(const QStringList &lines, bool withUid)
{
    inWorker([this, lines, withUid] {
        const QList<CsvImportResult> results = importCsvLines(lines, withUid);
        emit sigCsvImported(results);
        reportLoad(MSG_LIST_CHANGED);
    });
}

void Adapter::requestDropUnwritten()
{
    inWorker([this] {
        if (m_offline)
            return; // an offline configuration is what it holds
        for (Slave *slave : qAsConst(m_slaves))
            slave->takeModuleState();
        refreshList();
        reportLoad(MSG_LIST_CHANGED);
    });
}

void Adapter::requestCsvLines(bool withUid)
{
    inWorker([this, withUid] { emit sigCsvLines(csvLines(withUid), withUid); });
}

Slave *Adapter::createOfflineSlave(int station, const QByteArray &typeKey)
{
    checkThread("createOfflineSlave");
    if (m_slaves.size() >= kMaxSlaves)
        return nullptr;
    Slave *slave = SlaveFactory().create(QString::fromLatin1(typeKey), station);
    slave->setAlignment(m_alignmentUnit);
    slave->giveDescribedChannels();
    wireSlave(slave);
    m_slaves.append(slave);
    updateSlaveCount();
    emit sigFileCreaterSlave(station);
    return slave;
}

bool Adapter::removeOfflineSlave(quint64 recordId)
{
    checkThread("removeOfflineSlave");
    Slave *slave = findSlaveByRecordId(recordId);
    if (!slave)
        return false;
    releaseSlave(slave);
    updateSlaveCount();
    return true;
}

QStringList Adapter::csvLines(bool withUid) const
{
    checkThread("csvLines");
    QStringList lines;
    for (const Slave *slave : m_slaves) {
        const QString line = withUid ? slave->toCsvLineWithUid() : slave->toCsvLine();
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QList<CsvImportResult> Adapter::importCsvLines(const QStringList &lines, bool withUid)
{
    checkThread("importCsvLines");
    QList<CsvImportResult> results;
    // A live adapter holds still while its slaves change, and polls again
    // afterwards, whatever the lines held.
    const bool live = !m_offline;
    m_importing = true;
    if (live)
        beginOperation();
    QSet<const Slave *> taken;
    for (const QString &line : lines)
        results.append(importLine(line, withUid, taken));
    m_importing = false;
    if (live)
        endOperation(COMM_OK);
    return results;
}

Slave *Adapter::slaveForLine(int station, const QString &uid, const QString &deviceId,
                             const QSet<const Slave *> &taken) const
{
    if (!uid.isEmpty()) {
        for (Slave *candidate : m_slaves) {
            if (QString::fromLatin1(candidate->uuid.toHex().toUpper()) == uid)
                return candidate;
        }
        return nullptr;
    }
    // Station 0 is where every module without a station of its own sits:
    // without a UID it can only mean the adapter's own module, which
    // carries station 0 in its record.
    if (station == 0) {
        for (Slave *candidate : m_slaves) {
            if (candidate->recordCarriesStation && candidate->moduleIdent == deviceId && !taken.contains(candidate))
                return candidate;
        }
        return nullptr;
    }
    // A repeated station: its modules of the line's type take its lines in
    // list order, the order an export writes them in. Once each has had a
    // line, a further one goes to the first again on a bus, and makes a
    // module of its own in an offline configuration. A module of another
    // type there is named all the same, and refused for its type.
    Slave *atStation = nullptr;
    Slave *sameType = nullptr;
    for (Slave *candidate : m_slaves) {
        if (candidate->newStationId != station)
            continue;
        if (candidate->moduleIdent != deviceId) {
            atStation = atStation ? atStation : candidate;
            continue;
        }
        if (!taken.contains(candidate))
            return candidate;
        sameType = sameType ? sameType : candidate;
    }
    if (sameType)
        return m_offline ? nullptr : sameType;
    return atStation;
}

CsvImportResult Adapter::importLine(const QString &line, bool withUid, QSet<const Slave *> &taken)
{
    CsvImportResult result;
    const QStringList fields = line.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
    // A UID is matched whatever the case of its hex digits (a spreadsheet may
    // have changed it), as the file check accepts it.
    const QString uid = fields.value(kUidColumn).trimmed().toUpper();
    const QString deviceId = fields.value(kDeviceIdColumn).trimmed();
    QString typeText = fields.value(kTypeColumn);
    result.typeText = typeText;
    // A file without UIDs marks the type with a leading "*"; it is not part of the name.
    if (typeText.startsWith(QLatin1Char('*')))
        typeText.remove(0, 1);
    if (fields.size() > 2)
        result.station = int(fields.at(kStationColumn).toUInt());

    const bool byUid = withUid && uid.size() >= kMinUidLength;
    Slave *slave = slaveForLine(result.station, byUid ? uid : QString(), deviceId, taken);
    // Station 0 without a UID names no module but the adapter's own: the
    // line is left out, and neither matched nor created.
    if (!slave && !byUid && result.station == 0) {
        result.skipped = true;
        return result;
    }
    std::unique_ptr<Slave> created;
    if (!slave && m_offline && !deviceId.isEmpty() && m_slaves.size() < kMaxSlaves) {
        created.reset(SlaveFactory().create(deviceId, result.station));
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
    if (!slave || slave->moduleIdent != deviceId)
        return result;
    const bool applied = withUid ? slave->applyCsvLineWithUid(line) : slave->applyCsvLine(line);
    if (!applied)
        return result; // a line that fails adds nothing to the configuration
    if (created) {
        wireSlave(slave);
        m_slaves.append(created.release());
        updateSlaveCount();
    }
    slave->takeImportedLine(typeText);
    taken.insert(slave);
    result.ok = true;
    return result;
}
