#include "SvgDocument.h"

#include <QTextCodec>
#include <QXmlStreamReader>

namespace {

QString escaped(const QString &text, bool inAttribute)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += inAttribute ? QLatin1String("&quot;") : QLatin1String("\"");
            break;
        default:
            out += c;
        }
    }
    return out;
}

void appendStartTag(QString &out, const SvgTemplate::Element &element, bool selfClosing)
{
    out += QLatin1Char('<');
    out += element.tag;
    for (const QXmlStreamNamespaceDeclaration &ns : element.namespaces) {
        out += ns.prefix().isEmpty() ? QStringLiteral(" xmlns") : QStringLiteral(" xmlns:") + ns.prefix();
        out += QLatin1String("=\"") + escaped(ns.namespaceUri().toString(), true) + QLatin1Char('"');
    }
    for (const auto &attribute : element.attributes)
        out += QLatin1Char(' ') + attribute.first + QLatin1String("=\"") + escaped(attribute.second, true) + QLatin1Char('"');
    out += selfClosing ? QLatin1String("/>") : QLatin1String(">");
}

} // namespace

QString SvgTemplate::Element::attribute(const QString &name) const
{
    for (const auto &attribute : attributes) {
        if (attribute.first == name)
            return attribute.second;
    }
    return QString();
}

QByteArray SvgTemplate::encode(const QString &text) const
{
    return m_codec ? m_codec->fromUnicode(text) : text.toUtf8();
}

std::shared_ptr<const SvgTemplate> SvgTemplate::parse(const QByteArray &bytes, QString *error)
{
    auto parsed = std::make_shared<SvgTemplate>();
    // Offsets are taken in the decoded text; a picture is written back in
    // the encoding it declares.
    QXmlStreamReader declaration(bytes);
    declaration.readNext();
    const QString encoding = declaration.documentEncoding().toString();
    if (!encoding.isEmpty() && encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0)
        parsed->m_codec = QTextCodec::codecForName(encoding.toLatin1());
    if (!encoding.isEmpty() && !parsed->m_codec && encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
        if (error)
            *error = QStringLiteral("unknown encoding ") + encoding;
        return nullptr;
    }
    parsed->m_source = parsed->m_codec ? parsed->m_codec->toUnicode(bytes) : QString::fromUtf8(bytes);

    const QString &source = parsed->m_source;
    QXmlStreamReader reader(source);
    // The element whose first child is still to come.
    int waiting = -1;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        const int offset = int(reader.characterOffset());
        if (token == QXmlStreamReader::StartElement) {
            if (waiting >= 0)
                waiting = -1; // its first child is an element
            SvgTemplate::Element element;
            element.tag = reader.qualifiedName().toString();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                element.attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
            element.id = element.attribute(QStringLiteral("id"));
            element.namespaces = reader.namespaceDeclarations();
            element.tagEnd = offset;
            element.tagBegin = int(source.lastIndexOf(QLatin1Char('<'), offset - 1));
            element.selfClosing = source.midRef(offset - 2, 2) == QLatin1String("/>");
            parsed->m_elements.append(element);
            if (!element.selfClosing)
                waiting = parsed->m_elements.size() - 1;
        } else if (token == QXmlStreamReader::Characters && waiting >= 0) {
            SvgTemplate::Element &element = parsed->m_elements[waiting];
            if (reader.isCDATA()) {
                waiting = -1;
                continue;
            }
            // Plain text up to the next markup, entities included.
            const int end = int(source.indexOf(QLatin1Char('<'), element.tagEnd));
            element.textBegin = element.tagEnd;
            element.textEnd = end < 0 ? int(source.size()) : end;
            element.text += reader.text().toString();
            if (reader.isWhitespace()) {
                // Whitespace before a child element is no text child.
                const int next = element.textEnd;
                if (source.midRef(next, 2) != QLatin1String("</")) {
                    element.textBegin = element.textEnd = -1;
                    element.text.clear();
                    waiting = -1;
                }
            }
        } else if (token == QXmlStreamReader::EndElement && waiting >= 0) {
            SvgTemplate::Element &element = parsed->m_elements[waiting];
            if (element.textBegin < 0) {
                // No children: an empty text to replace.
                element.textBegin = element.textEnd = element.tagEnd;
            }
            waiting = -1;
        } else if (token != QXmlStreamReader::Characters) {
            waiting = -1;
        }
    }
    if (reader.hasError()) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return nullptr;
    }
    if (parsed->m_elements.isEmpty()) {
        if (error)
            *error = QStringLiteral("no elements");
        return nullptr;
    }
    return parsed;
}

