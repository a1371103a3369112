// Draw_path_ribbon, captured through the GL call recorder.
#include "render/gl_emit.hpp"
#include "render/spline_path.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct xy {
  double x, y;
};

struct capture {
  std::vector<gl_call> calls;
  std::vector<gl_call> vertices() const {
    std::vector<gl_call> v;
    for (const gl_call& c : calls)
      if (c.op == gl_call::kind::vertex3f) v.push_back(c);
    return v;
  }
  std::vector<gl_call> tex_coords() const {
    std::vector<gl_call> v;
    for (const gl_call& c : calls)
      if (c.op == gl_call::kind::tex_coord2f) v.push_back(c);
    return v;
  }
};

capture stroke(const spline_path& p, double t0, double t1, vec3 tex_offset, double scale,
               double offset, double half_width, double marker) {
  gl_recorder rec;
  {
    gl_recording scope(rec);
    draw_path_ribbon(&p, t0, t1, &tex_offset, scale, offset, half_width, marker);
  }
  return capture{rec.calls};
}

// Points (x0 + i dx, y0 + i dy, z) with widths w0 + i dw; storage trimmed to
// the size so that AddressSanitizer sees any read past the end.
spline_path line_path(int n, float x0, float y0, float dx, float dy, float w0, float dw,
                      float z = 0.0f) {
  spline_path p;
  p.closed = false;
  for (int i = 0; i < n; ++i) {
    const vec3 v{1, x0 + dx * static_cast<float>(i), y0 + dy * static_cast<float>(i), z};
    const float w = w0 + dw * static_cast<float>(i);
    p.append(&v, &w);
  }
  p.points.shrink_to_fit();
  p.widths.shrink_to_fit();
  return p;
}

const vec3 k_no_offset{1, 0.0f, 0.0f, 0.0f};

void expect_vertex(const gl_call& c, double x, double y, double tol = 1e-6) {
  ASSERT_EQ(c.op, gl_call::kind::vertex3f);
  EXPECT_NEAR(c.a[0], x, tol);
  EXPECT_NEAR(c.a[1], y, tol);
  EXPECT_EQ(c.a[2], 0.0);
}

// For a path along +x the pair at x has A = (x, y - width - offset) and
// B = (x, y + width - offset).
void expect_x_pair(const std::vector<gl_call>& v, size_t pair, double x, double y, double width,
                   double offset) {
  ASSERT_GT(v.size(), 2 * pair + 1);
  SCOPED_TRACE(testing::Message() << "pair " << pair);
  expect_vertex(v[2 * pair], x, y - width - offset);
  expect_vertex(v[2 * pair + 1], x, y + width - offset);
}

}  // namespace

TEST(Ribbon, NothingBelowOneOrBackwards) {
  const spline_path p = line_path(8, 0, 0, 1, 0, 0.5f, 0);
  EXPECT_TRUE(stroke(p, 0.0, 0.9, k_no_offset, 1, 0, 0.5, -1).calls.empty());
  EXPECT_TRUE(stroke(p, 3.0, 2.0, k_no_offset, 1, 0, 0.5, -1).calls.empty());
  EXPECT_TRUE(stroke(p, -5.0, -1.0, k_no_offset, 1, 0, 0.5, -1).calls.empty());
}

TEST(Ribbon, FromZeroToOneDrawsTwoPairsAtPointZero) {
  const spline_path p = line_path(8, 0, 0, 1, 0, 0.5f, 0);
  const capture c = stroke(p, 0.0, 1.0, k_no_offset, 1, 0, 0.5, -1);
  ASSERT_EQ(c.calls.size(), 2u + 4u * 2u);  // begin, 4 x (tex, vertex), end
  EXPECT_EQ(c.calls.front().op, gl_call::kind::begin);
  EXPECT_EQ(c.calls.front().mode, static_cast<GLenum>(GL_QUAD_STRIP));
  EXPECT_EQ(c.calls.back().op, gl_call::kind::end);
  const auto v = c.vertices();
  ASSERT_EQ(v.size(), 4u);
  expect_x_pair(v, 0, 0.0, 0.0, 0.5, 0.0);
  expect_x_pair(v, 1, 0.0, 0.0, 0.5, 0.0);
}

TEST(Ribbon, FractionalStartAndEnd) {
  // t0 = 2.5, t1 = 5.25: pairs at 2.5, points 3 and 4, and the end pair at 4.25.
  const spline_path p = line_path(8, 0, 0, 1, 0, 0.5f, 0);
  const auto v = stroke(p, 2.5, 5.25, k_no_offset, 1, 0, 0.5, -1).vertices();
  ASSERT_EQ(v.size(), 8u);
  expect_x_pair(v, 0, 2.5, 0.0, 0.5, 0.0);
  expect_x_pair(v, 1, 3.0, 0.0, 0.5, 0.0);
  expect_x_pair(v, 2, 4.0, 0.0, 0.5, 0.0);
  expect_x_pair(v, 3, 4.25, 0.0, 0.5, 0.0);
}

