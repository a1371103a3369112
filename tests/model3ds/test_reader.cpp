// The bounded reader, the chunk walk and the material, light and camera
// readers, on byte-level scenes.
#include "scene_bytes.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::vector<std::uint8_t> bytes_of(const ChunkBuilder& b) { return b.bytes(); }

Payload material(const Payload& body) {
  return [=](ChunkBuilder& b) { b.chunk(0xAFFF, body); };
}

std::string write_temp(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

// `meshes` one-vertex meshes; the first one's node claims `frames` frames. An
// unread chunk of `extra` bytes (none, or at least 6) pads the editor.
std::vector<std::uint8_t> animated_scene(int meshes, std::uint32_t frames, std::size_t extra = 0) {
  return scene_bytes(
      [=](ChunkBuilder& b) {
        for (int i = 0; i < meshes; ++i) mesh_object("M" + std::to_string(i), vertex_list({{0, 0, 0}}))(b);
        if (extra == 0) return;
        b.begin(0x3D3E);
        for (std::size_t i = 6; i < extra; ++i) b.u8(0);
        b.end();
      },
      [=](ChunkBuilder& k) { object_node(k, NodeSpec{"M0", false, {}, frames, {{1, 2, 3, 0}}, {}}); });
}

}  // namespace

TEST(Model3dsReader, ReadsStopAtTheBufferEnd) {
  const std::uint8_t data[4] = {1, 2, 3, 4};
  L3DS r;
  ASSERT_TRUE(r.AttachBuffer(data, sizeof data));
  r.MoveCursor(2, L3DS::kSeekSet);
  EXPECT_EQ(r.TakeU16(), 0x0403);
  EXPECT_FALSE(r.ReadError());
  r.MoveCursor(3, L3DS::kSeekSet);
  EXPECT_EQ(r.TakeU16(), 0);
  EXPECT_TRUE(r.ReadError());
  EXPECT_EQ(r.Cursor(), 3u);
  EXPECT_EQ(r.TakeF32(), 0.0f);

  r.MoveCursor(100, L3DS::kSeekSet);  // clamps, and a seek clears the error
  EXPECT_EQ(r.Cursor(), 3u);
  EXPECT_FALSE(r.ReadError());
  r.MoveCursor(0xFFFFFFFFu, L3DS::kSeekCurrent);
  EXPECT_EQ(r.Cursor(), 3u);
  r.DetachBuffer();
  EXPECT_EQ(r.TakeU8(), 0);
  EXPECT_TRUE(r.ReadError());
}

TEST(Model3dsReader, TextIsCutToItsLength) {
  ChunkBuilder b;
  b.text("abcdefghijklmnopqrstuvwxy").text("z");
  L3DS r;
  ASSERT_TRUE(r.AttachBuffer(b.bytes().data(), b.size()));
  char text[20];
  EXPECT_EQ(r.TakeText(text, sizeof text), 19u);
  EXPECT_STREQ(text, "abcdefghijklmnopqrs");
  EXPECT_EQ(r.Cursor(), 20u);  // the 20th character is consumed and dropped

  r.MoveCursor(26, L3DS::kSeekSet);
  EXPECT_EQ(r.TakeText(text, sizeof text), 1u);
  EXPECT_STREQ(text, "z");
  // A failed read leaves a defined, empty text.
  r.DetachBuffer();
  std::snprintf(text, sizeof text, "stale");
  EXPECT_EQ(r.TakeText(text, sizeof text), 0u);
  EXPECT_STREQ(text, "");
}

TEST(Model3dsReader, KeyHeaderSkipsOneFloatPerHighFlag) {
  ChunkBuilder b;
  b.u32(7).u16(0x9000).f32s({1, 2}).u32(8).u16(0x0001);
  L3DS r;
  ASSERT_TRUE(r.AttachBuffer(b.bytes().data(), b.size()));
  EXPECT_EQ(r.TakeKeyHeader(), 7u);
  EXPECT_EQ(r.Cursor(), 14u);
  EXPECT_EQ(r.TakeKeyHeader(), 8u);
  EXPECT_EQ(r.Cursor(), 20u);
}

