#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_checks::check(pic::decode_pcx(pic::Bytes(data, size)));
    return 0;
}
