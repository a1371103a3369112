// Spline_path construction, clear, append and point_at.
#include "render/spline_path.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

vec3 pt(float x, float y, float z) { return vec3{1, x, y, z}; }

// Points that are not on any low-degree curve, so wrong neighbours show.
vec3 sample_point(int i) {
  return pt(0.5f * static_cast<float>(i * i), std::sin(static_cast<float>(i)),
            0.25f * static_cast<float>(i) - 1.0f);
}

spline_path make_path(int n, bool closed) {
  spline_path p;
  p.closed = closed;
  for (int i = 0; i < n; ++i) {
    const vec3 v = sample_point(i);
    const float w = 0.1f * static_cast<float>(i + 1);
    p.append(&v, &w);
  }
  return p;
}

// Independent reference: the Catmull-Rom basis in its textbook form,
// 0.5 (2 P1 + (P2 - P0) f + (2 P0 - 5 P1 + 4 P2 - P3) f^2 + (-P0 + 3 P1 - 3 P2 + P3) f^3).
double catmull_rom(double p0, double p1, double p2, double p3, double f) {
  return 0.5 * (2 * p1 + (p2 - p0) * f + (2 * p0 - 5 * p1 + 4 * p2 - p3) * f * f +
                (-p0 + 3 * p1 - 3 * p2 + p3) * f * f * f);
}

void expect_cubic(const vec3& got, const spline_path& p, int i0, int i1, int i2, int i3, double f) {
  const vec3 &a = p.points[i0], &b = p.points[i1], &c = p.points[i2], &d = p.points[i3];
  const double tol = 1e-5;
  EXPECT_NEAR(got.x, catmull_rom(a.x, b.x, c.x, d.x, f), tol * (1 + std::fabs(got.x)));
  EXPECT_NEAR(got.y, catmull_rom(a.y, b.y, c.y, d.y, f), tol * (1 + std::fabs(got.y)));
  EXPECT_NEAR(got.z, catmull_rom(a.z, b.z, c.z, d.z, f), tol * (1 + std::fabs(got.z)));
}

vec3 eval(const spline_path& p, float t, int preset_state = 1) {
  vec3 out{preset_state, 0.0f, 0.0f, 0.0f};
  p.point_at(t, &out);
  return out;
}

void expect_point(const vec3& got, const vec3& want) {
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
  EXPECT_EQ(got.z, want.z);
}

}  // namespace

TEST(SplinePath, ConstructionAndClear) {
  spline_path p;
  EXPECT_TRUE(p.closed);
  EXPECT_EQ(p.count, 0);
  EXPECT_EQ(p.mode, 3);
  EXPECT_EQ(p.spare_value, 0.0);
  EXPECT_TRUE(p.points.empty() && p.widths.empty() && p.spare_a.empty() && p.spare_b.empty());

  const vec3 v = pt(1, 2, 3);
  const float w = 0.75f;
  p.append(&v, &w);
  p.append(&v, &w);
  ASSERT_EQ(p.count, 2);
  ASSERT_EQ(p.points.size(), 2u);
  ASSERT_EQ(p.widths.size(), 2u);
  EXPECT_EQ(p.widths[1].state, 1);
  EXPECT_EQ(p.widths[1].x, 0.75f);
  EXPECT_EQ(p.widths[1].y, 0.0f);
  EXPECT_EQ(p.widths[1].z, 0.0f);

  p.spare_a.push_back(v);
  p.spare_b.push_back(v);
  p.mode = 7;
  p.spare_value = 4.0;
  p.closed = false;
  p.clear();
  EXPECT_EQ(p.count, 0);
  EXPECT_EQ(p.mode, 3);
  EXPECT_EQ(p.spare_value, 0.0);
  EXPECT_TRUE(p.points.empty() && p.widths.empty() && p.spare_a.empty());
  EXPECT_EQ(p.spare_b.size(), 1u);  // spare_b keeps its elements
  EXPECT_FALSE(p.closed);           // clear does not touch closed
}

TEST(SplinePath, AppendPointAddsNoWidth) {
  spline_path p;
  const vec3 v = pt(1, 0, 0);
  p.append_point(&v);
  p.append_point(&v);
  EXPECT_EQ(p.count, 2);
  EXPECT_EQ(p.points.size(), 2u);
  EXPECT_TRUE(p.widths.empty());
  EXPECT_EQ(p.width_at(0), 0.0f);
  EXPECT_EQ(p.width_at(-1), 0.0f);
}

