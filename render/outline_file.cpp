#include "outline_file.hpp"

#include "fatal_exit.hpp"

#include "platform/system.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// Little-endian reads with a bounds check on every field.
class byte_reader {
 public:
  explicit byte_reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t offset() const { return offset_; }
  std::size_t remaining() const { return bytes_.size() - offset_; }

  bool read_i32(std::int32_t& out) {
    std::uint32_t u = 0;
    if (!read_le(u, 4)) return false;
    out = static_cast<std::int32_t>(u);
    return true;
  }
  bool read_i16(std::int16_t& out) {
    std::uint64_t u = 0;
    if (!read_le(u, 2)) return false;
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(u));
    return true;
  }
  bool read_f64(double& out) {
    std::uint64_t u = 0;
    if (!read_le(u, 8)) return false;
    std::memcpy(&out, &u, sizeof out);
    return true;
  }

 private:
  template <class T>
  bool read_le(T& out, std::size_t size) {
    if (remaining() < size) return false;
    T value = 0;
    for (std::size_t i = 0; i < size; ++i)
      value |= static_cast<T>(bytes_[offset_ + i]) << (8 * i);
    offset_ += size;
    out = value;
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
};

bool fail(std::string* error, const std::string& what, std::size_t offset) {
  if (error) *error = what + " at byte " + std::to_string(offset);
  return false;
}

// A count that is negative, or larger than the bytes left could hold at
// min_record_size bytes each, cannot be right.
bool check_count(std::int32_t count, std::size_t min_record_size, const byte_reader& in,
                 const char* what, std::string* error) {
  if (count < 0) return fail(error, std::string("negative ") + what, in.offset() - 4);
  if (static_cast<std::size_t>(count) > in.remaining() / min_record_size)
    return fail(error, std::string("truncated file: ") + what + " beyond the end", in.offset() - 4);
  return true;
}

bool parse_shape(byte_reader& in, outline_shape& shape, std::string* error) {
  std::int32_t k = 0;
  if (!in.read_i32(k)) return fail(error, "truncated file: point count", in.offset());
  if (k < 0) return fail(error, "negative point count", in.offset() - 4);
  if (k > outline_max_points)
    return fail(error, "shape of " + std::to_string(k) + " points (at most " +
                           std::to_string(outline_max_points) + ")",
                in.offset() - 4);
  if (!in.read_f64(shape.depth)) return fail(error, "truncated file: shape depth", in.offset());
  if (static_cast<std::size_t>(k) > in.remaining() / 4)
    return fail(error, "truncated file: points", in.offset());
  shape.points.resize(static_cast<std::size_t>(k));
  for (outline_point& p : shape.points) {
    in.read_i16(p.x);
    in.read_i16(p.y);
  }
  return true;
}

float to_f32(double v) {
  // Converting a finite double beyond the float range is undefined.
  if (v > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (v < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

[[noreturn]] void refuse(const char* path, const std::string& why) {
  platform::message_box("Outline !", std::string(path) + "\n" + why,
                        platform::message_buttons::ok, platform::message_icon::information);
  fatal_exit(exit_code_bad_asset);
}

}  // namespace

std::optional<outline_file> parse_outline(std::span<const std::uint8_t> bytes,
                                          std::string* error) {
  byte_reader in(bytes);
  outline_file file;
  std::int32_t n = 0;
  if (!in.read_i32(file.unused[0]) || !in.read_i32(file.unused[1]) || !in.read_i32(n)) {
    fail(error, "truncated file: header", in.offset());
    return std::nullopt;
  }
  // Each figure needs its 4-byte shape count, each shape 12 bytes of head.
  if (!check_count(n, 4, in, "figure count", error)) return std::nullopt;
  file.figures.resize(static_cast<std::size_t>(n));
  for (outline_figure& figure : file.figures) {
    std::int32_t p = 0;
    if (!in.read_i32(p)) {
      fail(error, "truncated file: shape count", in.offset());
      return std::nullopt;
    }
    if (!check_count(p, 12, in, "shape count", error)) return std::nullopt;
    figure.shapes.resize(static_cast<std::size_t>(p));
    for (outline_shape& shape : figure.shapes)
      if (!parse_shape(in, shape, error)) return std::nullopt;
  }
  return file;
}

outline_file load_outline_file(const char* path, int* close_result) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) refuse(path, "cannot be opened");
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  const bool read_error = std::ferror(f) != 0;
  const int closed = std::fclose(f);
  if (close_result) *close_result = closed;
  if (read_error) refuse(path, "cannot be read");
  std::string error;
  std::optional<outline_file> file = parse_outline(bytes, &error);
  if (!file) refuse(path, error);
  return std::move(*file);
}

vec3 outline_vertex(outline_point p, double depth, double scale) {
  return vec3{1, to_f32(p.x / 30000.0), to_f32(p.y / 30000.0), to_f32(depth * scale * 0.014)};
}
