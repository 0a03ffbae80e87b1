// A file cut off or damaged anywhere is never read as a complete model with fewer columns: it is
// refused, or read and marked as cut off, and a column it is cut off in is not called failed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"

namespace tierwise {
namespace {

std::string sample() {
    std::ifstream in(TIERWISE_SAMPLES_DIR "/office-block.anl", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    std::string refusal;  // empty when read
    Model model;
};

Outcome readText(const std::string& text) {
    MemorySource source(text);
    LineSource lines(source);
    try {
        return {"", readAnl(lines, "cut.anl")};
    } catch (const Rejection& r) {
        return {r.what(), {}};
    }
}

// What a reader of the model is told about a file, whatever its damage.
void expectNoSilentShortSchedule(const Outcome& outcome, size_t fullColumns) {
    if (!outcome.refusal.empty()) {
        EXPECT_EQ(outcome.refusal.find("Failed Columns"), std::string::npos) << "nothing failed: " << outcome.refusal;
        return;
    }
    const Model& model = outcome.model;
    const bool flagged = model.cutOffLine > 0 || !model.endsInside.empty();
    if (!flagged) {
        EXPECT_EQ(model.designBlocks.size(), fullColumns) << "read as complete";
    }
    for (const DesignBlock& col : model.designBlocks) EXPECT_GT(col.steelArea, 0.0f) << "column " << col.memberNo;
}

TEST(CutOff, EveryCutOfTheSampleIsRefusedOrMarked) {
    const std::string text = sample();
    const Outcome whole = readText(text);
    ASSERT_EQ(whole.refusal, "");
    ASSERT_EQ(whole.model.cutOffLine, 0);
    const size_t fullColumns = whole.model.designBlocks.size();
    const size_t endOfRun = text.find("END OF THE");
    int cuts = 0, marked = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        // Cut after each line end, and in the middle of the line that follows it.
        for (const size_t end : {at + 1, std::min(text.size(), at + 1 + 20)}) {
            SCOPED_TRACE("cut after byte " + std::to_string(end));
            const Outcome cut = readText(text.substr(0, end));
            ++cuts;
            if (cut.refusal.empty() && cut.model.cutOffLine > 0) ++marked;
            if (end > endOfRun + 40) {
                EXPECT_EQ(cut.model.cutOffLine, 0) << "the end of the run is in";
                continue;
            }
            expectNoSilentShortSchedule(cut, fullColumns);
        }
    }
    EXPECT_GT(marked, cuts / 2) << "most cuts fall in the design results";
}

TEST(CutOff, NamesTheBlockItEndsIn) {
    const std::string text = sample();
    const Outcome cut = readText(text.substr(0, text.rfind("     REQD. STEEL AREA   :    1200.50")));
    ASSERT_EQ(cut.refusal, "");
    EXPECT_EQ(cut.model.designBlocks.size(), 33u);
    EXPECT_EQ(
        cutOffMessage(cut.model, "cut.anl"),
        "cut.anl ends at line " + std::to_string(cut.model.cutOffLine) +
            ", inside the design block of column 34, without the end of the analysis run; it looks cut off, so its "
            "schedule would be incomplete.");
    EXPECT_EQ(cutOffMessage(readText(text).model, "cut.anl"), "");
}

// Damage that keeps the file's end: crash damage (a block of zero bytes) inside the echoed
// input. Every position in the joints and members either refuses the file or changes nothing.
TEST(Damage, ZeroBlockInsideTheTablesIsCaught) {
    const std::string text = sample();
    const Outcome whole = readText(text);
    const size_t from = text.find("JOINT COORDINATES");
    const size_t to = text.find("MEMBER PROPERTY");
    for (size_t at = from; at < to; at += 97) {
        SCOPED_TRACE("zeros from byte " + std::to_string(at));
        std::string damaged = text;
        damaged.replace(at, 4096, std::string(4096, '\0'));
        const Outcome outcome = readText(damaged);
        EXPECT_NE(outcome.refusal, "") << "read " << outcome.model.designBlocks.size() << " columns";
    }
}

}  // namespace
}  // namespace tierwise
