// The immediate-mode OpenGL/GLU calls that the drawing helpers of this folder
// make (ribbon stroker, textured quads, camera frames), routed through one
// switch point so that tests can capture them without a window.
//
// In the shipped program no recorder is installed and every emit_* function
// calls OpenGL (or GLU) directly. A test installs a gl_recorder (most simply
// with the scoped gl_recording) and the calls are appended to it instead, with
// their arguments as the GL call would receive them (floats stay floats).
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <vector>

struct gl_call {
  enum class kind : std::uint8_t {
    begin,        // mode
    end,
    tex_coord2f,  // a[0..1]
    vertex3f,     // a[0..2]
    color3f,      // a[0..2]
    enable,       // mode = capability
    disable,      // mode = capability
    rotatef,      // a[0..3]: angle, x, y, z
    scalef,       // a[0..2]
    look_at,      // a[0..8]: gluLookAt's nine doubles
  };
  kind op;
  GLenum mode = 0;
  double a[9] = {};
};

struct gl_recorder {
  std::vector<gl_call> calls;
  void record(const gl_call& c) { calls.push_back(c); }
};

// The installed recorder; null (calls go to GL) unless a test installs one.
extern gl_recorder* g_gl_recorder;

// Installs a recorder for the lifetime of the scope, restoring the previous one.
class gl_recording {
 public:
  explicit gl_recording(gl_recorder& r) : previous_(g_gl_recorder) { g_gl_recorder = &r; }
  ~gl_recording() { g_gl_recorder = previous_; }
  gl_recording(const gl_recording&) = delete;
  gl_recording& operator=(const gl_recording&) = delete;

 private:
  gl_recorder* previous_;
};

inline void emit_begin(GLenum mode) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::begin, mode, {}});
  else glBegin(mode);
}
inline void emit_end() {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::end, 0, {}});
  else glEnd();
}
inline void emit_tex_coord2f(GLfloat u, GLfloat v) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::tex_coord2f, 0, {u, v}});
  else glTexCoord2f(u, v);
}
inline void emit_vertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::vertex3f, 0, {x, y, z}});
  else glVertex3f(x, y, z);
}
inline void emit_color3f(GLfloat r, GLfloat g, GLfloat b) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::color3f, 0, {r, g, b}});
  else glColor3f(r, g, b);
}
inline void emit_enable(GLenum cap) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::enable, cap, {}});
  else glEnable(cap);
}
inline void emit_disable(GLenum cap) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::disable, cap, {}});
  else glDisable(cap);
}
inline void emit_rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::rotatef, 0, {angle, x, y, z}});
  else glRotatef(angle, x, y, z);
}
inline void emit_scalef(GLfloat x, GLfloat y, GLfloat z) {
  if (g_gl_recorder) g_gl_recorder->record({gl_call::kind::scalef, 0, {x, y, z}});
  else glScalef(x, y, z);
}
inline void emit_look_at(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy,
                         GLdouble cz, GLdouble ux, GLdouble uy, GLdouble uz) {
  if (g_gl_recorder)
    g_gl_recorder->record({gl_call::kind::look_at, 0, {ex, ey, ez, cx, cy, cz, ux, uy, uz}});
  else gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
