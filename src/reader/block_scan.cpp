#include "reader/block_scan.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TIERWISE_HAVE_AVX2_PATH 1
#endif

namespace tierwise {

namespace plain {

size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    size_t first = text.size();
    for (const std::string_view key : keys) {
        if (key.empty()) continue;
        const size_t at = text.substr(0, std::min(text.size(), first + key.size())).find(key);
        if (at != std::string_view::npos) first = std::min(first, at);
    }
    return first;
}

int64_t countLineEnds(std::string_view text) {
    int64_t ends = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool loneCr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        if (text[i] == '\n' || loneCr) ++ends;
    }
    return ends;
}

KeyScan scanToFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    const size_t at = findFirstKey(text, keys);
    return {at, countLineEnds(text.substr(0, at))};
}

}  // namespace plain

#ifdef TIERWISE_HAVE_AVX2_PATH

namespace {

// 32 positions per step. Key candidates are the positions where a key's first and last bytes both
// match; only those are compared in full (results text is mostly digits, so candidates are rare).
// Line ends are counted in the same step, so each byte of a block is loaded once.
__attribute__((target("avx2,bmi,popcnt"))) KeyScan scanToFirstKeyAvx2(std::string_view text,
                                                                      std::span<const std::string_view> keys) {
    constexpr size_t kMaxKeys = 4;
    if (keys.size() > kMaxKeys) return plain::scanToFirstKey(text, keys);
    __m256i firstByte[kMaxKeys];
    __m256i lastByte[kMaxKeys];
    size_t lastOffset[kMaxKeys];
    size_t longest = 0;
    size_t used = 0;
    std::string_view key[kMaxKeys];
    for (const std::string_view k : keys) {
        if (k.empty()) continue;
        key[used] = k;
        firstByte[used] = _mm256_set1_epi8(k.front());
        lastByte[used] = _mm256_set1_epi8(k.back());
        lastOffset[used] = k.size() - 1;
        longest = std::max(longest, k.size());
        ++used;
    }
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const char* p = text.data();
    const size_t n = text.size();
    // Every key's last byte, and the byte after the step (is a CR followed by LF?), stay in bounds.
    const size_t reach = 32 + std::max<size_t>(longest, 1);
    int64_t ends = 0;
    size_t i = 0;
    for (; i + reach <= n; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        size_t best = SIZE_MAX;
        for (size_t k = 0; k < used; ++k) {
            const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + lastOffset[k]));
            auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(
                _mm256_and_si256(_mm256_cmpeq_epi8(chunk, firstByte[k]), _mm256_cmpeq_epi8(tail, lastByte[k]))));
            while (mask != 0) {
                const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
                if (at >= best) break;
                if (std::memcmp(p + at, key[k].data(), key[k].size()) == 0) {
                    best = at;
                    break;
                }
                mask &= mask - 1;
            }
        }
        const auto lfs = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, lf)));
        const auto crs = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, cr)));
        uint32_t endMask = lfs;
        if (crs != 0) {
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 1));
            const auto lfNext = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, lf)));
            endMask |= crs & ~lfNext;
        }
        if (best != SIZE_MAX) {
            const auto before = static_cast<unsigned>(best - i);  // 0 to 31
            if (before == 0) return {best, ends};
            const uint32_t below = ~uint32_t{0} >> (32 - before);
            endMask |= crs & (uint32_t{1} << (before - 1));  // a CR just before the key ends a line
            return {best, ends + __builtin_popcount(endMask & below)};
        }
        ends += __builtin_popcount(endMask);
    }
    // The last bytes, too few for a whole step.
    const KeyScan rest = plain::scanToFirstKey(text.substr(i), {key, used});
    return {i + rest.keyAt, ends + rest.lineEnds};
}

bool haveAvx2() {
    static const bool have =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    return have;
}

}  // namespace

KeyScan scanToFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    return haveAvx2() ? scanToFirstKeyAvx2(text, keys) : plain::scanToFirstKey(text, keys);
}

#else

KeyScan scanToFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    return plain::scanToFirstKey(text, keys);
}

#endif

}  // namespace tierwise
