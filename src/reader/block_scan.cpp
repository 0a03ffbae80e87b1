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
        if (text[i] == '\n') ++ends;
        else if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++ends;
    }
    return ends;
}

}  // namespace plain

#ifdef TIERWISE_HAVE_AVX2_PATH

namespace {

// Candidates are the positions where a key's first and last bytes both match (32 positions per
// step); only those are compared in full. Results text is mostly digits, so candidates are rare.
__attribute__((target("avx2,bmi"))) size_t findFirstKeyAvx2(std::string_view text, std::span<const std::string_view> keys) {
    constexpr size_t kMaxKeys = 4;
    if (keys.size() > kMaxKeys) return plain::findFirstKey(text, keys);
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
    if (used == 0) return text.size();
    const char* p = text.data();
    const size_t n = text.size();
    size_t i = 0;
    for (; i + 32 + longest <= n; i += 32) {
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
        if (best != SIZE_MAX) return best;
    }
    // The last bytes, too few for a whole step with every key's last byte in bounds.
    const size_t rest = plain::findFirstKey(text.substr(i), {key, used});
    return i + rest;
}

__attribute__((target("avx2,popcnt"))) int64_t countLineEndsAvx2(std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    int64_t ends = 0;
    size_t i = 0;
    // Each step also looks at the byte after it, to know whether a CR is followed by LF.
    for (; i + 33 <= n; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 1));
        const auto lfs = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, lf)));
        const auto crs = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, cr)));
        if ((lfs | crs) == 0) continue;
        const auto lfNext = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, lf)));
        ends += __builtin_popcount(lfs) + __builtin_popcount(crs & ~lfNext);
    }
    return ends + plain::countLineEnds(text.substr(i));
}

bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    return have;
}

}  // namespace

size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys) {
    return haveAvx2() ? findFirstKeyAvx2(text, keys) : plain::findFirstKey(text, keys);
}

int64_t countLineEnds(std::string_view text) {
    return haveAvx2() ? countLineEndsAvx2(text) : plain::countLineEnds(text);
}

#else

size_t findFirstKey(std::string_view text, std::span<const std::string_view> keys) { return plain::findFirstKey(text, keys); }
int64_t countLineEnds(std::string_view text) { return plain::countLineEnds(text); }

#endif

}  // namespace tierwise