TEST(Model3dsReader, FileMustStartWithMainAndHoldAnEditor) {
  L3DS r;
  ChunkBuilder editor_first;
  editor_first.chunk(0x3D3D, [](ChunkBuilder&) {});
  EXPECT_FALSE(parse_exact(r, bytes_of(editor_first)));
  ChunkBuilder no_editor;
  no_editor.chunk(0x4D4D, [](ChunkBuilder& b) { b.empty_chunk(0xB000); });
  EXPECT_FALSE(parse_exact(r, bytes_of(no_editor)));
  EXPECT_TRUE(parse_exact(r, scene_bytes([](ChunkBuilder&) {})));
  EXPECT_FALSE(r.ReadModelBuffer(nullptr, 10));
}

TEST(Model3dsReader, UnreadableFilesLeaveTheListsAlone) {
  L3DS r;
  const auto good = scene_bytes([](ChunkBuilder& b) {
    b.begin(0x4000).text("Cam").begin(0x4700).f32s({0, 0, 0, 1, 1, 1, 0, 50}).end().end();
  });
  ASSERT_TRUE(r.ReadModelFile(write_temp(good, "qm_m3ds_good.3ds").c_str()));
  ASSERT_EQ(r.Cameras().size(), 1u);
  EXPECT_FALSE(r.ReadModelFile(write_temp({}, "qm_m3ds_empty.3ds").c_str()));
  EXPECT_FALSE(r.ReadModelFile("/nonexistent/qm_m3ds.3ds"));
  EXPECT_EQ(r.Cameras().size(), 1u);
}

TEST(Model3dsReader, SecondFileReplacesTheFirst) {
  L3DS r;
  const auto first = scene_bytes(
      [](ChunkBuilder& b) {
        material([](ChunkBuilder& m) { m.begin(0xA000).text("Red").end(); })(b);
        mesh_object("Box", vertex_list({{0, 0, 0}}))(b);
      },
      [](ChunkBuilder& b) { object_node(b, NodeSpec{"Box", false, {}, 30, {{1, 2, 3, 0}}, {}}); });
  ASSERT_TRUE(parse_exact(r, first));
  EXPECT_EQ(r.FrameCount(), 30u);
  ASSERT_TRUE(parse_exact(r, scene_bytes([](ChunkBuilder& b) {
    b.begin(0x4000).text("Lamp").begin(0x4600).f32s({1, 2, 3}).end().end();
  })));
  EXPECT_TRUE(r.Materials().empty());
  EXPECT_TRUE(r.Meshes().empty());
  EXPECT_TRUE(r.Tracks().empty());
  EXPECT_EQ(r.FrameCount(), 0u);
  EXPECT_EQ(r.Lights().size(), 1u);
}

