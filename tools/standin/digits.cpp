#include "tools/standin/digits.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace standin {
namespace {

// One byte per row, the low five bits from left (bit 4) to right (bit 0).
constexpr std::array<std::array<std::uint8_t, 7>, 10> kGlyphs{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
}};

}  // namespace

bool digit_pixel(char digit, int column, int row) {
    if (digit < '0' || digit > '9' || column < 0 || column > 4 || row < 0 || row > 6) return false;
    return (kGlyphs[digit - '0'][row] >> (4 - column)) & 1;
}

double digits_distance(std::string_view text, Vec2 origin, double cell_size, double u, double v) {
    // Only the glyph cells around (u, v) can be nearest, so look at a 3x3 neighbourhood.
    double advance = cell_size * 6;
    double local_x = u - origin.x, local_y = v - origin.y;
    long glyph = static_cast<long>(std::floor(local_x / advance));
    long column0 = static_cast<long>(std::floor((local_x - glyph * advance) / cell_size));
    long row0 = static_cast<long>(std::floor(local_y / cell_size));
    double best = 1.0;
    for (long g = glyph - 1; g <= glyph + 1; ++g) {
        if (g < 0 || g >= static_cast<long>(text.size())) continue;
        long c_from = g == glyph ? column0 - 1 : (g < glyph ? 3 : -1);
        long c_to = g == glyph ? column0 + 1 : (g < glyph ? 5 : 1);
        for (long row = row0 - 1; row <= row0 + 1; ++row) {
            for (long column = c_from; column <= c_to; ++column) {
                if (!digit_pixel(text[g], static_cast<int>(column), static_cast<int>(row))) continue;
                Vec2 centre{origin.x + advance * g + cell_size * (column + 0.5), origin.y + cell_size * (row + 0.5)};
                // Slightly oversized cells run together into solid strokes.
                Vec2 half{cell_size * 0.56, cell_size * 0.56};
                best = std::min(best, box_distance(u, v, centre, half, cell_size * 0.15));
            }
        }
    }
    return best;
}

void draw_digits(Canvas& canvas, std::string_view text, Vec2 origin, double cell_size, Colour colour) {
    std::string owned(text);
    canvas.paint([=](double u, double v) { return digits_distance(owned, origin, cell_size, u, v); }, colour,
                 cell_size * 0.04);
}

}  // namespace standin
