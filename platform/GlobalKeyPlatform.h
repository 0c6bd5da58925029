#pragma once

#include "platform/GlobalKey.h"

#include <span>

namespace GlobalKeyPlatform {

std::unique_ptr<GlobalKey> make();

struct KeyCode
{
    Qt::Key key;
    unsigned code;
};

struct ModifierCode
{
    Qt::KeyboardModifier modifier;
    unsigned code;
};

// The system's code for key in codes, zero for none.
unsigned codeOf(Qt::Key key, std::span<const KeyCode> codes);
unsigned modifierCodes(Qt::KeyboardModifiers modifiers, std::span<const ModifierCode> codes);

} // namespace GlobalKeyPlatform
