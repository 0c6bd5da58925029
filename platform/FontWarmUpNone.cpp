#include "platform/FontWarmUp.h"

namespace FontWarmUp {

// The system's fonts need no loading ahead here.
void start() {}

} // namespace FontWarmUp
