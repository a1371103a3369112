// The four-armed twinkle star around (80, 30).
#include "production/effect_support.hpp"
#include "production/effects.hpp"

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <cmath>

void draw_twinkle_star(double a, double b) {
  const double s = std::sin(b * 0.9 * 1.5);
  const auto c1 = static_cast<float>((0.2 * s + 1.0) * (a * 0.5));  // body grey
  const float c2 = c1 + c1;                                          // arm-tip grey
  const double d = 0.3 * s + 1.25;                                   // body half size
  const double r = std::sin(a * effect::pi) * 1200.0 * 0.01;         // arm length

  auto vertex = [](double x, double y) {
    emit_vertex3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
  };
  auto grey = [](float g) { emit_color3f(g, g, g); };

  emit_begin(GL_QUADS);
  random_unit();  // keeps the shared sequence in step; the value is not used

  grey(c1);
  vertex(80, 30);
  vertex(80 + d, 30 + d);
  vertex(80, 30 + 2 * d);
  vertex(80 - d, 30 + d);

  // Up and down arms: from the body's horizontal diagonal to a tip.
  for (const double tip_y : {30 + r + d, 30 - r + d}) {
    grey(c1);
    vertex(80 + d, 30 + d);
    vertex(80 - d, 30 + d);
    grey(c2);
    vertex(80, tip_y);
    vertex(80, tip_y);
  }
  // Right and left arms: from the vertical diagonal.
  for (const double tip_x : {80 + r, 80 - r}) {
    grey(c1);
    vertex(80, 30);
    vertex(80, 30 + 2 * d);
    grey(c2);
    vertex(tip_x, 30 + d);
    vertex(tip_x, 30 + d);
  }
  emit_end();
}
