#include "convert/result_reader.h"

#include <charconv>

#include "model/model.h"
#include "text/chars.h"
#include "text/parse.h"

namespace tallyx::convert {
namespace {

using model::Item;

constexpr std::string_view kTargetRange = "\x96\xDA\x95\x57\x94\xCD\x88\xCD";        // 目標範囲
constexpr std::string_view kRelativeIntensity = "\x91\x8A\x91\xCE\x8B\xAD\x93\x78";  // 相対強度
constexpr std::string_view kTherapyPhase = "\x97\xC3\x96\x40\x8A\xFA";               // 療法期

// The text before the first TAB; false when the line has none.
bool CutAtTab(std::string_view s, std::string_view* before) {
  const std::size_t tab = s.find('\t');
  if (tab == std::string_view::npos) return false;
  *before = s.substr(0, tab);
  return true;
}

// Walks the lines of one file for one mode and mask, appending cells to the data line.
class Section {
 public:
  Section(text::LineReader* in, std::int32_t mask, std::string* out, SectionFault* fault,
          ItemRanges* ranges)
      : in_(in), mask_(mask), out_(out), fault_(fault), ranges_(ranges) {}

  // Reads the next line into current(); false at the end of the file or on a read failure.
  bool Read() {
    const text::LineReader::Status status = in_->Next(&current_);
    if (status == text::LineReader::Status::kLine) return true;
    fault_->kind = status == text::LineReader::Status::kEnd ? SectionFault::Kind::kEnds
                                                            : SectionFault::Kind::kReadError;
    fault_->line = in_->lines_read() + 1;
    return false;
  }
  // Records what the current line lacks; always false.
  bool Broken(SectionFault::Kind kind, std::string_view text = {}) {
    fault_->kind = kind;
    fault_->line = in_->lines_read();
    fault_->text.assign(text);
    return false;
  }
  std::string_view current() const { return current_; }

  bool Skip(int count) {
    for (int i = 0; i < count; ++i) {
      if (!Read()) return false;
    }
    return true;
  }
  // Reads one line and appends its cell when `item` is selected.
  bool Cell(Item item) {
    if (!Read()) return false;
    if (Selected(item)) {
      const std::size_t begin = out_->size();
      AppendCurrent();
      Kept(item, begin);
    }
    return true;
  }
  bool Cells(Item item, int count) {
    for (int i = 0; i < count; ++i) {
      if (!Cell(item)) return false;
    }
    return true;
  }
  bool Selected(Item item) const { return model::Has(mask_, item); }
  std::size_t size() const { return out_->size(); }
  // Records that `item` has added the cells from `begin` to the end of the line so far.
  void Kept(Item item, std::size_t begin) {
    if (ranges_ == nullptr) return;
    CellRange& r = (*ranges_)[static_cast<std::size_t>(model::BitOf(item))];
    if (r.begin == r.end) r.begin = static_cast<std::uint32_t>(begin);
    r.end = static_cast<std::uint32_t>(out_->size());
  }
  void Append(std::string_view text) { out_->append(text); }
  // `n` in decimal and ",".
  void AppendCell(int n) {
    char digits[16];
    out_->append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    out_->push_back(',');
  }
  // The cell of the current line: the text before its first TAB, trimmed of blanks, and ",". An
  // empty line gives ",".
  void AppendCurrent() {
    out_->append(text::TrimBlanks(current_.substr(0, current_.find('\t'))));
    out_->push_back(',');
  }

 private:
  text::LineReader* in_;
  std::int32_t mask_;
  std::string* out_;
  SectionFault* fault_;
  ItemRanges* ranges_;
  std::string_view current_;
};

// Line 4: date, comma, time, TAB, further text. A field may be quoted.
bool DateAndTime(Section* s) {
  if (!s->Read()) return false;
  std::string_view rest = s->current();
  // Reads one comma-delimited field; `tail` receives what follows its value inside the field.
  auto field = [&rest](std::string_view* value) {
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '"') {
      const std::size_t close = rest.find('"', 1);
      *value = rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
      const std::size_t comma = rest.find(',');
      const std::string_view after = rest.substr(0, comma);
      rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
      return after;
    }
    const std::size_t comma = rest.find(',');
    *value = rest.substr(0, comma);
    rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
    return std::string_view();
  };
  std::string_view date, time_field;
  field(&date);
  const std::string_view after_quote = field(&time_field);

  std::string_view time_text;
  if (!CutAtTab(time_field, &time_text)) {
    // A quoted time has its TAB after the closing quote.
    if (after_quote.find('\t') == std::string_view::npos) {
      return s->Broken(SectionFault::Kind::kNoTab);
    }
    time_text = time_field;
  }
  const auto time = text::ParseTimeOfDay(time_text);
  if (!time) return s->Broken(SectionFault::Kind::kNotATime, time_text);

