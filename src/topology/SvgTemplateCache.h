#pragma once

#include "SvgDocument.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <memory>

class QSvgRenderer;

// The template files of the topology, read and parsed once per process and
// read again when a file changes on disk (an XML import may replace a module
// picture). A rebuild draws the same few files hundreds of times; pictures
// that nobody has edited share the template's renderer.
//
// User-interface thread only, like the pictures that use it.
class SvgTemplateCache
{
public:
    struct Template {
        QString path;
        QByteArray bytes;
        std::shared_ptr<const SvgTemplate> parsed; // null when the file is no XML
        QDateTime modified;
        qint64 size = -1;
        mutable std::unique_ptr<QSvgRenderer> renderer; // made on first use
        // The renderers of edited documents of this template, by document.
        mutable QHash<QByteArray, std::weak_ptr<QSvgRenderer>> edited;
        mutable int purgeAt = 64;

        // The renderer of the template, shared by the pictures that show it
        // unedited.
        QSvgRenderer *sharedRenderer() const;
        // The renderer of an edited document of the template, shared by the
        // pictures that show the same document: the same module at the same
        // station on another adapter's page, or before and after a rebuild
        // of the topology. Lives as long as a picture holds it.
        std::shared_ptr<QSvgRenderer> editedRenderer(const QByteArray &document) const;
    };
    using TemplatePtr = std::shared_ptr<const Template>;

    static SvgTemplateCache &instance();

    // The template at path, or null when the file does not exist or cannot
    // be read. A picture keeps the entry it was drawn from: when the file
    // changes, the cache moves on to a new entry and the old one lives on
    // with the pictures that still use it.
    TemplatePtr find(const QString &path);

    void clear();

    // While a batch is open (a rebuild of the topology, which asks for the
    // same few files hundreds of times), each file is looked at on disk
    // once, not with every picture.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
    };

private:
    SvgTemplateCache() = default;
    QHash<QString, std::shared_ptr<Template>> m_entries;
    int m_batchDepth = 0;
    QSet<QString> m_checked; // the paths looked at in the open batch
};
