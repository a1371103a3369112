// The record of every image the texture loaders read, in load order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct asset_record {
  std::string name;        // the file as passed to the loader (for a pair, the colour file)
  std::int32_t slot = 0;
  std::int32_t width = 0;  // of the colour image
  std::int32_t height = 0;
  std::int32_t kind = 0;   // 0: a JPEG texture, the only kind the loaders write
};

extern std::vector<asset_record> g_asset_list;
