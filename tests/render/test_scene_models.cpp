#include <gtest/gtest.h>

#include <memory>

#include "render/scene_context.hpp"

namespace {

TEST(SceneContextModels, EveryImporterStartsEmpty) {
    auto scene = std::make_unique<scene_context>();
    for (const L3DS& model : scene->models) {
        ASSERT_TRUE(model.Meshes().empty());
        ASSERT_TRUE(model.Materials().empty());
        ASSERT_TRUE(model.Lights().empty());
        ASSERT_TRUE(model.Cameras().empty());
        ASSERT_EQ(model.FrameCount(), 0u);
    }
}

TEST(SceneContextModels, ImportersSitBetweenTheSlotRecordsAndTheOwnedBlocks) {
    auto scene = std::make_unique<scene_context>();
    const auto* records_end = reinterpret_cast<const char*>(scene->slot_records + scene_context::slot_record_count);
    const auto* models = reinterpret_cast<const char*>(scene->models);
    const auto* blocks = reinterpret_cast<const char*>(scene->owned_blocks);
    EXPECT_LE(records_end, models);
    EXPECT_LT(models, blocks);
}

}  // namespace
