#pragma once
// Test-side reader of the binary outline file, written from the file layout alone:
// i32 unused, i32 unused, i32 figure count; per figure i32 shape count; per shape
// i32 point count, f64 depth, then i16 x, i16 y pairs. Little-endian.

#include <cstdint>
#include <optional>
#include <vector>

struct ReadShape {
    double depth = 0.0;
    std::vector<std::int16_t> xs, ys;
};

struct ReadOutlineFile {
    std::vector<std::vector<ReadShape>> figures;
};

// std::nullopt when the bytes are truncated, have negative counts or trailing bytes.
std::optional<ReadOutlineFile> read_outline_bytes(const std::vector<std::uint8_t>& bytes);

// Which display list each shape lands in when lists are built one per shape from base b:
// shape j of figure i goes to b + i + j, a later compile replacing an earlier one.
// Returns, per list id offset from b, the point count of the shape it finally holds.
std::vector<int> per_shape_list_point_counts(const ReadOutlineFile& file);
