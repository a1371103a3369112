// Draws every effect once on an off-screen GL context, each in its own cell
// of a 5 x 4 grid, with the show's stand-in textures, and writes one PNG.
//
//   effect_contact_sheet <data-dir> [out.png]
//
// <data-dir> holds textures/ as make_standin_data writes it. Each cell is
// framed to the bounds of what its effect draws (measured in feedback mode)
// unless the cell gives its own; the cell order is printed.
#include "production/effects.hpp"

#include "platform/frame_capture.hpp"
#include "render/outline_tessellator.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"
#include "render/texture_slots.hpp"

#include <GL/gl.h>
#include <SDL.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int cell_size = 256;
constexpr int columns = 5;
constexpr int rows = 4;

struct image {
  int width = 0;
  int height = 0;
  int components = 0;
  std::vector<unsigned char> pixels;
};

struct jpeg_failure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void on_jpeg_error(j_common_ptr info) {
  std::longjmp(reinterpret_cast<jpeg_failure*>(info->err)->jump, 1);
}

std::optional<image> read_jpeg(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  jpeg_decompress_struct info{};
  jpeg_failure failure{};
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = on_jpeg_error;
  image out;
  if (setjmp(failure.jump) != 0) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.components = info.output_components;
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * out.components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.pixels.data() +
                   static_cast<std::size_t>(info.output_scanline) * out.width * out.components;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return out;
}

// Uploads colour (and, when given, the first channel of alpha) into a new
// texture that slot names.
bool load_slot(scene_context& scene, const std::string& dir, int slot, const char* colour,
               const char* alpha) {
  const auto rgb = read_jpeg(dir + "/textures/" + colour);
  if (!rgb) {
    std::fprintf(stderr, "cannot read %s/textures/%s\n", dir.c_str(), colour);
    return false;
  }
  std::optional<image> a;
  if (alpha) a = read_jpeg(dir + "/textures/" + alpha);
  const bool use_alpha = a && a->width == rgb->width && a->height == rgb->height;
  std::vector<unsigned char> rgba(static_cast<std::size_t>(rgb->width) * rgb->height * 4);
  for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
    for (int c = 0; c < 3; ++c)
      rgba[i * 4 + c] = rgb->pixels[i * rgb->components + std::min(c, rgb->components - 1)];
    rgba[i * 4 + 3] = use_alpha ? a->pixels[i * a->components] : 255;
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, rgb->width, rgb->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               rgba.data());
  scene.texture_names[scene.texture_base + slot] = name;
  return true;
}

struct bounds {
  double x0, y0, x1, y1;
};

// The object-space bounds of what draw produces, measured in feedback mode
// under an orthographic window of half-size reach (refined by the caller).
std::optional<bounds> measure(const std::function<void()>& draw, double cx, double cy,
                              double reach) {
  const int vp = 4096;
  glViewport(0, 0, vp, vp);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(cx - reach, cx + reach, cy - reach, cy + reach, -1e6, 1e6);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  static std::vector<GLfloat> buffer(1 << 23);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  bounds b{1e300, 1e300, -1e300, -1e300};
  bool any = false;
  auto add = [&](GLfloat wx, GLfloat wy) {
    const double x = cx + (wx / vp * 2.0 - 1.0) * reach;
    const double y = cy + (wy / vp * 2.0 - 1.0) * reach;
    b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
    any = true;
  };
  for (GLint i = 0; i < n;) {
    const auto token = static_cast<GLint>(buffer[i++]);
    int count = 0;
    if (token == GL_POLYGON_TOKEN) count = static_cast<int>(buffer[i++]);
    else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) count = 2;
    else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN) count = 1;
    else if (token == GL_PASS_THROUGH_TOKEN) { ++i; continue; }
    else break;
    for (int k = 0; k < count; ++k, i += 2) add(buffer[i], buffer[i + 1]);
  }
  if (!any) return std::nullopt;
  return b;
}

bounds fit(const std::function<void()>& draw) {
  double cx = 0, cy = 0, reach = 1e5;
  bounds b{-1, -1, 1, 1};
  for (int pass = 0; pass < 4; ++pass) {
    const auto m = measure(draw, cx, cy, reach);
    if (!m) break;
    b = *m;
    cx = (b.x0 + b.x1) / 2;
    cy = (b.y0 + b.y1) / 2;
    reach = std::max({b.x1 - b.x0, b.y1 - b.y0, 1e-3}) * 0.75;
  }
  return b;
}

bounds grown(const bounds& b, double share) {
  const double m = std::max(b.x1 - b.x0, b.y1 - b.y0) * share;
  return {b.x0 - m, b.y0 - m, b.x1 + m, b.y1 + m};
}

