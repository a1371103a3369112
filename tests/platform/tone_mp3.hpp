#pragma once
// Writes short sine-tone MP3 files for the sound tests.
#include <filesystem>

namespace test_support {

// A sine of `hz` at `amplitude` (0..1 of full scale) lasting `frames` frames
// at 44100 Hz, encoded at 128 kbit/s with an encoder tag for exact length.
bool write_tone_mp3(const std::filesystem::path& path, int frames, double hz, double amplitude,
                    int channels);

}  // namespace test_support
