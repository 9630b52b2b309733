// Inspection hooks for the toolkit's own tests; not for the program.
#pragma once

#include "toolkit/layout.h"

namespace tk::testing {

// The frame a picture box shows now; -1 when the control is no picture box.
int shown_frame(WindowNumber window, ControlNumber control);
// True while the picture box's drawing thread runs.
bool animating(WindowNumber window, ControlNumber control);

}  // namespace tk::testing
