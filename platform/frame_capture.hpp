#pragma once
// Writes chosen frames of a run as PNG files (QUILLMERE_CAPTURE_FRAMES,
// QUILLMERE_CAPTURE_EVERY, QUILLMERE_CAPTURE_DIR).
#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace platform {

// The run ends with this code (after the window's teardown) when a frame asked
// for cannot be written.
inline constexpr int exit_code_frame_not_written = 5;

bool wants_capture(long swap_number);
// Reads the drawable's current draw buffer (before the swap) and writes
// "<dir>/frame_NNNNNN.png", making the folder when it is missing. A frame that
// cannot be written is reported on standard error with its path and the reason.
bool capture_frame(SDL_Window* window, long swap_number);
// Writes RGBA rows, bottom row first as GL reads them, to a PNG file. The
// file appears under `path` only whole: it is written beside it as
// "<path>.partial" and renamed into place. On failure nothing is left of it
// (a file already at `path` stays as it was) and `reason` (when given) says why.
bool write_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
               std::string* reason = nullptr);

}  // namespace platform
