// The binary outline file: filled 2D figures as lists of closed contours in
// 16-bit coordinates (1/30000 units). Little-endian, no padding:
//   i32 unused, i32 unused, i32 N figures;
//   per figure: i32 P shapes;
//   per shape:  i32 K points, f64 depth, K x (i16 x, i16 y).
// Parsing is separate from the GL work so that a malformed file is refused
// before any display list is begun.
#pragma once

#include "vec3.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The tessellator's vertex store: no shape may have more points.
inline constexpr int outline_max_points = 8192;

struct outline_point {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

struct outline_shape {
  double depth = 0.0;
  std::vector<outline_point> points;
};

struct outline_figure {
  std::vector<outline_shape> shapes;
};

struct outline_file {
  std::int32_t unused[2] = {};
  std::vector<outline_figure> figures;
};

// Parses a whole file image. On a malformed image (truncated, a negative
// count, a shape of more than outline_max_points points) returns nothing and,
// when error is given, a short description with the byte offset. Bytes after
// the last figure are ignored.
std::optional<outline_file> parse_outline(std::span<const std::uint8_t> bytes,
                                          std::string* error = nullptr);

// Reads and parses the file. A file that cannot be read or is malformed is
// reported in a message box naming it and ends the program (fatal_exit with
// exit_code_bad_asset). close_result receives what closing the file returned.
outline_file load_outline_file(const char* path, int* close_result = nullptr);

// The point as drawn: (x / 30000, y / 30000, depth * scale * 0.014), each
// component rounded to single precision (a finite value beyond its range
// becomes an infinity), state 1.
vec3 outline_vertex(outline_point p, double depth, double scale);
