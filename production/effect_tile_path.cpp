// Tile paths: a command string walked into straight and corner tiles.
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/quads.hpp"
#include "render/texture_slots.hpp"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>

using namespace effect;

namespace {

constexpr int straight_horizontal_slot = 1000;
constexpr int straight_vertical_slot = 1010;
constexpr int corner_slots[4] = {1020, 1030, 1040, 1050};
constexpr float corner_offsets[4][2] = {{1.6f, -1.56f}, {-1.56f, -1.58f}, {-1.6f, 1.54f},
                                        {1.58f, 1.6f}};

// Corner code of a left turn taken with the given heading; a later test
// overrides an earlier one.
std::int32_t left_turn_code(const vec3& h, std::int32_t code) {
  if (h.x > 0.5f) code = 2;
  if (h.y > 0.5f) code = 1;
  if (h.x < -0.5f) code = 0;
  if (h.y < -0.5f) code = 3;
  return code;
}

std::int32_t right_turn_code(const vec3& h, std::int32_t code) {
  if (h.x > 0.5f) code = 1;
  if (h.y > 0.5f) code = 4;  // selects the same tile as code 0
  if (h.x < -0.5f) code = 3;
  if (h.y < -0.5f) code = 2;
  return code;
}

}  // namespace

std::vector<tile_placement> plan_tile_path(const tile_path& path) {
  std::vector<tile_placement> tiles;
  if (path.size() < 3) return tiles;
  vec3 position = zero();
  vec3 heading = make_vec3(13.05f, 0.0f, 0.0f);
  std::int32_t code = 10000;

  for (std::size_t i = 1; i + 1 < path.size(); ++i) {
    const char c = path[i];
    const char next = path[i + 1];
    if (c == 'l') {
      code = left_turn_code(heading, code);
      turn_z(heading, pi / 2.0);
    } else if (c == 'r') {
      code = right_turn_code(heading, code);
      turn_z(heading, -pi / 2.0);
    }

    tile_placement tile;
    tile.position = position;
    if (c == '-') {
      tile.slot = std::fabs(heading.x) > 0.5f ? straight_horizontal_slot : straight_vertical_slot;
    } else {
      // Any other character draws the current corner, as a turn does.
      const int corner = static_cast<int>(code % 4);
      tile.slot = corner_slots[corner];
      tile.offset_x = corner_offsets[corner][0];
      tile.offset_y = corner_offsets[corner][1];
    }
    tiles.push_back(tile);

    // A turn on either side of a step lengthens it.
    vec3 step = heading;
    if (next != '-') step = step * 1.233f;
    if (c != '-') step = step * 1.233f;
    if (next != '-' && c != '-') step = step * 0.96f;
    position = position + step;
  }
  return tiles;
}

void draw_tile_path(const scene_context* scene, double /*reveal*/, const tile_path& path,
                    bool keep_colour) {
  const double angle = 0.0;
  const double half_size = 10.0;
  for (const tile_placement& tile : plan_tile_path(path)) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (!keep_colour) glColor4f(0.4f, 0.4f, 0.4f, 1.0f);
    glPushMatrix();
    glTranslatef(tile.position.x, tile.position.y, 0.0f);
    glTranslatef(tile.offset_x, tile.offset_y, 0.0f);
    bind_texture_index(scene, tile.slot);
    draw_textured_quad(&angle, &half_size, &half_size);
    glPopMatrix();
    // Only bound, never drawn with: the last one stays bound for the caller.
    bind_texture_index(scene, tile.slot + 1);
  }
}
