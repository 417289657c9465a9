#include "platform/native.h"

namespace tallyx::platform::native {

int CatchEndRequests() { return -1; }
void DrainEndRequests() {}

}  // namespace tallyx::platform::native
