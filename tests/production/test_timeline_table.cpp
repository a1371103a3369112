#include <gtest/gtest.h>

#include <vector>

#include "production/scene_timeline.hpp"

namespace {

class SceneTimeline : public ::testing::Test {
protected:
    void SetUp() override { table.init(); }
    std::vector<int> layers_at(double t) {
        const std::int32_t* list = table.active_layers_at(t);
        return std::vector<int>(list, list + table.active_count);
    }
    scene_timeline table;
    bool changed = false;
};

TEST_F(SceneTimeline, LaterRowsWinWhereRowsOverlap) {
    EXPECT_EQ(table.scene_at(&changed, 80.0), 9);
    EXPECT_TRUE(changed);
    EXPECT_EQ(table.scene_at(&changed, 80.01), 1);
    EXPECT_TRUE(changed);
    EXPECT_EQ(table.current_scene_index, 0);
    EXPECT_EQ(table.scene_at(&changed, 80.02), 1);
    EXPECT_FALSE(changed);
    EXPECT_EQ(table.scene_at(&changed, 85.14), 2);
}

TEST_F(SceneTimeline, GapsMatchNothingAndReportAChangeEveryTime) {
    table.scene_at(&changed, 95.0);
    const int row = table.current_scene_index;
    for (double t : {98.5, 100.0, 104.9}) {
        EXPECT_EQ(table.scene_at(&changed, t), 0);
        EXPECT_TRUE(changed);
        EXPECT_EQ(table.current_scene_index, row);
    }
    EXPECT_EQ(table.scene_at(&changed, 281.5), 0);   // between rows 22 and 23
    EXPECT_EQ(table.scene_at(&changed, -1.0), 0);
}

TEST_F(SceneTimeline, NestedRowsSwitchRowsButKeepTheScene) {
    EXPECT_EQ(table.scene_at(&changed, 270.0), 21);
    EXPECT_EQ(table.current_scene_index, 28);
    EXPECT_EQ(table.scene_at(&changed, 270.9), 21);
    EXPECT_TRUE(changed);
    EXPECT_EQ(table.current_scene_index, 29);
    EXPECT_EQ(table.scene_at(&changed, 271.2), 21);
    EXPECT_TRUE(changed);
    EXPECT_EQ(table.current_scene_index, 28);
}

TEST_F(SceneTimeline, ActiveLayersWithTheirOrderFixUps) {
    EXPECT_EQ(layers_at(60.0), (std::vector<int>{1, 10}));
    EXPECT_EQ(layers_at(62.2), (std::vector<int>{1, 2, 10}));
    EXPECT_EQ(layers_at(110.0), (std::vector<int>{2, 4, 3}));
    EXPECT_EQ(layers_at(300.0), (std::vector<int>{9, 8}));
    EXPECT_EQ(layers_at(-0.5), (std::vector<int>{}));
    EXPECT_EQ(layers_at(124.0), (std::vector<int>{3, 5}));
}

}  // namespace
