#pragma once
// The figures of the four outline files the show turns into display lists.

#include <string>
#include <vector>

#include "tools/standin/outline_file.hpp"

namespace standin {

struct OutlineAsset {
    std::string path;  // relative to the data directory
    OutlineFile file;
};

// Figure 1 of "textures/f2.txt" is the card (list 100); figure 1 of "textures/fhammer.txt"
// the swinging hammer (list 2000); "textures/f3.txt" holds 33 single-shape figures so that
// its per-shape lists 1000 to 1032 all hold a shape.
std::vector<OutlineAsset> outline_assets();

}  // namespace standin
