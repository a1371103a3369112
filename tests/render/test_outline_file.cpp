// Parsing outline files: the layout, the point conversion and every kind of
// malformed image (which must be refused, never read past).
#include "render/outline_file.hpp"

#include "outline_bytes.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::optional<outline_file> parse(const outline_bytes& b, std::string* error = nullptr) {
  return parse_outline(b.bytes, error);
}

outline_bytes two_figures() {
  outline_bytes b;
  b.header(2);
  b.i32(2).shape(1.5, square(100)).shape(-2.0, {{1, 2}, {3, -4}, {5, 6}});
  b.i32(0);
  return b;
}

TEST(OutlineFile, ParsesFiguresShapesAndPointsInFileOrder) {
  const auto file = parse(two_figures());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->unused[0], 7);
  EXPECT_EQ(file->unused[1], -7);
  ASSERT_EQ(file->figures.size(), 2u);
  ASSERT_EQ(file->figures[0].shapes.size(), 2u);
  EXPECT_TRUE(file->figures[1].shapes.empty());
  const outline_shape& s = file->figures[0].shapes[1];
  EXPECT_EQ(s.depth, -2.0);
  ASSERT_EQ(s.points.size(), 3u);
  EXPECT_EQ(s.points[1].x, 3);
  EXPECT_EQ(s.points[1].y, -4);
  EXPECT_EQ(file->figures[0].shapes[0].points.size(), 6u);
}

TEST(OutlineFile, TrailingBytesAreIgnoredAndEmptyFileListIsFine) {
  outline_bytes b = two_figures();
  b.i32(12345);
  EXPECT_TRUE(parse(b));
  outline_bytes empty;
  empty.header(0);
  const auto file = parse(empty);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->figures.empty());
}

TEST(OutlineFile, EveryTruncationIsRefused) {
  const outline_bytes whole = two_figures();
  for (std::size_t n = 0; n < whole.bytes.size(); ++n) {
    outline_bytes cut;
    cut.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + static_cast<long>(n));
    std::string error;
    EXPECT_FALSE(parse(cut, &error)) << "cut at " << n;
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;
  }
}

TEST(OutlineFile, NegativeCountsAreRefused) {
  std::string error;
  outline_bytes n;
  n.header(-1);
  EXPECT_FALSE(parse(n, &error));
  EXPECT_NE(error.find("negative figure count"), std::string::npos) << error;

  outline_bytes p;
  p.header(1).i32(-3);
  EXPECT_FALSE(parse(p, &error));
  EXPECT_NE(error.find("negative shape count"), std::string::npos) << error;

  outline_bytes k;
  k.header(1).i32(1).i32(-1).f64(0.0);
  EXPECT_FALSE(parse(k, &error));
  EXPECT_NE(error.find("negative point count"), std::string::npos) << error;
}

TEST(OutlineFile, HugeCountsAreRefusedWithoutAllocating) {
  outline_bytes n;
  n.header(std::numeric_limits<std::int32_t>::max());
  EXPECT_FALSE(parse(n));
  outline_bytes p;
  p.header(1).i32(std::numeric_limits<std::int32_t>::max());
  EXPECT_FALSE(parse(p));
}

TEST(OutlineFile, ShapeLimitIsTheVertexStore) {
  auto shape_of = [](int k) {
    outline_bytes b;
    b.header(1).i32(1).i32(k).f64(0.0);
    for (int i = 0; i < k; ++i) b.i16(static_cast<std::int16_t>(i)).i16(0);
    return b;
  };
  EXPECT_TRUE(parse(shape_of(outline_max_points)));
  std::string error;
  EXPECT_FALSE(parse(shape_of(outline_max_points + 1), &error));
  EXPECT_NE(error.find("8193 points"), std::string::npos) << error;
}

TEST(OutlineVertex, ScalesToThirtyThousandthsAndDepthTimesScale) {
  const vec3 v = outline_vertex({30000, -30000}, 2.0, 1.0);
  EXPECT_EQ(v.state, 1);
  EXPECT_EQ(v.x, 1.0f);
  EXPECT_EQ(v.y, -1.0f);
  EXPECT_EQ(v.z, static_cast<float>(0.028));
  EXPECT_EQ(outline_vertex({1, 0}, 3.0, 0.5).x, static_cast<float>(1 / 30000.0));
  EXPECT_EQ(outline_vertex({0, 0}, 3.0, 0.5).z, static_cast<float>(3.0 * 0.5 * 0.014));
}

TEST(OutlineVertex, DepthBeyondSinglePrecisionBecomesInfinite) {
  EXPECT_EQ(outline_vertex({0, 0}, 1e300, 1.0).z, std::numeric_limits<float>::infinity());
  EXPECT_EQ(outline_vertex({0, 0}, -1e300, 1.0).z, -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(outline_vertex({0, 0}, std::nan(""), 1.0).z));
}

}  // namespace
