// Requests to end the program that come from the system rather than from its window: SIGTERM
// and SIGHUP (shutdown, logging off, a closed terminal) on POSIX systems.
#pragma once

namespace tallyx::platform {

// From now on such a request no longer ends the process at once: it makes the descriptor
// returned here readable, so that an event loop can end the program its own way. Call it before
// anything else, so that a request during start-up waits there instead of being lost. -1 when
// the requests could not be caught, and on Windows, where the end of the desktop session
// reaches the window itself.
int CatchEndRequests();

// Takes the pending requests off the descriptor once it has become readable.
void DrainEndRequests();

}  // namespace tallyx::platform
