// generate_anl: writes a large analysis output file of a tower (see tower_anl.h).
//
//   generate_anl OUT.anl [--size 500M] [--grid 40] [--storeys 60] [--unit metre|mms] [--lf] [--seed N]
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tower_anl.h"

using tierwise::bench::TowerOptions;

namespace {

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "generate_anl: %s\n"
                 "usage: generate_anl OUT.anl [--size BYTES[K|M|G] (powers of 1000)] [--grid N] [--storeys N] [--unit "
                 "metre|mms] [--lf] [--seed N]\n",
                 why);
    std::exit(2);
}

uint64_t parseSize(const char* text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text) usage("--size wants a number, e.g. 500M");
    uint64_t scale = 1;
    if (*end == 'K' || *end == 'k')
        scale = 1000, ++end;
    else if (*end == 'M' || *end == 'm')
        scale = 1000 * 1000, ++end;
    else if (*end == 'G' || *end == 'g')
        scale = 1000 * 1000 * 1000, ++end;
    if (*end != '\0') usage("--size wants a number, e.g. 500M");
    return value * scale;
}

int parseCount(const char* text, int low, int high, const char* what) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) {
        std::fprintf(stderr, "generate_anl: %s must be %d to %d\n", what, low, high);
        std::exit(2);
    }
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    TowerOptions o;
    const char* out = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage("an option lacks its value");
            return argv[++i];
        };
        if (arg == "--size")
            o.size = parseSize(value());
        else if (arg == "--grid")
            o.grid = parseCount(value(), 2, 99, "--grid");
        else if (arg == "--storeys")
            o.storeys = parseCount(value(), 1, 99, "--storeys");
        else if (arg == "--unit") {
            const std::string_view unit = value();
            if (unit == "mms")
                o.millimetres = true;
            else if (unit != "metre")
                usage("--unit is metre or mms");
        } else if (arg == "--lf")
            o.eol = "\n";
        else if (arg == "--seed")
            o.seed = static_cast<uint64_t>(parseCount(value(), 0, 1 << 30, "--seed"));
        else if (!arg.empty() && arg[0] == '-')
            usage("unknown option");
        else if (out)
            usage("one output file only");
        else
            out = argv[i];
    }
    if (!out) usage("no output file given");
    std::FILE* file = std::fopen(out, "wb");
    if (!file) {
        std::fprintf(stderr, "generate_anl: cannot write %s: %s\n", out, std::strerror(errno));
        return 1;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    const uint64_t written = tierwise::bench::writeTower(o, file);
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "generate_anl: cannot write %s: %s\n", out, std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "generate_anl: %s: %llu bytes, %d x %d grid, %d storeys\n", out,
                 static_cast<unsigned long long>(written), o.grid, o.grid, o.storeys);
    return 0;
}
