// Shaping curves that turn a time or phase into an easing value.
#pragma once

// x + (pow(x / 2, 2.2) - x) * (1 - clamp(0.3 x, 0, 1)).
// Blends from pow(x / 2, 2.2) at x = 0 toward x, and returns x from x = 10/3
// on. For negative x pow gives NaN, which is kept (no caller passes one).
double shape_gamma_ramp(const double* x);

// pow(1 - pow((cos(pi p) + 1) / 2, (q - 1) / 2 + 1), q): 0 at p = 0 and 1 at
// p = 1 for q >= 1; with q = 1 it is (1 - cos(pi p)) / 2.
double shape_cosine_pulse(const double* p, const double* q);

// 0 when x < 0.0001; otherwise sin(pi f x + clamp(28 x, 0, 1) + 0.5) * (1.01 - x).
// The second argument is ignored.
double shape_damped_sine(double x, double ignored, double f);
