#include "progress/measurement.h"

#include "text/parse.h"

namespace tallyx::progress {
namespace {

// The cell that follows `*rest` up to its comma; `*rest` moves past the comma.
std::string_view NextCell(std::string_view* rest) {
  const std::size_t comma = rest->find(',');
  const std::string_view cell = rest->substr(0, comma);
  rest->remove_prefix(comma == std::string_view::npos ? rest->size() : comma + 1);
  return cell;
}

}  // namespace

bool Measurement::Read(text::LineReader* in, model::Mode mode, std::int32_t mask,
                       convert::SectionFault* fault) {
  cells_.clear();
  convert::ItemRanges ranges{};
  std::int16_t turns = 0;
  const bool ok = convert::ReadResultSection(in, mode, mask, &turns, &cells_, fault, &ranges);
  cells_.shrink_to_fit();
  wide_.clear();
  if (cells_.size() >= kNotKept) {
    wide_.assign(ranges.begin(), ranges.end());
  } else {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      begins_[i] = ranges[i].begin == ranges[i].end ? kNotKept
                                                    : static_cast<std::uint16_t>(ranges[i].begin);
    }
  }
  return ok;
}

convert::CellRange Measurement::RangeOf(model::Item item) const {
  const auto i = static_cast<std::size_t>(model::BitOf(item));
  if (!wide_.empty()) return wide_[i];
  if (begins_[i] == kNotKept) return {};
  // The group ends where the next one the reader appended begins.
  std::uint32_t end = static_cast<std::uint32_t>(cells_.size());
  for (const std::uint16_t begin : begins_) {
    if (begin != kNotKept && begin > begins_[i] && begin < end) end = begin;
  }
  return convert::CellRange{begins_[i], end};
}

std::string_view Measurement::Text(model::Item item) const {
  const convert::CellRange r = RangeOf(item);
  if (r.begin == r.end) return std::string_view();
  // Every group ends in ",".
  return std::string_view(cells_).substr(r.begin, r.end - r.begin - 1);
}

std::optional<std::string_view> Measurement::Cell(model::Item item, int n) const {
  const convert::CellRange r = RangeOf(item);
  std::string_view rest = std::string_view(cells_).substr(r.begin, r.end - r.begin);
  for (int i = 1; !rest.empty(); ++i) {
    const std::string_view cell = NextCell(&rest);
    if (i == n) return cell;
  }
  return std::nullopt;
}

std::vector<std::string_view> Measurement::Cells(model::Item item) const {
  const convert::CellRange r = RangeOf(item);
  std::string_view rest = std::string_view(cells_).substr(r.begin, r.end - r.begin);
  std::vector<std::string_view> cells;
  while (!rest.empty()) cells.push_back(NextCell(&rest));
  return cells;
}

std::string_view Measurement::PatientKey() const {
  const std::string_view code = text::TrimBlanks(Text(model::Item::kPatientCode));
  if (!code.empty()) return code;
  return text::TrimBlanks(Text(model::Item::kUserId));
}

std::optional<When> Measurement::WhenTaken() const {
  std::optional<When> when = DateIn(Text(model::Item::kDate));
  if (!when) return std::nullopt;
  // The time's three cells are numbers the reader wrote.
  const auto part = [this](int n) {
    const auto cell = Cell(model::Item::kTime, n);
    const auto number = cell ? NumberIn(*cell) : std::nullopt;
    return number ? static_cast<int>(*number) : 0;
  };
  when->hour = part(1);
  when->minute = part(2);
  when->second = part(3);
  return when;
}

}  // namespace tallyx::progress
