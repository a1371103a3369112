// The effect routines the timeline layers call. Each draws with immediate-mode
// OpenGL in the caller's transform and leaves the GL state it set behind (the
// next layer sets what it needs). Each makes a fixed sequence of draws from
// the shared generator (render/random.hpp): callers reseed before a call so
// that the shape repeats from frame to frame, and one missing draw would move
// every later layout of the frame.
#pragma once

#include "render/spline_path.hpp"
#include "render/vec3.hpp"

#include <cstdint>
#include <string>
#include <vector>

class scene_context;

// ---- Spline ribbons (effect_spline_ribbons.cpp) ----------------------------

// A 50-segment textured band of half-width 27.6 starting at the curve point
// chosen by progress (nothing when progress > 0.98); flip > 0 puts v = 0 on
// the left edge. No random draws.
void draw_spline_ribbon(const spline_path& path, double progress, double flip);

// A black band 95 to 250 units to the right of the whole curve.
void draw_spline_silhouette(const spline_path& path);

// A swaying textured ribbon of width 13.8 x width, ceil(20 x length) steps
// long, at z = 12 (nothing when progress > 0.98). No random draws.
void draw_spline_ribbon_sized(const spline_path& path, double progress, double flip,
                              double width, double length);

// ---- Twinkle star (effect_star.cpp) ----------------------------------------

// A grey four-armed star around (80, 30); a sets brightness and arm length,
// b the pulse of its body. One random draw (value unused).
void draw_twinkle_star(double a, double b);

// ---- Recursive tree (effect_tree.cpp) ---------------------------------------

struct tree_branch {
  double time = 0.0;
  vec3 position = make_vec3(0, 0, 0);
  vec3 direction = make_vec3(0, 1, 0);  // first step; its length is the step length
  std::int32_t depth = 0;                // 0 for the trunk
  double thickness = 1.0;
};

struct tree_leaves {
  double time = 0.0;
  vec3 position = make_vec3(0, 0, 0);
  vec3 direction = make_vec3(0, 1, 0);  // not used
  std::int32_t depth = 0;
};

// One black branch of 8 bent steps with its children and leaves. 16 random
// draws per drawing branch (depth 0 to 4), 2 per leaf pair; depth 5 or more
// draws nothing.
void draw_tree_branch(tree_branch branch);
// Two leaves near a branch tip; only for depth >= 4 (2 random draws).
void draw_tree_leaves(tree_leaves leaves);

// ---- Flyer, blob and branches (effect_flyer.cpp, effect_blob_branches.cpp) --

// A winged sprite on the curve at point parameter position, facing along it:
// two flapping wings (slot 151) and a body (slot 150). No random draws.
void draw_spline_flyer(const scene_context* scene, const spline_path& path, double position,
                       double phase);

// A black wobbling disc of radius about 1 around the origin (4 random draws).
void draw_blob(double t);

// A random curling stroke toward -y and, while depth >= 1, side strokes from
// random points on it. depth < 0 draws nothing and makes no draws.
void draw_random_branches(double growth, std::int32_t depth, double thickness,
                          double curl_phase);

// Side strokes one stroke can record (one per step at most, 150 steps).
inline constexpr int max_branch_points = 250;

// ---- Flower emblem (effect_flower.cpp) --------------------------------------

// The circular emblem (disc, six turning wedges, five rings, two dashed
// lines), all black when silhouette. Leaves the modelview turned 90 degrees,
// colour black, line width 3 and GL_TEXTURE_2D on. 22 random draws.
void draw_flower(double t, bool silhouette);

// ---- Stalk and leaf (effect_stalk.cpp) --------------------------------------

// A black stem grown along the curve with leaf pairs at fixed steps; nothing
// (no GL call) when gate < 0 or growth < 0.000001. No random draws.
void draw_growing_stalk(const spline_path& path, double start, double gate, double length,
                        double growth);

// One narrow curling leaf strip from base along direction (9 vertex pairs).
void draw_leaf(vec3 base, vec3 direction, double bend);

// ---- Swing and drop (effect_swing_drop.cpp) ---------------------------------

// Display list of the swinging figure.
inline constexpr std::int32_t swinging_figure_list = 2000;

// The figure of display list 2000, turned by a periodic swing and scaled.
void draw_swinging_list(double t, double size);
// The swing angle in degrees that draw_swinging_list turns by at time t.
double swing_angle_degrees(double t);

// An upside-down pulsing bump with a drop above it (12.5-unit cycle).
void draw_mirrored_shape(double t);

// ---- Pulse strips (effect_pulse_strips.cpp) ---------------------------------

// A white undulating strip curling away at its end and a gauge filling from
// the bottom. One random draw (value unused).
void draw_pulse_strip(double t);
// The shaded (or 0.4-alpha black) strip and a gauge filling from both ends.
// One random draw (value unused).
void draw_pulse_strip_twin(double t, bool silhouette);

// ---- Glow ribbons (effect_glow_ribbons.cpp) ---------------------------------

// Two ribbons through the stored points of the path at z = 12: a wide one
// (slot 990) over fraction of the points, then a blue one (slot 24) revealed
// by progress. No random draws.
void draw_spline_glow_ribbons(const scene_context* scene, const spline_path& path,
                              double progress, double scale, double fraction);

// ---- Tile paths (effect_tile_path.cpp) ---------------------------------------

// Tile-path commands, one tile each: '-' straight, 'l' left turn (90 degrees
// counter-clockwise), 'r' right turn.
using tile_path = std::string;

// One tile of a walked tile path: the slot it is drawn from (its companion is
// slot + 1), where the walk stood and the corner offset added to that.
struct tile_placement {
  int slot = 0;
  vec3 position = make_vec3(0, 0, 0);
  float offset_x = 0.0f;
  float offset_y = 0.0f;
};

// Walks a tile-path command string ('-' straight, 'l' left, 'r' right; the
// first and last characters are only look-ahead).
std::vector<tile_placement> plan_tile_path(const tile_path& path);

// Draws the walked tiles as 20 x 20 textured quads; reveal is not read.
// Leaves blending (SRC_ALPHA, ONE_MINUS_SRC_ALPHA), 0.4 grey unless
// keep_colour, and the last tile's companion texture bound.
void draw_tile_path(const scene_context* scene, double reveal, const tile_path& path,
                    bool keep_colour);

// ---- Path builders and wire figures (effect_wire_figures.cpp) ---------------

// Appends count points (none when count <= 0) while turning the pen by
// turn x 4.4 x (pi/2) / 15 radians a step.
void path_add_arc(spline_path& path, vec3& position, vec3& direction, std::int32_t count,
                  double turn);
// Appends 5 points straight ahead.
void path_add_straight(spline_path& path, vec3& position, vec3& direction);

// The point path of the large figure (7 random bits) and of the small one (4).
spline_path build_wire_figure_path(double t);
spline_path build_wire_figure_small_path(double t);

// Eight strands along a looping path with, when with_flower, two emblems and
// a pulsing gauge (the gauge leaves GL_DEPTH_TEST off). 7 + 16 random draws,
// plus 45 with the emblem.
void draw_wire_figure(double t, bool with_flower, double start);
// The smaller figure: 4 + 16 random draws, plus 22 with the emblem.
void draw_wire_figure_small(double t, bool with_flower);
