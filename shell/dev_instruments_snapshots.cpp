#include "shell/dev_instruments_snapshots.hpp"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>

#include "platform/sound.hpp"
#include "production/parts.hpp"
#include "shell/frame_input.hpp"

state_snapshot g_current_state;
std::vector<state_snapshot> g_state_snapshots;

namespace {

bool bit_at(const std::vector<bool>& bits, std::size_t i) { return i < bits.size() && bits[i]; }

}  // namespace

void write_state_snapshots(std::ostream& out, const std::vector<state_snapshot>& list) {
    out << list.size() << std::endl;
    for (const state_snapshot& s : list) {
        out << std::endl << std::endl << s.time << std::endl << s.values.size() << std::endl;
        for (std::size_t i = 0; i < s.values.size(); ++i) {
            out << s.values[i] << " " << bit_at(s.bits_a, i) << " " << bit_at(s.bits_b, i) << " ";
        }
    }
}

void read_state_snapshots(std::istream& in, std::vector<state_snapshot>& list) {
    list.clear();
    long long count = 0;
    if (!(in >> count)) return;
    // The counts in the file are not trusted: reading stops at the first
    // number that is not there, whatever the count promised.
    for (long long k = 0; k < count; ++k) {
        state_snapshot s;
        long long value_count = 0;
        if (!(in >> s.time >> value_count) || value_count < 0) return;
        for (long long i = 0; i < value_count; ++i) {
            double value = 0.0;
            bool a = false, b = false;
            if (!(in >> value >> a >> b)) return;
            s.values.push_back(value);
            s.bits_a.push_back(a);
            s.bits_b.push_back(b);
        }
        list.push_back(std::move(s));
    }
}

void save_state_snapshots(const std::vector<state_snapshot>& list, const std::string& path) {
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    write_state_snapshots(out, list);
}

void load_state_snapshots(std::vector<state_snapshot>& list, const std::string& path) {
    std::ifstream in(path);
    read_state_snapshots(in, list);
}

void apply_nearest_snapshot(const std::vector<state_snapshot>& list, double t, state_snapshot& out) {
    const state_snapshot* nearest = nullptr;
    double nearest_distance = 1e14;
    for (const state_snapshot& s : list) {
        const double distance = std::abs(s.time - t);
        if (distance < nearest_distance) {
            nearest = &s;
            nearest_distance = distance;
        }
    }
    if (nearest == &out) return;
    if (nearest) {
        out = *nearest;
        return;
    }
    out.bits_a.clear();
    out.bits_b.clear();
    out.values.clear();
    out.time = 0.0;
}

void record_state_snapshot(state_snapshot& current, std::vector<state_snapshot>& list,
                           double demo_time, const frame_input& input, parts* const* slots) {
    current.time = demo_time;
    current.bits_a.clear();
    current.bits_b.clear();
    current.values.clear();
    for (int j = 0; j < k_snapshot_entries; ++j) {
        current.bits_a.push_back(input.flags_a[j]);
        current.bits_b.push_back(input.flags_b[j]);
        // An empty slot keeps its place in the list so that values stay by slot.
        current.values.push_back(slots[j] ? slots[j]->parameter : 0.0);
    }
    list.push_back(current);
}

std::optional<double> replay_key_time(int key) {
    switch (key) {
        case '0': return 25.0;
        case '1': return 146.0;
        case '2': return 165.0;
        case '3': return 200.0;
        case '4': return 302.0;
        case '5': return 265.0;
        case '6': return 287.0;
        case '7': return 293.0;
        default: return std::nullopt;
    }
}

void replay_state_from_keys(const bool* keys, const std::vector<state_snapshot>& list,
                            state_snapshot& current, frame_input& input, parts* const* slots) {
    for (int key = '0'; key <= '7'; ++key) {
        if (!keys[key]) continue;
        const double t = *replay_key_time(key);
        apply_nearest_snapshot(list, t, current);
        // A loaded snapshot may hold fewer entries than a recorded one.
        const auto entries = static_cast<std::size_t>(k_snapshot_entries);
        for (std::size_t j = 0; j < entries && j < current.bits_a.size(); ++j)
            input.flags_a[j] = current.bits_a[j];
        for (std::size_t j = 0; j < entries && j < current.bits_b.size(); ++j)
            input.flags_b[j] = current.bits_b[j];
        const auto replayed = static_cast<std::size_t>(k_replayed_values);
        for (std::size_t j = 0; j < replayed && j < current.values.size(); ++j) {
            if (slots[j]) slots[j]->parameter = current.values[j];
        }
        platform::sound::set_position(
            0, static_cast<std::uint32_t>(static_cast<std::int64_t>(t * platform::sound::sample_rate)));
    }
}
