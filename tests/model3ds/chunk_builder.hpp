// Byte-level builder of 3DS chunk trees for the reader tests, including
// malformed ones (wrong lengths, truncated headers).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class ChunkBuilder {
 public:
  ChunkBuilder& u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  ChunkBuilder& u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    return u8(static_cast<std::uint8_t>(v >> 8));
  }
  ChunkBuilder& u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    return u16(static_cast<std::uint16_t>(v >> 16));
  }
  ChunkBuilder& f32(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return u32(bits);
  }
  ChunkBuilder& f32s(std::initializer_list<float> fs) {
    for (float f : fs) f32(f);
    return *this;
  }
  // NUL-terminated.
  ChunkBuilder& text(const std::string& s) {
    for (char c : s) u8(static_cast<std::uint8_t>(c));
    return u8(0);
  }
  // Opens a chunk; its length is filled in by end().
  ChunkBuilder& begin(std::uint16_t id) {
    open_.push_back(bytes_.size());
    u16(id);
    return u32(0);
  }
  ChunkBuilder& end() { return end_with_length(static_cast<std::uint32_t>(bytes_.size() - open_.back())); }
  // Closes the open chunk with a chosen (possibly wrong) length.
  ChunkBuilder& end_with_length(std::uint32_t length) {
    const std::size_t at = open_.back() + 2;
    open_.pop_back();
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return *this;
  }
  // A whole chunk holding only the given payload builder's bytes.
  template <class F>
  ChunkBuilder& chunk(std::uint16_t id, F&& payload) {
    begin(id);
    payload(*this);
    return end();
  }
  ChunkBuilder& empty_chunk(std::uint16_t id) { return begin(id).end(); }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> open_;
};
