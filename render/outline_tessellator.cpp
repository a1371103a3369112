#include "outline_tessellator.hpp"

#include <GL/gl.h>

namespace {

// Shapes of this many points or fewer get an empty list in the per-shape reader.
constexpr std::size_t min_shape_points = 5;

}  // namespace

std::unique_ptr<outline_tessellator> outline_tessellator::create() {
  return std::unique_ptr<outline_tessellator>(new outline_tessellator());
}

outline_tessellator::outline_tessellator() : vertices_(outline_max_points) {
  tess_ = gluNewTess();
  gluTessCallback(tess_, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&vertex_callback));
  gluTessCallback(tess_, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&glBegin));
  gluTessCallback(tess_, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&glEnd));
  gluTessCallback(tess_, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&combine_callback));
  gluTessProperty(tess_, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_POSITIVE);
}

outline_tessellator::~outline_tessellator() {
  if (tess_) gluDeleteTess(tess_);
}

void outline_tessellator::begin_shape() {
  count_ = 0;
  gluTessBeginPolygon(tess_, this);
  gluTessBeginContour(tess_);
}

void outline_tessellator::add_vertex(const vec3* v) {
  if (count_ >= outline_max_points) return;
  vertex& entry = vertices_[static_cast<std::size_t>(count_)];
  entry = {v->x, v->y, v->z};
  gluTessVertex(tess_, entry.data(), entry.data());
  ++count_;
}

void outline_tessellator::end_shape() {
  count_ = 0;
  gluTessEndContour(tess_);
  gluTessEndPolygon(tess_);
}

void GLAPIENTRY outline_tessellator::vertex_callback(const GLdouble* data) {
  glVertex3f(static_cast<GLfloat>(data[0]), static_cast<GLfloat>(data[1]),
             static_cast<GLfloat>(data[2]));
}

void GLAPIENTRY outline_tessellator::combine_callback(const GLdouble coords[3], void*[4],
                                                      const GLfloat[4], void** out, void* self) {
  auto* t = static_cast<outline_tessellator*>(self);
  t->combined_.push_back({coords[0], coords[1], coords[2]});
  *out = t->combined_.back().data();
}

void outline_tessellator::compile_lists(const outline_file& file, std::int32_t first_list,
                                        double scale) {
  const std::unique_ptr<outline_tessellator> t = create();
  std::int32_t list = first_list;
  for (const outline_figure& figure : file.figures) {
    glNewList(static_cast<GLuint>(list++), GL_COMPILE);
    for (const outline_shape& shape : figure.shapes) {
      t->begin_shape();
      for (const outline_point& p : shape.points) {
        const vec3 v = outline_vertex(p, shape.depth, scale);
        t->add_vertex(&v);
      }
      t->end_shape();
    }
    glEndList();
  }
}

void outline_tessellator::compile_shape_lists(const outline_file& file, std::int32_t first_list,
                                              double scale) {
  const std::unique_ptr<outline_tessellator> t = create();
  for (std::size_t i = 0; i < file.figures.size(); ++i) {
    const outline_figure& figure = file.figures[i];
    for (std::size_t j = 0; j < figure.shapes.size(); ++j) {
      const outline_shape& shape = figure.shapes[j];
      glNewList(static_cast<GLuint>(first_list + static_cast<std::int32_t>(i + j)), GL_COMPILE);
      const bool drawn = shape.points.size() > min_shape_points;
      if (drawn) {
        t->begin_shape();
        const vec3 origin = outline_vertex(shape.points.front(), shape.depth, scale);
        for (const outline_point& p : shape.points) {
          const vec3 v = outline_vertex(p, shape.depth, scale);
          vec3 relative;
          vec3_sub(&v, &origin, &relative);
          t->add_vertex(&relative);
        }
        t->end_shape();
      }
      glEndList();
    }
  }
}

int outline_tessellator::build_lists(const char* path, std::int32_t* figure_count,
                                     std::int32_t first_list, double scale) {
  int closed = 0;
  const outline_file file = load_outline_file(path, &closed);
  *figure_count = static_cast<std::int32_t>(file.figures.size());
  compile_lists(file, first_list, scale);
  return closed;
}

int outline_tessellator::build_shape_lists(const char* path, std::int32_t* figure_count,
                                           std::int32_t first_list, double scale) {
  int closed = 0;
  const outline_file file = load_outline_file(path, &closed);
  *figure_count = static_cast<std::int32_t>(file.figures.size());
  compile_shape_lists(file, first_list, scale);
  return closed;
}

void call_display_list(std::int32_t id) { glCallList(static_cast<GLuint>(id)); }
