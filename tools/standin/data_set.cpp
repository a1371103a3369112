#include "tools/standin/data_set.hpp"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "tools/standin/outline_art.hpp"
#include "tools/standin/outline_file.hpp"
#include "tools/standin/soundtrack.hpp"
#include "tools/standin/texture_set.hpp"

namespace standin {
namespace {

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::vector<std::string> write_data_set(const std::filesystem::path& root, DataSetParts parts) {
    std::vector<std::string> written;
    if (parts.outlines) {
        for (const OutlineAsset& asset : outline_assets()) {
            write_file(root / asset.path, encode_outline_file(asset.file));
            written.push_back(asset.path);
        }
    }
    if (parts.textures) {
        for (const TextureAsset& asset : texture_assets()) {
            write_file(root / asset.path, render_texture(asset));
            written.push_back(asset.path);
        }
    }
    if (parts.music) {
        write_file(root / kSoundtrackPath, encode_mp3(synthesize_soundtrack()));
        written.emplace_back(kSoundtrackPath);
    }
    return written;
}

}  // namespace standin
