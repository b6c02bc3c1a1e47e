// Locale-independent conversion of prize list text to numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace catalogue {

// Accepts blanks (space, tab) around an optional sign, digits with an optional
// decimal point, and an optional exponent: " 12", "-2.5", ".5", "1e3".
// Anything else ("1,5", "12abc", "", "abc", "inf") is no number: nullopt.
// A number beyond the double range throws Overflow.
std::optional<double> parseNumber(std::string_view text);

// Rounds to a whole number, half to even, and checks the 32-bit range
// (Overflow outside it). A NaN is a type mismatch.
std::int32_t roundToLong(double value);

} // namespace catalogue
