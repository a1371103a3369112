// Test-side helpers for the JPEG decoder: synthetic images, libjpeg-turbo as
// encoder and as coefficient oracle (with a back end of our own that applies the
// decoder's inverse DCT order, colour tables and chroma replication), djpeg and the
// other command-line tools, and hand-built files for malformed cases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jpeg_decoder.h"

namespace jt {

using bytes = std::vector<std::uint8_t>;

struct image {
    int width = 0, height = 0, components = 3; // 1 grey, 3 RGB
    bytes pixels;                               // width * height * components
};

// A deterministic picture with smooth gradients, hard edges, fine patterns
// and noise, so that every coefficient band is exercised.
image make_test_image(int width, int height, int components, std::uint32_t seed);

struct scan { int comps; int index[4]; int ss, se, ah, al; };

struct encode_options {
    int h0 = 2, v0 = 2;         // luma sampling (chroma 1x1)
    int quality = 85;
    bool force_baseline = true; // false lets quality 1 make 16-bit tables (SOF1)
    int restart_interval = 0;   // in MCUs
    int restart_rows = 0;       // in MCU rows
    bool progressive = false;   // jpeg_simple_progression
    std::vector<scan> scans;    // custom scan script (sequential or progressive)
    bool optimize = false;
};

bytes encode(const image& img, const encode_options& options);

struct decoded {
    int error = 0;        // our decoder: error_code after the failing step
    int stage = 0;        // 0 ok, 1 constructor, 2 prepare_output, 3 next_scanline
    int width = 0, height = 0, bpp = 0;
    bytes pixels;         // height lines of width * bpp bytes
};

// Our decoder over an in-memory stream (max_chunk > 0: short reads).
decoded decode_ours(const bytes& file, int max_chunk = 0);

// libjpeg-turbo's coefficients through the test-side back end.
decoded decode_oracle(const bytes& file);

// djpeg -nosmooth -dct int (bpp 1 or 3).
decoded decode_djpeg(const bytes& file);

struct difference { int max = 0; double rmse = 0; };
// Compares the R, G, B (or grey) bytes of ours (bpp 4 or 1) with djpeg's (3 or 1).
difference compare_with_djpeg(const decoded& ours, const decoded& djpeg);

// Files and tools.
std::string temp_dir();
void write_file(const std::string& path, const bytes& data);
bytes read_file(const std::string& path);
void write_pnm(const std::string& path, const image& img);
int run(const std::string& command);
bool have_tool(const char* name);

// Byte surgery on headers.
bytes segment(std::uint8_t marker, const bytes& payload); // FF marker, length, payload
// Offset of the first FF marker at or after `from` (header area only).
std::size_t find_marker(const bytes& file, std::uint8_t marker, std::size_t from = 0);
bytes insert_at(const bytes& file, std::size_t offset, const bytes& what);
bytes replace_segment(const bytes& file, std::uint8_t marker, const bytes& new_segment);
bytes remove_segments(const bytes& file, std::uint8_t marker);

// Hand-built files.
struct frame_component { int id, h, v, tq; };
bytes sof(std::uint8_t marker, int width, int height, const std::vector<frame_component>& comps, int precision = 8);
bytes dqt(int number, const std::vector<int>& values64, bool wide = false);
bytes dht(int table_class, int number, const std::vector<int>& counts16, const std::vector<int>& symbols);
struct scan_component { int id, td, ta; };
bytes sos(const std::vector<scan_component>& comps, int ss, int se, int ah, int al);
bytes dri(int interval);

// Entropy-coded data: bits MSB first, FF stuffed, padded with 1-bits.
class bit_writer {
public:
    void put(std::uint32_t value, int bits);
    bytes finish();

private:
    bytes out_;
    std::uint32_t acc_ = 0;
    int n_ = 0;
};

// The standard tables of T.81 Annex K (luminance DC and AC).
std::vector<int> std_dc_counts();
std::vector<int> std_dc_symbols();
std::vector<int> std_ac_counts();
std::vector<int> std_ac_symbols();
std::vector<int> flat_quant(int value);

bytes concat(std::initializer_list<bytes> parts);

} // namespace jt
