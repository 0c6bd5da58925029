#pragma once

#include "platform/GlobalKey.h"

namespace GlobalKeyPlatform {
std::unique_ptr<GlobalKey> make();
}
