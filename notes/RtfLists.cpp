#include "notes/RtfLists.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int kMaxRomanNumber = 3999;

// A level that the list table does not give: "1." and so on.
const RtfListLevel &plainLevel(int level)
{
    static const std::array<RtfListLevel, RtfLists::kLevels> levels = [] {
        std::array<RtfListLevel, RtfLists::kLevels> made;
        for (int k = 0; k < RtfLists::kLevels; ++k) {
            made[size_t(k)].text = QString(QChar(char16_t(k))) + QLatin1Char('.');
            made[size_t(k)].placeholders = {0};
        }
        return made;
    }();
    return levels[size_t(level)];
}

QString romanText(int number)
{
    static constexpr std::pair<int, const char *> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"},
    };
    QString text;
    for (const auto &[value, digits] : kDigits) {
        for (; number >= value; number -= value)
            text += QLatin1StringView(digits);
    }
    return text;
}

// a-z, then aa-az, ba-bz and so on.
QString letterText(int number)
{
    QString text;
    for (; number > 0; number = (number - 1) / 26)
        text.prepend(QChar(char16_t(u'a' + (number - 1) % 26)));
    return text;
}

QTextListFormat::Style numberStyle(int numberFormat)
{
    switch (numberFormat) {
    case RtfListLevel::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case RtfListLevel::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case RtfListLevel::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case RtfListLevel::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case RtfListLevel::LeadingZero:
    case RtfListLevel::NoNumber:
        return QTextListFormat::ListStyleUndefined; // Qt cannot show these
    default:
        return QTextListFormat::ListDecimal;
    }
}

// The bullets of word processors' lists, by the look Qt has closest.
QTextListFormat::Style bulletStyle(const QString &marker)
{
    switch (marker.isEmpty() ? char16_t(0) : marker.at(0).unicode()) {
    case u'o':
    case u'\u25E6': // white bullet
    case u'\u25CB': // white circle
        return QTextListFormat::ListCircle;
    case u'\u00A7': // the square of the Wingdings font, read as Windows-1252
    case u'\uF0A7': // the same through \u
    case u'\u25AA': // black small square
    case u'\u25A0': // black square
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

} // namespace

std::optional<int> RtfListLevel::placeholderAt(qsizetype offset) const
{
    if (!placeholders.contains(int(offset)) || offset >= text.size())
        return std::nullopt;
    return std::clamp(int(text.at(offset).unicode()), 0, RtfLists::kLevels - 1);
}

void RtfLists::addList(int listId, const QList<RtfListLevel> &levels)
{
    m_lists.insert(listId, levels);
}

void RtfLists::addOverride(int override, int listId)
{
    m_overrides.insert(override, listId);
}

bool RtfLists::contains(int override) const
{
    return m_lists.contains(m_overrides.value(override, -1));
}

RtfListItem RtfLists::nextItem(int override, int level)
{
    level = std::clamp(level, 0, kLevels - 1);
    Counters &counters = m_counters[override];
    const RtfListLevel &own = levelOf(override, level);
    counters.numbers[size_t(level)] = counters.started[size_t(level)] ? counters.numbers[size_t(level)] + 1 : own.startAt;
    counters.started[size_t(level)] = true;
    std::fill(counters.started.begin() + level + 1, counters.started.end(), false);

    // The marker, and where in it the last level number stands.
    QString marker;
    qsizetype lastStart = -1;
    qsizetype lastEnd = -1;
    int lastLevel = -1;
    for (qsizetype i = 0; i < own.text.size(); ++i) {
        const std::optional<int> shown = own.placeholderAt(i);
        if (!shown) {
            marker += own.text.at(i);
            continue;
        }
        const RtfListLevel &levelShown = levelOf(override, *shown);
        const int number = counters.started[size_t(*shown)] ? counters.numbers[size_t(*shown)] : levelShown.startAt;
        lastStart = marker.size();
        marker += numberText(levelShown.numberFormat, number);
        lastEnd = marker.size();
        lastLevel = *shown;
    }

    RtfListItem item;
    item.marker = marker;
    // A Qt list numbers its own items, so the items under each parent item
    // are a Qt list of their own.
    QStringList key{QString::number(override), QString::number(level)};
    for (int parent = 0; parent < level; ++parent)
        key << QString::number(counters.started[size_t(parent)] ? counters.numbers[size_t(parent)] : 0);
    item.key = key.join(QLatin1Char(':'));
    item.ordinal = counters.numbers[size_t(level)] - own.startAt + 1;
    if (own.numberFormat == RtfListLevel::Bullet)
        item.format = qtFormat(override, level, bulletStyle(marker), {}, {});
    else if (lastLevel == level && own.startAt == 1) // Qt 6.4 lists always start at 1
        item.format = qtFormat(override, level, numberStyle(own.numberFormat), marker.left(lastStart), marker.mid(lastEnd));
    return item;
}

QString RtfLists::numberText(int numberFormat, int number)
{
    const bool romanFits = number > 0 && number <= kMaxRomanNumber;
    switch (numberFormat) {
    case RtfListLevel::UpperRoman:
        return romanFits ? romanText(number).toUpper() : QString::number(number);
    case RtfListLevel::LowerRoman:
        return romanFits ? romanText(number) : QString::number(number);
    case RtfListLevel::UpperLetter:
        return number > 0 ? letterText(number).toUpper() : QString::number(number);
    case RtfListLevel::LowerLetter:
        return number > 0 ? letterText(number) : QString::number(number);
    case RtfListLevel::LeadingZero:
        return number >= 0 && number < 10 ? QLatin1Char('0') + QString::number(number) : QString::number(number);
    case RtfListLevel::Bullet:
    case RtfListLevel::NoNumber:
        return {};
    default:
        return QString::number(number);
    }
}

const RtfListLevel &RtfLists::levelOf(int override, int level) const
{
    const auto list = m_lists.constFind(m_overrides.value(override, -1));
    if (list == m_lists.constEnd() || level >= list->size())
        return plainLevel(level);
    return list->at(level);
}

// Qt's list for a marker of prefix, the level's own number and suffix;
// nothing when Qt cannot show the marker, which then goes in as text.
std::optional<QTextListFormat> RtfLists::qtFormat(int override, int level, QTextListFormat::Style style,
                                                  const QString &prefix, const QString &suffix) const
{
    if (style == QTextListFormat::ListStyleUndefined)
        return std::nullopt;
    QTextListFormat format;
    format.setStyle(style);
    format.setNumberPrefix(prefix);
    format.setNumberSuffix(suffix);
    format.setIndent(level + 1);
    format.setProperty(RtfListProperty::Override, override);
    format.setProperty(RtfListProperty::LevelText, levelOf(override, level).text);
    return format;
}
