// The line in hand while an analysis file is read, shared by the reading phases (echoed input,
// lists, design blocks): moving on, searching ahead, rewriting the line, and the one-line
// messages that name the file and the line.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "model/model.h"
#include "model/numbers.h"
#include "reader/block_scan.h"
#include "reader/line_source.h"

namespace tierwise {

// The banner the analysis program prints when its run is over: "END OF THE STAAD.Pro RUN".
// A file without it after the design results was cut off while being written or copied.
inline constexpr std::string_view kEndOfThe = "END OF THE";
inline constexpr std::string_view kRunWord = "RUN";

class ReadCursor {
public:
    ReadCursor(LineSource& lines, std::string fileName) : lines_(lines), fileName_(std::move(fileName)) {}

    [[nodiscard]] std::string_view line() const { return line_; }
    [[nodiscard]] int32_t lineLength() const { return static_cast<int32_t>(line_.size()); }
    [[nodiscard]] int64_t lineNumber() const { return lines_.lineNumber(); }
    [[nodiscard]] bool atEnd() { return lines_.atEnd(); }

    // The next line. Call only when !atEnd().
    void nextLine();
    // nextLine for the part of the file after the echoed input: an end banner is noted (runEndLine).
    void nextResultLine();
    // The next line holding `key`, or the last line; the lines between are passed over a block at
    // a time: most of a large file is analysis results that hold no keyword. Call only when !atEnd().
    void nextLineContaining(std::string_view key);
    // nextLineContaining for the part of the file after the echoed input, for any of `keys`: the
    // lines passed over are also watched for the run's end banner (runEndLine), which keys of their
    // own would otherwise skip. Call only when !atEnd().
    template <size_t N>
    void nextResultLineContaining(const std::array<std::string_view, N>& keys) {
        static_assert(N + 1 <= kFastScanKeys, "the keys and the end banner must fit the fast block scan");
        std::array<std::string_view, N + 1> watched{};
        std::copy(keys.begin(), keys.end(), watched.begin());
        watched[N] = kEndOfThe;
        nextResultLineWatching(watched, N);
    }
    // The line of the last end banner passed, 0 before the first.
    [[nodiscard]] int64_t runEndLine() const { return runEndLine_; }

    // 1-based position of `keyword` in the next line holding it; 0 when no line is left that does.
    int32_t searchFor(std::string_view keyword);

    // Rewriting the line in hand (a copy of its own from then on).
    void replaceAll(std::string_view from, std::string_view to);
    // Blanks become "*", so that the numeric value of a field stops at the field's end.
    void starBlanks();

    // `value` as a 32-bit whole number; refused naming the line and `what` when it does not fit.
    [[nodiscard]] int32_t wholeNumber(double value, const char* what) const {
        const std::optional<int32_t> rounded = roundToInt32(value);
        if (!rounded) rejectNotWhole(what);
        return *rounded;
    }

    // The block or list that reading stopped in at the file's end; readers of the model decide on it.
    void noteEndInside(Model& model, const char* blockName) const;

    [[noreturn]] void reject(const std::string& what) const;
    [[noreturn]] void rejectAtLine(const std::string& what) const;
    [[noreturn]] void rejectAtLine(int64_t lineNumber, const std::string& what) const;

private:
    void nextResultLineWatching(std::span<const std::string_view> watched, size_t keyCount);
    void noteRunEnd();
    std::string& ownLine();
    [[noreturn]] void rejectNotWhole(const char* what) const;
    [[noreturn]] void rejectTooLong(const LineSource::LineTooLong& tooLong) const;

    LineSource& lines_;
    std::string fileName_;
    std::string_view line_;
    std::string scratch_;
    int64_t runEndLine_ = 0;
};

}  // namespace tierwise
