// The schedule of the bundled sample, cell by cell, against a checked-in dump.
// After a deliberate change, TIERWISE_UPDATE_GOLDEN=1 rewrites the expected file.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/anl_file.h"
#include "report/schedule.h"
#include "support/files.h"
#include "support/memory_workbook.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

using support::readText;

struct GoldenCase {
    std::string name;
    LevelTicks ticks;
};

class ScheduleGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ScheduleGolden, SampleSchedule) {
    const GoldenCase& c = GetParam();
    Model model = readAnlFile(std::filesystem::path(TIERWISE_SAMPLES_DIR) / "office-block.anl");
    MemoryWorkbook book;
    writeWorkbook(prepareColumnLines(model), c.ticks, book);
    const std::string actual = book.dump();

    const std::filesystem::path expectedPath =
        std::filesystem::path(TIERWISE_GOLDEN_DIR) / ("office-block." + c.name + ".txt");
    if (std::getenv("TIERWISE_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << actual;
        GTEST_SKIP() << "rewrote " << expectedPath;
    }
    const std::string expected = readText(expectedPath);
    if (actual != expected) {
        const std::filesystem::path actualPath =
            std::filesystem::current_path() / ("office-block." + c.name + ".actual");
        std::ofstream(actualPath, std::ios::binary) << actual;
        const std::string diff = "diff -u '" + expectedPath.string() + "' '" + actualPath.string() + "'";
        [[maybe_unused]] const int shown = std::system(diff.c_str());
        FAIL() << "the schedule differs from " << expectedPath << "; it is in " << actualPath;
    }
}

// Levels 0, 4, 7.2, 10.4 and 13.6 m.
INSTANTIATE_TEST_SUITE_P(Sample, ScheduleGolden,
                         ::testing::Values(GoldenCase{"all-levels", {}},
                                           GoldenCase{"split-4-10.4", {true, true, false, true, true}}),
                         [](const auto& testCase) {
                             std::string name = testCase.param.name;
                             for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

}  // namespace
}  // namespace tierwise
