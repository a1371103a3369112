#include "platform/run_settings.hpp"

#include <cstdlib>
#include <sstream>

namespace platform {
namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool has_display() {
    return !env("DISPLAY").empty() || !env("WAYLAND_DISPLAY").empty();
}

run_settings read_settings() {
    run_settings s;
    const std::string headless = env("QUILLMERE_HEADLESS");
    s.headless = headless.empty() ? !has_display() : headless != "0";
    const std::string messages = env("QUILLMERE_MESSAGES");
    s.messages_to_stderr = messages.empty() ? s.headless : messages == "stderr";
    s.message_answer_yes = env("QUILLMERE_MESSAGE_ANSWER") != "no";

    if (const std::string setup = env("QUILLMERE_SETUP"); !setup.empty())
        s.setup = parse_setup_answer(setup);
    else if (s.headless)
        s.setup = setup_answer{};

    if (const std::string ft = env("QUILLMERE_FRAME_TIME"); !ft.empty())
        s.fixed_frame_time = std::strtod(ft.c_str(), nullptr);
    else if (s.headless)
        s.fixed_frame_time = 0.02;
    if (s.fixed_frame_time < 0) s.fixed_frame_time = 0;

    if (const std::string passes = env("QUILLMERE_MAX_PASSES"); !passes.empty())
        s.max_passes = std::strtol(passes.c_str(), nullptr, 10);
    s.capture_frames = parse_number_list(env("QUILLMERE_CAPTURE_FRAMES"));
    if (const std::string every = env("QUILLMERE_CAPTURE_EVERY"); !every.empty())
        s.capture_every = std::strtol(every.c_str(), nullptr, 10);
    if (const std::string dir = env("QUILLMERE_CAPTURE_DIR"); !dir.empty())
        s.capture_dir = dir;
    s.clipboard_file = env("QUILLMERE_CLIPBOARD_FILE");
    s.trace_messages = env("QUILLMERE_TRACE_MESSAGES") == "1";
    if (const std::string escape = env("QUILLMERE_PRESS_ESCAPE_AT"); !escape.empty())
        s.press_escape_at = std::strtol(escape.c_str(), nullptr, 10);
    return s;
}

}  // namespace

const run_settings& settings() {
    static const run_settings instance = read_settings();
    return instance;
}

// "1280x720 music windowed" style: a size, then flags; "no-music", "fullscreen"
// and "force16:9" switch the boxes, "quit" presses Quit.
std::optional<setup_answer> parse_setup_answer(const std::string& text) {
    setup_answer answer;
    std::string spaced = text;
    for (char& c : spaced)
        if (c == ',') c = ' ';
    std::istringstream words(spaced);
    std::string word;
    while (words >> word) {
        int w = 0, h = 0;
        char x = 0, extra = 0;
        std::istringstream size(word);
        if ((size >> w >> x >> h) && (x == 'x' || x == 'X') && !(size >> extra)) {
            if (w <= 0 || h <= 0) return std::nullopt;
            answer.width = w;
            answer.height = h;
        } else if (word == "music") {
            answer.music = true;
        } else if (word == "no-music" || word == "nomusic") {
            answer.music = false;
        } else if (word == "windowed") {
            answer.windowed = true;
        } else if (word == "fullscreen") {
            answer.windowed = false;
        } else if (word == "force16:9" || word == "force-16:9") {
            answer.force_16_9 = true;
        } else if (word == "quit") {
            answer.quit = true;
        } else {
            return std::nullopt;
        }
    }
    return answer;
}

std::vector<long> parse_number_list(const std::string& text) {
    std::vector<long> numbers;
    std::string item;
    std::istringstream in(text);
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        const long n = std::strtol(item.c_str(), &end, 10);
        if (end != item.c_str()) numbers.push_back(n);
    }
    return numbers;
}

}  // namespace platform
