// Track tiles. The straight tiles carry a band through the middle; a corner tile carries a
// quarter ring around the tile corner between the two edges it joins, so consecutive tiles
// of a path join into one track. Image top is north.

#include <cmath>
#include <numbers>

#include "tools/standin/texture_art.hpp"

namespace standin {
namespace {

constexpr double kBandHalfWidth = 0.2;

struct TrackPosition {
    double across;  // signed distance from the band's centre line
    double along;   // distance along the band, for markings
};

TrackPosition track_position(char kind, double u, double v) {
    switch (kind) {
        case '-': return {v - 0.5, u};
        case 'I': return {u - 0.5, v};
        default: break;
    }
    // Corners: '1' east-south, '2' south-west, '3' west-north, '4' north-east.
    Vec2 centre = kind == '1' ? Vec2{1, 1} : kind == '2' ? Vec2{0, 1} : kind == '3' ? Vec2{0, 0} : Vec2{1, 0};
    double r = std::hypot(u - centre.x, v - centre.y);
    double angle = std::atan2(std::abs(v - centre.y), std::abs(u - centre.x));
    return {r - 0.5, angle * 0.5};  // arc length of the centre line
}

}  // namespace

Canvas paint_tile(int w, int h, char kind, TileLayer layer) {
    Canvas c(w, h);
    auto band = [kind](double u, double v) { return std::abs(track_position(kind, u, v).across) - kBandHalfWidth; };
    switch (layer) {
        case TileLayer::alpha:
            c.paint(band, grey(1.0f), 0.04);
            break;
        case TileLayer::colour:
            c.fill([kind](double u, double v) {
                TrackPosition p = track_position(kind, u, v);
                double edge = std::abs(p.across) / kBandHalfWidth;
                // Light paving with darker kerbs and a dashed centre line.
                Colour paving = mix(Colour{0.85f, 0.82f, 0.75f}, Colour{0.35f, 0.3f, 0.28f},
                                    static_cast<float>(std::pow(std::min(edge, 1.0), 6.0)));
                bool dash = std::abs(p.across) < 0.025 && std::fmod(p.along * 8.0 + 8.0, 2.0) < 1.0;
                return dash ? Colour{0.95f, 0.75f, 0.15f} : paving;
            });
            break;
        case TileLayer::flow:
            // Bright chevrons travelling along the band; the picture is its own alpha.
            c.paint(band, [kind](double u, double v) {
                TrackPosition p = track_position(kind, u, v);
                double chevron = std::fmod(p.along * 4.0 + std::abs(p.across) * 3.0 + 8.0, 1.0);
                return grey(chevron < 0.5 ? 1.0f : 0.55f);
            }, 0.03);
            break;
    }
    return c;
}

}  // namespace standin
