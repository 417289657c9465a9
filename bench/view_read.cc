// The viewer's reading of a folder (its measurements and patients, not their waveforms), as the
// window and the report make it. Prints the numbers of patients, measurements and unreadable
// files.
//
// Usage: bench-view-read --mode M --path DIR --filter PATTERN
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/fs.h"
#include "progress/folder.h"

int main(int argc, char** argv) {
  tallyx::progress::FolderInputs in;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view k = argv[i];
    if (k == "--mode") {
      in.mode = tallyx::model::ModeOf(std::atoi(argv[i + 1]));
    } else if (k == "--path") {
      in.directory_text = argv[i + 1];
    } else if (k == "--filter") {
      in.filter_text = argv[i + 1];
    }
  }
  if (argc != 7) {
    std::fprintf(stderr, "usage: bench-view-read --mode M --path DIR --filter PATTERN\n");
    return 64;
  }
  tallyx::progress::Folder folder;
  tallyx::progress::FolderFailure failure;
  tallyx::progress::FolderReading reading(in, tallyx::platform::RealFileSystem());
  if (!reading.Execute(&folder, &failure)) {
    std::fprintf(stderr, "%s\n", failure.detail.c_str());
    return 2;
  }
  std::printf("%zu %zu %zu\n", folder.patients.size(), folder.measurements.size(),
              folder.unreadable.size());
  return 0;
}
