// Fault injection over whole conversion runs: for every file-system call N of a clean run, the
// run is repeated with call N failing, and what it reports and leaves behind is checked against
// the clean run's trace of calls. Runs that read ahead, whose calls come in an order that
// varies, must give what the run without reading ahead gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "convert/run.h"
#include "model/model.h"
#include "platform/codec.h"
#include "support/faulty_fs.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::convert {
namespace {

using testing::FaultyFileSystem;
using testing::FsCall;
using testing::JoinLines;
using testing::ResultFileShape;
using testing::ResultLines;
using testing::TracedCall;
using testing::WaveformStart;
using testing::WorkDir;

using model::Item;
using model::Mode;

struct InputFile {
  std::string name;
  std::string bytes;
  std::size_t section_needed;  // bytes the reader must have to finish the result section
  std::size_t samples_start;   // offset of the first waveform sample (after the two lines)
};

InputFile MakeInput(std::string name, const ResultFileShape& shape, std::size_t long_name = 0) {
  std::vector<std::string> lines = ResultLines(shape);
  if (long_name > 0) lines[4] = std::string(long_name, 'n') + "\t" + lines[4];
  const std::size_t section_lines = static_cast<std::size_t>(WaveformStart(shape) - 1);
  const std::string section(JoinLines({lines.begin(), lines.begin() + section_lines}));
  const std::string with_two(JoinLines({lines.begin(), lines.begin() + section_lines + 2}));
  // The last line of the section ends with CR LF: it is complete once the byte after its CR
  // has been seen.
  return {std::move(name), JoinLines(lines), section.size() - 1, with_two.size()};
}

// Compares file contents without printing them (some are megabytes long).
void ExpectBytes(const std::string& got, const std::string& want, const std::string& what) {
  if (got == want) return;
  std::size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  ADD_FAILURE() << what << ": " << got.size() << " bytes instead of " << want.size()
                << ", first difference at " << at;
}

// One run's inputs and the clean run it is compared with.
class FaultWalk {
 public:
  FaultWalk(Mode mode, std::int32_t mask, std::string pattern, std::vector<InputFile> inputs)
      : mode_(mode), mask_(mask), pattern_(std::move(pattern)), inputs_(std::move(inputs)) {
    dir_.MakeDir("in");
    dir_.MakeDir("out");
    for (const InputFile& f : inputs_) dir_.Write("in/" + f.name, f.bytes);
  }

  RunInputs Inputs(bool read_ahead = false) const {
    RunInputs in;
    in.read_ahead = read_ahead ? ReadAheadMode::kAlways : ReadAheadMode::kNever;
    in.mode = mode_;
    in.mask = mask_;
    in.directory_text = dir_ / "in" + "  (comment)";
    in.filter_text = pattern_;
    in.output_path = dir_ / "out/out.csv";
    return in;
  }
  std::string SidePath(std::size_t k) const {
    return dir_ / ("out/out" + std::to_string(k) + ".csv");
  }
  bool sides() const { return model::Has(mask_, Item::kWaveform); }

  void CleanRun() {
    fs_.Reset();
    const RunResult r = ConversionRun(Inputs(), fs_).Execute();
    trace_ = fs_.Trace();
    fs_.Reset();
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.processed, static_cast<std::int32_t>(inputs_.size()));
    ASSERT_EQ(fs_.OpenHandles(), 0);
    const std::string csv = dir_.Read("out/out.csv");
    std::size_t from = 0;
    for (std::size_t end; (end = csv.find("\r\n", from)) != std::string::npos; from = end + 2) {
      csv_lines_.push_back(csv.substr(from, end + 2 - from));
    }
    ASSERT_EQ(csv_lines_.size(), inputs_.size() + 1);
    for (std::size_t k = 1; sides() && k <= inputs_.size(); ++k) {
      clean_sides_.push_back(testing::ReadFile(SidePath(k)));
    }
    ASSERT_NO_FATAL_FAILURE(Index());
    clean_outputs_ = Outputs();
    const std::string clean = Digest(r);
    Empty();

