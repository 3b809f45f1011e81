#pragma once

#include "SvgDocument.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
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

        // The renderer of the template, shared by the pictures that show it
        // unedited.
        QSvgRenderer *sharedRenderer() const;
    };
    using TemplatePtr = std::shared_ptr<const Template>;

    static SvgTemplateCache &instance();

    // The template at path, or null when the file does not exist or cannot
    // be read. A picture keeps the entry it was drawn from: when the file
    // changes, the cache moves on to a new entry and the old one lives on
    // with the pictures that still use it.
    TemplatePtr find(const QString &path);

    void clear();

private:
    SvgTemplateCache() = default;
    QHash<QString, std::shared_ptr<Template>> m_entries;
};
