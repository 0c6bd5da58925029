#include "vault/VariantDictionary.h"

#include "platform/KladdoError.h"

#include <QtEndian>

namespace {

constexpr quint16 Version = 0x0100;

int valueSize(quint8 type)
{
    switch (type) {
    case VariantDictionary::UInt32:
    case VariantDictionary::Int32:
        return 4;
    case VariantDictionary::UInt64:
    case VariantDictionary::Int64:
        return 8;
    case VariantDictionary::Bool:
        return 1;
    default:
        return -1; // any length
    }
}

[[noreturn]] void damaged(const QString &why)
{
    throw KladdoError(QStringLiteral("a parameter list of the header is damaged: %1").arg(why));
}

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}

    QByteArray take(qsizetype size)
    {
        if (size < 0 || size > m_bytes.size() - m_at)
            damaged(QStringLiteral("it ends inside an item"));
        m_at += size;
        return m_bytes.mid(m_at - size, size);
    }
    quint8 byte() { return quint8(take(1).at(0)); }
    qint32 int32() { return qFromLittleEndian<qint32>(take(4).constData()); }
    quint16 uint16() { return qFromLittleEndian<quint16>(take(2).constData()); }

private:
    const QByteArray &m_bytes;
    qsizetype m_at = 0;
};

void appendInt32(QByteArray &out, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

VariantDictionary VariantDictionary::parse(const QByteArray &bytes)
{
    Reader reader(bytes);
    if ((reader.uint16() & 0xFF00) != (Version & 0xFF00))
        damaged(QStringLiteral("its version is unknown"));
    VariantDictionary dictionary;
    for (quint8 type = reader.byte(); type != 0; type = reader.byte()) {
        Item item{type, QString::fromUtf8(reader.take(reader.int32())), {}};
        item.value = reader.take(reader.int32());
        const int size = valueSize(type);
        if (size > 0 && item.value.size() != size)
            damaged(QStringLiteral("item %1 has a value of the wrong length").arg(item.name));
        if (dictionary.find(item.name))
            damaged(QStringLiteral("item %1 is there twice").arg(item.name));
        dictionary.m_items.append(item);
    }
    return dictionary;
}

QByteArray VariantDictionary::serialise() const
{
    QByteArray out;
    out.append(char(Version & 0xFF)).append(char(Version >> 8));
    for (const Item &item : m_items) {
        const QByteArray name = item.name.toUtf8();
        out.append(char(item.type));
        appendInt32(out, qint32(name.size()));
        out.append(name);
        appendInt32(out, qint32(item.value.size()));
        out.append(item.value);
    }
    out.append('\0');
    return out;
}

std::optional<quint64> VariantDictionary::unsignedValue(const QString &name, Type type) const
{
    const Item *item = find(name);
    if (!item || item->type != type)
        return std::nullopt;
    quint64 value = 0;
    for (qsizetype i = item->value.size() - 1; i >= 0; --i)
        value = value << 8 | quint8(item->value.at(i));
    return value;
}

std::optional<QByteArray> VariantDictionary::bytes(const QString &name) const
{
    const Item *item = find(name);
    if (!item || item->type != ByteArray)
        return std::nullopt;
    return item->value;
}

void VariantDictionary::setUnsigned(const QString &name, Type type, quint64 value)
{
    QByteArray bytes;
    for (int i = 0; i < valueSize(type); ++i)
        bytes.append(char(value >> (8 * i)));
    set(name, type, bytes);
}

void VariantDictionary::setBytes(const QString &name, const QByteArray &value)
{
    set(name, ByteArray, value);
}

const VariantDictionary::Item *VariantDictionary::find(const QString &name) const
{
    for (const Item &item : m_items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

void VariantDictionary::set(const QString &name, quint8 type, const QByteArray &value)
{
    for (Item &item : m_items) {
        if (item.name == name) {
            item = {type, name, value};
            return;
        }
    }
    m_items.append({type, name, value});
}
