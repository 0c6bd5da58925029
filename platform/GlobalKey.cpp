#include "platform/GlobalKey.h"

#include "platform/GlobalKeyPlatform.h"

namespace {

class NoGlobalKey final : public GlobalKey
{
protected:
    void release() override {}
    State grab(QKeyCombination, quintptr) override { return State::Unavailable; }
};

} // namespace

std::unique_ptr<GlobalKey> GlobalKey::forSystem(bool desktopOffersIt)
{
    if (desktopOffersIt)
        return GlobalKeyPlatform::make();
    return std::make_unique<NoGlobalKey>();
}

bool GlobalKey::isUsable(QKeyCombination key)
{
    const Qt::KeyboardModifiers needed = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool functionKey = key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F35;
    return key.key() != Qt::Key(0) && ((key.keyboardModifiers() & needed) || functionKey);
}

GlobalKey::State GlobalKey::take(QKeyCombination key, quintptr window)
{
    release();
    if (key.toCombined() == 0)
        return State::Off;
    if (!isUsable(key))
        return State::Unusable;
    return grab(key, window);
}

unsigned GlobalKeyPlatform::codeOf(Qt::Key key, std::span<const KeyCode> codes)
{
    for (const KeyCode &code : codes) {
        if (code.key == key)
            return code.code;
    }
    return 0;
}

unsigned GlobalKeyPlatform::modifierCodes(Qt::KeyboardModifiers modifiers, std::span<const ModifierCode> codes)
{
    unsigned mask = 0;
    for (const ModifierCode &code : codes) {
        if (modifiers & code.modifier)
            mask |= code.code;
    }
    return mask;
}
