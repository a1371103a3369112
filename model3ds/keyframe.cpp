// Per-frame sampling of keyframe tracks: each key interpolates linearly
// towards the next one over the frames between them.
#include "model3ds/keyframe.hpp"

#include <algorithm>
#include <numeric>

namespace {

// Frames [start, end) run from `from` to `to`.
template <int D>
struct Segment {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  float from[D] = {};
  float to[D] = {};
};

// Writes the segments into samples (D floats per frame) as if they were
// written in order, later ones over earlier ones. Keys need not be sorted, so
// segments may overlap: painting from the last segment back and skipping
// frames already painted gives the same result in time linear in the frame
// count, whatever the key order.
template <int D>
void paint_segments(const std::vector<Segment<D>>& segments, std::uint32_t frame_count,
                    std::vector<float>& samples) {
  if (segments.empty() || frame_count == 0) return;
  // next_free[f]: the first frame at or after f not painted yet (frame_count
  // when none), found with path halving.
  std::vector<std::uint32_t> next_free(static_cast<std::size_t>(frame_count) + 1);
  std::iota(next_free.begin(), next_free.end(), 0u);
  const auto find = [&next_free](std::uint32_t f) {
    while (next_free[f] != f) {
      next_free[f] = next_free[next_free[f]];
      f = next_free[f];
    }
    return f;
  };
  for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
    const Segment<D>& s = *it;
    const float span = static_cast<float>(s.end - s.start);
    for (std::uint32_t f = find(s.start); f < s.end; f = find(f)) {
      const float t = static_cast<float>(f - s.start) / span;
      float* out = &samples[static_cast<std::size_t>(f) * D];
      for (int c = 0; c < D; ++c) out[c] = s.from[c] + t * (s.to[c] - s.from[c]);
      next_free[f] = f + 1;
    }
  }
}

std::uint32_t segment_end(std::uint32_t next_frame, bool has_next, std::uint32_t frame_count) {
  const std::uint32_t end = has_next ? next_frame : frame_count;
  return std::min(end, frame_count);
}

}  // namespace

void KeyframeTrack::Clear() {
  rotation_keys.clear();
  position_keys.clear();
  pivots.clear();
}

void KeyframeTrack::SampleRotations(std::uint32_t frame_count) {
  rotation_samples.assign(static_cast<std::size_t>(frame_count) * 4, 0.0f);
  position_samples.assign(static_cast<std::size_t>(frame_count) * 3, 0.0f);
  pivot = pivots.empty() ? float3{} : float3{pivots[0].x, pivots[0].y, pivots[0].z};

  // The first key's angle is held in first_rotation only; the samples start
  // from a zero rotation and accumulate the angles of the later keys.
  std::vector<Segment<4>> segments;
  segments.reserve(rotation_keys.size());
  float accumulated = 0.0f;
  const std::size_t n = rotation_keys.size();
  for (std::size_t k = 0; k < n; ++k) {
    const RotationKey& key = rotation_keys[k];
    const bool has_next = k + 1 < n;
    Segment<4> s;
    s.start = key.frame;
    s.end = segment_end(has_next ? rotation_keys[k + 1].frame : 0, has_next, frame_count);
    if (k == 0) {
      first_rotation[0] = key.x;
      first_rotation[1] = key.y;
      first_rotation[2] = key.z;
      first_rotation[3] = key.angle;
    } else {
      s.from[0] = key.x;
      s.from[1] = key.y;
      s.from[2] = key.z;
      s.from[3] = accumulated;
    }
    if (has_next) {
      const RotationKey& next = rotation_keys[k + 1];
      accumulated += next.angle;
      s.to[0] = next.x;
      s.to[1] = next.y;
      s.to[2] = next.z;
      s.to[3] = accumulated;
    } else {
      std::copy_n(s.from, 4, s.to);
    }
    if (s.end > s.start) segments.push_back(s);
  }
  paint_segments(segments, frame_count, rotation_samples);
}

void KeyframeTrack::SamplePositions(std::uint32_t frame_count) {
  position_samples.resize(static_cast<std::size_t>(frame_count) * 3);
  const float3 first = position_keys.empty()
                           ? float3{}
                           : float3{position_keys[0].x, position_keys[0].y, position_keys[0].z};
  for (std::size_t f = 0; f < frame_count; ++f) {
    position_samples[f * 3 + 0] = first.x;
    position_samples[f * 3 + 1] = first.y;
    position_samples[f * 3 + 2] = first.z;
  }

  std::vector<Segment<3>> segments;
  segments.reserve(position_keys.size());
  const std::size_t n = position_keys.size();
  for (std::size_t k = 0; k < n; ++k) {
    const PositionKey& key = position_keys[k];
    const bool has_next = k + 1 < n;
    const PositionKey& target = has_next ? position_keys[k + 1] : key;
    Segment<3> s;
    s.start = key.frame;
    s.end = segment_end(target.frame, has_next, frame_count);
    s.from[0] = key.x;
    s.from[1] = key.y;
    s.from[2] = key.z;
    s.to[0] = target.x;
    s.to[1] = target.y;
    s.to[2] = target.z;
    if (s.end > s.start) segments.push_back(s);
  }
  paint_segments(segments, frame_count, position_samples);

  position_keys.clear();
  rotation_keys.clear();
}
