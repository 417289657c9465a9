#include "convert/csv_layout.h"

#include "platform/codec.h"

namespace tallyx::convert {

std::string HeaderLine(model::Mode mode, std::int32_t mask) {
  std::string utf8;
  const model::ModeTable& table = model::TableOf(mode);
  for (const auto groups :
       {model::CommonHeaderGroups(), table.setting_columns, table.result_columns}) {
    for (const model::HeaderGroup& g : groups) {
      if (model::Has(mask, g.item)) utf8 += g.captions;
    }
  }
  if (!utf8.empty()) utf8.pop_back();
  return platform::ToCp932(utf8);
}

}  // namespace tallyx::convert
