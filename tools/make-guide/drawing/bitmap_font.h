// The tool's own bitmap font: 5 x 7 letters in cells of 6 x 11 pixels
// (two rows above the capitals for accents, two below for descenders),
// covering printable ASCII and the accented letters of Windows-1252.  Text
// is drawn at a whole-number scale.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BITMAP_FONT_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BITMAP_FONT_H_

#include <string_view>

#include "tools/make-guide/drawing/canvas.h"

namespace tentaria::make_guide {

inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 11;

// Width and height of the text in pixels; text is Windows-1252.
int TextWidth(std::string_view text, int scale = 1);
inline int TextHeight(int scale = 1) { return kCellHeight * scale; }

// Draws the text with the top of its cells at y.  Characters without a
// glyph are drawn as "?".
void DrawText(Canvas& canvas, int x, int y, std::string_view text, Colour colour, int scale = 1);
// The text centred on x, with a one-pixel (times scale) shadow when
// `shadow` is given, for text over pictures.
void DrawCentredText(Canvas& canvas, int centre_x, int y, std::string_view text, Colour colour,
                     int scale = 1, const Colour* shadow = nullptr);

// The longest head of the text, cut at a space where possible, that fits
// in `width` pixels; used to wrap lines.
std::string_view FittingText(std::string_view text, int width, int scale = 1);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_BITMAP_FONT_H_
