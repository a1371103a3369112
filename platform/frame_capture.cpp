#include "platform/frame_capture.hpp"

#include <GL/gl.h>
#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/run_settings.hpp"

namespace platform {

namespace {

// libpng's errors end up in `why` instead of on standard error.
void record_png_error(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

// A short write fails with the system's reason (a full disk says so) rather
// than libpng's bare "Write Error".
void write_to_file(png_structp png, png_bytep data, png_size_t length) {
    if (std::fwrite(data, 1, length, static_cast<std::FILE*>(png_get_io_ptr(png))) != length)
        png_error(png, std::strerror(errno));
}

void flush_file(png_structp png) { std::fflush(static_cast<std::FILE*>(png_get_io_ptr(png))); }

bool write_png_stream(std::FILE* file, int width, int height,
                      const std::vector<std::uint8_t>& rgba, std::string& why) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &why, record_png_error,
                                              ignore_png_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, file, write_to_file, flush_file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_filler(png, 0, PNG_FILLER_AFTER);   // drop the alpha byte of each pixel
        for (int y = height - 1; y >= 0; --y) {
            png_bytep row = const_cast<png_bytep>(rgba.data() + static_cast<std::size_t>(y) * width * 4);
            png_write_row(png, row);
        }
        png_write_end(png, nullptr);
        ok = true;
    } else if (why.empty()) {
        why = "out of memory";
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return ok;
}

// The picture goes to "<path>.partial" in the same folder and is renamed into
// place only once every byte is out, so a failed write (a full disk) never
// leaves a half-written file under the frame's name; the partial file is
// removed on any failure.
bool write_png_file(const std::string& path, int width, int height,
                    const std::vector<std::uint8_t>& rgba, std::string& why) {
    if (width <= 0 || height <= 0 ||
        rgba.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        why = "no picture to write";
        return false;
    }
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    bool ok = write_png_stream(file, width, height, rgba, why);
    // Buffered bytes go out at the close: a full disk may show up only here.
    if (std::fclose(file) != 0 && ok) {
        why = std::strerror(errno);
        ok = false;
    }
    if (ok && std::rename(partial.c_str(), path.c_str()) != 0) {
        why = std::strerror(errno);
        ok = false;
    }
    if (!ok) std::remove(partial.c_str());
    return ok;
}

// The drawable's current draw buffer as RGBA rows, bottom row first; empty
// when the drawable has no pixels.
std::vector<std::uint8_t> read_frame(SDL_Window* window, int& width, int& height) {
    width = height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    GLint draw_buffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    GLint read_buffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    GLint pack_alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack_alignment);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack_alignment);
    glReadBuffer(static_cast<GLenum>(read_buffer));
    return rgba;
}

}  // namespace

bool wants_capture(long swap_number) {
    const run_settings& s = settings();
    if (s.capture_every > 0 && swap_number % s.capture_every == 0) return true;
    return std::find(s.capture_frames.begin(), s.capture_frames.end(), swap_number) !=
           s.capture_frames.end();
}

bool write_png(const std::string& path, int width, int height,
               const std::vector<std::uint8_t>& rgba, std::string* reason) {
    std::string why;
    const bool ok = write_png_file(path, width, height, rgba, why);
    if (!ok && reason) *reason = why;
    return ok;
}

bool capture_frame(SDL_Window* window, long swap_number) {
    const std::string& dir = settings().capture_dir;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", swap_number);
    const std::string path = (std::filesystem::path(dir) / name).string();
    std::string reason;
    int width = 0, height = 0;
    if (const std::vector<std::uint8_t> rgba = read_frame(window, width, height); rgba.empty()) {
        reason = "the window has no pixels";
    } else {
        std::error_code made;
        std::filesystem::create_directories(dir, made);
        if (made)
            reason = made.message();
        else if (write_png(path, width, height, rgba, &reason))
            return true;
    }
    std::fprintf(stderr, "could not write %s: %s\n", path.c_str(), reason.c_str());
    return false;
}

}  // namespace platform
