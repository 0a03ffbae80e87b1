// Files named outside ASCII: a name typed in UTF-8 is the name on disk, on Linux and on Windows
// (where the narrow calls would take the ANSI code page), and the workbook lands under it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/native_file.h"
#include "platform/xlsx_workbook.h"

namespace tierwise {
namespace {

namespace fs = std::filesystem;

struct NameCase {
    const char* name;
    std::string folder, file;  // UTF-8
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class NativeFileTest : public ::testing::TestWithParam<NameCase> {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("tierwise-native-" + std::string(GetParam().name));
        fs::remove_all(root_);
        folder_ = root_ / pathFromUtf8(GetParam().folder);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // The UTF-8 names the folder holds, as the file system lists them.
    [[nodiscard]] std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(utf8Name(entry.path().filename()));
        return names;
    }

    fs::path root_, folder_;
};

TEST_P(NativeFileTest, NameOnDiskIsTheNameTyped) {
    const fs::path file = folder_ / pathFromUtf8(GetParam().file);
    EXPECT_EQ(utf8Name(file.filename()), GetParam().file);

    std::error_code error;
    ASSERT_TRUE(createNewFile(file, error)) << error.message();
    EXPECT_FALSE(createNewFile(file, error));
    EXPECT_EQ(error, std::errc::file_exists);
    EXPECT_NE(openFile(file, "rb"), nullptr);
    EXPECT_EQ(listing(), std::vector<std::string>{GetParam().file});
}

TEST_P(NativeFileTest, WorkbookLandsUnderTheName) {
    const std::string name = GetParam().file + ".xlsx";
    {
        XlsxWorkbook book(folder_ / pathFromUtf8(name));
        book.setCell(1, 1, 1, 1);
        book.commit();
    }
    EXPECT_EQ(listing(), std::vector<std::string>{name});
    EXPECT_GT(fs::file_size(folder_ / pathFromUtf8(name)), 0u);
}

INSTANTIATE_TEST_SUITE_P(Names, NativeFileTest,
                         ::testing::Values(NameCase{"Ascii", "Projects", "Office.anl"},
                                           NameCase{"Latin", "J\u00fcrgen", "B\u00fcrohaus.anl"},
                                           NameCase{"Greek", "J\u00fcrgen \u03a9\u03bc\u03ad\u03b3\u03b1",
                                                    "\u039f\u03b9\u03ba\u03af\u03b1.anl"},
                                           NameCase{"Chinese", "\u9879\u76ee", "\u529e\u516c\u697c.anl"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace tierwise
