#pragma once
// Float RGB canvas with anti-aliased shape painting, used to draw the stand-in textures.

#include <cstdint>
#include <functional>
#include <vector>

namespace standin {

struct Colour {
    float r = 0, g = 0, b = 0;
};

constexpr Colour grey(float v) { return {v, v, v}; }
Colour mix(Colour a, Colour b, float f);

struct Vec2 {
    double x = 0, y = 0;
};

// Signed distance to a shape in canvas units (u, v in [0, 1], v downwards): negative inside.
using DistanceField = std::function<double(double u, double v)>;
// Colour as a function of canvas position, for gradients and patterns.
using ColourField = std::function<Colour(double u, double v)>;

class Canvas {
public:
    Canvas(int width, int height, Colour background = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Colour at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Colour c) { pixels_[index(x, y)] = c; }

    void fill(const ColourField& field);
    // Blends colour over the shape; edge is the half-width of the soft rim in canvas units.
    void paint(const DistanceField& shape, Colour colour, double edge, float opacity = 1.0f);
    void paint(const DistanceField& shape, const ColourField& colour, double edge, float opacity = 1.0f);

    // Interleaved 8-bit RGB rows, top row first.
    std::vector<std::uint8_t> to_rgb8() const;

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// Distance fields of basic shapes (canvas units).
double circle_distance(double u, double v, Vec2 centre, double radius);
double box_distance(double u, double v, Vec2 centre, Vec2 half_size, double corner_radius = 0.0);
double segment_distance(double u, double v, Vec2 a, Vec2 b, double half_width);
double polygon_distance(double u, double v, const std::vector<Vec2>& points);
double ellipse_distance(double u, double v, Vec2 centre, Vec2 radii);

// Shape combinations.
inline double shape_union(double a, double b) { return a < b ? a : b; }
inline double shape_subtract(double a, double b) { return a > -b ? a : -b; }

// 0 below edge0, 1 above edge1, Hermite-eased in between.
double smooth_step(double edge0, double edge1, double x);

}  // namespace standin
