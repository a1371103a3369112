// The importer's lists, the bounded buffer reader, the top-level parse, and
// the readers of materials, lights and cameras.
#include "model3ds/l3ds.hpp"

#include "model3ds/chunk_walk.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

constexpr std::uint64_t kMaxBufferSize = std::uint64_t{1} << 32;  // exclusive

// Position of the first object of each name.
template <class T>
void index_names(std::unordered_map<std::string, std::size_t>& index, const std::vector<T>& objects) {
  index.clear();
  for (std::size_t i = 0; i < objects.size(); ++i) index.emplace(objects[i].NameRef(), i);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

// -------------------------------------------------------------- LImporter

LImporter::LImporter() { LImporter::ResetLists(); }

LImporter::~LImporter() { LImporter::ResetLists(); }

void LImporter::ResetLists() {
  meshes_.clear();
  lights_.clear();
  materials_.clear();
  cameras_.clear();
  tracks_.clear();
  frame_count_ = 0;
  post_mode_ = 2;
}

const LMaterial* LImporter::MaterialNamed(const std::string& name) const {
  for (const LMaterial& m : materials_)
    if (m.HasName(name)) return &m;
  return nullptr;
}

const LMesh* LImporter::MeshNamed(const std::string& name) const {
  for (const LMesh& m : meshes_)
    if (m.HasName(name)) return &m;
  return nullptr;
}

// ------------------------------------------------------ L3DS: whole reads

L3DS::L3DS() = default;

L3DS::~L3DS() = default;

bool L3DS::ReadModelFile(const char* path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (!file) return false;
  if (fseeko(file.get(), 0, SEEK_END) != 0) return false;
  const off_t length = ftello(file.get());
  if (length <= 0 || static_cast<std::uint64_t>(length) >= kMaxBufferSize) return false;
  if (fseeko(file.get(), 0, SEEK_SET) != 0) return false;
  const auto size = static_cast<std::size_t>(length);
  std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[size]());
  if (!data) return false;
  if (std::fread(data.get(), 1, size, file.get()) != size) return false;
  file.reset();

  ResetLists();
  owned_ = std::move(data);
  buffer_ = owned_.get();
  size_ = static_cast<std::uint32_t>(size);
  position_ = 0;
  const bool ok = ParseBuffer();
  DetachBuffer();
  return ok;
}

bool L3DS::ReadModelBuffer(const void* data, std::size_t size) {
  if (data == nullptr || size == 0 || size >= kMaxBufferSize) return false;
  ResetLists();
  AttachBuffer(data, size);
  const bool ok = ParseBuffer();
  DetachBuffer();
  return ok;
}

bool L3DS::AttachBuffer(const void* data, std::size_t size) {
  if (data == nullptr || size == 0 || size >= kMaxBufferSize) return false;
  owned_.reset();
  buffer_ = static_cast<const std::uint8_t*>(data);
  size_ = static_cast<std::uint32_t>(size);
  position_ = 0;
  read_error_ = 0;
  return true;
}

void L3DS::DetachBuffer() {
  owned_.reset();
  buffer_ = nullptr;
  size_ = 0;
  position_ = 0;
}

// ------------------------------------------------------ reader primitives

namespace {
bool readable(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t position,
              std::uint32_t n) {
  return buffer != nullptr && size != 0 &&
         static_cast<std::uint64_t>(position) + n <= static_cast<std::uint64_t>(size);
}
}  // namespace

std::uint8_t L3DS::TakeU8() {
  if (!readable(buffer_, size_, position_, 1)) {
    read_error_ = 1;
    return 0;
  }
  return buffer_[position_++];
}