TEST(Ribbon, FullLengthEndsOnePointEarly) {
  // t0 = 0, t1 = n - 1: points 0 to n - 2, the end pair repeating n - 2.
  const spline_path p = line_path(5, 0, 0, 1, 0, 0.5f, 0);
  const auto v = stroke(p, 0.0, 4.0, k_no_offset, 1, 0, 0.5, -1).vertices();
  ASSERT_EQ(v.size(), 10u);
  const double xs[] = {0, 1, 2, 3, 3};
  for (size_t i = 0; i < 5; ++i) expect_x_pair(v, i, xs[i], 0.0, 0.5, 0.0);
}

TEST(Ribbon, ParametersAreClampedToThePath) {
  const spline_path p = line_path(5, 0, 0, 1, 0, 0.5f, 0);
  const auto a = stroke(p, -3.0, 99.0, k_no_offset, 1, 0, 0.5, -1).vertices();
  const auto b = stroke(p, 0.0, 4.0, k_no_offset, 1, 0, 0.5, -1).vertices();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].a[0], b[i].a[0]);
    EXPECT_EQ(a[i].a[1], b[i].a[1]);
  }
}

TEST(Ribbon, StraightPathAlongXWithSideOffset) {
  // u = (0, -1, 0): A = (x, y - width - offset), B = (x, y + width - offset).
  const spline_path p = line_path(6, 10, 2, 1, 0, 0.5f, 0);
  const auto v = stroke(p, 1.0, 3.0, k_no_offset, 1, 0.25, 0.75, -1).vertices();
  ASSERT_EQ(v.size(), 6u);  // start at 11, inner 12, end at 12
  expect_x_pair(v, 0, 11.0, 2.0, 0.75, 0.25);
  expect_x_pair(v, 1, 12.0, 2.0, 0.75, 0.25);
  expect_x_pair(v, 2, 12.0, 2.0, 0.75, 0.25);
}

TEST(Ribbon, NormalPointsToTheRightOfTheDirection) {
  // Along +y the right-hand side is +x.
  const spline_path up = line_path(4, 0, 0, 0, 1, 0, 0);
  auto v = stroke(up, 0.0, 2.0, k_no_offset, 1, 0, 1.0, -1).vertices();
  ASSERT_EQ(v.size(), 6u);
  expect_vertex(v[0], 1.0, 0.0);
  expect_vertex(v[1], -1.0, 0.0);
  // Along the diagonal (1, 1) it is (1, -1) / sqrt 2.
  const spline_path diag = line_path(4, 0, 0, 1, 1, 0, 0);
  v = stroke(diag, 0.0, 2.0, k_no_offset, 1, 0, 1.0, -1).vertices();
  const double h = std::sqrt(0.5);
  expect_vertex(v[2], 1.0 + h, 1.0 - h);
  expect_vertex(v[3], 1.0 - h, 1.0 + h);
}

TEST(Ribbon, PathZNeverReachesAVertex) {
  const spline_path p = line_path(4, 0, 0, 1, 0, 0.5f, 0, 7.5f);
  for (const gl_call& c : stroke(p, 0.0, 3.0, k_no_offset, 1, 0, 0.5, -1).vertices())
    EXPECT_EQ(c.a[2], 0.0);
}

TEST(Ribbon, TextureCoordinatesFollowTheVertices) {
  const spline_path p = line_path(6, 10, 2, 1, 0, 0.5f, 0);
  const vec3 tex{1, 0.125f, -3.0f, 99.0f};
  const capture c = stroke(p, 0.0, 2.0, tex, 0.15, 0.0, 0.5, -1);
  const auto v = c.vertices();
  const auto t = c.tex_coords();
  ASSERT_EQ(v.size(), t.size());
  // Each texture coordinate comes right before its vertex.
  for (size_t i = 0; i + 1 < c.calls.size(); ++i) {
    if (c.calls[i].op == gl_call::kind::tex_coord2f) {
      EXPECT_EQ(c.calls[i + 1].op, gl_call::kind::vertex3f);
    }
  }
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_NEAR(t[i].a[0], 0.15 * v[i].a[0] + 0.125, 1e-6);
    EXPECT_NEAR(t[i].a[1], 0.15 * v[i].a[1] - 3.0, 1e-6);
  }
}

