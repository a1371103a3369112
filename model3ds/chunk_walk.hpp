// Sub-chunk walking shared by the block readers (internal to the library).
#pragma once

#include "model3ds/l3ds.hpp"

// Chunk ids the readers know.
namespace chunk {
inline constexpr std::uint16_t kMain = 0x4D4D;
inline constexpr std::uint16_t kEditor = 0x3D3D;
inline constexpr std::uint16_t kMaterial = 0xAFFF;
inline constexpr std::uint16_t kMaterialName = 0xA000;
inline constexpr std::uint16_t kAmbient = 0xA010;
inline constexpr std::uint16_t kDiffuse = 0xA020;
inline constexpr std::uint16_t kSpecular = 0xA030;
inline constexpr std::uint16_t kShininess = 0xA040;
inline constexpr std::uint16_t kTransparency = 0xA050;
inline constexpr std::uint16_t kShading = 0xA100;
inline constexpr std::uint16_t kWireFrame = 0xA085;
inline constexpr std::uint16_t kPrimaryMap = 0xA200;
inline constexpr std::uint16_t kSecondaryMap = 0xA33A;
inline constexpr std::uint16_t kOpacityMap = 0xA210;
inline constexpr std::uint16_t kBumpMap = 0xA230;
inline constexpr std::uint16_t kSpecularMap = 0xA204;
inline constexpr std::uint16_t kReflectionMap = 0xA220;
inline constexpr std::uint16_t kPercentInt = 0x0030;
inline constexpr std::uint16_t kPercentFloat = 0x0031;
inline constexpr std::uint16_t kMapName = 0xA300;
inline constexpr std::uint16_t kMapUScale = 0xA354;
inline constexpr std::uint16_t kMapVScale = 0xA356;
inline constexpr std::uint16_t kMapUOffset = 0xA358;
inline constexpr std::uint16_t kMapVOffset = 0xA35A;
inline constexpr std::uint16_t kMapRotation = 0xA35C;
inline constexpr std::uint16_t kColourF = 0x0010;
inline constexpr std::uint16_t kColourBytes = 0x0011;
inline constexpr std::uint16_t kLinColourBytes = 0x0012;
inline constexpr std::uint16_t kLinColourF = 0x0013;
inline constexpr std::uint16_t kObject = 0x4000;
inline constexpr std::uint16_t kTriMesh = 0x4100;
inline constexpr std::uint16_t kVertexList = 0x4110;
inline constexpr std::uint16_t kFaceList = 0x4120;
inline constexpr std::uint16_t kFaceMaterial = 0x4130;
inline constexpr std::uint16_t kSmoothGroups = 0x4150;
inline constexpr std::uint16_t kTexCoords = 0x4140;
inline constexpr std::uint16_t kMeshMatrix = 0x4160;
inline constexpr std::uint16_t kLight = 0x4600;
inline constexpr std::uint16_t kSpotLight = 0x4610;
inline constexpr std::uint16_t kLightRangeStart = 0x4659;
inline constexpr std::uint16_t kLightRangeEnd = 0x465A;
inline constexpr std::uint16_t kCamera = 0x4700;
inline constexpr std::uint16_t kCameraRanges = 0x4720;
inline constexpr std::uint16_t kKeyframer = 0xB000;
inline constexpr std::uint16_t kObjectNode = 0xB002;
inline constexpr std::uint16_t kNodeHeader = 0xB010;
inline constexpr std::uint16_t kPivot = 0xB013;
inline constexpr std::uint16_t kPositionTrack = 0xB020;
inline constexpr std::uint16_t kRotationTrack = 0xB021;
inline constexpr std::uint16_t kScaleTrack = 0xB022;
}  // namespace chunk

inline ChunkSpan chunk_with_id(std::uint16_t id) {
  ChunkSpan s;
  s.id = id;
  return s;
}

// True when h is a readable chunk lying wholly inside parent.
inline bool chunk_inside(const ChunkSpan& h, const ChunkSpan& parent) {
  return h.valid && h.end <= parent.end;
}

// Walks the sub-chunks of block from the cursor, calling handle(h) for each
// and moving past it, until a sub-chunk reaches the block's end or a header
// does not fit in the block.
template <class Handler>
void walk_sub_chunks(L3DS& reader, const ChunkSpan& block, Handler&& handle) {
  ChunkSpan h = reader.TakeChildHeader(block);
  while (h.valid) {
    handle(h);
    reader.LeaveChunk(h);
    if (h.end >= block.end) break;
    h = reader.TakeChildHeader(block);
  }
}