TEST(SplinePath, IntegerIndicesGiveThePointsThemselves) {
  for (bool closed : {false, true}) {
    const spline_path p = make_path(10, closed);
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(testing::Message() << "closed " << closed << " i " << i);
      // closed: 10000 n + i is exact in float for n = 10
      expect_point(eval(p, static_cast<float>(i)), p.points[i]);
    }
  }
}

TEST(SplinePath, FractionalIndexInTheMiddle) {
  for (bool closed : {false, true}) {
    const spline_path p = make_path(10, closed);
    expect_cubic(eval(p, 4.25f), p, 3, 4, 5, 6, 0.25);
    expect_cubic(eval(p, 2.5f), p, 1, 2, 3, 4, 0.5);  // t > 2 strictly
    expect_cubic(eval(p, 7.75f), p, 6, 7, 8, 9, 0.75);
  }
}

TEST(SplinePath, PointAtLeavesOutStateAlone) {
  const spline_path p = make_path(10, false);
  EXPECT_EQ(eval(p, 4.5f, 2).state, 2);
  EXPECT_EQ(eval(p, 4.5f, 0).state, 0);
  const spline_path c = make_path(10, true);
  EXPECT_EQ(eval(c, 0.5f, 0).state, 0);
}

TEST(SplinePath, OpenPathClampsAtBothEnds) {
  spline_path p = make_path(10, false);
  p.points[0].state = 2;  // the copy at the ends carries the point's state
  p.points[9].state = 2;

  const vec3 before = eval(p, -1.0f, 0);
  expect_point(before, p.points[0]);
  EXPECT_EQ(before.state, 2);

  const vec3 after = eval(p, 10.5f, 0);
  expect_point(after, p.points[9]);
  EXPECT_EQ(after.state, 2);

  // t = 9.5: index 9, neighbours i-1..i+2 = 8, 9, 10, 11 clamped to 8, 9, 9, 9.
  expect_cubic(eval(p, 9.5f), p, 8, 9, 9, 9, 0.5);
  // t = 0.5: neighbours -1, 0, 1, 2 clamped to 0, 0, 1, 2.
  expect_cubic(eval(p, 0.5f), p, 0, 0, 1, 2, 0.5);
  // t = 1.5 (not > 2): the open branch, neighbours 0, 1, 2, 3.
  expect_cubic(eval(p, 1.5f), p, 0, 1, 2, 3, 0.5);
  // t = 10 exactly is not past n: index clamped to 9, fraction 0.
  expect_point(eval(p, 10.0f), p.points[9]);
}

TEST(SplinePath, ClosedPathWrapsNeighbours) {
  const spline_path p = make_path(5, true);
  // t = 0.5: 50000.5 is exact in float; i = 0, neighbours 4, 0, 1, 2.
  expect_cubic(eval(p, 0.5f), p, 4, 0, 1, 2, 0.5);
  // t = 3.5 (not < n - 2 = 3): i = 3, neighbours 2, 3, 4, 0.
  expect_cubic(eval(p, 3.5f), p, 2, 3, 4, 0, 0.5);
  // t = 4.5: i = 4, neighbours 3, 4, 0, 1.
  expect_cubic(eval(p, 4.5f), p, 3, 4, 0, 1, 0.5);
  // t = 5.25 wraps to index 0: neighbours 4, 0, 1, 2.
  expect_cubic(eval(p, 5.25f), p, 4, 0, 1, 2, 0.25);
  // t = -0.75 is index 4 of the previous lap, fraction 0.25: neighbours 3, 4, 0, 1.
  expect_cubic(eval(p, -0.75f), p, 3, 4, 0, 1, 0.25);
}

