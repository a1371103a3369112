// Scene objects: value-type helpers, materials, cameras, lights and the mesh
// container (its geometry algorithms live in mesh_geometry.cpp).
#include "model3ds/objects.hpp"

#include <algorithm>
#include <cmath>

const float3 g_zero_float3{};
const float3 g_zero_float3_b{};
const TextureMapBlock g_default_map_block{};

float3* float3_copy(const float3* a, float3* out) {
  *out = *a;
  return out;
}

float3* float3_sub(const float3* a, const float3* b, float3* out) {
  const float3 r{a->x - b->x, a->y - b->y, a->z - b->z};
  *out = r;
  return out;
}

float3* float3_cross(const float3* a, const float3* b, float3* out) {
  const float3 r{a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z,
                 a->x * b->y - a->y * b->x};
  *out = r;
  return out;
}

float float3_length(const float3* a) {
  const float sum = a->x * a->x + a->y * a->y + a->z * a->z;
  return std::sqrt(sum);
}

float3* float3_normalize(const float3* a, float3* out) {
  const float len = float3_length(a);
  if (len == 0.0f) return float3_copy(a, out);
  const float inv = 1.0f / len;
  const float3 r{a->x * inv, a->y * inv, a->z * inv};
  *out = r;
  return out;
}

mat4f* mat4f_identity(mat4f* m) {
  for (int i = 0; i < 16; ++i) m->m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  return m;
}

// ---------------------------------------------------------------- LObject

LObject::~LObject() = default;

const std::string& LObject::NameRef() const { return name_; }

void LObject::AssignName(const std::string& name) { name_ = name; }

bool LObject::HasName(const std::string& name) const { return name_ == name; }

// -------------------------------------------------------------- LMaterial

LMaterial::LMaterial()
    : primary_map_(g_default_map_block),
      secondary_map_(g_default_map_block),
      opacity_map_(g_default_map_block),
      reflection_map_(g_default_map_block),
      bump_map_(g_default_map_block),
      specular_map_(g_default_map_block),
      ambient_(g_zero_float3),
      diffuse_(g_zero_float3),
      specular_(g_zero_float3) {}

LMaterial::~LMaterial() = default;

namespace {
float clamp_unit(float v) {
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}
}  // namespace

void LMaterial::AssignShininess(float value) { shininess_ = clamp_unit(value); }

void LMaterial::AssignTransparency(float value) { transparency_ = clamp_unit(value); }

// ---------------------------------------------------------------- LCamera

LCamera::LCamera() { ResetDefaults(); }

LCamera::~LCamera() = default;

void LCamera::ResetDefaults() {
  position_ = float3{};
  target_ = float3{};
  bank_ = 0.0f;
  field_of_view_ = 80.0f;
  near_range_ = 10.0f;
  far_range_ = 10000.0f;
}

// ----------------------------------------------------------------- LLight

LLight::LLight() { ResetDefaults(); }

LLight::~LLight() = default;

void LLight::ResetDefaults() {
  position_ = float3{};
  colour_ = float3{};
  flag_ = false;
  range_end_ = 1000.0f;
  range_start_ = 100.0f;
}

// ------------------------------------------------------------------ LMesh

LMesh::LMesh() { Reset(); }

LMesh::~LMesh() { Reset(); }

void LMesh::AssignVertex(const float3& p, std::size_t i) {
  if (i < positions_.size()) positions_[i] = p;
}

void LMesh::AssignTexCoord(const TexCoordPair& t, std::size_t i) {
  if (i < positions_.size()) {
    uv_[i] = t;
    uv2_[i] = t;
  }
}

void LMesh::AssignTriangleRecord(const MeshTriangleRecord& r, std::size_t i) {
  if (i < triangle_records_.size()) triangle_records_[i] = r;
}

void LMesh::CopyMatrixOut(float out[16]) const { std::copy_n(matrix_.m, 16, out); }

void LMesh::AssignMatrix(const float m[16]) { std::copy_n(m, 16, matrix_.m); }

void LMesh::ResizeVertexArrays(std::size_t n) {
  positions_.resize(n);
  normals_.resize(n);
  uv_.resize(n);
  uv2_.resize(n);
  tangents_.resize(n);
  binormals_.resize(n);
}

void LMesh::ResizeTriangleArrays(std::size_t n) {
  triangles_.resize(n);
  triangle_records_.resize(n);
}

std::size_t LMesh::AppendMaterialIndex(std::uint32_t id) {
  material_ids_.push_back(id);
  return material_ids_.size() - 1;
}

void LMesh::Reset() {
  triangles_.clear();
  positions_.clear();
  normals_.clear();
  binormals_.clear();
  tangents_.clear();
  uv_.clear();
  uv2_.clear();
  triangle_records_.clear();
  material_ids_.clear();
  mat4f_identity(&matrix_);
}

std::size_t LMesh::DropInvalidFaces() {
  // Removes the same positions from both face arrays, keeping their order.
  const std::size_t n = positions_.size();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < triangle_records_.size(); ++i) {
    const MeshTriangleRecord& r = triangle_records_[i];
    if (r.a >= n || r.b >= n || r.c >= n) continue;
    triangle_records_[kept] = r;
    triangles_[kept] = triangles_[i];
    ++kept;
  }
  const std::size_t dropped = triangle_records_.size() - kept;
  triangle_records_.resize(kept);
  triangles_.resize(kept);
  return dropped;
}
