#include "platform/run_settings.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace platform {
namespace {

constexpr double longest_frame_time = 60.0;   // keeps the virtual clock's counter far from overflow
constexpr double shortest_frame_time = 1e-9;  // one tick of the virtual clock: less would never move it

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number of 1 or more, nothing else in the text.
std::optional<long> parse_count(const std::string& text) {
    const std::string t = trimmed(text);
    long value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc{} || end != t.data() + t.size() || value < 1) return std::nullopt;
    return value;
}

// Counts separated by commas; every item must be one, so an empty item
// (a leading, doubled or trailing comma) makes the list unusable.
std::optional<std::vector<long>> parse_count_list(const std::string& text) {
    std::vector<long> numbers;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        const auto n = parse_count(text.substr(start, comma - start));
        if (!n) return std::nullopt;
        numbers.push_back(*n);
        if (comma == std::string::npos) return numbers;
        start = comma + 1;
    }
}

std::optional<double> parse_frame_time(const std::string& text) {
    const std::string t = trimmed(text);
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc{} || end != t.data() + t.size() || !std::isfinite(value) ||
        value < 0 || value > longest_frame_time || (value > 0 && value < shortest_frame_time))
        return std::nullopt;
    return value;
}

// One of two words: the first gives false, the second true.
std::optional<bool> parse_choice(const std::string& text, const char* off, const char* on) {
    const std::string t = trimmed(text);
    if (t == off) return false;
    if (t == on) return true;
    return std::nullopt;
}

class settings_reader {
public:
    settings_reader(const std::function<std::string(const char*)>& lookup,
                    std::vector<std::string>& problems)
        : lookup_(lookup), problems_(problems) {}

    // The value of a setting, empty when it is not set.
    std::string value(const char* name) const { return lookup_(name); }

    // Reads a set value with `parse`; an unusable one is reported and leaves `target` alone.
    template <typename T, typename Parse>
    void read(const char* name, T& target, Parse parse, const std::string& expected) {
        const std::string text = value(name);
        if (text.empty()) return;
        if (auto parsed = parse(text))
            target = *parsed;
        else
            report(name, text, expected);
    }

    void report(const char* name, const std::string& text, const std::string& why) {
        problems_.push_back(std::string(name) + ": cannot use \"" + text + "\" (" + why + ")");
    }

private:
    const std::function<std::string(const char*)>& lookup_;
    std::vector<std::string>& problems_;
};

struct process_settings {
    run_settings values;
    std::vector<std::string> problems;
};

const process_settings& process() {
    static const process_settings instance = [] {
        process_settings p;
        p.values = read_settings(
            [](const char* name) {
                const char* value = std::getenv(name);
                return std::string(value ? value : "");
            },
            p.problems);
        return p;
    }();
    return instance;
}

}  // namespace

run_settings read_settings(const std::function<std::string(const char*)>& lookup,
                           std::vector<std::string>& problems) {
    settings_reader r(lookup, problems);
    run_settings s;
    s.headless = r.value("DISPLAY").empty() && r.value("WAYLAND_DISPLAY").empty();
    r.read("QUILLMERE_HEADLESS", s.headless, [](const std::string& t) { return parse_choice(t, "0", "1"); },
           "expected 1 for an off-screen run or 0 for a desktop run");
    s.messages_to_stderr = s.headless;
    r.read("QUILLMERE_MESSAGES", s.messages_to_stderr,
           [](const std::string& t) { return parse_choice(t, "boxes", "stderr"); },
           "expected stderr to print messages or boxes to show them");
    r.read("QUILLMERE_MESSAGE_ANSWER", s.message_answer_yes,
           [](const std::string& t) { return parse_choice(t, "no", "yes"); }, "expected yes or no");

    if (const std::string setup = r.value("QUILLMERE_SETUP"); !setup.empty()) {
        std::string bad_word;
        s.setup = parse_setup_answer(setup, &bad_word);
        if (!s.setup)
            r.report("QUILLMERE_SETUP", setup,
                     "\"" + bad_word + "\" is neither a size like 1280x720 nor one of music, "
                     "no-music, windowed, fullscreen, force16:9, quit");
    }
    if (!s.setup && s.headless) s.setup = setup_answer{};

    if (s.headless) s.fixed_frame_time = 0.02;
    r.read("QUILLMERE_FRAME_TIME", s.fixed_frame_time, parse_frame_time,
           "expected seconds per frame, from 1e-9 (the clock's step) to 60; 0 for the real clock");
    const char* swaps = "expected a number of buffer swaps, 1 or more";
    r.read("QUILLMERE_MAX_PASSES", s.max_passes, parse_count, swaps);
    r.read("QUILLMERE_CAPTURE_FRAMES", s.capture_frames, parse_count_list,
           "expected buffer-swap numbers of 1 or more, separated by commas");
    r.read("QUILLMERE_CAPTURE_EVERY", s.capture_every, parse_count, swaps);
    if (const std::string dir = r.value("QUILLMERE_CAPTURE_DIR"); !dir.empty()) s.capture_dir = dir;
    s.clipboard_file = r.value("QUILLMERE_CLIPBOARD_FILE");
    r.read("QUILLMERE_TRACE_MESSAGES", s.trace_messages,
           [](const std::string& t) { return parse_choice(t, "0", "1"); }, "expected 1 or 0");
    r.read("QUILLMERE_PRESS_ESCAPE_AT", s.press_escape_at, parse_count, swaps);
    return s;
}

const run_settings& settings() { return process().values; }

const std::vector<std::string>& settings_problems() { return process().problems; }

// "1280x720 music windowed" style: a size, then flags; "no-music", "fullscreen"
// and "force16:9" switch the boxes, "quit" presses Quit.
std::optional<setup_answer> parse_setup_answer(const std::string& text, std::string* bad_word) {
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
        if ((size >> w >> x >> h) && (x == 'x' || x == 'X') && !(size >> extra) && w > 0 && h > 0) {
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
            if (bad_word) *bad_word = word;
            return std::nullopt;
        }
    }
    return answer;
}

}  // namespace platform
