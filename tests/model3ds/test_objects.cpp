// Scene objects and their value types.
#include "model3ds/objects.hpp"

#include <gtest/gtest.h>

TEST(Model3dsObjects, MaterialClampsShininessAndTransparency) {
  LMaterial m;
  const float inputs[] = {-0.5f, 1.5f, 0.25f};
  const float stored[] = {0.0f, 1.0f, 0.25f};
  for (int i = 0; i < 3; ++i) {
    m.AssignShininess(inputs[i]);
    m.AssignTransparency(inputs[i]);
    EXPECT_EQ(m.Shininess(), stored[i]);
    EXPECT_EQ(m.Transparency(), stored[i]);
  }
}

TEST(Model3dsObjects, HasNameIsExact) {
  LMesh mesh;
  mesh.AssignName("Box01");
  EXPECT_TRUE(mesh.HasName("Box01"));
  EXPECT_FALSE(mesh.HasName("box01"));
  EXPECT_FALSE(mesh.HasName("Box01 "));
  EXPECT_FALSE(mesh.HasName("Box0"));
}

// A point light never reads a spot chunk: its spot fields must be defined.
TEST(Model3dsObjects, LightSpotFieldsStartAtZero) {
  LLight l;
  EXPECT_EQ(l.SpotTarget().x, 0.0f);
  EXPECT_EQ(l.Hotspot(), 0.0f);
  EXPECT_EQ(l.Falloff(), 0.0f);
  EXPECT_EQ(l.RangeEnd(), 1000.0f);
}

TEST(Model3dsObjects, Float3Normalize) {
  float3 out;
  const float3 zero{};
  float3_normalize(&zero, &out);
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.y, 0.0f);
  EXPECT_EQ(out.z, 0.0f);
  const float3 v{3, 0, 4};
  float3_normalize(&v, &out);
  EXPECT_FLOAT_EQ(out.x, 0.6f);
  EXPECT_EQ(out.y, 0.0f);
  EXPECT_FLOAT_EQ(out.z, 0.8f);
}

TEST(Model3dsObjects, MeshSettersIgnoreOutOfRangeIndices) {
  LMesh mesh;
  mesh.ResizeVertexArrays(2);
  mesh.AssignVertex(float3{1, 2, 3}, 2);
  mesh.AssignTexCoord(TexCoordPair{5, 6}, 2);
  EXPECT_EQ(mesh.VertexCount(), 2u);
  EXPECT_EQ(mesh.VertexAt(0).x, 0.0f);
  EXPECT_EQ(mesh.VertexAt(1).x, 0.0f);

  mesh.AssignTexCoord(TexCoordPair{5, 6}, 1);
  EXPECT_EQ(mesh.TexCoords()[1].u, 5.0f);
  EXPECT_EQ(mesh.TexCoords2()[1].v, 6.0f);

  mesh.ResizeTriangleArrays(1);
  MeshTriangleRecord r;
  r.a = 1;
  mesh.AssignTriangleRecord(r, 1);
  EXPECT_EQ(mesh.TriangleRecordAt(0).a, 0);
}

TEST(Model3dsObjects, DropInvalidFacesKeepsOrderOfTheRest) {
  LMesh mesh;
  mesh.ResizeVertexArrays(3);
  mesh.ResizeTriangleArrays(3);
  const std::uint16_t corners[3][3] = {{0, 1, 2}, {0, 3, 1}, {2, 1, 0}};
  for (int i = 0; i < 3; ++i) {
    MeshTriangleRecord r;
    r.a = corners[i][0];
    r.b = corners[i][1];
    r.c = corners[i][2];
    r.material_id = i;
    mesh.AssignTriangleRecord(r, i);
  }
  EXPECT_EQ(mesh.DropInvalidFaces(), 1u);
  ASSERT_EQ(mesh.TriangleCount(), 2u);
  EXPECT_EQ(mesh.TriangleRecords().size(), 2u);
  EXPECT_EQ(mesh.TriangleRecordAt(0).material_id, 0);
  EXPECT_EQ(mesh.TriangleRecordAt(1).material_id, 2);
}
