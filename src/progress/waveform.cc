#include "progress/waveform.h"

#include <algorithm>
#include <limits>

#include "convert/read_ahead.h"
#include "convert/result_reader.h"
#include "model/messages.h"
#include "progress/values.h"
#include "text/line_io.h"

namespace tallyx::progress {
namespace {

namespace why = model::failure_reason;

constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

// The columns kept, in the order of the line, so that one pass over a line splits it.
std::vector<int> KeptColumns(const WaveColumns& c) {
  std::vector<int> kept;
  for (const int column : {c.angle, c.load, c.speed, c.time, c.assist_speed, c.heart_rate}) {
    if (column >= 0) kept.push_back(column);
  }
  std::sort(kept.begin(), kept.end());
  return kept;
}

// Splits one sample line into the kept columns of `out`.
void AddSample(std::string_view line, Waveform* out) {
  std::size_t kept = 0;
  for (int column = 0; kept < out->columns.size(); ++column) {
    const std::size_t comma = line.find(',');
    if (column == out->columns[kept]) {
      const auto number = NumberIn(line.substr(0, comma));
      out->series[kept].push_back(number ? static_cast<float>(*number) : kGap);
      ++kept;
    }
    line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
    if (comma == std::string_view::npos) {
      // A short line: the columns it lacks are gaps.
      for (; kept < out->columns.size(); ++kept) out->series[kept].push_back(kGap);
    }
  }
}

}  // namespace

WaveColumns WaveColumnsOf(model::Mode mode) {
  switch (mode) {
    case model::Mode::kMuscleStrength:
    case model::Mode::kInitialRehabilitation:
      return WaveColumns{0, 1, 2, -1, -1, -1};
    case model::Mode::kIsometric:
      return WaveColumns{-1, 1, -1, -1, -1, -1};
    case model::Mode::kExercise:
      return WaveColumns{-1, 3, 4, 0, 5, 8};
  }
  return {};
}

std::string WaveColumnCaption(model::Mode mode, int column) {
  std::string_view captions = model::TableOf(mode).side_file_caption;
  for (int i = 0; i < column && !captions.empty(); ++i) {
    const std::size_t comma = captions.find(',');
    captions.remove_prefix(comma == std::string_view::npos ? captions.size() : comma + 1);
  }
  return std::string(captions.substr(0, captions.find(',')));
}

std::span<const float> Waveform::Of(int column) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == column) return series[i];
  }
  return {};
}

bool ReadWaveform(platform::FileSystem& fs, const std::string& path, model::Mode mode,
                  Waveform* out, std::string* failure, const std::atomic<bool>* stop) {
  *out = Waveform();
  out->columns = KeptColumns(WaveColumnsOf(mode));
  out->series.resize(out->columns.size());

  convert::FetchedFile file;
  file.Open(fs, path);
  if (!file.opened()) {
    *failure = model::FailureDetail(path, 0, model::WithSystemWords(why::kCannotOpen, file.reason()));
    return false;
  }
  text::LineReader reader;
  reader.Reset(&file);
  std::string cells;
  std::int16_t turns = 0;
  convert::SectionFault fault;
  if (!convert::ReadResultSection(&reader, mode, 0, &turns, &cells, &fault)) {
    *failure = model::FailureDetail(path, fault.line, convert::SectionFaultReason(fs, file, fault));
    return false;
  }
  std::string_view line;
  for (int skipped = 0; skipped < 2; ++skipped) {
    const text::LineReader::Status status = reader.Next(&line);
    if (status == text::LineReader::Status::kLine) continue;
    const std::string reason = status == text::LineReader::Status::kEnd
                                   ? std::string(why::kEndsBefore)
                                   : model::WithSystemWords(why::kCannotRead, fs.LastErrorText());
    *failure = model::FailureDetail(path, reader.lines_read() + 1, reason);
    return false;
  }
  for (;;) {
    if (stop != nullptr && (out->samples & 0xFFFF) == 0 &&
        stop->load(std::memory_order_relaxed)) {
      break;
    }
    const text::LineReader::Status status = reader.Next(&line);
    if (status == text::LineReader::Status::kEnd) break;
    if (status == text::LineReader::Status::kError) {
      *failure = model::FailureDetail(path, reader.lines_read() + 1,
                                      model::WithSystemWords(why::kCannotRead, fs.LastErrorText()));
      return false;
    }
    if (out->samples == kMaxSamples) {
      out->truncated = true;
      break;
    }
    AddSample(line, out);
    ++out->samples;
  }
  file.Close();
  return true;
}

Envelope EnvelopeOf(std::span<const float> values, std::size_t first, std::size_t last,
                    int columns) {
  Envelope e;
  if (columns <= 0) return e;
  last = std::min(last, values.size());
  e.min.assign(static_cast<std::size_t>(columns), kGap);
  e.max.assign(static_cast<std::size_t>(columns), kGap);
  if (first >= last) return e;
  const std::size_t n = last - first;
  const auto width = static_cast<std::size_t>(columns);
  for (std::size_t c = 0; c < width; ++c) {
    const std::size_t lo = first + n * c / width;
    const std::size_t hi = std::max(lo + 1, first + n * (c + 1) / width);
    float low = kGap, high = kGap;
    for (std::size_t i = lo; i < hi && i < last; ++i) {
      const float v = values[i];
      if (v != v) continue;  // a gap
      if (!(low <= v)) low = v;
      if (!(high >= v)) high = v;
    }
    e.min[c] = low;
    e.max[c] = high;
  }
  return e;
}

std::vector<SampleRange> TurnsByAngle(std::span<const float> angle) {
  std::vector<SampleRange> turns;
  std::size_t begin = 0;
  float previous = kGap;
  for (std::size_t i = 0; i < angle.size(); ++i) {
    const float a = angle[i];
    if (a != a) continue;
    if (previous == previous && a < previous - 180) {
      turns.push_back({begin, i});
      begin = i;
    }
    previous = a;
  }
  if (begin < angle.size()) turns.push_back({begin, angle.size()});
  return turns;
}

}  // namespace tallyx::progress
