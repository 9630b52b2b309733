#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pic::Bytes bytes(data, size);
    if (fuzz_checks::big_gif_screen(bytes)) return 0;
    const std::optional<pic::Animation> all = pic::decode_gif(bytes);
    fuzz_checks::check(all);
    const std::optional<pic::Image> first = pic::decode_gif_first(bytes);
    fuzz_checks::check(first);
    // The first frame alone is the first of all frames.
    fuzz_checks::require(bool(all) == bool(first));
    if (all && first) fuzz_checks::require(all->frames.front().image.bgr == first->bgr);
    return 0;
}
