// The scene importer and its 3DS reader.
//
// L3DS walks the chunk tree of a 3DS file held in memory. Every read is
// bounded by the buffer: a failed read yields 0 and sets the error flag, and
// a chunk whose header is truncated, whose length is below its own header or
// whose end lies outside its parent ends the walk it belongs to. Bad data
// never throws: an allocation failure while reading makes the read fail.
#pragma once

#include "model3ds/keyframe.hpp"
#include "model3ds/objects.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One chunk: its id, where its data starts (just after the 6-byte header)
// and where it ends. `valid` is false when the header could not be read whole,
// its length was below 6 or its end lay past the buffer; start and end are
// then equal.
struct ChunkSpan {
  std::uint16_t id = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  bool valid = false;
};

class LImporter {
 public:
  LImporter();
  LImporter(const LImporter&) = delete;
  LImporter& operator=(const LImporter&) = delete;
  virtual ~LImporter();

  virtual bool ReadModelFile(const char* path) = 0;
  virtual void ResetLists();

  const LMesh& MeshAt(std::size_t i) const { return meshes_[i]; }
  const LMaterial* MaterialNamed(const std::string& name) const;
  const LMesh* MeshNamed(const std::string& name) const;

  const std::vector<LCamera>& Cameras() const { return cameras_; }
  const std::vector<LLight>& Lights() const { return lights_; }
  const std::vector<LMesh>& Meshes() const { return meshes_; }
  const std::vector<LMaterial>& Materials() const { return materials_; }
  const std::vector<KeyframeTrack>& Tracks() const { return tracks_; }
  std::uint32_t FrameCount() const { return frame_count_; }
  std::int32_t PostMode() const { return post_mode_; }
  void AssignPostMode(std::int32_t mode) { post_mode_ = mode; }

 protected:
  KeyframeTrack scratch_;
  std::vector<KeyframeTrack> tracks_;
  std::uint32_t frame_count_ = 0;
  std::vector<LCamera> cameras_;
  std::vector<LLight> lights_;
  std::vector<LMesh> meshes_;
  std::vector<LMaterial> materials_;
  std::int32_t post_mode_ = 2;
  char object_name_[100] = {};
};

class L3DS : public LImporter {
 public:
  // Cursor modes of MoveCursor.
  static constexpr int kSeekSet = 1900;
  static constexpr int kSeekCurrent = 1901;
  // Limits on counts that come from the file.
  static constexpr std::uint32_t kMaxFrames = 100000;
  static constexpr std::uint32_t kMaxKeysPerTrack = 100000;
  // Budget for the per-frame samples of all meshes together (7 floats per
  // mesh and frame), which the frame count of one track header could
  // otherwise blow up: a fixed allowance of kMinSampleFloats (32 MB) that any
  // scene may use whatever its size, growing by kSampleFloatsPerFileByte per
  // byte of larger files up to kMaxSampleFloats (256 MB).
  static constexpr std::uint64_t kSampleFloatsPerFileByte = 64;
  static constexpr std::uint64_t kMinSampleFloats = std::uint64_t{1} << 23;
  static constexpr std::uint64_t kMaxSampleFloats = std::uint64_t{1} << 26;

  L3DS();
  ~L3DS() override;

  // Reads and parses a whole file. False when it cannot be opened or read,
  // is empty or 4 GiB or larger (the lists are then unchanged), or when the
  // parse fails: no main or editor chunk, a broken chunk structure or count,
  // or more per-frame samples than the file's budget (see kMinSampleFloats;
  // the lists are then empty).
  bool ReadModelFile(const char* path) override;
  // Parses a 3DS image held by the caller; the data is not kept. The same
  // rules as ReadModelFile apply.
  bool ReadModelBuffer(const void* data, std::size_t size);

  // Reader primitives over an attached buffer (see AttachBuffer).
  std::uint8_t TakeU8();
  std::uint16_t TakeU16();
  std::uint32_t TakeU32();
  float TakeF32();
  // Reads a NUL-terminated text of which at most len - 1 characters are kept;
  // returns the number kept. The destination always ends up terminated.
  std::size_t TakeText(char* destination, std::size_t len);
  void MoveCursor(std::uint32_t offset, int mode);
  std::uint32_t Cursor() const { return position_; }
  bool ReadError() const { return read_error_ != 0; }
  ChunkSpan TakeChunkHeader();
  // The header at the cursor as a sub-chunk of parent. With less than a
  // header left in the parent nothing is read and the result is invalid; a
  // header whose length is below 6 or whose end lies past the parent is
  // invalid too and marks the data malformed.
  ChunkSpan TakeChildHeader(const ChunkSpan& parent);
  // Set when the chunk structure or a count in the data was broken; a parse
  // that meets such data fails.
  bool Malformed() const { return malformed_; }
  void EnterChunk(const ChunkSpan& span);
  void LeaveChunk(const ChunkSpan& span);
  bool LocateSubChunk(ChunkSpan& target, const ChunkSpan& parent);
  float3 TakeColourValue(const ChunkSpan& span);
  float TakeFraction(const ChunkSpan& span);
  void TakeMapBlock(const ChunkSpan& span, TextureMapBlock& block);
  std::uint32_t TakeKeyHeader();

  // Lets the primitives read a caller's bytes without parsing them; the
  // caller keeps them alive until DetachBuffer. False for an empty or too
  // large buffer.
  bool AttachBuffer(const void* data, std::size_t size);
  void DetachBuffer();

  // Parses the attached buffer into the lists.
  bool ParseBuffer();

 private:
  bool ParseAttached();
  void ParseMaterialBlock(const ChunkSpan& span);
  void ParseReflectionMap(const ChunkSpan& span, LMaterial& material);
  void ParseLightBlock(const ChunkSpan& span);
  void ParseCameraBlock(const ChunkSpan& span);
  void ParseMeshBlock(const ChunkSpan& span);
  void ParseFaceBlock(const ChunkSpan& span, LMesh& mesh);
  void ParseNodeBlock(const ChunkSpan& node);
  // count, lowered to the records that fit between the cursor and the end
  // of span; a count that does not fit marks the data malformed.
  // TakeText that also passes over the rest of a name too long to keep, so
  // that the fields after it are read in place.
  std::size_t TakeName(char* destination, std::size_t len);
  std::uint32_t BoundedCount(std::uint32_t count, const ChunkSpan& span,
                             std::uint32_t record_size);
  bool SampleTracks();
  void RebaseMeshes();

  std::uint8_t read_error_ = 0;
  bool malformed_ = false;
  const std::uint8_t* buffer_ = nullptr;
  std::unique_ptr<std::uint8_t[]> owned_;  // the file image of ReadModelFile
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
  // Name lookups for the parse: the first material or mesh of each name, as
  // MaterialNamed and MeshNamed find them, without a scan per lookup.
  std::unordered_map<std::string, std::size_t> material_index_;
  std::unordered_map<std::string, std::size_t> mesh_index_;
};
