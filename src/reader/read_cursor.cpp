#include "reader/read_cursor.h"

#include <algorithm>

#include "model/rejection.h"
#include "reader/scanning.h"

namespace tierwise {

void ReadCursor::nextLine() {
    try {
        line_ = lines_.readLine();
    } catch (const LineSource::LineTooLong& tooLong) {
        rejectTooLong(tooLong);
    }
}

void ReadCursor::nextLineContaining(std::string_view key) {
    try {
        line_ = lines_.readLineContaining({&key, 1});
    } catch (const LineSource::LineTooLong& tooLong) {
        rejectTooLong(tooLong);
    }
}

void ReadCursor::nextResultLineWatching(std::span<const std::string_view> watched, size_t keyCount) {
    const std::span<const std::string_view> keys = watched.first(keyCount);
    for (;;) {
        try {
            line_ = lines_.readLineContaining(watched);
        } catch (const LineSource::LineTooLong& tooLong) {
            rejectTooLong(tooLong);
        }
        const bool holdsKey = std::any_of(
            keys.begin(), keys.end(), [&](std::string_view key) { return line_.find(key) != std::string_view::npos; });
        noteRunEnd();
        if (holdsKey || atEnd()) return;
    }
}

void ReadCursor::nextResultLine() {
    nextLine();
    noteRunEnd();
}

void ReadCursor::noteRunEnd() {
    if (line_.find(kEndOfThe) != std::string_view::npos && line_.find(kRunWord) != std::string_view::npos) {
        runEndLine_ = lines_.lineNumber();
    }
}

int32_t ReadCursor::searchFor(std::string_view keyword) {
    if (atEnd()) return 0;
    nextLineContaining(keyword);
    return positionOf(line_, keyword);
}

std::string& ReadCursor::ownLine() {
    if (line_.data() != scratch_.data()) {
        scratch_.assign(line_);
        line_ = scratch_;
    }
    return scratch_;
}

void ReadCursor::replaceAll(std::string_view from, std::string_view to) {
    std::string& text = ownLine();
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    line_ = scratch_;
}

void ReadCursor::starBlanks() {
    std::string& text = ownLine();
    std::replace(text.begin(), text.end(), ' ', '*');
}

void ReadCursor::rejectNotWhole(const char* what) const {
    rejectAtLine(std::string("a ") + what + " does not fit a 32-bit whole number");
}

void ReadCursor::noteEndInside(Model& model, const char* blockName) const {
    model.endsInside = blockName;
    model.endLine = lines_.lineNumber();
}

void ReadCursor::reject(const std::string& what) const { throw Rejection(fileName_ + ": " + what); }

void ReadCursor::rejectAtLine(const std::string& what) const { rejectAtLine(lines_.lineNumber(), what); }

void ReadCursor::rejectAtLine(int64_t lineNumber, const std::string& what) const {
    throw Rejection(fileName_ + ", line " + std::to_string(lineNumber) + ": " + what);
}

void ReadCursor::rejectTooLong(const LineSource::LineTooLong& tooLong) const {
    rejectAtLine(tooLong.lineNumber,
                 "the line is longer than a printed analysis report has; is this an analysis output file?");
}

}  // namespace tierwise
