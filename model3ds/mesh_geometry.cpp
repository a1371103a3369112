// Mesh finishing: face and vertex normals, the smoothing-group vertex split,
// the compact face list and tangent frames. All arithmetic is single precision.
#include "model3ds/objects.hpp"

#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

// For each vertex, the faces that use it, in face order; a face appears once
// per corner. Stored flat: faces of vertex v are faces[offsets[v] .. offsets[v+1]).
struct VertexFaces {
  std::vector<std::uint32_t> offsets;
  std::vector<std::uint32_t> faces;

  std::size_t begin(std::size_t v) const { return offsets[v]; }
  std::size_t end(std::size_t v) const { return offsets[v + 1]; }
};

bool corners_valid(const MeshTriangleRecord& r, std::size_t vertex_count) {
  return r.a < vertex_count && r.b < vertex_count && r.c < vertex_count;
}

VertexFaces build_vertex_faces(const std::vector<MeshTriangleRecord>& records,
                               std::size_t vertex_count) {
  VertexFaces adj;
  adj.offsets.assign(vertex_count + 1, 0);
  for (const MeshTriangleRecord& r : records) {
    if (!corners_valid(r, vertex_count)) continue;
    ++adj.offsets[r.a + 1];
    ++adj.offsets[r.b + 1];
    ++adj.offsets[r.c + 1];
  }
  for (std::size_t v = 0; v < vertex_count; ++v) adj.offsets[v + 1] += adj.offsets[v];
  adj.faces.resize(adj.offsets[vertex_count]);
  std::vector<std::uint32_t> fill(adj.offsets.begin(), adj.offsets.end() - 1);
  for (std::size_t j = 0; j < records.size(); ++j) {
    const MeshTriangleRecord& r = records[j];
    if (!corners_valid(r, vertex_count)) continue;
    const auto face = static_cast<std::uint32_t>(j);
    adj.faces[fill[r.a]++] = face;
    adj.faces[fill[r.b]++] = face;
    adj.faces[fill[r.c]++] = face;
  }
  return adj;
}

// Smoothing groups met at one vertex, in order of first appearance, each with
// the vertex index its faces use. Linear search for the usual handful of
// groups, a hash index once a vertex has many.
class GroupTable {
 public:
  void clear() {
    groups_.clear();
    index_.clear();
  }
  const std::uint32_t* find(std::uint32_t group) const {
    if (groups_.size() <= kLinearLimit) {
      for (const auto& g : groups_)
        if (g.first == group) return &g.second;
      return nullptr;
    }
    const auto it = index_.find(group);
    return it == index_.end() ? nullptr : &groups_[it->second].second;
  }
  bool empty() const { return groups_.empty(); }
  void add(std::uint32_t group, std::uint32_t vertex) {
    groups_.emplace_back(group, vertex);
    if (groups_.size() == kLinearLimit + 1) {
      for (std::size_t i = 0; i < groups_.size(); ++i) index_.emplace(groups_[i].first, i);
    } else if (groups_.size() > kLinearLimit + 1) {
      index_.emplace(group, groups_.size() - 1);
    }
  }

 private:
  static constexpr std::size_t kLinearLimit = 8;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> groups_;
  std::unordered_map<std::uint32_t, std::size_t> index_;
};

void renumber_corners(MeshTriangleRecord& r, std::uint32_t from, std::uint32_t to) {
  const auto t = static_cast<std::uint16_t>(to);
  if (r.a == from) r.a = t;
  if (r.b == from) r.b = t;
  if (r.c == from) r.c = t;
}

}  // namespace

void LMesh::FinishGeometry(std::int32_t mode) {
  if (mode == 1) {
    BuildNormals(false);
  } else if (mode == 2) {
    BuildNormals(true);
    BuildTangentFrames();
  }
}

