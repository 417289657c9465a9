// Which columns the CSV file carries for a mode and a mask, and the caption line of the
// waveform side files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyx::convert {

// The header line in CP932, without its line end; empty when the mask selects no column of the
// mode.
std::string HeaderLine(int mode, std::int32_t mask);

// The first line of a side file for the mode (UTF-8).
std::string_view SideFileCaption(int mode);

}  // namespace tallyx::convert
