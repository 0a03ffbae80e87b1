// The date the drawings' title blocks carry, read from the system clock.
#pragma once

#include <string>

namespace tierwise {

// Today's date in UTC, "2026-12-08": the same day whichever machine of an office makes the drawing.
std::string today();

}  // namespace tierwise
