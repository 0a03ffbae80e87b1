// The printed output of an analysis and IS 456 column design run of a tall reinforced-concrete
// tower, as large as asked: for benchmarks and as fuzzing seeds.
//
// The model: grid x grid column lines (6 m by 5 m bays), `storeys` storeys (4.0 m, then 3.2 m),
// beams both ways on every floor, the columns of the first grid row and one of the last row turned
// by BETA 90, the corner columns round. Joints are numbered floor-wise (level * 10000 + position)
// and members storey-wise (storey * 10000 + k), so both run to six digits. The analysis results
// (joint displacements and member end forces, load case after load case, with page headings) fill
// the file up to `size`; then come one design block per column and the end banner.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tierwise::bench {

struct TowerOptions {
    uint64_t size = 0;  // bytes wanted; 0 = no analysis results at all
    int grid = 40;      // column lines each way, 2 to 99
    int storeys = 60;   // 1 to 99
    bool millimetres = false;
    const char* eol = "\r\n";
    uint64_t seed = 1;
};

// Writes the whole report to `file` in large blocks; returns the bytes written.
// Exits the process with a message when the file cannot be written.
uint64_t writeTower(const TowerOptions& options, std::FILE* file);

}  // namespace tierwise::bench
