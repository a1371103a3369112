// Backgrounds, patterns and the "photographs". Pictures the show draws with the
// inverse-colour blend (film frames, photographs, cemetery) are bright drawings on black,
// so that they come out as dark drawings on screen.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tools/standin/art_random.hpp"
#include "tools/standin/digits.hpp"
#include "tools/standin/texture_art.hpp"

namespace standin {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

Colour hue(double h, float saturation = 1.0f, float value = 1.0f) {
    h = h - std::floor(h);
    auto channel = [&](double offset) {
        double k = std::fmod(h * 6.0 + offset, 6.0);
        double c = std::clamp(std::min(k, 4.0 - k), 0.0, 1.0);
        return value * (1.0f - saturation * static_cast<float>(1.0 - c));
    };
    return {channel(5.0), channel(3.0), channel(1.0)};
}

// Distance on a torus of size 1, so that shapes placed near an edge continue across it.
double wrapped(double d) {
    d = std::fmod(std::abs(d), 1.0);
    return std::min(d, 1.0 - d);
}

}  // namespace

Canvas paint_blob(int w, int h) {
    Canvas c(w, h);
    c.fill([](double u, double v) {
        double r = std::hypot(u - 0.5, v - 0.5) * 2.0;
        float core = static_cast<float>(std::pow(std::clamp(1.0 - r, 0.0, 1.0), 1.6));
        float ring = static_cast<float>(std::exp(-std::pow((r - 0.7) * 9.0, 2)) * 0.35);
        return Colour{core + ring * 0.4f, core + ring * 0.7f, core + ring};
    });
    return c;
}

Canvas paint_gradient(int w, int h) {
    Canvas c(w, h);
    c.fill([](double u, double v) {
        double steps = std::floor(u * 16.0) / 15.0;  // visible bands under nearest filtering
        Colour low{0.05f, 0.0f, 0.15f}, mid{0.95f, 0.45f, 0.1f}, high{1.0f, 1.0f, 0.9f};
        Colour base = steps < 0.5 ? mix(low, mid, static_cast<float>(steps * 2))
                                  : mix(mid, high, static_cast<float>(steps * 2 - 1));
        return mix(base, grey(static_cast<float>(1.0 - v)), 0.15f);
    });
    return c;
}

Canvas paint_film_frame(int w, int h, int number) {
    double turn = (number - 1) / 60.0;
    Colour background = mix(grey(0.02f), hue(turn, 0.8f, 0.25f), 0.6f);
    Canvas c(w, h, background);
    Colour bright{0.95f, 0.92f, 0.8f};
    // Film edges with sprocket holes that advance with the frame number.
    for (double x : {0.05, 0.95}) {
        c.paint([=](double u, double v) { return box_distance(u, v, {x, 0.5}, {0.05, 0.5}); }, bright, 0.002);
        for (int i = -1; i < 7; ++i) {
            double y = (i + 0.5 + (number % 4) / 4.0) / 6.0;
            c.paint([=](double u, double v) { return box_distance(u, v, {x, y}, {0.022, 0.035}, 0.01); },
                    background, 0.003);
        }
    }
    // A clock face whose hand and ball go round once in sixty frames.
    Vec2 centre{0.5, 0.33};
    c.paint([=](double u, double v) { return std::abs(circle_distance(u, v, centre, 0.2)) - 0.012; }, bright,
            0.004);
    double a = kTwoPi * turn - std::numbers::pi / 2;
    Vec2 tip{centre.x + 0.17 * std::cos(a), centre.y + 0.17 * std::sin(a)};
    c.paint([=](double u, double v) { return segment_distance(u, v, centre, tip, 0.012); }, bright, 0.004);
    c.paint([=](double u, double v) { return circle_distance(u, v, tip, 0.035); }, hue(turn, 0.6f, 1.0f), 0.004);
    std::string text = std::to_string(number);
    if (text.size() < 2) text = "0" + text;
    double cell = 0.045;
    double width = cell * (6.0 * text.size() - 1.0);
    draw_digits(c, text, {0.5 - width / 2, 0.6}, cell, bright);
    return c;
}

