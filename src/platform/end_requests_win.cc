#include "platform/end_requests.h"

namespace tallyx::platform {

int CatchEndRequests() { return -1; }
void DrainEndRequests() {}

}  // namespace tallyx::platform
