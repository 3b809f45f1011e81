#include "SvgTemplateCache.h"

#include "TopologyLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSvgRenderer>
#include <QThread>

#include <algorithm>
#include <iterator>

SvgTemplateCache &SvgTemplateCache::instance()
{
    static SvgTemplateCache cache;
    return cache;
}

SvgTemplateCache::TemplatePtr SvgTemplateCache::find(const QString &path)
{
    Q_ASSERT_X(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread(),
               "SvgTemplateCache::find", "pictures are made in the user-interface thread");
    if (m_batchDepth > 0 && m_checked.contains(path)) {
        const auto it = m_entries.constFind(path);
        return it != m_entries.cend() ? *it : nullptr;
    }
    if (m_batchDepth > 0)
        m_checked.insert(path);
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

std::shared_ptr<QSvgRenderer> SvgTemplateCache::Template::editedRenderer(const QByteArray &document) const
{
    const auto it = edited.constFind(document);
    if (it != edited.cend()) {
        if (std::shared_ptr<QSvgRenderer> alive = it->lock())
            return alive;
    }
    auto made = std::make_shared<QSvgRenderer>(document);
    edited.insert(document, made);
    // The documents no picture shows any more go, now and then.
    if (edited.size() > purgeAt) {
        for (auto e = edited.begin(); e != edited.end();)
            e = e->expired() ? edited.erase(e) : std::next(e);
        purgeAt = std::max(64, 2 * int(edited.size()));
    }
    return made;
}

void SvgTemplateCache::clear()
{
    m_entries.clear();
    m_checked.clear();
}

SvgTemplateCache::Batch::Batch()
{
    ++instance().m_batchDepth;
}

SvgTemplateCache::Batch::~Batch()
{
    SvgTemplateCache &cache = instance();
    if (--cache.m_batchDepth == 0)
        cache.m_checked.clear();
}