Canvas paint_aerial(int w, int h) {
    Canvas c(w, h);
    ArtRandom random(222);
    std::vector<Colour> fields(64);
    for (Colour& f : fields)
        f = mix(Colour{0.35f, 0.5f, 0.2f}, Colour{0.65f, 0.55f, 0.3f}, static_cast<float>(random.next()));
    c.fill([&](double u, double v) {
        int fx = static_cast<int>(u * 8), fy = static_cast<int>(v * 8);
        Colour base = fields[static_cast<std::size_t>(fy * 8 + fx)];
        double furrows = 0.5 + 0.5 * std::sin((fx % 2 ? u : v) * 160.0);
        return mix(base, grey(0.2f), static_cast<float>(furrows * 0.12));
    });
    // Roads along the field edges and a winding river.
    for (int i = 1; i < 8; i += 3) {
        double p = i / 8.0;
        c.paint([=](double u, double) { return std::abs(u - p) - 0.008; }, grey(0.85f), 0.003);
        c.paint([=](double, double v) { return std::abs(v - p) - 0.008; }, grey(0.85f), 0.003);
    }
    c.paint([](double u, double v) { return std::abs(v - 0.5 - 0.18 * std::sin(u * kTwoPi * 1.5)) - 0.025; },
            Colour{0.2f, 0.35f, 0.7f}, 0.01);
    return c;
}

Canvas paint_cells(int w, int h) {
    Canvas c(w, h, Colour{0.75f, 0.88f, 0.95f});
    ArtRandom random(111);
    struct Cell {
        Vec2 centre;
        double radius;
        Colour colour;
    };
    std::vector<Cell> cells;
    for (int i = 0; i < 40; ++i)
        cells.push_back({{random.next(), random.next()}, random.range(0.04, 0.09),
                         hue(random.range(0.45, 0.65), 0.45f, 0.95f)});
    for (const Cell& cell : cells) {
        auto distance = [cell](double u, double v) {
            return std::hypot(wrapped(u - cell.centre.x), wrapped(v - cell.centre.y));
        };
        c.paint([=](double u, double v) { return std::abs(distance(u, v) - cell.radius) - 0.006; },
                Colour{0.15f, 0.3f, 0.45f}, 0.004);
        c.paint([=](double u, double v) { return distance(u, v) - cell.radius + 0.006; }, cell.colour, 0.01, 0.7f);
        c.paint([=](double u, double v) { return distance(u, v) - cell.radius * 0.3; }, Colour{0.3f, 0.2f, 0.5f},
                0.008);
    }
    return c;
}

Canvas paint_trees(int w, int h) {
    Canvas c(w, h);
    c.fill([](double, double v) { return mix(Colour{0.55f, 0.75f, 0.95f}, Colour{0.95f, 0.9f, 0.75f}, float(v)); });
    double aspect = static_cast<double>(w) / h;
    ArtRandom random(350);
    for (int i = 0; i < 9; ++i) {
        double x = (i + 0.5) / 9.0 + random.range(-0.02, 0.02);
        double crown = random.range(0.15, 0.25);
        double top = random.range(0.2, 0.4);
        Colour leaves = mix(Colour{0.1f, 0.35f, 0.12f}, Colour{0.25f, 0.5f, 0.15f}, float(random.next()));
        c.paint([=](double u, double v) { return segment_distance(u * aspect, v, {x * aspect, top}, {x * aspect, 1.0}, 0.03); },
                Colour{0.3f, 0.2f, 0.1f}, 0.005);
        c.paint([=](double u, double v) { return circle_distance(u * aspect, v, {x * aspect, top}, crown); }, leaves,
                0.01);
    }
    c.paint([](double, double v) { return 0.92 - v; }, Colour{0.3f, 0.45f, 0.15f}, 0.01);
    return c;
}

