// Keyframe tracks of the 3DS keyframer and their linear per-frame sampling.
#pragma once

#include "model3ds/objects.hpp"

#include <cstdint>
#include <vector>

struct PositionKey {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  std::uint32_t frame = 0;
};

// The axis is stored negated relative to the file.
struct RotationKey {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float angle = 0.0f;
  std::uint32_t frame = 0;
};

class KeyframeTrack {
 public:
  // Empties the keys and pivots (samples, pivot and first rotation stay).
  void Clear();

  // Rotation pass: sizes both sample arrays to frame_count frames, takes the
  // pivot from the first pivot key and fills the rotation samples (axis x, y,
  // z and accumulated angle, relative to first_rotation).
  void SampleRotations(std::uint32_t frame_count);
  // Position pass: fills the position samples, then empties the position and
  // rotation keys.
  void SamplePositions(std::uint32_t frame_count);

  std::vector<PositionKey> pivots;
  std::vector<RotationKey> rotation_keys;
  std::vector<PositionKey> position_keys;
  std::vector<float> rotation_samples;  // frame_count x 4
  std::vector<float> position_samples;  // frame_count x 3
  float3 pivot;
  float first_rotation[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};
