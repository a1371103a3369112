// Textured quads, captured through the GL call recorder.
#include "render/gl_emit.hpp"
#include "render/quads.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<gl_call> record(void (*draw)()) {
  gl_recorder rec;
  {
    gl_recording scope(rec);
    draw();
  }
  return rec.calls;
}

void expect_call(const gl_call& c, gl_call::kind k, std::initializer_list<double> args, double tol = 0) {
  ASSERT_EQ(c.op, k);
  size_t i = 0;
  for (double a : args) {
    if (tol == 0) EXPECT_EQ(c.a[i], a) << "argument " << i;
    else EXPECT_NEAR(c.a[i], a, tol) << "argument " << i;
    ++i;
  }
}

// Checks a one-quad block: corners (-1,-1), (1,-1), (1,1), (-1,1) with the
// four given texture coordinates.
void expect_quad(const std::vector<gl_call>& c, size_t first, const double (&uv)[4][2]) {
  ASSERT_GE(c.size(), first + 10);
  ASSERT_EQ(c[first].op, gl_call::kind::begin);
  EXPECT_EQ(c[first].mode, static_cast<GLenum>(GL_QUADS));
  const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    expect_call(c[first + 1 + 2 * k], gl_call::kind::tex_coord2f, {uv[k][0], uv[k][1]});
    expect_call(c[first + 2 + 2 * k], gl_call::kind::vertex3f, {corners[k][0], corners[k][1], 0});
  }
  EXPECT_EQ(c[first + 9].op, gl_call::kind::end);
}

}  // namespace

TEST(Quads, TexturedQuadRotatesThenScales) {
  const auto c = record([] {
    const double angle = 30, sx = 2, sy = 3;
    draw_textured_quad(&angle, &sx, &sy);
  });
  ASSERT_EQ(c.size(), 12u);
  expect_call(c[0], gl_call::kind::rotatef, {30, 0, 0, 1});
  expect_call(c[1], gl_call::kind::scalef, {2, 3, 0});
  expect_quad(c, 2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

TEST(Quads, NegativeWidthMirrorsThePicture) {
  // sx = -2 draws the same square as sx = 2 (scale |sx|) but mirrored in u.
  const auto c = record([] {
    const double angle = 0, sx = -2, sy = 1;
    draw_textured_quad(&angle, &sx, &sy);
  });
  expect_call(c[1], gl_call::kind::scalef, {2, 1, 0});
  expect_quad(c, 2, {{1, 0}, {0, 0}, {0, 1}, {1, 1}});
}

TEST(Quads, ZeroWidthIsAMirroredQuadOfZeroWidth) {
  const auto c = record([] {
    const double angle = 0, sx = 0, sy = 1;
    draw_textured_quad(&angle, &sx, &sy);
  });
  expect_call(c[1], gl_call::kind::scalef, {0, 1, 0});
  expect_quad(c, 2, {{1, 0}, {0, 0}, {0, 1}, {1, 1}});
}

TEST(Quads, RegionKeepsTheOnScreenAspect) {
  // sx = 2, sy = 1, u_start 0.25, v_start 0.5, size 0.5: u 0.25..0.75, v 0.25..0.5.
  const auto c = record([] {
    const double angle = 90, sx = 2, sy = 1;
    draw_textured_quad_region(&angle, &sx, &sy, 0.25, 0.5, 0.5);
  });
  ASSERT_EQ(c.size(), 12u);
  expect_call(c[0], gl_call::kind::scalef, {2, 1, 0});  // scale first, then rotate
  expect_call(c[1], gl_call::kind::rotatef, {90, 0, 0, 1});
  expect_quad(c, 2, {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.5}, {0.25, 0.5}});
}

TEST(Quads, OffsetStripUnshifted) {
  std::fill(std::begin(g_row_offsets), std::end(g_row_offsets), 0.0);
  const auto c = record([] {
    const double angle = 0, sx = 4, sy = 2;
    draw_offset_quad_strip(&angle, &sx, &sy, 0.1, 0.5, 0.3, 123.0, 5.0);
  });
  ASSERT_EQ(c.size(), 2u + 1u + 4000u + 1u);
  expect_call(c[0], gl_call::kind::scalef, {4, 2, 0});
  expect_call(c[1], gl_call::kind::rotatef, {0, 0, 0, 1});
  ASSERT_EQ(c[2].op, gl_call::kind::begin);
  EXPECT_EQ(c[2].mode, static_cast<GLenum>(GL_QUAD_STRIP));
  EXPECT_EQ(c.back().op, gl_call::kind::end);
  // Bottom row: (-1, -1) and (1, -1) with v = 0.
  const float uL = 0.1f, uR = static_cast<float>(0.1 + 0.3);
  expect_call(c[3], gl_call::kind::tex_coord2f, {uL, 0});
  expect_call(c[4], gl_call::kind::vertex3f, {-1, -1, 0});
  expect_call(c[5], gl_call::kind::tex_coord2f, {uR, 0});
  expect_call(c[6], gl_call::kind::vertex3f, {1, -1, 0});
  // Top row 999: y = 0.998, v = 0.999 m with m = k v_start + k size, k = 0.5.
  const double m = 0.5 * 0.5 + 0.5 * 0.3;
  const size_t top = 3 + 4 * 999;
  expect_call(c[top], gl_call::kind::tex_coord2f, {uL, 0.999 * m}, 1e-7);
  expect_call(c[top + 1], gl_call::kind::vertex3f, {-1, 0.998, 0}, 1e-7);
  expect_call(c[top + 3], gl_call::kind::vertex3f, {1, 0.998, 0}, 1e-7);
}

TEST(Quads, OffsetStripShiftsEachRow) {
  for (int i = 0; i < row_offset_count; ++i) g_row_offsets[i] = 0.001 * i;
  const auto c = record([] {
    const double angle = 0, sx = 1, sy = 1;
    draw_offset_quad_strip(&angle, &sx, &sy, 0, 0, 1, 0, 2.0);
  });
  for (int i : {0, 1, 500, 999}) {
    SCOPED_TRACE(i);
    const size_t row = 3 + 4 * static_cast<size_t>(i);
    const double s = 0.001 * i * 2.0, y = 2.0 * i / 1000.0 - 1.0;
    expect_call(c[row + 1], gl_call::kind::vertex3f, {s - 1, y, 0}, 1e-6);
    expect_call(c[row + 3], gl_call::kind::vertex3f, {s + 1, y, 0}, 1e-6);
  }
  std::fill(std::begin(g_row_offsets), std::end(g_row_offsets), 0.0);
}