std::uint16_t L3DS::TakeU16() {
  if (!readable(buffer_, size_, position_, 2)) {
    read_error_ = 1;
    return 0;
  }
  const std::uint8_t* p = buffer_ + position_;
  position_ += 2;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t L3DS::TakeU32() {
  if (!readable(buffer_, size_, position_, 4)) {
    read_error_ = 1;
    return 0;
  }
  const std::uint8_t* p = buffer_ + position_;
  position_ += 4;
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

float L3DS::TakeF32() {
  if (!readable(buffer_, size_, position_, 4)) {
    read_error_ = 1;
    return 0.0f;
  }
  const std::uint32_t bits = TakeU32();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::size_t L3DS::TakeText(char* destination, std::size_t len) {
  if (len == 0) return 0;
  if (buffer_ == nullptr || size_ == 0 || position_ >= size_) {
    read_error_ = 1;
    destination[0] = '\0';
    return 0;
  }
  std::size_t i = 0;
  for (std::uint8_t c = TakeU8(); c != 0; c = TakeU8()) {
    if (i + 1 >= len) break;  // the over-long character is consumed and dropped
    destination[i++] = static_cast<char>(c);
  }
  destination[i] = '\0';
  return i;
}

std::size_t L3DS::TakeName(char* destination, std::size_t len) {
  const std::size_t kept = TakeText(destination, len);
  if (kept + 1 == len && position_ > 0 && buffer_[position_ - 1] != 0) {
    while (position_ < size_ && buffer_[position_++] != 0) {
    }
  }
  return kept;
}

void L3DS::MoveCursor(std::uint32_t offset, int mode) {
  if (mode == kSeekSet) {
    position_ = offset;
  } else if (mode == kSeekCurrent) {
    const std::uint64_t moved = static_cast<std::uint64_t>(position_) + offset;
    position_ = moved > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(moved);
  }
  read_error_ = 0;
  if (position_ >= size_) position_ = size_ == 0 ? 0 : size_ - 1;
}

ChunkSpan L3DS::TakeChunkHeader() {
  ChunkSpan h;
  const std::uint32_t at = position_;
  if (!readable(buffer_, size_, at, 6)) {
    read_error_ = 1;
    h.start = h.end = at;
    return h;
  }
  h.id = TakeU16();
  const std::uint32_t length = TakeU32();
  h.start = position_;
  // The length counts the header: the chunk ends at its header + length.
  const std::uint64_t end = static_cast<std::uint64_t>(at) + length;
  if (length < 6 || end > size_) {
    h.end = h.start;
    return h;
  }
  h.end = static_cast<std::uint32_t>(end);
  h.valid = true;
  return h;
}

ChunkSpan L3DS::TakeChildHeader(const ChunkSpan& parent) {
  // Fewer than a header's bytes left in the parent end the walk quietly: a
  // cursor parked on the buffer's last byte lands here.
  if (position_ >= parent.end || parent.end - position_ < 6) {
    ChunkSpan none;
    none.start = none.end = position_;
    return none;
  }
  ChunkSpan h = TakeChunkHeader();
  if (!h.valid || h.end > parent.end) {
    h.valid = false;
    malformed_ = true;
  }
  return h;
}

void L3DS::EnterChunk(const ChunkSpan& span) { MoveCursor(span.start, kSeekSet); }

void L3DS::LeaveChunk(const ChunkSpan& span) { MoveCursor(span.end, kSeekSet); }

bool L3DS::LocateSubChunk(ChunkSpan& target, const ChunkSpan& parent) {
  if (position_ >= parent.end) return false;
  ChunkSpan h = TakeChildHeader(parent);
  while (h.valid) {
    if (h.id == target.id) {
      target.start = h.start;
      target.end = h.end;
      target.valid = true;
      return true;
    }
    LeaveChunk(h);
    if (h.end >= parent.end) break;
    h = TakeChildHeader(parent);
  }
  return false;
}

float3 L3DS::TakeColourValue(const ChunkSpan& span) {
  float3 colour = g_zero_float3;
  if (!span.valid) return colour;
  EnterChunk(span);
  switch (span.id) {
    case chunk::kColourF:
    case chunk::kLinColourF:
      colour.x = TakeF32();
      colour.y = TakeF32();
      colour.z = TakeF32();
      break;
    case chunk::kColourBytes:
    case chunk::kLinColourBytes:
      colour.x = static_cast<float>(TakeU8()) / 255.0f;
      colour.y = static_cast<float>(TakeU8()) / 255.0f;
      colour.z = static_cast<float>(TakeU8()) / 255.0f;
      break;
    default:
      break;
  }
  return colour;
}

float L3DS::TakeFraction(const ChunkSpan& span) {
  if (!span.valid) return 0.0f;
  EnterChunk(span);
  if (span.id == chunk::kPercentInt)
    return static_cast<float>(static_cast<std::int16_t>(TakeU16())) / 100.0f;
  if (span.id == chunk::kPercentFloat) return TakeF32();
  return 0.0f;
}

void L3DS::TakeMapBlock(const ChunkSpan& span, TextureMapBlock& block) {
  if (!span.valid) return;
  EnterChunk(span);
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    switch (h.id) {
      case chunk::kPercentInt:
        block.strength = TakeFraction(h);
        break;
      case chunk::kMapName: {
        char name[20];
        TakeText(name, sizeof name);
        std::memcpy(block.name, name, std::strlen(name) + 1);
        break;
      }
      case chunk::kMapUScale:
        block.u_scale = TakeF32();
        break;
      case chunk::kMapVScale:
        block.v_scale = TakeF32();
        break;
      case chunk::kMapUOffset:
        block.u_offset = TakeF32();
        break;
      case chunk::kMapVOffset:
        block.v_offset = TakeF32();
        break;
      case chunk::kMapRotation:
        block.rotation = TakeF32();
        break;
      default:
        break;
    }
  });
}

std::uint32_t L3DS::TakeKeyHeader() {
  const std::uint32_t frame = TakeU32();
  const std::uint16_t flags = TakeU16();
  for (const std::uint16_t bit : {0x8000, 0x4000, 0x2000, 0x1000, 0x0800})
    if (flags & bit) TakeF32();
  return frame;
}

std::uint32_t L3DS::BoundedCount(std::uint32_t count, const ChunkSpan& span,
                                 std::uint32_t record_size) {
  const std::uint32_t available = span.end > position_ ? span.end - position_ : 0;
  const std::uint32_t fits = available / record_size;
  if (count <= fits) return count;
  malformed_ = true;
  return fits;
}

// ------------------------------------------------------------- the parse

bool L3DS::ParseBuffer() {
  bool ok = false;
  try {
    ok = ParseAttached() && !malformed_;
  } catch (const std::bad_alloc&) {
    ok = false;
  } catch (const std::length_error&) {
    ok = false;
  }
  position_ = 0;
  object_name_[0] = '\0';
  material_index_.clear();
  mesh_index_.clear();
  if (!ok) ResetLists();
  return ok;
}

bool L3DS::ParseAttached() {
  position_ = 0;
  malformed_ = false;
  const ChunkSpan main = TakeChunkHeader();
  if (!main.valid || main.id != chunk::kMain) return false;
  ChunkSpan editor = chunk_with_id(chunk::kEditor);
  if (!LocateSubChunk(editor, main)) return false;

  EnterChunk(editor);
  for (ChunkSpan m = chunk_with_id(chunk::kMaterial); LocateSubChunk(m, editor);) {
    ParseMaterialBlock(m);
    LeaveChunk(m);
  }

  index_names(material_index_, materials_);
  EnterChunk(editor);
  for (ChunkSpan object = chunk_with_id(chunk::kObject); LocateSubChunk(object, editor);) {
    TakeName(object_name_, 99);
    const ChunkSpan h = TakeChildHeader(object);
    if (h.valid) {
      switch (h.id) {
        case chunk::kTriMesh:
          ParseMeshBlock(h);
          break;
        case chunk::kLight:
          ParseLightBlock(h);
          break;
        case chunk::kCamera:
          ParseCameraBlock(h);
          break;
        default:
          break;
      }
    }
    LeaveChunk(object);
  }

  index_names(mesh_index_, meshes_);
  EnterChunk(main);
  ChunkSpan keyframer = chunk_with_id(chunk::kKeyframer);
  if (LocateSubChunk(keyframer, main)) {
    EnterChunk(keyframer);
    for (ChunkSpan node = chunk_with_id(chunk::kObjectNode); LocateSubChunk(node, keyframer);) {
      scratch_.Clear();
      ParseNodeBlock(node);
      LeaveChunk(node);
      tracks_.push_back(scratch_);
    }
  }
  // Track i goes with mesh i; meshes without an object node (files often
  // have no keyframer at all) get an empty track.
  if (tracks_.size() < meshes_.size()) tracks_.resize(meshes_.size());

  if (malformed_ || !SampleTracks()) return false;
  RebaseMeshes();
  for (LMesh& mesh : meshes_) mesh.FinishGeometry(post_mode_);

  position_ = 0;
  object_name_[0] = '\0';
  for (std::size_t i = 0; i < meshes_.size(); ++i) {
    tracks_[i].pivots.clear();
    tracks_[i].rotation_keys.clear();
    tracks_[i].position_keys.clear();
  }
  return true;
}

bool L3DS::SampleTracks() {
  static_assert(7 * std::uint64_t{kMaxFrames} <= kMinSampleFloats,
                "a single mesh must be able to use every frame");
  const std::uint64_t floats = static_cast<std::uint64_t>(frame_count_) * 7 * meshes_.size();
  const std::uint64_t budget =
      std::clamp(kSampleFloatsPerFileByte * size_, kMinSampleFloats, kMaxSampleFloats);
  if (floats > budget) return false;
  for (std::size_t i = 0; i < meshes_.size(); ++i) tracks_[i].SampleRotations(frame_count_);
  for (std::size_t i = 0; i < meshes_.size(); ++i) tracks_[i].SamplePositions(frame_count_);
  return true;
}

// ------------------------------------------------ materials, lights, cameras

void L3DS::ParseMaterialBlock(const ChunkSpan& span) {
  LMaterial material;
  EnterChunk(span);
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    switch (h.id) {
      case chunk::kMaterialName: {
        char name[30];
        TakeText(name, sizeof name);
        material.AssignName(name);
        break;
      }
      case chunk::kAmbient:
        material.AssignAmbient(TakeColourValue(TakeChildHeader(h)));
        break;
      case chunk::kDiffuse:
        material.AssignDiffuse(TakeColourValue(TakeChildHeader(h)));
        break;
      case chunk::kSpecular:
        material.AssignSpecular(TakeColourValue(TakeChildHeader(h)));
        break;
      case chunk::kShininess:
        material.AssignShininess(TakeFraction(TakeChildHeader(h)));
        break;
      case chunk::kTransparency:
        material.AssignTransparency(TakeFraction(TakeChildHeader(h)));
        break;
      case chunk::kShading: {
        const std::uint16_t shading = TakeU16();
        if (shading <= 4) material.AssignShading(shading);
        break;
      }
      case chunk::kWireFrame:
        material.AssignShading(0);
        break;
      case chunk::kPrimaryMap:
        TakeMapBlock(h, material.PrimaryTextureMap());
        break;
      case chunk::kSecondaryMap:
        TakeMapBlock(h, material.SecondaryTextureMap());
        break;
      case chunk::kOpacityMap:
        TakeMapBlock(h, material.OpacityMap());
        break;
      case chunk::kBumpMap:
        TakeMapBlock(h, material.BumpMap());
        break;
      case chunk::kSpecularMap:
        TakeMapBlock(h, material.SpecularMap());
        break;
      case chunk::kReflectionMap:
        ParseReflectionMap(h, material);
        break;
      default:
        break;
    }
  });
  materials_.push_back(material);
  materials_.back().AssignIndex(static_cast<std::int32_t>(materials_.size() - 1));
}

