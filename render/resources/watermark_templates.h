// The watermark's PostScript templates: custom resources of type 20563 ("PS"), stored as their
// bytes without a terminator.
#pragma once

#define VEX_TEMPLATE_TYPE 20563
#define IDT_WATERMARK_INIT 1    // init_watermark with its 17 operands (has placeholders)
#define IDT_WATERMARK_DRAW 2    // per page, background: draw_watermark
#define IDT_WATERMARK_MATRIX 3  // per page, foreground: getwmmatrix
