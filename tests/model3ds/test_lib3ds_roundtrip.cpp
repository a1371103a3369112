// Round trips through lib3ds: random scenes written by lib3ds read back with
// what was written, materials to keyframes.
#include "model3ds/l3ds.hpp"

#include <gtest/gtest.h>

#if QM_HAVE_LIB3DS
#include "lib3ds_scene.hpp"

#include <algorithm>
#include <cmath>
#include <set>

using namespace roundtrip;

namespace {

void expect_near_rel(float got, double want, const char* what) {
  EXPECT_NEAR(got, want, 1e-4 * (1.0 + std::fabs(want))) << what;
}

void expect_vec(const float3& got, const Vec& want, const char* what) {
  EXPECT_FLOAT_EQ(got.x, want[0]) << what;
  EXPECT_FLOAT_EQ(got.y, want[1]) << what;
  EXPECT_FLOAT_EQ(got.z, want[2]) << what;
}

void expect_map(const TextureMapBlock& got, const Map& want, const char* what) {
  if (want.name.empty()) {
    EXPECT_STREQ(got.name, "") << what;
    EXPECT_EQ(got.u_scale, 1.0f) << what;
    return;
  }
  EXPECT_STREQ(got.name, want.name.c_str()) << what;
  EXPECT_FLOAT_EQ(got.strength, want.percent / 100.0f) << what;
}

// The vertex expressed along the mesh's axes from its origin, scaled by the
// axis lengths, in double precision.
Vec rebased(const Mesh& m, const Vec& p) {
  const auto& X = m.axes[0];
  const auto& Y = m.axes[1];
  const auto& Z = m.axes[2];
  const double d[3] = {double(p[0]) - m.axes[3][0], double(p[1]) - m.axes[3][1], double(p[2]) - m.axes[3][2]};
  // Solve [X Y Z] w = d by Cramer's rule.
  const auto det = [](const double a[3], const double b[3], const double c[3]) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - b[0] * (a[1] * c[2] - a[2] * c[1]) +
           c[0] * (a[1] * b[2] - a[2] * b[1]);
  };
  const double x[3] = {X[0], X[1], X[2]}, y[3] = {Y[0], Y[1], Y[2]}, z[3] = {Z[0], Z[1], Z[2]};
  const double D = det(x, y, z);
  const double w[3] = {det(d, y, z) / D, det(x, d, z) / D, det(x, y, d) / D};
  const auto len = [](const Vec& v) { return std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]); };
  return {float(len(X) * w[0]), float(len(Y) * w[1]), float(len(Z) * w[2])};
}

