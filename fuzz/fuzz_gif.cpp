#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Big screens cost their size in every frame and starve the search of
    // LZW and composition paths; fuzz_recognise_any covers them.
    if (size < 10) return 0;
    const std::uint32_t screen = std::uint32_t(data[6] | data[7] << 8) * std::uint32_t(data[8] | data[9] << 8);
    if (screen == 0 || screen > (1u << 18)) return 0;

    const pic::Bytes bytes(data, size);
    const std::optional<pic::Animation> all = pic::decode_gif(bytes);
    fuzz_checks::check(all);
    const std::optional<pic::Image> first = pic::decode_gif_first(bytes);
    fuzz_checks::check(first);
    // The first frame alone is the first of all frames.
    fuzz_checks::require(bool(all) == bool(first));
    if (all && first) fuzz_checks::require(all->frames.front().image.bgr == first->bgr);
    return 0;
}