    // Reading ahead: the same bytes, from the same calls in another order.
    const RunResult ahead = ConversionRun(Inputs(true), fs_).Execute();
    std::vector<TracedCall> ahead_trace = fs_.Trace();
    fs_.Reset();
    ASSERT_TRUE(ahead.ok);
    EXPECT_EQ(fs_.OpenHandles(), 0);
    EXPECT_EQ(Digest(ahead), clean);
    auto key = [](const TracedCall& c) { return std::tie(c.call, c.path, c.bytes); };
    auto by_key = [&key](const TracedCall& a, const TracedCall& b) { return key(a) < key(b); };
    std::vector<TracedCall> clean_trace = trace_;
    std::sort(clean_trace.begin(), clean_trace.end(), by_key);
    std::sort(ahead_trace.begin(), ahead_trace.end(), by_key);
    EXPECT_TRUE(std::equal(clean_trace.begin(), clean_trace.end(), ahead_trace.begin(),
                           ahead_trace.end(),
                           [&key](auto& a, auto& b) { return key(a) == key(b); }));
    Empty();
  }

  // Runs twice per call of the clean run: with that call failing alone, and with it and every
  // call after it failing (the failure path itself then fails too), and checks the outcome.
  void WalkEveryCall() {
    ASSERT_GT(trace_.size(), 5u);
    for (std::size_t i = 0; i < trace_.size(); ++i) {
      for (const bool dead_disk : {false, true}) {
        SCOPED_TRACE("call " + std::to_string(i + 1) + " of " + std::to_string(trace_.size()) +
                     (dead_disk ? " and all after it" : ""));
        fs_.Reset();
        if (dead_disk) {
          fs_.FailFrom(static_cast<long>(i + 1));
        } else {
          fs_.FailCall(static_cast<long>(i + 1));
        }
        const RunResult r = ConversionRun(Inputs(), fs_).Execute();
        fs_.Reset();
        if (dead_disk) {
          CheckDeadDisk(i, r);
        } else {
          Check(i, r);
          outcomes_.push_back(Digest(r));
        }
        if (HasFailure()) return;
        Empty();
      }
    }
  }

  // The walk again, reading ahead. Each call failing alone, whenever it comes, gives what it gives
  // in the run without reading ahead; with it and every call after it failing (the threads'
  // calls with them), result files stay untouched, no file stays open, and every output holds
  // the beginning of what the clean run wrote.
  void WalkEveryCallReadingAhead() {
    ASSERT_EQ(outcomes_.size(), trace_.size());
    for (std::size_t i = 0; i < trace_.size(); ++i) {
      SCOPED_TRACE("reading ahead, call " + std::to_string(i + 1));
      fs_.Reset();
      fs_.FailNth(trace_[i].call, trace_[i].path, Occurrence(i));
      const RunResult alone = ConversionRun(Inputs(true), fs_).Execute();
      EXPECT_EQ(fs_.OpenHandles(), 0);
      EXPECT_EQ(Digest(alone), outcomes_[i]);
      Empty();

      fs_.Reset();
      fs_.FailFrom(static_cast<long>(i + 1));
      const RunResult dead = ConversionRun(Inputs(true), fs_).Execute();
      fs_.Reset();
      EXPECT_FALSE(dead.ok);
      EXPECT_EQ(fs_.OpenHandles(), 0);
      for (const InputFile& f : inputs_) ExpectBytes(dir_.Read("in/" + f.name), f.bytes, f.name);
      for (const auto& [file, bytes] : Outputs()) {
        ASSERT_EQ(clean_outputs_.count(file), 1u) << file;
        ExpectBytes(bytes, clean_outputs_.at(file).substr(0, bytes.size()), file);
      }
      Empty();
      if (HasFailure()) return;
    }
  }

