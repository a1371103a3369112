#include "jpeg_probe.hpp"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

namespace {

struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error(j_common_ptr info) {
    auto* trap = reinterpret_cast<Trap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->resume, 1);
}

void on_warning(j_common_ptr info, int level) {
    // Corrupt-data warnings count as failures here: a clean file gives none.
    if (level < 0) on_error(info);
}

bool decode(Trap& trap, const std::vector<std::uint8_t>& bytes, JpegProbe& out) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = on_error;
    trap.manager.emit_message = on_warning;
    if (setjmp(trap.resume)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    out.width = static_cast<int>(info.image_width);
    out.height = static_cast<int>(info.image_height);
    out.components = info.num_components;
    out.luma_h = info.comp_info[0].h_samp_factor;
    out.luma_v = info.comp_info[0].v_samp_factor;
    out.progressive = info.progressive_mode != 0;
    jpeg_start_decompress(&info);
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * info.output_components;
    out.pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::optional<JpegProbe> probe_jpeg(const std::vector<std::uint8_t>& bytes, std::string* error) {
    Trap trap{};
    JpegProbe probe;
    if (!decode(trap, bytes, probe)) {
        if (error) *error = trap.message;
        return std::nullopt;
    }
    return probe;
}

std::vector<std::uint8_t> read_file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
