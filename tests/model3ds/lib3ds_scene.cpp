#include "lib3ds_scene.hpp"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace roundtrip {
namespace {

std::string numbered(const char* prefix, std::size_t i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%02zu", prefix, i);
  return buf;
}

template <class T>
T pick(std::mt19937& rng, T lo, T hi) {
  if constexpr (std::is_integral_v<T>)
    return std::uniform_int_distribution<T>(lo, hi)(rng);
  else
    return std::uniform_real_distribution<T>(lo, hi)(rng);
}

Vec random_vec(std::mt19937& rng, float range) {
  return {pick(rng, -range, range), pick(rng, -range, range), pick(rng, -range, range)};
}

Map random_map(std::mt19937& rng, const char* name) {
  Map m;
  m.name = name;
  m.percent = pick(rng, 0, 100);
  m.u_scale = pick(rng, 0.25f, 4.0f);
  m.v_scale = pick(rng, 0.25f, 4.0f);
  m.u_offset = pick(rng, -1.0f, 1.0f);
  m.v_offset = pick(rng, -1.0f, 1.0f);
  m.rotation = pick(rng, 0.0f, 360.0f);
  return m;
}

// Keys at strictly increasing frames below `frames`.
std::vector<std::uint32_t> key_frames(std::mt19937& rng, std::uint32_t frames) {
  std::vector<std::uint32_t> out;
  std::uint32_t f = pick<std::uint32_t>(rng, 0, 3);
  const int count = pick(rng, 1, 5);
  for (int k = 0; k < count && f < frames; ++k) {
    out.push_back(f);
    f += pick<std::uint32_t>(rng, 1, frames / 3 + 1);
  }
  return out;
}

void set_map(Lib3dsTextureMap& dst, const Map& src) {
  std::snprintf(dst.name, sizeof dst.name, "%s", src.name.c_str());
  dst.percent = static_cast<float>(src.percent) / 100.0f;
  dst.scale[0] = src.u_scale;
  dst.scale[1] = src.v_scale;
  dst.offset[0] = src.u_offset;
  dst.offset[1] = src.v_offset;
  dst.rotation = src.rotation;
}

// --- an in-memory lib3ds stream

struct MemoryStream {
  std::vector<std::uint8_t> data;
  long pos = 0;
};

Lib3dsBool stream_error(void*) { return LIB3DS_FALSE; }

long stream_seek(void* self, long offset, Lib3dsIoSeek origin) {
  auto* s = static_cast<MemoryStream*>(self);
  const long base = origin == LIB3DS_SEEK_SET ? 0 : origin == LIB3DS_SEEK_CUR ? s->pos : static_cast<long>(s->data.size());
  s->pos = base + offset;
  return 0;
}

long stream_tell(void* self) { return static_cast<MemoryStream*>(self)->pos; }

size_t stream_read(void* self, void* buffer, size_t size) {
  auto* s = static_cast<MemoryStream*>(self);
  const size_t n = std::min(size, s->data.size() - static_cast<size_t>(s->pos));
  std::memcpy(buffer, s->data.data() + s->pos, n);
  s->pos += static_cast<long>(n);
  return n;
}

size_t stream_write(void* self, const void* buffer, size_t size) {
  auto* s = static_cast<MemoryStream*>(self);
  if (s->data.size() < static_cast<size_t>(s->pos) + size) s->data.resize(s->pos + size);
  std::memcpy(s->data.data() + s->pos, buffer, size);
  s->pos += static_cast<long>(size);
  return size;
}

// Sets the frame field of every position-track header.
void set_track_frames(std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end,
                      std::uint32_t frames) {
  std::size_t p = begin;
  while (p + 6 <= end) {
    const std::uint16_t id = static_cast<std::uint16_t>(bytes[p] | (bytes[p + 1] << 8));
    std::uint32_t len = 0;
    for (int i = 0; i < 4; ++i) len |= static_cast<std::uint32_t>(bytes[p + 2 + i]) << (8 * i);
    if (len < 6 || p + len > end) return;
    if (id == 0x4D4D || id == 0xB000 || id == 0xB002) set_track_frames(bytes, p + 6, p + len, frames);
    if (id == 0xB020 && len >= 6 + 14)
      for (int i = 0; i < 4; ++i) bytes[p + 6 + 6 + i] = static_cast<std::uint8_t>(frames >> (8 * i));
    p += len;
  }
}

}  // namespace

