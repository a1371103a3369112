// Spline_path and draw_path_ribbon.
#include "spline_path.hpp"

#include "gl_emit.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The number of points the path's operations may index: `count`, but never
// more than the points actually held (a caller that raised count without
// appending must not make us read past the vector).
std::int64_t usable_count(const spline_path& p) {
  const std::int64_t n = p.count;
  const auto held = static_cast<std::int64_t>(p.points.size());
  return std::clamp<std::int64_t>(n, 0, held);
}

// Truncation toward zero, saturated so that no float-to-integer conversion
// overflows (NaN gives 0). Paths hold at most 65535 points, far inside.
std::int64_t trunc_index(double t) {
  if (!(t == t)) return 0;
  constexpr double lim = 4.0e18;
  return static_cast<std::int64_t>(std::clamp(t, -lim, lim));
}

// Non-negative remainder.
std::int64_t wrap(std::int64_t i, std::int64_t n) {
  const std::int64_t r = i % n;
  return r < 0 ? r + n : r;
}

}  // namespace

spline_path::spline_path() {
  clear();
  closed = true;
}

void spline_path::clear() {
  spare_value = 0.0;
  count = 0;
  mode = 3;
  spare_a.clear();
  widths.clear();
  points.clear();
}

void spline_path::append(const vec3* point, const float* width) {
  points.push_back(*point);
  widths.push_back(vec3{1, *width, 0.0f, 0.0f});
  ++count;
}

void spline_path::append_point(const vec3* point) {
  points.push_back(*point);
  ++count;
}

float spline_path::width_at(std::int64_t j) const {
  if (j < 0 || j >= static_cast<std::int64_t>(widths.size())) return 0.0f;
  return widths[static_cast<std::size_t>(j)].x;
}

void spline_path::point_at(float t, vec3* out) const {
  const std::int64_t n = usable_count(*this);
  if (n <= 0) return;  // mended: an empty path has no point (was a division by zero)

  std::int64_t i = 0;
  float f = 0.0f;
  std::int64_t i0, i1, i2, i3;

  if (t < static_cast<float>(n - 2) && t > 2.0f) {
    i = trunc_index(t);
    f = t - static_cast<float>(i);
    if (closed) {
      i0 = i - 1;  // here 2 <= i <= n - 3: no wrap needed
      i1 = i;
      i2 = i + 1;
      i3 = i + 2;
    } else {
      i0 = std::clamp<std::int64_t>(i - 1, 0, n - 1);
      i1 = std::clamp<std::int64_t>(i, 0, n - 1);
      i2 = std::clamp<std::int64_t>(i + 1, 0, n - 1);
      i3 = std::clamp<std::int64_t>(i + 2, 0, n - 1);
    }
  } else if (closed) {
    // The lookup works on t + 10000 n in single precision; its quantisation
    // is part of the picture.
    const float tp = t + static_cast<float>(n * 10000);
    const std::int64_t whole = trunc_index(tp);
    i = wrap(whole, n);
    f = tp - std::trunc(tp);  // t' - int(t'); 0 once t' is past 2^24
    // Mended: the plain rule reads (int(t') - 1) mod n, 0, 1, 2 at i = 0 and
    // i - 1, i, (i + 1) mod n, (i + 2) mod n otherwise, which indexes past the
    // end for fewer than 3 points (and below 0 when int(t') is 0). Wrapping
    // every neighbour gives the same indices for n >= 3 and stays in range.
    i0 = wrap(whole - 1, n);
    i1 = i;
    i2 = wrap(i + 1, n);
    i3 = wrap(i + 2, n);
  } else {
    i = std::clamp<std::int64_t>(trunc_index(t), 0, n - 1);
    if (t < 0.0f) f = 0.0f;
    else if (t > static_cast<float>(n)) f = 1.0f;
    else f = t - static_cast<float>(trunc_index(t));
    i0 = std::clamp<std::int64_t>(i - 1, 0, n - 1);
    i1 = i;
    i2 = std::clamp<std::int64_t>(i + 1, 0, n - 1);
    i3 = std::clamp<std::int64_t>(i + 2, 0, n - 1);
  }

  const vec3& p0 = points[static_cast<std::size_t>(i0)];
  const vec3& p1 = points[static_cast<std::size_t>(i1)];
  const vec3& p2 = points[static_cast<std::size_t>(i2)];
  const vec3& p3 = points[static_cast<std::size_t>(i3)];

  const double fd = f;
  const double f2 = static_cast<float>(fd * fd);  // f^2 rounded to f32
  const double f3 = f2 * fd;
  auto cubic = [&](double a0, double a1, double a2, double a3) {
    const double m1 = (a2 - a0) / 2.0;
    const double m2 = (a3 - a1) / 2.0;
    return static_cast<float>(a1 + fd * m1 + f2 * (3.0 * a2 - 3.0 * a1 - 2.0 * m1 - m2) +
                              f3 * (2.0 * a1 - 2.0 * a2 + m1 + m2));
  };
  const float rx = cubic(p0.x, p1.x, p2.x, p3.x);
  const float ry = cubic(p0.y, p1.y, p2.y, p3.y);
  const float rz = cubic(p0.z, p1.z, p2.z, p3.z);
  out->x = rx;
  out->y = ry;
  out->z = rz;

  if (!closed) {
    if (t > static_cast<float>(n)) *out = points[static_cast<std::size_t>(n - 1)];
    else if (t < 0.0f) *out = points[0];
  }
}

