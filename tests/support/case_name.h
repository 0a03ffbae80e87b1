// Table-driven cases print as their name, so that ctest lists "Writer/WriterTest.Cells/CircularRow"
// and a failure names its case, instead of a dump of the case's bytes.
#pragma once

#include <ostream>

namespace tierwise::support {

template <typename Case>
requires requires(const Case& c, std::ostream& os) { os << c.name; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

}  // namespace tierwise::support
