// Seed corpora of the fuzzers: small valid files of every kind each target
// takes, so that fuzzing starts past the first marker or chunk header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_seeds {

struct seed {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<seed> jpeg_seeds();      // inputs of fuzz_jpeg (selector byte + file)
std::vector<seed> model3ds_seeds();  // 3DS scenes
std::vector<seed> outline_seeds();   // outline files

}  // namespace fuzz_seeds
