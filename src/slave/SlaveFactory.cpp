#include "SlaveFactory.h"

#include "SlaveKinds.h"
#include "SlaveLog.h"

#include <DescriptionParser.h>
#include <TarnBaseConvert.h>

#include <memory>

using namespace TarnBase;

const QString SlaveFactory::kFallbackIdent = QStringLiteral("#00000000");

namespace {

const ModuleDescription *findDevice(const QList<DescriptionFilePtr> &library, const QString &identity)
{
    for (const DescriptionFilePtr &file : library) {
        if (const ModuleDescription *device = file->find(identity))
            return device;
    }
    return nullptr;
}

Slave *newKind(int code, int station)
{
    switch (code) {
    case ModuleDI:
        return new SlaveDI(station);
    case ModuleDO:
        return new SlaveDO(station);
    case ModuleDIO:
        return new SlaveDIO(station);
    case ModuleDIDO:
        return new SlaveDIDO(station);
    case ModuleAI:
        return new SlaveAI(station);
    case ModuleAO:
        return new SlaveAO(station);
    case ModuleAIAO:
        return new SlaveAIAO(station);
    default:
        return nullptr;
    }
}

} // namespace

SlaveFactory::SlaveFactory(QObject *parent)
    : QObject(parent)
{
}

Slave *SlaveFactory::create(const QString &identity, int station) const
{
    // The snapshot keeps the descriptions alive even if the library is
    // reloaded meanwhile.
    return createFrom(DeviceXmlLodaing::instance()->files(), identity, station);
}

Slave *SlaveFactory::createFrom(const QList<DescriptionFilePtr> &library, const QString &identity, int station)
{
    if (const ModuleDescription *device = findDevice(library, identity)) {
        const int code = isDeviceType(device->moduleClass);
        if (Slave *slave = newKind(code, station)) {
            slave->typeCode = code;
            slave->loadDescription(device);
            return slave;
        }
    }
    qCDebug(lcSlave) << "no kind for module" << identity << "- shown as undefined";
    auto *slave = new undefindSlave(station);
    slave->typeCode = ModuleUndefined;
    slave->loadDescription(findDevice(library, kFallbackIdent));
    slave->typeCode = ModuleUndefined;
    slave->typeName = undefindSlave::kTypeName;
    return slave;
}

bool SlaveFactory::hasKind(const QString &moduleClass)
{
    const std::unique_ptr<Slave> probe(newKind(isDeviceType(moduleClass), 0));
    return probe != nullptr;
}
