// Mesh reading, re-basing into the mesh's axes, normals, the smoothing-group
// split and tangent frames.
#include "scene_bytes.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

struct Face {
  std::uint16_t a, b, c;
  std::uint32_t group;
};

LMesh make_mesh(const std::vector<float3>& ps, const std::vector<TexCoordPair>& uvs,
                const std::vector<Face>& faces) {
  LMesh m;
  m.ResizeVertexArrays(ps.size());
  for (std::size_t i = 0; i < ps.size(); ++i) m.AssignVertex(ps[i], i);
  for (std::size_t i = 0; i < uvs.size(); ++i) m.AssignTexCoord(uvs[i], i);
  m.ResizeTriangleArrays(faces.size());
  for (std::size_t i = 0; i < faces.size(); ++i) {
    MeshTriangleRecord r;
    r.a = faces[i].a;
    r.b = faces[i].b;
    r.c = faces[i].c;
    r.smoothing_group = faces[i].group;
    m.AssignTriangleRecord(r, i);
  }
  return m;
}

// Unit cube, two triangles per side wound outwards; `group(side)` picks each
// side's smoothing group. The texture coordinates (x + 0.3 z, y + 0.7 z) are
// regular on every side.
LMesh cube(std::uint32_t (*group)(int side)) {
  std::vector<float3> ps;
  std::vector<TexCoordPair> uvs;
  for (int i = 0; i < 8; ++i) {
    ps.push_back(float3{float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    uvs.push_back(TexCoordPair{ps.back().x + 0.3f * ps.back().z, ps.back().y + 0.7f * ps.back().z});
  }
  const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  std::vector<Face> faces;
  for (int s = 0; s < 6; ++s) {
    const auto* q = sides[s];
    faces.push_back(Face{std::uint16_t(q[0]), std::uint16_t(q[1]), std::uint16_t(q[2]), group(s)});
    faces.push_back(Face{std::uint16_t(q[0]), std::uint16_t(q[2]), std::uint16_t(q[3]), group(s)});
  }
  return make_mesh(ps, uvs, faces);
}

float dot(const float3& a, const float3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void expect_vec(const float3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-6f);
  EXPECT_NEAR(v.y, y, 1e-6f);
  EXPECT_NEAR(v.z, z, 1e-6f);
}

// Reads one mesh with the given axes (12 floats) and vertices.
LMesh read_rebased(const std::vector<float>& axes, const std::vector<float3>& vertices) {
  L3DS r;
  const auto bytes = scene_bytes(mesh_object("M", [&](ChunkBuilder& m) {
    vertex_list(vertices)(m);
    if (!axes.empty()) {
      m.begin(0x4160);
      for (float a : axes) m.f32(a);
      m.end();
    }
  }));
  EXPECT_TRUE(parse_exact(r, bytes));
  return r.Meshes().empty() ? LMesh() : r.Meshes()[0];
}

}  // namespace

TEST(Model3dsMesh, VerticesAreRebasedIntoTheMeshAxes) {
  LMesh m = read_rebased({1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3}, {{1, 2, 3}, {2, 2, 3}});
  expect_vec(m.VertexAt(0), 0, 0, 0);
  expect_vec(m.VertexAt(1), 1, 0, 0);
  m = read_rebased({2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}, {{1, 2, 3}});
  expect_vec(m.VertexAt(0), 1, 2, 3);
  m = read_rebased({0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0}, {{0, 1, 0}});
  expect_vec(m.VertexAt(0), 1, 0, 0);
  m = read_rebased({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {{4, 5, 6}});
  expect_vec(m.VertexAt(0), 0, 0, 0);
  m = read_rebased({}, {{4, 5, 6}});
  expect_vec(m.VertexAt(0), 4, 5, 6);
}

TEST(Model3dsMesh, TexCoordsMayComeBeforeTheVertices) {
  L3DS r;
  ASSERT_TRUE(parse_exact(r, scene_bytes(mesh_object("M", [](ChunkBuilder& m) {
    m.begin(0x4140).u16(2).f32s({0.5f, 0.25f, 1, 1}).end();
    vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})(m);
  }))));
  const LMesh& mesh = r.Meshes()[0];
  ASSERT_EQ(mesh.VertexCount(), 3u);
  EXPECT_EQ(mesh.TexCoords()[0].u, 0.5f);
  EXPECT_EQ(mesh.TexCoords2()[0].v, 0.25f);
  EXPECT_EQ(mesh.TexCoords()[2].u, 0.0f);
}

