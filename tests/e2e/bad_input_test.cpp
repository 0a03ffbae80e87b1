// tierwise-batch on bad input, as a user runs it: every case ends with a message saying what is
// wrong (naming the file), a non-zero exit, nothing already on disk changed (the model, a workbook
// left by an earlier run, a folder in the way) and no temporary file left behind.
#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <string>
#include <vector>

#include "report/workbook.h"
#include "support/files.h"
#include "support/case_name.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

using tierwise::support::PrintTo;

using tierwise::support::readText;
std::string slurp(const fs::path& path) { return readText(path); }

void spill(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

const std::string& sample() {
    static const std::string text = slurp(TIERWISE_SAMPLES_DIR "/office-block.anl");
    return text;
}

// The sample with the first occurrence of `from` replaced by `to`.
std::string sampleWith(const std::string& from, const std::string& to) {
    std::string text = sample();
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The sample with every occurrence of `from` replaced by `to`.
std::string sampleWithAll(const std::string& from, const std::string& to) {
    std::string text = sample();
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The sample cut off right after the line holding `last`.
std::string sampleUpTo(const std::string& last) {
    const size_t at = sample().find(last);
    EXPECT_NE(at, std::string::npos) << last;
    return sample().substr(0, sample().find('\n', at) + 1);
}

// The sample cut off just before `text`.
std::string sampleBefore(const std::string& text) {
    const size_t at = sample().rfind(text);
    EXPECT_NE(at, std::string::npos) << text;
    return sample().substr(0, at);
}

std::string binary(size_t size, bool lineEnds) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
        if (!lineEnds && (b == '\n' || b == '\r')) b = '\x7f';
    }
    return bytes;
}

// Where the workbook is to go.
enum class Target {
    Workbook,        // out/schedule.xlsx, where an earlier workbook already stands
    MissingFolder,   // out/missing/schedule.xlsx
    UnderAFile,      // model.anl/schedule.xlsx
    ReadOnlyFolder,  // locked/schedule.xlsx, the folder without write permission
    Folder,          // out/existing, a folder with a file in it
    SystemFolder,    // /proc/schedule.xlsx, where nobody creates files
    TheModel,        // out/../model.anl: the analysis file itself, spelled otherwise
    Device,          // /dev/null
    LinkToDevice,    // out/full.xlsx, a symbolic link to /dev/full
};

// Which file the message names. The unit and failed-column messages are the fixed texts the
// window shows and name no file.
enum class Names { Model, Output, Neither };

struct Case {
    const char* name;
    std::string model;  // the analysis file's text
    Target target;
    std::vector<std::string> says;  // what the message must hold, besides the file's name
    Names names = Names::Model;
    int fileSizeLimit = 0;  // in 512-byte blocks (ulimit -f); 0 for none
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

struct BatchRun {
    int exitCode = -1;
    std::string out, err;
};

#ifdef _WIN32

std::wstring wide(const std::string& text) {
    std::wstring result(text.size(), L'\0');
    result.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                          result.data(), static_cast<int>(result.size()))));
    return result;
}

// One argument of a command line, quoted so that the program's CommandLineToArgvW gives it back.
std::wstring quoted(const std::wstring& argument) {
    std::wstring text = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L'"';
}

