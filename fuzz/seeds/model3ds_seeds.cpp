// 3DS seeds: scenes written by lib3ds (materials with colours, percentages and
// texture maps, cameras, point and spot lights, meshes with faces, texture
// coordinates, smoothing and material groups, keyframes), kept small, and
// scenes built chunk by chunk for what lib3ds never writes: float colours and
// percentages, the other maps, an automatic reflection, faces ahead of their
// vertices, key headers with extra fields, a scale track.
#include "seeds.hpp"

#include "scene_bytes.hpp"

#ifdef QM_HAVE_LIB3DS
#include "lib3ds_scene.hpp"
#endif

#include <algorithm>

namespace fuzz_seeds {
namespace {

#ifdef QM_HAVE_LIB3DS
// At most 10 points and 12 faces per mesh, so a scene stays near 1 KB.
void shrink(roundtrip::Scene& scene) {
  for (roundtrip::Mesh& m : scene.meshes) {
    m.points.resize(std::min<std::size_t>(m.points.size(), 10));
    m.texels.resize(m.points.size());
    m.faces.resize(std::min<std::size_t>(m.faces.size(), 12));
    for (roundtrip::Face& f : m.faces)
      for (std::uint16_t& c : f.corners) c = static_cast<std::uint16_t>(c % m.points.size());
  }
}
#endif

void map_block(ChunkBuilder& b, std::uint16_t id, const std::string& name) {
  b.begin(id);
  b.begin(0x0030).u16(60).end();
  b.begin(0xA300).text(name).end();
  b.begin(0xA354).f32(2.0f).end();
  b.begin(0xA356).f32(0.5f).end();
  b.begin(0xA358).f32(0.25f).end();
  b.begin(0xA35A).f32(-0.25f).end();
  b.begin(0xA35C).f32(90.0f).end();
  b.end();
}

// Everything the reader reads, in the forms lib3ds does not write.
std::vector<std::uint8_t> chunk_scene() {
  const Payload editor = [](ChunkBuilder& b) {
    b.begin(0xAFFF);
    b.begin(0xA000).text("flat").end();
    b.begin(0xA010).begin(0x0010).f32s({0.1f, 0.2f, 0.3f}).end().end();
    b.begin(0xA020).begin(0x0013).f32s({0.9f, 0.5f, 0.1f}).end().end();
    b.begin(0xA030).begin(0x0012).u8(10).u8(20).u8(30).end().end();
    b.begin(0xA040).begin(0x0031).f32(0.75f).end().end();
    b.begin(0xA050).begin(0x0030).u16(25).end().end();
    b.begin(0xA100).u16(3).end();
    b.empty_chunk(0xA085);
    map_block(b, 0xA200, "primary.jpg");
    map_block(b, 0xA33A, "second.jpg");
    map_block(b, 0xA210, "opacity.jpg");
    map_block(b, 0xA230, "bump.jpg");
    map_block(b, 0xA204, "shine.jpg");
    b.begin(0xA220).begin(0x0030).u16(40).end().begin(0xA300).text("").end().end();
    b.end();

    b.begin(0x4000).text("lamp");
    b.begin(0x4600).f32s({1, 2, 3});
    b.begin(0x0010).f32s({1.0f, 0.9f, 0.8f}).end();
    b.begin(0x4610).f32s({0, 0, 0, 20, 35}).end();
    b.begin(0x4659).f32(5).end();
    b.begin(0x465A).f32(500).end();
    b.end().end();

    b.begin(0x4000).text("camera");
    b.begin(0x4700).f32s({0, -50, 10, 0, 0, 0, 5, 35});
    b.begin(0x4720).f32s({1, 1000}).end();
    b.end().end();

    b.begin(0x4000).text("quad").begin(0x4100);
    b.begin(0x4120).u16(2).u16(0).u16(1).u16(2).u16(7).u16(0).u16(2).u16(3).u16(7);
    b.begin(0x4130).text("flat").u16(2).u16(0).u16(1).end();
    b.begin(0x4150).u32(1).u32(6).end();
    b.end();
    b.begin(0x4110).u16(4).f32s({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}).end();
    b.begin(0x4140).u16(4).f32s({0, 0, 1, 0, 1, 1, 0, 1}).end();
    b.begin(0x4160).f32s({2, 0, 0, 0, 2, 0, 0, 0, 1, 5, 5, 0}).end();
    b.end().end();
  };
  const Payload keyframer = [](ChunkBuilder& b) {
    b.begin(0xB002);
    b.begin(0xB010).text("quad").u16(0).u16(0).u16(0xFFFF).end();
    b.begin(0xB013).f32s({0.5f, 0.5f, 0}).end();
    // Keys with every optional field (tension, continuity, bias, ease to, ease from).
    b.begin(0xB020).u16(0).u32(0).u32(30).u32(2);
    b.u32(0).u16(0xF800).f32s({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}).f32s({0, 0, 0});
    b.u32(20).u16(0x8800).f32s({0.1f, 0.5f}).f32s({4, 2, 1});
    b.end();
    b.begin(0xB021).u16(0).u32(0).u32(30).u32(2);
    b.u32(0).u16(0).f32s({0, 0, 0, 1});
    b.u32(25).u16(0x2000).f32(0.3f).f32s({1.5f, 0, 1, 0});
    b.end();
    b.begin(0xB022).u16(0).u32(0).u32(30).u32(1).u32(0).u16(0).f32s({1, 1, 1}).end();
    b.end();
  };
  return scene_bytes(editor, keyframer);
}

// Two triangles in two meshes with plain keyframes, the reader's common case.
std::vector<std::uint8_t> two_mesh_scene() {
  const Payload triangle = [](ChunkBuilder& b) {
    vertex_list({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})(b);
    b.begin(0x4120).u16(1).u16(0).u16(1).u16(2).u16(7).end();
  };
  const Payload editor = [&](ChunkBuilder& b) {
    mesh_object("a", triangle)(b);
    mesh_object("b", triangle)(b);
  };
  const Payload keyframer = [](ChunkBuilder& b) {
    NodeSpec a{.name = "a", .pivot = true, .pivot_value = {1, 0, 0}, .track_frames = 10};
    PositionKey p0, p1;
    p1.frame = 9;
    p1.x = 3;
    a.positions = {p0, p1};
    RotationKey r0;
    r0.angle = 1;
    r0.z = 1;
    a.rotations = {r0};
    object_node(b, a);
    object_node(b, NodeSpec{.name = "b", .track_frames = 10});
  };
  return scene_bytes(editor, keyframer);
}

}  // namespace

std::vector<seed> model3ds_seeds() {
  std::vector<seed> seeds;
  seeds.push_back({"chunks-everything.3ds", chunk_scene()});
  seeds.push_back({"chunks-two-meshes.3ds", two_mesh_scene()});
#ifdef QM_HAVE_LIB3DS
  for (unsigned i = 1; i <= 8; ++i) {
    std::mt19937 rng(i);
    roundtrip::Scene scene = roundtrip::random_scene(rng);
    shrink(scene);
    seeds.push_back({"lib3ds-scene" + std::to_string(i) + ".3ds", roundtrip::write_with_lib3ds(scene)});
  }
#endif
  return seeds;
}

}  // namespace fuzz_seeds
