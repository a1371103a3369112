// Shaping curves.
#include "shaping.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

double shape_gamma_ramp(const double* xp) {
  const double x = *xp;
  return x + (std::pow(x / 2.0, 2.2) - x) * (1.0 - std::clamp(0.3 * x, 0.0, 1.0));
}

double shape_cosine_pulse(const double* pp, const double* qp) {
  const double p = *pp, q = *qp;
  return std::pow(1.0 - std::pow((std::cos(std::numbers::pi * p) + 1.0) / 2.0, (q - 1.0) / 2.0 + 1.0),
                  q);
}

double shape_damped_sine(double x, double /*ignored*/, double f) {
  if (x < 0.0001) return 0.0;
  return std::sin(std::numbers::pi * f * x + std::clamp(28.0 * x, 0.0, 1.0) + 0.5) * (1.01 - x);
}
