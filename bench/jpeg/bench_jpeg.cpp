// JPEG decoder benchmark (not a test): megapixels per second of our decoder
// and of libjpeg-turbo through its API with SIMD off and on, in one process and
// one run, on the same 4000x3000 4:2:0 baseline and progressive files, made at
// start with libjpeg-turbo from a generated picture.
//
// libjpeg-turbo reads JSIMD_FORCENONE once per thread, at its first call on
// that thread, so each libjpeg-turbo decode runs on a fresh thread: SIMD off
// with JSIMD_FORCENONE=1 set before the thread starts, SIMD on with it unset.
//
// Usage: bench_jpeg [seconds per file, default 10]
//        bench_jpeg --write DIR   (writes the two files as DIR/baseline.jpg and
//                                  DIR/progressive.jpg, for profiling, and stops)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>

#include "jpeg_decoder.h"
#include "jpeg_memory_stream.h"

namespace {

using bytes = std::vector<unsigned char>;
constexpr int width = 4000, height = 3000;

// A photo-like picture: smooth shading, soft shapes, some texture and mild noise.
std::vector<unsigned char> make_picture()
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t s = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            s = s * 1664525u + 1013904223u;
            const double fx = double(x) / width, fy = double(y) / height;
            const double blob = std::exp(-((fx - 0.4) * (fx - 0.4) + (fy - 0.5) * (fy - 0.5)) * 12.0);
            const double texture = 18.0 * std::sin(x * 0.21 + 3.0 * std::sin(y * 0.05)) * std::sin(y * 0.13);
            const double noise = double((s >> 24) & 15) - 7.5;
            double r = 60 + 150 * fx + 80 * blob + texture + noise;
            double g = 90 + 100 * fy + 40 * blob + 0.5 * texture + noise;
            double b = 160 - 90 * fx * fy + 60 * std::sin(fx * 7 + fy * 3) + noise;
            if (((x / 250) + (y / 250)) % 5 == 0) { // some hard-edged tiles
                r = 230 - r * 0.3, g = 40 + g * 0.2;
            }
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<unsigned char>(std::clamp(r, 0.0, 255.0));
            p[1] = static_cast<unsigned char>(std::clamp(g, 0.0, 255.0));
            p[2] = static_cast<unsigned char>(std::clamp(b, 0.0, 255.0));
        }
    }
    return rgb;
}

bytes encode(const std::vector<unsigned char>& rgb, bool progressive)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 85, TRUE);
    c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 2; // 4:2:0
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(c.next_scanline) * width * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    bytes file(out, out + size);
    std::free(out);
    jpeg_destroy_compress(&c);
    return file;
}

unsigned checksum_sink = 0;

void decode_ours(const bytes& file)
{
    jpeg_decoder_memory_stream stream(file.data(), file.size());
    jpeg_decoder dec(&stream, true);
    if (dec.error_code || dec.prepare_output() != 0) {
        std::fprintf(stderr, "our decoder failed: %d\n", dec.error_code);
        std::exit(1);
    }
    const std::uint8_t* line;
    std::uint32_t length;
    unsigned sum = 0;
    while (dec.next_scanline(&line, &length) == 0)
        sum += line[length / 2];
    checksum_sink += sum;
}

