// Random scenes written by lib3ds, an independent 3DS implementation, for the
// round-trip tests. The description keeps what was written so the test can
// compute what the reader must deliver.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace roundtrip {

using Vec = std::array<float, 3>;

struct Map {
  std::string name;  // empty: not written
  int percent = 0;
  float u_scale = 1, v_scale = 1, u_offset = 0, v_offset = 0, rotation = 0;
};

struct Material {
  std::string name;
  std::array<std::uint8_t, 3> ambient{}, diffuse{}, specular{};
  int shininess_percent = 0;
  int transparency_percent = 0;
  int shading = 2;
  Map texture;
  Map reflection;
};

struct Camera {
  std::string name;
  Vec position{}, target{};
  float roll = 0, fov = 45, near_range = 1, far_range = 1000;
};

struct Light {
  std::string name;
  Vec position{}, colour{};
  bool spot = false;
  Vec spot_target{};
  float hotspot = 0, falloff = 0, inner_range = 0, outer_range = 0;
};

struct Face {
  std::array<std::uint16_t, 3> corners{};
  std::uint32_t smoothing = 0;
  int material = -1;  // index into the scene's materials, -1 for none
};

struct Mesh {
  std::string name;
  std::vector<Vec> points;
  std::vector<std::array<float, 2>> texels;
  std::vector<Face> faces;
  std::array<Vec, 4> axes{};  // X, Y, Z, origin
};

struct PosKey {
  std::uint32_t frame = 0;
  Vec value{};
};

struct RotKey {
  std::uint32_t frame = 0;
  float angle = 0;
  Vec axis{};
};

// One object node per mesh, same name, same order.
struct Node {
  Vec pivot{};
  std::vector<PosKey> positions;
  std::vector<RotKey> rotations;
};

struct Scene {
  std::vector<Material> materials;
  std::vector<Camera> cameras;
  std::vector<Light> lights;
  std::vector<Mesh> meshes;
  std::vector<Node> nodes;
  std::uint32_t frames = 0;
};

// Names are numbered so that lib3ds, which keeps its lists sorted by name,
// writes everything in the order of the description.
Scene random_scene(std::mt19937& rng);

// The scene as lib3ds writes it. lib3ds leaves the track headers' frame field
// at 0; it is set to scene.frames, as modelling tools write it.
std::vector<std::uint8_t> write_with_lib3ds(const Scene& scene);

}  // namespace roundtrip