Scene random_scene(std::mt19937& rng) {
  Scene s;
  // Half the scenes use names longer than the shortest text fields.
  const bool long_names = pick(rng, 0, 1) != 0;
  const char* material_prefix = long_names ? "surface-material-" : "mat";
  const char* mesh_prefix = long_names ? "mesh-object-with-long-name-" : "mesh";
  s.frames = pick<std::uint32_t>(rng, 10, 120);
  const int materials = pick(rng, 1, 4);
  for (int i = 0; i < materials; ++i) {
    Material m;
    m.name = numbered(material_prefix, i);
    for (auto* c : {&m.ambient, &m.diffuse, &m.specular})
      for (auto& b : *c) b = static_cast<std::uint8_t>(pick(rng, 0, 255));
    m.shininess_percent = pick(rng, 0, 100);
    m.transparency_percent = pick(rng, 0, 100);
    m.shading = pick(rng, 0, 4);
    if (pick(rng, 0, 3) != 0) m.texture = random_map(rng, "texture.jpg");
    if (pick(rng, 0, 1) != 0) m.reflection = random_map(rng, "sky.jpg");
    s.materials.push_back(m);
  }
  for (int i = pick(rng, 0, 2); i > 0; --i) {
    Camera c;
    c.name = numbered("cam", s.cameras.size());
    c.position = random_vec(rng, 100);
    c.target = random_vec(rng, 100);
    c.roll = pick(rng, -180.0f, 180.0f);
    c.fov = pick(rng, 10.0f, 120.0f);
    c.near_range = pick(rng, 0.5f, 10.0f);
    c.far_range = pick(rng, 100.0f, 5000.0f);
    s.cameras.push_back(c);
  }
  for (int i = pick(rng, 0, 2); i > 0; --i) {
    Light l;
    l.name = numbered("lamp", s.lights.size());
    l.position = random_vec(rng, 100);
    l.colour = {pick(rng, 0.0f, 1.0f), pick(rng, 0.0f, 1.0f), pick(rng, 0.0f, 1.0f)};
    l.spot = pick(rng, 0, 1) != 0;
    if (l.spot) {
      l.spot_target = random_vec(rng, 100);
      l.hotspot = pick(rng, 5.0f, 40.0f);
      l.falloff = l.hotspot + pick(rng, 1.0f, 30.0f);
    }
    l.inner_range = pick(rng, 1.0f, 50.0f);
    l.outer_range = l.inner_range + pick(rng, 1.0f, 500.0f);
    s.lights.push_back(l);
  }
  const int meshes = pick(rng, 1, 3);
  for (int i = 0; i < meshes; ++i) {
    Mesh m;
    m.name = numbered(mesh_prefix, i);
    const int points = pick(rng, 3, 40);
    for (int p = 0; p < points; ++p) {
      m.points.push_back(random_vec(rng, 50));
      m.texels.push_back({pick(rng, 0.0f, 1.0f), pick(rng, 0.0f, 1.0f)});
    }
    for (int f = pick(rng, 1, 60); f > 0; --f) {
      Face face;
      for (auto& c : face.corners) c = static_cast<std::uint16_t>(pick(rng, 0, points - 1));
      face.smoothing = pick(rng, 0, 3) == 0 ? pick<std::uint32_t>(rng, 0, 0xFFFFFFFFu)
                                             : std::uint32_t{1} << pick(rng, 0, 3);
      face.material = pick(rng, -1, materials - 1);
      m.faces.push_back(face);
    }
    // Axes of a random rotation and scale, somewhere in the scene.
    const double a = pick(rng, 0.0, 6.28), b = pick(rng, -1.5, 1.5);
    const float scale = pick(rng, 0.5f, 3.0f);
    const Vec x{float(std::cos(a) * std::cos(b)), float(std::sin(a) * std::cos(b)), float(std::sin(b))};
    const Vec y{float(-std::sin(a)), float(std::cos(a)), 0.0f};
    const Vec z{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
    for (int k = 0; k < 3; ++k) {
      m.axes[0][k] = x[k] * scale;
      m.axes[1][k] = y[k] * scale;
      m.axes[2][k] = z[k];
    }
    m.axes[3] = random_vec(rng, 20);
    s.meshes.push_back(m);

    Node n;
    n.pivot = random_vec(rng, 5);
    for (std::uint32_t f : key_frames(rng, s.frames)) n.positions.push_back({f, random_vec(rng, 30)});
    for (std::uint32_t f : key_frames(rng, s.frames))
      n.rotations.push_back({f, pick(rng, -3.0f, 3.0f), random_vec(rng, 1)});
    s.nodes.push_back(n);
  }
  return s;
}

std::vector<std::uint8_t> write_with_lib3ds(const Scene& s) {
  std::unique_ptr<Lib3dsFile, void (*)(Lib3dsFile*)> file(lib3ds_file_new(), lib3ds_file_free);
  file->frames = static_cast<Lib3dsIntd>(s.frames);
  for (const Material& m : s.materials) {
    Lib3dsMaterial* out = lib3ds_material_new();
    std::snprintf(out->name, sizeof out->name, "%s", m.name.c_str());
    for (int k = 0; k < 3; ++k) {
      out->ambient[k] = m.ambient[k] / 255.0f;
      out->diffuse[k] = m.diffuse[k] / 255.0f;
      out->specular[k] = m.specular[k] / 255.0f;
    }
    out->shininess = static_cast<float>(m.shininess_percent) / 100.0f;
    out->transparency = static_cast<float>(m.transparency_percent) / 100.0f;
    out->shading = static_cast<Lib3dsIntw>(m.shading);
    set_map(out->texture1_map, m.texture);
    set_map(out->reflection_map, m.reflection);
    lib3ds_file_insert_material(file.get(), out);
  }
  for (const Camera& c : s.cameras) {
    Lib3dsCamera* out = lib3ds_camera_new(c.name.c_str());
    std::memcpy(out->position, c.position.data(), sizeof(Vec));
    std::memcpy(out->target, c.target.data(), sizeof(Vec));
    out->roll = c.roll;
    out->fov = c.fov;
    out->near_range = c.near_range;
    out->far_range = c.far_range;
    lib3ds_file_insert_camera(file.get(), out);
  }
  for (const Light& l : s.lights) {
    Lib3dsLight* out = lib3ds_light_new(l.name.c_str());
    std::memcpy(out->position, l.position.data(), sizeof(Vec));
    std::memcpy(out->color, l.colour.data(), sizeof(Vec));
    out->spot_light = l.spot ? LIB3DS_TRUE : LIB3DS_FALSE;
    std::memcpy(out->spot, l.spot_target.data(), sizeof(Vec));
    out->hot_spot = l.hotspot;
    out->fall_off = l.falloff;
    out->inner_range = l.inner_range;
    out->outer_range = l.outer_range;
    lib3ds_file_insert_light(file.get(), out);
  }
  for (std::size_t i = 0; i < s.meshes.size(); ++i) {
    const Mesh& m = s.meshes[i];
    Lib3dsMesh* out = lib3ds_mesh_new(m.name.c_str());
    lib3ds_mesh_new_point_list(out, static_cast<Lib3dsDword>(m.points.size()));
    lib3ds_mesh_new_texel_list(out, static_cast<Lib3dsDword>(m.texels.size()));
    lib3ds_mesh_new_face_list(out, static_cast<Lib3dsDword>(m.faces.size()));
    for (std::size_t p = 0; p < m.points.size(); ++p) {
      std::memcpy(out->pointL[p].pos, m.points[p].data(), sizeof(Vec));
      out->texelL[p][0] = m.texels[p][0];
      out->texelL[p][1] = m.texels[p][1];
    }
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
      const Face& face = m.faces[f];
      for (int k = 0; k < 3; ++k) out->faceL[f].points[k] = face.corners[k];
      out->faceL[f].smoothing = face.smoothing;
      if (face.material >= 0)
        std::snprintf(out->faceL[f].material, sizeof out->faceL[f].material, "%s",
                      s.materials[face.material].name.c_str());
    }
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 3; ++c) out->matrix[r][c] = m.axes[r][c];
      out->matrix[r][3] = r == 3 ? 1.0f : 0.0f;
    }
    lib3ds_file_insert_mesh(file.get(), out);

    const Node& n = s.nodes[i];
    Lib3dsNode* node = lib3ds_node_new_object();
    std::snprintf(node->name, sizeof node->name, "%s", m.name.c_str());
    node->node_id = static_cast<Lib3dsWord>(i);
    node->parent_id = LIB3DS_NO_PARENT;
    std::memcpy(node->data.object.pivot, n.pivot.data(), sizeof(Vec));
    for (const PosKey& k : n.positions) {
      Lib3dsLin3Key* key = lib3ds_lin3_key_new();
      key->tcb.frame = static_cast<Lib3dsIntd>(k.frame);
      std::memcpy(key->value, k.value.data(), sizeof(Vec));
      lib3ds_lin3_track_insert(&node->data.object.pos_track, key);
    }
    for (const RotKey& k : n.rotations) {
      Lib3dsQuatKey* key = lib3ds_quat_key_new();
      key->tcb.frame = static_cast<Lib3dsIntd>(k.frame);
      key->angle = k.angle;
      std::memcpy(key->axis, k.axis.data(), sizeof(Vec));
      lib3ds_quat_track_insert(&node->data.object.rot_track, key);
    }
    lib3ds_file_insert_node(file.get(), node);
  }

  MemoryStream stream;
  Lib3dsIo* io = lib3ds_io_new(&stream, stream_error, stream_seek, stream_tell, stream_read, stream_write);
  const bool ok = lib3ds_file_write(file.get(), io);
  lib3ds_io_free(io);
  if (!ok) return {};
  set_track_frames(stream.data, 0, stream.data.size(), s.frames);
  return stream.data;
}

}  // namespace roundtrip
