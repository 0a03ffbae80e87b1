#include "model/numbers.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tierwise {

std::optional<double> parseDecimal(std::string_view text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int32_t> roundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

double roundTo2Decimals(double value) {
    if (!std::isfinite(value)) return value;
    return std::nearbyint(value * 100.0) / 100.0;
}

std::string formatGeneral(double value, int digits) {
    if (value == 0) return "0";  // also turns -0 into 0
    char text[64];
    std::snprintf(text, sizeof text, "%.*G", digits, value);
    // %G keeps no trailing zeros; an exponent, when there is one, reads like "1.234568E+07".
    return text;
}

}  // namespace tierwise
