// The frame input block.
#include "shell/frame_input.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>

namespace {

void expect_trailing_points(const frame_input& f) {
  for (const vec3& p : f.points) {
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
  }
}

}  // namespace

TEST(FrameInput, DefaultConstructed) {
  const frame_input f;
  EXPECT_TRUE(f.captured_points.empty());
  expect_trailing_points(f);
}

TEST(FrameInput, ValueInitialisedEvenOnDirtyStorage) {
  // Most fields could be left "as the storage holds it"; here they are
  // zero wherever the block lives (the part's heap copy included).
  alignas(frame_input) unsigned char storage[sizeof(frame_input)];
  std::memset(storage, 0xAB, sizeof storage);
  frame_input* f = new (storage) frame_input;
  for (double d : f->camera_offset) EXPECT_EQ(d, 0.0);
  EXPECT_EQ(f->leftright_control, 0.0);
  EXPECT_EQ(f->updown_control, 0.0);
  EXPECT_EQ(f->seek_request, 0);
  for (double d : f->look_point) EXPECT_EQ(d, 0.0);
  for (bool b : f->flags_a) EXPECT_FALSE(b);
  for (bool b : f->flags_b) EXPECT_FALSE(b);
  EXPECT_EQ(f->demo_time, 0.0);
  EXPECT_EQ(f->scene_id, 0);
  EXPECT_EQ(f->scene_row, 0);
  for (float s : f->spectrum) EXPECT_EQ(s, 0.0f);
  for (double d : f->output_block) EXPECT_EQ(d, 0.0);
  for (double d : f->constant_block) EXPECT_EQ(d, 0.0);
  expect_trailing_points(*f);
  f->~frame_input();

  auto heap = std::make_unique<frame_input>();
  EXPECT_EQ(heap->part_time_out(), 0.0);
  EXPECT_FALSE(heap->exit_request());
}

TEST(FrameInput, NamedElements) {
  frame_input f;
  f.part_time_out() = 12.5;
  f.fade_level() = 0.25;
  f.unit_value() = 1.0;
  f.exit_request() = true;
  EXPECT_EQ(f.output_block[0], 12.5);
  EXPECT_EQ(f.output_block[10], 0.25);
  EXPECT_EQ(f.constant_block[0], 1.0);
  EXPECT_TRUE(f.flags_b[9]);
}

TEST(FrameInput, CopyOwnsItsOwnPointList) {
  frame_input src;
  for (int i = 0; i < 3; ++i) src.captured_points.push_back(vec3{1, 1.0f * i, 2.0f, 3.0f});
  src.demo_time = 42.0;
  src.scene_id = 7;
  src.spectrum[511] = 0.5f;
  src.flags_a[0] = true;
  src.points[3] = vec3{2, 9.0f, 9.0f, 9.0f};

  frame_input copy;
  copy = src;
  ASSERT_EQ(copy.captured_points.size(), 3u);
  EXPECT_NE(copy.captured_points.data(), src.captured_points.data());
  src.captured_points.push_back(vec3{1, 5, 5, 5});
  src.captured_points[0].x = -1.0f;
  EXPECT_EQ(copy.captured_points.size(), 3u);  // appending to the source leaves the copy at three
  EXPECT_EQ(copy.captured_points[0].x, 0.0f);
  EXPECT_EQ(copy.captured_points[2].x, 2.0f);
  // every other field copied member-wise
  EXPECT_EQ(copy.demo_time, 42.0);
  EXPECT_EQ(copy.scene_id, 7);
  EXPECT_EQ(copy.spectrum[511], 0.5f);
  EXPECT_TRUE(copy.flags_a[0]);
  EXPECT_EQ(copy.points[3].state, 2);
  EXPECT_EQ(copy.points[3].x, 9.0f);

  // copying back the other way, and the copy constructor
  frame_input again(copy);
  EXPECT_EQ(again.captured_points.size(), 3u);
  copy.captured_points.clear();
  EXPECT_EQ(again.captured_points.size(), 3u);
}

TEST(FrameInput, SelfAssignmentKeepsTheBlock) {
  frame_input f;
  f.captured_points.push_back(vec3{1, 1, 2, 3});
  frame_input& alias = f;
  f = alias;
  ASSERT_EQ(f.captured_points.size(), 1u);
  EXPECT_EQ(f.captured_points[0].z, 3.0f);
}