// Through the API into a 4-byte-per-pixel buffer, as our decoder delivers;
// fancy = libjpeg's default smoothing upsampler, else the replicating one that
// our decoder's conversions match (djpeg -nosmooth).
void decode_libjpeg(const bytes& file, bool fancy)
{
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_RGBX;
    d.dct_method = JDCT_ISLOW;
    d.do_fancy_upsampling = fancy ? TRUE : FALSE;
    jpeg_start_decompress(&d);
    static thread_local std::vector<unsigned char> buffer;
    buffer.resize(static_cast<std::size_t>(d.output_width) * 4 * 16);
    JSAMPROW rows[16];
    for (int i = 0; i < 16; ++i)
        rows[i] = &buffer[static_cast<std::size_t>(i) * d.output_width * 4];
    unsigned sum = 0;
    while (d.output_scanline < d.output_height) {
        const JDIMENSION n = jpeg_read_scanlines(&d, rows, 16);
        for (JDIMENSION i = 0; i < n; ++i)
            sum += rows[i][d.output_width * 2];
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    checksum_sink += sum;
}

template <class F>
void on_own_thread(F f)
{
    std::thread t(f);
    t.join();
}

double seconds_of(const std::function<void()>& decode)
{
    using clock = std::chrono::steady_clock;
    const auto t0 = clock::now();
    decode();
    return std::chrono::duration<double>(clock::now() - t0).count();
}

// One libjpeg-turbo decode on a fresh thread (so that it reads JSIMD_FORCENONE
// afresh), timed on that thread.
double libjpeg_seconds(const bytes& file, bool fancy, bool simd)
{
    if (simd)
        unsetenv("JSIMD_FORCENONE");
    else
        setenv("JSIMD_FORCENONE", "1", 1);
    double t = 0;
    std::thread worker([&] { t = seconds_of([&] { decode_libjpeg(file, fancy); }); });
    worker.join();
    unsetenv("JSIMD_FORCENONE");
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 && std::strcmp(argv[1], "--write") != 0 ? std::atof(argv[1]) : 10.0;
    // The files are made on a thread of their own too, so that no thread
    // that measures libjpeg-turbo has called it before its environment is set.
    bytes files[2];
    on_own_thread([&] {
        const auto rgb = make_picture();
        files[0] = encode(rgb, false);
        files[1] = encode(rgb, true);
    });
    const char* names[2] = {"baseline", "progressive"};
    if (argc > 2 && std::strcmp(argv[1], "--write") == 0) {
        for (int f = 0; f < 2; ++f) {
            const std::string path = std::string(argv[2]) + "/" + names[f] + ".jpg";
            std::FILE* out = std::fopen(path.c_str(), "wb");
            if (!out || std::fwrite(files[f].data(), 1, files[f].size(), out) != files[f].size())
                return 1;
            std::fclose(out);
        }
        return 0;
    }
    std::printf("4000x3000 4:2:0, quality 85, megapixels per second (best of interleaved rounds, %.1f s per file)\n",
                seconds);
    std::printf("%-12s %9s %10s %13s %13s %12s %12s %9s %9s\n", "file", "bytes", "ours", "turbo-nosimd",
                "turbo-simd", "nosimd-fancy", "simd-fancy", "ours/nosimd", "ours/simd");
    // The contenders take turns, one decode each per round, for about
    // `seconds` per file; each keeps its best time. Taking turns makes the
    // ratios robust against load that comes and goes on the machine.
    for (int f = 0; f < 2; ++f) {
        const bytes& file = files[f];
        enum { ours, nosimd, simd, nosimd_fancy, simd_fancy, contenders };
        double best[contenders];
        for (double& b : best)
            b = 1e30;
        decode_ours(file); // warm-up
        const auto start = std::chrono::steady_clock::now();
        int rounds = 0;
        while (rounds < 3 || std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
            best[ours] = std::min(best[ours], seconds_of([&] { decode_ours(file); }));
            best[nosimd] = std::min(best[nosimd], libjpeg_seconds(file, false, false));
            best[simd] = std::min(best[simd], libjpeg_seconds(file, false, true));
            best[nosimd_fancy] = std::min(best[nosimd_fancy], libjpeg_seconds(file, true, false));
            best[simd_fancy] = std::min(best[simd_fancy], libjpeg_seconds(file, true, true));
            ++rounds;
        }
        double mps[contenders];
        for (int i = 0; i < contenders; ++i)
            mps[i] = double(width) * height / 1e6 / best[i];
        std::printf("%-12s %9zu %10.1f %13.1f %13.1f %12.1f %12.1f %9.2f %9.2f  (%d rounds)\n", names[f], file.size(),
                    mps[ours], mps[nosimd], mps[simd], mps[nosimd_fancy], mps[simd_fancy], mps[ours] / mps[nosimd],
                    mps[ours] / mps[simd], rounds);
    }
    std::printf("(turbo-* decode with the replicating upsampler, as djpeg -nosmooth, the same work as ours;\n"
                " *-fancy with libjpeg-turbo's default smoothing upsampler; all with the integer IDCT, into\n"
                " 4 bytes per pixel. checksum %u)\n", checksum_sink);
    return 0;
}
