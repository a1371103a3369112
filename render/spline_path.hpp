// The curve class `spline_path` and the ribbon stroker.
//
// A path is an ordered list of vec3 points with one half-width record per
// point, evaluated as a cubic (Catmull-Rom) curve at a fractional point index
// and stroked by draw_path_ribbon as a flat textured band in the xy plane.
#pragma once

#include "vec3.hpp"

#include <cstdint>
#include <vector>

class spline_path {
 public:
  std::vector<vec3> points;   // the curve's points in order
  std::vector<vec3> widths;   // per point: x is the half-width, y = z = 0, state 1
  std::vector<vec3> spare_a;  // emptied by clear; nothing else uses it
  std::vector<vec3> spare_b;  // only released by the destructor
  std::int32_t mode = 3;      // 3 after clear; nothing reads it
  bool closed = true;         // point_at wraps indices when set, clamps when clear
  std::int32_t count = 0;     // points appended since the last clear
  double spare_value = 0.0;   // 0 after clear; nothing reads it

  // Runs clear and sets closed to true.
  spline_path();

  // spare_value = 0, count = 0, mode = 3, then empties spare_a, widths and
  // points (spare_b keeps its elements). closed is not touched.
  void clear();

  // Appends the point, appends (width, 0, 0) with state 1 to widths, count + 1.
  void append(const vec3* point, const float* width);

  // Appends the point to points alone (count + 1) and no width record: the
  // form the walk path, the wire-figure builders and the traced lines use.
  // A path built this way has no per-point widths; draw_path_ribbon then
  // takes 0 as the half-width of a point without a record.
  void append_point(const vec3* point);

  // Writes the curve point at parameter t into out's x, y and z; out's state
  // is left alone, except that an open path copies its first point (t < 0) or
  // last point (t > count) whole, state included. An empty path leaves out
  // untouched.
  void point_at(float t, vec3* out) const;

  // The half-width record of point j (widths[j].x), or 0 when the path has no
  // record for j (a path built with append_point).
  float width_at(std::int64_t j) const;
};

// Strokes the path from parameter t0 toward t1 as a GL_QUAD_STRIP (see
// spline_path.cpp for the pairs): each pair's vertex A = point + u*width + u*offset and
// B = point - u*width + u*offset, u the unit normal to the right of the
// direction in the xy plane; texture coordinates are
// (tex_scale * X + tex_offset->x, tex_scale * Y + tex_offset->y).
// half_width >= 0.00001 is used for every pair, else the per-point widths.
// marker > 0.001 adds the two marker passes (no caller of the show does).
// Draws nothing when the clamped t1 < t0 or t1 < 1.
void draw_path_ribbon(const spline_path* path, double t0, double t1, const vec3* tex_offset,
                      double tex_scale, double offset, double half_width, double marker);