BatchRun runBatch(const fs::path& dir, const std::vector<std::string>& args, int /*fileSizeLimit: POSIX only*/ = 0) {
    std::wstring commandLine = quoted(fs::path(TIERWISE_BATCH).wstring());
    for (const std::string& argument : args) commandLine += L" " + quoted(wide(argument));
    const fs::path outFile = dir / "stdout.txt", errFile = dir / "stderr.txt";
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = CreateFileW(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileW(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    BatchRun run;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        run.exitCode = static_cast<int>(status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = slurp(outFile);
    run.err = slurp(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return run;
}

int processId() { return _getpid(); }

#else

BatchRun runBatch(const fs::path& dir, const std::vector<std::string>& args, int fileSizeLimit = 0) {
    std::vector<std::string> argv = {TIERWISE_BATCH};
    if (fileSizeLimit > 0) {
        argv = {"/bin/sh", "-c", "ulimit -f " + std::to_string(fileSizeLimit) + " && exec \"$0\" \"$@\"",
                TIERWISE_BATCH};
    }
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    const fs::path outFile = dir / "stdout.txt", errFile = dir / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    BatchRun run;
    if (posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = slurp(outFile);
    run.err = slurp(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return run;
}

int processId() { return getpid(); }

#endif

// Every file under `dir` with its size and a hash of its contents.
std::vector<std::string> snapshot(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string line = entry.path().lexically_relative(dir).string();
        if (entry.is_symlink()) {
            line += " -> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            const std::string bytes = slurp(entry.path());
            line +=
                " " + std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
        } else {
            line += " (folder)";
        }
        files.push_back(line);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A folder of its own per test: out/ with an earlier workbook and a folder in the way.
class RunFolder : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::path(testing::TempDir()) / ("tierwise-bad-input-" + std::to_string(processId()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out" / "existing");
        spill(dir_ / "out" / "existing" / "keep.txt", "a file in the way");
        spill(dir_ / "out" / "schedule.xlsx", "the workbook of an earlier run");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_ / "locked", fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

class BadInputTest : public RunFolder, public testing::WithParamInterface<Case> {};

TEST_P(BadInputTest, SaysWhatIsWrongAndDamagesNothing) {
    const Case& c = GetParam();
    fs::path model = dir_ / "model.anl";
    spill(model, c.model);
    fs::path target;
#ifdef _WIN32
    // Devices, links to them and file-size limits are POSIX's; Windows has none of them so.
    if (c.target == Target::Device || c.target == Target::LinkToDevice || c.fileSizeLimit > 0) {
        GTEST_SKIP() << "no POSIX devices or file-size limits on Windows";
    }
#endif
    switch (c.target) {
        case Target::Workbook:
            target = dir_ / "out" / "schedule.xlsx";
            break;
        case Target::MissingFolder:
            target = dir_ / "out" / "missing" / "schedule.xlsx";
            break;
        case Target::UnderAFile:
            target = model / "schedule.xlsx";
            break;
        case Target::Folder:
            target = dir_ / "out" / "existing";
            break;
        case Target::SystemFolder:
            target = "/proc/tierwise-schedule.xlsx";
            break;
        case Target::TheModel:
            target = dir_ / "out" / ".." / "model.anl";
            break;
        case Target::Device:
            target = "/dev/null";
            break;
        case Target::LinkToDevice:
            target = dir_ / "out" / "full.xlsx";
            fs::create_symlink("/dev/full", target);
            break;
        case Target::ReadOnlyFolder:
#ifdef _WIN32
            GTEST_SKIP() << "a folder's permission bits do not stop files being created in it on Windows";
#else
            if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
#endif
            fs::create_directories(dir_ / "locked");
            fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
            target = dir_ / "locked" / "schedule.xlsx";
            break;
    }
    const std::string earlierWorkbook = slurp(dir_ / "out" / "schedule.xlsx");
    spill(dir_ / "out" / "schedule.xlsx", "");  // kept out of the snapshot, checked below
    auto before = snapshot(dir_);
    spill(dir_ / "out" / "schedule.xlsx", earlierWorkbook);

    const BatchRun run = runBatch(dir_, {model.string(), "-o", target.string()}, c.fileSizeLimit);

    EXPECT_EQ(run.exitCode, 1) << run.err;
    if (c.names != Names::Neither) {
        const std::string named = c.names == Names::Output ? target.string() : model.string();
        EXPECT_NE(run.err.find(named), std::string::npos) << "the message names " << named << ":\n" << run.err;
    }
    for (const std::string& fragment : c.says)
        EXPECT_NE(run.err.find(fragment), std::string::npos) << fragment << " in:\n" << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line of message:\n" << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(slurp(dir_ / "out" / "schedule.xlsx"), earlierWorkbook) << "the earlier workbook is untouched";
    spill(dir_ / "out" / "schedule.xlsx", "");
    EXPECT_EQ(snapshot(dir_), before) << "files on disk changed or were left behind";
    EXPECT_EQ(slurp(model), c.model) << "the model is untouched";
#ifndef _WIN32
    EXPECT_TRUE(fs::is_character_file("/dev/null") && fs::is_character_file("/dev/full")) << "the devices stay";
#endif
}

// A frame whose joints all stand at one level.
std::string oneLevelFrame() {
    const char* lines[] = {"     1. UNIT METER KN",
                           "     2. JOINT COORDINATES",
                           "     3. 1 0 0 0; 2 6 0 0",
                           "     4. MEMBER INCIDENCES",
                           "     5. 1 1 2",
                           "     6. FINISH",
                           "                 C O L U M N   N O.       1  D E S I G N   R E S U L T S",
                           "     LENGTH:  6000.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm",
                           "     REQD. STEEL AREA   :    1080.00 Sq.mm.",
                           "         *********** END OF THE STAAD.Pro RUN ***********"};
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    testing::Values(
        Case{"EmptyFile", "", Target::Workbook, {"UNIT"}},
        Case{"BinaryData", binary(64 * 1024, true), Target::Workbook, {"UNIT"}},
        Case{"BinaryWithoutLineEnds", binary(3 << 20, false), Target::Workbook, {"longer"}},
        Case{"NoUnit", sampleWithAll("UNIT", "UNTI"), Target::Workbook, {"\"UNIT\""}},
        Case{"UnknownUnit",
             sampleWith("UNIT METER KN", "UNIT FEET KIP"),
             Target::Workbook,
             {": Change the units to Meter Or mm "}},
        Case{"NoJointCoordinates", sampleWith("JOINT COORDINATES", "JOINTS"), Target::Workbook, {"JOINT COORDINATES"}},
        Case{"NoMemberIncidences", sampleWith("MEMBER INCIDENCES", "MEMBERS"), Target::Workbook, {"MEMBER INCIDENCES"}},
        Case{"EndsInsideTheJoints", sampleUpTo("13. 107 0 4 10"), Target::Workbook, {"MEMBER INCIDENCES"}},
        Case{"EndsInsideTheMembers",
             sampleUpTo("30. 25 307 207"),
             Target::Workbook,
             {"ends inside the member incidences at line 42", "cut off"}},
        Case{"EndsInsideABetaList",
             sampleUpTo("BETA 90 MEMB 4 TO 6 13 TO 15 -"),
             Target::Workbook,
             {"ends inside the \"BETA 90 MEMB\" list", "cut off"}},
        Case{"ColumnBlockCutOff",
             sampleBefore("     REQD. STEEL AREA   :    1200.50"),
             Target::Workbook,
             {"inside the design block of column 34, without the end of the analysis run", "--allow-incomplete"}},
        Case{"CutInTheResults", sampleBefore("C O L U M N   N O.      12"), Target::Workbook, {"looks cut off"}},
        Case{"FailedColumn",
             sampleWith("    1200.50 Sq.mm.", "       0.00 Sq.mm."),
             Target::Workbook,
             {":  Failed Columns  24"}},
        Case{"WordInTheJoints",
             sampleWith("11. 101 0 4 0", "11. 101 0 NaN 0"),
             Target::Workbook,
             {"line 21: \"NaN\" is not a number"}},
        Case{"JointNumberBeyond32Bits",
             sampleWith("11. 101 0 4 0", "11. 99999999999 0 4 0"),
             Target::Workbook,
             {"32-bit"}},
        Case{"MemberNumberBeyond32Bits",
             sampleWith("24. 1 1 101", "24. 3000000000 1 101"),
             Target::Workbook,
             {"32-bit"}},
        Case{"CoordinateBeyond32Bits", sampleWith("8. 1 0 0 0", "8. 1 0 0 30000000"), Target::Workbook, {"32-bit"}},
        Case{"OneLevelOnly", oneLevelFrame(), Target::Workbook, {"level"}},
        Case{"CircularSectionOfDiameterZero",
             sampleWith("450.0 mm dia.", "  0.4 mm dia."),
             Target::Workbook,
             {"diameter"}},
        Case{"OutputInMissingFolder", sample(), Target::MissingFolder, {}, Names::Output},
        Case{"OutputUnderAFile", sample(), Target::UnderAFile, {}, Names::Output},
        Case{"OutputInReadOnlyFolder", sample(), Target::ReadOnlyFolder, {}, Names::Output},
        Case{"OutputInSystemFolder", sample(), Target::SystemFolder, {}, Names::Output},
        Case{"OutputIsAFolder", sample(), Target::Folder, {"directory"}, Names::Output},
        Case{"OutputIsTheModel", sample(), Target::TheModel, {"is the analysis file"}, Names::Output},
        Case{"OutputIsADevice", sample(), Target::Device, {"not a regular file"}, Names::Output},
        Case{"OutputIsALinkToADevice", sample(), Target::LinkToDevice, {"not a regular file"}, Names::Output},
        // A file-size limit makes writes fail as a full disk does: the library's own parts first.
        Case{"WriteFailsEarly", sample(), Target::Workbook, {"largest file this process may write"}, Names::Output, 4},
        Case{
            "WriteFailsLater", sample(), Target::Workbook, {"largest file this process may write"}, Names::Output, 12}),
    [](const testing::TestParamInfo<Case>& testCase) { return std::string(testCase.param.name); });

// A run with a workbook and drawings whose targets cannot all be written: refused with the model
// and every earlier file as they were, nothing left behind, whichever target is wrong.
struct OutputsCase {
    const char* name;
    std::vector<std::string> outputs;  // the arguments after the model; "@x" is out/x
    std::string says;
    bool smallDisk = false;  // out/ is a tmpfs too small for the drawings
};

class RunOutputsTest : public RunFolder, public testing::WithParamInterface<OutputsCase> {
protected:
    void SetUp() override {
        RunFolder::SetUp();
#ifdef _WIN32
        GTEST_SKIP() << "links, pipes, devices and tmpfs as POSIX has them";
#else
        if (GetParam().smallDisk) {
            fs::remove_all(dir_ / "out");
            fs::create_directories(dir_ / "out");
            if (::mount("tierwise", (dir_ / "out").c_str(), "tmpfs", 0, "size=96k") != 0) {
                GTEST_SKIP() << "no tmpfs can be mounted here (needs CAP_SYS_ADMIN)";
            }
            mounted_ = true;
        }
        for (const char* name : {"keep.xlsx", "keep.pdf", "keep.svg", "keep.dxf"})
            spill(dir_ / "out" / name, std::string("the earlier ") + name);
        fs::create_symlink("keep.dxf", dir_ / "out" / "alias.dxf");
        fs::create_symlink("../model.anl", dir_ / "out" / "model.dxf");
        ::mkfifo((dir_ / "out" / "pipe.pdf").c_str(), 0600);
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        if (mounted_) ::umount2((dir_ / "out").c_str(), MNT_DETACH);
#endif
        RunFolder::TearDown();
    }
    bool mounted_ = false;
};

TEST_P(RunOutputsTest, EveryEarlierFileStays) {
    const OutputsCase& c = GetParam();
    const fs::path model = dir_ / "model.anl";
    spill(model, sample());
    std::vector<std::string> args = {model.string()};
    for (const std::string& argument : c.outputs)
        args.push_back(argument.starts_with("@") ? (dir_ / "out" / argument.substr(1)).string() : argument);
    const auto before = snapshot(dir_);

    const BatchRun run = runBatch(dir_, args);

    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err.find("Cannot write "), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line of message:\n" << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshot(dir_), before) << "files on disk changed or were left behind";
    EXPECT_FALSE(fs::exists("/dev/tierwise-null.pdf")) << "a file was made among the devices";
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, RunOutputsTest,
    testing::Values(
        OutputsCase{"WorkbookAndDrawingOneFile", {"-o", "@same.pdf", "--drawing", "@same.pdf"}, "goes to this file"},
        OutputsCase{"DrawingThroughALinkToAnother",
                    {"-o", "@keep.xlsx", "--drawing", "@keep.dxf", "--drawing", "@alias.dxf"},
                    "goes to this file"},
        OutputsCase{"DrawingIsTheModel", {"-o", "@keep.xlsx", "--drawing", "@model.dxf"}, "is the analysis file"},
        OutputsCase{"DrawingInMissingFolder", {"-o", "@keep.xlsx", "--drawing", "@missing/x.pdf"}, "No such file"},
        OutputsCase{
            "SecondOfThreeDrawingsBad",
            {"-o", "@keep.xlsx", "--drawing", "@keep.pdf", "--drawing", "@missing/x.svg", "--drawing", "@keep.dxf"},
            "No such file"},
        OutputsCase{"DrawingIsAPipe", {"-o", "@keep.xlsx", "--drawing", "@pipe.pdf"}, "not a regular file"},
        OutputsCase{"DrawingAmongTheDevices",
                    {"-o", "@keep.xlsx", "--drawing", "/dev/tierwise-null.pdf"},
                    "holds the system's devices"},
        OutputsCase{"DiskFillsWithTheDrawings",
                    {"-o", "@keep.xlsx", "--drawing", "@keep.pdf", "--drawing", "@keep.svg", "--drawing", "@keep.dxf"},
                    "the disk is full",
                    true}),
    [](const testing::TestParamInfo<OutputsCase>& testCase) { return std::string(testCase.param.name); });

#ifdef _WIN32
// Windows' own ways a file refuses to be replaced: read-only, or held open by a program that
// locks it, as Excel holds an open workbook. Said before anything is written.
struct HeldCase {
    const char* name;
    bool readOnly;  // else held open without sharing
    std::string says;
};

class HeldTargetTest : public RunFolder, public testing::WithParamInterface<HeldCase> {};

TEST_P(HeldTargetTest, SaysWhyAndKeepsTheFile) {
    const HeldCase& c = GetParam();
    const fs::path model = dir_ / "model.anl";
    spill(model, sample());
    const fs::path workbook = dir_ / "out" / "schedule.xlsx";
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.readOnly) {
        SetFileAttributesW(workbook.c_str(), FILE_ATTRIBUTE_READONLY);
    } else {
        held = CreateFileW(workbook.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    const BatchRun run =
        runBatch(dir_, {model.string(), "-o", workbook.string(), "--drawing", (dir_ / "out" / "s.dxf").string()});
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    SetFileAttributesW(workbook.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err.find("Cannot write " + workbook.string() + ": "), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(slurp(workbook), "the workbook of an earlier run");
    EXPECT_FALSE(fs::exists(dir_ / "out" / "s.dxf")) << "a drawing was written";
}

INSTANTIATE_TEST_SUITE_P(Outputs, HeldTargetTest,
                         testing::Values(HeldCase{"ReadOnly", true, "read-only"},
                                         HeldCase{"OpenAndLocked", false, "locked"}),
                         [](const testing::TestParamInfo<HeldCase>& testCase) {
                             return std::string(testCase.param.name);
                         });
#endif

#ifndef _WIN32  // file-size limits (ulimit -f) are POSIX's
// A frame of `grid` x `grid` column lines and `storeys` storeys, complete with its design blocks:
// its worksheets are several times larger than the finished (compressed) workbook.
std::string towerFrame(int grid, int storeys) {
    std::string text = "     1. UNIT METER KN\n     2. JOINT COORDINATES\n";
    auto joint = [&](int level, int x, int z) { return level * 10000 + x * 100 + z + 1; };
    for (int level = 0; level <= storeys; ++level) {
        for (int x = 0; x < grid; ++x) {
            for (int z = 0; z < grid; ++z) {
                text += "     3. " + std::to_string(joint(level, x, z)) + " " + std::to_string(6 * x) + " " +
                        std::to_string(3 * level) + " " + std::to_string(5 * z) + "\n";
            }
        }
    }
    text += "     4. MEMBER INCIDENCES\n";
    std::string blocks;
    int member = 0;
    for (int level = 0; level < storeys; ++level) {
        for (int x = 0; x < grid; ++x) {
            for (int z = 0; z < grid; ++z) {
                ++member;
                text += "     5. " + std::to_string(member) + " " + std::to_string(joint(level, x, z)) + " " +
                        std::to_string(joint(level + 1, x, z)) + "\n";
                blocks +=
                    "                 C O L U M N   N O. " + std::to_string(member) +
                    "  D E S I G N   R E S U L T S\n     LENGTH:  3000.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm"
                    "  COVER: 40.0 mm\n     REQD. STEEL AREA   :    " +
                    std::to_string(1000 + member % 997) + ".25 Sq.mm.\n";
            }
        }
    }
    return text + "     6. FINISH\n" + blocks + "         *********** END OF THE STAAD.Pro RUN ***********\n";
}

// The worksheets' checksums and sizes as a workbook's zip directory lists them, by part name.
std::map<std::string, std::string> worksheetChecksums(const std::string& zip) {
    std::map<std::string, std::string> sums;
    for (size_t at = zip.find("PK\1\2"); at != std::string::npos; at = zip.find("PK\1\2", at + 4)) {
        if (at + 46 > zip.size()) break;
        const auto u16 = [&](size_t i) {
            return static_cast<size_t>(static_cast<unsigned char>(zip[i])) |
                   static_cast<size_t>(static_cast<unsigned char>(zip[i + 1])) << 8;
        };
        const std::string name = zip.substr(at + 46, u16(at + 28));
        if (name.find("worksheets/") != std::string::npos) sums[name] = zip.substr(at + 16, 4) + zip.substr(at + 24, 4);
    }
    return sums;
}

// Under every file-size limit (as on a disk that fills up part way), the run writes the whole
// workbook or says so and changes nothing: never a shorter workbook and a success.
TEST(WriteLimit, WholeWorkbookOrCleanRefusal) {
    const fs::path dir = fs::path(testing::TempDir()) / ("tierwise-write-limit-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path model = dir / "tower.anl";
    spill(model, towerFrame(10, 6));
    const fs::path whole = dir / "whole.xlsx";
    ASSERT_EQ(runBatch(dir, {model.string(), "-o", whole.string()}).exitCode, 0);
    const auto wholeSize = fs::file_size(whole);
    const auto wholeSheets = worksheetChecksums(slurp(whole));
    ASSERT_EQ(wholeSheets.size(), static_cast<size_t>(tierwise::kSheetCount));
    const fs::path target = dir / "schedule.xlsx";
    int refused = 0, written = 0;
    for (int blocks = 2; blocks * 512 < static_cast<int>(wholeSize) * 6; blocks += 11) {
        SCOPED_TRACE(std::to_string(blocks) + " blocks of 512 bytes");
        spill(target, "the workbook of an earlier run");
        const BatchRun run = runBatch(dir, {model.string(), "-o", target.string()}, blocks);
        if (run.exitCode == 0) {
            ++written;
            EXPECT_EQ(worksheetChecksums(slurp(target)), wholeSheets) << "a success writes the whole workbook";
        } else {
            ++refused;
            EXPECT_EQ(run.exitCode, 1) << run.err;
            EXPECT_EQ(run.err.find("Cannot write " + target.string() + ": "), 0u) << run.err;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line:\n" << run.err;
            EXPECT_EQ(slurp(target), "the workbook of an earlier run");
        }
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
        EXPECT_EQ(left.size(), 3u) << "a temporary file was left";
    }
    EXPECT_GT(refused, 3);
    EXPECT_GT(written, 0);
    fs::remove_all(dir);
}
#endif

}  // namespace
