#include "tools/standin/outline_file.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace standin {
namespace {

class LittleEndianWriter {
public:
    void i32(std::int32_t value) { put(static_cast<std::uint32_t>(value), 4); }
    void i16(std::int16_t value) { put(static_cast<std::uint16_t>(value), 2); }
    void f64(double value) { put(std::bit_cast<std::uint64_t>(value), 8); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    void put(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    std::vector<std::uint8_t> bytes_;
};

std::int16_t to_outline_units(double world) {
    double scaled = std::round(world * kOutlineUnitsPerWorld);
    if (!(scaled >= -32768.0 && scaled <= 32767.0))
        throw std::invalid_argument("outline coordinate out of the 16-bit range");
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

double signed_area2(const std::vector<OutlinePoint>& points) {
    double sum = 0.0;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        sum += static_cast<double>(points[j].x) * points[i].y - static_cast<double>(points[i].x) * points[j].y;
    return points.empty() ? 0.0 : sum;
}

OutlineShape make_outline_shape(const std::vector<Vec2>& contour, double depth) {
    if (contour.size() < 3) throw std::invalid_argument("an outline shape needs at least 3 points");
    if (contour.size() > kMaxOutlinePoints) throw std::invalid_argument("outline shape has too many points");
    OutlineShape shape;
    shape.depth = depth;
    shape.points.reserve(contour.size());
    for (const Vec2& p : contour) shape.points.push_back({to_outline_units(p.x), to_outline_units(p.y)});
    if (signed_area2(shape.points) < 0) {
        // Keep the first point first: it is the origin of a shape drawn on its own.
        std::reverse(shape.points.begin() + 1, shape.points.end());
    }
    return shape;
}

std::vector<std::uint8_t> encode_outline_file(const OutlineFile& file) {
    LittleEndianWriter out;
    out.i32(0);  // two header words the reader skips
    out.i32(0);
    out.i32(static_cast<std::int32_t>(file.figures.size()));
    for (const OutlineFigure& figure : file.figures) {
        out.i32(static_cast<std::int32_t>(figure.shapes.size()));
        for (const OutlineShape& shape : figure.shapes) {
            out.i32(static_cast<std::int32_t>(shape.points.size()));
            out.f64(shape.depth);
            for (const OutlinePoint& p : shape.points) {
                out.i16(p.x);
                out.i16(p.y);
            }
        }
    }
    return out.take();
}

}  // namespace standin
