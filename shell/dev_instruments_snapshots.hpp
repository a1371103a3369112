#pragma once
// State snapshots, a development instrument: option flags and part parameters
// recorded over the demo time, saved as text, loaded back at start-up and
// replayed from the number keys.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class parts;
struct frame_input;

struct state_snapshot {
    std::vector<bool> bits_a;    // flags_a entries 0 to 8 of the frame input
    std::vector<bool> bits_b;    // flags_b entries 0 to 8
    std::vector<double> values;  // the parameter of part slots 0 to 8
    double time = 0.0;           // demo time of the recording
};

extern state_snapshot g_current_state;
extern std::vector<state_snapshot> g_state_snapshots;

// Flags and part slots a snapshot records.
inline constexpr int k_snapshot_entries = 9;
// The part slots a replay gives values back to (0 to 7).
inline constexpr int k_replayed_values = 8;

// The text form: the count, then per snapshot an empty line, the time, the
// number of values and one line of "value bit_a bit_b " triples. Numbers have
// six significant digits.
void write_state_snapshots(std::ostream& out, const std::vector<state_snapshot>& list);
// Empties the list and reads it back. A count the text does not hold ends the
// list at the first number that cannot be read; a snapshot cut short is dropped.
void read_state_snapshots(std::istream& in, std::vector<state_snapshot>& list);
void save_state_snapshots(const std::vector<state_snapshot>& list, const std::string& path);
// A missing file leaves the list empty.
void load_state_snapshots(std::vector<state_snapshot>& list, const std::string& path);

// Copies the snapshot nearest to t into `out` (the first of equally near
// ones); an empty list leaves `out` empty with time 0.
void apply_nearest_snapshot(const std::vector<state_snapshot>& list, double t, state_snapshot& out);

// One frame of recording: `current` takes the time, flags 0 to 8 and the
// parameters of part slots 0 to 8 (0 for an empty slot), and a copy of it is
// appended to the list.
void record_state_snapshot(state_snapshot& current, std::vector<state_snapshot>& list,
                           double demo_time, const frame_input& input, parts* const* slots);

// The demo time a number key replays ('0' to '7'); none for other keys.
std::optional<double> replay_key_time(int key);

// For each number key down ('0' to '7', in key order): the snapshot nearest to
// the key's time goes into `current` and from there into the frame input's
// flags 0 to 8 and the parameters of part slots 0 to 7 (only what the
// snapshot holds, only slots that hold a part); then the music moves to the
// key's time.
void replay_state_from_keys(const bool* keys, const std::vector<state_snapshot>& list,
                            state_snapshot& current, frame_input& input, parts* const* slots);