  // A stop while the files after the one begun are read ahead: that one is finished, the others
  // are dropped.
  void StopWithFilesReadAhead() {
    ConversionRun run(Inputs(true), fs_);
    run.OnProgress([&run](const RunProgress& p) {
      if (p.finished == 1) run.RequestStop();
    });
    fs_.Reset();
    fs_.SlowDown(FsCall::kClose, 20);  // the threads get ahead of the run
    const RunResult r = run.Execute();
    const std::vector<TracedCall> trace = fs_.Trace();
    fs_.Reset();
    EXPECT_TRUE(r.ok && r.stopped);
    EXPECT_EQ(r.processed, 2);
    EXPECT_EQ(fs_.OpenHandles(), 0);
    std::string csv = csv_lines_[0] + csv_lines_[1] + csv_lines_[2];
    ExpectBytes(dir_.Read("out/out.csv"), csv, "CSV");
    EXPECT_EQ(dir_.List("out").size(), sides() ? 3u : 1u);
    const std::string last = dir_ / ("in/" + inputs_.back().name);
    EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const TracedCall& c) {
      return c.path == last && c.call == FsCall::kOpen;
    }));
    Empty();
  }

  // As shipped, a run starts reading ahead once opening has been slow a few times in a row: then
  // a file is opened before the file before it is closed.
  void ReadsAheadOnceOpeningIsSlow() {
    fs_.Reset();
    fs_.SlowDown(FsCall::kOpen, 2);
    RunInputs in = Inputs();
    in.read_ahead = ReadAheadMode::kWhenOpensAreSlow;
    ASSERT_TRUE(ConversionRun(in, fs_).Execute().ok);
    const std::vector<TracedCall> trace = fs_.Trace();
    fs_.Reset();
    EXPECT_EQ(Outputs(), clean_outputs_);
    std::size_t opens = 0;  // result files opened and not yet closed
    std::size_t most = 0;
    for (const TracedCall& c : trace) {
      if (c.path.rfind(dir_ / "in/", 0) != 0) continue;
      if (c.call == FsCall::kOpen) most = std::max(most, ++opens);
      if (c.call == FsCall::kClose) --opens;
    }
    EXPECT_GT(most, 1u);
    Empty();
  }

  // With skip_broken, each call on a result file failing leaves that file out, and the run
  // writes what a run over the other files writes: no partial side file, side files renumbered.
  void WalkSkippingBrokenFiles() {
    for (std::size_t k = 1; k <= inputs_.size(); ++k) {
      const std::string name = dir_ / ("in/" + inputs_[k - 1].name);
      ASSERT_EQ(std::rename(name.c_str(), (dir_ / "aside").c_str()), 0);
      ASSERT_TRUE(ConversionRun(Inputs(), platform::RealFileSystem()).Execute().ok);
      const std::map<std::string, std::string> without_k = Outputs();
      Empty();
      ASSERT_EQ(std::rename((dir_ / "aside").c_str(), name.c_str()), 0);
      for (std::size_t i = result_open_[k - 1]; i <= result_close_[k - 1]; ++i) {
        if (trace_[i].path != name) continue;
        SCOPED_TRACE("file " + std::to_string(k) + ", call " + std::to_string(i + 1));
        RunInputs in = Inputs();
        in.skip_broken = true;
        ConversionRun run(in, fs_);
        std::vector<std::string> skipped;
        run.OnSkipped([&skipped](const std::string& detail) { skipped.push_back(detail); });
        fs_.Reset();
        fs_.FailCall(static_cast<long>(i + 1));
        const RunResult r = run.Execute();
        fs_.Reset();
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.processed, static_cast<std::int32_t>(inputs_.size() - 1));
        EXPECT_EQ(r.skipped, 1);
        ASSERT_EQ(skipped.size(), 1u);
        EXPECT_EQ(skipped[0].rfind(name + ": ", 0), 0u) << skipped[0];
        EXPECT_EQ(fs_.OpenHandles(), 0);
        const std::map<std::string, std::string> got = Outputs();
        EXPECT_EQ(got.size(), without_k.size());
        for (const auto& [file, bytes] : without_k) {
          ExpectBytes(got.count(file) ? got.at(file) : "", bytes, file);
        }
        Empty();

        // The same call failing while the files are read ahead.
        in.read_ahead = ReadAheadMode::kAlways;
        ConversionRun ahead(in, fs_);
        fs_.Reset();
        fs_.FailNth(trace_[i].call, trace_[i].path, Occurrence(i));
        const RunResult a = ahead.Execute();
        fs_.Reset();
        EXPECT_TRUE(a.ok && a.skipped == 1);
        EXPECT_EQ(fs_.OpenHandles(), 0);
        EXPECT_EQ(Outputs(), got);
        Empty();
        if (HasFailure()) return;
      }
    }
  }

 private:
  static bool HasFailure() { return ::testing::Test::HasFailure(); }

  // Which call of its kind on its file call i of the clean run is (1 for the first).
  long Occurrence(std::size_t i) const {
    return std::count_if(
        trace_.begin(), trace_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
        [&](const TracedCall& c) { return c.call == trace_[i].call && c.path == trace_[i].path; });
  }

  // What a run reported and left in the output directory, in short.
  std::string Digest(const RunResult& r) const {
    std::string text = std::to_string(r.ok) + " " + std::to_string(r.processed) + " " +
                       std::to_string(static_cast<int>(r.failure.err_no)) + " " + r.failure.s1 +
                       " " + r.failure.s2 + " " + r.failure.detail + "\n";
    for (const auto& [name, bytes] : Outputs()) {
      text += name + " " + std::to_string(bytes.size()) + " " +
              std::to_string(std::hash<std::string>()(bytes)) + "\n";
    }
    return text;
  }

  std::map<std::string, std::string> Outputs() const {
    std::map<std::string, std::string> files;
    for (const std::string& name : dir_.List("out")) files[name] = dir_.Read("out/" + name);
    return files;
  }

  // Finds, in the clean trace, where each file of the run was opened, read and closed.
  void Index() {
    const std::string in_dir = dir_ / "in/";
    for (std::size_t i = 0; i < trace_.size(); ++i) {
      const TracedCall& c = trace_[i];
      if (c.call == FsCall::kList) list_ = i;
      if (c.path.rfind(in_dir, 0) == 0) {
        if (c.call == FsCall::kOpen) result_open_.push_back(i);
        if (c.call == FsCall::kClose) result_close_.push_back(i);
      }
      if (c.path == dir_ / "out/out.csv" && c.call == FsCall::kOpen) csv_open_ = i;
      for (std::size_t k = 1; k <= inputs_.size(); ++k) {
        if (c.path != SidePath(k)) continue;
        if (c.call == FsCall::kOpen) side_open_[k] = i;
        if (c.call == FsCall::kClose) side_close_[k] = i;
      }
    }
    ASSERT_EQ(result_open_.size(), inputs_.size());
    ASSERT_EQ(result_close_.size(), inputs_.size());
    ASSERT_TRUE(list_.has_value() && csv_open_.has_value());
    ASSERT_EQ(side_open_.size(), sides() ? inputs_.size() : 0u);
  }

  // Bytes of result file k read by the calls before call i.
  std::size_t ReadBefore(std::size_t k, std::size_t i) const {
    std::size_t n = 0;
    for (std::size_t c = result_open_[k - 1]; c < i; ++c) {
      if (trace_[c].call == FsCall::kRead && trace_[c].path == dir_ / "in/" + inputs_[k - 1].name) {
        n += static_cast<std::size_t>(trace_[c].bytes);
      }
    }
    return n;
  }

  // What holds whichever calls fail from call i on: the stage's error, result files untouched,
  // nothing created but the CSV and the side files begun, no handle open. Returns the file
  // being processed (the last result file opened at or before call i; 0 for none).
  std::size_t CheckStageAndFiles(std::size_t i, const RunResult& r) {
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(fs_.OpenHandles(), 0);
    std::size_t k = 0;
    while (k < result_open_.size() && result_open_[k] <= i) ++k;

    // The stage reached.
    if (i == *list_) {
      EXPECT_EQ(r.failure.err_no, model::ErrorNumber::kNoResultFile);
      EXPECT_EQ(r.failure.s1, dir_ / "in/");
      EXPECT_EQ(r.failure.s2, pattern_);
    } else if (sides() && i >= side_open_.at(1)) {
      EXPECT_EQ(r.failure.err_no, model::ErrorNumber::kSideFile);
      EXPECT_EQ(r.failure.s1, SidePath(k));
      EXPECT_EQ(r.failure.s2, "");
    } else {
      EXPECT_EQ(r.failure.err_no, model::ErrorNumber::kOutputFile);
      EXPECT_EQ(r.failure.s1, dir_ / "out/out.csv");
      EXPECT_EQ(r.failure.s2, "");
    }

    // Result files untouched, and nothing created but the CSV and the side files begun.
    for (const InputFile& f : inputs_) ExpectBytes(dir_.Read("in/" + f.name), f.bytes, f.name);
    EXPECT_EQ(dir_.List("in").size(), inputs_.size());
    std::vector<std::string> expected_out;
    if (i > *csv_open_) expected_out.push_back("out.csv");
    for (std::size_t s = 1; sides() && s <= k; ++s) {
      if (i > side_open_.at(s)) expected_out.push_back("out" + std::to_string(s) + ".csv");
    }
    std::sort(expected_out.begin(), expected_out.end());
    EXPECT_EQ(dir_.List("out"), expected_out);
    return k;
  }

  // Call i alone fails: everything produced before it is written.
  void Check(std::size_t i, const RunResult& r) {
    const TracedCall& failed = trace_[i];
    const std::size_t k = CheckStageAndFiles(i, r);
    if (i <= *csv_open_) return;

    // The CSV: the header and the lines of the files whose line was composed before call i.
    std::size_t lines = 0;
    if (i > result_close_.back()) {
      lines = inputs_.size();
    } else if (k > 0) {
      const InputFile& f = inputs_[k - 1];
      const bool csv_write = failed.call == FsCall::kWrite && failed.path == dir_ / "out/out.csv";
      const bool section_read = ReadBefore(k, i) >= f.section_needed || i > result_close_[k - 1];
      lines = csv_write || section_read ? k : k - 1;
    }
    std::string csv;
    for (std::size_t l = 0; l <= lines; ++l) csv += csv_lines_[l];
    ExpectBytes(dir_.Read("out/out.csv"), csv, "CSV with " + std::to_string(lines) + " data lines");

    // Side files: those before complete; the one being written holds all it received.
    for (std::size_t s = 1; sides() && s <= k; ++s) {
      if (i <= side_open_.at(s)) continue;
      const std::string& clean = clean_sides_[s - 1];
      const std::string got = dir_.Read("out/out" + std::to_string(s) + ".csv");
      if (s < k || i > side_close_.at(s)) {
        ExpectBytes(got, clean, "side file " + std::to_string(s));
        continue;
      }
      const std::size_t caption =
          platform::ToCp932(model::TableOf(mode_).side_file_caption).size() + 2;
      const std::size_t read = ReadBefore(s, i);
      const std::size_t start = inputs_[s - 1].samples_start;
      const std::size_t received = caption + (read > start ? read - start : 0);
      ASSERT_LE(received, clean.size());
      // A CR that ends what was read waits for the byte after it.
      const bool held_cr = received > 0 && clean[received - 1] == '\r';
      if (!(got == clean.substr(0, received) ||
            (held_cr && got == clean.substr(0, received - 1)))) {
        ADD_FAILURE() << "side file " << s << " holds " << got.size() << " bytes, received "
                      << received;
      }
    }
  }

  // Call i and all after it fail: each output holds exactly what the writes before call i put
  // there, as the clean run wrote it, and never a write's bytes twice.
  void CheckDeadDisk(std::size_t i, const RunResult& r) {
    const std::size_t k = CheckStageAndFiles(i, r);
    std::map<std::string, std::size_t> written;
    for (std::size_t c = 0; c < i; ++c) {
      if (trace_[c].call == FsCall::kWrite) written[trace_[c].path] += trace_[c].bytes;
    }
    if (i > *csv_open_) {
      const std::string csv = dir_ / "out/out.csv";
      std::string clean;
      for (const std::string& l : csv_lines_) clean += l;
      ExpectBytes(dir_.Read("out/out.csv"), clean.substr(0, written[csv]), "CSV");
    }
    for (std::size_t s = 1; sides() && s <= k; ++s) {
      if (i <= side_open_.at(s)) continue;
      ExpectBytes(dir_.Read("out/out" + std::to_string(s) + ".csv"),
                  clean_sides_[s - 1].substr(0, written[SidePath(s)]),
                  "side file " + std::to_string(s));
    }
  }

  void Empty() {
    for (const std::string& name : dir_.List("out")) std::remove((dir_ / ("out/" + name)).c_str());
  }

  WorkDir dir_;
  Mode mode_;
  std::int32_t mask_;
  std::string pattern_;
  std::vector<InputFile> inputs_;

  FaultyFileSystem fs_;
  std::vector<TracedCall> trace_;
  std::vector<std::string> csv_lines_;  // header first, each with its CR LF
  std::vector<std::string> clean_sides_;
  std::map<std::string, std::string> clean_outputs_;
  std::vector<std::string> outcomes_;  // Digest of the run with call i + 1 failing alone
  std::optional<std::size_t> list_, csv_open_;
  std::vector<std::size_t> result_open_, result_close_;
  std::map<std::size_t, std::size_t> side_open_, side_close_;
};

