// Throughput of the analysis file reader on large generated files, next to the floor of reading
// every byte once and counting lines (what `wc -l` does); and buildPlanGrid and writeAreaSheets on the
// largest tower model, with the cube's growth against the model's size.
//
// Files: TIERWISE_BENCH_FILES (colon-separated paths), else every *.anl in TIERWISE_BENCH_DIR
// (default /tmp/tierwise-bench); bench/run_bench.sh generates them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "grid/grid.h"
#include "model/model.h"
#include "platform/anl_file.h"
#include "platform/xlsx_workbook.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "report/schedule.h"
#include "support/memory_workbook.h"
#include "tower_anl.h"

namespace fs = std::filesystem;
using namespace tierwise;

namespace {

std::vector<fs::path> benchFiles() {
    std::vector<fs::path> files;
    if (const char* list = std::getenv("TIERWISE_BENCH_FILES"); list && *list) {
        std::string all = list;
        for (size_t at = 0; at <= all.size();) {
            const size_t colon = std::min(all.find(':', at), all.size());
            if (colon > at) files.emplace_back(all.substr(at, colon - at));
            at = colon + 1;
        }
        return files;
    }
    const char* dir = std::getenv("TIERWISE_BENCH_DIR");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir ? dir : "/tmp/tierwise-bench", ec)) {
        if (entry.path().extension() == ".anl") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return fs::file_size(a) < fs::file_size(b); });
    return files;
}

// Reads the file in 1 MiB blocks and counts LF: the floor every reader of the file pays.
void countLines(benchmark::State& state, const fs::path& path) {
    std::vector<char> block(size_t{1} << 20);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            state.SkipWithError("cannot open the file");
            return;
        }
        std::setvbuf(file, nullptr, _IONBF, 0);
        size_t lines = 0;
        for (size_t n; (n = std::fread(block.data(), 1, block.size(), file)) > 0;) {
            for (const char* p = block.data();
                 (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(block.data() + n - p)))) !=
                 nullptr;
                 ++p)
                ++lines;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
}

// The whole reader, with the blocks read in turn or by the read-ahead thread.
void readFile(benchmark::State& state, const fs::path& path, ReadAhead readAhead) {
    int64_t columns = 0;
    for (auto _ : state) {
        Model model = readAnlFile(path, readAhead);
        columns = model.designBlockCount();
        benchmark::DoNotOptimize(model);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(path)));
    state.counters["columns"] = static_cast<double>(columns);
}

// A tower model without analysis results, read from its text in memory.
Model towerModel(int grid, int storeys) {
    char* text = nullptr;
    size_t size = 0;
    std::FILE* memory = open_memstream(&text, &size);
    bench::TowerOptions options;
    options.grid = grid;
    options.storeys = storeys;
    bench::writeTower(options, memory);
    std::fclose(memory);
    MemorySource source({text, size});
    LineSource lines(source);
    Model model = readAnl(lines, "tower.anl");
    std::free(text);
    return model;
}

// buildPlanGrid over towers of 60 storeys on growing grids: N is the number of joints.
void BM_MakeCube(benchmark::State& state) {
    const Model read = towerModel(static_cast<int>(state.range(0)), 60);
    for (auto _ : state) {
        state.PauseTiming();
        Model model = read;
        state.ResumeTiming();
        buildPlanGrid(model);
        benchmark::DoNotOptimize(model.planLines.data());
    }
    state.SetComplexityN(read.jointCount());
    state.counters["joints"] = static_cast<double>(read.jointCount());
}
BENCHMARK(BM_MakeCube)->Arg(10)->Arg(20)->Arg(28)->Arg(40)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The largest tower, 40 x 40 grid and 60 storeys, through buildPlanGrid.
const Model& largestTower() {
    static const Model model = [] {
        Model m = towerModel(40, 60);
        buildPlanGrid(m);
        return m;
    }();
    return model;
}

// The schedule of the largest tower (40 x 40 grid, 60 storeys) into a workbook in memory; the
// second argument ticks every level (1) or every fifth (0).
void BM_WriteReport(benchmark::State& state) {
    const Model& model = largestTower();
    LevelTicks ticks(static_cast<size_t>(model.levelCount()), true);
    if (state.range(0) == 0) {
        for (size_t i = 0; i < ticks.size(); ++i) ticks[i] = i % 5 == 0;
    }
    size_t cells = 0;
    for (auto _ : state) {
        MemoryWorkbook book;
        writeWorkbook(groupColumnLines(model), ticks, book);
        cells = book.cellCount();
        benchmark::DoNotOptimize(cells);
    }
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["cells_per_s"] =
        benchmark::Counter(static_cast<double>(cells * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteReport)->ArgName("all_ticked")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same schedule as an .xlsx file, every level ticked: what tierwise-batch adds after reading.
void BM_WriteXlsx(benchmark::State& state) {
    const Model& model = largestTower();
    const LevelTicks ticks(static_cast<size_t>(model.levelCount()), true);
    MemoryWorkbook counted;
    writeWorkbook(groupColumnLines(model), ticks, counted);
    const fs::path target = fs::temp_directory_path() / ("tierwise-bench-" + std::to_string(getpid()) + ".xlsx");
    for (auto _ : state) {
        XlsxWorkbook book(target);
        writeWorkbook(groupColumnLines(model), ticks, book);
        book.commit();
    }
    state.counters["bytes_written"] = static_cast<double>(fs::file_size(target));
    fs::remove(target);
    state.counters["cells"] = static_cast<double>(counted.cellCount());
    state.counters["cells_per_s"] =
        benchmark::Counter(static_cast<double>(counted.cellCount() * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    for (const fs::path& path : benchFiles()) {
        const std::string name = path.filename().string();
        benchmark::RegisterBenchmark(("BM_CountLines/" + name).c_str(), countLines, path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_ReadAnl/" + name).c_str(), readFile, path, ReadAhead::off)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_ReadAnlReadAhead/" + name).c_str(), readFile, path, ReadAhead::thread)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
