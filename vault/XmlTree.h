#pragma once

#include "vault/VaultCrypto.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The vault's XML as a plain tree of elements, so that whatever another
// program wrote goes back as it was. Protected values are held decrypted;
// reading and writing run them through the inner key stream in document
// order.
struct XmlNode
{
    QString name;
    QList<std::pair<QString, QString>> attributes;
    QString text; // of elements without children only
    QList<XmlNode> children;

    XmlNode *child(const QString &childName);
    const XmlNode *child(const QString &childName) const;
    // The child of that name, appended when there is none.
    XmlNode &ensureChild(const QString &childName);
    XmlNode &append(const QString &childName, const QString &childText = QString());

    QString attribute(const QString &attributeName) const;
    void setAttribute(const QString &attributeName, const QString &value);
    bool isProtected() const;

    // Out of line: a defaulted one needs the list's element complete, which
    // some compilers do not take inside the class.
    bool operator==(const XmlNode &other) const;
};

namespace XmlTree {

// Throws KladdoError for XML that is not well formed, too deep, or has
// protected values that are not base64.
XmlNode parse(const QByteArray &xml, VaultCrypto::KeyStream &protectedValues);
QByteArray write(const XmlNode &root, VaultCrypto::KeyStream &protectedValues);

} // namespace XmlTree
