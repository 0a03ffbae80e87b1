#include "tower_anl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tierwise::bench {

namespace {

// Output in large blocks; lines are built in place without per-line allocation.
class Writer {
public:
    Writer(std::FILE* file, const char* eol) : file_(file), eol_(eol) { buf_.reserve(kFlushAt + 4096); }

    void raw(std::string_view text) { buf_.append(text); }
    void ch(char c, size_t n = 1) { buf_.append(n, c); }
    void end() {
        buf_.append(eol_);
        ++lines_;
        if (buf_.size() >= kFlushAt) flush();
    }
    void line(std::string_view text) { raw(text), end(); }
    // Integer right-aligned in `width`.
    void num(int64_t value, int width = 0) {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        uint64_t v = negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
        do digits[n++] = static_cast<char>('0' + v % 10), v /= 10;
        while (v != 0);
        if (negative) digits[n++] = '-';
        for (int pad = width - n; pad > 0; --pad) buf_.push_back(' ');
        while (n > 0) buf_.push_back(digits[--n]);
    }
    // Fixed point: `value` in units of 10^-decimals, right-aligned in `width`.
    void fixed(int64_t value, int decimals, int width) {
        char digits[32];
        int n = 0;
        const bool negative = value < 0;
        uint64_t v = negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
        for (int d = 0; d < decimals; ++d) digits[n++] = static_cast<char>('0' + v % 10), v /= 10;
        if (decimals > 0) digits[n++] = '.';
        do digits[n++] = static_cast<char>('0' + v % 10), v /= 10;
        while (v != 0);
        if (negative) digits[n++] = '-';
        for (int pad = width - n; pad > 0; --pad) buf_.push_back(' ');
        while (n > 0) buf_.push_back(digits[--n]);
    }
    // A number as an engineer types it: metres with up to 3 decimals, trailing zeros dropped.
    void typed(int64_t thousandths) {
        if (thousandths % 1000 == 0) return num(thousandths / 1000);
        int decimals = 3;
        while (thousandths % 10 == 0) thousandths /= 10, --decimals;
        fixed(thousandths, decimals, 0);
    }
    [[nodiscard]] size_t pending() const { return buf_.size(); }
    [[nodiscard]] uint64_t written() const { return flushed_ + buf_.size(); }
    [[nodiscard]] uint64_t lines() const { return lines_; }

    // Without a file the writer only counts.
    void flush() {
        if (buf_.empty()) return;
        if (file_ && std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) {
            std::perror("generate_anl: write");
            std::exit(1);
        }
        flushed_ += buf_.size();
        buf_.clear();
    }

private:
    static constexpr size_t kFlushAt = size_t{4} << 20;
    std::FILE* file_;
    const char* eol_;
    std::string buf_;
    uint64_t flushed_ = 0;
    uint64_t lines_ = 0;
};

// Cheap deterministic numbers for the results.
struct Random {
    uint64_t state;
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }
    int64_t between(int64_t low, int64_t high) {
        return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
    }
};

const char* const kTitle = "TOWER T1";

class Tower {
public:
    Tower(const TowerOptions& o, std::FILE* file) : o_(o), w_(file, o.eol) {}

    void write() {
        banner();
        echoInput();
        statistics();
        results();
        design();
        w_.flush();
    }

    uint64_t written() const { return w_.written(); }

private:
    // ---- model geometry ---------------------------------------------------------------------
    int positions() const { return o_.grid * o_.grid; }
    int64_t joint(int level, int p) const { return int64_t{level} * 10000 + p + 1; }  // p 0-based
    int64_t column(int storey, int p) const { return int64_t{storey} * 10000 + p + 1; }
    int64_t beam(int storey, int k) const { return int64_t{storey} * 10000 + 2001 + k; }
    int64_t xMm(int p) const { return int64_t{p % o_.grid} * 6000; }
    int64_t zMm(int p) const { return int64_t{p / o_.grid} * 5000; }
    int64_t yMm(int level) const { return level == 0 ? 0 : 4000 + int64_t{level - 1} * 3200; }
    bool corner(int p) const {
        const int ix = p % o_.grid, iz = p / o_.grid;
        return (ix == 0 || ix == o_.grid - 1) && (iz == 0 || iz == o_.grid - 1);
    }
    int lastRowMiddle() const { return (o_.grid - 1) * o_.grid + o_.grid / 2; }
    bool rotated(int p) const { return !corner(p) && (p / o_.grid == 0 || p == lastRowMiddle()); }
    // Lower storeys carry bigger columns.
    int band(int storey) const { return (storey - 1) * 3 / o_.storeys; }
    int64_t widthMm(int storey) const { return 600 - 100 * band(storey); }
    int64_t depthMm(int storey) const { return 750 - 150 * band(storey); }