TEST(SplinePath, ClosedLookupIsQuantisedInSinglePrecision) {
  // Points along x at 0, 1, 2, ...: on such a line the cubic is linear, so
  // x shows the fraction the lookup really used.
  spline_path line;
  line.closed = true;
  for (int i = 0; i < 10; ++i) {
    const vec3 v = pt(static_cast<float>(i), 0, 0);
    const float w = 1;
    line.append(&v, &w);
  }
  // t = 1.3: 100001.3 in float is 100001.296875 (spacing 1/128).
  EXPECT_EQ(eval(line, 1.3f).x, 1.296875f);
  // In the middle range (2 < t < n - 2) there is no quantisation.
  EXPECT_NEAR(eval(line, 3.3f).x, 3.3f, 1e-6);
  // The open path at 1.3 has none either.
  line.closed = false;
  EXPECT_NEAR(eval(line, 1.3f).x, 1.3f, 1e-6);

  // With 1000 points t + 10^7 has spacing 1: the fraction vanishes.
  spline_path big;
  big.closed = true;
  for (int i = 0; i < 1000; ++i) {
    const vec3 v = sample_point(i % 37);
    const float w = 1;
    big.append(&v, &w);
  }
  expect_point(eval(big, 1.3f), big.points[1]);
  expect_point(eval(big, 0.6f), big.points[1]);  // 10000000.6 rounds up to 10000001
}

TEST(SplinePath, ClosedPathWithFewerThanThreePoints) {
  // Mended fault: the neighbour rule read past the end for n < 3.
  spline_path one = make_path(1, true);
  one.points.shrink_to_fit();
  expect_point(eval(one, 0.5f), one.points[0]);
  expect_point(eval(one, 3.7f), one.points[0]);

  spline_path two = make_path(2, true);
  two.points.shrink_to_fit();
  // i = 0: neighbours 1, 0, 1, 0 -> zero tangents, smoothstep between the two.
  const vec3 mid = eval(two, 0.5f);
  expect_cubic(mid, two, 1, 0, 1, 0, 0.5);
  EXPECT_NEAR(mid.x, 0.5 * (two.points[0].x + two.points[1].x), 1e-6);
  // i = 1: neighbours 0, 1, 0, 1.
  expect_cubic(eval(two, 1.25f), two, 0, 1, 0, 1, 0.25);
}

TEST(SplinePath, EmptyPathLeavesOutUntouched) {
  // Mended fault: the closed rule divided by zero for an empty path.
  for (bool closed : {false, true}) {
    spline_path p;
    p.closed = closed;
    vec3 out{2, 7.0f, 8.0f, 9.0f};
    p.point_at(0.5f, &out);
    EXPECT_EQ(out.state, 2);
    EXPECT_EQ(out.x, 7.0f);
    EXPECT_EQ(out.y, 8.0f);
    EXPECT_EQ(out.z, 9.0f);
  }
}

TEST(SplinePath, CountLargerThanThePointsIsNotReadPastTheEnd) {
  spline_path p = make_path(4, false);
  p.points.shrink_to_fit();
  p.count = 9;  // a caller's slip: the path uses the points it holds
  expect_point(eval(p, 100.0f), p.points[3]);
}

TEST(SplinePath, HugeAndNonFiniteParametersAreSafe) {
  const spline_path open = make_path(10, false);
  expect_point(eval(open, 1e30f), open.points[9]);
  expect_point(eval(open, -1e30f), open.points[0]);
  const spline_path closed = make_path(10, true);
  const vec3 r = eval(closed, 1e30f);  // fraction 0 at that magnitude
  EXPECT_FALSE(std::isnan(r.x));
  (void)eval(closed, std::nanf(""));  // defined behaviour, any result
}

TEST(SplinePath, SquareOfTheFractionIsRoundedToFloat) {
  // Neighbours 0, 1000, 5000, -3000 at t = 3.104 (f = 0.104 in float): with
  // f^2 rounded to f32 the cubic is 1348.9078369140625; unrounded it would be
  // 1348.907958984375 (one float step away).
  spline_path p;
  const float xs[] = {7, 7, 0, 1000, 5000, -3000, 9, 9};
  for (float x : xs) {
    const vec3 v = pt(x, 0, 0);
    const float w = 1;
    p.append(&v, &w);
  }
  for (bool closed : {false, true}) {
    p.closed = closed;
    EXPECT_EQ(eval(p, 3.104f).x, 1348.9078369140625f);
    EXPECT_EQ(eval(p, 3.174f).x, 1667.973876953125f);
  }
}
