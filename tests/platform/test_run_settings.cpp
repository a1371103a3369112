#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "platform/dialog_backend.hpp"
#include "platform/frame_capture.hpp"
#include "platform/run_settings.hpp"
#include "platform/shader_runtime.hpp"

namespace {

using platform::parse_setup_answer;

TEST(SetupAnswer, SizeAndFlags) {
    auto a = parse_setup_answer("1024x576 windowed no-music force16:9");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->width, 1024);
    EXPECT_EQ(a->height, 576);
    EXPECT_TRUE(a->windowed);
    EXPECT_FALSE(a->music);
    EXPECT_TRUE(a->force_16_9);
    EXPECT_FALSE(a->quit);

    a = parse_setup_answer("1280X720,fullscreen,music");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->width, 1280);
    EXPECT_FALSE(a->windowed);
    EXPECT_TRUE(a->music);

    a = parse_setup_answer("quit");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->quit);
    EXPECT_EQ(a->width, 0);
}

// The settings a process with this environment would read.
platform::run_settings read(const std::map<std::string, std::string>& environment,
                            std::vector<std::string>& problems) {
    return platform::read_settings(
        [&](const char* name) {
            const auto it = environment.find(name);
            return it == environment.end() ? std::string() : it->second;
        },
        problems);
}

TEST(RunSettings, DefaultsFollowTheDisplay) {
    std::vector<std::string> problems;
    platform::run_settings s = read({}, problems);
    EXPECT_TRUE(s.headless);
    EXPECT_TRUE(s.messages_to_stderr);
    EXPECT_DOUBLE_EQ(s.fixed_frame_time, 0.02);
    ASSERT_TRUE(s.setup);
    EXPECT_EQ(s.setup->width, 0);

    s = read({{"DISPLAY", ":1"}, {"QUILLMERE_FRAME_TIME", ""}}, problems);   // empty: not set
    EXPECT_FALSE(s.headless);
    EXPECT_FALSE(s.messages_to_stderr);
    EXPECT_EQ(s.fixed_frame_time, 0.0);
    EXPECT_FALSE(s.setup);
    EXPECT_EQ(s.max_passes, -1);
    EXPECT_TRUE(problems.empty());
}