    // ---- printing helpers -------------------------------------------------------------------
    void echo(std::string_view command) {
        w_.num(++echoLine_, 6);
        w_.raw(". ");
        w_.raw(command);
        w_.end();
        pageLine();
    }
    void echoStart() {
        w_.num(++echoLine_, 6);
        w_.raw(". ");
    }
    void pageHeading() {
        w_.raw(" \f    ");
        w_.raw(kTitle);
        w_.ch(' ', 57 - std::strlen(kTitle));
        w_.raw("-- PAGE NO. ");
        w_.num(++page_, 4);
        w_.end();
        w_.ch(' ', 8);
        w_.end();
        linesOnPage_ = 0;
    }
    // Counts a printed line; a new page every 56 lines.
    bool pageLine() {
        if (++linesOnPage_ < 56) return false;
        pageHeading();
        return true;
    }

    void banner() {
        w_.raw(" \f");
        w_.ch(' ', 66);
        w_.raw("PAGE NO.    1");
        w_.end();
        w_.end();
        w_.line("\x02");
        w_.line("             ****************************************************");
        w_.line("             *           STAAD.Pro                              *");
        w_.line("             *           Date=    NOV 16, 2025                  *");
        w_.line("             ****************************************************");
        w_.line("\x05");
        w_.end();
    }

    // A list of items typed on as few input lines as INPUT WIDTH 79 allows.
    template <class Item>
    void echoList(int64_t count, Item item) {
        std::string row;
        std::string one;
        for (int64_t i = 0; i < count; ++i) {
            one.clear();
            item(i, one);
            if (!row.empty() && row.size() + 2 + one.size() > 70) {
                echo(row);
                row.clear();
            }
            if (!row.empty()) row += "; ";
            row += one;
        }
        if (!row.empty()) echo(row);
    }
    static void appendInt(std::string& s, int64_t v) { s += std::to_string(v); }
    static void appendTyped(std::string& s, int64_t thousandths, bool millimetres) {
        if (millimetres) return appendInt(s, thousandths);
        if (thousandths % 1000 == 0) return appendInt(s, thousandths / 1000);
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", static_cast<double>(thousandths) / 1000.0);
        std::string t(text);
        while (t.back() == '0') t.pop_back();
        s += t;
    }

