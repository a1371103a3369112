// Renders chosen part times of the show with the stand-in data and lays them
// out on one PNG, so a person can look at the layers:
//   timeline_contact_sheet <data-dir> <out.png> t1 t2 ...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "platform/frame_capture.hpp"
#include "show_harness.hpp"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <data-dir> <out.png> <part time>...\n", argv[0]);
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[2]).string();
    setenv("QUILLMERE_TEST_DATA", argv[1], 1);
    std::string why;
    show_harness* h = show_harness::get(&why);
    if (!h) {
        std::fprintf(stderr, "cannot render: %s\n", why.c_str());
        return 1;
    }
    const int count = argc - 3;
    const int columns = count < 4 ? count : 4;
    const int rows = (count + columns - 1) / columns;
    const int w = show_harness::width, hgt = show_harness::height;
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(w) * columns * hgt * rows * 4, 40);
    for (int i = 0; i < count; ++i) {
        const double t = std::atof(argv[3 + i]);
        h->render_at(t);
        const auto frame = h->pixels();
        const int cx = i % columns, cy = rows - 1 - i / columns;   // first time at the top left
        for (int y = 0; y < hgt; ++y)
            std::memcpy(&sheet[((static_cast<std::size_t>(cy) * hgt + y) * w * columns + cx * w) * 4],
                        &frame[static_cast<std::size_t>(y) * w * 4], static_cast<std::size_t>(w) * 4);
        std::printf("cell %d: part time %.3f\n", i, t);
    }
    if (!platform::write_png(out, w * columns, hgt * rows, sheet)) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
