// The standard streams already carry UTF-8 bytes on POSIX systems.
#include <iostream>

#include "platform/console.h"

namespace tallyx::platform {

std::ostream& Utf8Out() { return std::cout; }
std::ostream& Utf8Err() { return std::cerr; }

}  // namespace tallyx::platform
