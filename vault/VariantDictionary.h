#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The typed name-value list of the file header (KDF parameters, public
// custom data). Items keep their bytes, so that unknown ones go back as read.
class VariantDictionary
{
public:
    enum Type : quint8 {
        UInt32 = 0x04, UInt64 = 0x05, Bool = 0x08, Int32 = 0x0C, Int64 = 0x0D, String = 0x18, ByteArray = 0x42
    };

    struct Item
    {
        quint8 type = 0;
        QString name;
        QByteArray value;
    };

    // Throws KladdoError naming what is wrong.
    static VariantDictionary parse(const QByteArray &bytes);
    QByteArray serialise() const;

    // Empty when the item is missing or not of that type.
    std::optional<quint64> unsignedValue(const QString &name, Type type) const;
    std::optional<QByteArray> bytes(const QString &name) const;

    void setUnsigned(const QString &name, Type type, quint64 value);
    void setBytes(const QString &name, const QByteArray &value);

private:
    const Item *find(const QString &name) const;
    void set(const QString &name, quint8 type, const QByteArray &value);

    QList<Item> m_items;
};
