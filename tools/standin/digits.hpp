#pragma once
// A built-in 5x7 digit font, so numbered pictures need no font library.

#include <string_view>

#include "tools/standin/raster.hpp"

namespace standin {

// True when pixel (column, row) of digit's 5x7 glyph is set; row 0 is the top.
bool digit_pixel(char digit, int column, int row);

// Signed distance to the glyph cells of text laid out as draw_digits lays it out.
double digits_distance(std::string_view text, Vec2 origin, double cell_size, double u, double v);

// Draws text (digits only; other characters leave a gap) with its top-left corner at
// origin, each glyph pixel cell_size canvas units square, with rounded soft cells.
void draw_digits(Canvas& canvas, std::string_view text, Vec2 origin, double cell_size, Colour colour);

}  // namespace standin
