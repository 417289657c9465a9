#include "convert/run.h"

#include <optional>

#include "convert/csv_layout.h"
#include "convert/result_reader.h"
#include "convert/side_file.h"
#include "model/model.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "platform/line_io.h"
#include "platform/text_conv.h"

namespace tallyx::convert {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One run from start to end. Every failure leaves through Fail(), which closes what is open and
// reports the stage reached; what was written stays.
class Run {
 public:
  explicit Run(const RunInputs& in) : in_(in), mode_(model::NormalMode(in.mode)) {}

  RunResult Execute() {
    stage_ = 2;
    if (in_.directory_text.empty()) return Fail();
    directory_ = ValuePart(in_.directory_text);
    if (directory_.empty() || directory_.back() != platform::kSeparator) {
      directory_ += platform::kSeparator;
    }

    stage_ = 3;
    if (in_.filter_text.empty()) return Fail();
    pattern_ = ValuePart(in_.filter_text);
    if (!platform::ListMatchingFiles(directory_, pattern_, &files_) || files_.size() == 0) {
      return Fail();
    }

    stage_ = 1;
    if (in_.output_path.empty()) return Fail();
    const bool waveform = model::HasBit(in_.mask, model::kBitWaveform);
    if (waveform) side_name_ = SideFileName::FromOutputPath(in_.output_path);
    if (IsInputFile(in_.output_path) || !csv_.Create(in_.output_path)) return Fail();
    csv_out_.Reset(&csv_);

    std::string header = HeaderLine(mode_, in_.mask);
    if (header.empty() || !WriteCsvLine(&header)) return Fail();

    std::string path;
    std::string line;
    std::string side_path;
    std::int16_t turns = 0;
    std::int32_t processed = 0;
    for (std::size_t i = 0; i < files_.size(); ++i) {
      ++processed;
      const std::string_view name = files_.name(i);
      line.clear();
      if (model::HasBit(in_.mask, model::kBitFileName)) {
        line += platform::ToCp932(name);
        line += ',';
      }
      if (waveform) {
        side_path_ = side_name_.PathFor(processed);
        line += platform::ToCp932(side_path_);
        line += ',';
      }
      path.assign(files_.directory()).append(name);
      if (!result_.OpenListed(path)) return Fail();
      reader_.Reset(&result_);
      if (!ReadResultSection(&reader_, mode_, in_.mask, &turns, &line)) return Fail();
      if (line.empty()) return Fail();
      line.pop_back();
      if (!WriteCsvLine(&line)) return Fail();
      if (waveform && !WriteSideFile()) return Fail();
      if (!result_.Close()) return Fail();
    }
    if (!csv_out_.Drain() || !csv_.Close()) return Fail();

    RunResult r;
    r.ok = true;
    r.processed = processed;
    return r;
  }

 private:
  // What the writers still hold goes out before the files are closed: everything produced
  // before the failure stays written.
  RunResult Fail() {
    if (side_.IsOpen()) {
      side_out_.Drain();
      side_.Close();
    }
    result_.Close();
    if (csv_.IsOpen()) {
      csv_out_.Drain();
      csv_.Close();
    }
    RunResult r;
    r.failure.err_no = stage_;
    switch (stage_) {
      case 2:
        r.failure.s1 = directory_;
        break;
      case 3:
        r.failure.s1 = directory_;
        r.failure.s2 = pattern_;
        break;
      case 1:
        r.failure.s1 = in_.output_path;
        break;
      default:
        r.failure.s1 = side_path_;
        break;
    }
    return r;
  }

  // A line goes to the writer with its end in one piece, so that a failed write never leaves
  // half a line to be completed later.
  bool WriteCsvLine(std::string* line) {
    line->append(kLineEnd);
    return csv_out_.Append(*line);
  }

  // A result file of this run must never be overwritten, whatever spelling names it.
  bool IsInputFile(const std::string& path) const {
    const std::optional<platform::FileId> id = platform::IdentityOf(path);
    return id && files_.Contains(*id);
  }

  // Copies the waveform section of the current result file: two lines skipped, then a caption
  // line and every remaining line.
  bool WriteSideFile() {
    std::string_view ignored;
    for (int i = 0; i < 2; ++i) {
      if (reader_.Next(&ignored) != platform::LineReader::Status::kLine) return false;
    }
    stage_ = 5;
    if (IsInputFile(side_path_) || !side_.Create(side_path_)) return false;
    side_out_.Reset(&side_);
    bool read_failed = false;
    std::string caption = platform::ToCp932(SideFileCaption(mode_));
    caption.append(kLineEnd);
    return side_out_.Append(caption) && reader_.CopyRemainingLines(&side_out_, &read_failed) &&
           side_out_.Drain() && side_.Close();
  }

  const RunInputs& in_;
  const int mode_;
  std::int16_t stage_ = 0;
  std::string directory_;
  std::string pattern_;
  std::string side_path_;
  SideFileName side_name_;
  platform::FileList files_;
  platform::OutputFile csv_;
  platform::InputFile result_;
  platform::OutputFile side_;
  platform::BufferedWriter csv_out_;
  platform::BufferedWriter side_out_;
  platform::LineReader reader_;
};

}  // namespace

std::string ValuePart(std::string_view text) {
  const std::size_t paren = text.find('(');
  if (paren != std::string_view::npos) text = text.substr(0, paren);
  return std::string(platform::TrimBlanks(text));
}

RunResult RunConversion(const RunInputs& inputs) { return Run(inputs).Execute(); }

}  // namespace tallyx::convert
