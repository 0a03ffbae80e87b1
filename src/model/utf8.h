// UTF-8 text as the program holds it: decoding one character, and whether a text is whole UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tierwise {

// The code point of the UTF-8 character at `at`, and its length in bytes; length 0 for a byte
// that starts no character (an overlong form, a surrogate, past U+10FFFF, cut off).
inline std::pair<uint32_t, size_t> decodeUtf8(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(text[i])); };
    const uint32_t lead = byte(at);
    size_t length = 0;
    uint32_t c = 0;
    if (lead < 0x80) return {lead, 1};
    if ((lead & 0xe0) == 0xc0) length = 2, c = lead & 0x1f;
    if ((lead & 0xf0) == 0xe0) length = 3, c = lead & 0x0f;
    if ((lead & 0xf8) == 0xf0) length = 4, c = lead & 0x07;
    if (length == 0 || at + length > text.size()) return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return {0, 0};
        c = c << 6 | (byte(at + i) & 0x3f);
    }
    constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10ffff || (c >= 0xd800 && c < 0xe000)) return {0, 0};
    return {c, length};
}

inline bool isUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = decodeUtf8(text, at).second;
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace tierwise
