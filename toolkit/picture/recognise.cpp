#include "toolkit/picture/image.h"

#include <cstring>

namespace pic {

Format recognise(Bytes d) {
    if (d.size() < 6) return Format::None;
    if (d[0] == 0xFF && d[1] == 0xD8) return Format::Jpeg;
    if (d[0] == 'B' && d[1] == 'M') return Format::Bmp;
    if (d[0] == 0 && d[1] == 0 && d[3] == 0) {
        if (d[2] == 1) return Format::Icon;
        if (d[2] == 2) return Format::Cursor;
    }
    if (std::memcmp(d.data(), "GIF87a", 6) == 0 || std::memcmp(d.data(), "GIF89a", 6) == 0)
        return Format::Gif;
    if (d[0] == 0x0A) {
        if (d[1] <= 5 && d[2] == 1 && d[3] == 8) return Format::Pcx;
        if (d[1] == 3 && d[2] == 1 && d[3] == 1) return Format::Pcx;
    }
    return Format::None;
}

}  // namespace pic
