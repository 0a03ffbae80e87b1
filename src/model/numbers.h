// Number conventions shared by the reader, the diagram and the report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tierwise {

// Nearest integer, halves to the even neighbour (299.5 gives 300, 300.5 gives 300);
// empty when the value is not finite or does not fit 32 bits.
std::optional<int32_t> roundToInt32(double value);

// The whole text as a finite decimal number ("3.5", "-3.5", "1e3"); nothing for any other text.
std::optional<double> parseDecimal(std::string_view text);

// Rounds to 2 decimal places, halves to even.
double roundTo2Decimals(double value);

// General number format: shortest decimal form with up to `digits` significant digits,
// no trailing zeros, no decimal point for a whole number ("3.5", "10", "-1.5", "1080.37").
std::string formatGeneral(double value, int digits);
inline std::string formatDouble(double value) { return formatGeneral(value, 15); }
inline std::string formatSingle(float value) { return formatGeneral(value, 7); }

}  // namespace tierwise
