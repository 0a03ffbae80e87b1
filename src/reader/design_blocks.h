// The reading phase for the column design blocks that follow the analysis results:
//
//                  C O L U M N   N O.     105  D E S I G N   R E S U L T S
//      M25                          Fe415 (Main)            Fe415 (Sec.)
//      LENGTH:  3200.0 mm   CROSS SECTION:  300.0 mm X  450.0 mm  COVER: 40.0 mm
//      REQD. STEEL AREA   :    1080.00 Sq.mm.
#pragma once

#include <cstdint>

#include "model/model.h"
#include "reader/read_cursor.h"

namespace tierwise {

class DesignBlockReader {
public:
    // Reads every block from the line in hand on, one entry each into model.designBlocks.
    void read(ReadCursor& cursor, Model& model);
    // A file whose design results are not followed by the end of the run was cut off: its last
    // blocks, and maybe more, are missing. The file's end is noted for whoever decides on it,
    // and a last block the file ends in before its steel area is no failed column: it is left
    // out and named instead. Call after read, at the file's end.
    void noteCutOff(const ReadCursor& cursor, Model& model) const;

private:
    float valueAfter(ReadCursor& cursor, std::string_view keyword, bool searchForward);
    float lengthAfterGrades(ReadCursor& cursor, DesignBlock& col);
    void readSection(ReadCursor& cursor, DesignBlock& col);

    int32_t hitPos_ = 0;          // of the keyword valueAfter looked for; 0 when not found
    int64_t lastHeaderLine_ = 0;  // the line of the last column header, 0 before the first
    bool lastBlockHasSteelArea_ = false;
};

}  // namespace tierwise
