// Which columns the CSV file carries for a mode and a mask.
#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"

namespace tallyx::convert {

// The header line in CP932, without its line end; empty when the mask selects no column of the
// mode.
std::string HeaderLine(model::Mode mode, std::int32_t mask);

}  // namespace tallyx::convert
