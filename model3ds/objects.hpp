// Scene objects of the 3DS model library: materials, cameras, lights and
// triangle meshes, with the small single-precision value types they use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Plain three-float value (positions, normals, colours). Unlike the rendering
// kit's vec3 it carries no state flag.
struct float3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct TexCoordPair {
  float u = 0.0f;
  float v = 0.0f;
};

// Row-major 4x4 (element row * 4 + column).
struct mat4f {
  float m[16] = {};
};

// Default colour, and the starting value of normal and tangent sums.
extern const float3 g_zero_float3;
extern const float3 g_zero_float3_b;

// Out-parameter forms: the result goes to `out`, which is also returned.
float3* float3_copy(const float3* a, float3* out);
float3* float3_sub(const float3* a, const float3* b, float3* out);
float3* float3_cross(const float3* a, const float3* b, float3* out);
// sqrt(x*x + y*y + z*z), all in single precision.
float float3_length(const float3* a);
// a times the single-precision reciprocal of its length; zero length is
// returned unchanged.
float3* float3_normalize(const float3* a, float3* out);
mat4f* mat4f_identity(mat4f* m);

class LObject {
 public:
  LObject() = default;
  LObject(const LObject&) = default;
  LObject(LObject&&) = default;
  LObject& operator=(const LObject&) = default;
  LObject& operator=(LObject&&) = default;
  virtual ~LObject();

  virtual const std::string& NameRef() const;
  virtual void AssignName(const std::string& name);
  // Exact, case-sensitive, full-length comparison.
  bool HasName(const std::string& name) const;

 private:
  std::string name_;
};

struct TextureMapBlock {
  float strength = 0.0f;
  char name[256] = {};
  float u_scale = 1.0f;
  float v_scale = 1.0f;
  float u_offset = 0.0f;
  float v_offset = 0.0f;
  float rotation = 0.0f;
};

extern const TextureMapBlock g_default_map_block;

class LMaterial : public LObject {
 public:
  LMaterial();
  ~LMaterial() override;
  LMaterial(const LMaterial&) = default;
  LMaterial& operator=(const LMaterial&) = default;

  std::int32_t Index() const { return index_; }
  void AssignIndex(std::int32_t index) { index_ = index; }

  TextureMapBlock& PrimaryTextureMap() { return primary_map_; }
  TextureMapBlock& SecondaryTextureMap() { return secondary_map_; }
  TextureMapBlock& OpacityMap() { return opacity_map_; }
  TextureMapBlock& ReflectionMap() { return reflection_map_; }
  TextureMapBlock& BumpMap() { return bump_map_; }
  TextureMapBlock& SpecularMap() { return specular_map_; }
  const TextureMapBlock& PrimaryTextureMap() const { return primary_map_; }
  const TextureMapBlock& SecondaryTextureMap() const { return secondary_map_; }
  const TextureMapBlock& OpacityMap() const { return opacity_map_; }
  const TextureMapBlock& ReflectionMap() const { return reflection_map_; }
  const TextureMapBlock& BumpMap() const { return bump_map_; }
  const TextureMapBlock& SpecularMap() const { return specular_map_; }

  void AssignAmbient(const float3& c) { ambient_ = c; }
  void AssignDiffuse(const float3& c) { diffuse_ = c; }
  void AssignSpecular(const float3& c) { specular_ = c; }
  // Both clamp to [0, 1].
  void AssignShininess(float value);
  void AssignTransparency(float value);
  void AssignShading(std::int32_t shading) { shading_ = shading; }

  const float3& Ambient() const { return ambient_; }
  const float3& Diffuse() const { return diffuse_; }
  const float3& Specular() const { return specular_; }
  float Shininess() const { return shininess_; }
  float Transparency() const { return transparency_; }
  std::int32_t Shading() const { return shading_; }

 private:
  std::int32_t index_ = 0;
  TextureMapBlock primary_map_;
  TextureMapBlock secondary_map_;
  TextureMapBlock opacity_map_;
  TextureMapBlock reflection_map_;
  TextureMapBlock bump_map_;
  TextureMapBlock specular_map_;
  float3 ambient_;
  float3 diffuse_;
  float3 specular_;
  float shininess_ = 0.0f;
  float transparency_ = 0.0f;
  std::int32_t shading_ = 2;
};

class LCamera : public LObject {
 public:
  LCamera();
  ~LCamera() override;
  LCamera(const LCamera&) = default;
  LCamera& operator=(const LCamera&) = default;

  void ResetDefaults();

  void AssignPosition(const float3& p) { position_ = p; }
  void AssignTarget(const float3& t) { target_ = t; }
  void AssignBank(float v) { bank_ = v; }
  void AssignFieldOfView(float v) { field_of_view_ = v; }
  void AssignNearRange(float v) { near_range_ = v; }
  void AssignFarRange(float v) { far_range_ = v; }

  const float3& Position() const { return position_; }
  const float3& Target() const { return target_; }
  float Bank() const { return bank_; }
  float FieldOfView() const { return field_of_view_; }
  float NearRange() const { return near_range_; }
  float FarRange() const { return far_range_; }

