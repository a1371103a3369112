#include <gtest/gtest.h>

#include <map>

#include "outline_reader.hpp"
#include "tools/standin/outline_art.hpp"

using namespace standin;

namespace {

std::map<std::string, ReadOutlineFile> read_all() {
    std::map<std::string, ReadOutlineFile> files;
    for (const OutlineAsset& asset : outline_assets()) {
        auto read = read_outline_bytes(encode_outline_file(asset.file));
        EXPECT_TRUE(read.has_value()) << asset.path;
        if (read) files[asset.path] = *read;
    }
    return files;
}

double area2(const ReadShape& s) {
    double sum = 0;
    for (std::size_t i = 0, j = s.xs.size() - 1; i < s.xs.size(); j = i++)
        sum += static_cast<double>(s.xs[j]) * s.ys[i] - static_cast<double>(s.xs[i]) * s.ys[j];
    return sum;
}

}  // namespace

TEST(OutlineAssets, ProvideTheFourFilesTheShowOpens) {
    auto files = read_all();
    ASSERT_EQ(files.size(), 4u);
    for (const char* name : {"textures/f.txt", "textures/f2.txt", "textures/f3.txt", "textures/fhammer.txt"})
        EXPECT_EQ(files.count(name), 1u) << name;
}

TEST(OutlineAssets, HoldTheFiguresBehindTheCalledDisplayLists) {
    auto files = read_all();
    // List 100 is figure 1 of f2.txt (base 99); list 2000 is figure 1 of fhammer.txt (base 1999).
    for (const char* name : {"textures/f2.txt", "textures/fhammer.txt"}) {
        const ReadOutlineFile& file = files[name];
        ASSERT_GE(file.figures.size(), 2u) << name;
        ASSERT_FALSE(file.figures[1].empty()) << name;
        for (const ReadShape& shape : file.figures[1]) EXPECT_GE(shape.xs.size(), 3u) << name;
    }
    // Lists 1001 to 1032 are per-shape lists of f3.txt from base 1000; a list only draws
    // when the shape last compiled into it has more than five points.
    std::vector<int> lists = per_shape_list_point_counts(files["textures/f3.txt"]);
    ASSERT_GE(lists.size(), 33u);
    for (int id = 1001; id <= 1032; ++id) EXPECT_GT(lists[static_cast<std::size_t>(id - 1000)], 5) << "list " << id;
}

TEST(OutlineAssets, EveryContourIsCounterClockwiseAndFitsTheTessellator) {
    for (const auto& [name, file] : read_all()) {
        for (std::size_t f = 0; f < file.figures.size(); ++f) {
            for (const ReadShape& shape : file.figures[f]) {
                EXPECT_GT(area2(shape), 0.0) << name << " figure " << f;
                EXPECT_LE(shape.xs.size(), kMaxOutlinePoints) << name;
            }
        }
    }
}

TEST(OutlineAssets, AreTheSameOnEveryCall) {
    auto first = outline_assets();
    auto second = outline_assets();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(encode_outline_file(first[i].file), encode_outline_file(second[i].file)) << first[i].path;
}