namespace {

const vec3 k_z_axis{1, 0.0f, 0.0f, 1.0f};

// u = normalize(cross(normalize(d), (0, 0, 1))).
vec3 ribbon_normal(vec3 d) {
  d.normalize();
  vec3 u;
  vec3_cross(&d, &k_z_axis, &u);
  u.normalize();
  return u;
}

// a + (b - a) * f with the vec3 operations (f rounded to f32).
vec3 blend(const vec3& a, const vec3& b, double f) {
  const float ff = static_cast<float>(f);
  vec3 diff, scaled, r;
  vec3_sub(&b, &a, &diff);
  vec3_scale(&diff, &ff, &scaled);
  vec3_add(&a, &scaled, &r);
  return r;
}

void emit_ribbon_vertex(const vec3& v, double scale, const vec3& tex_offset) {
  emit_tex_coord2f(static_cast<float>(scale * v.x + tex_offset.x),
                   static_cast<float>(scale * v.y + tex_offset.y));
  emit_vertex3f(v.x, v.y, 0.0f);
}

// One pair: A = point + u*width + u*offset, then B = point - u*width + u*offset.
void emit_pair(const vec3& point, const vec3& d, double width, double offset, double scale,
               const vec3& tex_offset) {
  const vec3 u = ribbon_normal(d);
  const float w = static_cast<float>(width);
  const float o = static_cast<float>(offset);
  vec3 uw, uo, t, a, b;
  vec3_scale(&u, &w, &uw);
  vec3_scale(&u, &o, &uo);
  vec3_add(&point, &uw, &t);
  vec3_add(&t, &uo, &a);
  vec3_sub(&point, &uw, &t);
  vec3_add(&t, &uo, &b);
  emit_ribbon_vertex(a, scale, tex_offset);
  emit_ribbon_vertex(b, scale, tex_offset);
}

// p + u*s (+ F*g), all with the vec3 operations.
vec3 marker_corner(const vec3& p, const vec3& u, double s, const vec3& F, double g) {
  const float sf = static_cast<float>(s);
  const float gf = static_cast<float>(g);
  vec3 us, r, fg;
  vec3_scale(&u, &sf, &us);
  vec3_add(&p, &us, &r);
  if (g != 0.0) {
    vec3_scale(&F, &gf, &fg);
    vec3_add(&r, &fg, &r);
  }
  return r;
}

void emit_flat(const vec3& v) { emit_vertex3f(v.x, v.y, 0.0f); }

}  // namespace

