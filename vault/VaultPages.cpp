#include "vault/VaultPages.h"

#include "platform/KladdoError.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>

namespace VaultPages {

namespace {

const QString PageKey = QStringLiteral("KladdoPage");
const QString RowKey = QStringLiteral("KladdoRow");
const QString LockKey = QStringLiteral("KladdoLockMinutes");
const QString EntryName = QStringLiteral("Entry");
const QString GroupName = QStringLiteral("Group");
constexpr qint64 SecondsBeforeUnixEpoch = 62135596800;

QString customData(const XmlNode &node, const QString &key)
{
    if (const XmlNode *data = node.child(QStringLiteral("CustomData"))) {
        for (const XmlNode &item : data->children) {
            const XmlNode *itemKey = item.child(QStringLiteral("Key"));
            const XmlNode *value = item.child(QStringLiteral("Value"));
            if (itemKey && value && itemKey->text == key)
                return value->text;
        }
    }
    return QString();
}

void setCustomData(XmlNode &node, const QString &key, const QString &value)
{
    XmlNode &data = node.ensureChild(QStringLiteral("CustomData"));
    for (XmlNode &item : data.children) {
        const XmlNode *itemKey = item.child(QStringLiteral("Key"));
        if (itemKey && itemKey->text == key) {
            item.ensureChild(QStringLiteral("Value")).text = value;
            return;
        }
    }
    XmlNode &item = data.append(QStringLiteral("Item"));
    item.append(QStringLiteral("Key"), key);
    item.append(QStringLiteral("Value"), value);
}

// 0 .. count-1 from CustomData, -1 when missing or anything else.
int numberIn(const XmlNode &node, const QString &key, int count)
{
    bool ok = false;
    const QString text = customData(node, key);
    const int number = text.toInt(&ok);
    return ok && number >= 0 && number < count && text == QString::number(number) ? number : -1;
}

template<typename Node>
Node *stringValue(Node &entry, const QString &key)
{
    for (Node &field : entry.children) {
        const XmlNode *fieldKey = field.child(QStringLiteral("Key"));
        if (field.name == QLatin1String("String") && fieldKey && fieldKey->text == key)
            return field.child(QStringLiteral("Value"));
    }
    return nullptr;
}

QString stringText(const XmlNode &entry, const QString &key)
{
    const XmlNode *value = stringValue(entry, key);
    return value ? value->text : QString();
}

// True when the value changed.
bool setString(XmlNode &entry, const QString &key, const QString &text, bool isProtected)
{
    XmlNode *value = stringValue(entry, key);
    if (!value) {
        XmlNode &field = entry.append(QStringLiteral("String"));
        field.append(QStringLiteral("Key"), key);
        value = &field.append(QStringLiteral("Value"));
    }
    if (isProtected)
        value->setAttribute(QStringLiteral("Protected"), QStringLiteral("True"));
    const bool changed = value->text != text;
    value->text = text;
    return changed;
}

VaultRow rowOf(const XmlNode &entry)
{
    return {stringText(entry, QStringLiteral("Title")), stringText(entry, QStringLiteral("UserName")),
            stringText(entry, QStringLiteral("Password"))};
}

QString timeText(const QDateTime &time)
{
    const qint64 seconds = time.toSecsSinceEpoch() + SecondsBeforeUnixEpoch;
    char bytes[8];
    qToLittleEndian(seconds, bytes);
    return QString::fromLatin1(QByteArray(bytes, 8).toBase64());
}

void appendHeading(XmlNode &node, const QString &name, const QDateTime &now)
{
    node.append(QStringLiteral("UUID"), QString::fromLatin1(VaultCrypto::randomBytes(16).toBase64()));
    if (!name.isNull())
        node.append(QStringLiteral("Name"), name);
    XmlNode &times = node.append(QStringLiteral("Times"));
    for (const char *field : {"CreationTime", "LastModificationTime", "LastAccessTime", "ExpiryTime"})
        times.append(QLatin1String(field), timeText(now));
    times.append(QStringLiteral("Expires"), QStringLiteral("False"));
    times.append(QStringLiteral("UsageCount"), QStringLiteral("0"));
    times.append(QStringLiteral("LocationChanged"), timeText(now));
}

template<typename Node>
Node &rootGroup(Node &document)
{
    Node *root = document.child(QStringLiteral("Root"));
    Node *group = root ? root->child(GroupName) : nullptr;
    if (!group)
        throw KladdoError(QStringLiteral("the vault has no top group"));
    return *group;
}

struct PageSearch
{
    QString recycleBin; // its UUID; a page deleted elsewhere lies there
    QList<const XmlNode *> duplicates;
};

// The groups of the pages, first in document order; later ones of a page
// go into the duplicates.
template<typename Node>
void findPages(Node &group, std::array<Node *, VaultPageCount> &pages, PageSearch &search)
{
    const XmlNode *uuid = group.child(QStringLiteral("UUID"));
    if (uuid && !search.recycleBin.isEmpty() && uuid->text == search.recycleBin)
        return;
    const int page = numberIn(group, PageKey, VaultPageCount);
    if (page >= 0 && pages[page])
        search.duplicates.append(&group);
    else if (page >= 0)
        pages[page] = &group;
    for (Node &child : group.children) {
        if (child.name == GroupName)
            findPages(child, pages, search);
    }
}

template<typename Node>
std::array<Node *, VaultPageCount> pageGroups(Node &document, QList<const XmlNode *> *duplicates = nullptr)
{
    std::array<Node *, VaultPageCount> pages{};
    PageSearch search;
    if (const XmlNode *meta = document.child(QStringLiteral("Meta"))) {
        const XmlNode *recycleBin = meta->child(QStringLiteral("RecycleBinUUID"));
        search.recycleBin = recycleBin ? recycleBin->text : QString();
    }
    findPages(rootGroup(document), pages, search);
    if (duplicates)
        *duplicates = search.duplicates;
    return pages;
}

// Which child of the group holds each row, and the entries left without one.
struct Rows
{
    std::array<qsizetype, VaultRowCount> entries;
    QList<qsizetype> homeless;
};

Rows rowsOf(const XmlNode &group)
{
    Rows rows;
    rows.entries.fill(-1);
    QList<qsizetype> unplaced;
    for (qsizetype i = 0; i < group.children.size(); ++i) {
        if (group.children.at(i).name != EntryName)
            continue;
        const int row = numberIn(group.children.at(i), RowKey, VaultRowCount);
        if (row >= 0 && rows.entries[row] < 0)
            rows.entries[row] = i;
        else
            unplaced.append(i);
    }
    for (const qsizetype entry : unplaced) {
        const auto free = std::find(rows.entries.begin(), rows.entries.end(), -1);
        if (free == rows.entries.end())
            rows.homeless.append(entry);
        else
            *free = entry;
    }
    return rows;
}

void touch(XmlNode &entry, const QDateTime &now)
{
    XmlNode &times = entry.ensureChild(QStringLiteral("Times"));
    times.ensureChild(QStringLiteral("LastModificationTime")).text = timeText(now);
    times.ensureChild(QStringLiteral("LastAccessTime")).text = timeText(now);
}

// True when the entry's fields changed.
bool fill(XmlNode &entry, const VaultRow &row)
{
    bool changed = setString(entry, QStringLiteral("Title"), row.text, false);
    changed |= setString(entry, QStringLiteral("UserName"), row.name, false);
    changed |= setString(entry, QStringLiteral("Password"), row.password, true);
    return changed;
}

void writePage(XmlNode &group, const VaultPage &page, const QDateTime &now)
{
    const Rows rows = rowsOf(group);
    QList<qsizetype> emptied;
    for (int row = 0; row < VaultRowCount; ++row) {
        const qsizetype index = rows.entries[row];
        if (index < 0 && !page[row].isEmpty()) {
            XmlNode entry{EntryName, {}, {}, {}};
            appendHeading(entry, QString(), now);
            fill(entry, page[row]);
            setCustomData(entry, RowKey, QString::number(row));
            group.children.append(entry);
        } else if (index >= 0 && page[row].isEmpty()) {
            emptied.append(index);
        } else if (index >= 0) {
            XmlNode &entry = group.children[index];
            if (fill(entry, page[row]))
                touch(entry, now);
            setCustomData(entry, RowKey, QString::number(row));
        }
    }
    std::sort(emptied.begin(), emptied.end(), std::greater<>());
    for (const qsizetype index : emptied)
        group.children.removeAt(index);
}

QString nameOf(const XmlNode &group)
{
    const XmlNode *name = group.child(QStringLiteral("Name"));
    return name ? name->text : QString();
}

QString entryTitle(const XmlNode &entry)
{
    const QString title = stringText(entry, QStringLiteral("Title"));
    return title.isEmpty() ? QStringLiteral("(no title)") : title;
}

} // namespace

QString fileName()
{
    return QStringLiteral("passwords.kdbx");
}

QString pathFor(const QString &dataDir)
{
    return QDir(dataDir).filePath(fileName());
}

VaultPage pageOf(const PassPageCells &cells)
{
    VaultPage page;
    for (int slot = 0; slot < VaultRowCount; ++slot)
        page[slot] = {cells.cell(PassTextColumn, slot), cells.cell(PassNameColumn, slot),
                      cells.cell(PassPasswordColumn, slot)};
    return page;
}

PassPageCells cellsOf(const VaultPage &page)
{
    PassPageCells cells;
    for (int slot = 0; slot < VaultRowCount; ++slot) {
        cells.setCell(PassTextColumn, slot, page[slot].text);
        cells.setCell(PassNameColumn, slot, page[slot].name);
        cells.setCell(PassPasswordColumn, slot, page[slot].password);
    }
    return cells;
}

KdbxDatabase create(const VaultPageSet &pages, const QDateTime &now)
{
    KdbxDatabase database;
    database.document.name = QStringLiteral("KeePassFile");
    XmlNode &meta = database.document.append(QStringLiteral("Meta"));
    meta.append(QStringLiteral("Generator"), QStringLiteral("Kladdo"));
    meta.append(QStringLiteral("DatabaseName"), QStringLiteral("Kladdo"));
    XmlNode &protection = meta.append(QStringLiteral("MemoryProtection"));
    for (const char *field : {"ProtectTitle", "ProtectUserName", "ProtectPassword", "ProtectURL", "ProtectNotes"})
        protection.append(QLatin1String(field), QLatin1String(field) == QLatin1String("ProtectPassword")
                                                    ? QStringLiteral("True") : QStringLiteral("False"));
    XmlNode &root = database.document.append(QStringLiteral("Root")).append(GroupName);
    appendHeading(root, QStringLiteral("Kladdo"), now);
    write(database, pages, now);
    return database;
}

VaultPagesRead read(const KdbxDatabase &database)
{
    VaultPagesRead result;
    if (const XmlNode *meta = database.document.child(QStringLiteral("Meta"))) {
        if (const int minutes = numberIn(*meta, LockKey, MaxLockMinutes + 1); minutes > 0)
            result.lockMinutes = minutes;
    }
    QList<const XmlNode *> duplicates;
    const auto groups = pageGroups(database.document, &duplicates);
    for (const XmlNode *duplicate : duplicates)
        result.notes.append(QStringLiteral("The group \"%1\" is a second one of page %2 and is not shown")
                                .arg(nameOf(*duplicate)).arg(numberIn(*duplicate, PageKey, VaultPageCount) + 1));
    for (int page = 0; page < VaultPageCount; ++page) {
        if (!groups[page])
            continue;
        const Rows rows = rowsOf(*groups[page]);
        for (int row = 0; row < VaultRowCount; ++row) {
            if (rows.entries[row] >= 0)
                result.pages[page][row] = rowOf(groups[page]->children.at(rows.entries[row]));
        }
        for (const qsizetype entry : rows.homeless)
            result.notes.append(QStringLiteral("Page %1 has no free row for the entry \"%2\", "
                                               "which is kept but not shown")
                                    .arg(page + 1).arg(entryTitle(groups[page]->children.at(entry))));
    }
    return result;
}

void setLockMinutes(KdbxDatabase &database, int minutes)
{
    setCustomData(database.document.ensureChild(QStringLiteral("Meta")), LockKey, QString::number(minutes));
}

void write(KdbxDatabase &database, const VaultPageSet &pages, const QDateTime &now)
{
    XmlNode &root = rootGroup(database.document);
    const auto found = pageGroups(database.document);
    for (int page = 0; page < VaultPageCount; ++page) {
        if (found[page])
            continue;
        XmlNode group{GroupName, {}, {}, {}};
        appendHeading(group, QStringLiteral("Page %1").arg(page + 1), now);
        setCustomData(group, PageKey, QString::number(page));
        root.children.append(group);
    }
    // Found anew for each page: editing one group's children moves those below it.
    for (int page = 0; page < VaultPageCount; ++page)
        writePage(*pageGroups(database.document)[page], pages[page], now);
}

} // namespace VaultPages