void LMesh::BuildNormals(bool split) {
  // Face normals of the corners a, b, c taken counter-clockwise.
  for (MeshTriangleRecord& r : triangle_records_) {
    if (!corners_valid(r, positions_.size())) {
      r.face_normal = g_zero_float3;
      continue;
    }
    float3 e1, e2, n;
    float3_sub(&positions_[r.b], &positions_[r.a], &e1);
    float3_sub(&positions_[r.b], &positions_[r.c], &e2);
    float3_cross(&e2, &e1, &n);
    float3_normalize(&n, &r.face_normal);
  }

  VertexFaces adj = build_vertex_faces(triangle_records_, positions_.size());

  if (split) {
    // Every smoothing group met at a vertex after the first gets its own copy
    // of the vertex. The copies are numbered in order of first appearance;
    // once the 16-bit index range is full, further groups keep sharing.
    const std::size_t original_count = positions_.size();
    GroupTable groups;
    for (std::size_t v = 0; v < original_count; ++v) {
      if (adj.begin(v) == adj.end(v)) continue;
      groups.clear();
      const auto vid = static_cast<std::uint32_t>(v);
      for (std::size_t k = adj.begin(v); k < adj.end(v); ++k) {
        MeshTriangleRecord& face = triangle_records_[adj.faces[k]];
        const std::uint32_t* target = groups.find(face.smoothing_group);
        std::uint32_t w = vid;
        if (target) {
          w = *target;
        } else {
          if (!groups.empty() && positions_.size() < kMaxVertices) {
            const float3 p = positions_[v], n = normals_[v], t = tangents_[v], b = binormals_[v];
            const TexCoordPair t1 = uv_[v], t2 = uv2_[v];
            positions_.push_back(p);
            normals_.push_back(n);
            uv_.push_back(t1);
            uv2_.push_back(t2);
            tangents_.push_back(t);
            binormals_.push_back(b);
            w = static_cast<std::uint32_t>(positions_.size() - 1);
          }
          groups.add(face.smoothing_group, w);
        }
        if (w != vid) renumber_corners(face, vid, w);
      }
    }
    if (positions_.size() != original_count) adj = build_vertex_faces(triangle_records_, positions_.size());
  }

  for (std::size_t u = 0; u < positions_.size(); ++u) {
    float3 sum = g_zero_float3_b;
    for (std::size_t k = adj.begin(u); k < adj.end(u); ++k) {
      const float3& fn = triangle_records_[adj.faces[k]].face_normal;
      sum.x += fn.x;
      sum.y += fn.y;
      sum.z += fn.z;
    }
    float3_normalize(&sum, &normals_[u]);
  }

  triangles_.resize(triangle_records_.size());
  for (std::size_t j = 0; j < triangle_records_.size(); ++j) {
    const MeshTriangleRecord& r = triangle_records_[j];
    triangles_[j] = MeshTriangle{r.a, r.b, r.c};
  }
}

void LMesh::BuildTangentFrames() {
  const std::size_t n = positions_.size();
  for (MeshTriangleRecord& r : triangle_records_) {
    r.face_tangent = g_zero_float3;
    r.face_binormal = g_zero_float3;
    if (!corners_valid(r, n)) continue;
    const float3 &pa = positions_[r.a], &pb = positions_[r.b], &pc = positions_[r.c];
    const TexCoordPair &ta = uv_[r.a], &tb = uv_[r.b], &tc = uv_[r.c];
    const float pb_minus_pa[3] = {pb.x - pa.x, pb.y - pa.y, pb.z - pa.z};
    const float pc_minus_pa[3] = {pc.x - pa.x, pc.y - pa.y, pc.z - pa.z};
    float tangent[3], binormal[3];
    bool finite = true;
    for (int k = 0; k < 3; ++k) {
      const float3 d{pb_minus_pa[k], tb.u - ta.u, tb.v - ta.v};
      const float3 e{pc_minus_pa[k], tc.u - ta.u, tc.v - ta.v};
      float3 nk;
      float3_cross(&d, &e, &nk);
      // nk.x is the signed area of the face in texture space: zero when the
      // texture coordinates are degenerate, and then the face has no tangent.
      if (nk.x == 0.0f) {
        finite = false;
        break;
      }
      tangent[k] = -nk.y / nk.x;
      binormal[k] = -nk.z / nk.x;
      finite = finite && std::isfinite(tangent[k]) && std::isfinite(binormal[k]);
    }
    if (!finite) continue;
    r.face_tangent = float3{tangent[0], tangent[1], tangent[2]};
    r.face_binormal = float3{binormal[0], binormal[1], binormal[2]};
  }

  const VertexFaces adj = build_vertex_faces(triangle_records_, n);
  for (std::size_t u = 0; u < n; ++u) {
    float3 sum = g_zero_float3_b;
    for (std::size_t k = adj.begin(u); k < adj.end(u); ++k) {
      const float3& ft = triangle_records_[adj.faces[k]].face_tangent;
      sum.x += ft.x;
      sum.y += ft.y;
      sum.z += ft.z;
    }
    float3_normalize(&sum, &tangents_[u]);
    float3 b;
    float3_cross(&tangents_[u], &normals_[u], &b);
    float3_normalize(&b, &binormals_[u]);
  }
}
