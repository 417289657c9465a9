#pragma once

#include <string_view>
#include <vector>

namespace tallyx::text {

// Matches a whole file name against a pattern of "*" (any run of characters) and "?" (one
// character). ASCII letters compare without regard to case; UTF-8 characters count as one, and a
// byte that is not part of a whole UTF-8 character is a character of its own.
bool MatchWildcard(std::string_view pattern, std::string_view name);

// The order in which NTFS lists names: ordinal comparison of the upper-cased names.
bool NtfsNameLess(std::string_view a, std::string_view b);

// Sorts `names` into NtfsNameLess order. Quicker than std::sort with NtfsNameLess on the long
// listings of a result directory, whose names share a prefix and differ in a few places.
void SortNtfsNames(std::vector<std::string_view>* names);

}  // namespace tallyx::text
