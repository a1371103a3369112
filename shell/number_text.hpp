#pragma once
#include <string>

// A number as the capture text writes it: 6 significant digits, fixed-point
// for magnitudes from 0.1 up to below 1000000, otherwise an exponent with a
// sign and three digits; trailing zeros dropped but the point kept ("0.", "2.5").
std::string format_capture_number(double value);
