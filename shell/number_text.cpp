#include "shell/number_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string format_capture_number(double value) {
    if (value == 0.0) return "0.";
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.5e", value);   // "-1.23457e+06"
    std::string text = scientific;
    std::string sign;
    if (text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);   // six digits
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    if (exponent >= -1 && exponent < 6) {
        if (exponent == -1) return sign + "0." + digits;
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) return sign + digits + std::string(whole - digits.size(), '0') + ".";
        return sign + digits.substr(0, whole) + "." + digits.substr(whole);
    }
    char exponent_text[8];
    std::snprintf(exponent_text, sizeof exponent_text, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return sign + digits.substr(0, 1) + "." + digits.substr(1) + exponent_text;
}
