// A conversion run, as tallyx-cli makes it, over a file system that wraps the real one and
// delays each open of a result file, the way a network share or a virus scanner does; or made
// serial, as runs were before the result files were read ahead. Prints nothing; exits 1 when
// the run fails.
//
// Usage: bench-convert --path DIR --filter PATTERN --output CSV --optcode MASK
//                      [--open-delay-us N] [--serial]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "convert/run.h"
#include "platform/fs.h"

namespace {

using tallyx::platform::FileSystem;

class SlowOpenFileSystem final : public FileSystem {
 public:
  SlowOpenFileSystem(FileSystem& base, std::chrono::microseconds delay)
      : base_(base), delay_(delay) {}

  std::unique_ptr<tallyx::platform::InputFile> OpenInput(const std::string& path) override {
    Wait();
    return base_.OpenInput(path);
  }
  std::unique_ptr<tallyx::platform::InputFile> OpenListedInput(const std::string& path) override {
    Wait();
    return base_.OpenListedInput(path);
  }
  std::unique_ptr<tallyx::platform::OutputFile> CreateOutput(const std::string& path) override {
    return base_.CreateOutput(path);
  }
  bool ListDirectory(const std::string& directory, std::string_view name_pattern,
                     tallyx::platform::FileList* out) override {
    return base_.ListDirectory(directory, name_pattern, out);
  }
  std::optional<tallyx::platform::FileId> IdentityOf(const std::string& path) override {
    return base_.IdentityOf(path);
  }
  bool PathExists(const std::string& path) override { return base_.PathExists(path); }
  bool IsDirectory(const std::string& path) override { return base_.IsDirectory(path); }
  bool MakeDirectory(const std::string& path) override { return base_.MakeDirectory(path); }
  bool RemoveFile(const std::string& path) override { return base_.RemoveFile(path); }
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return base_.ReplaceFile(from, to);
  }
  tallyx::platform::SystemFailure LastFailure() override { return base_.LastFailure(); }

 private:
  void Wait() const {
    if (delay_.count() > 0) std::this_thread::sleep_for(delay_);
  }
  FileSystem& base_;
  const std::chrono::microseconds delay_;
};

}  // namespace

int main(int argc, char** argv) {
  tallyx::convert::RunInputs in;
  long delay_us = 0;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--serial") == 0) {
      in.read_ahead = tallyx::convert::ReadAheadMode::kNever;
    } else if (has_value && std::strcmp(argv[i], "--path") == 0) {
      in.directory_text = argv[++i];
    } else if (has_value && std::strcmp(argv[i], "--filter") == 0) {
      in.filter_text = argv[++i];
    } else if (has_value && std::strcmp(argv[i], "--output") == 0) {
      in.output_path = argv[++i];
    } else if (has_value && std::strcmp(argv[i], "--optcode") == 0) {
      in.mask = static_cast<std::int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else if (has_value && std::strcmp(argv[i], "--open-delay-us") == 0) {
      delay_us = std::strtol(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr,
                   "usage: bench-convert --path DIR --filter PATTERN --output CSV --optcode MASK "
                   "[--open-delay-us N] [--serial]\n");
      return 64;
    }
  }
  SlowOpenFileSystem fs(tallyx::platform::RealFileSystem(), std::chrono::microseconds(delay_us));
  const tallyx::convert::RunResult r = tallyx::convert::ConversionRun(in, fs).Execute();
  if (!r.ok) {
    std::fprintf(stderr, "bench-convert: %s\n", r.failure.detail.c_str());
    return 1;
  }
  return 0;
}