    void echoInput() {
        echo("STAAD SPACE TOWER T1");
        w_.line("INPUT FILE: C:\\Projects\\Tower\\towert1.STD");
        echo("START JOB INFORMATION");
        echo("ENGINEER DATE 16-NOV-25");
        echo("END JOB INFORMATION");
        echo("INPUT WIDTH 79");
        echo(o_.millimetres ? "UNIT MMS KN" : "UNIT METER KN");
        echo("JOINT COORDINATES");
        const int levels = o_.storeys + 1;
        const bool mm = o_.millimetres;
        echoList(int64_t{levels} * positions(), [&](int64_t i, std::string& s) {
            const int level = static_cast<int>(i / positions()), p = static_cast<int>(i % positions());
            appendInt(s, joint(level, p));
            s += ' ';
            appendTyped(s, xMm(p), mm);
            s += ' ';
            appendTyped(s, yMm(level), mm);
            s += ' ';
            appendTyped(s, zMm(p), mm);
        });
        echo("MEMBER INCIDENCES");
        // Columns first, storey by storey; every seventh typed top down, as happens.
        echoList(int64_t{o_.storeys} * positions(), [&](int64_t i, std::string& s) {
            const int storey = static_cast<int>(i / positions()) + 1, p = static_cast<int>(i % positions());
            const int64_t lower = joint(storey - 1, p), upper = joint(storey, p);
            appendInt(s, column(storey, p));
            s += ' ';
            appendInt(s, i % 7 == 3 ? upper : lower);
            s += ' ';
            appendInt(s, i % 7 == 3 ? lower : upper);
        });
        const int g = o_.grid;
        const int64_t beamsPerFloor = int64_t{2} * g * (g - 1);
        echoList(int64_t{o_.storeys} * beamsPerFloor, [&](int64_t i, std::string& s) {
            const int storey = static_cast<int>(i / beamsPerFloor) + 1;
            const int k = static_cast<int>(i % beamsPerFloor);
            int a, b;
            if (k < g * (g - 1)) {  // along X
                const int iz = k / (g - 1), ix = k % (g - 1);
                a = iz * g + ix, b = a + 1;
            } else {  // along Z
                const int m = k - g * (g - 1);
                const int ix = m / (g - 1), iz = m % (g - 1);
                a = iz * g + ix, b = a + g;
            }
            appendInt(s, beam(storey, k));
            s += ' ';
            appendInt(s, joint(storey, a));
            s += ' ';
            appendInt(s, joint(storey, b));
        });
        echo("* columns first, then beams");
        echo("MEMBER PROPERTY INDIAN");
        for (int storey = 1; storey <= o_.storeys; ++storey) {
            std::string cmd;
            appendInt(cmd, column(storey, 0));
            cmd += " TO ";
            appendInt(cmd, column(storey, positions() - 1));
            cmd += " PRIS YD ";
            appendTyped(cmd, depthMm(storey), false);
            cmd += " ZD ";
            appendTyped(cmd, widthMm(storey), false);
            echo(cmd);
        }
        echo("CONSTANTS");
        echo("E CONCRETE ALL");
        echo("DENSITY CONCRETE ALL");
        echo("POISSON CONCRETE ALL");
        // The first grid row's columns (not the corners), storey by storey, as ranges with a
        // few members also listed on their own.
        std::vector<std::string> items;
        for (int storey = 1; storey <= o_.storeys; ++storey) {
            std::string item;
            appendInt(item, column(storey, 1));
            if (o_.grid > 3) {  // "a TO a" would list a + 1 as well
                item += " TO ";
                appendInt(item, column(storey, o_.grid - 2));
            }
            if (!corner(lastRowMiddle())) {
                item += ' ';
                appendInt(item, column(storey, lastRowMiddle()));
            }
            if (o_.grid > 2) items.push_back(item);
        }
        std::string row = "BETA 90 MEMB";
        for (const auto& item : items) {
            if (row.size() + 1 + item.size() > 66) {
                echo(row + " -");
                row.clear();
            }
            if (!row.empty()) row += ' ';
            row += item;
        }
        echo(row);
        echo("SUPPORTS");
        {
            std::string sup;
            appendInt(sup, joint(0, 0));
            sup += " TO ";
            appendInt(sup, joint(0, positions() - 1));
            echo(sup + " FIXED");
        }
        echo("LOAD 1 DEAD LOAD");
        echo("SELFWEIGHT Y -1");
        echo("LOAD 2 LIVE LOAD");
        echo("FLOOR LOAD");
        echo("LOAD 3 WIND X");
        echo("LOAD COMBINATION 4 1.5(DL+LL)");
        echo("1 1.5 2 1.5");
        echo("PERFORM ANALYSIS");
    }

    void statistics() {
        w_.end();
        w_.line("            P R O B L E M   S T A T I S T I C S");
        w_.line("            -----------------------------------");
        w_.raw("     NUMBER OF JOINTS ");
        w_.num(int64_t{o_.storeys + 1} * positions(), 9);
        w_.raw("  NUMBER OF MEMBERS ");
        w_.num(int64_t{o_.storeys} * (positions() + 2 * o_.grid * (o_.grid - 1)), 9);
        w_.end();
        w_.raw("     NUMBER OF PLATES ");
        w_.num(0, 9);
        w_.raw("  NUMBER OF SOLIDS  ");
        w_.num(0, 9);
        w_.end();
        w_.end();
        w_.line("   **WARNING- SOLVER MEMORY NEEDS ARE AT LEAST 1234 MB.");
        w_.end();
        linesOnPage_ = 0;
    }

    // ---- analysis results: filler up to the requested size -----------------------------------
    bool full() const { return o_.size == 0 || w_.written() >= o_.size - std::min(o_.size, designBytes_); }

    void tableHeading(const char* title, const char* underline, const char* units, const char* columns) {
        pageHeading();
        w_.line(title);
        w_.line(underline);
        if (units) w_.line(units);
        w_.end();
        w_.line(columns);
        w_.end();
        linesOnPage_ = 7;
    }

