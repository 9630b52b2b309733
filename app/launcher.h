// The launcher: the window that lives for the whole run.
#pragma once

#include "toolkit/layout.h"

namespace app {

inline constexpr tk::WindowNumber kLauncherWindow = 0x52010001;

const tk::WindowLayout& launcher_layout();

// Start-up: builds the launcher and runs the message loop.
int run();

}  // namespace app