Canvas paint_house_front(int w, int h, bool wide) {
    Canvas c(w, h);
    Colour line = grey(0.9f);
    double aspect = static_cast<double>(w) / h;
    auto outline = [&](Vec2 centre, Vec2 half, double thickness) {
        c.paint([=](double u, double v) {
            return std::abs(box_distance(u * aspect, v, {centre.x * aspect, centre.y}, {half.x * aspect, half.y})) -
                   thickness;
        }, line, 0.004);
    };
    int storeys = wide ? 3 : 2, columns = wide ? 6 : 3;
    outline({0.5, 0.55}, {0.42, 0.4}, 0.008);
    c.paint([=](double u, double v) {
        return polygon_distance(u, v, {{0.06, 0.16}, {0.5, 0.03}, {0.94, 0.16}});
    }, grey(0.55f), 0.005);
    for (int s = 0; s < storeys; ++s) {
        for (int k = 0; k < columns; ++k) {
            Vec2 centre{0.13 + 0.74 * (k + 0.5) / columns, 0.28 + 0.52 * (s + 0.5) / (storeys + 1)};
            if (s == storeys - 1 && k == columns / 2) continue;  // the door goes here
            outline(centre, {0.24 / columns, 0.06}, 0.005);
            c.paint([=](double u, double v) { return box_distance(u, v, centre, {0.2 / columns, 0.05}); },
                    grey(0.35f), 0.003);
        }
    }
    outline({0.13 + 0.74 * (columns / 2 + 0.5) / columns, 0.84}, {0.05, 0.1}, 0.006);
    if (!wide) {
        // Awning stripes over the shop window.
        c.paint([](double u, double v) {
            return std::max(box_distance(u, v, {0.5, 0.2}, {0.4, 0.04}), std::sin(u * 60.0) * 0.02);
        }, grey(0.75f), 0.003);
    }
    return c;
}

Canvas paint_bicycle(int w, int h) {
    Canvas c(w, h);
    double aspect = static_cast<double>(w) / h;
    Colour line = grey(0.95f);
    auto bar = [&](Vec2 a, Vec2 b, double width) {
        c.paint([=](double u, double v) {
            return segment_distance(u * aspect, v, {a.x * aspect, a.y}, {b.x * aspect, b.y}, width);
        }, line, 0.006);
    };
    const Vec2 wheels[2] = {{0.27, 0.62}, {0.73, 0.62}};
    for (Vec2 wheel : wheels) {
        Vec2 centre{wheel.x * aspect, wheel.y};
        c.paint([=](double u, double v) { return std::abs(circle_distance(u * aspect, v, centre, 0.3)) - 0.02; }, line,
                0.006);
        for (int s = 0; s < 8; ++s) {
            double a = kTwoPi * s / 16;
            Vec2 end{centre.x + 0.28 * std::cos(a), centre.y + 0.28 * std::sin(a)};
            Vec2 other{centre.x - 0.28 * std::cos(a), centre.y - 0.28 * std::sin(a)};
            c.paint([=](double u, double v) { return segment_distance(u * aspect, v, other, end, 0.004); },
                    grey(0.6f), 0.003);
        }
    }
    Vec2 crank{0.48, 0.62}, seat{0.42, 0.25}, head{0.68, 0.22};
    bar(wheels[0], crank, 0.02);
    bar(crank, seat, 0.02);
    bar(seat, wheels[0], 0.015);
    bar(seat, head, 0.02);
    bar(crank, head, 0.02);
    bar(head, wheels[1], 0.02);
    bar({0.38, 0.19}, {0.47, 0.19}, 0.03);
    bar(head, {0.66, 0.1}, 0.015);
    bar({0.6, 0.1}, {0.72, 0.1}, 0.02);
    return c;
}

