// Analysis report text for the reader's tests: echoed input lines, design blocks, a small frame.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>

#include "model/model.h"
#include "model/rejection.h"
#include "reader/anl_reader.h"
#include "reader/line_source.h"

namespace tierwise::anl_text {

// An analysis report's lines, CR LF terminated as on Windows.
inline std::string report(std::initializer_list<std::string> lines, const char* eol = "\r\n") {
    std::string text;
    for (const auto& line : lines) text += line + eol;
    return text;
}

// An echoed input line: the line number right-aligned in 6 characters, a point and a blank.
inline std::string echo(int number, const std::string& command) {
    char head[16];
    std::snprintf(head, sizeof head, "%6d. ", number);
    return head + command;
}

inline Model read(const std::string& text) {
    MemorySource source(text);
    LineSource lines(source);
    return readAnl(lines, "frame.anl");
}

inline std::string rejection(const std::string& text) {
    try {
        read(text);
    } catch (const Rejection& r) {
        return r.what();
    }
    return "(accepted)";
}

inline const std::string kHeading = " \f    OFFICE BLOCK B                                           -- PAGE NO.    7";
inline const std::string kEndOfRun = "         *********** END OF THE STAAD.Pro RUN ***********";

inline const std::string kGradeLine = "     M25                          Fe415 (Main)            Fe415 (Sec.)";

// A design block as printed; `section` is what follows "CROSS SECTION:", up to the cover.
inline std::string columnBlock(int member, const std::string& section, const std::string& area,
                               const std::string& gradeLine = kGradeLine,
                               const std::string& cover = "  COVER: 40.0 mm") {
    char header[96];
    std::snprintf(header, sizeof header, "                 C O L U M N   N O. %7d  D E S I G N   R E S U L T S",
                  member);
    return report({" " + std::string(77, '='), "", header, "", gradeLine, "",
                   "     LENGTH:  3200.0 mm   CROSS SECTION: " + section + cover, "",
                   "     ** GUIDING LOAD CASE:    12  END JOINT:      7  SHORT COLUMN", "",
                   area.empty() ? "" : "     REQD. STEEL AREA   : " + area + " Sq.mm.",
                   "     REQD. CONCRETE AREA:  133920.00 Sq.mm.", ""});
}

// A two-storey frame line: joints 1, 2, 3 up one vertical line, columns 1 and 2.
inline std::string frameWith(const std::string& unitLine, const std::string& afterMembers) {
    return report({echo(1, "STAAD SPACE"), echo(2, unitLine), echo(3, "JOINT COORDINATES"),
                   echo(4, "1 0 0 0; 2 0 3.5 0"), echo(5, "3 0 7 0"), echo(6, "MEMBER INCIDENCES"),
                   echo(7, "1 1 2; 2 3 2"), echo(8, "CONSTANTS")}) +
           afterMembers;
}

}  // namespace tierwise::anl_text
