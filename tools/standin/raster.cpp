#include "tools/standin/raster.hpp"

#include <algorithm>
#include <cmath>

namespace standin {

Colour mix(Colour a, Colour b, float f) {
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

double smooth_step(double edge0, double edge1, double x) {
    double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

Canvas::Canvas(int width, int height, Colour background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

void Canvas::fill(const ColourField& field) {
    for (int y = 0; y < height_; ++y) {
        double v = (y + 0.5) / height_;
        for (int x = 0; x < width_; ++x) pixels_[index(x, y)] = field((x + 0.5) / width_, v);
    }
}

void Canvas::paint(const DistanceField& shape, Colour colour, double edge, float opacity) {
    paint(shape, [colour](double, double) { return colour; }, edge, opacity);
}

void Canvas::paint(const DistanceField& shape, const ColourField& colour, double edge, float opacity) {
    // Keep at least a pixel of softening so edges are anti-aliased.
    double rim = std::max(edge, 0.5 / std::min(width_, height_));
    for (int y = 0; y < height_; ++y) {
        double v = (y + 0.5) / height_;
        for (int x = 0; x < width_; ++x) {
            double u = (x + 0.5) / width_;
            double d = shape(u, v);
            if (d >= rim) continue;
            float coverage = static_cast<float>(1.0 - smooth_step(-rim, rim, d)) * opacity;
            Colour& p = pixels_[index(x, y)];
            p = mix(p, colour(u, v), coverage);
        }
    }
}

std::vector<std::uint8_t> Canvas::to_rgb8() const {
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    auto quantise = [](float c) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f));
    };
    for (const Colour& c : pixels_) {
        out.push_back(quantise(c.r));
        out.push_back(quantise(c.g));
        out.push_back(quantise(c.b));
    }
    return out;
}

double circle_distance(double u, double v, Vec2 centre, double radius) {
    return std::hypot(u - centre.x, v - centre.y) - radius;
}

double box_distance(double u, double v, Vec2 centre, Vec2 half_size, double corner_radius) {
    double qx = std::abs(u - centre.x) - half_size.x + corner_radius;
    double qy = std::abs(v - centre.y) - half_size.y + corner_radius;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - corner_radius;
}

double segment_distance(double u, double v, Vec2 a, Vec2 b, double half_width) {
    double px = u - a.x, py = v - a.y;
    double bx = b.x - a.x, by = b.y - a.y;
    double len2 = bx * bx + by * by;
    double h = len2 > 0 ? std::clamp((px * bx + py * by) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(px - bx * h, py - by * h) - half_width;
}

double polygon_distance(double u, double v, const std::vector<Vec2>& pts) {
    if (pts.size() < 3) return 1.0;
    double best = (u - pts[0].x) * (u - pts[0].x) + (v - pts[0].y) * (v - pts[0].y);
    bool inside = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        double ex = pts[j].x - pts[i].x, ey = pts[j].y - pts[i].y;
        double wx = u - pts[i].x, wy = v - pts[i].y;
        double len2 = ex * ex + ey * ey;
        double h = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0, 1.0) : 0.0;
        double dx = wx - ex * h, dy = wy - ey * h;
        best = std::min(best, dx * dx + dy * dy);
        // Even-odd crossing test for the sign.
        if ((pts[i].y > v) != (pts[j].y > v)) {
            double cross_x = pts[i].x + (v - pts[i].y) * (pts[j].x - pts[i].x) / (pts[j].y - pts[i].y);
            if (u < cross_x) inside = !inside;
        }
    }
    double d = std::sqrt(best);
    return inside ? -d : d;
}

double ellipse_distance(double u, double v, Vec2 centre, Vec2 radii) {
    // Scaled-circle approximation: exact on the axes, close enough for soft-edged art.
    double nx = (u - centre.x) / radii.x, ny = (v - centre.y) / radii.y;
    double k = std::hypot(nx, ny);
    double gradient = std::hypot(nx / radii.x, ny / radii.y);
    if (k == 0) return -std::min(radii.x, radii.y);
    return k * (k - 1.0) / std::max(gradient, 1e-9);
}

}  // namespace standin
