#include <gtest/gtest.h>

#include <map>

#include "platform/dialog_backend.hpp"
#include "shell/setup.hpp"

namespace {

std::vector<display_mode> modes_from(std::initializer_list<display_mode> offered) {
    std::vector<display_mode> modes;
    for (const display_mode& m : offered) add_display_mode(modes, m.width, m.height);
    return modes;
}

bool same(const std::vector<display_mode>& a, const std::vector<display_mode>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].width != b[i].width || a[i].height != b[i].height) return false;
    return true;
}

TEST(DisplayModes, EachSizeOnceInOrderOfFirstAppearance) {
    // The same sizes offered again at other depths and rates.
    const auto modes = modes_from({{1920, 1080}, {1280, 720}, {1024, 768}, {1920, 1080},
                                   {1280, 720}, {1024, 768}, {1280, 720}});
    EXPECT_TRUE(same(modes, {{1920, 1080}, {1280, 720}, {1024, 768}}));
    EXPECT_EQ(default_mode_index(modes), 1);
}

TEST(DisplayModes, UnusableModesNeverAppear) {
    const auto modes = modes_from({{768, 1024},     // portrait
                                   {2048, 1152},    // too wide a screen
                                   {1600, 2048},    // too tall
                                   {2560, 1080},    // wider than 1.8:1
                                   {1900, 1000},    // 1.9:1
                                   {0, 0},          // what an off-screen display reports
                                   {1800, 1000},    // exactly 1.8:1 passes
                                   {640, 640}});    // square passes
    EXPECT_TRUE(same(modes, {{1800, 1000}, {640, 640}}));
}

TEST(DisplayModes, LabelsNameTheRatio) {
    EXPECT_EQ(display_mode_label({1280, 1024}), " 1280 x 1024  (4:3)");
    EXPECT_EQ(display_mode_label({1680, 1050}), " 1680 x 1050  (16:10)");
    EXPECT_EQ(display_mode_label({1360, 768}), " 1360 x 768  (16:9)");
    EXPECT_EQ(display_mode_label({1920, 1080}), " 1920 x 1080  (16:9)");
    EXPECT_EQ(display_mode_label({800, 600}), " 800 x 600  (4:3)");
}

TEST(DisplayModes, DefaultSelection) {
    // 1280 x 720 first in the list does not count: 1024 x 768 is taken instead.
    EXPECT_EQ(default_mode_index(modes_from({{1280, 720}, {800, 600}, {1024, 768}})), 2);
    EXPECT_EQ(default_mode_index(modes_from({{1280, 720}, {800, 600}})), 0);
    EXPECT_EQ(default_mode_index(modes_from({{800, 600}, {1024, 768}, {1280, 720}})), 2);
    EXPECT_EQ(default_mode_index(modes_from({{800, 600}, {1920, 1080}})), 0);
    EXPECT_EQ(default_mode_index({}), 0);
}

TEST(DisplayModes, Force169Heights) {
    EXPECT_EQ(force_16_9_height(1280), 720);
    EXPECT_EQ(force_16_9_height(1366), 768);
    EXPECT_EQ(force_16_9_height(1400), 787);
    EXPECT_EQ(force_16_9_height(1024), 576);
}

// A dialog kept in memory, pressed by the test.
class fake_dialog final : public platform::dialog {
public:
    void end(int result) override { ended = result; }
    void check(int id, bool on) override { checks[id] = on; }
    bool checked(int id) const override {
        auto it = checks.find(id);
        return it != checks.end() && it->second;
    }
    void add_item(int, const std::string& text) override { items.push_back(text); }
    void select(int, int index) override {
        selection = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
    }
    int selected(int) const override { return selection; }

    std::map<int, bool> checks;
    std::vector<std::string> items;
    int selection = -1;
    int ended = 0;
};

class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        g_mode_list_pending = true;
        g_display_modes = {{800, 600}, {1024, 768}, {1280, 720}};
    }
    void press_run() {
        EXPECT_EQ(setup_dialog_proc(&dialog, platform::dialog_event::command, id_run), 1);
        EXPECT_EQ(dialog.ended, id_run);
    }
    fake_dialog dialog;
};

TEST_F(SetupDialog, InitFillsTheListOnceAndTicksMusic) {
    setup_dialog_proc(&dialog, platform::dialog_event::init, 0);
    EXPECT_TRUE(dialog.checked(id_music));
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[0], " 800 x 600  (4:3)");
    EXPECT_EQ(dialog.selection, 2);
    EXPECT_FALSE(g_mode_list_pending);

    fake_dialog again;
    setup_dialog_proc(&again, platform::dialog_event::init, 0);
    EXPECT_TRUE(again.items.empty());
}

TEST_F(SetupDialog, RunTakesTheChoices) {
    setup_dialog_proc(&dialog, platform::dialog_event::init, 0);
    dialog.check(id_windowed, true);
    dialog.check(id_music, false);
    dialog.selection = 0;
    press_run();
    EXPECT_FALSE(g_music_enabled);
    EXPECT_FALSE(g_fullscreen);
    EXPECT_EQ(g_window_width, 800);
    EXPECT_EQ(g_window_height, 600);
    EXPECT_EQ(g_render_width, 800);
    EXPECT_EQ(g_render_height, 600);
}

TEST_F(SetupDialog, Force169KeepsTheFullScreenModeAndNarrowsTheRenderArea) {
    setup_dialog_proc(&dialog, platform::dialog_event::init, 0);
    dialog.selection = 1;
    dialog.check(id_force_16_9, true);
    press_run();
    EXPECT_TRUE(g_fullscreen);
    EXPECT_TRUE(g_force_16_9);
    EXPECT_EQ(g_window_width, 1024);
    EXPECT_EQ(g_window_height, 768);
    EXPECT_EQ(g_render_width, 1024);
    EXPECT_EQ(g_render_height, 576);
}

TEST_F(SetupDialog, Force169WindowedNarrowsTheWindowToo) {
    setup_dialog_proc(&dialog, platform::dialog_event::init, 0);
    dialog.selection = 1;
    dialog.check(id_force_16_9, true);
    dialog.check(id_windowed, true);
    press_run();
    EXPECT_EQ(g_window_width, 1024);
    EXPECT_EQ(g_window_height, 576);
    EXPECT_EQ(g_render_height, 576);
}

TEST_F(SetupDialog, EmptyListTakesTheFallbackSize) {
    g_display_modes.clear();
    setup_dialog_proc(&dialog, platform::dialog_event::init, 0);
    EXPECT_EQ(dialog.selection, -1);
    press_run();
    const display_mode fallback = fallback_display_mode();
    EXPECT_GT(fallback.width, 0);
    EXPECT_EQ(g_window_width, fallback.width);
    EXPECT_EQ(g_window_height, fallback.height);
}

TEST_F(SetupDialog, OtherCommandsDoNothing) {
    EXPECT_EQ(setup_dialog_proc(&dialog, platform::dialog_event::command, id_music), 0);
    EXPECT_EQ(dialog.ended, 0);
}

}  // namespace
