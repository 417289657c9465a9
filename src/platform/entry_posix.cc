#include <string>
#include <vector>

#include "platform/entry.h"

int main(int argc, char** argv) {
  return tallyx::platform::ProgramMain(std::vector<std::string>(argv + 1, argv + argc));
}