 private:
  float3 position_;
  float3 target_;
  float bank_ = 0.0f;
  float field_of_view_ = 80.0f;
  float near_range_ = 10.0f;
  float far_range_ = 10000.0f;
};

class LLight : public LObject {
 public:
  LLight();
  ~LLight() override;
  LLight(const LLight&) = default;
  LLight& operator=(const LLight&) = default;

  // Spot fields are not defaults of a light: only a spot chunk sets them, so
  // they start (and stay, for a point light) at zero.
  void ResetDefaults();

  void AssignPosition(const float3& p) { position_ = p; }
  void AssignColour(const float3& c) { colour_ = c; }
  void AssignSpotTarget(const float3& t) { spot_target_ = t; }
  void AssignHotspot(float v) { hotspot_ = v; }
  void AssignFalloff(float v) { falloff_ = v; }
  void AssignRangeStart(float v) { range_start_ = v; }
  void AssignRangeEnd(float v) { range_end_ = v; }

  const float3& Position() const { return position_; }
  const float3& Colour() const { return colour_; }
  bool Flag() const { return flag_; }
  const float3& SpotTarget() const { return spot_target_; }
  float Hotspot() const { return hotspot_; }
  float Falloff() const { return falloff_; }
  float RangeEnd() const { return range_end_; }
  float RangeStart() const { return range_start_; }

 private:
  float3 position_;
  float3 colour_;
  bool flag_ = false;
  float3 spot_target_;
  float hotspot_ = 0.0f;
  float falloff_ = 0.0f;
  float range_end_ = 1000.0f;
  float range_start_ = 100.0f;
};

struct MeshTriangle {
  std::uint16_t a = 0;
  std::uint16_t b = 0;
  std::uint16_t c = 0;
};

struct MeshTriangleRecord {
  std::uint16_t a = 0;
  std::uint16_t b = 0;
  std::uint16_t c = 0;
  std::uint32_t smoothing_group = 0;
  float3 face_normal;
  float3 face_tangent;
  float3 face_binormal;
  std::int32_t material_id = 0;
};

class LMesh : public LObject {
 public:
  // Material index given to faces of a group whose material does not exist.
  static constexpr std::int32_t kNoMaterial = -1;
  // Vertex indices are 16 bits wide: the smoothing split never grows a mesh
  // beyond this many vertices.
  static constexpr std::size_t kMaxVertices = 65536;

  LMesh();
  ~LMesh() override;
  LMesh(const LMesh&) = default;
  LMesh(LMesh&&) = default;
  LMesh& operator=(const LMesh&) = default;
  LMesh& operator=(LMesh&&) = default;

  std::size_t VertexCount() const { return positions_.size(); }
  std::size_t TriangleCount() const { return triangles_.size(); }
  const float3& VertexAt(std::size_t i) const { return positions_[i]; }
  void AssignVertex(const float3& p, std::size_t i);
  void AssignTexCoord(const TexCoordPair& t, std::size_t i);
  void AssignTriangleRecord(const MeshTriangleRecord& r, std::size_t i);
  MeshTriangleRecord& TriangleRecordAt(std::size_t i) { return triangle_records_[i]; }
  const MeshTriangleRecord& TriangleRecordAt(std::size_t i) const { return triangle_records_[i]; }
  void CopyMatrixOut(float out[16]) const;
  void AssignMatrix(const float m[16]);
  void ResizeVertexArrays(std::size_t n);
  void ResizeTriangleArrays(std::size_t n);
  std::size_t AppendMaterialIndex(std::uint32_t id);
  void Reset();

  // Drops faces that name a vertex at or past the vertex count; returns how
  // many were dropped.
  std::size_t DropInvalidFaces();

  // mode 1: normals without split; mode 2: normals with smoothing-group split,
  // then tangent frames; any other mode: nothing.
  void FinishGeometry(std::int32_t mode);
  void BuildNormals(bool split);
  void BuildTangentFrames();

  const std::vector<MeshTriangle>& Triangles() const { return triangles_; }
  const std::vector<float3>& Positions() const { return positions_; }
  const std::vector<float3>& Normals() const { return normals_; }
  const std::vector<float3>& Binormals() const { return binormals_; }
  const std::vector<float3>& Tangents() const { return tangents_; }
  const std::vector<TexCoordPair>& TexCoords() const { return uv_; }
  const std::vector<TexCoordPair>& TexCoords2() const { return uv2_; }
  const std::vector<MeshTriangleRecord>& TriangleRecords() const { return triangle_records_; }
  const mat4f& Matrix() const { return matrix_; }
  const std::vector<std::uint32_t>& MaterialIds() const { return material_ids_; }

 private:
  std::vector<MeshTriangle> triangles_;
  std::vector<float3> positions_;
  std::vector<float3> normals_;
  std::vector<float3> binormals_;
  std::vector<float3> tangents_;
  std::vector<TexCoordPair> uv_;
  std::vector<TexCoordPair> uv2_;
  std::vector<MeshTriangleRecord> triangle_records_;
  mat4f matrix_;
  std::vector<std::uint32_t> material_ids_;
};
