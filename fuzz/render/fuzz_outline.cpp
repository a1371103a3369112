// Outline file images of any shape: the parser must refuse or accept them
// without reading past the image, and the accepted ones convert to vertices.
#include "render/outline_file.hpp"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<outline_file> file = parse_outline(std::span<const std::uint8_t>(data, size));
  if (!file) return 0;
  volatile float sink = 0.0f;
  for (const outline_figure& figure : file->figures)
    for (const outline_shape& shape : figure.shapes) {
      if (shape.points.size() > static_cast<std::size_t>(outline_max_points)) __builtin_trap();
      for (const outline_point& p : shape.points) {
        const vec3 v = outline_vertex(p, shape.depth, 1.5);
        sink = sink + v.x + v.y + v.z;
      }
    }
  return 0;
}
