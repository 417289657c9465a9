// One conversion run: the result files of one directory into one CSV file, and the waveform
// side files on request.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/errors.h"
#include "model/model.h"
#include "platform/fs.h"

namespace tallyx::convert {

// When the result files after the one being converted are opened, and their first block read, on
// a few threads of the run (see ReadAhead).
enum class ReadAheadMode {
  kWhenOpensAreSlow,  // once opening and reading a file has been slow a few times in a row
  kAlways,
  kNever,  // every file-system call on the run's thread, one file after another
};

struct RunInputs {
  model::Mode mode = model::Mode::kMuscleStrength;
  std::int32_t mask = 0;       // output items (model::Item)
  std::string directory_text;  // directory box text, maybe with its comment
  std::string filter_text;     // filter box text, maybe with its comment
  std::string output_path;     // the CSV file
  // A result file that cannot be read through is left out (no line, no side file) and the run
  // goes on; each file's line then waits until its side file is whole.
  bool skip_broken = false;
  ReadAheadMode read_ahead = ReadAheadMode::kWhenOpensAreSlow;
};

// What the window shows for a failed run: the error number and its two texts, and beside them
// one line that says what went wrong where: "<path>: <line>行目: <reason>" for a result file
// that broke off at a line, otherwise "<path>: <reason>" (the reason alone when there is no
// path). UTF-8 but for file names that are not.
struct RunFailure {
  model::ErrorNumber err_no{};
  std::string s1;
  std::string s2;
  std::string detail;
};

struct RunResult {
  bool ok = false;
  bool stopped = false;        // asked to stop: the files finished until then are written
  std::int32_t processed = 0;  // files whose line was written, when ok
  std::int32_t skipped = 0;    // broken files left out (skip_broken only)
  RunFailure failure;          // when not ok
};

// Where a run is, as it begins a result file.
struct RunProgress {
  std::int32_t finished = 0;  // result files done (written or left out)
  std::int32_t found = 0;     // result files the listing found
  std::string_view name;      // the file now begun, as listed
};

// A run as an object: it can be watched while it goes and asked to stop from another thread.
// Execute() runs it on the calling thread, once; the callbacks are called on that thread. Every
// file it touches goes through `fs`.
class ConversionRun {
 public:
  ConversionRun(RunInputs inputs, platform::FileSystem& fs) : inputs_(std::move(inputs)), fs_(fs) {}

  // Called as each result file is begun. Left unset, nothing is prepared for it.
  void OnProgress(std::function<void(const RunProgress&)> callback) {
    on_progress_ = std::move(callback);
  }
  // Called with the detail line of each broken file that skip_broken leaves out.
  void OnSkipped(std::function<void(const std::string& detail)> callback) {
    on_skipped_ = std::move(callback);
  }
  // From any thread: the file being read is finished (its line and its side file), then the
  // run ends as stopped. Before the first file it ends with the header alone.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }

  RunResult Execute();

 private:
  const RunInputs inputs_;
  platform::FileSystem& fs_;
  std::function<void(const RunProgress&)> on_progress_;
  std::function<void(const std::string&)> on_skipped_;
  std::atomic<bool> stop_{false};
};

// The system's words for `failure`, after a Japanese reason when it is a common one.
std::string SystemWords(const platform::SystemFailure& failure);
// "作成できません（...）" for the file `path` that could not be made, the failure having just
// happened on this thread: when the folder it would lie in is not there, that folder is named.
// Nothing is made.
std::string CreateReason(platform::FileSystem& fs, const std::string& path);

// The result files a Path and a Filter box text name, listed as a run lists them.
struct ResultListing {
  std::string directory;  // ends in a separator
  std::string pattern;    // the filter text taken: whole, or before its comment
  platform::FileList files;
};
// Why there are none to read: the run's error number and its detail line.
struct ListingFault {
  model::ErrorNumber err_no{};
  std::string detail;
};
bool ListResultFiles(std::string_view directory_text, std::string_view filter_text,
                     platform::FileSystem& fs, ResultListing* out, ListingFault* fault);
// The failure a run reports for a listing's fault: the directory (and the pattern) as its texts.
RunFailure ListingFailure(const ResultListing& listing, model::ErrorNumber err_no,
                          std::string detail);

// Whether a Filter box text takes a file named `name` (no directory): its whole text, trimmed,
// matches the name, or the text before its first "(", trimmed, does; the run's two readings.
bool FilterTakes(std::string_view filter_text, std::string_view name);

// The directory a Path box text names: the whole text, trimmed, when that is a directory (a
// folder may be named "新しいフォルダー (2)"); otherwise the text before its first "(", trimmed, so
// that a list entry's comment falls away. No separator is added.
std::string InputDirectory(std::string_view text, platform::FileSystem& fs);

}  // namespace tallyx::convert
