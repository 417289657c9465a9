// Writes a directory of result files for the benchmark: the result section of the chosen mode
// (the same layout the tests use) and a waveform section of the chosen length. The same
// arguments always give the same bytes.
//
// Usage: bench-gen --dir D --mode M --files N [--turns T] [--waveform W] [--first F]
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "support/result_files.h"

namespace {

// File-name prefixes that the default filter of each mode matches.
constexpr const char* kPrefixes[] = {"Brawn_", "IsoMetric_", "Beginning", "Exercise_"};

struct Args {
  std::string dir;
  int mode = 0;
  long files = 0;
  int turns = 10;
  int waveform = 2000;
  long first = 1;
};

void AppendNumber(long v, std::string* out) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, r.ptr);
}

// One waveform sample line with the columns of the mode, CR LF ended. The columns are numbers;
// what they mean does not matter to the conversion, only their bytes and lengths do.
void AppendSample(int mode, long seed, long i, std::string* out) {
  AppendNumber(i % 360, out);
  out->push_back(',');
  AppendNumber((i * 7 + seed) % 200, out);
  out->append(".5");
  switch (mode) {
    case 1:  // angle, torque
      break;
    case 3:  // time, mode, guide line, torque, speed, assist speed, file, heart check, rate
      out->append(",2,");
      AppendNumber(40 + i % 20, out);
      out->append(",12.5,");
      AppendNumber(30 + i % 5, out);
      out->append(",10,EX01,0,");
      AppendNumber(70 + (i + seed) % 50, out);
      break;
    default:  // angle, load, speed; a TAB inside as the device writes it
      out->append(",\t");
      AppendNumber(30 + i % 5, out);
      break;
  }
  out->append("\r\n");
}

bool Parse(int argc, char** argv, Args* a) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view k = argv[i];
    const char* v = argv[i + 1];
    if (k == "--dir") {
      a->dir = v;
    } else if (k == "--mode") {
      a->mode = std::atoi(v);
    } else if (k == "--files") {
      a->files = std::atol(v);
    } else if (k == "--turns") {
      a->turns = std::atoi(v);
    } else if (k == "--waveform") {
      a->waveform = std::atoi(v);
    } else if (k == "--first") {
      a->first = std::atol(v);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !a->dir.empty() && a->mode >= 0 && a->mode <= 3 && a->files > 0 &&
         a->turns >= 0 && a->waveform >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!Parse(argc, argv, &a)) {
    std::fprintf(stderr,
                 "usage: bench-gen --dir D --mode 0-3 --files N [--turns T] [--waveform W] "
                 "[--first F]\n");
    return 64;
  }
  std::string text;
  std::string path;
  for (long n = a.first; n < a.first + a.files; ++n) {
    tallyx::testing::ResultFileShape shape;
    shape.mode = tallyx::model::ModeOf(a.mode);
    shape.turns = a.turns;
    shape.waveform_lines = 0;  // written below, faster than line by line through the codec
    shape.seed = static_cast<int>(n % 100000);
    shape.therapy_on_line_22 = a.mode == 3 && n % 4 == 0;
    text = tallyx::testing::ResultFile(shape);
    for (long i = 0; i < a.waveform; ++i) AppendSample(a.mode, n, i, &text);

    char name[64];
    std::snprintf(name, sizeof name, "%s%06ld.txt", kPrefixes[a.mode], n);
    path.assign(a.dir).append("/").append(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
        std::fclose(f) != 0) {
      std::fprintf(stderr, "bench-gen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