// The reflection map holds its strength first, then usually its name. A map
// without a name keeps the material (and the default empty name); an empty
// name means an automatic reflection.
void L3DS::ParseReflectionMap(const ChunkSpan& span, LMaterial& material) {
  TextureMapBlock& map = material.ReflectionMap();
  map.strength = TakeFraction(TakeChildHeader(span));
  EnterChunk(span);
  ChunkSpan name_chunk = chunk_with_id(chunk::kMapName);
  if (!LocateSubChunk(name_chunk, span)) return;
  char name[30];
  TakeText(name, sizeof name);
  if (name[0] == '\0')
    std::memcpy(map.name, "auto", 5);
  else
    std::memcpy(map.name, name, std::strlen(name) + 1);
}

void L3DS::ParseLightBlock(const ChunkSpan& span) {
  LLight light;
  light.AssignName(object_name_);
  float3 position;
  position.x = TakeF32();
  position.y = TakeF32();
  position.z = TakeF32();
  light.AssignPosition(position);
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    switch (h.id) {
      case chunk::kColourF:
      case chunk::kColourBytes:
      case chunk::kLinColourBytes:
      case chunk::kLinColourF:
        light.AssignColour(TakeColourValue(h));
        break;
      case chunk::kSpotLight: {
        float3 target;
        target.x = TakeF32();
        target.y = TakeF32();
        target.z = TakeF32();
        light.AssignSpotTarget(target);
        light.AssignHotspot(TakeF32());
        light.AssignFalloff(TakeF32());
        break;
      }
      case chunk::kLightRangeStart:
        light.AssignRangeStart(TakeF32());
        break;
      case chunk::kLightRangeEnd:
        light.AssignRangeEnd(TakeF32());
        break;
      default:
        break;
    }
  });
  lights_.push_back(light);
}

void L3DS::ParseCameraBlock(const ChunkSpan& span) {
  LCamera camera;
  camera.AssignName(object_name_);
  float3 position, target;
  position.x = TakeF32();
  position.y = TakeF32();
  position.z = TakeF32();
  target.x = TakeF32();
  target.y = TakeF32();
  target.z = TakeF32();
  camera.AssignPosition(position);
  camera.AssignTarget(target);
  camera.AssignBank(TakeF32());
  const float lens = TakeF32();
  camera.AssignFieldOfView(2400.0f / lens);
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    if (h.id == chunk::kCameraRanges) {
      camera.AssignNearRange(TakeF32());
      camera.AssignFarRange(TakeF32());
    }
  });
  cameras_.push_back(camera);
}
