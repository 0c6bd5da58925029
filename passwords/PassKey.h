#pragma once

#include "passwords/DesCipher.h"

// The key of every password column. Pages written under one key can only be
// read back under the same key, so these bytes never change.
constexpr DesKey PassKey = {0x4B, 0x6C, 0x61, 0x64, 0x64, 0x6F, 0x23, 0x37};
