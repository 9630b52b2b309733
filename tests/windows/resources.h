// Counts of this process's GDI objects, windows, threads and private memory,
// for leak checks in the clipboard and gallery tests, soak and benchmark.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace resources {

// GetGuiResources is a stub under Wine, so GDI objects are counted in the
// process's GDI handle table (PEB::GdiSharedHandleTable, 24-byte entries on
// x64 with the owner's process id at byte 8 and the object type at byte 14).
// Falls back to GetGuiResources where the table cannot be read; -1 when
// neither gives a count.
inline long gdi_objects() {
#if defined(_M_X64) || defined(__x86_64__)
    // ProcessBasicInformation: the PEB's address is the second field.
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    void* basic[6] = {};
    const std::uint8_t* peb = nullptr;
    if (query && query(GetCurrentProcess(), 0, basic, sizeof basic, nullptr) >= 0)
        peb = static_cast<const std::uint8_t*>(basic[1]);
    const std::uint8_t* table = nullptr;
    if (peb) std::memcpy(&table, peb + 0xF8, sizeof table);
    if (table) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(table, &info, sizeof info) && info.State == MEM_COMMIT) {
            const auto end = static_cast<const std::uint8_t*>(info.BaseAddress) + info.RegionSize;
            const std::size_t entries = std::min<std::size_t>(0x10000, std::size_t(end - table) / 24);
            const auto pid = static_cast<std::uint16_t>(GetCurrentProcessId());
            long mine = 0, all = 0;
            for (std::size_t i = 0; i < entries; ++i) {
                const std::uint8_t* e = table + i * 24;
                if (e[14] == 0) continue;
                ++all;
                std::uint16_t owner = 0;
                std::memcpy(&owner, e + 8, sizeof owner);
                if (owner == pid) ++mine;
            }
            // Wine's table is private to the process and leaves the owner 0.
            return mine ? mine : all;
        }
    }
#endif
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return n ? long(n) : -1;
}

// USER objects: GetGuiResources where it works, else this process's windows
// (top-level and children), the USER objects a window layout makes.
inline long user_objects() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (n) return long(n);
    struct Count {
        long windows = 0;
        DWORD pid = GetCurrentProcessId();
    } count;
    auto top = [](HWND w, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Count*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != c->pid) return TRUE;
        ++c->windows;
        EnumChildWindows(w, [](HWND, LPARAM q) -> BOOL {
            ++reinterpret_cast<Count*>(q)->windows;
            return TRUE;
        }, p);
        return TRUE;
    };
    EnumWindows(top, reinterpret_cast<LPARAM>(&count));
    // Message-only windows are not top-level windows of the desktop.
    HWND message_only = nullptr;
    while ((message_only = FindWindowExW(HWND_MESSAGE, message_only, nullptr, nullptr))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(message_only, &pid);
        if (pid == count.pid) ++count.windows;
    }
    return count.windows;
}

inline long threads() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    long n = 0;
    const DWORD pid = GetCurrentProcessId();
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        if (entry.th32OwnerProcessID == pid) ++n;
    CloseHandle(snap);
    return n;
}

// Committed private memory, summed over the address space: under Wine this
// is steadier than the counters GetProcessMemoryInfo reports.
inline std::uint64_t private_bytes() {
    std::uint64_t total = 0;
    const std::uint8_t* p = nullptr;
    MEMORY_BASIC_INFORMATION info{};
    while (VirtualQuery(p, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const auto next = static_cast<const std::uint8_t*>(info.BaseAddress) + info.RegionSize;
        if (next <= p) break;
        p = next;
    }
    return total;
}

inline std::uint64_t process_private_usage() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage;
}

}  // namespace resources
