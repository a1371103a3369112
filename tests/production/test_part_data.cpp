#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "production/part_start.hpp"
#include "render/random.hpp"

namespace {

// The generator run by hand: the reference for what the part's data draws.
struct reference_generator {
    explicit reference_generator(std::uint32_t seed) : state(seed) {}
    double unit() {
        state = state * 214013u + 2531011u;
        return static_cast<double>((state >> 16) & 0x7fff) / 32767.0;
    }
    std::uint32_t state;
};

class PartData : public ::testing::Test {
protected:
    void SetUp() override {
        part = std::make_unique<part_start>();
        qm_srand(1);
        part->generate_strands();
        part->generate_walk_path();
        part->generate_scatter_points();
    }
    std::unique_ptr<part_start> part;
};

TEST_F(PartData, StrandsHold150PointsPlusNinePerBend) {
    for (int i = 0; i < 200; ++i) {
        const spline_path& s = part->strand_paths[i];
        ASSERT_EQ(static_cast<std::size_t>(s.count), s.points.size());
        EXPECT_EQ(s.widths.size(), s.points.size());
        EXPECT_EQ(s.spare_a.size(), s.points.size());
        EXPECT_GE(s.points.size(), 150u);
        EXPECT_EQ((s.points.size() - 150) % 9, 0u);
        EXPECT_FALSE(s.closed);
    }
    EXPECT_TRUE(part->strand_paths[200].points.empty());
    // Widths follow 0.15 sin(2.3 j) + 0.2 along the unbent steps.
    EXPECT_FLOAT_EQ(part->strand_paths[5].widths[0].x, 0.2f);
}

TEST_F(PartData, BendCountMatchesTheDraws) {
    // Strand 7's own seed decides its turns and bends: two draws per step.
    reference_generator g(7 + 23423423);
    int bends = 0;
    for (int j = 0; j < 150; ++j) {
        g.unit();
        if (g.unit() < 0.1) ++bends;
    }
    EXPECT_EQ(part->strand_paths[7].points.size(), 150u + 9u * bends);
    // Strand 8 starts from the state strand 7 left: its start y is 3r - 1.5.
    const double r = g.unit();
    const double dx = g.unit();
    const double dy = g.unit();
    const double length = std::hypot(2 * dx - 1, 2 * dy - 1);
    const vec3 first = part->strand_paths[8].points[0];   // start + direction
    EXPECT_NEAR(first.x, (2 * dx - 1) / length, 1e-5);
    EXPECT_NEAR(first.y, 3 * r - 1.5 + (2 * dy - 1) / length, 1e-5);
}

TEST_F(PartData, WalkPathRepeatsAboutOnePositionInTwenty) {
    reference_generator g(4234234);
    int repeats = 0;
    for (int i = 0; i < 1000; ++i)
        if (g.unit() < 0.05) ++repeats;
    const spline_path& walk = part->walk_path;
    EXPECT_EQ(walk.points.size(), 1000u + 5u * repeats);
    EXPECT_EQ(static_cast<std::size_t>(walk.count), walk.points.size());
    EXPECT_TRUE(walk.widths.empty());
    EXPECT_TRUE(walk.closed);
    std::set<float> xs;
    for (const vec3& p : walk.points) xs.insert(p.x);
    EXPECT_EQ(xs.size(), 1000u);
    EXPECT_FLOAT_EQ(walk.points.back().x, 1000.0f);

    // The scatter points continue the same sequence, x first.
    const double x = g.unit();
    const double y = g.unit();
    EXPECT_FLOAT_EQ(part->scatter_points[0].x, static_cast<float>(2 * x - 1));
    EXPECT_FLOAT_EQ(part->scatter_points[0].y, static_cast<float>(2 * y - 1));
    EXPECT_EQ(part->scatter_points[0].state, 1);
    for (int i = 1; i < 1000; ++i) {
        g.unit();
        g.unit();
    }
    EXPECT_EQ(qm_random_state(), g.state);
}

TEST(PartConstruction, StartsWithValidZeroPoints) {
    auto part = std::make_unique<part_start>();
    EXPECT_EQ(part->scatter_points[999].state, 1);
    EXPECT_EQ(part->camera_copy.up.state, 1);
    EXPECT_TRUE(part->strand_paths[0].closed);
    EXPECT_EQ(part->input_copy.points[7].state, 1);
}

}  // namespace
