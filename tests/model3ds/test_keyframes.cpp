// Keyframe sampling: linear per-frame values between keys.
#include "scene_bytes.hpp"

#include <gtest/gtest.h>

#include <random>

namespace {

float pos_x(const KeyframeTrack& t, std::size_t f) { return t.position_samples[f * 3]; }
float angle(const KeyframeTrack& t, std::size_t f) { return t.rotation_samples[f * 4 + 3]; }

// Straightforward forward sampling (keys in file order, later ones written
// over earlier ones) to check the tracks against.
std::vector<float> reference_positions(const std::vector<PositionKey>& keys, std::uint32_t frames) {
  std::vector<float> out(std::size_t{frames} * 3, 0.0f);
  for (std::uint32_t f = 0; f < frames && !keys.empty(); ++f) {
    out[f * 3] = keys[0].x;
    out[f * 3 + 1] = keys[0].y;
    out[f * 3 + 2] = keys[0].z;
  }
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const bool next = k + 1 < keys.size();
    const PositionKey& a = keys[k];
    const PositionKey& b = next ? keys[k + 1] : a;
    const std::uint32_t end = std::min(next ? b.frame : frames, frames);
    for (std::uint32_t f = a.frame; f < end; ++f) {
      const float t = static_cast<float>(f - a.frame) / static_cast<float>(end - a.frame);
      out[f * 3] = a.x + t * (b.x - a.x);
      out[f * 3 + 1] = a.y + t * (b.y - a.y);
      out[f * 3 + 2] = a.z + t * (b.z - a.z);
    }
  }
  return out;
}

}  // namespace

TEST(Model3dsKeyframes, PositionsInterpolateAndHoldTheLastKey) {
  KeyframeTrack t;
  t.position_keys = {{0, 0, 0, 0}, {10, 0, 0, 10}};
  t.SampleRotations(20);
  t.SamplePositions(20);
  EXPECT_FLOAT_EQ(pos_x(t, 5), 5.0f);
  for (std::size_t f = 10; f < 20; ++f) EXPECT_EQ(pos_x(t, f), 10.0f) << f;
  EXPECT_TRUE(t.position_keys.empty());

  KeyframeTrack single;
  single.position_keys = {{1, 2, 3, 5}};
  single.SampleRotations(10);
  single.SamplePositions(10);
  for (std::size_t f = 0; f < 10; ++f) {
    EXPECT_EQ(single.position_samples[f * 3 + 0], 1.0f);
    EXPECT_EQ(single.position_samples[f * 3 + 2], 3.0f);
  }
}

TEST(Model3dsKeyframes, RotationAnglesAccumulateAfterTheFirstKey) {
  KeyframeTrack t;
  t.rotation_keys = {{1, 0, 0, 0.5f, 0}, {0, 1, 0, 1.0f, 10}, {0, 0, 1, 2.0f, 20}};
  t.SampleRotations(30);
  EXPECT_EQ(t.first_rotation[0], 1.0f);
  EXPECT_EQ(t.first_rotation[3], 0.5f);
  EXPECT_FLOAT_EQ(angle(t, 5), 0.5f);
  EXPECT_FLOAT_EQ(angle(t, 10), 1.0f);
  EXPECT_FLOAT_EQ(angle(t, 15), 2.0f);
  for (std::size_t f = 20; f < 30; ++f) EXPECT_FLOAT_EQ(angle(t, f), 3.0f);
  // The first interval starts from the zero axis towards key 1's axis.
  EXPECT_EQ(t.rotation_samples[0], 0.0f);
  EXPECT_FLOAT_EQ(t.rotation_samples[5 * 4 + 1], 0.5f);

  KeyframeTrack one;
  one.rotation_keys = {{1, 0, 0, 0.7f, 3}};
  one.SampleRotations(8);
  for (float v : one.rotation_samples) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(one.first_rotation[3], 0.7f);
}

// Keys out of frame order overlap; the later key wins wherever they do.
TEST(Model3dsKeyframes, UnorderedKeysMatchForwardSampling) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<std::uint32_t> frame(0, 60);
  std::uniform_real_distribution<float> value(-5, 5);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<PositionKey> keys(1 + trial % 7);
    for (PositionKey& k : keys) k = PositionKey{value(rng), value(rng), value(rng), frame(rng)};
    const std::uint32_t frames = 1 + frame(rng);
    KeyframeTrack t;
    t.position_keys = keys;
    t.SampleRotations(frames);
    t.SamplePositions(frames);
    ASSERT_EQ(t.position_samples, reference_positions(keys, frames)) << "trial " << trial;
  }
}

TEST(Model3dsKeyframes, NodesFeedTheirMeshTrack) {
  NodeSpec node{"Box", true, {1, 2, 3}, 10, {{0, 0, 0, 0}, {4, 0, 0, 4}},
                {{1, 0, 0, 0.25f, 0}, {0, 1, 0, 1.0f, 10}}};
  const auto bytes = scene_bytes(
      [](ChunkBuilder& b) {
        mesh_object("Box", [](ChunkBuilder& m) {
          vertex_list({{0, 0, 0}})(m);
          m.begin(0x4160).f32s({2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}).end();
        })(b);
      },
      [&](ChunkBuilder& k) { object_node(k, node); });
  L3DS r;
  ASSERT_TRUE(parse_exact(r, bytes));
  EXPECT_EQ(r.FrameCount(), 10u);
  ASSERT_EQ(r.Tracks().size(), 1u);
  const KeyframeTrack& t = r.Tracks()[0];
  // Stored axes are the file's negated; the pivot takes the axis scale and
  // the sign of the re-basing.
  EXPECT_EQ(t.first_rotation[0], -1.0f);
  EXPECT_EQ(t.first_rotation[3], 0.25f);
  EXPECT_FLOAT_EQ(t.rotation_samples[5 * 4 + 1], -0.5f);
  EXPECT_FLOAT_EQ(t.rotation_samples[5 * 4 + 3], 0.5f);
  EXPECT_FLOAT_EQ(pos_x(t, 2), 2.0f);
  EXPECT_FLOAT_EQ(t.pivot.x, -2.0f);
  EXPECT_FLOAT_EQ(t.pivot.z, -6.0f);
  EXPECT_TRUE(t.pivots.empty());
  EXPECT_TRUE(t.rotation_keys.empty());
}
