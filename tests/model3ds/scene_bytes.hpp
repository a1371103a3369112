// Helpers that wrap chunk payloads into whole 3DS scenes and parse them from
// an exactly sized heap copy, so that any over-read shows under AddressSanitizer.
#pragma once

#include "chunk_builder.hpp"
#include "model3ds/l3ds.hpp"

#include <functional>
#include <memory>

using Payload = std::function<void(ChunkBuilder&)>;

// main { editor { editor payload } keyframer { keyframer payload } }; the
// keyframer is left out when its payload is empty.
inline std::vector<std::uint8_t> scene_bytes(const Payload& editor,
                                             const Payload& keyframer = nullptr) {
  ChunkBuilder b;
  b.begin(0x4D4D);
  b.chunk(0x3D3D, editor);
  if (keyframer) b.chunk(0xB000, keyframer);
  b.end();
  return b.bytes();
}

inline bool parse_exact(L3DS& reader, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return reader.ReadModelBuffer(copy.get(), bytes.size());
}

// A named object holding a mesh with the given sub-chunks.
inline Payload mesh_object(const std::string& name, const Payload& mesh_chunks) {
  return [=](ChunkBuilder& b) {
    b.begin(0x4000).text(name);
    b.chunk(0x4100, mesh_chunks);
    b.end();
  };
}

// Vertex list chunk.
inline Payload vertex_list(const std::vector<float3>& vs) {
  return [=](ChunkBuilder& b) {
    b.begin(0x4110).u16(static_cast<std::uint16_t>(vs.size()));
    for (const float3& v : vs) b.f32s({v.x, v.y, v.z});
    b.end();
  };
}

// Keyframer object node naming `name`, with optional pivot and tracks.
struct NodeSpec {
  std::string name;
  bool pivot = false;
  float3 pivot_value;
  std::uint32_t track_frames = 0;  // third field of the track headers
  std::vector<PositionKey> positions;
  std::vector<RotationKey> rotations;  // axis as in the file
};

inline void object_node(ChunkBuilder& b, const NodeSpec& n) {
  b.begin(0xB002);
  b.begin(0xB010).text(n.name).u16(0).u16(0).u16(0xFFFF).end();
  if (n.pivot) b.begin(0xB013).f32s({n.pivot_value.x, n.pivot_value.y, n.pivot_value.z}).end();
  b.begin(0xB020).u16(0).u32(0).u32(n.track_frames).u32(static_cast<std::uint32_t>(n.positions.size()));
  for (const PositionKey& k : n.positions) b.u32(k.frame).u16(0).f32s({k.x, k.y, k.z});
  b.end();
  b.begin(0xB021).u16(0).u32(0).u32(n.track_frames).u32(static_cast<std::uint32_t>(n.rotations.size()));
  for (const RotationKey& k : n.rotations) b.u32(k.frame).u16(0).f32s({k.angle, k.x, k.y, k.z});
  b.end();
  b.end();
}
