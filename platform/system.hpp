#pragma once
// Clock, message boxes, clipboard and a few GL queries the window layer needs.
#include <cstdint>
#include <string>

namespace platform {

// High-resolution counter; in a fixed-step run (QUILLMERE_FRAME_TIME) it is a
// virtual counter that advances by one frame time at every buffer swap.
std::int64_t query_performance_counter();
std::int64_t query_performance_frequency();
void advance_virtual_clock();
bool fixed_step_clock();
// Seconds the virtual clock has run; 0 with the real clock.
double virtual_clock_seconds();

enum class message_buttons { ok, yes_no };
enum class message_icon { information, exclamation, stop };
enum class message_answer { ok, yes, no };

// A blocking box on a desktop; otherwise caption and text go to standard error
// and the answer is the run's setting (yes unless QUILLMERE_MESSAGE_ANSWER=no).
message_answer message_box(const std::string& caption, const std::string& text,
                           message_buttons buttons, message_icon icon);

// Puts the text on the clipboard; a headless run writes it to standard error
// and to QUILLMERE_CLIPBOARD_FILE when that is set.
bool set_clipboard_text(const std::string& text);

void finish_gl();
// A GL extension function by name, or null.
void* gl_proc_address(const char* name);
const char* gl_extensions_string();

}  // namespace platform