TEST(Model3dsReader, MaterialColoursPercentagesAndShading) {
  L3DS r;
  ASSERT_TRUE(parse_exact(r, scene_bytes([](ChunkBuilder& b) {
    material([](ChunkBuilder& m) {
      m.begin(0xA000).text("Brick").end();
      m.chunk(0xA010, [](ChunkBuilder& c) { c.begin(0x0011).u8(255).u8(0).u8(51).end(); });
      m.chunk(0xA020, [](ChunkBuilder& c) { c.begin(0x0010).f32s({0.1f, 0.2f, 0.3f}).end(); });
      m.chunk(0xA030, [](ChunkBuilder& c) { c.begin(0x0013).f32s({0.5f, 0.5f, 0.5f}).end(); });
      m.chunk(0xA040, [](ChunkBuilder& c) { c.begin(0x0030).u16(static_cast<std::uint16_t>(-20)).end(); });
      m.chunk(0xA050, [](ChunkBuilder& c) { c.begin(0x0031).f32(0.75f).end(); });
      m.begin(0xA100).u16(7).end();
      m.chunk(0xA200, [](ChunkBuilder& t) {
        t.begin(0x0030).u16(40).end();
        t.begin(0x0031).f32(0.9f).end();  // a float strength is not read here
        t.begin(0xA300).text("brick.jpg").end();
        t.begin(0xA354).f32(2).end().begin(0xA356).f32(3).end();
        t.begin(0xA358).f32(0.25f).end().begin(0xA35A).f32(0.5f).end();
        t.begin(0xA35C).f32(45).end();
      });
      m.chunk(0xA230, [](ChunkBuilder& t) { t.begin(0xA300).text("bump-map-with-long-name.jpg").end(); });
    })(b);
    material([](ChunkBuilder& m) {
      m.begin(0xA000).text("Wire").end();
      m.begin(0xA100).u16(3).end();
      m.empty_chunk(0xA085);
    })(b);
  })));
  ASSERT_EQ(r.Materials().size(), 2u);
  const LMaterial& brick = r.Materials()[0];
  EXPECT_EQ(brick.NameRef(), "Brick");
  EXPECT_FLOAT_EQ(brick.Ambient().x, 1.0f);
  EXPECT_FLOAT_EQ(brick.Ambient().y, 0.0f);
  EXPECT_FLOAT_EQ(brick.Ambient().z, 0.2f);
  EXPECT_FLOAT_EQ(brick.Diffuse().y, 0.2f);
  EXPECT_FLOAT_EQ(brick.Specular().z, 0.5f);
  EXPECT_EQ(brick.Shininess(), 0.0f);
  EXPECT_FLOAT_EQ(brick.Transparency(), 0.75f);
  EXPECT_EQ(brick.Shading(), 2);
  const TextureMapBlock& map = brick.PrimaryTextureMap();
  EXPECT_FLOAT_EQ(map.strength, 0.4f);
  EXPECT_STREQ(map.name, "brick.jpg");
  EXPECT_EQ(map.u_scale, 2.0f);
  EXPECT_EQ(map.v_scale, 3.0f);
  EXPECT_EQ(map.u_offset, 0.25f);
  EXPECT_EQ(map.v_offset, 0.5f);
  EXPECT_EQ(map.rotation, 45.0f);
  EXPECT_STREQ(brick.BumpMap().name, "bump-map-with-long-");  // 19 kept
  EXPECT_EQ(r.Materials()[1].Shading(), 0);
  EXPECT_EQ(r.Materials()[1].Index(), 1);
  EXPECT_EQ(r.MaterialNamed("Wire"), &r.Materials()[1]);
  EXPECT_EQ(r.MaterialNamed("wire"), nullptr);
}

TEST(Model3dsReader, ReflectionMapsKeepTheirMaterialAndName) {
  const auto reflection = [](const char* name) {
    return material([name](ChunkBuilder& m) {
      m.begin(0xA000).text(std::string("M-") + (name ? name : "none")).end();
      m.chunk(0xA220, [name](ChunkBuilder& t) {
        t.begin(0x0030).u16(50).end();
        if (name) t.begin(0xA300).text(name).end();
      });
    });
  };
  L3DS r;
  ASSERT_TRUE(parse_exact(r, scene_bytes([&](ChunkBuilder& b) {
    reflection("")(b);
    reflection(nullptr)(b);
    reflection("sky.jpg")(b);
  })));
  ASSERT_EQ(r.Materials().size(), 3u);
  EXPECT_STREQ(r.Materials()[0].ReflectionMap().name, "auto");
  EXPECT_FLOAT_EQ(r.Materials()[0].ReflectionMap().strength, 0.5f);
  // No name chunk: the material stays, with its strength and no name.
  EXPECT_EQ(r.Materials()[1].NameRef(), "M-none");
  EXPECT_FLOAT_EQ(r.Materials()[1].ReflectionMap().strength, 0.5f);
  EXPECT_STREQ(r.Materials()[1].ReflectionMap().name, "");
  EXPECT_STREQ(r.Materials()[2].ReflectionMap().name, "sky.jpg");
  EXPECT_EQ(r.Materials()[2].Index(), 2);
}

