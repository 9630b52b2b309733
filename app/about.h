// The about window: a fixed layout without behaviour.
#pragma once

#include "toolkit/layout.h"

namespace app {

inline constexpr tk::WindowNumber kAboutWindow = 0x520100f1;

const tk::WindowLayout& about_layout();

}  // namespace app