TEST(Ribbon, ConstantWidthThreshold) {
  // Per-point widths 0.1, 0.2, ... distinguish the two rules.
  const spline_path p = line_path(6, 0, 0, 1, 0, 0.1f, 0.1f);
  auto v = stroke(p, 1.0, 3.0, k_no_offset, 1, 0, 0.00001, -1).vertices();
  ASSERT_EQ(v.size(), 6u);
  for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(v[2 * i + 1].a[1] - v[2 * i].a[1], 2 * 0.00001, 1e-9);
  v = stroke(p, 1.0, 3.0, k_no_offset, 1, 0, 0.000009, -1).vertices();
  ASSERT_EQ(v.size(), 6u);
  // start pair at point 1 (width 0.2), inner point 2 (0.3), end pair at point 2 (0.3)
  expect_x_pair(v, 0, 1.0, 0.0, 0.2, 0.0);
  expect_x_pair(v, 1, 2.0, 0.0, 0.3, 0.0);
  expect_x_pair(v, 2, 2.0, 0.0, 0.3, 0.0);
}

TEST(Ribbon, StartAndEndWidthsAreBlendedInnerWidthsAreNot) {
  const spline_path p = line_path(8, 0, 0, 1, 0, 0.1f, 0.1f);  // width(i) = 0.1 (i + 1)
  const auto v = stroke(p, 2.5, 5.25, k_no_offset, 1, 0, 0.0, -1).vertices();
  ASSERT_EQ(v.size(), 8u);
  expect_x_pair(v, 0, 2.5, 0.0, 0.35, 0.0);   // 0.3 toward 0.4 by 0.5
  expect_x_pair(v, 1, 3.0, 0.0, 0.4, 0.0);
  expect_x_pair(v, 2, 4.0, 0.0, 0.5, 0.0);
  expect_x_pair(v, 3, 4.25, 0.0, 0.525, 0.0);  // 0.5 toward 0.6 by 0.25
}

TEST(Ribbon, StartClampedToTheLastPointReadsNothingPastTheEnd) {
  // Mended fault: the start pair's neighbour was one point past the end.
  const spline_path p = line_path(6, 0, 0, 1, 0, 0.5f, 0.1f);
  for (double t0 : {5.0, 7.0, 1e9}) {
    SCOPED_TRACE(t0);
    const auto v = stroke(p, t0, 9.0, k_no_offset, 1, 0.25, 0.0, -1).vertices();
    ASSERT_EQ(v.size(), 4u);
    // The start pair collapses onto point 5 (no direction, so no side vector).
    expect_vertex(v[0], 5.0, 0.0);
    expect_vertex(v[1], 5.0, 0.0);
    // The end pair sits at t1 - 1 = 4 with width(4) = 0.9 blended by 0.
    expect_x_pair(v, 1, 4.0, 0.0, 0.9, 0.25);
  }
}

TEST(Ribbon, PathWithoutWidthsIsNeverReadForWidths) {
  // Mended fault: walk paths, wire figures and traced lines append points
  // only; with half_width 0 they stroke at half-width 0, reading no record.
  spline_path p;
  p.closed = false;
  for (int i = 0; i < 6; ++i) {
    const vec3 v{1, static_cast<float>(i), 1.0f, 0.0f};
    p.append_point(&v);
  }
  p.points.shrink_to_fit();
  ASSERT_TRUE(p.widths.empty());
  auto v = stroke(p, 0.5, 4.5, k_no_offset, 1, 2.0, 0.0, -1).vertices();
  ASSERT_EQ(v.size(), 10u);
  for (size_t i = 0; i < v.size(); i += 2) {
    EXPECT_EQ(v[i].a[0], v[i + 1].a[0]);
    EXPECT_NEAR(v[i].a[1], 1.0 - 2.0, 1e-6);  // point + u * offset, u = (0, -1)
    EXPECT_NEAR(v[i + 1].a[1], 1.0 - 2.0, 1e-6);
  }
  // With the constant half-width (the wire figures pass 0.25) it strokes normally.
  v = stroke(p, 0.0, 3.0, k_no_offset, 1, 0.0, 0.25, -1).vertices();
  ASSERT_EQ(v.size(), 8u);
  expect_x_pair(v, 1, 1.0, 1.0, 0.25, 0.0);
  // And the marker passes read no width either.
  v = stroke(p, 0.0, 3.0, k_no_offset, 1, 0.0, 0.0, 10.5).vertices();
  EXPECT_EQ(v.size(), 8u + 2u * 8u);
}

