// A folder of result files read into measurements and patients, as the viewer lists them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/run.h"
#include "model/errors.h"
#include "model/model.h"
#include "platform/fs.h"
#include "progress/measurement.h"
#include "progress/values.h"

namespace tallyx::progress {

struct FolderInputs {
  model::Mode mode = model::Mode::kMuscleStrength;
  std::string directory_text;  // as the Path box holds it, maybe with its comment
  std::string filter_text;     // as the Filter box holds it, maybe with its comment
  convert::ReadAheadMode read_ahead = convert::ReadAheadMode::kWhenOpensAreSlow;
};

// A patient: the measurements that share a patient code (or, without one, a user ID).
struct Patient {
  std::string key;   // CP932; empty for the measurements that carry neither
  std::string code;  // UTF-8 for display: the key, or "（不明）"
  std::string name;  // UTF-8, from the latest measurement
  std::vector<std::uint32_t> sessions;  // indexes of Folder::measurements, oldest first
  std::string latest_date;              // UTF-8, the date cell of the latest dated one
};

struct Folder {
  model::Mode mode = model::Mode::kMuscleStrength;
  platform::FileList files;                // the listing, as a run makes it
  std::vector<Measurement> measurements;   // the readable files, in listing order
  std::vector<std::uint32_t> file_of;      // the listing index of each measurement
  std::vector<std::string> unreadable;     // the detail line of each file that is not
  std::vector<Patient> patients;           // ordered by code

  std::string PathOf(std::uint32_t measurement) const;
  std::string_view NameOf(std::uint32_t measurement) const;
  // The patient whose code or user ID (UTF-8, as shown) is `code`; null when none.
  const Patient* Find(std::string_view code) const;
};

// Why a folder gave no measurement at all: the run's error number, its texts and detail line.
using FolderFailure = convert::RunFailure;

struct FolderProgress {
  std::int32_t read = 0;   // files read (or found unreadable)
  std::int32_t found = 0;  // files the listing found
};

// Reading one folder, as an object that can be watched and stopped from another thread.
class FolderReading {
 public:
  FolderReading(FolderInputs inputs, platform::FileSystem& fs)
      : inputs_(std::move(inputs)), fs_(fs) {}

  // Called now and then (every few files and at the end) on the reading thread.
  void OnProgress(std::function<void(const FolderProgress&)> callback) {
    on_progress_ = std::move(callback);
  }
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }

  // Lists and reads the folder into `*out`. False when the folder cannot be listed or no file
  // matches (`failure` says why); a stopped reading returns true with what it read so far.
  bool Execute(Folder* out, FolderFailure* failure);

 private:
  const FolderInputs inputs_;
  platform::FileSystem& fs_;
  std::function<void(const FolderProgress&)> on_progress_;
  std::atomic<bool> stop_{false};
};

// One measurement read again with every item, for its page, per-turn chart and settings. False,
// with the detail line in `failure`, when it can no longer be read.
bool ReadDetail(platform::FileSystem& fs, const std::string& path, model::Mode mode,
                Measurement* out, std::string* failure);

}  // namespace tallyx::progress