  if (s->Selected(Item::kDate)) {
    const std::size_t begin = s->size();
    s->Append(date);
    s->Append(",");
    s->Kept(Item::kDate, begin);
  }
  if (s->Selected(Item::kTime)) {
    const std::size_t begin = s->size();
    s->AppendCell(time->hour);
    s->AppendCell(time->minute);
    s->AppendCell(time->second);
    s->Kept(Item::kTime, begin);
  }
  return true;
}

// Lines 1 to 18, the same in every mode.
bool CommonHead(Section* s) {
  if (!s->Skip(2) || !s->Read()) return false;
  if (s->Selected(Item::kUserId)) {  // line 3: user ID, cut at TAB, not trimmed
    std::string_view id;
    if (!CutAtTab(s->current(), &id)) return s->Broken(SectionFault::Kind::kNoTab);
    const std::size_t begin = s->size();
    s->Append(id);
    s->Append(",");
    s->Kept(Item::kUserId, begin);
  }
  return DateAndTime(s) && s->Cell(Item::kName) && s->Cell(Item::kBirthDate) &&
         s->Cell(Item::kSex) && s->Cell(Item::kPatientCode) && s->Skip(2) &&
         s->Cell(Item::kHeight) && s->Cell(Item::kWeight) && s->Skip(1) &&
         s->Cell(Item::kSeatBase) && s->Cell(Item::kBackrestAngle) &&
         s->Cell(Item::kSeatPosition) && s->Cell(Item::kPedalHeight) && s->Cell(Item::kPedalLength);
}

// The turn count line: appends its cell for `item` and takes the count when it is numeric.
bool CountLine(Section* s, Item item, std::int16_t* turns) {
  if (!s->Cell(item)) return false;
  std::string_view text;
  if (!CutAtTab(s->current(), &text)) return s->Broken(SectionFault::Kind::kNoTab);
  std::int16_t n = 0;
  switch (text::NumericToInt16(text, &n)) {
    case text::NumericResult::kOk:
      *turns = n;
      return true;
    case text::NumericResult::kNotNumeric:
      return true;
    case text::NumericResult::kOutOfRange:
      return s->Broken(SectionFault::Kind::kCountOutOfRange, text::TrimBlanks(text));
  }
  return false;
}

// Lines 20 to 23 of every mode but the exercise mode.
bool Settings20To23(Section* s) {
  return s->Cell(Item::kStrengthSetting) && s->Cell(Item::kAssistSpeed) &&
         s->Cell(Item::kPedalOrigin) && s->Cell(Item::kPedalDirection);
}

bool MuscleStrength(Section* s, std::int16_t* turns) {
  if (!CountLine(s, Item::kPedalTurns, turns) || !Settings20To23(s) || !s->Skip(2) ||
      !s->Cells(Item::kMaximum, 2) || !s->Skip(1)) {
    return false;
  }
  return s->Cells(Item::kPerTurn, *turns);
}

bool Isometric(Section* s, std::int16_t* turns) {
  if (!s->Cell(Item::kPedalTurns) || !Settings20To23(s) || !s->Skip(2) ||
      !s->Cells(Item::kMaximum, 4) || !CountLine(s, Item::kMaximum, turns)) {
    return false;
  }
  for (int i = 1; i <= *turns; ++i) {
    if (!s->Read()) return false;
    if (s->Selected(Item::kPerTurn)) {
      const std::size_t begin = s->size();
      s->AppendCell(i);
      s->AppendCurrent();
      s->Kept(Item::kPerTurn, begin);
    }
  }
  return true;
}

bool InitialRehabilitation(Section* s, std::int16_t* turns) {
  if (!CountLine(s, Item::kPedalTurns, turns) || !Settings20To23(s) || !s->Skip(2) ||
      !s->Cells(Item::kMaximum, 4) || !s->Skip(2)) {
    return false;
  }
  return s->Cells(Item::kPerTurn, *turns);
}

// The boxes of the exercise mode stand for other values (see model::ItemCaption).
bool Exercise(Section* s) {
  // line 20: pedal direction
  if (!s->Skip(1) || !s->Cell(Item::kStrengthSetting)) return false;
  if (!s->Read()) return false;  // line 21: target range
  if (s->Selected(Item::kAssistSpeed)) {
    const std::size_t begin = s->size();
    if (text::ContainsCp932(s->current(), kTargetRange)) {
      s->AppendCurrent();
    } else {
      s->Append(",,,");
    }
    s->Kept(Item::kAssistSpeed, begin);
  }
  if (!s->Read()) return false;  // line 22: relative intensity, or already the therapy phase
  if (s->Selected(Item::kPedalTurns)) {
    const std::size_t begin = s->size();
    if (text::ContainsCp932(s->current(), kRelativeIntensity)) {
      s->AppendCurrent();
    } else {
      s->Append(",,");
    }
    s->Kept(Item::kPedalTurns, begin);
  }
  if (!text::ContainsCp932(s->current(), kTherapyPhase) && !s->Read()) return false;
  if (s->Selected(Item::kPedalOrigin)) {  // line k: therapy phase
    const std::size_t begin = s->size();
    s->AppendCurrent();
    s->Kept(Item::kPedalOrigin, begin);
  }
  // Then the exercise time and the calories.
  return s->Cell(Item::kPedalDirection) && s->Cell(Item::kCalories) && s->Skip(1) &&
         s->Cells(Item::kMaximum, 4);
}

}  // namespace

bool ReadResultSection(text::LineReader* in, model::Mode mode, std::int32_t mask,
                       std::int16_t* turns, std::string* line, SectionFault* fault,
                       ItemRanges* ranges) {
  Section s(in, mask, line, fault, ranges);
  if (!CommonHead(&s)) return false;
  switch (mode) {
    case model::Mode::kMuscleStrength:
      return MuscleStrength(&s, turns);
    case model::Mode::kIsometric:
      return Isometric(&s, turns);
    case model::Mode::kInitialRehabilitation:
      return InitialRehabilitation(&s, turns);
    case model::Mode::kExercise:
      return Exercise(&s);
  }
  return false;
}

}  // namespace tallyx::convert
