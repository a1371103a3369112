// Generates the stand-in data set: make_standin_data <output-dir>

#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>

#include "tools/standin/data_set.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "make_standin_data") << " <output-dir>\n"
                  << "Writes music/ and textures/ with every file the show opens.\n";
        return 2;
    }
    try {
        auto start = std::chrono::steady_clock::now();
        std::filesystem::path root = argv[1];
        auto written = standin::write_data_set(root);
        std::uintmax_t bytes = 0;
        for (const auto& path : written) bytes += std::filesystem::file_size(root / path);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "wrote " << written.size() << " files (" << bytes / 1024 << " KiB) to " << root.string() << " in "
                  << seconds << " s\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "make_standin_data: " << error.what() << '\n';
        return 1;
    }
}
