#include "graphics_card_check.hpp"

#include "scene_context.hpp"

#include "platform/system.hpp"

#include <GL/gl.h>

#include <cstring>

namespace {

bool contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

struct speed_row {
  const char* renderer_part;
  double speed_factor;
};

// Tested in this order; the last match wins.
constexpr speed_row speed_table[] = {
    {"59", 1.4},    {"58", 1.2},    {"9600", 1.5}, {"9700", 2.0}, {"9800", 2.75},
    {"X800", 2.95}, {"X600", 1.8},  {"X300", 1.6}, {"6800", 2.95},
};

const char* gl_string(GLenum name) {
  const char* s = reinterpret_cast<const char*>(glGetString(name));
  return s ? s : "";
}

}  // namespace

graphics_card_verdict classify_graphics_card(const char* vendor, const char* renderer) {
  if (!vendor) vendor = "";
  if (!renderer) renderer = "";
  graphics_card_verdict v;
  if (contains(vendor, "ATI")) {
    v.ati_card = true;
    v.speed_factor = 1.5;
  }
  if (contains(renderer, "5200") || contains(renderer, "6200")) v.slow_card_code = 5200;
  for (const speed_row& row : speed_table)
    if (contains(renderer, row.renderer_part)) v.speed_factor = row.speed_factor;
  return v;
}

void scene_context::check_graphics_card() {
  const graphics_card_verdict v = classify_graphics_card(gl_string(GL_VENDOR), gl_string(GL_RENDERER));
  ati_card = v.ati_card;
  speed_factor = v.speed_factor;
  slow_card_code = v.slow_card_code;
  if (slow_card_code != 0)
    platform::message_box(slow_card_caption, slow_card_text, platform::message_buttons::ok,
                          platform::message_icon::information);
}
