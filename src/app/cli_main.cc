#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/entry.h"
#include "platform/system.h"

int tallyx::platform::ProgramMain(const std::vector<std::string>& args) {
  return app::RunCli(args, RealSystem());
}
