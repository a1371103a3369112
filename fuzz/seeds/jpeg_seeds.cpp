// JPEG seeds, written by libjpeg-turbo: baseline and progressive files in every
// sampling the decoder takes (grey, 4:4:4, 4:2:2, 4:4:0, 4:2:0), with restart
// markers, 16-bit quantisation tables (extended sequential), optimised tables,
// one-component sequential scans and custom progressive scan scripts. Sizes stay
// tiny so that each run is fast. fuzz_jpeg reads its first byte as the read size
// (and MMX flag), so each file is preceded by one, varied across the seeds.
#include "seeds.hpp"

#include "jpeg_test_support.h"

namespace fuzz_seeds {
namespace {

struct layout {
  const char* name;
  int components, h0, v0;
};
constexpr layout grey{"grey", 1, 1, 1};
constexpr layout s444{"444", 3, 1, 1};
constexpr layout s422{"422", 3, 2, 1};
constexpr layout s440{"440", 3, 1, 2};
constexpr layout s420{"420", 3, 2, 2};

// Whole reads, 1-byte reads, 7-byte reads with MMX asked for, 61-byte reads.
constexpr std::uint8_t selectors[] = {0x7F, 0x00, 0x83, 0x1E};

using script = std::vector<jt::scan>;

// DC first, then AC bands by spectral selection only.
const script spectral_only = {{3, {0, 1, 2}, 0, 0, 0, 0}, {1, {0}, 1, 2, 0, 0}, {1, {0}, 3, 63, 0, 0},
                              {1, {2}, 1, 63, 0, 0},      {1, {1}, 1, 63, 0, 0}};
// Successive approximation several bits deep, DC and AC.
const script grey_refinements = {{1, {0}, 0, 0, 0, 2},  {1, {0}, 1, 63, 0, 3}, {1, {0}, 0, 0, 2, 1},
                                 {1, {0}, 1, 63, 3, 2}, {1, {0}, 1, 63, 2, 1}, {1, {0}, 0, 0, 1, 0},
                                 {1, {0}, 1, 63, 1, 0}};
// DC one component per scan, mixed AC bands, an interleaved DC refinement.
const script mixed_progression = {{1, {0}, 0, 0, 0, 1}, {1, {1}, 0, 0, 0, 1},       {1, {2}, 0, 0, 0, 1},
                                  {1, {0}, 1, 5, 0, 1}, {1, {0}, 6, 63, 0, 1},      {1, {1}, 1, 63, 0, 0},
                                  {1, {2}, 1, 63, 0, 0}, {3, {0, 1, 2}, 0, 0, 1, 0}, {1, {0}, 1, 63, 1, 0}};
// Sequential, one component per scan; then chroma first, luma with one chroma.
const script sequential_split = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
const script sequential_reordered = {{1, {2}, 0, 63, 0, 0}, {2, {0, 1}, 0, 63, 0, 0}};

class jpeg_list {
 public:
  // Adds a file of the given layout and size; `setup` adjusts the options.
  template <class F>
  void add(const std::string& name, const layout& l, int width, int height, F&& setup) {
    jt::encode_options o;
    o.h0 = l.h0;
    o.v0 = l.v0;
    o.quality = 75;
    setup(o);
    const jt::image img = jt::make_test_image(width, height, l.components, static_cast<std::uint32_t>(seeds_.size()));
    add_file(name + "-" + l.name + "-" + std::to_string(width) + "x" + std::to_string(height), jt::encode(img, o));
  }
  void add_file(const std::string& name, const jt::bytes& file) {
    seed s{name, {selectors[seeds_.size() % std::size(selectors)]}};
    s.bytes.insert(s.bytes.end(), file.begin(), file.end());
    seeds_.push_back(std::move(s));
  }
  std::vector<seed> take() { return std::move(seeds_); }

 private:
  std::vector<seed> seeds_;
};

}  // namespace

std::vector<seed> jpeg_seeds() {
  jpeg_list list;
  const auto plain = [](jt::encode_options&) {};
  const auto progressive = [](jt::encode_options& o) { o.progressive = true; };
  struct sized {
    const layout& l;
    int w, h;
  };
  for (const sized& s : {sized{grey, 8, 8}, sized{s444, 16, 9}, sized{s422, 33, 17}, sized{s440, 17, 33},
                         sized{s420, 24, 20}}) {
    list.add("baseline", s.l, s.w, s.h, plain);
    list.add("progressive", s.l, s.h, s.w, progressive);
  }
  list.add("baseline", grey, 1, 1, plain);
  list.add("progressive", s420, 1, 1, progressive);

  list.add("restart1", s420, 33, 17, [](jt::encode_options& o) { o.restart_interval = 1; });
  list.add("restart-rows", grey, 16, 24, [](jt::encode_options& o) { o.restart_rows = 1; });
  list.add("progressive-restart2", s422, 20, 12, [](jt::encode_options& o) {
    o.progressive = true;
    o.restart_interval = 2;
  });
  list.add("extended", s420, 16, 16, [](jt::encode_options& o) {
    o.quality = 1;
    o.force_baseline = false;
  });
  list.add("extended", grey, 9, 9, [](jt::encode_options& o) {
    o.quality = 1;
    o.force_baseline = false;
  });
  list.add("optimised", s444, 12, 12, [](jt::encode_options& o) { o.optimize = true; });
  list.add("sequential-split", s420, 20, 18, [](jt::encode_options& o) { o.scans = sequential_split; });
  list.add("sequential-reordered", s422, 18, 10, [](jt::encode_options& o) { o.scans = sequential_reordered; });
  list.add("spectral", s444, 13, 11, [](jt::encode_options& o) {
    o.progressive = true;
    o.scans = spectral_only;
  });
  list.add("refinements", grey, 16, 16, [](jt::encode_options& o) {
    o.progressive = true;
    o.scans = grey_refinements;
  });
  list.add("mixed-progression", s420, 26, 18, [](jt::encode_options& o) {
    o.progressive = true;
    o.scans = mixed_progression;
  });
  list.add("spectral-restart1", s440, 10, 20, [](jt::encode_options& o) {
    o.progressive = true;
    o.scans = spectral_only;
    o.restart_interval = 1;
  });

  // Segments the decoder skips: a comment and an APP1 after the start of image.
  const jt::bytes small = jt::encode(jt::make_test_image(8, 8, 3, 7), jt::encode_options{});
  const jt::bytes comment = jt::segment(0xFE, {'s', 'e', 'e', 'd'});
  const jt::bytes app1 = jt::segment(0xE1, {'E', 'x', 'i', 'f', 0, 0});
  list.add_file("markers-420-8x8", jt::insert_at(small, 2, jt::concat({comment, app1})));
  return list.take();
}

}  // namespace fuzz_seeds