TEST(Model3dsReader, CameraAndLightFields) {
  L3DS r;
  // The camera's object is the buffer's last chunk: its last field is read.
  const auto bytes = scene_bytes([](ChunkBuilder& b) {
    b.begin(0x4000).text("Lamp").begin(0x4600).f32s({1, 2, 3});
    b.begin(0x0010).f32s({0.5f, 0.25f, 1}).end();
    b.begin(0x4610).f32s({4, 5, 6, 20, 40}).end();
    b.begin(0x4659).f32(5).end();
    b.begin(0x465A).f32(50).end();
    b.end().end();
    b.begin(0x4000).text("Point").begin(0x4600).f32s({7, 8, 9}).end().end();
    b.begin(0x4000).text("Cam").begin(0x4700).f32s({1, 2, 3, 4, 5, 6, 15, 50});
    b.begin(0x4720).f32s({2, 900}).end();
    b.end().end();
  });
  ASSERT_TRUE(parse_exact(r, bytes));
  ASSERT_EQ(r.Lights().size(), 2u);
  const LLight& lamp = r.Lights()[0];
  EXPECT_EQ(lamp.NameRef(), "Lamp");
  EXPECT_EQ(lamp.Position().z, 3.0f);
  EXPECT_EQ(lamp.Colour().y, 0.25f);
  EXPECT_EQ(lamp.SpotTarget().x, 4.0f);
  EXPECT_EQ(lamp.Hotspot(), 20.0f);
  EXPECT_EQ(lamp.Falloff(), 40.0f);
  EXPECT_EQ(lamp.RangeStart(), 5.0f);
  EXPECT_EQ(lamp.RangeEnd(), 50.0f);
  const LLight& point = r.Lights()[1];
  EXPECT_EQ(point.Position().x, 7.0f);
  EXPECT_EQ(point.Hotspot(), 0.0f);
  EXPECT_EQ(point.RangeEnd(), 1000.0f);
  ASSERT_EQ(r.Cameras().size(), 1u);
  const LCamera& cam = r.Cameras()[0];
  EXPECT_EQ(cam.NameRef(), "Cam");
  EXPECT_EQ(cam.Target().y, 5.0f);
  EXPECT_EQ(cam.Bank(), 15.0f);
  EXPECT_FLOAT_EQ(cam.FieldOfView(), 48.0f);
  EXPECT_EQ(cam.NearRange(), 2.0f);
  EXPECT_EQ(cam.FarRange(), 900.0f);
}

// Chunk lengths that cannot be walked: each parse fails, terminates, and
// reads nothing outside the data.
TEST(Model3dsReader, BrokenChunkLengthsFailTheParse) {
  struct Case {
    const char* what;
    std::function<void(ChunkBuilder&)> editor;
  };
  const Case cases[] = {
      {"length 0", [](ChunkBuilder& b) { b.begin(0xAFFF).end_with_length(0); }},
      {"length below the header", [](ChunkBuilder& b) { b.begin(0x4000).u32(0).end_with_length(3); }},
      {"32-bit wrap-around", [](ChunkBuilder& b) { b.begin(0xAFFF).u32(0).end_with_length(0xFFFFFFF0u); }},
      {"end past the parent",
       [](ChunkBuilder& b) {
         b.begin(0xAFFF).begin(0xA000).text("x").end_with_length(40).end();
         b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
       }},
      {"mesh sub-chunk wraps",
       [](ChunkBuilder& b) {
         mesh_object("M", [](ChunkBuilder& m) { m.begin(0x4110).u16(0).end_with_length(0xFFFFFFFFu); })(b);
       }},
  };
  for (const Case& c : cases) {
    L3DS r;
    EXPECT_FALSE(parse_exact(r, scene_bytes(c.editor))) << c.what;
    EXPECT_TRUE(r.Materials().empty()) << c.what;
  }
  // The main chunk itself: a truncated header, and an end past the data.
  L3DS r;
  const std::vector<std::uint8_t> stub = {0x4D, 0x4D, 0x20};
  EXPECT_FALSE(parse_exact(r, stub));
  auto longer = scene_bytes([](ChunkBuilder&) {});
  longer[2] = 0xFF;
  EXPECT_FALSE(parse_exact(r, longer));
}

