// Builds outline file images for the tests: little-endian, no padding.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

struct outline_bytes {
  std::vector<std::uint8_t> bytes;

  outline_bytes& i32(std::int32_t v) { return put(static_cast<std::uint32_t>(v), 4); }
  outline_bytes& i16(std::int16_t v) { return put(static_cast<std::uint16_t>(v), 2); }
  outline_bytes& f64(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, 8);
    return put(u, 8);
  }
  // Header with figure count n.
  outline_bytes& header(std::int32_t n) { return i32(7).i32(-7).i32(n); }
  // Shape record: point count, depth, the points.
  outline_bytes& shape(double depth, const std::vector<std::pair<int, int>>& points) {
    i32(static_cast<std::int32_t>(points.size())).f64(depth);
    for (const auto& [x, y] : points) i16(static_cast<std::int16_t>(x)).i16(static_cast<std::int16_t>(y));
    return *this;
  }

  void write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  outline_bytes& put(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
};

// A square of side 2a around the origin as six points (two edge midpoints
// added, so that the per-shape reader, which skips 5 points or fewer, draws
// it), counter-clockwise or clockwise.
inline std::vector<std::pair<int, int>> square(int a, bool counter_clockwise = true) {
  std::vector<std::pair<int, int>> p{{-a, -a}, {0, -a}, {a, -a}, {a, a}, {-a, a}, {-a, 0}};
  if (!counter_clockwise) p = std::vector<std::pair<int, int>>(p.rbegin(), p.rend());
  return p;
}
