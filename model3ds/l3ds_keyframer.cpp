// Keyframer object nodes (0xB002): pivot, position keys and rotation keys of
// the mesh the node names.
#include "model3ds/l3ds.hpp"

#include "model3ds/chunk_walk.hpp"

#include <algorithm>

namespace {
// Smallest key records: key header (frame, flags) plus three or four floats.
constexpr std::uint32_t kMinPositionKeyBytes = 4 + 2 + 12;
constexpr std::uint32_t kMinRotationKeyBytes = 4 + 2 + 16;
}  // namespace

void L3DS::ParseNodeBlock(const ChunkSpan& node) {
  EnterChunk(node);
  ChunkSpan header = chunk_with_id(chunk::kNodeHeader);
  if (!LocateSubChunk(header, node)) return;
  EnterChunk(header);
  // Kept as long as object names are, so that every node finds its mesh.
  char name[99];
  TakeText(name, sizeof name);
  if (mesh_index_.find(name) == mesh_index_.end()) return;

  EnterChunk(node);
  ChunkSpan pivot = chunk_with_id(chunk::kPivot);
  if (LocateSubChunk(pivot, node)) {
    EnterChunk(pivot);
    PositionKey p;
    p.x = TakeF32();
    p.y = TakeF32();
    p.z = TakeF32();
    scratch_.pivots.push_back(p);
  }

  EnterChunk(node);
  ChunkSpan positions = chunk_with_id(chunk::kPositionTrack);
  if (LocateSubChunk(positions, node)) {
    EnterChunk(positions);
    TakeU16();  // track flags
    TakeU32();
    const std::uint32_t frames = TakeU32();
    const std::uint32_t count = TakeU32();
    std::uint32_t frame_count = std::max(frame_count_, frames);
    if (static_cast<std::int32_t>(frame_count) < 1) frame_count = 1;
    frame_count_ = std::min(frame_count, kMaxFrames);
    const std::uint32_t keys =
        std::min(BoundedCount(count, positions, kMinPositionKeyBytes), kMaxKeysPerTrack);
    scratch_.position_keys.reserve(keys);
    for (std::uint32_t k = 0; k < keys; ++k) {
      PositionKey key;
      key.frame = TakeKeyHeader();
      key.x = TakeF32();
      key.y = TakeF32();
      key.z = TakeF32();
      scratch_.position_keys.push_back(key);
    }
  }

  EnterChunk(node);
  ChunkSpan rotations = chunk_with_id(chunk::kRotationTrack);
  if (LocateSubChunk(rotations, node)) {
    EnterChunk(rotations);
    TakeU16();  // track flags
    TakeU32();
    TakeU32();  // frame number: only the position track's counts
    const std::uint32_t count = TakeU32();
    const std::uint32_t keys =
        std::min(BoundedCount(count, rotations, kMinRotationKeyBytes), kMaxKeysPerTrack);
    scratch_.rotation_keys.reserve(keys);
    for (std::uint32_t k = 0; k < keys; ++k) {
      RotationKey key;
      key.frame = TakeKeyHeader();
      key.angle = TakeF32();
      key.x = -TakeF32();
      key.y = -TakeF32();
      key.z = -TakeF32();
      scratch_.rotation_keys.push_back(key);
    }
  }
  // The scale track is not used.
  EnterChunk(node);
}
