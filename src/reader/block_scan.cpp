#include "reader/block_scan.h"

#include <algorithm>
#include <array>
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

#define TIERWISE_AVX2 __attribute__((target("avx2,bmi,popcnt")))

TIERWISE_AVX2 inline uint32_t equalMask(__m256i a, __m256i b) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, b)));
}

TIERWISE_AVX2 inline __m256i load32(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }

// 64 positions per step, with the number of keys fixed so that their bytes stay in registers.
// Key candidates are the positions where a key's first and last bytes both match; only those are
// compared in full (results text is mostly digits, so candidates are rare). Line ends are counted
// in the same step, so each byte of a block is loaded once.
template <size_t N>
TIERWISE_AVX2 KeyScan scanToFirstKeyAvx2(std::string_view text, const std::string_view* key) {
    constexpr size_t kSlots = N > 0 ? N : 1;  // no zero-length arrays
    __m256i firstByte[kSlots];
    __m256i lastByte[kSlots];
    size_t lastOffset[kSlots];
    size_t longest = 0;
    for (size_t k = 0; k < N; ++k) {
        firstByte[k] = _mm256_set1_epi8(key[k].front());
        lastByte[k] = _mm256_set1_epi8(key[k].back());
        lastOffset[k] = key[k].size() - 1;
        longest = std::max(longest, key[k].size());
    }
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const char* p = text.data();
    const size_t n = text.size();
    int64_t ends = 0;
    size_t i = 0;
    // Every key's last byte, and the byte after the step (is a CR followed by LF?), stay in bounds.
    for (; i + 65 + longest <= n; i += 64) {
        const __m256i low = load32(p + i);
        const __m256i high = load32(p + i + 32);
        uint64_t candidates = 0;
        for (size_t k = 0; k < N; ++k) {
            const __m256i lowTail = load32(p + i + lastOffset[k]);
            const __m256i highTail = load32(p + i + 32 + lastOffset[k]);
            const uint32_t lowHits = equalMask(low, firstByte[k]) & equalMask(lowTail, lastByte[k]);
            const uint32_t highHits = equalMask(high, firstByte[k]) & equalMask(highTail, lastByte[k]);
            candidates |= lowHits | (uint64_t{highHits} << 32);
        }
        const uint64_t lfs = equalMask(low, lf) | (uint64_t{equalMask(high, lf)} << 32);
        const uint64_t crs = equalMask(low, cr) | (uint64_t{equalMask(high, cr)} << 32);
        const uint64_t lfNext = (lfs >> 1) | (uint64_t{p[i + 64] == '\n'} << 63);
        uint64_t endMask = lfs | (crs & ~lfNext);
        for (; candidates != 0; candidates &= candidates - 1) {
            const auto offset = static_cast<unsigned>(__builtin_ctzll(candidates));
            const char* at = p + i + offset;
            bool found = false;
            for (size_t k = 0; k < N && !found; ++k) found = std::memcmp(at, key[k].data(), key[k].size()) == 0;
            if (!found) continue;
            if (offset == 0) return {i, ends};
            endMask |= crs & (uint64_t{1} << (offset - 1));  // a CR just before the key ends a line
            return {i + offset, ends + __builtin_popcountll(endMask & (~uint64_t{0} >> (64 - offset)))};
        }
        ends += __builtin_popcountll(endMask);
    }
    // The last bytes, too few for a whole step.
    const KeyScan rest = plain::scanToFirstKey(text.substr(i), {key, N});
    return {i + rest.keyAt, ends + rest.lineEnds};
}

TIERWISE_AVX2 KeyScan scanToFirstKeyAvx2(std::string_view text, std::span<const std::string_view> keys) {
    std::array<std::string_view, kFastScanKeys> key;
    size_t used = 0;
    for (const std::string_view k : keys) {
        if (k.empty()) continue;
        if (used == key.size()) return plain::scanToFirstKey(text, keys);
        key[used++] = k;
    }
    static_assert(kFastScanKeys == 4, "one case below for each number of keys");
    switch (used) {
        case 0:
            return scanToFirstKeyAvx2<0>(text, key.data());
        case 1:
            return scanToFirstKeyAvx2<1>(text, key.data());
        case 2:
            return scanToFirstKeyAvx2<2>(text, key.data());
        case 3:
            return scanToFirstKeyAvx2<3>(text, key.data());
        default:
            return scanToFirstKeyAvx2<4>(text, key.data());
    }
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
