// Scenes written by real modelling tools (the assimp-testmodels samples).
#include "model3ds/l3ds.hpp"
#include "sample_files.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#if QM_HAVE_LIB3DS
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#endif

namespace {

bool finite(const float3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Unit length, or zero for a vertex without (usable) faces.
bool unit_or_zero(const float3& v) {
  const float len = float3_length(&v);
  return len == 0.0f || std::fabs(len - 1.0f) < 1e-4f;
}

void expect_complete_mesh(const LMesh& mesh, const std::string& where) {
  SCOPED_TRACE(where + " mesh " + mesh.NameRef());
  const std::size_t n = mesh.VertexCount();
  ASSERT_EQ(mesh.Normals().size(), n);
  ASSERT_EQ(mesh.Tangents().size(), n);
  ASSERT_EQ(mesh.Binormals().size(), n);
  ASSERT_EQ(mesh.TexCoords().size(), n);
  ASSERT_EQ(mesh.TriangleRecords().size(), mesh.TriangleCount());
  for (std::size_t j = 0; j < mesh.TriangleCount(); ++j) {
    const MeshTriangleRecord& r = mesh.TriangleRecordAt(j);
    ASSERT_LT(r.a, n);
    ASSERT_LT(r.b, n);
    ASSERT_LT(r.c, n);
    EXPECT_EQ(mesh.Triangles()[j].a, r.a);
    EXPECT_EQ(mesh.Triangles()[j].c, r.c);
  }
  for (std::size_t v = 0; v < n; ++v) {
    ASSERT_TRUE(finite(mesh.VertexAt(v))) << "vertex " << v;
    ASSERT_TRUE(finite(mesh.Normals()[v])) << "normal " << v;
    ASSERT_TRUE(finite(mesh.Tangents()[v])) << "tangent " << v;
    ASSERT_TRUE(finite(mesh.Binormals()[v])) << "binormal " << v;
    EXPECT_TRUE(unit_or_zero(mesh.Normals()[v])) << "normal " << v;
    EXPECT_TRUE(unit_or_zero(mesh.Tangents()[v])) << "tangent " << v;
  }
}

}  // namespace

TEST(Model3dsSamples, RealToolFilesReadIntoCompleteMeshes) {
  const auto files = sample_3ds_files();
  if (files.empty()) GTEST_SKIP() << "no sample 3DS files in " << sample_dir();
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    auto reader = std::make_unique<L3DS>();
    ASSERT_TRUE(reader->ReadModelFile(path.c_str()));
    EXPECT_FALSE(reader->Meshes().empty());
    EXPECT_GE(reader->Tracks().size(), reader->Meshes().size());
    for (const LMesh& mesh : reader->Meshes()) expect_complete_mesh(mesh, path.filename());
    for (std::size_t i = 0; i < reader->Meshes().size(); ++i) {
      const KeyframeTrack& t = reader->Tracks()[i];
      EXPECT_EQ(t.position_samples.size(), std::size_t{reader->FrameCount()} * 3);
      EXPECT_EQ(t.rotation_samples.size(), std::size_t{reader->FrameCount()} * 4);
      EXPECT_TRUE(t.position_keys.empty());
    }
  }
}

TEST(Model3dsSamples, OtherFilesAreRejectedCleanly) {
  std::error_code ec;
  std::vector<std::filesystem::path> others;
  for (const auto& e : std::filesystem::directory_iterator(sample_dir(), ec))
    if (e.is_regular_file()) others.push_back(e.path());
  const std::filesystem::path empty = std::filesystem::path(QM_3DS_INVALID_DIR) / "empty.3ds";
  if (std::filesystem::exists(empty)) others.push_back(empty);
  if (others.empty()) GTEST_SKIP() << "no sample files";
  const auto scenes = sample_3ds_files();
  for (const auto& path : others) {
    if (std::find(scenes.begin(), scenes.end(), path) != scenes.end()) continue;
    SCOPED_TRACE(path.string());
    L3DS reader;
    EXPECT_FALSE(reader.ReadModelFile(path.c_str()));
    EXPECT_TRUE(reader.Meshes().empty());
  }
}

// Every truncation of a real file either parses or is rejected, never reads
// outside the data (checked under the sanitizers).
TEST(Model3dsSamples, TruncatedFilesFailCleanly) {
  const auto files = sample_3ds_files();
  if (files.empty()) GTEST_SKIP() << "no sample 3DS files";
  const auto bytes = file_bytes(files.front());
  L3DS reader;
  for (std::size_t len = 1; len < bytes.size(); len += 7) {
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + len);
    // The main chunk's length no longer fits: the structure is broken.
    EXPECT_FALSE(reader.ReadModelBuffer(cut.data(), cut.size())) << len;
  }
}

#if QM_HAVE_LIB3DS
// lib3ds, read independently, sees the same meshes, faces and materials.
TEST(Model3dsSamples, MeshesAndMaterialsAgreeWithLib3ds) {
  const auto files = sample_3ds_files();
  if (files.empty()) GTEST_SKIP() << "no sample 3DS files";
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    std::unique_ptr<Lib3dsFile, void (*)(Lib3dsFile*)> oracle(lib3ds_file_load(path.c_str()),
                                                               lib3ds_file_free);
    ASSERT_TRUE(oracle);
    L3DS reader;
    ASSERT_TRUE(reader.ReadModelFile(path.c_str()));
    for (const Lib3dsMesh* m = oracle->meshes; m; m = m->next) {
      const LMesh* mine = reader.MeshNamed(m->name);
      ASSERT_NE(mine, nullptr) << m->name;
      EXPECT_EQ(mine->TriangleCount(), m->faces);
      EXPECT_GE(mine->VertexCount(), m->points);
      // Without a smoothing chunk lib3ds reports 0 where faces default to 1.
      for (std::size_t j = 0; j < m->faces; ++j) {
        const std::uint32_t ours = mine->TriangleRecordAt(j).smoothing_group;
        if (m->faceL[j].smoothing != 0 || ours != 1) {
          EXPECT_EQ(ours, m->faceL[j].smoothing) << j;
        }
      }
    }
    std::size_t materials = 0;
    for (const Lib3dsMaterial* m = oracle->materials; m; m = m->next, ++materials)
      EXPECT_NE(reader.MaterialNamed(m->name), nullptr) << m->name;
    EXPECT_EQ(reader.Materials().size(), materials);
  }
}
#endif
