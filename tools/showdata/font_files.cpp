// The font faces the pictures' text is drawn with, built into the generator from fonts/ so the
// show data depends only on the repo, never on which fonts a machine has installed.
#include "tools/showdata/font.h"

#include <cstring>

#ifndef ZELK6_FONT_DIR
#error "ZELK6_FONT_DIR must name tools/showdata/fonts (the build sets it)"
#endif

// The assembler copies each file's bytes into read-only data, between two labels.
#define ZELK6_EMBED(symbol, file)                                                         \
    asm(".pushsection .rodata\n"                                                          \
        ".balign 16\n"                                                                    \
        ".globl " #symbol "_begin\n" #symbol "_begin:\n"                                  \
        ".incbin \"" ZELK6_FONT_DIR "/" file "\"\n"                                       \
        ".globl " #symbol "_end\n" #symbol "_end:\n"                                      \
        ".popsection\n");                                                                 \
    extern "C" const unsigned char symbol##_begin[];                                      \
    extern "C" const unsigned char symbol##_end[];

ZELK6_EMBED(zelk6_dejavu_sans_bold, "DejaVuSans-Bold.ttf")
ZELK6_EMBED(zelk6_dejavu_sans_bold_oblique, "DejaVuSans-BoldOblique.ttf")

namespace showdata {

FontFile EmbeddedFont(const char* face) {
    if (std::strcmp(face, "DejaVuSans-Bold.ttf") == 0)
        return {zelk6_dejavu_sans_bold_begin, zelk6_dejavu_sans_bold_end - zelk6_dejavu_sans_bold_begin};
    if (std::strcmp(face, "DejaVuSans-BoldOblique.ttf") == 0)
        return {zelk6_dejavu_sans_bold_oblique_begin,
                zelk6_dejavu_sans_bold_oblique_end - zelk6_dejavu_sans_bold_oblique_begin};
    return {};
}

}  // namespace showdata
