// buildPlanGrid and writeAreaSheets on a generated tower: storeys by plan lines in each direction.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "grid/grid.h"
#include "model/model.h"
#include "platform/xlsx_workbook.h"
#include "report/schedule.h"

namespace {

using namespace tierwise;

// Counts cells instead of keeping them: the cost of the schedule itself.
class CountingWorkbook final : public Workbook {
public:
    void setCell(int, int row, int column, const CellValue& value) override {
        ++cells_;
        checksum_ += row + column + static_cast<int64_t>(value.index());
    }
    [[nodiscard]] int64_t cells() const { return cells_; }
    [[nodiscard]] int64_t checksum() const { return checksum_; }

private:
    int64_t cells_ = 0;
    int64_t checksum_ = 0;
};

// A frame of `storeys` storeys of 3.5 m on a `lines` by `lines` grid at 6 m, joints numbered
// floor-wise, columns then beams in both directions, one design block per column.
Model tower(int32_t storeys, int32_t lines) {
    Model model;
    auto jointNo = [&](int32_t level, int32_t ix, int32_t iz) { return level * 10000 + iz * lines + ix + 1; };
    for (int32_t level = 0; level <= storeys; ++level) {
        for (int32_t iz = 0; iz < lines; ++iz) {
            for (int32_t ix = 0; ix < lines; ++ix) {
                model.joints.push_back({jointNo(level, ix, iz), ix * 600 - 1200, level * 350 - 700, iz * 600});
            }
        }
    }
    int32_t member = 0;
    for (int32_t level = 1; level <= storeys; ++level) {
        for (int32_t iz = 0; iz < lines; ++iz) {
            for (int32_t ix = 0; ix < lines; ++ix) {
                ++member;
                model.members.push_back({member, jointNo(level - 1, ix, iz), jointNo(level, ix, iz)});
                const bool round = (ix + iz) % 7 == 0;
                const float width = (ix % 3 == 0) ? 450.0f : 300.0f;
                const float depth = round ? 0.0f : (iz % 2 == 0 ? 600.0f : 450.0f);
                const float area = 900.0f + static_cast<float>((ix * 31 + iz * 17 + level * 7) % 200) * 12.5f;
                model.designBlocks.push_back({static_cast<float>(member), 3500, width, depth, area});
            }
        }
    }
    for (int32_t level = 1; level <= storeys; ++level) {
        for (int32_t iz = 0; iz < lines; ++iz) {
            for (int32_t ix = 0; ix + 1 < lines; ++ix) {
                model.members.push_back({++member, jointNo(level, ix, iz), jointNo(level, ix + 1, iz)});
                model.members.push_back({++member, jointNo(level, iz, ix), jointNo(level, iz, ix + 1)});
            }
        }
    }
    return model;
}

void setCounters(benchmark::State& state, const Model& model) {
    state.counters["joints"] = static_cast<double>(model.jointCount());
    state.counters["members"] = static_cast<double>(model.memberCount());
    state.counters["columns"] = static_cast<double>(model.designBlockCount());
}

void BM_MakeCube(benchmark::State& state) {
    const Model read = tower(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        Model model = read;
        state.ResumeTiming();
        buildPlanGrid(model);
        benchmark::DoNotOptimize(model.planLines.data());
    }
    setCounters(state, read);
}

void BM_WriteReport(benchmark::State& state) {
    Model model = tower(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    buildPlanGrid(model);
    const LevelTicks ticks(model.gridY.size(), true);
    int64_t cells = 0;
    for (auto _ : state) {
        CountingWorkbook book;
        writeWorkbook(groupColumnLines(model), ticks, book);
        cells = book.cells();
        benchmark::DoNotOptimize(book.checksum());
    }
    setCounters(state, model);
    state.counters["cells"] = static_cast<double>(cells);
}

// The whole way to a file: the schedule into an .xlsx workbook on disk.
void BM_WriteReportXlsx(benchmark::State& state) {
    Model model = tower(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    buildPlanGrid(model);
    const LevelTicks ticks(model.gridY.size(), true);
    const std::filesystem::path target = std::filesystem::temp_directory_path() / "tierwise-bench-schedule.xlsx";
    for (auto _ : state) {
        XlsxWorkbook book(target);
        writeWorkbook(groupColumnLines(model), ticks, book);
        book.commit();
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(target));
    std::filesystem::remove(target);
}

BENCHMARK(BM_MakeCube)->Args({60, 40})->Args({120, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteReport)->Args({60, 40})->Args({120, 40})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteReportXlsx)->Args({60, 40})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
