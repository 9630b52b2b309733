# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GLIMBO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GLIMBO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLIMBO_TRIPLE}-g++-posix)
set(CMAKE_ASM_COMPILER ${GLIMBO_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER ${GLIMBO_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLIMBO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One self-contained exe: no libwinpthread/libstdc++ DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows test programs under the project's Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
