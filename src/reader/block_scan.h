// Whole-block scans for passing over the hundreds of megabytes of analysis results quickly: the
// first keyword of a few and the number of line ends before it, together in one pass over the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tierwise {

// The most keys a scan compares in registers; more are scanned byte by byte, many times slower.
inline constexpr size_t kFastScanKeys = 4;

struct KeyScan {
    size_t keyAt = 0;      // offset of the first byte of the earliest key, the text's size when none occurs
    int64_t lineEnds = 0;  // line ends in the text before keyAt
};

// The earliest occurrence of any of `keys` in `text` and the line ends before it: LF, CR LF
// (counted once) and a lone CR; a CR just before keyAt counts as a lone CR. Empty keys are ignored.
KeyScan scanToFirstKey(std::string_view text, std::span<const std::string_view> keys);

// Offset of the earliest occurrence of any of `keys` in `text`, or text.size() when none occurs.
inline size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    return scanToFirstKey(text, keys).keyAt;
}

// Number of line ends in `text`, as scanToFirstKey counts them. A CR in the last byte counts as a
// lone CR.
inline int64_t countLineEnds(std::string_view text) { return scanToFirstKey(text, {}).lineEnds; }

// The plain byte-by-byte versions, which the fast ones must agree with.
namespace plain {
size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys);
int64_t countLineEnds(std::string_view text);
KeyScan scanToFirstKey(std::string_view text, std::span<const std::string_view> keys);
}  // namespace plain

}  // namespace tierwise
