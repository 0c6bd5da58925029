#include "app/WindowKey.h"

#include <QKeySequence>

namespace {

constexpr QKeyCombination kNoKey = QKeyCombination::fromCombined(0);

// One combination only: a sequence of several is no key to hold.
std::optional<QKeyCombination> combinationOf(const QString &text)
{
    if (text.trimmed().isEmpty())
        return kNoKey;
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return std::nullopt;
    return sequence[0];
}

GlobalKey::State takeNamed(GlobalKey &key, const QString &text, quintptr window)
{
    const std::optional<QKeyCombination> combination = combinationOf(text);
    if (!combination) {
        key.take(kNoKey, window);
        return GlobalKey::State::Unusable;
    }
    return key.take(*combination, window);
}

} // namespace

GlobalKey::State WindowKey::take(const QString &text, quintptr window)
{
    m_text = text;
    m_state = takeNamed(m_key, text, window);
    return m_state;
}

GlobalKey::State WindowKey::tryOut(const QString &text, quintptr window)
{
    const GlobalKey::State state = takeNamed(m_key, text, window);
    m_key.take(kNoKey, window);
    return state;
}

void WindowKey::release()
{
    m_key.take(kNoKey, 0);
}

bool WindowKey::isNewlyTaken()
{
    if (m_state != GlobalKey::State::Taken || m_toldTaken == m_text)
        return false;
    m_toldTaken = m_text;
    return true;
}

QString WindowKey::shownText(const QString &text)
{
    const std::optional<QKeyCombination> combination = combinationOf(text);
    if (!combination || combination->toCombined() == 0)
        return text;
    return QKeySequence(*combination).toString(QKeySequence::NativeText);
}