    void displacements(int load, Random& rnd) {
        const char* title = "   JOINT DISPLACEMENT (CM   RADIANS)    STRUCTURE TYPE = SPACE";
        const char* under = "   ------------------";
        const char* cols = "  JOINT  LOAD   X-TRANS   Y-TRANS   Z-TRANS   X-ROTAN   Y-ROTAN   Z-ROTAN";
        tableHeading(title, under, nullptr, cols);
        for (int level = 0; level <= o_.storeys && !full(); ++level) {
            for (int p = 0; p < positions() && !full(); ++p) {
                w_.num(joint(level, p), 7);
                w_.num(load, 6);
                const int64_t sway = int64_t{level} * 37;
                w_.fixed(sway + rnd.between(-50, 50), 4, 10);
                w_.fixed(-int64_t{level} * 11 - rnd.between(0, 30), 4, 10);
                w_.fixed(sway / 3 + rnd.between(-20, 20), 4, 10);
                for (int r = 0; r < 3; ++r) w_.fixed(rnd.between(-99, 99), 4, 10);
                w_.end();
                if (pageLine()) {
                    w_.line(title);
                    w_.line(under);
                    w_.end();
                    w_.line(cols);
                    w_.end();
                }
            }
        }
    }

    void endForces(int load, Random& rnd) {
        const char* title = "   MEMBER END FORCES    STRUCTURE TYPE = SPACE";
        const char* under = "   -----------------";
        const char* units = "   ALL UNITS ARE -- KN   METE  (LOCAL )";
        const char* cols = "   MEMBER  LOAD  JT     AXIAL   SHEAR-Y   SHEAR-Z   TORSION     MOM-Y      MOM-Z";
        tableHeading(title, under, units, cols);
        const int64_t beamsPerFloor = int64_t{2} * o_.grid * (o_.grid - 1);
        for (int storey = 1; storey <= o_.storeys && !full(); ++storey) {
            const int64_t membersHere = positions() + beamsPerFloor;
            for (int64_t k = 0; k < membersHere && !full(); ++k) {
                const bool isColumn = k < positions();
                const int64_t member =
                    isColumn ? column(storey, static_cast<int>(k)) : beam(storey, static_cast<int>(k - positions()));
                const int64_t axial = isColumn ? int64_t{o_.storeys - storey + 1} * 8000 + rnd.between(0, 5000)
                                               : rnd.between(-2000, 2000);
                for (int end = 0; end < 2; ++end) {
                    if (end == 0) {
                        w_.num(member, 9);
                        w_.num(load, 6);
                    } else {
                        w_.ch(' ', 15);
                    }
                    w_.num(isColumn ? joint(storey - 1 + end, static_cast<int>(k)) : 0, 8);
                    w_.fixed(end == 0 ? axial : -axial, 2, 10);
                    for (int f = 0; f < 5; ++f) w_.fixed(rnd.between(-99999, 99999), 2, 10);
                    // Some printers pad result lines with NUL bytes.
                    if ((member + end) % 97 == 0) w_.ch('\0', 12);
                    w_.end();
                }
                w_.end();
                if (pageLine()) {
                    w_.line(title);
                    w_.line(under);
                    w_.line(units);
                    w_.end();
                    w_.line(cols);
                    w_.end();
                }
            }
        }
    }

    void results() {
        if (o_.size == 0) return;
        designBytes_ = estimateDesignBytes();
        Random rnd{o_.seed};
        for (int load = 1; !full(); ++load) {
            displacements(load, rnd);
            if (!full()) endForces(load, rnd);
        }
        pageHeading();
    }

    // ---- column design ----------------------------------------------------------------------
    // The design part's exact size, from a dry run that only counts.
    uint64_t estimateDesignBytes() const {
        Tower dry(o_, nullptr);
        dry.echoLine_ = echoLine_;
        dry.design();
        dry.w_.flush();
        return dry.w_.written() + 2 * (std::strlen(o_.eol) + 80);  // and the closing page heading
    }

