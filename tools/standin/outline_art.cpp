#include "tools/standin/outline_art.hpp"

#include <cmath>
#include <functional>
#include <numbers>

namespace standin {
namespace {

constexpr double kPi = std::numbers::pi;

// Samples a closed curve given in polar form around centre.
std::vector<Vec2> polar_contour(Vec2 centre, int samples, const std::function<double(double)>& radius) {
    std::vector<Vec2> points;
    for (int i = 0; i < samples; ++i) {
        double a = 2 * kPi * i / samples;
        double r = radius(a);
        points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
    }
    return points;
}

std::vector<Vec2> rounded_rect(Vec2 centre, Vec2 half, double corner, int per_corner = 6) {
    std::vector<Vec2> points;
    const Vec2 corners[4] = {{half.x - corner, half.y - corner},
                             {-half.x + corner, half.y - corner},
                             {-half.x + corner, -half.y + corner},
                             {half.x - corner, -half.y + corner}};
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i <= per_corner; ++i) {
            double a = kPi / 2 * (c + static_cast<double>(i) / per_corner);
            points.push_back({centre.x + corners[c].x + corner * std::cos(a),
                              centre.y + corners[c].y + corner * std::sin(a)});
        }
    }
    return points;
}

std::vector<Vec2> star(Vec2 centre, int tips, double outer, double inner, double turn) {
    std::vector<Vec2> points;
    for (int i = 0; i < tips * 2; ++i) {
        double a = turn + kPi * i / tips;
        double r = i % 2 == 0 ? outer : inner;
        points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
    }
    return points;
}

// A pointed leaf between (0, 0) and (length, 0), turned by angle.
std::vector<Vec2> leaf(double length, double width, double angle) {
    std::vector<Vec2> points;
    const int n = 16;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < n; ++i) {
            double s = side == 0 ? static_cast<double>(i) / n : 1.0 - static_cast<double>(i) / n;
            double bulge = width * std::sin(kPi * s) * (side == 0 ? -1 : 1);
            double x = length * s, y = bulge;
            points.push_back({x * std::cos(angle) - y * std::sin(angle), x * std::sin(angle) + y * std::cos(angle)});
        }
    }
    return points;
}

// A crescent: the outer circle's arc, then back along a circle of the same radius
// centred at (bite, 0), which cuts the bite out of the right side.
std::vector<Vec2> crescent(double radius, double bite) {
    std::vector<Vec2> points;
    const int n = 24;
    double a0 = std::acos(bite / (2 * radius));
    for (int i = 0; i <= n; ++i) {
        double a = a0 + (2 * kPi - 2 * a0) * i / n;
        points.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    for (int i = 1; i < n; ++i) {
        double a = kPi + a0 - 2 * a0 * i / n;
        points.push_back({bite + radius * std::cos(a), radius * std::sin(a)});
    }
    return points;
}

std::vector<Vec2> arrow(double length, double shaft, double head) {
    return {{0, -shaft}, {length - head, -shaft}, {length - head, -head}, {length, 0},
            {length - head, head}, {length - head, shaft}, {0, shaft}, {-0.2 * head, 0}};
}

OutlineFigure figure_of(std::initializer_list<std::vector<Vec2>> contours, double depth = 0.0) {
    OutlineFigure figure;
    for (const auto& c : contours) figure.shapes.push_back(make_outline_shape(c, depth));
    return figure;
}

// The falling shapes: 33 small pieces of varied families, about 0.1 to 0.3 across.
OutlineFile falling_shapes() {
    OutlineFile file;
    for (int i = 0; i < 33; ++i) {
        double size = 0.08 + 0.02 * (i % 5);
        std::vector<Vec2> contour;
        switch (i % 8) {
            case 0: contour = star({0, 0}, 5 + i % 3, size, size * 0.45, 0.1 * i); break;
            case 1: contour = leaf(size * 2.2, size * 0.5, 0.3 * i); break;
            case 2:
                contour = polar_contour({0, 0}, 40, [&](double a) {
                    return size * (1 + 0.25 * std::sin(3 * a + i) + 0.1 * std::cos(5 * a));
                });
                break;
            case 3: contour = crescent(size, size * 0.9); break;
            case 4:
                contour = polar_contour({0, 0}, 48, [&](double a) {  // rosette
                    return size * (0.65 + 0.35 * std::cos((4 + i % 3) * a));
                });
                break;
            case 5: contour = arrow(size * 2.5, size * 0.2, size * 0.6); break;
            case 6:
                contour = polar_contour({0, 0}, 40, [&](double a) {  // drop
                    double s = std::sin(a / 2);
                    return size * (0.35 + 0.9 * s * s * s * s);
                });
                break;
            default: contour = rounded_rect({0, 0}, {size * 1.3, size * 0.5}, size * 0.2); break;
        }
        file.figures.push_back(figure_of({contour}));
    }
    return file;
}

OutlineFile cards() {
    OutlineFile file;
    file.figures.push_back(figure_of({rounded_rect({0, 0}, {0.25, 0.25}, 0.05)}));
    // The card of the show's collage: a rounded playing card about one unit tall.
    file.figures.push_back(figure_of({rounded_rect({0, 0}, {0.36, 0.5}, 0.06)}));
    file.figures.push_back(figure_of({star({0, 0}, 4, 0.5, 0.2, 0.0)}));
    return file;
}

OutlineFile hammers() {
    OutlineFile file;
    // A nail, never drawn by the show.
    file.figures.push_back(figure_of({{{0, -0.02}, {0.8, -0.02}, {0.8, -0.08}, {0.86, -0.08}, {0.86, 0.08},
                                       {0.8, 0.08}, {0.8, 0.02}, {0, 0.02}, {-0.05, 0}}}));
    // The swinging hammer: handle from the pivot at the origin along x, head at the far end.
    std::vector<Vec2> handle{{-0.03, -0.05}, {0.86, -0.05}, {0.86, 0.05}, {-0.03, 0.05}, {-0.06, 0}};
    std::vector<Vec2> head = rounded_rect({0.93, 0.05}, {0.09, 0.32}, 0.03);
    std::vector<Vec2> face{{0.84, -0.4}, {1.02, -0.4}, {1.02, -0.26}, {0.84, -0.26}, {0.82, -0.33}};
    file.figures.push_back(figure_of({handle, head, face}));
    return file;
}

OutlineFile plain_figures() {
    OutlineFile file;
    for (int sides = 3; sides < 7; ++sides)
        file.figures.push_back(figure_of({polar_contour({0, 0}, sides, [](double) { return 0.5; })}, 1.0));
    return file;
}

}  // namespace

std::vector<OutlineAsset> outline_assets() {
    return {
        {"textures/f.txt", plain_figures()},
        {"textures/f2.txt", cards()},
        {"textures/f3.txt", falling_shapes()},
        {"textures/fhammer.txt", hammers()},
    };
}

}  // namespace standin
