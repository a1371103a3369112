#pragma once
// The asset report, a development instrument: the textures the loaders read,
// listed as loaded and sorted by name, and their files copied into one place.
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "render/texture_loader.hpp"

// Opened by init_demo when the asset report is switched on.
extern std::ofstream g_asset_list_file;

// Writes the report of g_asset_list to g_asset_list_file, copies the files
// under k_asset_copy_prefix and closes the file.
void write_asset_report();

// The report of `list` (which is left sorted by name: names and kinds move,
// slots and sizes stay in place). Each distinct name of the sorted lists is
// copied from itself to copy_prefix + name, keeping an existing copy; failed
// copies are ignored. Returns the number of distinct names.
int write_asset_report(std::ostream& out, std::vector<asset_record>& list, double load_seconds,
                       const std::string& copy_prefix);