TEST(Model3dsReader, CountsBeyondTheirChunkFailTheParse) {
  L3DS r;
  // 60000 vertices announced, one present.
  EXPECT_FALSE(parse_exact(r, scene_bytes(mesh_object("M", [](ChunkBuilder& m) {
    m.begin(0x4110).u16(60000).f32s({1, 2, 3}).end();
  }))));
  // A position track claiming 2^32 - 1 keys.
  const auto huge_keys = scene_bytes(mesh_object("M", vertex_list({{0, 0, 0}})), [](ChunkBuilder& k) {
    k.begin(0xB002).begin(0xB010).text("M").end();
    k.begin(0xB020).u16(0).u32(0).u32(10).u32(0xFFFFFFFFu).u32(0).u16(0).f32s({1, 2, 3}).end();
    k.end();
  });
  EXPECT_FALSE(parse_exact(r, huge_keys));
  EXPECT_TRUE(r.Tracks().empty());
}

TEST(Model3dsReader, FrameCountsAreCappedAndBudgeted) {
  L3DS r;
  ASSERT_TRUE(parse_exact(r, animated_scene(1, 0x7FFFFFFFu)));
  EXPECT_EQ(r.FrameCount(), L3DS::kMaxFrames);
  EXPECT_EQ(r.Tracks()[0].position_samples.size(), std::size_t{L3DS::kMaxFrames} * 3);
  ASSERT_TRUE(parse_exact(r, animated_scene(1, 0xFFFFFFFFu)));  // negative as a signed count
  EXPECT_EQ(r.FrameCount(), 1u);
  ASSERT_TRUE(parse_exact(r, animated_scene(2, 0)));
  EXPECT_EQ(r.FrameCount(), 1u);
  // 3.5 KB asking for 95 x 100000 frames of samples (266 MB): refused, from
  // memory and from a file alike.
  const auto attack = animated_scene(95, L3DS::kMaxFrames);
  ASSERT_LT(attack.size(), 4000u);
  EXPECT_FALSE(parse_exact(r, attack));
  EXPECT_TRUE(r.Meshes().empty());
  EXPECT_FALSE(r.ReadModelFile(write_temp(attack, "qm_3ds_sample_budget.3ds").c_str()));
  EXPECT_TRUE(r.Tracks().empty());
}

// Any file may use the fixed allowance of 2^23 floats: 12 meshes over 99864
// frames (8,388,576 floats) are read from a few hundred bytes, one frame more
// (8,388,660) is not.
TEST(Model3dsReader, SmallFilesGetTheFixedSampleAllowance) {
  static_assert(L3DS::kMinSampleFloats == 8388608);
  L3DS r;
  const auto fits = animated_scene(12, 99864);
  ASSERT_LT(fits.size(), 1000u);
  ASSERT_TRUE(parse_exact(r, fits));
  EXPECT_EQ(r.Tracks()[11].rotation_samples.size(), 99864u * 4);
  EXPECT_FALSE(parse_exact(r, animated_scene(12, 99865)));
}

// Ordinary animated scenes: cubes, each with its own node and a position
// track over 10000 frames.
TEST(Model3dsReader, AnimatedCubeScenesAreRead) {
  const auto cubes = [](int count) {
    return scene_bytes(
        [=](ChunkBuilder& b) {
          for (int i = 0; i < count; ++i)
            mesh_object("Cube" + std::to_string(i), [](ChunkBuilder& m) {
              vertex_list({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                           {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}})(m);
              const std::uint16_t faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7},
                                                  {0, 1, 5}, {0, 5, 4}, {1, 2, 6}, {1, 6, 5},
                                                  {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
              m.begin(0x4120).u16(12);
              for (const auto& f : faces) m.u16(f[0]).u16(f[1]).u16(f[2]).u16(7);
              m.end();
            })(b);
        },
        [=](ChunkBuilder& k) {
          for (int i = 0; i < count; ++i)
            object_node(k, NodeSpec{"Cube" + std::to_string(i), false, {}, 10000,
                                    {{0, 0, 0, 0}, {float(i), 2, 3, 9999}}, {}});
        });
  };
  for (int count : {20, 100}) {
    const auto bytes = cubes(count);
    L3DS r;
    ASSERT_TRUE(parse_exact(r, bytes)) << count << " cubes, " << bytes.size() << " bytes";
    ASSERT_EQ(r.Meshes().size(), static_cast<std::size_t>(count));
    EXPECT_EQ(r.FrameCount(), 10000u);
    const auto& last = r.Tracks()[count - 1].position_samples;
    ASSERT_EQ(last.size(), 30000u);
    EXPECT_EQ(last[9999 * 3], float(count - 1));
    EXPECT_TRUE(r.ReadModelFile(write_temp(bytes, "qm_3ds_cubes.3ds").c_str()));
  }
}

