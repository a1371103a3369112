#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "outline_reader.hpp"
#include "tools/standin/outline_file.hpp"

using namespace standin;

namespace {

OutlineFile sample_file() {
    OutlineFile file;
    file.figures.push_back({});  // a figure without shapes is legal
    OutlineFigure two;
    two.shapes.push_back(make_outline_shape({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 2.5));
    two.shapes.push_back(make_outline_shape({{-1, -1}, {-0.5, -1}, {-0.75, -0.5}}, -1.0));
    file.figures.push_back(two);
    return file;
}

}  // namespace

TEST(OutlineFile, EncodesTheHeaderAndRecordsLittleEndian) {
    OutlineFile file;
    OutlineFigure figure;
    figure.shapes.push_back(make_outline_shape({{1, -1}, {1, 0}, {0, 0}}, 2.0));
    file.figures.push_back(figure);
    std::vector<std::uint8_t> bytes = encode_outline_file(file);
    // 12 header + 4 shape count + 4 point count + 8 depth + 3 points * 4.
    ASSERT_EQ(bytes.size(), 40u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(bytes[12], 1);  // one shape
    EXPECT_EQ(bytes[16], 3);  // three points
    double depth;
    std::memcpy(&depth, &bytes[20], 8);
    EXPECT_EQ(depth, 2.0);
    // (1, -1) in world units is (30000, -30000): 0x7530 and 0x8AD0.
    EXPECT_EQ(bytes[28], 0x30);
    EXPECT_EQ(bytes[29], 0x75);
    EXPECT_EQ(bytes[30], 0xD0);
    EXPECT_EQ(bytes[31], 0x8A);
}

TEST(OutlineFile, RoundTripsThroughAnIndependentReader) {
    OutlineFile file = sample_file();
    auto read = read_outline_bytes(encode_outline_file(file));
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->figures.size(), file.figures.size());
    for (std::size_t f = 0; f < file.figures.size(); ++f) {
        ASSERT_EQ(read->figures[f].size(), file.figures[f].shapes.size());
        for (std::size_t s = 0; s < file.figures[f].shapes.size(); ++s) {
            const OutlineShape& written = file.figures[f].shapes[s];
            const ReadShape& got = read->figures[f][s];
            EXPECT_EQ(got.depth, written.depth);
            ASSERT_EQ(got.xs.size(), written.points.size());
            for (std::size_t p = 0; p < written.points.size(); ++p) {
                EXPECT_EQ(got.xs[p], written.points[p].x);
                EXPECT_EQ(got.ys[p], written.points[p].y);
            }
        }
    }
}

TEST(OutlineFile, ReaderRejectsTruncatedAndPaddedBytes) {
    std::vector<std::uint8_t> bytes = encode_outline_file(sample_file());
    std::vector<std::uint8_t> truncated(bytes.begin(), bytes.end() - 1);
    EXPECT_FALSE(read_outline_bytes(truncated).has_value());
    bytes.push_back(0);
    EXPECT_FALSE(read_outline_bytes(bytes).has_value());
}

TEST(OutlineShapeMaking, TurnsClockwiseContoursAroundKeepingTheFirstPoint) {
    OutlineShape clockwise = make_outline_shape({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    EXPECT_GT(signed_area2(clockwise.points), 0);
    EXPECT_EQ(clockwise.points.front(), (OutlinePoint{0, 0}));
    EXPECT_EQ(clockwise.points[1], (OutlinePoint{30000, 0}));
    OutlineShape counter = make_outline_shape({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_EQ(counter.points, clockwise.points);
}

TEST(OutlineShapeMaking, RoundsToOutlineUnitsAndRejectsWhatTheFormatCannotHold) {
    OutlineShape shape = make_outline_shape({{0.00001, 0}, {1.0922, 0}, {0, -1.0922}});
    EXPECT_EQ(shape.points[0], (OutlinePoint{0, 0}));
    EXPECT_THROW(make_outline_shape({{0, 0}, {1.1, 0}, {0, 1}}), std::invalid_argument);
    EXPECT_THROW(make_outline_shape({{0, 0}, {1, 0}}), std::invalid_argument);
    std::vector<Vec2> too_many(kMaxOutlinePoints + 1, Vec2{0, 0});
    EXPECT_THROW(make_outline_shape(too_many), std::invalid_argument);
}
