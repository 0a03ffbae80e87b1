// Whole-block scans for passing over the hundreds of megabytes of analysis results quickly:
// the first keyword of a few, and the number of line ends, each in one pass over the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tierwise {

// Offset of the first byte of the earliest occurrence of any of `keys` in `text`, or
// text.size() when none occurs. Empty keys are ignored.
size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys);

// Number of line ends in `text`: LF, CR LF (counted once) and a lone CR. A CR in the last byte
// counts as a lone CR.
int64_t countLineEnds(std::string_view text);

// The plain byte-by-byte versions, which the fast ones must agree with.
namespace plain {
size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys);
int64_t countLineEnds(std::string_view text);
}  // namespace plain

}  // namespace tierwise
