#pragma once
// Writes the stand-in data set: the soundtrack under music/, the pictures and outline
// files under textures/, with the names the show opens.

#include <filesystem>
#include <string>
#include <vector>

namespace standin {

inline constexpr const char* kSoundtrackPath = "music/Dorrin-afternoon stroll.mp3";

struct DataSetParts {
    bool textures = true;
    bool outlines = true;
    bool music = true;
};

// Writes the chosen parts under root (creating the folders) and returns the relative
// paths written, in order. Throws std::runtime_error when a file cannot be written.
std::vector<std::string> write_data_set(const std::filesystem::path& root, DataSetParts parts = {});

}  // namespace standin
