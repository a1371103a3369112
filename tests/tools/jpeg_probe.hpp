#pragma once
// Test-side JPEG inspection through libjpeg, independent of the generator's writer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct JpegProbe {
    int width = 0;
    int height = 0;
    int components = 0;
    int luma_h = 0, luma_v = 0;  // sampling factors of the first component
    bool progressive = false;
    std::vector<std::uint8_t> pixels;  // decoded, components bytes per pixel
};

// Decodes the whole image; std::nullopt when libjpeg reports an error.
std::optional<JpegProbe> probe_jpeg(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr);

std::vector<std::uint8_t> read_file_bytes(const std::string& path);
