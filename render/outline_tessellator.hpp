// Outline files turned into GL display lists through the GLU polygon
// tessellator. Positive winding rule: of a shape's regions, those its contour
// winds around counter-clockwise are filled; GLU orients each contour by its
// own area, so a lone simple contour fills whichever way it is wound.
#pragma once

#include "outline_file.hpp"
#include "vec3.hpp"

#include <GL/glu.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class outline_tessellator {
 public:
  // One list per figure, b + i for figure i, all its shapes in it (each shape
  // its own polygon); z = depth * scale * 0.014. Stores the figure count N
  // through figure_count and returns what closing the file returned. A file
  // that cannot be read or is malformed ends the program (see
  // load_outline_file) before any list is begun.
  static int build_lists(const char* path, std::int32_t* figure_count, std::int32_t first_list,
                         double scale);

  // One list per shape: shape j of figure i goes to list b + i + j (later
  // figures overwrite the lists of earlier figures' later shapes), moved so
  // that its first point is the origin. A figure without shapes makes no
  // list; a shape of 5 points or fewer makes an empty one.
  static int build_shape_lists(const char* path, std::int32_t* figure_count,
                               std::int32_t first_list, double scale);

  // The same, from an already parsed file.
  static void compile_lists(const outline_file& file, std::int32_t first_list, double scale);
  static void compile_shape_lists(const outline_file& file, std::int32_t first_list, double scale);

  // A tessellator with its vertex store, the GL begin/end and the vertex and
  // combine callbacks, and the positive winding rule.
  static std::unique_ptr<outline_tessellator> create();
  ~outline_tessellator();
  outline_tessellator(const outline_tessellator&) = delete;
  outline_tessellator& operator=(const outline_tessellator&) = delete;

  void begin_shape();
  // Hands one vertex to the tessellator; the store keeps it until end_shape.
  // Vertices beyond the store's outline_max_points are dropped.
  void add_vertex(const vec3* v);
  void end_shape();

  std::int32_t count() const { return count_; }

 private:
  using vertex = std::array<GLdouble, 3>;

  outline_tessellator();
  static void GLAPIENTRY vertex_callback(const GLdouble* data);
  static void GLAPIENTRY combine_callback(const GLdouble coords[3], void* neighbours[4],
                                          const GLfloat weights[4], void** out, void* self);

  std::int32_t count_ = 0;
  GLUtesselator* tess_ = nullptr;
  // Fixed size: GLU keeps pointers into it until the polygon ends.
  std::vector<vertex> vertices_;
  // Vertices made where edges cross; they live as long as the tessellator.
  std::deque<vertex> combined_;
};

// glCallList(id).
void call_display_list(std::int32_t id);
