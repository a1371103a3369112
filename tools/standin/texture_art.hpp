#pragma once
// Painters of the stand-in pictures. Each takes the canvas size and returns the picture;
// pictures drawn with an alpha companion come in pairs that share their shapes.

#include "tools/standin/raster.hpp"

namespace standin {

// Pictures and patterns.
Canvas paint_blob(int w, int h);
Canvas paint_gradient(int w, int h);
Canvas paint_film_frame(int w, int h, int number);  // number 1..60
Canvas paint_aerial(int w, int h);
Canvas paint_cells(int w, int h);
Canvas paint_trees(int w, int h);
Canvas paint_house_front(int w, int h, bool wide);
Canvas paint_bicycle(int w, int h);
Canvas paint_cemetery(int w, int h);
// variant 0..5: pattern, patternr, pattern3, pattern4, pattern5, pattern6; all tile seamlessly.
Canvas paint_pattern(int w, int h, int variant);

// Sprites: colour and alpha of one shape (the alpha is white on black).
Canvas paint_walker(int w, int h);  // its own alpha
Canvas paint_mincer(int w, int h, bool alpha);
Canvas paint_man(int w, int h, bool alpha);
Canvas paint_leg(int w, int h, bool alpha);
Canvas paint_brush_marks(int w, int h, bool alpha);
Canvas paint_chain(int w, int h);  // its own alpha
Canvas paint_fish(int w, int h, bool dead, bool alpha);
Canvas paint_glow_band(int w, int h, bool alpha);

// Track tiles: kind '-' (horizontal), 'I' (vertical) or '1'..'4' for the corners joining
// east-south, south-west, west-north and north-east; flow pictures are their own alpha.
enum class TileLayer { colour, alpha, flow };
Canvas paint_tile(int w, int h, char kind, TileLayer layer);

}  // namespace standin
