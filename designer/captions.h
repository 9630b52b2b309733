// Caption handling: mirroring a caption field into its label, and dragging
// a label. Each pair's handler is bound in the layout by control numbers.
#pragma once

#include "designer/designer.h"
#include "toolkit/toolkit.h"

namespace designer {

// Text changed in `field`: the label shows exactly what the field holds. The
// toolkit repaints what lies beneath the label before the label draws.
template <tk::ControlNumber field, tk::ControlNumber label>
void mirror_caption(const tk::EventArgs&) {
    tk::set_text(kWindow, label, tk::text(kWindow, field));
}

// Left button pressed on `label`: the window system's move loop takes over
// as if the label's title bar were grabbed, and returns when it is dropped.
template <tk::ControlNumber label>
void drag_caption(const tk::EventArgs&) {
    tk::send_message(kWindow, label, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace designer
