#include "SvgTemplateCache.h"

#include "TopologyLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSvgRenderer>
#include <QThread>

SvgTemplateCache &SvgTemplateCache::instance()
{
    static SvgTemplateCache cache;
    return cache;
}

SvgTemplateCache::TemplatePtr SvgTemplateCache::find(const QString &path)
{
    Q_ASSERT_X(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread(),
               "SvgTemplateCache::find", "pictures are made in the user-interface thread");
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_entries.remove(path);
        return nullptr;
    }
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    auto it = m_entries.find(path);
    if (it != m_entries.end() && (*it)->modified == modified && (*it)->size == size)
        return *it;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcTopology) << "cannot read" << path << file.errorString();
        m_entries.remove(path);
        return nullptr;
    }
    auto entry = std::make_shared<Template>();
    entry->path = path;
    entry->bytes = file.readAll();
    entry->modified = modified;
    entry->size = size;
    QString error;
    entry->parsed = SvgTemplate::parse(entry->bytes, &error);
    if (!entry->parsed)
        qCDebug(lcTopology) << "cannot parse" << path << error;
    m_entries.insert(path, entry);
    return entry;
}

QSvgRenderer *SvgTemplateCache::Template::sharedRenderer() const
{
    if (!renderer)
        renderer = std::make_unique<QSvgRenderer>(bytes);
    return renderer.get();
}

void SvgTemplateCache::clear()
{
    m_entries.clear();
}
