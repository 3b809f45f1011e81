#pragma once

// The modules of a virtual bus file (sim/buses/*.json) as the adapter would
// report them: slave records from the shipped descriptions in ./Xml with the
// file's stations, unique ids and IO windows, handed out as snapshots.

#include <DeviceXmlLodaing.h>
#include <Slave.h>
#include <SlaveFactory.h>
#include <SlaveSnapshot.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <memory>

namespace topologybus {

// Before the application object: draw offscreen unless a platform is named.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The status record the adapter reads for the module: status byte,
// station, then the input and the output word ((start << 7) | channels).
inline QByteArray statusRecord(const QJsonObject &m)
{
    QByteArray record(28, '\0');
    const auto putWord = [&record](int pos, int start, int channels) {
        const int word = (start << 7) | (channels & 0x7F);
        record[pos] = char(word & 0xFF);
        record[pos + 1] = char(word >> 8);
    };
    record[0] = 1;
    record[1] = char(m.value("station").toInt());
    putWord(2, m.value("inStart").toInt(), m.value("inChannels").toInt());
    putWord(4, m.value("outStart").toInt(), m.value("outChannels").toInt());
    return record;
}

// The first adapter's modules of the bus file; empty when it cannot be read.
inline SlaveList fromFile(const QString &path)
{
    static const bool loaded = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
        DeviceXmlLodaing::instance()->onLoadXmlFile();
        return true;
    }();
    Q_UNUSED(loaded)

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonArray adapters = QJsonDocument::fromJson(file.readAll()).object().value("adapters").toArray();
    const QJsonArray modules = adapters.first().toObject().value("modules").toArray();
    SlaveList slaves;
    SlaveFactory factory;
    for (const QJsonValue &value : modules) {
        const QJsonObject m = value.toObject();
        const int code = m.value("typeCode").toString().toInt(nullptr, 16);
        std::unique_ptr<Slave> slave(factory.create(QString::asprintf("#0000%04X", code), m.value("station").toInt()));
        slave->setUuid(QByteArray::fromHex(m.value("uid").toString().toLatin1()));
        slave->updateFromStatusRecord(statusRecord(m));
        slaves.append(takeSnapshot(*slave));
    }
    return slaves;
}

} // namespace topologybus
