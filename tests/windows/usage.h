// What a soak measures: GDI and USER objects and private bytes of this
// process. Wine answers GetGuiResources and PrivateUsage with 0, so there
// the windows are counted and the committed private memory is summed
// instead (Wine keeps bitmap bits in process memory, so leaked bitmaps show).
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace support {

struct Usage {
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T private_bytes = 0;
};

inline SIZE_T committed_private_bytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION m{};
    for (char* p = nullptr; VirtualQuery(p, &m, sizeof m) == sizeof m; p = static_cast<char*>(m.BaseAddress) + m.RegionSize) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
    }
    return total;
}

inline BOOL CALLBACK count_window(HWND w, LPARAM n) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(n);
        EnumChildWindows(w, count_window, n);
    }
    return TRUE;
}

inline Usage usage() {
    Usage u;
    u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (u.user == 0) EnumWindows(count_window, reinterpret_cast<LPARAM>(&u.user));
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    u.private_bytes = m.PrivateUsage ? m.PrivateUsage : committed_private_bytes();
    return u;
}

// Prints before/after and says whether anything grew (memory: more than `slack`).
inline bool report(const char* what, const Usage& before, const Usage& after, SIZE_T slack = 1 << 20) {
    std::printf("%s: GDI objects %lu -> %lu, USER objects %lu -> %lu, private bytes %zu -> %zu KiB\n", what,
                before.gdi, after.gdi, before.user, after.user, before.private_bytes / 1024,
                after.private_bytes / 1024);
    bool grew = after.gdi > before.gdi || after.user > before.user ||
                after.private_bytes > before.private_bytes + slack;
    std::printf("%s: %s\n", what, grew ? "LEAK" : "back to baseline");
    return !grew;
}

}  // namespace support