TEST(RunSettings, UsableValuesAreTaken) {
    std::vector<std::string> problems;
    const platform::run_settings s =
        read({{"DISPLAY", ":1"}, {"QUILLMERE_HEADLESS", "1"}, {"QUILLMERE_MESSAGES", "boxes"},
              {"QUILLMERE_MESSAGE_ANSWER", "no"}, {"QUILLMERE_SETUP", "640x360 no-music"},
              {"QUILLMERE_FRAME_TIME", " 0.5 "}, {"QUILLMERE_MAX_PASSES", "12"},
              {"QUILLMERE_CAPTURE_FRAMES", "1, 20,300"}, {"QUILLMERE_CAPTURE_EVERY", "250"},
              {"QUILLMERE_TRACE_MESSAGES", "1"}, {"QUILLMERE_PRESS_ESCAPE_AT", "101"}},
             problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(s.headless);
    EXPECT_FALSE(s.messages_to_stderr);
    EXPECT_FALSE(s.message_answer_yes);
    ASSERT_TRUE(s.setup);
    EXPECT_EQ(s.setup->height, 360);
    EXPECT_DOUBLE_EQ(s.fixed_frame_time, 0.5);
    EXPECT_EQ(s.max_passes, 12);
    EXPECT_EQ(s.capture_frames, (std::vector<long>{1, 20, 300}));
    EXPECT_EQ(s.capture_every, 250);
    EXPECT_TRUE(s.trace_messages);
    EXPECT_EQ(s.press_escape_at, 101);
    // 0 keeps the real clock off-screen too; one clock step is the shortest frame.
    EXPECT_EQ(read({{"QUILLMERE_FRAME_TIME", "0"}}, problems).fixed_frame_time, 0.0);
    EXPECT_EQ(read({{"QUILLMERE_FRAME_TIME", "1e-9"}}, problems).fixed_frame_time, 1e-9);
    EXPECT_TRUE(problems.empty());
}

TEST(RunSettings, EachUnusableValueIsNamedAndLeavesTheDefault) {
    const std::pair<const char*, const char*> bad[] = {
        {"QUILLMERE_HEADLESS", "yes"},        {"QUILLMERE_MESSAGES", "file"},
        {"QUILLMERE_MESSAGE_ANSWER", "maybe"}, {"QUILLMERE_TRACE_MESSAGES", "true"},
        {"QUILLMERE_SETUP", "1280x"},         {"QUILLMERE_SETUP", "0x720"},
        {"QUILLMERE_SETUP", "1280x720x3"},    {"QUILLMERE_SETUP", "99999999999x720"},
        {"QUILLMERE_SETUP", "1024x576 windowd no-musik"},
        {"QUILLMERE_FRAME_TIME", "abc"},      {"QUILLMERE_FRAME_TIME", "-5"},
        {"QUILLMERE_FRAME_TIME", "nan"},      {"QUILLMERE_FRAME_TIME", "inf"},
        {"QUILLMERE_FRAME_TIME", "61"},       {"QUILLMERE_FRAME_TIME", "0.02s"},
        {"QUILLMERE_FRAME_TIME", "1e-10"},    // below the clock's 1 ns step: it would never move
        {"QUILLMERE_MAX_PASSES", "0"},        {"QUILLMERE_MAX_PASSES", "1e3"},
        {"QUILLMERE_MAX_PASSES", "99999999999999999999"},
        {"QUILLMERE_CAPTURE_FRAMES", "1,,2"}, {"QUILLMERE_CAPTURE_FRAMES", "1,x"},
        {"QUILLMERE_CAPTURE_FRAMES", ",1"},   {"QUILLMERE_CAPTURE_FRAMES", "1,2,"},
        {"QUILLMERE_CAPTURE_FRAMES", "-3"},   {"QUILLMERE_CAPTURE_EVERY", "0"},
        {"QUILLMERE_PRESS_ESCAPE_AT", "+5"},
    };
    const platform::run_settings defaults = [] {
        std::vector<std::string> none;
        return read({}, none);
    }();
    for (const auto& [name, value] : bad) {
        std::vector<std::string> problems;
        const platform::run_settings s = read({{name, value}}, problems);
        ASSERT_EQ(problems.size(), 1u) << name << "=" << value;
        EXPECT_EQ(problems[0].rfind(std::string(name) + ": cannot use \"" + value + "\" (", 0), 0u)
            << problems[0];
        EXPECT_EQ(s.headless, defaults.headless);
        EXPECT_EQ(s.fixed_frame_time, defaults.fixed_frame_time);
        EXPECT_EQ(s.max_passes, defaults.max_passes);
        EXPECT_TRUE(s.capture_frames.empty());
    }
    std::vector<std::string> problems;
    read({{"QUILLMERE_SETUP", "1024x576 windowd no-musik"}, {"QUILLMERE_MAX_PASSES", "x"}}, problems);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("\"windowd\" is neither a size"), std::string::npos) << problems[0];
}

TEST(FrameCapture, PngHoldsTheRowsTopFirst) {
    const int w = 3, h = 2;
    // GL's order: bottom row first. Bottom row red, top row blue.
    std::vector<std::uint8_t> rgba(w * h * 4, 255);
    for (int x = 0; x < w; ++x) {
        std::uint8_t* bottom = &rgba[x * 4];
        bottom[0] = 255, bottom[1] = 0, bottom[2] = 0;
        std::uint8_t* top = &rgba[(w + x) * 4];
        top[0] = 0, top[1] = 0, top[2] = 255;
    }
    const auto path = std::filesystem::temp_directory_path() / "qm_capture_test.png";
    ASSERT_TRUE(platform::write_png(path.string(), w, h, rgba));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.string().c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(rgb[2], 255);       // first row written is the top: blue
    EXPECT_EQ(rgb[9], 255);       // second row: red
    std::filesystem::remove(path);

    EXPECT_FALSE(platform::write_png(path.string(), w, h, std::vector<std::uint8_t>(5)));
}

