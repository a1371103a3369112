// Triangle meshes: the 0x4100 block with its vertices, faces, material groups,
// smoothing groups, texture coordinates and local axes, and the re-basing of
// each mesh's vertices into those axes once the whole file is read.
#include "model3ds/l3ds.hpp"

#include "model3ds/chunk_walk.hpp"
#include "render/matrix.hpp"
#include "render/vec3.hpp"

#include <cmath>

void L3DS::ParseMeshBlock(const ChunkSpan& span) {
  LMesh mesh;
  mesh.AssignName(object_name_);
  EnterChunk(span);
  // Counts come from the file: a list never takes more records than its
  // chunk holds.
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    switch (h.id) {
      case chunk::kVertexList: {
        const std::uint32_t n = BoundedCount(TakeU16(), h, 12);
        mesh.ResizeVertexArrays(n);
        for (std::uint32_t i = 0; i < n; ++i) {
          float3 p;
          p.x = TakeF32();
          p.y = TakeF32();
          p.z = TakeF32();
          mesh.AssignVertex(p, i);
        }
        break;
      }
      case chunk::kFaceList:
        ParseFaceBlock(h, mesh);
        break;
      case chunk::kTexCoords: {
        const std::uint32_t n = BoundedCount(TakeU16(), h, 8);
        if (mesh.VertexCount() == 0) mesh.ResizeVertexArrays(n);
        for (std::uint32_t i = 0; i < n; ++i) {
          TexCoordPair t;
          t.u = TakeF32();
          t.v = TakeF32();
          mesh.AssignTexCoord(t, i);
        }
        break;
      }
      case chunk::kMeshMatrix: {
        float axes[12];
        for (float& a : axes) a = TakeF32();
        const float m[16] = {axes[0], axes[1], axes[2],  0.0f, axes[3], axes[4],  axes[5],  0.0f,
                             axes[6], axes[7], axes[8],  0.0f, axes[9], axes[10], axes[11], 1.0f};
        mesh.AssignMatrix(m);
        break;
      }
      default:
        break;
    }
  });
  // The vertex list may follow the faces, so faces are checked only now.
  mesh.DropInvalidFaces();
  meshes_.push_back(std::move(mesh));
}

void L3DS::ParseFaceBlock(const ChunkSpan& span, LMesh& mesh) {
  if (span.id != chunk::kFaceList) return;
  EnterChunk(span);
  const std::uint32_t n = BoundedCount(TakeU16(), span, 8);
  mesh.ResizeTriangleArrays(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    MeshTriangleRecord r;
    r.a = TakeU16();
    r.b = TakeU16();
    r.c = TakeU16();
    TakeU16();  // edge flags
    r.smoothing_group = 1;
    mesh.AssignTriangleRecord(r, i);
  }
  walk_sub_chunks(*this, span, [&](const ChunkSpan& h) {
    if (h.id == chunk::kFaceMaterial) {
      // Kept as long as material names are, so that every group finds its
      // material.
      char name[30];
      TakeName(name, sizeof name);
      const auto found = material_index_.find(name);
      const std::int32_t id = found != material_index_.end()
                                  ? materials_[found->second].Index()
                                  : LMesh::kNoMaterial;
      mesh.AppendMaterialIndex(static_cast<std::uint32_t>(id));
      const std::uint32_t m = BoundedCount(TakeU16(), h, 2);
      for (std::uint32_t k = 0; k < m; ++k) {
        const std::uint16_t face = TakeU16();
        if (face < mesh.TriangleCount()) mesh.TriangleRecordAt(face).material_id = id;
      }
    } else if (h.id == chunk::kSmoothGroups) {
      const std::uint32_t count =
          BoundedCount(static_cast<std::uint32_t>(mesh.TriangleCount()), h, 4);
      for (std::uint32_t i = 0; i < count; ++i)
        mesh.TriangleRecordAt(i).smoothing_group = TakeU32();
    }
  });
}

// Expresses each vertex along the mesh's own axes, measured from its origin,
// keeping the axis lengths as a scale; the track's pivot gets the same scale.
void L3DS::RebaseMeshes() {
  for (std::size_t i = 0; i < meshes_.size(); ++i) {
    LMesh& mesh = meshes_[i];
    KeyframeTrack& track = tracks_[i];
    float m[16];
    mesh.CopyMatrixOut(m);

    // Transposed, so the columns of the 3x3 block are the X, Y and Z axes.
    matrix axes;
    axes.set(m[0], m[4], m[8], m[12], m[1], m[5], m[9], m[13], m[2], m[6], m[10], m[14], m[3],
             m[7], m[11], m[15]);
    matrix inverse;
    inverse.set_identity();
    matrix_inverse3(&axes, &inverse);

    const float sx = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    const float sy = std::sqrt(m[4] * m[4] + m[5] * m[5] + m[6] * m[6]);
    const float sz = std::sqrt(m[8] * m[8] + m[9] * m[9] + m[10] * m[10]);

    track.pivot = float3{-sx * track.pivot.x, -sy * track.pivot.y, -sz * track.pivot.z};

    const vec3 origin = make_vec3(m[12], m[13], m[14]);
    for (std::size_t j = 0; j < mesh.VertexCount(); ++j) {
      const float3& p = mesh.VertexAt(j);
      const vec3 v = make_vec3(p.x, p.y, p.z);
      vec3 d;
      vec3_sub(&v, &origin, &d);
      const vec3 w = inverse.transform(d);
      mesh.AssignVertex(float3{sx * w.x, sy * w.y, sz * w.z}, j);
    }
  }
}
