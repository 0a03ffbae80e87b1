// The .xlsx file: numbers as their text shows them, and a file that is complete or not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <optional>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/rejection.h"
#include "platform/archive_check.h"
#include "platform/xlsx_workbook.h"
#include "support/files.h"
#include "support/case_name.h"

namespace tierwise {
namespace {

using support::PrintTo;

namespace fs = std::filesystem;

struct NumberCase {
    std::string name;
    float value;
    double cell;
};

class CellNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CellNumberTest, NearestToTheSevenDigitText) { EXPECT_EQ(cellNumber(GetParam().value), GetParam().cell); }

INSTANTIATE_TEST_SUITE_P(Xlsx, CellNumberTest,
                         ::testing::Values(NumberCase{"RequiredArea", 1080.37f, 1080.37},
                                           NumberCase{"Half", 950.5f, 950.5}, NumberCase{"Whole", 2700.0f, 2700.0},
                                           NumberCase{"Tenth", 0.1f, 0.1}, NumberCase{"Zero", 0.0f, 0.0},
                                           NumberCase{"Negative", -1.5f, -1.5},
                                           NumberCase{"SevenDigits", 1234567.0f, 1234567.0},
                                           NumberCase{"Small", 1.234567e-5f, 1.234567e-5}),
                         [](const auto& testCase) { return testCase.param.name; });

// Where printed pages start across a worksheet. At 55 % an A4 landscape page holds 1796 pixels of
// columns; a column of 20 characters takes 145 pixels, one of 10 takes 75.
struct PrintCase {
    std::string name;
    std::vector<double> widths;
    PrintSetup setup;
    PrintPages pages;
};

class PrintPagesTest : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrintPagesTest, PagesStartAtBlocks) {
    const PrintPages pages = printPages(GetParam().widths, GetParam().setup);
    EXPECT_EQ(pages.scale, GetParam().pages.scale);
    EXPECT_EQ(pages.pageStarts, GetParam().pages.pageStarts);
}

INSTANTIATE_TEST_SUITE_P(Xlsx, PrintPagesTest,
                         ::testing::Values(
                             // 12 columns of 20: 1740 pixels, one page wide at 55 %.
                             PrintCase{"FitsOnePageWide", std::vector<double>(12, 20), {}, {0, {}}},
                             // 13 columns of 20 (1885) do not; unset widths count as the default 8.43 (64 pixels).
                             PrintCase{"TooWideAtTheLegibleScale", std::vector<double>(13, 20), {}, {55, {13}}},
                             PrintCase{"DefaultWidths", std::vector<double>(29, 0), {}, {55, {29}}},
                             // Two title columns (290) leave 1506; Lines alone (145) and blocks of three (435): page
                             // one holds 3 to 12 (1450), page two 13 to 21 (1305), page three the rest.
                             PrintCase{"BlocksOfAStoreyRange", std::vector<double>(24, 20), {2, 4, 3}, {55, {13, 22}}},
                             // A block wider than a page stands on a page of its own.
                             PrintCase{"BlockWiderThanAPage", {10, 300, 10}, {0, 1, 1}, {55, {2, 3}}}),
                         [](const auto& testCase) { return testCase.param.name; });

using support::readText;

// A folder of its own per test, removed afterwards.
class XlsxFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tierwise-xlsx-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Names of what the folder holds.
    [[nodiscard]] std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(XlsxFileTest, CommitReplacesTheTarget) {
    const fs::path target = folder_ / "schedule.xlsx";
    std::ofstream(target) << "an earlier workbook";
    {
        XlsxWorkbook book(target);
        book.setCell(1, 1, 1, std::string(" Node "));
        book.setCell(3, 2, 7, 1080.37f);
        book.setCell(2, 1048576, 16384, 1);
        EXPECT_EQ(readText(target), "an earlier workbook");  // untouched until commit
        book.commit();
    }
    EXPECT_EQ(readText(target).substr(0, 2), "PK");  // a zip container
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}

TEST_F(XlsxFileTest, WithoutCommitNothingIsLeft) {
    const fs::path target = folder_ / "schedule.xlsx";
    std::ofstream(target) << "an earlier workbook";
    {
        XlsxWorkbook book(target);
        book.setCell(1, 1, 1, 5);
    }
    EXPECT_EQ(readText(target), "an earlier workbook");
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}

struct FailureCase {
    std::string name;
    int sheet, row, column;
    std::string reason;
};