// A file size limit makes writes fail partway, as a disk that fills up does
// (with the limit's signal ignored, a write past it fails with EFBIG).
class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes) : old_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    void (*old_handler_)(int);
};

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FrameCapture, AFailedWriteSaysWhyAndLeavesNothingBehind) {
    namespace fs = std::filesystem;
    std::string reason;
    std::vector<std::uint8_t> rgba(128 * 128 * 4);
    EXPECT_FALSE(platform::write_png("/nonexistent-dir/x.png", 2, 2, rgba, &reason));
    EXPECT_EQ(reason, "No such file or directory");

    const fs::path dir = fs::temp_directory_path() / "qm_capture_partial";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::minstd_rand noise;   // does not compress below the limit
    for (std::uint8_t& byte : rgba) byte = static_cast<std::uint8_t>(noise());
    ASSERT_TRUE(platform::write_png((dir / "older.png").string(), 8, 8, rgba));
    const std::string older = contents(dir / "older.png");
    {
        const file_size_limit limit(1000);
        // About 1.8 KB: all of it is still buffered when the close finds the limit.
        EXPECT_FALSE(platform::write_png((dir / "small.png").string(), 24, 24, rgba, &reason));
        EXPECT_EQ(reason, "File too large");
        // About 49 KB: libpng's own writes fail.
        reason.clear();
        EXPECT_FALSE(platform::write_png((dir / "large.png").string(), 128, 128, rgba, &reason));
        EXPECT_EQ(reason, "File too large");
        // A frame already under the name stays whole.
        EXPECT_FALSE(platform::write_png((dir / "older.png").string(), 128, 128, rgba));
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"older.png"});
    EXPECT_TRUE(contents(dir / "older.png") == older) << "the older frame changed";
    fs::remove_all(dir);
}

TEST(ShaderRuntime, NullHandlesOnlyRecordErrors) {
    namespace shader = platform::shader;
    shader::take_error();
    shader::context c = shader::create_context();
    EXPECT_NE(c, nullptr);
    EXPECT_EQ(shader::named_parameter(nullptr, "CameraPos"), nullptr);
    EXPECT_EQ(shader::take_error(), shader::error::invalid_program);
    shader::set_parameter_3f(nullptr, 1, 2, 3);
    EXPECT_EQ(shader::take_error(), shader::error::invalid_parameter);
    EXPECT_EQ(shader::take_error(), shader::error::none);

    shader::enable_profile(shader::fragment_profile_arb);
    shader::enable_profile(shader::vertex_profile_arb);
    EXPECT_TRUE(shader::profile_enabled(shader::fragment_profile_arb));
    shader::disable_profile(shader::fragment_profile_arb);
    EXPECT_FALSE(shader::profile_enabled(shader::fragment_profile_arb));
    EXPECT_TRUE(shader::profile_enabled(shader::vertex_profile_arb));
    shader::disable_profile(shader::vertex_profile_arb);
    shader::enable_profile(1234);
    EXPECT_EQ(shader::take_error(), shader::error::invalid_profile);
    shader::destroy_context(c);
}

// The scripted dialog presses the controls by their texts, as a person would.
int g_last_command = 0;
bool g_music = false, g_windowed = false;
int g_selected = -2;

int record_procedure(platform::dialog* d, platform::dialog_event event, int id) {
    if (event == platform::dialog_event::init) {
        platform::add_list_item(d, 7, " 800 x 600  (4:3)");
        platform::add_list_item(d, 7, " 1024 x 576  (16:9)");
        platform::select_list_item(d, 7, 0);
        return 0;
    }
    g_last_command = id;
    g_music = platform::is_dialog_button_checked(d, 3);
    g_windowed = platform::is_dialog_button_checked(d, 4);
    g_selected = platform::selected_list_item(d, 7);
    platform::end_dialog(d, id);
    return 1;
}

TEST(ScriptedDialog, AppliesTheSettingLikeAPerson) {
    const platform::dialog_control controls[] = {
        {1, platform::control_kind::default_push_button, "Run ... ", 0, 0, 10, 10},
        {2, platform::control_kind::push_button, "Quit", 0, 0, 10, 10},
        {3, platform::control_kind::toggle_box, "Music", 0, 0, 10, 10},
        {4, platform::control_kind::toggle_box, "Windowed", 0, 0, 10, 10},
        {5, platform::control_kind::toggle_box, "Force 16:9", 0, 0, 10, 10},
        {7, platform::control_kind::drop_down_list, "", 0, 0, 10, 10},
    };
    const platform::dialog_template layout{"t", 10, 10, "Arial", 10, controls};
    // The answer of this process's run settings: off-screen tests have the
    // default (no size, music, windowed) unless QUILLMERE_SETUP says otherwise.
    const platform::setup_answer answer = platform::settings().setup.value_or(platform::setup_answer{});
    EXPECT_EQ(platform::run_scripted_dialog(layout, record_procedure), 1);
    EXPECT_EQ(g_last_command, 1);
    EXPECT_EQ(g_music, answer.music);
    EXPECT_EQ(g_windowed, answer.windowed);
    if (answer.width == 0) {
        EXPECT_EQ(g_selected, 0);
    }
}

}  // namespace
