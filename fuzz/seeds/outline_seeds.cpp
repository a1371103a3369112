// Outline seeds, written by the stand-in data's outline writer: no figures, a
// figure without shapes, a shape without points, a triangle, and two figures
// of several shapes at different depths.
#include "seeds.hpp"

#include "tools/standin/outline_file.hpp"

#include <cmath>

namespace fuzz_seeds {
namespace {

std::vector<standin::Vec2> polygon(int corners, double radius, double x, double y) {
  std::vector<standin::Vec2> points;
  for (int i = 0; i < corners; ++i) {
    const double a = 6.283185307179586 * i / corners;
    points.push_back({x + radius * std::cos(a), y + radius * std::sin(a)});
  }
  return points;
}

}  // namespace

std::vector<seed> outline_seeds() {
  using standin::OutlineFigure;
  using standin::OutlineFile;
  using standin::make_outline_shape;
  const OutlineFigure triangle{{make_outline_shape(polygon(3, 0.5, 0, 0))}};
  const OutlineFigure rings{{make_outline_shape(polygon(12, 0.9, 0.1, 0), 0.0),
                             make_outline_shape(polygon(8, 0.4, -0.2, 0.1), 1.5),
                             make_outline_shape(polygon(5, 0.2, 0.3, -0.3), -2.25)}};
  const OutlineFigure square{{make_outline_shape({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, 0.5)}};
  standin::OutlineShape no_points;
  no_points.depth = 3.0;
  return {
      {"empty.outline", standin::encode_outline_file(OutlineFile{})},
      {"no-shapes.outline", standin::encode_outline_file(OutlineFile{{OutlineFigure{}}})},
      {"no-points.outline", standin::encode_outline_file(OutlineFile{{OutlineFigure{{no_points}}}})},
      {"triangle.outline", standin::encode_outline_file(OutlineFile{{triangle}})},
      {"figures.outline", standin::encode_outline_file(OutlineFile{{rings, square, triangle}})},
  };
}

}  // namespace fuzz_seeds
