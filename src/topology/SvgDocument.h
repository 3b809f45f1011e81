#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QXmlStreamNamespaceDeclarations>

#include <map>
#include <memory>

class QTextCodec;

// A picture template as parsed once: its text and, for every element in
// document order, where its start tag and its first text child lie in the
// text. Immutable; shared by every picture drawn from it.
class SvgTemplate
{
public:
    struct Element {
        QString tag;
        QString id;
        QVector<QPair<QString, QString>> attributes; // in document order, without namespace declarations
        QXmlStreamNamespaceDeclarations namespaces;
        int tagBegin = 0; // the start tag in the text: [tagBegin, tagEnd)
        int tagEnd = 0;
        bool selfClosing = false;
        // The first child when it is text (an element without children has
        // an empty one); -1 when the first child is something else.
        int textBegin = -1;
        int textEnd = -1;
        QString text;

        QString attribute(const QString &name) const;
    };

    // Null when the bytes are not well-formed XML.
    static std::shared_ptr<const SvgTemplate> parse(const QByteArray &bytes, QString *error = nullptr);

    const QString &source() const { return m_source; }
    const QVector<Element> &elements() const { return m_elements; }
    // The text in the template's own encoding.
    QByteArray encode(const QString &text) const;

private:
    QString m_source;
    QTextCodec *m_codec = nullptr; // null: UTF-8
    QVector<Element> m_elements;
};

// The document of one picture: its template with the edits made to it. The
// edits are the topology's own: the text of an element, an attribute of one
// element, an attribute of every element of a tag. Elements are looked up
// by tag name and id in document order, as in a DOM; serialising writes the
// template's text with the edited start tags and texts replaced, so that a
// picture costs its edits and not a copy of its template.
class SvgDocument
{
public:
    SvgDocument() = default;
    explicit SvgDocument(std::shared_ptr<const SvgTemplate> source);

    bool isNull() const { return !m_template; }
    bool isEdited() const { return !m_edits.empty(); }

    // Each returns true when the document changed.
    // The first element of the tag with this id gets the text as the value
    // of its first child (a new text child when it has none).
    bool setText(const QString &tag, const QString &id, const QString &text);
    // The first element of the tag with this id gets the attribute.
    bool setAttributeById(const QString &tag, const QString &id, const QString &name, const QString &value);
    // Every element of the tag gets the attribute.
    bool setAttributeOnAll(const QString &tag, const QString &name, const QString &value);

    QString text(const QString &tag, const QString &id) const;
    QString attribute(const QString &tag, const QString &id, const QString &name) const;
    QStringList attributeOfAll(const QString &tag, const QString &name) const;

    QByteArray toByteArray() const;

private:
    struct Edit {
        SvgTemplate::Element element;
        bool tagChanged = false;
        bool textChanged = false;
    };

    int find(const QString &tag, const QString &id) const;
    const SvgTemplate::Element &element(int index) const;
    Edit &edit(int index);
    bool setAttribute(int index, const QString &name, const QString &value);

    std::shared_ptr<const SvgTemplate> m_template;
    std::map<int, Edit> m_edits; // by element index, in document order
};
