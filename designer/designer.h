// The caption designer: template pages, live captions, copy picture.
#pragma once

#include "toolkit/layout.h"

namespace designer {

inline constexpr tk::WindowNumber kWindow = 0x52010039;

const tk::WindowLayout& window_layout();

}  // namespace designer
