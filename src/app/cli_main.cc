#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/console.h"
#include "platform/entry.h"

int tallyx::platform::ProgramMain(const std::vector<std::string>& args) {
  return app::RunCli(args, Utf8Out(), Utf8Err());
}
