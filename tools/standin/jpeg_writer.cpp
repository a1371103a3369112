#include "tools/standin/jpeg_writer.hpp"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace standin {
namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default handler exits the process; jump back to the caller instead.
[[noreturn]] void trap_error(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->resume, 1);
}

void silence_message(j_common_ptr) {}

void apply_sampling(jpeg_compress_struct& info, ChromaSampling sampling) {
    int h = 1, v = 1;
    switch (sampling) {
        case ChromaSampling::s444: break;
        case ChromaSampling::s422: h = 2; break;
        case ChromaSampling::s440: v = 2; break;
        case ChromaSampling::s420: h = 2; v = 2; break;
    }
    info.comp_info[0].h_samp_factor = h;
    info.comp_info[0].v_samp_factor = v;
    for (int c = 1; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
}

// Kept free of C++ objects with destructors, since an error leaves it through longjmp.
bool compress(ErrorTrap& trap, const std::uint8_t* rgb, int width, int height, const JpegOptions& options,
              unsigned char** out, unsigned long* out_size) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = trap_error;
    trap.manager.output_message = silence_message;
    if (setjmp(trap.resume)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, out_size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    apply_sampling(info, options.sampling);
    info.restart_interval = options.restart_interval;
    info.optimize_coding = options.optimize_coding ? TRUE : FALSE;
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::string sampling_name(ChromaSampling sampling) {
    switch (sampling) {
        case ChromaSampling::s444: return "4:4:4";
        case ChromaSampling::s422: return "4:2:2";
        case ChromaSampling::s440: return "4:4:0";
        case ChromaSampling::s420: return "4:2:0";
    }
    return "?";
}

std::vector<std::uint8_t> encode_jpeg(const std::vector<std::uint8_t>& rgb, int width, int height,
                                      const JpegOptions& options) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3)
        throw std::invalid_argument("encode_jpeg: pixel buffer does not match the image size");
    ErrorTrap trap{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = compress(trap, rgb.data(), width, height, options, &buffer, &size);
    std::vector<std::uint8_t> bytes;
    if (ok) bytes.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok) throw std::runtime_error(std::string("JPEG encoding failed: ") + trap.message);
    return bytes;
}

}  // namespace standin