TEST(Model3dsMesh, FacesGroupsAndOutOfRangeData) {
  L3DS r;
  const auto bytes = scene_bytes([](ChunkBuilder& b) {
    b.chunk(0xAFFF, [](ChunkBuilder& m) { m.begin(0xA000).text("Red").end(); });
    b.chunk(0xAFFF, [](ChunkBuilder& m) { m.begin(0xA000).text("Blue").end(); });
    mesh_object("M", [](ChunkBuilder& m) {
      vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}})(m);
      m.begin(0x4120).u16(4);
      m.u16(0).u16(1).u16(2).u16(7);
      m.u16(1).u16(3).u16(2).u16(7);
      m.u16(0).u16(9).u16(2).u16(7);  // names a vertex that does not exist
      m.u16(2).u16(1).u16(0).u16(7);
      m.begin(0x4130).text("Blue").u16(2).u16(1).u16(40).end();  // face 40 does not exist
      m.begin(0x4130).text("Blue").u16(1).u16(2).end();
      m.begin(0x4130).text("Green").u16(1).u16(3).end();  // no such material
      m.end();
    })(b);
  });
  ASSERT_TRUE(parse_exact(r, bytes));
  const LMesh& mesh = r.Meshes()[0];
  ASSERT_EQ(mesh.TriangleCount(), 3u);  // the face naming vertex 9 is dropped
  EXPECT_EQ(mesh.TriangleRecordAt(0).material_id, 0);  // in no group
  EXPECT_EQ(mesh.TriangleRecordAt(1).material_id, 1);
  EXPECT_EQ(mesh.TriangleRecordAt(2).material_id, LMesh::kNoMaterial);
  EXPECT_EQ(mesh.TriangleRecordAt(2).a, 2);
  for (std::size_t j = 0; j < 3; ++j) EXPECT_EQ(mesh.TriangleRecordAt(j).smoothing_group, 1u);
  const std::vector<std::uint32_t> ids = {1, 1, static_cast<std::uint32_t>(LMesh::kNoMaterial)};
  EXPECT_EQ(mesh.MaterialIds(), ids);
}

TEST(Model3dsMesh, FlatFacesGiveTheirNormalAndTangentFrame) {
  LMesh tri = make_mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 0}, {1, 0}, {0, 1}},
                        {{0, 1, 2, 1}});
  tri.FinishGeometry(2);
  const MeshTriangleRecord& r = tri.TriangleRecordAt(0);
  expect_vec(r.face_normal, 0, 0, 1);
  expect_vec(r.face_tangent, 1, 0, 0);
  expect_vec(r.face_binormal, 0, 1, 0);
  for (std::size_t v = 0; v < 3; ++v) {
    expect_vec(tri.Normals()[v], 0, 0, 1);
    expect_vec(tri.Tangents()[v], 1, 0, 0);
    expect_vec(tri.Binormals()[v], 0, -1, 0);
  }
  expect_vec(tri.Normals()[3], 0, 0, 0);  // used by no face
  expect_vec(tri.Tangents()[3], 0, 0, 0);

  LMesh quad = make_mesh({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
                         {{0, 1, 2, 1}, {0, 2, 3, 1}});
  quad.FinishGeometry(2);
  ASSERT_EQ(quad.VertexCount(), 4u);
  for (std::size_t v = 0; v < 4; ++v) {
    expect_vec(quad.Normals()[v], 0, 0, 1);
    expect_vec(quad.Tangents()[v], 1, 0, 0);
  }
}

TEST(Model3dsMesh, CubeSplitsPerSmoothingGroup) {
  LMesh hard = cube([](int side) { return std::uint32_t{1} << side; });
  hard.FinishGeometry(2);
  EXPECT_EQ(hard.VertexCount(), 24u);
  for (std::size_t j = 0; j < hard.TriangleCount(); ++j) {
    const MeshTriangleRecord& r = hard.TriangleRecordAt(j);
    for (std::uint16_t v : {r.a, r.b, r.c}) {
      // Each split corner carries its own side's normal, and a tangent in
      // that side's plane.
      EXPECT_NEAR(dot(hard.Normals()[v], r.face_normal), 1.0f, 1e-5f);
      EXPECT_NEAR(float3_length(&hard.Tangents()[v]), 1.0f, 1e-5f);
      EXPECT_NEAR(dot(hard.Tangents()[v], hard.Normals()[v]), 0.0f, 1e-5f);
    }
  }
  LMesh smooth = cube([](int) { return std::uint32_t{1}; });
  smooth.FinishGeometry(2);
  EXPECT_EQ(smooth.VertexCount(), 8u);
  const float s = 1.0f / std::sqrt(3.0f);
  expect_vec(smooth.Normals()[7], s, s, s);
}

