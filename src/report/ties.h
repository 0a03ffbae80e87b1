// Ties that hold every bar: the crossties of a rectangular arrangement (IS 456:2000 cl. 26.5.3.2 b),
// and the hoops of ductile detailing (IS 13920:2016 cl. 7.4 and 7.6): confining zones at both ends
// of a storey's column with close hoops, wider spacing between. Pure arithmetic, as detailing.h.
#pragma once

#include <string>

#include "report/anchorage.h"
#include "report/detailing.h"
#include "report/grouping.h"

namespace tierwise {

// The rules' numbers, each with its clause.
inline constexpr double kAlternateBarSpacing = 75;  // IS 456 cl. 26.5.3.2 b 1: bars this close need only alternate ties
inline constexpr double kMaxHoopLegSpacing = 300;   // IS 13920 cl. 7.4.2: parallel hoop legs, centre to centre
inline constexpr int kMinHoopDiameter = 8;          // IS 13920 cl. 7.4: at least 8 mm ...
inline constexpr int kMinHoopDiameterLargeBars = 10;  // ... and 10 mm where a main bar is larger than 32 mm
inline constexpr int kLargeBarDiameter = 32;
inline constexpr double kMinConfiningLength = 450;  // IS 13920 cl. 7.6.1 a: lo at least 450 mm ...
inline constexpr int kConfiningLengthStep = 50;     // ... rounded up to a multiple of 50 mm
inline constexpr double kMaxZonePitch = 100;        // IS 13920 cl. 7.6.1 b (2016 text): at most 100 mm ...
inline constexpr int kZonePitchBars = 6;            // ... 6 smallest main bar diameters, a quarter of the least side
inline constexpr int kLeastPracticalPitch = 75;     // below this concrete cannot be placed well: practice, not the code
inline constexpr double kMinDuctileSide = 300;      // IS 13920 cl. 7.1.2: least dimension of a column
inline constexpr int kHookExtensionBars = 8;        // IS 13920 cl. 7.4 as amended: 135° hooks extended 8 diameters ...
inline constexpr double kLeastHookExtension = 75;   // ... and at least 75 mm (the 2016 text: 6 and 65 mm)
inline constexpr double kLeastFootingHoops = 300;   // IS 13920 cl. 7.6.1 d: hoops this far into the footing
inline constexpr double kMaxLapHoopPitch = 100;     // IS 13920 cl. 7.3: hoops over a lap at most 100 mm apart
inline constexpr const char* kNoHoopFitsText = "no hoop fits";

// A 135° hook's straight extension past its bend, mm: kHookExtensionBars tie diameters and at
// least kLeastHookExtension. Every tie, crosstie and hoop is hooked so, drawn and counted.
double hookExtension(int tieDiameter);

// The flag of a section whose least side is under kMinDuctileSide: "under 300 mm".
std::string underDuctileSideText();

// Which bars of `bars` on `section` need a crosstie besides the perimeter tie, which holds the
// corners: every intermediate bar, or where bars stand at most 75 mm apart along a face only
// alternate ones; with `ductile`, more where parallel legs would stand over 300 mm apart.
TieLayout tieLayout(const Section& section, const BarArrangement& bars, double cover, bool ductile);

// lo of cl. 7.6.1 a for a column of `section` whose length is `length` mm (centre to centre, which
// errs on the safe side of the clear height): max(larger side, length / 6, 450), up to 50 mm.
int confiningLength(const Section& section, double length);

// The confinement of `bars` on `section` for grades `grades` (fy of the hoops); `length` as confiningLength takes it.
// Between the zones the pitch keeps IS 456's (chooseTies) and at most half the least side (cl. 7.4).
Confinement confine(const Section& section, const BarArrangement& bars, const Grades& grades, double length,
                    const DetailOptions& options);

// Worksheet 4's Ties texts: "8 dia @ 150 c/c + 2 crossties";
// "10 dia @ 75 c/c for 600 at each end, @ 150 c/c between, + 2 crossties"; "no hoop fits".
std::string tiesText(const Ties& ties, const TieLayout& layout);
std::string confinementText(const Confinement& confinement);

}  // namespace tierwise