float axis_length(const Vec& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Linear sampling of the keys, frame by frame, as the reader documents it.
std::vector<float> expected_positions(const Node& n, std::uint32_t frames) {
  std::vector<float> out(std::size_t{frames} * 3);
  for (std::uint32_t f = 0; f < frames; ++f)
    for (int c = 0; c < 3; ++c) out[f * 3 + c] = n.positions.empty() ? 0.0f : n.positions[0].value[c];
  for (std::size_t k = 0; k < n.positions.size(); ++k) {
    const bool next = k + 1 < n.positions.size();
    const PosKey& a = n.positions[k];
    const PosKey& b = next ? n.positions[k + 1] : a;
    const std::uint32_t end = std::min(next ? b.frame : frames, frames);
    for (std::uint32_t f = a.frame; f < end; ++f) {
      const float t = float(f - a.frame) / float(end - a.frame);
      for (int c = 0; c < 3; ++c) out[f * 3 + c] = a.value[c] + t * (b.value[c] - a.value[c]);
    }
  }
  return out;
}

// Axes are stored negated; angles accumulate from key 1 on.
std::vector<float> expected_rotations(const Node& n, std::uint32_t frames) {
  std::vector<float> out(std::size_t{frames} * 4, 0.0f);
  float acc = 0;
  for (std::size_t k = 0; k < n.rotations.size(); ++k) {
    const bool next = k + 1 < n.rotations.size();
    const RotKey& key = n.rotations[k];
    float from[4] = {0, 0, 0, 0};
    if (k > 0) from[0] = -key.axis[0], from[1] = -key.axis[1], from[2] = -key.axis[2], from[3] = acc;
    float to[4] = {from[0], from[1], from[2], from[3]};
    if (next) {
      const RotKey& b = n.rotations[k + 1];
      acc += b.angle;
      to[0] = -b.axis[0], to[1] = -b.axis[1], to[2] = -b.axis[2], to[3] = acc;
    }
    const std::uint32_t end = std::min(next ? n.rotations[k + 1].frame : frames, frames);
    for (std::uint32_t f = key.frame; f < end; ++f) {
      const float t = float(f - key.frame) / float(end - key.frame);
      for (int c = 0; c < 4; ++c) out[f * 4 + c] = from[c] + t * (to[c] - from[c]);
    }
  }
  return out;
}

void check_scene(const Scene& s, const L3DS& r) {
  ASSERT_EQ(r.Materials().size(), s.materials.size());
  for (std::size_t i = 0; i < s.materials.size(); ++i) {
    const Material& want = s.materials[i];
    const LMaterial& got = r.Materials()[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.NameRef(), want.name);
    EXPECT_EQ(got.Index(), int(i));
    const std::pair<const float3*, const std::array<std::uint8_t, 3>*> colours[] = {
        {&got.Ambient(), &want.ambient}, {&got.Diffuse(), &want.diffuse}, {&got.Specular(), &want.specular}};
    for (const auto& [g, w] : colours) {
      EXPECT_FLOAT_EQ(g->x, (*w)[0] / 255.0f);
      EXPECT_FLOAT_EQ(g->y, (*w)[1] / 255.0f);
      EXPECT_FLOAT_EQ(g->z, (*w)[2] / 255.0f);
    }
    EXPECT_FLOAT_EQ(got.Shininess(), want.shininess_percent / 100.0f);
    EXPECT_FLOAT_EQ(got.Transparency(), want.transparency_percent / 100.0f);
    EXPECT_EQ(got.Shading(), want.shading);
    expect_map(got.PrimaryTextureMap(), want.texture, "texture map");
    if (!want.texture.name.empty()) {
      const TextureMapBlock& map = got.PrimaryTextureMap();
      EXPECT_FLOAT_EQ(map.u_scale, want.texture.u_scale);
      EXPECT_FLOAT_EQ(map.v_scale, want.texture.v_scale);
      EXPECT_FLOAT_EQ(map.u_offset, want.texture.u_offset);
      EXPECT_FLOAT_EQ(map.v_offset, want.texture.v_offset);
      EXPECT_FLOAT_EQ(map.rotation, want.texture.rotation);
    }
    expect_map(got.ReflectionMap(), want.reflection, "reflection map");
  }

  ASSERT_EQ(r.Cameras().size(), s.cameras.size());
  for (std::size_t i = 0; i < s.cameras.size(); ++i) {
    const Camera& want = s.cameras[i];
    const LCamera& got = r.Cameras()[i];
    EXPECT_EQ(got.NameRef(), want.name);
    expect_vec(got.Position(), want.position, "camera position");
    expect_vec(got.Target(), want.target, "camera target");
    EXPECT_FLOAT_EQ(got.Bank(), want.roll);
    expect_near_rel(got.FieldOfView(), want.fov, "field of view");  // through the lens 2400 / fov
    EXPECT_FLOAT_EQ(got.NearRange(), want.near_range);
    EXPECT_FLOAT_EQ(got.FarRange(), want.far_range);
  }

  ASSERT_EQ(r.Lights().size(), s.lights.size());
  for (std::size_t i = 0; i < s.lights.size(); ++i) {
    const Light& want = s.lights[i];
    const LLight& got = r.Lights()[i];
    EXPECT_EQ(got.NameRef(), want.name);
    expect_vec(got.Position(), want.position, "light position");
    expect_vec(got.Colour(), want.colour, "light colour");
    expect_vec(got.SpotTarget(), want.spot_target, "spot target");
    EXPECT_FLOAT_EQ(got.Hotspot(), want.hotspot);
    EXPECT_FLOAT_EQ(got.Falloff(), want.falloff);
    EXPECT_FLOAT_EQ(got.RangeStart(), want.inner_range);
    EXPECT_FLOAT_EQ(got.RangeEnd(), want.outer_range);
  }

  ASSERT_EQ(r.Meshes().size(), s.meshes.size());
  ASSERT_EQ(r.Tracks().size(), s.meshes.size());
  EXPECT_EQ(r.FrameCount(), s.frames);
  for (std::size_t i = 0; i < s.meshes.size(); ++i) {
    const Mesh& want = s.meshes[i];
    const LMesh& got = r.Meshes()[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.NameRef(), want.name);
    ASSERT_EQ(got.TriangleCount(), want.faces.size());
    EXPECT_GE(got.VertexCount(), want.points.size());
    std::set<std::uint32_t> used;
    for (std::size_t j = 0; j < want.faces.size(); ++j) {
      const Face& wf = want.faces[j];
      const MeshTriangleRecord& gf = got.TriangleRecordAt(j);
      EXPECT_EQ(gf.smoothing_group, wf.smoothing) << "face " << j;
      EXPECT_EQ(gf.material_id, wf.material >= 0 ? wf.material : 0) << "face " << j;
      if (wf.material >= 0) used.insert(static_cast<std::uint32_t>(wf.material));
      // The split may renumber corners; their data stays that of the corner.
      const std::uint16_t corners[3] = {gf.a, gf.b, gf.c};
      for (int k = 0; k < 3; ++k) {
        const Vec p = rebased(want, want.points[wf.corners[k]]);
        const float3& q = got.VertexAt(corners[k]);
        expect_near_rel(q.x, p[0], "vertex x");
        expect_near_rel(q.y, p[1], "vertex y");
        expect_near_rel(q.z, p[2], "vertex z");
        EXPECT_EQ(got.TexCoords()[corners[k]].u, want.texels[wf.corners[k]][0]);
        EXPECT_EQ(got.TexCoords()[corners[k]].v, want.texels[wf.corners[k]][1]);
      }
    }
    std::vector<std::uint32_t> ids = got.MaterialIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, std::vector<std::uint32_t>(used.begin(), used.end()));

    const Node& node = s.nodes[i];
    const KeyframeTrack& track = r.Tracks()[i];
    EXPECT_FLOAT_EQ(track.pivot.x, -axis_length(want.axes[0]) * node.pivot[0]);
    EXPECT_FLOAT_EQ(track.pivot.y, -axis_length(want.axes[1]) * node.pivot[1]);
    EXPECT_FLOAT_EQ(track.pivot.z, -axis_length(want.axes[2]) * node.pivot[2]);
    EXPECT_EQ(track.position_samples, expected_positions(node, s.frames));
    EXPECT_EQ(track.rotation_samples, expected_rotations(node, s.frames));
    if (!node.rotations.empty()) {
      EXPECT_EQ(track.first_rotation[0], -node.rotations[0].axis[0]);
      EXPECT_EQ(track.first_rotation[3], node.rotations[0].angle);
    }
  }
}

}  // namespace

TEST(Model3dsRoundTrip, RandomScenesWrittenByLib3ds) {
  std::mt19937 rng(20080808);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    const Scene scene = random_scene(rng);
    const std::vector<std::uint8_t> bytes = write_with_lib3ds(scene);
    ASSERT_FALSE(bytes.empty());
    L3DS reader;
    ASSERT_TRUE(reader.ReadModelBuffer(bytes.data(), bytes.size()));
    check_scene(scene, reader);
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

#else
TEST(Model3dsRoundTrip, RandomScenesWrittenByLib3ds) { GTEST_SKIP() << "lib3ds is not installed"; }
#endif