    void designBlock(int storey, int p, Random& rnd) {
        const int64_t member = column(storey, p);
        w_.ch(' ');
        w_.ch('=', 77);
        w_.end();
        w_.end();
        w_.raw("                 C O L U M N   N O.");
        w_.num(member, 8);
        w_.raw("  D E S I G N   R E S U L T S");
        w_.end();
        w_.end();
        w_.line(storey <= o_.storeys / 3 ? "     M30                          Fe500 (Main)            Fe415 (Sec.)"
                                         : "     M25                          Fe415 (Main)            Fe415 (Sec.)");
        w_.end();
        w_.raw("     LENGTH: ");
        w_.fixed((storey == 1 ? 4000 : 3200) * 10, 1, 7);
        w_.raw(" mm   CROSS SECTION: ");
        // The section as the analysis had it: BETA members print it turned.
        const int64_t w = corner(p) ? depthMm(storey) : widthMm(storey);
        const int64_t d = depthMm(storey);
        if (corner(p)) {
            w_.fixed(w * 10, 1, 6);
            w_.raw(" mm dia.   COVER: 40.0 mm");
        } else {
            w_.fixed((rotated(p) ? d : w) * 10, 1, 6);
            w_.raw(" mm X ");
            w_.fixed((rotated(p) ? w : d) * 10, 1, 6);
            w_.raw(" mm  COVER: 40.0 mm");
        }
        w_.end();
        w_.end();
        w_.raw("     ** GUIDING LOAD CASE:");
        w_.num(4, 6);
        w_.raw("  END JOINT:");
        w_.num(joint(storey - 1, p), 7);
        w_.raw(storey == 1 ? "  SHORT COLUMN" : "  SHORT COLUMN");
        w_.end();
        w_.end();
        if (member % 5 == 0) {
            w_.line("     DESIGN FORCES (KNS-MET)");
            w_.line("     -----------------------");
            w_.raw("     DESIGN AXIAL FORCE      :");
            w_.fixed(rnd.between(100000, 900000), 2, 12);
            w_.end();
            w_.line("                                   About Z          About Y");
            w_.raw("       INITIAL MOMENTS       :");
            w_.fixed(rnd.between(1000, 90000), 2, 12);
            w_.fixed(rnd.between(1000, 90000), 2, 15);
            w_.end();
            w_.line("       MOMENTS DUE TO MINIMUM ECC.  :          -               -");
            w_.line("       SLENDERNESS MOMENTS   :          -               -");
            w_.end();
        }
        // 0.8 % to 4 % of the gross area, in mm2 with two decimals.
        const double gross = corner(p) ? 3.14159265 / 4 * double(w) * double(w) : double(w) * double(d);
        const int64_t pct = rnd.between(80, 400);
        const int64_t area = static_cast<int64_t>(gross * double(pct) / 100.0) + rnd.between(0, 99);
        w_.raw("     REQD. STEEL AREA   :");
        w_.fixed(area, 2, 11);
        w_.raw(" Sq.mm.");
        w_.end();
        w_.raw("     REQD. CONCRETE AREA:");
        w_.fixed(static_cast<int64_t>(gross * 100) - area, 2, 11);
        w_.raw(" Sq.mm.");
        w_.end();
        w_.line("     MAIN REINFORCEMENT : Provide   8 - 25 dia. (1.75%, 3926.99 Sq.mm.)");
        w_.line("                          (Equally distributed)");
        w_.line("     TIE REINFORCEMENT  : Provide  8 mm dia. rectangular ties @ 300 mm c/c");
        w_.end();
        w_.line("     SECTION CAPACITY BASED ON REINFORCEMENT REQUIRED (KNS-MET)");
        w_.line("     ----------------------------------------------------------");
        w_.raw("     Puz :");
        w_.fixed(rnd.between(300000, 1200000), 2, 11);
        w_.raw("     Muz1 :");
        w_.fixed(rnd.between(5000, 90000), 2, 11);
        w_.raw("     Muy1 :");
        w_.fixed(rnd.between(5000, 90000), 2, 11);
        w_.end();
        w_.end();
        w_.raw("     INTERACTION RATIO:");
        w_.fixed(rnd.between(40, 99), 2, 6);
        w_.raw(" (as per Cl. 39.6, IS456:2000)");
        w_.end();
        w_.end();
    }

    void design() {
        echo("START CONCRETE DESIGN");
        echo("CODE INDIAN");
        echo("FC 25000 ALL");
        echo("FYMAIN 415000 ALL");
        std::string cmd = "DESIGN COLUMN ";
        appendInt(cmd, column(1, 0));
        cmd += " TO ";
        appendInt(cmd, column(o_.storeys, positions() - 1));
        echo(cmd);
        Random rnd{o_.seed * 7 + 3};
        for (int storey = 1; storey <= o_.storeys; ++storey) {
            for (int p = 0; p < positions(); ++p) designBlock(storey, p, rnd);
        }
        echo("END CONCRETE DESIGN");
        echo("FINISH");
        w_.end();
        w_.line("         *********** END OF THE STAAD.Pro RUN ***********");
        w_.end();
        w_.line("           **** DATE= NOV 16,2025   TIME= 10:41:12 ****");
    }

    const TowerOptions& o_;
    Writer w_;
    int echoLine_ = 0;
    int page_ = 1;
    int linesOnPage_ = 0;
    uint64_t designBytes_ = 0;
};

}  // namespace

uint64_t writeTower(const TowerOptions& options, std::FILE* file) {
    Tower tower(options, file);
    tower.write();
    return tower.written();
}

}  // namespace tierwise::bench
