// Entry point: no command line is read.
#include <windows.h>

#include "app/launcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::run(); }