TEST(Model3dsMesh, SplitCopiesOneVertexPerExtraGroup) {
  // Only vertex 0 is shared, by faces in groups 1, 2, 1.
  const std::vector<float3> ps = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, 0, 0}, {-1, 1, 0}, {0, -1, 0}, {1, -1, 0}};
  LMesh m = make_mesh(ps, {}, {{0, 1, 2, 1}, {0, 3, 4, 2}, {0, 5, 6, 1}});
  m.BuildNormals(true);
  ASSERT_EQ(m.VertexCount(), 8u);
  EXPECT_EQ(m.TriangleRecordAt(0).a, 0);
  EXPECT_EQ(m.TriangleRecordAt(1).a, 7);
  EXPECT_EQ(m.TriangleRecordAt(2).a, 0);
  EXPECT_EQ(m.Triangles()[1].a, 7);
  expect_vec(m.VertexAt(7), 0, 0, 0);
  // Groups 1 and 3 are different values even though they share a bit.
  LMesh bits = make_mesh(ps, {}, {{0, 1, 2, 1}, {0, 3, 4, 3}});
  bits.BuildNormals(true);
  EXPECT_EQ(bits.VertexCount(), 8u);
}

TEST(Model3dsMesh, SplitStopsAtTheSixteenBitIndexLimit) {
  const std::size_t base = LMesh::kMaxVertices - 6;
  std::vector<float3> ps(base);
  for (std::size_t i = 0; i < base; ++i) ps[i] = float3{float(i % 97), float(i / 97), 0};
  std::vector<Face> fan;
  for (std::uint16_t k = 1; k <= 10; ++k)
    fan.push_back(Face{0, k, static_cast<std::uint16_t>(k + 1), std::uint32_t{1} << k});
  LMesh m = make_mesh(ps, {}, fan);
  m.FinishGeometry(2);
  EXPECT_EQ(m.VertexCount(), LMesh::kMaxVertices);
  for (std::size_t j = 0; j < m.TriangleCount(); ++j) EXPECT_LT(m.TriangleRecordAt(j).a, LMesh::kMaxVertices);
  EXPECT_EQ(m.TriangleRecordAt(0).a, 0);                      // the first group keeps the vertex
  EXPECT_EQ(m.TriangleRecordAt(6).a, LMesh::kMaxVertices - 1);  // the last copy that fits
  EXPECT_EQ(m.TriangleRecordAt(9).a, 0);                      // past the limit: shared again
}

TEST(Model3dsMesh, FinishModesAndDegenerateTexCoords) {
  const auto tri = [] {
    return make_mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}},
                     {{0, 1, 2, 1}});
  };
  for (int mode : {0, 3}) {
    LMesh m = tri();
    m.FinishGeometry(mode);
    expect_vec(m.Normals()[0], 0, 0, 0);
    EXPECT_EQ(m.Triangles()[0].b, 0);  // the compact list is not filled
  }
  LMesh normals_only = tri();
  normals_only.FinishGeometry(1);
  expect_vec(normals_only.Normals()[0], 0, 0, 1);
  expect_vec(normals_only.Tangents()[0], 0, 0, 0);
  // Equal texture coordinates have no tangent direction: zero, not NaN.
  LMesh degenerate = tri();
  degenerate.FinishGeometry(2);
  expect_vec(degenerate.TriangleRecordAt(0).face_tangent, 0, 0, 0);
  expect_vec(degenerate.TriangleRecordAt(0).face_binormal, 0, 0, 0);
  expect_vec(degenerate.Tangents()[1], 0, 0, 0);
  expect_vec(degenerate.Binormals()[1], 0, 0, 0);
  expect_vec(degenerate.Normals()[1], 0, 0, 1);
}
