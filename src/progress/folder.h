// A folder of result files read into measurements and patients, as the viewer lists them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
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

// A patient: the measurements that share a patient code (or, without one, a user ID), as a
// range of Folder::sessions.
struct Patient {
  std::uint32_t first = 0;  // its first entry in Folder::sessions
  std::uint32_t count = 0;  // its measurements
};

struct Folder {
  model::Mode mode = model::Mode::kMuscleStrength;
  platform::FileList files;               // the listing, as a run makes it
  std::vector<Measurement> measurements;  // the readable files, in listing order
  std::vector<std::uint32_t> file_of;     // the listing index of each measurement
  std::vector<std::string> unreadable;    // the detail line of each file that is not
  std::vector<Patient> patients;          // ordered by patient code, the unknown last
  // Measurement indexes, patient after patient, each patient's oldest first (undated last).
  std::vector<std::uint32_t> sessions;

  std::string PathOf(std::uint32_t measurement) const;
  std::string_view NameOf(std::uint32_t measurement) const;  // the file's name, as listed

  std::span<const std::uint32_t> SessionsOf(const Patient& p) const;
  // The latest measurement: the last dated one, else the last one.
  const Measurement& Latest(const Patient& p) const;
  // For display, UTF-8: the patient code (or user ID), "（不明）" when there is neither; the
  // name of the latest measurement; the date cell of the latest dated one (empty when none).
  std::string CodeOf(const Patient& p) const;
  std::string NameOf(const Patient& p) const;
  std::string LatestDateOf(const Patient& p) const;
  // The patient whose code (UTF-8, as CodeOf gives it) is `code`; null when none.
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
