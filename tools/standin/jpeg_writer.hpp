#pragma once
// Writes three-component JPEG files through libjpeg, with a choice of the layouts
// the show's decoder has to handle.

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// Luma sampling relative to chroma: 4:4:4 = 1x1, 4:2:2 = 2x1, 4:4:0 = 1x2, 4:2:0 = 2x2.
enum class ChromaSampling { s444, s422, s440, s420 };

struct JpegOptions {
    ChromaSampling sampling = ChromaSampling::s420;
    bool progressive = false;
    int quality = 85;
    // Restart marker every this many MCUs; 0 for none.
    unsigned restart_interval = 0;
    // Per-image Huffman tables instead of the standard ones (progressive files always have them).
    bool optimize_coding = false;
};

std::string sampling_name(ChromaSampling sampling);

// rgb holds width x height pixels of three bytes, top row first. Throws std::runtime_error
// when libjpeg reports an error.
std::vector<std::uint8_t> encode_jpeg(const std::vector<std::uint8_t>& rgb, int width, int height,
                                      const JpegOptions& options);

}  // namespace standin
