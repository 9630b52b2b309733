#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<pic::Image> im = pic::decode_icon(pic::Bytes(data, size));
    fuzz_checks::check(im);
    // Icons always carry their transparency.
    if (im) fuzz_checks::require(!im->alpha.empty());
    return 0;
}
