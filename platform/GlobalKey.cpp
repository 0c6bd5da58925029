#include "platform/GlobalKey.h"

#include "platform/GlobalKeyPlatform.h"

namespace {

class NoGlobalKey final : public GlobalKey
{
public:
    State take(QKeyCombination key, quintptr) override
    {
        return key.toCombined() == 0 ? State::Off : State::Unavailable;
    }
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
