#include "pictures/catalogue.h"

#include <cstdint>

// Records laid down by assets.S; each starts with the 8-byte head.
extern "C" {
extern const std::uint8_t glimbo_pic_gallery_00[], glimbo_pic_gallery_01[], glimbo_pic_gallery_02[],
    glimbo_pic_gallery_03[], glimbo_pic_gallery_04[], glimbo_pic_gallery_05[], glimbo_pic_gallery_06[],
    glimbo_pic_gallery_07[], glimbo_pic_gallery_08[], glimbo_pic_gallery_09[], glimbo_pic_gallery_10[],
    glimbo_pic_gallery_11[], glimbo_pic_gallery_12[], glimbo_pic_gallery_13[], glimbo_pic_gallery_14[],
    glimbo_pic_gallery_15[], glimbo_pic_gallery_16[], glimbo_pic_gallery_17[], glimbo_pic_gallery_18[],
    glimbo_pic_gallery_19[], glimbo_pic_gallery_20[], glimbo_pic_gallery_21[], glimbo_pic_gallery_22[],
    glimbo_pic_gallery_23[], glimbo_pic_gallery_24[], glimbo_pic_gallery_25[], glimbo_pic_gallery_26[],
    glimbo_pic_gallery_27[], glimbo_pic_gallery_28[], glimbo_pic_gallery_29[];
extern const std::uint8_t glimbo_pic_backdrop[], glimbo_pic_tile[], glimbo_pic_template_a[],
    glimbo_pic_template_b[], glimbo_pic_template_C[], glimbo_pic_template_d[], glimbo_pic_template_e[],
    glimbo_pic_template_F[], glimbo_pic_program_icon[];
}

namespace pictures {
namespace {

const std::uint8_t* const kGallery[kGalleryCount] = {
    glimbo_pic_gallery_00, glimbo_pic_gallery_01, glimbo_pic_gallery_02, glimbo_pic_gallery_03,
    glimbo_pic_gallery_04, glimbo_pic_gallery_05, glimbo_pic_gallery_06, glimbo_pic_gallery_07,
    glimbo_pic_gallery_08, glimbo_pic_gallery_09, glimbo_pic_gallery_10, glimbo_pic_gallery_11,
    glimbo_pic_gallery_12, glimbo_pic_gallery_13, glimbo_pic_gallery_14, glimbo_pic_gallery_15,
    glimbo_pic_gallery_16, glimbo_pic_gallery_17, glimbo_pic_gallery_18, glimbo_pic_gallery_19,
    glimbo_pic_gallery_20, glimbo_pic_gallery_21, glimbo_pic_gallery_22, glimbo_pic_gallery_23,
    glimbo_pic_gallery_24, glimbo_pic_gallery_25, glimbo_pic_gallery_26, glimbo_pic_gallery_27,
    glimbo_pic_gallery_28, glimbo_pic_gallery_29,
};

const std::uint8_t* const kLayout[] = {
    glimbo_pic_backdrop,   glimbo_pic_tile,       glimbo_pic_template_a,
    glimbo_pic_template_b, glimbo_pic_template_C, glimbo_pic_template_d,
    glimbo_pic_template_e, glimbo_pic_template_F, glimbo_pic_program_icon,
};

bool inside(const std::uint8_t* record, const void* p) {
    // Compare as integers: the pointers need not belong to the same object.
    const auto begin = reinterpret_cast<std::uintptr_t>(record);
    const auto end = begin + 8 + ByteSet(record).size();
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    return at >= begin && at < end;
}

}  // namespace

ByteSet gallery_picture(int k) {
    if (k < 0 || k >= kGalleryCount) return {};
    return ByteSet(kGallery[k]);
}

ByteSet backdrop_picture() { return ByteSet(glimbo_pic_backdrop); }
ByteSet tile_picture() { return ByteSet(glimbo_pic_tile); }
ByteSet template_a() { return ByteSet(glimbo_pic_template_a); }
ByteSet template_b() { return ByteSet(glimbo_pic_template_b); }
ByteSet template_C() { return ByteSet(glimbo_pic_template_C); }
ByteSet template_d() { return ByteSet(glimbo_pic_template_d); }
ByteSet template_e() { return ByteSet(glimbo_pic_template_e); }
ByteSet template_F() { return ByteSet(glimbo_pic_template_F); }
ByteSet program_icon() { return ByteSet(glimbo_pic_program_icon); }

bool is_builtin(const void* p) {
    if (!p) return false;
    for (const std::uint8_t* r : kGallery)
        if (inside(r, p)) return true;
    for (const std::uint8_t* r : kLayout)
        if (inside(r, p)) return true;
    return false;
}

}  // namespace pictures
