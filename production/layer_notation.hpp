#pragma once
// The timeline layers' shared notation (clamp, ease) and small by-value
// wrappers over the GL calls and quad routines they make, so that layer code
// reads as its list of transforms.
#include <GL/gl.h>

#include <numbers>

#include "render/outline_tessellator.hpp"
#include "render/quads.hpp"
#include "render/shaping.hpp"

namespace layer_gl {

inline constexpr double pi = std::numbers::pi;

inline double clamp01(double x) { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }

// The cosine ease of a clamped phase.
inline double ease(double x, double q) {
    const double p = clamp01(x);
    return shape_cosine_pulse(&p, &q);
}

inline void translate(double x, double y, double z) {
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
inline void rotate_z(double degrees) { glRotatef(static_cast<float>(degrees), 0.0f, 0.0f, 1.0f); }
inline void scale(double x, double y, double z) {
    glScalef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
inline void colour(double r, double g, double b) {
    glColor3f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}
inline void colour(double r, double g, double b, double a) {
    glColor4f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
              static_cast<float>(a));
}

inline void quad(double angle, double sx, double sy) { draw_textured_quad(&angle, &sx, &sy); }
inline void quad_region(double angle, double sx, double sy, double u0, double v0, double size) {
    draw_textured_quad_region(&angle, &sx, &sy, u0, v0, size);
}
inline void offset_strip(double angle, double sx, double sy, double u0, double v0, double size,
                         double amount) {
    draw_offset_quad_strip(&angle, &sx, &sy, u0, v0, size, 0.0, amount);
}

// What a card does with 2D texturing: the finale's cards switch it off right
// before the list; the composite's draw in whatever state they find.
enum class card_texturing { as_found, off };

// A black outline card (display list 100): translate, turn, flatten to size s.
inline void draw_black_card(double x, double y, double z, double angle, double s,
                            card_texturing texturing) {
    glPushMatrix();
    translate(x, y, z);
    rotate_z(angle);
    scale(s, s, 0.0);
    glColor3f(0.0f, 0.0f, 0.0f);
    if (texturing == card_texturing::off) glDisable(GL_TEXTURE_2D);
    call_display_list(100);
    glPopMatrix();
}

}  // namespace layer_gl
