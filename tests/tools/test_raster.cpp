#include <gtest/gtest.h>

#include <set>

#include "tools/standin/digits.hpp"
#include "tools/standin/raster.hpp"

using namespace standin;

TEST(Digits, GlyphsAreDistinctAndOutOfRangeCellsAreEmpty) {
    std::set<std::vector<bool>> glyphs;
    for (char d = '0'; d <= '9'; ++d) {
        std::vector<bool> cells;
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column) cells.push_back(digit_pixel(d, column, row));
        glyphs.insert(cells);
    }
    EXPECT_EQ(glyphs.size(), 10u);
    EXPECT_FALSE(digit_pixel('1', 5, 0));
    EXPECT_FALSE(digit_pixel('8', 0, 7));
    EXPECT_FALSE(digit_pixel('x', 2, 2));
    EXPECT_TRUE(digit_pixel('1', 2, 6));
}

TEST(Digits, DrawnTextCoversItsCellsAndNothingBeyond) {
    Canvas canvas(120, 120);
    draw_digits(canvas, "18", {0.0, 0.0}, 10.0 / 120.0, grey(1.0f));
    // Cells are 10 pixels; '1' has its stem in column 2; '8' starts 60 pixels right, its
    // left column set in row 1 and clear in row 3 (the waist).
    EXPECT_GT(canvas.at(25, 35).g, 0.9f);
    EXPECT_LT(canvas.at(5, 35).g, 0.1f);
    EXPECT_GT(canvas.at(65, 15).g, 0.9f);
    EXPECT_LT(canvas.at(65, 35).g, 0.1f);
    EXPECT_LT(canvas.at(119, 100).g, 0.1f);
}

TEST(Raster, ShapesPaintInsideAndLeaveTheOutsideAlone) {
    Canvas canvas(64, 64, grey(0.0f));
    canvas.paint([](double u, double v) { return circle_distance(u, v, {0.5, 0.5}, 0.25); }, Colour{1, 0, 0}, 0.01);
    EXPECT_FLOAT_EQ(canvas.at(32, 32).r, 1.0f);
    EXPECT_FLOAT_EQ(canvas.at(2, 2).r, 0.0f);
    EXPECT_FLOAT_EQ(canvas.at(32, 32).g, 0.0f);
}

TEST(Raster, PolygonDistanceIsSignedAndExactOnEdges) {
    std::vector<Vec2> square{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    EXPECT_NEAR(polygon_distance(0.5, 0.5, square), -0.5, 1e-12);
    EXPECT_NEAR(polygon_distance(2.0, 0.5, square), 1.0, 1e-12);
    EXPECT_NEAR(polygon_distance(1.0, 0.25, square), 0.0, 1e-12);
}

TEST(Raster, QuantisesToBytesWithClamping) {
    Canvas canvas(2, 1);
    canvas.set(0, 0, Colour{-0.5f, 0.5f, 2.0f});
    canvas.set(1, 0, Colour{1.0f, 0.0f, 0.25f});
    EXPECT_EQ(canvas.to_rgb8(), (std::vector<std::uint8_t>{0, 128, 255, 255, 0, 64}));
}