Canvas paint_cemetery(int w, int h) {
    Canvas c(w, h);
    double aspect = static_cast<double>(w) / h;
    Colour stone = grey(0.9f);
    ArtRandom random(2000);
    for (int i = 0; i < 12; ++i) {
        double x = ((i + 0.5) / 12.0 + random.range(-0.01, 0.01)) * aspect;
        double top = random.range(0.15, 0.35);
        if (i % 3 == 1) {
            c.paint([=](double u, double v) { return segment_distance(u * aspect, v, {x, top}, {x, 0.9}, 0.05); },
                    stone, 0.01);
            c.paint([=](double u, double v) {
                return segment_distance(u * aspect, v, {x - 0.18, top + 0.2}, {x + 0.18, top + 0.2}, 0.05);
            }, stone, 0.01);
        } else {
            c.paint([=](double u, double v) {
                return shape_union(box_distance(u * aspect, v, {x, 0.6 + top / 2}, {0.2, 0.3 - top / 2}),
                                   circle_distance(u * aspect, v, {x, top + 0.2}, 0.2));
            }, stone, 0.01);
        }
    }
    c.paint([](double, double v) { return 0.88 - v; }, grey(0.6f), 0.02);
    return c;
}

Canvas paint_pattern(int w, int h, int variant) {
    Canvas c(w, h);
    switch (variant) {
        case 0:  // pale paper with a diagonal hatch and a dot grid
            c.fill([](double u, double v) {
                double hatch = 0.5 + 0.5 * std::sin(kTwoPi * 8 * (u + v));
                double dots = std::hypot(std::sin(kTwoPi * 8 * u), std::sin(kTwoPi * 8 * v));
                float shade = static_cast<float>(0.97 - 0.08 * hatch - (dots < 0.35 ? 0.18 : 0.0));
                return Colour{shade, shade * 0.97f, shade * 0.9f};
            });
            break;
        case 1:  // red and pink checks
            c.fill([](double u, double v) {
                double s = std::sin(kTwoPi * 4 * u) * std::sin(kTwoPi * 4 * v);
                float k = static_cast<float>(smooth_step(-0.15, 0.15, s));
                return mix(Colour{0.95f, 0.75f, 0.75f}, Colour{0.8f, 0.15f, 0.15f}, k);
            });
            break;
        case 2:  // coloured horizontal bands
            c.fill([](double u, double v) {
                double band = v * 6 + 0.08 * std::sin(kTwoPi * 2 * u);
                return hue(std::floor(band) / 6.0 + 0.05, 0.5f, 0.9f - 0.25f * float(band - std::floor(band)));
            });
            break;
        case 3:  // soft blue checkerboard
            c.fill([](double u, double v) {
                double s = std::sin(kTwoPi * 3 * u) * std::sin(kTwoPi * 3 * v);
                return mix(grey(0.95f), Colour{0.25f, 0.4f, 0.8f}, static_cast<float>(smooth_step(-0.3, 0.3, s)));
            });
            break;
        case 4:  // green waves
            c.fill([](double u, double v) {
                double s = std::sin(kTwoPi * (5 * v + 0.6 * std::sin(kTwoPi * 2 * u)));
                return mix(Colour{0.85f, 0.95f, 0.8f}, Colour{0.2f, 0.55f, 0.3f}, static_cast<float>(0.5 + 0.5 * s));
            });
            break;
        default:  // dots on yellow
            c.fill([](double u, double v) {
                double d = std::hypot(wrapped(u * 5 - 0.5) , wrapped(v * 5 - 0.5 + 0.5 * std::floor(u * 5)));
                float k = static_cast<float>(1.0 - smooth_step(0.22, 0.28, d));
                return mix(Colour{0.98f, 0.9f, 0.45f}, Colour{0.85f, 0.35f, 0.1f}, k);
            });
            break;
    }
    return c;
}

}  // namespace standin
