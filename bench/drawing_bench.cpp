// The schedule drawing of the generated 60-storey tower on a 40 x 40 grid: building the sheets,
// and each file format in memory, next to writing the same schedule's workbook.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

#include "drawing/dxf_writer.h"
#include "drawing/schedule_drawing.h"
#include "grid/grid.h"
#include "platform/drawing_files.h"
#include "platform/xlsx_workbook.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "report/detailing.h"
#include "report/schedule.h"
#include "tower_anl.h"

namespace fs = std::filesystem;
using namespace tierwise;

namespace {

struct Tower {
    Model model;
    ColumnLines schedule;
};

const Tower& tower() {
    static Tower built = [] {
        char* text = nullptr;
        size_t size = 0;
        std::FILE* memory = open_memstream(&text, &size);
        bench::TowerOptions options;
        bench::writeTower(options, memory);
        std::fclose(memory);
        MemorySource source({text, size});
        LineSource lines(source);
        Tower t{readAnl(lines, "tower.anl"), {}};
        std::free(text);
        t.schedule = prepareColumnLines(t.model);
        return t;
    }();
    return built;
}

// Every level ticked (1: 60 storey ranges) or every fifth (0: 12 ranges).
LevelTicks ticksFor(const Model& model, bool everyLevel) {
    LevelTicks ticks(static_cast<size_t>(model.levelCount()), true);
    if (!everyLevel) {
        for (size_t i = 0; i < ticks.size(); ++i) ticks[i] = i % 5 == 0;
    }
    return ticks;
}

Drawing towerDrawing(bool everyLevel) {
    const Tower& t = tower();
    const ColumnDetailing detailed = detailColumns(t.schedule, ticksFor(t.model, everyLevel), DetailOptions{});
    return scheduleDrawing(detailed, t.model, t.schedule.lines, {"tower.anl", "2026-12-08", 40});
}

void sheetCounters(benchmark::State& state, const Drawing& drawing) {
    size_t entities = 0;
    for (const Sheet& sheet : drawing.sheets) {
        entities += sheet.lines.size() + sheet.polylines.size() + sheet.circles.size() + sheet.texts.size();
    }
    state.counters["entities"] = static_cast<double>(entities);
    state.counters["sheet1_w_mm"] = drawing.sheets.front().width;
    state.counters["sheet1_h_mm"] = drawing.sheets.front().height;
}

// Detailing and both sheets' geometry.
void BM_DetailAndDraw(benchmark::State& state) {
    const Tower& t = tower();
    const LevelTicks ticks = ticksFor(t.model, state.range(0) != 0);
    Drawing drawing;
    for (auto _ : state) {
        const ColumnDetailing detailed = detailColumns(t.schedule, ticks, DetailOptions{});
        drawing = scheduleDrawing(detailed, t.model, t.schedule.lines, {"tower.anl", "2026-12-08", 40});
        benchmark::DoNotOptimize(drawing.sheets.data());
    }
    sheetCounters(state, drawing);
}
BENCHMARK(BM_DetailAndDraw)->ArgName("all_ticked")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// Counts the bytes a writer produces instead of keeping them: the file's size without the disk.
class CountingBuffer final : public std::streambuf {
public:
    [[nodiscard]] std::streamsize bytes() const { return bytes_; }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) ++bytes_;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes_ += n;
        return n;
    }

private:
    std::streamsize bytes_ = 0;
};

template <void (*Write)(const Drawing&, std::ostream&)>
void BM_Render(benchmark::State& state) {
    const Drawing drawing = towerDrawing(state.range(0) != 0);
    std::streamsize bytes = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        Write(drawing, out);
        bytes = buffer.bytes();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["sheets"] = static_cast<double>(drawing.sheets.size());
}
BENCHMARK(BM_Render<writeDxf>)
    ->Name("BM_Dxf")
    ->ArgName("all_ticked")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Render<writePdf>)
    ->Name("BM_Pdf")
    ->ArgName("all_ticked")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Render<writeSvg>)
    ->Name("BM_Svg")
    ->ArgName("all_ticked")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the drawing is measured against: the same schedule as an .xlsx workbook on disk.
void BM_Workbook(benchmark::State& state) {
    const Tower& t = tower();
    const LevelTicks ticks = ticksFor(t.model, true);
    const fs::path target = fs::temp_directory_path() / ("tierwise-bench-" + std::to_string(getpid()) + ".xlsx");
    for (auto _ : state) {
        XlsxWorkbook book(target);
        writeWorkbook(t.schedule, ticks, book);
        book.commit();
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(target));
    fs::remove(target);
}
BENCHMARK(BM_Workbook)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
