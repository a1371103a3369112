// Sprites drawn through their alpha: the colour picture and the alpha picture of a pair
// come from the same distance field, the alpha being white inside with a soft rim.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/standin/texture_art.hpp"

namespace standin {
namespace {

constexpr double kPi = std::numbers::pi;

// Paints the alpha picture of a shape: white inside, black outside, soft rim.
Canvas alpha_of(int w, int h, const DistanceField& shape, double rim) {
    Canvas c(w, h);
    c.paint(shape, grey(1.0f), rim);
    return c;
}

double walker_distance(double u, double v) {
    // Tall canvas (1:4): a striding figure, head at the top.
    double x = u * 0.25, y = v;
    double d = circle_distance(x, y, {0.125, 0.1}, 0.055);
    d = shape_union(d, segment_distance(x, y, {0.125, 0.18}, {0.12, 0.5}, 0.045));          // body
    d = shape_union(d, segment_distance(x, y, {0.12, 0.5}, {0.07, 0.73}, 0.03));            // thigh
    d = shape_union(d, segment_distance(x, y, {0.07, 0.73}, {0.05, 0.95}, 0.025));          // shin
    d = shape_union(d, segment_distance(x, y, {0.12, 0.5}, {0.17, 0.72}, 0.03));
    d = shape_union(d, segment_distance(x, y, {0.17, 0.72}, {0.2, 0.94}, 0.025));
    d = shape_union(d, segment_distance(x, y, {0.125, 0.22}, {0.06, 0.4}, 0.02));           // arms
    d = shape_union(d, segment_distance(x, y, {0.125, 0.22}, {0.19, 0.42}, 0.02));
    return d;
}

double mincer_distance(double u, double v) {
    double d = circle_distance(u, v, {0.45, 0.55}, 0.2);                                     // drum
    d = shape_union(d, box_distance(u, v, {0.48, 0.55}, {0.32, 0.11}, 0.04));               // barrel
    d = shape_union(d, polygon_distance(u, v, {{0.3, 0.1}, {0.6, 0.1}, {0.5, 0.38}, {0.4, 0.38}}));  // funnel
    d = shape_union(d, box_distance(u, v, {0.45, 0.85}, {0.1, 0.1}));                        // stand
    d = shape_union(d, box_distance(u, v, {0.45, 0.95}, {0.25, 0.03}, 0.01));                // foot
    d = shape_union(d, segment_distance(u, v, {0.8, 0.55}, {0.88, 0.3}, 0.02));              // crank
    d = shape_union(d, circle_distance(u, v, {0.88, 0.27}, 0.05));                           // knob
    return d;
}

double man_distance(double u, double v) {
    // Arms spread as if flying.
    double d = circle_distance(u, v, {0.5, 0.16}, 0.09);
    d = shape_union(d, segment_distance(u, v, {0.5, 0.28}, {0.5, 0.6}, 0.09));
    d = shape_union(d, segment_distance(u, v, {0.5, 0.33}, {0.12, 0.2}, 0.035));
    d = shape_union(d, segment_distance(u, v, {0.5, 0.33}, {0.88, 0.2}, 0.035));
    d = shape_union(d, segment_distance(u, v, {0.46, 0.6}, {0.35, 0.93}, 0.045));
    d = shape_union(d, segment_distance(u, v, {0.54, 0.6}, {0.65, 0.93}, 0.045));
    return d;
}

double leg_distance(double u, double v) {
    double x = u * 0.5, y = v;  // 1:2 canvas
    double d = segment_distance(x, y, {0.26, 0.05}, {0.24, 0.5}, 0.1);
    d = shape_union(d, segment_distance(x, y, {0.24, 0.5}, {0.25, 0.85}, 0.07));
    d = shape_union(d, box_distance(x, y, {0.32, 0.9}, {0.14, 0.05}, 0.04));
    return d;
}

struct Stroke {
    Vec2 start, end;
    double width, wave;
};

const std::vector<Stroke>& brush_strokes() {
    static const std::vector<Stroke> strokes{
        {{0.1, 0.25}, {0.9, 0.2}, 0.07, 0.04},
        {{0.15, 0.5}, {0.85, 0.55}, 0.09, -0.05},
        {{0.2, 0.8}, {0.8, 0.75}, 0.06, 0.03},
        {{0.3, 0.1}, {0.4, 0.9}, 0.05, 0.06},
    };
    return strokes;
}

double brush_distance(double u, double v) {
    double d = 1.0;
    for (const Stroke& s : brush_strokes()) {
        double dx = s.end.x - s.start.x, dy = s.end.y - s.start.y;
        double along = std::clamp(((u - s.start.x) * dx + (v - s.start.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        double bend = s.wave * std::sin(along * 8.0);
        // Strokes taper towards their ends.
        double width = s.width * (0.4 + 0.6 * std::sin(kPi * along));
        d = shape_union(d, segment_distance(u + bend, v - bend, s.start, s.end, width));
    }
    return d;
}

double chain_distance(double u, double v) {
    // Tall canvas (1:16): links alternately seen face-on (rings) and edge-on (bars).
    double y = v * 16.0, x = u;
    double link = std::floor(y);
    double local = y - link;
    if (static_cast<long>(link) % 2 == 0)
        return std::abs(box_distance(x, local, {0.5, 0.5}, {0.32, 0.62}, 0.3)) - 0.08;
    return box_distance(x, local, {0.5, 0.5}, {0.09, 0.7}, 0.08);
}

double fish_distance(double u, double v, bool dead) {
    double x = u * 2.0, y = dead ? 1.0 - v : v;  // 2:1 canvas; the dead one floats belly up
    double d = ellipse_distance(x, y, {0.85, 0.5}, {0.6, 0.27});
    d = shape_union(d, polygon_distance(x, y, {{1.35, 0.5}, {1.9, 0.15}, {1.8, 0.5}, {1.9, 0.85}}));     // tail
    d = shape_union(d, polygon_distance(x, y, {{0.7, 0.27}, {1.05, 0.08}, {1.1, 0.3}}));                 // fin
    return d;
}

double glow_band_alpha(double v) { return std::pow(std::sin(kPi * std::clamp(v, 0.0, 1.0)), 1.5); }

}  // namespace

Canvas paint_walker(int w, int h) {
    Canvas c(w, h);
    c.paint(walker_distance, grey(1.0f), 0.006);
    return c;
}

Canvas paint_mincer(int w, int h, bool alpha) {
    if (alpha) return alpha_of(w, h, mincer_distance, 0.006);
    Canvas c(w, h, grey(0.2f));
    c.paint(mincer_distance, [](double u, double v) {
        float shine = static_cast<float>(0.45 + 0.4 * std::sin(u * 9.0 + v * 3.0));
        return Colour{shine, shine, shine * 1.05f};
    }, 0.004);
    c.paint([](double u, double v) { return circle_distance(u, v, {0.88, 0.27}, 0.05); }, Colour{0.8f, 0.1f, 0.1f},
            0.004);
    c.paint([](double u, double v) { return std::abs(circle_distance(u, v, {0.45, 0.55}, 0.12)) - 0.01; },
            grey(0.15f), 0.004);
    return c;
}

Canvas paint_man(int w, int h, bool alpha) {
    if (alpha) return alpha_of(w, h, man_distance, 0.006);
    Canvas c(w, h, Colour{0.9f, 0.5f, 0.2f});
    c.paint([](double u, double v) { return circle_distance(u, v, {0.5, 0.16}, 0.09); }, Colour{0.95f, 0.8f, 0.65f},
            0.004);
    c.paint([](double u, double v) { return v < 0.6 ? box_distance(u, v, {0.5, 0.45}, {0.5, 0.03}) : 1.0; },
            Colour{0.2f, 0.3f, 0.8f}, 0.004);
    c.paint([](double, double v) { return 0.6 - v; }, Colour{0.25f, 0.25f, 0.4f}, 0.004);
    return c;
}

Canvas paint_leg(int w, int h, bool alpha) {
    if (alpha) return alpha_of(w, h, leg_distance, 0.006);
    Canvas c(w, h, Colour{0.95f, 0.8f, 0.65f});
    c.paint([](double, double v) {  // striped sock below the knee
        return std::max(0.55 - v, std::sin(v * 90.0) * 0.02);
    }, Colour{0.85f, 0.2f, 0.2f}, 0.003);
    c.paint([](double, double v) { return 0.85 - v; }, grey(0.15f), 0.004);
    return c;
}

Canvas paint_brush_marks(int w, int h, bool alpha) {
    if (alpha) return alpha_of(w, h, brush_distance, 0.02);
    Canvas c(w, h);
    c.fill([](double u, double v) {
        float bristles = static_cast<float>(0.75 + 0.2 * std::sin(v * 220.0 + 3.0 * std::sin(u * 13.0)));
        return grey(bristles);
    });
    return c;
}

Canvas paint_chain(int w, int h) {
    Canvas c(w, h);
    c.paint(chain_distance, grey(1.0f), 0.02);
    return c;
}

Canvas paint_fish(int w, int h, bool dead, bool alpha) {
    auto body = [dead](double u, double v) { return fish_distance(u, v, dead); };
    if (alpha) return alpha_of(w, h, body, 0.008);
    Colour base = dead ? Colour{0.6f, 0.62f, 0.6f} : Colour{0.2f, 0.55f, 0.75f};
    Canvas c(w, h, base);
    c.paint(body, [dead, base](double u, double v) {
        double scales = std::sin(u * 70.0 + std::sin(v * 40.0)) * std::sin(v * 50.0);
        Colour belly = dead ? grey(0.85f) : Colour{0.9f, 0.85f, 0.5f};
        float lower = static_cast<float>(smooth_step(0.45, 0.7, dead ? 1.0 - v : v));
        return mix(mix(base, belly, lower), grey(0.1f), static_cast<float>(0.15 * (scales > 0.3)));
    }, 0.004);
    double eye_y = dead ? 0.58 : 0.42;
    if (dead) {
        for (double s : {-1.0, 1.0})
            c.paint([=](double u, double v) {
                return segment_distance(u * 2.0, v, {0.43, eye_y - 0.05 * s}, {0.53, eye_y + 0.05 * s}, 0.012);
            }, grey(0.05f), 0.004);
    } else {
        c.paint([=](double u, double v) { return circle_distance(u * 2.0, v, {0.48, eye_y}, 0.05); }, grey(1.0f), 0.004);
        c.paint([=](double u, double v) { return circle_distance(u * 2.0, v, {0.49, eye_y}, 0.025); }, grey(0.0f),
                0.004);
    }
    return c;
}

Canvas paint_glow_band(int w, int h, bool alpha) {
    Canvas c(w, h);
    if (alpha) {
        c.fill([](double, double v) { return grey(static_cast<float>(glow_band_alpha(v))); });
        return c;
    }
    // Bright core across the ribbon with dashes along it (the ribbon repeats the picture along u).
    c.fill([](double u, double v) {
        double core = std::exp(-std::pow((v - 0.5) * 5.0, 2));
        double dash = 0.5 + 0.5 * std::cos(2 * kPi * 4 * u);
        Colour glow{0.2f, 0.6f, 1.0f};
        return mix(glow, grey(1.0f), static_cast<float>(core * (0.5 + 0.5 * dash)));
    });
    return c;
}

}  // namespace standin
