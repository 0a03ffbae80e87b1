// Fuzz target: readAnl on any bytes. The file is read three times: in one large block, and in
// small blocks that put line ends across block boundaries, read in turn and by the read-ahead
// thread; all must give the same model or the same rejection.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"
#include "support/model_compare.h"

namespace {

std::string readOutcome(std::string_view text, size_t blockSize, tierwise::ReadAhead readAhead,
                        tierwise::Model& model) {
    tierwise::MemorySource source(text);
    tierwise::LineSource lines(source, blockSize, readAhead);
    try {
        model = tierwise::readAnl(lines, "fuzz.anl");
        return "accepted";
    } catch (const tierwise::Rejection& rejection) {
        return rejection.what();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tierwise::Model whole, pieces, readAhead;
    // One block holding the whole input stands for the full-size block of a real file.
    const std::string a = readOutcome(text, size + 1, tierwise::ReadAhead::off, whole);
    const std::string b = readOutcome(text, 1 + size % 61, tierwise::ReadAhead::off, pieces);
    const std::string c = readOutcome(text, 1 + size % 61, tierwise::ReadAhead::thread, readAhead);
    if (a != b || !tierwise::support::tableDifference(whole, pieces).empty()) {
        std::fprintf(stderr, "block size changes the outcome: \"%s\" against \"%s\"\n", a.c_str(), b.c_str());
        std::abort();
    }
    if (a != c || !tierwise::support::tableDifference(whole, readAhead).empty()) {
        std::fprintf(stderr, "reading ahead changes the outcome: \"%s\" against \"%s\"\n", a.c_str(), c.c_str());
        std::abort();
    }
    return 0;
}
