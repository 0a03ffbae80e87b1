// The files of one run (the workbook and the drawings) replace the earlier ones together or not
// at all: targets checked before anything is written, a failure or an interrupt at any moment
// before the files are in place leaves every earlier file as it was and nothing behind.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "drawing/drawing.h"
#include "model/rejection.h"
#include "platform/drawing_files.h"
#include "platform/output_set.h"
#include "platform/xlsx_workbook.h"
#include "support/case_name.h"
#include "support/files.h"

namespace tierwise {
namespace {

using support::PrintTo;
using support::readText;
namespace fs = std::filesystem;

void spill(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The message of the Rejection `call` throws, or "no rejection".
std::string rejection(const std::function<void()>& call) {
    try {
        call();
    } catch (const Rejection& e) {
        return e.what();
    }
    return "no rejection";
}

class OutputSetFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder_ = fs::temp_directory_path() / ("tierwise-outputs-" + name);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Every entry of the folder: name, and what it holds or points to.
    [[nodiscard]] std::vector<std::string> state() const {
        std::vector<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            std::string line = entry.path().lexically_relative(folder_).generic_string();
            if (entry.is_symlink()) {
                line += " -> " + fs::read_symlink(entry.path()).string();
            } else if (entry.is_regular_file()) {
                line += ": " + readText(entry.path()).substr(0, 40);
            }
            entries.push_back(line);
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    fs::path folder_;
};

// --- targets: what is refused before anything is written, and where a file lands -------------------

struct TargetCase {
    std::string name;
    std::function<void(const fs::path&)> before;  // what stands in the folder
    std::vector<std::string> targets;             // in the folder, or absolute
    std::string refused;                          // a part of the refusal of the last target; empty: written
    std::vector<std::string> after = {};          // the folder's state after a run that writes
    bool posixOnly = false;                       // links, pipes, devices, permission bits
};

class OutputTargetTest : public OutputSetFolder, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(OutputTargetTest, RefusedBeforeAnythingIsWrittenOrPutInPlace) {
    const TargetCase& c = GetParam();
#ifdef _WIN32
    if (c.posixOnly) GTEST_SKIP() << "POSIX links, pipes and devices";
#endif
    spill(folder_ / "model.anl", "the model");
    if (c.before) c.before(folder_);
    const std::vector<std::string> earlier = state();
    std::optional<OutputSet> set(std::in_place);
    OutputSet& outputs = *set;
    outputs.keep(folder_ / "model.anl", "the analysis file");
    std::vector<size_t> added;
    for (size_t k = 0; k < c.targets.size(); ++k) {
        const fs::path target = fs::path(c.targets[k]).is_absolute() ? fs::path(c.targets[k]) : folder_ / c.targets[k];
        if (k + 1 == c.targets.size() && !c.refused.empty()) {
            const std::string message = rejection([&] { outputs.add(target, "drawing"); });
            EXPECT_EQ(message.find("Cannot write " + target.string() + ": "), 0u) << message;
            EXPECT_NE(message.find(c.refused), std::string::npos) << message;
            set.reset();
            EXPECT_EQ(state(), earlier) << "nothing is written";
            return;
        }
        added.push_back(outputs.add(target, "drawing"));
    }
    for (const size_t k : added) outputs.write(k, [&](std::ostream& out) { out << "new " << k; });
    outputs.commit();
    set.reset();
    EXPECT_EQ(state(), c.after);
}

#ifndef _WIN32
constexpr auto kPrivate = fs::perms::owner_read | fs::perms::owner_write;
#endif

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputTargetTest,
    ::testing::Values(
        TargetCase{"SameFileSpelledOtherwise",
                   [](const fs::path& f) { fs::create_directory(f / "sub"); },
                   {"same.pdf", "sub/../same.pdf"},
                   "goes to this file already"},
        TargetCase{"UnderAFile", {}, {"model.anl/a.pdf"}, "Not a directory"},
        TargetCase{"Folder", [](const fs::path& f) { fs::create_directory(f / "a.pdf"); }, {"a.pdf"}, "directory"},
        TargetCase{"Fresh", {}, {"a.pdf", "b.dxf"}, "", {"a.pdf: new 0", "b.dxf: new 1", "model.anl: the model"}},
        TargetCase{"EarlierFiles",
                   [](const fs::path& f) { spill(f / "a.pdf", "earlier"), spill(f / "b.dxf", "earlier"); },
                   {"a.pdf", "b.dxf"},
                   "",
                   {"a.pdf: new 0", "b.dxf: new 1", "model.anl: the model"}},
        TargetCase{"LinkToTheModel",
                   [](const fs::path& f) { fs::create_symlink("model.anl", f / "m.dxf"); },
                   {"m.dxf"},
                   "is the analysis file",
                   {},
                   true},
        TargetCase{"HardLinkToAnotherTarget",
                   [](const fs::path& f) {
                       spill(f / "a.pdf", "earlier");
                       fs::create_hard_link(f / "a.pdf", f / "b.pdf");
                   },
                   {"a.pdf", "b.pdf"},
                   "goes to this file already",
                   {},
                   true},
        TargetCase{"LinkIsFollowed",
                   [](const fs::path& f) {
                       fs::create_directory(f / "real");
                       spill(f / "real" / "a.pdf", "earlier");
                       fs::create_symlink("real/a.pdf", f / "a.pdf");
                   },
                   {"a.pdf"},
                   "",
                   {"a.pdf -> real/a.pdf", "model.anl: the model", "real", "real/a.pdf: new 0"},
                   true},
        TargetCase{"Device", {}, {"/dev/null"}, "not a regular file", {}, true},
        TargetCase{"DeviceFolder", {}, {"/dev/null.pdf"}, "holds the system's devices", {}, true},
        TargetCase{"ProcessFolder", {}, {"/proc/tierwise.pdf"}, "holds the system's devices", {}, true}),
    [](const auto& testCase) { return testCase.param.name; });

#ifndef _WIN32
// An earlier file keeps its permissions (a private drawing stays private) and its links.
TEST_F(OutputSetFolder, EarlierFileKeepsItsPermissions) {
    spill(folder_ / "a.pdf", "earlier");
    fs::permissions(folder_ / "a.pdf", kPrivate);
    {
        OutputSet outputs;
        const size_t k = outputs.add(folder_ / "a.pdf", "drawing");
        outputs.write(k, [](std::ostream& out) { out << "new"; });
        outputs.commit();
    }
    EXPECT_EQ(fs::status(folder_ / "a.pdf").permissions(), kPrivate);
    EXPECT_EQ(state(), (std::vector<std::string>{"a.pdf: new"}));
}
#endif

// A file that cannot be put in place (a folder appeared at its name while the files were
// written): the files already in place go back to what they were, and the message says so.
TEST_F(OutputSetFolder, FailedRenamePutsTheEarlierFilesBack) {
    spill(folder_ / "a.xlsx", "earlier workbook");
    std::optional<OutputSet> set(std::in_place);
    OutputSet& outputs = *set;
    const std::vector<size_t> k = {outputs.add(folder_ / "a.xlsx", "workbook"),
                                   outputs.add(folder_ / "b.pdf", "drawing"),
                                   outputs.add(folder_ / "c.dxf", "drawing")};
    for (const size_t output : k) outputs.write(output, [&](std::ostream& out) { out << "new " << output; });
    fs::create_directories(folder_ / "c.dxf" / "inside");
    const std::string message = rejection([&] { outputs.commit(); });
    set.reset();
    EXPECT_EQ(message.find("Cannot write " + (folder_ / "c.dxf").string() + ": "), 0u) << message;
    EXPECT_NE(message.find("the files already replaced were put back"), std::string::npos) << message;
    EXPECT_EQ(state(), (std::vector<std::string>{"a.xlsx: earlier workbook", "c.dxf", "c.dxf/inside"}));
}

// --- interrupts: a signal at any moment before the files are in place changes nothing ----------------

#ifndef _WIN32
enum class Phase { WorkbookStarted, InsideTheWorkbook, InsideADrawing, BetweenDrawings, BeforeCommit, AfterCommit };

struct SignalCase {
    std::string name;
    int signal;
    Phase phase;
};

class OutputSignalTest : public OutputSetFolder, public ::testing::WithParamInterface<SignalCase> {};

// The run: a workbook and two drawings, the signal raised at the case's phase. Until the set
// ends it is held, so the process goes on to the set's end and the state of the files shows
// where it stopped.
void runUntilSignal(const fs::path& folder, const SignalCase& c) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT would dump one
    const auto at = [&](Phase phase) {
        if (phase == c.phase) std::raise(c.signal);
    };
    OutputSet outputs;
    const size_t book = outputs.add(folder / "s.xlsx", "workbook");
    const size_t pdf = outputs.add(folder / "s.pdf", "drawing");
    const size_t dxf = outputs.add(folder / "s.dxf", "drawing");
    {
        XlsxWorkbook workbook(outputs, book);
        at(Phase::WorkbookStarted);
        for (int row = 1; row <= 20000; ++row) {
            if (row == 100) at(Phase::InsideTheWorkbook);
            workbook.setCell(1, row, 1, row);
        }
        workbook.commit();
    }
    outputs.write(pdf, [&](std::ostream& out) {
        for (int block = 0; block < 64; ++block) {
            if (block == 1) at(Phase::InsideADrawing);
            out << std::string(1 << 16, 'p');
        }
    });
    at(Phase::BetweenDrawings);
    writeDrawingOutput(Drawing{}, outputs, dxf);
    at(Phase::BeforeCommit);
    outputs.commit();
    at(Phase::AfterCommit);
}

TEST_P(OutputSignalTest, EarlierFilesStayUntilAllArePlaced) {
    const SignalCase& c = GetParam();
    for (const char* name : {"s.xlsx", "s.pdf", "s.dxf"}) spill(folder_ / name, "earlier");
    const std::vector<std::string> earlier = state();
    EXPECT_EXIT(
        {
            try {
                runUntilSignal(folder_, c);
            } catch (const Rejection&) {
            }
            std::exit(0);
        },
        ::testing::KilledBySignal(c.signal), "");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"s.dxf", "s.pdf", "s.xlsx"})) << "nothing left behind";
    if (c.phase == Phase::AfterCommit) {
        for (const char* name : {"s.xlsx", "s.pdf", "s.dxf"}) EXPECT_NE(readText(folder_ / name), "earlier") << name;
    } else {
        EXPECT_EQ(state(), earlier) << "no file was replaced";
    }
}

