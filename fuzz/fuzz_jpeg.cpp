// libFuzzer target for the baseline JPEG decoder. Beyond the common checks,
// decoding the same bytes twice must give the same pixels: a difference
// would mean something read memory that the decoder never wrote. Only for
// pictures up to a million pixels, to keep big ones within the time limit.
#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pic::Bytes bytes(data, size);
    const std::optional<pic::Image> first = pic::decode_jpeg(bytes);
    fuzz_checks::check(first);
    if (first && std::int64_t(first->width) * first->height <= 1000000) {
        const std::optional<pic::Image> again = pic::decode_jpeg(bytes);
        fuzz_checks::require(again && again->width == first->width && again->height == first->height &&
                             again->bgr == first->bgr);
    }
    return 0;
}