// Past the fixed allowance, samples need file bytes: 12 meshes over 100000
// frames (8,400,000 floats) need a file of 8,400,000 / 64 = 131,250 bytes.
TEST(Model3dsReader, SampleBudgetGrowsWithTheFile) {
  static_assert(L3DS::kSampleFloatsPerFileByte == 64);
  const std::size_t needed = 131250;
  const std::size_t bare = animated_scene(12, 100000).size();
  L3DS r;
  EXPECT_FALSE(parse_exact(r, animated_scene(12, 100000, needed - 1 - bare)));
  const auto justified = animated_scene(12, 100000, needed - bare);
  ASSERT_EQ(justified.size(), needed);
  ASSERT_TRUE(parse_exact(r, justified));
  EXPECT_EQ(r.Tracks()[11].rotation_samples.size(), 400000u);
  EXPECT_EQ(r.Tracks()[0].position_samples[99999 * 3 + 2], 3.0f);
}

TEST(Model3dsReader, MeshesWithoutNodesGetEmptyTracks) {
  L3DS r;
  ASSERT_TRUE(parse_exact(r, scene_bytes([](ChunkBuilder& b) {
    mesh_object("A", vertex_list({{1, 1, 1}}))(b);
    mesh_object("B", vertex_list({{2, 2, 2}}))(b);
  })));
  ASSERT_EQ(r.Meshes().size(), 2u);
  ASSERT_EQ(r.Tracks().size(), 2u);
  EXPECT_EQ(r.FrameCount(), 0u);
  EXPECT_TRUE(r.Tracks()[1].position_samples.empty());

  // One node for two meshes; a node naming no mesh still takes its place.
  ASSERT_TRUE(parse_exact(r, scene_bytes(
                                 [](ChunkBuilder& b) {
                                   mesh_object("A", vertex_list({{1, 1, 1}}))(b);
                                   mesh_object("B", vertex_list({{2, 2, 2}}))(b);
                                 },
                                 [](ChunkBuilder& k) {
                                   object_node(k, NodeSpec{"Nobody", true, {1, 1, 1}, 5, {{4, 5, 6, 0}}, {}});
                                 })));
  ASSERT_EQ(r.Tracks().size(), 2u);
  EXPECT_EQ(r.FrameCount(), 0u);  // the unmatched node's keys were not read
  EXPECT_EQ(r.Tracks()[0].pivot.x, 0.0f);
}

TEST(Model3dsReader, OverlongObjectNamesAreCutButSkipped) {
  const std::string name(120, 'n');
  L3DS r;
  ASSERT_TRUE(parse_exact(r, scene_bytes([&](ChunkBuilder& b) {
    b.begin(0x4000).text(name).begin(0x4700).f32s({0, 0, 0, 1, 1, 1, 0, 50}).end().end();
  })));
  ASSERT_EQ(r.Cameras().size(), 1u);
  EXPECT_EQ(r.Cameras()[0].NameRef(), name.substr(0, 98));
  EXPECT_FLOAT_EQ(r.Cameras()[0].FieldOfView(), 48.0f);
}

TEST(Model3dsReader, BuffersOf4GiBOrMoreAreRefused) {
  const std::uint8_t byte = 0;
  L3DS r;
  // Refused on the size alone: nothing is read.
  EXPECT_FALSE(r.ReadModelBuffer(&byte, std::size_t{1} << 32));
  EXPECT_FALSE(r.AttachBuffer(&byte, std::size_t{1} << 32));
}