class XlsxCellFailureTest : public XlsxFileTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(XlsxCellFailureTest, NamesTheFile) {
    const FailureCase& c = GetParam();
    const fs::path target = folder_ / "schedule.xlsx";
    XlsxWorkbook book(target);
    try {
        book.setCell(c.sheet, c.row, c.column, 1.5f);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + target.string() + ": " + c.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Xlsx, XlsxCellFailureTest,
    ::testing::Values(FailureCase{"NoSuchSheet", kSheetCount + 1, 1, 1,
                                  "there is no worksheet " + std::to_string(kSheetCount + 1)},
                      FailureCase{"RowZero", 1, 0, 1, "row 0, column 1 lies outside a worksheet"},
                      FailureCase{"PastTheLastRow", 1, 1048577, 1, "row 1048577, column 1 lies outside a worksheet"},
                      FailureCase{"PastTheLastColumn", 2, 1, 16385, "row 1, column 16385 lies outside a worksheet"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(XlsxFileTest, RowAboveTheRowInHandIsRefusedNotDropped) {
    const fs::path target = folder_ / "schedule.xlsx";
    XlsxWorkbook book(target);
    book.setCell(1, 5, 1, 1);
    book.setCell(2, 1, 1, 1);  // each worksheet has rows of its own
    book.setCell(1, 5, 3, 1);  // and the row in hand takes more cells
    try {
        book.setCell(1, 4, 1, 1);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + target.string() +
                                             ": row 4 of worksheet 1 comes after row 5; rows are written top down");
    }
}

TEST_F(XlsxFileTest, MissingFolderIsRefused) {
    const fs::path target = folder_ / "missing" / "schedule.xlsx";
    try {
        XlsxWorkbook book(target);
        FAIL() << "no rejection";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + target.string() + ": No such file or directory");
    }
}

// Descriptors this process holds open (Linux); elsewhere -1, and the folder's listing shows a
// worksheet's temporary file that is still open.
long openDescriptors() {
#ifdef __linux__
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
#else
    return -1;
#endif
}

struct HandleCase {
    std::string name;
    std::vector<int> sheetsWithRows;
    bool commit;
};
void PrintTo(const HandleCase& c, std::ostream* os) { *os << c.name; }

class XlsxHandleTest : public XlsxFileTest, public ::testing::WithParamInterface<HandleCase> {};

// Each worksheet's rows wait in a temporary file of their own; the window writes many workbooks
// in one run, so none of those files may stay open, whatever the worksheets hold.
TEST_P(XlsxHandleTest, NoFileStaysOpen) {
    const HandleCase& c = GetParam();
    const long before = openDescriptors();
    {
        XlsxWorkbook book(folder_ / "schedule.xlsx");
        for (const int sheet : c.sheetsWithRows) book.setCell(sheet, 1, 1, 1);
        if (c.commit) book.commit();
    }
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(listing(), c.commit ? std::vector<std::string>{"schedule.xlsx"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Xlsx, XlsxHandleTest,
                         ::testing::Values(HandleCase{"AbandonedWithRows", {1, 2, 3}, false},
                                           HandleCase{"AbandonedEmpty", {}, false},
                                           HandleCase{"CommittedWithEmptySheets", {2}, true},
                                           HandleCase{"CommittedEmpty", {}, true}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(XlsxFileTest, TargetThatIsAFolderStaysAndNothingIsLeft) {
    const fs::path target = folder_ / "schedule.xlsx";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    EXPECT_THROW(XlsxWorkbook{target}, Rejection) << "refused before anything is written";
    EXPECT_EQ(readText(target / "inside"), "kept");
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}

#ifndef _WIN32  // symbolic links, permission bits and signals as POSIX has them
// Where the workbook lands and what it keeps, by what stood at the target before.
TEST_F(XlsxFileTest, ReplacesWhatTheTargetNamesAndKeepsItsPermissions) {
    struct Case {
        const char* name;
        std::string fileName;            // the target's name in the folder
        const char* linkTo;              // the target is a link to this file in the folder, or nullptr
        std::optional<fs::perms> perms;  // of an earlier workbook, or none
    } cases[] = {
        {"Fresh", "schedule.xlsx", nullptr, std::nullopt},
        {"PrivateWorkbook", "schedule.xlsx", nullptr, fs::perms::owner_read | fs::perms::owner_write},
        {"LongestName", std::string(250, 'n') + ".xlsx", nullptr, std::nullopt},
        {"LinkToAWorkbook", "link.xlsx", "real.xlsx",
         fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read},
        {"LinkToNothingYet", "link.xlsx", "real.xlsx", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const fs::path target = folder_ / c.fileName;
        const fs::path file = c.linkTo ? folder_ / c.linkTo : target;
        if (c.linkTo) fs::create_symlink(c.linkTo, target);
        if (c.perms) {
            std::ofstream(file) << "an earlier workbook";
            fs::permissions(file, *c.perms);
        }
        XlsxWorkbook book(target);
        book.setCell(1, 1, 1, 5);
        book.commit();
        EXPECT_EQ(readText(file).substr(0, 2), "PK");
        if (c.linkTo) {
            EXPECT_TRUE(fs::is_symlink(target)) << "the link stays";
        }
        if (c.perms) {
            EXPECT_EQ(fs::status(file).permissions(), *c.perms);
        }
        EXPECT_EQ(listing().size(), c.linkTo ? 2u : 1u) << "no temporary file is left";
    }
}

// Ctrl-C while the workbook is written: the temporary file goes, then the signal ends the run.
TEST_F(XlsxFileTest, InterruptRemovesTheTemporaryFile) {
    const fs::path target = folder_ / "schedule.xlsx";
    std::ofstream(target) << "an earlier workbook";
    EXPECT_EXIT(
        {
            XlsxWorkbook book(target);
            std::raise(SIGINT);  // held back until the workbook is cleaned up
            for (int row = 1; row <= 100000; ++row) book.setCell(1, row, 1, row);
            book.commit();
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_EQ(readText(target), "an earlier workbook");
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}
#endif

// The read-back finds a finished file that is not what was written. Worksheet 2 packs to well
// over the 64 KiB the check reads at a time.
TEST_F(XlsxFileTest, ReadBackFindsDamage) {
    const fs::path target = folder_ / "schedule.xlsx";
    {
        XlsxWorkbook book(target);
        for (int row = 1; row <= 60000; ++row) book.setCell(2, row, 1, row * 7919 % 100003);
        book.commit();
    }
    const std::string good = readText(target);
    const std::array<int64_t, 3> rows{0, 0, 0};
    const std::string sheet2Rows = findArchiveDamage(good, rows);
    ASSERT_NE(sheet2Rows.find("bytes of rows where 0 were written"), std::string::npos) << sheet2Rows;
    const int64_t held = std::stoll(sheet2Rows.substr(sheet2Rows.find("holds ") + 6));
    const std::array<int64_t, 3> written{0, held, 0};
    EXPECT_EQ(findArchiveDamage(good, written), "");
    const std::array<int64_t, 3> more{0, held + 1, 0};
    EXPECT_NE(findArchiveDamage(good, more), "") << "a byte of rows lost";
    EXPECT_NE(findArchiveDamage(good.substr(0, good.size() - 30), written), "") << "cut off";
    std::string flipped = good;
    flipped[good.find("xl/worksheets/sheet2.xml") + 40] ^= 0x55;
    EXPECT_NE(findArchiveDamage(flipped, written), "") << "a changed byte";
    ASSERT_GT(good.size(), 3 * 65536u);
    flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    EXPECT_NE(findArchiveDamage(flipped, written), "") << "a changed byte deep in the rows";
    std::array<int64_t, kSheetCount + 1> oneSheetTooMany{};
    oneSheetTooMany[1] = held;
    EXPECT_EQ(findArchiveDamage(good, oneSheetTooMany), "worksheet " + std::to_string(kSheetCount + 1) + " is missing");
}

// A wide worksheet's column widths push its rows far into the part; the read-back still finds
// them (a tower's worksheet 1 was refused as damaged).
TEST_F(XlsxFileTest, WideWorksheetIsReadBack) {
    const fs::path target = folder_ / "schedule.xlsx";
    XlsxWorkbook book(target);
    book.setHeadingRows(1, 1);
    for (int column = 1; column <= 2000; ++column) book.setColumnWidth(1, column, 9 + column % 7);
    for (int row = 1; row <= 3; ++row) book.setCell(1, row, 1, row);
    book.commit();
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}

// Worksheets are added in order as they are first used: a name or heading rows that come too late
// would be lost, so they are refused.
TEST_F(XlsxFileTest, LayoutThatComesTooLateIsRefused) {
    const fs::path target = folder_ / "schedule.xlsx";
    XlsxWorkbook book(target);
    book.nameSheet(4, "Column schedule");
    book.setHeadingRows(4, 2);
    book.setCell(3, 1, 1, 1);  // adds worksheets 1 to 3
    const auto reason = [&](auto call) {
        try {
            call();
        } catch (const Rejection& e) {
            return std::string(e.what()).substr(("Cannot write " + target.string() + ": ").size());
        }
        return std::string("no rejection");
    };
    EXPECT_EQ(reason([&] { book.nameSheet(2, "Areas"); }), "worksheet 2 is named after it was started");
    EXPECT_EQ(reason([&] { book.setHeadingRows(3, 1); }),
              "the heading rows of worksheet 3 are set after its first row");
    book.setColumnWidth(1, 2, 12);  // widths may come at any time
    book.commit();
    EXPECT_EQ(listing(), std::vector<std::string>{"schedule.xlsx"});
}

}  // namespace
}  // namespace tierwise
