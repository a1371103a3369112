#include "tools/standin/texture_set.hpp"

#include <array>
#include <cstdio>
#include <stdexcept>

#include "tools/standin/texture_art.hpp"

namespace standin {
namespace {

constexpr std::array<ChromaSampling, 4> kSamplings{ChromaSampling::s444, ChromaSampling::s422,
                                                   ChromaSampling::s440, ChromaSampling::s420};

// Cycles of lengths 4, 3, 5 and 2 are pairwise coprime enough that every sampling meets
// both baseline and progressive within any twelve consecutive files.
JpegOptions options_for(std::size_t index) {
    JpegOptions o;
    o.sampling = kSamplings[index % 4];
    o.progressive = index % 3 == 1;
    o.restart_interval = index % 5 == 2 ? 7 : 0;
    o.optimize_coding = index % 2 == 0;
    o.quality = 82 + static_cast<int>(index % 4) * 3;
    return o;
}

using Painter = std::function<Canvas(int, int)>;

struct Tile {
    const char* name;
    char kind;
};

constexpr std::array<Tile, 6> kTiles{{{"-", '-'}, {"I", 'I'}, {"corner1", '1'}, {"corner2", '2'},
                                      {"corner3", '3'}, {"corner4", '4'}}};

}  // namespace

std::vector<TextureAsset> texture_assets() {
    std::vector<TextureAsset> list;
    auto add = [&](std::string name, int w, int h, Painter paint) {
        list.push_back({"textures/" + std::move(name), w, h, {}, std::move(paint)});
    };
    add("blob41b.jpg", 256, 256, paint_blob);
    add("gradient13.jpg", 256, 64, paint_gradient);
    for (int k = 1; k <= 60; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "MWSnap%03d.jpg", k);
        add(name, 256, 256, [k](int w, int h) { return paint_film_frame(w, h, k); });
    }
    add("aera.jpg", 256, 256, paint_aerial);
    add("cel1.jpg", 512, 512, paint_cells);
    add("thetrees.jpg", 512, 256, paint_trees);
    add("front3.jpg", 512, 256, [](int w, int h) { return paint_house_front(w, h, true); });
    add("front.jpg", 256, 128, [](int w, int h) { return paint_house_front(w, h, false); });
    add("bicycle.jpg", 256, 128, paint_bicycle);
    add("gaitisa.jpg", 128, 512, paint_walker);
    add("mincer.jpg", 256, 256, [](int w, int h) { return paint_mincer(w, h, false); });
    add("mincera.jpg", 256, 256, [](int w, int h) { return paint_mincer(w, h, true); });
    add("man.jpg", 256, 256, [](int w, int h) { return paint_man(w, h, false); });
    add("mana.jpg", 256, 256, [](int w, int h) { return paint_man(w, h, true); });
    add("leg.jpg", 128, 256, [](int w, int h) { return paint_leg(w, h, false); });
    add("lega.jpg", 128, 256, [](int w, int h) { return paint_leg(w, h, true); });
    add("brysh.jpg", 256, 256, [](int w, int h) { return paint_brush_marks(w, h, false); });
    add("brysha.jpg", 256, 256, [](int w, int h) { return paint_brush_marks(w, h, true); });
    add("chain.jpg", 32, 512, paint_chain);
    add("fish.jpg", 256, 128, [](int w, int h) { return paint_fish(w, h, false, false); });
    add("fisha.jpg", 256, 128, [](int w, int h) { return paint_fish(w, h, false, true); });
    add("dead_fish.jpg", 256, 128, [](int w, int h) { return paint_fish(w, h, true, false); });
    add("dead_fish_alpha.jpg", 256, 128, [](int w, int h) { return paint_fish(w, h, true, true); });
    add("q-.jpg", 256, 64, [](int w, int h) { return paint_glow_band(w, h, false); });
    add("q-_alpha.jpg", 256, 64, [](int w, int h) { return paint_glow_band(w, h, true); });
    for (const Tile& tile : kTiles) {
        char kind = tile.kind;
        std::string base = tile.name;
        add(base + ".jpg", 128, 128, [kind](int w, int h) { return paint_tile(w, h, kind, TileLayer::colour); });
        add(base + "_alpha.jpg", 128, 128, [kind](int w, int h) { return paint_tile(w, h, kind, TileLayer::alpha); });
        add(base + "_flow.jpg", 128, 128, [kind](int w, int h) { return paint_tile(w, h, kind, TileLayer::flow); });
    }
    add("cemetary.jpg", 512, 64, paint_cemetery);
    const std::array<const char*, 6> patterns{"pattern.jpg",  "patternr.jpg", "pattern3.jpg",
                                              "pattern4.jpg", "pattern5.jpg", "pattern6.jpg"};
    for (int i = 0; i < 6; ++i)
        add(patterns[static_cast<std::size_t>(i)], 256, 256, [i](int w, int h) { return paint_pattern(w, h, i); });

    for (std::size_t i = 0; i < list.size(); ++i) list[i].options = options_for(i);
    return list;
}

std::vector<std::pair<std::string, std::string>> texture_alpha_pairs() {
    std::vector<std::pair<std::string, std::string>> pairs{
        {"gaitisa", "gaitisa"}, {"mincer", "mincera"}, {"man", "mana"},
        {"leg", "lega"},        {"brysh", "brysha"},   {"chain", "chain"},
        {"fish", "fisha"},      {"dead_fish", "dead_fish_alpha"}, {"q-", "q-_alpha"},
    };
    for (const Tile& tile : kTiles) {
        pairs.emplace_back(tile.name, std::string(tile.name) + "_alpha");
        pairs.emplace_back(std::string(tile.name) + "_flow", std::string(tile.name) + "_flow");
    }
    for (auto& [colour, alpha] : pairs) {
        colour = "textures/" + colour + ".jpg";
        alpha = "textures/" + alpha + ".jpg";
    }
    return pairs;
}

std::vector<std::uint8_t> render_texture(const TextureAsset& asset) {
    Canvas canvas = asset.paint(asset.width, asset.height);
    if (canvas.width() != asset.width || canvas.height() != asset.height)
        throw std::logic_error("painter of " + asset.path + " returned the wrong size");
    return encode_jpeg(canvas.to_rgb8(), asset.width, asset.height, asset.options);
}

}  // namespace standin
