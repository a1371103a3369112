#pragma once
// The binary outline file: figures made of filled shapes, each shape one closed contour
// of 16-bit points (1/30000 units) with a depth. Little-endian, no padding.

#include <cstdint>
#include <vector>

#include "tools/standin/raster.hpp"

namespace standin {

constexpr double kOutlineUnitsPerWorld = 30000.0;
// The show's tessellator holds this many vertices per shape.
constexpr std::size_t kMaxOutlinePoints = 8192;

struct OutlinePoint {
    std::int16_t x = 0, y = 0;
    friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};

struct OutlineShape {
    double depth = 0.0;
    std::vector<OutlinePoint> points;
    friend bool operator==(const OutlineShape&, const OutlineShape&) = default;
};

struct OutlineFigure {
    std::vector<OutlineShape> shapes;
    friend bool operator==(const OutlineFigure&, const OutlineFigure&) = default;
};

struct OutlineFile {
    std::vector<OutlineFigure> figures;
    friend bool operator==(const OutlineFile&, const OutlineFile&) = default;
};

// Converts a contour in world units (y up) into a shape, rounding to outline units and
// turning it counter-clockwise, since the show fills regions of positive winding only.
// Throws std::invalid_argument for fewer than 3 points, too many, or coordinates out of range.
OutlineShape make_outline_shape(const std::vector<Vec2>& contour, double depth = 0.0);

// Twice the signed area in outline units: positive for a counter-clockwise contour.
double signed_area2(const std::vector<OutlinePoint>& points);

std::vector<std::uint8_t> encode_outline_file(const OutlineFile& file);

}  // namespace standin
