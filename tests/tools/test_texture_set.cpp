#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "jpeg_probe.hpp"
#include "tools/standin/texture_set.hpp"

using namespace standin;

namespace {

// Every file the part's loader opens, in its load order (pairs give colour, then alpha).
std::vector<std::string> loader_file_names() {
    std::vector<std::string> names{"blob41b", "gradient13"};
    for (int k = 1; k <= 60; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "MWSnap%03d", k);
        names.emplace_back(name);
    }
    for (const char* n : {"aera", "cel1", "thetrees", "front3", "front", "bicycle", "gaitisa", "gaitisa", "mincer",
                          "mincera", "man", "mana", "leg", "lega", "brysh", "brysha", "chain", "chain", "fish", "fisha",
                          "dead_fish", "dead_fish_alpha", "q-", "q-_alpha", "-", "-_alpha", "-_flow", "-_flow", "I",
                          "I_alpha", "I_flow", "I_flow", "corner1", "corner1_alpha", "corner1_flow", "corner1_flow",
                          "corner2", "corner2_alpha", "corner2_flow", "corner2_flow", "corner3", "corner3_alpha",
                          "corner3_flow", "corner3_flow", "corner4", "corner4_alpha", "corner4_flow", "corner4_flow",
                          "cemetary", "pattern", "patternr", "pattern4", "pattern5", "pattern6", "pattern3",
                          "pattern4", "pattern"})
        names.emplace_back(n);
    for (std::string& n : names) n = "textures/" + n + ".jpg";
    return names;
}

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

std::map<std::string, TextureAsset> assets_by_path() {
    std::map<std::string, TextureAsset> map;
    for (TextureAsset& a : texture_assets()) map.emplace(a.path, std::move(a));
    return map;
}

}  // namespace

TEST(TextureSet, HoldsEveryFileTheLoaderOpensOnceAndNothingElse) {
    std::vector<TextureAsset> assets = texture_assets();
    std::set<std::string> generated;
    for (const TextureAsset& a : assets) EXPECT_TRUE(generated.insert(a.path).second) << "duplicate " << a.path;
    std::set<std::string> wanted;
    for (const std::string& name : loader_file_names()) wanted.insert(name);
    EXPECT_EQ(generated, wanted);
    EXPECT_EQ(wanted.size(), 109u);
}

TEST(TextureSet, PairsShareTheirSizeAndAllSizesArePowersOfTwo) {
    auto assets = assets_by_path();
    for (const auto& [path, asset] : assets) {
        EXPECT_TRUE(power_of_two(asset.width) && power_of_two(asset.height)) << path;
    }
    auto pairs = texture_alpha_pairs();
    EXPECT_EQ(pairs.size(), 21u);
    for (const auto& [colour, alpha] : pairs) {
        ASSERT_EQ(assets.count(colour), 1u) << colour;
        ASSERT_EQ(assets.count(alpha), 1u) << alpha;
        EXPECT_EQ(assets[colour].width, assets[alpha].width) << colour;
        EXPECT_EQ(assets[colour].height, assets[alpha].height) << colour;
    }
}

TEST(TextureSet, EncodingsCoverEverySamplingBothBaselineAndProgressive) {
    std::set<std::pair<ChromaSampling, bool>> seen;
    bool restarts = false, standard_tables = false;
    for (const TextureAsset& a : texture_assets()) {
        seen.insert({a.options.sampling, a.options.progressive});
        restarts |= a.options.restart_interval > 0;
        standard_tables |= !a.options.optimize_coding && !a.options.progressive;
    }
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_TRUE(restarts);
    EXPECT_TRUE(standard_tables);
}

TEST(TextureSet, RenderedFilesAreThreeComponentJpegsWithTheirDeclaredLayout) {
    // The first twelve assets cover every sampling and scan mode.
    std::vector<TextureAsset> assets = texture_assets();
    for (std::size_t i = 0; i < 12; ++i) {
        const TextureAsset& asset = assets[i];
        std::string error;
        auto probe = probe_jpeg(render_texture(asset), &error);
        ASSERT_TRUE(probe.has_value()) << asset.path << ": " << error;
        EXPECT_EQ(probe->components, 3) << asset.path;
        EXPECT_EQ(probe->width, asset.width);
        EXPECT_EQ(probe->height, asset.height);
        EXPECT_EQ(probe->progressive, asset.options.progressive) << asset.path;
        int h = asset.options.sampling == ChromaSampling::s422 || asset.options.sampling == ChromaSampling::s420 ? 2 : 1;
        int v = asset.options.sampling == ChromaSampling::s440 || asset.options.sampling == ChromaSampling::s420 ? 2 : 1;
        EXPECT_EQ(probe->luma_h, h) << asset.path;
        EXPECT_EQ(probe->luma_v, v) << asset.path;
    }
}

TEST(TextureSet, RenderingIsDeterministic) {
    auto assets = assets_by_path();
    for (const char* path : {"textures/MWSnap042.jpg", "textures/corner3_flow.jpg", "textures/cel1.jpg"}) {
        const TextureAsset& asset = assets.at(path);
        EXPECT_EQ(render_texture(asset), render_texture(asset)) << path;
    }
}

TEST(TextureSet, FilmFramesDifferFromEachOther) {
    auto assets = assets_by_path();
    auto first = probe_jpeg(render_texture(assets.at("textures/MWSnap001.jpg")));
    auto second = probe_jpeg(render_texture(assets.at("textures/MWSnap002.jpg")));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->pixels, second->pixels);
}

TEST(TextureSet, AlphaPicturesAreGreyWithTransparentAndOpaqueParts) {
    // The loader takes alpha from the green channel; a grey picture keeps the JPEG's
    // chroma out of the way.
    auto assets = assets_by_path();
    for (const auto& [colour, alpha] : texture_alpha_pairs()) {
        if (colour == alpha) continue;
        auto probe = probe_jpeg(render_texture(assets.at(alpha)));
        ASSERT_TRUE(probe.has_value()) << alpha;
        int low = 255, high = 0, worst_tint = 0;
        for (std::size_t p = 0; p + 2 < probe->pixels.size(); p += 3) {
            int r = probe->pixels[p], g = probe->pixels[p + 1], b = probe->pixels[p + 2];
            low = std::min(low, g);
            high = std::max(high, g);
            worst_tint = std::max({worst_tint, std::abs(r - g), std::abs(b - g)});
        }
        EXPECT_LT(low, 16) << alpha;
        EXPECT_GT(high, 240) << alpha;
        EXPECT_LE(worst_tint, 8) << alpha;
    }
}
