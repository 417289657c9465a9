// A measurement's waveform: the samples of the waveform section, as numbers, in the columns the
// mode's charts draw, and their reduction to what a chart of a given width can show.
#pragma once

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "platform/fs.h"

namespace tallyx::progress {

// Samples kept of one waveform, at most; beyond them the chart says it shows the first ones.
inline constexpr std::size_t kMaxSamples = 2'000'000;

// The columns of a mode's waveform lines (numbered from 0, as the side file's caption names
// them) that its charts draw.
struct WaveColumns {
  int angle = -1;         // ペダル角度 (modes 0 and 2)
  int load = -1;          // 負荷 (modes 0 and 2), トルク (modes 1 and 3)
  int speed = -1;         // ペダル回転速度 (modes 0 and 2), 回転速度 (mode 3)
  int time = -1;          // 秒(sec) (mode 3)
  int assist_speed = -1;  // アシスト回転速度 (mode 3)
  int heart_rate = -1;    // 心拍数(bpm) (mode 3)
};
WaveColumns WaveColumnsOf(model::Mode mode);
// The caption of column `column` of the mode's waveform lines (UTF-8), as its side file names it.
std::string WaveColumnCaption(model::Mode mode, int column);

struct Waveform {
  // One series per column of WaveColumnsOf, in the order of the line (see Of); a gap or a cell
  // that is no number is NaN.
  std::vector<int> columns;
  std::vector<std::vector<float>> series;
  std::size_t samples = 0;
  bool truncated = false;  // the section held more than kMaxSamples lines

  // The series of column `column`; empty when it is not kept.
  std::span<const float> Of(int column) const;
};

// Reads the waveform of the result file at `path`: its result section is passed over as a
// conversion run reads it, then the two lines that a side file skips; every further line is a
// sample. False, with the detail line in `failure`, when the file cannot be read that far.
// `stop` (if given) ends the reading early, keeping what was read.
bool ReadWaveform(platform::FileSystem& fs, const std::string& path, model::Mode mode,
                  Waveform* out, std::string* failure, const std::atomic<bool>* stop = nullptr);

// The samples [first, last) of `values` reduced to `columns` pixel columns: the minimum and the
// maximum of the samples falling in each (NaN where none is a number). With fewer samples than
// columns, a sample stands in every column it covers.
struct Envelope {
  std::vector<float> min;
  std::vector<float> max;
};
Envelope EnvelopeOf(std::span<const float> values, std::size_t first, std::size_t last,
                    int columns);

// The turns of an angle series: a turn ends where the angle falls back by more than 180.
// [begin, end) sample ranges.
struct SampleRange {
  std::size_t begin = 0, end = 0;
};
std::vector<SampleRange> TurnsByAngle(std::span<const float> angle);

}  // namespace tallyx::progress