TEST(FaultWalk, EveryModeWithSideFiles) {
  const char* const patterns[] = {"Brawn_*.txt", "IsoMetric_*.txt", "Beginning*.txt",
                                  "Exercise_*.txt"};
  for (const Mode m : model::kAllModes) {
    const int mode = model::NumberOf(m);
    SCOPED_TRACE("mode " + std::to_string(mode));
    std::string stem = patterns[mode];
    stem.erase(stem.find('*'));
    std::vector<InputFile> inputs = {
        MakeInput(stem + "1.txt", {.mode = m, .turns = 2, .waveform_lines = 3, .seed = 1}),
        // Large enough for several reads and several writes of the side file.
        MakeInput(stem + "2.txt", {.mode = m, .turns = 5, .waveform_lines = 20000, .seed = 2}),
        MakeInput(
            stem + "3.txt",
            {.mode = m, .turns = 0, .waveform_lines = 0, .seed = 3, .therapy_on_line_22 = true}),
    };
    FaultWalk walk(m, model::kAllItemsMask, patterns[mode], std::move(inputs));
    ASSERT_NO_FATAL_FAILURE(walk.CleanRun());
    ASSERT_NO_FATAL_FAILURE(walk.WalkEveryCall());
    ASSERT_NO_FATAL_FAILURE(walk.WalkEveryCallReadingAhead());
    ASSERT_NO_FATAL_FAILURE(walk.StopWithFilesReadAhead());
  }
}

