// Writes the seed corpora: make_fuzz_seeds <output-dir> fills
// <output-dir>/fuzz_jpeg, fuzz_model3ds and fuzz_outline, replacing what was there.
#include "seeds.hpp"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

std::size_t write_corpus(const std::filesystem::path& dir, const std::vector<fuzz_seeds::seed>& seeds) {
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::size_t bytes = 0;
  for (const fuzz_seeds::seed& s : seeds) {
    std::ofstream out(dir / s.name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(s.bytes.data()), static_cast<std::streamsize>(s.bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (dir / s.name).string());
    bytes += s.bytes.size();
  }
  std::cout << dir.filename().string() << ": " << seeds.size() << " seeds, " << bytes << " bytes\n";
  return seeds.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_fuzz_seeds <output-dir>\n";
    return 2;
  }
  try {
    const std::filesystem::path root = argv[1];
    write_corpus(root / "fuzz_jpeg", fuzz_seeds::jpeg_seeds());
    write_corpus(root / "fuzz_model3ds", fuzz_seeds::model3ds_seeds());
    write_corpus(root / "fuzz_outline", fuzz_seeds::outline_seeds());
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "make_fuzz_seeds: " << error.what() << '\n';
    return 1;
  }
}
