#pragma once
// Writes chosen frames of a run as PNG files (QUILLMERE_CAPTURE_FRAMES,
// QUILLMERE_CAPTURE_EVERY, QUILLMERE_CAPTURE_DIR).
#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace platform {

bool wants_capture(long swap_number);
// Reads the drawable's current draw buffer (before the swap) and writes
// "<dir>/frame_NNNNNN.png".
bool capture_frame(SDL_Window* window, long swap_number);
// Writes RGBA rows, bottom row first as GL reads them, to a PNG file.
bool write_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace platform