std::vector<SignalCase> signalCases() {
    const std::pair<const char*, int> signals[] = {
        {"Int", SIGINT}, {"Term", SIGTERM}, {"Hup", SIGHUP}, {"Quit", SIGQUIT}};
    const std::pair<const char*, Phase> phases[] = {
        {"WorkbookStarted", Phase::WorkbookStarted}, {"InsideTheWorkbook", Phase::InsideTheWorkbook},
        {"InsideADrawing", Phase::InsideADrawing},   {"BetweenDrawings", Phase::BetweenDrawings},
        {"BeforeCommit", Phase::BeforeCommit},       {"AfterCommit", Phase::AfterCommit}};
    std::vector<SignalCase> cases;
    for (const auto& [signalName, signal] : signals) {
        for (const auto& [phaseName, phase] : phases)
            cases.push_back({std::string(signalName) + phaseName, signal, phase});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputSignalTest, ::testing::ValuesIn(signalCases()),
                         [](const auto& testCase) { return testCase.param.name; });

// --- a full disk: a small tmpfs (where this process may mount one) ------------------------------------

struct FullDiskCase {
    std::string name;
    std::function<void(OutputSet&, size_t)> write;
    std::string target;
};

// Lines enough for a drawing of several hundred kilobytes in every format.
Drawing largeDrawing() {
    Sheet sheet;
    sheet.width = 420;
    sheet.height = 297;
    for (int i = 0; i < 20000; ++i) {
        sheet.lines.push_back({{i * 0.01, 0}, {i * 0.01, 100}, Layer::Grid});
        sheet.texts.push_back({{i * 0.01, 50},
                               std::string("C").append(std::to_string(i)),
                               2.5,
                               HAlign::Left,
                               VAlign::Bottom,
                               false,
                               Layer::Text});
    }
    return Drawing{{sheet}};
}

class FullDiskTest : public OutputSetFolder, public ::testing::WithParamInterface<FullDiskCase> {
protected:
    void SetUp() override {
        OutputSetFolder::SetUp();
        if (::mount("tierwise", folder_.c_str(), "tmpfs", 0, "size=128k") != 0) {
            GTEST_SKIP() << "no tmpfs can be mounted here (needs CAP_SYS_ADMIN)";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
        OutputSetFolder::TearDown();
    }
    bool mounted_ = false;
};

TEST_P(FullDiskTest, SaysTheDiskIsFullAndKeepsTheEarlierFile) {
    const FullDiskCase& c = GetParam();
    spill(folder_ / c.target, "earlier");
    const std::string message = rejection([&] {
        OutputSet outputs;
        c.write(outputs, outputs.add(folder_ / c.target, "output"));
    });
    EXPECT_EQ(message, "Cannot write " + (folder_ / c.target).string() + ": the disk is full");
    EXPECT_EQ(state(), std::vector<std::string>{c.target + ": earlier"});
}

std::vector<FullDiskCase> fullDiskCases() {
    std::vector<FullDiskCase> cases{
        {"Dxf", [](OutputSet& outputs, size_t k) { writeDrawingOutput(largeDrawing(), outputs, k); }, "s.dxf"}};
    if (drawsPdfAndSvg()) {
        for (const char* format : {"pdf", "svg"}) {
            cases.push_back({format == std::string("pdf") ? "Pdf" : "Svg",
                             [](OutputSet& outputs, size_t k) { writeDrawingOutput(largeDrawing(), outputs, k); },
                             std::string("s.") + format});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Outputs, FullDiskTest, ::testing::ValuesIn(fullDiskCases()),
                         [](const auto& testCase) { return testCase.param.name; });
#endif

}  // namespace
}  // namespace tierwise