void draw_path_ribbon(const spline_path* path, double t0, double t1, const vec3* tex_offset,
                      double tex_scale, double offset, double half_width, double marker) {
  const std::int64_t n = usable_count(*path);
  if (n <= 0) return;  // nothing to stroke (the show's callers never pass an empty path)
  if (std::isnan(t0) || std::isnan(t1)) return;
  const double last = static_cast<double>(n - 1);
  t0 = std::clamp(t0, 0.0, last);
  t1 = std::clamp(t1, 0.0, last);
  if (t1 < t0 || t1 < 1.0) return;  // t1 >= 1 implies n >= 2 from here on

  const std::vector<vec3>& p = path->points;
  const bool constant_width = half_width >= 0.00001;
  // Widths are read only when the constant is not used, and only records that
  // exist are read: a path without widths strokes with half-width 0.
  auto width_of = [&](std::int64_t j) -> double {
    return constant_width ? half_width : static_cast<double>(path->width_at(j));
  };
  auto blended_width = [&](std::int64_t a, std::int64_t b, double f) -> double {
    if (constant_width) return half_width;
    const vec3 wa{1, path->width_at(a), 0.0f, 0.0f};
    const vec3 wb{1, path->width_at(b), 0.0f, 0.0f};
    return blend(wa, wb, f).x;
  };
  auto at = [&](std::int64_t j) -> const vec3& { return p[static_cast<std::size_t>(j)]; };

  const auto v = static_cast<std::int64_t>(t0);
  // Mended: when t0 is clamped to the last point, v + 1 is one past the end;
  // the start pair then takes its neighbour as the last point itself (so its
  // direction is the zero vector and the pair collapses onto the point).
  const std::int64_t w = std::min<std::int64_t>(v + 1, n - 1);
  const double f0 = t0 - static_cast<double>(v);
  const auto k = static_cast<std::int64_t>(t1);
  const double f1 = t1 - static_cast<double>(k);
  const vec3 tex = *tex_offset;

  emit_begin(GL_QUAD_STRIP);
  {
    const vec3 s = blend(at(v), at(w), f0);
    vec3 d;
    vec3_sub(&at(w), &s, &d);
    emit_pair(s, d, blended_width(v, w, f0), offset, tex_scale, tex);
  }
  for (std::int64_t j = w; j <= k - 1; ++j) {
    vec3 d;
    vec3_sub(&at(j + 1), &at(j), &d);
    emit_pair(at(j), d, width_of(j), offset, tex_scale, tex);
  }
  {
    const vec3 e = blend(at(k - 1), at(k), f1);
    vec3 d;
    vec3_sub(&at(k), &e, &d);
    emit_pair(e, d, blended_width(k - 1, k, f1), offset, tex_scale, tex);
  }
  emit_end();

  if (!(marker > 0.001)) return;

  const double nd = static_cast<double>(n);
  for (int pass = 0; pass < 2; ++pass) {
    emit_disable(GL_TEXTURE_2D);
    emit_begin(GL_QUADS);
    for (std::int64_t j = w; j <= k - 1; ++j) {
      vec3 a{1, 0.0f, 0.0f, 0.0f};
      vec3 b{1, 0.0f, 0.0f, 0.0f};
      path->point_at(static_cast<float>(std::max(0.0, marker + static_cast<double>(j) - nd)), &a);
      path->point_at(static_cast<float>(std::max(0.0, marker + static_cast<double>(j) + 1.0 - nd)),
                     &b);
      vec3 F;
      vec3_sub(&b, &a, &F);
      F.normalize();
      vec3 u;
      vec3_cross(&F, &k_z_axis, &u);
      u.normalize();
      const double W = width_of(j);
      if (pass == 0) {
        emit_flat(marker_corner(a, u, W + offset, F, 0.0));
        emit_flat(marker_corner(a, u, W + offset, F, 0.15));
        emit_flat(marker_corner(a, u, W + 1.5 + offset, F, 0.15));
        emit_flat(marker_corner(a, u, W + 1.5 + offset, F, 0.0));
      } else {
        const double s = std::sin(static_cast<double>(j));
        emit_color3f(0.5f, 0.5f, 0.5f);
        emit_flat(marker_corner(a, u, W + s + offset, F, 0.2));
        emit_flat(marker_corner(a, u, W + s + offset, F, 0.6 * (s + 1.0)));
        emit_flat(marker_corner(a, u, W + 0.5 + s + offset, F, 0.6 * (s + 1.0)));
        emit_flat(marker_corner(a, u, W + 0.5 + s + offset, F, 0.2));
      }
    }
    emit_end();
  }
}
