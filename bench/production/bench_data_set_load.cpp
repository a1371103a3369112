// Loading the show's data set: the part's whole load (outline lists, every
// texture decoded and uploaded, procedural data) against decoding the same
// JPEG files with libjpeg-turbo alone. Run from the data directory:
//   cd data && bench_data_set_load
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "jpeg/jpeg_decoder.h"
#include "platform/window.hpp"
#include "production/part_start.hpp"
#include "render/scene_context.hpp"
#include "render/texture_loader.hpp"

namespace {

std::vector<std::string> jpeg_files() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("textures"))
        if (entry.path().extension() == ".jpg") files.push_back(entry.path().string());
    return files;
}

long ignore(platform::window*, const platform::message&) { return 0; }

bool make_context() {
    static bool made = false;
    if (made) return true;
    platform::register_window_class("bench", ignore);
    platform::window* w = platform::create_window("bench", "bench", 0, 0, 64, 64, false);
    platform::device* d = w ? platform::get_device(w) : nullptr;
    const int format = d ? platform::choose_pixel_format(d, platform::pixel_format{}) : 0;
    if (!format || !platform::set_pixel_format(d, format)) return false;
    platform::gl_context* c = platform::create_context(d);
    made = c && platform::make_current(d, c);
    return made;
}

void DecodeAllWithOurDecoder(benchmark::State& state) {
    const auto files = jpeg_files();
    for (auto _ : state) {
        for (const std::string& f : files) {
            jpeg_decoder_file_stream stream;
            stream.open(f.c_str());
            jpeg_decoder decoder(&stream, true);
            decoder.prepare_output();
            const std::uint8_t* line = nullptr;
            std::uint32_t length = 0;
            while (decoder.next_scanline(&line, &length) == 0) benchmark::DoNotOptimize(line);
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(DecodeAllWithOurDecoder)->Unit(benchmark::kMillisecond);

void DecodeAllWithLibjpegTurbo(benchmark::State& state) {
    const auto files = jpeg_files();
    std::vector<std::uint8_t> row;
    for (auto _ : state) {
        for (const std::string& f : files) {
            std::FILE* file = std::fopen(f.c_str(), "rb");
            jpeg_decompress_struct d{};
            jpeg_error_mgr err{};
            d.err = jpeg_std_error(&err);
            jpeg_create_decompress(&d);
            jpeg_stdio_src(&d, file);
            jpeg_read_header(&d, TRUE);
            jpeg_start_decompress(&d);
            row.resize(static_cast<std::size_t>(d.output_width) * d.output_components);
            JSAMPROW rows[1] = {row.data()};
            while (d.output_scanline < d.output_height) jpeg_read_scanlines(&d, rows, 1);
            jpeg_finish_decompress(&d);
            jpeg_destroy_decompress(&d);
            std::fclose(file);
        }
    }
}
BENCHMARK(DecodeAllWithLibjpegTurbo)->Unit(benchmark::kMillisecond);

void WholePartLoad(benchmark::State& state) {
    if (!make_context()) {
        state.SkipWithError("no GL context");
        return;
    }
    auto scene = std::make_unique<scene_context>();
    scene->compress_textures = false;
    for (auto _ : state) {
        auto part = std::make_unique<part_start>();
        part->load(scene.get());
        state.PauseTiming();
        // Each load makes new textures and lists; drop them between rounds.
        for (GLuint& name : scene->texture_names) {
            if (!name) continue;
            glDeleteTextures(1, &name);
            name = 0;
        }
        g_asset_list.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(WholePartLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
