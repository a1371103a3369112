// Locating the sample 3DS scenes installed by assimp-testmodels.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::filesystem::path sample_dir() {
  if (const char* env = std::getenv("QM_3DS_SAMPLE_DIR")) return env;
  return QM_3DS_SAMPLE_DIR;
}

inline std::vector<std::uint8_t> file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Regular files of the sample folder whose first chunk is a 3DS main chunk
// (one of them has no .3ds extension), sorted by name.
inline std::vector<std::filesystem::path> sample_3ds_files() {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(sample_dir(), ec)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    char magic[2] = {};
    if (in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'M') files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}
