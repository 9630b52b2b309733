// The gallery of ready-made captioned pictures.
#pragma once

#include "toolkit/layout.h"

namespace gallery {

inline constexpr tk::WindowNumber kWindow = 0x5201010c;

const tk::WindowLayout& window_layout();

}  // namespace gallery
