// Anything at all through recognition and dispatch; a still picture must
// also survive a trip through the BMP writer unchanged.
#include <cstring>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pic::Bytes bytes(data, size);
    if (pic::recognise(bytes) == pic::Format::Gif && fuzz_checks::big_gif_screen(bytes)) return 0;
    fuzz_checks::check(pic::decode_any(bytes));
    const std::optional<pic::Image> still = pic::decode_still(bytes);
    fuzz_checks::check(still);
    if (still) {
        const std::optional<pic::Image> back = pic::decode_bmp(pic::write_bmp24(*still));
        fuzz_checks::require(back && back->width == still->width && back->height == still->height);
        for (int y = 0; y < still->height; ++y)
            fuzz_checks::require(std::memcmp(back->row(y), still->row(y), 3 * std::size_t(still->width)) == 0);
    }
    return 0;
}
