#pragma once
// Switches for the instruments used while working on the show: state
// snapshots, the value recorder and the asset report. All start off and
// nothing in the show turns them on; a build can (the QUILLMERE_DEV_SWITCHES
// option). g_dev_mode lives with the dialog's settings.
#include <optional>

#include "shell/settings.hpp"

class parts;
class scene_context;
struct frame_input;
struct offscreen_target;

extern bool g_record_state;   // snapshot recording and saving
extern bool g_load_state;     // snapshot loading at start-up, replay from the number keys
extern bool g_asset_report;   // the asset report and the copies of the asset files
extern bool g_benchmark_log;  // the value recorder and its log file

// The instruments' files. On Windows the last three name drive C:; elsewhere
// they are relative paths under a directory named "c:" or "C:".
inline constexpr const char* k_state_file = "state.txt";
inline constexpr const char* k_value_log_file = "c://logs//Vandrel2.log";
inline constexpr double k_value_log_seconds = 240.0;
inline constexpr const char* k_asset_report_file = "c://3dsjpglist4.txt";
inline constexpr const char* k_asset_copy_prefix = "C:/Brenwick/";

// Whether this build turned any switch on.
bool dev_switches_built_in();

// The development part mode renders the part slots 1, 0, 2, 3, 4, 6, 5, 7, 8,
// 9 in that order with the same arguments; only slot 0 ever holds a part, so
// empty slots are skipped.
void render_development_parts(parts* const* slots, double* frame_delta, offscreen_target* target,
                              scene_context* scene, frame_input* input);

// The demo time a development start section (1 to 5) begins at; none for
// other numbers.
std::optional<double> start_section_time(int section);
