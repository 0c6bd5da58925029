#include "vault/XmlTree.h"

#include "platform/KladdoError.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

constexpr int MaxDepth = 128;

[[noreturn]] void badXml(const QString &why)
{
    throw KladdoError(QStringLiteral("the vault's XML is damaged: %1").arg(why));
}

QString revealed(const QString &base64, VaultCrypto::KeyStream &stream)
{
    const auto decoded = QByteArray::fromBase64Encoding(base64.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        badXml(QStringLiteral("a protected value is not base64"));
    return QString::fromUtf8(stream.apply(*decoded));
}

class Parser
{
public:
    Parser(const QByteArray &xml, VaultCrypto::KeyStream &stream) : m_reader(xml), m_stream(stream)
    {
        // Names and xmlns attributes as written, to be written back the same.
        m_reader.setNamespaceProcessing(false);
    }

    XmlNode document()
    {
        while (!m_reader.atEnd()) {
            const auto token = m_reader.readNext();
            if (token == QXmlStreamReader::DTD)
                badXml(QStringLiteral("it has a document type declaration"));
            if (token == QXmlStreamReader::StartElement) {
                XmlNode root = element(1);
                finish();
                return root;
            }
        }
        check();
        badXml(QStringLiteral("it has no element"));
    }

private:
    XmlNode element(int depth)
    {
        if (depth > MaxDepth)
            badXml(QStringLiteral("its elements nest more than %1 deep").arg(MaxDepth));
        XmlNode node{m_reader.qualifiedName().toString(), {}, {}, {}};
        for (const QXmlStreamAttribute &attribute : m_reader.attributes())
            node.attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
        while (!m_reader.atEnd()) {
            const auto token = m_reader.readNext();
            if (token == QXmlStreamReader::StartElement)
                node.children.append(element(depth + 1));
            else if (token == QXmlStreamReader::Characters)
                node.text += m_reader.text();
            else if (token == QXmlStreamReader::EndElement)
                break;
        }
        check();
        if (!node.children.isEmpty())
            node.text.clear();
        else if (node.isProtected())
            node.text = revealed(node.text, m_stream);
        return node;
    }

    void finish()
    {
        while (!m_reader.atEnd())
            m_reader.readNext();
        check();
    }

    void check()
    {
        if (m_reader.hasError())
            badXml(QStringLiteral("line %1: %2").arg(m_reader.lineNumber()).arg(m_reader.errorString()));
    }

    QXmlStreamReader m_reader;
    VaultCrypto::KeyStream &m_stream;
};

bool allowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

// Control characters cannot be written to XML at all, not even escaped;
// written raw they would make the whole vault unreadable.
QString writable(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (allowedInXml(c))
            result += QString::fromUcs4(&c, 1);
    }
    return result;
}

void writeElement(QXmlStreamWriter &writer, const XmlNode &node, VaultCrypto::KeyStream &stream)
{
    writer.writeStartElement(node.name);
    for (const auto &[name, value] : node.attributes)
        writer.writeAttribute(name, writable(value));
    if (!node.children.isEmpty()) {
        for (const XmlNode &child : node.children)
            writeElement(writer, child, stream);
    } else if (node.isProtected()) {
        writer.writeCharacters(QString::fromLatin1(stream.apply(node.text.toUtf8()).toBase64()));
    } else if (!node.text.isEmpty()) {
        writer.writeCharacters(writable(node.text));
    }
    writer.writeEndElement();
}

} // namespace

XmlNode *XmlNode::child(const QString &childName)
{
    for (XmlNode &node : children) {
        if (node.name == childName)
            return &node;
    }
    return nullptr;
}

const XmlNode *XmlNode::child(const QString &childName) const
{
    return const_cast<XmlNode *>(this)->child(childName);
}

XmlNode &XmlNode::ensureChild(const QString &childName)
{
    XmlNode *found = child(childName);
    return found ? *found : append(childName);
}

XmlNode &XmlNode::append(const QString &childName, const QString &childText)
{
    children.append(XmlNode{childName, {}, childText, {}});
    return children.last();
}

QString XmlNode::attribute(const QString &attributeName) const
{
    for (const auto &[name, value] : attributes) {
        if (name == attributeName)
            return value;
    }
    return QString();
}

void XmlNode::setAttribute(const QString &attributeName, const QString &value)
{
    for (auto &[name, old] : attributes) {
        if (name == attributeName) {
            old = value;
            return;
        }
    }
    attributes.append({attributeName, value});
}

bool XmlNode::isProtected() const
{
    return attribute(QStringLiteral("Protected")).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

bool XmlNode::operator==(const XmlNode &other) const
{
    return name == other.name && attributes == other.attributes && text == other.text && children == other.children;
}

namespace XmlTree {

XmlNode parse(const QByteArray &xml, VaultCrypto::KeyStream &protectedValues)
{
    return Parser(xml, protectedValues).document();
}

QByteArray write(const XmlNode &root, VaultCrypto::KeyStream &protectedValues)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(-1);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writeElement(writer, root, protectedValues);
    writer.writeEndDocument();
    return xml;
}

} // namespace XmlTree