TEST(FaultWalk, SkipBrokenLeavesOutTheFileWhoseCallFailed) {
  std::vector<InputFile> inputs = {
      MakeInput("Brawn_1.txt",
                {.mode = model::Mode::kMuscleStrength, .turns = 2, .waveform_lines = 3, .seed = 1}),
      // Several reads after its side file was begun.
      MakeInput(
          "Brawn_2.txt",
          {.mode = model::Mode::kMuscleStrength, .turns = 5, .waveform_lines = 20000, .seed = 2}),
      MakeInput("Brawn_3.txt",
                {.mode = model::Mode::kMuscleStrength, .turns = 1, .waveform_lines = 2, .seed = 3}),
  };
  FaultWalk walk(Mode::kMuscleStrength, model::kAllItemsMask, "Brawn_*.txt", std::move(inputs));
  ASSERT_NO_FATAL_FAILURE(walk.CleanRun());
  ASSERT_NO_FATAL_FAILURE(walk.WalkSkippingBrokenFiles());
}

TEST(FaultWalk, CsvLinesLongerThanTheWriteBuffer) {
  // Lines of tens of kilobytes: the CSV is written while the run goes on, and one line is
  // bigger than the whole buffer. No side files: the reader stops at the end of the section.
  std::vector<InputFile> inputs;
  for (int i = 1; i <= 4; ++i) {
    inputs.push_back(MakeInput(
        "Beginning" + std::to_string(i) + ".txt",
        {.mode = model::Mode::kInitialRehabilitation, .turns = 3, .waveform_lines = 50, .seed = i},
        i == 3 ? 100000 : 30000));
  }
  FaultWalk walk(Mode::kInitialRehabilitation,
                 model::kAllItemsMask & ~model::MaskOf({Item::kWaveform}), "Beginning*.txt",
                 std::move(inputs));
  ASSERT_NO_FATAL_FAILURE(walk.CleanRun());
  ASSERT_NO_FATAL_FAILURE(walk.WalkEveryCall());
  ASSERT_NO_FATAL_FAILURE(walk.WalkEveryCallReadingAhead());
}

TEST(FaultWalk, ReadsAheadOnceOpeningIsSlow) {
  std::vector<InputFile> inputs;
  for (int i = 1; i <= 8; ++i) {
    inputs.push_back(MakeInput("Brawn_" + std::to_string(i) + ".txt",
                               {.mode = Mode::kMuscleStrength, .turns = 1, .seed = i}));
  }
  FaultWalk walk(Mode::kMuscleStrength, model::kDefaultMask, "Brawn_*.txt", std::move(inputs));
  ASSERT_NO_FATAL_FAILURE(walk.CleanRun());
  ASSERT_NO_FATAL_FAILURE(walk.ReadsAheadOnceOpeningIsSlow());
}

}  // namespace
}  // namespace tallyx::convert
