#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTextListFormat>

#include <array>
#include <optional>

// How one level of a list numbers its items, as the list table gives it.
struct RtfListLevel
{
    // \levelnfc values that we show; every other number format reads as decimal.
    enum NumberFormat {
        Decimal = 0,
        UpperRoman = 1,
        LowerRoman = 2,
        UpperLetter = 3,
        LowerLetter = 4,
        LeadingZero = 22,
        Bullet = 23,
        NoNumber = 255,
    };

    int numberFormat = Decimal;
    int startAt = 1;
    // \leveltext without its length: the characters of the marker, where
    // the level numbers stand at the offsets in placeholders, each a
    // character whose code is the level (0-8) whose number goes there.
    QString text;
    QList<int> placeholders;

    // The level number at an offset into text that is a placeholder.
    std::optional<int> placeholderAt(qsizetype offset) const;
};

// One paragraph's place in a list: the marker it shows and, when Qt's own
// lists can show that marker, the list format of the Qt list it belongs to.
struct RtfListItem
{
    QString marker;
    std::optional<QTextListFormat> format;
    QString key; // items with the same key belong to the same Qt list
    int ordinal = 1; // the item's place in that Qt list, counted from 1
};

// The properties by which a Qt list remembers the list it was read from,
// so that the writer gives it back as one list of several levels.
namespace RtfListProperty {
constexpr int Override = QTextFormat::UserProperty + 0x5200; // the \ls number
constexpr int LevelText = QTextFormat::UserProperty + 0x5201; // RtfListLevel::text
} // namespace RtfListProperty

// The document's list table and list overrides, and the numbers of the
// items read so far. A paragraph names its list by an override (\ls) and
// its level (\ilvl); every override counts its items on its own.
class RtfLists
{
public:
    static constexpr int kLevels = 9;

    void addList(int listId, const QList<RtfListLevel> &levels);
    void addOverride(int override, int listId);
    bool contains(int override) const;

    // The next item of override at level; the override must be contained.
    RtfListItem nextItem(int override, int level);

    // The text of number in a level's number format ("iv", "D", "07").
    static QString numberText(int numberFormat, int number);

private:
    struct Counters
    {
        std::array<int, kLevels> numbers{};
        std::array<bool, kLevels> started{};
    };

    const RtfListLevel &levelOf(int override, int level) const;
    std::optional<QTextListFormat> qtFormat(int override, int level, QTextListFormat::Style style,
                                            const QString &prefix, const QString &suffix) const;

    QHash<int, QList<RtfListLevel>> m_lists; // by \listid
    QHash<int, int> m_overrides;              // \ls -> \listid
    QHash<int, Counters> m_counters;          // by \ls
};
