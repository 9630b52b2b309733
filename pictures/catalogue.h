// The built-in pictures, embedded in the executable as constant records.
#pragma once

#include "pictures/byteset.h"

namespace pictures {

inline constexpr int kGalleryCount = 30;

// Gallery picture k (0..29); any other index gives an empty byte set.
ByteSet gallery_picture(int k);

ByteSet backdrop_picture();  // JPEG 430 x 417
ByteSet tile_picture();      // JPEG 358 x 334
ByteSet template_a();        // JPEG 154 x 175
ByteSet template_b();        // BMP 322 x 441
ByteSet template_C();        // BMP 308 x 182
ByteSet template_d();        // BMP 200 x 233
ByteSet template_e();        // BMP 505 x 226
ByteSet template_F();        // BMP 284 x 169
ByteSet program_icon();      // ICO, one 32 x 32 image at 32 bits

// True when the bytes lie inside one of the built-in records.
bool is_builtin(const void* p);

}  // namespace pictures
