// A soak's before/after snapshot of this process's GDI objects, USER
// objects and private bytes, counted the way resources.h does (it works
// under Wine, where GetGuiResources and PrivateUsage answer 0).
#pragma once

#include <cstdint>
#include <cstdio>

#include "tests/windows/resources.h"

namespace support {

struct Usage {
    long gdi = 0;
    long user = 0;
    std::uint64_t private_bytes = 0;
};

inline Usage usage() {
    return {resources::gdi_objects(), resources::user_objects(), resources::private_bytes()};
}

// Prints before/after; true when nothing grew (memory by more than `slack`).
inline bool report(const char* what, const Usage& before, const Usage& after,
                   std::uint64_t slack = 1 << 20) {
    std::printf("%s: GDI objects %ld -> %ld, USER objects %ld -> %ld, private bytes %llu -> %llu KiB\n",
                what, before.gdi, after.gdi, before.user, after.user,
                static_cast<unsigned long long>(before.private_bytes / 1024),
                static_cast<unsigned long long>(after.private_bytes / 1024));
    const bool grew = after.gdi > before.gdi || after.user > before.user ||
                      after.private_bytes > before.private_bytes + slack;
    std::printf("%s: %s\n", what, grew ? "LEAK" : "back to baseline");
    return !grew;
}

}  // namespace support
