// The standard streams already carry UTF-8 bytes on POSIX systems.
#include <iostream>

#include "platform/native.h"

namespace tallyx::platform::native {

std::ostream& Utf8Out() { return std::cout; }
std::ostream& Utf8Err() { return std::cerr; }

}  // namespace tallyx::platform::native
