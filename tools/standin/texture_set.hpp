#pragma once
// Every JPEG file the show loads, with its size, how it is encoded and how it is painted.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/standin/jpeg_writer.hpp"
#include "tools/standin/raster.hpp"

namespace standin {

struct TextureAsset {
    std::string path;  // relative to the data directory, e.g. "textures/-.jpg"
    int width = 0;
    int height = 0;
    JpegOptions options;
    std::function<Canvas(int width, int height)> paint;
};

// All texture files in a fixed order. Encodings cycle through the four chroma samplings,
// baseline and progressive, restart markers and table choices, so the whole set covers
// every layout the show's decoder reads.
std::vector<TextureAsset> texture_assets();

// Colour and alpha file names of the pictures loaded as pairs; a file may be its own alpha.
std::vector<std::pair<std::string, std::string>> texture_alpha_pairs();

std::vector<std::uint8_t> render_texture(const TextureAsset& asset);

}  // namespace standin
