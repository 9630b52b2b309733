// The built-in pictures as constant records: a 32-bit 1, a 32-bit byte
// count worked out by the assembler, then the file's bytes (see byteset.h).
// Files are found through the assembler include path (-Wa,-I.../assets).

#ifdef _WIN32
        .section .rdata,"dr"
#define OBJECT_TYPE(name)
#define OBJECT_SIZE(name)
#else
        .section .rodata
#define OBJECT_TYPE(name) .type name, @object
#define OBJECT_SIZE(name) .size name, . - name
#endif

.macro record name, file
        .balign 4
        .globl \name
        OBJECT_TYPE(\name)
\name:
        .long 1
        .long .L\name\()_end - .L\name\()_start
.L\name\()_start:
        .incbin "\file"
.L\name\()_end:
        OBJECT_SIZE(\name)
.endm

        record glimbo_pic_gallery_00, "gallery_00.jpg"
        record glimbo_pic_gallery_01, "gallery_01.jpg"
        record glimbo_pic_gallery_02, "gallery_02.jpg"
        record glimbo_pic_gallery_03, "gallery_03.jpg"
        record glimbo_pic_gallery_04, "gallery_04.jpg"
        record glimbo_pic_gallery_05, "gallery_05.jpg"
        record glimbo_pic_gallery_06, "gallery_06.gif"
        record glimbo_pic_gallery_07, "gallery_07.jpg"
        record glimbo_pic_gallery_08, "gallery_08.jpg"
        record glimbo_pic_gallery_09, "gallery_09.jpg"
        record glimbo_pic_gallery_10, "gallery_10.jpg"
        record glimbo_pic_gallery_11, "gallery_11.jpg"
        record glimbo_pic_gallery_12, "gallery_12.jpg"
        record glimbo_pic_gallery_13, "gallery_13.jpg"
        record glimbo_pic_gallery_14, "gallery_14.jpg"
        record glimbo_pic_gallery_15, "gallery_15.jpg"
        record glimbo_pic_gallery_16, "gallery_16.jpg"
        record glimbo_pic_gallery_17, "gallery_17.jpg"
        record glimbo_pic_gallery_18, "gallery_18.jpg"
        record glimbo_pic_gallery_19, "gallery_19.jpg"
        record glimbo_pic_gallery_20, "gallery_20.jpg"
        record glimbo_pic_gallery_21, "gallery_21.jpg"
        record glimbo_pic_gallery_22, "gallery_22.jpg"
        record glimbo_pic_gallery_23, "gallery_23.jpg"
        record glimbo_pic_gallery_24, "gallery_24.jpg"
        record glimbo_pic_gallery_25, "gallery_25.jpg"
        record glimbo_pic_gallery_26, "gallery_26.jpg"
        record glimbo_pic_gallery_27, "gallery_27.jpg"
        record glimbo_pic_gallery_28, "gallery_28.jpg"
        record glimbo_pic_gallery_29, "gallery_29.jpg"
        record glimbo_pic_backdrop, "backdrop.jpg"
        record glimbo_pic_tile, "tile.jpg"
        record glimbo_pic_template_a, "template_a.jpg"
        record glimbo_pic_template_b, "template_b.bmp"
        record glimbo_pic_template_C, "template_C.bmp"
        record glimbo_pic_template_d, "template_d.bmp"
        record glimbo_pic_template_e, "template_e.bmp"
        record glimbo_pic_template_F, "template_F.bmp"
        record glimbo_pic_program_icon, "program.ico"

#ifndef _WIN32
        .section .note.GNU-stack,"",@progbits
#endif
