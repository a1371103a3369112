#pragma once
// How this run talks to the outside world: a desktop session or off-screen
// (no display), and the documented QUILLMERE_* environment settings that answer
// the setup dialog, step the clock and write frames when nobody is watching.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The run ends with this code, before anything opens, when a setting cannot be used.
inline constexpr int exit_code_bad_setting = 4;

struct setup_answer {
    int width = 0;                 // 0: keep the dialog's own selection
    int height = 0;
    bool music = true;
    bool windowed = true;
    bool force_16_9 = false;
    bool quit = false;             // press "Quit" instead of "Run ... "
};

struct run_settings {
    bool headless = false;                 // no display: off-screen GL, dummy audio
    bool messages_to_stderr = false;       // message boxes print instead of blocking
    bool message_answer_yes = true;        // what a printed yes/no question answers
    std::optional<setup_answer> setup;     // QUILLMERE_SETUP
    double fixed_frame_time = 0.0;         // > 0: virtual clock, one step per idle pass
    long max_passes = -1;                  // > 0: close the window after this many idle passes
    std::vector<long> capture_frames;      // idle-pass numbers to write as PNG
    long capture_every = 0;                // > 0: also every n-th pass
    std::string capture_dir = "frames";
    std::string clipboard_file;            // headless: where the clipboard text goes
    bool trace_messages = false;           // log every dispatched window message
    long press_escape_at = -1;             // > 0: Escape goes down after this many swaps
};

// Parses the environment once; later calls return the same object. A value
// that cannot be used leaves that setting at its default.
const run_settings& settings();
// One line for each setting of this process whose value cannot be used,
// naming the setting and the value; empty when every one is usable.
const std::vector<std::string>& settings_problems();

// The parser behind settings(), exposed for tests: `lookup` gives a variable's
// value, empty when it is not set; each unusable value adds a line to `problems`.
run_settings read_settings(const std::function<std::string(const char*)>& lookup,
                           std::vector<std::string>& problems);
// "1280x720 music windowed" style; nullopt (and the offending word in
// `bad_word`, when given) for a malformed size or an unknown word.
std::optional<setup_answer> parse_setup_answer(const std::string& text,
                                               std::string* bad_word = nullptr);

}  // namespace platform