SvgDocument::SvgDocument(std::shared_ptr<const SvgTemplate> source)
    : m_template(std::move(source))
{
}

int SvgDocument::find(const QString &tag, const QString &id) const
{
    if (!m_template)
        return -1;
    const QVector<SvgTemplate::Element> &elements = m_template->elements();
    for (int i = 0; i < elements.size(); ++i) {
        // Ids are not edited: the template's are the document's.
        if (elements.at(i).tag == tag && elements.at(i).id == id)
            return i;
    }
    return -1;
}

const SvgTemplate::Element &SvgDocument::element(int index) const
{
    const auto it = m_edits.find(index);
    return it != m_edits.end() ? it->second.element : m_template->elements().at(index);
}

SvgDocument::Edit &SvgDocument::edit(int index)
{
    auto it = m_edits.find(index);
    if (it == m_edits.end())
        it = m_edits.emplace(index, Edit{m_template->elements().at(index), false, false}).first;
    return it->second;
}

bool SvgDocument::setText(const QString &tag, const QString &id, const QString &text)
{
    const int index = find(tag, id);
    if (index < 0)
        return false;
    const SvgTemplate::Element &original = m_template->elements().at(index);
    // An element whose first child is an element keeps its children.
    if (original.textBegin < 0 && !original.selfClosing)
        return false;
    if (element(index).text == text)
        return false;
    Edit &e = edit(index);
    e.element.text = text;
    e.textChanged = true;
    if (original.selfClosing) {
        // Written out with its text and an end tag from now on.
        e.element.selfClosing = false;
        e.tagChanged = true;
    }
    return true;
}

bool SvgDocument::setAttribute(int index, const QString &name, const QString &value)
{
    const SvgTemplate::Element &current = element(index);
    for (const auto &attribute : current.attributes) {
        if (attribute.first == name && attribute.second == value)
            return false;
    }
    Edit &e = edit(index);
    bool found = false;
    for (auto &attribute : e.element.attributes) {
        if (attribute.first == name) {
            attribute.second = value;
            found = true;
            break;
        }
    }
    if (!found)
        e.element.attributes.append({name, value});
    e.tagChanged = true;
    return true;
}

bool SvgDocument::setAttributeById(const QString &tag, const QString &id, const QString &name, const QString &value)
{
    const int index = find(tag, id);
    return index >= 0 && setAttribute(index, name, value);
}

bool SvgDocument::setAttributeOnAll(const QString &tag, const QString &name, const QString &value)
{
    if (!m_template)
        return false;
    bool changed = false;
    const QVector<SvgTemplate::Element> &elements = m_template->elements();
    for (int i = 0; i < elements.size(); ++i) {
        if (elements.at(i).tag == tag)
            changed = setAttribute(i, name, value) || changed;
    }
    return changed;
}

QString SvgDocument::text(const QString &tag, const QString &id) const
{
    const int index = find(tag, id);
    return index < 0 ? QString() : element(index).text;
}

QString SvgDocument::attribute(const QString &tag, const QString &id, const QString &name) const
{
    const int index = find(tag, id);
    return index < 0 ? QString() : element(index).attribute(name);
}

QStringList SvgDocument::attributeOfAll(const QString &tag, const QString &name) const
{
    QStringList values;
    if (!m_template)
        return values;
    const QVector<SvgTemplate::Element> &elements = m_template->elements();
    for (int i = 0; i < elements.size(); ++i) {
        if (elements.at(i).tag == tag)
            values.append(element(i).attribute(name));
    }
    return values;
}

QByteArray SvgDocument::toByteArray() const
{
    if (!m_template)
        return QByteArray();
    const QString &source = m_template->source();
    QString out;
    out.reserve(source.size() + 64);
    int pos = 0;
    for (const auto &entry : m_edits) {
        const SvgTemplate::Element &original = m_template->elements().at(entry.first);
        const Edit &e = entry.second;
        if (e.tagChanged) {
            out += source.midRef(pos, original.tagBegin - pos);
            appendStartTag(out, e.element, e.element.selfClosing);
            pos = original.tagEnd;
        }
        if (e.textChanged) {
            if (original.selfClosing) {
                out += escaped(e.element.text, false);
                out += QLatin1String("</") + e.element.tag + QLatin1Char('>');
            } else {
                out += source.midRef(pos, original.textBegin - pos);
                out += escaped(e.element.text, false);
                pos = original.textEnd;
            }
        }
    }
    out += source.midRef(pos);
    return m_template->encode(out);
}