struct cell {
  cell(const char* n, std::function<void()> d, bool black = false,
       std::optional<bounds> f = std::nullopt)
      : name(n), draw(std::move(d)), black_background(black), frame(f) {}
  const char* name;
  std::function<void()> draw;
  bool black_background;
  std::optional<bounds> frame;  // else fitted to the drawing
};

void draw_cell(const cell& c, int index) {
  const int x = (index % columns) * cell_size;
  const int y = (rows - 1 - index / columns) * cell_size;
  bounds b = c.frame ? *c.frame : fit(c.draw);
  const double half = std::max(b.x1 - b.x0, b.y1 - b.y0) / 2 * 1.08 + 1e-6;
  const double cx = (b.x0 + b.x1) / 2, cy = (b.y0 + b.y1) / 2;

  glViewport(x, y, cell_size, cell_size);
  glScissor(x + 1, y + 1, cell_size - 2, cell_size - 2);
  glEnable(GL_SCISSOR_TEST);
  const float bg = c.black_background ? 0.0f : 0.92f;
  glClearColor(bg, bg, bg, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(cx - half, cx + half, cy - half, cy + half, -1e6, 1e6);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glLineWidth(1.0f);
  glColor4f(1, 1, 1, 1);
  c.draw();
  glDisable(GL_SCISSOR_TEST);
}

spline_path wave_path(int points, double step, double amplitude) {
  spline_path path;
  path.closed = false;
  for (int i = 0; i < points; ++i) {
    const vec3 p = make_vec3(static_cast<float>(i * step),
                             static_cast<float>(amplitude * std::sin(i * 0.08)), 0.0f);
    path.append_point(&p);
  }
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: effect_contact_sheet <data-dir> [out.png]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::string out = argc > 2 ? argv[2] : "effect_contact_sheet.png";

  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return 1;
  }
  const int width = columns * cell_size, height = rows * cell_size;
  SDL_Window* window = SDL_CreateWindow("effects", 0, 0, width, height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) {
    std::fprintf(stderr, "no OpenGL context: %s\n", SDL_GetError());
    return 1;
  }

  auto scene = std::make_unique<scene_context>();
  struct slot_file {
    int slot;
    const char* colour;
    const char* alpha;
  };
  const slot_file files[] = {
      {24, "pattern.jpg", nullptr},          {150, "man.jpg", "mana.jpg"},
      {151, "leg.jpg", "lega.jpg"},          {910, "fish.jpg", "fisha.jpg"},
      {911, "dead_fish.jpg", "dead_fish_alpha.jpg"},
      {990, "q-.jpg", "q-_alpha.jpg"},       {1000, "-.jpg", "-_alpha.jpg"},
      {1001, "-_flow.jpg", "-_flow.jpg"},    {1010, "I.jpg", "I_alpha.jpg"},
      {1011, "I_flow.jpg", "I_flow.jpg"},    {1020, "corner1.jpg", "corner1_alpha.jpg"},
      {1021, "corner1_flow.jpg", nullptr},   {1030, "corner2.jpg", "corner2_alpha.jpg"},
      {1031, "corner2_flow.jpg", nullptr},   {1040, "corner3.jpg", "corner3_alpha.jpg"},
      {1041, "corner3_flow.jpg", nullptr},   {1050, "corner4.jpg", "corner4_alpha.jpg"},
      {1051, "corner4_flow.jpg", nullptr},
  };
  for (const slot_file& f : files)
    if (!load_slot(*scene, dir, f.slot, f.colour, f.alpha)) return 1;
  std::int32_t figures = 0;
  const std::string hammer = dir + "/textures//fhammer.txt";
  outline_tessellator::build_lists(hammer.c_str(), &figures, 1999, 1.0);

  const scene_context* s = scene.get();
  auto textured = [s](int slot, std::function<void()> draw) {
    return [s, slot, draw] {
      glEnable(GL_TEXTURE_2D);
      bind_texture_index(s, slot);
      draw();
      glDisable(GL_TEXTURE_2D);
    };
  };
  auto seeded = [](std::uint32_t seed, std::function<void()> draw) {
    return [seed, draw] {
      qm_srand(seed);
      draw();
    };
  };

  const spline_path wave = wave_path(160, 6.0, 60.0);
  const spline_path fine_wave = wave_path(120, 1.0, 10.0);
  spline_path stem;
  stem.closed = false;
  for (int i = 0; i < 40; ++i) {
    const vec3 p = make_vec3(static_cast<float>(0.6 * std::sin(i * 0.15)), static_cast<float>(i), 0.0f);
    stem.append_point(&p);
  }
  const std::string long_tiles = "-l--r--r-ll--r--r---ll---r---r--lrlr-";

  const std::vector<cell> cells = {
      {"spline ribbon (slot 24)", textured(24, [&] { draw_spline_ribbon(wave, 0.3, 1.0); })},
      {"spline silhouette", [&] { draw_spline_silhouette(wave); }},
      {"sized ribbon (slot 24)", textured(24, [&] { draw_spline_ribbon_sized(fine_wave, 0.1, 1.0, 1.5, 3.0); })},
      {"twinkle star", [] { draw_twinkle_star(0.5, 1.0); }, true},
      {"tree", seeded(7, [] { draw_tree_branch({1.0, make_vec3(0, 0, 0), make_vec3(0, 0.3f, 0), 0, 1.0}); })},
      {"spline flyers", [&] {
         glEnable(GL_TEXTURE_2D);
         glEnable(GL_ALPHA_TEST);
         glAlphaFunc(GL_GREATER, 0.3f);
         for (int o = 0; o < 3; ++o) draw_spline_flyer(s, wave, 40.0 + 7 * o, 0.3 * o);
         glDisable(GL_ALPHA_TEST);
         glDisable(GL_TEXTURE_2D);
       }},
      {"blob", seeded(500000, [] { draw_blob(2.0); })},
      {"random branches", seeded(600011, [] { glColor3f(0, 0, 0); draw_random_branches(1.0, 2, 1.0, 0.5); })},
      {"flower (slot 24)", textured(24, [] { draw_flower(1.3, false); }), false, bounds{-13, -13, 13, 13}},
      {"flower silhouette", textured(24, [] { draw_flower(1.3, true); }), false, bounds{-13, -13, 13, 13}},
      {"growing stalk", [&] { draw_growing_stalk(stem, 3.0, 1.0, 1.7, 1.0); }},
      {"swinging figure", [] { glColor3f(0, 0, 0); draw_swinging_list(0.45, 1.0); }},
      {"mirrored drops", [] {
         const double times[] = {0.3, 0.57, 0.8, 1.0};
         for (int i = 0; i < 4; ++i) {
           glPushMatrix();
           glTranslatef(1.2f * i, 0, 0);
           draw_mirrored_shape(times[i]);
           glPopMatrix();
         }
       }},
      {"pulse strip (slot 910)", [&] { bind_texture_index(s, 910); draw_pulse_strip(2.1); }},
      {"pulse strip twin (slot 911)", [&] {
         bind_texture_index(s, 911);
         draw_pulse_strip_twin(2.1, true);
         bind_texture_index(s, 911);
         glPushMatrix();
         glTranslatef(3, 3, 0.5f);
         draw_pulse_strip_twin(2.1, false);
         glPopMatrix();
       }},
      {"glow ribbons (slots 990, 24)", [&] {
         glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
         draw_spline_glow_ribbons(s, fine_wave, 0.7, 1.0, 1.0);
         glDisable(GL_TEXTURE_2D);
       }},
      {"tile path (slots 1000-1051)", [&] {
         glEnable(GL_TEXTURE_2D);
         glColor4f(0, 0, 0, 1);
         draw_tile_path(s, 0.0, long_tiles, false);
         glDisable(GL_TEXTURE_2D);
       }},
      // Framed on the strands: the emblems' dashed lines run far off.
      {"wire figure (slot 24)", seeded(424242, textured(24, [] { draw_wire_figure(3.0, true, 0.0); })),
       false, grown(fit(seeded(424242, [] { draw_wire_figure(3.0, false, 0.0); })), 0.15)},
      {"small wire figure (slot 24)", seeded(424242, textured(24, [] { draw_wire_figure_small(3.0, true); })),
       false, grown(fit(seeded(424242, [] { draw_wire_figure_small(3.0, false); })), 0.15)},
      {"leaf", [] {
         glColor3f(0, 0, 0);
         for (int i = 0; i < 5; ++i)
           draw_leaf(make_vec3(0.3f * i, 0, 0), make_vec3(0, 1, 0), 0.5 * (i - 2));
       }},
  };

  for (std::size_t i = 0; i < cells.size(); ++i) {
    draw_cell(cells[i], static_cast<int>(i));
    std::printf("cell %zu (row %zu, column %zu): %s\n", i + 1, i / columns + 1, i % columns + 1,
                cells[i].name);
  }
  glFinish();
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  if (!platform::write_png(out, width, height, pixels)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s\n", out.c_str());
  return 0;
}