TEST(Ribbon, RepeatedPointsGiveACollapsedPair) {
  // A walk path repeats positions; a zero direction has no side vector.
  spline_path p;
  p.closed = false;
  const float w = 0.5f;
  for (float x : {0.0f, 1.0f, 1.0f, 2.0f}) {
    const vec3 v{1, x, 0.0f, 0.0f};
    p.append(&v, &w);
  }
  const auto v = stroke(p, 0.0, 3.0, k_no_offset, 1, 0, 0.5, -1).vertices();
  ASSERT_EQ(v.size(), 8u);
  expect_vertex(v[2], 1.0, 0.0);  // inner pair at point 1: direction p2 - p1 = 0
  expect_vertex(v[3], 1.0, 0.0);
  for (const gl_call& c : v) EXPECT_FALSE(std::isnan(c.a[0]) || std::isnan(c.a[1]));
}

TEST(Ribbon, NoMarkersAtOrBelowThreshold) {
  const spline_path p = line_path(10, 0, 0, 1, 0, 0.5f, 0);
  for (double marker : {-1.0, 0.0, 0.001}) {
    const capture c = stroke(p, 0.0, 3.0, k_no_offset, 1, 0, 0.5, marker);
    EXPECT_EQ(c.calls.back().op, gl_call::kind::end);
    EXPECT_EQ(c.vertices().size(), 8u) << marker;
  }
}

TEST(Ribbon, MarkerPasses) {
  spline_path p = line_path(10, 0, 0, 1, 0, 0.5f, 0);
  p.closed = true;  // marker lookups go through point_at, which wraps here
  const double offset = 0.25, W = 0.5, marker = 10.5;
  const capture c = stroke(p, 0.0, 3.0, k_no_offset, 1, offset, W, marker);
  // Ribbon: begin + 4 pairs + end = 18 calls; then two passes.
  ASSERT_EQ(c.calls.size(), 18u + (3u + 8u) + (3u + 2u * (1u + 4u)));
  size_t i = 18;
  EXPECT_EQ(c.calls[i].op, gl_call::kind::disable);
  EXPECT_EQ(c.calls[i].mode, static_cast<GLenum>(GL_TEXTURE_2D));
  EXPECT_EQ(c.calls[i + 1].op, gl_call::kind::begin);
  EXPECT_EQ(c.calls[i + 1].mode, static_cast<GLenum>(GL_QUADS));
  i += 2;
  // Segments j = 1 and 2: a = point_at(marker + j - n), b one further; on
  // this line a = (j + 0.5, 0), F = (1, 0), u = (0, -1).
  for (int j = 1; j <= 2; ++j) {
    const double ax = j + 0.5;
    expect_vertex(c.calls[i++], ax, -(W + offset));
    expect_vertex(c.calls[i++], ax + 0.15, -(W + offset));
    expect_vertex(c.calls[i++], ax + 0.15, -(W + 1.5 + offset));
    expect_vertex(c.calls[i++], ax, -(W + 1.5 + offset));
  }
  EXPECT_EQ(c.calls[i++].op, gl_call::kind::end);
  EXPECT_EQ(c.calls[i].op, gl_call::kind::disable);
  EXPECT_EQ(c.calls[i + 1].op, gl_call::kind::begin);
  i += 2;
  for (int j = 1; j <= 2; ++j) {
    const double ax = j + 0.5, s = std::sin(static_cast<double>(j));
    ASSERT_EQ(c.calls[i].op, gl_call::kind::color3f);
    EXPECT_EQ(c.calls[i].a[0], 0.5);
    EXPECT_EQ(c.calls[i].a[1], 0.5);
    EXPECT_EQ(c.calls[i].a[2], 0.5);
    ++i;
    expect_vertex(c.calls[i++], ax + 0.2, -(W + s + offset), 1e-5);
    expect_vertex(c.calls[i++], ax + 0.6 * (s + 1), -(W + s + offset), 1e-5);
    expect_vertex(c.calls[i++], ax + 0.6 * (s + 1), -(W + 0.5 + s + offset), 1e-5);
    expect_vertex(c.calls[i++], ax + 0.2, -(W + 0.5 + s + offset), 1e-5);
  }
  EXPECT_EQ(c.calls[i++].op, gl_call::kind::end);
  EXPECT_EQ(i, c.calls.size());
}

TEST(Ribbon, EmptyOrNanInputsDrawNothing) {
  spline_path empty;
  EXPECT_TRUE(stroke(empty, 0.0, 5.0, k_no_offset, 1, 0, 0.5, -1).calls.empty());
  const spline_path p = line_path(5, 0, 0, 1, 0, 0.5f, 0);
  EXPECT_TRUE(stroke(p, std::nan(""), 3.0, k_no_offset, 1, 0, 0.5, -1).calls.empty());
  EXPECT_TRUE(stroke(p, 0.0, std::nan(""), k_no_offset, 1, 0, 0.5, -1).calls.empty());
}
