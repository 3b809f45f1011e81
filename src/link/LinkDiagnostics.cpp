#include "LinkDiagnostics.h"

#include <mutex>

namespace {
struct Registry {
    std::mutex mutex;
    QList<std::shared_ptr<LinkDiagnostics>> entries;
    bool traceByDefault = false;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}
} // namespace

std::shared_ptr<LinkDiagnostics> LinkDiagnostics::forSerial(const QString &serial)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    for (const std::shared_ptr<LinkDiagnostics> &entry : qAsConst(r.entries)) {
        if (entry->serial() == serial)
            return entry;
    }
    auto created = std::make_shared<LinkDiagnostics>(serial);
    if (r.traceByDefault)
        created->trace().setOn(true);
    r.entries.append(created);
    return created;
}

QList<std::shared_ptr<LinkDiagnostics>> LinkDiagnostics::all()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    return r.entries;
}

void LinkDiagnostics::setTraceByDefault(bool on)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.mutex);
    r.traceByDefault = on;
    for (const std::shared_ptr<LinkDiagnostics> &entry : qAsConst(r.entries))
        entry->trace().setOn(on);
}
